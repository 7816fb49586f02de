#!/usr/bin/env bash
# velmora-cli's readers and writers with their address space limited to 1 GB, and with the file
# size limited: oversized input is refused before it is read, a picture too large for a bitmap
# is refused before the bitmap is made, memory running out is "out of memory" with exit status
# 1, and a write past `ulimit -f` says "File too large". Never an exit by signal (134, 137, 153).
#
# VELMORA_PLAIN_BIN: the folder of a velmora-cli built without sanitizers. WORK: an empty
# temporary folder. Prints one line per case; exits 1 when any case failed.
set -euo pipefail

: "${VELMORA_PLAIN_BIN:?the folder holding velmora-cli built without sanitizers}"
: "${WORK:?an empty temporary folder}"
cli=$VELMORA_PLAIN_BIN/velmora-cli
limit_kb=1048576
export XDG_RUNTIME_DIR=$WORK/runtime
mkdir -p "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
failures=0

# case NAME EXPECTED_STATUS MESSAGE_PATTERN -- COMMAND...: runs the command under the memory
# limit and checks its status and that its standard error matches the pattern.
case_() {
    local name=$1 expected=$2 pattern=$3
    shift 4
    local status=0
    (ulimit -v "$limit_kb" && exec "$@") >"$WORK/out" 2>"$WORK/err" || status=$?
    if [[ $status -ne $expected ]] || { [[ -n $pattern ]] && ! grep -Eq -- "$pattern" "$WORK/err"; }; then
        echo "FAIL $name: exit $status (wanted $expected), stderr:"
        sed 's/^/    /' "$WORK/err" | head -5
        failures=$((failures + 1))
    else
        echo "ok   $name: exit $status, $(head -c 150 "$WORK/err" | tr '\n' ' ')"
    fi
}

# Sparse files: their size is what the readers see, no disk is taken.
truncate -s 168M "$WORK/big.json"
truncate -s 165M "$WORK/big.gpl"
printf 'old' >"$WORK/keep.skin"

case_ "skin write --json of 168 MB" 1 "big.json: .*(large|size)" -- \
    "$cli" skin write "$WORK/keep.skin" --json "$WORK/big.json"
case_ "skin write --gpl of 165 MB" 1 "big.gpl: .*(large|size)" -- \
    "$cli" skin write "$WORK/keep.skin" --gpl "$WORK/big.gpl"
case_ "export --json of 168 MB" 1 "big.json: .*(large|size)" -- \
    "$cli" export -o "$WORK/out" --kind skin --name k --json "$WORK/big.json"
if [[ $(cat "$WORK/keep.skin") != old ]]; then
    echo "FAIL the refused writes changed keep.skin"
    failures=$((failures + 1))
fi

# A 134-megapixel picture (11585 x 11585, one colour, a few hundred KB of PNG).
python3 - "$WORK/huge.png" <<'PY'
import struct, sys, zlib
side = 11585
def chunk(kind, data):
    return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))
packer = zlib.compressobj(9)
row = b'\0' + b'\x20\x60\xa0' * side
data = b''.join(packer.compress(row) for _ in range(side)) + packer.flush()
with open(sys.argv[1], 'wb') as out:
    out.write(b'\x89PNG\r\n\x1a\n')
    out.write(chunk(b'IHDR', struct.pack('>IIBBBBB', side, side, 8, 2, 0, 0, 0)))
    out.write(chunk(b'IDAT', data))
    out.write(chunk(b'IEND', b''))
PY
# Refused input (2), before the bitmap is made; or, were memory to run out first, a failure (1).
case_ "export --bg-format mbm of 134 megapixels" 2 "too large for a bitmap" -- \
    "$cli" export -o "$WORK/out" --kind skin+mif --name k --bg-format mbm \
    --background "$WORK/huge.png"
case_ "render of 134 megapixels" 0 "" -- \
    "$cli" render -o "$WORK/r.png" --background "$WORK/huge.png"

# Past the file size limit: the pair stays as it was.
"$cli" export -o "$WORK/pair" --kind skin+mif --name k >/dev/null
cp "$WORK/pair/k.skin" "$WORK/k.skin.before"
cp "$WORK/pair/k.mif" "$WORK/k.mif.before"
status=0
(ulimit -f 8 && exec "$cli" export -o "$WORK/pair" --kind skin+mif --name k \
    --copyright "another save" --bg-format png) >"$WORK/out" 2>"$WORK/err" || status=$?
if [[ $status -ne 1 ]] || ! grep -q "File too large" "$WORK/err" ||
    ! cmp -s "$WORK/pair/k.skin" "$WORK/k.skin.before" ||
    ! cmp -s "$WORK/pair/k.mif" "$WORK/k.mif.before" ||
    grep -q "$XDG_RUNTIME_DIR" "$WORK/err"; then
    echo "FAIL export past ulimit -f: exit $status, stderr: $(head -c 200 "$WORK/err")"
    failures=$((failures + 1))
else
    echo "ok   export past ulimit -f: exit 1, $(head -c 150 "$WORK/err" | tr '\n' ' ')"
fi

if [[ $failures -ne 0 ]]; then
    echo "cli_limits: $failures case(s) failed"
    exit 1
fi
