"""Build step of the moravel package beyond pyproject.toml: with
MORAVEL_BUNDLE_LIBRARY naming a built libMoravel, a copy of it goes into the
package, where the binding looks first after MORAVEL_LIBRARY."""

import os
import shutil

from setuptools import setup
from setuptools.command.build_py import build_py


class BuildWithLibrary(build_py):
    def run(self):
        super().run()
        library = os.environ.get("MORAVEL_BUNDLE_LIBRARY")
        if library:
            if not os.path.isfile(library):
                raise SystemExit(f"MORAVEL_BUNDLE_LIBRARY={library}: no such file")
            # The soname, which the binding's search tries first.
            target = os.path.join(self.build_lib, "moravel", "libMoravel.so.1")
            shutil.copyfile(library, target)


setup(cmdclass={"build_py": BuildWithLibrary})
