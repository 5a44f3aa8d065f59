#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the
# optimised build with warnings as errors, the sanitizer build, and a bounded
# fuzzing run of the bitmap reader. Uses Xvfb when there is no display.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh test
jobs="$(nproc)"

# -noreset: by default Xvfb resets whenever its last client leaves, and a
# test process that connects during the reset is refused its display.
with_display() {
  if [ -n "${DISPLAY:-}" ]; then
    "$@"
  else
    xvfb-run -a -s "-screen 0 1920x1200x24 -noreset" "$@"
  fi
}

echo "== optimised build, warnings as errors"
cmake --preset ci >/dev/null
cmake --build --preset ci -j"$jobs"
with_display ctest --preset ci -j"$jobs"

echo "== AddressSanitizer, LeakSanitizer and UndefinedBehaviorSanitizer"
cmake --preset asan >/dev/null
cmake --build --preset asan -j"$jobs"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
with_display ctest --preset asan -j"$jobs"
unset ASAN_OPTIONS LSAN_OPTIONS UBSAN_OPTIONS

if [ -x fuzz/run.sh ]; then
  echo "== fuzzing the bitmap reader"
  fuzz/run.sh 60
fi
echo "All tests passed."
