#!/usr/bin/env bash
# Runs every tests/limits/*_limits.sh against programs built without sanitizers: AddressSanitizer
# reserves far more address space than `ulimit -v` allows, so memory bounds can only be checked
# on a plain build. Each script gets VELMORA_PLAIN_BIN (the folder of that build's velmora-cli)
# and WORK (an empty folder of its own, removed afterwards).
#
#   tests/limits/run.sh BIN_FOLDER
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
if [[ $# -ne 1 || ! -x $1/velmora-cli ]]; then
    echo "usage: tests/limits/run.sh BIN_FOLDER (holding a velmora-cli built without sanitizers)" >&2
    exit 2
fi
export VELMORA_PLAIN_BIN="$(cd "$1" && pwd)"

failed=0
for script in "$here"/*_limits.sh; do
    WORK="$(mktemp -d "${TMPDIR:-/tmp}/velmora-limits.XXXXXX")"
    export WORK
    echo "== $(basename "$script")"
    if ! bash "$script"; then
        failed=1
    fi
    rm -rf "$WORK"
done
if [[ $failed -ne 0 ]]; then
    echo "limits: some cases failed" >&2
fi
exit $failed
