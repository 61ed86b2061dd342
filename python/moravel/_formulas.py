"""The scalar formulas: Erlang loss and delay, Engset, and the direct form
of the loss formula with its ratio.  Each takes numbers, or sequences and
arrays broadcast together for one library call."""

from __future__ import annotations

from . import _arrays, _checks
from ._calling import double as _double


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
                            {"servers": servers, "traffic": traffic})[0]
    servers = _checks.int32("servers", servers)
    traffic = _checks.real("traffic", traffic)
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
                            {"servers": servers, "traffic": traffic})[0]
    servers = _checks.int32("servers", servers)
    traffic = _checks.real("traffic", traffic)
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
                            {"sources": sources, "servers": servers,
                             "traffic_per_source": traffic_per_source})[0]
    sources = _checks.int32("sources", sources)
    servers = _checks.int32("servers", servers)
    a = _checks.real("traffic_per_source", traffic_per_source)
    return _double("moravel_engset", "engset",
                   {"sources": sources, "servers": servers, "traffic_per_source": a},
                   sources, servers, a)


__all__ = ["erlang_b", "erlang_c", "engset"]
