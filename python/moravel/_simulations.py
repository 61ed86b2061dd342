"""Call-by-call simulations, the twins of the single-service models and of
the link-subset group."""

from __future__ import annotations

from typing import Dict, Sequence, Tuple

from . import _checks, _described
from ._library import description
from ._link_groups import class_arrays, per_class


def policies() -> Dict[str, int]:
    """The link-choice policies of the link-subset simulation, by their
    readable names and by the library's keywords, as the library describes
    them: name -> policy code."""
    described = description()["policies"]
    codes = {policy["readable"]: policy["code"] for policy in described}
    codes.update((policy["keyword"], policy["code"]) for policy in described)
    return codes


# ---- single-service simulations --------------------------------------------

def simulate_loss(traffic: float, servers: int, calls: int, seed: int = 0):
    """Simulates an Erlang loss system call by call (twin of ``loss``).

    traffic -- offered traffic A [erlang], above 0
    servers -- number of servers V, at least 1
    calls   -- number of calls N to replay, at least 1
    seed    -- 0 seeds from the clock (every run differs); any other value
               from 1 to 2**32 - 1 repeats the run exactly

    Returns LossResult(loss, carried), estimated over the N calls.
    """
    return _described.function("simulate_loss")(traffic, servers, calls, seed)


def simulate_wait(traffic: float, servers: int, calls: int, threshold: float,
                  seed: int = 0):
    """Simulates an Erlang delay system call by call (twin of ``wait``).

    traffic   -- offered traffic A [erlang], above 0 and below V
    servers   -- number of servers V, at least 1
    calls     -- number of calls N to replay, at least 1
    threshold -- waiting time t for wait_exceeds [mean holding times], not negative
    seed      -- 0 seeds from the clock; any other value repeats the run

    Returns WaitResult with holding time 1: the probability of waiting is
    measured, the other four numbers follow from it.
    """
    return _described.function("simulate_wait")(traffic, servers, calls, threshold, seed)


def simulate_link_subset(classes: Sequence[Tuple[float, float]], links: int, units: int,
                         subset: int, calls: int, policy: str,
                         seed: int = 0) -> list:
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
    traffic, demand = class_arrays(classes)
    links, units = _checks.int32("links", links), _checks.int32("units", units)
    subset = _checks.int32("subset", subset)
    calls = _checks.int32("calls", calls)
    if not isinstance(policy, str):
        raise TypeError(f"policy must be a str, got {type(policy).__name__}")
    codes = policies()
    if policy not in codes:
        raise ValueError(f"policy must be one of {', '.join(repr(p) for p in codes)}; "
                         f"got {policy!r}")
    code = codes[policy]
    seed = _checks.uint32("seed", seed)
    return per_class("moravel_simulate_link_subset", "simulate_link_subset",
                     {"classes": classes, "links": links, "units": units, "subset": subset,
                      "calls": calls, "policy": policy, "seed": seed},
                     traffic, demand, links, units, subset, calls, code, seed)


__all__ = ["simulate_loss", "simulate_wait", "simulate_link_subset"]
