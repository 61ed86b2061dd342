"""Several Python threads calling text-returning exports at once: the lock
around the one result text keeps every answer whole and its own."""

from __future__ import annotations

import threading
import unittest

import moravel
from moravel import raw

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


if __name__ == "__main__":
    unittest.main()
