#!/usr/bin/env bash
# Qtractor's plug-in scanner loads a plug-in, queries it and unloads it, in
# a process of its own, once per plug-in it finds. Run it as Qtractor does,
# many times over: every run must list the plug-in and end cleanly.
# Usage: qtractor_scan.sh SCANNER KIND:PATH EXPECTED-LINE-START [RUNS]
set -u
scanner=$1 plugin=$2 expected=$3 runs=${4:-20}
for ((i = 1; i <= runs; i++)); do
    out=$(echo "$plugin" | timeout 30 "$scanner" 2>&1)
    status=$?
    if [ $status -ne 0 ] || [[ "$out" != "$expected"* ]]; then
        echo "run $i of $runs: status $status"
        echo "$out"
        exit 1
    fi
done
echo "$runs of $runs runs listed: ${out%%$'\n'*}"
