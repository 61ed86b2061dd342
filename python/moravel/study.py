"""Parameter studies over libMoravel: sweeps, replications and dimensioning,
in the calling process or on any ``concurrent.futures.Executor``, up to a
Dask cluster.

    from moravel import study

    study.sweep("loss", {"servers": [10, 20], "traffic": [5.0, 10.0, 15.0]})
    study.replicate("simulate_loss", {"traffic": 5.0, "servers": 10,
                                      "calls": 100000}, 20)
    study.dimension("erlang_b", 0.01, [{"traffic": a} for a in (5.0, 50.0)])

A model is one of the binding's functions (``moravel.loss``,
``moravel.simulate_loss``, ...) or its name.  The library's work is sent to
the executor as picklable task descriptions: the module-level function
``_run_chunk`` and plain data (the model's name and its arguments, pickled
into one bytes object per chunk).  A worker
imports ``moravel`` and finds the library itself, by the binding's usual
search (``MORAVEL_LIBRARY``, the package directory, the loader); the calling
process needs the library only when it runs the study itself
(``executor=None``).

Many small evaluations are sent together: the points of a study are dealt
into chunks, point i to chunk i mod C, four chunks per worker unless
``chunk_size`` says otherwise, so a chunk's scheduling cost is small next to
its computation and points of rising cost spread over every chunk.  Results
come back in the study's own order, whatever order the workers finish in.

Processes, not threads.  The library writes every model result into one text
per process, so the binding serialises text-returning calls within a
process under one lock.  A thread pool is safe but runs the models one at a
time (only the scalar formulas, which release the interpreter during the
call, overlap); parallelism comes from processes: a
``concurrent.futures.ProcessPoolExecutor`` or a Dask cluster of worker
processes with one thread each (``LocalCluster(processes=True,
threads_per_worker=1)``, or ``dask worker --nthreads 1`` on a real cluster).

Determinism.  Every point is computed by the same library from the same
arguments, and a seeded simulation repeats exactly for a nonzero seed, so a
study gives bit-identical rows in the calling process, on a process pool of
any size and on a Dask cluster.  Seeds of replications and of simulated
sweeps derive from a base seed by the rule of ``seeds()``; the seed 0, which
asks the library for a clock seed, is refused unless ``clock_seeds=True``.
The three simulations (``simulate_loss``, ``simulate_wait`` and the
multi-rate ``simulate_link_subset``) all take such a seed.

Bad input raises ValueError (TypeError for wrong types) naming the argument,
before any work is sent.  An exception inside a task is raised to the caller
as ``StudyError`` naming the point, route or replication that caused it (the
original exception is its ``__cause__``), and the tasks not yet started are
cancelled.
"""

from __future__ import annotations

import concurrent.futures
import inspect
import itertools
import math
import numbers
import os
import pickle
import uuid
from collections.abc import Iterable, Mapping
from typing import Any, Callable, Dict, List, NamedTuple, Optional, Sequence, Union

import moravel

from . import _checks

__all__ = [
    "sweep", "replicate", "dimension", "points", "seeds", "student_t",
    "Row", "Estimate", "Replication", "Dimensioning", "StudyError",
]

# Chunks per worker when the study decides the chunk size: enough that a
# slow chunk does not leave the other workers idle for long, few enough that
# scheduling stays cheap.
CHUNKS_PER_WORKER = 4

_SEED_CYCLE = _checks.UINT32_MAX  # the nonzero 32-bit words, 1 .. 2**32 - 1


class _Model(NamedTuple):
    simulation: bool
    seeded: bool           # takes a seed that repeats the run
    size: Optional[str]    # the argument dimension() searches, if any
    twin: Optional[str]    # the analytic twin of a simulation
    maximum: int           # default upper bound of dimension()'s search


_MODELS = {
    "erlang_b": _Model(False, False, "servers", None, 10**6),
    "erlang_c": _Model(False, False, "servers", None, 10**6),
    "engset": _Model(False, False, "servers", None, 10**6),
    "erlang_b_direct": _Model(False, False, "servers", None, moravel.DIRECT_FORM_MAX_SERVERS),
    "erlang_b_ratio": _Model(False, False, None, None, 0),
    "loss": _Model(False, False, "servers", None, 10**6),
    "loss_finite": _Model(False, False, "servers", None, 10**6),
    "loss_assembled": _Model(False, False, "servers", None, 10**6),
    "loss_priority": _Model(False, False, "servers", None, 10**6),
    "wait": _Model(False, False, "servers", None, 10**6),
    "link_group": _Model(False, False, "links", None, 4096),
    "link_subset": _Model(False, False, "links", None, 4096),
    "simulate_loss": _Model(True, True, None, "loss", 0),
    "simulate_wait": _Model(True, True, None, "wait", 0),
    "simulate_link_subset": _Model(True, True, None, "link_subset", 0),
}


# ---- results -----------------------------------------------------------------

class Row(NamedTuple):
    """One point of a sweep.

    point  -- every argument the model was called with at this point
    result -- what the model returned there (a float, a named tuple, or a
              list of per-class named tuples)
    """

    point: Dict[str, Any]
    result: Any


class Estimate(NamedTuple):
    """One figure of a simulation over its replications.

    mean, standard_error -- over the replications
    ci_low, ci_high      -- the 95% confidence interval, mean -/+ t * error,
                            with Student's t for n - 1 degrees of freedom
    analytic             -- the analytic twin's value, or None where the
                            library has no twin
    """

    mean: float
    standard_error: float
    ci_low: float
    ci_high: float
    analytic: Optional[float]

    @property
    def inside(self) -> Optional[bool]:
        """Whether the analytic value lies in the confidence interval."""
        if self.analytic is None:
            return None
        return self.ci_low <= self.analytic <= self.ci_high


class Replication(NamedTuple):
    """A simulation replicated over seeds.

    args      -- the simulation's arguments, the seed left out
    seeds     -- the seed of each run, in run order
    runs      -- each run's result, in run order
    estimates -- shaped like one run's result, an Estimate in place of each
                 number: LossResult(loss=Estimate, carried=Estimate), or a
                 list of ClassResult(blocking=Estimate, carried=Estimate)
    """

    args: Dict[str, Any]
    seeds: tuple
    runs: list
    estimates: Any


class Dimensioning(NamedTuple):
    """The least size of a route that meets the target.

    size     -- the least number of servers (or links)
    blocking -- the blocking figure at that size (the worst class's, for the
                models of several classes)
    """

    size: int
    blocking: float


class StudyError(RuntimeError):
    """A task of a study failed.

    index -- the position of the failing point, route or replication run
    point -- the arguments it was called with
    error -- the exception raised in the task (also ``__cause__``), or None
             when it could not be carried back from the worker
    """

    def __init__(self, message: str, index: int = -1, point=None, error=None) -> None:
        super().__init__(message)
        self.index = index
        self.point = point
        self.error = error

    def __reduce__(self):
        return (StudyError, (self.args[0], self.index, self.point, self.error))


# ---- seeds and grids -----------------------------------------------------------

def seeds(count: int, base: int = 1) -> List[int]:
    """The seeds of `count` runs derived from a base seed.

    Run r (from 0) gets the seed ((base - 1 + r) mod (2**32 - 1)) + 1: base,
    base + 1, base + 2, ... up to 2**32 - 1, then on from 1 again.  The rule
    runs through the nonzero 32-bit words only, so it never gives 0 (which
    would ask the library for a clock seed); the base itself is 1 to
    2**32 - 1.  `moravel compare` numbers its replications the same way.
    """
    count = _checks.whole("count", count)
    if count < 0:
        raise ValueError(f"count must be at least 0, got {count}")
    return _derived_seeds(count, _base_seed("base", base))


def _derived_seeds(count: int, base: int) -> List[int]:
    return [(base - 1 + r) % _SEED_CYCLE + 1 for r in range(count)]


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


# ---- Student's t -----------------------------------------------------------------

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


# ---- what runs in the workers ----------------------------------------------------------

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


# ---- sending work ------------------------------------------------------------------------

def _workers(executor) -> int:
    """How many tasks the executor runs at once, as far as it tells."""
    count = getattr(executor, "_max_workers", None)
    if isinstance(count, int) and count > 0:
        return count
    client = getattr(executor, "_client", None)  # dask.distributed's ClientExecutor
    if client is not None:
        try:
            return max(1, sum(client.nthreads().values()))
        except Exception:
            pass
    return os.cpu_count() or 1


def _execute(items: List[tuple], describe: Callable[[int], tuple], executor,
             chunk_size: Optional[int]) -> list:
    """Runs the tasks and returns their results in item order.

    describe(i) gives (index, point, text) of item i for an error message.
    """
    token = uuid.uuid4().hex

    def failed(positions: Sequence[int], failure) -> StudyError:
        position, type_name, message, original = failure
        index, point, text = describe(positions[position])
        error = StudyError(f"{text}: {type_name}: {message}", index, point, original)
        error.__cause__ = original
        return error

    if executor is None:
        results, failure = _run_items(items)
        if failure is not None:
            raise failed(range(len(items)), failure)
        return results

    total = len(items)
    if chunk_size is None:
        count = min(total, CHUNKS_PER_WORKER * _workers(executor))
    else:
        count = -(-total // chunk_size)
    chunks = [range(first, total, count) for first in range(count)]
    client = _dask_client(executor)
    prefix = f"moravel-study-{token}-"
    futures: Dict[concurrent.futures.Future, range] = {}
    results: list = [None] * total
    try:
        for number, positions in enumerate(chunks):
            extra = {} if client is None else {"key": prefix + str(number)}
            payload = pickle.dumps([items[i] for i in positions], protocol=_PICKLE_PROTOCOL)
            future = executor.submit(_run_chunk, token, payload, **extra)
            futures[future] = positions
        for future in concurrent.futures.as_completed(futures):
            chunk_results, failure = pickle.loads(future.result())
            positions = futures[future]
            if failure is not None:
                raise failed(positions, failure)
            for position, result in zip(positions, chunk_results):
                results[position] = result
    finally:
        _cancel([future for future in futures if not future.done()], executor, client, prefix)
    return results


def _dask_client(executor):
    """The dask.distributed client behind a ClientExecutor, or None."""
    client = getattr(executor, "_client", None)
    if client is None or not callable(getattr(client, "cancel", None)) \
            or not hasattr(executor, "_futures"):
        return None
    return client


def _cancel(pending: List[concurrent.futures.Future], executor, client, prefix: str) -> None:
    """Cancels the chunks not done, so that the ones not started never start.

    A Dask chunk is cancelled at its source, by its key: cancelling the
    executor's wrapper instead races with a result on its way and makes Dask
    log an error."""
    if not pending:
        return
    if client is not None:
        try:
            ours = [future for future in list(executor._futures)
                    if str(getattr(future, "key", "")).startswith(prefix)]
            client.cancel(ours)
            return
        except Exception:
            pass
    for future in pending:
        future.cancel()


# ---- checks on the caller's side ------------------------------------------------------------

def _model(model, argument: str) -> str:
    if isinstance(model, str):
        name = model
    elif callable(model):
        name = getattr(model, "__name__", "")
        if getattr(moravel, name, None) is not model:
            name = ""
    else:
        raise TypeError(f"{argument} must be a moravel function or its name, "
                        f"got {type(model).__name__}")
    if name not in _MODELS:
        raise ValueError(f"{argument} must be one of moravel's models ({', '.join(_MODELS)}); "
                         f"got {model!r}")
    return name


def _parameters(name: str):
    return inspect.signature(getattr(moravel, name)).parameters


def _check_known(name: str, where: str, given: Iterable[str]) -> None:
    """Every given name is an argument of the model."""
    parameters = _parameters(name)
    for argument in given:
        if argument not in parameters:
            raise ValueError(f"{where}: {name} has no argument {argument!r}; "
                             f"its arguments are {', '.join(parameters)}")


def _check_names(name: str, where: str, given: Iterable[str], exclude: Sequence[str] = ()) -> None:
    """Unknown names, and required arguments left out (apart from `exclude`)."""
    given = list(given)
    _check_known(name, where, given)
    for argument, parameter in _parameters(name).items():
        if parameter.default is inspect.Parameter.empty and argument not in given \
                and argument not in exclude:
            raise ValueError(f"{where}: {name} needs the argument {argument!r}")


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


def _chunk_size(value) -> Optional[int]:
    if value is None:
        return None
    value = _checks.whole("chunk_size", value)
    if value < 1:
        raise ValueError(f"chunk_size must be at least 1, got {value}")
    return value


def _executor(value):
    if value is not None and not isinstance(value, concurrent.futures.Executor):
        raise TypeError("executor must be a concurrent.futures.Executor or None, "
                        f"got {type(value).__name__}")
    return value


def _one_or_many(value, argument: str):
    """(list of dicts, whether one mapping was given)."""
    if isinstance(value, Mapping):
        return [dict(value)], True
    if isinstance(value, (str, bytes)) or not isinstance(value, Iterable):
        raise TypeError(f"{argument} must be a dict of arguments or a list of them, "
                        f"got {type(value).__name__}")
    found = list(value)
    if not found:
        raise ValueError(f"{argument} is empty: give at least one dict of arguments")
    for index, one in enumerate(found):
        if not isinstance(one, Mapping):
            raise TypeError(f"{argument}[{index}] must be a dict of arguments, "
                            f"got {type(one).__name__}")
    return [dict(one) for one in found], False


def _text(point: Dict[str, Any]) -> str:
    return "{" + ", ".join(f"{k}={v!r}" for k, v in point.items()) + "}"


# ---- the studies -------------------------------------------------------------------------------

def sweep(model, grid, executor=None, *, fixed: Optional[Mapping] = None,
          seed: Optional[int] = None, clock_seeds: bool = False,
          chunk_size: Optional[int] = None) -> List[Row]:
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
    executor = _executor(executor)

    items = [("call", name, call) for call in calls]
    results = _execute(items, lambda i: (i, calls[i], f"{name} at grid point {i} "
                                                      f"{_text(calls[i])}"),
                       executor, chunk_size)
    return [Row(call, result) for call, result in zip(calls, results)]


def _estimate(values: List[float], analytic: Optional[float], t: float) -> Estimate:
    n = len(values)
    mean = math.fsum(values) / n
    variance = math.fsum((value - mean) ** 2 for value in values) / (n - 1)
    error = math.sqrt(variance / n)
    return Estimate(mean, error, mean - t * error, mean + t * error, analytic)


def _estimates(runs: list, twin, t: float):
    first = runs[0]
    if isinstance(first, list):
        return [
            type(one)(*[_estimate([run[c][f] for run in runs],
                                  None if twin is None else twin[c][f], t)
                        for f in range(len(one))])
            for c, one in enumerate(first)
        ]
    return type(first)(*[_estimate([run[f] for run in runs],
                                   None if twin is None else twin[f], t)
                         for f in range(len(first))])


def replicate(sim, args, seeds, executor=None, *, base_seed: int = 1,
              clock_seeds: bool = False, chunk_size: Optional[int] = None
              ) -> Union[Replication, List[Replication]]:
    """Runs a simulation once per seed and estimates each figure: mean,
    standard error and 95% confidence interval (Student's t), beside the
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
    executor = _executor(executor)

    twin_parameters = _parameters(entry.twin)
    items, where = [], []
    for index, arguments in enumerate(found):
        for run in range(count):
            call = dict(arguments, seed=chosen[run]) if entry.seeded else dict(arguments)
            items.append(("call", name, call))
            where.append((index, run))
        twin = {k: v for k, v in arguments.items() if k in twin_parameters}
        items.append(("twin", entry.twin, twin))
        where.append((index, None))

    def describe(i: int) -> tuple:
        index, run = where[i]
        call = items[i][2]
        target = "args" if one else f"args[{index}]"
        if run is None:
            return (index, call, f"{entry.twin}, the analytic twin of {target} {_text(call)}")
        return (run, call, f"{name}, run {run} of {target} {_text(call)}")

    results = _execute(items, describe, executor, chunk_size)
    t = student_t(count - 1)
    replications = []
    for index, arguments in enumerate(found):
        start = index * (count + 1)
        runs = results[start:start + count]
        twin = results[start + count]
        replications.append(Replication(arguments, tuple(chosen), runs,
                                        _estimates(runs, twin, t)))
    return replications[0] if one else replications


def dimension(model, target: float, routes, executor=None, *,
              maximum: Optional[int] = None, chunk_size: Optional[int] = None
              ) -> Union[Dimensioning, List[Dimensioning]]:
    """The least number of servers (links for link_group and link_subset)
    whose blocking is at most `target`, for one route or many.

    model   -- an analytic model with a size: erlang_b, erlang_c, engset,
               erlang_b_direct, loss, loss_finite, loss_assembled,
               loss_priority (every class), wait (probability of waiting),
               link_group, link_subset (every class)
    target  -- the blocking to meet, above 0 and below 1
    routes  -- the model's other arguments, one dict (gives one
               Dimensioning) or a list of them (gives a list, in order)
    maximum -- the largest size tried (default 10**6 servers, 4096 links,
               170 for erlang_b_direct); a route that needs more fails

    Every model but erlang_b_direct and loss_priority is answered by the
    library's solver (erlang_b_servers, engset_servers,
    loss_assembled_servers, agents_for_wait_probability, link_group_links,
    link_subset_links), exact on the model's values.  The other two are
    searched here, the blocking falling as the size grows: doubling steps
    from the smallest size the model allows, then bisection, about
    2 log2(size) evaluations; a blocking outside [0, 1] (NaN included) stops
    that search with a MoravelError naming the model, its arguments and the
    value, raised to the caller as the StudyError's cause.  Routes are the
    tasks sent to the executor.
    """
    name = _model(model, "model")
    entry = _MODELS[name]
    if entry.size is None:
        hint = f"; dimension its analytic twin {entry.twin}" if entry.twin else ""
        raise ValueError(f"model: dimension needs an analytic model with a number of servers "
                         f"or links, not {name}{hint}")
    target = _checks.real("target", target)
    if not 0.0 < target < 1.0:
        raise ValueError(f"target must be above 0 and below 1, got {target!r}")
    found, one = _one_or_many(routes, "routes")
    for index, route in enumerate(found):
        where = "routes" if one else f"routes[{index}]"
        if entry.size in route:
            raise ValueError(f"{where} gives {entry.size!r}, the size that dimension searches for")
        _check_names(name, where, route, exclude=(entry.size,))
    if maximum is None:
        maximum = entry.maximum
    else:
        maximum = _checks.whole("maximum", maximum)
        if not 1 <= maximum <= _checks.INT32_MAX - 1:
            raise ValueError(f"maximum must be from 1 to {_checks.INT32_MAX - 1}, got {maximum}")
        if name == "erlang_b_direct" and maximum > entry.maximum:
            raise ValueError(f"maximum must be at most {entry.maximum} for erlang_b_direct, "
                             f"got {maximum}")
    chunk_size = _chunk_size(chunk_size)
    executor = _executor(executor)

    items = [("search", name, {"size": entry.size, "target": target, "maximum": maximum,
                               "route": route}) for route in found]

    def describe(i: int) -> tuple:
        where = "route" if one else f"route {i}"
        return (i, found[i], f"dimension of {name} for {where} {_text(found[i])}")

    results = _execute(items, describe, executor, chunk_size)
    return results[0] if one else results
