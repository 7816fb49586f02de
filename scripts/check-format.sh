#!/usr/bin/env bash
# Fails, naming each file, when clang-format (with the repository's .clang-format) would change
# any C++ source or header. `scripts/check-format.sh --fix` formats them instead.
set -euo pipefail
cd "$(dirname "$0")/.."

if ! command -v clang-format >/dev/null; then
    echo "check-format: clang-format is not installed (scripts/install-deps.sh installs it)" >&2
    exit 2
fi
# The tracked files in a clone; every source below the folders we write in otherwise (a tarball).
if [ -d .git ] && command -v git >/dev/null; then
    mapfile -d '' files < <(git ls-files -z -- '*.cpp' '*.h' '*.hpp')
else
    mapfile -d '' files < <(find src tools tests bench fuzz -type f \
        \( -name '*.cpp' -o -name '*.h' -o -name '*.hpp' \) -print0 2>/dev/null)
fi
if [ "${1:-}" = "--fix" ]; then
    clang-format -i -- "${files[@]}"
    exit 0
fi
# One run over all of them; each finding starts with its file's name.
report=$(clang-format --dry-run --Werror -- "${files[@]}" 2>&1 >/dev/null) && exit 0
{
    grep -oE '^[^:]+:[0-9]+:[0-9]+: error' <<<"$report" | cut -d: -f1 | sort -u |
        sed 's/^/check-format: not formatted: /' || printf '%s\n' "$report"
    echo "check-format: run scripts/check-format.sh --fix"
} >&2
exit 1
