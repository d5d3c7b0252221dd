# Sourced by the X tests that drive tools/editor_host through its standard
# input (file descriptor 3): $log is the host's output, $work its folder.

fail() {
    echo "FAILED: $*"
    echo "--- host log"; cat "$log"
    echo "--- host errors"; cat "$work/host.err"
    exit 1
}
# wait_for PATTERN [FILE]: up to 15 seconds for a line matching it.
wait_for() {
    for _ in $(seq 150); do
        grep -qE "$1" "${2:-$log}" && return 0
        sleep 0.1
    done
    fail "no line matching '$1' in ${2:-$log}"
}
send() { echo "$*" >&3; }
# ask REQUEST ANSWER N: sends "REQUEST N" and prints the value of the
# "ANSWER N value" line the host writes back.
ask() {
    local before
    before=$(grep -c "^$2 $3 " "$log" || true)
    send "$1" "$3"
    for _ in $(seq 50); do
        (($(grep -c "^$2 $3 " "$log" || true) > before)) && break
        sleep 0.1
    done
    grep "^$2 $3 " "$log" | tail -1 | cut -d' ' -f3
}
