"""Checks of the arguments every study shares."""

from __future__ import annotations

import concurrent.futures
from collections.abc import Iterable, Mapping
from typing import Any, Dict, Optional

from .. import _checks


def _chunk_size(value) -> Optional[int]:
    if value is None:
        return None
    value = _checks.whole("chunk_size", value)
    if value < 1:
        raise ValueError(f"chunk_size must be at least 1, got {value}")
    return value


def _workers(value) -> Optional[int]:
    if value is None:
        return None
    value = _checks.whole("workers", value)
    if value < 1:
        raise ValueError(f"workers must be at least 1, got {value}")
    return value


def _executor(value):
    if value is not None and not isinstance(value, concurrent.futures.Executor):
        raise TypeError("executor must be a concurrent.futures.Executor or None, "
                        f"got {type(value).__name__}")
    return value


def _one_or_many(value, argument: str):
    """(list of dicts, whether one mapping was given)."""
    if isinstance(value, Mapping):
        return [dict(value)], True
    if isinstance(value, (str, bytes)) or not isinstance(value, Iterable):
        raise TypeError(f"{argument} must be a dict of arguments or a list of them, "
                        f"got {type(value).__name__}")
    found = list(value)
    if not found:
        raise ValueError(f"{argument} is empty: give at least one dict of arguments")
    for index, one in enumerate(found):
        if not isinstance(one, Mapping):
            raise TypeError(f"{argument}[{index}] must be a dict of arguments, "
                            f"got {type(one).__name__}")
    return [dict(one) for one in found], False


def _text(point: Dict[str, Any]) -> str:
    return "{" + ", ".join(f"{k}={v!r}" for k, v in point.items()) + "}"
