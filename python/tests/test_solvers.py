"""The solvers: the quoted answers, and each answer exact on the values the
models compute (one size fewer, or the next double of traffic, misses)."""

from __future__ import annotations

import math
import unittest

import moravel


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


class Refusals(unittest.TestCase):
    def test_the_library_refusals_carry_its_message(self) -> None:
        for call, status, text in [
                (lambda: moravel.engset_traffic(10, 10, 0.01), 32, "sources"),
                (lambda: moravel.link_group_links([(1.0, 9.0)], 8, 0.01), 33, "more units than a link"),
                (lambda: moravel.erlang_b_servers(1e12, 0.01), 34, ""),
                (lambda: moravel.staffing(20, 20.0, 180.0, 20.0), 8, "traffic")]:
            with self.subTest(status=status):
                with self.assertRaises(moravel.ArgumentError) as caught:
                    call()
                self.assertEqual(caught.exception.status, status)
                self.assertEqual(caught.exception.message,
                                 moravel._library.status_message(status))
                self.assertIn(text, str(caught.exception))

    def test_targets_outside_zero_and_one(self) -> None:
        for target in (0.0, 1.0, -0.5, math.nan):
            with self.subTest(target=target), self.assertRaisesRegex(ValueError, "target"):
                moravel.erlang_b_servers(5.0, target)


if __name__ == "__main__":
    unittest.main()
