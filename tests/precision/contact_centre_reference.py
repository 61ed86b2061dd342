#!/usr/bin/python3
"""50-digit references for the contact-centre figures, held against the
library on a table of corner points and generated ones.

Two independent evaluations, neither of them the library's time-domain
quadrature:

* state sums: the queue's states n + j carry pi_n T_j with
  T_j = prod_{i<=j} A / (n + i theta); an arrival that finds j waiting is
  answered with probability n / (n + (j+1) theta), waits (j+1) /
  (n + (j+1) theta) on average, and its chances of being answered, or of
  still waiting, after t are negative-binomial sums over the j ahead of it
  (regularised incomplete beta functions where the sum starts deep in the
  queue).  Summed over the states that carry 1e-60 of the peak or more.
* closed forms without a line limit: S = Gamma(a+1) e^x x^-a P(a, x) with
  x = A / theta, a = n / theta, the waits after t through P(a, x e^{-theta
  t}) and P(a+1, x e^{-theta t}), the answered calls' mean wait as the
  integral of log(x / s) against the Gamma(a+1) density over [0, x].

Needs Debian's python3-mpmath: run it with /usr/bin/python3.
Usage: contact_centre_reference.py PATH_TO_contact_centre_values
"""
import math
import random
import subprocess
import sys

import mpmath
from mpmath import mp, mpf

mp.dps = 110

THRESHOLD = mpf("1e-300")
TOLERANCE = mpf("1e-12")
NAMES = ("wait", "blocked", "abandon", "abandon_within_t", "service_level",
         "service_level_excl_short", "asa", "mean_wait", "queue", "occupancy", "carried")
MAX_STATES = 60000


def erlang_b_ratio(n, A):
    """(1 - B(n, A)) / B(n, A) = sum_{k<n} A^k/k! / (A^n/n!)."""
    if n <= 20000:
        inv = mpf(1)
        for k in range(1, n + 1):
            inv = 1 + inv * k / A
        return inv - 1
    # Q(n+1, A) / D(n, A) - 1, with D = A^n e^-A / n!.
    q = mpmath.gammainc(n + 1, A, mpmath.inf, regularized=True)
    d = mpmath.exp(n * mpmath.log(A) - A - mpmath.loggamma(n + 1))
    return q / d - 1


def figures(A, h, n, theta, t, r, pw, pb, pab, abt, ans_w, ans_wt, asa_num, mwait):
    """The record from the shares (all over offered calls; waits in h)."""
    imm = r
    sl = imm + ans_wt
    answered = imm + ans_w
    return [pw, pb, pab, abt, sl, sl / (1 - abt), h * asa_num / answered,
            h * mwait, A * mwait, A * answered / n, A * answered]


def window(log_t, mode, top):
    """States j around the mode with log T_j within 140 of the peak."""
    peak = log_t(mode)
    def reach(direction):
        inside, step = mode, 1
        while True:
            j = mode + direction * step
            if direction < 0 and j <= 0:
                j = 0
            if top is not None and j >= top:
                j = top
            if log_t(j) < peak - 140 and j != inside:
                lo_, hi_ = inside, j
                while abs(hi_ - lo_) > 1:
                    m = (lo_ + hi_) // 2
                    if log_t(m) < peak - 140:
                        hi_ = m
                    else:
                        lo_ = m
                return hi_
            if j == 0 or (top is not None and j == top):
                return j
            inside = j
            step *= 2
    return reach(-1), reach(+1), peak


def state_sums(A, h, p, n, places, t):
    """The record by sums over the queue's states; None when too many."""
    theta = mpf(0) if p is None else h / p
    tu = t / h
    a = n / theta if theta > 0 else None

    def log_t(j):
        if theta == 0:
            return j * mpmath.log(A / n)
        return j * mpmath.log(A / theta) - (mpmath.loggamma(a + j + 1) - mpmath.loggamma(a + 1))

    if theta == 0:
        if A < n:
            mode = 0
        elif places is None:
            return None
        else:
            mode = places if A > n else 0
    else:
        mode = max(0, int(mpmath.floor((A - n) / theta)))
        if places is not None:
            mode = min(mode, places)
    j_lo, j_hi, peak = window(log_t, mode, places)
    # Calls answered or hanging up within t come mostly from the short
    # queues, however rare: start from the empty queue whenever affordable.
    if j_hi <= MAX_STATES:
        j_lo = 0
    if j_hi - j_lo > MAX_STATES:
        return None
    r = erlang_b_ratio(n, A) * mpmath.exp(-peak)
    w = mpmath.exp(-theta * tu)
    z = 1 - w
    nt = n * tu

    def nb_term(shape, i):  # w^shape (shape)_i z^i / i!, or the Poisson term when theta = 0
        if theta == 0:
            if nt == 0:
                return mpf(1) if i == 0 else mpf(0)
            return mpmath.exp(-nt + i * mpmath.log(nt) - mpmath.loggamma(i + 1))
        if z == 0:
            return w ** shape if i == 0 else mpf(0)
        return mpmath.exp(shape * mpmath.log(w) + mpmath.loggamma(shape + i) - mpmath.loggamma(shape)
                          - mpmath.loggamma(i + 1) + i * mpmath.log(z))

    def nb_head(shape, j):  # sum_{i <= j}
        if j < 0:
            return mpf(0)
        if theta == 0:
            return mpmath.gammainc(j + 1, nt, mpmath.inf, regularized=True) if nt > 0 else mpf(1)
        return 1 - beta_lower(j + 1, shape, z)

    served_shape = a + 1 if theta > 0 else None
    wait_shape = a if theta > 0 else None
    F = nb_head(served_shape, j_lo - 1)
    G = nb_head(wait_shape, j_lo - 1) if theta > 0 else None
    fa = nb_term(served_shape, j_lo)
    ga = nb_term(wait_shape, j_lo) if theta > 0 else None
    if theta > 0:
        harm = (mpmath.digamma(a + j_lo + 1) - mpmath.digamma(a + 1)) / theta
    else:
        harm = mpf(j_lo) / n
    # Tails sum_{i > j} of the served calls' terms, from the window's top
    # down, so that the share answered within t never comes from 1 - head.
    last = j_hi if places is None else min(j_hi, places - 1)
    tails = []
    if last >= j_lo:
        if theta > 0:
            tail = beta_lower(last + 1, served_shape, z) if z > 0 else mpf(0)
            term = nb_term(served_shape, last)
            for j in range(last, j_lo - 1, -1):
                tails.append(tail)
                tail += term
                if j > 0:
                    term = term * j / ((a + j) * z) if z > 0 else mpf(0)
        else:
            tail = regularised_lower(mpf(last + 1), nt) if nt > 0 else mpf(0)
            term = nb_term(None, last)
            for j in range(last, j_lo - 1, -1):
                tails.append(tail)
                tail += term
                if j > 0:
                    term = term * j / nt if nt > 0 else mpf(0)
        tails.reverse()
    T = mpmath.exp(log_t(j_lo) - peak)
    pw = pab = abt = ans_w = ans_wt = asa = mwait = mpf(0)
    total = r
    pb = mpf(0)
    for j in range(j_lo, j_hi + 1):
        if j > j_lo:
            T = T * A / (n + j * theta)
            if theta > 0:
                fa = fa * (a + j) * z / j
                ga = ga * (a + j - 1) * z / j
            else:
                fa = fa * nt / j
        total += T
        if places is not None and j == places:
            pb = T
            break
        F += fa
        s = n / (n + (j + 1) * theta)
        harm += 1 / (n + (j + 1) * theta)
        served_after = s * F
        if theta > 0:
            G += ga
            still = w * G
        else:
            still = F
        pw += T
        ans_w += T * s
        ans_wt += T * s * tails[j - j_lo]
        pab += T * (1 - s)
        abt += T * ((1 - s) - (still - served_after))
        asa += T * s * harm
        mwait += T * (j + 1) / (n + (j + 1) * theta)
    if places is not None and places > j_hi:
        pb = mpmath.exp(log_t(places) - peak)
        total += pb
    k = 1 / total
    record = figures(A, h, n, theta, t, r * k, pw * k, pb * k, pab * k, abt * k, ans_w * k,
                     ans_wt * k, asa * k, mwait * k)
    if j_lo > 0:
        # Short queues left out: the figures within t are not known here.
        for name in ("abandon_within_t", "service_level", "service_level_excl_short"):
            record[NAMES.index(name)] = None
    return record


def beta_lower(alpha, beta, z):
    """I_z(alpha, beta) by quadrature of the beta density, integrating the
    side of z away from the bulk and taking the complement otherwise."""
    if z <= 0:
        return mpf(0)
    if z >= 1:
        return mpf(1)
    logB = mpmath.loggamma(alpha) + mpmath.loggamma(beta) - mpmath.loggamma(alpha + beta)
    dens = lambda q: mpmath.exp((alpha - 1) * mpmath.log(q) + (beta - 1) * mpmath.log1p(-q) - logB)
    mean = alpha / (alpha + beta)
    sd = mpmath.sqrt(alpha * beta / ((alpha + beta) ** 2 * (alpha + beta + 1)))
    inner = {mean + k * sd for k in range(-80, 81, 2)}
    if z <= mean:
        return mpmath.quad(dens, sorted({mpf(0), z} | {q for q in inner if 0 < q < z}))
    return 1 - mpmath.quad(dens, sorted({z, mpf(1)} | {q for q in inner if z < q < 1}))


def gamma_points(s, lo, hi):
    """Breakpoints for the Gamma(s) density on [lo, hi]: its peak and
    steps of two standard deviations around it."""
    sd = mpmath.sqrt(s)
    inner = {s - 1 + k * sd for k in range(-80, 81, 2)}
    return sorted({lo, hi} | {q for q in inner if lo < q < hi})


def regularised_lower(s, v):
    """P(s, v) by 50-digit quadrature of the density (mpmath's own series
    and fractions stall at shapes near 1e9); the smaller side is integrated."""
    dens = lambda q: mpmath.exp((s - 1) * mpmath.log(q) - q - mpmath.loggamma(s))
    if v <= s:
        return mpmath.quad(dens, gamma_points(s, mpf(0), v))
    far = max(v, s) + 200 * mpmath.sqrt(s) + 2000
    return 1 - mpmath.quad(dens, gamma_points(s, v, far))


def closed_forms(A, h, p, n, t):
    """No line limit, theta > 0."""
    theta = h / p
    tu = t / h
    a, x = n / theta, A / theta
    w = mpmath.exp(-theta * tu)
    y = x * w
    logG = mpmath.loggamma(a + 1) + x - a * mpmath.log(x)
    P = regularised_lower
    r = erlang_b_ratio(n, A)
    # Everything over G: S / G = P(a, x).
    rG = r * mpmath.exp(-logG)
    Pax = P(a, x)
    norm = rG + Pax
    S_over = Pax / norm         # pi_n G P(a, x) = P(wait)
    piG = 1 / norm              # pi_n G
    pin = mpmath.exp(-logG) / norm
    Q1 = x + (x - a) * (Pax * mpmath.exp(logG) - 1)
    pab = pin * Q1 / x
    mwait = pin * Q1 / A
    ans_w = pin * (a / x) * (Pax * mpmath.exp(logG) - 1)
    ans_after = piG * (a / x) * P(a + 1, y)
    q_t = piG * w * P(a, y)
    abt = pab - (q_t - ans_after)
    imm = rG / norm
    # E[log(x / X); X <= x], X ~ Gamma(a + 1)
    dens = lambda s: mpmath.exp(a * mpmath.log(s) - s - mpmath.loggamma(a + 1)) * mpmath.log(x / s)
    sd = mpmath.sqrt(a + 1)
    points = sorted({mpf(0), x} | {a + k * sd for k in range(-60, 61, 4) if 0 < a + k * sd < x})
    integral = mpmath.quad(dens, points)
    asa = piG * (a / x) / theta * integral
    return figures(A, h, n, theta, t, imm, S_over, mpf(0), pab, abt, ans_w,
                   ans_w - ans_after, asa, mwait)


def delay(A, h, n, t):
    """Erlang C, no limit and no hang-ups."""
    r = erlang_b_ratio(n, A)
    B = 1 / (1 + r)
    C = n * B / (n - A + A * B)
    tu = t / h
    pw = C
    ans_wt = C * (1 - mpmath.exp(-(n - A) * tu))
    mwait = C / (n - A)
    return figures(A, h, n, mpf(0), t, 1 - C, pw, mpf(0), mpf(0), mpf(0), C, ans_wt,
                   mwait, mwait)


CORNERS = [
    # A, h, p, n, lines, t   (p None: never hang up; lines 0: no limit)
    (20.0, 180.0, 120.0, 20, 0, 20.0),
    (20.0, 180.0, None, 24, 0, 20.0),
    (20.0, 180.0, 120.0, 20, 25, 20.0),
    (20.0, 180.0, None, 20, 25, 20.0),
    (20.0, 180.0, 120.0, 20, 20, 20.0),
    (1e5, 1.0, 1e4, 1000, 0, 1.0),
    (1e5, 1.0, 1e4, 100000, 0, 0.01),
    (1e5, 1.0, 1e-3, 1, 0, 0.0),
    (1e5, 1.0, 1e-3, 1, 0, 100.0),
    (0.5, 1.0, 1e4, 1, 0, 1e-6),
    (99999.0, 1.0, 1.0, 100000, 0, 0.001),
    (100000.0, 1.0, 1.0, 100000, 0, 0.001),
    (1e3, 1.0, 1.0, 1000, 0, 0.1),
    (1e3, 1.0, None, 1000, 1001000, 0.1),
    (2e3, 1.0, 10.0, 1000, 1001000, 0.5),
    (50.0, 1.0, 0.5, 40, 1040, 0.05),
    (1e4, 1.0, 100.0, 10, 1000010, 10.0),
    (3.0, 1.0, 1e-3, 5, 6, 1e-4),
    (1e-3, 1.0, 1.0, 1, 0, 1.0),
    (1.3019073196676014, 3.462546871063432, 0.004329443089630062, 2, 19, 0.06716239179171296),
    # Large shapes: a = n / theta and x = A / theta up to 1e9.
    (5e4, 1.0, 1.0, 100000, 0, 0.01),
    (9.9e4, 1.0, 10.0, 100000, 0, 0.1),
    (1e5, 1.0, 1e-3, 100000, 0, 1e-4),
    (1e5, 1.0, 1e4, 1, 0, 100.0),
    (1e5, 1.0, 1e4, 99999, 0, 1e-3),
    (1e3, 1.0, 1e4, 1000, 0, 0.5),
    (2e4, 1.0, 3.0, 10000, 0, 0.2),
    (1e5, 1.0, 1.0, 1000, 1001000, 0.01),
    (1e5, 1.0, None, 99000, 1099000, 1e-5),
]


def cases():
    for c in CORNERS:
        yield c
    rng = random.Random(20)
    for _ in range(90):
        n = int(10 ** rng.uniform(0, 5))
        A = n * 10 ** rng.uniform(-2, 2) if rng.random() < 0.9 else n * rng.uniform(0.95, 1.05)
        A = min(A, 1e5)
        h = 10 ** rng.uniform(-2, 3)
        p = None if rng.random() < 0.15 else h * 10 ** rng.uniform(-3, 4)
        t = 0.0 if rng.random() < 0.1 else h * 10 ** rng.uniform(-4, 2)
        roll = rng.random()
        if roll < 0.5:
            lines = 0
        else:
            lines = n + int(10 ** rng.uniform(0, 6))
        if p is None and lines == 0 and A >= n:
            A = n * rng.uniform(0.1, 0.99)
        yield (A, h, p, n, lines, t)


def reference(A, h, p, n, lines, t):
    A, h, t = mpf(A), mpf(h), mpf(t)
    pm = None if p is None else mpf(p)
    places = None if lines == 0 else lines - n
    if pm is None and places is None:
        return delay(A, h, n, t), "erlang-c"
    got = state_sums(A, h, pm, n, places, t)
    if got is not None:
        return got, "states"
    if places is None:
        return closed_forms(A, h, pm, n, t), "gamma"
    return None, "skipped"


def main():
    values = sys.argv[1]
    table = list(cases())
    text = "".join("%r %r %s %d %d %r\n" % (A, h, "inf" if p is None else repr(p), n, lines, t)
                   for A, h, p, n, lines, t in table)
    out = subprocess.run([values], input=text, capture_output=True, text=True, check=True).stdout
    worst = {name: (mpf(0), None) for name in NAMES}
    failures = 0
    checked = 0
    unknown_within_t = 0
    methods = {}
    for case, line in zip(table, out.splitlines()):
        fields = line.split()
        if fields[0] != "0":
            print("refused", case, fields[0])
            failures += 1
            continue
        ref, method = reference(*case)
        methods[method] = methods.get(method, 0) + 1
        if ref is None:
            continue
        got = [mpf(x) for x in fields[1:]]
        checked += 1
        for name, g, r in zip(NAMES, got, ref):
            if r is None:
                unknown_within_t += 1
                continue
            if abs(r) >= THRESHOLD:
                err = abs(g - r) / abs(r)
            else:
                err = mpf(0) if abs(g) < 2 * THRESHOLD else mpf(1)
            if err > worst[name][0]:
                worst[name] = (err, case)
            if err > TOLERANCE:
                failures += 1
                print("FAIL %s %s: library %s reference %s (%.3g)" % (
                    name, case, mpmath.nstr(g, 17), mpmath.nstr(r, 17), float(err)))
    print("checked %d points (%s); %d figures within t left unchecked (queues too long to sum from empty)" % (
        checked, ", ".join("%s %d" % kv for kv in sorted(methods.items())), unknown_within_t))
    overall = max(worst.values(), key=lambda e: e[0])
    for name in NAMES:
        err, case = worst[name]
        print("worst relative error %-26s %.3g at %s" % (name, float(err), case))
    print("worst relative error overall %.3g at %s" % (float(overall[0]), overall[1]))
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
