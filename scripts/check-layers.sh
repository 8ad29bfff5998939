#!/usr/bin/env bash
# Fails when a source or test file includes a header of a layer above its
# own: platform < core < subsystems < app. Subsystems do not include one
# another, and pantrel includes nothing of the program.
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
subsystems="browser fullscreen favourites options extras"

allowed() { # allowed <folder of the including file> <folder of the header>
    local from=$1 to=$2
    [ "$from" = "$to" ] && return 0
    case $from in
    pantrel | platform) return 1 ;;
    core) [[ $to == platform ]] ;;
    app) return 0 ;;
    *) # a subsystem
        [[ $to == platform || $to == core ]] ;;
    esac
}

layer_of() { # the folder of src/<folder>/... or tests/<folder>/...
    local rel=${1#"$root"/}
    rel=${rel#src/}
    rel=${rel#tests/}
    echo "${rel%%/*}"
}

known=" pantrel platform core app $subsystems "
status=0
while IFS= read -r file; do
    from=$(layer_of "$file")
    [[ $known == *" $from "* ]] || continue
    while IFS= read -r line; do
        header=$(sed -E 's/^[0-9]+:#include "([^"]+)".*/\1/' <<<"$line")
        to=${header%%/*}
        if [ "$to" = "$header" ]; then
            # A bare name is one of the folder's own, or pantrel's public header.
            [ "$header" = pantrel.h ] || continue
            to=pantrel
            [[ $from == platform ]] || continue
        fi
        [[ $known == *" $to "* ]] || continue
        if ! allowed "$from" "$to"; then
            echo "${file#"$root"/}:${line%%:*}: $from includes $header, a layer it may not use"
            status=1
        fi
    done < <(grep -nE '^#include "[^"]+"' "$file" || true)
done < <(find "$root/src" "$root/tests" -path "$root/tests/fixtures" -prune -o \
    -path "$root/tests/support" -prune -o -type f \( -name '*.cpp' -o -name '*.h' \) -print)
[ $status -eq 0 ] && echo "layering: every include points down or sideways within its folder"
exit $status
