#!/usr/bin/env bash
# Turns pushpin.svg into the program's icons (Debian packages: imagemagick, icoutils).
#   pintaro.ico   program icon, 32 bits with alpha: 16, 20, 24, 32, 40, 48 and 64 pixels, so that the
#                 icon window draws the pin at its own size at 100 % to 200 % scale
#   tray_256.ico  notification-area icon with 256 colours: the small-icon sizes of 100 % to 300 % scale,
#                 16, 20, 24, 32, 40 and 48 pixels
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
sizes=(64 48 40 32 24 20 16)
pngs=()
for size in "${sizes[@]}"; do
  render "$size" "$work/$size.png"
  pngs+=("$work/$size.png")
done
icotool -c -b 32 -o pintaro.ico "${pngs[@]}"

small=()
for size in 48 40 32 24 20 16; do
  convert "$work/$size.png" -colors 255 "PNG8:$work/$size-256.png"
  small+=("$work/$size-256.png")
done
icotool -c -b 8 -o tray_256.ico "${small[@]}"
convert "$work/32.png" -colors 15 "PNG8:$work/32-16.png"
icotool -c -b 4 -o tray_16.ico "$work/32-16.png"
icotool -l pintaro.ico tray_256.ico tray_16.ico
