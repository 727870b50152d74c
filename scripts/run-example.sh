#!/usr/bin/env bash
# Installs what is needed, builds the programs and runs the command-line front end.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset release -DVARSEL_BUILD_TESTS=OFF -DVARSEL_BUILD_BENCH=OFF >/dev/null
cmake --build --preset release -j"$(nproc)" --target varsel-cli
build/release/cli/varsel-cli --version
