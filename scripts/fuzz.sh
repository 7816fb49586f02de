#!/usr/bin/env bash
# Builds the fuzz entries of the file readers in the AddressSanitizer and UBSan build of
# scripts/test.sh and runs each one on its seeds for SECONDS (default 60). Prints one line per
# entry: its name, how many inputs it ran and what it found. An entry stops at its first finding;
# the input is saved under <build>/fuzz/findings/<time of the run>/<entry>/ with the entry's log
# beside it, and copied into fuzz/seeds/ under the entry's prefix it becomes a regression seed.
# Exits with 1 when any entry found something. `<build>/fuzz/fuzz_<entry> -runs=0 FILE` replays a
# finding; ASAN_OPTIONS=fast_unwind_on_malloc=0 gives the whole stack of an allocation made
# inside a library built without frame pointers.
#
#   scripts/fuzz.sh [SECONDS [ENTRY...]]
#
# Naming entries runs only those (two runs over different entries may share the machine's cores
# once the first has finished building).
#
# VELMORA_BUILD_DIR names another build folder (default build-test); CMAKE_BUILD_PARALLEL_LEVEL
# limits the build's jobs.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
if ! [[ "$seconds" =~ ^[1-9][0-9]*$ ]]; then
    echo "usage: scripts/fuzz.sh [SECONDS [ENTRY...]]" >&2
    exit 2
fi
shift || true
wanted=("$@")
build=${VELMORA_BUILD_DIR:-build-test}

scripts/install-deps.sh
setup_log=$(mktemp)
trap 'rm -f "$setup_log"' EXIT
if ! { cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELMORA_SANITIZE=ON \
        -DVELMORA_BUILD_TESTS=ON -DVELMORA_BUILD_FUZZ=ON &&
       cmake --build "$build" --target fuzz_entries; } >"$setup_log" 2>&1; then
    cat "$setup_log" >&2
    echo "fuzz.sh: the build failed" >&2
    exit 1
fi

# One line per seed: the entry's name, a tab, the seed's path.
entries_file="$build/fuzz/entries.txt"
mapfile -t names < <(cut -f1 "$entries_file" | awk '!seen[$0]++')
if [[ ${#wanted[@]} -gt 0 ]]; then
    for entry in "${wanted[@]}"; do
        if ! printf '%s\n' "${names[@]}" | grep -qx -- "$entry"; then
            echo "fuzz.sh: no entry \"$entry\" (there are: ${names[*]})" >&2
            exit 2
        fi
    done
    names=("${wanted[@]}")
fi
run_dir="$build/fuzz/findings/$(date +%Y%m%d-%H%M%S)-$$"
mkdir -p "$run_dir"

found=0
for name in "${names[@]}"; do
    seeds=()
    while IFS=$'\t' read -r entry seed; do
        [[ "$entry" == "$name" ]] && seeds+=("$seed")
    done <"$entries_file"
    dir="$run_dir/$name"
    mkdir -p "$dir"
    log="$dir/log.txt"

    status=0
    # The driver's own watchdog ends a run that hangs; the outer limit only guards the driver.
    # The shell's own word on an entry that aborted goes nowhere: the line below says it.
    {
        ASAN_OPTIONS="detect_leaks=0${ASAN_OPTIONS:+:$ASAN_OPTIONS}" \
        QT_QPA_PLATFORM=offscreen \
            timeout --signal=KILL $((seconds + 300)) \
            "$build/fuzz/fuzz_$name" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=2048 \
            -artifact_prefix="$dir/" "${seeds[@]}" >"$log" 2>&1 || status=$?
    } 2>/dev/null

    runs=$(sed -nE 's/^Done ([0-9]+) runs.*/\1/p; s/^==fuzz== [a-z]+ on run ([0-9]+) .*/\1/p' "$log" |
        tail -n 1)
    mapfile -t saved < <(find "$dir" -maxdepth 1 -type f \
        \( -name 'crash-*' -o -name 'timeout-*' -o -name 'oom-*' \) | sort)
    if [[ $status -eq 0 && ${#saved[@]} -eq 0 ]]; then
        result="no findings"
    else
        found=1
        # The first line that says what went wrong.
        what=$(grep -m1 -E '^SUMMARY: |runtime error: |==fuzz== (broken|a run|memory)|terminate called' \
            "$log" || true)
        if [[ ${#saved[@]} -gt 0 ]]; then
            result="FINDING ${saved[*]}: ${what:-exit status $status} (log: $log)"
        else
            result="FAILED with exit status $status and no input saved (log: $log)"
        fi
    fi
    printf '%-10s %12s runs  %s\n' "$name" "${runs:-?}" "$result"
done
exit "$found"
