"""The package's exceptions, and the statuses of moravel/api.h turned into them."""

from __future__ import annotations

from typing import Optional

# Statuses that say nothing about the arguments: the library could not
# finish (memory, an internal failure) rather than refusing the input.
_NOT_ABOUT_ARGUMENTS = (2, 3)


class MoravelError(RuntimeError):
    """libMoravel gave no result: it refused the input (see ArgumentError) or
    could not finish (out of memory), or a study met a value it cannot use
    (a blocking outside [0, 1] in a search of ``moravel.study``).

    status  -- the library's status code (moravel/api.h), 0 when the error
               did not come from a status
    message -- the library's own text for that status
    index   -- for an array call, the position (in the flattened arrays) of
               the first point the library refused; None otherwise
    """

    def __init__(self, text: str, status: int = 0, message: str = "",
                 index: Optional[int] = None) -> None:
        super().__init__(text)
        self.status = status
        self.message = message
        self.index = index

    def __reduce__(self):
        return (type(self), (self.args[0], self.status, self.message, self.index))


class ArgumentError(MoravelError, ValueError):
    """The library refused an argument; also a ValueError, like the refusals
    that the binding makes itself before calling the library."""


def raise_status(status: int, message: str, where: str, index: Optional[int] = None):
    """Raises the exception for a status other than 0."""
    kind = MoravelError if status in _NOT_ABOUT_ARGUMENTS else ArgumentError
    raise kind(f"{where}: {message}", status, message, index)


__all__ = ["MoravelError", "ArgumentError"]
