"""Finding, loading and describing libMoravel for the binding.

The library is loaded on first use, from the first of:

1. the path in the environment variable ``MORAVEL_LIBRARY``;
2. a ``libMoravel`` shared library in this package's directory;
3. the dynamic loader's normal search (``ctypes.util.find_library`` and the
   library's soname).

The ten text-returning exports share one result text per process: a call
overwrites the text of the previous one.  Every text-returning call made
through this package therefore runs under ``TEXT_LOCK`` and copies the text
before the lock is released.
"""

from __future__ import annotations

import ctypes
import ctypes.util
import os
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

SCALAR_EXPORTS = ("PalmTable", "ErlangFormula2", "EngsetTable", "E", "Hi")
TEXT_EXPORTS = tuple(name for name in SIGNATURES if name not in SCALAR_EXPORTS)

# Names the library may carry on the platforms it builds on, soname first.
_FILE_NAMES = (
    "libMoravel.so.1",
    "libMoravel.so",
    "libMoravel.1.dylib",
    "libMoravel.dylib",
    "Moravel.dll",
    "libMoravel.dll",
)


class MissingExportError(NotImplementedError):
    """The loaded libMoravel does not carry the export a function needs."""


class _Loaded:
    def __init__(self, handle: ctypes.CDLL, path: str) -> None:
        self.handle = handle
        self.path = path
        self.functions = {}
        for name, (result, arguments) in SIGNATURES.items():
            try:
                function = getattr(handle, name)
            except AttributeError:
                continue
            function.restype = result
            function.argtypes = arguments
            self.functions[name] = function


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
    found = ctypes.util.find_library("Moravel")
    if found:
        yield "the loader's search", found
    for name in _FILE_NAMES:
        yield "the loader's search", name


def _load() -> _Loaded:
    global _loaded
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


def has_export(name: str) -> bool:
    """Whether the loaded libMoravel carries the export `name`."""
    if name not in SIGNATURES:
        raise KeyError(f"{name!r} is not a libMoravel export")
    return name in _load().functions


def exports() -> tuple:
    """The names of the exports that the loaded libMoravel carries."""
    functions = _load().functions
    return tuple(name for name in SIGNATURES if name in functions)


def function(name: str):
    """The ctypes function of export `name`; MissingExportError if absent."""
    functions = _load().functions
    try:
        return functions[name]
    except KeyError:
        raise MissingExportError(
            f"the loaded libMoravel ({_load().path}) has no export {name}"
        ) from None


def call_text(name: str, *arguments) -> str:
    """Calls a text-returning export and returns a copy of its text."""
    export = function(name)
    with TEXT_LOCK:
        text = export(*arguments)
    # ctypes copied the text into a bytes object before the lock was released.
    return "" if text is None else text.decode("ascii")
