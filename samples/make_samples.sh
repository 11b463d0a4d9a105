#!/usr/bin/env bash
# Makes the bundled sample pictures with ImageMagick (Debian package imagemagick): one of each format
# the program reads, landscape and portrait.
set -euo pipefail
cd "$(dirname "$0")"

# Landscape JPEG, 1280 x 960: an evening sky over hills, with a sun.
convert -size 1280x960 gradient:'#1b2a6b'-'#f39a4b' \
  -fill '#ffe9a8' -draw 'circle 880,610 880,540' \
  -fill '#3b2f4a' -draw 'path "M 0,760 Q 320,600 640,760 T 1280,720 L 1280,960 L 0,960 Z"' \
  -fill '#241c30' -draw 'path "M 0,860 Q 400,720 800,860 T 1280,840 L 1280,960 L 0,960 Z"' \
  -quality 88 sunset.jpg

# Portrait GIF, 600 x 900: a tower of coloured blocks on a pale ground.
convert -size 600x900 xc:'#eef3f7' \
  -fill '#d94f4f' -draw 'rectangle 200,700 400,860' \
  -fill '#f2b134' -draw 'rectangle 220,540 380,700' \
  -fill '#4fa36a' -draw 'rectangle 240,390 360,540' \
  -fill '#3d7ac7' -draw 'rectangle 255,250 345,390' \
  -fill '#8a5cc7' -draw 'polygon 240,250 300,120 360,250' \
  -colors 64 tower.gif

# Landscape BMP, 480 x 320: a checkered tablecloth with a plate.
convert -size 480x320 pattern:checkerboard -scale 800% -crop 480x320+0+0 +repage \
  -threshold 50% +level-colors '#c0392b','#fdf2e9' \
  -fill white -stroke '#b0b0b0' -strokewidth 6 -draw 'circle 240,160 240,70' \
  -type Palette BMP3:tablecloth.bmp
ls -l sunset.jpg tower.gif tablecloth.bmp
