"""The solvers: the quoted answers, and each answer exact on the values the
models compute (one size fewer, or the next double of traffic, misses)."""

from __future__ import annotations

import math
import unittest

import unittest.mock

import moravel
from moravel import _arrays

try:
    import numpy
except ImportError:
    numpy = None


class LeastSize(unittest.TestCase):
    def test_servers(self) -> None:
        for traffic, target in [(12.0, 0.01), (0.0, 0.5), (5.0, 0.0183846), (180.0, 1e-6),
                                (0.25, 0.2)]:
            with self.subTest(traffic=traffic, target=target):
                servers, loss = moravel.erlang_b_servers(traffic, target)
                self.assertEqual(loss, moravel.erlang_b(servers, traffic))
                self.assertLessEqual(loss, target)
                if servers > 1:
                    self.assertGreater(moravel.erlang_b(servers - 1, traffic), target)
        self.assertEqual(moravel.erlang_b_servers(12.0, 0.01).servers, 20)

    def test_engset_and_assembled_servers(self) -> None:
        servers, loss = moravel.engset_servers(20, 0.3, 0.01)
        self.assertEqual(loss, moravel.engset(20, servers, 0.3))
        self.assertGreater(moravel.engset(20, servers - 1, 0.3), 0.01)
        servers, loss = moravel.loss_assembled_servers(2.0, 3.0, 1.5, 40, 0.01)
        self.assertEqual(loss, moravel.loss_assembled(2.0, 3.0, 1.5, servers, 40).loss)
        self.assertGreater(moravel.loss_assembled(2.0, 3.0, 1.5, servers - 1, 40).loss, 0.01)

    def test_links(self) -> None:
        classes = [(6.0, 1.0), (2.0, 3.0)]
        links, blocking = moravel.link_group_links(classes, 8, 0.01)
        at = moravel.link_group(classes, links, 8)
        self.assertEqual(blocking, [result.blocking for result in at])
        self.assertLessEqual(max(blocking), 0.01)
        self.assertGreater(max(r.blocking for r in moravel.link_group(classes, links - 1, 8)),
                           0.01)
        links, blocking = moravel.link_subset_links(classes, 8, 2, 0.01)
        self.assertEqual(blocking, [r.blocking for r in moravel.link_subset(classes, links, 8, 2)])
        self.assertGreaterEqual(links, 2)


class MostTraffic(unittest.TestCase):
    def test_erlang_b_traffic(self) -> None:
        traffic = moravel.erlang_b_traffic(20, 0.01)
        self.assertEqual("%.6g" % traffic, "12.0306")
        self.assertLessEqual(moravel.erlang_b(20, traffic), 0.01)
        self.assertGreater(moravel.erlang_b(20, math.nextafter(traffic, math.inf)), 0.01)

    def test_engset_traffic(self) -> None:
        a = moravel.engset_traffic(20, 10, 0.01)
        self.assertLessEqual(moravel.engset(20, 10, a), 0.01)
        self.assertGreater(moravel.engset(20, 10, math.nextafter(a, math.inf)), 0.01)


class Staffing(unittest.TestCase):
    def test_the_quoted_call_centre(self) -> None:
        found = moravel.agents_for_service_level(20.0, 180.0, 20.0, 0.8)
        self.assertEqual(found.agents, 24)
        self.assertEqual(found, moravel.staffing(24, 20.0, 180.0, 20.0))
        self.assertLess(moravel.staffing(23, 20.0, 180.0, 20.0).service_level, 0.8)
        self.assertEqual(found.occupancy, 20.0 / 24)
        self.assertEqual(found.wait_probability, moravel.erlang_c(24, 20.0))

    def test_the_other_targets(self) -> None:
        found = moravel.agents_for_mean_wait(20.0, 180.0, 20.0, 10.0)
        self.assertLessEqual(found.mean_speed_of_answer, 10.0)
        self.assertGreater(moravel.staffing(found.agents - 1, 20.0, 180.0, 20.0)
                           .mean_speed_of_answer, 10.0)
        found = moravel.agents_for_wait_probability(20.0, 180.0, 20.0, 0.1)
        self.assertLessEqual(found.wait_probability, 0.1)
        self.assertGreater(moravel.erlang_c(found.agents - 1, 20.0), 0.1)

    def test_the_most_traffic_at_a_service_level(self) -> None:
        found = moravel.traffic_for_service_level(24, 180.0, 20.0, 0.8)
        self.assertEqual(f"{found.traffic:.6g}", "20.0938")
        self.assertEqual(found.figures, moravel.staffing(24, found.traffic, 180.0, 20.0))
        self.assertGreaterEqual(found.figures.service_level, 0.8)
        above = math.nextafter(found.traffic, math.inf)
        self.assertLess(moravel.staffing(24, above, 180.0, 20.0).service_level, 0.8)
        several = moravel.traffic_for_service_level([24, 30], 180.0, 20.0, 0.8)
        self.assertEqual([float(t) for t in several.traffic],
                         [found.traffic, moravel.traffic_for_service_level(30, 180.0, 20.0,
                                                                           0.8).traffic])
        self.assertEqual([int(a) for a in several.figures.agents], [24, 30])
        with self.assertRaises(moravel.ArgumentError) as caught:
            moravel.traffic_for_service_level(24, 180.0, 20.0, 1.0)
        self.assertEqual(caught.exception.message, "target must be above 0 and below 1")


class CallVolume(unittest.TestCase):
    def test_an_interval_in_minutes_with_seconds_of_handling(self) -> None:
        self.assertEqual(moravel.offered_traffic(400, 30, 180), 40.0)
        self.assertEqual(moravel.agents_for_service_level(
            moravel.offered_traffic(400, 30, 180), 180.0, 20.0, 0.8).agents, 45)
        with self.assertRaisesRegex(ValueError, "interval_minutes"):
            moravel.offered_traffic(400, 0, 180)


# solver -> points, each the arguments of one scalar call.
SOLVER_POINTS = {
    moravel.erlang_b_servers: [(10.0, 0.01), (20.0, 0.01), (0.0, 0.5), (180.0, 1e-6)],
    moravel.engset_servers: [(20, 0.3, 0.01), (5, 0.1, 0.2)],
    moravel.loss_assembled_servers: [(2.0, 3.0, 1.5, 40, 0.01), (1.0, 1.0, 0.0, 3, 0.1)],
    moravel.erlang_b_traffic: [(20, 0.01), (1, 0.5), (100, 1e-4)],
    moravel.engset_traffic: [(20, 10, 0.01), (5, 1, 0.2)],
    moravel.staffing: [(24, 20.0, 180.0, 20.0), (3, 1.0, 60.0, 0.0)],
    moravel.agents_for_service_level: [(20.0, 180.0, 20.0, 0.8), (40.0, 180.0, 20.0, 0.9)],
    moravel.agents_for_mean_wait: [(20.0, 180.0, 20.0, 10.0), (5.0, 60.0, 0.0, 1.0)],
    moravel.agents_for_wait_probability: [(20.0, 180.0, 20.0, 0.1), (2.0, 1.0, 0.0, 0.5)],
}


class SolversTakeArrays(unittest.TestCase):
    """Solvers element by element, like the formulas: numpy in, numpy out."""

    def check(self, as_array, container) -> None:
        for solver, points in SOLVER_POINTS.items():
            with self.subTest(solver=solver.__name__):
                arguments = [as_array(column) for column in zip(*points)]
                result = solver(*arguments)
                expected = [solver(*point) for point in points]
                if isinstance(expected[0], tuple):
                    self.assertIsInstance(result, type(expected[0]))
                    for field in range(len(expected[0])):
                        self.assertEqual([float(v) for v in result[field]],
                                         [float(e[field]) for e in expected])
                else:
                    self.assertEqual([float(v) for v in result], expected)
                self.assertIsInstance(result[0] if isinstance(result, tuple) else result,
                                      container)

    @unittest.skipIf(numpy is None, "no numpy")
    def test_with_numpy(self) -> None:
        self.check(numpy.array, numpy.ndarray)
        found = moravel.erlang_b_servers(numpy.array([10.0, 20.0]), 0.01)
        self.assertEqual(found.servers.tolist(), [18, 30])
        self.assertEqual(found.servers.dtype.kind, "i")
        grid = moravel.erlang_b_traffic(numpy.array([[10], [20.0]]), numpy.array([0.01, 0.1]))
        self.assertEqual(grid.shape, (2, 2))
        self.assertEqual(grid[1, 0], moravel.erlang_b_traffic(20, 0.01))

    def test_with_plain_sequences(self) -> None:
        with unittest.mock.patch.object(_arrays, "numpy", None):
            self.check(list, list)
            self.assertEqual(moravel.erlang_b_servers([10.0, 20.0], 0.01).servers, [18, 30])

    def test_the_first_refused_point_is_named(self) -> None:
        with self.assertRaises(moravel.ArgumentError) as caught:
            moravel.engset_traffic([20, 10], [10, 10], 0.01)
        self.assertEqual((caught.exception.index, caught.exception.status), (1, 32))
        self.assertIn("point 1 (sources=10, servers=10, target=0.01)", str(caught.exception))
        with self.assertRaisesRegex(ValueError,
                                    r"point 1 .*\): target must be above 0 and below 1$"):
            moravel.erlang_b_servers([10.0, 1.0], [0.01, 2.0])
        with self.assertRaisesRegex(TypeError, "servers"):
            moravel.erlang_b_traffic([2.5], 0.01)


class Refusals(unittest.TestCase):
    def test_the_library_refusals_carry_its_message(self) -> None:
        for call, status, message in [
                (lambda: moravel.engset_traffic(10, 10, 0.01), 32,
                 "servers must be fewer than the sources, or no call is ever lost"),
                (lambda: moravel.link_group_links([(1.0, 9.0)], 8, 0.01), 33,
                 "classes: a class needs more units than a link has: no number of links "
                 "serves it"),
                (lambda: moravel.link_subset_links([(1.0, 1.0)], 8, 0, 0.01), 26,
                 "subset must be at least 1 and at most the number of links"),
                (lambda: moravel.erlang_b_servers(1e12, 0.01), 34,
                 "no size below 2^31 - 1 meets the target"),
                (lambda: moravel.staffing(20, 20.0, 180.0, 20.0), 8,
                 "traffic must be below the number of servers"),
                (lambda: moravel.agents_for_mean_wait(20.0, 180.0, 20.0, 0.0), 31,
                 "target_wait must be finite and above 0"),
                (lambda: moravel.engset_servers(10, 1.0, 0.01), 10,
                 "traffic_per_source must be at least 0 and below 1"),
                (lambda: moravel.loss_assembled_servers(1.0, 1.0, 1.0, -1, 0.01), 16,
                 "n must not be negative")]:
            with self.subTest(status=status):
                with self.assertRaises(moravel.ArgumentError) as caught:
                    call()
                self.assertEqual(caught.exception.status, status)
                self.assertEqual(caught.exception.message, message)
                self.assertTrue(str(caught.exception).endswith("): " + message))

    def test_targets_outside_zero_and_one(self) -> None:
        for target in (0.0, 1.0, -0.5, math.nan):
            with self.subTest(target=target), self.assertRaisesRegex(ValueError, "target"):
                moravel.erlang_b_servers(5.0, target)


if __name__ == "__main__":
    unittest.main()
