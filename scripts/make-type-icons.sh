#!/usr/bin/env bash
# Draws the five file-type icons shipped beside the program (a page with a
# coloured band naming the type), at 16, 32 and 48 pixels. Run by hand with
# ImageMagick 6 when the icons change; the results are kept in resources/.
set -euo pipefail
out=${1:-$(cd "$(dirname "$0")/.." && pwd)/resources}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
draw() { # draw <name> <label> <colour>
    local name=$1 label=$2 colour=$3 sizes=()
    for size in 16 32 48; do
        local s=$((size * 4)) # drawn large, then scaled down smoothly
        convert -size ${s}x${s} xc:none \
            -fill white -stroke '#606060' -strokewidth $((s / 32 + 1)) \
            -draw "polygon $((s * 3 / 16)),$((s / 16)) $((s * 10 / 16)),$((s / 16)) $((s * 13 / 16)),$((s * 4 / 16)) $((s * 13 / 16)),$((s * 15 / 16)) $((s * 3 / 16)),$((s * 15 / 16))" \
            -stroke none -fill "$colour" \
            -draw "rectangle $((s / 16)),$((s * 8 / 16)) $((s * 15 / 16)),$((s * 13 / 16))" \
            -fill white -font DejaVu-Sans-Bold -pointsize $((s * 9 / 32)) -gravity center \
            -annotate +0+$((s * 5 / 32)) "$label" \
            -resize ${size}x${size} "$work/$name-$size.png"
        sizes+=("$work/$name-$size.png")
    done
    convert "${sizes[@]}" "$out/$name.ico"
}
draw bmpicon BMP '#2e7d32'
draw jpgicon JPG '#c62828'
draw gificon GIF '#6a1b9a'
draw emficon EMF '#1565c0'
draw wmficon WMF '#ef6c00'
