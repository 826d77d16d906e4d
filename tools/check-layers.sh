#!/usr/bin/env bash
# Keeps the layers apart: a source file includes nothing from a layer above its
# own, SDL stays inside host/sdl, and the wall clock, random numbers, the
# environment and the console are reached only through host/. Exceptions are
# listed in tools/layer-exceptions.txt, each with its reason.
set -uo pipefail
cd "$(dirname "$0")/.."

rank() {
    case "$1" in
        host) echo 0 ;; runtime) echo 1 ;; classlib) echo 2 ;; platform) echo 3 ;; game) echo 4 ;; *) echo 9 ;;
    esac
}

exceptions=$(grep -v '^#' tools/layer-exceptions.txt 2>/dev/null | cut -d' ' -f1)
excepted() { grep -qxF "$1" <<<"$exceptions"; }

status=0
fail() {
    echo "layer check: $1" >&2
    status=1
}

while IFS= read -r file; do
    layer=${file%%/*}
    own=$(rank "$layer")
    [ "$own" = 9 ] && continue
    while IFS= read -r included; do
        target=${included%%/*}
        [ "$(rank "$target")" -gt "$own" ] && [ "$(rank "$target")" != 9 ] && fail "$file includes $included from a higher layer"
    done < <(grep -oE '^#include "[^"]+"' "$file" | sed -E 's/#include "([^"]+)"/\1/')
    if [[ $file != host/sdl/* ]] && grep -qE '^#include <SDL' "$file"; then
        fail "$file includes SDL outside host/sdl"
    fi
    if [ "$layer" != host ] && ! excepted "$file"; then
        grep -nE '\b(getenv|srand|rand|time)\s*\(|system_clock|std::random_device|std::cout|std::cerr|\bprintf\s*\(|\bputs\s*\(|fprintf\s*\(\s*(stdout|stderr)' "$file" |
            grep -vE '^\s*[0-9]+:\s*//' | while IFS= read -r hit; do
            echo "layer check: $file:$hit: only host/ may use the clock, random numbers, the environment or the console" >&2
            echo fail
        done | grep -q fail && status=1
    fi
done < <(git ls-files --cached --others --exclude-standard -- '*.h' '*.cpp')

exit $status
