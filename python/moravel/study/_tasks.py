"""What runs in the workers: a chunk of (kind, model name, arguments)
triples, pickled in and out, so that any executor can carry it."""

from __future__ import annotations

import math
import pickle
from typing import Any, Callable, Dict, List, Optional, Sequence

import moravel

from ._arguments import _text
from ._results import Dimensioning


def _call(name: str, arguments: Dict[str, Any]):
    return getattr(moravel, name)(**arguments)


def _twin(name: str, arguments: Dict[str, Any]):
    """The analytic twin's result, or None where the library lacks it."""
    try:
        return getattr(moravel, name)(**arguments)
    except moravel.MissingExportError:
        return None


def _probabilities(result) -> List[tuple]:
    """(what, value) for each probability a result's blocking figure reads:
    the first number of the result, or of each class's result for several
    classes."""
    if isinstance(result, float):
        return [("value", result)]
    if isinstance(result, list):
        return [(f"{one._fields[0]} of class {index}", one[0])
                for index, one in enumerate(result)]
    return [(result._fields[0], result[0])]


def _figure(name: str, arguments: Dict[str, Any], result) -> float:
    """The blocking figure of a result: the loss (or waiting, or blocking)
    probability, the first number; the worst class's for several classes.

    A search compares the figure with its target, so a value that is no
    probability would steer it wrong: a negative blocking meets any target
    and NaN meets none.  Any value outside [0, 1], NaN included, is refused
    with MoravelError naming the model, its arguments and the value."""
    found = _probabilities(result)
    for what, value in found:
        if not 0.0 <= value <= 1.0:
            raise moravel.MoravelError(f"{name} at {_text(arguments)}: {what} = {value!r}, "
                                       "not a probability in [0, 1]")
    return max(value for _, value in found)


def _lowest_size(name: str, route: Dict[str, Any]) -> int:
    """The smallest size at which the model is defined for the route."""
    if name == "erlang_c":
        return max(1, math.ceil(route["traffic"]))
    if name == "wait":
        return max(1, math.floor(route["traffic"]) + 1)
    if name == "link_subset":
        return max(1, route["subset"])
    return 1


def _solved(name: str, route: Dict[str, Any], target: float) -> Optional[Dimensioning]:
    """The library's own solver for the model, where it has one: the least
    size, exact on the model's values, in one call."""
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
    return None


def _search(name: str, task: Dict[str, Any]) -> Dimensioning:
    """The least size meeting the target: by the library's solver where it
    has one; otherwise grow in doubling steps until the target is met, then
    bisect between the last size that failed and it."""
    size, target, maximum = task["size"], task["target"], task["maximum"]
    route = task["route"]
    solved = _solved(name, route, target)
    if solved is not None:
        if solved.size > maximum:
            raise ValueError(f"the least {size} meeting the target {target:g} is "
                             f"{solved.size}, above maximum = {maximum}: raise maximum")
        return solved
    function = getattr(moravel, name)

    def blocking(n: int) -> float:
        arguments = dict(route, **{size: n})
        return _figure(name, arguments, function(**arguments))

    failing = _lowest_size(name, route)
    if failing > maximum:
        raise ValueError(f"the route needs {size} >= {failing}, above maximum = {maximum}")
    value = blocking(failing)
    if value <= target:
        return Dimensioning(failing, value)
    step = 1
    while True:
        candidate = min(failing + step, maximum)
        value = blocking(candidate)
        if value <= target:
            passing, passing_value = candidate, value
            break
        if candidate == maximum:
            raise ValueError(f"blocking at maximum = {maximum} {size} is {value:g}, still "
                             f"above the target {target:g}: raise maximum")
        failing, step = candidate, 2 * step
    while passing - failing > 1:
        middle = (failing + passing) // 2
        value = blocking(middle)
        if value <= target:
            passing, passing_value = middle, value
        else:
            failing = middle
    return Dimensioning(passing, passing_value)


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
