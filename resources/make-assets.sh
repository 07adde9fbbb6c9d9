#!/usr/bin/env bash
# Draws the program's pictures with ImageMagick: run by hand when a picture changes, and commit
# what it writes (lumora.ico, hand.cur, openfolder.bmp, promotion.gif, promotion.bmp).
#
# Everything stays in the 16 VGA colours or a 256-colour palette, with plain version-3 bitmap
# headers, so that Windows 95 shows the pictures as they are drawn. Needs ImageMagick and python3.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# Packs PNG images into an icon or cursor file the way Windows 95 reads them best: palette
# images (16 VGA colours, or black and white for a cursor) with a one-bit transparency mask.
pack() {  # icon|cursor out.ico|out.cur png...
    local kind=$1 out=$2
    shift 2
    local args=()
    for png in "$@"; do
        args+=("$(identify -format '%w' "$png")" "$work/$(basename "$png").rgba")
        convert "$png" -depth 8 "RGBA:$work/$(basename "$png").rgba"
    done
    python3 - "$kind" "$out" "${args[@]}" <<'PY'
import struct, sys
kind, out, rest = sys.argv[1], sys.argv[2], sys.argv[3:]
vga = [0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
       0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF]
palette = [0x000000, 0xFFFFFF] if kind == "cursor" else vga
bits = 1 if kind == "cursor" else 4
def nearest(r, g, b):
    return min(range(len(palette)), key=lambda i: (r - (palette[i] >> 16)) ** 2
               + (g - ((palette[i] >> 8) & 255)) ** 2 + (b - (palette[i] & 255)) ** 2)
images = []
for size, path in zip(rest[0::2], rest[1::2]):
    w = int(size)
    data = open(path, "rb").read()
    h = len(data) // (4 * w)
    xor_stride = ((w * bits + 31) // 32) * 4
    and_stride = ((w + 31) // 32) * 4
    xor, mask = bytearray(), bytearray()
    for y in reversed(range(h)):
        row, mrow = bytearray(xor_stride), bytearray(and_stride)
        for x in range(w):
            r, g, b, a = data[4 * (y * w + x):4 * (y * w + x) + 4]
            if a < 128:
                mrow[x // 8] |= 0x80 >> (x % 8)
                continue
            i = nearest(r, g, b)
            if bits == 4:
                row[x // 2] |= i << (4 if x % 2 == 0 else 0)
            elif i:
                row[x // 8] |= 0x80 >> (x % 8)
        xor += row
        mask += mrow
    header = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, bits, 0, len(xor) + len(mask), 0, 0, 0, 0)
    colours = b"".join(struct.pack("<BBBB", c & 255, (c >> 8) & 255, c >> 16, 0) for c in palette)
    images.append((w, h, header + colours + bytes(xor) + bytes(mask)))
# A cursor's directory entry holds the hot spot (the fingertip) where an icon's holds planes and bits.
hot = (5, 0) if kind == "cursor" else (1, bits)
blob = struct.pack("<HHH", 0, 2 if kind == "cursor" else 1, len(images))
offset = 6 + 16 * len(images)
for w, h, body in images:
    blob += struct.pack("<BBBBHHII", w % 256, h % 256, len(palette) % 256, 0, hot[0], hot[1], len(body), offset)
    offset += len(body)
open(out, "wb").write(blob + b"".join(body for _, _, body in images))
PY
}

# --- Program icon: a memory chip with a rising level meter, drawn once per size.
chip() {  # size pin-rectangles body bars...
    local size=$1 pins=$2 body=$3 bars=$4
    convert -size "${size}x${size}" xc:none +antialias \
        -fill '#808080' -stroke none -draw "$pins" \
        -fill '#000080' -stroke '#000000' -draw "rectangle $body" \
        -fill '#00FF00' -stroke none -draw "$bars" \
        "PNG32:icon$size.png"
}
chip 48 "rectangle 3,9 8,12 rectangle 3,16 8,19 rectangle 3,23 8,26 rectangle 3,30 8,33 rectangle 3,37 8,40
         rectangle 39,9 44,12 rectangle 39,16 44,19 rectangle 39,23 44,26 rectangle 39,30 44,33 rectangle 39,37 44,40" \
     "8,4 39,44" "rectangle 13,30 18,39 rectangle 21,22 26,39 rectangle 29,12 34,39"
chip 32 "rectangle 2,6 5,8 rectangle 2,11 5,13 rectangle 2,16 5,18 rectangle 2,21 5,23 rectangle 2,26 5,28
         rectangle 26,6 29,8 rectangle 26,11 29,13 rectangle 26,16 29,18 rectangle 26,21 29,23 rectangle 26,26 29,28" \
     "5,2 26,30" "rectangle 9,20 12,26 rectangle 14,14 17,26 rectangle 19,7 22,26"
chip 16 "rectangle 1,3 2,4 rectangle 1,7 2,8 rectangle 1,11 2,12 rectangle 13,3 14,4 rectangle 13,7 14,8 rectangle 13,11 14,12" \
     "3,1 12,15" "rectangle 5,10 5,13 rectangle 7,7 7,13 rectangle 9,4 9,13"
pack icon "$here/lumora.ico" icon16.png icon32.png icon48.png

# Writes an XPM picture from rows of characters: ' ' is clear, '#' black, and each further
# "CHAR c #RRGGBB" names one more colour; short rows, and rows left out at the bottom, are clear.
xpm() {  # out.xpm width height "CHAR c #RRGGBB"... -- rows...
    local out=$1 width=$2 height=$3
    shift 3
    local colours=("  c None" "# c #000000")
    while [ "$1" != -- ]; do
        colours+=("$1")
        shift
    done
    shift
    local rows=("$@") lines=("$width $height ${#colours[@]} 1") y
    lines+=("${colours[@]}")
    for ((y = 0; y < height; y++)); do
        lines+=("$(printf '%-*s' "$width" "${rows[y]:-}")")
    done
    {
        echo '/* XPM */'
        echo 'static char *picture[] = {'
        for ((y = 0; y < ${#lines[@]} - 1; y++)); do
            echo "\"${lines[y]}\","
        done
        echo "\"${lines[y]}\"};"
    } >"$out"
}

# --- Hand pointer for links, for systems without one of their own. Hot spot: the fingertip.
xpm hand.xpm 32 32 ". c #FFFFFF" -- \
    "     ##" \
    "    #..#" \
    "    #..#" \
    "    #..#" \
    "    #..#" \
    "    #..###" \
    "    #..#..###" \
    "    #..#..#..##" \
    "##  #..#..#..#.#" \
    "#..##........#..#" \
    "#...#...........#" \
    " #..............#" \
    "  #.............#" \
    "  #............#" \
    "   #...........#" \
    "   #..........#" \
    "    #.........#" \
    "    #.........#" \
    "    ###########"
convert hand.xpm PNG32:hand.png
pack cursor "$here/hand.cur" hand.png

# --- Open-folder glyph strip: the folder, then a greyed copy for the disabled button. The
# bottom-left pixel's colour (magenta) is the one left out when the glyph is drawn.
xpm folder.xpm 16 16 "Y c #808000" "o c #FFFF00" -- \
    "" \
    "" \
    "" \
    "   ####" \
    "  #YYYY#" \
    "  #YYYYY######" \
    "  #YYYYYYYYYY#" \
    "  #YYY##########" \
    "  #YY#ooooooooo#" \
    "  #Y#ooooooooo#" \
    "  ##ooooooooo#" \
    "  #ooooooooo#" \
    "  ###########"
convert folder.xpm PNG32:folder.png
convert -size 16x16 xc:none \
    \( folder.png -alpha extract -transparent black -repage +1+1 \) \
    \( folder.png -alpha extract -transparent black -fill '#808080' -opaque white \) \
    -background none -flatten PNG32:greyed.png
convert folder.png greyed.png +append +repage -background '#FF00FF' -flatten -alpha off \
    -type Palette "BMP3:$here/openfolder.bmp"

# --- Partner product picture: a product box on a pale ground, as GIF with a bitmap twin.
convert -size 125x125 gradient:'#FFFFFF-#C8D8F0' \
    -fill '#5B8FD6' -stroke '#0A2850' -draw "polygon 22,24 38,12 104,12 88,24" \
    -fill '#123D73' -draw "polygon 88,24 104,12 104,98 88,110" \
    -fill '#1E5AA8' -draw "rectangle 22,24 88,110" \
    -stroke none -fill '#FFFFFF' -font DejaVu-Sans-Bold -pointsize 15 -annotate +26+62 'Brisko' \
    -fill '#FFE030' -pointsize 13 -annotate +40+82 'v1.8' \
    -fill '#C8D8F0' -font DejaVu-Sans -pointsize 8 -annotate +30+100 'for Windows' \
    -colors 64 PNG8:promotion.png
convert promotion.png "$here/promotion.gif"
convert promotion.png -type Palette "BMP3:$here/promotion.bmp"
