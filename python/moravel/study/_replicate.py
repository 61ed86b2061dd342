"""study.replicate: a simulation once per seed, and its estimates beside the
analytic twin."""

from __future__ import annotations

import numbers
from collections.abc import Iterable, Mapping
from typing import List, Optional, Union

from ._arguments import _chunk_size, _executor, _one_or_many, _text, _workers
from ._core import estimate, probability_figures
from ._executing import _execute
from ._grid import _base_seed, _derived_seeds, _seed_value
from ._models import _MODELS, _check_names, _model, _parameters
from ._results import Estimate, Replication


def _estimate(values: List[float], analytic: Optional[float], probability: bool) -> Estimate:
    return Estimate(*estimate(values, probability), analytic)


def _estimates(runs: list, twin, probabilities: List[bool]):
    """Each figure's estimate by the library (moravel_estimate), the interval
    of a probability clipped to [0, 1]."""
    first = runs[0]
    if isinstance(first, list):
        return [
            type(one)(*[_estimate([run[c][f] for run in runs],
                                  None if twin is None else twin[c][f], probabilities[f])
                        for f in range(len(one))])
            for c, one in enumerate(first)
        ]
    return type(first)(*[_estimate([run[f] for run in runs],
                                   None if twin is None else twin[f], probabilities[f])
                         for f in range(len(first))])


def replicate(sim, args, seeds, executor=None, *, base_seed: int = 1,
              clock_seeds: bool = False, chunk_size: Optional[int] = None,
              workers: Optional[int] = None
              ) -> Union[Replication, List[Replication]]:
    """Runs a simulation once per seed and estimates each figure: mean,
    standard error and 95% confidence interval (Student's t; clipped to
    [0, 1] for a probability), all by the library as `moravel compare`
    computes them, beside the
    analytic twin's value (simulate_loss -> loss, simulate_wait -> wait,
    simulate_link_subset -> link_subset).

    sim        -- simulate_loss, simulate_wait or simulate_link_subset (or
                  the name)
    args       -- the simulation's arguments without the seed; a list of
                  such dicts replicates each, all runs sent at once, and
                  gives a list of Replication in the same order
    seeds      -- the number of runs (at least 2), seeded by the rule of
                  ``seeds()`` from base_seed; or the seeds themselves,
                  distinct and nonzero (0 only with clock_seeds=True).
    executor   -- a concurrent.futures.Executor, or None to run here
    chunk_size, workers -- as for ``sweep``
    """
    name = _model(sim, "sim")
    entry = _MODELS[name]
    if not entry.simulation:
        raise ValueError(f"sim must be a simulation (simulate_loss, simulate_wait, "
                         f"simulate_link_subset); {name} is analytic")
    found, one = _one_or_many(args, "args")
    for index, arguments in enumerate(found):
        where = "args" if one else f"args[{index}]"
        if "seed" in arguments:
            raise ValueError(f"{where}: give the seeds through `seeds`, not in the arguments")
        _check_names(name, where, arguments, exclude=("seed",))
    if isinstance(seeds, numbers.Integral) and not isinstance(seeds, bool):
        count = int(seeds)
        if count < 2:
            raise ValueError(f"seeds must ask for at least 2 runs, got {count}")
        chosen = _derived_seeds(count, _base_seed("base_seed", base_seed)) \
            if entry.seeded else []
    elif not entry.seeded:
        raise ValueError(f"seeds: {name} seeds itself from the random device; give the number "
                         "of runs instead of a list of seeds")
    else:
        if isinstance(seeds, (str, bytes, Mapping)) or not isinstance(seeds, Iterable):
            raise TypeError(f"seeds must be a number of runs or a sequence of seeds, "
                            f"got {type(seeds).__name__}")
        chosen = [_seed_value(f"seeds[{i}]", value, clock_seeds)
                  for i, value in enumerate(seeds)]
        count = len(chosen)
        if count < 2:
            raise ValueError(f"seeds must hold at least 2 seeds, got {count}")
        seen = set()
        for value in chosen:
            if value != 0 and value in seen:
                raise ValueError(f"seeds holds {value} twice: a repeated seed repeats its run")
            seen.add(value)
    chunk_size = _chunk_size(chunk_size)
    workers = _workers(workers)
    executor = _executor(executor)

    twin_parameters = _parameters(entry.twin)
    items, where = [], []
    for index, arguments in enumerate(found):
        for run in range(count):
            call = dict(arguments, seed=chosen[run]) if entry.seeded else dict(arguments)
            items.append(("call", name, call))
            where.append((index, run))
        twin = {k: v for k, v in arguments.items() if k in twin_parameters}
        if "holding_time" in twin_parameters:
            # The simulations' clock runs in mean holding times.
            twin.setdefault("holding_time", 1.0)
        items.append(("twin", entry.twin, twin))
        where.append((index, None))

    def describe(i: int) -> tuple:
        index, run = where[i]
        call = items[i][2]
        target = "args" if one else f"args[{index}]"
        if run is None:
            return (index, call, f"{entry.twin}, the analytic twin of {target} {_text(call)}")
        return (run, call, f"{name}, run {run} of {target} {_text(call)}")

    results = _execute(items, describe, executor, chunk_size, workers)
    probabilities = probability_figures(name)
    replications = []
    for index, arguments in enumerate(found):
        start = index * (count + 1)
        runs = results[start:start + count]
        twin = results[start + count]
        replications.append(Replication(arguments, tuple(chosen), runs,
                                        _estimates(runs, twin, probabilities)))
    return replications[0] if one else replications
