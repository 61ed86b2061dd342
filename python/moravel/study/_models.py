"""The models a study can run: what each one is (analytic or simulated,
seeded or not, which size dimension() searches, its analytic twin), and the
checks of model names and arguments made before any work is sent."""

from __future__ import annotations

import inspect
from collections.abc import Iterable
from typing import NamedTuple, Optional, Sequence

import moravel


def limit(name: str) -> int:
    """A limit of the library, as its description gives it."""
    return moravel.description()["limits"][name]


class _Model(NamedTuple):
    simulation: bool
    seeded: bool           # takes a seed that repeats the run
    size: Optional[str]    # the argument dimension() searches, if any
    twin: Optional[str]    # the analytic twin of a simulation
    maximum: object        # default upper bound of dimension()'s search, or
                           # the name of the described limit that is


_MODELS = {
    "erlang_b": _Model(False, False, "servers", None, 10**6),
    "erlang_c": _Model(False, False, "servers", None, 10**6),
    "engset": _Model(False, False, "servers", None, 10**6),
    "erlang_b_direct": _Model(False, False, "servers", None, "largest_direct_form_servers"),
    "erlang_b_ratio": _Model(False, False, None, None, 0),
    "loss": _Model(False, False, "servers", None, 10**6),
    "loss_finite": _Model(False, False, "servers", None, 10**6),
    "loss_assembled": _Model(False, False, "servers", None, 10**6),
    "loss_priority": _Model(False, False, "servers", None, 10**6),
    "wait": _Model(False, False, "servers", None, 10**6),
    "link_group": _Model(False, False, "links", None, 4096),
    "link_subset": _Model(False, False, "links", None, 4096),
    "simulate_loss": _Model(True, True, None, "loss", 0),
    "simulate_wait": _Model(True, True, None, "wait", 0),
    "simulate_link_subset": _Model(True, True, None, "link_subset", 0),
    # The solvers and the staffing figures: swept like the models (as
    # `moravel sweep servers|traffic|agents` sweeps them), never dimensioned.
    "erlang_b_servers": _Model(False, False, None, None, 0),
    "engset_servers": _Model(False, False, None, None, 0),
    "loss_assembled_servers": _Model(False, False, None, None, 0),
    "link_group_links": _Model(False, False, None, None, 0),
    "link_subset_links": _Model(False, False, None, None, 0),
    "erlang_b_traffic": _Model(False, False, None, None, 0),
    "engset_traffic": _Model(False, False, None, None, 0),
    "staffing": _Model(False, False, None, None, 0),
    "agents_for_service_level": _Model(False, False, None, None, 0),
    "agents_for_mean_wait": _Model(False, False, None, None, 0),
    "agents_for_wait_probability": _Model(False, False, None, None, 0),
}


def _model(model, argument: str) -> str:
    if isinstance(model, str):
        name = model
    elif callable(model):
        name = getattr(model, "__name__", "")
        if getattr(moravel, name, None) is not model:
            name = ""
    else:
        raise TypeError(f"{argument} must be a moravel function or its name, "
                        f"got {type(model).__name__}")
    if name not in _MODELS:
        raise ValueError(f"{argument} must be one of moravel's models ({', '.join(_MODELS)}); "
                         f"got {model!r}")
    return name


def _parameters(name: str):
    return inspect.signature(getattr(moravel, name)).parameters


def _check_known(name: str, where: str, given: Iterable[str]) -> None:
    """Every given name is an argument of the model."""
    parameters = _parameters(name)
    for argument in given:
        if argument not in parameters:
            raise ValueError(f"{where}: {name} has no argument {argument!r}; "
                             f"its arguments are {', '.join(parameters)}")


def _check_names(name: str, where: str, given: Iterable[str], exclude: Sequence[str] = ()) -> None:
    """Unknown names, and required arguments left out (apart from `exclude`)."""
    given = list(given)
    _check_known(name, where, given)
    for argument, parameter in _parameters(name).items():
        if parameter.default is inspect.Parameter.empty and argument not in given \
                and argument not in exclude:
            raise ValueError(f"{where}: {name} needs the argument {argument!r}")
