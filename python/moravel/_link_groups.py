"""Multi-rate link groups: k links of f allocation units, each call on one
link (of its subset of g links)."""

from __future__ import annotations

import ctypes
from typing import List, Sequence, Tuple

from . import _checks, _results
from ._calling import call as _api


def class_arrays(classes) -> Tuple[List[float], List[float]]:
    """Splits (traffic, demand) pairs into the traffic and demand arrays;
    the library judges the values."""
    if isinstance(classes, (str, bytes)):
        raise TypeError("classes must be a sequence of (traffic, demand) pairs")
    traffic, demand = [], []
    for index, pair in enumerate(classes):
        try:
            a, t = pair
        except (TypeError, ValueError):
            raise TypeError(f"classes[{index}] must be a (traffic, demand) pair") from None
        traffic.append(_checks.real(f"classes[{index}] traffic", a))
        demand.append(_checks.real(f"classes[{index}] demand", t))
    _checks.int32("number of classes", len(traffic))
    return traffic, demand


def c_array(values: List[float]):
    """A C array of doubles, of one element at least (the library reads none
    of an empty one: it refuses zero classes)."""
    return (ctypes.c_double * max(len(values), 1))(*values)


def per_class(export: str, function: str, arguments: dict, traffic, demand, *rest) -> list:
    """One ClassResult per class of a link-group entry point."""
    count = len(traffic)
    blocking, carried = c_array([0.0] * count), c_array([0.0] * count)
    _api(export, function, arguments, c_array(traffic), count, c_array(demand), *rest,
         blocking, carried)
    result = _results.result("ClassResult")
    return [result(blocking[i], carried[i]) for i in range(count)]


def link_group(classes: Sequence[Tuple[float, float]], links: int,
               units: int) -> list:
    """Multi-rate loss model of k separate links of f allocation units each.

    classes -- (traffic [erlang], demand [units]) per class; a call of the
               class needs `demand` units, all on one link; demand a whole
               number, at least 1
    links   -- number of links k, at least 1
    units   -- capacity f of one link [allocation units], at least 1

    A call is admitted when some link has enough free units.  Returns one
    ClassResult(blocking, carried [units]) per class, in the order given.
    """
    traffic, demand = class_arrays(classes)
    links, units = _checks.int32("links", links), _checks.int32("units", units)
    return per_class("moravel_link_group", "link_group",
                     {"classes": classes, "links": links, "units": units},
                     traffic, demand, links, units)


def link_subset(classes: Sequence[Tuple[float, float]], links: int, units: int,
                subset: int) -> list:
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
    traffic, demand = class_arrays(classes)
    links, units = _checks.int32("links", links), _checks.int32("units", units)
    subset = _checks.int32("subset", subset)
    return per_class("moravel_link_subset", "link_subset",
                     {"classes": classes, "links": links, "units": units, "subset": subset},
                     traffic, demand, links, units, subset)


__all__ = ["link_group", "link_subset"]
