#!/usr/bin/env bash
# Replays a corpus with a private temporary folder that holds what a crashed
# run would have left (a scratch folder of a process that no longer exists)
# and checks that the folder is empty afterwards.
# Usage: check-no-leftovers.sh REPLAY CORPUS
set -euo pipefail
replay=$1
corpus=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
# Above the largest process id Linux gives out.
mkdir -p "$tmp/vorlax-fuzz-4194305/pf"
TMPDIR="$tmp" "$replay" "$corpus" >/dev/null
left=$(ls -A "$tmp")
if [ -n "$left" ]; then
    echo "left behind in the temporary folder: $left" >&2
    exit 1
fi
