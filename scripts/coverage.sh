#!/usr/bin/env bash
# Line and branch coverage of the product code by the whole test suite.
# Builds a Debug tree with --coverage in build/coverage (no sanitizers, no benchmarks; counters
# updated atomically, since some tests fit on several threads at once), runs
# every test and prints the summary; tests/, bench/ and build/ are left out of the count.
# The per-file figures go to build/coverage/coverage.json (lines and branches of each file), so
# that two runs can be compared file by file.
# Usage: scripts/coverage.sh [extra ctest arguments]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build="$top/build/coverage"
jobs=${JOBS:-2}

cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DVARSEL_SANITIZE=OFF \
    -DVARSEL_BUILD_BENCH=OFF -DCMAKE_CXX_FLAGS="--coverage -fprofile-update=atomic" \
    -DCMAKE_EXE_LINKER_FLAGS=--coverage -DCMAKE_SHARED_LINKER_FLAGS=--coverage >/dev/null
cmake --build "$build" -j"$jobs"
find "$build" -name '*.gcda' -delete
ctest --test-dir "$build" -j"$jobs" --output-on-failure "$@" || echo "note: some tests failed"
# Search the build tree (gcov then resolves each object's relative source paths itself).
# No -o: gcovr 5.2 tries its output path by creating and then deleting it, so -o /dev/null
# run as root deletes the machine's /dev/null.
gcovr --root "$top" "$build" \
    --exclude "$top/tests/" --exclude "$top/bench/" --exclude "$top/build/" \
    --exclude-unreachable-branches --exclude-throw-branches --print-summary \
    --json-summary-pretty --json-summary "$build/coverage.json"
