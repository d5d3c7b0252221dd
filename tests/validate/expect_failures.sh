#!/usr/bin/env bash
# Runs the validator (quick) on a broken plug-in with one fault planted and
# passes when exactly the expected checks fail, no others; all checks, or
# only those named last.
#   expect_failures.sh VALIDATOR PLUGIN FAULT "CHECK CHECK..." ["CHECK CHECK..."]
set -uo pipefail
validator=$1 plugin=$2 fault=$3 expected=$4 only=${5:-}
case $fault in
none) ;;
editor) export ZANDREL_BROKEN_EDITOR=1 ;;
*) export ZANDREL_BROKEN_FAULT=$fault ;;
esac
checks=()
for check in $only; do checks+=(--check "$check"); done
output=$("$validator" --quick "${checks[@]}" "$plugin" 2>&1)
status=$?
echo "$output"
failed=$(sed -n 's/^failed checks: //p' <<<"$output")
if [[ "$failed" != "$expected" ]]; then
    echo "expected to fail: ${expected:-nothing}; failed: ${failed:-nothing}"
    exit 1
fi
if { [[ -n "$expected" ]] && ((status == 0)); } || { [[ -z "$expected" ]] && ((status != 0)); }; then
    echo "exit status $status does not match"
    exit 1
fi
