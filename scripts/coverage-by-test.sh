#!/usr/bin/env bash
# What each test alone covers of the product code, to decide which tests another already
# makes redundant. Runs every ctest test by itself on the coverage build of
# scripts/coverage.sh (run that first), keeps gcov's record of the product lines and
# branches it reached, and prints for every test the lines and branches no other test
# reaches, fewest first. The office tests share one office, started once for all of them.
# Records go to build/coverage/by-test/. Takes about four minutes.
# Usage: scripts/coverage-by-test.sh
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build="$top/build/coverage"
out="$build/by-test"
[ -d "$build" ] || { echo "run scripts/coverage.sh first" >&2; exit 1; }
rm -rf "$out" && mkdir -p "$out"

# gcov's JSON of the counters now in the build tree, reduced to the product lines ("L file
# line") and branches ("B file line index") that ran; exception branches are left out.
record() {
    mapfile -t counters < <(find "$build" -name '*.gcda')
    if ((${#counters[@]} == 0)); then : >"$1"; return; fi
    (cd "$out" && gcov --json-format --stdout -b "${counters[@]}" 2>/dev/null) |
        python3 -c '
import json, os, sys
top = sys.argv[1] + "/"
for raw in sys.stdin:
    if not raw.strip():
        continue
    d = json.loads(raw)
    for f in d["files"]:
        name = os.path.normpath(os.path.join(d.get("current_working_directory", ""), f["file"]))
        if not name.startswith(top):
            continue
        name = name[len(top):]
        if name.startswith(("tests/", "bench/", "build/")):
            continue
        for l in f["lines"]:
            if l["count"] > 0:
                print("L", name, l["line_number"])
            for k, b in enumerate(l["branches"]):
                if b["count"] > 0 and not b.get("throw", False):
                    print("B", name, l["line_number"], k)
' "$top" | sort -u >"$1"
}

cd "$build"
mapfile -t tests < <(ctest -N | sed -n 's/^ *Test *#[0-9]*: //p' | grep -v '^uno\.office\.')
ctest -R '^uno\.office\.start$' >/dev/null 2>&1 || true
for name in "${tests[@]}"; do
    find "$build" -name '*.gcda' -delete
    pattern=$(printf '%s' "$name" | sed 's/[][\.*^$+?(){}|]/\\&/g')
    ctest -R "^$pattern\$" -FA '.*' >/dev/null 2>&1 || echo "failed: $name" >&2
    record "$out/$(printf '%s' "$name" | tr -c 'A-Za-z0-9._-' '_').lines"
done
ctest -R '^uno\.office\.stop$' >/dev/null 2>&1 || true

python3 - "$out" <<'EOF'
import collections, glob, os, sys
covered = {}
for path in glob.glob(os.path.join(sys.argv[1], "*.lines")):
    with open(path) as f:
        covered[os.path.basename(path)[:-6]] = set(f.read().split("\n")) - {""}
count = collections.Counter(item for items in covered.values() for item in items)
rows = []
for name, items in covered.items():
    own = [item for item in items if count[item] == 1]
    rows.append((sum(i[0] == "L" for i in own), sum(i[0] == "B" for i in own), name))
print("own lines  own branches  test")
for lines, branches, name in sorted(rows):
    print(f"{lines:9d}  {branches:12d}  {name}")
EOF
