#!/usr/bin/env bash
# The journal's kill test at length: RUNS times (default 1000) an editor making a stream of
# edits is killed with SIGKILL at a random moment, and every restart must recover the last edit
# it completed or the one under way, never anything else. Uses the AddressSanitizer build of
# scripts/test.sh (VELMORA_BUILD_DIR names another one).
#
#   scripts/journal-soak.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."

runs=${1:-1000}
if ! [[ "$runs" =~ ^[1-9][0-9]*$ ]]; then
    echo "usage: scripts/journal-soak.sh [RUNS]" >&2
    exit 2
fi
build=${VELMORA_BUILD_DIR:-build-test}
if [ ! -d "$build" ]; then
    echo "journal-soak: no build in $build; run scripts/test.sh first" >&2
    exit 2
fi
cmake --build "$build" --target journal_kill_tests journal_editor
VELMORA_KILL_RUNS=$runs QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 \
    "$build/tests/journal_kill_tests"
