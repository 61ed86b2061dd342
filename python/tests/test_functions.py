"""The binding's functions for people: results, result types, and the
arguments they refuse."""

from __future__ import annotations

import inspect
import math
import unittest

import moravel
from moravel import ClassResult, LossResult, WaitResult, raw
from support import bits, needs


class ScalarFormulas(unittest.TestCase):
    def test_values(self) -> None:
        cases = [
            (moravel.erlang_b, (1, 1.0), 0.5),
            (moravel.erlang_b, (2, 1.0), 0.2),
            (moravel.erlang_b, (5, 0.0), 0.0),
            (moravel.erlang_c, (1, 1.0), 1.0),
            (moravel.engset, (2, 1, 0.5), 0.5),
            (moravel.engset, (5, 3, 0.0), 0.0),
            (moravel.engset, (3, 5, 0.2), 0.0),
            (moravel.erlang_b_direct, (1, 1.0), 0.5),
            (moravel.erlang_b_direct, (0, 2.0), 1.0),
            (moravel.erlang_b_direct, (3, 0.0), 0.0),
            (moravel.erlang_b_ratio, (5, 3.0, 0), 1.0),
        ]
        for function, arguments, expected in cases:
            with self.subTest(function=function.__name__, arguments=arguments):
                self.assertEqual(function(*arguments), expected)

    def test_six_digit_values(self) -> None:
        cases = [
            (moravel.erlang_b, (10, 5.0), "0.0183846"),
            (moravel.erlang_b, (30, 20.0), "0.0084575"),
            (moravel.erlang_c, (10, 5.0), "0.0361054"),
            (moravel.erlang_c, (2, 1.0), "0.333333"),
            (moravel.erlang_c, (10, 10.0), "1"),
            (moravel.engset, (10, 5, 0.2), "0.0165659"),
            (moravel.erlang_b_direct, (13, 5.0), "0.00132178"),
            (moravel.erlang_b_direct, (34, 10.0), "1.53777e-09"),
            (moravel.erlang_b_ratio, (5, 3.0, 2), "0.317935"),
        ]
        for function, arguments, expected in cases:
            with self.subTest(function=function.__name__, arguments=arguments):
                self.assertEqual(f"{function(*arguments):.6g}", expected)

    def test_formulas_return_the_raw_double(self) -> None:
        self.assertEqual(bits(moravel.erlang_b(17, 9.25)), bits(raw.PalmTable(17, 9.25)))
        self.assertEqual(bits(moravel.erlang_b_ratio(5, 3.0, 5)), bits(raw.E(5, 3.0)))
        self.assertIs(type(moravel.erlang_b(3, 1)), float)

    def test_whole_number_traffic_is_accepted(self) -> None:
        self.assertEqual(moravel.erlang_b(1, 1), 0.5)


class SingleServiceModels(unittest.TestCase):
    def test_loss_models(self) -> None:
        cases = [
            (moravel.loss, (10, 5.0), (0.0183846, 4.90808)),
            (moravel.loss, (1, 1.0), (0.5, 0.5)),
            (moravel.loss, (5, 0.0), (0.0, 0.0)),
            (moravel.loss_finite, (10, 5, 0.2), (0.0165659, 1.97341)),
            (moravel.loss_finite, (2, 1, 0.5), (0.5, 0.666667)),
            (moravel.loss_assembled, (1.0, 1.0, 1.0, 5, 2), (0.0366972, 1.92661)),
            (moravel.loss_assembled, (2.0, 3.0, 1.5, 4, 3), (0.42865, 3.08529)),
            (moravel.loss_assembled, (2.0, 3.0, 1.5, 4, 0), (0.0, 0.0)),
        ]
        for function, arguments, expected in cases:
            with self.subTest(function=function.__name__, arguments=arguments):
                result = function(*arguments)
                self.assertIsInstance(result, LossResult)
                self.assertEqual(result, expected)

    def test_loss_fields(self) -> None:
        result = moravel.loss(10, 5.0)
        self.assertEqual((result.loss, result.carried), (0.0183846, 4.90808))
        self.assertEqual(LossResult._fields, ("loss", "carried"))

    def test_priority_classes(self) -> None:
        self.assertEqual(moravel.loss_priority(10, [5.0, 3.0]),
                         [(0.0183846, 4.90808), (0.293789, 2.11863)])
        result = moravel.loss_priority(10, (2, 3, 4))
        self.assertEqual(len(result), 3)
        self.assertTrue(all(isinstance(r, LossResult) for r in result))
        self.assertEqual([r.loss for r in result], [3.81902e-05, 0.0306155, 0.354937])
        self.assertEqual(moravel.loss_priority(10, [5.0, 0.0, 2.0])[1], (0.0, 0.0))

    def test_wait(self) -> None:
        cases = [
            ((10, 5.0, 1.0), (0.0361054, 0.000243276, 0.00722107, 0.2, 0.0361054)),
            ((10, 5.0, 0.0), (0.0361054, 0.0361054, 0.00722107, 0.2, 0.0361054)),
            ((2, 1.0, 2.0, 3.0), (0.333333, 0.171139, 1.0, 3.0, 0.333333)),
            ((30, 20.0, 60.0, 180.0), (0.0249505, 0.000890082, 0.449108, 18.0, 0.0499009)),
        ]
        for arguments, expected in cases:
            with self.subTest(arguments=arguments):
                result = moravel.wait(*arguments)
                self.assertIsInstance(result, WaitResult)
                self.assertEqual(result, expected)
        self.assertEqual(WaitResult._fields, ("wait", "wait_exceeds", "mean_wait",
                                              "mean_wait_waiting", "queue_length"))

    def test_holding_time_defaults_to_one(self) -> None:
        self.assertEqual(moravel.wait(10, 5.0, 1.0), moravel.wait(10, 5.0, 1.0, 1.0))


class RawExports(unittest.TestCase):
    def test_texts_as_written(self) -> None:
        self.assertEqual(raw.M_M_V_L_an(10, 5.0), "0.0183846 4.90808")
        self.assertEqual(raw.Mi_M_V_L_an(3, 4, 0.2), "-0 0.6")
        self.assertEqual(raw.M_M_V_L_PRA_an(2, 10, [5.0, 3.0]),
                         "0.0183846 4.90808 0.293789 2.11863 ")
        self.assertEqual(raw.M_M_V_W_FF_R_an(1.0, 1.0, 2, 2.0), "1 1 inf inf inf")
        self.assertEqual(raw.M_M_V_W_FF_R_an(1.0, 1.0, 1, 2.0), "2 5.43656 -2 -1 -4")

    def test_refusals_give_the_empty_text(self) -> None:
        self.assertEqual(raw.M_M_V_L_PRA_an(0, 10, []), "")
        self.assertEqual(raw.M_M_V_L_PRA_an(-1, 10, []), "")
        self.assertEqual(raw.M_M_V_L_PRA_an(0, 10, None), "")

    def test_out_of_range_values_pass_through(self) -> None:
        self.assertEqual(bits(raw.ErlangFormula2(0, 1.0)), bits(-0.0))
        self.assertTrue(math.isnan(raw.ErlangFormula2(0, 0.0)))
        self.assertEqual(raw.PalmTable(2**31 - 1, 1.0), 0.0)
        self.assertEqual(raw.E(-1, 2.0), math.inf)

    def test_arrays_shorter_than_their_count_are_refused(self) -> None:
        with self.assertRaisesRegex(ValueError, r"\ba\b.*fewer than 3"):
            raw.M_M_V_L_PRA_an(3, 10, [1.0, 2.0])
        with self.assertRaisesRegex(ValueError, r"\ba\b.*None"):
            raw.M_M_V_L_PRA_an(1, 10, None)
        with self.assertRaisesRegex(ValueError, r"\bt\b"):
            raw.VM_VMl_V_L_an([1.0, 1.0], 2, [1.0], 2, 2)

    def test_counts_must_fit_in_32_bits(self) -> None:
        with self.assertRaisesRegex(OverflowError, r"\bV\b"):
            raw.PalmTable(2**31, 1.0)
        with self.assertRaisesRegex(OverflowError, r"\bV\b"):
            raw.M_M_V_L_an(-(2**31) - 1, 1.0)
        with self.assertRaisesRegex(OverflowError, r"\bseed\b"):
            raw.M_M_V_L_im(1.0, 1, 1, 2**32)
        with self.assertRaisesRegex(OverflowError, r"\bseed\b"):
            raw.M_M_V_L_im(1.0, 1, 1, -1)

    def test_types(self) -> None:
        with self.assertRaises(TypeError):
            raw.PalmTable(1.5, 1.0)
        with self.assertRaises(TypeError):
            raw.PalmTable(True, 1.0)
        with self.assertRaises(TypeError):
            raw.PalmTable(1, "1.0")
        with self.assertRaises(TypeError):
            raw.VM_VMl_VDg_L_im([1.0], 1, [1.0], 1, 1, 1, 1, 7)
        with self.assertRaisesRegex(ValueError, "policy"):
            raw.VM_VMl_VDg_L_im([1.0], 1, [1.0], 1, 1, 1, 1, "a\0b")


class RefusedArguments(unittest.TestCase):
    """Input the library would answer with an empty text or numbers without
    meaning is refused, naming the argument."""

    CASES = [
        (moravel.erlang_b, (0, 1.0), ValueError, "servers"),
        (moravel.erlang_b, (2**31 - 1, 1.0), ValueError, "servers"),
        (moravel.erlang_b, (2**31, 1.0), OverflowError, "servers"),
        (moravel.erlang_b, (10, -1.0), ValueError, "traffic"),
        (moravel.erlang_b, (10, math.nan), ValueError, "traffic"),
        (moravel.erlang_b, (10, math.inf), ValueError, "traffic"),
        (moravel.erlang_c, (0, 1.0), ValueError, "servers"),
        (moravel.erlang_c, (10, 12.0), ValueError, "traffic"),
        (moravel.engset, (0, 1, 0.5), ValueError, "sources"),
        (moravel.engset, (5, 0, 0.3), ValueError, "servers"),
        (moravel.engset, (5, 3, 1.0), ValueError, "traffic_per_source"),
        (moravel.engset, (5, 3, -0.1), ValueError, "traffic_per_source"),
        (moravel.engset, (2**32, 3, 0.1), OverflowError, "sources"),
        (moravel.erlang_b_direct, (-1, 2.0), ValueError, "servers"),
        (moravel.erlang_b_direct, (171, 10.0), ValueError, "servers"),
        (moravel.erlang_b_direct, (170, 100.0), ValueError, "traffic"),
        (moravel.erlang_b_ratio, (5, 3.0, 6), ValueError, "fewer"),
        (moravel.erlang_b_ratio, (5, 3.0, -1), ValueError, "fewer"),
        (moravel.erlang_b_ratio, (3, 0.0, 1), ValueError, "traffic"),
        (moravel.loss, (0, 3.0), ValueError, "servers"),
        (moravel.loss, (10, -5.0), ValueError, "traffic"),
        (moravel.loss_finite, (5, 0, 0.3), ValueError, "servers"),
        (moravel.loss_finite, (5, 3, 1.0), ValueError, "traffic_per_source"),
        (moravel.loss_assembled, (0.0, 1.0, 1.0, 3, 2), ValueError, "x"),
        (moravel.loss_assembled, (1.0, 0.0, 0.0, 3, 2), ValueError, "y"),
        (moravel.loss_assembled, (1.0, 1.0, -1.0, 3, 2), ValueError, "z"),
        (moravel.loss_assembled, (1.0, 1.0, 1.0, 3, -2), ValueError, "n"),
        (moravel.loss_assembled, (1.0, 1e-300, 1e300, 3, 2), ValueError, "load"),
        (moravel.loss_priority, (10, []), ValueError, "traffics"),
        (moravel.loss_priority, (10, [1.0, -2.0]), ValueError, r"traffics\[1\]"),
        (moravel.loss_priority, (0, [1.0]), ValueError, "servers"),
        (moravel.loss_priority, (10, "12"), TypeError, "traffics"),
        (moravel.wait, (10, 10.0, 1.0), ValueError, "traffic"),
        (moravel.wait, (0, 1.0, 1.0), ValueError, "servers"),
        (moravel.wait, (10, 5.0, -1.0), ValueError, "threshold"),
        (moravel.wait, (10, 5.0, 1.0, 0.0), ValueError, "holding_time"),
        (moravel.simulate_loss, (0.0, 10, 100, 1), ValueError, "traffic"),
        (moravel.simulate_loss, (5.0, 0, 100, 1), ValueError, "servers"),
        (moravel.simulate_loss, (5.0, 10, 0, 1), ValueError, "calls"),
        (moravel.simulate_loss, (5.0, 10, 2**31, 1), OverflowError, "calls"),
        (moravel.simulate_loss, (5.0, 10, 100, 2**32), OverflowError, "seed"),
        (moravel.simulate_loss, (5.0, 10, 100, -1), OverflowError, "seed"),
        (moravel.simulate_wait, (10.0, 10, 100, 1.0), ValueError, "traffic"),
        (moravel.simulate_wait, (5.0, 10, 100, -1.0), ValueError, "threshold"),
        (moravel.link_group, ([], 2, 5), ValueError, "classes"),
        (moravel.link_group, ([(1.0, 1.0)], 0, 5), ValueError, "links"),
        (moravel.link_group, ([(1.0, 1.0)], 2, 0), ValueError, "units"),
        (moravel.link_group, ([(1.0, 1.0)], 2**16, 2**15), OverflowError, "links"),
        (moravel.link_group, ([(1.0, 0.0)], 2, 5), ValueError, r"classes\[0\] demand"),
        (moravel.link_group, ([(1.0, 1.0), (-1.0, 1.0)], 2, 5), ValueError,
         r"classes\[1\] traffic"),
        (moravel.link_group, ([(1.0, 1.0, 2.0)], 2, 5), TypeError, r"classes\[0\]"),
        (moravel.link_group, ([1.0], 2, 5), TypeError, r"classes\[0\]"),
        (moravel.link_subset, ([(1.0, 1.0)], 2, 5, 3), ValueError, "subset"),
        (moravel.link_subset, ([(1.0, 1.0)], 2, 5, 0), ValueError, "subset"),
        (moravel.simulate_link_subset, ([(1.0, 1.0)], 2, 5, 1, 100, "fastest"), ValueError,
         "policy"),
        (moravel.simulate_link_subset, ([(1.0, 1.0)], 2, 5, 1, 100, "МаксСвоб".encode()),
         TypeError, "policy"),
        (moravel.simulate_link_subset, ([(0.0, 1.0)], 2, 5, 1, 100, "max-free"), ValueError,
         "classes"),
        (moravel.simulate_link_subset, ([(1.0, 1.0)], 2, 5, 1, 0, "max-free"), ValueError,
         "calls"),
        (moravel.simulate_link_subset, ([(1.0, 1.0)], 40, 1, 20, 10, "max-free"), OverflowError,
         "subset"),
    ]

    def test_refused(self) -> None:
        for function, arguments, error, name in self.CASES:
            with self.subTest(function=function.__name__, arguments=arguments):
                with self.assertRaisesRegex(error, name):
                    function(*arguments)


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
        "simulate_link_subset": ["classes", "links", "units", "subset", "calls", "policy"],
    }

    def test_one_documented_function_per_export(self) -> None:
        for name, parameters in self.SIGNATURES.items():
            with self.subTest(function=name):
                function = getattr(moravel, name)
                self.assertEqual(list(inspect.signature(function).parameters), parameters)
                self.assertGreater(len(inspect.getdoc(function) or ""), 80)
                for parameter in parameters:
                    self.assertIn(parameter, function.__doc__)

    def test_every_export_is_reachable_raw(self) -> None:
        self.assertEqual(len(raw.__all__), 15)
        for name in raw.__all__:
            self.assertTrue(callable(getattr(raw, name)))
            self.assertIsInstance(moravel.has_export(name), bool)
        with self.assertRaises(KeyError):
            moravel.has_export("printf")

    def test_the_ten_present_exports_are_found(self) -> None:
        for name in ("PalmTable", "ErlangFormula2", "EngsetTable", "E", "Hi", "M_M_V_L_an",
                     "Mi_M_V_L_an", "M_G_V_L_an", "M_M_V_L_PRA_an", "M_M_V_W_FF_R_an"):
            self.assertIn(name, moravel.exports())

    @unittest.skipIf(moravel.has_export("M_M_V_L_im"), "M_M_V_L_im is present")
    def test_a_missing_export_raises_missing_export_error(self) -> None:
        with self.assertRaisesRegex(moravel.MissingExportError, "M_M_V_L_im"):
            moravel.simulate_loss(5.0, 10, 100, 1)
        self.assertTrue(issubclass(moravel.MissingExportError, NotImplementedError))


@needs("M_M_V_L_im")
class LossSimulation(unittest.TestCase):
    def test_a_seed_repeats_the_run(self) -> None:
        first = moravel.simulate_loss(5.0, 10, 5000, 12345)
        self.assertIsInstance(first, LossResult)
        self.assertEqual(moravel.simulate_loss(5.0, 10, 5000, 12345), first)
        self.assertEqual(raw.M_M_V_L_im(5.0, 10, 5000, 12345),
                         f"{first.loss:.6g} {first.carried:.6g}")

    def test_one_call_is_carried(self) -> None:
        self.assertEqual(moravel.simulate_loss(5.0, 10, 1, 7), (0.0, 5.0))

    def test_estimate_approaches_erlang_b(self) -> None:
        estimate = moravel.simulate_loss(5.0, 10, 200000, 99).loss
        self.assertAlmostEqual(estimate, moravel.erlang_b(10, 5.0), delta=0.004)

    def test_clock_seed_is_the_default(self) -> None:
        self.assertEqual(len(moravel.simulate_loss(5.0, 10, 1000)), 2)


@needs("M_M_V_W_FF_R_im")
class WaitingSimulation(unittest.TestCase):
    def test_a_seed_repeats_the_run(self) -> None:
        first = moravel.simulate_wait(5.0, 10, 5000, 0.5, 4242)
        self.assertIsInstance(first, WaitResult)
        self.assertEqual(moravel.simulate_wait(5.0, 10, 5000, 0.5, 4242), first)

    def test_one_call_does_not_wait(self) -> None:
        self.assertEqual(moravel.simulate_wait(5.0, 10, 1, 1.0, 3), (0.0, 0.0, 0.0, 0.2, 0.0))

    def test_zero_threshold_repeats_the_probability_of_waiting(self) -> None:
        result = moravel.simulate_wait(8.0, 10, 50000, 0.0, 5)
        self.assertEqual(result.wait_exceeds, result.wait)
        self.assertAlmostEqual(result.wait, moravel.erlang_c(10, 8.0), delta=0.06)


@needs("VM_VMl_V_L_an")
class LinkGroup(unittest.TestCase):
    def test_two_classes_on_two_links(self) -> None:
        result = moravel.link_group([(2.0, 1.0), (1.0, 2.0)], 2, 5)
        self.assertTrue(all(isinstance(r, ClassResult) for r in result))
        self.assertEqual(ClassResult._fields, ("blocking", "carried"))
        self.assertEqual(result, [(0.0101235, 1.97975), (0.047202, 1.9056)])

    def test_one_link_one_class_is_erlang_b(self) -> None:
        [(blocking, carried)] = moravel.link_group([(5.0, 1.0)], 1, 10)
        self.assertAlmostEqual(blocking, moravel.erlang_b(10, 5.0), delta=1e-7)
        self.assertAlmostEqual(carried, 5.0 * (1.0 - moravel.erlang_b(10, 5.0)), delta=1e-5)

    def test_demand_beyond_a_link_is_blocked(self) -> None:
        blocking, carried = moravel.link_group([(1.0, 6.0)], 2, 5)[0]
        self.assertAlmostEqual(blocking, 1.0, places=5)
        self.assertAlmostEqual(carried, 0.0, places=5)


@needs("VM_VMl_VDg_L_an")
class LinkSubset(unittest.TestCase):
    def test_one_link_subsets(self) -> None:
        self.assertEqual(moravel.link_subset([(2.0, 1.0), (1.0, 2.0)], 2, 5, 1),
                         [(0.0930953, 1.81381), (0.20808, 1.58384)])

    def test_whole_group_as_subset_matches_the_link_group(self) -> None:
        classes = [(3.0, 1.0), (1.0, 2.0)]
        subset = [r.blocking for r in moravel.link_subset(classes, 3, 4, 3)]
        group = [r.blocking for r in moravel.link_group(classes, 3, 4)]
        for s, g in zip(subset, group):
            self.assertAlmostEqual(s, g, delta=2e-6)
        self.assertEqual([round(r.blocking, 6) for r in moravel.link_subset(classes, 3, 4, 2)],
                         [0.024053, 0.096541])

    def test_demand_beyond_a_link_is_blocked_exactly(self) -> None:
        self.assertEqual(moravel.link_subset([(1.0, 6.0)], 2, 5, 1), [(1.0, 0.0)])


@needs("VM_VMl_VDg_L_im")
class LinkSubsetSimulation(unittest.TestCase):
    def test_every_policy_name(self) -> None:
        for policy in moravel.POLICIES:
            with self.subTest(policy=policy):
                result = moravel.simulate_link_subset([(2.0, 1.0), (1.0, 2.0)], 2, 5, 1,
                                                      2000, policy)
                self.assertEqual(len(result), 2)
                for r in result:
                    self.assertIsInstance(r, ClassResult)
                    self.assertTrue(0.0 <= r.blocking <= 1.0)

    def test_one_call_on_a_free_link(self) -> None:
        self.assertEqual(moravel.simulate_link_subset([(2.0, 1.0)], 1, 1, 1, 1, "max-free"),
                         [(0.0, 2.0)])

    def test_demand_beyond_a_link_is_always_lost(self) -> None:
        result = moravel.simulate_link_subset([(1.0, 1.0), (1.0, 6.0)], 2, 5, 2, 500,
                                              "min-free")
        self.assertEqual(result[1], (1.0, 0.0))

    def test_one_link_approaches_erlang_b(self) -> None:
        blocking = moravel.simulate_link_subset([(5.0, 1.0)], 1, 10, 1, 100000,
                                                "max-free")[0].blocking
        self.assertAlmostEqual(blocking, moravel.erlang_b(10, 5.0), delta=0.006)


if __name__ == "__main__":
    unittest.main()
