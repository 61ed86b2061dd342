"""Seeds derived from a base seed, and the points of a grid."""

from __future__ import annotations

import itertools
from collections.abc import Iterable, Mapping
from typing import Any, Dict, List

from .. import _checks
from ._core import replication_seeds

_SEED_CYCLE = _checks.UINT32_MAX  # the nonzero 32-bit words, 1 .. 2**32 - 1


def seeds(count: int, base: int = 1) -> List[int]:
    """The seeds of `count` runs derived from a base seed.

    Run r (from 0) gets the seed ((base - 1 + r) mod (2**32 - 1)) + 1: base,
    base + 1, base + 2, ... up to 2**32 - 1, then on from 1 again.  The rule
    runs through the nonzero 32-bit words only, so it never gives 0 (which
    would ask the library for a clock seed); the base itself is 1 to
    2**32 - 1.  The rule is the library's (moravel_replication_seeds), so
    `moravel compare` numbers its replications the same way.
    """
    count = _checks.whole("count", count)
    if count < 0:
        raise ValueError(f"count must be at least 0, got {count}")
    return _derived_seeds(count, _base_seed("base", base))


def _derived_seeds(count: int, base: int) -> List[int]:
    return replication_seeds(count, base)


def points(grid) -> List[Dict[str, Any]]:
    """The points of a grid, as argument dicts in the study's order.

    A mapping from argument names to sequences of values spans their
    cartesian product: the first argument varies slowest and the last one
    fastest (``itertools.product`` over the mapping's order), so
    {"servers": [10, 20], "traffic": [1, 2]} gives servers 10 with traffic 1
    and 2, then servers 20 with traffic 1 and 2.  A list of argument dicts is
    taken as it stands, in its order.
    """
    if isinstance(grid, Mapping):
        if not grid:
            raise ValueError("grid is empty: give each argument to vary and its values")
        names, axes = [], []
        for name, values in grid.items():
            if not isinstance(name, str):
                raise TypeError(f"grid keys must be argument names (str), got {name!r}")
            if isinstance(values, (str, bytes, Mapping)) or not isinstance(values, Iterable):
                raise TypeError(f"grid[{name!r}] must be a sequence of values, "
                                f"got {type(values).__name__}")
            values = list(values)
            if not values:
                raise ValueError(f"grid[{name!r}] is empty: give at least one value")
            names.append(name)
            axes.append(values)
        return [dict(zip(names, combination)) for combination in itertools.product(*axes)]
    if isinstance(grid, (str, bytes)) or not isinstance(grid, Iterable):
        raise TypeError("grid must be a mapping of argument names to sequences of values, "
                        f"or a list of argument dicts; got {type(grid).__name__}")
    found = list(grid)
    if not found:
        raise ValueError("grid is empty: give at least one point")
    for index, point in enumerate(found):
        if not isinstance(point, Mapping):
            raise TypeError(f"grid[{index}] must be a dict of arguments, "
                            f"got {type(point).__name__}")
        for name in point:
            if not isinstance(name, str):
                raise TypeError(f"grid[{index}] keys must be argument names (str), got {name!r}")
    return [dict(point) for point in found]


def _base_seed(argument: str, value) -> int:
    value = _checks.whole(argument, value)
    if value == 0:
        raise ValueError(f"{argument} must be from 1 to {_SEED_CYCLE}, got 0 "
                         "(0 would seed the runs from the clock)")
    if not 1 <= value <= _SEED_CYCLE:
        raise ValueError(f"{argument} must be from 1 to {_SEED_CYCLE}, got {value}")
    return value


def _seed_value(argument: str, value, clock_seeds: bool) -> int:
    value = _checks.whole(argument, value)
    if not 0 <= value <= _SEED_CYCLE:
        raise ValueError(f"{argument} must be from 1 to {_SEED_CYCLE}, got {value}")
    if value == 0 and not clock_seeds:
        raise ValueError(f"{argument} is 0, which seeds the run from the clock and cannot be "
                         "repeated; pass clock_seeds=True to ask for that")
    return value
