"""The binding against the library's description of its interface
(moravel_interface_description): the ctypes signatures it declares are the
described prototypes, and the texts of the statuses are the described ones."""

from __future__ import annotations

import ctypes
import unittest

import moravel
from moravel import _library

# The ctypes type each described C type is declared with; a pointer may
# also be declared as void* (the records and the arrays of a buffer).
_SCALARS = {
    "int32_t": ctypes.c_int32,
    "uint32_t": ctypes.c_uint32,
    "double": ctypes.c_double,
    "size_t": ctypes.c_size_t,
}


class Description(unittest.TestCase):
    def test_is_the_loaded_librarys(self) -> None:
        described = moravel.description()
        self.assertEqual(described["format"], 1)
        self.assertEqual(described["legacy_exports"], list(_library.SIGNATURES))

    def test_every_entry_point_shown_is_declared_as_described(self) -> None:
        declared = dict(_library.API_SIGNATURES)
        for entry in moravel.description()["entry_points"]:
            name = entry["c_name"]
            if entry["returns"] != "moravel_status":
                continue  # the message and the description, bound apart
            if "shows" not in entry["hosts"]["python"]:
                self.assertNotIn(name, declared, entry["hosts"]["python"])
                continue
            with self.subTest(name=name):
                self.assertIn(name, declared)
                arguments = declared.pop(name)
                self.assertEqual(len(arguments), len(entry["arguments"]))
                for argument, ctype in zip(entry["arguments"], arguments):
                    if argument["type"].endswith("*"):
                        self.assertTrue(ctype is ctypes.c_void_p
                                        or issubclass(ctype, ctypes._Pointer)
                                        or issubclass(ctype, ctypes.Array),
                                        argument["name"])
                    else:
                        self.assertIs(ctype, _SCALARS[argument["type"]], argument["name"])
        self.assertEqual(declared, {}, "declared but not described")

    def test_status_texts(self) -> None:
        for status in moravel.description()["statuses"]:
            subject, message = status["subject"], status["message"]
            self.assertEqual(moravel.status_message(status["code"]),
                             f"{subject} {message}" if subject else message)

    def test_every_refusal_names_a_status(self) -> None:
        described = moravel.description()
        names = {status["name"] for status in described["statuses"]}
        entries = {entry["c_name"] for entry in described["entry_points"]}
        for entry in described["entry_points"]:
            for argument in entry["arguments"]:
                for status in argument.get("refused_by", []):
                    self.assertIn(status, names, (entry["c_name"], argument["name"]))
            for twin in (entry["array_twin"], entry["simulated_twin"]):
                self.assertTrue(twin is None or twin in entries, twin)


if __name__ == "__main__":
    unittest.main()


@unittest.skipUnless(__import__("os").environ.get("MORAVEL_TOOL"),
                     "run through ctest (needs the tool)")
class ToolSpellings(unittest.TestCase):
    """Each option the description gives an argument is an option of the
    subcommands that show the entry point."""

    def test_options_exist(self) -> None:
        import os
        import subprocess
        helps = {}
        for entry in moravel.description()["entry_points"]:
            shown = entry["hosts"]["tool"].get("shows", [])
            for subcommand in shown:
                if subcommand not in helps:
                    helps[subcommand] = subprocess.run(
                        [os.environ["MORAVEL_TOOL"], subcommand, "--help"],
                        capture_output=True, text=True).stdout
                for argument in entry["arguments"]:
                    for spelling in (argument.get("tool"), argument.get("tool_short")):
                        if spelling:
                            with self.subTest(entry=entry["c_name"], option=spelling):
                                self.assertRegex(helps[subcommand],
                                                 r"(^|[\s,])" + spelling + r"\b")
