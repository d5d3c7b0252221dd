#!/usr/bin/env bash
# A JACK session as Linux musicians run one: jackd on its dummy driver,
# jalv hosting the bundle, and a small client of ours that plays a key into
# Zandrel and hears its notes come back. Exits 77 (skipped) where jackd or
# jalv is missing or the server does not start.
# Usage: jalv_session.sh BUNDLE PROBE
set -u
bundle=$1 probe=$2
for program in jackd jalv; do
    command -v $program >/dev/null || { echo "$program is missing"; exit 77; }
done
# A server of its own, so that other sessions on the machine are untouched.
export JACK_DEFAULT_SERVER=zandrel-test-$$
export JACK_NO_AUDIO_RESERVATION=1
log=$(mktemp -d)
jackd --no-realtime -n "$JACK_DEFAULT_SERVER" -d dummy -r 48000 -p 256 >"$log/jackd" 2>&1 &
jackd_pid=$!
jalv_pid=
stop() {
    [ -n "$jalv_pid" ] && kill "$jalv_pid" 2>/dev/null && wait "$jalv_pid" 2>/dev/null
    kill "$jackd_pid" 2>/dev/null && wait "$jackd_pid" 2>/dev/null
    rm -rf "$log"
}
trap stop EXIT
if ! timeout 10 jack_wait -w -s "$JACK_DEFAULT_SERVER" >/dev/null 2>&1; then
    echo "jackd did not start:"
    cat "$log/jackd"
    exit 77
fi
# jalv reads commands from its input: keep it open (and quiet) for as long
# as this script runs.
mkfifo "$log/input"
exec 3<>"$log/input"
LV2_PATH=$(dirname "$bundle") jalv -n zandrel urn:vrek:zandrel <"$log/input" >"$log/jalv" 2>&1 &
jalv_pid=$!
"$probe" zandrel
status=$?
if [ $status -eq 1 ]; then
    echo "jalv said:"
    cat "$log/jalv"
fi
exit $status
