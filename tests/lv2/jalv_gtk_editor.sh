#!/usr/bin/env bash
# Zandrel's editor as Linux musicians first meet it in jalv: jackd on its
# dummy driver, jalv.gtk3 hosting the bundle and embedding its X11 UI. The
# window must grow to the editor's size (593 x 579 at 100 %, below jalv's
# menu bar) and show it drawn. The screenshot stays in WORK_DIR. Exits 77
# (skipped) where jackd or jalv.gtk3 is missing or the server does not
# start. Run under tests/with_display.sh.
# Usage: jalv_gtk_editor.sh BUNDLE WORK_DIR
set -u
bundle=$1 work=$2
for program in jackd jack_wait jalv.gtk3 xdotool import; do
    command -v $program >/dev/null || { echo "$program is missing"; exit 77; }
done
rm -rf "$work"
mkdir -p "$work/documents"
# No configuration file: the editor opens at 100 %.
export XDG_DOCUMENTS_DIR=$work/documents
export JACK_DEFAULT_SERVER=zandrel-ui-test-$$
export JACK_NO_AUDIO_RESERVATION=1
jackd --no-realtime -n "$JACK_DEFAULT_SERVER" -d dummy -r 48000 -p 256 >"$work/jackd.log" 2>&1 &
jackd_pid=$!
jalv_pid=
stop() {
    [ -n "$jalv_pid" ] && kill "$jalv_pid" 2>/dev/null && wait "$jalv_pid" 2>/dev/null
    kill "$jackd_pid" 2>/dev/null && wait "$jackd_pid" 2>/dev/null
}
trap stop EXIT
if ! timeout 10 jack_wait -w -s "$JACK_DEFAULT_SERVER" >/dev/null 2>&1; then
    echo "jackd did not start:"
    cat "$work/jackd.log"
    exit 77
fi
LV2_PATH=$(dirname "$bundle") jalv.gtk3 urn:vrek:zandrel </dev/null >"$work/jalv.log" 2>&1 &
jalv_pid=$!

fail() {
    echo "FAILED: $*"
    echo "--- jalv said"
    cat "$work/jalv.log"
    exit 1
}
# jalv names its window after the plug-in; it is sized once the UI asked.
window=
for _ in $(seq 150); do
    window=$(xdotool search --name '^Zandrel$' 2>/dev/null | head -n 1)
    if [ -n "$window" ]; then
        width=$(xdotool getwindowgeometry "$window" | sed -n 's/.*Geometry: \([0-9]*\)x\([0-9]*\)/\1 \2/p')
        set -- $width
        [ "${1:-0}" -eq 593 ] && [ "${2:-0}" -ge 579 ] && break
    fi
    sleep 0.1
done
[ -n "$window" ] || fail "jalv.gtk3 opened no window"
[ "${1:-0}" -eq 593 ] && [ "${2:-0}" -ge 579 ] || fail "jalv's window is ${1:-?} x ${2:-?}"
menu=$(($2 - 579))
sleep 1
import -window root "$work/jalv_gtk3.png"
# The editor's part of the screen: a drawn editor has hundreds of colours.
colours=$(/usr/bin/convert "$work/jalv_gtk3.png" -crop "593x579+0+$menu" -format %k info:)
[ "$colours" -gt 200 ] || fail "the editor shows $colours colours"
grep -q "urn:vrek:zandrel#ui" "$work/jalv.log" || fail "jalv did not name Zandrel's UI"
echo "jalv.gtk3 shows the editor: 593 x 579 below a menu bar of $menu pixels, $colours colours"
