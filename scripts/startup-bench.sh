#!/usr/bin/env bash
# Start to visible main window under Wine, with the demo server and with a server that takes the
# connection and never answers, each against a bare Win32 window measured in the same run.
set -euo pipefail
source "$(dirname "$0")/env.sh"
cd "$root"
scripts/bootstrap.sh
cmake --preset windows >/dev/null
cmake --build --preset windows -j"$(nproc)" --target Lumaforge LumaforgeCHS bare_window startup_bench >/dev/null
demo/make_content.py build/demo-content build/windows/demo >/dev/null

bench() {
    xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
        wineserver -k >/dev/null 2>&1 || true
        wineserver -p >/dev/null 2>&1 </dev/null
        wine cmd /c exit >/dev/null 2>&1 </dev/null
        wine build/windows/startup_bench.exe build/windows/program/Lumaforge.exe build/windows/bare_window.exe "$0"
        wineserver -k >/dev/null 2>&1 || true
    ' "$1"
}

server=""
stop_server() { [ -n "$server" ] && kill "$server" 2>/dev/null && wait "$server" 2>/dev/null || true; server=""; }
trap stop_server EXIT

python3 demo/server.py --port "$LUMAFORGE_DEMO_PORT" demo/content build/demo-content >build/demo-server.log 2>&1 &
server=$!
sleep 1
bench "demo server"
stop_server

python3 - "$LUMAFORGE_DEMO_PORT" <<'PY' &
import socket, sys, time
listener = socket.socket()
listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
listener.bind(("127.0.0.1", int(sys.argv[1])))
listener.listen(64)
held = []
while True:
    held.append(listener.accept()[0])  # taken, never answered
PY
server=$!
sleep 1
bench "stalled server"
