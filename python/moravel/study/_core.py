"""The study core of the library: the t quantile, the replication seeds, the
estimates, the probability rule and the size searches the binding's own
functions leave out, each a call of moravel/api.h so that every host gives
the same bits."""

from __future__ import annotations

import ctypes
from typing import List, Sequence, Tuple

from .. import _checks, _library
from .._errors import raise_status


class _EstimateRecord(ctypes.Structure):
    _fields_ = [(name, ctypes.c_double)
                for name in ("mean", "standard_error", "ci_low", "ci_high")]


def _call(export: str, where: str, *values) -> None:
    status = _library.api_function(export)(*values)
    if status != 0:
        raise_status(status, _library.status_message(status), where)


def student_t(dof: int, level: float = 0.95) -> float:
    """The two-sided quantile of Student's t: P(|T| <= t) = level
    (moravel_student_t_quantile); 12.7062 for 1 degree of freedom at 0.95,
    2.00958 for 49, tending to the normal 1.95996."""
    dof = _checks.int32("dof", dof)
    level = _checks.real("level", level)
    quantile = ctypes.c_double()
    _call("moravel_student_t_quantile", f"student_t(dof={dof!r}, level={level!r})",
          dof, level, ctypes.byref(quantile))
    return quantile.value


def replication_seeds(count: int, base: int) -> List[int]:
    """The seeds of `count` runs from the base seed (moravel_replication_seeds)."""
    seeds = (ctypes.c_uint32 * count)()
    _call("moravel_replication_seeds", f"seeds(count={count!r}, base={base!r})",
          base, count, seeds)
    return list(seeds)


def estimate(values: Sequence[float], probability: bool, level: float = 0.95
             ) -> Tuple[float, float, float, float]:
    """(mean, standard error, low, high) of one figure over its replications
    (moravel_estimate); the interval of a probability is clipped to [0, 1]."""
    count = len(values)
    array = (ctypes.c_double * count)(*values)
    result = _EstimateRecord()
    _call("moravel_estimate", "estimate", count, array, 1 if probability else 0, level,
          ctypes.byref(result))
    return result.mean, result.standard_error, result.ci_low, result.ci_high


def is_probability(value: float) -> bool:
    """Whether a model's value may be read as a probability, by the library's
    rule and tolerance (moravel_check_probability)."""
    return _library.api_function("moravel_check_probability")(value) == 0


def probability_figures(simulation: str) -> List[bool]:
    """For each figure of a simulation's result, in order, whether it is a
    probability, as the library describes the simulation's results."""
    entry = next(e for e in _library.description()["entry_points"]
                 if e["c_name"] == "moravel_" + simulation)
    records = {r["name"]: r for r in _library.description()["records"]}
    found = []
    for argument in entry["arguments"]:
        if argument["role"] != "result":
            continue
        if "record" in argument:
            found += [f["unit"] == "probability" for f in records[argument["record"]]["fields"]]
        else:
            found.append(argument["unit"] == "probability")
    return found


def erlang_b_direct_servers(traffic: float, target: float) -> Tuple[int, float]:
    """The least servers whose direct-form Erlang B is at most target, within
    the direct form's largest server count (the description's limits)."""
    servers, loss = ctypes.c_int32(), ctypes.c_double()
    _call("moravel_erlang_b_direct_servers",
          f"erlang_b_direct_servers(traffic={traffic!r}, target={target!r})",
          _checks.real("traffic", traffic), target, ctypes.byref(servers), ctypes.byref(loss))
    return servers.value, loss.value


def loss_priority_servers(traffics: Sequence[float], target: float) -> Tuple[int, List[float]]:
    """The least servers at which every priority class loses at most target."""
    count = len(traffics)
    array = (ctypes.c_double * count)(*[_checks.real("traffics", a) for a in traffics])
    loss = (ctypes.c_double * count)()
    servers = ctypes.c_int32()
    _call("moravel_loss_priority_servers",
          f"loss_priority_servers(traffics={list(traffics)!r}, target={target!r})",
          count, array, target, ctypes.byref(servers), loss)
    return servers.value, list(loss)
