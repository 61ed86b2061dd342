"""The scalar formulas: Erlang loss and delay, and Engset.  Each takes
numbers, or sequences and arrays broadcast together for one library call;
the calling is the description's (see _described), the documentation this
module's.  The direct form of the loss formula and its ratio are made from
the description alone."""

from __future__ import annotations

from . import _described


# ---- scalar formulas -------------------------------------------------------

def erlang_b(servers, traffic):
    """Erlang loss formula B(V, A), by recursion.

    servers -- number of servers V, at least 1
    traffic -- offered traffic A [erlang], finite and not negative

    Returns the probability that a call offered to V servers by Poisson
    traffic of A erlangs finds them all busy and is lost.  Sequences or
    arrays of servers and traffics give an array of losses.
    """
    return _described.function("erlang_b")(servers, traffic)


def erlang_c(servers, traffic):
    """Erlang delay formula C(V, A).

    servers -- number of servers V, at least 1
    traffic -- offered traffic A [erlang], from 0 up to (not including) V:
               at A = V the queue no longer settles

    Returns the probability that a call must wait in a system of V servers
    with an unlimited queue.  Sequences or arrays give an array.
    """
    return _described.function("erlang_c")(servers, traffic)


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
    return _described.function("engset")(sources, servers, traffic_per_source)


__all__ = ["erlang_b", "erlang_c", "engset"]
