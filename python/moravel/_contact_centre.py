"""Contact centres: callers who hang up (M/M/n+M), lines that fill
(M/M/n/L+M), callers who redial, and the call-by-call replay of the same
centres.

The binding checks only that each argument is a number or a 32-bit count;
the library judges the rest.  Its refusal raises ArgumentError with the
library's message, naming the argument as this package spells it, as the
library's interface description says which argument each status refuses
("contact_centre(...): patience must be above 0 (+inf: callers who never
hang up)").
"""

from __future__ import annotations

import ctypes
from typing import List, NamedTuple, Optional

from . import _arrays, _checks
from ._errors import raise_status
from ._library import api_function, description, status_message

NO_LINE_LIMIT = 0


class ContactCentre(NamedTuple):
    """The figures of a contact centre, each a share of all offered calls
    unless said otherwise.

    wait_probability           -- finds every agent busy and a line free, so queues
    blocked_probability        -- finds every line busy: a busy tone (0 without lines)
    abandon_probability        -- hangs up before an answer
    abandon_within_answer_time -- hangs up after waiting at most the answer time t
    service_level              -- answered within t, over ALL offered calls
                                  (abandoned and blocked calls count against it)
    service_level_excluding_short_abandons
                               -- answered within t, over the offered calls less
                                  those that hung up within t
    mean_answer_wait           -- mean wait of the answered calls (ASA), in the
                                  unit of the handling time
    mean_wait                  -- mean wait of all offered calls, in that unit
    queue_length               -- mean number of calls waiting
    occupancy                  -- carried traffic over the agents
    carried                    -- carried traffic [erlang]
    """

    wait_probability: float
    blocked_probability: float
    abandon_probability: float
    abandon_within_answer_time: float
    service_level: float
    service_level_excluding_short_abandons: float
    mean_answer_wait: float
    mean_wait: float
    queue_length: float
    occupancy: float
    carried: float


class Retrials(NamedTuple):
    """A contact centre whose blocked and abandoned callers redial.

    attempt             -- ContactCentre: what every attempt meets, first
                           attempts and redials alike, at offered_total
    offered_total       -- first attempts plus redials [erlang]
    retry_traffic       -- redials alone [erlang]
    attempts_per_caller -- offered_total / traffic
    answered_share      -- callers answered in the end
    blocked_share       -- callers who give up after a busy tone
    abandoned_share     -- callers who give up after hanging up
    redialling          -- mean number of callers waiting to redial
    """

    attempt: ContactCentre
    offered_total: float
    retry_traffic: float
    attempts_per_caller: float
    answered_share: float
    blocked_share: float
    abandoned_share: float
    redialling: float


class SimulatedCentre(NamedTuple):
    """One replay of a contact centre (times in mean handling times).

    attempt       -- ContactCentre over every attempt of the counted callers
    first_attempt -- ContactCentre over their first attempts
    the per-caller figures of Retrials, and
    seed          -- the run's seed, with which it repeats (the clock's for 0)
    """

    attempt: ContactCentre
    first_attempt: ContactCentre
    offered_total: float
    retry_traffic: float
    attempts_per_caller: float
    answered_share: float
    blocked_share: float
    abandoned_share: float
    redialling: float
    seed: int


_CALLER_FIELDS = Retrials._fields[1:]


class _CentreRecord(ctypes.Structure):
    _fields_ = [(name, ctypes.c_double) for name in ContactCentre._fields]


class _RetrialRecord(ctypes.Structure):
    _fields_ = [("attempt", _CentreRecord)] + [(name, ctypes.c_double) for name in _CALLER_FIELDS]


class _SetupRecord(ctypes.Structure):
    _fields_ = [("traffic", ctypes.c_double), ("agents", ctypes.c_int32),
                ("lines", ctypes.c_int32), ("patience_distribution", ctypes.c_int32),
                ("patience_phases", ctypes.c_int32), ("patience", ctypes.c_double),
                ("answer_time", ctypes.c_double), ("blocked_retry_share", ctypes.c_double),
                ("abandoned_retry_share", ctypes.c_double), ("redial_time", ctypes.c_double)]


class _EstimateRecord(ctypes.Structure):
    _fields_ = ([("attempt", _CentreRecord), ("first_attempt", _CentreRecord)]
                + [(name, ctypes.c_double) for name in _CALLER_FIELDS]
                + [("seed", ctypes.c_uint32)])


# The patience distributions of the replay, by the names this package takes.
PATIENCE_DISTRIBUTIONS = {"exponential": 1, "deterministic": 2, "erlang": 3}

# Which arguments each refusal names, by entry point and status: read from
# the library's description once.
_refusals = {}


def _refusal(export: str, status: int) -> str:
    """The library's message for `status`, naming the arguments of `export`
    that the description says it refuses, as this package spells them."""
    key = (export, status)
    if key not in _refusals:
        described = description()
        by_code = {s["code"]: s for s in described["statuses"]}
        entry = next(e for e in described["entry_points"] if e["c_name"] == export)
        text = status_message(status)
        found = by_code.get(status)
        if found is not None:
            names = []
            for argument in entry["arguments"]:
                name = argument.get("python")
                if (argument["role"] == "input" and name and found["name"] in argument["refused_by"]
                        and name not in names):
                    names.append(name)
            if names:
                # The message says what the arguments must be, or, where the
                # library's text names none of them, what went wrong.
                joiner = " " if found["subject"] else ": "
                text = " and ".join(names) + joiner + found["message"]
        _refusals[key] = text
    return _refusals[key]


def _call(export: str, function: str, arguments: dict, *values) -> None:
    status = api_function(export)(*values)
    if status != 0:
        where = f"{function}(" + ", ".join(f"{k}={v!r}" for k, v in arguments.items()) + ")"
        raise_status(status, _refusal(export, status), where)


def _centre_arguments(traffic, handling_time, patience, agents, lines, answer_time) -> dict:
    return {"traffic": _checks.real("traffic", traffic),
            "handling_time": _checks.real("handling_time", handling_time),
            "patience": _checks.real("patience", patience),
            "agents": _checks.int32("agents", agents),
            "lines": _checks.int32("lines", lines),
            "answer_time": _checks.real("answer_time", answer_time)}


def _centre(record) -> ContactCentre:
    return ContactCentre(*(getattr(record, name) for name in ContactCentre._fields))


def contact_centre(traffic, handling_time, patience, agents, answer_time,
                   lines=NO_LINE_LIMIT):
    """A contact centre whose callers hang up: M/M/n+M, or M/M/n/L+M with lines.

    traffic       -- offered traffic A [erlang], any finite value from 0, far
                     above the agents included
    handling_time -- mean handling time h: the unit of patience, answer_time
                     and the waits (seconds, say, with offered_traffic)
    patience      -- mean patience p (exponential), in the unit of h; math.inf
                     for callers who never hang up (the delay system, A below
                     the agents then, unless lines are set)
    agents        -- number of agents n
    answer_time   -- answer time t of the service levels, in the unit of h
    lines         -- calls in the centre at most, talking and waiting (at least
                     n; a call finding them all busy gets a busy tone); 0 for
                     no limit

    Returns ContactCentre.  20 erlangs, h = 180 s, p = 120 s, 20 agents,
    t = 20 s: waits 0.482759, abandons 0.0977110, 1.30281 calls waiting,
    0.706453 of all offered calls answered within 20 s, occupancy 0.902289.
    Sequences or arrays of any argument give a ContactCentre of arrays, one
    call per point.
    """
    if _arrays.any_array(traffic, handling_time, patience, agents, answer_time, lines):
        return _arrays.elementwise(
            "contact_centre", contact_centre,
            [("traffic", traffic), ("handling_time", handling_time), ("patience", patience),
             ("agents", agents), ("answer_time", answer_time), ("lines", lines)],
            ContactCentre, counts=("agents", "lines"))
    arguments = _centre_arguments(traffic, handling_time, patience, agents, lines, answer_time)
    result = _CentreRecord()
    _call("moravel_contact_centre", "contact_centre", arguments, *arguments.values(),
          ctypes.byref(result))
    return _centre(result)


class _FlatRetrials(NamedTuple):
    """Retrials with the attempt's figures spread out, for the array calls."""

    wait_probability: float
    blocked_probability: float
    abandon_probability: float
    abandon_within_answer_time: float
    service_level: float
    service_level_excluding_short_abandons: float
    mean_answer_wait: float
    mean_wait: float
    queue_length: float
    occupancy: float
    carried: float
    offered_total: float
    retry_traffic: float
    attempts_per_caller: float
    answered_share: float
    blocked_share: float
    abandoned_share: float
    redialling: float


def _flat_retrials(*values) -> _FlatRetrials:
    r = contact_centre_retrials(*values)
    return _FlatRetrials(*r.attempt, *r[1:])


def contact_centre_retrials(traffic, handling_time, patience, agents, answer_time,
                            blocked_retry_share, abandoned_retry_share, redial_time,
                            lines=NO_LINE_LIMIT):
    """A contact centre whose blocked and abandoned callers try again: the
    usual fixed point, an approximation.

    The arguments of contact_centre, and
    blocked_retry_share   -- share of the blocked attempts that redial, 0 to 1
    abandoned_retry_share -- share of the abandoned attempts that redial, 0 to 1
    redial_time           -- mean time before a redial, in the unit of h

    The redials are taken as more Poisson traffic, so that the total offered
    traffic T solves T = A + T (rb P_blocked(T) + ra P_abandon(T)); it
    ignores that a redial is likelier to meet a busy centre, so it
    understates the redials when they are many (simulate_contact_centre
    measures the difference).  Returns Retrials.  Sequences or arrays give a
    Retrials of arrays (its attempt a ContactCentre of arrays).
    """
    if _arrays.any_array(traffic, handling_time, patience, agents, answer_time,
                         blocked_retry_share, abandoned_retry_share, redial_time, lines):
        flat = _arrays.elementwise(
            "contact_centre_retrials", _flat_retrials,
            [("traffic", traffic), ("handling_time", handling_time), ("patience", patience),
             ("agents", agents), ("answer_time", answer_time),
             ("blocked_retry_share", blocked_retry_share),
             ("abandoned_retry_share", abandoned_retry_share), ("redial_time", redial_time),
             ("lines", lines)],
            _FlatRetrials, counts=("agents", "lines"))
        size = len(ContactCentre._fields)
        return Retrials(ContactCentre(*flat[:size]), *flat[size:])
    arguments = _centre_arguments(traffic, handling_time, patience, agents, lines, answer_time)
    arguments["blocked_retry_share"] = _checks.real("blocked_retry_share", blocked_retry_share)
    arguments["abandoned_retry_share"] = _checks.real("abandoned_retry_share",
                                                      abandoned_retry_share)
    arguments["redial_time"] = _checks.real("redial_time", redial_time)
    result = _RetrialRecord()
    _call("moravel_contact_centre_retrials", "contact_centre_retrials", arguments,
          *arguments.values(), ctypes.byref(result))
    return Retrials(_centre(result.attempt),
                    *(getattr(result, name) for name in _CALLER_FIELDS))


def _estimate(record) -> SimulatedCentre:
    return SimulatedCentre(_centre(record.attempt), _centre(record.first_attempt),
                           *(getattr(record, name) for name in _CALLER_FIELDS), record.seed)


def simulate_contact_centre(traffic, agents, patience, answer_time, calls, *,
                            lines=NO_LINE_LIMIT, patience_distribution="exponential",
                            patience_phases=1, blocked_retry_share=0.0,
                            abandoned_retry_share=0.0, redial_time=1.0, warmup_calls=0,
                            seed=0, replications: Optional[int] = None):
    """Replays a contact centre call by call (twin of contact_centre and
    contact_centre_retrials).  Times are in mean handling times: divide the
    patience, answer and redial times by the handling time, and multiply the
    waits back.

    traffic               -- first attempts [erlang]
    agents, lines         -- as contact_centre
    patience              -- mean patience; math.inf for callers who never hang up
    answer_time           -- t of the service levels
    calls                 -- callers counted, each with all its attempts
    patience_distribution -- "exponential" (the models'), "deterministic" (every
                             caller waits exactly `patience`) or "erlang"
                             (`patience_phases` phases, 1 to 100)
    blocked_retry_share, abandoned_retry_share, redial_time
                          -- redials, as contact_centre_retrials
    warmup_calls          -- first attempts that fill the centre, not counted
    seed                  -- 0 seeds from the clock (the seed used is in the
                             result); any other value repeats the run
    replications          -- None for one run, giving SimulatedCentre; R runs
                             give a list of R SimulatedCentre, run r seeded by
                             the library's rule from `seed`

    A run is bounded at 64 attempts per caller: redialling that does not
    settle raises ArgumentError.
    """
    if patience_distribution not in PATIENCE_DISTRIBUTIONS:
        raise ValueError("patience_distribution must be one of "
                         + ", ".join(PATIENCE_DISTRIBUTIONS) + f", got {patience_distribution!r}")
    arguments = {"traffic": _checks.real("traffic", traffic),
                 "agents": _checks.int32("agents", agents),
                 "lines": _checks.int32("lines", lines),
                 "patience_distribution": PATIENCE_DISTRIBUTIONS[patience_distribution],
                 "patience_phases": _checks.int32("patience_phases", patience_phases),
                 "patience": _checks.real("patience", patience),
                 "answer_time": _checks.real("answer_time", answer_time),
                 "blocked_retry_share": _checks.real("blocked_retry_share", blocked_retry_share),
                 "abandoned_retry_share": _checks.real("abandoned_retry_share",
                                                       abandoned_retry_share),
                 "redial_time": _checks.real("redial_time", redial_time)}
    setup = _SetupRecord(**arguments)
    calls = _checks.int32("calls", calls)
    warmup_calls = _checks.int32("warmup_calls", warmup_calls)
    seed = _checks.uint32("seed", seed)
    shown = dict(arguments, patience_distribution=patience_distribution, calls=calls,
                 warmup_calls=warmup_calls, seed=seed)
    if replications is None:
        result = _EstimateRecord()
        _call("moravel_simulate_contact_centre", "simulate_contact_centre", shown,
              ctypes.byref(setup), calls, warmup_calls, seed, ctypes.byref(result))
        return _estimate(result)
    replications = _checks.int32("replications", replications)
    shown["replications"] = replications
    results = (_EstimateRecord * max(replications, 1))()
    _call("moravel_simulate_contact_centre_replications", "simulate_contact_centre", shown,
          ctypes.byref(setup), calls, warmup_calls, seed, replications, results)
    return [_estimate(record) for record in results[:replications]]


# The goals of the staffing solvers, by the names this package takes.
GOALS = {"service_level": 1, "service_level_excluding_short_abandons": 2,
         "mean_answer_wait": 3, "abandon_probability": 4, "wait_probability": 5}


class CentreAgents(NamedTuple):
    """The least agents meeting a goal, and the centre's figures with them."""

    agents: int
    figures: ContactCentre


class CentreTraffic(NamedTuple):
    """The most traffic given agents answer at a goal, and the figures there."""

    traffic: float
    figures: ContactCentre


def _goal(goal) -> int:
    if goal not in GOALS:
        raise ValueError("goal must be one of " + ", ".join(GOALS) + f", got {goal!r}")
    return GOALS[goal]


def _staffing_arguments(handling_time, patience, lines, answer_time, goal, target,
                        max_occupancy) -> dict:
    return {"handling_time": _checks.real("handling_time", handling_time),
            "patience": _checks.real("patience", patience),
            "lines": _checks.int32("lines", lines),
            "answer_time": _checks.real("answer_time", answer_time),
            "goal": _goal(goal),
            "target": _checks.real("target", target),
            "max_occupancy": _checks.real("max_occupancy", max_occupancy)}


def _flat(solver, *values):
    answer = solver(*values)
    return (answer[0], *answer.figures)


def _staffing_arrays(name, solver, result, first, values):
    names = (first, "handling_time", "patience", "answer_time", "goal", "target", "lines",
             "max_occupancy")
    flat = _arrays.elementwise(
        name, lambda *point: _flat(solver, *point), list(zip(names, values)),
        NamedTuple("_Flat", [(first, float)] + [(f, float) for f in ContactCentre._fields]),
        counts=("lines",) if result is CentreAgents else ("agents", "lines"))
    return result(flat[0], ContactCentre(*flat[1:]))


def contact_centre_agents(traffic, handling_time, patience, answer_time, goal, target,
                          lines=NO_LINE_LIMIT, max_occupancy=1.0):
    """The least agents for which contact_centre meets `goal` at `target` and
    an occupancy of at most max_occupancy (1: no bound): exact on the
    computed figures (one agent fewer misses).

    goal -- "service_level" (over all offered calls, at least target),
            "service_level_excluding_short_abandons" (at least target),
            "mean_answer_wait" (at most target, in the unit of handling_time),
            "abandon_probability" or "wait_probability" (at most target)

    Returns CentreAgents(agents, figures).  Sequences or arrays of any
    argument but goal give arrays, one search per point.
    """
    if _arrays.any_array(traffic, handling_time, patience, answer_time, target, lines,
                         max_occupancy):
        return _staffing_arrays(
            "contact_centre_agents", contact_centre_agents, CentreAgents, "traffic",
            (traffic, handling_time, patience, answer_time, goal, target, lines, max_occupancy))
    arguments = {"traffic": _checks.real("traffic", traffic)}
    arguments.update(_staffing_arguments(handling_time, patience, lines, answer_time, goal,
                                         target, max_occupancy))
    agents, figures = ctypes.c_int32(), _CentreRecord()
    _call("moravel_contact_centre_agents", "contact_centre_agents", arguments,
          *arguments.values(), ctypes.byref(agents), ctypes.byref(figures))
    return CentreAgents(agents.value, _centre(figures))


def contact_centre_traffic(agents, handling_time, patience, answer_time, goal, target,
                           lines=NO_LINE_LIMIT, max_occupancy=1.0):
    """The largest traffic [erlang] at which `agents` agents meet `goal` (as
    contact_centre_agents): it meets it and the next double above does not.
    Returns CentreTraffic(traffic, figures); arrays as contact_centre_agents.
    """
    if _arrays.any_array(agents, handling_time, patience, answer_time, target, lines,
                         max_occupancy):
        return _staffing_arrays(
            "contact_centre_traffic", contact_centre_traffic, CentreTraffic, "agents",
            (agents, handling_time, patience, answer_time, goal, target, lines, max_occupancy))
    arguments = {"agents": _checks.int32("agents", agents)}
    arguments.update(_staffing_arguments(handling_time, patience, lines, answer_time, goal,
                                         target, max_occupancy))
    traffic, figures = ctypes.c_double(), _CentreRecord()
    _call("moravel_contact_centre_traffic", "contact_centre_traffic", arguments,
          *arguments.values(), ctypes.byref(traffic), ctypes.byref(figures))
    return CentreTraffic(traffic.value, _centre(figures))


__all__: List[str] = ["ContactCentre", "Retrials", "SimulatedCentre", "contact_centre",
                      "contact_centre_retrials", "simulate_contact_centre", "NO_LINE_LIMIT",
                      "PATIENCE_DISTRIBUTIONS", "GOALS", "CentreAgents", "CentreTraffic",
                      "contact_centre_agents", "contact_centre_traffic"]
