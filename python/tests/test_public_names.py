"""The package's public names: the split of the package by area keeps every
one of them, each reachable from ``moravel``."""

from __future__ import annotations

import subprocess
import sys
import unittest

import moravel

PUBLIC = [
    "erlang_b", "erlang_c", "engset", "erlang_b_direct", "erlang_b_ratio",
    "loss", "loss_finite", "loss_assembled", "loss_priority", "wait",
    "simulate_loss", "simulate_wait",
    "link_group", "link_subset", "simulate_link_subset",
    "erlang_b_servers", "engset_servers", "loss_assembled_servers",
    "link_group_links", "link_subset_links", "erlang_b_traffic", "engset_traffic",
    "staffing", "offered_traffic", "agents_for_service_level", "agents_for_mean_wait",
    "agents_for_wait_probability", "traffic_for_service_level", "StaffedTraffic", "plan",
    "contact_centre", "contact_centre_retrials", "simulate_contact_centre",
    "contact_centre_agents", "contact_centre_traffic",
    "ContactCentre", "Retrials", "SimulatedCentre", "CentreAgents", "CentreTraffic",
    "DayPlan", "PlannedInterval", "PlanTotals",
    "PATIENCE_DISTRIBUTIONS", "GOALS",
    "LossResult", "WaitResult", "ClassResult", "Servers", "Links", "Staffing", "POLICIES",
    "MoravelError", "ArgumentError",
    "description", "exports", "library_path", "raw",
]


class PublicNames(unittest.TestCase):
    def test_all_lists_them(self) -> None:
        self.assertEqual(sorted(moravel.__all__), sorted(PUBLIC))

    def test_each_is_reachable(self) -> None:
        for name in PUBLIC + ["status_message", "DIRECT_FORM_MAX_SERVERS", "__version__"]:
            with self.subTest(name=name):
                self.assertIsNotNone(getattr(moravel, name))
        with self.assertRaises(AttributeError):
            moravel.NoSuchName  # pylint: disable=pointless-statement

    def test_star_import(self) -> None:
        names = {}
        exec("from moravel import *", names)  # pylint: disable=exec-used
        self.assertLessEqual(set(PUBLIC), set(names))

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
