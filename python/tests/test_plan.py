"""moravel.plan: the same plan from every shape of rows, the tool's numbers
bit for bit on the same file, and refusals that name the row."""

from __future__ import annotations

import csv
import io
import math
import os
import subprocess
import unittest

import moravel
from support import bits

SOURCE = os.environ.get("MORAVEL_SOURCE_DIR", os.path.join(os.path.dirname(__file__), "..", ".."))
DAY = os.path.join(SOURCE, "tests", "plan", "day.csv")
TOOL = os.path.join(os.environ.get("MORAVEL_BUILD_DIR", ""), "tools", "moravel")

# The tool's command line and plan()'s keywords for the same plan.
OPTIONS = ["--service-level", "0.8", "--answer-time", "20", "--shrinkage", "0.3",
           "--abandonment", "0.05", "--interval-minutes", "15"]
KEYWORDS = dict(service_level=0.8, answer_time=20, shrinkage=0.3, abandonment=0.05,
                interval_minutes=15)


def day_rows():
    """day.csv as dicts, the patience None where its cell is empty."""
    with open(DAY, newline="", encoding="utf-8") as f:
        rows = []
        for record in csv.DictReader(f):
            rows.append({"label": record["label"], "calls": float(record["calls"]),
                         "handling_time": float(record["handling_time"]),
                         "patience": float(record["patience"]) if record["patience"] else None})
        return rows


class Plan(unittest.TestCase):
    def test_every_shape_of_rows_gives_the_same_plan(self) -> None:
        rows = day_rows()
        expected = moravel.plan(rows, **KEYWORDS)
        tuples = [(r["label"], r["calls"], r["handling_time"], r["patience"]) for r in rows]
        self.assertEqual(moravel.plan(tuples, **KEYWORDS), expected)
        self.assertEqual(len(expected.intervals), len(rows))
        self.assertEqual(expected.intervals[2].patience, math.inf)  # the empty cell
        try:
            import numpy
        except ImportError:
            return
        array = numpy.array(
            [(r["label"], r["calls"], r["handling_time"],
              math.inf if r["patience"] is None else r["patience"]) for r in rows],
            dtype=[("label", "U20"), ("calls", "f8"), ("handling_time", "f8"),
                   ("patience", "f8")])
        self.assertEqual(moravel.plan(array, **KEYWORDS), expected)

    @unittest.skipUnless(os.path.exists(TOOL), "the tool is not built")
    def test_the_tools_numbers_bit_for_bit(self) -> None:
        text = subprocess.run([TOOL, "plan", DAY, *OPTIONS, "--format", "csv"], check=True,
                              capture_output=True, text=True).stdout
        table = list(csv.DictReader(io.StringIO(text)))
        plan = moravel.plan(day_rows(), **KEYWORDS)
        self.assertEqual(len(table), len(plan.intervals) + 1)
        compared = 0
        for record, planned in zip(table, [*plan.intervals, plan.totals]):
            for name, cell in record.items():
                if name == "label" or cell == "":
                    continue
                value = getattr(planned, name, None)
                if value is None:  # the day's agent columns are its agent-intervals
                    value = getattr(plan.totals, name.replace("agents", "agent_intervals"))
                self.assertEqual(bits(float(cell)), bits(float(value)), f"{name}: {cell}")
                compared += 1
        self.assertEqual(table[-1]["label"], "day")
        print(f"{compared} numbers of the tool and of plan() agree bit for bit")

    def test_refusals_name_the_row_and_the_argument(self) -> None:
        rows = [("a", 100, 180, 60), ("b", 100, 180, 60), ("c", -1, 180, 60)]
        with self.assertRaises(moravel.ArgumentError) as caught:
            moravel.plan(rows, service_level=0.8, answer_time=20)
        self.assertEqual(caught.exception.index, 2)
        self.assertIn("plan(rows[2])", str(caught.exception))
        self.assertEqual(caught.exception.message, "calls offered must be finite and not negative")
        cases = [
            (dict(answer_time=20, occupancy=0.8), "no goal given: a plan needs a service level, "
             "mean answer wait, abandonment or waiting target"),
            (dict(answer_time=20, service_level=0),
             "service-level target must be above 0 and below 1"),
            (dict(answer_time=20, service_level=0.8, occupancy=1.5),
             "highest occupancy must be above 0 and at most 1"),
            (dict(answer_time=20, service_level=0.8, shrinkage=1),
             "shrinkage must be at least 0 and below 1"),
        ]
        for keywords, message in cases:
            with self.assertRaises(moravel.ArgumentError) as caught:
                moravel.plan(rows[:1], **keywords)
            self.assertEqual(caught.exception.message, message)
            self.assertIsNone(caught.exception.index)
        for bad, error in ([("a", 1, 2, 3, 4)], ValueError), ([{"label": "a"}], ValueError), \
                ([("a", "many", 180)], TypeError), ("rows", TypeError):
            with self.assertRaises(error):
                moravel.plan(bad, service_level=0.8, answer_time=20)
        with self.assertRaises(ValueError):
            moravel.plan(rows, service_level=0.8, answer_time=20, service_level_basis="answered")


if __name__ == "__main__":
    unittest.main()
