"""The binding's functions for people: published figures, result types,
defaults, and the arguments they refuse.  Their values on many generated
inputs are compared with the same exports called from C in test_against_c."""

from __future__ import annotations

import inspect
import math
import unittest

import moravel
from moravel import ClassResult, LossResult, WaitResult, raw
from support import bits


def six_digits(result):
    """A result with every number rounded to six significant digits, as the
    published figures are."""
    if isinstance(result, float):
        return float("%.6g" % result)
    return [six_digits(item) for item in result]


class PublishedFigures(unittest.TestCase):
    """The arguments reach the library in their places and the numbers come
    back in theirs, at full precision."""

    def test_models(self) -> None:
        two_classes = [(2.0, 1.0), (1.0, 2.0)]
        cases = [
            (moravel.loss, (10, 5.0), (0.0183846, 4.90808)),
            (moravel.loss_finite, (10, 5, 0.2), (0.0165659, 1.97341)),
            (moravel.loss_assembled, (2.0, 3.0, 1.5, 4, 3), (0.42865, 3.08529)),
            (moravel.loss_priority, (10, [5.0, 3.0]), [(0.0183846, 4.90808), (0.293789, 2.11863)]),
            (moravel.wait, (30, 20.0, 60.0, 180.0),
             (0.0249505, 0.000890082, 0.449108, 18.0, 0.0499009)),
            (moravel.link_group, (two_classes, 2, 5), [(0.0101235, 1.97975), (0.047202, 1.9056)]),
            (moravel.link_subset, (two_classes, 2, 5, 1),
             [(0.0930953, 1.81381), (0.20808, 1.58384)]),
        ]
        for function, arguments, expected in cases:
            with self.subTest(function=function.__name__, arguments=arguments):
                self.assertEqual(six_digits(function(*arguments)), six_digits(expected))

    def test_full_precision(self) -> None:
        self.assertEqual(bits(moravel.loss(10, 5.0).loss), bits(moravel.erlang_b(10, 5.0)))
        self.assertEqual(bits(moravel.wait(10, 7.0, 0.0, 1.0).wait),
                         bits(moravel.erlang_c(10, 7.0)))
        self.assertEqual(moravel.loss(10, 5.0).carried, 4.908077148316759)


class ResultTypes(unittest.TestCase):
    def test_formulas_return_the_raw_double_even_for_whole_number_traffic(self) -> None:
        self.assertIs(type(moravel.erlang_b(3, 1)), float)
        self.assertEqual(moravel.erlang_b(1, 1), 0.5)

    def test_models_return_named_tuples(self) -> None:
        self.assertEqual(LossResult._fields, ("loss", "carried"))
        self.assertEqual(WaitResult._fields, ("wait", "wait_exceeds", "mean_wait",
                                              "mean_wait_waiting", "queue_length"))
        self.assertEqual(ClassResult._fields, ("blocking", "carried"))
        for result in (moravel.loss(10, 5.0), moravel.loss_finite(10, 5, 0.2),
                       moravel.loss_assembled(1.0, 1.0, 1.0, 5, 2),
                       moravel.simulate_loss(5.0, 10, 1, 7),
                       *moravel.loss_priority(10, (2, 3, 4))):
            self.assertIsInstance(result, LossResult)
        for result in (moravel.wait(10, 5.0, 1.0, 1.0), moravel.simulate_wait(5.0, 10, 1, 1.0, 3)):
            self.assertIsInstance(result, WaitResult)
        for result in moravel.link_group([(2.0, 1.0), (1.0, 2.0)], 2, 5):
            self.assertIsInstance(result, ClassResult)

    def test_a_threshold_needs_its_holding_time(self) -> None:
        # 20 what?  No default: with 180 s calls 20 s is not 20 holding times.
        with self.assertRaisesRegex(TypeError, "holding_time"):
            moravel.wait(24, 20.0, 20.0)  # pylint: disable=no-value-for-parameter
        self.assertEqual("%.6g" % moravel.staffing(24, 20.0, 180.0, 20.0).service_level,
                         "0.808882")
        self.assertEqual(moravel.wait(24, 20.0, 20.0, 180.0).wait_exceeds,
                         1.0 - moravel.staffing(24, 20.0, 180.0, 20.0).service_level)


class RawExports(unittest.TestCase):
    def test_arrays_shorter_than_their_count_are_refused(self) -> None:
        self.assertEqual(raw.M_M_V_L_PRA_an(0, 10, None), "")  # nothing to read: None will do
        with self.assertRaisesRegex(ValueError, r"\ba\b.*fewer than 3"):
            raw.M_M_V_L_PRA_an(3, 10, [1.0, 2.0])
        with self.assertRaisesRegex(ValueError, r"\ba\b.*None"):
            raw.M_M_V_L_PRA_an(1, 10, None)
        with self.assertRaisesRegex(ValueError, r"\bt\b"):
            raw.VM_VMl_V_L_an([1.0, 1.0], 2, [1.0], 2, 2)

    def test_counts_must_fit_in_32_bits(self) -> None:
        for call, name in [(lambda: raw.PalmTable(2**31, 1.0), "V"),
                           (lambda: raw.M_M_V_L_an(-(2**31) - 1, 1.0), "V"),
                           (lambda: raw.M_M_V_L_im(1.0, 1, 1, 2**32), "seed"),
                           (lambda: raw.M_M_V_L_im(1.0, 1, 1, -1), "seed")]:
            with self.subTest(name=name), self.assertRaisesRegex(OverflowError, rf"\b{name}\b"):
                call()

    def test_types(self) -> None:
        def simulate(policy):
            return raw.VM_VMl_VDg_L_im([1.0], 1, [1.0], 1, 1, 1, 1, policy)

        for call, error, name in [(lambda: raw.PalmTable(1.5, 1.0), TypeError, ""),
                                  (lambda: raw.PalmTable(True, 1.0), TypeError, ""),
                                  (lambda: raw.PalmTable(1, "1.0"), TypeError, ""),
                                  (lambda: simulate(7), TypeError, ""),
                                  (lambda: simulate("a\0b"), ValueError, "policy")]:
            with self.assertRaisesRegex(error, name):
                call()


class RefusedArguments(unittest.TestCase):
    """What the library refuses raises ArgumentError with the library's
    message, naming the argument as Python spells it; the binding itself
    refuses only what is not a number of the right kind or does not fit in 32
    bits."""

    REFUSED = [
        (moravel.erlang_b, (0, 1.0), "servers must be at least 1"),
        (moravel.erlang_b, (2**31 - 1, 1.0), "servers must be below 2147483647"),
        (moravel.erlang_b, (10, -1.0), "traffic must be finite and not negative"),
        (moravel.erlang_b, (10, math.nan), "traffic must be finite and not negative"),
        (moravel.erlang_c, (0, 1.0), "servers must be at least 1"),
        (moravel.erlang_c, (10, 12.0), "traffic must be below the number of servers"),
        (moravel.erlang_c, (10, 10.0), "traffic must be below the number of servers"),
        (moravel.engset, (0, 1, 0.5), "sources must be at least 1"),
        (moravel.engset, (5, 0, 0.3), "servers must be at least 1"),
        (moravel.engset, (5, 3, 1.0), "traffic_per_source must be at least 0 and below 1"),
        (moravel.engset, (5, 3, -0.1), "traffic_per_source must be at least 0 and below 1"),
        (moravel.erlang_b_direct, (-1, 2.0), "servers must be between 0 and 170 in the direct form"),
        (moravel.erlang_b_direct, (171, 10.0), "servers must be between 0 and 170 in the direct form"),
        (moravel.erlang_b_direct, (170, 100.0), "traffic: the result leaves the range of a double"),
        (moravel.erlang_b_ratio, (5, 3.0, 6), "fewer must leave between 0 and 170 servers"),
        (moravel.erlang_b_ratio, (3, 0.0, 1), "traffic must be above 0"),
        (moravel.loss, (0, 3.0), "servers must be at least 1"),
        (moravel.loss, (10, -5.0), "traffic must be finite and not negative"),
        (moravel.loss_finite, (5, 0, 0.3), "servers must be at least 1"),
        (moravel.loss_finite, (5, 3, 1.0), "traffic_per_source must be at least 0 and below 1"),
        (moravel.loss_assembled, (0.0, 1.0, 1.0, 3, 2), "x and y must be finite and above 0"),
        (moravel.loss_assembled, (1.0, 0.0, 0.0, 3, 2), "x and y must be finite and above 0"),
        (moravel.loss_assembled, (1.0, 1.0, -1.0, 3, 2), "z must be finite and not negative"),
        (moravel.loss_assembled, (1.0, 1.0, 1.0, 3, -2), "n must not be negative"),
        (moravel.loss_assembled, (1.0, 1e-300, 1e300, 3, 2),
         "x, y, z and n: the assembled load must be finite"),
        (moravel.loss_priority, (10, []), "traffics must be at least 1"),
        (moravel.loss_priority, (10, [1.0, -2.0]), "traffics must be finite and not negative"),
        (moravel.loss_priority, (0, [1.0]), "servers must be at least 1"),
        (moravel.wait, (10, 10.0, 1.0, 1.0), "traffic must be below the number of servers"),
        (moravel.wait, (0, 1.0, 1.0, 1.0), "servers must be at least 1"),
        (moravel.wait, (10, 5.0, -1.0, 1.0), "threshold must be finite and not negative"),
        (moravel.wait, (10, 5.0, 1.0, 0.0), "holding_time must be finite and above 0"),
        (moravel.simulate_loss, (0.0, 10, 100, 1), "traffic must be above 0"),
        (moravel.simulate_loss, (5.0, 0, 100, 1), "servers must be at least 1"),
        (moravel.simulate_loss, (5.0, 10, 0, 1), "calls must be at least 1"),
        (moravel.simulate_wait, (10.0, 10, 100, 1.0), "traffic must be below the number of servers"),
        (moravel.simulate_wait, (5.0, 10, 100, -1.0), "threshold must be finite and not negative"),
        (moravel.link_group, ([], 2, 5), "classes must be at least 1"),
        (moravel.link_group, ([(1.0, 1.0)], 0, 5), "links must be at least 1"),
        (moravel.link_group, ([(1.0, 1.0)], 2, 0), "units must be at least 1"),
        (moravel.link_group, ([(1.0, 1.0)], 2**16, 2**15),
         "links and units must multiply to fewer than 2^31 units"),
        (moravel.link_group, ([(1.0, 0.0)], 2, 5),
         "classes: each demand must be a whole number of at least 1 unit"),
        (moravel.link_group, ([(1.0, 1.5)], 2, 5),
         "classes: each demand must be a whole number of at least 1 unit"),
        (moravel.link_group, ([(1.0, 1.0), (-1.0, 1.0)], 2, 5),
         "classes must be finite and not negative"),
        (moravel.link_subset, ([(1.0, 1.0)], 2, 5, 3),
         "subset must be at least 1 and at most the number of links"),
        (moravel.link_subset, ([(1.0, 1.0)], 2, 5, 0),
         "subset must be at least 1 and at most the number of links"),
        (moravel.simulate_link_subset, ([(0.0, 1.0)], 2, 5, 1, 100, "max-free"),
         "classes: the traffics must sum to a finite value above 0"),
        (moravel.simulate_link_subset, ([(1.0, 1.0)], 2, 5, 1, 0, "max-free"),
         "calls must be at least 1"),
        (moravel.simulate_link_subset, ([(1.0, 1.0)], 40, 1, 20, 10, "max-free"),
         "subset: the number of subsets C(k, g) must be below 2^31"),
    ]

    # What the binding refuses before the library sees it: the kind of a
    # value, a count beyond 32 bits, a policy name it has no code for.
    NOT_PASSED = [
        (moravel.engset, (2**32, 3, 0.1), OverflowError, "sources"),
        (moravel.simulate_loss, (5.0, 10, 100, 2**32), OverflowError, "seed"),
        (moravel.loss_priority, (10, "12"), TypeError, "traffics"),
        (moravel.erlang_b, (10.5, 1.0), TypeError, "servers"),
        (moravel.erlang_b, (10, "1.0"), TypeError, "traffic"),
        (moravel.link_group, ([(1.0, 1.0, 2.0)], 2, 5), TypeError, r"classes\[0\]"),
        (moravel.link_group, ([1.0], 2, 5), TypeError, r"classes\[0\]"),
        (moravel.link_group, ([(1.0, 1.0)], 2**32, 5), OverflowError, "links"),
        (moravel.simulate_link_subset, ([(1.0, 1.0)], 2, 5, 1, 100, "fastest"), ValueError,
         "policy must be one of 'max-free', 'min-free', 'first-free', 'МаксСвоб', 'МинСвоб', "
         "'ПервСвоб'; got 'fastest'"),
        (moravel.simulate_link_subset, ([(1.0, 1.0)], 2, 5, 1, 100, "МаксСвоб".encode()),
         TypeError, "policy"),
    ]

    def test_the_library_judges(self) -> None:
        for function, arguments, message in self.REFUSED:
            with self.subTest(function=function.__name__, arguments=arguments):
                with self.assertRaises(moravel.ArgumentError) as raised:
                    function(*arguments)
                self.assertEqual(raised.exception.message, message)
                self.assertTrue(str(raised.exception).endswith("): " + message),
                                str(raised.exception))

    def test_the_binding_checks_kinds_and_widths(self) -> None:
        for function, arguments, error, pattern in self.NOT_PASSED:
            with self.subTest(function=function.__name__, arguments=arguments):
                with self.assertRaisesRegex(error, pattern) as raised:
                    function(*arguments)
                self.assertNotIsInstance(raised.exception, moravel.MoravelError)


class Interface(unittest.TestCase):
    SIGNATURES = {
        "erlang_b": ["servers", "traffic"],
        "erlang_c": ["servers", "traffic"],
        "engset": ["sources", "servers", "traffic_per_source"],
        "erlang_b_direct": ["servers", "traffic"],
        "erlang_b_ratio": ["servers", "traffic", "fewer"],
        "loss": ["servers", "traffic"],
        "loss_finite": ["sources", "servers", "traffic_per_source"],
        "loss_assembled": ["x", "y", "z", "servers", "n"],
        "loss_priority": ["servers", "traffics"],
        "wait": ["servers", "traffic", "threshold", "holding_time"],
        "simulate_loss": ["traffic", "servers", "calls", "seed"],
        "simulate_wait": ["traffic", "servers", "calls", "threshold", "seed"],
        "link_group": ["classes", "links", "units"],
        "link_subset": ["classes", "links", "units", "subset"],
        "simulate_link_subset": ["classes", "links", "units", "subset", "calls", "policy",
                                 "seed"],
    }

    def test_one_documented_function_per_export(self) -> None:
        for name, parameters in self.SIGNATURES.items():
            with self.subTest(function=name):
                function = getattr(moravel, name)
                self.assertEqual(list(inspect.signature(function).parameters), parameters)
                self.assertGreater(len(inspect.getdoc(function) or ""), 80)
                for parameter in parameters:
                    self.assertIn(parameter, function.__doc__)

    def test_every_export_is_found_and_reachable_raw(self) -> None:
        self.assertEqual(len(raw.__all__), 15)
        self.assertEqual(set(moravel.exports()), set(raw.__all__))
        for name in raw.__all__:
            self.assertTrue(callable(getattr(raw, name)))


class OneServer(unittest.TestCase):
    def test_carries_a_over_one_plus_a(self) -> None:
        # Above B = 1/2 the carried traffic is V A / (V + A B(V - 1, A)),
        # with B(0, A) = 1 for one server: A / (1 + A), never the server
        # itself.
        for traffic in (1.5, 11.35, 1e3, 1e300):
            with self.subTest(traffic=traffic):
                self.assertEqual(bits(moravel.loss(1, traffic).carried),
                                 bits(traffic / (1.0 + traffic)))


class LossSimulation(unittest.TestCase):
    def test_estimate_approaches_erlang_b(self) -> None:
        estimate = moravel.simulate_loss(5.0, 10, 200000, 99).loss
        self.assertAlmostEqual(estimate, moravel.erlang_b(10, 5.0), delta=0.004)

    def test_clock_seed_is_the_default(self) -> None:
        self.assertEqual(len(moravel.simulate_loss(5.0, 10, 1000)), 2)


class WaitingSimulation(unittest.TestCase):
    def test_zero_threshold_repeats_the_probability_of_waiting(self) -> None:
        result = moravel.simulate_wait(8.0, 10, 50000, 0.0, 5)
        self.assertEqual(result.wait_exceeds, result.wait)
        self.assertAlmostEqual(result.wait, moravel.erlang_c(10, 8.0), delta=0.06)


class LinkSubsetSimulation(unittest.TestCase):
    def test_every_policy_name_places_a_call_on_a_free_link(self) -> None:
        for policy in moravel.POLICIES:
            with self.subTest(policy=policy):
                result = moravel.simulate_link_subset([(2.0, 1.0)], 1, 1, 1, 1, policy)
                self.assertIsInstance(result[0], ClassResult)
                # The one call is carried; its estimate a t (1 - E) = 2 units
                # is more than the one-unit group holds, so it is the group.
                self.assertEqual(result, [(0.0, 1.0)])

    def test_one_link_approaches_erlang_b(self) -> None:
        blocking = moravel.simulate_link_subset([(5.0, 1.0)], 1, 10, 1, 100000,
                                                "max-free")[0].blocking
        self.assertAlmostEqual(blocking, moravel.erlang_b(10, 5.0), delta=0.006)


if __name__ == "__main__":
    unittest.main()
