#!/usr/bin/env bash
# Installs what is needed, checks the code's formatting, builds everything (the benchmarks too,
# which it does not run) with AddressSanitizer and UBSan and warnings as errors, runs every test:
# the unit tests offscreen, the end-to-end tests on a virtual X display of their own; then builds
# the program as scripts/run.sh does (no sanitizers, which cannot run under an address-space
# limit) and checks its memory and file-size bounds (tests/limits/).
# CMAKE_BUILD_PARALLEL_LEVEL limits the build's parallel jobs; arguments go to ctest.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
scripts/check-format.sh
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELMORA_SANITIZE=ON \
    -DVELMORA_WERROR=ON -DVELMORA_BUILD_TESTS=ON -DVELMORA_BUILD_FUZZ=ON -DVELMORA_BUILD_BENCH=ON
cmake --build build-test

# A runtime folder of the tests' own: Qt wants one, the programs put their scratch folders
# there, and nothing is left behind in the user's.
runtime="$(mktemp -d "${TMPDIR:-/tmp}/velmora-test-runtime.XXXXXX")"
chmod 700 "$runtime"
trap 'rm -rf "$runtime"' EXIT
export XDG_RUNTIME_DIR="$runtime"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build-test --output-on-failure -j2 "$@"

release="${VELMORA_BUILD_DIR:-build}"
if [ ! -f "$release/CMakeCache.txt" ] || [ ! -f "$release/build.ninja" ]; then
    cmake -S . -B "$release" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_BUILD_TESTS=OFF
fi
cmake --build "$release"
tests/limits/run.sh "$release/bin"
