#!/usr/bin/env bash
# Installs what is needed, builds the designer into build/bin and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_BUILD_TESTS=OFF
cmake --build build
exec build/bin/velmora "$@"
