#!/usr/bin/env bash
# Opens the toolkit demo in a real X window through the editor bridge,
# inside a stand-in host window, and drives it with xdotool: a switch, a
# knob drag, a menu with its submenu, text entry, a file drag onto another
# program (with and without Escape) and the file dialog. Screenshots go to
# the work folder. Run under tests/with_display.sh; every wait is bounded.
# usage: window_test.sh GUI_DEMO DROP_TARGET WORK_DIR
set -euo pipefail
demo=$1
target=$2
work=$3
rm -rf "$work"
mkdir -p "$work"
log=$work/demo.log
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; }
trap cleanup EXIT

fail() {
    echo "FAILED: $*"
    echo "--- demo log"; cat "$log"
    [[ -f $work/target.log ]] && { echo "--- drop target log"; cat "$work/target.log"; }
    exit 1
}
# wait_for FILE PATTERN: up to 15 seconds for a line matching PATTERN.
wait_for() {
    for _ in $(seq 150); do
        grep -qE "$2" "$1" 2>/dev/null && return 0
        sleep 0.1
    done
    fail "no line matching '$2' in $1"
}
# wait_count FILE PATTERN N: up to 15 seconds for N matching lines.
wait_count() {
    for _ in $(seq 150); do
        (($(grep -cE "$2" "$1" 2>/dev/null || true) >= $3)) && return 0
        sleep 0.1
    done
    fail "fewer than $3 lines matching '$2' in $1"
}
shot() { import -window root "$work/$1.png"; }
settle() { sleep 0.3; }

"$demo" --seconds 90 >"$log" 2>"$work/demo.err" &
pids+=($!)
wait_for "$log" '^open '

# The host window sits at the screen origin (no window manager), so window
# coordinates are screen coordinates.
xdotool mousemove 30 19 click 1
wait_for "$log" '^changed 16 1\.0000'

# Knob (Rate): drag 50 pixels up from its default 0.58.
xdotool mousemove 390 354 mousedown 1
settle
xdotool mousemove 390 330
settle
xdotool mousemove 390 304 mouseup 1
wait_for "$log" '^changed 96 0\.8[0-9]*'

# The wheel turns the knob too (one notch up is +0.05).
xdotool mousemove 390 354 click 4
wait_for "$log" '^changed 96 0\.88'

# A second quick click is a double click; Shift is reported with it.
xdotool mousemove 99 19 click --repeat 2 --delay 80 1
wait_for "$log" '^changed 76 1\.0000 buttons 1026$'
xdotool keydown shift mousemove 99 19 click 1 keyup shift
wait_for "$log" '^changed 76 1\.0000 buttons 18$'

# Lane selector: the fourth lane.
xdotool mousemove 260 54 click 1
wait_for "$log" '^changed 129 0\.4286'

# Menu: open, rest on "Sort" to open its submenu, choose its second entry.
xdotool mousemove 175 19 click 1
settle
xdotool mousemove 150 82
settle
shot menu-open
xdotool mousemove 290 100 click 1
wait_for "$log" '^menu 80 1$'

# Text entry: click, type, Return.
xdotool mousemove 250 352 click 1
settle
xdotool key End BackSpace type "Z"
xdotool key Return
wait_for "$log" '^changed 128 '
shot after-edits

# Drag a file out of the window onto another program.
"$target" accept 60 >"$work/target.log" &
pids+=($!)
wait_for "$work/target.log" '^ready'
xdotool mousemove 89 482 mousedown 1
settle
for x in 300 620 700 760 820; do xdotool mousemove "$x" 150; sleep 0.15; done
wait_for "$log" '^drag started'
wait_for "$work/target.log" '^enter version 5'
xdotool mouseup 1
wait_for "$work/target.log" '^dropped file:///tmp/zandrel-demo-drag\.txt'

# Escape during a drag leaves the target without a drop.
sleep 0.5
xdotool mousemove 89 482 mousedown 1
settle
for x in 300 620 760 820; do xdotool mousemove "$x" 150; sleep 0.15; done
wait_for "$work/target.log" 'enter version 5.*' 
xdotool key Escape
wait_for "$work/target.log" '^leave'
xdotool mouseup 1
[[ $(grep -c '^dropped' "$work/target.log") == 1 ]] || fail "a cancelled drag dropped"
wait_count "$log" '^drag ended' 2

# A target that takes the drop but never finishes it: the source gives up
# after its timeout and the window works again.
kill "${pids[-1]}"
"$target" no-finish 60 >"$work/hung.log" &
pids+=($!)
wait_for "$work/hung.log" '^ready'
xdotool mousemove 89 482 mousedown 1
settle
for x in 300 620 760 820; do xdotool mousemove "$x" 150; sleep 0.15; done
wait_for "$work/hung.log" '^enter version 5'
xdotool mouseup 1
wait_for "$work/hung.log" '^drop ignored'
wait_count "$log" '^drag ended' 3
kill "${pids[-1]}"
xdotool mousemove 30 19 click 1
wait_for "$log" '^changed 16 0\.0000'

# A real program as the drop target: zenity's file chooser takes the
# dropped file as its selection, and Return prints it.
zenity --file-selection --title="Drop Target" --filename=/ >"$work/zenity-drop.out" 2>/dev/null &
pids+=($!)
zwid=""
for _ in $(seq 150); do
    zwid=$(xdotool search --name 'Drop Target' 2>/dev/null | head -1 || true)
    [[ -n $zwid ]] && break
    sleep 0.1
done
[[ -n $zwid ]] || fail "no zenity window"
sleep 1
xdotool windowmove "$zwid" 620 0
sleep 0.5
xdotool mousemove 89 482 mousedown 1
settle
for x in 300 620 700 800 900; do xdotool mousemove "$x" 300; sleep 0.2; done
xdotool mouseup 1
wait_count "$log" '^drag ended' 4
sleep 1
shot zenity-drop
xdotool windowfocus --sync "$zwid" key --window "$zwid" Return
wait_for "$work/zenity-drop.out" '^/tmp/zandrel-demo-drag\.txt$'

# The file dialog: a child process polled from idle; accept its default.
xdotool mousemove 29 487 click 1
wid=""
for _ in $(seq 150); do
    wid=$(xdotool search --name 'Save Preset' 2>/dev/null | head -1 || true)
    [[ -n $wid ]] && break
    sleep 0.1
done
[[ -n $wid ]] || fail "no file dialog window"
sleep 1
shot file-dialog
xdotool windowfocus --sync "$wid" key --window "$wid" Return
wait_for "$log" '^file /tmp/demo\.fxp$'

# The about area shows its picture over the window; a click closes it.
xdotool mousemove 450 18 click 1
wait_for "$log" '^changed 92 1\.0000'
settle
shot splash
xdotool mousemove 300 300 click 1
wait_for "$log" '^changed 92 0\.0000'

# 200 %: the menu rebuilds the editor at twice the size and the host
# window follows.
xdotool mousemove 175 19 click 1
settle
xdotool mousemove 140 57 click 1
wait_for "$log" '^size 1186 1160$'
sleep 0.5
shot scale-200
xdotool mousemove 60 38 click 1
wait_count "$log" '^changed 16 1\.0000' 2
shot final
echo "window test passed; screenshots in $work"
