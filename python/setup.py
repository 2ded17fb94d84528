"""Builds the orvex shared library with the project's CMake and ships it in the package.

ORVEX_SOURCE_DIR overrides the source tree (default: the parent of this
folder), ORVEX_CMAKE_BUILD_DIR the CMake build folder, and ORVEX_CMAKE_ARGS
adds configure arguments (for example a toolchain file).
"""

import os
import re
import shlex
import shutil
import subprocess
from pathlib import Path

from setuptools import setup
from setuptools.command.build_py import build_py
from setuptools.dist import Distribution

SOURCE = Path(os.environ.get("ORVEX_SOURCE_DIR", Path(__file__).resolve().parent.parent))
BUILD = Path(os.environ.get("ORVEX_CMAKE_BUILD_DIR", SOURCE / "build" / "python-library"))
# Built file name -> name inside the package.
LIBRARIES = {
    "liborvex_core.so": "liborvex_core.so",
    "liborvex_core.dylib": "liborvex_core.dylib",
    "orvex_core.windows-amd64.dll": "orvex_core.windows-amd64.dll",
}


def project_version() -> str:
    text = (SOURCE / "CMakeLists.txt").read_text()
    return re.search(r"project\(\s*orvex\s+VERSION\s+([0-9][0-9.]*)", text).group(1)


def build_library() -> tuple:
    configure = ["cmake", "-S", str(SOURCE), "-B", str(BUILD), "-DCMAKE_BUILD_TYPE=Release",
                 "-DORVEX_BUILD_TESTS=OFF", "-DORVEX_BUILD_BENCH=OFF"]
    subprocess.run(configure + shlex.split(os.environ.get("ORVEX_CMAKE_ARGS", "")), check=True)
    subprocess.run(["cmake", "--build", str(BUILD), "--config", "Release", "--target", "orvex_core",
                    "--parallel", os.environ.get("CMAKE_BUILD_PARALLEL_LEVEL", "2")], check=True)
    found = [path for built in LIBRARIES for path in BUILD.rglob(built)]
    if not found:
        raise RuntimeError(f"the CMake build in {BUILD} produced no orvex_core shared library")
    library = max(found, key=lambda path: path.stat().st_mtime)
    return library.resolve(), LIBRARIES[library.name]


class BuildWithLibrary(build_py):
    """Copies the freshly built shared library next to the Python modules."""

    def run(self):
        super().run()
        library, name = build_library()
        target = Path(self.build_lib) / "orvex"
        target.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(library, target / name)


class NativeDistribution(Distribution):
    """The wheel carries a native library, so it is tagged for this platform."""

    def has_ext_modules(self):
        return True


setup(version=project_version(), cmdclass={"build_py": BuildWithLibrary}, distclass=NativeDistribution)
