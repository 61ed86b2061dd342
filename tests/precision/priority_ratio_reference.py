#!/usr/bin/python3
"""The priority classes' losses and the direct-form ratio of the second
interface, held against mpmath (60 digits and more) on a grid.

Priority: class j of a_j erlangs below classes of A1 = a_0 + ... + a_(j-1)
loses (A2 B(A2) - A1 B(A1)) / a_j, A2 = A1 + a_j, B by the Erlang
recursion; grids put the low class from 1e-300 erlangs to far above the
others.  Every loss of 1e-300 or more must be within a relative 1e-8 (the form kept where the
difference keeps 32 bits), every carried traffic within 1e-8 of its class's
traffic.  Ratio: E(V, A) / E(V - i, A) in direct form; every accepted ratio
within 1e-12, and every refusal one where E(V, A) or E(V - i, A) lies
below the least normal double.

Needs Debian's python3-mpmath: run it with /usr/bin/python3.
Usage: priority_ratio_reference.py PATH_TO_priority_ratio_values
"""
import itertools
import subprocess
import sys

import mpmath

mpmath.mp.dps = 60
LEAST_NORMAL = mpmath.mpf(2) ** -1022
THRESHOLD = mpmath.mpf("1e-300")


def erlang_b(V, A):
    b = mpmath.mpf(1)
    for i in range(1, V + 1):
        t = A * b
        b = t / (i + t)
    return b


def priority(V, traffic):
    # Enough digits that A1 + a_j is exact and the difference keeps 40.
    digits = 60 + int(max(0, mpmath.log10(sum(traffic) / min(traffic))))
    with mpmath.workdps(digits):
        losses, above = [], mpmath.mpf(0)
        for a in traffic:
            a = mpmath.mpf(a)
            below = above + a
            lost = below * erlang_b(V, below) - (above * erlang_b(V, above) if above else 0)
            losses.append(lost / a)
            above = below
        return [+x for x in losses]


def direct(V, A):
    A = mpmath.mpf(A)
    terms = [A ** k / mpmath.factorial(k) for k in range(V + 1)]
    return terms[-1] / mpmath.fsum(terms)


def main():
    cases, expected = [], []
    highs = [1e-3, 0.5, 5.0, 100.0, 1e4]
    lows = [1e-300, 1e-17, 1e-13, 1e-8, 1e-3, 0.3, 3.0, 50.0]
    for V in (1, 2, 5, 10, 30, 100):
        for high, low in itertools.product(highs, lows):
            for traffic in ([high, low], [high, low, low], [high, 0.5 * high, low]):
                cases.append("priority %d %d %s" % (V, len(traffic), " ".join(repr(x) for x in traffic)))
                expected.append(("priority", traffic, priority(V, traffic)))
    for V in (1, 3, 10, 40, 100, 150, 169, 170):
        for A in (1e-300, 1e-5, 0.1, 0.8, 0.826, 2.0, 10.0, 50.0, 99.0):
            for i in sorted({0, 1, 3, V}):
                if i > V:
                    continue
                cases.append("ratio %d %r %d" % (V, A, i))
                expected.append(("ratio", (V, A, i), None))
    run = subprocess.run([sys.argv[1]], input="\n".join(cases) + "\n", capture_output=True,
                         text=True, check=True)
    lines = run.stdout.splitlines()
    assert len(lines) == len(cases)
    worst_loss = worst_carried = worst_ratio = mpmath.mpf(0)
    failures = accepted = refused = 0
    for case, line, (kind, args, exact) in zip(cases, lines, expected):
        words = line.split()
        if kind == "priority":
            if words[0] == "refused":
                print("refused:", case, line)
                failures += 1
                continue
            values = [mpmath.mpf(w) for w in words]
            for j, (a, e) in enumerate(zip(args, exact)):
                got_e, got_y = values[2 * j], values[2 * j + 1]
                if e < THRESHOLD:  # below the doubles' reach: must stay below too
                    err = mpmath.mpf(0) if got_e < THRESHOLD else mpmath.mpf(1)
                else:
                    err = abs(got_e - e) / e
                carried_err = abs(got_y - mpmath.mpf(a) * (1 - e)) / mpmath.mpf(a)
                worst_loss, worst_carried = max(worst_loss, err), max(worst_carried, carried_err)
                if err > 1e-8 or carried_err > 1e-8:
                    print("off:", case, "class", j, mpmath.nstr(err, 3), mpmath.nstr(carried_err, 3))
                    failures += 1
        else:
            V, A, i = args
            e1, e2 = direct(V, A), direct(V - i, A)
            sound = e1 >= LEAST_NORMAL and e2 >= LEAST_NORMAL and mpmath.mpf(A) ** V < mpmath.mpf(2) ** 1024
            if words[0] == "refused":
                refused += 1
                if sound:
                    print("refused a sound ratio:", case, line)
                    failures += 1
                continue
            accepted += 1
            err = abs(mpmath.mpf(words[0]) - e1 / e2) / (e1 / e2)
            worst_ratio = max(worst_ratio, err)
            if not sound or err > 1e-12:
                print("ratio off:", case, mpmath.nstr(err, 3), "sound" if sound else "unsound")
                failures += 1
    print("priority: worst relative loss error %s, worst carried error %s (of the class's traffic)"
          % (mpmath.nstr(worst_loss, 3), mpmath.nstr(worst_carried, 3)))
    print("ratio: %d accepted, %d refused, worst relative error %s"
          % (accepted, refused, mpmath.nstr(worst_ratio, 3)))
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
