#!/usr/bin/env bash
# The package commands with their address space limited to 1 GB: hostile packages and sources are
# refused with a clear message and exit status 1, never ended by the system (134, 137) and never
# accepted (0), and nothing is written outside the folder a command was given.
#
# VELMORA_PLAIN_BIN: the folder of a velmora-cli built without sanitizers (they cannot run under
# an address-space limit); makesis is beside it or in its cert/ folder. WORK: an empty temporary
# folder. Prints one line per case; exits 1 when any case failed.
set -euo pipefail

: "${VELMORA_PLAIN_BIN:?the folder holding velmora-cli and makesis built without sanitizers}"
: "${WORK:?an empty temporary folder}"

cli=$VELMORA_PLAIN_BIN/velmora-cli
makesis=$VELMORA_PLAIN_BIN/makesis
[[ -x $makesis ]] || makesis=$VELMORA_PLAIN_BIN/cert/makesis
for tool in "$cli" "$makesis"; do
    if [[ ! -x $tool ]]; then
        echo "sis_limits: $tool: no such program" >&2
        exit 2
    fi
done

limit_kb=1048576
packages=$WORK/packages
outside=$WORK/outside
mkdir -p "$packages" "$outside"
printf 'the file outside, as it was\n' >"$outside/x.txt"

# The hostile packages, written as the format has them: nothing here trusts our own writer.
python3 - "$packages" <<'PY'
import hashlib
import struct
import sys
import zlib

folder = sys.argv[1]
UID = 0xE1234567
MIB = 1 << 20


def u32(value):
    return struct.pack('<I', value)


def u64(value):
    return struct.pack('<Q', value)


def padded(data):
    return data + b'\0' * (-len(data) % 4)


def field(kind, data):
    return u32(kind) + u32(len(data)) + padded(data)


def element(data):
    return u32(len(data)) + padded(data)


def array(kind, elements):
    return field(2, u32(kind) + b''.join(element(e) for e in elements))


def text(value):
    return value.encode('utf-16-le')


def string(value):
    return field(1, text(value))


def crc16(data):
    crc = 0
    for byte in data:
        crc ^= byte << 8
        for _ in range(8):
            crc = ((crc << 1) ^ 0x1021 if crc & 0x8000 else crc << 1) & 0xFFFF
    return crc


def header():
    uids = u32(0x10201A7A) + u32(0) + u32(UID)
    checksum = crc16(uids[1::2]) << 16 | crc16(uids[0::2])
    return uids + u32(checksum)


def description(target, digest, stored, size, index, operation=1):
    return (string(target) + string('') + field(25, u32(1) + field(37, digest)) +
            u32(operation) + u32(0) + u64(stored) + u64(size) + u32(index))


def controller(descriptions):
    info = (field(9, u32(UID)) + string('Velmora') + array(1, [text('Limits')]) +
            array(1, [text('Velmora')]) + field(4, u32(1) + u32(0) + u32(0)) +
            field(8, field(6, struct.pack('<HBB', 2026, 0, 1)) + field(7, bytes(3))) +
            bytes([0, 0]))
    block = array(24, descriptions) + array(13, []) + array(26, [])
    members = (field(14, info) + field(16, array(33, [])) + field(15, array(11, [u32(1)])) +
               field(17, array(18, []) + array(18, [])) + field(19, array(20, [])) +
               field(28, block) + field(40, u32(0)))
    return field(13, members)


def compressed(algorithm, size, payload):
    return field(3, u32(algorithm) + u64(size) + payload)


def small(contents):
    """A file stored deflated: its SISCompressed field, stored length and SHA-1."""
    payload = zlib.compress(contents, 9)
    return compressed(1, len(contents), payload), len(payload), hashlib.sha1(contents).digest()


def zeros(size):
    """size zero bytes deflated a piece at a time, as a package tool would pack them."""
    packer = zlib.compressobj(9)
    digest = hashlib.sha1()
    piece = bytes(16 * MIB)
    payload = []
    left = size
    while left:
        chunk = piece[:min(left, len(piece))]
        payload.append(packer.compress(chunk))
        digest.update(chunk)
        left -= len(chunk)
    payload.append(packer.flush())
    payload = b''.join(payload)
    return compressed(1, size, payload), len(payload), digest.digest()


def package(name, files, descriptions=None):
    """files: (target, (field, stored, digest)); the descriptions may be given instead."""
    if descriptions is None:
        descriptions = [description(target, digest, stored, size, index)
                        for index, (target, size, (_, stored, digest)) in enumerate(files)]
    data = field(30, array(31, [array(32, [f for _, _, (f, _, _) in files])]))
    body = controller(descriptions)
    contents = field(12, compressed(1, len(body), zlib.compress(body, 9)) + data)
    with open(f'{folder}/{name}', 'wb') as out:
        out.write(header() + contents)


def entry(target, contents):
    return (target, len(contents), small(contents))


def zero_entry(target, size):
    return (target, size, zeros(size))


skin = b'{ Colour 0 } = 16777215\r\n'
package('control.sis', [entry('!:\\data\\x.txt', b'from the package\n'),
                        entry('!:\\data\\x.skin', skin)])
package('zeros-1536m.sis', [entry('!:\\skins\\huge.skin', skin),
                            zero_entry('!:\\skins\\huge.mif', 1536 * MIB)])
package('zeros-500m.sis', [zero_entry('!:\\skins\\big.mif', 500 * 1000 * 1000)])
package('together-600m.sis', [zero_entry(f'!:\\skins\\part{i}.mif', 200 * MIB) for i in range(3)])
# 200,000 descriptions of one tiny stored file.
one = small(b'x')
many = [description(f'!:\\f\\{i}.txt', one[2], one[1], 1, 0) for i in range(200000)]
package('many-200000.sis', [('!:\\f\\0.txt', 1, one)], many)
PY

# The sources makesis is given: sparse, so only their sizes cost anything.
sources=$WORK/sources
mkdir -p "$sources"
truncate -s 500000000 "$sources/big.mif"
for part in 1 2 3; do truncate -s $((200 << 20)) "$sources/part$part.mif"; done
pkg_header() {
    printf '#{"Limits"}, (0xE1234567), 1, 0, 0\n%%{"Velmora"}\n:"Velmora"\n'
}
{
    pkg_header
    printf '"%s"-"!:\\skins\\big.mif"\n' "$sources/big.mif"
} >"$sources/one-big.pkg"
{
    pkg_header
    for part in 1 2 3; do printf '"%s"-"!:\\skins\\part%s.mif"\n' "$sources/part$part.mif" "$part"; done
} >"$sources/together.pkg"

# The program's scratch folders go below WORK too.
export XDG_RUNTIME_DIR=$WORK/runtime QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
mkdir -m 700 "$XDG_RUNTIME_DIR"

snapshot() {
    find "$outside" -printf '%P %s %T@\n' | sort | sha1sum
}
outside_before=$(snapshot)
failed=0

# check NAME WANT_STATUS WANT_TEXT PLACE COMMAND...: runs the command under the limit. PLACE is
# where it may write (a folder, or the file makesis makes); after a refusal it must not have been
# made, or when it was there already hold just what $WORK/case/before lists.
check() {
    local name=$1 want=$2 text=$3 place=$4
    shift 4
    local status=0 started=$SECONDS problem='' existed=0
    [[ -e $place || -L $place ]] && existed=1
    (
        ulimit -v "$limit_kb"
        exec timeout 300 "$@"
    ) >"$WORK/case/out" 2>"$WORK/case/err" || status=$?
    local took=$((SECONDS - started))
    if [[ $status != "$want" ]]; then
        problem="exit status $status, expected $want"
    elif ! grep -qF -- "$text" "$WORK/case/err" "$WORK/case/out"; then
        problem="no \"$text\" in what it said"
    elif [[ $(snapshot) != "$outside_before" ]]; then
        problem="the folder outside changed"
    elif [[ $want != 0 && $existed == 0 ]] && [[ -e $place || -L $place ]]; then
        problem="it made $place"
    elif [[ $want != 0 && $existed == 1 ]] &&
        [[ $(find "$place" -mindepth 1 | sort) != "$(cat "$WORK/case/before")" ]]; then
        problem="it wrote into $place: $(find "$place" -mindepth 1 | tr '\n' ' ')"
    fi
    if [[ -n $problem ]]; then
        echo "FAIL $name: $problem (${took}s)"
        sed 's/^/     | /' "$WORK/case/err" | head -n 5
        failed=1
    else
        echo "ok   $name: exit $status, $(head -n 1 "$WORK/case/err" | cut -c1-160) (${took}s)"
    fi
}

# A fresh folder for each case; "before" lists what it holds before the command runs.
fresh() {
    rm -rf "$WORK/case"
    mkdir -p "$WORK/case"
    : >"$WORK/case/before"
}

fresh
check "extract of a 1.5 MB package holding 1.5 GB of zeros" 1 "at most 256 MiB" \
    "$WORK/case/dir" "$cli" sis extract "$packages/zeros-1536m.sis" -o "$WORK/case/dir"

fresh
check "render --skin of that package" 1 "at most 256 MiB" \
    "$WORK/case/dir" "$cli" render --skin "$packages/zeros-1536m.sis" -o "$WORK/case/dir/x.png"

fresh
check "extract of a 510 KB package holding a 500 MB file" 1 "at most 256 MiB" \
    "$WORK/case/dir" "$cli" sis extract "$packages/zeros-500m.sis" -o "$WORK/case/dir"

fresh
check "extract of three 200 MiB files" 1 "more than 576 MiB together" \
    "$WORK/case/dir" "$cli" sis extract "$packages/together-600m.sis" -o "$WORK/case/dir"

fresh
check "extract of 200,000 files" 1 "holds 200000 files; a skin package holds at most 64" \
    "$WORK/case/dir" "$cli" sis extract "$packages/many-200000.sis" -o "$WORK/case/dir"

fresh
mkdir -p "$WORK/case/dir"
ln -s "$outside" "$WORK/case/dir/data"
find "$WORK/case/dir" -mindepth 1 | sort >"$WORK/case/before"
check "extract through a folder linked outside" 1 "data is a symbolic link" \
    "$WORK/case/dir" "$cli" sis extract "$packages/control.sis" -o "$WORK/case/dir"

fresh
mkdir -p "$WORK/case/dir/data"
ln -s "$outside/x.txt" "$WORK/case/dir/data/x.txt"
find "$WORK/case/dir" -mindepth 1 | sort >"$WORK/case/before"
check "extract onto a file linked outside" 1 "x.txt is a symbolic link" \
    "$WORK/case/dir" "$cli" sis extract "$packages/control.sis" -o "$WORK/case/dir"

fresh
check "makesis of a 500 MB source" 1 "a file in a package may hold" \
    "$sources/one-big.sis" "$makesis" "$sources/one-big.pkg"

fresh
check "makesis of three 200 MiB sources" 1 "a package may hold in all" \
    "$sources/together.sis" "$makesis" "$sources/together.pkg"

# The limits refuse only what is beyond them, under the same address-space limit: a package at
# the limits, as large as the save can make (a .mif and an .mbm of 256 MiB each), is made and
# comes out whole, and so does a small one.
truncate -s $((256 << 20)) "$sources/cap.mif" "$sources/cap.mbm"
{
    pkg_header
    for name in cap.mif cap.mbm; do printf '"%s"-"!:\\skins\\%s"\n' "$sources/$name" "$name"; done
} >"$sources/at-limits.pkg"
fresh
check "makesis at the limits (control)" 0 "Created" \
    "$sources/at-limits.sis" "$makesis" "$sources/at-limits.pkg"
fresh
check "extract at the limits (control)" 0 "/skins/cap.mbm" \
    "$WORK/case/dir" "$cli" sis extract "$sources/at-limits.sis" -o "$WORK/case/dir"
for name in cap.mif cap.mbm; do
    if [[ $(stat -c %s "$WORK/case/dir/skins/$name" 2>/dev/null) != $((256 << 20)) ]]; then
        echo "FAIL extract at the limits (control): skins/$name is not 256 MiB"
        failed=1
    fi
done

fresh
check "extract of a small package (control)" 0 "/data/x.txt" \
    "$WORK/case/dir" "$cli" sis extract "$packages/control.sis" -o "$WORK/case/dir"
if [[ $(cat "$WORK/case/dir/data/x.txt" 2>/dev/null) != "from the package" ]]; then
    echo "FAIL extract of a small package (control): data/x.txt does not hold the package's text"
    failed=1
fi

exit "$failed"
