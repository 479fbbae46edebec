#!/usr/bin/env bash
# Runs the program inside a Wine desktop under Xvfb and saves a screenshot of the screen.
# usage: screenshot.sh PROGRAM.exe OUTPUT.png [SECONDS]
set -euo pipefail
source "$(dirname "$0")/env.sh"
program=$1
output=$2
wait_seconds=${3:-8}
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    wine explorer /desktop=shot,1024x768 "$1" >/dev/null 2>&1 &
    sleep "$3"
    import -window root "$2"
    wineserver -k >/dev/null 2>&1 || true
' _ "$program" "$output" "$wait_seconds"
echo "screenshot saved to $output"
