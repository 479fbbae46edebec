#!/usr/bin/env bash
# Builds Lumaforge and runs it against the local demo server. With an X display the program opens
# there; without one it runs under Xvfb, a screenshot is saved and its path printed.
set -euo pipefail
source "$(dirname "$0")/env.sh"
cd "$root"
scripts/bootstrap.sh
cmake --preset windows >/dev/null
cmake --build --preset windows -j"$(nproc)"
# The packages carry the demo programs that the build above made.
demo/make_content.py build/demo-content build/windows/demo

python3 demo/server.py --port "$LUMAFORGE_DEMO_PORT" demo/content build/demo-content >build/demo-server.log 2>&1 &
server=$!
cleanup() {
    kill "$server" 2>/dev/null || true
    wineserver -k >/dev/null 2>&1 || true
}
trap cleanup EXIT

program="$root/build/windows/program/Lumaforge.exe"
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    wine explorer /desktop=Lumaforge,1024x768 "$program"
else
    scripts/screenshot.sh "$program" "$root/build/screenshot.png"
fi
