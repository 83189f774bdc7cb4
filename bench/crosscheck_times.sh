#!/usr/bin/env bash
# The cross-check on generated contests (scripts/make_contest.py): the matching alone
# (crosscheck_bench) and the whole tool (talven-replay --findings --per-station --report,
# which also scores every log with the plug-in), wall and processor time and peak memory;
# then two 30,000-QSO logs of one pair against one of them alone, as a ratio.
#   bench/crosscheck_times.sh [NATIVE_BUILD]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/native}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

measure() {  # label, command... -> wall and processor seconds, peak MB
  local label=$1; shift
  /usr/bin/time -f '%e %U %S %M' -o "$work/time" "$@" >/dev/null 2>"$work/err" || true
  read -r wall user sys kb <"$work/time"
  printf '%-44s wall %6.2f s, processor %6.2f s, peak %5d MB\n' "$label" "$wall" \
    "$(awk -v u="$user" -v s="$sys" 'BEGIN { print u + s }')" $((kb / 1024))
  grep -h 'cross-check:' "$work/err" || true
}

python3 "$root/scripts/make_contest.py" --logs 1000 --qsos 200-2000 --seed 11 "$work/big"
python3 "$root/scripts/make_contest.py" --logs 10000 --qsos 30 --seed 12 "$work/many"
python3 "$root/scripts/make_contest.py" --pair 30000 --seed 13 "$work/pair"

for contest in big many pair; do
  "$build/bench/crosscheck_bench" "$work/$contest"
  measure "  the matching's process ($contest)" "$build/bench/crosscheck_bench" "$work/$contest" 1
  mkdir -p "$work/out-$contest"
  measure "  talven-replay, whole ($contest)" "$build/bin/talven-replay" --out-dir "$work/out-$contest" \
    --findings "$work/out-$contest/findings.csv" --per-station "$work/out-$contest/stations" \
    --report "$work/out-$contest/page.html" "$work/$contest"
done

one=$(ls "$work"/pair/*.log | head -n 1)
mkdir -p "$work/one" "$work/two"
/usr/bin/time -f '%e %U %S' -o "$work/t1" "$build/bin/talven-replay" --out-dir "$work/one" --report "$work/one/p.html" \
  "$one" >/dev/null 2>&1 || true
/usr/bin/time -f '%e %U %S' -o "$work/t2" "$build/bin/talven-replay" --out-dir "$work/two" --report "$work/two/p.html" \
  "$work"/pair/*.log >/dev/null 2>&1 || true
read -r w1 u1 s1 <"$work/t1"
read -r w2 u2 s2 <"$work/t2"
awk -v w1="$w1" -v w2="$w2" -v c1="$(awk -v a="$u1" -v b="$s1" 'BEGIN { print a + b }')" \
    -v c2="$(awk -v a="$u2" -v b="$s2" 'BEGIN { print a + b }')" 'BEGIN {
  printf "two 30,000-QSO logs of one pair / one of them alone (--report): wall %.2f / %.2f s = %.2fx, processor %.2f / %.2f s = %.2fx\n", w2, w1, w2 / w1, c2, c1, c2 / c1 }'
