#!/usr/bin/env bash
# What the install journal costs per kind: makes the demo packages (as scripts/run.sh does) and
# runs journal_bench under Wine on them.
#
#   scripts/journal-bench.sh [ROUNDS]
set -euo pipefail
source "$(dirname "$0")/env.sh"
cd "$root"
demo/make_content.py build/demo-content build/windows/demo >/dev/null
res=$(winepath -w "$root/build/demo-content")
xvfb-run -a wine build/windows/journal_bench.exe "$res" "${1:-7}" | tr -d '\r'
