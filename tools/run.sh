#!/usr/bin/env bash
# Installs what is missing, builds the game, makes and checks the demo data set
# and runs the game on it: in a window when there is a display, else headless
# on the demo script, with a picture of every 5 s of game time. Arguments go to
# the game; when they name a program folder of their own, the game runs on
# that one instead.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/deps.sh
ensure_packages

build=build/release
vorlax=$build/game/vorlax
mkdata=$build/tools/mkdata/mkdata
datacheck=$build/tools/datacheck/datacheck
demo=$build/demo
shots=$build/demo-shots

# ccache keeps its own cache (~/.cache/ccache), which survives fresh clones on
# this machine; paths are taken relative to the checkout so clones share it.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc)" --target vorlax mkdata datacheck

# mkdata leaves a set that is already the one it makes (byte for byte, with
# its digest stamp) as it is, and makes a missing or stale one again beside
# it, renamed into place; the player's record stores in it are kept.
"$mkdata" "$demo"
if ! "$datacheck" "$demo"; then
    echo "The demo data set in $demo is broken (see above); not playing it." >&2
    exit 3
fi

# A word that is neither an option nor an option's value is a program folder.
source tools/run-args.sh
folder_given=$(program_folder_given "$@")
if [ "$folder_given" = 1 ]; then
    exec "$vorlax" "$@"
fi
if [ "$#" -gt 0 ] || [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec "$vorlax" "$demo" "$@"
fi

# No display and nothing asked for: the demo plays headless on its script
# and leaves a picture of every 5 s of game time.
rm -rf "$shots"
echo "No display: playing the demo headless; its pictures go to $shots"
"$vorlax" --headless --script tools/demo/demo.script --shots "$shots" "$demo"
echo "The demo ended; $(find "$shots" -name '*.png' | wc -l) pictures in $shots"
