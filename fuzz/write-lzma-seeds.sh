#!/usr/bin/env bash
# Writes the seeds of the lzma harness into fuzz/corpus/lzma: packed payloads
# as xz writes them in its LZMA_Alone form, with the unpacked size (which xz
# leaves unknown) put into bytes 5 to 12, and a few broken ones.
set -euo pipefail
out="$(dirname "$0")/corpus/lzma"
mkdir -p "$out"

# The 8 little-endian bytes of $1 as printf escapes.
size_bytes() {
    local size=$1 i escapes=""
    for i in 0 1 2 3 4 5 6 7; do
        escapes+="\\x$(printf %02x $(((size >> (8 * i)) & 255)))"
    done
    printf '%s' "$escapes"
}

# seed NAME LZMA1_OPTIONS DATA [SIZE]: DATA packed, SIZE (default: its length) in the header.
seed() {
    local packed size
    packed=$(mktemp)
    printf '%b' "$3" | xz --format=lzma --lzma1="$2" --stdout >"$packed"
    size=${4:-$(printf '%b' "$3" | wc -c)}
    {
        head -c 5 "$packed"
        printf '%b' "$(size_bytes "$size")"
        tail -c +14 "$packed"
    } >"$out/$1"
    rm -f "$packed"
}

text='the racer takes a tight bend near the harbour and the lap record falls at dusk\n'
seed text preset=6,lc=3,lp=0,pb=2 "$text$text"
seed repeated_lc0_lp2_pb0 preset=1,lc=0,lp=2,pb=0 "$(printf 'pit stop %.0s' {1..40})"
seed binary_lc4_pb4 preset=6,lc=4,lp=0,pb=4 '\x00\x01\x02\x03\xff\xfe\x80\x7f\x00\x01\x02\x03\x10\x20\x30'
seed empty preset=6 ''
# The stream's end marker comes where the header promises one more byte.
seed size_one_past preset=6 "$text" $(($(printf '%b' "$text" | wc -c) + 1))
# The properties byte 225 and a stream cut in half.
{ printf '\xe1'; tail -c +2 "$out/text"; } >"$out/properties_225"
head -c $(($(wc -c <"$out/text") / 2)) "$out/text" >"$out/cut_in_half"
