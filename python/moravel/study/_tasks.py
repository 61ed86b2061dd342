"""What runs in the workers: a chunk of (kind, model name, arguments)
triples, pickled in and out, so that any executor can carry it."""

from __future__ import annotations

import pickle
from typing import Any, Callable, Dict, List, Optional, Sequence

import moravel

from ._arguments import _text
from ._core import erlang_b_direct_servers, loss_priority_servers
from ._results import Dimensioning


def _call(name: str, arguments: Dict[str, Any]):
    return getattr(moravel, name)(**arguments)


def _twin(name: str, arguments: Dict[str, Any]):
    """The analytic twin's result."""
    return getattr(moravel, name)(**arguments)


def _solved(name: str, route: Dict[str, Any], target: float) -> Dimensioning:
    """The library's solver for the model: the least size, exact on the
    model's values, in one call."""
    if name in ("erlang_b", "loss"):
        found = moravel.erlang_b_servers(route["traffic"], target)
        return Dimensioning(found.servers, found.loss)
    if name in ("engset", "loss_finite"):
        found = moravel.engset_servers(route["sources"], route["traffic_per_source"], target)
        return Dimensioning(found.servers, found.loss)
    if name == "loss_assembled":
        found = moravel.loss_assembled_servers(route["x"], route["y"], route["z"], route["n"],
                                               target)
        return Dimensioning(found.servers, found.loss)
    if name in ("erlang_c", "wait"):
        # The probability of waiting depends on neither the threshold nor the
        # holding time: any valid pair gives the same agents.
        found = moravel.agents_for_wait_probability(route["traffic"], 1.0, 0.0, target)
        return Dimensioning(found.agents, found.wait_probability)
    if name == "link_group":
        found = moravel.link_group_links(route["classes"], route["units"], target)
        return Dimensioning(found.links, max(found.blocking))
    if name == "link_subset":
        found = moravel.link_subset_links(route["classes"], route["units"], route["subset"],
                                          target)
        return Dimensioning(found.links, max(found.blocking))
    if name == "erlang_b_direct":
        return Dimensioning(*erlang_b_direct_servers(route["traffic"], target))
    if name == "loss_priority":
        servers, loss = loss_priority_servers(route["traffics"], target)
        return Dimensioning(servers, max(loss))
    raise ValueError(f"{name} has no size to search")  # not reached: dimension() checks


def _search(name: str, task: Dict[str, Any]) -> Dimensioning:
    """The least size meeting the target, by the library's solver, within
    the study's maximum."""
    size, target, maximum = task["size"], task["target"], task["maximum"]
    solved = _solved(name, task["route"], target)
    if solved.size > maximum:
        raise ValueError(f"the least {size} meeting the target {target:g} is "
                         f"{solved.size}, above maximum = {maximum}: raise maximum")
    return solved


_TASKS: Dict[str, Callable[[str, Dict[str, Any]], Any]] = {
    "call": _call, "twin": _twin, "search": _search,
}


def _portable(error: BaseException) -> Optional[BaseException]:
    """The exception itself if it survives pickling to the caller, else None."""
    try:
        pickle.loads(pickle.dumps(error))
    except Exception:
        return None
    return error


# The items of a chunk travel as one pickled bytes object, which an executor
# passes on without looking inside (Dask would otherwise walk every nested
# argument in search of futures); protocol 4 is read by every Python the
# binding supports.
_PICKLE_PROTOCOL = 4


def _run_items(items: Sequence[tuple]):
    """Runs (kind, model name, arguments) triples in order, in this process.

    Returns (results, failure): the results of the tasks done, and None or
    (position, exception type name, message, exception or None) for the
    first task that raised, after which the rest are left undone.
    """
    results = []
    for position, (kind, name, arguments) in enumerate(items):
        try:
            results.append(_TASKS[kind](name, arguments))
        except Exception as error:  # carried back to the caller with its point
            return results, (position, type(error).__name__, str(error), _portable(error))
    return results, None


def _run_chunk(token: str, payload: bytes) -> bytes:
    """The task every executor runs: a chunk of items, pickled, in and out.

    token   -- the study's identity; it keeps the chunks of two studies with
               the same arguments apart on executors that merge equal tasks
    payload -- the pickled list of (kind, model name, arguments) triples,
               plain data only

    Returns the pickled (results, failure) of ``_run_items``.
    """
    del token
    return pickle.dumps(_run_items(pickle.loads(payload)), protocol=_PICKLE_PROTOCOL)
