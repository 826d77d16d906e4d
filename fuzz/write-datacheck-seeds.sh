#!/usr/bin/env bash
# Writes the seeds of the datacheck harness into fuzz/corpus/datacheck: each
# is the archive entry's number in the demo set, a little-endian u32
# position, the edit (0 overwrite, 1 insert, 2 cut, 3 xor) and its bytes.
# The empty seed leaves the set as mkdata makes it.
set -euo pipefail
out="$(dirname "$0")/corpus/datacheck"
mkdir -p "$out"

# seed NAME ENTRY POSITION EDIT BYTES (printf escapes)
seed() {
    local position=$3
    printf '%b' "$(printf '\\x%02x\\x%02x\\x%02x\\x%02x\\x%02x\\x%02x' "$2" $((position & 255)) \
        $(((position >> 8) & 255)) $(((position >> 16) & 255)) $(((position >> 24) & 255)) "$4")$5" \
        >"$out/$1"
}

: >"$out/unchanged"
seed constants_count 0 0 0 '\x00\x00\x00\x05'
seed app_jad_cut 1 0 2 ''
seed sound_type_renamed 4 1 0 '\x0aaudio/midi'
seed sound_pack_header 5 0 3 '\xff\xff'
seed wave_format 6 29 3 '\x10\x20\x30'
seed track_bytes 14 100 3 '\x80\x80\x80\x80'
seed event_insert 15 10 1 '\x7f\x7f'
seed sprite_part_cut 22 5000 2 ''
seed font_bytes 21 300 3 '\x01\x02\x04\x08\x10\x20\x40\x80'
seed promo_header 26 20 0 '\xff\xff\xff\xff'
