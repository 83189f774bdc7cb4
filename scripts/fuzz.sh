#!/usr/bin/env bash
# Builds the fuzz targets (clang, AddressSanitizer and UndefinedBehaviorSanitizer, the
# code under test instrumented for coverage) in build/fuzz, replays every regression
# input kept in tests/fuzz/regressions/<target>/, then fuzzes each target for a bounded
# time, one after the other (--parallel N: N at a time, each on a core of its own; the
# long run keeps to one, the machine being shared).
#
#   scripts/fuzz.sh [--seconds N | --short] [--parallel N] [TARGET...]
#
# Targets: exports_fuzz, log_readers_fuzz, settings_fuzz, cty_fuzz (default: all).
# Default 300 s per target (the documented longer run); --short is the test command's
# smoke pass (10 s each; test.sh gives it --parallel with the number of cores). Each run
# starts from the seeds in the repository and from what earlier runs on this machine
# found (build/fuzz/corpus/<target>/, kept). A crash or a broken invariant fails that
# target; its input is in build/fuzz/findings/<target>/: fix the fault, then copy the
# input into tests/fuzz/regressions/<target>/.
# Prints one line per target (executions, coverage edges and features, corpus size)
# and "N passed, N failed"; exit 1 when any target failed.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/fuzz
seconds=300
parallel=1
targets=()
while [ $# -gt 0 ]; do
  case $1 in
    --seconds) seconds=$2; shift 2 ;;
    --short) seconds=10; shift ;;
    --parallel) parallel=$2; shift 2 ;;
    -h|--help) sed -n '2,18p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    -*) echo "fuzz.sh: unknown option $1" >&2; exit 2 ;;
    *) targets+=("$1"); shift ;;
  esac
done
case $parallel in
  '' | *[!0-9]* | 0) echo "fuzz.sh: --parallel takes a count of 1 or more" >&2; exit 2 ;;
esac
[ ${#targets[@]} -gt 0 ] || targets=(exports_fuzz log_readers_fuzz settings_fuzz cty_fuzz)

if [ ! -f "$build/CMakeCache.txt" ]; then
  CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_UNITY_BUILD=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTALVEN_SANITIZE=address \
    -DTALVEN_FUZZ=ON -DTALVEN_TESTS=OFF >/dev/null || exit 1
fi
target_args=()
for t in "${targets[@]}"; do target_args+=(--target "$t"); done
if ! cmake --build "$build" -j "${JOBS:-2}" "${target_args[@]}" >"$build/build.log" 2>&1; then
  tail -n 40 "$build/build.log"
  exit 1
fi

# Seeds beside the repository's own: the test logs and the country-file excerpt.
extra_seeds() {  # target
  case $1 in
    log_readers_fuzz) echo "$root/tests/data/adif $root/tests/data/bad" ;;
    cty_fuzz) echo "$root/tests/data/cty" ;;
  esac
}
# Extra options: the exports target's plug-in prints a line per export on standard
# error (its messages to the operator); the harness keeps its own copy of it.
options() {  # target
  case $1 in
    exports_fuzz) echo "-close_fd_mask=2" ;;
  esac
}
# Largest input tried: a program of calls, a settings file, a log or a country file.
max_len() {  # target
  case $1 in
    exports_fuzz) echo 4096 ;;
    *) echo 65536 ;;
  esac
}

# One target: its regression inputs, then the fuzzing run. Prints its line (and what it
# found); exit 1 when it failed.
fuzz_one() {  # target
  local t=$1 program=$build/tests/fuzz/$1 work logs findings=$build/findings/$1 regressions seeds start rc
  local runs line cov ft corp
  # The exports and settings targets write files into the current folder.
  work=$(mktemp -d -p /dev/shm 2>/dev/null || mktemp -d)  # a memory file system where there is one
  logs=$(mktemp -d)
  mkdir -p "$build/corpus/$t" "$findings"

  regressions=("$root/tests/fuzz/regressions/$t"/*)
  if [ -e "${regressions[0]}" ]; then
    if ! (cd "$work" && "$program" "${regressions[@]}" >"$logs/regressions.log" 2>&1); then
      echo "fuzz $t: a regression input fails again:"
      grep -E 'INVARIANT|ERROR|Running:' "$logs/regressions.log" | tail -n 5
      rm -rf "$work" "$logs"
      return 1
    fi
  fi

  seeds=("$root/tests/fuzz/corpus/$t")
  # shellcheck disable=SC2207
  seeds+=($(extra_seeds "$t"))
  start=$SECONDS
  (cd "$work" && "$program" "$build/corpus/$t" "${seeds[@]}" -max_total_time="$seconds" -max_len="$(max_len "$t")" \
     -timeout=20 -rss_limit_mb=2048 $(options "$t") -print_final_stats=1 -artifact_prefix="$findings/" \
     >"$logs/fuzz.log" 2>&1)
  rc=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$logs/fuzz.log" | tail -n1)
  line=$(grep -E '^#[0-9]+' "$logs/fuzz.log" | tail -n1)
  cov=$(echo "$line" | sed -n 's/.* cov: \([0-9]*\).*/\1/p')
  ft=$(echo "$line" | sed -n 's/.* ft: \([0-9]*\).*/\1/p')
  corp=$(echo "$line" | sed -n 's/.* corp: \([0-9]*\).*/\1/p')
  if [ $rc -ne 0 ]; then
    echo "fuzz $t: FOUND a fault after ${runs:-?} executions; the input is in $findings/"
    grep -E 'INVARIANT|ERROR|SUMMARY' "$logs/fuzz.log" | head -n 5
    cp "$logs/fuzz.log" "$findings/last.log"
  else
    echo "fuzz $t: ${runs:-?} executions in $((SECONDS - start)) s, ${cov:-?} edges, ${ft:-?} features," \
      "${corp:-?} inputs in the corpus"
  fi
  rm -rf "$work" "$logs"
  [ $rc -eq 0 ]
}

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
# Each fuzzing process uses one core: with --parallel N, N targets run at once, each for
# the same seconds as alone, so every target gets the same executions in less wall time
# where N cores are free. Lines come out in the targets' order.
passed=0
failed=0
outputs=$(mktemp -d)
trap 'rm -rf "$outputs"' EXIT
for ((i = 0; i < ${#targets[@]}; i += parallel)); do
  batch=("${targets[@]:i:parallel}")
  pids=()
  for t in "${batch[@]}"; do
    fuzz_one "$t" >"$outputs/$t" 2>&1 &
    pids+=($!)
  done
  for k in "${!batch[@]}"; do
    if wait "${pids[$k]}"; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
    cat "$outputs/${batch[$k]}"
  done
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
