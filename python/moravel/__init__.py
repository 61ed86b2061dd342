"""Teletraffic calculations from libMoravel, for Python.

Erlang loss and delay, Engset, single-service loss and waiting systems,
multi-rate link groups and call-by-call simulations of the same systems.
Traffic is in erlangs (arrival rate times mean holding time), demands and
link capacities in allocation units, simulated time in mean holding times.

Scalar formulas return a float; models return named tuples, and models of
several classes a list of named tuples, one per class, in class order.  Every
number is the library's double at full precision (moravel/api.h).

Arrays: the scalar formulas and the single-service models (erlang_b,
erlang_c, engset, erlang_b_direct, erlang_b_ratio, loss, loss_finite,
loss_assembled, wait) also take sequences or numpy arrays for any argument,
broadcast together, and compute every point in one library call: a formula
then returns an array, a model a named tuple of arrays (numpy arrays when
numpy is installed, lists otherwise).

Solvers answer the dimensioning questions directly: erlang_b_servers,
engset_servers, loss_assembled_servers, link_group_links, link_subset_links
(the least size for a target loss), erlang_b_traffic, engset_traffic (the
most traffic), and staffing with agents_for_service_level,
agents_for_mean_wait, agents_for_wait_probability and
traffic_for_service_level (the most traffic the agents answer at a service
level) for call centres.  All but the two link solvers also take sequences
or arrays, element by element (one search per point), and give arrays back
like the formulas.  plan makes a day's staffing plan from rows of
intervals, as ``moravel plan`` does from a CSV file.
offered_traffic turns calls per interval of so many minutes, with a handling
time in seconds, into erlangs.

Contact centres: contact_centre (callers who hang up after an exponential
patience, and lines that fill), contact_centre_retrials (callers who redial,
the fixed-point approximation) and simulate_contact_centre (the call-by-call
replay); contact_centre_agents and contact_centre_traffic answer the staffing
questions for a goal; all but the replay take arrays like the solvers.  Their times are in the
unit of the handling time, and their arguments are judged by the library
alone: a refusal names the argument and carries the library's message.

The library is the one judge of the arguments: the binding checks only that
each is a number of the right kind (TypeError) and that a count fits in 32
bits (OverflowError).  What the library refuses raises ArgumentError (a
MoravelError and a ValueError) carrying the library's status and its
message, naming the argument as this package spells it ("servers must be
at least 1"); a failure that is not about the arguments (memory) raises
MoravelError.  The ctypes signatures, the records and the named tuples of
the results are made from the loaded library's description of its
interface (``description()``) when the library is first used.  The
exports of moravel.h, with their C names and arguments and their results as
text, are in ``moravel.raw``.

Functions that add nothing to the library's own description of an entry
point are not written here: every entry point the description shows in
Python under a name no module of this package defines (erlang_b_direct,
erlang_b_ratio, engset_servers, loss_assembled_servers, engset_traffic,
agents_for_mean_wait, agents_for_wait_probability, and any the library
describes later) is a function made from the description on first use,
with the described argument names, the array behaviour above and the
library's refusals; ``__all__`` lists them with the rest.  The functions
written here for their documentation (erlang_b, loss, wait, staffing,
simulate_loss, ...) call through the same made functions, so that a
sequence given to any of them is broadcast the same way (the simulations
too, one run per point).

The library is found through the environment variable MORAVEL_LIBRARY, next to
this package, in the prefix the package was installed into, or by the
loader's normal search; see ``library_path()``.  Every function may be called
from several threads at once, and runs in parallel with the others: only the
text-returning exports of ``moravel.raw`` are serialised by a lock.
"""

from __future__ import annotations

from . import _contact_centre, _described, _errors, _formulas, _library, _link_groups, _plan
from . import _results, _simulations, _single_service, _solvers, raw
from ._contact_centre import *  # noqa: F401,F403
from ._errors import *  # noqa: F401,F403
from ._formulas import *  # noqa: F401,F403
from ._library import description, exports, library_path, status_message  # noqa: F401
from ._link_groups import *  # noqa: F401,F403
from ._plan import *  # noqa: F401,F403
from ._simulations import *  # noqa: F401,F403
from ._single_service import *  # noqa: F401,F403
from ._solvers import *  # noqa: F401,F403

__version__ = "1.0.0"

# The functions this package writes by hand, each module's own public names.
_WRITTEN = [name for module in (_formulas, _single_service, _simulations, _link_groups,
                                _solvers, _contact_centre, _plan, _errors)
            for name in module.__all__]
_OWN = _WRITTEN + ["description", "exports", "library_path", "raw", "POLICIES", "GOALS",
                   "PATIENCE_DISTRIBUTIONS", *_results.SOURCES]


def _made_from_description() -> list:
    """The functions the loaded library describes that no module writes:
    none where the library cannot be loaded."""
    try:
        return _described.names(set(_OWN))
    except OSError:
        return []


def __getattr__(name: str):
    # Read from the loaded library's description on first use, so that
    # importing the package needs no library:
    #   __all__, the public names: this package's own and every function
    #   the description shows in Python that no module writes by hand;
    #   those functions, made from the description (see _described);
    #   the named tuples of the results (LossResult, Servers, ...);
    #   POLICIES, the link-choice policies of simulate_link_subset by their
    #   readable names and the library's keywords, each to its policy code;
    #   GOALS and PATIENCE_DISTRIBUTIONS, the codes of the staffing goals
    #   and of the replay's patience, by the names this package takes;
    #   DIRECT_FORM_MAX_SERVERS, the most servers of the direct form.
    if name == "__all__":
        return _OWN + _made_from_description()
    if name in _results.SOURCES:
        return _results.result(name)
    if name == "POLICIES":
        from ._simulations import policies
        return policies()
    if name == "GOALS":
        return _contact_centre.goals()
    if name == "PATIENCE_DISTRIBUTIONS":
        return _contact_centre.patience_distributions()
    if name == "DIRECT_FORM_MAX_SERVERS":
        return description()["limits"]["largest_direct_form_servers"]
    if not name.startswith("_") and name in _made_from_description():
        return _described.function(name)
    raise AttributeError(f"module {__name__!r} has no attribute {name!r}")


def __dir__() -> list:
    return sorted(set(globals()) | set(__getattr__("__all__")))
