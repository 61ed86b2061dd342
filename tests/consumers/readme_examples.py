"""The README's host examples, run as a reader would run them.

The sections "Installing" and "Using libMoravel from a host" are read from
README.md.  A throwaway HOME stands in for the reader's, so "$HOME/.local" is
a fresh prefix.  The Installing commands run from the source tree (with the
build directory of this build in place of build/default); a block that starts
with `export` sets the environment of every later block.  Each host section
then runs in an empty directory: a code block introduced by a line "`name`:"
is written to that file, an sh block is run, and a text block right after an
sh block is the output that the commands must print, exactly.

Environment: MORAVEL_SOURCE_DIR, MORAVEL_BUILD_DIR; CMAKE_GENERATOR is passed
on to the CMake example.
"""

from __future__ import annotations

import os
import re
import shutil
import subprocess
import tempfile
import unittest

SOURCE = os.environ.get("MORAVEL_SOURCE_DIR", os.path.join(os.path.dirname(__file__), "..", ".."))
BUILD = os.environ.get("MORAVEL_BUILD_DIR", os.path.join(SOURCE, "build", "default"))
HOSTS = ("C", "C with the second interface", "C++ with CMake", "Python",
         "The command-line tool")

FENCE = re.compile(r"^```([^\n`]*)\n(.*?)^```[ \t]*$", re.MULTILINE | re.DOTALL)
FILE_NAME = re.compile(r"^`([^`/]+)`:$")


class Block:
    def __init__(self, language: str, body: str, intro: str) -> None:
        self.language = language
        self.body = body
        match = FILE_NAME.match(intro)
        self.file = match.group(1) if match else None


def section(text: str, heading: str) -> str:
    """The body of a section, up to the next heading of the same or a higher level."""
    level = heading.split(" ")[0]
    start = text.index(heading + "\n") + len(heading) + 1
    pattern = re.compile(r"^#{1,%d} " % len(level), re.MULTILINE)
    end = pattern.search(text, start)
    return text[start:end.start() if end else len(text)]


def blocks(text: str):
    found = []
    for match in FENCE.finditer(text):
        before = text[:match.start()].rstrip("\n").split("\n")
        found.append(Block(match.group(1).strip(), match.group(2), before[-1].strip()))
    return found


def shell(script: str, cwd: str, environment) -> subprocess.CompletedProcess:
    return subprocess.run(["bash", "-euo", "pipefail", "-c", script], cwd=cwd,
                          env=environment, capture_output=True, text=True, timeout=600)


class ReadmeExamples(unittest.TestCase):
    @classmethod
    def setUpClass(cls) -> None:
        with open(os.path.join(SOURCE, "README.md"), encoding="utf-8") as readme:
            cls.readme = readme.read()
        cls.home = tempfile.mkdtemp(prefix="moravel-readme-")
        environment = dict(os.environ, HOME=cls.home)
        for name in ("MORAVEL_LIBRARY", "PYTHONPATH", "LD_LIBRARY_PATH", "PKG_CONFIG_PATH",
                     "CMAKE_PREFIX_PATH"):
            environment.pop(name, None)
        build = os.path.relpath(os.path.realpath(BUILD), os.path.realpath(SOURCE))
        for block in blocks(section(cls.readme, "## Installing")):
            if block.language != "sh":
                continue
            if "-m venv" in block.body:
                # pip into a fresh venv: python_test_install runs these lines
                # in a scratch copy, which leaves the source tree untouched.
                continue
            script = block.body.replace("build/default", build)
            if script.lstrip().startswith("export"):
                environment = cls.exported(script, environment)
                continue
            result = shell(script, SOURCE, environment)
            if result.returncode != 0:
                raise AssertionError(f"Installing: {script}failed:\n{result.stderr}")
        cls.environment = environment

    @classmethod
    def tearDownClass(cls) -> None:
        shutil.rmtree(cls.home, ignore_errors=True)

    @staticmethod
    def exported(script: str, environment):
        result = shell(script + "\nenv -0\n", SOURCE, environment)
        if result.returncode != 0:
            raise AssertionError(f"{script}failed:\n{result.stderr}")
        pairs = (entry.split("=", 1) for entry in result.stdout.split("\0") if "=" in entry)
        return dict(pairs)

    def run_host(self, host: str) -> None:
        found = blocks(section(section(self.readme, "## Using libMoravel from a host"),
                               "### " + host))
        directory = tempfile.mkdtemp(prefix="example-", dir=self.home)
        checked = 0
        for index, block in enumerate(found):
            if block.file:
                with open(os.path.join(directory, block.file), "w", encoding="utf-8") as out:
                    out.write(block.body)
            elif block.language == "sh":
                result = shell(block.body, directory, self.environment)
                self.assertEqual(result.returncode, 0,
                                 f"{host}: {block.body}failed:\n{result.stdout}{result.stderr}")
                following = found[index + 1] if index + 1 < len(found) else None
                if following is not None and following.language == "text" \
                        and not following.file:
                    self.assertEqual(result.stdout, following.body, f"{host}: {block.body}")
                    checked += 1
        self.assertGreater(checked, 0, f"{host}: no command with its output shown")

    def test_c(self) -> None:
        self.run_host("C")

    def test_c_second_interface(self) -> None:
        self.run_host("C with the second interface")

    def test_cpp_with_cmake(self) -> None:
        self.run_host("C++ with CMake")

    def test_python(self) -> None:
        self.run_host("Python")

    def test_command_line_tool(self) -> None:
        self.run_host("The command-line tool")

    def test_every_host_has_a_section(self) -> None:
        hosts = section(self.readme, "## Using libMoravel from a host")
        self.assertEqual(re.findall(r"^### (.+)$", hosts, re.MULTILINE), list(HOSTS))


if __name__ == "__main__":
    unittest.main()
