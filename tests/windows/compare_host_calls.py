"""Compares two outputs of host_calls, line by line, bit for bit.

Usage: compare_host_calls.py NATIVE OTHER BOUNDS

Lines that are not identical must name the same function with the same
inputs; their results are compared double by double, as the distance in
units in the last place (the number of doubles between the two).  A
function may differ only if BOUNDS lists it ("name ulp" lines, '#' starts a
comment) and only by at most that many ulp; a text result may not differ.
A bound that no line reaches is reported too, so that the list stays as
tight as the platforms allow.

The sign of a NaN is not the arithmetic's to fix: when both operands of a
sum or product are NaN, the one the compiler happened to put first is the
one that comes out.  Any NaN therefore matches any NaN, as bits and in a
text ("nan" and "-nan"); such lines are counted apart.  Prints a table of every function that
differs, with its largest distance.
"""

from __future__ import annotations

import re
import struct
import sys

DOUBLE = re.compile(r"0x[0-9a-f]{16}$")


def ordered(bits: int) -> int:
    """The double's place on the number line, as an integer."""
    return bits if bits < 1 << 63 else (1 << 63) - bits


def ulp_distance(a: str, b: str) -> int:
    x, y = int(a, 16), int(b, 16)
    nan = lambda bits: (bits & 0x7FF0000000000000) == 0x7FF0000000000000 and bits & ((1 << 52) - 1)
    if nan(x) or nan(y):
        return 0 if nan(x) and nan(y) else 1 << 64
    return abs(ordered(x) - ordered(y))


def tokens(line: str) -> list[str]:
    # A text result is one token, blanks and all.
    return re.findall(r"\[[^\]]*\]|\S+", line)


def _without_nan_sign(token: str) -> str:
    if DOUBLE.match(token):
        bits = int(token, 16)
        if (bits & 0x7FF0000000000000) == 0x7FF0000000000000 and bits & ((1 << 52) - 1):
            return "nan"
        return token
    return re.sub(r"-nan\b", "nan", token) if token.startswith("[") else token


def read_bounds(path: str) -> dict[str, int]:
    bounds = {}
    with open(path, encoding="utf-8") as file:
        for line in file:
            line = line.split("#", 1)[0].split()
            if line:
                bounds[line[0]] = int(line[1])
    return bounds


def main(native_path: str, other_path: str, bounds_path: str) -> int:
    with open(native_path, encoding="utf-8", newline="") as file:
        native = file.read().split("\n")
    with open(other_path, encoding="utf-8", newline="") as file:
        other = file.read().split("\n")
    bounds = read_bounds(bounds_path)
    failures = []
    worst: dict[str, int] = {}
    differing: dict[str, int] = {}
    nan_signs = 0
    if len(native) != len(other):
        failures.append(f"{len(native)} lines against {len(other)}")
    for number, (a, b) in enumerate(zip(native, other), start=1):
        if a == b:
            continue
        ta, tb = tokens(a), tokens(b)
        # "name(points)" lines are the function `name` on a chosen set of points.
        name = ta[0].split("(")[0] if ta else "(empty line)"
        differing[name] = differing.get(name, 0) + 1
        if "->" not in ta or len(ta) != len(tb) or ta[: ta.index("->") + 1] != tb[: ta.index("->") + 1]:
            failures.append(f"line {number}: not the same call:\n  {a}\n  {b}")
            continue
        if [_without_nan_sign(x) for x in ta] == [_without_nan_sign(y) for y in tb]:
            nan_signs += 1
            differing[name] -= 1
            continue
        for x, y in zip(ta, tb):
            if x == y:
                continue
            if DOUBLE.match(x) and DOUBLE.match(y):
                distance = ulp_distance(x, y)
                worst[name] = max(worst.get(name, 0), distance)
                if distance > bounds.get(name, 0):
                    failures.append(f"line {number}: {name} differs by {distance} ulp "
                                    f"(bound {bounds.get(name, 0)}):\n  {a}\n  {b}")
            else:
                failures.append(f"line {number}: {name}: {x} against {y}")
    lines = sum(1 for line in native if line)
    print(f"{lines} calls compared; {sum(differing.values())} lines differ beyond the sign "
          f"of a NaN, {nan_signs} only in it")
    for name in sorted(name for name in differing if differing[name]):
        print(f"  {name}: {differing[name]} lines, at most {worst.get(name, 0)} ulp"
              f" (bound {bounds.get(name, 0)})")
    for name, bound in sorted(bounds.items()):
        if bound > 0 and worst.get(name, 0) == 0:
            print(f"  {name}: bound {bound} ulp, but identical on every point")
    for failure in failures[:20]:
        print("FAIL", failure)
    if len(failures) > 20:
        print(f"... and {len(failures) - 20} more failures")
    return 1 if failures else 0


if __name__ == "__main__":
    if len(sys.argv) != 4:
        print(__doc__, file=sys.stderr)
        sys.exit(2)
    sys.exit(main(*sys.argv[1:]))
