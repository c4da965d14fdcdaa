#!/usr/bin/env bash
# Fails when a layer includes a header of a layer above it. Arrows point one way:
# app -> ui -> engine -> shared -> core, ui -> platform -> core.
#   scripts/check-layers.sh [SOURCE_DIR]   (default: the src/ beside this script)
set -uo pipefail

src=${1:-$(dirname "$0")/../src}
declare -A allowed=(
    [core]="core"
    [platform]="core platform"
    [shared]="core shared"
    [engine]="core shared engine"
    [ui]="core platform shared engine ui"
    [app]="core platform shared engine ui app"
)

status=0
for layer in "${!allowed[@]}"; do
    [[ -d $src/$layer ]] || continue
    while IFS=: read -r file line include; do
        target=$(sed -E 's/.*#include "([^/"]+)\/.*/\1/' <<<"$include")
        if [[ " ${allowed[$layer]} " != *" $target "* ]]; then
            echo "$file:$line: $layer must not include $target: $include"
            status=1
        fi
    done < <(grep -rnE '^\s*#\s*include "[^/"]+/' "$src/$layer" --include='*.h' --include='*.cpp' \
        --include='*.h.in')
done
# Every folder of src/ is a known layer, so a new one cannot slip past the rules.
for dir in "$src"/*/; do
    layer=$(basename "$dir")
    if [[ -z ${allowed[$layer]+set} ]]; then
        echo "$dir: not a known layer; add its arrows to $0"
        status=1
    fi
done
[[ $status -eq 0 ]] && echo "layers: every include points down"
exit $status
