#!/usr/bin/env bash
# Draws the programs' icons with ImageMagick, so that they can be changed and drawn again
# instead of being edited as opaque binaries.
#
#   scripts/make-icons.sh
#
# Writes setup/setup.ico, the setup program's icon: a parcel with an arrow going into it, in the
# wizard's accent colour (#DE8C33, dark accent #AC671C) on its dark page background (#262626).
# The shell shows it for the setup program and, through the uninstall entry, in the list of
# installed programs. And tools/demo/zelo_player.ico, the demo player's: white notes on the
# accent colour, which the demo names as its entry's icon. Each size is drawn large and scaled
# down, so that the small ones stay smooth.
set -euo pipefail
cd "$(dirname "$0")/.."

# Without time stamps or other metadata (-strip, no date chunks in the large PNG-compressed
# image), so that drawing again without a change gives the same bytes.

setup_picture() { # $1 output PNG
  convert -size 256x256 xc:none \
    -fill '#262626' -draw "roundrectangle 8,8 247,247 44,44" \
    -fill '#AC671C' -draw "polygon 52,136 204,136 224,108 32,108" \
    -fill '#DE8C33' -draw "roundrectangle 52,132 204,222 10,10" \
    -fill '#262626' -draw "rectangle 96,132 160,146" \
    -fill white -draw "rectangle 113,30 143,104 polygon 80,98 176,98 128,156" \
    -fill '#AC671C' -draw "rectangle 76,182 180,190" \
    -strip "PNG32:$1"
}

player_picture() { # $1 output PNG
  local notes="rectangle 104,66 120,184 rectangle 184,46 200,164
    polygon 104,58 200,34 200,70 104,94 ellipse 86,184 32,24 0,360 ellipse 166,164 32,24 0,360"
  convert -size 256x256 xc:none \
    -fill '#DE8C33' -draw "roundrectangle 8,8 247,247 44,44" \
    -fill '#AC671C' -draw "translate 6,6 $notes" \
    -fill white -draw "$notes" \
    -strip "PNG32:$1"
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

icon() { # $1 drawing function, $2 output ICO
  "$1" "$work/icon.png"
  local sizes=()
  for size in 16 24 32 48 256; do
    convert "$work/icon.png" -filter Lanczos -resize "${size}x${size}" -strip \
      "PNG32:$work/$size.png"
    sizes+=("$work/$size.png")
  done
  convert "${sizes[@]}" -strip -define png:exclude-chunks=date,time,tIME "$2"
}

icon setup_picture setup/setup.ico
icon player_picture tools/demo/zelo_player.ico
