#!/usr/bin/env bash
# Runs the validator (quick) on the broken plug-in with one fault planted and
# passes when exactly the expected checks fail, no others.
#   expect_failures.sh VALIDATOR PLUGIN FAULT "CHECK CHECK..."
set -uo pipefail
validator=$1 plugin=$2 fault=$3 expected=$4
case $fault in
none) ;;
editor) export ZANDREL_BROKEN_EDITOR=1 ;;
*) export ZANDREL_BROKEN_FAULT=$fault ;;
esac
output=$("$validator" --quick "$plugin" 2>&1)
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
