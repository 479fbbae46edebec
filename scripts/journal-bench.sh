#!/usr/bin/env bash
# What the install journal costs per kind: makes the demo packages (as scripts/run.sh does) and
# runs journal_bench under Wine on them.
#
#   scripts/journal-bench.sh [ROUNDS]   (15 unless given)
set -euo pipefail
source "$(dirname "$0")/env.sh"
cd "$root"
demo/make_content.py build/demo-content build/windows/demo >/dev/null
res=$(winepath -w "$root/build/demo-content")
# Wine's own services start with its first process and would run beside the first kinds measured:
# they are up before the bench starts.
xvfb-run -a bash -c '
    wineserver -k >/dev/null 2>&1 || true
    wineserver -p >/dev/null 2>&1 </dev/null
    wine cmd /c exit >/dev/null 2>&1 </dev/null
    sleep 2
    wine build/windows/journal_bench.exe "$0" "$1"
    wineserver -k >/dev/null 2>&1 || true
' "$res" "${1:-15}" | tr -d '\r'
