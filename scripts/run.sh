#!/usr/bin/env bash
# Builds Lumaforge and runs it against the local demo server. With an X display the program opens
# there; without one it runs under Xvfb, a screenshot is saved and its path printed.
#
# The demo server is what a real deployment is: Debian's nginx serving the tree that lumaforge-publish
# made and signed (scripts/publish-demo.sh) on 127.0.0.1:$LUMAFORGE_DEMO_PORT, with the program built
# to trust the demo key's public half. Only what no web server holds goes on to demo/server.py behind
# it: the pages of demo/content and the emulated search engines.
set -euo pipefail
source "$(dirname "$0")/env.sh"
source "$root/scripts/nginx-lib.sh"
cd "$root"
scripts/bootstrap.sh
scripts/publish-demo.sh key
cmake --preset windows -DLUMAFORGE_CATALOG_PUBLIC_KEY="$(cat build/demo-key/catalog.pub)" >/dev/null
cmake --build --preset windows -j"$(nproc)"
# The packages carry the demo programs that the build above made.
scripts/publish-demo.sh

engines_port=$(free_ports)
python3 demo/server.py --port "$engines_port" demo/content >build/demo-server.log 2>&1 &
server=$!
cleanup() {
    nginx_stop "$root/build/demo-nginx"
    kill "$server" 2>/dev/null || true
    wineserver -k >/dev/null 2>&1 || true
}
trap cleanup EXIT
nginx_start "$root/build/demo-nginx" "
    server {
        listen 127.0.0.1:$LUMAFORGE_DEMO_PORT;
        root $root/build/demo-published;
        location / { try_files \$uri @demo; }
        location @demo { proxy_pass http://127.0.0.1:$engines_port; proxy_set_header Host \$http_host; }
    }"

program="$root/build/windows/program/Lumaforge.exe"
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    wine explorer /desktop=Lumaforge,1024x768 "$program"
else
    scripts/screenshot.sh "$program" "$root/build/screenshot.png"
fi
