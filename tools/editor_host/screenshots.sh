#!/usr/bin/env bash
# Pictures of the editor as a musician sees it, through zandrel-editor-host
# in a virtual X server: both sections, the arpeggiator only and the header
# only, at 100 % and 200 %; the open options, chord and preset menus; the
# text entry over a note; the about screen (also over the header-only
# window); the message the window shows without a file dialog program; a
# step drawn. The manual's pictures (docs/manual/pictures) and
# docs/editor.png are taken from these. Run under tests/with_display.sh (a screen of at
# least 1400 x 1300).
# usage: screenshots.sh EDITOR_HOST OUT_DIR
set -euo pipefail
host=$1
out=$2
mkdir -p "$out"
work=$(mktemp -d)
trap 'exec 3>&- 2>/dev/null || true; kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT
export XDG_DOCUMENTS_DIR=$work/documents # no configuration file: 100 %
presets=$XDG_DOCUMENTS_DIR/Vrek/Zandrel\ Presets
mkdir -p "$presets/Chord/Jazz" "$presets/Arp"
for name in "Jazz/Minor Nines" "Jazz/Shell Voicings" "Pop Triads" "Sus Pads"; do
    printf 'Mode\n60 0 4 7\n' >"$presets/Chord/$name.fxp"
done
mkfifo "$work/in"
# No dialog program on the window's PATH: the window says so.
mkdir -p "$work/bin"
PATH=$work/bin "$host" --hold 60,64,67 <"$work/in" >"$work/log" 2>"$work/err" &
pid=$!
exec 3>"$work/in"
wait_for() {
    for _ in $(seq 100); do grep -qE "$1" "$work/log" && return 0; sleep 0.1; done
    echo "no '$1' from the editor host"; cat "$work/log" "$work/err"; exit 1
}
send() { echo "$*" >&3; }
# The host window lies at the screen's origin (no window manager).
shot() { sleep 0.6; import -window root -crop "$2x$3+0+0" "$out/$1.png"; }
layout() { # NAME CHORDS ARP SCALE WIDTH HEIGHT
    send set 16 "$2"; send set 17 "$3"; send set 105 "$4"
    wait_for "size $5 $6"
    shot "$1" "$5" "$6"
}
escape() { xdotool key Escape; sleep 0.3; }
wait_for '^open '
sleep 0.5
layout both-100 1 1 0 593 579
# Menus and entries of the full window at 100 %.
xdotool mousemove 152 412 click 1
sleep 0.3
xdotool mousemove 140 435
sleep 0.2
xdotool mousemove 420 435
shot chord-menu 593 579
escape
xdotool mousemove 469 412 click 1
sleep 0.3
xdotool mousemove 480 456
shot preset-menu 593 579
escape
xdotool mousemove 154 468 click --repeat 2 --delay 60 1
shot text-entry 593 579
xdotool key Escape
xdotool mousemove 206 220 mousedown 1
xdotool mousemove 206 120
shot drawing-step 593 579
xdotool mouseup 1
xdotool mousemove 574 410 click 1
shot no-dialog-program 593 579
xdotool mousemove 532 544 click 1
xdotool mousemove 448 18 click 1
shot about 593 579
escape
xdotool mousemove 566 17 click 1
shot options-menu-full 593 579
escape

layout arp-100 0 1 0 593 391
layout header-100 0 0 0 593 37
xdotool mousemove 448 18 click 1
shot about-header 593 579
escape
layout header-200 0 0 1 1186 74
layout arp-200 0 1 1 1186 782
layout both-200 1 1 1 1186 1158
xdotool mousemove 304 824 click 1
sleep 0.3
xdotool mousemove 280 870
sleep 0.2
xdotool mousemove 840 870
shot chord-menu-200 1186 1158
escape
xdotool mousemove 896 36 click 1
shot about-200 1186 1158
escape
layout header-again-100 0 0 0 593 37
xdotool mousemove 566 17 click 1
shot options-menu 760 160
escape
send quit
wait_for '^quit'

# The manual's pictures: the parts of these that each section shows.
mkdir -p "$out/manual"
crop() { /usr/bin/convert "$out/$1.png" -crop "$3" +repage "$out/manual/$2.png"; }
crop both-100 window 593x579+0+0
crop drawing-step arpeggiator 593x355+0+37
crop chord-menu chord-menu 593x187+0+392
crop preset-menu preset-menu 593x187+0+392
crop text-entry text-entry 300x130+0+392
crop options-menu-full options-menu 450x160+293+0
crop about about 593x300+0+0
