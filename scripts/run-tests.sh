#!/usr/bin/env bash
# Installs what is needed, builds everything with AddressSanitizer and UndefinedBehaviorSanitizer,
# and runs all tests; then builds the API tests with ThreadSanitizer and runs them (fits on
# several threads at once).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset sanitize >/dev/null
cmake --build --preset sanitize -j"$(nproc)"
ctest --preset sanitize -j"$(nproc)"
cmake --preset tsan >/dev/null
cmake --build --preset tsan -j"$(nproc)"
ctest --preset tsan
