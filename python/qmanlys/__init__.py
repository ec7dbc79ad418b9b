"""qmanlys: numerical analysis routines for measurement software.

Every export of libqmanlys is a function here, grouped by family
(qmanlys.fft, qmanlys.filters, qmanlys.special, ...) and re-exported at the
top level. Inputs are array-likes (converted to contiguous float64 or
complex128 without a copy where they already are); outputs are new arrays
unless given by keyword (out=... for a single output). A negative status
raises qmanlys.Error (a ValueError with .code and the library's message); a
positive one issues qmanlys.Warning and returns the results. The GIL is
released while the library works.
"""

import importlib as _importlib

from ._qmanlys import Error, Handle, Warning  # noqa: A004
from ._qmanlys import exports as _exports
from ._families import FAMILIES as _FAMILIES

__all__ = ["Error", "Warning", "Handle"]

for _name in _FAMILIES:
  _module = _importlib.import_module("." + _name, __name__)
  globals()[_name] = _module
  for _f in _module.__all__:
    globals()[_f] = getattr(_module, _f)
  __all__.append(_name)
  __all__ += _module.__all__
del _name, _module, _f


def export_number(function):
  """The number n of the export ZMXFunc<n> a function calls."""
  return _exports[function.__name__][1]
