#!/usr/bin/env bash
# Sets up the machine, builds and runs the tests; with no argument every test (what CI
# runs), or one selection:
#   scripts/test.sh [quick|wine|hardening]
# quick      the native build, its unit, engine, golden and command-line tests (ctest,
#            all but the "slow" label), and the formatting check: the developer's loop
# wine       the Windows builds: the 32-bit DLL's exports, the Windows tests under Wine
#            (64-bit, and 32-bit where the kernel runs 32-bit programs) and the same
#            answers natively and under Wine
# hardening  the core's tests as a static 32-bit Linux program, the shared-state test
#            under ThreadSanitizer, the native tests under ASan, UBSan and leak
#            detection, the fuzz targets' regression inputs and a short fuzzing pass, and
#            the release package, checked and built a second time from scratch
# Everything: the native tests (the slow ones included), the formatting check, the
# hardening selection, then the wine selection alone (its tests time the windows, so no
# build of ours runs beside them). Each step ends with its wall and processor seconds.
# Ends with one line "tests: N passed, N failed"; exit 1 when anything failed.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
what=${1:-all}
case $what in
  all|quick|wine|hardening) ;;
  *) echo "usage: scripts/test.sh [quick|wine|hardening]" >&2; exit 2 ;;
esac
# Whether this run includes the selection named.
selected() { [ "$what" = all ] || [ "$what" = "$1" ]; }

# Processor seconds (user and system) of the programs this script has waited for so
# far: on a shared machine the wall time says more about the others' load than about
# the step, this does not.
cpu_seconds() {  # the shell's process id ($BASHPID, taken before the $(...) that calls this)
  local ticks
  ticks=$(sed 's/.*) //' "/proc/$1/stat" | awk '{ print $14 + $15 }')  # cutime + cstime
  echo $((ticks / $(getconf CLK_TCK)))
}
# Each step's header, and the seconds the one before it took.
section_name=""
section_start=$SECONDS
section_cpu=$(cpu_seconds $$)
section() {  # title ("" after the last step)
  local cpu me=$BASHPID
  cpu=$(cpu_seconds "$me")
  [ -n "$section_name" ] && echo "   (took $((SECONDS - section_start)) s, $((cpu - section_cpu)) s of processor time)"
  section_name=$1
  section_start=$SECONDS
  section_cpu=$cpu
  [ -z "$1" ] || echo "== $1"
}

section "set-up"
if [ "$what" = quick ]; then bash scripts/setup.sh native || exit 1; else bash scripts/setup.sh all || exit 1; fi
section "build"
case $what in
  quick) trees=(native) ;;
  wine) trees=(native win64 win32) ;;  # native: the same answers are compared with it
  hardening) trees=(linux32) ;;
  all) trees=(all) ;;
esac
bash scripts/build.sh "${trees[@]}" || exit 1

passed=0
failed=0
count() {  # passed failed
  passed=$((passed + $1))
  failed=$((failed + $2))
}

# "yes", or "no: <why>": decides how the 32-bit programs run, or whether they can (the
# quick selection runs none).
ia32=""
[ "$what" = quick ] || ia32=$(bash scripts/ia32.sh check)

# Runs the ctest tests of a build folder and adds their counts.
run_ctest() {  # build folder, ctest arguments...
  local log total bad dir=$1
  shift
  log=$(mktemp)
  ctest --test-dir "$dir" --output-on-failure --timeout 300 -j "$(nproc)" "$@" 2>&1 | tee "$log" |
    grep -v -E '^ +Start|Test +#.*Passed'
  total=$(sed -n 's/.*tests failed out of \([0-9]*\).*/\1/p' "$log" | tail -n1)
  bad=$(sed -n 's/.* \([0-9]*\) tests failed out of.*/\1/p' "$log" | tail -n1)
  if [ -z "$total" ]; then count 0 1; else count $((total - bad)) "$bad"; fi
  rm -f "$log"
}

if [ "$what" = quick ]; then
  section "native tests but the slow ones"
  run_ctest build/native -LE slow
elif selected all; then
  section "native tests"
  run_ctest build/native
fi

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

# The wine selection's steps; sets "skipped" when the 32-bit build cannot run.
wine_steps() {
  section "exports of the 32-bit DLL"
  if bash scripts/check-exports.sh build/win32/bin/Stats.dll; then count 1 0; else count 0 1; fi

  section "Windows tests under Wine, 64-bit build"
  run_counted bash scripts/wine-tests.sh build/win64

  section "the same answers natively and under Wine, 64-bit build"
  run_counted bash tests/wine/same_answer.sh build/native build/win64

  if [ "$ia32" = yes ]; then
    section "Windows tests under 32-bit Wine, 32-bit build"
    run_counted bash scripts/wine-tests.sh build/win32

    section "the same answers natively and under 32-bit Wine, 32-bit build"
    run_counted bash tests/wine/same_answer.sh build/native build/win32
  else
    skipped="32-bit build not run under Wine: ${ia32#no: }"
    section "SKIPPED: $skipped"
  fi
}

if selected hardening; then
  if [ "$ia32" = yes ]; then
    section "the core's tests as a static 32-bit Linux program (run directly)"
  else
    section "the core's tests as a static 32-bit Linux program (under qemu-i386-static: ${ia32#no: })"
  fi
  run_ctest build/linux32

  section "shared state under ThreadSanitizer"
  if [ ! -f build/tsan/CMakeCache.txt ]; then
    cmake -S . -B build/tsan -G Ninja -DCMAKE_UNITY_BUILD=ON -DCMAKE_BUILD_TYPE=Debug -DTALVEN_SANITIZE=thread >/dev/null
  fi
  if cmake --build build/tsan -j "$(nproc)" --target shared_state_tests >build/tsan/build.log 2>&1 &&
     TSAN_OPTIONS=halt_on_error=1 build/tsan/tests/shared_state_tests --gtest_filter='SharedState*' --gtest_brief=1; then
    count 1 0
  else
    tail -n 40 build/tsan/build.log
    count 0 1
  fi
fi

if selected quick; then
  section "every C++ file formatted as .clang-format says"
  unformatted=$(git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run 2>&1 | grep -c 'warning:' || true)
  if [ "$unformatted" -eq 0 ]; then
    count 1 0
  else
    git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run 2>&1 | grep 'warning:' | cut -d: -f1 | sort -u | head
    echo "$unformatted places differ: run  git ls-files '*.cpp' '*.h' | xargs clang-format -i"
    count 0 1
  fi
fi

if selected hardening; then
  section "native unit and golden tests under AddressSanitizer, UndefinedBehaviorSanitizer and leak detection"
  if [ ! -f build/asan/CMakeCache.txt ]; then
    cmake -S . -B build/asan -G Ninja -DCMAKE_UNITY_BUILD=ON -DCMAKE_BUILD_TYPE=Debug -DTALVEN_SANITIZE=address >/dev/null
  fi
  if cmake --build build/asan -j "$(nproc)" >build/asan/build.log 2>&1; then
    # Any report fails the test that made it.
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 run_ctest build/asan
  else
    tail -n 40 build/asan/build.log
    count 0 1
  fi

  section "fuzzing: regression inputs, then a short pass of each target (scripts/fuzz.sh)"
  run_counted bash scripts/fuzz.sh --short --parallel "$(nproc)"

  section "the release package, and a second build of it from scratch (scripts/release-check.sh)"
  run_counted bash scripts/release-check.sh
fi

# The Windows tests run alone, on a machine no build of ours keeps busy: several of them
# measure how quickly the windows answer and unload.
skipped=""
if selected wine; then
  wine_steps
fi

section ""
echo "in all $SECONDS s, $(cpu_seconds $$) s of processor time"
echo "tests: $passed passed, $failed failed${skipped:+ ($skipped)}"
[ "$failed" -eq 0 ]
