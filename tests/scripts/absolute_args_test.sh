#!/usr/bin/env bash
# scripts/run.sh changes folder before it starts the program; a skin named relative to where the
# user stood must still be found. Usage: absolute_args_test.sh PATH/TO/absolute-args.sh
set -euo pipefail
source "$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"

mapfile -d '' -t got < <(absolute_args "my skin.skin" sub/a.skin /abs/b.skin --flag "")
expected=("$work/my skin.skin" "$work/sub/a.skin" /abs/b.skin --flag "")
if [ "${#got[@]}" -ne "${#expected[@]}" ]; then
    echo "expected ${#expected[@]} arguments, got ${#got[@]}" >&2
    exit 1
fi
for i in "${!expected[@]}"; do
    if [ "${got[$i]}" != "${expected[$i]}" ]; then
        echo "argument $i: expected '${expected[$i]}', got '${got[$i]}'" >&2
        exit 1
    fi
done
mapfile -d '' -t none < <(absolute_args)
if [ "${#none[@]}" -ne 0 ]; then
    echo "no arguments must give none" >&2
    exit 1
fi
echo "absolute_args: all cases hold"
