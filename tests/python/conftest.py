"""Shared fixtures of the binding's tests (run by CTest with the build tree's package)."""

import warnings

import numpy as np
import pytest


@pytest.fixture
def rng():
  return np.random.default_rng(20261209)


@pytest.fixture
def no_warnings():
  """Turns any warning into an error inside the test."""
  with warnings.catch_warnings():
    warnings.simplefilter("error")
    yield
