"""Builds the package against an existing libqmanlys (see python/README.md).

The library comes from, in this order:
  QMANLYS_BUILD_DIR=<CMake build tree>   libqmanlys.so in that folder, the
                                          headers and signature table of this
                                          source tree;
  pkg-config qmanlys                      an installed library (its libdir and
                                          includedir, the signature table
                                          installed beside the headers).
QMANLYS_PYTHON_PARTIAL=1 accepts a signature table that does not list every
export yet, like the CMake option QM_PYTHON_PARTIAL.

python/generate.py writes the wrappers into the build folder; the compiled
module qmanlys._qmanlys is linked with an RPATH to the library's folder.
"""

import glob
import os
import shutil
import subprocess
import sys

import numpy
from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext
from setuptools.command.build_py import build_py

HERE = os.path.dirname(os.path.abspath(__file__))
TREE = os.path.dirname(HERE)


def pkg_config_var(name):
  try:
    out = subprocess.run(["pkg-config", "--variable=" + name, "qmanlys"], check=True,
                         capture_output=True, text=True)
  except (OSError, subprocess.CalledProcessError):
    return None
  return out.stdout.strip() or None


def locate_library():
  """(library folder, include folder) of the libqmanlys to build against."""
  build_dir = os.environ.get("QMANLYS_BUILD_DIR")
  if build_dir:
    build_dir = os.path.abspath(build_dir)
    if not glob.glob(os.path.join(build_dir, "libqmanlys.so*")):
      sys.exit("QMANLYS_BUILD_DIR=%s holds no libqmanlys.so (build the library first)" % build_dir)
    return build_dir, os.path.join(TREE, "include")
  libdir, includedir = pkg_config_var("libdir"), pkg_config_var("includedir")
  if libdir and includedir:
    return os.path.realpath(libdir), os.path.realpath(includedir)
  sys.exit("libqmanlys not found: set QMANLYS_BUILD_DIR to a CMake build tree of the "
           "library, or install it where pkg-config finds qmanlys.pc")


LIBDIR, INCLUDEDIR = locate_library()


def generate(out_dir):
  """Runs generate.py once into out_dir; returns the generated C++ sources."""
  stamp = os.path.join(out_dir, "bindings_index.cpp")
  if not os.path.exists(stamp):
    cmd = [sys.executable, os.path.join(HERE, "generate.py"),
           "--sig", os.path.join(INCLUDEDIR, "qmanlys", "signatures"),
           "--include", INCLUDEDIR, "--out", out_dir]
    if os.environ.get("QMANLYS_PYTHON_PARTIAL", "") not in ("", "0"):
      cmd.append("--partial")
    subprocess.run(cmd, check=True)
  return sorted(glob.glob(os.path.join(out_dir, "bindings_*.cpp")))


def generated_dir(command):
  return os.path.join(os.path.abspath(command.get_finalized_command("build_ext").build_temp),
                      "generated")


class BuildPy(build_py):
  """The pure-Python files plus the generated family modules."""

  def run(self):
    super().run()
    gen = generated_dir(self)
    generate(gen)
    target = os.path.join(self.build_lib, "qmanlys")
    os.makedirs(target, exist_ok=True)
    for f in glob.glob(os.path.join(gen, "qmanlys", "*.py")):
      shutil.copy(f, target)


class BuildExt(build_ext):
  def build_extensions(self):
    sources = generate(generated_dir(self))
    for ext in self.extensions:
      ext.sources = [os.path.join("src", "runtime.cpp")] + sources
    super().build_extensions()


module = Extension(
    "qmanlys._qmanlys",
    sources=[os.path.join("src", "runtime.cpp")],  # and the generated ones (BuildExt)
    include_dirs=[os.path.join(HERE, "src"), INCLUDEDIR, numpy.get_include()],
    library_dirs=[LIBDIR],
    libraries=["qmanlys"],
    runtime_library_dirs=[LIBDIR],
    extra_compile_args=["-std=c++20", "-fvisibility=hidden", "-Wno-cast-function-type",
                        "-Wno-missing-field-initializers"],
    language="c++")

setup(packages=["qmanlys"], ext_modules=[module],
      cmdclass={"build_py": BuildPy, "build_ext": BuildExt})
