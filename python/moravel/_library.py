"""Finding, loading and describing libMoravel for the binding.

The library is loaded on first use, from the first of:

1. the path in the environment variable ``MORAVEL_LIBRARY``;
2. a ``libMoravel`` shared library in this package's directory;
3. the library of the prefix the package was installed into by
   ``cmake --install`` (its place relative to the package is written into
   ``_installed.py`` at install time);
4. the dynamic loader's normal search (``ctypes.util.find_library`` and the
   library's soname).

The ten text-returning exports of moravel.h share one result text per
process: a call overwrites the text of the previous one.  Every
text-returning call made through this package therefore runs under
``TEXT_LOCK`` and copies the text before the lock is released.  The
functions of moravel/api.h share nothing and are called without any lock;
ctypes releases the interpreter around each call, so threads calling them
run in parallel.

Both locks of this module are made anew in a child process after a fork:
a thread of the parent holding one at the fork would otherwise leave it
held forever in the child, and the child's first call would hang.
"""

from __future__ import annotations

import ctypes
import ctypes.util
import json
import os
import sys
import threading

ENVIRONMENT_VARIABLE = "MORAVEL_LIBRARY"

# Serialises every call of a text-returning export in this process.
TEXT_LOCK = threading.Lock()

_c_double_p = ctypes.POINTER(ctypes.c_double)
_i32 = ctypes.c_int32
_f64 = ctypes.c_double
_u32 = ctypes.c_uint32

# Every export, in the order of the C header: name -> (result, arguments).
# A c_char_p result is copied by ctypes into a bytes object on return.
SIGNATURES = {
    "PalmTable": (_f64, (_i32, _f64)),
    "ErlangFormula2": (_f64, (_i32, _f64)),
    "EngsetTable": (_f64, (_i32, _i32, _f64)),
    "E": (_f64, (_i32, _f64)),
    "Hi": (_f64, (_i32, _f64, _i32)),
    "M_M_V_L_an": (ctypes.c_char_p, (_i32, _f64)),
    "Mi_M_V_L_an": (ctypes.c_char_p, (_i32, _i32, _f64)),
    "M_G_V_L_an": (ctypes.c_char_p, (_f64, _f64, _f64, _i32, _i32)),
    "M_M_V_L_PRA_an": (ctypes.c_char_p, (_i32, _i32, _c_double_p)),
    "M_M_V_W_FF_R_an": (ctypes.c_char_p, (_f64, _f64, _i32, _f64)),
    "M_M_V_L_im": (ctypes.c_char_p, (_f64, _i32, _i32, _u32)),
    "M_M_V_W_FF_R_im": (ctypes.c_char_p, (_f64, _i32, _i32, _f64, _u32)),
    "VM_VMl_V_L_an": (ctypes.c_char_p, (_c_double_p, _i32, _c_double_p, _i32, _i32)),
    "VM_VMl_VDg_L_an": (ctypes.c_char_p, (_c_double_p, _i32, _c_double_p, _i32, _i32, _i32)),
    "VM_VMl_VDg_L_im": (
        ctypes.c_char_p,
        (_c_double_p, _i32, _c_double_p, _i32, _i32, _i32, _i32, ctypes.c_char_p),
    ),
}

# The C types of the second interface's scalar arguments; every pointer (a
# result, a record, an array) is passed as an address.
C_TYPES = {
    "int32_t": ctypes.c_int32,
    "uint32_t": ctypes.c_uint32,
    "double": ctypes.c_double,
    "size_t": ctypes.c_size_t,
}


def _argument_type(c_type: str):
    return ctypes.c_void_p if c_type.endswith("*") else C_TYPES[c_type]


def signatures(described: dict) -> dict:
    """The ctypes arguments of every status-returning entry point of a
    description, by C name, in C order."""
    return {entry["c_name"]: tuple(_argument_type(argument["type"])
                                   for argument in entry["arguments"])
            for entry in described["entry_points"] if entry["returns"] == "moravel_status"}


SCALAR_EXPORTS = ("PalmTable", "ErlangFormula2", "EngsetTable", "E", "Hi")
TEXT_EXPORTS = tuple(name for name in SIGNATURES if name not in SCALAR_EXPORTS)

def library_file_names(platform: str = sys.platform) -> tuple:
    """The file names libMoravel carries on `platform` (a ``sys.platform``
    value), in the order they are looked for: the soname first, where the
    platform has one.  The Windows build is one file, libMoravel.dll."""
    if platform in ("win32", "cygwin", "msys"):
        return ("libMoravel.dll", "Moravel.dll")
    if platform == "darwin":
        return ("libMoravel.1.dylib", "libMoravel.dylib")
    return ("libMoravel.so.1", "libMoravel.so")


_FILE_NAMES = library_file_names()


class _Loaded:
    def __init__(self, handle: ctypes.CDLL, path: str) -> None:
        self.handle = handle
        self.path = path
        # A library without one of the exports is not the one this package
        # was written for: it is refused as a whole, not found out call by call.
        self.functions = {}
        for name, (result, arguments) in SIGNATURES.items():
            function = _export(handle, path, name)
            function.restype = result
            function.argtypes = arguments
            self.functions[name] = function
        self.status_message = _export(handle, path, "moravel_status_message")
        self.status_message.restype = ctypes.c_char_p
        self.status_message.argtypes = (ctypes.c_int32,)
        self.description_text = _export(handle, path, "moravel_interface_description")
        self.description_text.restype = ctypes.c_char_p
        self.description_text.argtypes = ()
        # The entry points, their arguments and results are the ones the
        # library describes itself as having.
        self.description = json.loads(self.description_text().decode("utf-8"))
        self.signatures = signatures(self.description)
        self.api = {}
        for name, arguments in self.signatures.items():
            function = _export(handle, path, name)
            function.restype = ctypes.c_int32
            function.argtypes = arguments
            self.api[name] = function


def _export(handle: ctypes.CDLL, path: str, name: str):
    try:
        return getattr(handle, name)
    except AttributeError:
        raise OSError(f"{path}: not this version of libMoravel (no export {name})") from None


_loaded = None
_load_lock = threading.Lock()


def _candidates():
    """Yields (where, path) pairs in search order."""
    explicit = os.environ.get(ENVIRONMENT_VARIABLE)
    if explicit:
        yield ENVIRONMENT_VARIABLE, explicit
        return
    here = os.path.dirname(os.path.abspath(__file__))
    for name in _FILE_NAMES:
        path = os.path.join(here, name)
        if os.path.exists(path):
            yield "the package directory", path
    try:
        from . import _installed
    except ImportError:
        pass
    else:
        path = os.path.normpath(os.path.join(here, _installed.LIBRARY))
        if os.path.exists(path):
            yield "the installed prefix", path
    found = ctypes.util.find_library("Moravel")
    if found:
        yield "the loader's search", found
    for name in _FILE_NAMES:
        yield "the loader's search", name


def _load() -> _Loaded:
    global _loaded
    loaded = _loaded
    if loaded is not None:  # once loaded, no lock on the way to a call
        return loaded
    with _load_lock:
        if _loaded is not None:
            return _loaded
        failures = []
        for where, path in _candidates():
            try:
                handle = ctypes.CDLL(path)
            except OSError as error:
                if where == ENVIRONMENT_VARIABLE:
                    raise OSError(
                        f"{ENVIRONMENT_VARIABLE}={path}: cannot load libMoravel: {error}"
                    ) from error
                failures.append(f"{path}: {error}")
                continue
            if not hasattr(handle, "PalmTable"):
                failures.append(f"{path}: not libMoravel (no PalmTable export)")
                continue
            _loaded = _Loaded(handle, path)
            return _loaded
        raise OSError(
            "libMoravel not found: set "
            + ENVIRONMENT_VARIABLE
            + " to the library's path, put the library next to the moravel package, "
            + "or install it where the loader looks ("
            + "; ".join(failures[-3:])
            + ")"
        )


def library_path() -> str:
    """The path (or loader name) of the libMoravel this package uses."""
    return _load().path


def exports() -> tuple:
    """The names of the exports of moravel.h."""
    return tuple(SIGNATURES)


def function(name: str):
    """The ctypes function of export `name` of moravel.h."""
    return _load().functions[name]


def api_function(name: str):
    """The ctypes function of `name` in moravel/api.h."""
    return _load().api[name]


def status_message(status: int) -> str:
    """The library's text for a status code of moravel/api.h."""
    return _load().status_message(status).decode("utf-8", "replace")


def codes(which: str) -> dict:
    """The described codes of one set (goal, patience_distribution,
    service_level_basis, lines) by their Python spellings."""
    return {code["python"]: code["value"] for code in description()["codes"]
            if code["set"] == which}


def description() -> dict:
    """The loaded library's description of its interface
    (moravel_interface_description), parsed once."""
    return _load().description


def __getattr__(name: str):
    # API_SIGNATURES (C name -> ctypes arguments) is read from the loaded
    # library's description on first use, so that importing needs no library.
    if name == "API_SIGNATURES":
        return _load().signatures
    raise AttributeError(f"module {__name__!r} has no attribute {name!r}")


def _after_fork_in_child() -> None:
    # A lock held by another thread of the parent at the fork stays held in
    # the child, where that thread does not exist: start the child with free
    # locks.  Nothing they guard can be half-done in the child's own thread.
    global TEXT_LOCK, _load_lock
    TEXT_LOCK = threading.Lock()
    _load_lock = threading.Lock()


if hasattr(os, "register_at_fork"):
    os.register_at_fork(after_in_child=_after_fork_in_child)


def call_text(name: str, *arguments) -> str:
    """Calls a text-returning export and returns a copy of its text."""
    export = function(name)
    with TEXT_LOCK:
        text = export(*arguments)
    # ctypes copied the text into a bytes object before the lock was released.
    return "" if text is None else text.decode("ascii")
