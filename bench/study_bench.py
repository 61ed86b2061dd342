"""Benchmark of moravel.study on three executors: the calling process, a
process pool of two workers and a Dask LocalCluster of two worker processes.

  large study -- replicate("simulate_loss") at 40 traffic values x 50 seeds,
                 N = 10^5 calls per run: 2000 simulation runs
  tiny tasks  -- sweep("erlang_b") over 20000 points of a few servers each,
                 sent in the study's own chunks, and 500 points sent one per
                 task: what each executor adds per point and per task

Every executor's results are checked to be bit-identical to the calling
process's.  Run from the source tree after building:

  MORAVEL_LIBRARY=build/default/libMoravel.so PYTHONPATH=python \\
      /usr/bin/python3 bench/study_bench.py

(/usr/bin/python3 for Debian's python3-distributed; without it the cluster
is left out.)  --quick runs a small version.
"""

from __future__ import annotations

import argparse
import concurrent.futures
import logging
import os
import platform
import time

from moravel import study


def timed(function, repeat: int):
    """(best wall time in seconds, result of the last run)."""
    best, result = float("inf"), None
    for _ in range(repeat):
        start = time.perf_counter()
        result = function()
        best = min(best, time.perf_counter() - start)
    return best, result


def bits(value):
    if isinstance(value, float):
        return value.hex()
    if isinstance(value, dict):
        return {key: bits(item) for key, item in value.items()}
    if isinstance(value, (list, tuple)):
        return [bits(item) for item in value]
    return value


def model_name() -> str:
    try:
        with open("/proc/cpuinfo", encoding="utf-8") as info:
            for line in info:
                if line.startswith("model name"):
                    return line.split(":", 1)[1].strip()
    except OSError:
        pass
    return platform.processor() or "unknown"


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--quick", action="store_true", help="a small version, for a smoke test")
    parser.add_argument("--repeat", type=int, default=1, help="runs per measurement (best kept)")
    options = parser.parse_args()

    traffics, seeds, calls = (40, 50, 100000) if not options.quick else (8, 5, 10000)
    tiny_points = 20000 if not options.quick else 2000
    args = [{"traffic": 10.0 + 0.5 * i, "servers": 30, "calls": calls} for i in range(traffics)]
    tiny_grid = {"servers": list(range(1, 21)),
                 "traffic": [0.01 * (i + 1) for i in range(tiny_points // 20)]}
    single_grid = {"servers": [5], "traffic": [0.01 * (i + 1) for i in range(500)]}

    print(f"machine: {model_name()}, {os.cpu_count()} cores; load average "
          f"{' '.join(f'{x:.2f}' for x in os.getloadavg())}")
    print(f"large study: {traffics} traffic values x {seeds} seeds = {traffics * seeds} runs of "
          f"simulate_loss, N = {calls} calls each; tiny tasks: {tiny_points} erlang_b points")

    def large(executor):
        return study.replicate("simulate_loss", args, seeds, executor, base_seed=1)

    def tiny(executor, chunk_size=None):
        return study.sweep("erlang_b", tiny_grid, executor, chunk_size=chunk_size)

    def single(executor):
        return study.sweep("erlang_b", single_grid, executor, chunk_size=1)

    results = {}
    start = time.perf_counter()
    reference = large(None)  # also warms the library up
    results["in-process"] = (time.perf_counter() - start, None, None, None)
    base_large = results["in-process"][0]
    if options.repeat > 1:
        base_large = min(base_large, timed(lambda: large(None), options.repeat - 1)[0])
    base_tiny, tiny_reference = timed(lambda: tiny(None), max(3, options.repeat))
    base_single, single_reference = timed(lambda: single(None), max(3, options.repeat))
    rows = [("in-process", base_large, 1.0, base_tiny, base_single, "-")]

    def measure(label: str, executor, setup: float) -> None:
        tiny(executor)  # workers started and the library loaded before timing
        elapsed, found = timed(lambda: large(executor), options.repeat)
        assert bits(found) == bits(reference), f"{label}: rows differ from the calling process"
        tiny_time, tiny_found = timed(lambda: tiny(executor), max(3, options.repeat))
        assert bits(tiny_found) == bits(tiny_reference), f"{label}: tiny rows differ"
        single_time, single_found = timed(lambda: single(executor), max(3, options.repeat))
        assert bits(single_found) == bits(single_reference), f"{label}: single rows differ"
        rows.append((label, elapsed, base_large / elapsed, tiny_time, single_time,
                     f"{setup:.2f} s"))

    with concurrent.futures.ProcessPoolExecutor(2) as pool:
        measure("process pool, 2 workers", pool, 0.0)

    try:
        from dask.distributed import Client, LocalCluster
    except ImportError:
        print("(no dask.distributed for this interpreter: the cluster is left out)")
    else:
        start = time.perf_counter()
        with LocalCluster(n_workers=2, threads_per_worker=1, processes=True, host="127.0.0.1",
                          dashboard_address=None, silence_logs=logging.ERROR) as cluster, \
                Client(cluster, timeout="60s") as client:
            client.wait_for_workers(2, timeout=60)
            setup = time.perf_counter() - start
            measure("Dask LocalCluster, 2 workers", client.get_executor(), setup)

    print()
    tasks = len(single_grid["traffic"])
    print(f"{'executor':<30} {'large study':>11} {'speed-up':>9} {'tiny sweep':>11} "
          f"{'one-point tasks':>16} {'start-up':>9}")
    print(f"{'':<30} {'wall':>11} {'':>9} {'per point':>11} {'per task':>16}")
    for label, elapsed, speedup, tiny_time, single_time, setup in rows:
        print(f"{label:<30} {elapsed:>9.2f} s {speedup:>8.2f}x "
              f"{tiny_time / tiny_points * 1e6:>8.2f} us {single_time / tasks * 1e6:>13.1f} us "
              f"{setup:>9}")
    print()
    print(f"tiny sweep: {tiny_points} erlang_b points in the study's own chunks, wall time per point;")
    print(f"one-point tasks: {tasks} erlang_b points sent one per task (chunk_size=1), wall time "
          "per task;")
    print("beyond the in-process figure, that is what the executor costs per point and per task.")
    print(f"every executor gave the calling process's rows bit for bit; load average now "
          f"{' '.join(f'{x:.2f}' for x in os.getloadavg())}")


if __name__ == "__main__":
    main()
