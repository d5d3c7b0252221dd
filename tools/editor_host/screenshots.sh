#!/usr/bin/env bash
# Pictures of the editor as a musician sees it, through zandrel-editor-host
# in a virtual X server: both sections, the arpeggiator only and the header
# only, at 100 % and 200 %, and the open options menu of the header-only
# window. Run under xvfb-run (a screen of at least 1400 x 1300).
# usage: screenshots.sh EDITOR_HOST OUT_DIR
set -euo pipefail
host=$1
out=$2
mkdir -p "$out"
work=$(mktemp -d)
trap 'exec 3>&- 2>/dev/null || true; kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT
export XDG_DOCUMENTS_DIR=$work/documents # no configuration file: 100 %
mkfifo "$work/in"
"$host" --hold 60,64,67 <"$work/in" >"$work/log" 2>"$work/err" &
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
wait_for '^open '
sleep 0.5
layout both-100 1 1 0 593 579
layout arp-100 0 1 0 593 391
layout header-100 0 0 0 593 37
layout header-200 0 0 1 1186 74
layout arp-200 0 1 1 1186 782
layout both-200 1 1 1 1186 1158
layout header-again-100 0 0 0 593 37
xdotool mousemove 566 17 click 1
shot options-menu 760 160
xdotool key Escape
send quit
wait_for '^quit'
