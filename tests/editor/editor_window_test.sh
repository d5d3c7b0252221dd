#!/usr/bin/env bash
# Zandrel's editor in a real X window, through zandrel-editor-host, driven
# with xdotool: "Arp ON" shrinks the window and the host sees the
# automation; the size entries give 1186 x 1158 and back; the options menu
# opens below the 37-pixel header-only window and its folder entry reaches
# the desktop's opener; the window closes and opens again; the host quits
# without an X error. Screenshots go to the work folder. Run under tests/with_display.sh.
# usage: editor_window_test.sh EDITOR_HOST WORK_DIR
set -euo pipefail
host=$1
work=$2
rm -rf "$work"
mkdir -p "$work"
log=$work/host.log
pid=
cleanup() { exec 3>&- 2>/dev/null || true; [[ -n $pid ]] && kill "$pid" 2>/dev/null || true; }
trap cleanup EXIT

. "$(dirname "$0")/editor_host_driver.sh"
geometry() { xdotool getwindowgeometry "$window" | sed -n 's/.*Geometry: //p'; }
expect_geometry() {
    for _ in $(seq 50); do [[ $(geometry) == "$1" ]] && return 0; sleep 0.1; done
    fail "the host window is $(geometry), not $1"
}
shot() { sleep 0.4; import -window root "$work/$1.png"; }
# The colour of one screen pixel, as ImageMagick names it.
pixel() { /usr/bin/convert "$work/$1.png" -format "%[pixel:p{$2,$3}]" info:; }

# No configuration file (100 %); the desktop's opener is a stand-in.
export XDG_DOCUMENTS_DIR=$work/documents
printf '#!/bin/sh\necho "$1" > %s/opened\n' "$work" >"$work/opener"
chmod +x "$work/opener"
export ZANDREL_OPEN_COMMAND=$work/opener

# The headless editor tests check for leaks; here the font and X caches the
# window's libraries keep until the process ends are not ours to free.
export ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0"

mkfifo "$work/in"
"$host" --hold 60,64,67 <"$work/in" >"$log" 2>"$work/host.err" &
pid=$!
exec 3>"$work/in"
wait_for '^open 593 579$'
window=$(sed -n 's/^window //p' "$log")
expect_geometry 593x579
shot both-100

# The host window lies at the screen's origin (no window manager), so
# window coordinates are screen coordinates. "Arp ON":
xdotool mousemove 190 19 click 1
wait_for '^automate 17 0\.0000$'
wait_for '^begin 17$'
wait_for '^end 17$'
wait_for '^size 593 225$'
expect_geometry 593x225
xdotool mousemove 190 19 click 1
wait_for '^automate 17 1\.0000$'
wait_for '^size 593 579$'

# Options menu, "200% Size" (its second row, 18 pixels each below the
# button), then at 200 % "100% Size" (rows of 36).
xdotool mousemove 566 17 click 1
sleep 0.3
xdotool mousemove 560 64 click 1
wait_for '^size 1186 1158$'
expect_geometry 1186x1158
shot both-200
xdotool mousemove 1132 35 click 1
sleep 0.3
xdotool mousemove 1100 90 click 1
wait_for '^size 593 579$'
expect_geometry 593x579

# The header alone: 37 pixels. Its options menu opens below the window,
# in a window of its own, with five entries.
send set 16 0
send set 17 0
wait_for '^size 593 37$'
expect_geometry 593x37
shot header-100
xdotool mousemove 566 17 click 1
shot options-menu
[[ $(pixel options-menu 720 45) != "$(pixel header-100 720 45)" ]] ||
    fail "no menu below the window"
# Entry 3 is now "Show Zandrel Presets Folder" (no "Arp Rate Free (Hz)").
xdotool mousemove 560 89 click 1
for _ in $(seq 50); do [[ -s $work/opened ]] && break; sleep 0.1; done
grep -q 'Vrek/Zandrel Presets/$' "$work/opened" || fail "the presets folder was not opened"

# Close and open again: the same size, the host window as it was.
send close
wait_for '^closed$'
send open
wait_for '^open 593 37$'
send get 17
wait_for '^value 17 0\.0000$'
send quit
wait_for '^quit$'
wait "$pid" || fail "the editor host ended with an error"
pid=
if grep -q 'X error' "$work/host.err"; then fail "X errors"; fi
echo "editor window test passed; screenshots in $work"
