"""cmake --install into a temporary prefix: the package lands in a site-packages
folder below it and, imported from there, loads the installed library (not
the build tree's), also after the prefix has been moved."""

import ast
import glob
import os
import shutil
import subprocess
import sys

import pytest

LIBRARY = os.environ.get("QM_SHARED_LIBRARY")


def installed_site(prefix):
  found = glob.glob(os.path.join(prefix, "lib*", "python3*", "*-packages", "qmanlys", "__init__.py"))
  assert len(found) == 1, found
  return os.path.dirname(os.path.dirname(found[0]))


def import_from(site):
  """The loaded library's path and a transform, in a fresh interpreter."""
  code = ("import qmanlys\n"
          "maps = open('/proc/self/maps').read().split('\\n')\n"
          "print(sorted({l.split()[-1] for l in maps if 'libqmanlys.so' in l}))\n"
          "print(qmanlys.__file__)\n"
          "print(qmanlys.fft.real_fft([1, 2, 3, 4]).tolist())\n")
  env = {k: v for k, v in os.environ.items() if k not in ("PYTHONPATH", "LD_LIBRARY_PATH")}
  env["PYTHONPATH"] = site
  out = subprocess.run([sys.executable, "-c", code], env=env, cwd=site, capture_output=True,
                       text=True, check=True)
  return out.stdout.splitlines()


@pytest.mark.skipif(not LIBRARY or shutil.which("cmake") is None,
                    reason="needs the CMake build tree (QM_SHARED_LIBRARY) and cmake")
def test_installed_package_imports_with_the_installed_library(tmp_path):
  build = os.path.dirname(LIBRARY)
  prefix = tmp_path / "prefix"
  done = subprocess.run(["cmake", "--install", build, "--prefix", str(prefix)],
                        capture_output=True, text=True)
  if done.returncode != 0 and "cannot find" in done.stderr:
    pytest.skip("the build tree is not fully built: " + done.stderr.strip().splitlines()[-1])
  assert done.returncode == 0, done.stderr
  # Every file of the build tree's package is installed (the family modules
  # are generated, the compiled module is named by the interpreter's ABI).
  built = os.path.join(build, "python", "qmanlys")
  expected = sorted(f for f in os.listdir(built) if f.endswith((".py", ".so")))
  assert sorted(f for f in os.listdir(installed_site(prefix) + "/qmanlys")
                if f.endswith((".py", ".so"))) == expected
  for where in (prefix, tmp_path / "moved"):
    if where != prefix:
      prefix.rename(where)
    site = installed_site(where)
    assert os.path.relpath(site, where).startswith("lib")
    libs, module, spectrum = import_from(site)
    libs = ast.literal_eval(libs)
    assert libs and all(p.startswith(os.path.realpath(where) + os.sep) for p in libs), libs
    assert module.startswith(site)
    assert spectrum == str([(10 + 0j), (-2 + 2j), (-2 + 0j), (-2 - 2j)])
