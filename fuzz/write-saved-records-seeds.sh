#!/usr/bin/env bash
# Writes the seeds of the saved_records harness into fuzz/corpus/saved_records:
# each is a byte picking the record (0 event results, 1 event records, 2
# unlocks), two bytes of array lengths, then the record's bytes.
set -euo pipefail
out="$(dirname "$0")/corpus/saved_records"
mkdir -p "$out"

# seed NAME PICK LENGTH_A LENGTH_B FIRST_BYTE SIZE [OFFSET=VALUE...]: a record
# of SIZE bytes, each its index's low 8 bits, FIRST_BYTE at 0 and the given
# bytes set.
seed() {
    local name=$1 pick=$2 a=$3 b=$4 first=$5 size=$6
    shift 6
    python3 - "$out/$name" "$pick" "$a" "$b" "$first" "$size" "$@" <<'PY'
import sys
path, pick, a, b, first, size = sys.argv[1], *map(int, sys.argv[2:7])
record = bytearray(i & 0xFF for i in range(size))
if size:
    record[0] = first
for change in sys.argv[7:]:
    at, value = change.split("=")
    record[int(at)] = int(value) & 0xFF
open(path, "wb").write(bytes([pick, a, b]) + record)
PY
}

seed results_fit 0 3 1 4 17
seed results_130_values 0 130 0 130 521
seed results_count_off 0 3 1 3 17
seed records_cut 1 4 0 4 11
seed records_empty 1 0 0 0 1
seed unlocks_current 2 0 0 78 78
seed unlocks_flags_odd 2 0 0 78 78 20=255 77=2
seed unlocks_older 2 0 0 76 76
seed unlocks_cut 2 0 0 78 30
seed unlocks_nothing 2 0 0 0 0
