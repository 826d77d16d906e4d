#!/usr/bin/env bash
# Installs what is missing, builds the game, makes and checks the demo data set
# and runs the game on it: in a window when there is a display, else headless
# on the demo script (tools/demo/demo.script, written by vorlax-demo-script),
# on a fresh copy of the demo set, with a picture of every 5 s of game time.
# Arguments go to the game; when they name a program folder of their own, the
# game runs on that one instead.
#
# The terminal gets this script's own progress and failures, one line each on
# standard error, and the game's failure lines; the compiler's output goes to
# build/release/run-build.log and the game's log to build/release/vorlax.log
# (or the file a --log argument names). The last line says where the
# pictures and the log are.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/deps.sh
source tools/run-args.sh

build=build/release
vorlax=$build/game/vorlax
mkdata=$build/tools/mkdata/mkdata
datacheck=$build/tools/datacheck/datacheck
demo=$build/demo
fresh=$build/demo-run
shots=$build/demo-shots
build_log=$build/run-build.log
log=$build/vorlax.log

say() {
    echo "run.sh: $*" >&2
}

ensure_packages >&2

say "building vorlax, mkdata and datacheck (the compiler's output goes to $build_log)"
mkdir -p "$build"
# ccache keeps its own cache (~/.cache/ccache), which survives fresh clones on
# this machine; paths are taken relative to the checkout so clones share it.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
if ! { cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release &&
    cmake --build "$build" -j "$(nproc)" --target vorlax mkdata datacheck; } >"$build_log" 2>&1; then
    say "the build failed: $(grep -m1 -E 'error|Error' "$build_log" || echo "see $build_log")"
    exit 1
fi

# mkdata leaves a set that is already the one it makes (byte for byte, with
# its digest stamp) as it is, and makes a missing or stale one again beside
# it, renamed into place; the player's record stores in it are kept.
say "making the demo data set in $demo"
"$mkdata" "$demo" >/dev/null
if ! "$datacheck" "$demo" >/dev/null; then
    say "the demo data set in $demo is broken (see above); not playing it"
    exit 3
fi

# The game's log goes to the file the arguments name, else to ours.
given_log=$(log_file_given "$@")
log_arguments=()
if [ -n "$given_log" ]; then
    log=$given_log
else
    log_arguments=(--log "$log")
fi

status=0
if [ "$(program_folder_given "$@")" = 1 ]; then
    say "playing $(program_folder_named "$@")"
    "$vorlax" "${log_arguments[@]}" "$@" || status=$?
elif [ "$#" -gt 0 ] || [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    say "playing the demo data set in $demo"
    "$vorlax" "${log_arguments[@]}" "$demo" "$@" || status=$?
else
    # No display and nothing asked for: the demo plays headless on its
    # script, as a player who has never played (a copy of the set without
    # the record stores of earlier runs), and leaves a picture of every 5 s
    # of game time.
    rm -rf "$shots" "$fresh"
    mkdir -p "$fresh"
    find "$demo" -maxdepth 1 -type f ! -name 'rms_*' -exec cp {} "$fresh" \;
    say "no display: playing the demo headless on tools/demo/demo.script"
    "$vorlax" "${log_arguments[@]}" --headless --script tools/demo/demo.script --shots "$shots" "$fresh" ||
        status=$?
    say "the demo's pictures: $(find "$shots" -name '*.png' | wc -l) in $shots"
fi
if [ "$status" -ne 0 ]; then
    say "vorlax ended with status $status; the game's log is $log"
else
    say "the game's log is $log"
fi
exit "$status"
