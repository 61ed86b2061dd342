"""Shared by the binding's tests: the C program that calls the same exports
for bit-for-bit comparisons."""

from __future__ import annotations

import os
import struct
import subprocess
import unittest

import moravel


def bits(value: float) -> bytes:
    return struct.pack("<d", value)


def hexfloat(value: float) -> str:
    return float(value).hex()


class CResults:
    """Drives c_results (python/tests/c_results.c): the exports called from C."""

    def __init__(self) -> None:
        program = os.environ.get("MORAVEL_C_RESULTS")
        if not program:
            raise unittest.SkipTest("MORAVEL_C_RESULTS is not set (run the tests through ctest)")
        self._process = subprocess.Popen(
            [program, moravel.library_path()], stdin=subprocess.PIPE,
            stdout=subprocess.PIPE, text=True, encoding="utf-8")

    def close(self) -> None:
        self._process.stdin.close()
        self._process.wait(timeout=60)
        self._process.stdout.close()

    def _ask(self, request: str) -> str:
        self._process.stdin.write(request + "\n")
        self._process.stdin.flush()
        answer = self._process.stdout.readline().rstrip("\n")
        if answer in ("bad request", "missing", ""):
            raise AssertionError(f"c_results answered {answer!r} to {request!r}")
        return answer

    @staticmethod
    def _argument(value) -> str:
        if isinstance(value, (list, tuple)):
            return " ".join([str(len(value))] + [hexfloat(v) for v in value])
        if isinstance(value, bytes):
            return value.hex() or "-"
        if isinstance(value, float):
            return hexfloat(value)
        return str(value)

    def request(self, export: str, *arguments) -> str:
        return export + "".join(" " + self._argument(a) for a in arguments)

    def scalar(self, export: str, *arguments) -> bytes:
        """The bits of the C double the export returns."""
        return struct.pack("<Q", int(self._ask(self.request(export, *arguments)), 16))

    def text(self, export: str, *arguments) -> str:
        answer = self._ask(self.request(export, *arguments))
        assert answer.startswith("[") and answer.endswith("]"), answer
        return answer[1:-1]

    def record(self, export: str, *arguments):
        """The status of a moravel/api.h call and the bits of each double of
        the record it wrote."""
        status, *values = self._ask(self.request(export, *arguments)).split()
        return int(status), [struct.pack("<Q", int(value, 16)) for value in values]
