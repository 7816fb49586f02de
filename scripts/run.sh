#!/usr/bin/env bash
# Installs what is needed, builds the designer into build/bin and starts it. VELMORA_BUILD_DIR
# names another build folder.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/lib/absolute-args.sh"
# A skin named relative to where the user stands must survive the change of folder below.
args=()
if [ "$#" -gt 0 ]; then
    mapfile -d '' -t args < <(absolute_args "$@")
fi
cd "$here/.."
build="${VELMORA_BUILD_DIR:-build}"

scripts/install-deps.sh
# Configured once; after that the build itself re-runs CMake when a CMakeLists.txt changes, so a
# second start with nothing changed goes straight to the program.
if [ ! -f "$build/CMakeCache.txt" ] || [ ! -f "$build/build.ninja" ]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_BUILD_TESTS=OFF
fi
cmake --build "$build"
exec "$build/bin/velmora" "${args[@]}"
