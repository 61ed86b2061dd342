"""The binding against the library's description of its interface
(moravel_interface_description): the ctypes signatures and the result
tuples it makes are the described prototypes and records, every entry point
is shown by the function the description names or says why not, and the
texts of the statuses are the described ones."""

from __future__ import annotations

import ctypes
import importlib
import inspect
import unittest

import moravel
from moravel import _library, _results

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

    def test_every_entry_point_is_declared_as_described(self) -> None:
        declared = dict(_library.API_SIGNATURES)
        for entry in moravel.description()["entry_points"]:
            name = entry["c_name"]
            if entry["returns"] != "moravel_status":
                continue  # the message and the description, bound apart
            with self.subTest(name=name):
                arguments = declared.pop(name)
                self.assertEqual(len(arguments), len(entry["arguments"]))
                for argument, ctype in zip(entry["arguments"], arguments):
                    if argument["type"].endswith("*"):
                        self.assertIs(ctype, ctypes.c_void_p, argument["name"])
                    else:
                        self.assertIs(ctype, _SCALARS[argument["type"]], argument["name"])
        self.assertEqual(declared, {}, "declared but not described")

    def test_every_entry_point_is_shown_or_says_why_not(self) -> None:
        for entry in moravel.description()["entry_points"]:
            python = entry["hosts"]["python"]
            with self.subTest(name=entry["c_name"]):
                self.assertEqual(len(python), 1, python)
                if "omitted" in python:
                    self.assertRegex(python["omitted"], r"\w+ \w+")
                    continue
                self.assertTrue(python["shows"])
                for shown in python["shows"]:
                    module, _, function = shown.rpartition(".")
                    where = importlib.import_module("moravel" + ("." + module if module else ""))
                    self.assertTrue(callable(getattr(where, function, None)), shown)
                    if not module:
                        self.assertIn(function, moravel.__all__)

    def test_an_array_names_its_count(self) -> None:
        # An array argument's length names an integral input of its entry
        # point: the count a host passes as the array's length.
        for entry in moravel.description()["entry_points"]:
            arguments = {argument["name"]: argument for argument in entry["arguments"]}
            for argument in entry["arguments"]:
                with self.subTest(name=entry["c_name"], argument=argument["name"]):
                    if "length" not in argument:
                        continue
                    self.assertTrue(argument["type"].endswith("*"))
                    count = arguments[argument["length"]]
                    self.assertEqual(count["role"], "input")
                    self.assertIn(count["type"], ("int32_t", "size_t"))

    def test_each_argument_python_spells_is_a_parameter(self) -> None:
        for entry in moravel.description()["entry_points"]:
            shown = entry["hosts"]["python"].get("shows", [])
            functions = [getattr(moravel, name) for name in shown if "." not in name]
            for argument in entry["arguments"]:
                spelled = argument.get("python")
                if argument["role"] != "input" or not spelled or not functions:
                    continue
                with self.subTest(name=entry["c_name"], argument=spelled):
                    self.assertTrue(any(spelled in inspect.signature(function).parameters
                                        for function in functions))

    def test_result_tuples_are_the_described_records(self) -> None:
        described = moravel.description()
        records = {record["name"]: record for record in described["records"]}
        types = {"double": float, "int32_t": int, "uint32_t": int}
        for name, (kind, source) in _results.SOURCES.items():
            made = getattr(moravel, name)
            with self.subTest(name=name):
                self.assertIs(made, _results.result(name))
                if kind == "record":
                    fields = records[source]["fields"]
                    self.assertEqual(made._fields,
                                     tuple(f.get("python", f["name"]) for f in fields))
                    structure = _results.structure(source)
                    self.assertEqual(ctypes.sizeof(structure), records[source]["size"])
                    for field in fields:
                        self.assertEqual(getattr(structure, field["name"]).offset,
                                         field["offset"])
                        if field["type"] in types:
                            self.assertIs(made.__annotations__[field.get("python", field["name"])],
                                          types[field["type"]])
                elif kind == "flat":
                    # The record's fields with its nested records' in their
                    # place, after the package's own leading fields.
                    def flat(record):
                        return [name for f in records[record]["fields"]
                                for name in (flat(f["type"]) if f["type"] in records
                                             else [f.get("python", f["name"])])]
                    leading = [field for field, _, _ in _results.LEADING.get(name, [])]
                    self.assertEqual(made._fields, tuple(leading + flat(source)))
                else:
                    entry = next(e for e in described["entry_points"] if e["c_name"] == source)
                    self.assertEqual(made._fields, tuple(
                        a["name"] for a in entry["arguments"] if a["role"] == "result"))

    def test_the_day_plans_figures_are_the_centres(self) -> None:
        figures = moravel.ContactCentre._fields
        for flat in (moravel.PlannedInterval, moravel.PlanTotals):
            self.assertEqual(flat._fields[-len(figures):], figures)

    def test_codes_are_the_described(self) -> None:
        self.assertEqual(moravel.GOALS, {
            "service_level": 1, "service_level_excluding_short_abandons": 2,
            "mean_answer_wait": 3, "abandon_probability": 4, "wait_probability": 5})
        self.assertEqual(moravel.PATIENCE_DISTRIBUTIONS,
                         {"exponential": 1, "deterministic": 2, "erlang": 3})
        self.assertEqual(_library.codes("service_level_basis"),
                         {"offered": 0, "excluding-short-abandons": 1})
        # A default argument cannot wait for the library: held to it here.
        self.assertEqual(_library.codes("lines"), {"NO_LINE_LIMIT": moravel.NO_LINE_LIMIT})

    def test_policies_and_limits_are_the_described(self) -> None:
        described = moravel.description()
        self.assertEqual(moravel.POLICIES, {
            "max-free": 1, "min-free": 2, "first-free": 3,
            "МаксСвоб": 1, "МинСвоб": 2, "ПервСвоб": 3})
        self.assertEqual({p["code"] for p in described["policies"]}, {1, 2, 3})
        self.assertEqual(moravel.DIRECT_FORM_MAX_SERVERS, 170)
        self.assertEqual(moravel.DIRECT_FORM_MAX_SERVERS,
                         described["limits"]["largest_direct_form_servers"])

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
