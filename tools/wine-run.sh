#!/bin/sh
# Runs a cross-built Windows program under Wine: CTest's cross-compiling
# emulator for the Windows build. The Wine prefix is private to the build
# tree (created on the first start, which takes some seconds), so the tests'
# registry values never touch the user's own prefix.
#   tools/wine-run.sh program.exe [arguments...]
set -e
if [ -z "$WINEPREFIX" ]; then
  # The build tree is the nearest parent of the working directory holding
  # CMakeCache.txt; failing that, the program's own folder.
  dir=$(pwd)
  while [ "$dir" != "/" ] && [ ! -f "$dir/CMakeCache.txt" ]; do dir=$(dirname "$dir"); done
  [ "$dir" = "/" ] && dir=$(cd "$(dirname "$1")" && pwd)
  WINEPREFIX="$dir/wine-prefix"
fi
export WINEPREFIX
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
WINE=/usr/lib/wine/wine64
[ -x "$WINE" ] || WINE=wine64
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  # Serialise the first start between parallel tests.
  (
    flock 9
    [ -f "$WINEPREFIX/system.reg" ] || { "$WINE" wineboot --init >/dev/null 2>&1 || true; /usr/lib/wine/wineserver -w 2>/dev/null || true; }
  ) 9>"$WINEPREFIX.lock"
fi
exec "$WINE" "$@"
