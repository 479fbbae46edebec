#!/usr/bin/env bash
# Publishes the demo content as a catalog maintainer publishes a catalog: demo/make_content.py lays
# the packages out as a source (build/demo-source), and lumaforge-publish checks and signs them into
# the web server's tree (build/demo-published) with the demo's own key, made once in the build
# folder (build/demo-key; no secret key is ever in the repository).
#
#   scripts/publish-demo.sh key   only make the key (before the program is built with its public half)
#   scripts/publish-demo.sh       make the key if needed and publish; needs the Windows build's demo programs
set -euo pipefail
source "$(dirname "$0")/env.sh"
cd "$root"
key="$root/build/demo-key"
tool="$root/build/native/lumaforge-publish"

# The native build of the tool: quick to run, and scripts/test.sh builds it anyway.
cmake --preset native >/dev/null
cmake --build --preset native -j"$(nproc)" --target lumaforge-publish >/dev/null
[ -f "$key/catalog.key" ] || "$tool" keygen "$key" >/dev/null
[ "${1:-}" = key ] && exit 0

demo/make_content.py "$root/build/demo-source" "$root/build/windows/demo"
"$tool" build --key "$key/catalog.key" "$root/build/demo-source" "$root/build/demo-published" >/dev/null
