"""Calling the second interface, and its refusals in this package's words.

The library is the one judge of input: the binding hands it every number
that fits the C type, and a refusal raises with the library's message.  The
message names the refused argument as Python spells it, in place of the
library's subject: the arguments of the entry point whose `refused_by`
lists the status, in Python's spelling ("traffic_per_source must be at least
0 and below 1"), or, where the library's text names no argument, the
argument followed by the text ("subset: the number of subsets C(k, g) must
be below 2^31").  Both come from the library's description of its interface.
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
        names = []
        for argument in entry["arguments"]:
            name = argument.get("python")
            if (argument["role"] == "input" and name and found["name"] in argument["refused_by"]
                    and name not in names):
                names.append(name)
        if names:
            joiner = " " if found["subject"] else ": "
            text = " and ".join(names) + joiner + found["message"]
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
