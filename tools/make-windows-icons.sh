#!/usr/bin/env bash
# Draws the Windows program's icons into window/win32/resources/ with
# ImageMagick (installed for this run when missing; the build itself only
# uses the .ico files this writes, which are committed):
#
#   varnok.ico   the program's icon at 16, 24, 32, 48 and 256 pixels: the
#                page of window/qt/resources/varnok.svg with one line marked
#                for removal; 16 and 24 pixels get a plainer page with fewer,
#                thicker lines, so that it stays legible
#   boxon.ico    a ticked and an empty check box at 16 and 32 pixels, drawn
#   boxoff.ico   as window/qt/icons.cpp draws them (a box inset by an eighth
#                of the size with a one-pixel grey border, a round-capped tick)
#
#   tools/make-windows-icons.sh [--preview DIR]   DIR: enlarged PNGs to look at
set -euo pipefail
cd "$(dirname "$0")/.."
out=window/win32/resources
preview=""
if [ "${1:-}" = --preview ]; then preview=$2; mkdir -p "$preview"; fi
command -v convert >/dev/null || tools/ensure-packages.sh imagemagick

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# ImageMagick puts pixel centres on whole coordinates, the SVG drawing on
# half ones: each drawing is shifted by half a pixel after scaling.
affine() { echo "affine $1,0,0,$1,-0.5,-0.5"; }

# The page of varnok.svg (48 units square), for 32 pixels and up.
page_full() {
    affine "$(echo "scale=6; $1 / 48" | bc)"
    cat <<'MVG'
stroke-linejoin round
stroke #41536b stroke-width 2 fill #ffffff
path 'M 9,4 H 31 L 39,12 V 44 H 9 Z'
fill #d3dce8
path 'M 31,4 V 12 H 39 Z'
stroke none
fill #7d8ca1
path 'M 14,15 h 12 v 2.5 h -12 Z'
path 'M 14,20 h 20 v 2.5 h -20 Z'
path 'M 14,30 h 16 v 2.5 h -16 Z'
path 'M 14,35 h 9 v 2.5 h -9 Z'
fill #c62828
path 'M 14,25 h 20 v 2.5 h -20 Z'
stroke #ffffff stroke-width 2
circle 36,36 45,36
stroke none fill #ffffff
path 'M 31,34.75 h 10 v 2.5 h -10 Z'
MVG
}

# The same page drawn on a 16-unit grid, for 16 and 24 pixels: three whole
# pixel lines, the middle one red (page_small), and the red circle with its
# bar (page_small_mark). At 16 pixels both are drawn without smoothing, so
# every edge falls on a whole pixel.
page_small() {
    affine "$(echo "scale=6; $1 / 16" | bc)"
    cat <<'MVG'
stroke-linejoin round
stroke #41536b stroke-width 1 fill #ffffff
path 'M 2.5,0.5 H 9.5 L 12.5,3.5 V 14.5 H 2.5 Z'
fill #d3dce8
path 'M 9.5,0.5 V 3.5 H 12.5 Z'
stroke none
fill #7d8ca1
path 'M 4,5 h 4 v 1 h -4 Z'
path 'M 4,9 h 5 v 1 h -5 Z'
fill #c62828
path 'M 4,7 h 7 v 1 h -7 Z'
MVG
}

page_small_mark() {
    affine "$(echo "scale=6; $1 / 16" | bc)"
    cat <<'MVG'
stroke #ffffff stroke-width 1 fill #c62828
circle 12,12 15.5,12
stroke none fill #ffffff
path 'M 10,11.5 h 4 v 1 h -4 Z'
MVG
}

# A check box as window/qt/icons.cpp draws it: the box with whole-pixel
# edges, the tick through the same points of the box, antialiased.
check_box() {
    local size=$1 ticked=$2
    local m=$((size / 8)) side=$((size - 2 * size / 8))
    echo "fill #5a5a5a rectangle $m,$m $((m + side - 1)),$((m + side - 1))"
    echo "fill #ffffff rectangle $((m + 1)),$((m + 1)) $((m + side - 2)),$((m + side - 2))"
    if [ "$ticked" = 1 ]; then
        local width left top
        width=$(echo "w = $size / 8; if (w < 1.5) w = 1.5; w" | bc -l)
        left=$(echo "$m + 0.5" | bc -l) top=$left
        point() { echo "$(echo "$left + $side * $1" | bc -l),$(echo "$top + $side * $2" | bc -l)"; }
        affine 1
        echo "stroke #1b1b1b stroke-width $width fill none stroke-linecap round stroke-linejoin round"
        echo "path 'M $(point 0.20 0.52) L $(point 0.42 0.74) L $(point 0.80 0.26)'"
    fi
}

draw() {  # draw SIZE FILE MVG [MVG drawn over it]; the page at 16 pixels unsmoothed
    local smooth=-antialias
    [ $# -lt 4 ] || [ "$1" -gt 16 ] || smooth=+antialias
    convert -size "$1x$1" xc:none "$smooth" -draw "$3" -draw "${4:-}" "PNG32:$2"
    [ -z "$preview" ] || convert "$2" -background '#c0c0c0' -flatten -scale "$((512 / $1 * 100))%" \
        "$preview/$(basename "$2")"
}

frames=()
for size in 16 24; do draw "$size" "$work/varnok-$size.png" "$(page_small "$size")" "$(page_small_mark "$size")"; frames+=("$work/varnok-$size.png"); done
for size in 32 48 256; do draw "$size" "$work/varnok-$size.png" "$(page_full "$size")"; frames+=("$work/varnok-$size.png"); done
convert "${frames[@]}" "$out/varnok.ico"

for ticked in 1 0; do
    name=$([ "$ticked" = 1 ] && echo boxon || echo boxoff)
    for size in 16 32; do draw "$size" "$work/$name-$size.png" "$(check_box "$size" "$ticked")"; done
    convert "$work/$name-16.png" "$work/$name-32.png" "$out/$name.ico"
done
for ico in varnok boxon boxoff; do identify -format "$out/$ico.ico %wx%h\n" "$out/$ico.ico"; done
