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

from . import _arrays, _checks, _described, _results
from ._calling import call
from ._library import codes

# The value of lines for no limit; a default argument, so written here and
# held to the described MORAVEL_NO_LINE_LIMIT by test_description.
NO_LINE_LIMIT = 0


def _record_type(name: str):
    return _results.structure(_results.SOURCES[name][1])


def patience_distributions() -> dict:
    """The patience distributions of the replay, by the names this package
    takes, as the library describes them: name -> code."""
    return codes("patience_distribution")

def _call(export: str, function: str, arguments: dict, *values) -> None:
    call(export, function, arguments, *values)


def _centre_arguments(traffic, handling_time, patience, agents, lines, answer_time) -> dict:
    return {"traffic": _checks.real("traffic", traffic),
            "handling_time": _checks.real("handling_time", handling_time),
            "patience": _checks.real("patience", patience),
            "agents": _checks.int32("agents", agents),
            "lines": _checks.int32("lines", lines),
            "answer_time": _checks.real("answer_time", answer_time)}


def _centre(record):
    return _results.values("ContactCentre", record)


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
    return _described.function("contact_centre")(
        traffic=traffic, handling_time=handling_time, patience=patience, agents=agents,
        lines=lines, answer_time=answer_time)


def _flat_retrials_type():
    """Retrials with the attempt's figures spread out, for the array calls."""
    fields = _results.result("ContactCentre")._fields + _results.result("Retrials")._fields[1:]
    return NamedTuple("_FlatRetrials", [(name, float) for name in fields])


def _flat_retrials(*values) -> tuple:
    r = contact_centre_retrials(*values)
    return (*r.attempt, *r[1:])


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
            _flat_retrials_type(), counts=("agents", "lines"))
        centre, retrials = _results.result("ContactCentre"), _results.result("Retrials")
        size = len(centre._fields)
        return retrials(centre(*flat[:size]), *flat[size:])
    arguments = _centre_arguments(traffic, handling_time, patience, agents, lines, answer_time)
    arguments["blocked_retry_share"] = _checks.real("blocked_retry_share", blocked_retry_share)
    arguments["abandoned_retry_share"] = _checks.real("abandoned_retry_share",
                                                      abandoned_retry_share)
    arguments["redial_time"] = _checks.real("redial_time", redial_time)
    result = _record_type("Retrials")()
    _call("moravel_contact_centre_retrials", "contact_centre_retrials", arguments,
          *arguments.values(), ctypes.byref(result))
    return _results.values("Retrials", result)


def _estimate(record):
    return _results.values("SimulatedCentre", record)


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
    distributions = patience_distributions()
    if patience_distribution not in distributions:
        raise ValueError("patience_distribution must be one of "
                         + ", ".join(distributions) + f", got {patience_distribution!r}")
    arguments = {"traffic": _checks.real("traffic", traffic),
                 "agents": _checks.int32("agents", agents),
                 "lines": _checks.int32("lines", lines),
                 "patience_distribution": distributions[patience_distribution],
                 "patience_phases": _checks.int32("patience_phases", patience_phases),
                 "patience": _checks.real("patience", patience),
                 "answer_time": _checks.real("answer_time", answer_time),
                 "blocked_retry_share": _checks.real("blocked_retry_share", blocked_retry_share),
                 "abandoned_retry_share": _checks.real("abandoned_retry_share",
                                                       abandoned_retry_share),
                 "redial_time": _checks.real("redial_time", redial_time)}
    setup = _results.structure("moravel_contact_centre_setup")(**arguments)
    calls = _checks.int32("calls", calls)
    warmup_calls = _checks.int32("warmup_calls", warmup_calls)
    seed = _checks.uint32("seed", seed)
    shown = dict(arguments, patience_distribution=patience_distribution, calls=calls,
                 warmup_calls=warmup_calls, seed=seed)
    if replications is None:
        result = _record_type("SimulatedCentre")()
        _call("moravel_simulate_contact_centre", "simulate_contact_centre", shown,
              ctypes.byref(setup), calls, warmup_calls, seed, ctypes.byref(result))
        return _estimate(result)
    replications = _checks.int32("replications", replications)
    shown["replications"] = replications
    results = (_record_type("SimulatedCentre") * max(replications, 1))()
    _call("moravel_simulate_contact_centre_replications", "simulate_contact_centre", shown,
          ctypes.byref(setup), calls, warmup_calls, seed, replications, results)
    return [_estimate(record) for record in results[:replications]]


def goals() -> dict:
    """The goals of the staffing solvers, by the names this package takes,
    as the library describes them: name -> code."""
    return codes("goal")


def _goal(goal) -> int:
    described = goals()
    if goal not in described:
        raise ValueError("goal must be one of " + ", ".join(described) + f", got {goal!r}")
    return described[goal]


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
    result, centre = _results.result(result), _results.result("ContactCentre")
    names = (first, "handling_time", "patience", "answer_time", "goal", "target", "lines",
             "max_occupancy")
    flat = _arrays.elementwise(
        name, lambda *point: _flat(solver, *point), list(zip(names, values)),
        NamedTuple("_Flat", [(first, float)] + [(f, float) for f in centre._fields]),
        counts=("lines",) if first == "traffic" else ("agents", "lines"))
    return result(flat[0], centre(*flat[1:]))


def _staffing_search(name: str, export: str, result: str, first: str, values: tuple):
    """One of the two staffing searches: `first` (the traffic or the agents)
    and the goal's arguments in, the described results out, one search per
    point where an argument but the goal is a sequence or an array."""
    first_value, handling_time, patience, answer_time, goal, target, lines, max_occupancy = values
    if _arrays.any_array(first_value, handling_time, patience, answer_time, target, lines,
                         max_occupancy):
        solver = contact_centre_agents if first == "traffic" else contact_centre_traffic
        return _staffing_arrays(name, solver, result, first, values)
    check = _checks.real if first == "traffic" else _checks.int32
    arguments = {first: check(first, first_value)}
    arguments.update(_staffing_arguments(handling_time, patience, lines, answer_time, goal,
                                         target, max_occupancy))
    found = ctypes.c_double() if first == "agents" else ctypes.c_int32()
    figures = _record_type("ContactCentre")()
    _call(export, name, arguments, *arguments.values(), ctypes.byref(found),
          ctypes.byref(figures))
    return _results.result(result)(found.value, _centre(figures))


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
    return _staffing_search("contact_centre_agents", "moravel_contact_centre_agents",
                            "CentreAgents", "traffic",
                            (traffic, handling_time, patience, answer_time, goal, target, lines,
                             max_occupancy))


def contact_centre_traffic(agents, handling_time, patience, answer_time, goal, target,
                           lines=NO_LINE_LIMIT, max_occupancy=1.0):
    """The largest traffic [erlang] at which `agents` agents meet `goal` (as
    contact_centre_agents): it meets it and the next double above does not.
    Returns CentreTraffic(traffic, figures); arrays as contact_centre_agents.
    """
    return _staffing_search("contact_centre_traffic", "moravel_contact_centre_traffic",
                            "CentreTraffic", "agents",
                            (agents, handling_time, patience, answer_time, goal, target, lines,
                             max_occupancy))


__all__: List[str] = ["contact_centre", "contact_centre_retrials", "simulate_contact_centre",
                      "NO_LINE_LIMIT",
                      "contact_centre_agents", "contact_centre_traffic"]
