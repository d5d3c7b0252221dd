#!/usr/bin/env bash
# Runs a command with a virtual X server of its own. Xvfb picks a free
# display number itself (-displayfd), so tests that run side by side never
# race for one, as they can with xvfb-run -a. -noreset: by default the server
# resets whenever its last client leaves and refuses the connections that
# arrive meanwhile, which a test opening one window after another hits.
# usage: with_display.sh COMMAND [ARGS...]
set -u
work=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1400x1300x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/log" &
server=$!
for _ in $(seq 200); do
    [ -s "$work/display" ] && break
    kill -0 "$server" 2>/dev/null || break
    sleep 0.05
done
number=$(head -n 1 "$work/display" 2>/dev/null)
if [ -z "$number" ]; then
    echo "with_display.sh: Xvfb did not start"
    cat "$work/log"
    kill "$server" 2>/dev/null
    rm -rf "$work"
    exit 1
fi
export DISPLAY=":$number"
"$@"
status=$?
kill "$server" 2>/dev/null
wait "$server" 2>/dev/null
rm -rf "$work"
exit $status
