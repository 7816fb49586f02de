#!/usr/bin/env bash
# Wrapping and unwrapping a 20 MB picture with velmora-cli, side by side with coreutils' base64
# doing the same byte work: prints the median of RUNS whole-process runs of each, their ratio,
# and velmora-cli's peak memory against the file's size.
#
#   bench/compare.sh [VELMORA_CLI] [RUNS]
#
# VELMORA_CLI defaults to the Release build's (build-bench/bin/velmora-cli, see the README).
# velmora-cli flushes what it writes to disk before renaming it into place; the unwrapping's
# peer is given the same `sync` of its file, the wrapping's peer is not.
set -euo pipefail
cd "$(dirname "$0")/.."

cli=${1:-build-bench/bin/velmora-cli}
runs=${2:-7}
if [ ! -x "$cli" ]; then
    echo "compare.sh: no velmora-cli at $cli (build build-bench first)" >&2
    exit 2
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A picture with a real JPEG header and 20 MB of data before its end marker, as a big photo.
picture=$work/big.jpg
{
    head -c -2 data/default_back.jpg
    head -c $((20 * 1024 * 1024)) /dev/urandom
    printf '\xff\xd9'
} > "$picture"
size=$(stat -c %s "$picture")

# Median wall time in milliseconds of running "$@" RUNS times.
median_ms() {
    local times=()
    for _ in $(seq "$runs"); do
        local start end
        start=$(date +%s%N)
        "$@" > /dev/null
        end=$(date +%s%N)
        times+=($(((end - start) / 1000)))
    done
    printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {printf "%.1f", a[int((NR+1)/2)]/1000}'
}

peak_mib() {
    /usr/bin/time -f %M "$@" 2>&1 > /dev/null | tail -1 | awk '{printf "%.1f", $1/1024}'
}

wrap_ours() { "$cli" svg wrap "$picture" -o "$work/ours.svg"; }
wrap_peer() { base64 -w0 "$picture" > "$work/peer.b64"; }
wrap_ours
unwrap_ours() { "$cli" svg extract "$work/ours.svg" -o "$work/out"; }
unwrap_peer() { base64 -d "$work/peer.b64" > "$work/peer.jpg" && sync "$work/peer.jpg"; }
wrap_peer

ours=$(median_ms wrap_ours)
peer=$(median_ms wrap_peer)
echo "svg wrap    $ours ms   base64 -w0 $peer ms   ratio $(awk "BEGIN {printf \"%.2f\", $ours / $peer}")"
echo "            peak $(peak_mib "$cli" svg wrap "$picture" -o "$work/ours.svg") MiB for a $(awk "BEGIN {printf \"%.1f\", $size / 1048576}") MiB file"
ours=$(median_ms unwrap_ours)
peer=$(median_ms unwrap_peer)
echo "svg extract $ours ms   base64 -d + sync $peer ms   ratio $(awk "BEGIN {printf \"%.2f\", $ours / $peer}")"
echo "            peak $(peak_mib "$cli" svg extract "$work/ours.svg" -o "$work/out") MiB"
