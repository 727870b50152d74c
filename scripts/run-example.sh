#!/usr/bin/env bash
# Installs what is needed, builds the command-line program and fits a bundled example: the
# silver chloride complexes of examples/agcl.txt (three free species, 24 samples). The run
# writes its results into the data file, so it works on a copy, which it prints afterwards.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset release -DVARSEL_BUILD_TESTS=OFF -DVARSEL_BUILD_BENCH=OFF \
      -DVARSEL_BUILD_WINDOW=OFF -DVARSEL_BUILD_UNO=OFF >/dev/null
cmake --build --preset release -j"$(nproc)" --target varsel-cli
work=$(mktemp -d)
cp "examples/${1:-agcl}.txt" "$work/"
build/release/cli/varsel-cli "$work/${1:-agcl}.txt"
echo
echo "== the data file after the run ($work/${1:-agcl}.txt):"
cat "$work/${1:-agcl}.txt"
