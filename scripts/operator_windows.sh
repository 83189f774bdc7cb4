#!/usr/bin/env bash
# Shows the plug-in's operator windows beside the stand-in host under Wine and Xvfb,
# with a log replayed into it, and saves pictures of them:
#
#   scripts/operator_windows.sh [BUILD_DIR [OUT_DIR [LOG]]]
#       (default build/win64, out/windows, data/sample.log)
#
#   windows-lists.png     the companion window, the DXCC window with the DXCC worked on
#                         20 m RTTY, the area window with the areas worked there
#   windows-call.png      a worked call typed in the host: the DXCC window shows where
#                         it was worked
#   lamp-green.png        the band-change control on, no recent change
#   lamp-red.png          a band change logged a minute after the QSO before it
#
# DXCC_SIZE=WIDTHxHEIGHT opens the DXCC window at that size, as the operator left it.
#
# The stand-in host loads Stats.dll and replays the log's QSOs through its exports, as
# the host does; the windows open as they would beside the host. With SHOW=1 and a real
# X display (DISPLAY set, no Xvfb started here) the windows stay open until Enter is
# pressed. Prefixes are taken from the calls' first two characters (Ukraine: "UR"), which
# is enough for pictures; the replay tool places calls properly.
set -u

here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-lib.sh"
root=$(cd "$here/.." && pwd)
build=$(cd "${1:-$root/build/win64}" && pwd) || exit 2
out=${2:-$root/out/windows}
log=${3:-$root/data/sample.log}
bin=$build/bin
for f in orba-standin.exe Stats.dll; do
    [ -f "$bin/$f" ] || { echo "operator_windows: no $bin/$f (build it first)" >&2; exit 2; }
done
[ -f "$log" ] || { echo "operator_windows: no log $log" >&2; exit 2; }
command -v import >/dev/null || { echo "operator_windows: needs ImageMagick (apt-get install imagemagick)" >&2; exit 2; }

show=${SHOW:-0}
started_here=0
work=$(mktemp -d "${TMPDIR:-/tmp}/operator-windows.XXXXXX")
standin_pid=""
cleanup() {
    exec 3>&- 2>/dev/null
    [ -n "$standin_pid" ] && kill "$standin_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
    if [ "$started_here" -eq 1 ]; then "$here/wine-env.sh" stop "$build"; fi
}
trap cleanup EXIT
if [ "$show" = 1 ] && [ -n "${DISPLAY:-}" ]; then
    export WINEDEBUG=-all WINEPREFIX=$build/wineprefix
    "$here/wine-env.sh" status "$build" >/dev/null 2>&1 || "$here/wine-env.sh" start "$build" >/dev/null || exit 1
else
    "$here/wine-env.sh" status "$build" >/dev/null 2>&1 || started_here=1
    eval "$("$here/wine-env.sh" start "$build")" || exit 1
fi


# The grid windows open where they do not cover the companion window (10, 400).
mkdir -p "$work/Plugins"
printf '[Settings]\r\nDXCC=1\r\nObl=1\r\ndxcc_x=10\r\ndxcc_y=20\r\noblast_x=380\r\noblast_y=400\r\n' \
    >"$work/Plugins/TALVENA-CUP.ini"
# DXCC_SIZE=WIDTHxHEIGHT: the DXCC window as the operator sized it.
if [ -n "${DXCC_SIZE:-}" ]; then
    printf 'dxcc_width=%s\r\ndxcc_height=%s\r\n' "${DXCC_SIZE%x*}" "${DXCC_SIZE#*x}" >>"$work/Plugins/TALVENA-CUP.ini"
fi

start_standin "$work" "$bin" 300 -- --mode RTTY --frequency 14088000 || exit 1
replies() { grep -c '^ok\|^error' "$work/standin.out"; }
# Sends commands and waits until each has its reply.
send() {
    local before
    before=$(replies)
    printf '%s\n' "$@" >&3
    wait_for 60 bash -c "[ \$(grep -c '^ok\|^error' '$work/standin.out') -ge $((before + $#)) ]"
}

first=$(grep -m1 '^QSO:' "$log" | awk '{print $4}')
send "load $(windows_path "$bin/Stats.dll")" \
    "reset OK1XYZ OK EU ${first}T0000 ${first}T2359 0 $(windows_path "$work")\\"
# The log's QSOs, each with a prefix good enough for the pictures.
lines=()
while read -r tag freq mode date time own rsts exs call rstr exr rest; do
    [ "$tag" = "QSO:" ] || continue
    case $call in U[R-Z]* | E[M-O]*) prefix=UR ;; *) prefix=${call:0:2} ;; esac
    lines+=("add $prefix EU QSO: $freq $mode $date $time $own $rsts $exs $call $rstr $exr")
done <"$log"
send "${lines[@]}"
send "result" "check ZZ9ZZ 20m RTTY ZZ"
sleep 1.5

mkdir -p "$out"
shot() {  # name
    sleep 0.7
    import -window root "$out/$1.png" && echo "operator_windows: saved $out/$1.png"
}
shot windows-lists

# A call worked on several bands typed in the host's entry line.
busy=$(grep '^QSO:' "$log" | awk '{print $9}' | sort | uniq -c | sort -rn | awk 'NR==1{print $2}')
send "field 5 $busy" "check $busy 20m RTTY ${busy:0:2}"
shot windows-call
send "field 5 -" "check ZZ9ZZ 20m RTTY ZZ"

# The band-change control, then a band change a minute after the QSO before it, now.
send "click 1021 Setup TALVENA-CUP"
shot lamp-green
now() { date -u -d "$1" '+%Y-%m-%d %H%M'; }
send "add DL EU QSO: 14088 RY $(now '-1 minute') OK1XYZ 599 901 DL1ZZZ 599 001" \
    "add DL EU QSO: 7040 RY $(now 'now') OK1XYZ 599 902 DL2ZZZ 599 002"
sleep 1.5
shot lamp-red

if [ "$show" = 1 ]; then
    echo "operator_windows: the windows are open; press Enter to close them"
    read -r _
fi
send "unload" "quit"
