#!/usr/bin/env bash
# End-to-end in a real X session: starts Xvfb and openbox, launches the built program and drives
# it from outside with xdotool as a user would, reading the boxes back through the clipboard.
#
#   tests/e2e/typical_use.sh [path/to/quirmel] [screenshot.png]
set -euo pipefail
cd "$(dirname "$0")/../.."
program=${1:-build/app/quirmel}
screenshot=${2:-}
[ -x "$program" ] || { echo "e2e: $program not built"; exit 1; }

pids=()
cleanup() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
}
trap cleanup EXIT

fail() {
  echo "e2e: FAIL: $*"
  exit 1
}

# A display of our own: Xvfb picks a free number and tells it on a pipe.
exec {displayfd}<> <(:)
Xvfb -displayfd "$displayfd" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
read -r -t 10 number <&"$displayfd" || fail "Xvfb did not start"
export DISPLAY=":$number"
openbox >/dev/null 2>&1 &
pids+=($!)
sleep 0.5

export LANG=C.UTF-8 LC_ALL=C.UTF-8  # "," groups digits, "." separates decimals
"$program" >/tmp/quirmel-e2e.log 2>&1 &
app=$!
pids+=("$app")
window=$(timeout 15 xdotool search --sync --name '^  QUIRMEL$' | head -n 1) ||
  fail "the window did not open"
echo "e2e: window $window open"
xdotool windowactivate --sync "$window"
sleep 0.3

origin() { xwininfo -id "$window" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4} END{print x, y}'; }
read -r left top < <(origin)
# Clicks at a point of the window's client area.
click() {
  xdotool mousemove --sync $((left + $1)) $((top + $2)) click 1
  sleep 0.15
}
type_text() { xdotool type --delay 40 "$1"; }
press() { xdotool key --delay 40 "$@"; }
copy_box() {  # prints the text of the box at the given point, through the clipboard
  # An empty box copies nothing: a marker held in the clipboard beforehand stands for "empty".
  printf '%s' "<nothing copied>" | xclip -quiet -selection clipboard -i >/dev/null 2>&1 &
  pids+=($!)
  sleep 0.2
  click "$1" "$2"
  press ctrl+a ctrl+c
  sleep 0.2
  xclip -o -selection clipboard | sed 's/^<nothing copied>$//'
}

# A fresh display: no program owns the clipboard or the selection. Pasting from them in every
# way into the listing and the report must leave the program running.
for point in "552 206" "224 288"; do
  read -r x y <<<"$point"
  click "$x" "$y"
  xdotool click 2
  press ctrl+v shift+Insert
  sleep 0.2
  kill -0 "$app" 2>/dev/null || fail "the program ended on a paste with an empty clipboard"
done
echo "e2e: pastes with an empty clipboard ignored"
click 148 34                    # CLICK HERE TO RESET KEY: the focus back in key box 1

# The typical use: key 5 12 27 40 (Enter walks the key boxes), 49 numbers, 20 combinations.
type_text 5; press Return; type_text 12; press Return; type_text 27; press Return; type_text 40
click 412 56; type_text 49      # Numbers
click 412 84; type_text 20      # Combinations
click 74 135                    # GENERATE
click 247 135                   # guarantee 3
sleep 0.3
if [ -n "$screenshot" ]; then
  import -window "$window" "$screenshot" && echo "e2e: screenshot $screenshot"
fi

expected_listing=$(printf '%s\n' "05 12 27 40" "06 13 28 41" "07 14 29 42" "08 15 30 43" \
  "09 16 31 44" "10 17 32 45" "11 18 33 46" "12 19 34 47" "13 20 35 48" "14 21 36 49" \
  "01 15 22 37" "02 16 23 38" "03 17 24 39" "04 18 25 40" "05 19 26 41" "06 20 27 42" \
  "07 21 28 43" "08 22 29 44" "09 23 30 45" "10 24 31 46")
expected_report=$(printf '%s\n' "Hits 03 - Integral: 18,424" \
  "p. 3 - min.  1 | max.  1 ...   0.4342%" \
  "p. 2 - min.  1 | max.  3 ...  27.8278%" \
  "------------------- Covered:  28.2620%" "")

listing=$(copy_box 552 128)
[ "$listing" == "$expected_listing" ] ||
  fail "listing differs:"$'\n'"$(diff <(echo "$expected_listing") <(echo "$listing"))"
echo "e2e: listing of 20 combinations as expected"
report=$(copy_box 224 288)
[ "$report" == "$expected_report" ] ||
  fail "report differs:"$'\n'"$(diff <(echo "$expected_report") <(echo "$report"))"
echo "e2e: report as expected:"
echo "$report" | sed 's/^/    /'

# The reset, a key of three and no pool size: GENERATE shows the error box.
click 148 34                    # CLICK HERE TO RESET KEY
type_text 1; press Return; type_text 2; press Return; type_text 3
click 74 135
box=$(timeout 10 xdotool search --sync --onlyvisible --name '^QUIRMEL$' | head -n 1) ||
  fail "no error box for an empty pool size"
echo "e2e: error box $box shown for an empty pool size"
xdotool windowactivate --sync "$box" key Return
sleep 0.3
xdotool search --onlyvisible --name '^QUIRMEL$' >/dev/null && fail "the error box did not close"
kill -0 "$app" || fail "the program ended"
[ -z "$(copy_box 552 128)" ] || fail "the listing was not emptied by the refusal"
echo "e2e: listing emptied by the refusal"

# Closing the window ends the program cleanly.
xdotool windowactivate --sync "$window" key alt+F4
for _ in $(seq 50); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
kill -0 "$app" 2>/dev/null && fail "the program did not end when its window closed"
wait "$app" || fail "the program ended with status $?"
echo "e2e: window closed, program ended with status 0"

# Starts the program once more (with the given arguments) and waits for its window.
start_again() {
  "$program" "$@" >>/tmp/quirmel-e2e.log 2>&1 &
  app=$!
  pids+=("$app")
  window=$(timeout 15 xdotool search --sync --name '^  QUIRMEL$' | head -n 1) ||
    fail "the window did not open again ($*)"
  xdotool windowactivate --sync "$window"
  sleep 0.3
  read -r left top < <(origin)
}

# A wheel file given on the command line is opened; a guarantee button analyses it. The file is
# the typical use's wheel, written by quirmel-cli, so the report is the one above.
wheel_file=$(mktemp --suffix=.txt)
"$(dirname "$program")/../cli/quirmel-cli" develop --key 5,12,27,40 --pool 49 --combinations 20 \
  -o "$wheel_file"
start_again "$wheel_file"
click 247 135                   # guarantee 3
sleep 0.3
report=$(copy_box 224 288)
rm -f "$wheel_file"
[ "$report" == "$expected_report" ] ||
  fail "report of the opened wheel differs:"$'\n'"$(diff <(echo "$expected_report") <(echo "$report"))"
echo "e2e: a wheel file given on the command line opened and analysed"
xdotool windowactivate --sync "$window" key alt+F4
for _ in $(seq 50); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
kill -0 "$app" 2>/dev/null && fail "the program did not end when its window closed"

# The largest wheel the window takes, 32,767 rows, opened from the command line and analysed at
# 2: every pair of 1..6 is held by every row, an exact count the capped table could not show.
big_file=$(mktemp --suffix=.txt)
awk 'BEGIN { for (r = 0; r < 32767; ++r) print "1 2 3 4 5 6" }' >"$big_file"
start_again "$big_file"
click 279 135                   # guarantee 2
sleep 0.5
report=$(copy_box 224 288)
rm -f "$big_file"
kill -0 "$app" || fail "the program ended on a wheel of 32,767 rows"
echo "$report" | grep -q "^p. 2 - min. 32767 | max. 32767 ... 100.0000%$" ||
  fail "the report of the 32,767-row wheel is not exact:"$'\n'"$report"
echo "e2e: a wheel of 32,767 rows opened and analysed exactly"
xdotool windowactivate --sync "$window" key alt+F4
for _ in $(seq 50); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
kill -0 "$app" 2>/dev/null && fail "the program did not end when its window closed"

# Build wheel... (Ctrl+B): the Fano plane, rows of 3 meeting every pair of 1..7, found at once;
# Use this wheel (Alt+U) lists its 7 rows; Show holes... (Ctrl+H) runs on it and closes.
start_again
press ctrl+b
dialog=$(timeout 10 xdotool search --sync --onlyvisible --name '^Build wheel$' | head -n 1) ||
  fail "Ctrl+B opened no Build wheel dialog"
xdotool windowactivate --sync "$dialog"
type_text "1-7"; press Tab; type_text 3; press Tab; type_text 2; press Tab; type_text 2
press Return                    # Start, the default button
sleep 2
press alt+u                     # Use this wheel
sleep 0.5
xdotool search --onlyvisible --name '^Build wheel$' >/dev/null && fail "Use this wheel left the dialog open"
listing=$(copy_box 552 128)
[ "$(echo "$listing" | grep -cE '^[0-9]{2} [0-9]{2} [0-9]{2}$')" -eq 7 ] ||
  fail "the built wheel is not the 7 rows of the Fano plane:"$'\n'"$listing"
press ctrl+h
dialog=$(timeout 10 xdotool search --sync --onlyvisible --name '^Show holes$' | head -n 1) ||
  fail "Ctrl+H opened no Show holes dialog"
xdotool windowactivate --sync "$dialog" key Return
sleep 0.5
xdotool windowactivate --sync "$dialog" key Escape
sleep 0.3
xdotool search --onlyvisible --name '^Show holes$' >/dev/null && fail "Escape left Show holes open"
kill -0 "$app" || fail "the program ended"
echo "e2e: a wheel built, used and checked for holes through the dialogs"
xdotool windowactivate --sync "$window" key alt+F4
for _ in $(seq 50); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
kill -0 "$app" 2>/dev/null && fail "the program did not end when its window closed"

# Playing a wheel: Ctrl+B, the game 6/49 chosen in its box (pool, row and draw filled from it),
# "2 if 6" with the key number 7 in every row and a ticket price; Use this wheel, then Print
# tickets... from the listing's menu, to the PDF file the print dialog offers.
start_again
press ctrl+b
dialog=$(timeout 10 xdotool search --sync --onlyvisible --name '^Build wheel$' | head -n 1) ||
  fail "Ctrl+B opened no Build wheel dialog"
xdotool windowactivate --sync "$dialog"
press shift+Tab Down            # Game: 6/49
press Tab Tab Tab; type_text 2  # past the numbers and the row size: the guarantee
press Tab Tab; type_text 7      # past the numbers drawn: the key numbers
press Tab; type_text 3          # time limit
press Tab Tab; type_text 2.50   # past At most: the ticket price
press Return                    # Start
sleep 4
press alt+u
sleep 0.5
xdotool search --onlyvisible --name '^Build wheel$' >/dev/null && fail "Use this wheel left the dialog open"
listing=$(copy_box 552 128)
rows=$(echo "$listing" | grep -cE '^([0-9]{2} ){5}[0-9]{2}$' || true)
[ "$rows" -gt 0 ] || fail "no rows of 6 listed from the built wheel:"$'\n'"$listing"
echo "$listing" | grep -vE '(^| )07( |$)' | grep -qE '[0-9]' && fail "a listed row lacks the key number 7"
pdf=$(mktemp -d)/tickets.pdf
xdotool mousemove --sync $((left + 552)) $((top + 128)) click 3
sleep 0.4
press Up Up Return              # Print tickets..., the menu's last but one
printer=$(timeout 10 xdotool search --sync --onlyvisible --name '^Print' | head -n 1) ||
  fail "Print tickets... opened no print dialog"
xdotool windowactivate --sync "$printer"
sleep 0.3
press alt+f                     # the output file's box of "Print to File (PDF)"
press ctrl+a; type_text "$pdf"; press Return
for _ in $(seq 50); do [ -s "$pdf" ] && break; sleep 0.1; done
[ -s "$pdf" ] || fail "no tickets PDF was printed"
head -c 5 "$pdf" | grep -q '%PDF-' || fail "the tickets file is not a PDF"
text=$(pdftotext "$pdf" -) || fail "the tickets PDF cannot be read"
echo "$text" | grep -q "game 6/49, guarantee 2 if 6" || fail "the tickets' head lacks the game:"$'\n'"$text"
echo "$text" | grep -q "Cost: " || fail "the tickets' head lacks the cost:"$'\n'"$text"
[ -n "${QUIRMEL_E2E_TICKETS:-}" ] && cp "$pdf" "$QUIRMEL_E2E_TICKETS"  # to look at
rm -rf "$(dirname "$pdf")"
kill -0 "$app" || fail "the program ended"
echo "e2e: a 6/49 wheel with a key number built, used and printed as tickets"
xdotool windowactivate --sync "$window" key alt+F4
for _ in $(seq 50); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
kill -0 "$app" 2>/dev/null && fail "the program did not end when its window closed"

# The window killed from outside during a long analysis: the process must end, not hang.
start_again
for n in 1 2 3 4 5 6; do type_text "$n"; press Return; done
click 412 56; type_text 99
click 412 84; type_text 99
click 74 135                    # GENERATE
click 151 135                   # guarantee 6: 1,120,529,256 subsets
sleep 1
kill -0 "$app" 2>/dev/null || fail "the pool-99 analysis ended too soon to be interrupted"
xdotool windowkill "$window"
for _ in $(seq 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
kill -0 "$app" 2>/dev/null && fail "the program hung after its window was killed during an analysis"
echo "e2e: window killed during an analysis, program ended"
echo "e2e: 10 passed, 0 failed"
