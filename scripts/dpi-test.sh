#!/usr/bin/env bash
# Runs the window's layout test under Wine at each system DPI: LogPixels 96, 120, 144 and 192 in
# the prefix's registry, one new Wine process each (Wine reads the DPI when a process starts; a
# running process never sees a change). The screenshots of every page at 144 DPI are kept in
# build/windows/dpi-screenshots. The prefix's values are put back however the run ends, so every
# other test still runs at the DPI it had.
#
# The tests run in a Wine desktop of their own, large enough for the window at 200 % as a monitor
# run at that scale is; every other test keeps the prefix's desktop, whose size it was written for.
# A process in a desktop of its own does not hand its exit status back, so the result is read from
# the XML report gtest writes.
#
#     scripts/dpi-test.sh [win_tests.exe]     (needs a display: run it under xvfb-run, as
#                                              scripts/test.sh does)
set -uo pipefail
source "$(dirname "$0")/env.sh"
exe=${1:-"$root/build/windows/win_tests.exe"}
shots="$root/build/windows/dpi-screenshots"
keys=('HKCU\Control Panel\Desktop' 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts')

# The value as it is now: its data, or "none" when the key has no such value.
saved=()
for key in "${keys[@]}"; do
    value=$(wine reg query "$key" /v LogPixels 2>/dev/null | tr -d '\r' | awk '/LogPixels/ {print $3}')
    saved+=("${value:-none}")
done
restore() {
    for i in "${!keys[@]}"; do
        if [ "${saved[$i]}" = none ]; then
            wine reg delete "${keys[$i]}" /v LogPixels /f >/dev/null 2>&1
        else
            wine reg add "${keys[$i]}" /v LogPixels /t REG_DWORD /d "$((saved[$i]))" /f >/dev/null 2>&1
        fi
    done
}
trap restore EXIT

rm -rf "$shots"
status=0
for dpi in 96 120 144 192; do
    for key in "${keys[@]}"; do
        wine reg add "$key" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
    done
    echo "== LogPixels $dpi"
    export LUMAFORGE_SYSTEM_DPI=$dpi
    # The pages at 150 % are kept as the run's artefacts; those at 200 % beside them, to be looked at.
    if [ "$dpi" -ge 144 ]; then export LUMAFORGE_DPI_SCREENSHOTS="$shots"; else unset LUMAFORGE_DPI_SCREENSHOTS; fi
    report="$root/build/windows/dpi-$dpi.xml"
    rm -f "$report"
    wine explorer /desktop=LumaforgeDpi,1800x1300 "$exe" --gtest_filter='DpiSystem.*' \
        --gtest_output="xml:$(winepath -w "$report")" </dev/null 2>&1
    # Every test ran (none skipped for want of the set-up) and none failed.
    if ! grep -q '<testsuites tests="[1-9][0-9]*" failures="0" disabled="0" errors="0"' "$report" 2>/dev/null ||
        grep -q '<skipped' "$report"; then
        echo "dpi-test: the tests at LogPixels $dpi failed or did not run (report: $report)"
        status=1
    fi
done
exit "$status"
