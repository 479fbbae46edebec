#!/usr/bin/env bash
# Builds and runs every test: the portable core natively (AddressSanitizer + UndefinedBehaviorSanitizer,
# then ThreadSanitizer), then the Windows program's tests under Wine inside Xvfb, then the release
# (scripts/release-check.sh).
set -euo pipefail
source "$(dirname "$0")/env.sh"
cd "$root"
scripts/bootstrap.sh
scripts/check-includes.py
echo "== demo server"
python3 -B -m unittest discover -s tests/demo -p '*_test.py'

jobs=$(nproc)
for preset in native native-tsan; do
    echo "== $preset"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j"$jobs"
    ctest --preset "$preset" -j"$jobs"
done

echo "== fuzz (smoke check: a few seconds per target)"
scripts/fuzz.sh 5

echo "== windows (under Wine)"
cmake --preset windows >/dev/null
cmake --build --preset windows -j"$jobs"
# nginx serves the published demo tree to the Windows tests over HTTP and HTTPS; the variables name
# its addresses (scripts/test-servers.sh).
eval "$(scripts/test-servers.sh start)"
trap 'scripts/test-servers.sh stop; wineserver -k >/dev/null 2>&1 || true' EXIT
# Each test runs once. The launcher (scripts/wine-test-launch.sh) starts a process again only when
# Wine died before the process ran any code; every such relaunch is listed below.
export LUMAFORGE_RELAUNCH_LOG="$root/build/windows/relaunched.log"
rm -f "$LUMAFORGE_RELAUNCH_LOG"
# One wineserver and one set of Wine's own services for the whole run, started before ctest with
# their output closed: each test process then starts in a fraction of a second, and no service
# holds ctest's output pipe open.
status=0
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    wineserver -k >/dev/null 2>&1 || true
    wineserver -p >/dev/null 2>&1 </dev/null
    wine cmd /c exit >/dev/null 2>&1 </dev/null
    # Input reaches windows only once the desktop process is up: wait for a click to arrive.
    wine build/windows/input_ready.exe </dev/null || echo "input never arrived at a test window" >&2
    ctest --preset windows -j1
' || status=$?
if [ -s "$LUMAFORGE_RELAUNCH_LOG" ]; then
    echo "== Wine processes started a second time (Wine died at launch; nothing of the test had run):"
    cat "$LUMAFORGE_RELAUNCH_LOG"
fi
# The release built a second time in a folder of its own and compared with the one above, signed,
# and installed, upgraded and uninstalled in a Wine prefix of its own.
echo "== release"
scripts/release-check.sh || status=$?
exit "$status"
