"""Many points in one call: the array entry points of moravel/api.h.

A function of the binding takes the array path when any of its arguments is
a sequence or an array rather than a number.  The arguments are broadcast
against each other (numpy's rules when numpy is installed; without numpy
every sequence must have the same length and numbers are repeated), packed
into C arrays of int32 counts and doubles, and handed to the library in one
call.  Results come back as numpy arrays of the broadcast shape, or as lists
without numpy.

The library takes the points in order and stops at the first it refuses;
the error names that point's position and values.
"""

from __future__ import annotations

import ctypes
import numbers
from typing import List, Sequence, Tuple

from . import _checks
from ._errors import MoravelError, raise_status
from ._calling import refusal
from ._library import api_function, description

try:
    import numpy
except ImportError:  # the binding works without numpy; arrays come back as lists
    numpy = None


def is_array(value) -> bool:
    """Whether a value asks for the array path: anything but a plain number
    (a numpy scalar or 0-d array counts as a number)."""
    if isinstance(value, numbers.Number):
        return False
    if numpy is not None and isinstance(value, numpy.ndarray):
        return value.ndim > 0
    return not isinstance(value, (str, bytes))


def any_array(*values) -> bool:
    return any(is_array(value) for value in values)


def _item(value):
    """A plain Python number for a message (numpy scalars print their type)."""
    return value.item() if hasattr(value, "item") else value


def _numpy_column(name: str, kind: str, value, shape):
    array = numpy.asarray(value)
    if kind == "d":
        if array.dtype.kind not in "fiu":
            raise TypeError(f"{name} must hold real numbers, got an array of {array.dtype}")
        column = array.astype(numpy.float64)
    else:
        if array.dtype.kind == "f":
            if not numpy.all(numpy.isfinite(array)) or numpy.any(array != numpy.floor(array)):
                raise TypeError(f"{name} must hold whole numbers")
        elif array.dtype.kind not in "iu":
            raise TypeError(f"{name} must hold whole numbers, got an array of {array.dtype}")
        if array.size and (array.min() < _checks.INT32_MIN or array.max() > _checks.INT32_MAX):
            raise OverflowError(f"{name} holds a value that does not fit in a 32-bit signed "
                                "count")
        column = array.astype(numpy.int32)
    return numpy.ascontiguousarray(numpy.broadcast_to(column, shape)).ravel()


def _list_column(name: str, kind: str, value, count: int):
    ctype = ctypes.c_double if kind == "d" else ctypes.c_int32
    convert = _checks.real if kind == "d" else _checks.int32
    if is_array(value):
        values = [convert(f"{name}[{i}]", item) for i, item in enumerate(value)]
    else:
        values = [convert(name, value)] * count
    return (ctype * max(count, 1))(*values)


class Points:
    """The broadcast arguments of an array call, ready for the library."""

    def __init__(self, arguments: Sequence[Tuple[str, str, object]]) -> None:
        self.names = [name for name, _, _ in arguments]
        if numpy is not None:
            try:
                self.shape = numpy.broadcast_shapes(
                    *[numpy.shape(value) for _, _, value in arguments])
            except ValueError:
                shapes = ", ".join(f"{name} {numpy.shape(value)}" for name, _, value in arguments)
                raise ValueError(f"the arguments do not broadcast together: {shapes}") from None
            self.count = int(numpy.prod(self.shape, dtype=numpy.int64))
            self.columns = [_numpy_column(name, kind, value, self.shape)
                            for name, kind, value in arguments]
            self.pointers = [column.ctypes.data for column in self.columns]
        else:
            for name, _, value in arguments:
                if is_array(value) and not hasattr(value, "__len__"):
                    raise TypeError(f"{name} must be a number or a sequence of numbers")
            lengths = {len(value) for _, _, value in arguments if is_array(value)}
            if len(lengths) > 1:
                given = ", ".join(f"{name} {len(value)}" for name, _, value in arguments
                                  if is_array(value))
                raise ValueError(f"the sequences differ in length: {given}")
            self.count = lengths.pop()
            self.shape = (self.count,)
            self.columns = [_list_column(name, kind, value, self.count)
                            for name, kind, value in arguments]
            self.pointers = [ctypes.addressof(column) for column in self.columns]

    def point(self, index: int) -> str:
        values = ", ".join(f"{name}={_item(column[index])!r}"
                           for name, column in zip(self.names, self.columns))
        return f"point {index} ({values})"

    def results(self, width: int):
        """A result buffer of `width` doubles per point, and its address."""
        if numpy is not None:
            buffer = numpy.empty((self.count, width), dtype=numpy.float64)
            return buffer, buffer.ctypes.data
        buffer = (ctypes.c_double * max(self.count * width, 1))()
        return buffer, ctypes.addressof(buffer)

    def column(self, buffer, width: int, field: int):
        """Field `field` of every point, shaped like the arguments."""
        if numpy is not None:
            return numpy.ascontiguousarray(buffer[:, field]).reshape(self.shape)
        return list(buffer[field:self.count * width:width])


def _layout(export: str):
    """The inputs of an array entry point as (Python name, kind) in C order,
    "i" for int32 counts and "d" for doubles, and the doubles it writes per
    point: both read from the library's description."""
    described = description()
    entry = next(e for e in described["entry_points"] if e["c_name"] == export)
    inputs = [(argument["python"], "i" if "int32_t" in argument["type"] else "d")
              for argument in entry["arguments"]
              if argument["role"] == "input" and argument.get("python")]
    written = [argument for argument in entry["arguments"]
               if argument["role"] == "result" and argument["type"] != "size_t*"]
    record = written[0].get("record")
    width = 1 if record is None else len(
        next(r for r in described["records"] if r["name"] == record)["fields"])
    return inputs, width


def call(function: str, export: str, values: dict) -> List:
    """Runs an array entry point on the arguments by Python name; returns
    one array per result field."""
    inputs, width = _layout(export)
    points = Points([(name, kind, values[name]) for name, kind in inputs])
    buffer, address = points.results(width)
    unset = ctypes.c_size_t(-1).value
    refused = ctypes.c_size_t(unset)
    status = api_function(export)(points.count, *points.pointers, address,
                                  ctypes.byref(refused))
    if status != 0:
        index = None if refused.value == unset else refused.value
        where = function if index is None else f"{function} at {points.point(index)}"
        raise_status(status, refusal(export, status), where, index)
    return [points.column(buffer, width, field) for field in range(width)]


def elementwise(function: str, scalar, arguments: Sequence[Tuple[str, object]], result=None,
                counts: Sequence[str] = ()):
    """Runs `scalar` at every point of the broadcast `arguments`, for the
    functions that have no array entry point (the solvers, one search per
    point).  A named tuple (`result`) comes back as the same named tuple of
    arrays, a number as an array, shaped like the arguments (numpy arrays
    with numpy, lists without).  The first refused point raises, naming its
    position.  The `counts` among the arguments may be arrays of whole-valued
    floats, as in the array calls."""
    names = [name for name, _ in arguments]
    if numpy is not None:
        def column(name, value):
            array = numpy.asarray(value)
            if name in counts and array.dtype.kind == "f":
                if not numpy.all(numpy.isfinite(array)) or numpy.any(array != numpy.floor(array)):
                    raise TypeError(f"{name} must hold whole numbers")
                array = array.astype(numpy.int64)
            return array
        try:
            columns = numpy.broadcast_arrays(*[column(name, value) for name, value in arguments])
        except ValueError:
            shapes = ", ".join(f"{name} {numpy.shape(value)}" for name, value in arguments)
            raise ValueError(f"the arguments do not broadcast together: {shapes}") from None
        shape = columns[0].shape
        flat = [column.ravel() for column in columns]
        count = flat[0].size
        points = ([_item(column[i]) for column in flat] for i in range(count))
    else:
        for name, value in arguments:
            if is_array(value) and not hasattr(value, "__len__"):
                raise TypeError(f"{name} must be a number or a sequence of numbers")
        lengths = {len(value) for _, value in arguments if is_array(value)}
        if len(lengths) > 1:
            given = ", ".join(f"{name} {len(value)}" for name, value in arguments
                              if is_array(value))
            raise ValueError(f"the sequences differ in length: {given}")
        count = lengths.pop()
        shape = (count,)
        lists = [list(value) if is_array(value) else [value] * count for _, value in arguments]
        points = ([column[i] for column in lists] for i in range(count))
    answers = []
    for index, values in enumerate(points):
        try:
            answers.append(scalar(*values))
        except MoravelError as error:
            where = ", ".join(f"{n}={v!r}" for n, v in zip(names, values))
            raise type(error)(f"{function} at point {index} ({where}): {error.message}",
                              error.status, error.message, index) from None
        except (ValueError, OverflowError, TypeError) as error:
            where = ", ".join(f"{n}={v!r}" for n, v in zip(names, values))
            raise type(error)(f"{function} at point {index} ({where}): {error}") from None

    def shaped(values: list):
        if numpy is not None:
            return numpy.array(values).reshape(shape)
        return values

    if result is not None:
        return result(*[shaped([answer[f] for answer in answers])
                        for f in range(len(result._fields))])
    return shaped(answers)
