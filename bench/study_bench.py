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
is left out.)  --quick runs a small version; --rounds sets how many times
each executor runs each study, in turns (the best time is kept).
"""

from __future__ import annotations

import argparse
import concurrent.futures
import contextlib
import logging
import os
import platform
import time

from moravel import study


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
    parser.add_argument("--rounds", type=int, default=3,
                        help="rounds of measurements, the executors in turn (best kept)")
    options = parser.parse_args()

    traffics, seeds, calls = (40, 50, 100000) if not options.quick else (8, 5, 10000)
    tiny_points = 20000 if not options.quick else 2000
    args = [{"traffic": 10.0 + 0.5 * i, "servers": 30, "calls": calls} for i in range(traffics)]
    tiny_grid = {"servers": list(range(1, 21)),
                 "traffic": [0.01 * (i + 1) for i in range(tiny_points // 20)]}
    single_grid = {"servers": [5], "traffic": [0.01 * (i + 1) for i in range(500)]}
    tasks = len(single_grid["traffic"])

    print(f"machine: {model_name()}, {os.cpu_count()} cores; load average "
          f"{' '.join(f'{x:.2f}' for x in os.getloadavg())}")
    print(f"large study: {traffics} traffic values x {seeds} seeds = {traffics * seeds} runs of "
          f"simulate_loss, N = {calls} calls each; tiny tasks: {tiny_points} erlang_b points")

    studies = {
        "large": lambda executor: study.replicate("simulate_loss", args, seeds, executor,
                                                  base_seed=1),
        "tiny": lambda executor: study.sweep("erlang_b", tiny_grid, executor),
        "single": lambda executor: study.sweep("erlang_b", single_grid, executor, chunk_size=1),
    }
    reference = {name: bits(run(None)) for name, run in studies.items()}

    with contextlib.ExitStack() as stack:
        executors = {"in-process": (None, "-")}
        pool = stack.enter_context(concurrent.futures.ProcessPoolExecutor(2))
        executors["process pool, 2 workers"] = (pool, "-")
        try:
            from dask.distributed import Client, LocalCluster
        except ImportError:
            print("(no dask.distributed for this interpreter: the cluster is left out)")
        else:
            start = time.perf_counter()
            cluster = stack.enter_context(LocalCluster(
                n_workers=2, threads_per_worker=1, processes=True, host="127.0.0.1",
                dashboard_address=None, silence_logs=logging.ERROR))
            client = stack.enter_context(Client(cluster, timeout="60s"))
            client.wait_for_workers(2, timeout=60)
            executors["Dask LocalCluster, 2 workers"] = (
                client.get_executor(), f"{time.perf_counter() - start:.2f} s")
        for executor, _ in executors.values():
            studies["tiny"](executor)  # workers started, library loaded

        # The executors take turns, round after round, so that a burst of
        # other work on the machine hits them alike; the best of each is kept.
        best = {(label, name): float("inf") for label in executors for name in studies}
        for _ in range(max(1, options.rounds)):
            for name, run in studies.items():
                for label, (executor, _) in executors.items():
                    start = time.perf_counter()
                    found = run(executor)
                    best[label, name] = min(best[label, name], time.perf_counter() - start)
                    assert bits(found) == reference[name], f"{label}: {name} rows differ"

    print()
    print(f"{'executor':<30} {'large study':>11} {'speed-up':>9} {'tiny sweep':>11} "
          f"{'one-point tasks':>16} {'start-up':>9}")
    print(f"{'':<30} {'wall':>11} {'':>9} {'per point':>11} {'per task':>16}")
    for label, (_, setup) in executors.items():
        elapsed = best[label, "large"]
        print(f"{label:<30} {elapsed:>9.2f} s {best['in-process', 'large'] / elapsed:>8.2f}x "
              f"{best[label, 'tiny'] / tiny_points * 1e6:>8.2f} us "
              f"{best[label, 'single'] / tasks * 1e6:>13.1f} us {setup:>9}")
    print()
    print(f"best of {max(1, options.rounds)} rounds, the executors taking turns;")
    print(f"tiny sweep: {tiny_points} erlang_b points in the study's own chunks, wall time per "
          "point;")
    print(f"one-point tasks: {tasks} erlang_b points sent one per task (chunk_size=1), wall time "
          "per task;")
    print("beyond the in-process figure, that is what the executor costs per point and per task.")
    print(f"every executor gave the calling process's rows bit for bit; load average now "
          f"{' '.join(f'{x:.2f}' for x in os.getloadavg())}")


if __name__ == "__main__":
    main()
