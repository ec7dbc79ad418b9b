"""The gallery scripts name only functions the package has (they need matplotlib to run)."""

import os
import re

import qmanlys

GALLERY = os.path.join(os.path.dirname(__file__), "..", "..", "examples", "python")


def test_every_function_the_gallery_calls_exists():
  named = set()
  for fn in sorted(os.listdir(GALLERY)):
    if fn.endswith(".py"):
      with open(os.path.join(GALLERY, fn), encoding="utf-8") as f:
        named |= set(re.findall(r"\bqmanlys\.([a-z_][a-z0-9_]*)\b", f.read()))
  assert named, "no qmanlys calls found in the gallery"
  missing = sorted(n for n in named if not hasattr(qmanlys, n))
  assert not missing, missing
