#!/bin/sh
# Installs the build into a temporary prefix, then builds a C caller against
# it twice: with cc and pkg-config, and as a CMake project with
# find_package(qmanlys).
set -eu
build=$1
source=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
libdir=$(cd "$(dirname "$(find "$prefix" -name qmanlys.pc)")/.." && pwd)
export PKG_CONFIG_PATH="$libdir/pkgconfig"
cc -std=c99 -Wall -Werror "$source/examples/hello.c" $(pkg-config --cflags --libs qmanlys) \
   -Wl,-rpath,"$libdir" -o "$prefix/hello"
"$prefix/hello" | grep -q "^0: The call was successful.$"
cmake -S "$source/tests/frame/consumer" -B "$prefix/consumer" -DCMAKE_PREFIX_PATH="$prefix" \
      -DHELLO_SOURCE="$source/examples/hello.c" >/dev/null
cmake --build "$prefix/consumer" >/dev/null
"$prefix/consumer/consumer" | grep -q "^-20046: There is an overflow in the calculation$"
echo "installed library: pkg-config and find_package callers run"
