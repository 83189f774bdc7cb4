#!/usr/bin/env bash
# Sets up the machine, builds every target and runs every test:
#   native unit and golden tests (ctest), the core's tests as a static 32-bit Linux
#   program, the shared-state test under ThreadSanitizer, the static export check of
#   the 32-bit DLL, the native tests again under ASan, UBSan and leak detection, the
#   fuzz targets' regression inputs and a short fuzzing pass, the release package built
#   twice, and the Windows tests under Wine: the 64-bit build
#   with wine64 and, where the kernel runs 32-bit programs, the 32-bit build (the DLL a
#   host loads) with 32-bit Wine.
# Ends with one line "tests: N passed, N failed"; exit 1 when anything failed.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

# Each step's header, and the seconds the one before it took.
section_name=""
section_start=$SECONDS
section() {  # title ("" after the last step)
  [ -n "$section_name" ] && echo "   (took $((SECONDS - section_start)) s)"
  section_name=$1
  section_start=$SECONDS
  [ -z "$1" ] || echo "== $1"
}

section "set-up"
bash scripts/setup.sh || exit 1
section "build"
bash scripts/build.sh all || exit 1

passed=0
failed=0
count() {  # passed failed
  passed=$((passed + $1))
  failed=$((failed + $2))
}

# "yes", or "no: <why>": decides how the 32-bit programs run, or whether they can.
ia32=$(bash scripts/ia32.sh check)

# Runs the ctest tests of a build folder and adds their counts.
run_ctest() {  # build folder
  local log total bad
  log=$(mktemp)
  ctest --test-dir "$1" --output-on-failure --timeout 300 -j "$(nproc)" 2>&1 | tee "$log" | grep -v -E '^ +Start|Test +#.*Passed'
  total=$(sed -n 's/.*tests failed out of \([0-9]*\).*/\1/p' "$log" | tail -n1)
  bad=$(sed -n 's/.* \([0-9]*\) tests failed out of.*/\1/p' "$log" | tail -n1)
  if [ -z "$total" ]; then count 0 1; else count $((total - bad)) "$bad"; fi
  rm -f "$log"
}

section "native tests"
run_ctest build/native

if [ "$ia32" = yes ]; then
  section "the core's tests as a static 32-bit Linux program (run directly)"
else
  section "the core's tests as a static 32-bit Linux program (under qemu-i386-static: ${ia32#no: })"
fi
run_ctest build/linux32

section "shared state under ThreadSanitizer"
if [ ! -f build/tsan/CMakeCache.txt ]; then
  cmake -S . -B build/tsan -DCMAKE_BUILD_TYPE=Debug -DTALVEN_SANITIZE=thread >/dev/null
fi
if cmake --build build/tsan -j "$(nproc)" --target unit_tests >build/tsan/build.log 2>&1 &&
   TSAN_OPTIONS=halt_on_error=1 build/tsan/tests/unit_tests --gtest_filter='SharedState*' --gtest_brief=1; then
  count 1 0
else
  tail -n 40 build/tsan/build.log
  count 0 1
fi

section "every C++ file formatted as .clang-format says"
unformatted=$(git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run 2>&1 | grep -c 'warning:' || true)
if [ "$unformatted" -eq 0 ]; then
  count 1 0
else
  git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run 2>&1 | grep 'warning:' | cut -d: -f1 | sort -u | head
  echo "$unformatted places differ: run  git ls-files '*.cpp' '*.h' | xargs clang-format -i"
  count 0 1
fi

section "exports of the 32-bit DLL"
if bash scripts/check-exports.sh build/win32/bin/Stats.dll; then count 1 0; else count 0 1; fi

# Adds the counts of a runner's closing line "N passed, N failed".
run_counted() {
  local log line
  log=$(mktemp)
  "$@" 2>&1 | tee "$log"
  line=$(grep -E '^[0-9]+ passed, [0-9]+ failed' "$log" | tail -n1)
  if [ -n "$line" ]; then
    count "$(echo "$line" | cut -d' ' -f1)" "$(echo "$line" | cut -d' ' -f3)"
  else
    count 0 1
  fi
  rm -f "$log"
}

# --- hardening: sanitizers, fuzzing, the release package -------------------------
section "native unit and golden tests under AddressSanitizer, UndefinedBehaviorSanitizer and leak detection"
if [ ! -f build/asan/CMakeCache.txt ]; then
  cmake -S . -B build/asan -DCMAKE_BUILD_TYPE=Debug -DTALVEN_SANITIZE=address >/dev/null
fi
if cmake --build build/asan -j "$(nproc)" >build/asan/build.log 2>&1; then
  # Any report fails the test that made it.
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 run_ctest build/asan
else
  tail -n 40 build/asan/build.log
  count 0 1
fi

section "fuzzing: regression inputs, then a short pass of each target (scripts/fuzz.sh)"
run_counted bash scripts/fuzz.sh --short

section "the release package, built twice (scripts/release-check.sh)"
run_counted bash scripts/release-check.sh
# --- end of hardening -----------------------------------------------------------------

section "Windows tests under Wine, 64-bit build"
run_counted bash scripts/wine-tests.sh build/win64

section "the same answers natively and under Wine, 64-bit build"
run_counted bash tests/wine/same_answer.sh build/native build/win64

skipped=""
if [ "$ia32" = yes ]; then
  section "Windows tests under 32-bit Wine, 32-bit build"
  run_counted bash scripts/wine-tests.sh build/win32

  section "the same answers natively and under 32-bit Wine, 32-bit build"
  run_counted bash tests/wine/same_answer.sh build/native build/win32
else
  skipped="32-bit build not run under Wine: ${ia32#no: }"
  section "SKIPPED: $skipped"
fi

section ""
echo "tests: $passed passed, $failed failed${skipped:+ ($skipped)}"
[ "$failed" -eq 0 ]
