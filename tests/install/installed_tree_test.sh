#!/usr/bin/env bash
# installed_tree_test.sh BUILD_DIR CMAKE
#
# Installs the build into a fresh prefix, makes the tree read-only and runs the installed programs
# through their bin/ links as an ordinary user, the way a packaged copy runs: the program folder
# must never be written, scratch folders must go away, settings must land in the user's folder.
# Exits 77 (skipped) when running as root without a way to become an ordinary user.
set -euo pipefail

build=$(cd "${1:?build folder}" && pwd)
cmake=${2:?cmake}
skipped=77

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# --- Who runs the programs -------------------------------------------------------------------
as_user=()
if [ "$(id -u)" -eq 0 ]; then
    if command -v setpriv >/dev/null &&
        setpriv --reuid=nobody --regid="$(id -g nobody)" --clear-groups true 2>/dev/null; then
        as_user=(setpriv --reuid=nobody "--regid=$(id -g nobody)" --clear-groups)
    elif command -v runuser >/dev/null && runuser -u nobody -- true 2>/dev/null; then
        as_user=(runuser -u nobody --)
    else
        echo "SKIP: running as root and cannot run programs as the user nobody"
        exit "$skipped"
    fi
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/velmora-install-test.XXXXXX")
[[ -n "$work" && -d "$work" ]] || exit 1
cleanup() {
    chmod -R u+w -- "$work" 2>/dev/null || true
    rm -rf -- "$work"
}
trap cleanup EXIT
# The user must reach the prefix and write its own folder.
chmod 755 "$work"
prefix="$work/prefix"
user="$work/user"
mkdir -m 777 "$user"
"${as_user[@]}" test -w "$user" ||
    { echo "FAIL: the user cannot reach $work; point TMPDIR at a folder every user can enter" >&2; exit 1; }

"$cmake" --install "$build" --prefix "$prefix" >"$work/install.log" ||
    { cat "$work/install.log"; echo "FAIL: cmake --install" >&2; exit 1; }
program="$prefix/lib/velmora"

# --- The user who runs the programs ----------------------------------------------------------
home="$user/home"
runtime="$user/runtime"
out="$user/out"
run() {
    # A login-like environment: the user's own folders and nothing of the caller's XDG places.
    "${as_user[@]}" env -u XDG_CONFIG_HOME -u XDG_DATA_HOME -u XDG_CACHE_HOME \
        HOME="$home" XDG_RUNTIME_DIR="$runtime" TMPDIR="$user/tmp" "$@"
}
cd "$user"
run mkdir -m 700 "$home" "$runtime" "$user/tmp" "$out"

# --- The layout ------------------------------------------------------------------------------
root_entries=$(cd "$prefix" && ls -A | tr '\n' ' ')
[ "$root_entries" = "bin lib share " ] || fail "prefix holds '$root_entries', expected bin lib share"
for name in velmora velmora-cli; do
    [ -L "$prefix/bin/$name" ] || fail "bin/$name is not a symbolic link"
    target=$(readlink "$prefix/bin/$name" || true)
    [ "$target" = "../lib/velmora/$name" ] || fail "bin/$name points to '$target'"
    [ -x "$program/$name" ] || fail "lib/velmora/$name is missing"
done
[ "$(ls -A "$prefix/bin" | tr '\n' ' ')" = "velmora velmora-cli " ] || fail "bin/ holds more than the links"

# The program folder is the build's bin/ as a whole; a settings file a developer's run left
# there is theirs, not the program's.
(cd "$build/bin" && find . \( -type f -o -type l \) ! -name Settings.cfg | sort) >"$work/built.txt"
(cd "$program" && find . \( -type f -o -type l \) | sort) >"$work/installed.txt"
if ! diff -u "$work/built.txt" "$work/installed.txt" >"$work/layout.diff"; then
    cat "$work/layout.diff" >&2
    fail "the installed program folder differs from $build/bin"
fi
while read -r file; do
    # Executables may differ by their run path; data files must be the same bytes.
    if [ ! -x "$build/bin/$file" ] && ! cmp -s "$build/bin/$file" "$program/$file"; then
        fail "$file differs between the build and the installed tree"
    fi
done <"$work/built.txt"

share="$prefix/share"
for file in applications/velmora.desktop mime/packages/velmora.xml \
    metainfo/org.example.velmora.metainfo.xml man/man1/velmora.1.gz \
    man/man1/velmora-cli.1.gz doc/velmora/copyright doc/velmora/changelog.gz; do
    [ -s "$share/$file" ] || fail "share/$file is missing"
done
# Each icon must be a PNG of the size its folder names (width and height at bytes 16..23).
for size in 16 24 32 48 64 128 256; do
    icon="$share/icons/hicolor/${size}x${size}/apps/velmora.png"
    if [ ! -s "$icon" ]; then
        fail "no ${size}x${size} icon"
        continue
    fi
    signature=$(od -An -tx1 -N8 "$icon" | tr -d ' \n')
    read -r width height < <(od -An -tu1 -j16 -N8 "$icon" |
        awk '{ print $1 * 16777216 + $2 * 65536 + $3 * 256 + $4, $5 * 16777216 + $6 * 65536 + $7 * 256 + $8 }')
    [ "$signature" = 89504e470d0a1a0a ] || fail "the ${size}x${size} icon is not a PNG"
    [ "$width x $height" = "$size x $size" ] || fail "the ${size}x${size} icon is ${width}x${height}"
done
# The manual must describe every command the program lists.
if gzip -t "$share/man/man1/velmora-cli.1.gz"; then
    for command in $(run "$prefix/bin/velmora-cli" --help |
        awk '/^Commands:/ { listing = 1; next } listing && NF { print $1 } listing && !NF { exit }' |
        sort -u); do
        gzip -dc "$share/man/man1/velmora-cli.1.gz" | grep -qx "\.SS $command" ||
            fail "velmora-cli(1) has no section for the command '$command'"
    done
else
    fail "velmora-cli.1.gz is not gzip data"
fi

chmod -R a-w "$prefix"
snapshot() { (cd "$prefix" && find . -printf '%p %y %s %T@ %m\n' | sort); }
snapshot >"$work/before.txt"

# --- Running as the user ---------------------------------------------------------------------
# A run's scratch folder is velmora-<pid>-XXXXXX, wherever the fallbacks put it in the user's
# folders (runtime folder, temp folder, ~/.cache/velmora).
leftovers() { find "$user" -type d -name 'velmora-[0-9]*-*' | sed "s|^$user/||"; }
is_png() { [ "$(od -An -tx1 -N8 "$1" 2>/dev/null | tr -d ' \n')" = 89504e470d0a1a0a ]; }

run "$prefix/bin/velmora-cli" render -o "$out/single.png" || fail "render"
is_png "$out/single.png" || fail "render wrote no PNG"

run "$prefix/bin/velmora-cli" export -o "$out/sis" --name blue >/dev/null ||
    fail "export of a signed package"
run "$prefix/bin/velmora-cli" sis verify "$out/sis/blue.sis" "$program/cert/Velmora.cer" \
    >/dev/null || fail "the exported package does not verify with the installed certificate"
# Bitmaps go through the installed converter.
run "$prefix/bin/velmora-cli" export -o "$out/files" --kind skin+mif --name blue --symbian 9.1 \
    >/dev/null || fail "export of .skin, .mif and .mbm"
for file in blue.skin blue.mif blue.mbm; do
    [ -s "$out/files/$file" ] || fail "export wrote no $file"
done

# Two programs at once, each with its own scratch folder, both gone afterwards.
run "$prefix/bin/velmora-cli" render -o "$out/first.png" --seed 1 &
first=$!
run "$prefix/bin/velmora-cli" render -o "$out/second.png" --seed 2 &
second=$!
wait "$first" || fail "the first of two simultaneous renders"
wait "$second" || fail "the second of two simultaneous renders"
is_png "$out/first.png" && is_png "$out/second.png" || fail "simultaneous renders wrote no PNG"
left=$(leftovers)
[ -z "$left" ] || fail "scratch folders left behind: $left"

# Without a runtime folder the scratch goes under the temp folder, and is removed as well.
run env -u XDG_RUNTIME_DIR "$prefix/bin/velmora-cli" render -o "$out/nortd.png" ||
    fail "render without XDG_RUNTIME_DIR"
left=$(leftovers)
[ -z "$left" ] || fail "scratch folders left behind without XDG_RUNTIME_DIR: $left"

# The window starts from the read-only tree and keeps its settings in the user's folder.
run mkdir -m 700 "$user/window-runtime"
# Started directly rather than through run(), so that $! is the process switched to the user
# (setpriv and env exec on, runuser passes signals on): the TERM sent to it reaches timeout, which
# passes it on to the window and kills it if it is still there five seconds later.
"${as_user[@]}" env -u XDG_CONFIG_HOME -u XDG_DATA_HOME -u XDG_CACHE_HOME HOME="$home" \
    XDG_RUNTIME_DIR="$user/window-runtime" QT_QPA_PLATFORM=offscreen \
    timeout -k 5 60 "$prefix/bin/velmora" >"$work/window.log" 2>&1 &
window=$!
settings="$home/.config/velmora/Settings.cfg"
for _ in $(seq 1 300); do
    [ -s "$settings" ] && break
    kill -0 "$window" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$window" 2>/dev/null; then
    [ -s "$settings" ] || fail "the window wrote no settings to $settings"
    kill "$window" 2>/dev/null || true
    wait "$window" 2>/dev/null || true
else
    wait "$window" && status=0 || status=$?
    cat "$work/window.log" >&2
    fail "the window ended by itself at start-up (status $status)"
fi

# The association writes the same MIME type the package installs.
run "$prefix/bin/velmora-cli" association set >/dev/null ||
    fail "association set"
cmp -s "$home/.local/share/mime/packages/velmora-skin.xml" "$share/mime/packages/velmora.xml" ||
    fail "the installed MIME package differs from the one the association writes"

snapshot >"$work/after.txt"
if ! diff -u "$work/before.txt" "$work/after.txt" >"$work/tree.diff"; then
    cat "$work/tree.diff" >&2
    fail "the installed tree changed while the programs ran"
fi

# --- The desktop's validators, when installed ------------------------------------------------
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$share/applications/velmora.desktop" ||
        fail "desktop-file-validate rejects velmora.desktop"
else
    echo "note: desktop-file-validate not installed, desktop entry not validated"
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$share/metainfo/org.example.velmora.metainfo.xml" >"$work/as.log" 2>&1 ||
        { cat "$work/as.log" >&2; fail "appstreamcli rejects the metainfo file"; }
else
    echo "note: appstreamcli not installed, metainfo not validated"
fi

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "installed tree: all checks passed${as_user:+ (as nobody)}"
