#!/usr/bin/env bash
# Installs what is missing, builds the game and runs it. Arguments go to the game.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/deps.sh
ensure_packages

# ccache keeps its own cache (~/.cache/ccache), which survives fresh clones on
# this machine; paths are taken relative to the checkout so clones share it.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/release -j "$(nproc)" --target vorlax
exec build/release/platform/vorlax "$@"
