"""Single-service systems: the Erlang loss system, Engset's finite sources,
the assembled load, priority classes and the Erlang delay system."""

from __future__ import annotations

import ctypes
from typing import Sequence

from . import _checks, _described, _results
from ._calling import call as _api


# ---- single-service models -------------------------------------------------

def loss(servers, traffic):
    """Erlang loss system M/M/V/L: Poisson traffic on V servers, lost calls cleared.

    servers -- number of servers V, at least 1
    traffic -- offered traffic A [erlang], finite and not negative

    Returns LossResult(loss, carried): the loss probability and the carried
    traffic [erlang].  Sequences or arrays give a LossResult of arrays.
    """
    return _described.function("loss")(servers, traffic)


def loss_finite(sources, servers, traffic_per_source):
    """Engset loss system: N sources on V servers, lost calls cleared.

    sources            -- number of traffic sources N, at least 1
    servers            -- number of servers V, at least 1
    traffic_per_source -- offered traffic per source a [erlang], from 0 up to
                          (not including) 1

    Returns LossResult(loss, carried): the call congestion and the carried
    traffic [erlang].  Sequences or arrays give a LossResult of arrays.
    """
    return _described.function("loss_finite")(sources, servers, traffic_per_source)


def loss_assembled(x, y, z, servers, n):
    """Erlang loss system on the assembled load A = (n / (1/x + 1/y)) * (z/y + 1).

    x, y    -- two times in one unit, both above 0
    z       -- a time in the unit of y, not negative
    servers -- number of servers V, at least 1
    n       -- whole-number multiplier of the load, not negative

    Returns LossResult(loss, carried) for the load A.  Sequences or arrays
    give a LossResult of arrays.
    """
    return _described.function("loss_assembled")(x, y, z, servers, n)


def loss_priority(servers: int, traffics: Sequence[float]) -> list:
    """Loss system of V servers shared by classes of falling priority.

    servers  -- number of servers V, at least 1
    traffics -- offered traffic of each class [erlang], highest priority
                first; at least one class, each finite and not negative

    A call is never hindered by calls of lower classes.  Returns one
    LossResult(loss, carried) per class, in the order given; a class offering
    0 erlangs (after the first) reports (0, 0).
    """
    servers = _checks.int32("servers", servers)
    if isinstance(traffics, (str, bytes)):
        raise TypeError("traffics must be a sequence of numbers")
    values = [_checks.real(f"traffics[{i}]", value) for i, value in enumerate(traffics)]
    count = _checks.int32("number of classes", len(values))
    lost, carried = (ctypes.c_double * max(count, 1))(), (ctypes.c_double * max(count, 1))()
    _api("moravel_loss_priority", "loss_priority", {"servers": servers, "traffics": values},
         count, servers, _checks.doubles("traffics", values, count), lost, carried)
    result = _results.result("LossResult")
    return [result(lost[i], carried[i]) for i in range(count)]


def wait(servers, traffic, threshold, holding_time):
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
    return _described.function("wait")(servers=servers, traffic=traffic, threshold=threshold,
                                         holding_time=holding_time)


__all__ = ["loss", "loss_finite", "loss_assembled", "loss_priority", "wait"]
