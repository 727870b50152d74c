#!/usr/bin/env bash
# Installs what is needed, builds the command-line program and fits a bundled example: the
# silver chloride complexes of examples/agcl.txt (three free species, 24 samples). The run
# writes its results into the data file, so it works on a copy, which it prints afterwards.
# The build has a folder of its own (build/example), so the release build of the README keeps
# its window and tests. Two compile jobs by default (JOBS=N for more).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset example >/dev/null
cmake --build --preset example -j"${JOBS:-2}"
name=${1:-agcl}
work=$(mktemp -d)
# An example in a folder of its own brings its System along: the folder is copied whole.
if [ -d "examples/$name" ]; then cp "examples/$name"/* "$work/"; else cp "examples/$name.txt" "$work/"; fi
build/example/cli/varsel-cli "$work/$name.txt"
echo
echo "== the data file after the run ($work/$name.txt):"
# The data files are Latin-1 (the format demands it) and the program's own output is UTF-8:
# the copy is shown in UTF-8 too, the file itself stays as it is.
iconv -f LATIN1 -t UTF-8 "$work/$name.txt"
