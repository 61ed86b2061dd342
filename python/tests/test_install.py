"""Both install routes give a package that imports and computes outside the
source tree, with no MORAVEL_LIBRARY, LD_LIBRARY_PATH or PYTHONPATH telling
it where things are: `cmake --install` into a virtual environment's prefix,
and `pip install` of the source tree (offline, the package's own build
backend), both as the README writes it into a fresh virtual environment and
with --target."""

from __future__ import annotations

import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

SOURCE = os.environ.get("MORAVEL_SOURCE_DIR")
BUILD = os.environ.get("MORAVEL_BUILD_DIR")
LIBRARY = os.environ.get("MORAVEL_LIBRARY")

CHECK = ("import moravel, moravel.study, sys; "
         "print(moravel.library_path()); print(moravel.__file__); "
         "print(moravel.erlang_b(10, 5.0) == 0.01838457033664814, "
         "moravel.loss([10, 20], 5.0).loss[1] == moravel.erlang_b(20, 5.0), "
         "moravel.erlang_b_servers(12.0, 0.01).servers, "
         "len(moravel.study.sweep(\"loss\", {\"servers\": [5, 6], \"traffic\": [2.0]})))")


def clean_environment(**extra):
    environment = {k: v for k, v in os.environ.items()
                   if k not in ("MORAVEL_LIBRARY", "LD_LIBRARY_PATH", "PYTHONPATH",
                                "PYTHONHOME")}
    environment.update(extra, PYTHONDONTWRITEBYTECODE="1")
    return environment


def run(command, cwd, **extra) -> subprocess.CompletedProcess:
    return subprocess.run(command, cwd=cwd, env=clean_environment(**extra),
                          capture_output=True, text=True, timeout=300)


def readme_pip_lines() -> str:
    """The README's block that installs the package with pip into a venv."""
    with open(os.path.join(SOURCE, "README.md"), encoding="utf-8") as readme:
        text = readme.read()
    for block in re.findall(r"```sh\n(.*?)```", text, re.S):
        if "MORAVEL_BUNDLE_LIBRARY=" in block and "-m venv" in block:
            return block
    raise AssertionError("the README has no block that installs with pip into a venv")


@unittest.skipUnless(SOURCE and BUILD and LIBRARY, "run through ctest (needs the build tree)")
class InstallRoutes(unittest.TestCase):
    def setUp(self) -> None:
        self.directory = tempfile.mkdtemp(prefix="moravel-install-")
        self.addCleanup(shutil.rmtree, self.directory)

    def check_outside(self, python: str, inside: str, **extra) -> None:
        result = run([python, "-c", CHECK], self.directory, **extra)
        self.assertEqual(result.returncode, 0, result.stderr)
        library, package, figures = result.stdout.splitlines()
        self.assertTrue(library.startswith(inside + os.sep), library)
        self.assertTrue(package.startswith(inside + os.sep), package)
        self.assertFalse(package.startswith(os.path.realpath(SOURCE) + os.sep), package)
        self.assertEqual(figures, "True True 20 2")

    def test_cmake_install_into_a_virtual_environment(self) -> None:
        prefix = os.path.join(self.directory, "venv")
        result = run([sys.executable, "-m", "venv", "--without-pip", prefix], self.directory)
        if result.returncode != 0:
            self.skipTest(f"no venv module: {result.stderr.strip()}")
        result = run(["cmake", "--install", BUILD, "--prefix", prefix], self.directory)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        self.check_outside(os.path.join(prefix, "bin", "python"), prefix)

    def test_the_readme_pip_lines_into_a_fresh_venv(self) -> None:
        # Exactly the README's lines, run from a repository root: the
        # package's sources and a library at build/default, as after the
        # two commands.
        lines = readme_pip_lines()
        if not os.access("/usr/bin/python3", os.X_OK):
            self.skipTest("no /usr/bin/python3")
        root = os.path.join(self.directory, "repository")
        shutil.copytree(os.path.join(SOURCE, "python"), os.path.join(root, "python"),
                        ignore=shutil.ignore_patterns("__pycache__", "build", "*.egg-info",
                                                      "libMoravel*"))
        os.makedirs(os.path.join(root, "build", "default"))
        os.symlink(os.path.realpath(LIBRARY),
                   os.path.join(root, "build", "default", "libMoravel.so.1"))
        result = subprocess.run(["bash", "-euc", lines], cwd=root, capture_output=True,
                                text=True, timeout=300,
                                env=clean_environment(PIP_DISABLE_PIP_VERSION_CHECK="1",
                                                      PWD=root))
        self.assertEqual(result.returncode, 0, lines + "\n" + result.stdout + result.stderr)
        venv = os.path.join(root, ".venv")
        self.check_outside(os.path.join(venv, "bin", "python"), venv)
        # The build wrote nothing into the sources.
        self.assertEqual(sorted(os.listdir(os.path.join(root, "python"))),
                         sorted(name for name in os.listdir(os.path.join(SOURCE, "python"))
                                if name not in ("__pycache__", "build")
                                and not name.endswith(".egg-info")))

    def test_pip_install_of_the_source_tree(self) -> None:
        result = run([sys.executable, "-m", "pip", "--version"], self.directory)
        if result.returncode != 0:
            self.skipTest("no pip for this interpreter")
        # A copy, so that the build leaves nothing in the source tree.
        source = os.path.join(self.directory, "source")
        shutil.copytree(os.path.join(SOURCE, "python"), source,
                        ignore=shutil.ignore_patterns("__pycache__", "build", "*.egg-info",
                                                      "tests", "libMoravel*"))
        target = os.path.join(self.directory, "site")
        result = run([sys.executable, "-m", "pip", "install", "--quiet", "--no-build-isolation",
                      "--no-index", "--no-deps", "--target", target, source], self.directory,
                     MORAVEL_BUNDLE_LIBRARY=LIBRARY, PIP_DISABLE_PIP_VERSION_CHECK="1")
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        # --target makes a plain directory of packages: the interpreter is
        # pointed at it, and nothing else is needed.
        self.check_outside(sys.executable, target, PYTHONPATH=target)


if __name__ == "__main__":
    unittest.main()
