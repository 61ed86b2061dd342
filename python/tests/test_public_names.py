"""The package's public names: every function the library's description
shows in Python is reachable from ``moravel`` and listed in its __all__,
whether a module writes it by hand or it is made from the description; an
entry point newly described is reached with no edit of the package."""

from __future__ import annotations

import copy
import struct
import subprocess
import sys
import unittest

import moravel
from moravel import _described, _library, _results


def described_names() -> list:
    """The package-level names the description shows in Python."""
    return sorted({name for entry in moravel.description()["entry_points"]
                   for name in entry["hosts"]["python"].get("shows", ()) if "." not in name})


class PublicNames(unittest.TestCase):
    def test_all_lists_every_described_function_and_result(self) -> None:
        public = set(moravel.__all__)
        self.assertLessEqual(set(described_names()), public)
        self.assertLessEqual(set(_results.SOURCES), public)
        self.assertEqual(len(moravel.__all__), len(public), "a name listed twice")

    def test_each_is_reachable(self) -> None:
        for name in moravel.__all__ + ["status_message", "DIRECT_FORM_MAX_SERVERS",
                                       "__version__"]:
            with self.subTest(name=name):
                self.assertIsNotNone(getattr(moravel, name))
        with self.assertRaises(AttributeError):
            moravel.NoSuchName  # pylint: disable=pointless-statement

    def test_star_import(self) -> None:
        names = {}
        exec("from moravel import *", names)  # pylint: disable=exec-used
        self.assertLessEqual(set(moravel.__all__), set(names))

    def test_functions_no_module_writes_are_made_from_the_description(self) -> None:
        made = _described.names(set(moravel._OWN))  # pylint: disable=protected-access
        self.assertEqual(sorted(made), ["agents_for_mean_wait", "agents_for_wait_probability",
                                        "engset_servers", "engset_traffic", "erlang_b_direct",
                                        "erlang_b_ratio", "loss_assembled_servers",
                                        "offered_traffic"])
        for name in made:
            with self.subTest(name=name):
                self.assertIs(getattr(moravel, name), _described.function(name))
                self.assertIn("the library's moravel_", getattr(moravel, name).__doc__)


class DocumentedFunctions(unittest.TestCase):
    """The functions written for their documentation call through the made
    ones: a sequence is broadcast for any of them, the simulations too."""

    def test_simulations_run_once_per_point(self) -> None:
        bits = lambda x: struct.pack("<d", x)  # noqa: E731
        runs = moravel.simulate_loss([5.0, 8.0], 10, 2000, seed=7)
        self.assertEqual([bits(x) for x in runs.loss],
                         [bits(moravel.simulate_loss(a, 10, 2000, seed=7).loss) for a in (5.0, 8.0)])
        waits = moravel.simulate_wait(5.0, [8, 10], 2000, 0.5, seed=7)
        self.assertEqual([bits(x) for x in waits.wait],
                         [bits(moravel.simulate_wait(5.0, v, 2000, 0.5, seed=7).wait)
                          for v in (8, 10)])


class NewlyDescribed(unittest.TestCase):
    """An entry point the package has never heard of: described under a new
    host name (here a second description of an existing C function), it is
    a function of the package with its Python names, its array behaviour
    and its refusals, with no edit of the package."""

    def setUp(self) -> None:
        loaded = _library._load()  # pylint: disable=protected-access
        self.saved = loaded.description
        described = copy.deepcopy(self.saved)
        for c_name, host in (("moravel_erlang_b_traffic", "new_largest_traffic"),
                             ("moravel_loss", "new_loss"),
                             ("moravel_link_group_links", "new_least_links"),
                             ("moravel_traffic_for_service_level", "new_staffed_traffic")):
            entry = copy.deepcopy(next(e for e in described["entry_points"]
                                       if e["c_name"] == c_name))
            entry["host_name"] = host
            entry["hosts"]["python"] = {"shows": [host]}
            described["entry_points"].append(entry)
        loaded.description = described
        _described._made.clear()  # pylint: disable=protected-access

    def tearDown(self) -> None:
        _library._load().description = self.saved  # pylint: disable=protected-access
        _described._made.clear()  # pylint: disable=protected-access

    def test_is_reached_with_its_python_names(self) -> None:
        bits = lambda x: struct.pack("<d", x)  # noqa: E731
        self.assertIn("new_largest_traffic", moravel.__all__)
        self.assertEqual(bits(moravel.new_largest_traffic(servers=20, target=0.01)),
                         bits(moravel.erlang_b_traffic(20, 0.01)))
        # No array twin: one search per point, shaped like the arguments.
        self.assertEqual([bits(x) for x in moravel.new_largest_traffic([20, 30], 0.01)],
                         [bits(moravel.erlang_b_traffic(v, 0.01)) for v in (20, 30)])
        # An array twin: one call, a record of arrays.
        self.assertEqual(moravel.new_loss(10, 5.0), moravel.loss(10, 5.0))
        self.assertIs(type(moravel.new_loss(10, 5.0)), moravel.LossResult)
        self.assertEqual([bits(x) for x in moravel.new_loss([10, 20], 5.0).loss],
                         [bits(moravel.loss(v, 5.0).loss) for v in (10, 20)])
        # Arrays with a count, and several results: the package's own tuple
        # where its fields are the same, else one named after the entry point.
        least = moravel.new_least_links([5.0, 3.0], [1.0, 2.0], 10, 0.01)
        self.assertEqual(least, moravel.Links(*moravel.link_group_links([(5, 1), (3, 2)], 10,
                                                                        0.01)))
        staffed = moravel.new_staffed_traffic(24, 180.0, 20.0, 0.8)
        self.assertEqual(staffed, tuple(moravel.traffic_for_service_level(24, 180.0, 20.0, 0.8)))

    def test_refuses_in_the_librarys_words(self) -> None:
        for call, kind, text in [
                (lambda: moravel.new_largest_traffic(0, 0.01), moravel.ArgumentError,
                 "new_largest_traffic(servers=0, target=0.01): servers must be at least 1"),
                (lambda: moravel.new_largest_traffic([20, 0], 0.01), moravel.ArgumentError,
                 "new_largest_traffic at point 1 (servers=0, target=0.01): "
                 "servers must be at least 1"),
                (lambda: moravel.new_loss([10, 0], 5.0), moravel.ArgumentError,
                 "new_loss at point 1 (servers=0, traffic=5.0): servers must be at least 1"),
                (lambda: moravel.new_least_links([5.0], [1.0, 2.0], 10, 0.01), ValueError,
                 "traffic, demand must have the same length"),
                (lambda: moravel.new_largest_traffic(2**31, 0.01), OverflowError,
                 "servers = 2147483648 does not fit in a 32-bit signed count"),
                (lambda: moravel.new_largest_traffic(20, "0.01"), TypeError,
                 "target must be a real number, got str"),
                (lambda: moravel.new_largest_traffic(20), TypeError,
                 "new_largest_traffic() missing arguments: target")]:
            with self.subTest(text=text):
                with self.assertRaises(kind) as caught:
                    call()
                self.assertEqual(str(caught.exception), text)

    def test_results_pickle_by_name(self) -> None:
        import pickle
        result = moravel.loss(10, 5.0)
        self.assertEqual(pickle.loads(pickle.dumps(result)), result)
        self.assertIs(type(pickle.loads(pickle.dumps(result))), moravel.LossResult)

    def test_help_documents_the_results(self) -> None:
        code = "import moravel, pydoc; print(pydoc.render_doc(moravel.WaitResult))"
        shown = subprocess.run([sys.executable, "-c", code], capture_output=True, text=True,
                               timeout=60, check=True).stdout
        self.assertIn("mean_wait_waiting", shown)
        self.assertIn("mean wait of the calls that wait", shown)


if __name__ == "__main__":
    unittest.main()
