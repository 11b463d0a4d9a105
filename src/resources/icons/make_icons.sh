#!/usr/bin/env bash
# Turns pushpin.svg into the program's icons (Debian packages: imagemagick, icoutils).
#   pintaro.ico   program icon: 32 x 32 and 16 x 16, 32 bits with alpha, 48 x 48 too
#   tray_256.ico  notification-area icon, 32 x 32 with 256 colours
#   tray_16.ico   notification-area icon, 32 x 32 with 16 colours
# Edges are kept hard (no antialiasing): the icon window cuts its square away by a colour key, and
# blended edges would carry that key colour into the outline.
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

render() { # size output
  convert -background none +antialias -density $((72 * $1 / 32)) pushpin.svg -resize "$1x$1" \
    -channel A -threshold 50% +channel "PNG32:$2"
}
render 48 "$work/48.png"
render 32 "$work/32.png"
render 16 "$work/16.png"
icotool -c -b 32 -o pintaro.ico "$work/48.png" "$work/32.png" "$work/16.png"

convert "$work/32.png" -colors 255 "PNG8:$work/32-256.png"
icotool -c -b 8 -o tray_256.ico "$work/32-256.png"
convert "$work/32.png" -colors 15 "PNG8:$work/32-16.png"
icotool -c -b 4 -o tray_16.ico "$work/32-16.png"
icotool -l pintaro.ico tray_256.ico tray_16.ico
