"""Sending a study's tasks to an executor and gathering their results.

Only the public interface of ``concurrent.futures.Executor`` is used:
``submit`` and the futures it returns.  The points are dealt into chunks,
point i to chunk i mod C, so that points of rising cost spread over every
chunk; C is four per worker by default (the caller may say how many workers
there are, else the machine's processor count is taken), or follows from
``chunk_size``.  Results come back in item order, whatever order the chunks
finish in.  When a chunk fails, the chunks not started are cancelled.
"""

from __future__ import annotations

import concurrent.futures
import os
import pickle
import uuid
from typing import Callable, Dict, List, Optional, Sequence

from ._results import StudyError
from ._tasks import _PICKLE_PROTOCOL, _run_chunk, _run_items

# Chunks per worker when the study decides the chunk size: enough that a
# slow chunk does not leave the other workers idle for long, few enough that
# scheduling stays cheap.
CHUNKS_PER_WORKER = 4


def _chunk_count(total: int, chunk_size: Optional[int], workers: Optional[int]) -> int:
    if chunk_size is not None:
        return -(-total // chunk_size)
    return min(total, CHUNKS_PER_WORKER * (workers or os.cpu_count() or 1))


def _execute(items: List[tuple], describe: Callable[[int], tuple], executor,
             chunk_size: Optional[int], workers: Optional[int] = None) -> list:
    """Runs the tasks and returns their results in item order.

    describe(i) gives (index, point, text) of item i for an error message.
    """

    def failed(positions: Sequence[int], failure) -> StudyError:
        position, type_name, message, original = failure
        index, point, text = describe(positions[position])
        error = StudyError(f"{text}: {type_name}: {message}", index, point, original)
        error.__cause__ = original
        return error

    if executor is None:
        results, failure = _run_items(items)
        if failure is not None:
            raise failed(range(len(items)), failure)
        return results

    # The study's identity travels with each chunk: it keeps the chunks of two
    # studies with the same arguments apart on executors that merge equal tasks.
    token = uuid.uuid4().hex
    total = len(items)
    count = _chunk_count(total, chunk_size, workers)
    chunks = [range(first, total, count) for first in range(count)]
    futures: Dict[concurrent.futures.Future, range] = {}
    results: list = [None] * total
    try:
        for positions in chunks:
            payload = pickle.dumps([items[i] for i in positions], protocol=_PICKLE_PROTOCOL)
            futures[executor.submit(_run_chunk, token, payload)] = positions
        for future in concurrent.futures.as_completed(futures):
            chunk_results, failure = pickle.loads(future.result())
            positions = futures[future]
            if failure is not None:
                raise failed(positions, failure)
            for position, result in zip(positions, chunk_results):
                results[position] = result
    finally:
        for future in futures:
            if not future.done():
                future.cancel()
    return results
