#!/usr/bin/env bash
# Installs what is needed, builds the designer into build/bin and starts it.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/lib/absolute-args.sh"
# A skin named relative to where the user stands must survive the change of folder below.
args=()
if [ "$#" -gt 0 ]; then
    mapfile -d '' -t args < <(absolute_args "$@")
fi
cd "$here/.."

scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_BUILD_TESTS=OFF
cmake --build build
exec build/bin/velmora "${args[@]}"
