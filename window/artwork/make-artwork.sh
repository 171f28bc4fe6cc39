#!/usr/bin/env bash
# Redraws the window's icon and banner with ImageMagick; the PNGs are committed, so this runs only
# when the artwork changes.
set -euo pipefail
cd "$(dirname "$0")"

# Icon, 48 x 48: a lottery ball in the window's amber, with a wheel of six dots.
convert -size 48x48 xc:none \
  -fill '#15414F' -draw 'circle 24,24 24,2' \
  -fill '#EAC564' -draw 'circle 24,24 24,5' \
  -fill '#E86F26' -draw 'circle 24,9 24,5' -draw 'circle 37,16.5 37,12.5' \
  -draw 'circle 37,31.5 37,27.5' -draw 'circle 24,39 24,35' \
  -draw 'circle 11,31.5 11,27.5' -draw 'circle 11,16.5 11,12.5' \
  -fill '#FFFFFF' -draw 'circle 24,24 24,16' \
  -fill '#404040' -draw 'circle 24,24 24,21' \
  -depth 8 PNG32:icon.png

# Banner, 156 x 16: a strip of numbered balls fading into the window's grey.
convert -size 156x16 gradient:'#15414F-#187889' -rotate 90 -rotate -90 -resize '156x16!' \
  \( -size 156x16 xc:none -fill '#EAC564' \
     -draw 'circle 8,8 8,2' -draw 'circle 22,8 22,2' -draw 'circle 36,8 36,2' \
     -draw 'circle 50,8 50,2' -draw 'circle 64,8 64,2' -draw 'circle 78,8 78,2' \
     -fill '#E86F26' -draw 'rectangle 90,7 150,9' -draw 'circle 150,8 150,5' \) \
  -composite -depth 8 PNG24:banner.png
