#!/usr/bin/env bash
# The screen tour: builds the game and the tour, makes the demo data set and
# walks every screen of the game on a fresh copy of it (a first-time player),
# headless. Writes one picture per screen, landscape as the player sees it,
# to build/release/tour/NN-SCREEN.png and a contact sheet of them all to
# build/release/tour/sheet.png. Exits 1, with stuck.png and a line saying
# why, when a screen cannot be reached. VORLAX_TOUR_TRACE=1 prints, per
# frame, the state and the texts drawn.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/deps.sh
VORLAX_PACKAGES+=(imagemagick)
ensure_packages

build=build/release
out=$build/tour
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j "$(nproc)" --target vorlax-tour mkdata
"$build/tools/mkdata/mkdata" "$build/demo"

rm -rf "$out"
status=0
"$build/tools/tour/vorlax-tour" "$build/demo" "$out" >"$out.log" 2>&1 || status=$?
grep "^vorlax-tour" "$out.log" || true
# Each picture labelled with its file's name, four to a row.
montage -font /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf -label '%t' -pointsize 14 -geometry 320x240+6+6 -tile 4x -background '#202020' -fill white \
    "$out"/*.png "$out/sheet.png"
echo "The contact sheet: $out/sheet.png"
exit "$status"
