#!/bin/sh
# The main job with its embedded defaults: report the library's BLAS binding
# and a few status messages.
set -e
BUILD=${1:-build}
exec "$BUILD/examples/binding_report"
