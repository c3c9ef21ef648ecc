"""Builds the kelsvg Python module with the project's CMake build.

    python3 -m venv --system-site-packages .venv && .venv/bin/pip install .

Nothing is downloaded: CMake, a C++ compiler, pybind11 and the libraries the
project needs come from the system (scripts/setup installs them).
"""

import glob
import os
import re
import shutil
import subprocess
import sys

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

ROOT = os.path.dirname(os.path.abspath(__file__))


def version():
    with open(os.path.join(ROOT, "CMakeLists.txt")) as cmake:
        return re.search(r"project\(KelSvg VERSION ([0-9.]+)", cmake.read()).group(1)


class CMakeBuild(build_ext):
    def build_extension(self, ext):
        build = os.path.abspath(os.path.join(self.build_temp, "cmake"))
        configure = ["cmake", "-S", ROOT, "-B", build, "-DCMAKE_BUILD_TYPE=Release",
                     "-DKELSVG_TESTS=OFF", "-DKELSVG_BENCH=OFF", "-DKELSVG_VIEWER=OFF",
                     "-DKELSVG_PYTHON=ON", "-DPython3_EXECUTABLE=" + sys.executable]
        if shutil.which("ninja"):
            configure += ["-G", "Ninja"]
        subprocess.run(configure, check=True)
        subprocess.run(["cmake", "--build", build, "--target", "kelsvg_python", "-j",
                        str(min(os.cpu_count() or 1, 2))], check=True)
        built = glob.glob(os.path.join(build, "python", "kelsvg", "_kelsvg*.so"))
        if len(built) != 1:
            sys.exit("setup.py: the CMake build made no kelsvg module (is pybind11 installed?)")
        target = self.get_ext_fullpath(ext.name)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        shutil.copyfile(built[0], target)


setup(
    name="kelsvg",
    version=version(),
    description="SVG rendering to PNG, PDF, SVG, PostScript and RGBA pixels",
    packages=["kelsvg"],
    package_dir={"kelsvg": "python/kelsvg"},
    package_data={"kelsvg": ["py.typed", "_kelsvg.pyi"]},
    ext_modules=[Extension("kelsvg._kelsvg", sources=[])],
    cmdclass={"build_ext": CMakeBuild},
    python_requires=">=3.7",
    zip_safe=False,
)
