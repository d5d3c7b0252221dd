#!/usr/bin/env bash
# The editor played like an instrument in a real X window, through
# zandrel-editor-host and xdotool, each gesture checked on the engine's
# state and photographed: "Sort by High Note " from the chord menu, C3
# typed into a NoteNum display, the next chord preset, a bar drawn in the
# step sequencer, the chord dragged out onto another program's window
# (twice: the button is released when a drag ends), and a chord preset
# saved through a stand-in for zenity that stays above the host's window.
# Run under tests/with_display.sh.
# usage: editor_at_work_test.sh EDITOR_HOST DROP_TARGET WORK_DIR
set -euo pipefail
host=$1
drop_target=$2
work=$3
rm -rf "$work"
mkdir -p "$work"
log=$work/host.log
pid=
target=
cleanup() {
    exec 3>&- 2>/dev/null || true
    [[ -n $pid ]] && kill "$pid" 2>/dev/null || true
    [[ -n $target ]] && kill "$target" 2>/dev/null || true
}
trap cleanup EXIT

. "$(dirname "$0")/editor_host_driver.sh"
# value INDEX: the parameter as the host reads it; chunk_field OFFSET: a
# float of the state chunk.
value() { ask get value "$1"; }
chunk_field() { ask chunk chunk "$1"; }
expect() { [[ $2 == "$3" ]] || fail "$1: $2, expected $3"; }
shot() { sleep 0.5; import -window root -crop "${2:-593x579}+0+0" "$work/$1.png"; }

# Two chord presets, as text chord lists: a is C major at key 60, b C minor.
export XDG_DOCUMENTS_DIR=$work/documents
presets=$XDG_DOCUMENTS_DIR/Vrek/Zandrel\ Presets
mkdir -p "$presets/Chord"
printf 'Mode\n60 0 4 7\n' >"$presets/Chord/a.fxp"
printf 'Mode\n60 0 3 7\n' >"$presets/Chord/b.fxp"
export ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0"

# The file dialog: a stand-in that logs its arguments and answers a path.
mkdir -p "$work/bin"
printf '#!/bin/sh\necho "$@" > "%s/zenity.args"\necho "%s/Chord/saved"\n' "$work" "$presets" \
    >"$work/bin/zenity"
chmod +x "$work/bin/zenity"

mkfifo "$work/in"
PATH=$work/bin:$PATH "$host" <"$work/in" >"$log" 2>"$work/host.err" &
pid=$!
exec 3>"$work/in"
wait_for '^open 593 579$'
sleep 0.5

# The chord menu (its button at 152,412); "Sort" is its first row, and its
# submenu opens beside it: "Sort by High Note " is the submenu's third row.
send set 84 0.46875
chord_before="$(value 33) $(value 34) $(value 35)"
xdotool mousemove 152 412 click 1
sleep 0.3
xdotool mousemove 140 435
sleep 0.3
xdotool mousemove 420 435
sleep 0.2
xdotool mousemove 420 471
shot sort-menu-open
xdotool click 1
sleep 0.3
chord_after="$(value 33) $(value 34) $(value 35)"
echo "key 60 before and after sorting: $chord_before / $chord_after"
[[ $chord_before != "$chord_after" ]] || fail "sorting left the current key's chord as it was ($chord_after)"
shot sorted

# C3 typed into the first NoteNum display (154,468): a double click opens
# the entry over it.
xdotool mousemove 154 468 click --repeat 2 --delay 60 1
sleep 0.3
shot text-entry
xdotool key BackSpace BackSpace BackSpace BackSpace
xdotool type C3
xdotool key Return
sleep 0.3
expect "NoteNum1 after typing C3" "$(value 33)" 0.4688
shot typed-c3

# The chord preset menu (469,412): its file "a" below the title and the
# separator, then the next-preset button (554,410) loads "b".
xdotool mousemove 469 412 click 1
sleep 0.3
shot preset-menu-open
xdotool mousemove 480 455 click 1
sleep 0.3
expect "voice 2 of preset a" "$(value 34)" 0.5000
xdotool mousemove 554 410 click 1
sleep 0.3
expect "voice 2 of the next preset, b" "$(value 34)" 0.4922
shot next-preset

# A bar drawn in step 6 (x 206) of the note lane, up to y 120: 156 of 208
# pixels, three quarters. Pattern A's row 0, step 5 lies at byte 8956.
xdotool mousemove 206 220 mousedown 1
xdotool mousemove 206 170
xdotool mousemove 206 120
shot drawing-bar
xdotool mouseup 1
sleep 0.2
expect "step 6 of the note lane" "$(chunk_field 8956)" 0.7500
expect "step 5 of the note lane" "$(chunk_field 8952)" 0.5650

# The chord dragged out of the window (the drag button at 29,460) onto a
# program that takes files, twice.
"$drop_target" accept 60 >"$work/drops" &
target=$!
wait_for '^ready' "$work/drops"
for n in 1 2; do
    xdotool mousemove 29 460 mousedown 1
    xdotool mousemove 200 460
    xdotool mousemove 640 300
    sleep 0.3
    xdotool mousemove 800 150
    sleep 0.3
    xdotool mousemove 820 160
    sleep 0.3
    [[ $n == 1 ]] && shot dragging 1000x600
    xdotool mouseup 1
    for _ in $(seq 50); do
        (($(grep -c '^dropped' "$work/drops" || true) >= n)) && break
        sleep 0.1
    done
done
expect "drops" "$(grep -c '^dropped' "$work/drops" || true)" 2
grep -q 'Zandrel%20Presets/temp\.mid' "$work/drops" || fail "dropped: $(cat "$work/drops")"
notes=$(midicsv "$presets/temp.mid" | grep -c Note_on_c || true)
expect "notes in the dragged file" "$notes" 3
shot after-drag
# Released when the drag ended: the button is no longer lit.
pixel() { /usr/bin/convert "$work/$1.png" -format "%[pixel:p{$2,$3}]" info:; }
expect "the drag button's edge after the drop" "$(pixel after-drag 4 462)" "$(pixel drawing-bar 4 462)"

# The chord save button (574,410) opens the dialog above the host's window.
window=$(sed -n 's/^window //p' "$log")
xdotool mousemove 574 410 click 1
for _ in $(seq 50); do [[ -f "$presets/Chord/saved.fxp" ]] && break; sleep 0.1; done
[[ -f "$presets/Chord/saved.fxp" ]] || fail "no chord preset saved"
grep -q -- "--attach=$window " "$work/zenity.args" || fail "dialog: $(cat "$work/zenity.args")"
grep -q -- "--title=Save Chords Preset..." "$work/zenity.args" || fail "dialog title"

send quit
wait_for '^quit$'
wait "$pid" || fail "the editor host ended with an error"
pid=
if grep -q 'X error' "$work/host.err"; then fail "X errors"; fi
echo "editor at work test passed; screenshots in $work"
