"""Shared by the study tests: the studies whose rows must not depend on the
executor, a bit-for-bit view of their results, and executors that misbehave
in telling ways."""

from __future__ import annotations

import concurrent.futures
import random
import threading
import time

import moravel
from moravel import study



def bits(value):
    """The value with every float spelled by its exact bits (float.hex keeps
    the sign of zero), so that == compares results bit for bit."""
    if isinstance(value, float):
        return ("float", value.hex())
    if isinstance(value, dict):
        return {key: bits(item) for key, item in value.items()}
    if isinstance(value, (list, tuple)):
        return (type(value).__name__, [bits(item) for item in value])
    return value


def studies(executor):
    """Runs the determinism studies on `executor` and returns their results,
    each in a bit-for-bit view.  Small sizes: the point is the equality."""
    found = {
        "erlang_b": study.sweep("erlang_b", {"servers": [1, 5, 30, 200],
                                             "traffic": [0.5, 3.0, 24.0, 180.0]}, executor),
        "loss": study.sweep(moravel.loss, [{"servers": 10, "traffic": 5.0},
                                           {"servers": 40, "traffic": 33.5}], executor),
        "dimension": study.dimension("erlang_b", 0.005,
                                     [{"traffic": 0.25 * i} for i in range(1, 41)], executor),
    }
    found["simulated sweep"] = study.sweep(
        "simulate_loss", {"traffic": [2.0, 6.5, 11.0], "servers": [8]}, executor,
        fixed={"calls": 3000}, seed=77)
    found["replication"] = study.replicate(
        "simulate_loss", [{"traffic": 5.0, "servers": 6, "calls": 2000},
                          {"traffic": 9.0, "servers": 12, "calls": 2000}],
        6, executor, base_seed=4294967293)
    found["waiting replication"] = study.replicate(
        moravel.simulate_wait, {"traffic": 4.0, "servers": 6, "calls": 2000,
                                "threshold": 0.5}, [11, 12, 13], executor)
    found["link subset replication"] = study.replicate(
        "simulate_link_subset", {"classes": [(3.0, 1.0), (1.0, 2.0)], "links": 3, "units": 3,
                                 "subset": 2, "calls": 2000, "policy": "first-free"},
        4, executor, base_seed=31)
    found["link subset sweep"] = study.sweep(
        "simulate_link_subset", {"links": [2, 3], "policy": ["max-free", "min-free"]},
        executor, fixed={"classes": [(2.0, 1.0), (1.0, 2.0)], "units": 4, "subset": 2,
                         "calls": 1500}, seed=4294967295)
    return {name: bits(value) for name, value in found.items()}


class Scrambled(concurrent.futures.Executor):
    """Runs each task at once, but finishes the futures in a random order."""

    def __init__(self, seed: int = 5) -> None:
        self._random = random.Random(seed)
        self._timers = []

    def submit(self, fn, /, *args, **kwargs):
        future = concurrent.futures.Future()
        result = fn(*args, **kwargs)
        timer = threading.Timer(self._random.uniform(0.0, 0.05), future.set_result, (result,))
        self._timers.append(timer)
        timer.start()
        return future

    def shutdown(self, wait=True, *, cancel_futures=False):
        for timer in self._timers:
            timer.join()


def _slowly(fn, *args):
    time.sleep(0.02)
    return fn(*args)


class Recording(concurrent.futures.Executor):
    """A one-thread pool that keeps every future it hands out, and starts its
    tasks after a pause, so that most are still waiting when one fails."""

    def __init__(self) -> None:
        self._pool = concurrent.futures.ThreadPoolExecutor(1)
        self.futures = []

    def submit(self, fn, /, *args, **kwargs):
        future = self._pool.submit(_slowly, fn, *args, **kwargs)
        self.futures.append(future)
        return future

    def shutdown(self, wait=True, *, cancel_futures=False):
        self._pool.shutdown(wait, cancel_futures=cancel_futures)


class PublicOnly(concurrent.futures.Executor):
    """A thread pool that fails the test when anything reads a private
    attribute of it: a study may use only submit and the futures."""

    def __init__(self, workers: int = 2) -> None:
        object.__setattr__(self, "pool", concurrent.futures.ThreadPoolExecutor(workers))

    def __getattribute__(self, name: str):
        if name.startswith("_") and not (name.startswith("__") and name.endswith("__")):
            raise AssertionError(f"a study read the private attribute {name}")
        return object.__getattribute__(self, name)

    def submit(self, fn, /, *args, **kwargs):
        return self.pool.submit(fn, *args, **kwargs)

    def shutdown(self, wait=True, *, cancel_futures=False):
        self.pool.shutdown(wait, cancel_futures=cancel_futures)


class Refusing(concurrent.futures.Executor):
    """Fails the test if any work reaches it."""

    def submit(self, fn, /, *args, **kwargs):
        raise AssertionError("work was sent before the input was checked")


# ---- the README's examples of studies ----------------------------------------

README_SECTION = "## Parameter studies at scale"


def readme_example(file_name: str):
    """(source, command, output) of an example in the README's section on
    studies: the code block introduced by "`file_name`:", the first sh block
    after it and the text block right after that one."""
    import os
    import re
    source_dir = os.environ.get("MORAVEL_SOURCE_DIR",
                                os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                             "..", ".."))
    with open(os.path.join(source_dir, "README.md"), encoding="utf-8") as readme:
        text = readme.read()
    start = text.index(README_SECTION + "\n")
    end = text.find("\n## ", start + len(README_SECTION))
    section = text[start:end if end >= 0 else len(text)]
    fences = list(re.finditer(r"^```([^\n`]*)\n(.*?)^```[ \t]*$", section,
                              re.MULTILINE | re.DOTALL))
    for index, fence in enumerate(fences):
        intro = section[:fence.start()].rstrip("\n").split("\n")[-1].strip()
        if intro != f"`{file_name}`:":
            continue
        rest = fences[index + 1:]
        for position, block in enumerate(rest):
            if block.group(1).strip() == "sh":
                following = rest[position + 1]
                assert following.group(1).strip() == "text", f"no output shown for {file_name}"
                return fence.group(2), block.group(2).strip(), following.group(2)
        break
    raise AssertionError(f"README.md shows no example {file_name} under {README_SECTION!r}")
