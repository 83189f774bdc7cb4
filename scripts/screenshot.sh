#!/usr/bin/env bash
# Shows modepad beside the stand-in host under Wine and Xvfb and saves a picture of both:
#
#   scripts/screenshot.sh [BUILD_DIR [OUT.png]]     (default build/win64, docs/modepad.png)
#
# The stand-in host starts with a mode, a frequency and a typed Cyrillic call; modepad
# starts beside it, switches it to BPSK63 and hands the keyboard back to it. The picture
# is taken once both macros have arrived; then the stand-in host is told to quit, which
# ends modepad too. Uses the build's Wine environment (scripts/wine-env.sh), started here
# and ended again unless one was running already.
set -u

here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-lib.sh"
root=$(cd "$here/.." && pwd)
build=$(cd "${1:-$root/build/win64}" && pwd) || exit 2
out=${2:-$root/docs/modepad.png}
bin=$build/bin
for f in orba-standin.exe modepad.exe; do
    [ -f "$bin/$f" ] || { echo "screenshot: no $bin/$f (build it first)" >&2; exit 2; }
done
command -v import >/dev/null || { echo "screenshot: needs ImageMagick (apt-get install imagemagick)" >&2; exit 2; }

started_here=0
"$here/wine-env.sh" status "$build" >/dev/null 2>&1 || started_here=1
work=$(mktemp -d "${TMPDIR:-/tmp}/screenshot.XXXXXX")
standin_pid=""
modepad_pid=""
cleanup() {
    exec 3>&- 2>/dev/null
    # By process id, and only if they outlived the quit.
    for pid in $modepad_pid $standin_pid; do kill "$pid" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$work"
    if [ "$started_here" -eq 1 ]; then "$here/wine-env.sh" stop "$build"; fi
}
trap cleanup EXIT
eval "$("$here/wine-env.sh" start "$build")" || exit 1

# Both run in the Russian code page, as on the operators' Windows (the Unix locale need
# not exist for that).
start_standin "$work" "$bin" 120 LC_ALL=ru_RU.UTF-8 -- --mode RTTY --frequency 14083500 \
    --record "$(windows_path "$work/macros.txt")" || exit 1
# The call being typed, UR5ЖЖ in code page 1251: the channel passes bytes as they are,
# where a command line would go through the Unix locale.
printf 'field 5 UR5\xC6\xC6\n' >&3

(cd "$work" && exec timeout 120 env LC_ALL=ru_RU.UTF-8 /usr/lib/wine/wine64 "$bin/modepad.exe" \
    >"$work/modepad.out" 2>&1) &
modepad_pid=$!
two_macros() { [ "$(wc -l <"$work/macros.txt" 2>/dev/null || echo 0)" -ge 2 ]; }
if ! wait_for 30 two_macros; then
    echo "screenshot: modepad sent no macros" >&2
    exit 1
fi
echo "state" >&3
sleep 1  # both windows repainted

mkdir -p "$(dirname "$out")"
import -window root "$work/screen.png" &&
    convert "$work/screen.png" -crop 600x230+0+0 +repage "$out" || exit 1
echo "screenshot: saved $out"
echo "stand-in host: $(tail -n 1 "$work/standin.out" | iconv -f CP1251 -t UTF-8)"
echo "macros: $(tr '\n' ' ' <"$work/macros.txt")"

echo "quit" >&3
exec 3>&-
wait_for 10 bash -c "! kill -0 $modepad_pid 2>/dev/null" && echo "modepad ended with the host"
