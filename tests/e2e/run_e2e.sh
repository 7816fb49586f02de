#!/usr/bin/env bash
# Runs an end-to-end test program on a virtual X display of its own, with a private home, private
# XDG folders and a throw-away copy of the program folder, so that nothing of the user's is read
# or written and two runs never meet.
#   run_e2e.sh PROGRAM_FOLDER TEST_PROGRAM [ARGUMENTS…]
set -euo pipefail
program="$1"
shift

# Listing the tests needs no display.
for argument in "$@"; do
    if [ "$argument" = "--gtest_list_tests" ]; then
        exec "$@"
    fi
done

command -v Xvfb >/dev/null || { echo "run_e2e.sh: Xvfb is missing (scripts/install-deps.sh installs it)" >&2; exit 1; }

root="$(mktemp -d "${TMPDIR:-/tmp}/velmora-e2e.XXXXXX")"
xvfb_pid=""
cleanup() {
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    chmod -R u+w "$root" 2>/dev/null || true
    rm -rf "$root"
}
trap cleanup EXIT

mkdir -p "$root/home" "$root/config" "$root/data" "$root/cache" "$root/runtime" "$root/tmp"
chmod 700 "$root/runtime"
cp -a "$program/." "$root/program/"

export HOME="$root/home"
export XDG_CONFIG_HOME="$root/config" XDG_DATA_HOME="$root/data" XDG_CACHE_HOME="$root/cache"
export XDG_RUNTIME_DIR="$root/runtime" TMPDIR="$root/tmp"
export LANG=C.UTF-8
unset LANGUAGE LC_ALL LC_MESSAGES XDG_CURRENT_DESKTOP DESKTOP_SESSION QT_QPA_PLATFORMTHEME
unset XDG_DATA_DIRS XDG_CONFIG_DIRS
# "Помощь" and the about box's links open a browser; here it is a command that does nothing.
export BROWSER=true
export QT_QPA_PLATFORM=xcb
export VELMORA_E2E_PROGRAM="$root/program/"

# Xvfb writes the display number it took once it is ready to take clients.
mkfifo "$root/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$root/display" \
    >"$root/xvfb.log" 2>&1 &
xvfb_pid=$!
if ! read -r -t 60 display <"$root/display"; then
    echo "run_e2e.sh: Xvfb did not start:" >&2
    cat "$root/xvfb.log" >&2
    exit 1
fi
export DISPLAY=":$display"

status=0
"$@" || status=$?
exit "$status"
