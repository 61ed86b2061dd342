#!/usr/bin/python3
"""Exact-count, high-precision evaluation of the multi-rate link-group and
link-subset models, held against the library on generated groups.

Every arrangement count is an exact Python integer (built link by link, so
no alternating sum is involved), and the occupancy recursion, the shares
and the blocking sums run in mpmath at 40 significant digits with its
unbounded exponent.  For one link the recursion is also checked against the
plain Kaufman-Roberts recursion.

Needs Debian's python3-mpmath: run it with /usr/bin/python3.
Usage: link_group_reference.py PATH_TO_link_group_values
"""
import itertools
import random
import subprocess
import sys

import mpmath

mpmath.mp.dps = 40

# Blocking at or above this must agree to TOLERANCE relative; below it the
# library's value must stay below THRESHOLD too.
THRESHOLD = mpmath.mpf("1e-300")
TOLERANCE = mpmath.mpf("1e-9")


def add_links(row, links, lo, hi, x_max):
    """row'[x] = row[x - hi] + ... + row[x - lo], once per added link."""
    for _ in range(links):
        prefix = [0] + list(itertools.accumulate(row))
        last = len(row) - 1
        top = min(last + hi, x_max)
        row = [prefix[min(last, x - lo) + 1] - prefix[max(0, x - hi)]
               if max(0, x - hi) <= min(last, x - lo) else 0
               for x in range(top + 1)]
    return row[:x_max + 1] + [0] * (x_max + 1 - len(row))


def demand_count(t):
    return int(t) if t < 2**31 else 2**31


def shares(k, f, demands, V):
    """sigma[d][x] and its complement rho[d][x], x = 0..V, as mpf."""
    all_ = add_links([1], k, 0, f, V)
    sigma, rho = {}, {}
    for d in demands:
        if d > f:
            sigma[d], rho[d] = [mpmath.mpf(0)] * (V + 1), [mpmath.mpf(1)] * (V + 1)
        elif d < 1:
            sigma[d], rho[d] = [mpmath.mpf(1)] * (V + 1), [mpmath.mpf(0)] * (V + 1)
        else:
            without = add_links([1], k, 0, d - 1, V)
            sigma[d] = [mpmath.mpf(n - b) / n for n, b in zip(all_, without)]
            rho[d] = [mpmath.mpf(b) / n for n, b in zip(all_, without)]
    return sigma, rho


def occupancy(a, t, k, f, sigma):
    V = k * f
    P = [mpmath.mpf(0)] * (V + 1)
    P[0] = mpmath.mpf(1)
    for n in range(1, V + 1):
        p = mpmath.mpf(0)
        for ai, ti in zip(a, t):
            back = n - ti
            if back < 0:
                continue
            m = int(back)
            earlier = p if m == n else P[m]
            p += mpmath.mpf(ai) * ti / n * earlier * sigma[demand_count(ti)][V - m]
        P[n] = p
    S = mpmath.fsum(P)
    return [p / S for p in P]


def link_group(a, t, k, f):
    V = k * f
    demands = {demand_count(ti) for ti in t}
    sigma, rho = shares(k, f, demands, V)
    Q = occupancy(a, t, k, f, sigma)
    E = [mpmath.fsum(rho[demand_count(ti)][V - n] * Q[n] for n in range(V + 1)) for ti in t]
    accepting = [mpmath.fsum(sigma[demand_count(ti)][V - n] * Q[n] for n in range(V + 1))
                 for ti in t]
    return E, accepting


def link_subset(a, t, k, f, g):
    V = k * f
    demands = {demand_count(ti) for ti in t}
    sigma, _ = shares(k, f, demands, V)
    Q = occupancy(a, t, k, f, sigma)
    others = add_links([1], k - g, 0, f, V)
    all_ = add_links(others, g, 0, f, V)
    blocking, accepting = {}, {}
    for d in demands:
        m = f - d + 1
        if d > f:
            blocking[d], accepting[d] = mpmath.mpf(1), mpmath.mpf(0)
        elif m > V or m * g > f * g:
            blocking[d], accepting[d] = mpmath.mpf(0), mpmath.mpf(1)
        else:
            blocked = add_links(others, g, m, f, V) + [0] * (V + 1)
            blocking[d] = mpmath.fsum(mpmath.mpf(blocked[n]) / all_[n] * Q[n] for n in range(m, V + 1))
            # 1 - beta(n) as one exact fraction, so that no digit cancels.
            accepting[d] = mpmath.fsum(
                mpmath.mpf(all_[n] - (blocked[n] if n >= m else 0)) / all_[n] * Q[n]
                for n in range(V + 1))
    return ([blocking[demand_count(ti)] for ti in t],
            [accepting[demand_count(ti)] for ti in t])


def kaufman_roberts(a, t, V):
    """One link of V units: n q(n) = sum_i a_i t_i q(n - t_i), whole demands."""
    q = [mpmath.mpf(0)] * (V + 1)
    q[0] = mpmath.mpf(1)
    for n in range(1, V + 1):
        q[n] = mpmath.fsum(mpmath.mpf(ai) * ti * q[n - int(ti)] for ai, ti in zip(a, t)
                           if 1 <= ti <= n) / n
    S = mpmath.fsum(q)
    return [mpmath.fsum(q[max(0, V - int(ti) + 1):]) / S if ti >= 1 else mpmath.mpf(0) for ti in t]


def generated_groups(seed, count):
    """Groups from one link to 64, up to 10^4 units a link, with traffic from
    light to far past the point where the unnormalised recursion overflows."""
    rng = random.Random(seed)
    groups = []
    while len(groups) < count:
        shape = rng.choice(["many links", "wide links", "mixed"])
        if shape == "many links":
            k, f = rng.randint(16, 64), rng.randint(5, 120)
        elif shape == "wide links":
            k, f = rng.randint(1, 3), rng.randint(500, 10000)
        else:
            k, f = rng.randint(4, 16), rng.randint(20, 600)
        V = k * f
        if V > 12000:
            continue
        M = rng.randint(1, 4)
        t = [float(rng.choice([1, 2, rng.randint(1, max(1, f // 4)), rng.randint(1, f),
                               f + rng.randint(1, 3)])) for _ in range(M)]
        load = rng.choice([0.3, 0.8, 1.0, 1.5, 4.0])  # offered units per unit of capacity
        a = [load * V / M / ti * rng.uniform(0.5, 1.5) for ti in t]
        g = rng.randint(1, k)
        groups.append((k, f, g, a, t))
    return groups


# The groups an engineer meets every day, where the double-precision
# recursion and the alternating sums gave out.
FIXED = [
    (4, 500, 2, [666.0, 100.0, 20.0], [1.0, 5.0, 20.0]),
    (8, 100, 4, [200.0, 20.0], [1.0, 5.0]),
    (1, 5000, 1, [1250.0, 125.0], [1.0, 5.0]),
    (32, 50, 8, [100.0, 20.0, 5.0], [1.0, 5.0, 20.0]),
    (1, 1000, 1, [710.0], [1.0]),
    (1, 1000, 1, [1000.0], [1.0]),
    (23, 23, 5, [2.75], [22.0]),
    (64, 100, 16, [3000.0, 200.0], [1.0, 10.0]),
    (2, 10000, 1, [15000.0, 300.0], [1.0, 40.0]),
    # Small blockings on groups whose counts stay exact, where 1 - sigma
    # loses its digits.
    (2, 30, 1, [1.0, 1e-300], [1.0, 16.0]),
    (9, 30, 4, [1.0, 1e-300], [1.0, 16.0]),
    (9, 30, 4, [5.0, 0.01], [1.0, 16.0]),
    (9, 32, 3, [1.0, 1e-300], [1.0, 19.0]),
    (9, 32, 3, [5.0, 0.01], [1.0, 19.0]),
    # Extreme traffic: the group is full and carries about its capacity.
    (2, 3, 1, [1.7976931348623157e308], [1.0]),
    (2, 3, 2, [1e300, 1.0], [1.0, 2.0]),
    (4, 5, 2, [1e200], [3.0]),
]


def run_library(values_program, lines):
    out = subprocess.run([values_program], input="\n".join(lines) + "\n", capture_output=True,
                         text=True, check=True).stdout.splitlines()
    return [[mpmath.mpf(v) for v in line.split()] for line in out]


def line_of(model, k, f, g, a, t):
    head = f"subset {k} {f} {g}" if model == "subset" else f"group {k} {f}"
    return head + f" {len(a)} " + " ".join(f"{ai!r} {ti!r}" for ai, ti in zip(a, t))


def main():
    values_program = sys.argv[1]
    groups = FIXED + generated_groups(20261207, 26)
    lines = []
    for k, f, g, a, t in groups:
        lines.append(line_of("group", k, f, g, a, t))
        lines.append(line_of("subset", k, f, g, a, t))
    library = run_library(values_program, lines)

    worst = mpmath.mpf(0)
    worst_carried = [mpmath.mpf(0)]
    failures = []

    def check(what, got, want):
        nonlocal worst
        if want >= THRESHOLD:
            error = abs(got - want) / want
            worst = max(worst, error)
            if not error <= TOLERANCE:
                failures.append(f"{what}: library {mpmath.nstr(got, 17)}, exact {mpmath.nstr(want, 17)}")
        elif not abs(got) < THRESHOLD:
            failures.append(f"{what}: library {mpmath.nstr(got, 17)}, exact {mpmath.nstr(want, 17)}")

    for index, (k, f, g, a, t) in enumerate(groups):
        name = f"k={k} f={f} g={g} a={a} t={t}"
        E_group, accepting_group = link_group(a, t, k, f)
        E_subset, accepting_subset = link_subset(a, t, k, f, g)
        got_group, got_subset = library[2 * index], library[2 * index + 1]
        for i, ti in enumerate(t):
            check(f"link group {name} E[{i}]", got_group[2 * i], E_group[i])
            check(f"link subset {name} E[{i}]", got_subset[2 * i], E_subset[i])
            # Carried traffic t a (1 - E), from the accepting share counted
            # directly: to a relative 1e-9, or within the rounding of 1 - E
            # (an ulp of 1 times t a) where that is larger; never more than
            # the k f units of the group.
            offered = mpmath.mpf(ti) * a[i]
            for model, got, accepting in (("link group", got_group, accepting_group),
                                          ("link subset", got_subset, accepting_subset)):
                carried = offered * accepting[i]
                error = abs(got[2 * i + 1] - carried)
                if carried >= THRESHOLD:
                    worst_carried[0] = max(worst_carried[0], error / carried)
                if not (error <= TOLERANCE * carried + mpmath.mpf(2)**-52 * offered
                        and got[2 * i + 1] <= k * f):
                    failures.append(f"{model} {name} C[{i}]: library {got[2 * i + 1]}, "
                                    f"exact {mpmath.nstr(carried, 17)}")
        if k == 1:
            for i, E in enumerate(kaufman_roberts(a, t, f)):
                check(f"Kaufman-Roberts {name} E[{i}]", E_group[i], E)

    print(f"{len(groups)} groups, worst relative error of a blocking at or above 1e-300: "
          f"{mpmath.nstr(worst, 3)}; of a carried traffic at or above 1e-300: {mpmath.nstr(worst_carried[0], 3)}")
    for failure in failures:
        print("FAIL", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
