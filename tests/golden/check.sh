#!/usr/bin/env bash
# Golden replays: every case of cases.txt goes through talven-replay and the plug-in;
# the summary, the bad-QSO report and the Cabrillo file must equal the reviewed files
# in expected/. With UPDATE_GOLDEN=1 the expected files are rewritten instead (review
# the diff before committing it).
#   check.sh REPLAY_PROGRAM [PLUGIN]
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
replay=${1:?usage: check.sh REPLAY_PROGRAM [PLUGIN]}
plugin=${2:-}
passed=0
failed=0

compare() {  # name, produced file, expected file
  if [ "${UPDATE_GOLDEN:-0}" = 1 ]; then
    cp "$2" "$3"
  elif ! cmp -s "$2" "$3"; then
    echo "golden $1: $(basename "$3") differs"
    diff <(tr -d '\r' <"$3") <(tr -d '\r' <"$2") | head -n 20
    return 1
  fi
}

while IFS='|' read -r name log options; do
  name=$(echo "$name" | xargs)
  case "$name" in ''|'#'*) continue ;; esac
  log=$(echo "$log" | xargs)
  work=$(mktemp -d)
  mkdir -p "$work/Plugins"
  args=(--out-dir "$work")
  [ -n "$plugin" ] && args+=(--plugin "$plugin")
  # shellcheck disable=SC2206
  args+=($options)
  "$replay" "${args[@]}" "$root/$log" >"$work/summary.out" 2>"$work/stderr.out"
  ok=1
  compare "$name" "$work/summary.out" "$here/expected/$name.summary" || ok=0
  report=$(ls "$work"/BadQSO_StatsTALVENCP_*.txt 2>/dev/null | head -n1)
  if [ -z "$report" ]; then
    echo "golden $name: no bad-QSO report written"; cat "$work/stderr.out"; ok=0
  else
    compare "$name" "$report" "$here/expected/$name.report" || ok=0
  fi
  if [[ "$options" == *--cabrillo* ]]; then
    cbr=$(ls "$work"/*.cbr 2>/dev/null | head -n1)
    if [ -z "$cbr" ]; then echo "golden $name: no Cabrillo file"; ok=0
    else compare "$name" "$cbr" "$here/expected/$name.cbr" || ok=0
    fi
  fi
  rm -rf "$work"
  if [ $ok = 1 ]; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
done <"$here/cases.txt"

echo "golden: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
