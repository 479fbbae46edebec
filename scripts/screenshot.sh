#!/usr/bin/env bash
# Runs the program inside a Wine desktop under Xvfb and saves screenshots: the window as it opens,
# then, in OUTPUT-download.png, with the styles expanded and the first style downloaded.
# usage: screenshot.sh PROGRAM.exe OUTPUT.png [SECONDS]
set -euo pipefail
source "$(dirname "$0")/env.sh"
program=$1
output=$2
wait_seconds=${3:-8}
second="${output%.png}-download.png"
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    wine explorer /desktop=shot,1024x768 "$1" >/dev/null 2>&1 &
    sleep "$3"
    # The updater and then the start-page question ask first; answer both with No.
    xdotool key n
    sleep 2
    xdotool key n
    sleep 1
    import -window root "$2"
    # The window is centred on the 1024 x 768 desktop: its client area starts at (117, 125).
    xdotool mousemove 475 256 click 1        # Expand All
    sleep 1
    xdotool mousemove 330 305 click --repeat 2 --delay 80 1   # double-click the first style
    sleep 4
    xdotool mousemove 600 600
    sleep 1
    import -window root "$4"
    wineserver -k >/dev/null 2>&1 || true
' _ "$program" "$output" "$wait_seconds" "$second"
echo "screenshots saved to $output and $second"
