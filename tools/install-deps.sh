#!/bin/sh
# Installs the Debian packages the build, the tests and the client need,
# when any is missing.
set -e
PACKAGES="build-essential cmake pkg-config googletest libgtest-dev libgmock-dev libbenchmark-dev
libopenblas0-pthread libopenblas-dev libfltk1.3-dev xvfb xauth libfftw3-dev"
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
