"""The contact-centre models' own elementary functions against mpmath at 50
digits: the error of each value in units in the last place of the exact
value, the worst printed per function, each held to its bound.

Arguments: seeded random ones over every range where the methods change
(the reductions by ln 2, the rational forms' edges, the thresholds of
overflow and underflow, subnormals), plus the edges themselves and their
neighbours.

    /usr/bin/python3 contact_centre_elementary_reference.py VALUES_PROGRAM
"""

import math
import random
import subprocess
import sys

import mpmath

mpmath.mp.dps = 50

# The worst error allowed, in ulps of the exact value.  A subnormal e^x
# rounds twice (y near 1, then y 2^k to the subnormal's precision), so its
# error in the subnormal's ulp reaches about 1.34: it is bounded apart.
BOUNDS = {"exp": 1.0, "exp subnormal": 1.5, "expm1": 1.0, "log": 1.0, "log1p": 1.0,
          "logfactorial": 1.0}


def neighbours(x, count=3):
    out = [x]
    up = down = x
    for _ in range(count):
        up = math.nextafter(up, math.inf)
        down = math.nextafter(down, -math.inf)
        out += [up, down]
    return out


def uniform(rng, lo, hi, count):
    return [rng.uniform(lo, hi) for _ in range(count)]


def log_uniform(rng, lo, hi, count, sign=1.0):
    return [sign * math.exp(rng.uniform(math.log(lo), math.log(hi))) for _ in range(count)]


def arguments():
    rng = random.Random(20261207)
    ln2 = math.log(2.0)
    cases = {}
    exp_args = []
    for edge in (0.0, ln2 / 2, -ln2 / 2, 1.5 * ln2, -1.5 * ln2, 2.0 ** -28, -(2.0 ** -28),
                 709.782712893383973096, -745.13321910194110842, -708.39641853226410622,
                 -708.4, 700.0, 1.0, -1.0, 36.7368005696771, -37.0):
        exp_args += neighbours(edge)
    exp_args += uniform(rng, -ln2, ln2, 4000)
    exp_args += uniform(rng, -745.0, 709.7, 6000)
    exp_args += log_uniform(rng, 1e-20, 1.0, 2000) + log_uniform(rng, 1e-20, 1.0, 2000, -1.0)
    exp_args += uniform(rng, -745.1332, -708.3, 1000)  # subnormal results
    cases["exp"] = exp_args

    expm1_args = []
    for edge in (0.0, ln2 / 2, -ln2 / 2, 1.5 * ln2, -1.5 * ln2, 2.0 ** -54, -(2.0 ** -54),
                 56 * ln2, -56 * ln2, -0.25, 0.25, 20 * ln2, -2 * ln2, 2 * ln2, 709.782712893383973096,
                 56.5 * ln2, 19.5 * ln2, 20.5 * ln2):
        expm1_args += neighbours(edge)
    expm1_args += uniform(rng, -ln2, ln2, 4000)
    expm1_args += uniform(rng, -40.0, 40.0, 4000)
    expm1_args += uniform(rng, 38.0, 709.78, 1000)
    expm1_args += log_uniform(rng, 1e-300, 1.0, 3000) + log_uniform(rng, 1e-300, 1.0, 3000, -1.0)
    cases["expm1"] = expm1_args

    log_args = []
    for edge in (1.0, math.sqrt(0.5), math.sqrt(2.0), 2.0, 0.5, 5e-324, 2.2250738585072014e-308,
                 1.7976931348623157e308, 1e-300, 1e300, math.e):
        log_args += [x for x in neighbours(edge) if x > 0.0]
    log_args += uniform(rng, 0.5, 2.0, 4000)
    log_args += log_uniform(rng, 5e-324, 1.7e308, 6000)
    log_args += [1.0 + x for x in log_uniform(rng, 1e-16, 1e-3, 1000)]
    log_args += [1.0 - x for x in log_uniform(rng, 1e-16, 1e-3, 1000)]
    cases["log"] = log_args

    log1p_args = []
    for edge in (0.0, math.sqrt(0.5) - 1.0, math.sqrt(2.0) - 1.0, 2.0 ** -54, -(2.0 ** -54),
                 -0.5, 1.0, 2.0 ** 53, 2.0 ** 53 - 1.0, 1e300, -0.9999999999999999):
        log1p_args += [x for x in neighbours(edge) if x > -1.0]
    log1p_args += uniform(rng, -0.3, 0.42, 4000)
    log1p_args += uniform(rng, -1.0, 3.0, 3000)
    log1p_args += log_uniform(rng, 1e-300, 1e300, 3000)
    log1p_args += log_uniform(rng, 1e-300, 1.0, 2000, -1.0)
    log1p_args += [-1.0 + x for x in log_uniform(rng, 1e-16, 0.5, 1000)]
    cases["log1p"] = [x for x in log1p_args if x > -1.0]

    factorials = list(range(0, 200)) + [rng.randrange(200, 10 ** 4) for _ in range(1500)]
    factorials += [rng.randrange(10 ** 4, 10 ** 7 + 2) for _ in range(1500)]
    factorials += [10 ** 7, 10 ** 7 + 1, 2 ** 24, 2 ** 30]
    cases["logfactorial"] = [float(k) for k in factorials]
    return cases


def exact(name, x):
    v = mpmath.mpf(x)
    if name == "exp":
        return mpmath.exp(v)
    if name == "expm1":
        return mpmath.expm1(v)
    if name == "log":
        return mpmath.log(v)
    if name == "log1p":
        return mpmath.log1p(v)
    return mpmath.loggamma(v + 1)


def ulp_error(value, reference):
    """|value - reference| in ulps of the reference (subnormal ulp below 2^-1022)."""
    if reference == 0:
        return 0.0 if value == 0.0 else math.inf
    exponent = max(int(mpmath.floor(mpmath.log(abs(reference), 2))), -1022)
    # log2 of a number just below a power of two may round up: check.
    if abs(reference) < mpmath.mpf(2) ** exponent:
        exponent -= 1
    ulp = mpmath.mpf(2) ** (exponent - 52)
    return float(abs(mpmath.mpf(value) - reference) / ulp)


def total_arguments(cases):
    return sum(len(xs) for xs in cases.values())


def main():
    program = sys.argv[1]
    cases = arguments()
    lines = []
    order = []
    for name, xs in cases.items():
        for x in xs:
            lines.append(f"{name} {float.hex(x)}")
            order.append((name, x))
    run = subprocess.run([program], input="\n".join(lines) + "\n", capture_output=True, text=True,
                         check=True)
    values = [float.fromhex(v) for v in run.stdout.split()]
    assert len(values) == len(order), (len(values), len(order))
    assert total_arguments(cases) == len(order)

    worst = {name: (0.0, None) for name in BOUNDS}
    counts = {name: 0 for name in BOUNDS}
    for (name, x), value in zip(order, values):
        reference = exact(name, x)
        if name == "exp" and 0 < reference < mpmath.mpf(2) ** -1022:
            name = "exp subnormal"
        counts[name] += 1
        # Beyond the doubles: the value must be the infinity or the zero.
        if abs(reference) > mpmath.mpf(sys.float_info.max) * (1 + mpmath.mpf(2) ** -53):
            error = 0.0 if value == math.copysign(math.inf, reference) else math.inf
        else:
            error = ulp_error(value, reference)
        if error > worst[name][0]:
            worst[name] = (error, x)

    failed = False
    total = 0
    for name in BOUNDS:
        error, at = worst[name]
        total += counts[name]
        where = "" if at is None else f" at {at!r} ({float.hex(at)})"
        print(f"{name:13s} {counts[name]:6d} arguments, worst error {error:.3f} ulp{where}")
        if error > BOUNDS[name]:
            print(f"  above the bound of {BOUNDS[name]} ulp")
            failed = True
    print(f"checked {total} arguments")
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
