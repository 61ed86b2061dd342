"""moravel.study: sweeps, replications and dimensioning give the same rows,
bit for bit, in the calling process and on process pools of one and two
workers; bad input is refused before any work is sent; a failing task names
its point and stops the rest.  (study_dask.py runs the same studies on a
two-worker Dask cluster.)"""

from __future__ import annotations

import concurrent.futures
import math
import os
import statistics
import subprocess
import sys
import tempfile
import unittest

import moravel
from moravel import study

from study_support import (PublicOnly, Recording, Refusing, Scrambled, bits,
                           readme_example, studies)


class Determinism(unittest.TestCase):
    @classmethod
    def setUpClass(cls) -> None:
        cls.in_process = studies(None)

    def test_a_process_pool_of_one_worker(self) -> None:
        with concurrent.futures.ProcessPoolExecutor(1) as pool:
            self.assertEqual(studies(pool), self.in_process)

    def test_a_process_pool_of_two_workers(self) -> None:
        with concurrent.futures.ProcessPoolExecutor(2) as pool:
            self.assertEqual(studies(pool), self.in_process)

    def test_a_thread_pool_seen_only_through_its_public_interface(self) -> None:
        executor = PublicOnly()
        try:
            self.assertEqual(studies(executor), self.in_process)
        finally:
            executor.shutdown()

    def test_workers_finishing_in_any_order(self) -> None:
        executor = Scrambled()
        try:
            self.assertEqual(studies(executor), self.in_process)
        finally:
            executor.shutdown()

    def test_chunks_of_one_point(self) -> None:
        with concurrent.futures.ThreadPoolExecutor(3) as pool:
            rows = study.sweep("erlang_b", {"servers": [1, 5, 30, 200],
                                            "traffic": [0.5, 3.0, 24.0, 180.0]},
                               pool, chunk_size=1)
        self.assertEqual(bits(rows), self.in_process["erlang_b"])


class Sweep(unittest.TestCase):
    def test_the_first_argument_varies_slowest(self) -> None:
        self.assertEqual(study.points({"servers": [10, 20], "traffic": [1.0, 2.0, 3.0]}),
                         [{"servers": 10, "traffic": 1.0}, {"servers": 10, "traffic": 2.0},
                          {"servers": 10, "traffic": 3.0}, {"servers": 20, "traffic": 1.0},
                          {"servers": 20, "traffic": 2.0}, {"servers": 20, "traffic": 3.0}])

    def test_rows_are_the_binding_calls(self) -> None:
        rows = study.sweep(moravel.erlang_b, {"traffic": [2.0, 9.5], "servers": [3, 12]})
        for row in rows:
            self.assertEqual(bits(row.result), bits(moravel.erlang_b(**row.point)))
        self.assertEqual([row.point for row in rows],
                         study.points({"traffic": [2.0, 9.5], "servers": [3, 12]}))

    def test_fixed_arguments_and_per_class_results(self) -> None:
        classes = [(4.0, 1.0), (1.0, 3.0)]
        rows = study.sweep("link_subset", {"links": [2, 3], "subset": [1, 2]},
                           fixed={"classes": classes, "units": 4})
        for row in rows:
            self.assertEqual(row.result, moravel.link_subset(**row.point))
            self.assertIs(row.point["classes"], classes)

    def test_point_seeds_count_up_from_the_base_seed(self) -> None:
        rows = study.sweep("simulate_loss", {"traffic": [3.0, 4.0, 5.0]}, seed=4294967294,
                           fixed={"servers": 5, "calls": 500})
        self.assertEqual([row.point["seed"] for row in rows], [4294967294, 4294967295, 1])
        for row in rows:
            self.assertEqual(row.result, moravel.simulate_loss(**row.point))

    def test_clock_seeds_only_when_asked(self) -> None:
        rows = study.sweep("simulate_loss", {"seed": [0, 0]}, clock_seeds=True,
                           fixed={"traffic": 5.0, "servers": 5, "calls": 200})
        self.assertEqual(len(rows), 2)


class Seeds(unittest.TestCase):
    def test_the_rule(self) -> None:
        self.assertEqual(study.seeds(4), [1, 2, 3, 4])
        self.assertEqual(study.seeds(3, 1000), [1000, 1001, 1002])
        self.assertEqual(study.seeds(3, 2**32 - 2), [2**32 - 2, 2**32 - 1, 1])
        self.assertNotIn(0, study.seeds(2**16, 2**32 - 2**15))

    def test_base_zero_is_refused(self) -> None:
        with self.assertRaisesRegex(ValueError, "^base must be from 1"):
            study.seeds(3, 0)


class StudentT(unittest.TestCase):
    # Two-sided 95% quantiles to 30 digits (mpmath, findroot on betainc).
    QUANTILES = {
        1: 12.7062047361747046460216799788, 2: 4.30265272974946385232094389262,
        3: 3.18244630528370959272322542578, 4: 2.77644510519779435780310484675,
        9: 2.26215716279820554260776963794, 10: 2.2281388519862747483954906632,
        29: 2.04522964213270429819377222151, 49: 2.00957523712923967225979286491,
        100: 1.98397151852355228659518486799, 1000: 1.9623390808264084849985804367,
        100000: 1.95998770753460963859188298634,
    }

    def test_quantiles(self) -> None:
        for dof, expected in self.QUANTILES.items():
            self.assertAlmostEqual(study.student_t(dof) / expected, 1.0,
                                   delta=1e-12 if dof <= 1000 else 1e-10, msg=dof)

    def test_closed_forms(self) -> None:
        self.assertAlmostEqual(study.student_t(1, 0.9), math.tan(0.45 * math.pi), delta=1e-11)
        self.assertAlmostEqual(study.student_t(2, 0.99),
                               0.99 / math.sqrt(2 * 0.995 * 0.005), delta=1e-11)

    def test_tends_to_the_normal(self) -> None:
        self.assertAlmostEqual(study.student_t(10**7), statistics.NormalDist().inv_cdf(0.975),
                               delta=1e-6)


class Replicate(unittest.TestCase):
    def test_estimates_from_the_runs(self) -> None:
        replication = study.replicate(moravel.simulate_loss,
                                      {"traffic": 8.0, "servers": 10, "calls": 4000}, 5,
                                      base_seed=20)
        self.assertEqual(replication.seeds, (20, 21, 22, 23, 24))
        for seed, run in zip(replication.seeds, replication.runs):
            self.assertEqual(run, moravel.simulate_loss(8.0, 10, 4000, seed))
        analytic = moravel.loss(10, 8.0)
        for field, estimate in zip(analytic._fields, replication.estimates):
            values = [getattr(run, field) for run in replication.runs]
            self.assertAlmostEqual(estimate.mean, statistics.fmean(values), delta=1e-15)
            error = statistics.stdev(values) / math.sqrt(5)
            self.assertAlmostEqual(estimate.standard_error, error, delta=1e-15)
            self.assertAlmostEqual(estimate.ci_high - estimate.mean, 2.7764451051977944 * error,
                                   delta=1e-15)
            self.assertEqual(estimate.analytic, getattr(analytic, field))
        self.assertIsInstance(replication.estimates, moravel.LossResult)

    def test_the_analytic_twin_lies_inside_the_interval(self) -> None:
        estimates = study.replicate("simulate_loss",
                                    {"traffic": 12.0, "servers": 15, "calls": 20000}, 30,
                                    base_seed=1).estimates
        self.assertTrue(estimates.loss.inside, estimates.loss)

    def test_explicit_seeds(self) -> None:
        replication = study.replicate("simulate_loss", {"traffic": 3.0, "servers": 4,
                                                        "calls": 500}, [9, 4, 2**32 - 1])
        self.assertEqual(replication.seeds, (9, 4, 2**32 - 1))
        self.assertEqual(replication.runs[2], moravel.simulate_loss(3.0, 4, 500, 2**32 - 1))

    def test_the_seeded_link_subset_simulation(self) -> None:
        arguments = {"classes": [(3.0, 1.0), (1.0, 2.0)], "links": 3, "units": 3,
                     "subset": 2, "calls": 3000, "policy": "first-free"}
        with concurrent.futures.ProcessPoolExecutor(2) as pool:
            replication = study.replicate("simulate_link_subset", arguments, 4, pool,
                                          base_seed=9)
        self.assertEqual(replication.seeds, (9, 10, 11, 12))
        self.assertEqual(replication.runs[3],
                         moravel.simulate_link_subset(**arguments, seed=12))
        self.assertEqual(len(replication.estimates), 2)
        for one in replication.estimates:
            self.assertIsInstance(one, moravel.ClassResult)
            self.assertLessEqual(one.blocking.ci_low, one.blocking.mean)
            self.assertIsNotNone(one.blocking.analytic)

    def test_statistics_of_given_runs(self) -> None:
        runs = [moravel.LossResult(0.1, 5.0), moravel.LossResult(0.3, 4.0),
                moravel.LossResult(0.2, 6.0)]
        estimates = study._estimates(runs, moravel.LossResult(0.25, 4.5), [True, False])
        self.assertAlmostEqual(estimates.loss.mean, 0.2, delta=1e-16)
        self.assertAlmostEqual(estimates.loss.standard_error, 0.1 / math.sqrt(3), delta=1e-16)
        self.assertEqual(estimates.carried.mean, 5.0)
        self.assertTrue(estimates.loss.inside)

    def test_the_interval_of_a_probability_stays_in_zero_one(self) -> None:
        runs = [moravel.LossResult(0.0, 5.0), moravel.LossResult(0.0, 4.0),
                moravel.LossResult(0.001, 0.001)]
        estimates = study._estimates(runs, None, [True, False])
        self.assertEqual(estimates.loss.ci_low, 0.0)
        self.assertLess(estimates.carried.ci_low, 0.0)


def worst(result) -> float:
    """The blocking figure a search reads: the first number of the result,
    the worst class's for several classes."""
    if isinstance(result, float):
        return result
    if isinstance(result, list):
        return max(one[0] for one in result)
    return result[0]


class Dimension(unittest.TestCase):
    def test_the_least_number_of_servers(self) -> None:
        routes = [{"traffic": 0.1 * i * i} for i in range(1, 60)]
        for target in (0.5, 0.01, 1e-6):
            for route, found in zip(routes, study.dimension("erlang_b", target, routes)):
                self.assertLessEqual(moravel.erlang_b(found.size, **route), target)
                self.assertEqual(found.blocking, moravel.erlang_b(found.size, **route))
                if found.size > 1:
                    self.assertGreater(moravel.erlang_b(found.size - 1, **route), target)

    def test_one_route_gives_one_answer(self) -> None:
        self.assertEqual(study.dimension("loss", 0.01, {"traffic": 5.0}),
                         study.Dimensioning(11, 0.008287368467342978))

    def test_the_solvers_answer_as_the_models(self) -> None:
        classes = [(2.0, 1.0), (1.0, 2.0)]
        cases = [
            ("engset", {"sources": 30, "traffic_per_source": 0.2}),
            ("loss_finite", {"sources": 30, "traffic_per_source": 0.2}),
            ("loss_assembled", {"x": 2.0, "y": 3.0, "z": 1.5, "n": 20}),
            ("erlang_c", {"traffic": 7.5}),
            ("wait", {"traffic": 7.5, "threshold": 3.0, "holding_time": 2.0}),
            ("link_group", {"classes": classes, "units": 5}),
            ("link_subset", {"classes": classes, "units": 5, "subset": 2}),
        ]
        for name, route in cases:
            with self.subTest(model=name):
                found = study.dimension(name, 0.01, route)
                size = study._MODELS[name].size
                model = getattr(moravel, name)
                figure = worst(model(**route, **{size: found.size}))
                self.assertEqual(found.blocking, figure)
                self.assertLessEqual(figure, 0.01)
                smaller = dict(route, **{size: found.size - 1})
                try:
                    self.assertGreater(worst(model(**smaller)), 0.01)
                except ValueError:
                    pass  # one fewer is below what the model accepts

    def test_waiting_starts_above_the_traffic(self) -> None:
        found = study.dimension("wait", 0.2, {"traffic": 7.5, "threshold": 0.0,
                                                "holding_time": 1.0})
        self.assertGreater(moravel.wait(found.size - 1, 7.5, 0.0, 1.0).wait, 0.2)
        self.assertEqual(study.dimension("erlang_c", 0.999, {"traffic": 7.5}).size, 8)

    def test_every_class_meets_the_target(self) -> None:
        found = study.dimension("loss_priority", 0.01, {"traffics": [5.0, 3.0]})
        self.assertLessEqual(max(r.loss for r in moravel.loss_priority(found.size, [5.0, 3.0])),
                             0.01)
        self.assertGreater(moravel.loss_priority(found.size - 1, [5.0, 3.0])[1].loss, 0.01)

    def test_a_target_out_of_reach(self) -> None:
        with self.assertRaises(study.StudyError) as caught:
            study.dimension("erlang_b", 1e-9, [{"traffic": 1.0}, {"traffic": 900.0}],
                            maximum=1000)
        self.assertEqual(caught.exception.index, 1)
        self.assertIn("maximum = 1000", str(caught.exception))


@unittest.skipUnless(os.environ.get("MORAVEL_TOOL"), "run through ctest (needs the tool)")
class SameFiguresAsTheTool(unittest.TestCase):
    """`moravel compare` and study.replicate estimate the same replications
    with the same library calls: the same seeds, and the same bits of every
    mean, standard error and interval end."""

    CASES = [
        (["loss", "-V", "10", "-A", "7"], "simulate_loss",
         {"traffic": 7.0, "servers": 10}),
        (["wait", "-V", "10", "-A", "7", "-t", "0.5", "--holding-time", "1"], "simulate_wait",
         {"traffic": 7.0, "servers": 10, "threshold": 0.5}),
        (["link-subset", "-k", "3", "-f", "2", "-g", "2", "--class", "1.5:1", "--class", "0.5:2"],
         "simulate_link_subset",
         {"classes": [(1.5, 1.0), (0.5, 2.0)], "links": 3, "units": 2, "subset": 2,
          "policy": "max-free"}),
    ]

    def test_bit_for_bit(self) -> None:
        for model, simulation, arguments in self.CASES:
            with self.subTest(model=model[0]):
                text = subprocess.run(
                    [os.environ["MORAVEL_TOOL"], "compare", "--format", "csv", "--calls", "3000",
                     "--replications", "5", "--first-seed", "4294967294"] + model,
                    check=True, capture_output=True, text=True).stdout.splitlines()
                header = text[0].split(",")
                rows = [dict(zip(header, line.split(","))) for line in text[1:]]
                replication = study.replicate(simulation, dict(arguments, calls=3000), 5,
                                              base_seed=4294967294)
                self.assertEqual(replication.seeds, (4294967294, 4294967295, 1, 2, 3))
                estimates = replication.estimates
                if not isinstance(estimates, list):
                    estimates = [estimates]
                compared = 0
                for row in rows:
                    one = estimates[int(row.get("class", 0))]
                    name = {"wait_probability": "wait"}.get(row["figure"], row["figure"])
                    estimate = getattr(one, name)
                    for column, value in [("mean", estimate.mean),
                                          ("standard_error", estimate.standard_error),
                                          ("ci_low", estimate.ci_low),
                                          ("ci_high", estimate.ci_high)]:
                        self.assertEqual(float(row[column]).hex(), value.hex(),
                                         (row["figure"], column))
                    compared += 1
                self.assertGreater(compared, 0)


class SweepSolvers(unittest.TestCase):
    """The solvers `moravel sweep servers|traffic|agents` sweeps are swept
    here too, and give what a call gives."""

    def test_each_solver(self) -> None:
        cases = [
            ("erlang_b_servers", {"traffic": [1.0, 5.0]}, {"target": 0.01}),
            ("engset_servers", {"sources": [10, 20]}, {"traffic_per_source": 0.1, "target": 0.01}),
            ("erlang_b_traffic", {"servers": [10, 20]}, {"target": 0.01}),
            ("engset_traffic", {"servers": [3, 4]}, {"sources": 10, "target": 0.01}),
            ("agents_for_service_level", {"traffic": [10.0, 20.0]},
             {"handling_time": 180.0, "answer_time": 20.0, "target": 0.8}),
            ("agents_for_mean_wait", {"traffic": [10.0]},
             {"handling_time": 180.0, "answer_time": 20.0, "target_wait": 15.0}),
            ("agents_for_wait_probability", {"traffic": [10.0]},
             {"handling_time": 180.0, "answer_time": 20.0, "target": 0.2}),
            ("link_group_links", {"units": [5, 10]}, {"classes": [(2.0, 1.0)], "target": 0.01}),
        ]
        for name, grid, fixed in cases:
            with self.subTest(model=name):
                rows = study.sweep(name, grid, fixed=fixed)
                for row in rows:
                    self.assertEqual(row.result, getattr(moravel, name)(**row.point))
        with self.assertRaisesRegex(ValueError, "dimension needs an analytic model"):
            study.dimension("erlang_b_servers", 0.01, {"traffic": 1.0})


class ProbabilityRule(unittest.TestCase):
    """The rule a model value meets to be read as a probability is the
    library's (moravel_check_probability), with its tolerance above 1."""

    def test_the_library_rule(self) -> None:
        for value, sound in [(0.0, True), (-0.0, True), (1.0, True), (1.0 + 1e-9, True),
                             (1.0 + 1.001e-9, False), (-1e-300, False), (math.nan, False),
                             (math.inf, False)]:
            self.assertIs(study._is_probability(value), sound, value)

    def test_a_search_the_model_cannot_finish_names_the_route(self) -> None:
        with self.assertRaises(study.StudyError) as caught:
            study.dimension("erlang_b_direct", 1e-3, [{"traffic": 5.0}, {"traffic": 200.0}])
        self.assertEqual(caught.exception.index, 1)
        cause = caught.exception.__cause__
        self.assertIsInstance(cause, moravel.MoravelError)
        self.assertEqual(cause.message, moravel.status_message(cause.status))
        self.assertEqual(cause.message, "the result leaves the range of a double")


class BadInput(unittest.TestCase):
    """Every refusal names the argument and comes before any work is sent."""

    CASES = [
        (lambda e: study.sweep("loss", {}, e), ValueError, "^grid is empty"),
        (lambda e: study.sweep("loss", [], e), ValueError, "^grid is empty"),
        (lambda e: study.sweep("loss", {"servers": [], "traffic": [1.0]}, e), ValueError,
         r"^grid\['servers'\] is empty"),
        (lambda e: study.sweep("loss", {"servers": [1], "trafic": [1.0]}, e), ValueError,
         "^grid: loss has no argument 'trafic'"),
        (lambda e: study.sweep("loss", [{"servers": 1, "traffic": 1.0}, {"servers": 2}], e),
         ValueError, r"^grid\[1\]: loss needs the argument 'traffic'"),
        (lambda e: study.sweep("loss", {"servers": [1]}, e, fixed={"traffik": 2.0}),
         ValueError, "^fixed: loss has no argument 'traffik'"),
        (lambda e: study.sweep("loss", {"servers": [1], "traffic": [1.0]}, e,
                               fixed={"servers": 2}), ValueError, "^fixed: 'servers'"),
        (lambda e: study.sweep("losses", {"servers": [1]}, e), ValueError, "^model must be"),
        (lambda e: study.sweep(print, {"servers": [1]}, e), ValueError, "^model must be"),
        (lambda e: study.sweep("loss", {"servers": "12"}, e), TypeError,
         r"^grid\['servers'\] must be a sequence"),
        (lambda e: study.sweep("simulate_loss", {"traffic": [1.0]}, e,
                               fixed={"servers": 2, "calls": 10}), ValueError,
         "^seed: simulate_loss needs a seed"),
        (lambda e: study.sweep("simulate_loss", {"traffic": [1.0], "seed": [3, 0]}, e,
                               fixed={"servers": 2, "calls": 10}), ValueError,
         "^seed of grid point 1 is 0"),
        (lambda e: study.sweep("simulate_loss", {"traffic": [1.0], "seed": [3]}, e, seed=5,
                               fixed={"servers": 2, "calls": 10}), ValueError,
         "^seed: the grid already gives"),
        (lambda e: study.sweep("simulate_loss", {"traffic": [1.0]}, e, seed=0,
                               fixed={"servers": 2, "calls": 10}), ValueError,
         "^seed must be from 1"),
        (lambda e: study.sweep("loss", {"servers": [1], "traffic": [1.0]}, e, seed=3),
         ValueError, "^seed: loss takes no seed"),
        (lambda e: study.sweep("loss", {"servers": [1], "traffic": [1.0]}, e, chunk_size=0),
         ValueError, "^chunk_size must be at least 1"),
        (lambda e: study.replicate("loss", {"servers": 1, "traffic": 1.0}, 3, e), ValueError,
         "^sim must be a simulation"),
        (lambda e: study.replicate("simulate_loss", {"traffic": 1.0, "servers": 2,
                                                     "calls": 9}, [4, 0, 5], e),
         ValueError, r"^seeds\[1\] is 0"),
        (lambda e: study.replicate("simulate_loss", {"traffic": 1.0, "servers": 2,
                                                     "calls": 9}, [4, 5, 4], e),
         ValueError, "^seeds holds 4 twice"),
        (lambda e: study.replicate("simulate_loss", {"traffic": 1.0, "servers": 2,
                                                     "calls": 9}, 1, e),
         ValueError, "^seeds must ask for at least 2 runs"),
        (lambda e: study.replicate("simulate_loss", {"traffic": 1.0, "servers": 2,
                                                     "calls": 9}, 5, e, base_seed=0),
         ValueError, "^base_seed must be from 1"),
        (lambda e: study.replicate("simulate_loss", {"traffic": 1.0, "servers": 2,
                                                     "calls": 9, "seed": 4}, 5, e),
         ValueError, "^args: give the seeds through `seeds`"),
        (lambda e: study.replicate("simulate_loss", [{"traffic": 1.0, "servers": 2}], 5, e),
         ValueError, r"^args\[0\]: simulate_loss needs the argument 'calls'"),
        (lambda e: study.replicate("simulate_link_subset", {
            "classes": [(1.0, 1.0)], "links": 2, "units": 2, "subset": 1, "calls": 10,
            "policy": "max-free"}, [1, 1], e), ValueError, "^seeds holds 1 twice"),
        (lambda e: study.dimension("erlang_b", 0.0, {"traffic": 1.0}, e), ValueError,
         "^target must be above 0 and below 1, got 0.0"),
        (lambda e: study.dimension("erlang_b", 1.0, {"traffic": 1.0}, e), ValueError,
         "^target must be above 0 and below 1"),
        (lambda e: study.dimension("erlang_b", -0.5, {"traffic": 1.0}, e), ValueError,
         "^target must be above 0 and below 1"),
        (lambda e: study.dimension("erlang_b", math.nan, {"traffic": 1.0}, e), ValueError,
         "^target must be above 0 and below 1"),
        (lambda e: study.dimension("erlang_b", 0.01, [], e), ValueError, "^routes is empty"),
        (lambda e: study.dimension("erlang_b", 0.01, {"traffic": 1.0, "servers": 3}, e),
         ValueError, "^routes gives 'servers'"),
        (lambda e: study.dimension("erlang_b", 0.01, [{"traffic": 1.0}, {"trafic": 1.0}], e),
         ValueError, r"^routes\[1\]: erlang_b has no argument 'trafic'"),
        (lambda e: study.dimension("simulate_loss", 0.01, {"traffic": 1.0}, e), ValueError,
         "^model: dimension needs an analytic model.*simulate_loss; dimension its analytic "
         "twin loss"),
        (lambda e: study.dimension("erlang_b_ratio", 0.01, {"traffic": 1.0}, e), ValueError,
         "^model: dimension needs"),
        (lambda e: study.dimension("erlang_b", 0.01, {"traffic": 1.0}, e, maximum=0),
         ValueError, "^maximum must be from 1"),
    ]

    def test_refused_before_any_work_is_sent(self) -> None:
        executor = Refusing()
        for index, (run, error, message) in enumerate(self.CASES):
            with self.subTest(case=index, message=message):
                with self.assertRaisesRegex(error, message):
                    run(executor)

    def test_an_executor_must_be_an_executor(self) -> None:
        with self.assertRaisesRegex(TypeError, "^executor must be"):
            study.sweep("loss", {"servers": [1], "traffic": [1.0]}, executor=4)


class FailingTask(unittest.TestCase):
    def test_the_error_names_the_point_and_the_rest_is_cancelled(self) -> None:
        grid = [{"servers": 10, "traffic": 5.0}, {"servers": 0, "traffic": 5.0}] + \
               [{"servers": 10, "traffic": float(i)} for i in range(1, 40)]
        executor = Recording()
        try:
            with self.assertRaises(study.StudyError) as caught:
                study.sweep("loss", grid, executor, chunk_size=1)
        finally:
            executor.shutdown()
        error = caught.exception
        self.assertEqual(error.index, 1)
        self.assertEqual(error.point, {"servers": 0, "traffic": 5.0})
        self.assertIsInstance(error.__cause__, ValueError)
        self.assertIsInstance(error.__cause__, moravel.ArgumentError)
        self.assertEqual(str(error), "loss at grid point 1 {servers=0, traffic=5.0}: "
                                     "ArgumentError: loss(servers=0, traffic=5.0): "
                                     "servers must be at least 1")
        self.assertGreater(sum(future.cancelled() for future in executor.futures), 30)

    def test_in_a_worker_process(self) -> None:
        with concurrent.futures.ProcessPoolExecutor(2) as pool:
            with self.assertRaisesRegex(study.StudyError,
                                        r"^wait at grid point 3 \{servers=3, traffic=3.0, "
                                        r"threshold=1.0, holding_time=1.0\}: ArgumentError: "
                                        r"wait\(.*\): traffic must be below the number of "
                                        r"servers$"):
                study.sweep("wait", {"servers": [3], "traffic": [0.5, 1.0, 2.5, 3.0, 1.5, 0.0]},
                            pool, fixed={"threshold": 1.0, "holding_time": 1.0})

    def test_in_the_calling_process(self) -> None:
        with self.assertRaisesRegex(study.StudyError, r"^dimension of erlang_b for route "
                                    r"\{traffic=-1.0\}: ArgumentError: erlang_b_servers\(.*\): "
                                    r"traffic must be finite and not negative$"):
            study.dimension("erlang_b", 0.01, {"traffic": -1.0})


class ReadmeExample(unittest.TestCase):
    def test_runs_as_shown(self) -> None:
        source, command, output = readme_example("blocking_study.py")
        self.assertEqual(command, "python3 blocking_study.py")
        with tempfile.TemporaryDirectory(prefix="moravel-study-") as directory:
            with open(os.path.join(directory, "blocking_study.py"), "w",
                      encoding="utf-8") as out:
                out.write(source)
            result = subprocess.run([sys.executable, "blocking_study.py"], cwd=directory,
                                    capture_output=True, text=True, timeout=120)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(result.stdout, output)


if __name__ == "__main__":
    unittest.main()
