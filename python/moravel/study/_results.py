"""What the studies return, and the error a failing task raises."""

from __future__ import annotations

from typing import Any, Dict, NamedTuple, Optional


class Row(NamedTuple):
    """One point of a sweep.

    point  -- every argument the model was called with at this point
    result -- what the model returned there (a float, a named tuple, or a
              list of per-class named tuples)
    """

    point: Dict[str, Any]
    result: Any


class Estimate(NamedTuple):
    """One figure of a simulation over its replications.

    mean, standard_error -- over the replications
    ci_low, ci_high      -- the 95% confidence interval, mean -/+ t * error,
                            with Student's t for n - 1 degrees of freedom,
                            clipped to [0, 1] for a probability
    analytic             -- the analytic twin's value, or None where the
                            library has no twin
    """

    mean: float
    standard_error: float
    ci_low: float
    ci_high: float
    analytic: Optional[float]

    @property
    def inside(self) -> Optional[bool]:
        """Whether the analytic value lies in the confidence interval."""
        if self.analytic is None:
            return None
        return self.ci_low <= self.analytic <= self.ci_high


class Replication(NamedTuple):
    """A simulation replicated over seeds.

    args      -- the simulation's arguments, the seed left out
    seeds     -- the seed of each run, in run order
    runs      -- each run's result, in run order
    estimates -- shaped like one run's result, an Estimate in place of each
                 number: LossResult(loss=Estimate, carried=Estimate), or a
                 list of ClassResult(blocking=Estimate, carried=Estimate)
    """

    args: Dict[str, Any]
    seeds: tuple
    runs: list
    estimates: Any


class Dimensioning(NamedTuple):
    """The least size of a route that meets the target.

    size     -- the least number of servers (or links)
    blocking -- the blocking figure at that size (the worst class's, for the
                models of several classes)
    """

    size: int
    blocking: float


class StudyError(RuntimeError):
    """A task of a study failed.

    index -- the position of the failing point, route or replication run
    point -- the arguments it was called with
    error -- the exception raised in the task (also ``__cause__``), or None
             when it could not be carried back from the worker
    """

    def __init__(self, message: str, index: int = -1, point=None, error=None) -> None:
        super().__init__(message)
        self.index = index
        self.point = point
        self.error = error

    def __reduce__(self):
        return (StudyError, (self.args[0], self.index, self.point, self.error))
