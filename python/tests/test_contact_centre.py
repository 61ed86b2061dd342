"""Contact centres from Python: the worked example, every figure bit for bit
as the library computes it when called from C, arrays point by point, the
library's refusals named in the binding's spelling, and the replay."""

from __future__ import annotations

import math
import random
import unittest

import moravel
from support import CResults, bits

try:
    import numpy
except ImportError:
    numpy = None

# 20 erlangs, h = 180 s, p = 120 s, 20 agents, t = 20 s.
EXAMPLE = (20.0, 180.0, 120.0, 20, 20.0)


def record_bits(result):
    """The bits of each double of a result, the attempt's figures first."""
    if isinstance(result, moravel.Retrials):
        return [bits(v) for v in result.attempt] + [bits(v) for v in result[1:]]
    return [bits(v) for v in result]


class WorkedExample(unittest.TestCase):
    def test_figures(self) -> None:
        r = moravel.contact_centre(*EXAMPLE)
        self.assertEqual("%.6g" % r.wait_probability, "0.482759")
        self.assertEqual("%.6g" % r.abandon_probability, "0.097711")
        self.assertEqual("%.6g" % r.queue_length, "1.30281")
        self.assertEqual("%.6g" % r.service_level, "0.706453")
        self.assertEqual("%.6g" % r.occupancy, "0.902289")
        self.assertEqual(r.blocked_probability, 0.0)
        self.assertGreater(r.service_level_excluding_short_abandons, r.service_level)

    def test_lines_keyword_is_the_c_argument(self) -> None:
        self.assertEqual(moravel.contact_centre(*EXAMPLE),
                         moravel.contact_centre(*EXAMPLE, lines=0))
        limited = moravel.contact_centre(*EXAMPLE, lines=25)
        self.assertGreater(limited.blocked_probability, 0.0)


class AgainstC(unittest.TestCase):
    @classmethod
    def setUpClass(cls) -> None:
        cls.c = CResults()

    @classmethod
    def tearDownClass(cls) -> None:
        cls.c.close()

    def centres(self):
        """The example, the edges the models treat apart, and random centres."""
        fixed = [EXAMPLE + (0,), EXAMPLE + (25,), (20.0, 180.0, math.inf, 25, 20.0, 0),
                 (20.0, 180.0, math.inf, 20, 20.0, 30), (0.0, 1.0, 1.0, 1, 0.0, 0),
                 (500.0, 1.0, 0.5, 100, 0.1, 0), (1e5, 1.0, 1e4, 100000, 100.0, 0),
                 (3.0, 2.0, 0.002, 1, 0.0, 1)]
        rng = random.Random(20)
        for _ in range(40):
            agents = rng.randint(1, 300)
            lines = rng.choice([0, agents, agents + rng.randint(1, 50)])
            fixed.append((rng.uniform(0.0, 2.0 * agents), rng.uniform(0.1, 300.0),
                          rng.choice([math.inf, rng.uniform(0.01, 500.0)]), agents,
                          rng.uniform(0.0, 100.0), lines))
        return [c for c in fixed if not (c[2] == math.inf and c[5] == 0 and c[0] >= c[3])]

    def test_figures_are_the_c_bits(self) -> None:
        for a, h, p, n, t, lines in self.centres():
            with self.subTest(traffic=a, handling=h, patience=p, agents=n, t=t, lines=lines):
                status, expected = self.c.record("moravel_contact_centre", a, h, p, n, lines, t)
                self.assertEqual(status, 0)
                got = moravel.contact_centre(a, h, p, n, t, lines=lines)
                self.assertEqual(record_bits(got), expected)

    def test_retrials_are_the_c_bits(self) -> None:
        rng = random.Random(21)
        for a, h, p, n, t, lines in self.centres()[:20]:
            rb, ra, redial = rng.uniform(0.0, 0.9), rng.uniform(0.0, 0.9), rng.uniform(1.0, 600.0)
            with self.subTest(traffic=a, patience=p, agents=n, lines=lines, rb=rb, ra=ra):
                status, expected = self.c.record("moravel_contact_centre_retrials", a, h, p, n,
                                                 lines, t, rb, ra, redial)
                if status != 0:
                    with self.assertRaises(moravel.ArgumentError) as raised:
                        moravel.contact_centre_retrials(a, h, p, n, t, rb, ra, redial, lines)
                    self.assertEqual(raised.exception.status, status)
                    continue
                got = moravel.contact_centre_retrials(a, h, p, n, t, rb, ra, redial, lines)
                self.assertEqual(record_bits(got), expected)


class Arrays(unittest.TestCase):
    def test_each_point_is_the_scalar_call(self) -> None:
        agents = [18, 20, 25]
        lines = [0, 22, 30]
        got = moravel.contact_centre(20.0, 180.0, 120.0, agents, 20.0, lines)
        for i, (n, l) in enumerate(zip(agents, lines)):
            one = moravel.contact_centre(20.0, 180.0, 120.0, n, 20.0, l)
            self.assertEqual([bits(float(column[i])) for column in got], record_bits(one))
        retried = moravel.contact_centre_retrials(20.0, 180.0, 120.0, agents, 20.0, 0.5, 0.3,
                                                  300.0, lines)
        for i, (n, l) in enumerate(zip(agents, lines)):
            one = moravel.contact_centre_retrials(20.0, 180.0, 120.0, n, 20.0, 0.5, 0.3, 300.0, l)
            self.assertEqual(bits(float(retried.attempt.service_level[i])),
                             bits(one.attempt.service_level))
            self.assertEqual(bits(float(retried.offered_total[i])), bits(one.offered_total))

    @unittest.skipIf(numpy is None, "numpy is not installed")
    def test_numpy_broadcasts(self) -> None:
        got = moravel.contact_centre(numpy.array([[10.0], [20.0]]), 180.0, 120.0,
                                     numpy.array([15, 20, 25]), 20.0)
        self.assertEqual(got.occupancy.shape, (2, 3))
        self.assertEqual(got.occupancy[1, 1], moravel.contact_centre(*EXAMPLE).occupancy)

    def test_refused_point_is_named(self) -> None:
        with self.assertRaises(moravel.ArgumentError) as raised:
            moravel.contact_centre(20.0, 180.0, [120.0, 0.0], 20, 20.0)
        self.assertEqual(raised.exception.index, 1)
        self.assertIn("patience must be above 0", str(raised.exception))


class Refusals(unittest.TestCase):
    """The library's message, naming the argument as the binding spells it."""

    CASES = [
        ((-1.0, 180.0, 120.0, 20, 20.0, 0), moravel.contact_centre,
         "traffic must be finite and not negative"),
        ((20.0, 0.0, 120.0, 20, 20.0, 0), moravel.contact_centre,
         "handling_time must be finite and above 0"),
        ((20.0, 180.0, 0.0, 20, 20.0, 0), moravel.contact_centre,
         "patience must be above 0 (+inf: callers who never hang up)"),
        ((20.0, 180.0, math.nan, 20, 20.0, 0), moravel.contact_centre,
         "patience must be above 0 (+inf: callers who never hang up)"),
        ((20.0, 180.0, 120.0, 0, 20.0, 0), moravel.contact_centre, "agents must be at least 1"),
        ((20.0, 180.0, 120.0, 2147483647, 20.0, 0), moravel.contact_centre,
         "agents must be below 2147483647"),
        ((20.0, 180.0, 120.0, 20, 20.0, 19), moravel.contact_centre,
         "lines must be 0 (no limit) or at least the agents"),
        ((20.0, 180.0, 120.0, 20, 20.0, 10000021), moravel.contact_centre,
         "lines may exceed the agents by at most 10000000"),
        ((20.0, 180.0, 120.0, 20, -1.0, 0), moravel.contact_centre,
         "answer_time must be finite and not negative"),
        ((20.0, 180.0, math.inf, 20, 20.0, 0), moravel.contact_centre,
         "traffic must be below the number of servers"),
        ((20.0, 180.0, 120.0, 20, 20.0, 1.5, 0.0, 300.0, 0), moravel.contact_centre_retrials,
         "blocked_retry_share and abandoned_retry_share must be between 0 and 1"),
        ((20.0, 180.0, 120.0, 20, 20.0, 0.5, 0.5, 0.0, 0), moravel.contact_centre_retrials,
         "redial_time must be finite and above 0"),
        ((40.0, 1.0, 1.0, 20, 1.0, 1.0, 1.0, 1.0, 25), moravel.contact_centre_retrials,
         "the retries grow without bound: no total traffic balances them"),
    ]

    def test_messages(self) -> None:
        for arguments, function, message in self.CASES:
            with self.subTest(function=function.__name__, arguments=arguments):
                with self.assertRaises(moravel.ArgumentError) as raised:
                    function(*arguments)
                self.assertTrue(str(raised.exception).startswith(function.__name__ + "("))
                self.assertTrue(str(raised.exception).endswith("): " + message),
                                str(raised.exception))
                self.assertEqual(raised.exception.message, message)

    def test_types_and_32_bit_counts(self) -> None:
        with self.assertRaises(TypeError):
            moravel.contact_centre("20", 180.0, 120.0, 20, 20.0)
        with self.assertRaises(TypeError):
            moravel.contact_centre(20.0, 180.0, 120.0, 20.5, 20.0)
        with self.assertRaises(OverflowError):
            moravel.contact_centre(20.0, 180.0, 120.0, 2**31, 20.0)
        with self.assertRaises(OverflowError):
            moravel.contact_centre(20.0, 180.0, 120.0, 20, 20.0, lines=-2**31 - 1)


class Staffing(unittest.TestCase):
    """The solvers' answers are exact on the computed figures."""

    def test_least_agents(self) -> None:
        for goal, target in [("service_level", 0.8), ("service_level_excluding_short_abandons", 0.8),
                             ("mean_answer_wait", 20.0), ("abandon_probability", 0.05),
                             ("wait_probability", 0.5)]:
            with self.subTest(goal=goal):
                agents, figures = moravel.contact_centre_agents(20.0, 180.0, 120.0, 20.0, goal,
                                                                target)
                self.assertEqual(record_bits(figures),
                                 record_bits(moravel.contact_centre(20.0, 180.0, 120.0, agents,
                                                                    20.0)))
                fewer = moravel.contact_centre(20.0, 180.0, 120.0, agents - 1, 20.0)
                value, missed = getattr(figures, goal), getattr(fewer, goal)
                if goal.startswith("service_level"):
                    self.assertGreaterEqual(value, target)
                    self.assertLess(missed, target)
                else:
                    self.assertLessEqual(value, target)
                    self.assertGreater(missed, target)

    def test_most_traffic_and_the_occupancy_bound(self) -> None:
        traffic, figures = moravel.contact_centre_traffic(20, 180.0, 120.0, 20.0,
                                                          "service_level", 0.8)
        self.assertGreaterEqual(figures.service_level, 0.8)
        above = moravel.contact_centre(math.nextafter(traffic, math.inf), 180.0, 120.0, 20, 20.0)
        self.assertLess(above.service_level, 0.8)
        bounded = moravel.contact_centre_agents(20.0, 180.0, 120.0, 20.0, "service_level", 0.5,
                                                max_occupancy=0.8)
        self.assertLessEqual(bounded.figures.occupancy, 0.8)
        self.assertGreater(moravel.contact_centre(20.0, 180.0, 120.0, bounded.agents - 1,
                                                  20.0).occupancy, 0.8)

    def test_arrays(self) -> None:
        got = moravel.contact_centre_agents([10.0, 20.0], 180.0, 120.0, 20.0, "service_level",
                                            0.8)
        for i, traffic in enumerate([10.0, 20.0]):
            one = moravel.contact_centre_agents(traffic, 180.0, 120.0, 20.0, "service_level", 0.8)
            self.assertEqual(int(got.agents[i]), one.agents)
            self.assertEqual(bits(float(got.figures.service_level[i])),
                             bits(one.figures.service_level))

    def test_refusals(self) -> None:
        with self.assertRaises(ValueError):
            moravel.contact_centre_agents(20.0, 180.0, 120.0, 20.0, "speed", 0.8)
        for arguments, message in [
                ((20.0, 180.0, 120.0, 20.0, "service_level", 1.5),
                 "target must be above 0 and below 1"),
                ((20.0, 180.0, 120.0, 20.0, "mean_answer_wait", 0.0),
                 "target must be finite and above 0"),
                ((20.0, 180.0, 120.0, 20.0, "service_level", 0.8, 0, 0.0),
                 "max_occupancy must be above 0 and at most 1")]:
            with self.subTest(arguments=arguments):
                with self.assertRaises(moravel.ArgumentError) as raised:
                    moravel.contact_centre_agents(*arguments)
                self.assertEqual(raised.exception.message, message)


class Replay(unittest.TestCase):
    def test_seeded_runs_repeat_and_replications_begin_with_the_run(self) -> None:
        kwargs = dict(lines=25, blocked_retry_share=0.5, abandoned_retry_share=0.3,
                      redial_time=2.0, warmup_calls=500, seed=42)
        one = moravel.simulate_contact_centre(20.0, 20, 120.0 / 180.0, 20.0 / 180.0, 5000,
                                              **kwargs)
        again = moravel.simulate_contact_centre(20.0, 20, 120.0 / 180.0, 20.0 / 180.0, 5000,
                                                **kwargs)
        self.assertEqual(one, again)
        self.assertEqual(one.seed, 42)
        runs = moravel.simulate_contact_centre(20.0, 20, 120.0 / 180.0, 20.0 / 180.0, 5000,
                                               replications=3, **kwargs)
        self.assertEqual(len(runs), 3)
        self.assertEqual(runs[0], one)
        self.assertNotEqual(runs[1], one)
        self.assertGreater(one.attempts_per_caller, 1.0)

    def test_the_model_within_the_replay_s_error(self) -> None:
        runs = moravel.simulate_contact_centre(20.0, 20, 120.0 / 180.0, 20.0 / 180.0, 20000,
                                               warmup_calls=2000, seed=7, replications=10)
        model = moravel.contact_centre(20.0, 1.0, 120.0 / 180.0, 20, 20.0 / 180.0)
        for field in ("wait_probability", "abandon_probability", "service_level"):
            values = [getattr(run.attempt, field) for run in runs]
            mean = sum(values) / len(values)
            spread = math.sqrt(sum((v - mean) ** 2 for v in values) / (len(values) - 1))
            self.assertLess(abs(mean - getattr(model, field)),
                            4.0 * spread / math.sqrt(len(values)), field)

    def test_refusals(self) -> None:
        with self.assertRaises(ValueError):
            moravel.simulate_contact_centre(20.0, 20, 1.0, 0.1, 100, patience_distribution="pareto")
        with self.assertRaises(moravel.ArgumentError) as raised:
            moravel.simulate_contact_centre(20.0, 20, 1.0, 0.1, 100,
                                            patience_distribution="erlang", patience_phases=101)
        self.assertIn("phases", str(raised.exception))
        with self.assertRaises(moravel.ArgumentError) as raised:
            moravel.simulate_contact_centre(20.0, 20, 1.0, 0.1, 0)
        self.assertTrue(str(raised.exception).endswith("): calls must be at least 1"))
        with self.assertRaises(moravel.ArgumentError) as raised:
            moravel.simulate_contact_centre(20.0, 20, 1.0, 0.1, 100, replications=0)
        self.assertIn("replications must be at least 1", str(raised.exception))


if __name__ == "__main__":
    unittest.main()
