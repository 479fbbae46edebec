#!/usr/bin/env bash
# Runs one Windows test process under Wine (the test build's emulator). Now and then a Wine process
# dies at launch before any of its code runs: no output at all and a failing status (seen about
# once in ten full runs). Nothing of the test ran then, so the process is started once more and the
# relaunch is written to $LUMAFORGE_RELAUNCH_LOG, which scripts/test.sh prints at the end. A process
# that printed anything stands as it ended: a test that fails is never run again.
out=$(mktemp)
trap 'rm -f "$out"' EXIT
# The output streams as it comes, so a test that hangs still shows how far it got.
wine "$@" 2>&1 | tee "$out"
status=${PIPESTATUS[0]}
if [ "$status" -ne 0 ] && [ ! -s "$out" ]; then
    echo "relaunched after Wine died at launch: $*" >>"${LUMAFORGE_RELAUNCH_LOG:-/dev/null}"
    wine "$@" 2>&1
    status=$?
fi
exit "$status"
