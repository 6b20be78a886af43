#!/usr/bin/env bash
# Draws the demo product's pictures and language icons with ImageMagick, so that they can be
# changed and drawn again instead of being edited as opaque binaries.
#
#   demo/make-pictures.sh
#
# Writes the wizard's header and side pictures and the add-on picture into demo/setup/, and
# puts each language's 16x16 flag icon, as hexadecimal text, into the "Icon" line of its
# language file. The colours follow the wizard's own palette (accent #DE8C33, dark accent
# #AC671C, dark page background #262626), so the pictures sit well in both colour schemes.
set -euo pipefail
cd "$(dirname "$0")/setup"

# Every picture is written without time stamps or other metadata (-strip, no date chunks), so
# that drawing again without a change gives the same bytes.

header() { # $1 file, $2 background top, $3 background right end, $4 mark, $5 name colour
  local file=$1
  # The left 144 pixels are the mark's; the page title is written right-aligned over the rest.
  convert -size 640x53 gradient:"$2-$2" \
    \( -size 496x53 gradient:"$2-$3" -rotate -90 -resize '496x53!' \) -geometry +144+0 -composite \
    -fill "$4" -draw "roundrectangle 14,31 17,40 1,1 roundrectangle 20,21 23,40 1,1
      roundrectangle 26,13 29,40 1,1 roundrectangle 32,24 35,40 1,1 roundrectangle 38,29 41,40 1,1" \
    -font DejaVu-Sans-Bold -pointsize 20 -fill "$5" -annotate +50+38 "ZELO" \
    -strip -define png:exclude-chunks=date,time,tIME "PNG32:$file"
}

side() { # $1 file, $2 top colour, $3 bottom colour, $4 circles colour
  local file=$1
  convert -size 188x435 gradient:"$2-$3" \
    -fill none -stroke "$4" -strokewidth 2 \
    -draw "circle 94,190 94,150 circle 94,190 94,125 circle 94,190 94,100" \
    -stroke none -fill white \
    -draw "roundrectangle 62,195 71,230 3,3 roundrectangle 76,165 85,230 3,3
      roundrectangle 90,140 99,230 3,3 roundrectangle 104,172 113,230 3,3
      roundrectangle 118,190 127,230 3,3" \
    -font DejaVu-Sans-Bold -pointsize 34 -gravity north -annotate +0+262 "ZELO" \
    -font DejaVu-Sans -pointsize 12 -annotate +0+304 "music player" \
    -strip -define png:exclude-chunks=date,time,tIME "PNG32:$file"
}

header header.png white '#FDF1E4' '#DE8C33' '#3A3A3A'
header header_dark.png '#262626' '#33291F' '#DE8C33' white
side wizard_light.png '#E89A45' '#AC671C' '#F4C38C'
side wizard_dark.png '#AC671C' '#2A1A0A' '#C98A45'

# The add-on's card on its wizard page: a framed landscape, the way picture viewers show
# themselves, beside the add-on's name.
convert -size 220x90 xc:none \
  -fill '#FFF6EC' -stroke '#DE8C33' -strokewidth 2 -draw "roundrectangle 1,1 218,88 10,10" \
  -fill white -stroke '#AC671C' -strokewidth 2 -draw "rectangle 14,18 82,72" \
  -stroke none -fill '#7FB3E0' -draw "rectangle 15,19 81,48" \
  -fill '#F2C14E' -draw "circle 66,30 66,24" \
  -fill '#5E9E4A' -draw "polygon 15,71 38,40 55,62 64,52 81,71" \
  -font DejaVu-Sans-Bold -pointsize 17 -fill '#3A3A3A' -annotate +94+44 "Picta" \
  -font DejaVu-Sans -pointsize 13 -fill '#6A6A6A' -annotate +94+64 "picture viewer" \
  -strip -define png:exclude-chunks=date,time,tIME PNG32:addons.png

# Flags drawn plainly at 16x16; the language list shows them beside the languages' names.
icon_hex() {
  convert -size 16x16 "$@" ico:- | od -An -v -tx1 | tr -d ' \n' | tr a-f A-F
}
set_icon() { # $1 language file, then the drawing
  local file=$1 hex
  shift
  hex=$(icon_hex "$@")
  # Byte-wise, so that the German file keeps its code page 1252 bytes.
  LC_ALL=C sed -i "s/^Icon=.*/Icon=$hex/" "$file"
}
set_icon English.lng xc:'#1F3F8F' -fill white -draw "rectangle 6,0 9,15 rectangle 0,6 15,9" \
  -fill '#C8102E' -draw "rectangle 7,0 8,15 rectangle 0,7 15,8"
set_icon Russian.lng xc:white -fill '#0039A6' -draw "rectangle 0,5 15,10" \
  -fill '#D52B1E' -draw "rectangle 0,11 15,15"
set_icon German.lng xc:black -fill '#DD0000' -draw "rectangle 0,5 15,10" \
  -fill '#FFCE00' -draw "rectangle 0,11 15,15"
