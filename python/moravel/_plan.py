"""A day's staffing plan (moravel_day_plan of moravel/api.h)."""

from __future__ import annotations

import ctypes
import math
from typing import Any, NamedTuple, Optional

from . import _results
from ._calling import refusal
from ._errors import raise_status
from ._library import api_function, codes



class DayPlan(NamedTuple):
    """A day's plan: a PlannedInterval per row, and the day's PlanTotals
    (both named tuples of the library's records, nested figures in place:
    moravel_day_plan_interval after the row as given, and
    moravel_day_plan_totals, whose figures are weighted as moravel/api.h
    states: shares by calls, the ASA by answered calls, occupancy as
    carried traffic over agents needed)."""

    intervals: list
    totals: tuple


def _real(name: str, value: Any) -> float:
    if isinstance(value, (str, bytes)) or isinstance(value, bool):
        raise TypeError(f"{name} must be a number, got {value!r}")
    try:
        return float(value)
    except (TypeError, ValueError):
        raise TypeError(f"{name} must be a number, got {value!r}") from None


def _target(name: str, value: Optional[Any]) -> float:
    """None: no such target (0 to the library).  A target given as 0 goes to
    the library as NaN, which it refuses like any value outside its range."""
    if value is None:
        return 0.0
    value = _real(name, value)
    return math.nan if value == 0.0 else value


_COLUMNS = ("label", "calls", "handling_time", "patience")


def _columns(rows) -> tuple:
    """The rows as (labels, calls, handling times, patiences)."""
    names = getattr(getattr(rows, "dtype", None), "names", None)
    if names is not None:  # a numpy structured array: its fields by name
        missing = [c for c in _COLUMNS[:3] if c not in names]
        if missing:
            raise ValueError(f"rows have no field {missing[0]!r}")
        patience = (rows["patience"].astype(float).tolist() if "patience" in names
                    else [math.inf] * len(rows))
        return ([str(x) for x in rows["label"].tolist()], rows["calls"].astype(float).tolist(),
                rows["handling_time"].astype(float).tolist(), patience)
    if isinstance(rows, (str, bytes)):
        raise TypeError("rows must be a sequence of records, not a string")
    labels, calls, handling, patience = [], [], [], []
    for index, row in enumerate(rows):
        where = f"rows[{index}]"
        if isinstance(row, dict):
            unknown = set(row) - set(_COLUMNS)
            if unknown:
                raise ValueError(f"{where} has the unknown key {sorted(unknown)[0]!r}: "
                                 "the keys are label, calls, handling_time, patience")
            try:
                values = [row["label"], row["calls"], row["handling_time"]]
            except KeyError as e:
                raise ValueError(f"{where} has no {e.args[0]!r}") from None
            values.append(row.get("patience"))
        else:
            try:
                values = list(row)
            except TypeError:
                raise TypeError(f"{where} must be a dict or a (label, calls, handling_time"
                                "[, patience]) sequence") from None
            if len(values) not in (3, 4):
                raise ValueError(f"{where} has {len(values)} fields, not 3 or 4 (label, calls, "
                                 "handling_time[, patience])")
            values += [None] * (4 - len(values))
        labels.append(str(values[0]))
        calls.append(_real(f"{where} calls", values[1]))
        handling.append(_real(f"{where} handling_time", values[2]))
        patience.append(math.inf if values[3] is None else _real(f"{where} patience", values[3]))
    return labels, calls, handling, patience


def plan(rows, *, answer_time, service_level=None, service_level_basis: str = "offered",
         mean_answer_wait=None, abandonment=None, wait_probability=None, occupancy=None,
         shrinkage=0.0, interval_minutes=30.0) -> DayPlan:
    """A day's staffing plan, as ``moravel plan`` makes it from a CSV file.

    rows -- the intervals in order: dicts with the keys label, calls,
            handling_time and optionally patience, or (label, calls,
            handling_time[, patience]) sequences, or a numpy structured
            array with those fields.  Times in seconds; no patience (None, a
            missing key) or inf: callers who never hang up.
    answer_time -- t of the service level, in seconds
    service_level, mean_answer_wait (seconds), abandonment, wait_probability
            -- the goals, None for none; at least one is needed
    occupancy -- a highest occupancy, None for none.  An interval's agents
            are the least meeting every target given.
    service_level_basis -- "offered" (all offered calls) or
            "excluding-short-abandons" (less those hanging up within t)
    shrinkage -- share of scheduled time off the phones, in [0, 1)
    interval_minutes -- length of each interval

    Returns DayPlan(intervals, totals): a PlannedInterval per row and the
    day's PlanTotals, the library's doubles bit for bit.  A refused row
    raises ArgumentError whose ``index`` is the row's position.
    """
    bases = codes("service_level_basis")
    if service_level_basis not in bases:
        raise ValueError("service_level_basis must be 'offered' or 'excluding-short-abandons', "
                         f"got {service_level_basis!r}")
    labels, calls, handling, patience = _columns(rows)
    count = len(labels)
    targets = _results.structure("moravel_day_plan_targets")(
        answer_time=_real("answer_time", answer_time),
        service_level=_target("service_level", service_level),
        service_level_basis=bases[service_level_basis],
        mean_answer_wait=_target("mean_answer_wait", mean_answer_wait),
        abandonment=_target("abandonment", abandonment),
        wait_probability=_target("wait_probability", wait_probability),
        occupancy=_target("occupancy", occupancy))
    arrays = [(ctypes.c_double * count)(*values) for values in (calls, handling, patience)]
    intervals = (_results.structure("moravel_day_plan_interval") * max(count, 1))()
    totals = _results.structure("moravel_day_plan_totals")()
    refused = ctypes.c_size_t(count)
    arguments = (count, *arrays, ctypes.byref(targets),
                 ctypes.c_double(_real("interval_minutes", interval_minutes)),
                 ctypes.c_double(_real("shrinkage", shrinkage)), intervals,
                 ctypes.byref(totals), ctypes.byref(refused))
    status = api_function("moravel_day_plan")(*arguments)
    if status != 0:
        message = refusal("moravel_day_plan", status)
        if refused.value < count:
            raise_status(status, message, f"plan(rows[{refused.value}])", refused.value)
        raise_status(status, message, "plan")
    interval = _results.result("PlannedInterval")
    planned = [interval(labels[i], calls[i], handling[i], patience[i], *_results.flat(intervals[i]))
               for i in range(count)]
    day = _results.result("PlanTotals")(*_results.flat(totals))
    return DayPlan(planned, day)


__all__ = ["plan", "DayPlan"]
