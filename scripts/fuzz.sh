#!/usr/bin/env bash
# Builds the libFuzzer targets (preset fuzz: clang, ASan + UBSan) and runs each for SECONDS seconds
# (default 60), one after another, from its seed corpus in fuzz/corpus/<target>. What a run finds
# grows build/fuzz/corpus/<target>; a crash is kept as build/fuzz/crashes/<target>-crash-* and makes
# the script fail. Prints the executions and the coverage of every target.
set -euo pipefail
source "$(dirname "$0")/env.sh"
cd "$root"
seconds=${1:-60}

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"$(nproc)" >/dev/null
mkdir -p build/fuzz/crashes
failed=()
while read -r target; do
    [ -n "$target" ] || continue
    corpus="build/fuzz/corpus/$target"
    log="build/fuzz/$target.log"
    mkdir -p "$corpus"
    # The seeds stay as they are in the repository; the run adds what it finds to its own copy.
    if build/fuzz/fuzz/"${target}_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 \
        -print_final_stats=1 -artifact_prefix="build/fuzz/crashes/$target-" "$corpus" "fuzz/corpus/$target" \
        >"$log" 2>&1; then
        status=ok
    else
        status=FAILED
        failed+=("$target")
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    coverage=$(grep -o 'cov: [0-9]* ft: [0-9]*' "$log" | tail -1)
    printf '%-18s %-6s %10s runs  %s\n' "$target" "$status" "${runs:-?}" "${coverage:-cov: ?}"
    [ "$status" = ok ] || tail -n 30 "$log"
done <build/fuzz/fuzz-targets.txt

if [ ${#failed[@]} -gt 0 ]; then
    echo "fuzz: ${failed[*]} found a fault; the inputs are in build/fuzz/crashes" >&2
    exit 1
fi
