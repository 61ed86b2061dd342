"""Teletraffic calculations from libMoravel, for Python.

Erlang loss and delay, Engset, single-service loss and waiting systems,
multi-rate link groups and call-by-call simulations of the same systems.
Traffic is in erlangs (arrival rate times mean holding time), demands and
link capacities in allocation units, simulated time in mean holding times.

Scalar formulas return a float; models return named tuples, and models of
several classes a list of named tuples, one per class, in class order.  The
numbers of a model come from the library's result text, which holds six
significant digits; the scalar formulas return the library's double as it is.

Arguments outside a model's meaning raise ValueError naming the argument,
counts that do not fit in 32 bits raise OverflowError, and wrong types raise
TypeError.  The exports themselves, with their C names and arguments and
their results as text, are in ``moravel.raw``.

The library is found through the environment variable MORAVEL_LIBRARY, next to
this package, or by the loader's normal search; see ``library_path()``.  All
functions may be called from several threads: the calls that go through the
library's one result text are serialised by a lock.
"""

from __future__ import annotations

import math
from typing import List, NamedTuple, Sequence, Tuple

from . import _checks, raw
from ._library import MissingExportError, exports, has_export, library_path

__version__ = "1.0.0"

__all__ = [
    "erlang_b", "erlang_c", "engset", "erlang_b_direct", "erlang_b_ratio",
    "loss", "loss_finite", "loss_assembled", "loss_priority", "wait",
    "simulate_loss", "simulate_wait",
    "link_group", "link_subset", "simulate_link_subset",
    "LossResult", "WaitResult", "ClassResult", "POLICIES",
    "MoravelError", "MissingExportError",
    "has_export", "exports", "library_path", "raw",
]

# The direct form of the Erlang loss formula divides by V!, which leaves the
# double range at 171!.
DIRECT_FORM_MAX_SERVERS = 170

# Link-choice policies of the link-subset simulation: the readable names and
# the library's own keywords, each mapped to the keyword the library reads.
POLICIES = {
    "max-free": "МаксСвоб",
    "min-free": "МинСвоб",
    "first-free": "ПервСвоб",
    "МаксСвоб": "МаксСвоб",
    "МинСвоб": "МинСвоб",
    "ПервСвоб": "ПервСвоб",
}

# PalmTable and EngsetTable answer 0 for 2147483647 servers, where V + 1
# wraps; a count below it is needed for a meaningful answer.
_MAX_SERVERS = _checks.INT32_MAX - 1


class MoravelError(RuntimeError):
    """libMoravel gave no result for input the binding accepted (for example
    when the library ran out of memory), or a value a study cannot use (a
    blocking outside [0, 1] in a search of ``moravel.study``)."""


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


# ---- helpers ---------------------------------------------------------------

def _numbers(export: str, text: str, expected: int) -> List[float]:
    values = text.split()
    if len(values) != expected:
        raise MoravelError(
            f"libMoravel's {export} gave {len(values)} numbers instead of {expected}"
            + (" (an empty result: out of memory?)" if not values else f": {text!r}")
        )
    return [float(value) for value in values]


def _servers(value, minimum: int = 1) -> int:
    return _checks.count("servers", value, minimum, _MAX_SERVERS)


def _traffic(value, name: str = "traffic") -> float:
    return _checks.finite(name, value, 0.0)


def _per_class(export: str, text: str, classes: int, result):
    numbers = _numbers(export, text, 2 * classes)
    return [result(numbers[2 * i], numbers[2 * i + 1]) for i in range(classes)]


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
        demand.append(_checks.finite(f"classes[{index}] demand", t, 1.0))
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


# ---- scalar formulas -------------------------------------------------------

def erlang_b(servers: int, traffic: float) -> float:
    """Erlang loss formula B(V, A), by recursion.

    servers -- number of servers V, at least 1
    traffic -- offered traffic A [erlang], finite and not negative

    Returns the probability that a call offered to V servers by Poisson
    traffic of A erlangs finds them all busy and is lost.
    """
    servers = _servers(servers)
    return raw.PalmTable(servers, _traffic(traffic))


def erlang_c(servers: int, traffic: float) -> float:
    """Erlang delay formula C(V, A).

    servers -- number of servers V, at least 1
    traffic -- offered traffic A [erlang], from 0 up to V

    Returns the probability that a call must wait in a system of V servers
    with an unlimited queue (1 at A = V, where the queue no longer settles).
    """
    servers = _servers(servers)
    return raw.ErlangFormula2(servers, _checks.finite(
        "traffic", traffic, 0.0, below=servers, at_most=True))


def engset(sources: int, servers: int, traffic_per_source: float) -> float:
    """Engset call congestion of N sources offered to V servers.

    sources            -- number of traffic sources N, at least 1
    servers            -- number of servers V, at least 1
    traffic_per_source -- offered traffic per source a [erlang], from 0 up to
                          (not including) 1

    Returns the probability that a call attempt finds all servers busy; zero
    (possibly a negative zero) when there are at least as many servers as
    sources.
    """
    sources = _checks.count("sources", sources, 1)
    servers = _servers(servers)
    return raw.EngsetTable(sources, servers, _checks.finite(
        "traffic_per_source", traffic_per_source, 0.0, below=1.0))


def erlang_b_direct(servers: int, traffic: float) -> float:
    """Erlang loss formula in its direct form (A^V/V!) / sum_k A^k/k!.

    servers -- number of servers V, from 0 to 170 (V! leaves the double range
               at 171; erlang_b has no such limit)
    traffic -- offered traffic A [erlang], finite and not negative

    Returns the loss probability; 1 for V = 0.  Raises ValueError when a power
    of A overflows on the way.
    """
    servers = _checks.count("servers", servers, 0, DIRECT_FORM_MAX_SERVERS)
    traffic = _traffic(traffic)
    value = raw.E(servers, traffic)
    if math.isnan(value):
        raise ValueError(
            f"traffic = {traffic:g} is too large for the direct form with {servers} servers "
            "(a power of the traffic overflows); use erlang_b"
        )
    return value


def erlang_b_ratio(servers: int, traffic: float, fewer: int) -> float:
    """The ratio E(V, A) / E(V - i, A) of the direct-form loss formula.

    servers -- number of servers V, from 0 to 170
    traffic -- offered traffic A [erlang], finite and not negative
    fewer   -- how many servers fewer the divisor has, i, from 0 to V

    Raises ValueError where the ratio is undefined (A = 0 with V - i >= 1,
    or a power of A that overflows).
    """
    servers = _checks.count("servers", servers, 0, DIRECT_FORM_MAX_SERVERS)
    traffic = _traffic(traffic)
    fewer = _checks.count("fewer", fewer, 0, servers)
    value = raw.Hi(servers, traffic, fewer)
    if math.isnan(value):
        raise ValueError(
            f"traffic = {traffic:g} gives no ratio for servers = {servers}, fewer = {fewer}: "
            f"E({servers - fewer}, traffic) is 0 or a power of the traffic overflows"
        )
    return value


# ---- single-service models -------------------------------------------------

def loss(servers: int, traffic: float) -> LossResult:
    """Erlang loss system M/M/V/L: Poisson traffic on V servers, lost calls cleared.

    servers -- number of servers V, at least 1
    traffic -- offered traffic A [erlang], finite and not negative

    Returns LossResult(loss, carried): the loss probability and the carried
    traffic [erlang], to six significant digits.
    """
    servers = _servers(servers)
    text = raw.M_M_V_L_an(servers, _traffic(traffic))
    return LossResult(*_numbers("M_M_V_L_an", text, 2))


def loss_finite(sources: int, servers: int, traffic_per_source: float) -> LossResult:
    """Engset loss system: N sources on V servers, lost calls cleared.

    sources            -- number of traffic sources N, at least 1
    servers            -- number of servers V, at least 1
    traffic_per_source -- offered traffic per source a [erlang], from 0 up to
                          (not including) 1

    Returns LossResult(loss, carried): the call congestion and the carried
    traffic [erlang], to six significant digits.
    """
    sources = _checks.count("sources", sources, 1)
    servers = _servers(servers)
    text = raw.Mi_M_V_L_an(sources, servers, _checks.finite(
        "traffic_per_source", traffic_per_source, 0.0, below=1.0))
    return LossResult(*_numbers("Mi_M_V_L_an", text, 2))


def loss_assembled(x: float, y: float, z: float, servers: int, n: int) -> LossResult:
    """Erlang loss system on the assembled load A = (n / (1/x + 1/y)) * (z/y + 1).

    x, y    -- two times in one unit, both above 0
    z       -- a time in the unit of y, not negative
    servers -- number of servers V, at least 1
    n       -- whole-number multiplier of the load, not negative

    Returns LossResult(loss, carried) for the load A, to six significant digits.
    """
    x = _checks.finite("x", x, 0.0, above=True)
    y = _checks.finite("y", y, 0.0, above=True)
    z = _checks.finite("z", z, 0.0)
    servers = _servers(servers)
    n = _checks.count("n", n, 0)
    # The load as the library assembles it, in the same order of operations.
    load = (n / ((1.0 / x) + (1.0 / y))) * ((z / y) + 1.0)
    if not math.isfinite(load):
        raise ValueError(f"x, y, z and n assemble an infinite load: {load}")
    text = raw.M_G_V_L_an(x, y, z, servers, n)
    return LossResult(*_numbers("M_G_V_L_an", text, 2))


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
    text = raw.M_M_V_L_PRA_an(count, servers, values)
    return _per_class("M_M_V_L_PRA_an", text, count, LossResult)


def wait(servers: int, traffic: float, threshold: float,
         holding_time: float = 1.0) -> WaitResult:
    """Erlang delay system M/M/V with an unlimited first-come first-served queue.

    servers      -- number of servers V, at least 1
    traffic      -- offered traffic A [erlang], from 0 up to (not including) V
    threshold    -- waiting time t for wait_exceeds, in the unit of holding_time
    holding_time -- mean holding time h, above 0 (1.0: times in holding times)

    Returns WaitResult(wait, wait_exceeds, mean_wait, mean_wait_waiting,
    queue_length), to six significant digits.
    """
    servers = _servers(servers)
    traffic = _checks.finite("traffic", traffic, 0.0, below=servers)
    threshold = _checks.finite("threshold", threshold, 0.0)
    holding_time = _checks.finite("holding_time", holding_time, 0.0, above=True)
    text = raw.M_M_V_W_FF_R_an(threshold, holding_time, servers, traffic)
    return WaitResult(*_numbers("M_M_V_W_FF_R_an", text, 5))


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
    text = raw.M_M_V_L_im(traffic, servers, calls, seed)
    return LossResult(*_numbers("M_M_V_L_im", text, 2))


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
    text = raw.M_M_V_W_FF_R_im(traffic, servers, calls, threshold, seed)
    return WaitResult(*_numbers("M_M_V_W_FF_R_im", text, 5))


# ---- multi-rate link groups ------------------------------------------------

def link_group(classes: Sequence[Tuple[float, float]], links: int,
               units: int) -> List[ClassResult]:
    """Multi-rate loss model of k separate links of f allocation units each.

    classes -- (traffic [erlang], demand [units]) per class; a call of the
               class needs `demand` units, all on one link; demand at least 1
    links   -- number of links k, at least 1
    units   -- capacity f of one link [allocation units], at least 1

    A call is admitted when some link has enough free units.  Returns one
    ClassResult(blocking, carried [units]) per class, in the order given.
    """
    traffic, demand = _class_arrays(classes)
    links, units = _group(links, units)
    text = raw.VM_VMl_V_L_an(traffic, len(traffic), demand, links, units)
    return _per_class("VM_VMl_V_L_an", text, len(traffic), ClassResult)


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
    text = raw.VM_VMl_VDg_L_an(traffic, len(traffic), demand, links, units, subset)
    return _per_class("VM_VMl_VDg_L_an", text, len(traffic), ClassResult)


def simulate_link_subset(classes: Sequence[Tuple[float, float]], links: int, units: int,
                         subset: int, calls: int, policy: str) -> List[ClassResult]:
    """Simulates the link-subset group call by call (twin of ``link_subset``).

    classes, links, units, subset -- as for ``link_subset``; the total
               traffic must be above 0
    calls  -- number of calls N to simulate, at least 1
    policy -- which link of the subset takes a call: 'max-free' (most free
              units), 'min-free' (fewest free units that fit) or 'first-free'
              (a random link that fits), or the library's keywords
              'МаксСвоб', 'МинСвоб', 'ПервСвоб'

    The run is seeded from the platform's random device: every run differs.
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
        keyword = POLICIES[policy]
    except KeyError:
        raise ValueError(
            f"policy must be one of {', '.join(repr(p) for p in POLICIES)}; got {policy!r}"
        ) from None
    text = raw.VM_VMl_VDg_L_im(traffic, len(traffic), demand, links, units, subset,
                               calls, keyword)
    return _per_class("VM_VMl_VDg_L_im", text, len(traffic), ClassResult)
