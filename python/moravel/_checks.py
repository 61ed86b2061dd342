"""Argument checks shared by the raw and the high-level functions.

The library judges the values; these checks only keep a call safe and
exact: a value must be a number of the right kind (TypeError), and counts
are 32-bit signed in the C interface and seeds 32-bit unsigned, so that a
value that does not fit raises OverflowError instead of being wrapped
silently by ctypes.  Every check names the argument.
"""

from __future__ import annotations

import ctypes
import numbers

INT32_MIN = -(2**31)
INT32_MAX = 2**31 - 1
UINT32_MAX = 2**32 - 1


def whole(name: str, value) -> int:
    """A Python integer (bool refused), not yet range-checked."""
    if isinstance(value, bool) or not isinstance(value, numbers.Integral):
        raise TypeError(f"{name} must be a whole number, got {type(value).__name__}")
    return int(value)


def int32(name: str, value) -> int:
    value = whole(name, value)
    if not INT32_MIN <= value <= INT32_MAX:
        raise OverflowError(f"{name} = {value} does not fit in a 32-bit signed count")
    return value


def uint32(name: str, value) -> int:
    value = whole(name, value)
    if not 0 <= value <= UINT32_MAX:
        raise OverflowError(f"{name} = {value} does not fit in a 32-bit unsigned seed")
    return value


def real(name: str, value) -> float:
    """Any real number, converted to a double (NaN and infinities kept)."""
    if isinstance(value, bool) or not isinstance(value, numbers.Real):
        raise TypeError(f"{name} must be a real number, got {type(value).__name__}")
    return float(value)


def doubles(name: str, values, at_least: int):
    """A C array of the given values.  It must hold at least `at_least`
    values, so that the library never reads past its end; None gives a null
    pointer, allowed only where no value is to be read."""
    if values is None:
        if at_least > 0:
            raise ValueError(f"{name} is None but {at_least} values are to be read")
        return None
    values = [real(f"{name}[{index}]", value) for index, value in enumerate(values)]
    if len(values) < at_least:
        raise ValueError(f"{name} holds {len(values)} values, fewer than {at_least}")
    return (ctypes.c_double * max(len(values), 1))(*values)


def keyword(name: str, value) -> bytes:
    """A zero-terminated byte string: str is encoded as UTF-8."""
    if isinstance(value, str):
        value = value.encode("utf-8")
    if not isinstance(value, (bytes, bytearray)):
        raise TypeError(f"{name} must be a str or bytes, got {type(value).__name__}")
    if b"\0" in value:
        raise ValueError(f"{name} must not contain a zero byte")
    return bytes(value)
