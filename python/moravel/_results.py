"""The records of the second interface and the named tuples Python returns,
both made from the loaded library's description of its interface.

A record's ctypes Structure has the described fields, in the described
order and of the described types, and is checked against the described
offsets and size.  The named tuples take their fields from a record (each
field as Python spells it, its C name unless the description gives a
`python` spelling) or from an entry point's results; only the class names
are this package's own.  They are made on first use, when the library is
loaded: importing the package needs no library.
"""

from __future__ import annotations

import ctypes
import operator
import threading
from typing import NamedTuple

from ._library import description

_SCALARS = {"double": (ctypes.c_double, float), "int32_t": (ctypes.c_int32, int),
            "uint32_t": (ctypes.c_uint32, int), "int64_t": (ctypes.c_int64, int)}

# The named tuples of the package: where each takes its fields from.
SOURCES = {
    "LossResult": ("record", "moravel_loss_result"),
    "WaitResult": ("record", "moravel_wait_result"),
    "Staffing": ("record", "moravel_staffing"),
    "ContactCentre": ("record", "moravel_contact_centre_result"),
    "Retrials": ("record", "moravel_retrial_result"),
    "SimulatedCentre": ("record", "moravel_contact_centre_estimate"),
    "ClassResult": ("results", "moravel_link_group"),
    "Servers": ("results", "moravel_erlang_b_servers"),
    "Links": ("results", "moravel_link_group_links"),
    "CentreAgents": ("results", "moravel_contact_centre_agents"),
    "CentreTraffic": ("results", "moravel_contact_centre_traffic"),
    "StaffedTraffic": ("results", "moravel_traffic_for_service_level"),
    # A record with its nested records' fields in their place, after the
    # package's own leading fields (a day's row as it was given).
    "PlannedInterval": ("flat", "moravel_day_plan_interval"),
    "PlanTotals": ("flat", "moravel_day_plan_totals"),
}

# The leading fields of a flat tuple, before the record's: (name, type, meaning).
LEADING = {
    "PlannedInterval": [("label", str, "the row's label"),
                        ("calls", float, "calls offered in the interval, as given"),
                        ("handling_time", float, "mean handling time [s], as given"),
                        ("patience", float, "mean patience [s], inf where none was given")],
}

# Each record's named tuple, by C name, for the nested records.
_TUPLE_OF_RECORD = {source: name for name, (kind, source) in SOURCES.items()
                    if kind == "record"}

_made = {}
_lock = threading.RLock()


def _records() -> dict:
    return {record["name"]: record for record in description()["records"]}


def structure(record: str):
    """The ctypes Structure of the described record `record` (C name)."""
    key = ("structure", record)
    with _lock:
        if key not in _made:
            described = _records()[record]
            fields = []
            for field in described["fields"]:
                scalar = _SCALARS.get(field["type"])
                fields.append((field["name"],
                               scalar[0] if scalar else structure(field["type"])))
            made = type(record, (ctypes.Structure,), {"_fields_": fields})
            for field in described["fields"]:
                if getattr(made, field["name"]).offset != field["offset"]:
                    raise OSError(f"{record}.{field['name']}: the described offset "
                                  f"{field['offset']} is not the C layout's")
            if ctypes.sizeof(made) != described["size"]:
                raise OSError(f"{record}: the described size {described['size']} is not the "
                              "C layout's")
            _made[key] = made
        return _made[key]


def _field_type(c_type: str):
    base = c_type.rstrip("*").replace("const ", "").strip()
    if base in _SCALARS:
        return _SCALARS[base][1]
    return result(_TUPLE_OF_RECORD[base])


def _meaning(item: dict) -> str:
    unit, meaning = item.get("unit"), item.get("meaning", "")
    return meaning + (f" [{unit}]" if unit and f"[{unit}]" not in meaning else "")


def _flat_fields(record: str) -> list:
    fields = []
    for field in _records()[record]["fields"]:
        if field["type"] in _records():
            fields += _flat_fields(field["type"])
        else:
            fields.append((field.get("python", field["name"]), _field_type(field["type"]),
                           _meaning(field)))
    return fields


def flat(record) -> list:
    """The values of a filled ctypes record, its nested records' in their place."""
    values = []
    for name, kind in record._fields_:
        value = getattr(record, name)
        values += flat(value) if isinstance(value, ctypes.Structure) else [value]
    return values


def _fields(kind: str, source: str, name: str = "") -> list:
    """(Python name, annotation, meaning) of each field."""
    if kind == "flat":
        return LEADING.get(name, []) + _flat_fields(source)
    if kind == "record":
        return [(field.get("python", field["name"]), _field_type(field["type"]), _meaning(field))
                for field in _records()[source]["fields"]]
    entry = next(e for e in description()["entry_points"] if e["c_name"] == source)
    return [(argument["name"], _field_type(argument["type"]), _meaning(argument))
            for argument in entry["arguments"] if argument["role"] == "result"]


def result(name: str):
    """The named tuple `name` of SOURCES."""
    key = ("tuple", name)
    with _lock:
        if key not in _made:
            kind, source = SOURCES[name]
            fields = _fields(kind, source, name)
            made = NamedTuple(name, [(field, annotation) for field, annotation, _ in fields])
            width = max(len(field) for field, _, _ in fields)
            made.__doc__ = (f"{name}, the fields of {source} as the library describes them.\n\n"
                            + "\n".join(f"{field.ljust(width)} -- {meaning}"
                                        for field, _, meaning in fields))
            made.__module__ = "moravel"
            _made[key] = made
        return _made[key]


def _reader(name: str):
    """Reads the named tuple `name` from a filled ctypes record, nested
    records too: the fields and their tuples looked up once."""
    key = ("reader", name)
    with _lock:
        if key not in _made:
            made = result(name)
            kind, source = SOURCES[name]
            assert kind == "record"
            fields = [(field["name"], _TUPLE_OF_RECORD.get(field["type"]))
                      for field in _records()[source]["fields"]]
            if len(fields) > 1 and not any(nested for _, nested in fields):
                getter = operator.attrgetter(*[field for field, _ in fields])
                _made[key] = lambda record: made(*getter(record))
            else:
                _made[key] = lambda record: made(*[
                    values(nested, getattr(record, field)) if nested else getattr(record, field)
                    for field, nested in fields])
        return _made[key]


def values(name: str, record) -> tuple:
    """The named tuple `name` of a filled ctypes record, nested records too."""
    reader = _made.get(("reader", name))
    return (reader or _reader(name))(record)


def __getattr__(name: str):
    if name in SOURCES:
        return result(name)
    raise AttributeError(f"module {__name__!r} has no attribute {name!r}")
