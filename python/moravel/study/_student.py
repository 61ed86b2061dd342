"""The two-sided quantile of Student's t, for the confidence intervals."""

from __future__ import annotations

import math
from typing import Dict

from .. import _checks


def _continued_fraction(a: float, b: float, x: float) -> float:
    """The continued fraction of the incomplete beta function (modified Lentz)."""
    tiny = 1e-300
    c, d = 1.0, 1.0 - (a + b) * x / (a + 1.0)
    d = 1.0 / (d if abs(d) > tiny else tiny)
    h = d
    for m in range(1, 10000):
        for numerator in (m * (b - m) * x / ((a + 2 * m - 1) * (a + 2 * m)),
                          -(a + m) * (a + b + m) * x / ((a + 2 * m) * (a + 2 * m + 1))):
            d = 1.0 + numerator * d
            d = 1.0 / (d if abs(d) > tiny else tiny)
            c = 1.0 + numerator / c
            c = c if abs(c) > tiny else tiny
            step = c * d
            h *= step
        if abs(step - 1.0) < 1e-15:
            break
    return h


def _beta_regularized(a: float, b: float, x: float, y: float) -> float:
    """I_x(a, b), with y = 1 - x given exactly by the caller."""
    if x <= 0.0:
        return 0.0
    if y <= 0.0:
        return 1.0
    front = math.exp(math.lgamma(a + b) - math.lgamma(a) - math.lgamma(b)
                     + a * math.log(x) + b * math.log(y))
    if x < (a + 1.0) / (a + b + 2.0):
        return front * _continued_fraction(a, b, x) / a
    return 1.0 - front * _continued_fraction(b, a, y) / b


def _two_sided_tail(t: float, dof: int) -> float:
    """P(|T| > t) for Student's T with `dof` degrees of freedom."""
    square = t * t
    return _beta_regularized(dof / 2.0, 0.5, dof / (dof + square), square / (dof + square))


_T_CACHE: Dict[tuple, float] = {}


def student_t(dof: int, level: float = 0.95) -> float:
    """The two-sided quantile of Student's t: P(|T| <= t) = level.

    Found by bisection on the tail probability, itself the regularised
    incomplete beta function; 12.7062 for 1 degree of freedom, 2.00958 for
    49, tending to the normal 1.95996.
    """
    dof = _checks.whole("dof", dof)
    if dof < 1:
        raise ValueError(f"dof must be at least 1, got {dof}")
    level = _checks.finite("level", level, 0.0, above=True, below=1.0)
    key = (dof, level)
    if key not in _T_CACHE:
        tail = 1.0 - level
        low, high = 0.0, 1.0
        while _two_sided_tail(high, dof) > tail:
            low, high = high, 2.0 * high
        while True:
            middle = 0.5 * (low + high)
            if middle <= low or middle >= high:
                break
            if _two_sided_tail(middle, dof) > tail:
                low = middle
            else:
                high = middle
        _T_CACHE[key] = high
    return _T_CACHE[key]
