#!/usr/bin/env bash
# The files of a folder compile together, several to a compiler run
# (cmake/VorlaxTargets.cmake, VORLAX_BATCH), so a name private to one file
# (in an unnamed namespace, or `static`) must not be defined by another file
# of its folder in the same namespace, privately or not: where the two definitions differ in
# their parameters, the batch would compile and a call would silently reach
# the other file's function. Folders of a library built UNBATCHED are left
# out. Grep-level on purpose: it reads the lines clang-format writes (a
# namespace opens with `namespace X {` and closes with `} // namespace X`)
# and names each clash with its files.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1

unbatched=$(git grep -lE 'vorlax_library\([a-z_]+ .*UNBATCHED' -- '*CMakeLists.txt' | xargs -rn1 dirname)
status=0
while IFS= read -r folder; do
    skip=0
    for root in $unbatched; do
        case "$folder/" in "$root"/*) skip=1 ;; esac
    done
    [ "$skip" -eq 1 ] && continue
    clashes=$(awk '
        FNR == 1 { depth = 0; file = FILENAME; sub(".*/", "", file) }
        /^namespace [A-Za-z0-9_:]* ?\{/ {
            name = $2; if (name == "{") name = ""
            stack[++depth] = name; next
        }
        /^\} \/\/ namespace/ { if (depth > 0) depth--; next }
        {
            private = ($0 ~ /^static /); ns = ""
            for (i = 1; i <= depth; i++) { if (stack[i] == "") private = 1; else ns = ns stack[i] "::" }
            name = ""
            if (match($0, /^(static |inline |constexpr |\[\[[a-z_:]+\]\] )*[A-Za-z_][A-Za-z0-9_:<>*&, ]*[ *&]+[A-Za-z_][A-Za-z0-9_]*\(/) && $0 !~ /;[ ]*$/) {
                name = substr($0, 1, RLENGTH - 1); sub(/.*[ *&]/, "", name)
            } else if (match($0, /^(static )?(inline )?(constexpr|const) [^=(]*[A-Za-z_][A-Za-z0-9_]*(\[[^]]*\])* *[={]/)) {
                name = substr($0, 1, RLENGTH); sub(/(\[[^]]*\])* *[={]$/, "", name); sub(/.*[^A-Za-z0-9_]/, "", name)
            } else if (match($0, /^(struct|class|enum class|enum|union) [A-Za-z_][A-Za-z0-9_]*/) && $0 !~ /;[ ]*$/) {
                name = substr($0, 1, RLENGTH); sub(/.* /, "", name)
            }
            if (name == "" || name ~ /:/) next
            key = ns name
            # A public name counts where some file also has it as a private one.
            if (private) privateIn[key] = 1
            if (!((key, file) in seen)) { seen[key, file] = 1; files[key] = files[key] " " file; count[key]++ }
        }
        END { for (key in count) if (count[key] > 1 && (key in privateIn)) print key ":" files[key] }
    ' "$folder"/*.cpp)
    if [ -n "$clashes" ]; then
        while IFS= read -r clash; do
            echo "batch check: $folder: $clash: a name private to a file is defined by another file of its folder too" >&2
        done <<<"$clashes"
        status=1
    fi
done < <(git ls-files --cached --others --exclude-standard -- 'host/*.cpp' 'runtime/*.cpp' 'classlib/*.cpp' \
    'platform/*.cpp' 'game/*.cpp' 'tools/*.cpp' 'tests/*.cpp' | xargs -rn1 dirname | sort -u)
exit $status
