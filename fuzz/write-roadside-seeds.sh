#!/usr/bin/env bash
# Writes the seeds of the roadside harness into fuzz/corpus/roadside (the
# input's layout is in RoadsideFuzzer.cpp; the busy track has 36 segments):
# no roadside at all, walls of two kinds (one invisible, some bytes naming
# a kind past the kinds) with banks, fog and an item box, models of every
# primitive type with strips and links out of range, and fog at its far end
# with kinds past the nibble and raw trigger entries in the guided race.
set -euo pipefail
out="$(dirname "$0")/corpus/roadside"
mkdir -p "$out"

# segments WALL BANK CODE_LOW: the 36 per-segment records, the wall byte's
# kind counting up through WALL's low bits.
segments() {
    local s
    for s in $(seq 0 35); do
        printf '%b' "\\x$(printf '%02x' $((($1 + s % 3) & 255)))\\x$2\\x$3\\x00"
    done
}

{ printf '\x00'; } >"$out/empty"

{
    # fog 4096; two kinds: both sides 300 high in red and blue, the left
    # side 0x2000 high invisible (0x123456).
    printf '\x00\x10\x02'
    printf '\x03\x2c\x01\xc0\x30\x30\x30\x30\xc0'
    printf '\x01\x00\x20\x12\x34\x56\x12\x34\x56'
    printf '\x01'
    segments $((0x40)) 8c 01
    # no models, no strips; entries: 0, an item box on lane 4, a coin on lane 2.
    printf '\x00\x00\x03'
    printf '\x00\x00\x00\x00' '\x01\x80\x04\xff' '\x02\x80\x02\xff'
    printf '\x00\x00'
} >"$out/walls_banks_item_box"

{
    printf '\x00\x3c\x01\x02\xff\x7f\x00\x00\xff\xff\xff\xff\x01'
    segments $((0x60)) 0a 05
    # five models: a colour, a rectangle, a polygon, a line and a sprite
    # each, with wide fields.
    printf '\x05'
    for t in 0 1 2 3 6; do
        printf '%b' "\\x01\\x0$t"
        printf '\x10\x00\x00\x04\x20\x00\x90\x01\x00\x04\xf0\xff\x02\x00\x00\x02\x40\x00\x05\x00\x11\x00'
    done
    # strips: one linking slot 0 to 0, one with a link of 7, one past the ring.
    printf '\x03'
    printf '\x02\x00\x00\x00\x78\x05\x00\x00\x00\x00\x00\x00'
    printf '\x03\x00\x01\x00\x00\xfb\x00\x02\x07\x00\x00\x00'
    printf '\x90\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00'
    printf '\x02\x00\x00\x00\x00\x05\x80\x00\x06'
    printf '\x00\x00'
} >"$out/models_strips"

{
    # fog at 15360: none; eighteen kinds (the bytes run out on the way).
    printf '\x00\x3c\x11'
    for k in $(seq 0 16); do printf '\x03\xff\x7f\xff\x00\xff\xff\x00\xff'; done
    printf '\x00'
    segments $((0x4f)) 00 ff
    printf '\x00\x00\x04'
    printf '\x00\x00\x00\x00' '\x0a\x80\x01\xff' '\x0b\x01\x03\xff' '\x07\x90\x00\xff'
    printf '\x06\x04'
} >"$out/far_fog_kinds_past_nibble_guided"
