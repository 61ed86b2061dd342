"""Parameter studies over libMoravel: sweeps, replications and dimensioning,
in the calling process or on any ``concurrent.futures.Executor``, up to a
Dask cluster.

    from moravel import study

    study.sweep("loss", {"servers": [10, 20], "traffic": [5.0, 10.0, 15.0]})
    study.replicate("simulate_loss", {"traffic": 5.0, "servers": 10,
                                      "calls": 100000}, 20)
    study.dimension("erlang_b", 0.01, [{"traffic": a} for a in (5.0, 50.0)])

A model is one of the binding's functions (``moravel.loss``,
``moravel.simulate_loss``, ...) or its name.  The library's work is sent to
the executor as picklable task descriptions: the module-level function
``_run_chunk`` and plain data (the model's name and its arguments, pickled
into one bytes object per chunk).  A worker imports ``moravel`` and finds the
library itself, by the binding's usual search; the calling process needs the
library only when it runs the study itself (``executor=None``).

Only the executor's public interface is used: ``submit`` and the futures it
returns.  The points are dealt into chunks, point i to chunk i mod C, four
chunks per worker unless ``chunk_size`` says otherwise (``workers=`` tells
how many workers the executor has; the machine's processor count is
assumed otherwise), so a chunk's scheduling cost is small next to its
computation and points of rising cost spread over every chunk.  Results come
back in the study's own order, whatever order the workers finish in.

Threads or processes.  The binding calls moravel/api.h without any lock and
ctypes lets go of the interpreter during each call, so a
``ThreadPoolExecutor`` runs the models in parallel; a
``ProcessPoolExecutor`` (also forked after threads) or a Dask cluster
(``client.get_executor()``) serve as well.

Determinism.  Every point is computed by the same library from the same
arguments, and a seeded simulation repeats exactly for a nonzero seed, so a
study gives bit-identical rows in the calling process, on a process pool of
any size and on a Dask cluster.  Seeds of replications and of simulated
sweeps derive from a base seed by the rule of ``seeds()``; the seed 0, which
asks the library for a clock seed, is refused unless ``clock_seeds=True``.
The three simulations (``simulate_loss``, ``simulate_wait`` and the
multi-rate ``simulate_link_subset``) all take such a seed.

Bad input raises ValueError (TypeError for wrong types) naming the argument,
before any work is sent.  An exception inside a task is raised to the caller
as ``StudyError`` naming the point, route or replication that caused it (the
original exception is its ``__cause__``), and the tasks not yet started are
cancelled.
"""

from ._dimension import dimension
from ._grid import points, seeds
# The model table, the estimates and the probability rule stay reachable
# from here for the tests; _run_chunk is the task every executor runs.
from ._models import _MODELS
from ._replicate import _estimates, replicate
from ._results import Dimensioning, Estimate, Replication, Row, StudyError
from ._core import student_t
from ._sweep import sweep
from ._core import is_probability as _is_probability
from ._tasks import _run_chunk

__all__ = [
    "sweep", "replicate", "dimension", "points", "seeds", "student_t",
    "Row", "Estimate", "Replication", "Dimensioning", "StudyError",
]
