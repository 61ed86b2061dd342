"""Calling the second interface, and its refusals in this package's words.

The library is the one judge of input: the binding hands it every number
that fits the C type, and a refusal raises with the library's message,
naming the refused arguments as Python spells them: those of the entry
point whose `refused_by` lists the status take the place of the library's
subject ("traffic_per_source must be at least 0 and below 1"), or, where
the library's text names no argument, come before it ("subset: the number
of subsets C(k, g) must be below 2^31"), as the tool and the page name
them.  All of it comes from the library's description of its interface.
"""

from __future__ import annotations

import ctypes
import threading

from ._errors import raise_status
from ._library import api_function, description, status_message

_refusals = {}
_lock = threading.Lock()


def refusal(export: str, status: int) -> str:
    """The library's message for `status` from `export`, naming the
    arguments it refuses as this package spells them."""
    key = (export, status)
    with _lock:
        if key in _refusals:
            return _refusals[key]
    described = description()
    found = next((s for s in described["statuses"] if s["code"] == status), None)
    entry = next((e for e in described["entry_points"] if e["c_name"] == export), None)
    text = status_message(status)
    if found is not None and entry is not None:
        listed = [argument for argument in entry["arguments"]
                  if argument["role"] == "input" and argument.get("python")
                  and found["name"] in argument["refused_by"]]
        names = []
        for argument in listed:
            if argument["python"] not in names:
                names.append(argument["python"])
        if names:
            named = ", ".join(names[:-1]) + " and " + names[-1] if len(names) > 1 else names[0]
            # The message says what the arguments must be, or, where the
            # library's text names none of them, what went wrong.
            text = named + (" " if found["subject"] else ": ") + found["message"]
    with _lock:
        _refusals[key] = text
    return text


def described(function: str, arguments: dict) -> str:
    return f"{function}(" + ", ".join(f"{k}={v!r}" for k, v in arguments.items()) + ")"


def call(export: str, function: str, arguments: dict, *values) -> None:
    """Calls `export`; a refusal raises with the library's message, naming
    the package's function and its arguments."""
    status = api_function(export)(*values)
    if status != 0:
        raise_status(status, refusal(export, status), described(function, arguments))


def double(export: str, function: str, arguments: dict, *values) -> float:
    result = ctypes.c_double()
    call(export, function, arguments, *values, ctypes.byref(result))
    return result.value


def record(name: str, export: str, function: str, arguments: dict, *values):
    """The named tuple `name` of the record `export` writes."""
    from . import _results
    result = _results.structure(_results.SOURCES[name][1])()
    call(export, function, arguments, *values, ctypes.byref(result))
    return _results.values(name, result)
