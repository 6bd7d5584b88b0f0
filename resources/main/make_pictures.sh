#!/usr/bin/env bash
# Draws the main window's pictures (command glyphs, padlocks, answer glyphs, circles, the program icon) and the
# three cursors that have no standard shape. The PNG files are kept in the tree; run this again after a change.
set -euo pipefail
cd "$(dirname "$0")"
c() { convert -size "$1" xc:none "${@:3}" "PNG32:$2"; }

# Padlocks: open shackle for teacher mode, closed for student mode.
c 24x24 lock_open.png -fill none -stroke '#505050' -strokewidth 2.5 -draw "path 'M 13,11 L 13,6 A 4.5,4.5 0 0 1 22,6 L 22,8'" \
  -fill '#d4a020' -stroke '#7a5a10' -strokewidth 1 -draw "roundrectangle 2,11 17,22 2,2" \
  -fill '#7a5a10' -stroke none -draw "circle 9.5,16 9.5,14.5" -draw "rectangle 9,16 10,19"
c 24x24 lock_closed.png -fill none -stroke '#505050' -strokewidth 2.5 -draw "path 'M 7,11 L 7,7 A 5,5 0 0 1 17,7 L 17,11'" \
  -fill '#d4a020' -stroke '#7a5a10' -strokewidth 1 -draw "roundrectangle 4,11 20,22 2,2" \
  -fill '#7a5a10' -stroke none -draw "circle 12,16 12,14.5" -draw "rectangle 11.5,16 12.5,19"

# Close: a red cross on a light sheet.
c 24x24 close.png -fill white -stroke '#808080' -draw "rectangle 3,2 20,21" \
  -stroke '#d02020' -strokewidth 3 -draw "line 7,7 16,16" -draw "line 16,7 7,16"
# Open: a yellow folder.
c 24x24 open.png -fill '#e8c050' -stroke '#906818' -draw "path 'M 2,6 L 9,6 L 11,8 L 21,8 L 21,20 L 2,20 Z'" \
  -fill '#f8dc80' -draw "path 'M 2,20 L 5,11 L 23,11 L 21,20 Z'"
# Save: a blue diskette.
c 24x24 save.png -fill '#3060b0' -stroke '#183060' -draw "roundrectangle 2,2 21,21 2,2" \
  -fill '#f0f0f0' -stroke none -draw "rectangle 6,3 17,10" -fill '#c0c0c0' -draw "rectangle 6,14 17,21" \
  -fill '#3060b0' -draw "rectangle 13,4 15,9"
# Print: a grey printer with a sheet.
c 24x24 print.png -fill white -stroke '#808080' -draw "rectangle 6,2 17,10" \
  -fill '#a0a0a8' -stroke '#505058' -draw "roundrectangle 2,9 21,18 2,2" \
  -fill white -stroke '#808080' -draw "rectangle 6,15 17,22" -stroke none -fill '#40c040' -draw "rectangle 17,11 19,12"
# Edit: a pencil over a sheet.
c 24x24 edit.png -fill white -stroke '#808080' -draw "rectangle 2,2 16,21" \
  -stroke '#a0a0a0' -draw "line 4,6 13,6" -draw "line 4,10 13,10" -draw "line 4,14 10,14" \
  -stroke '#705010' -fill '#f0c030' -draw "polygon 20,3 23,6 12,17 9,14" -fill '#f0d0a0' -draw "polygon 9,14 12,17 8,18"
# Study: an open book.
c 24x24 study.png -fill '#fffff0' -stroke '#205090' -strokewidth 1.2 \
  -draw "path 'M 12,6 Q 7,3 2,5 L 2,19 Q 7,17 12,20 Z'" -draw "path 'M 12,6 Q 17,3 22,5 L 22,19 Q 17,17 12,20 Z'" \
  -stroke '#90a0c0' -strokewidth 1 -draw "line 4,9 10,9" -draw "line 4,12 10,12" -draw "line 14,9 20,9" -draw "line 14,12 20,12"
# Learner: a person.
c 24x24 learner.png -fill '#f0c8a0' -stroke '#906040' -draw "circle 12,7 12,2.5" \
  -fill '#4070c0' -stroke '#203870' -draw "path 'M 4,22 Q 4,12 12,12 Q 20,12 20,22 Z'"
# Answers shown: a bright red circle mark; hidden: the same in dark red.
c 24x24 answer_on.png -fill none -stroke '#ff1010' -strokewidth 3.5 -draw "circle 12,12 12,3.5"
c 24x24 answer_off.png -fill none -stroke '#701010' -strokewidth 3.5 -draw "circle 12,12 12,3.5"
# Answer boxes: two framed boxes.
c 24x24 kran.png -fill white -stroke '#202020' -draw "rectangle 2,4 12,19" -draw "rectangle 14,4 21,19" \
  -stroke '#d02020' -draw "line 5,12 9,12" -draw "line 16,12 19,12"
# The reduced-view toggle: green circle when reduced, yellow when not.
c 24x24 circle_green.png -fill '#20b040' -stroke '#106020' -draw "circle 12,12 12,4"
c 24x24 circle_yellow.png -fill '#f0d020' -stroke '#907810' -draw "circle 12,12 12,4"

# The program icon: a fraction on a sheet.
c 64x64 app_icon.png -fill '#fffff0' -stroke '#4060a0' -strokewidth 2 -draw "roundrectangle 6,3 57,60 6,6" \
  -stroke '#c02020' -strokewidth 3 -draw "line 20,32 44,32" -stroke none -fill '#203060' \
  -draw "rectangle 29,9 35,27" -draw "rectangle 23,36 40,39" -draw "rectangle 35,39 40,43" \
  -draw "rectangle 23,43 40,46" -draw "rectangle 23,46 28,50" -draw "rectangle 23,50 40,53"

# Cursors, 32 × 32; their hot spots are given where they are loaded.
cd ../cursors
c 32x32 PencilCSR.png -fill '#f0c030' -stroke black -draw "polygon 1,31 4,22 24,2 30,8 10,28" \
  -fill '#f0d0a0' -draw "polygon 1,31 4,22 10,28" -fill black -draw "polygon 1,31 2,28 4,30" -fill '#f08080' -draw "polygon 24,2 30,8 27,11 21,5"
c 32x32 ScissorsCSR.png -fill none -stroke black -strokewidth 2 -draw "circle 8,24 8,19" -draw "circle 24,24 24,19" \
  -draw "line 11,20 22,2" -draw "line 21,20 10,2" -fill white -stroke none -draw "circle 16,12 16,11"
c 32x32 PointCSR.png -fill none -stroke black -strokewidth 1 -draw "line 16,2 16,12" -draw "line 16,20 16,30" \
  -draw "line 2,16 12,16" -draw "line 20,16 30,16" -fill red -stroke black -draw "circle 16,16 16,13"
