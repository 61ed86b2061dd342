"""study.dimension: the least size that meets a target, route by route."""

from __future__ import annotations

from typing import List, Optional, Union

from .. import _checks
from . import _models
from ._arguments import _chunk_size, _executor, _one_or_many, _text, _workers
from ._executing import _execute
from ._models import _MODELS, _check_names, _model
from ._results import Dimensioning


def dimension(model, target: float, routes, executor=None, *,
              maximum: Optional[int] = None, chunk_size: Optional[int] = None,
              workers: Optional[int] = None
              ) -> Union[Dimensioning, List[Dimensioning]]:
    """The least number of servers (links for link_group and link_subset)
    whose blocking is at most `target`, for one route or many.

    model   -- an analytic model with a size: erlang_b, erlang_c, engset,
               erlang_b_direct, loss, loss_finite, loss_assembled,
               loss_priority (every class), wait (probability of waiting),
               link_group, link_subset (every class)
    target  -- the blocking to meet, above 0 and below 1
    routes  -- the model's other arguments, one dict (gives one
               Dimensioning) or a list of them (gives a list, in order)
    maximum -- the largest size tried (default 10**6 servers, 4096 links,
               the direct form's largest server count for erlang_b_direct,
               as the library's description gives it); a route that needs
               more fails
    chunk_size, workers -- as for ``sweep``

    Every model is answered by the library's solver (erlang_b_servers,
    engset_servers, loss_assembled_servers, agents_for_wait_probability,
    link_group_links, link_subset_links, moravel_erlang_b_direct_servers,
    moravel_loss_priority_servers: every class), exact on the model's
    values; an answer above `maximum` fails the route.  Routes are the
    tasks sent to the executor.
    """
    name = _model(model, "model")
    entry = _MODELS[name]
    if entry.size is None:
        hint = f"; dimension its analytic twin {entry.twin}" if entry.twin else ""
        raise ValueError(f"model: dimension needs an analytic model with a number of servers "
                         f"or links, not {name}{hint}")
    target = _checks.real("target", target)
    if not 0.0 < target < 1.0:
        raise ValueError(f"target must be above 0 and below 1, got {target!r}")
    found, one = _one_or_many(routes, "routes")
    for index, route in enumerate(found):
        where = "routes" if one else f"routes[{index}]"
        if entry.size in route:
            raise ValueError(f"{where} gives {entry.size!r}, the size that dimension searches for")
        _check_names(name, where, route, exclude=(entry.size,))
    largest = entry.maximum if isinstance(entry.maximum, int) else _models.limit(entry.maximum)
    if maximum is None:
        maximum = largest
    else:
        maximum = _checks.whole("maximum", maximum)
        servers = _models.limit("largest_servers")
        if not 1 <= maximum <= servers:
            raise ValueError(f"maximum must be from 1 to {servers}, got {maximum}")
        if name == "erlang_b_direct" and maximum > largest:
            raise ValueError(f"maximum must be at most {largest} for erlang_b_direct, "
                             f"got {maximum}")
    chunk_size = _chunk_size(chunk_size)
    workers = _workers(workers)
    executor = _executor(executor)

    items = [("search", name, {"size": entry.size, "target": target, "maximum": maximum,
                               "route": route}) for route in found]

    def describe(i: int) -> tuple:
        where = "route" if one else f"route {i}"
        return (i, found[i], f"dimension of {name} for {where} {_text(found[i])}")

    results = _execute(items, describe, executor, chunk_size, workers)
    return results[0] if one else results
