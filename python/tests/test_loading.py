"""Where the binding finds libMoravel: MORAVEL_LIBRARY, next to the package,
or the loader's normal search.  Each case runs in a fresh interpreter."""

from __future__ import annotations

import os
import shutil
import subprocess
import sys
import tempfile
import unittest

import moravel

PACKAGE = os.path.dirname(moravel.__file__)
LIBRARY = os.path.realpath(moravel.library_path())

SHOW_PATH = "import moravel; print(moravel.library_path()); print(moravel.erlang_b(1, 1.0))"


def run(code: str, pythonpath: str, **environment) -> subprocess.CompletedProcess:
    env = {k: v for k, v in os.environ.items()
           if k not in ("MORAVEL_LIBRARY", "LD_LIBRARY_PATH", "PYTHONPATH")}
    env.update(environment, PYTHONPATH=pythonpath, PYTHONDONTWRITEBYTECODE="1")
    return subprocess.run([sys.executable, "-c", code], env=env, capture_output=True,
                          text=True, timeout=60)


class Loading(unittest.TestCase):
    def setUp(self) -> None:
        self.directory = tempfile.mkdtemp(prefix="moravel-loading-")
        self.addCleanup(shutil.rmtree, self.directory)
        # A copy of the package without any library beside it.
        self.copy = os.path.join(self.directory, "site")
        shutil.copytree(PACKAGE, os.path.join(self.copy, "moravel"),
                        ignore=shutil.ignore_patterns("__pycache__", "libMoravel*"))

    def test_environment_variable(self) -> None:
        result = run(SHOW_PATH, self.copy, MORAVEL_LIBRARY=LIBRARY)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(result.stdout.split(), [LIBRARY, "0.5"])

    def test_environment_variable_naming_no_library(self) -> None:
        missing = os.path.join(self.directory, "nowhere", "libMoravel.so")
        result = run(SHOW_PATH, self.copy, MORAVEL_LIBRARY=missing)
        self.assertNotEqual(result.returncode, 0)
        self.assertIn("MORAVEL_LIBRARY", result.stderr)
        self.assertIn("OSError", result.stderr)

    def test_next_to_the_package(self) -> None:
        beside = os.path.join(self.copy, "moravel", "libMoravel.so.1")
        shutil.copy(LIBRARY, beside)
        result = run(SHOW_PATH, self.copy)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(result.stdout.split(), [beside, "0.5"])

    def test_loader_search(self) -> None:
        # The soname, found through the loader's path.
        shutil.copy(LIBRARY, os.path.join(self.directory, "libMoravel.so.1"))
        result = run(SHOW_PATH, self.copy, LD_LIBRARY_PATH=self.directory)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(result.stdout.split()[1], "0.5")

    def test_import_needs_no_library(self) -> None:
        result = run("import moravel, moravel.raw; print(moravel.__version__)", self.copy)
        self.assertEqual(result.returncode, 0, result.stderr)
        result = run(SHOW_PATH, self.copy)
        if result.returncode == 0:
            self.skipTest("a libMoravel is installed where the loader looks")
        self.assertIn("libMoravel not found", result.stderr)
        self.assertIn("MORAVEL_LIBRARY", result.stderr)

    def test_info_command(self) -> None:
        result = run("import sys; from moravel.__main__ import main; sys.exit(main(['info']))",
                     self.copy, MORAVEL_LIBRARY=LIBRARY)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertIn(LIBRARY, result.stdout)
        self.assertIn("PalmTable", result.stdout)


if __name__ == "__main__":
    unittest.main()


class FileNames(unittest.TestCase):
    """The names looked for beside the package and through the loader."""

    def test_each_platform(self) -> None:
        from moravel import _library
        cases = {
            "linux": ("libMoravel.so.1", "libMoravel.so"),
            "freebsd13": ("libMoravel.so.1", "libMoravel.so"),
            "darwin": ("libMoravel.1.dylib", "libMoravel.dylib"),
            "win32": ("libMoravel.dll", "Moravel.dll"),
            "cygwin": ("libMoravel.dll", "Moravel.dll"),
        }
        for platform, names in cases.items():
            with self.subTest(platform=platform):
                self.assertEqual(_library.library_file_names(platform), names)
        self.assertEqual(_library._FILE_NAMES, _library.library_file_names(sys.platform))

    def test_dll_next_to_the_package(self) -> None:
        # The Windows search, run here: the loader reads the library whatever
        # its file is called, so this machine's library stands in for the DLL.
        directory = tempfile.mkdtemp(prefix="moravel-dll-")
        self.addCleanup(shutil.rmtree, directory)
        shutil.copytree(PACKAGE, os.path.join(directory, "moravel"),
                        ignore=shutil.ignore_patterns("__pycache__", "libMoravel*"))
        beside = os.path.join(directory, "moravel", "libMoravel.dll")
        shutil.copy(LIBRARY, beside)
        as_windows = "import sys; sys.platform = 'win32'; " + SHOW_PATH
        result = run(as_windows, directory)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(result.stdout.split(), [beside, "0.5"])
        # This platform's own search passes the DLL by.
        result = run(SHOW_PATH, directory)
        self.assertNotEqual(result.stdout.split()[:1], [beside])
