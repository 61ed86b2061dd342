"""The dimensioning questions: the least servers, links or agents for a
target, the most traffic, and call-centre staffing."""

from __future__ import annotations

import ctypes
from typing import NamedTuple, Sequence, Tuple

from . import _arrays, _checks, _described, _results
from ._calling import call as _api
from ._link_groups import c_array, class_arrays


# ---- solvers: the least size for a target ----------------------------------

def erlang_b_servers(traffic, target):
    """The least number of servers V with Erlang B(V, traffic) at most target.

    traffic -- offered traffic A [erlang], finite and not negative
    target  -- the loss to meet, above 0 and below 1

    Returns Servers(servers, loss), exact on the values erlang_b computes:
    one server fewer loses more than the target.  20 servers for 12 erlangs
    at 1%.
    """
    return _described.function("erlang_b_servers")(traffic, target)




def _links(export: str, function: str, arguments: dict, classes, units, *rest):
    traffic, demand = class_arrays(classes)
    count = len(traffic)
    blocking = c_array([0.0] * count)
    links = ctypes.c_int32()
    _api(export, function, arguments, c_array(traffic), count, c_array(demand), units, *rest,
         ctypes.byref(links), blocking)
    return _results.result("Links")(links.value, list(blocking[:count]))


def link_group_links(classes: Sequence[Tuple[float, float]], units: int,
                     target: float):
    """The least number of links k of `units` units each for which every
    class's blocking in ``link_group`` is at most target.

    classes -- (traffic [erlang], demand [units]) per class, as for link_group;
               no class wider than a link
    units   -- capacity f of one link [allocation units], at least 1
    target  -- the blocking to meet, above 0 and below 1

    Returns Links(links, blocking per class at that number).
    """
    units = _checks.int32("units", units)
    target = _checks.real("target", target)
    return _links("moravel_link_group_links", "link_group_links",
                  {"classes": classes, "units": units, "target": target},
                  classes, units, target)


def link_subset_links(classes: Sequence[Tuple[float, float]], units: int, subset: int,
                      target: float):
    """As ``link_group_links`` for ``link_subset``, each call offered to
    `subset` links: the least number of links, at least `subset`."""
    units = _checks.int32("units", units)
    subset = _checks.int32("subset", subset)
    target = _checks.real("target", target)
    return _links("moravel_link_subset_links", "link_subset_links",
                  {"classes": classes, "units": units, "subset": subset, "target": target},
                  classes, units, subset, target)


# ---- solvers: the most traffic for a target --------------------------------

def erlang_b_traffic(servers, target):
    """The largest offered traffic [erlang] that V servers carry at an Erlang B
    loss of at most target: exact on the computed values, the next double
    above loses more.  12.0306... erlangs for 20 servers at 1%."""
    return _described.function("erlang_b_traffic")(servers, target)



# ---- solvers: call-centre staffing -----------------------------------------

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
    return _described.function("staffing")(agents, traffic, handling_time, answer_time)


def agents_for_service_level(traffic, handling_time, answer_time,
                             target):
    """The least agents answering at least the share `target` of the calls
    within `answer_time`; 24 agents for 20 erlangs, 180 s handling, 80%
    within 20 s.  Returns their Staffing figures."""
    return _described.function("agents_for_service_level")(traffic, handling_time, answer_time, target)




def traffic_for_service_level(agents, handling_time, answer_time, target):
    """The largest offered traffic [erlang] that `agents` agents answer at a
    service level of at least target (the share of calls answered within
    answer_time, in the unit of handling_time): it meets the target and the
    next double above does not.  20.0938 erlangs for 24 agents, 180 s
    handling, 80% within 20 s.  Returns StaffedTraffic(traffic, figures),
    the figures the Staffing there.  Sequences or arrays give arrays, one
    search per point."""
    if _arrays.any_array(agents, handling_time, answer_time, target):
        staffing_fields = _results.result("Staffing")._fields
        flat = _arrays.elementwise(
            "traffic_for_service_level",
            lambda *point: (lambda r: (r.traffic, *r.figures))(
                traffic_for_service_level(*point)),
            [("agents", agents), ("handling_time", handling_time),
             ("answer_time", answer_time), ("target", target)],
            NamedTuple("_Flat", [("traffic", float)] + [(f, float) for f in staffing_fields]),
            counts=("agents",))
        return _results.result("StaffedTraffic")(
            flat[0], _results.result("Staffing")(*flat[1:]))
    arguments = {"agents": _checks.int32("agents", agents),
                 "handling_time": _checks.real("handling_time", handling_time),
                 "answer_time": _checks.real("answer_time", answer_time),
                 "target": _checks.real("target", target)}
    traffic = ctypes.c_double()
    figures = _results.structure("moravel_staffing")()
    _api("moravel_traffic_for_service_level", "traffic_for_service_level", arguments,
         *arguments.values(), ctypes.byref(traffic), ctypes.byref(figures))
    return _results.result("StaffedTraffic")(traffic.value,
                                             _results.values("Staffing", figures))


__all__ = ["erlang_b_servers", "link_group_links", "link_subset_links", "erlang_b_traffic",
           "staffing", "agents_for_service_level", "traffic_for_service_level"]
