#!/bin/sh
# Runs the office tests (ctest label "uno", the test office started and stopped each time) a
# number of times in a row, 20 unless given, in the sanitize build, and says how many runs
# passed. Not part of CI: it shows whether the office tests fail now and then, which is best
# seen on a busy machine (beside a parallel build, for example). Build first:
#   cmake --preset sanitize && cmake --build --preset sanitize
set -u
cd "$(dirname "$0")/.."
runs=${1:-20}
logs=build/sanitize/office-runs
mkdir -p "$logs"
passed=0
i=1
while [ "$i" -le "$runs" ]; do
    start=$(date +%s)
    if ctest --preset sanitize -L uno -j2 >"$logs/run-$i.log" 2>&1; then
        passed=$((passed + 1))
        result=passed
    else
        result="FAILED, see $logs/run-$i.log"
    fi
    echo "run $i: $result ($(($(date +%s) - start)) s)"
    i=$((i + 1))
done
echo "$passed of $runs runs passed"
[ "$passed" -eq "$runs" ]
