"""Functions made from the library's description of an entry point.

Every entry point the description shows in Python under a name that no
module of this package defines by hand is reached through a function made
here, on first use, from the loaded library's description of it:

- its parameters are the inputs as Python spells them (their C names
  where two share a spelling), in C order; an array's count is not one
  (it is the array's length);
- each argument is checked for its C type only (a whole number within 32
  bits, a real number, a sequence of them); the library judges the rest,
  and its refusal names the argument as Python spells it;
- numbers or sequences for the scalar arguments: sequences and arrays are
  broadcast together, through the entry point's array twin in one call
  where it has one, else one call per point;
- the result is a float or int, the named tuple of a described record, a
  list for an array, or, for several results, a named tuple of them.

A hand-written function stays where it adds something: a worked example in
its docstring, or a convenience (pairs of classes, a day's rows).
"""

from __future__ import annotations

import ctypes
import functools
import inspect
import operator
import threading
from typing import Dict, List, NamedTuple

from . import _arrays, _checks, _results
from ._calling import call as _api, described, refusal
from ._errors import raise_status
from ._library import api_function, description

_SCALAR_CHECKS = {"int32_t": _checks.int32, "uint32_t": _checks.uint32, "double": _checks.real,
                  "size_t": _checks.whole}
_SCALAR_TYPES = {"double": ctypes.c_double, "int32_t": ctypes.c_int32,
                 "uint32_t": ctypes.c_uint32, "size_t": ctypes.c_size_t}

_made: Dict[str, object] = {}
_lock = threading.RLock()


def _base(c_type: str) -> str:
    return c_type.replace("const ", "").rstrip("*").strip()


def _entry(name: str) -> dict:
    for entry in description()["entry_points"]:
        if entry["host_name"] == name and entry["returns"] == "moravel_status":
            return entry
    raise AttributeError(f"the library describes no entry point {name!r}")


def _camel(name: str) -> str:
    return "".join(part.capitalize() for part in name.split("_"))


def _results_tuple(entry: dict, shown: List[dict]):
    """The named tuple of several results: the package's own where one has
    the same fields (Servers for any least-servers search), else one named
    after the entry point."""
    fields = [(argument["name"], _base(argument["type"]), "length" in argument)
              for argument in shown]
    for name, (kind, source) in _results.SOURCES.items():
        if kind != "results":
            continue
        other = next(e for e in description()["entry_points"] if e["c_name"] == source)
        theirs = [(argument["name"], _base(argument["type"]), "length" in argument)
                  for argument in other["arguments"] if argument["role"] == "result"]
        if theirs == fields:
            return _results.result(name)
    made = NamedTuple(_camel(entry["host_name"]),
                      [(argument["name"], object) for argument in shown])
    made.__module__ = "moravel"
    made.__doc__ = (f"The results of {entry['c_name']}.\n\n" + "\n".join(
        f"{argument['name']} -- {argument.get('meaning', '')}" for argument in shown))
    return made


def _docstring(entry: dict, parameters: List[dict], shown: List[dict]) -> str:
    statuses = {status["name"]: status for status in description()["statuses"]}
    lines = [f"{entry['host_name']}({', '.join(p['python'] for p in parameters)}): "
             f"the library's {entry['c_name']}.", ""]
    for argument in parameters:
        unit = f" [{argument['unit']}]" if argument.get("unit") else ""
        said = "; ".join(statuses[name]["message"] for name in argument.get("refused_by", ())
                         if name in statuses)
        lines.append(f"{argument['python']}{unit}" + (f": {said}" if said else ""))
    lines.append("")
    for argument in shown:
        lines.append(f"Returns {argument['name']}: {argument.get('meaning', '')}")
    if entry.get("array_twin") or all("length" not in p for p in parameters):
        lines += ["", "Sequences or arrays for any argument are broadcast together and give "
                  "arrays (numpy arrays with numpy, lists without)."]
    return "\n".join(lines)


def _make(name: str):
    entry = _entry(name)
    arguments = entry["arguments"]
    counts = {argument["length"] for argument in arguments if "length" in argument}
    parameters = [argument for argument in arguments
                  if argument["role"] == "input" and argument["name"] not in counts]
    for argument in parameters:
        if not argument.get("python"):
            raise TypeError(f"{entry['c_name']}({argument['name']}): no Python spelling")
        if argument["type"].endswith("*") and "length" not in argument:
            raise TypeError(f"{entry['c_name']}({argument['name']}): a record input has "
                            "no generic Python form; write the function by hand")
    # A Python spelling two parameters share (the classes of a link group,
    # which the hand-written functions take as pairs) gives way to the C names.
    spelled = [p["python"] for p in parameters]
    parameters = [dict(p, python=p["name"]) if spelled.count(p["python"]) > 1 else p
                  for p in parameters]
    results = [argument for argument in arguments if argument["role"] == "result"]
    index_result = next((r for r in results if r["name"] == "refused_index"), None)
    shown = [r for r in results if r is not index_result]
    several = _results_tuple(entry, shown) if len(shown) > 1 else None
    records = {record["name"] for record in description()["records"]}
    tuple_of_record = {source: tuple_name for tuple_name, (kind, source)
                       in _results.SOURCES.items() if kind == "record"}
    broadcast = all("length" not in p for p in parameters)
    python_names = [p["python"] for p in parameters]
    fast = None

    # Without arrays, and with the results after the inputs as in every
    # such entry point, a call is planned once: each input's check, each
    # result's ctypes type and how it is read.
    inputs_first = [a["role"] for a in arguments] == (["input"] * len(parameters)
                                                      + ["result"] * len(results))
    if broadcast and inputs_first and not counts:
        checks = [_SCALAR_CHECKS[p["type"]] for p in parameters]
        makers, readers = [], []
        for argument in shown:
            base = _base(argument["type"])
            if base in records:
                makers.append(_results.structure(base))
                readers.append(functools.partial(_results.values, tuple_of_record[base]))
            else:
                makers.append(_SCALAR_TYPES[base])
                readers.append(operator.attrgetter("value"))
        c_function = api_function(entry["c_name"])

        def fast(*values):
            checked = [check(spelled, value)
                       for check, spelled, value in zip(checks, python_names, values)]
            buffers = [made() for made in makers]
            status = c_function(*checked, *[ctypes.byref(buffer) for buffer in buffers])
            if status != 0:
                raise_status(status, refusal(entry["c_name"], status),
                             described(name, dict(zip(python_names, checked))))
            if several:
                return several(*[read(buffer) for read, buffer in zip(readers, buffers)])
            return readers[0](buffers[0])

    def single(*values):
        given = {}
        for argument, value in zip(parameters, values):
            spelled = argument["python"]
            if "length" in argument:
                check = _SCALAR_CHECKS[_base(argument["type"])]
                given[argument["name"]] = [check(f"{spelled}[{i}]", v) for i, v in enumerate(value)]
            else:
                given[argument["name"]] = _SCALAR_CHECKS[argument["type"]](spelled, value)
        lengths = {}
        for argument in parameters:
            if "length" in argument:
                n = len(given[argument["name"]])
                if lengths.setdefault(argument["length"], n) != n:
                    raise ValueError(", ".join(p["python"] for p in parameters
                                               if p.get("length") == argument["length"])
                                     + " must have the same length")
        call, keep = [], {}
        for argument in arguments:
            base = _base(argument["type"])
            if argument["name"] in counts:
                n = lengths.get(argument["name"], 0)
                call.append(_checks.int32(argument["name"], n) if base == "int32_t" else n)
            elif argument["role"] == "input" and "length" in argument:
                items = given[argument["name"]]
                call.append((_SCALAR_TYPES[base] * max(len(items), 1))(*items))
            elif argument["role"] == "input":
                call.append(given[argument["name"]])
            else:
                made = (_results.structure(base) if base in records else _SCALAR_TYPES[base])
                if "length" in argument:
                    buffer = (made * max(lengths.get(argument["length"], 0), 1))()
                else:
                    buffer = made()
                keep[argument["name"]] = buffer
                call.append(ctypes.byref(buffer))
        _api(entry["c_name"], name, {p["python"]: given[p["name"]] for p in parameters}, *call)

        def value(argument):
            buffer, base = keep[argument["name"]], _base(argument["type"])
            items = (list(buffer[:lengths.get(argument["length"], 0)]) if "length" in argument
                     else [buffer])
            if base in records:
                items = [_results.values(tuple_of_record[base], item) for item in items]
            else:
                items = [item if "length" in argument else item.value for item in items]
            return items if "length" in argument else items[0]

        answers = [value(argument) for argument in shown]
        return several(*answers) if several else answers[0]

    def function(*args, **kwargs):
        values = _bind(name, python_names, args, kwargs)
        if broadcast and _arrays.any_array(*values):
            named = dict(zip(python_names, values))
            record = _base(shown[0]["type"]) if len(shown) == 1 else None
            twin = entry.get("array_twin")
            if twin:
                columns = _arrays.call(name, twin, named)
                if record in tuple_of_record:
                    return _results.result(tuple_of_record[record])(*columns)
                return columns[0]
            result = several or (_results.result(tuple_of_record[record])
                                 if record in tuple_of_record else None)
            return _arrays.elementwise(
                name, single, list(named.items()), result,
                counts=[p["python"] for p in parameters if p["type"] == "int32_t"])
        return (fast if fast else single)(*values)

    function.__name__ = function.__qualname__ = name
    function.__module__ = "moravel"
    function.__doc__ = _docstring(entry, parameters, shown)
    function.__signature__ = inspect.Signature(
        [inspect.Parameter(p, inspect.Parameter.POSITIONAL_OR_KEYWORD) for p in python_names])
    return function


def _bind(name: str, parameters: List[str], args: tuple, kwargs: dict) -> list:
    if len(args) > len(parameters):
        raise TypeError(f"{name}() takes {len(parameters)} arguments, got {len(args)}")
    values = dict(zip(parameters, args))
    for key, value in kwargs.items():
        if key not in parameters:
            raise TypeError(f"{name}() got an unexpected keyword argument {key!r}")
        if key in values:
            raise TypeError(f"{name}() got multiple values for argument {key!r}")
        values[key] = value
    missing = [p for p in parameters if p not in values]
    if missing:
        raise TypeError(f"{name}() missing arguments: {', '.join(missing)}")
    return [values[p] for p in parameters]


def function(name: str):
    """The function made from the description of the entry point whose host
    name is `name`."""
    with _lock:
        if name not in _made:
            _made[name] = _make(name)
        return _made[name]


def names(written: set) -> List[str]:
    """The names the description shows in Python (outside the study module)
    that no module of the package writes by hand."""
    shown = []
    for entry in description()["entry_points"]:
        for name in entry["hosts"]["python"].get("shows", ()):
            if "." not in name and name not in written and name not in shown:
                shown.append(name)
    return shown
