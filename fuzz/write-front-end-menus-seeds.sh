#!/usr/bin/env bash
# Writes the seeds of the front-end menus harness into
# fuzz/corpus/front_end_menus: byte 0 the screen (an index into the harness's
# list: 0 main menu, 1 mode menu, 2 race menu, 3 bonus menu, 4 notice,
# 5 sound question, 6 title, 7 reset question, 8 first-race question), then
# per frame an action byte (bits 0-4 the released key, 24 none; bit 5 the
# back key pressed; bits 6-7 the stylus: 1 tap, 2 resting, 3 left soft key)
# and a point byte (column in bits 0-3, row in bits 4-7 of a 16 x 16 grid).
set -euo pipefail
out="$(dirname "$0")/corpus/front_end_menus"
mkdir -p "$out"

seed() {
    printf '%b' "$2" >"$out/$1"
}

# The main menu walked down and up, a choice and its slide, then back.
seed main_walk_and_choose '\x00\x02\x00\x02\x00\x0e\x00\x01\x00\x08\x00\x05\x00\x18\x00\x18\x00\x18\x00\x18\x00\x18\x00\x18\x00\x18\x00\x18\x00\x18\x00\x18\x00\x18\x00\x18\x00\x18\x00\x18\x00\x18\x00\x18\x00\x18\x00\x18\x00\x18\x00\x18\x00\x18\x00\x18\x00\x18\x00\x18\x00\x18\x00\x13\x00'
# Taps down the left column, where the sliding menus' items lie.
seed main_taps '\x00\x58\x30\x58\x40\x58\x50\x58\x60\x58\x70\x58\x80\x58\x90'
# The race menu: the back key, then a choice of the one-off event.
seed race_menu_back '\x02\x38\x00\x18\x00'
seed race_menu_one_off '\x02\x02\x00\x02\x00\x02\x00\x02\x00\x05\x00\x18\x00\x18\x00\x18\x00\x18\x00\x18\x00\x18\x00\x18\x00\x18\x00\x18\x00\x18\x00\x18\x00\x18\x00\x18\x00\x18\x00\x18\x00\x18\x00\x18\x00\x18\x00'
# The bonus menu: the stylus resting on each picture, taps, the right key.
seed bonus_pictures '\x03\x98\x21\x98\x26\x98\x2b\x58\x2b\x58\x21\x04\x00\x05\x00\x38\x00'
# The sound question: keys and taps on the answers and the left soft key.
seed sound_question '\x05\x02\x00\x01\x00\x98\x88\x58\x98'
seed sound_question_soft_key '\x05\xd8\x00'
# The title, the notice and the two questions.
seed title '\x06\x02\x00\x18\x00\x0b\x00'
seed notice '\x04\x05\x00\x58\x77'
seed reset_question '\x07\x02\x00\x05\x00\x18\x00'
seed first_race_question '\x08\x01\x00\x12\x00\x18\x00'
