#!/bin/bash
# Regenerates the program's icons from ImageMagick drawing primitives:
#   icon1.ico  32 x 32, 16 colours: a small application window with a cross-hair sight
#   icon2.ico  125 x 125, 32-bit with alpha: an open, empty cardboard box
#   icon3.ico  125 x 125, 32-bit with alpha: the same box filled with sheets of paper
# The two big icons hold their image PNG-compressed (about 7 KB instead of the
# 64 KB of an uncompressed 32-bit bitmap), as Windows Vista and later and Wine
# read icon images. Needs only Debian's imagemagick package. The icons are
# written next to this script.
set -euo pipefail

CONVERT=/usr/bin/convert
IDENTIFY=/usr/bin/identify
if [[ ! -x "$CONVERT" || ! -x "$IDENTIFY" ]]; then
    echo "make_icons.sh: $CONVERT or $IDENTIFY not found; install Debian's imagemagick package (apt-get install imagemagick)" >&2
    exit 1
fi

OUT_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

# ---------------------------------------------------------------------------
# ICON1: the window is drawn pixel-exact without anti-aliasing, from a handful of
# colours, so quantising to a 16-colour palette changes nothing and the shapes
# stay crisp. Everything is at least 2 pixels thick so the 16 x 16 small icon,
# which Windows shrinks from this one, still shows the frame, title bar and sight.
make_window_icon() {
    local out="$1"
    "$CONVERT" -size 32x32 xc:none +antialias \
        -stroke none \
        -fill black   -draw 'rectangle 0,1 31,30' \
        -fill silver  -draw 'rectangle 2,3 29,28' \
        -fill navy    -draw 'rectangle 2,3 29,9' \
        -fill white   -draw 'rectangle 4,5 15,7' \
        -fill silver  -draw 'rectangle 24,5 27,8' \
        -fill black   -draw 'rectangle 2,10 29,11' \
        -fill white   -draw 'rectangle 4,12 27,26' \
        -fill none -stroke red -strokewidth 2 -draw 'circle 15.5,19 15.5,13' \
        -stroke none -fill black \
        -draw 'rectangle 15,12 16,26' \
        -draw 'rectangle 6,18 25,19' \
        -fill white -draw 'rectangle 15,18 16,19' \
        -type PaletteMatte -colors 16 \
        "ICO:$out"
}

# ---------------------------------------------------------------------------
# The open box, shared by ICON2 and ICON3. It is seen from above and from the
# front, with its near corner facing the viewer. Rim corners of the opening:
#   left (14,54), near (60,72), right (112,52), far (66,36).
# Drawing order matters (painter's algorithm): back flaps, the dark inside, then
# (for ICON3) the paper, then the outer walls and the front flaps over it all.
BOX_OUTLINE='#4a2a0c'
BOX_STROKE=(-stroke "$BOX_OUTLINE" -strokewidth 3)

box_back() {
    local -n back_args=$1
    back_args+=("${BOX_STROKE[@]}"
        # back flaps, standing up and leaning away; their inner sides face us
        -fill '#b5793c' -draw 'stroke-linejoin round polygon 14,54 66,36 58,6 4,26'
        -fill '#c4884a' -draw 'stroke-linejoin round polygon 66,36 112,52 122,24 74,8'
        # the opening, dark and empty; the inner back walls a little lighter
        -fill '#2a1706' -draw 'stroke-linejoin round polygon 14,54 66,36 112,52 60,72'
        -stroke none
        -fill '#5c3614' -draw 'stroke-linejoin round polygon 16,54 66,37 66,58 24,72'
        -fill '#6e4219' -draw 'stroke-linejoin round polygon 66,37 110,52 98,70 66,58'
        "${BOX_STROKE[@]}" -fill none
        -draw 'stroke-linejoin round polygon 14,54 66,36 112,52 60,72')
}

box_front() {
    local -n front_args=$1
    front_args+=("${BOX_STROKE[@]}"
        # outer walls: the left one lit, the right one in shade
        -fill '#d39a5a' -draw 'stroke-linejoin round polygon 14,54 60,72 60,120 16,100'
        -fill '#a8692f' -draw 'stroke-linejoin round polygon 60,72 112,52 110,98 60,120'
        # front flaps, folded out and down over the walls
        -fill '#e6b474' -draw 'stroke-linejoin round polygon 14,54 60,72 46,92 2,72'
        -fill '#bf8245' -draw 'stroke-linejoin round polygon 60,72 112,52 124,72 74,94'
        # a strip of tape down the near edge of the box
        -stroke none -fill '#e9cf98' -draw 'stroke-linejoin round polygon 58,94 62,94 62,119 58,119')
}

# Sheets of white paper standing in the box, fanned a little, with grey lines
# of writing so they read as paper and not as a white blob.
box_paper() {
    local -n paper_args=$1
    paper_args+=(-stroke '#7a7a7a' -strokewidth 2
        -fill '#f4f4f4' -draw 'stroke-linejoin round polygon 24,58 38,16 74,26 64,70'
        -fill '#ffffff' -draw 'stroke-linejoin round polygon 52,64 72,14 108,26 92,70'
        -fill '#fafafa' -draw 'stroke-linejoin round polygon 36,68 48,22 86,28 80,74'
        -stroke '#9a9a9a' -strokewidth 2
        -draw 'line 52,34 76,38'
        -draw 'line 50,42 74,46'
        -draw 'line 48,50 66,53'
        -draw 'line 78,22 100,30'
        -draw 'line 92,42 100,45')
}

# Little-endian bytes of a number, written to stdout.
bytes_le() {
    local value="$1" count="$2" escapes="" i
    for ((i = 0; i < count; i++)); do
        escapes+=$(printf '\\x%02x' $(((value >> (8 * i)) & 255)))
    done
    printf "$escapes"
}

# An .ico file with one image stored as PNG: the 6-byte header, one 16-byte
# directory entry, then the PNG file itself (at offset 22).
png_to_ico() {
    local png="$1" out="$2" width height length
    width=$("$IDENTIFY" -format '%w' "$png")
    height=$("$IDENTIFY" -format '%h' "$png")
    length=$(stat -c %s "$png")
    {
        bytes_le 0 2; bytes_le 1 2; bytes_le 1 2                  # reserved, type icon, one image
        bytes_le "$width" 1; bytes_le "$height" 1                 # (sizes below 256)
        bytes_le 0 1; bytes_le 0 1                                # no palette, reserved
        bytes_le 1 2; bytes_le 32 2                               # planes, bits per pixel
        bytes_le "$length" 4; bytes_le 22 4                       # image bytes and offset
        cat "$png"
    } >"$out"
}

make_box_icon() {
    local out="$1" with_paper="$2"
    local draw=()
    box_back draw
    if [[ "$with_paper" == yes ]]; then
        box_paper draw
    fi
    box_front draw
    local png
    png=$(mktemp --suffix=.png)
    # 8 bits per channel with alpha; no time stamps, so the output depends on the drawing alone.
    "$CONVERT" -size 125x125 xc:none "${draw[@]}" -strip -define png:exclude-chunks=date,time "PNG32:$png"
    png_to_ico "$png" "$out"
    rm -f "$png"
}

make_window_icon "$OUT_DIR/icon1.ico"
make_box_icon "$OUT_DIR/icon2.ico" no
make_box_icon "$OUT_DIR/icon3.ico" yes
echo "Wrote icon1.ico, icon2.ico and icon3.ico in $OUT_DIR"
