"""Teletraffic calculations from libMoravel, for Python.

Erlang loss and delay, Engset, single-service loss and waiting systems,
multi-rate link groups and call-by-call simulations of the same systems.
Traffic is in erlangs (arrival rate times mean holding time), demands and
link capacities in allocation units, simulated time in mean holding times.

Scalar formulas return a float; models return named tuples, and models of
several classes a list of named tuples, one per class, in class order.  Every
number is the library's double at full precision (moravel/api.h).

Arrays: the scalar formulas and the single-service models (erlang_b,
erlang_c, engset, erlang_b_direct, erlang_b_ratio, loss, loss_finite,
loss_assembled, wait) also take sequences or numpy arrays for any argument,
broadcast together, and compute every point in one library call: a formula
then returns an array, a model a named tuple of arrays (numpy arrays when
numpy is installed, lists otherwise).

Solvers answer the dimensioning questions directly: erlang_b_servers,
engset_servers, loss_assembled_servers, link_group_links, link_subset_links
(the least size for a target loss), erlang_b_traffic, engset_traffic (the
most traffic), and staffing with agents_for_service_level,
agents_for_mean_wait and agents_for_wait_probability for call centres.  All
but the two link solvers also take sequences or arrays, element by element
(one search per point), and give arrays back like the formulas.
offered_traffic turns calls per interval of so many minutes, with a handling
time in seconds, into erlangs.

Contact centres: contact_centre (callers who hang up after an exponential
patience, and lines that fill), contact_centre_retrials (callers who redial,
the fixed-point approximation) and simulate_contact_centre (the call-by-call
replay); contact_centre_agents and contact_centre_traffic answer the staffing
questions for a goal; all but the replay take arrays like the solvers.  Their times are in the
unit of the handling time, and their arguments are judged by the library
alone: a refusal names the argument and carries the library's message.

Arguments outside a model's meaning raise ValueError naming the argument,
counts that do not fit in 32 bits raise OverflowError, and wrong types raise
TypeError.  What the library itself refuses raises ArgumentError (a
MoravelError and a ValueError) carrying the library's status and message; a
failure that is not about the arguments (memory) raises MoravelError.  The
exports of moravel.h, with their C names and arguments and their results as
text, are in ``moravel.raw``.

The library is found through the environment variable MORAVEL_LIBRARY, next to
this package, in the prefix the package was installed into, or by the
loader's normal search; see ``library_path()``.  Every function may be called
from several threads at once, and runs in parallel with the others: only the
text-returning exports of ``moravel.raw`` are serialised by a lock.
"""

from __future__ import annotations

import ctypes
import math
from typing import List, NamedTuple, Sequence, Tuple

from . import _arrays, _checks, raw
from ._errors import ArgumentError, MoravelError, raise_status
from ._library import api_function, description, exports, library_path, status_message
from ._contact_centre import (GOALS, PATIENCE_DISTRIBUTIONS, CentreAgents, CentreTraffic,
                              ContactCentre, Retrials, SimulatedCentre, contact_centre,
                              contact_centre_agents, contact_centre_retrials,
                              contact_centre_traffic, simulate_contact_centre)

__version__ = "1.0.0"

__all__ = [
    "erlang_b", "erlang_c", "engset", "erlang_b_direct", "erlang_b_ratio",
    "loss", "loss_finite", "loss_assembled", "loss_priority", "wait",
    "simulate_loss", "simulate_wait",
    "link_group", "link_subset", "simulate_link_subset",
    "erlang_b_servers", "engset_servers", "loss_assembled_servers",
    "link_group_links", "link_subset_links", "erlang_b_traffic", "engset_traffic",
    "staffing", "offered_traffic", "agents_for_service_level", "agents_for_mean_wait",
    "agents_for_wait_probability",
    "contact_centre", "contact_centre_retrials", "simulate_contact_centre",
    "contact_centre_agents", "contact_centre_traffic",
    "ContactCentre", "Retrials", "SimulatedCentre", "CentreAgents", "CentreTraffic",
    "PATIENCE_DISTRIBUTIONS", "GOALS",
    "LossResult", "WaitResult", "ClassResult", "Servers", "Links", "Staffing", "POLICIES",
    "MoravelError", "ArgumentError",
    "description", "exports", "library_path", "raw",
]

# The direct form of the Erlang loss formula divides by V!, which leaves the
# double range at 171!.
DIRECT_FORM_MAX_SERVERS = 170

# Link-choice policies of the link-subset simulation: the readable names and
# the library's own keywords, each mapped to the policy code of moravel/api.h.
POLICIES = {
    "max-free": 1,
    "min-free": 2,
    "first-free": 3,
    "МаксСвоб": 1,
    "МинСвоб": 2,
    "ПервСвоб": 3,
}

# PalmTable and EngsetTable answer 0 for 2147483647 servers, where V + 1
# wraps; a count below it is needed for a meaningful answer.
_MAX_SERVERS = _checks.INT32_MAX - 1


class LossResult(NamedTuple):
    """Result of a single-service loss system.

    loss    -- probability that a call is lost (call congestion for finite sources)
    carried -- carried traffic [erlang]
    """

    loss: float
    carried: float


class WaitResult(NamedTuple):
    """Result of a waiting system with an unlimited first-come first-served queue.

    wait              -- probability that a call waits
    wait_exceeds      -- probability that a call waits longer than the threshold
    mean_wait         -- mean waiting time over all calls, in the unit of the holding time
    mean_wait_waiting -- mean waiting time of the calls that wait, in that unit
    queue_length      -- mean number of calls in the queue
    """

    wait: float
    wait_exceeds: float
    mean_wait: float
    mean_wait_waiting: float
    queue_length: float


class ClassResult(NamedTuple):
    """Result of one traffic class in a multi-rate link group.

    blocking -- probability that a call of the class is blocked
    carried  -- carried traffic of the class [allocation units]
    """

    blocking: float
    carried: float


class Servers(NamedTuple):
    """The least number of servers that meets a target loss.

    servers -- that number
    loss    -- the loss at that number, at most the target
    """

    servers: int
    loss: float


class Links(NamedTuple):
    """The least number of links for which every class meets a target blocking.

    links    -- that number
    blocking -- each class's blocking at that number, in class order
    """

    links: int
    blocking: List[float]


class Staffing(NamedTuple):
    """What a call-centre planner reads for a number of agents.

    agents               -- the number of agents V
    wait_probability     -- probability that a call waits, C(V, A)
    service_level        -- probability that a call is answered within the
                            answer time
    mean_speed_of_answer -- mean wait over all calls, in the unit of the
                            handling time
    occupancy            -- A / V, the share of time an agent is busy
    """

    agents: int
    wait_probability: float
    service_level: float
    mean_speed_of_answer: float
    occupancy: float


# ---- calling moravel/api.h -------------------------------------------------

class _LossRecord(ctypes.Structure):
    _fields_ = [("loss", ctypes.c_double), ("carried", ctypes.c_double)]


class _WaitRecord(ctypes.Structure):
    _fields_ = [(name, ctypes.c_double) for name in WaitResult._fields]


class _StaffingRecord(ctypes.Structure):
    _fields_ = [("agents", ctypes.c_int32)] + [
        (name, ctypes.c_double) for name in Staffing._fields[1:]]


def _described(function: str, arguments: dict) -> str:
    return f"{function}(" + ", ".join(f"{k}={v!r}" for k, v in arguments.items()) + ")"


def _api(export: str, function: str, arguments: dict, *values) -> None:
    """Calls `export` of moravel/api.h; a refusal raises with the library's
    message, naming the binding's function and its arguments."""
    status = api_function(export)(*values)
    if status != 0:
        raise_status(status, status_message(status), _described(function, arguments))


def _double(export: str, function: str, arguments: dict, *values) -> float:
    result = ctypes.c_double()
    _api(export, function, arguments, *values, ctypes.byref(result))
    return result.value


def _record(record, export: str, function: str, arguments: dict, *values):
    result = record()
    _api(export, function, arguments, *values, ctypes.byref(result))
    return tuple(getattr(result, name) for name, _ in record._fields_)


def _servers(value, minimum: int = 1) -> int:
    return _checks.count("servers", value, minimum, _MAX_SERVERS)


def _traffic(value, name: str = "traffic") -> float:
    return _checks.finite(name, value, 0.0)


def _class_arrays(classes) -> Tuple[List[float], List[float]]:
    """Splits (traffic, demand) pairs into the traffic and demand arrays."""
    if isinstance(classes, (str, bytes)):
        raise TypeError("classes must be a sequence of (traffic, demand) pairs")
    traffic, demand = [], []
    for index, pair in enumerate(classes):
        try:
            a, t = pair
        except (TypeError, ValueError):
            raise TypeError(f"classes[{index}] must be a (traffic, demand) pair") from None
        traffic.append(_traffic(a, f"classes[{index}] traffic"))
        t = _checks.finite(f"classes[{index}] demand", t, 1.0)
        if t != math.floor(t):
            raise ValueError(f"classes[{index}] demand must be a whole number of units, got {t!r}")
        demand.append(t)
    if not traffic:
        raise ValueError("classes must hold at least one (traffic, demand) pair")
    _checks.int32("number of classes", len(traffic))
    return traffic, demand


def _group(links, units) -> Tuple[int, int]:
    links = _checks.count("links", links, 1)
    units = _checks.count("units", units, 1)
    if links * units > _checks.INT32_MAX:
        raise OverflowError(
            f"links * units = {links * units} allocation units do not fit in a 32-bit count"
        )
    return links, units


def _per_class(export: str, function: str, arguments: dict, traffic, demand, *rest,
               result=ClassResult) -> list:
    count = len(traffic)
    blocking, carried = (ctypes.c_double * count)(), (ctypes.c_double * count)()
    a, t = _checks.doubles("traffic", traffic, count), _checks.doubles("demand", demand, count)
    _api(export, function, arguments, a, count, t, *rest, blocking, carried)
    return [result(blocking[i], carried[i]) for i in range(count)]


def _target(value, name: str = "target") -> float:
    return _checks.finite(name, value, 0.0, above=True, below=1.0)


# ---- scalar formulas -------------------------------------------------------

def erlang_b(servers, traffic):
    """Erlang loss formula B(V, A), by recursion.

    servers -- number of servers V, at least 1
    traffic -- offered traffic A [erlang], finite and not negative

    Returns the probability that a call offered to V servers by Poisson
    traffic of A erlangs finds them all busy and is lost.  Sequences or
    arrays of servers and traffics give an array of losses.
    """
    if _arrays.any_array(servers, traffic):
        return _arrays.call("erlang_b", "moravel_erlang_b_array",
                            [("servers", "i", servers), ("traffic", "d", traffic)], 1)[0]
    servers = _servers(servers)
    traffic = _traffic(traffic)
    return _double("moravel_erlang_b", "erlang_b", {"servers": servers, "traffic": traffic},
                   servers, traffic)


def erlang_c(servers, traffic):
    """Erlang delay formula C(V, A).

    servers -- number of servers V, at least 1
    traffic -- offered traffic A [erlang], from 0 up to (not including) V:
               at A = V the queue no longer settles

    Returns the probability that a call must wait in a system of V servers
    with an unlimited queue.  Sequences or arrays give an array.
    """
    if _arrays.any_array(servers, traffic):
        return _arrays.call("erlang_c", "moravel_erlang_c_array",
                            [("servers", "i", servers), ("traffic", "d", traffic)], 1)[0]
    servers = _servers(servers)
    traffic = _checks.finite("traffic", traffic, 0.0, below=servers)
    return _double("moravel_erlang_c", "erlang_c", {"servers": servers, "traffic": traffic},
                   servers, traffic)


def engset(sources, servers, traffic_per_source):
    """Engset call congestion of N sources offered to V servers.

    sources            -- number of traffic sources N, at least 1
    servers            -- number of servers V, at least 1
    traffic_per_source -- offered traffic per source a [erlang], from 0 up to
                          (not including) 1

    Returns the probability that a call attempt finds all servers busy; zero
    (possibly a negative zero) when there are at least as many servers as
    sources.  Sequences or arrays give an array.
    """
    if _arrays.any_array(sources, servers, traffic_per_source):
        return _arrays.call("engset", "moravel_engset_array",
                            [("sources", "i", sources), ("servers", "i", servers),
                             ("traffic_per_source", "d", traffic_per_source)], 1)[0]
    sources = _checks.count("sources", sources, 1)
    servers = _servers(servers)
    a = _checks.finite("traffic_per_source", traffic_per_source, 0.0, below=1.0)
    return _double("moravel_engset", "engset",
                   {"sources": sources, "servers": servers, "traffic_per_source": a},
                   sources, servers, a)


def erlang_b_direct(servers, traffic):
    """Erlang loss formula in its direct form (A^V/V!) / sum_k A^k/k!.

    servers -- number of servers V, from 0 to 170 (V! leaves the double range
               at 171; erlang_b has no such limit)
    traffic -- offered traffic A [erlang], finite and not negative

    Returns the loss probability; 1 for V = 0.  Raises ArgumentError (a
    ValueError) when a power of A overflows on the way.  Sequences or arrays
    give an array.
    """
    if _arrays.any_array(servers, traffic):
        return _arrays.call("erlang_b_direct", "moravel_erlang_b_direct_array",
                            [("servers", "i", servers), ("traffic", "d", traffic)], 1)[0]
    servers = _checks.count("servers", servers, 0, DIRECT_FORM_MAX_SERVERS)
    traffic = _traffic(traffic)
    return _double("moravel_erlang_b_direct", "erlang_b_direct",
                   {"servers": servers, "traffic": traffic}, servers, traffic)


def erlang_b_ratio(servers, traffic, fewer):
    """The ratio E(V, A) / E(V - i, A) of the direct-form loss formula.

    servers -- number of servers V, from 0 to 170
    traffic -- offered traffic A [erlang], finite and above 0
    fewer   -- how many servers fewer the divisor has, i, from 0 to V

    Raises ArgumentError (a ValueError) where a power of A overflows.
    Sequences or arrays give an array.
    """
    if _arrays.any_array(servers, traffic, fewer):
        return _arrays.call("erlang_b_ratio", "moravel_erlang_b_ratio_array",
                            [("servers", "i", servers), ("traffic", "d", traffic),
                             ("fewer", "i", fewer)], 1)[0]
    servers = _checks.count("servers", servers, 0, DIRECT_FORM_MAX_SERVERS)
    traffic = _traffic(traffic)
    fewer = _checks.count("fewer", fewer, 0, servers)
    return _double("moravel_erlang_b_ratio", "erlang_b_ratio",
                   {"servers": servers, "traffic": traffic, "fewer": fewer},
                   servers, traffic, fewer)


# ---- single-service models -------------------------------------------------

def loss(servers, traffic) -> LossResult:
    """Erlang loss system M/M/V/L: Poisson traffic on V servers, lost calls cleared.

    servers -- number of servers V, at least 1
    traffic -- offered traffic A [erlang], finite and not negative

    Returns LossResult(loss, carried): the loss probability and the carried
    traffic [erlang].  Sequences or arrays give a LossResult of arrays.
    """
    if _arrays.any_array(servers, traffic):
        return LossResult(*_arrays.call(
            "loss", "moravel_loss_array",
            [("servers", "i", servers), ("traffic", "d", traffic)], 2))
    servers = _servers(servers)
    traffic = _traffic(traffic)
    return LossResult(*_record(_LossRecord, "moravel_loss", "loss",
                               {"servers": servers, "traffic": traffic}, servers, traffic))


def loss_finite(sources, servers, traffic_per_source) -> LossResult:
    """Engset loss system: N sources on V servers, lost calls cleared.

    sources            -- number of traffic sources N, at least 1
    servers            -- number of servers V, at least 1
    traffic_per_source -- offered traffic per source a [erlang], from 0 up to
                          (not including) 1

    Returns LossResult(loss, carried): the call congestion and the carried
    traffic [erlang].  Sequences or arrays give a LossResult of arrays.
    """
    if _arrays.any_array(sources, servers, traffic_per_source):
        return LossResult(*_arrays.call(
            "loss_finite", "moravel_loss_finite_sources_array",
            [("sources", "i", sources), ("servers", "i", servers),
             ("traffic_per_source", "d", traffic_per_source)], 2))
    sources = _checks.count("sources", sources, 1)
    servers = _servers(servers)
    a = _checks.finite("traffic_per_source", traffic_per_source, 0.0, below=1.0)
    return LossResult(*_record(
        _LossRecord, "moravel_loss_finite_sources", "loss_finite",
        {"sources": sources, "servers": servers, "traffic_per_source": a}, sources, servers, a))


def loss_assembled(x, y, z, servers, n) -> LossResult:
    """Erlang loss system on the assembled load A = (n / (1/x + 1/y)) * (z/y + 1).

    x, y    -- two times in one unit, both above 0
    z       -- a time in the unit of y, not negative
    servers -- number of servers V, at least 1
    n       -- whole-number multiplier of the load, not negative

    Returns LossResult(loss, carried) for the load A.  Sequences or arrays
    give a LossResult of arrays.
    """
    if _arrays.any_array(x, y, z, servers, n):
        return LossResult(*_arrays.call(
            "loss_assembled", "moravel_loss_assembled_array",
            [("x", "d", x), ("y", "d", y), ("z", "d", z), ("servers", "i", servers),
             ("n", "i", n)], 2))
    x = _checks.finite("x", x, 0.0, above=True)
    y = _checks.finite("y", y, 0.0, above=True)
    z = _checks.finite("z", z, 0.0)
    servers = _servers(servers)
    n = _checks.count("n", n, 0)
    return LossResult(*_record(_LossRecord, "moravel_loss_assembled", "loss_assembled",
                               {"x": x, "y": y, "z": z, "servers": servers, "n": n},
                               x, y, z, servers, n))


def loss_priority(servers: int, traffics: Sequence[float]) -> List[LossResult]:
    """Loss system of V servers shared by classes of falling priority.

    servers  -- number of servers V, at least 1
    traffics -- offered traffic of each class [erlang], highest priority
                first; at least one class, each finite and not negative

    A call is never hindered by calls of lower classes.  Returns one
    LossResult(loss, carried) per class, in the order given; a class offering
    0 erlangs (after the first) reports (0, 0).
    """
    servers = _servers(servers)
    if isinstance(traffics, (str, bytes)):
        raise TypeError("traffics must be a sequence of numbers")
    values = [_traffic(value, f"traffics[{i}]") for i, value in enumerate(traffics)]
    if not values:
        raise ValueError("traffics must hold at least one class")
    count = _checks.int32("number of classes", len(values))
    lost, carried = (ctypes.c_double * count)(), (ctypes.c_double * count)()
    _api("moravel_loss_priority", "loss_priority", {"servers": servers, "traffics": values},
         count, servers, _checks.doubles("traffics", values, count), lost, carried)
    return [LossResult(lost[i], carried[i]) for i in range(count)]


def wait(servers, traffic, threshold, holding_time) -> WaitResult:
    """Erlang delay system M/M/V with an unlimited first-come first-served queue.

    servers      -- number of servers V, at least 1
    traffic      -- offered traffic A [erlang], from 0 up to (not including) V
    threshold    -- waiting time t for wait_exceeds, in the unit of holding_time
    holding_time -- mean holding time h, above 0: the unit of the threshold
                    and of the waits (no default: 20 means nothing until
                    one says 20 what); 1.0 measures them in holding times

    Returns WaitResult(wait, wait_exceeds, mean_wait, mean_wait_waiting,
    queue_length).  Sequences or arrays give a WaitResult of arrays.
    """
    if _arrays.any_array(servers, traffic, threshold, holding_time):
        return WaitResult(*_arrays.call(
            "wait", "moravel_wait_array",
            [("threshold", "d", threshold), ("holding_time", "d", holding_time),
             ("servers", "i", servers), ("traffic", "d", traffic)], 5))
    servers = _servers(servers)
    traffic = _checks.finite("traffic", traffic, 0.0, below=servers)
    threshold = _checks.finite("threshold", threshold, 0.0)
    holding_time = _checks.finite("holding_time", holding_time, 0.0, above=True)
    return WaitResult(*_record(
        _WaitRecord, "moravel_wait", "wait",
        {"servers": servers, "traffic": traffic, "threshold": threshold,
         "holding_time": holding_time}, threshold, holding_time, servers, traffic))


# ---- single-service simulations --------------------------------------------

def simulate_loss(traffic: float, servers: int, calls: int, seed: int = 0) -> LossResult:
    """Simulates an Erlang loss system call by call (twin of ``loss``).

    traffic -- offered traffic A [erlang], above 0
    servers -- number of servers V, at least 1
    calls   -- number of calls N to replay, at least 1
    seed    -- 0 seeds from the clock (every run differs); any other value
               from 1 to 2**32 - 1 repeats the run exactly

    Returns LossResult(loss, carried), estimated over the N calls.
    """
    traffic = _checks.finite("traffic", traffic, 0.0, above=True)
    servers = _servers(servers)
    calls = _checks.count("calls", calls, 1)
    seed = _checks.uint32("seed", seed)
    return LossResult(*_record(
        _LossRecord, "moravel_simulate_loss", "simulate_loss",
        {"traffic": traffic, "servers": servers, "calls": calls, "seed": seed},
        traffic, servers, calls, seed))


def simulate_wait(traffic: float, servers: int, calls: int, threshold: float,
                  seed: int = 0) -> WaitResult:
    """Simulates an Erlang delay system call by call (twin of ``wait``).

    traffic   -- offered traffic A [erlang], above 0 and below V
    servers   -- number of servers V, at least 1
    calls     -- number of calls N to replay, at least 1
    threshold -- waiting time t for wait_exceeds [mean holding times], not negative
    seed      -- 0 seeds from the clock; any other value repeats the run

    Returns WaitResult with holding time 1: the probability of waiting is
    measured, the other four numbers follow from it.
    """
    servers = _servers(servers)
    traffic = _checks.finite("traffic", traffic, 0.0, above=True, below=servers)
    calls = _checks.count("calls", calls, 1)
    threshold = _checks.finite("threshold", threshold, 0.0)
    seed = _checks.uint32("seed", seed)
    return WaitResult(*_record(
        _WaitRecord, "moravel_simulate_wait", "simulate_wait",
        {"traffic": traffic, "servers": servers, "calls": calls, "threshold": threshold,
         "seed": seed}, traffic, servers, calls, threshold, seed))


# ---- multi-rate link groups ------------------------------------------------

def link_group(classes: Sequence[Tuple[float, float]], links: int,
               units: int) -> List[ClassResult]:
    """Multi-rate loss model of k separate links of f allocation units each.

    classes -- (traffic [erlang], demand [units]) per class; a call of the
               class needs `demand` units, all on one link; demand a whole
               number, at least 1
    links   -- number of links k, at least 1
    units   -- capacity f of one link [allocation units], at least 1

    A call is admitted when some link has enough free units.  Returns one
    ClassResult(blocking, carried [units]) per class, in the order given.
    """
    traffic, demand = _class_arrays(classes)
    links, units = _group(links, units)
    return _per_class("moravel_link_group", "link_group",
                      {"classes": classes, "links": links, "units": units},
                      traffic, demand, links, units)


def link_subset(classes: Sequence[Tuple[float, float]], links: int, units: int,
                subset: int) -> List[ClassResult]:
    """Multi-rate loss model of k links, each call offered to a subset of g links.

    classes -- (traffic [erlang], demand [units]) per class; a call of the
               class needs `demand` units, all on one link of its subset;
               demand at least 1
    links   -- number of links k, at least 1
    units   -- capacity f of one link [allocation units], at least 1
    subset  -- number of links g that a call is offered to, from 1 to k

    A call is lost when none of the g links of its subset has enough free
    units.  Returns one ClassResult(blocking, carried [units]) per class.
    """
    traffic, demand = _class_arrays(classes)
    links, units = _group(links, units)
    subset = _checks.count("subset", subset, 1, links)
    return _per_class("moravel_link_subset", "link_subset",
                      {"classes": classes, "links": links, "units": units, "subset": subset},
                      traffic, demand, links, units, subset)


def simulate_link_subset(classes: Sequence[Tuple[float, float]], links: int, units: int,
                         subset: int, calls: int, policy: str,
                         seed: int = 0) -> List[ClassResult]:
    """Simulates the link-subset group call by call (twin of ``link_subset``).

    classes, links, units, subset -- as for ``link_subset``; the total
               traffic must be above 0
    calls  -- number of calls N to simulate, at least 1
    policy -- which link of the subset takes a call: 'max-free' (most free
              units), 'min-free' (fewest free units that fit) or 'first-free'
              (a random link that fits), or the library's keywords
              'МаксСвоб', 'МинСвоб', 'ПервСвоб'
    seed   -- 0 seeds the run from the platform's random device (every run
              differs); any other value from 1 to 2**32 - 1 repeats the run
              exactly

    Returns one ClassResult(blocking, carried [units]) per class, estimated.
    """
    traffic, demand = _class_arrays(classes)
    if not math.fsum(traffic) > 0.0:
        raise ValueError("classes must offer some traffic: the total is 0")
    links, units = _group(links, units)
    subset = _checks.count("subset", subset, 1, links)
    if math.comb(links, subset) > _checks.INT32_MAX:
        raise OverflowError(
            f"subset = {subset} of {links} links gives {math.comb(links, subset)} subsets, "
            "more than a 32-bit count"
        )
    calls = _checks.count("calls", calls, 1)
    if not isinstance(policy, str):
        raise TypeError(f"policy must be a str, got {type(policy).__name__}")
    try:
        code = POLICIES[policy]
    except KeyError:
        raise ValueError(
            f"policy must be one of {', '.join(repr(p) for p in POLICIES)}; got {policy!r}"
        ) from None
    seed = _checks.uint32("seed", seed)
    return _per_class("moravel_simulate_link_subset", "simulate_link_subset",
                      {"classes": classes, "links": links, "units": units, "subset": subset,
                       "calls": calls, "policy": policy, "seed": seed},
                      traffic, demand, links, units, subset, calls, code, seed)


# ---- solvers: the least size for a target ----------------------------------

def _sized(export: str, function: str, arguments: dict, *values) -> Servers:
    servers, value = ctypes.c_int32(), ctypes.c_double()
    _api(export, function, arguments, *values, ctypes.byref(servers), ctypes.byref(value))
    return Servers(servers.value, value.value)


def erlang_b_servers(traffic, target):
    """The least number of servers V with Erlang B(V, traffic) at most target.

    traffic -- offered traffic A [erlang], finite and not negative
    target  -- the loss to meet, above 0 and below 1

    Returns Servers(servers, loss), exact on the values erlang_b computes:
    one server fewer loses more than the target.  20 servers for 12 erlangs
    at 1%.
    """
    if _arrays.any_array(traffic, target):
        return _arrays.elementwise("erlang_b_servers", erlang_b_servers,
            [("traffic", traffic), ("target", target)], Servers)
    traffic, target = _traffic(traffic), _target(target)
    return _sized("moravel_erlang_b_servers", "erlang_b_servers",
                  {"traffic": traffic, "target": target}, traffic, target)


def engset_servers(sources, traffic_per_source, target):
    """The least number of servers whose Engset call congestion is at most target.

    sources            -- number of traffic sources N, at least 1
    traffic_per_source -- offered traffic per source a, from 0 up to (not
                          including) 1
    target             -- the loss to meet, above 0 and below 1

    Returns Servers(servers, loss); N servers always suffice.
    """
    if _arrays.any_array(sources, traffic_per_source, target):
        return _arrays.elementwise("engset_servers", engset_servers,
            [("sources", sources), ("traffic_per_source", traffic_per_source),
             ("target", target)], Servers, counts=("sources",))
    sources = _checks.count("sources", sources, 1)
    a = _checks.finite("traffic_per_source", traffic_per_source, 0.0, below=1.0)
    target = _target(target)
    return _sized("moravel_engset_servers", "engset_servers",
                  {"sources": sources, "traffic_per_source": a, "target": target},
                  sources, a, target)


def loss_assembled_servers(x, y, z, n, target):
    """The least number of servers for the assembled load of ``loss_assembled``
    whose loss is at most target; returns Servers(servers, loss)."""
    if _arrays.any_array(x, y, z, n, target):
        return _arrays.elementwise("loss_assembled_servers", loss_assembled_servers,
            [("x", x), ("y", y), ("z", z), ("n", n), ("target", target)], Servers,
            counts=("n",))
    x = _checks.finite("x", x, 0.0, above=True)
    y = _checks.finite("y", y, 0.0, above=True)
    z = _checks.finite("z", z, 0.0)
    n = _checks.count("n", n, 0)
    target = _target(target)
    return _sized("moravel_loss_assembled_servers", "loss_assembled_servers",
                  {"x": x, "y": y, "z": z, "n": n, "target": target}, x, y, z, n, target)


def _links(export: str, function: str, arguments: dict, classes, units, *rest) -> Links:
    traffic, demand = _class_arrays(classes)
    count = len(traffic)
    blocking = (ctypes.c_double * count)()
    links = ctypes.c_int32()
    _api(export, function, arguments, _checks.doubles("traffic", traffic, count), count,
         _checks.doubles("demand", demand, count), units, *rest, ctypes.byref(links),
         blocking)
    return Links(links.value, list(blocking))


def link_group_links(classes: Sequence[Tuple[float, float]], units: int,
                     target: float) -> Links:
    """The least number of links k of `units` units each for which every
    class's blocking in ``link_group`` is at most target.

    classes -- (traffic [erlang], demand [units]) per class, as for link_group;
               no class wider than a link
    units   -- capacity f of one link [allocation units], at least 1
    target  -- the blocking to meet, above 0 and below 1

    Returns Links(links, blocking per class at that number).
    """
    units = _checks.count("units", units, 1)
    target = _target(target)
    return _links("moravel_link_group_links", "link_group_links",
                  {"classes": classes, "units": units, "target": target},
                  classes, units, target)


def link_subset_links(classes: Sequence[Tuple[float, float]], units: int, subset: int,
                      target: float) -> Links:
    """As ``link_group_links`` for ``link_subset``, each call offered to
    `subset` links: the least number of links, at least `subset`."""
    units = _checks.count("units", units, 1)
    subset = _checks.count("subset", subset, 1)
    target = _target(target)
    return _links("moravel_link_subset_links", "link_subset_links",
                  {"classes": classes, "units": units, "subset": subset, "target": target},
                  classes, units, subset, target)


# ---- solvers: the most traffic for a target --------------------------------

def erlang_b_traffic(servers, target):
    """The largest offered traffic [erlang] that V servers carry at an Erlang B
    loss of at most target: exact on the computed values, the next double
    above loses more.  12.0306... erlangs for 20 servers at 1%."""
    if _arrays.any_array(servers, target):
        return _arrays.elementwise("erlang_b_traffic", erlang_b_traffic,
            [("servers", servers), ("target", target)], counts=("servers",))
    servers = _servers(servers)
    target = _target(target)
    return _double("moravel_erlang_b_traffic", "erlang_b_traffic",
                   {"servers": servers, "target": target}, servers, target)


def engset_traffic(sources, servers, target):
    """The largest traffic per source (below 1) at which N sources on V < N
    servers meet an Engset loss of at most target."""
    if _arrays.any_array(sources, servers, target):
        return _arrays.elementwise("engset_traffic", engset_traffic,
            [("sources", sources), ("servers", servers), ("target", target)],
            counts=("sources", "servers"))
    sources = _checks.count("sources", sources, 1)
    servers = _servers(servers)
    target = _target(target)
    return _double("moravel_engset_traffic", "engset_traffic",
                   {"sources": sources, "servers": servers, "target": target},
                   sources, servers, target)


# ---- solvers: call-centre staffing -----------------------------------------

def offered_traffic(calls_per_interval, interval_minutes, handling_time_seconds):
    """The offered traffic [erlang] of `calls_per_interval` calls in an
    interval of `interval_minutes` minutes, each held `handling_time_seconds`
    seconds on average: calls x seconds / (60 x minutes).  400 calls in 30
    minutes of 180 s each are 40 erlangs.  Sequences or arrays give an array.
    """
    if _arrays.any_array(calls_per_interval, interval_minutes, handling_time_seconds):
        return _arrays.elementwise(
            "offered_traffic", offered_traffic,
            [("calls_per_interval", calls_per_interval), ("interval_minutes", interval_minutes),
             ("handling_time_seconds", handling_time_seconds)])
    calls = _checks.finite("calls_per_interval", calls_per_interval, 0.0)
    minutes = _checks.finite("interval_minutes", interval_minutes, 0.0, above=True)
    seconds = _checks.finite("handling_time_seconds", handling_time_seconds, 0.0, above=True)
    traffic = calls * seconds / (minutes * 60.0)
    if not math.isfinite(traffic):
        raise ValueError("calls_per_interval x handling_time_seconds / (60 x interval_minutes) "
                         f"must be finite, got {traffic!r}")
    return traffic


def _staffing(export: str, function: str, arguments: dict, *values) -> Staffing:
    return Staffing(*_record(_StaffingRecord, export, function, arguments, *values))


def _centre(traffic, handling_time, answer_time) -> Tuple[float, float, float]:
    return (_traffic(traffic),
            _checks.finite("handling_time", handling_time, 0.0, above=True),
            _checks.finite("answer_time", answer_time, 0.0))


def staffing(agents, traffic, handling_time,
             answer_time):
    """The figures of a call centre with V agents: the Erlang delay system.

    agents        -- number of agents V, at least 1 and above the traffic
    traffic       -- offered traffic A [erlang]
    handling_time -- mean handling time h, above 0
    answer_time   -- the answer time t of the service level, in the unit of h

    Returns Staffing(agents, wait_probability, service_level,
    mean_speed_of_answer, occupancy).
    """
    if _arrays.any_array(agents, traffic, handling_time, answer_time):
        return _arrays.elementwise("staffing", staffing,
            [("agents", agents), ("traffic", traffic), ("handling_time", handling_time),
             ("answer_time", answer_time)], Staffing, counts=("agents",))
    agents = _checks.count("agents", agents, 1, _MAX_SERVERS)
    traffic, h, t = _centre(traffic, handling_time, answer_time)
    return _staffing("moravel_staffing_figures", "staffing",
                     {"agents": agents, "traffic": traffic, "handling_time": h,
                      "answer_time": t}, agents, traffic, h, t)


def agents_for_service_level(traffic, handling_time, answer_time,
                             target):
    """The least agents answering at least the share `target` of the calls
    within `answer_time`; 24 agents for 20 erlangs, 180 s handling, 80%
    within 20 s.  Returns their Staffing figures."""
    if _arrays.any_array(traffic, handling_time, answer_time, target):
        return _arrays.elementwise("agents_for_service_level", agents_for_service_level,
            [("traffic", traffic), ("handling_time", handling_time), ("answer_time", answer_time),
             ("target", target)], Staffing)
    traffic, h, t = _centre(traffic, handling_time, answer_time)
    target = _target(target)
    return _staffing("moravel_agents_for_service_level", "agents_for_service_level",
                     {"traffic": traffic, "handling_time": h, "answer_time": t,
                      "target": target}, traffic, h, t, target)


def agents_for_mean_wait(traffic, handling_time, answer_time,
                         target_wait):
    """The least agents whose mean speed of answer (mean wait over all calls,
    in the unit of handling_time) is at most target_wait, above 0.  Returns
    their Staffing figures."""
    if _arrays.any_array(traffic, handling_time, answer_time, target_wait):
        return _arrays.elementwise("agents_for_mean_wait", agents_for_mean_wait,
            [("traffic", traffic), ("handling_time", handling_time), ("answer_time", answer_time),
             ("target_wait", target_wait)], Staffing)
    traffic, h, t = _centre(traffic, handling_time, answer_time)
    target_wait = _checks.finite("target_wait", target_wait, 0.0, above=True)
    return _staffing("moravel_agents_for_mean_wait", "agents_for_mean_wait",
                     {"traffic": traffic, "handling_time": h, "answer_time": t,
                      "target_wait": target_wait}, traffic, h, t, target_wait)


def agents_for_wait_probability(traffic, handling_time, answer_time,
                                target):
    """The least agents with a probability of waiting of at most target.
    Returns their Staffing figures."""
    if _arrays.any_array(traffic, handling_time, answer_time, target):
        return _arrays.elementwise("agents_for_wait_probability", agents_for_wait_probability,
            [("traffic", traffic), ("handling_time", handling_time), ("answer_time", answer_time),
             ("target", target)], Staffing)
    traffic, h, t = _centre(traffic, handling_time, answer_time)
    target = _target(target)
    return _staffing("moravel_agents_for_wait_probability", "agents_for_wait_probability",
                     {"traffic": traffic, "handling_time": h, "answer_time": t,
                      "target": target}, traffic, h, t, target)
