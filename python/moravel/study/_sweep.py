"""study.sweep: one model at every point of a grid."""

from __future__ import annotations

from collections.abc import Mapping
from typing import List, Optional

from ._arguments import _chunk_size, _executor, _text, _workers
from ._executing import _execute
from ._grid import _base_seed, _derived_seeds, _seed_value, points
from ._models import _MODELS, _check_known, _check_names, _model
from ._results import Row


def sweep(model, grid, executor=None, *, fixed: Optional[Mapping] = None,
          seed: Optional[int] = None, clock_seeds: bool = False,
          chunk_size: Optional[int] = None,
          workers: Optional[int] = None) -> List[Row]:
    """Evaluates a model at every point of a grid; returns one Row per point,
    in the grid's order (see ``points()``).

    model       -- a moravel function or its name, analytic or simulated
    grid        -- argument names mapped to sequences of values (their
                   cartesian product), or a list of argument dicts
    executor    -- a concurrent.futures.Executor, or None to run here
    fixed       -- arguments with one value at every point (for example
                   ``classes`` of the link-group models, itself a sequence)
    seed        -- for the simulations, when the grid gives no seed: the
                   base seed; point i runs with the seed of run
                   i by the rule of seeds(), seed + i
    clock_seeds -- allow the seed 0 (clock-seeded, not repeatable runs)
    chunk_size  -- points per task sent to the executor (default: four
                   chunks per worker)
    workers     -- how many tasks the executor runs at once, for the default
                   chunk size (default: this machine's processor count)
    """
    name = _model(model, "model")
    entry = _MODELS[name]
    found = points(grid)
    fixed = {} if fixed is None else fixed
    if not isinstance(fixed, Mapping):
        raise TypeError(f"fixed must be a dict of arguments, got {type(fixed).__name__}")
    fixed = dict(fixed)
    for argument in fixed:
        if any(argument in point for point in found):
            raise ValueError(f"fixed: {argument!r} is also in the grid; give it in one place")
    _check_known(name, "fixed", fixed)
    for index, point in enumerate(found):
        where = "grid" if isinstance(grid, Mapping) else f"grid[{index}]"
        exclude = ("seed",) if entry.seeded and seed is not None else ()
        _check_names(name, where, list(point) + list(fixed), exclude)
        if isinstance(grid, Mapping):
            break  # every point of a product names the same arguments
    calls = [dict(point, **fixed) for point in found]
    if entry.seeded:
        if seed is not None:
            if "seed" in fixed or any("seed" in point for point in found):
                raise ValueError("seed: the grid already gives the seeds; give a base seed "
                                 "or seeds in the grid, not both")
            derived = _derived_seeds(len(calls), _base_seed("seed", seed))
            for call, value in zip(calls, derived):
                call["seed"] = value
        for index, call in enumerate(calls):
            if "seed" not in call:
                raise ValueError(f"seed: {name} needs a seed at every point (grid point {index} "
                                 "has none): give a base seed, seed=..., or a 'seed' axis")
            call["seed"] = _seed_value(f"seed of grid point {index}", call["seed"], clock_seeds)
    elif seed is not None:
        raise ValueError(f"seed: {name} takes no seed"
                         + (" (it seeds itself from the random device)"
                            if entry.simulation else ""))
    chunk_size = _chunk_size(chunk_size)
    workers = _workers(workers)
    executor = _executor(executor)

    items = [("call", name, call) for call in calls]
    results = _execute(items, lambda i: (i, calls[i], f"{name} at grid point {i} "
                                                      f"{_text(calls[i])}"),
                       executor, chunk_size, workers)
    return [Row(call, result) for call, result in zip(calls, results)]
