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

    def test_refused_output_and_arguments(self) -> None:
        result = self.plot("--output", os.path.join(self.directory, "blocking.gif"))
        self.assertEqual(result.returncode, 2)
        self.assertIn("--output", result.stderr)
        result = self.plot("--servers", "0", "--output",
                           os.path.join(self.directory, "none.png"))
        self.assertEqual(result.returncode, 2)
        self.assertIn("servers", result.stderr)


if __name__ == "__main__":
    unittest.main()
