#!/usr/bin/env bash
# Times the package extractor: the benchmark under Wine compares it with minizip's plain loop,
# then this script times Info-ZIP unzip natively on the same archive in the same file system.
#
#   scripts/extract-bench.sh [path of extract_bench.exe]
#
# A WINEPREFIX set by the caller is kept.
set -euo pipefail
caller_prefix="${WINEPREFIX:-}"
source "$(dirname "$0")/env.sh"
[ -n "$caller_prefix" ] && export WINEPREFIX="$caller_prefix"
exe="${1:-$root/build/windows/extract_bench.exe}"

output=$(xvfb-run -a wine "$exe" | tr -d '\r')
echo "$output"
archive=$(winepath -u "$(sed -n 's/^archive: //p' <<<"$output")" 2>/dev/null)
ours=$(sed -n 's/^package extractor seconds: //p' <<<"$output")
[ -f "$archive" ] && [ -n "$ours" ] || { echo "extract-bench: no result from $exe" >&2; exit 1; }

# Best of five, as the benchmark takes its own times.
target="$(dirname "$archive")/unzip"
best=""
for round in 1 2 3 4 5; do
    rm -rf "$target"
    start=$(date +%s.%N)
    unzip -oq "$archive" -d "$target"
    end=$(date +%s.%N)
    best=$(awk -v s="$start" -v e="$end" -v b="$best" 'BEGIN { t = e - s; print (b == "" || t < b) ? t : b }')
done
rm -rf "$target"
awk -v u="$best" -v o="$ours" 'BEGIN {
    printf "native Info-ZIP unzip -oq seconds: %.3f\n", u
    printf "ratio package extractor / native unzip: %.2f\n", o / u
}'
