#!/bin/sh
# The main job: the server simulator on 127.0.0.1:5001 in the background,
# then bertlog (window front end when a display is available, console
# otherwise); the simulator is stopped when bertlog ends.
# Answer the prompts with 127.0.0.1, a cycle of 6 to 999 seconds and 1, 2
# or 4 EDs; on the console type "confirm", then "start", then "quit".
set -e
BUILD=${1:-build}
"$BUILD/client/bertsim" --bind 127.0.0.1 --port 5001 &
SIM=$!
trap 'kill $SIM 2>/dev/null || true' EXIT INT TERM
sleep 0.3
status=0
"$BUILD/client/bertlog" || status=$?
echo "bertlog ended with status $status; log files in $BUILD/client/log/"
exit 0
