#!/usr/bin/python3
"""The two-sided 95% quantiles of Student's t of moravel_student_t_quantile(),
held against mpmath's regularised incomplete beta at 40 digits.

Needs Debian's python3-mpmath: run it with /usr/bin/python3.
Usage: student_t_reference.py PATH_TO_student_t_values
"""
import subprocess
import sys

import mpmath

mpmath.mp.dps = 40

# Degrees of freedom, with the relative error allowed at each.
CASES = [(d, "1e-14") for d in list(range(1, 41)) + [49, 50, 99, 100]]
CASES += [(199, "1e-13"), (999, "1e-13"), (9999, "1e-12"), (99999, "1e-10")]


def quantile(dof):
    nu = mpmath.mpf(dof)
    half = mpmath.mpf(1) / 2
    tail = lambda x: mpmath.betainc(nu / 2, half, 0, nu / (nu + x * x), regularized=True) / 2
    return mpmath.findroot(lambda x: tail(x) - mpmath.mpf("0.025"), (mpmath.mpf("1.9"),
                                                                      mpmath.mpf("13")),
                           solver="anderson")


def main():
    tool = sys.argv[1]
    output = subprocess.run([tool] + [str(d) for d, _ in CASES], check=True,
                            capture_output=True, text=True).stdout.split("\n")
    failures = 0
    for (dof, tolerance), line in zip(CASES, output):
        got_dof, value = line.split()
        assert int(got_dof) == dof
        exact = quantile(dof)
        error = abs((mpmath.mpf(value) - exact) / exact)
        if error > mpmath.mpf(tolerance):
            print(f"dof {dof}: {value}, exact {mpmath.nstr(exact, 20)}, relative error "
                  f"{mpmath.nstr(error, 3)} above {tolerance}")
            failures += 1
    checked = len(CASES)
    print(f"{checked - failures} passed, {failures} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
