"""Threads and forks.  Several Python threads calling text-returning
exports at once: the lock around the one result text keeps every answer
whole and its own.  The functions of the second interface take no lock at
all.  A process forked while another thread holds the binding's locks
starts with free ones and computes."""

from __future__ import annotations

import concurrent.futures
import multiprocessing
import threading
import unittest

import moravel
from moravel import _library, raw, study

THREADS = 6
ROUNDS = 400


def requests(worker: int):
    """A different mix of calls for each worker, each with its own answer."""
    for round_ in range(ROUNDS):
        servers = 1 + (worker * 37 + round_) % 60
        traffic = 0.25 * (1 + (worker * 11 + round_ * 7) % 200)
        kind = (worker + round_) % 4
        if kind == 0:
            yield (raw.M_M_V_L_an, (servers, traffic))
        elif kind == 1:
            yield (raw.M_M_V_L_PRA_an, (3, servers, [traffic, traffic / 2, worker + 1.0]))
        elif kind == 2:
            yield (raw.M_M_V_W_FF_R_an, (0.5, 2.0, servers, traffic))
        else:
            yield (raw.Mi_M_V_L_an, (servers + 20, servers, 0.01 * (round_ % 90)))


class Threads(unittest.TestCase):
    def test_concurrent_text_calls_keep_their_own_answers(self) -> None:
        expected = {w: [f(*a) for f, a in requests(w)] for w in range(THREADS)}
        results = {}
        start = threading.Barrier(THREADS)

        def work(worker: int) -> None:
            start.wait()
            answers = []
            for function, arguments in requests(worker):
                answers.append(function(*arguments))
                # A scalar export between calls touches no result text.
                moravel.erlang_b(5, 2.0)
            results[worker] = answers

        threads = [threading.Thread(target=work, args=(w,)) for w in range(THREADS)]
        for thread in threads:
            thread.start()
        for thread in threads:
            thread.join(timeout=120)
        for worker in range(THREADS):
            self.assertEqual(results[worker], expected[worker], f"worker {worker}")

    def test_high_level_functions_from_threads(self) -> None:
        expected = [moravel.loss(10 + i, 5.0 + i) for i in range(THREADS)]
        failures = []

        def work(i: int) -> None:
            for _ in range(ROUNDS):
                if moravel.loss(10 + i, 5.0 + i) != expected[i]:
                    failures.append(i)

        threads = [threading.Thread(target=work, args=(i,)) for i in range(THREADS)]
        for thread in threads:
            thread.start()
        for thread in threads:
            thread.join(timeout=120)
        self.assertEqual(failures, [])


    def test_the_second_interface_takes_no_lock(self) -> None:
        done = []
        with _library.TEXT_LOCK:
            worker = threading.Thread(target=lambda: done.append(
                (moravel.loss(10, 5.0), moravel.erlang_b([10, 20], 5.0),
                 moravel.simulate_link_subset([(2.0, 1.0)], 2, 3, 1, 100, "max-free", 3))))
            worker.start()
            worker.join(timeout=60)
        self.assertEqual(len(done), 1, "a call of moravel/api.h waited for the text lock")

    def test_a_thread_pool_gives_the_single_thread_answers(self) -> None:
        points = [(1 + i % 97, 0.37 * i) for i in range(400)]
        expected = [moravel.loss(*point) for point in points]
        with concurrent.futures.ThreadPoolExecutor(4) as pool:
            found = list(pool.map(lambda point: moravel.loss(*point), points))
        self.assertEqual(found, expected)


class Fork(unittest.TestCase):
    """Fork is Linux's default start method: a pool started after threads
    must not inherit a lock that one of them holds."""

    def test_a_fork_while_another_thread_holds_the_locks(self) -> None:
        expected = raw.M_M_V_L_an(10, 5.0)
        holding, release = threading.Event(), threading.Event()

        def hold() -> None:
            with _library.TEXT_LOCK, _library._load_lock:
                holding.set()
                release.wait(120)

        holder = threading.Thread(target=hold)
        holder.start()
        try:
            self.assertTrue(holding.wait(30))
            context = multiprocessing.get_context("fork")
            pool = concurrent.futures.ProcessPoolExecutor(2, mp_context=context)
            try:
                text = pool.submit(raw.M_M_V_L_an, 10, 5.0)
                rows = study.sweep("loss", {"servers": [10, 20], "traffic": [5.0]}, pool)
                found = text.result(timeout=60)
            except concurrent.futures.TimeoutError:
                for child in multiprocessing.active_children():
                    child.kill()
                self.fail("the forked worker hangs on the text lock")
            finally:
                pool.shutdown(wait=False, cancel_futures=True)
            self.assertEqual(found, expected)
            self.assertEqual([row.result for row in rows],
                             [moravel.loss(10, 5.0), moravel.loss(20, 5.0)])
        finally:
            release.set()
            holder.join()


if __name__ == "__main__":
    unittest.main()
