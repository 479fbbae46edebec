#!/usr/bin/env bash
# Times the check of a download against the manifest: the benchmark under Wine hashes a 100 MB
# package with the program's own SHA-256 (libsodium), then this script times Debian's sha256sum
# natively on the same file and prints the ratio. The two digests must agree. The benchmark also
# prints the download of a 100 MB package through the download manager with and without the check.
#
#   scripts/verify-bench.sh [path of verify_bench.exe]
set -euo pipefail
caller_prefix="${WINEPREFIX:-}"
source "$(dirname "$0")/env.sh"
[ -n "$caller_prefix" ] && export WINEPREFIX="$caller_prefix"
exe="${1:-$root/build/windows/verify_bench.exe}"

output=$(wine "$exe" | tr -d '\r')
echo "$output"
package=$(winepath -u "$(sed -n 's/^package: //p' <<<"$output")" 2>/dev/null)
ours=$(sed -n 's/^DigestOfFile seconds: \([0-9.]*\).*/\1/p' <<<"$output")
digest=$(sed -n 's/^sha256: //p' <<<"$output")
[ -f "$package" ] && [ -n "$ours" ] || { echo "verify-bench: no result from $exe" >&2; exit 1; }

# Best of three, as the benchmark takes its own times.
best=""
for round in 1 2 3; do
    start=$(date +%s.%N)
    native=$(sha256sum "$package" | cut -d' ' -f1)
    end=$(date +%s.%N)
    best=$(awk -v s="$start" -v e="$end" -v b="$best" 'BEGIN { t = e - s; print (b == "" || t < b) ? t : b }')
done
rm -f "$package"
[ "$native" = "$digest" ] || { echo "verify-bench: sha256sum gives $native, the program $digest" >&2; exit 1; }
awk -v n="$best" -v o="$ours" 'BEGIN {
    printf "native sha256sum seconds: %.3f (%.0f MB/s)\n", n, 100 / n
    printf "ratio DigestOfFile under Wine / native sha256sum: %.2f\n", o / n
}'
