"""The package's own build backend (PEP 517): a wheel is a zip of the pure
Python sources, the metadata and, with MORAVEL_BUNDLE_LIBRARY naming a built
libMoravel, a copy of the library where the binding looks first after
MORAVEL_LIBRARY.

It needs nothing beyond the standard library: no setuptools, no wheel
package, so `pip install python/` works offline in a plain virtual
environment, with or without build isolation.
"""

from __future__ import annotations

import base64
import hashlib
import os
import stat
import sysconfig
import zipfile
from typing import List, Optional, Tuple

NAME = "moravel"
VERSION = "1.0.0"
PACKAGES = ("moravel", "moravel.study")
TAG = "py3-none-any"
# The library is a platform binary: a wheel that carries one says so.
BUNDLED_TAG = "py3-none-" + sysconfig.get_platform().replace("-", "_").replace(".", "_")
SOURCE = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

SUMMARY = ("Teletraffic calculations from libMoravel: Erlang, Engset, multi-rate link groups "
           "and call-by-call simulations")


def _metadata() -> str:
    lines = ["Metadata-Version: 2.1", f"Name: {NAME}", f"Version: {VERSION}",
             f"Summary: {SUMMARY}", "License: see the libMoravel source tree",
             "Requires-Python: >=3.9", "Provides-Extra: arrays",
             'Requires-Dist: numpy ; extra == "arrays"', "Provides-Extra: plots",
             'Requires-Dist: matplotlib ; extra == "plots"',
             "Description-Content-Type: text/markdown", ""]
    readme = os.path.join(SOURCE, "README.md")
    description = ""
    if os.path.isfile(readme):
        with open(readme, encoding="utf-8") as text:
            description = text.read()
    return "\n".join(lines) + "\n" + description


def bundled_library() -> Optional[str]:
    """The library named by MORAVEL_BUNDLE_LIBRARY, or None.  pip runs the
    build inside the package's directory: a relative name is read against
    the directory the command was given in (the shell's PWD), then against
    the package's and the source tree's directories."""
    named = os.environ.get("MORAVEL_BUNDLE_LIBRARY")
    if not named:
        return None
    if os.path.isabs(named):
        candidates = [named]
    else:
        bases = [os.environ.get("PWD"), os.getcwd(), SOURCE, os.path.dirname(SOURCE)]
        candidates = [os.path.join(base, named) for base in bases if base]
    for candidate in candidates:
        if os.path.isfile(candidate):
            return os.path.realpath(candidate)
    raise SystemExit(f"MORAVEL_BUNDLE_LIBRARY={named}: no such file (looked for "
                     + ", ".join(candidates) + ")")


def _sources() -> List[Tuple[str, str]]:
    """(path in the wheel, file) for every module of the packages."""
    found = []
    for package in PACKAGES:
        directory = os.path.join(SOURCE, *package.split("."))
        for name in sorted(os.listdir(directory)):
            if name.endswith(".py"):
                found.append(("/".join(package.split(".") + [name]),
                              os.path.join(directory, name)))
    return found


def _record_line(path: str, data: bytes) -> str:
    digest = base64.urlsafe_b64encode(hashlib.sha256(data).digest()).rstrip(b"=").decode()
    return f"{path},sha256={digest},{len(data)}"


def _write(archive: zipfile.ZipFile, path: str, data: bytes, executable: bool = False) -> None:
    info = zipfile.ZipInfo(path, date_time=(1980, 1, 1, 0, 0, 0))
    info.compress_type = zipfile.ZIP_DEFLATED
    mode = 0o755 if executable else 0o644
    info.external_attr = (stat.S_IFREG | mode) << 16
    archive.writestr(info, data)


def _wheel(directory: str, metadata_only: bool = False) -> str:
    library = None if metadata_only else bundled_library()
    tag = BUNDLED_TAG if library else TAG
    dist_info = f"{NAME}-{VERSION}.dist-info"
    files: List[Tuple[str, bytes, bool]] = []
    if not metadata_only:
        for path, source in _sources():
            with open(source, "rb") as text:
                files.append((path, text.read(), False))
        if library:
            # The soname, which the binding's search tries first; a DLL
            # keeps its one name.
            bundled = "libMoravel.dll" if library.lower().endswith(".dll") else "libMoravel.so.1"
            with open(library, "rb") as binary:
                files.append((f"{NAME}/{bundled}", binary.read(), True))
    wheel = (f"Wheel-Version: 1.0\nGenerator: {NAME}_backend\n"
             f"Root-Is-Purelib: {'false' if library else 'true'}\nTag: {tag}\n")
    files.append((f"{dist_info}/METADATA", _metadata().encode(), False))
    files.append((f"{dist_info}/WHEEL", wheel.encode(), False))
    files.append((f"{dist_info}/top_level.txt", f"{NAME}\n".encode(), False))
    if metadata_only:
        target = os.path.join(directory, dist_info)
        os.makedirs(target, exist_ok=True)
        for path, data, _ in files:
            with open(os.path.join(directory, path), "wb") as out:
                out.write(data)
        return dist_info
    name = f"{NAME}-{VERSION}-{tag}.whl"
    record = [_record_line(path, data) for path, data, _ in files]
    record.append(f"{dist_info}/RECORD,,")
    with zipfile.ZipFile(os.path.join(directory, name), "w") as archive:
        for path, data, executable in files:
            _write(archive, path, data, executable)
        _write(archive, f"{dist_info}/RECORD", ("\n".join(record) + "\n").encode())
    return name


# ---- PEP 517 hooks ---------------------------------------------------------

def get_requires_for_build_wheel(config_settings=None) -> List[str]:
    return []


def prepare_metadata_for_build_wheel(metadata_directory, config_settings=None) -> str:
    return _wheel(metadata_directory, metadata_only=True)


def build_wheel(wheel_directory, config_settings=None, metadata_directory=None) -> str:
    return _wheel(wheel_directory)
