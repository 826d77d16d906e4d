#!/usr/bin/env bash
# Keeps the layers apart: a source file includes nothing from a layer above its
# own, SDL stays inside host/sdl, and the wall clock, random numbers, the
# environment and the console are reached only through host/. Exceptions are
# listed in tools/layer-exceptions.txt, each with its reason.
#
# Layers, low to high: host, runtime, classlib, platform, then the game's
# folders in the order `game_folders` gives, and at the top the game's
# composition root (`root_files`), which may include every folder. A layer
# includes itself and lower ones only. tests/, bench/, fuzz/ and tools/ stand
# outside: they may include anything, and nothing here checks them. A game
# source in no ranked folder is reported, so a new folder cannot slip past
# its rank.
#
# Usage: check-layers.sh [tree]. The tree (this repository by default) is a
# git work tree; its tracked and its untracked, not ignored sources are read.
# Each violation is one line on standard error naming the file (and line).
set -uo pipefail
cd "${1:-$(dirname "$0")/..}" || exit 2

layers="host runtime classlib platform"
game_folders="game/framework game/data game/sprite game/ui game/race game/racepaint game/racescreens game/frontend game/promo"
root_files="game/Game.cpp game/Game.h game/main.cpp"

mapfile -t files < <(git ls-files --cached --others --exclude-standard -- '*.h' '*.cpp' |
    grep -E '^(host|runtime|classlib|platform|game)/')

status=0
report() {
    [ -z "$1" ] && return
    sed 's/^/layer check: /' <<<"$1" >&2
    status=1
}

for file in "${files[@]}"; do
    [[ $file == game/* ]] || continue
    rest=${file#game/}
    folder=game/${rest%%/*}
    [[ " $root_files " == *" $file "* || ($file == game/*/* && " $game_folders " == *" $folder "*) ]] && continue
    report "$file: lies in no ranked game folder and is not a root file ($root_files)"
done

# Every include of every file in one grep ("file:line:#include ..."); awk ranks
# both ends. Files deleted from the work tree but still listed are skipped (-s).
report "$(grep -sHnE '^#include [<"]' "${files[@]}" /dev/null | awk -v layers="$layers" -v folders="$game_folders" \
    -v roots="$root_files" '
    BEGIN {
        n = split(layers " " folders, order, " ")
        for (i = 1; i <= n; ++i)
            rank[order[i]] = i
        split(roots, root, " ")
        for (i in root)
            isRoot[root[i]] = 1
        rank["the game root"] = n + 1
    }
    # The layer of a path: its first folder, inside game/ its first two or
    # "the game root"; "" for a path that no rank covers.
    function layer(path,   part, parts) {
        parts = split(path, part, "/")
        if (part[1] != "game")
            return part[1] in rank ? part[1] : ""
        if (path in isRoot)
            return "the game root"
        return parts > 2 && ("game/" part[2]) in rank ? "game/" part[2] : ""
    }
    {
        file = $0
        sub(/:.*/, "", file)
        rest = substr($0, length(file) + 2)
        line = rest
        sub(/:.*/, "", line)
        text = substr(rest, length(line) + 2)
        where = file ":" line ": "
        if (text ~ /^#include <SDL/) {
            if (file !~ /^host\/sdl\//)
                print where "includes SDL outside host/sdl"
            next
        }
        if (text !~ /^#include "/)
            next
        included = text
        sub(/^#include "/, "", included)
        sub(/".*/, "", included)
        own = layer(file)
        target = layer(included)
        if (own != "" && target != "" && rank[target] > rank[own])
            print where "includes " included ", and " target " lies above " own
    }')"

declare -A excepted
while read -r file _; do
    [ -n "$file" ] && excepted[$file]=1
done < <(grep -v '^#' tools/layer-exceptions.txt 2>/dev/null)
outside_host=()
for file in "${files[@]}"; do
    [[ $file == host/* || -n ${excepted[$file]:-} ]] || outside_host+=("$file")
done
report "$(grep -sHnE '\b(getenv|srand|rand|time)\s*\(|system_clock|std::random_device|std::cout|std::cerr|\bprintf\s*\(|\bputs\s*\(|fprintf\s*\(\s*(stdout|stderr)' \
    "${outside_host[@]}" /dev/null | grep -vE '^[^:]+:[0-9]+:\s*//' |
    sed 's/$/: only host\/ may use the clock, random numbers, the environment or the console/')"

exit $status
