#!/usr/bin/env bash
# The layer check (tools/check-layers.sh, given as $1) on a small git tree:
# what it must allow passes, and every planted violation is reported on a
# line of its own, with nothing else.
set -uo pipefail
check=$1
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
git -C "$tree" init -q
plant() {
    mkdir -p "$tree/$(dirname "$1")"
    printf '%b' "$2" >"$tree/$1"
}

# A folder includes itself and the folders below it, the root every folder;
# SDL, the clock and the console stay in host/ (or a comment); tests/ is free.
plant game/race/Race.cpp '#include "game/race/Race.h"\n#include "game/ui/Menu.h"\n#include "platform/io/File.h"\n#include "tests/support/Fixture.h"\n'
plant game/promo/Promo.cpp '#include "game/frontend/Menu.h"\n#include "game/framework/Keys.h"\n'
plant game/Game.cpp '#include "game/Game.h"\n#include "game/promo/Promo.h"\n'
plant game/main.cpp '#include "game/Game.h"\n'
plant host/sdl/Window.cpp '#include <SDL.h>\nint t = time(nullptr);\n'
plant classlib/Note.cpp '// std::cout is not called here\n'
plant tests/game/GameTest.cpp '#include "game/Game.h"\n#include <SDL.h>\nvoid f() { std::cout << 1; }\n'
if ! out=$(bash "$check" "$tree" 2>&1); then
    echo "a tree that keeps its layers fails the check:"
    echo "$out"
    exit 1
fi

plant game/race/Paint.cpp '#include "game/race/Race.h"\n#include "game/racepaint/Scene.h"\n'
plant game/ui/Menu.h '#include "game/frontend/Menu.h"\n'
plant game/framework/Start.cpp '#include "game/Game.h"\n'
plant platform/Keys.cpp '#include "game/framework/Keys.h"\n'
plant runtime/Window.cpp '#include <SDL.h>\n'
plant classlib/Print.cpp 'void f() { std::cout << 1; }\n'
plant game/Helper.cpp '#include "game/race/Race.h"\n'
plant game/cars/Car.cpp '#include "game/race/Race.h"\n'
expected='layer check: game/Helper.cpp: lies in no ranked game folder and is not a root file (game/Game.cpp game/Game.h game/main.cpp)
layer check: game/cars/Car.cpp: lies in no ranked game folder and is not a root file (game/Game.cpp game/Game.h game/main.cpp)
layer check: game/framework/Start.cpp:1: includes game/Game.h, and the game root lies above game/framework
layer check: game/race/Paint.cpp:2: includes game/racepaint/Scene.h, and game/racepaint lies above game/race
layer check: game/ui/Menu.h:1: includes game/frontend/Menu.h, and game/frontend lies above game/ui
layer check: platform/Keys.cpp:1: includes game/framework/Keys.h, and game/framework lies above platform
layer check: runtime/Window.cpp:1: includes SDL outside host/sdl
layer check: classlib/Print.cpp:1:void f() { std::cout << 1; }: only host/ may use the clock, random numbers, the environment or the console'
out=$(bash "$check" "$tree" 2>&1)
status=$?
if [ $status -ne 1 ] || [ "$(sort <<<"$out")" != "$(sort <<<"$expected")" ]; then
    echo "planted violations: status $status (1 expected), lines:"
    echo "$out"
    echo "expected:"
    echo "$expected"
    exit 1
fi
