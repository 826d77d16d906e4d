#!/usr/bin/env bash
# Installs what is missing, builds the game and the demo data set, and runs the
# game on that set. Arguments go to the game; when they name a program folder
# of their own, the game runs on that one instead.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/deps.sh
ensure_packages

build=build/release
vorlax=$build/game/vorlax
mkdata=$build/tools/mkdata/mkdata
demo=$build/demo

# ccache keeps its own cache (~/.cache/ccache), which survives fresh clones on
# this machine; paths are taken relative to the checkout so clones share it.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc)" --target vorlax mkdata

# The set is made again when it is missing or older than the program that makes it.
if [ ! -f "$demo/data.bar" ] || [ "$mkdata" -nt "$demo/data.bar" ]; then
    echo "Making the demo data set in $demo"
    "$mkdata" "$demo"
fi

# A word that is neither an option nor an option's value is a program folder.
folder_given=0
expect_value=0
for argument in "$@"; do
    if [ "$expect_value" = 1 ]; then
        expect_value=0
    elif [[ $argument == --frames || $argument == --screenshot || $argument == --script ]]; then
        expect_value=1
    elif [[ $argument != -* ]]; then
        folder_given=1
    fi
done
if [ "$folder_given" = 1 ]; then
    exec "$vorlax" "$@"
fi
exec "$vorlax" "$demo" "$@"
