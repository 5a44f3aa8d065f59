#!/usr/bin/env bash
# Builds the "fuzz" preset and fuzzes the bitmap reader.
#   fuzz/run.sh [seconds]    (default 60)
# Starts from the seed corpus in fuzz/corpus (copied, so it stays as it is).
# Exits non-zero when the fuzzer finds anything; the input that failed is left
# in build/fuzz/findings/.
set -euo pipefail

seconds=${1:-60}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j2 --target dib_fuzzer

work=build/fuzz/corpus-work
findings=build/fuzz/findings
mkdir -p "$work" "$findings"
cp fuzz/corpus/* "$work/"

log=build/fuzz/fuzz.log
# 4 KiB is room for every header kind, a full 256-entry table and some pixels.
set +e
build/fuzz/fuzz/dib_fuzzer "$work" \
    -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$findings/" 2>&1 | tee "$log" | grep -E "^#[0-9]+[[:space:]]+(INITED|DONE)|ERROR|SUMMARY|dib_fuzzer:"
status=${PIPESTATUS[0]}
set -e

executions=$(grep -oE "stat::number_of_executed_units: *[0-9]+" "$log" | grep -oE "[0-9]+$" || echo unknown)
echo "executions: $executions"
if [ "$status" -ne 0 ]; then
    echo "fuzzer found a failure (exit $status); see $log and $findings/" >&2
    exit "$status"
fi
echo "no findings in ${seconds}s"
