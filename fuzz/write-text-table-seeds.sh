#!/usr/bin/env bash
# Writes the seeds of the text_table harness into fuzz/corpus/text_table: each
# is one byte of switches (1 multi-pack, 2 length told, 4 cache, 8 own
# decoder), one byte of slot, then the entry (little-endian; in multi-pack
# mode the pack number first, then the count, the end offsets and the texts).
set -euo pipefail
out="$(dirname "$0")/corpus/text_table"
mkdir -p "$out"

# seed NAME BYTES (printf escapes)
seed() {
    printf '%b' "$2" >"$out/$1"
}

two_texts='\x02\x00\x00\x00\x02\x00\x00\x00\x04\x00\x00\x00Hi\xc3\xa9'
seed single_told '\x0a\x00'"$two_texts"
seed single_untold '\x08\x00'"$two_texts"
seed single_cached '\x0e\x00'"$two_texts"
seed runtime_charset '\x02\x00'"$two_texts"
seed multi_pack_two '\x0b\x03\x02'"$two_texts"
seed multi_cached '\x0f\x03\x05'"$two_texts"
seed euro_and_empty '\x0a\x00\x03\x00\x00\x00\x03\x00\x00\x00\x03\x00\x00\x00\x04\x00\x00\x00\xe2\x82\xacZ'
seed malformed_texts '\x0a\x00\x02\x00\x00\x00\x03\x00\x00\x00\x04\x00\x00\x00\xe2\x41\x42\xc3'
seed no_texts '\x0a\x00\x00\x00\x00\x00'
seed negative_count '\x0a\x00\xff\xff\xff\xff'
seed falling_offsets '\x0a\x00\x02\x00\x00\x00\x02\x00\x00\x00\x01\x00\x00\x00ab'
seed lying_count '\x08\x00\xf0\xff\xff\x7f\x01\x00\x00\x00a'
seed texts_past_the_entry '\x0a\x00\x01\x00\x00\x00\x09\x00\x00\x00abc'
seed pack_past_the_slots '\x0b\x00\x20\x01\x00\x00\x00\x01\x00\x00\x00a'
