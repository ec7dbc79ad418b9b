#!/bin/sh
# Installs the Debian packages the build, the tests and the client need,
# when any is missing.
#   tools/install-deps.sh --reference   also the packages that regenerate the
#     committed reference data (tests/*/data/*.py, run with /usr/bin/python3)
#     and the optional benchmark peers (GSL); neither the build nor the tests
#     need them.
#   tools/install-deps.sh --examples    also the packages of the Python
#     examples gallery (make examples): matplotlib, dask, dask.distributed.
#   tools/install-deps.sh --fuzz   also clang and its sanitizer/libFuzzer
#     runtimes (make fuzz, tests/fuzz/run.sh)
#   tools/install-deps.sh --windows   also the MinGW-w64 cross compiler, the
#     GoogleTest sources and Wine, for the Windows build (make windows).
set -e
PACKAGES="build-essential cmake pkg-config googletest libgtest-dev libgmock-dev libbenchmark-dev
libopenblas0-pthread libopenblas-dev libfltk1.3-dev xvfb xauth libfftw3-dev
python3-dev python3-numpy python3-pytest python3-scipy"
for option in "$@"; do
  case "$option" in
    --reference) PACKAGES="$PACKAGES python3-mpmath libgsl-dev" ;;
    --examples) PACKAGES="$PACKAGES python3-matplotlib python3-dask python3-distributed" ;;
    --fuzz) PACKAGES="$PACKAGES clang libclang-rt-dev" ;;
    --windows) PACKAGES="$PACKAGES g++-mingw-w64-x86-64-posix googletest wine64" ;;
  esac
done
missing=""
for p in $PACKAGES; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
echo "Installing:$missing"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends $missing
