#!/usr/bin/env bash
# Times talven-replay end to end (reading the log, the country file, every export
# call) on the largest real log and on a generated 100,000-QSO log.
#   bench/replay_times.sh [NATIVE_BUILD]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/native}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 "$root/bench/make_big_log.py" 100000 "$work/big.log"
for log in "$root/tests/data/logs/9a1a.log" "$work/big.log"; do
  mkdir -p "$work/out/Plugins"
  best=999
  for _ in 1 2 3; do
    s=$(date +%s.%N)
    "$build/bin/talven-replay" --out-dir "$work/out" "$log" >/dev/null 2>&1 || true
    t=$(awk -v a="$s" -v b="$(date +%s.%N)" 'BEGIN { printf "%.3f", b - a }')
    best=$(awk -v a="$best" -v b="$t" 'BEGIN { print (b < a) ? b : a }')
  done
  printf '%-10s %7d QSO lines: %s s (best of 3, whole run)\n' "$(basename "$log")" "$(grep -c '^QSO:' "$log")" "$best"
done
