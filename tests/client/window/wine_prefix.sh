#!/bin/sh
# Prepares the Wine prefix of the window front end's test: the null graphics
# driver, so windows can be made without a display. The wine server is let
# go afterwards: the desktop process it runs reads the driver when it starts.
#   wine_prefix.sh <wine-run.sh>     (WINEPREFIX names the prefix)
set -e
sh "$1" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null
server=/usr/lib/wine/wineserver
[ -x "$server" ] || server=wineserver
"$server" -w
