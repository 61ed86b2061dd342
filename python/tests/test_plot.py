"""python -m moravel plot, run under Debian's /usr/bin/python3 (where
python3-matplotlib lives): renders a PNG and an SVG headless."""

from __future__ import annotations

import os
import shutil
import subprocess
import tempfile
import unittest

import moravel

SYSTEM_PYTHON = "/usr/bin/python3"
PACKAGE_PARENT = os.path.dirname(os.path.dirname(os.path.abspath(moravel.__file__)))


def system_python_has_matplotlib() -> bool:
    if not os.access(SYSTEM_PYTHON, os.X_OK):
        return False
    probe = subprocess.run([SYSTEM_PYTHON, "-c", "import matplotlib"], capture_output=True,
                           timeout=120)
    return probe.returncode == 0


@unittest.skipUnless(system_python_has_matplotlib(),
                     f"{SYSTEM_PYTHON} lacks matplotlib (install python3-matplotlib)")
class Plot(unittest.TestCase):
    def setUp(self) -> None:
        self.directory = tempfile.mkdtemp(prefix="moravel-plot-")
        self.addCleanup(shutil.rmtree, self.directory)

    def plot(self, *arguments: str) -> subprocess.CompletedProcess:
        env = dict(os.environ, PYTHONPATH=PACKAGE_PARENT,
                   MORAVEL_LIBRARY=moravel.library_path(),
                   MPLCONFIGDIR=self.directory)
        env.pop("DISPLAY", None)
        env.pop("MPLBACKEND", None)
        return subprocess.run([SYSTEM_PYTHON, "-m", "moravel", "plot", *arguments], env=env,
                              capture_output=True, text=True, timeout=300)

    def test_png(self) -> None:
        output = os.path.join(self.directory, "blocking.png")
        result = self.plot("--servers", "10", "--calls", "3000", "--output", output)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertIn("wrote", result.stdout)
        with open(output, "rb") as image:
            data = image.read()
        self.assertTrue(data.startswith(b"\x89PNG\r\n\x1a\n"))
        self.assertGreater(len(data), 5000)

    def test_svg_of_the_waiting_system(self) -> None:
        output = os.path.join(self.directory, "waiting.svg")
        result = self.plot("--model", "wait", "--servers", "5", "--calls", "2000",
                           "--traffic-from", "0.5", "--traffic-to", "4.5", "--points", "9",
                           "--log", "--output", output)
        self.assertEqual(result.returncode, 0, result.stderr)
        with open(output, encoding="utf-8") as image:
            self.assertIn("<svg", image.read())

    def test_family_with_error_bars_and_lossless_points(self) -> None:
        # 40 servers at a few erlangs lose no call in 3000: those points sit
        # on the axis floor as open triangles, named in the legend.
        output = os.path.join(self.directory, "family.svg")
        result = self.plot("--servers", "5,40", "--calls", "3000", "--replications", "3",
                           "--traffic-from", "1", "--traffic-to", "12", "--points", "12",
                           "--output", output)
        self.assertEqual(result.returncode, 0, result.stderr)
        with open(output, encoding="utf-8") as image:
            svg = image.read()
        for text in ("Erlang B, 5 servers", "Erlang B, 40 servers", "no loss in 3 x 3000 calls",
                     "mean of 3 x 3000 calls, 95% CI"):
            self.assertIn(text, svg)

    def test_sweep_table(self) -> None:
        table = os.path.join(self.directory, "sweep.csv")
        with open(table, "w", encoding="utf-8") as out:
            out.write("servers,traffic,loss\n1,1,0.5\n2,1,0.2\n3,1,0.0625\n")
        output = os.path.join(self.directory, "sweep.svg")
        result = self.plot("--csv", table, "--output", output)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertIn("loss from", result.stdout)
        with open(output, encoding="utf-8") as image:
            svg = image.read()
        self.assertIn("traffic = 1", svg)  # the fixed input, as the title
        with open(table, "a", encoding="utf-8") as out:
            out.write("4,1,n/a\n")
        result = self.plot("--csv", table, "--output", output)
        self.assertEqual(result.returncode, 2)
        self.assertIn("line 5 is not all numbers", result.stderr)
        result = self.plot("--csv", table, "--x", "calls", "--output", output)
        self.assertEqual(result.returncode, 2)

    def test_each_quantity_on_its_own_axis(self) -> None:
        # Loss 0-0.3 beside carried traffic 10-28: two panels, the loss on a
        # log axis since it spans decades.
        table = os.path.join(self.directory, "loss.csv")
        with open(table, "w", encoding="utf-8") as out:
            out.write("servers,traffic,loss,carried\n")
            for traffic in (10, 14, 18, 22, 26, 30, 40):
                result = moravel.loss(30, float(traffic))
                out.write(f"30,{traffic},{result.loss!r},{result.carried!r}\n")
        output = os.path.join(self.directory, "loss.svg")
        result = self.plot("--csv", table, "--output", output)
        self.assertEqual(result.returncode, 0, result.stderr)
        with open(output, encoding="utf-8") as image:
            svg = image.read()
        self.assertEqual(svg.count('id="axes_'), 2)
        self.assertIn("servers = 30", svg)

    def test_refused_output_and_arguments(self) -> None:
        result = self.plot("--output", os.path.join(self.directory, "blocking.gif"))
        self.assertEqual(result.returncode, 2)
        self.assertIn("--output", result.stderr)
        result = self.plot("--servers", "0", "--output",
                           os.path.join(self.directory, "none.png"))
        self.assertEqual(result.returncode, 2)
        self.assertIn("servers", result.stderr)
        result = self.plot("--servers", "5,x", "--output",
                           os.path.join(self.directory, "none.png"))
        self.assertEqual(result.returncode, 2)
        self.assertIn("--servers", result.stderr)


class Panels(unittest.TestCase):
    """The layout of a sweep's plot, without drawing it."""

    def test_layout(self) -> None:
        from moravel import plot

        rows = [{"loss": 1e-6, "carried": 10.0, "wait_probability": 0.3, "agents": 20.0},
                {"loss": 0.3, "carried": 28.0, "wait_probability": 0.1, "agents": 25.0}]
        flat = [{"loss": 0.2, "carried": 10.0}, {"loss": 0.3, "carried": 28.0}]
        zero = [{"loss": 0.0, "carried": 10.0}, {"loss": 0.3, "carried": 28.0}]
        for table, columns, log_scale, expected in [
                (rows, ["loss", "carried"], None, [(["loss"], True), (["carried"], False)]),
                (rows, ["carried", "loss", "wait_probability", "agents"], None,
                 [(["loss", "wait_probability"], True), (["carried"], False),
                  (["agents"], False)]),
                # Within a decade, linear; forced either way; a zero forbids log.
                (flat, ["loss", "carried"], None, [(["loss"], False), (["carried"], False)]),
                (flat, ["loss", "carried"], True, [(["loss"], True), (["carried"], True)]),
                (rows, ["loss"], False, [(["loss"], False)]),
                (zero, ["loss"], True, [(["loss"], False)])]:
            with self.subTest(columns=columns, log_scale=log_scale):
                self.assertEqual(plot.panels(table, columns, log_scale), expected)


if __name__ == "__main__":
    unittest.main()
