#!/usr/bin/env bash
# Runs the Windows test programs of a mingw build under Wine: those of an x86_64 build
# with wine64, those of an i686 build with the 32-bit loader (needs wine32):
#
#   scripts/wine-tests.sh build/win64
#   scripts/wine-tests.sh build/win32
#
# Each program runs in a fresh temporary working folder with the path of the build's
# Stats.dll as its argument. One line per program, then "N passed, N failed"; exit 1
# when any failed. Sets up the Wine environment (scripts/wine-env.sh) when none is
# running for the build folder and ends it again afterwards; one started beforehand
# with `eval "$(scripts/wine-env.sh start BUILD_DIR)"` is reused and left running.
#
# WINE_TEST_TIMEOUT: seconds per program (default 120; the programs stop themselves earlier).
# WINE_TEST_KEEP=1: keep the working folders of passing programs too.
set -u

here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-lib.sh"
build=${1:-}
if [ -z "$build" ] || [ ! -d "$build" ]; then
    echo "usage: wine-tests.sh BUILD_DIR   (a mingw build folder)" >&2
    exit 2
fi
build=$(cd "$build" && pwd)
limit=${WINE_TEST_TIMEOUT:-120}

passed=0
failed=0
report() {
    echo "$passed passed, $failed failed"
    [ "$failed" -eq 0 ]
}

dll=$build/bin/Stats.dll
shopt -s nullglob
programs=("$build"/tests/wine/*_test.exe)
shopt -u nullglob
if [ ! -f "$dll" ] || [ ${#programs[@]} -eq 0 ]; then
    echo "FAIL setup: no $dll or no tests/wine/*_test.exe in $build (build it first)"
    failed=1
    report
    exit 1
fi
# The DLL's machine decides the loader; every program of the build is of the same kind.
if ! loader=$("$here/wine-env.sh" loader "$dll" 2>&1); then
    echo "FAIL setup: $loader"
    failed=1
    report
    exit 1
fi
echo "Wine loader: $loader"

# One run at a time per build folder: a second run would otherwise reuse the
# environment the first one is about to end. Nothing started below keeps fd 8 open.
mkdir -p "$build/wine-state"
exec 8>"$build/wine-state/tests.lock"
if ! flock -w 900 8; then
    echo "FAIL setup: another wine-tests.sh run holds $build/wine-state/tests.lock"
    failed=1
    report
    exit 1
fi

# Reuse a running environment; otherwise start one now and end it on the way out.
started_here=0
if ! "$here/wine-env.sh" status "$build" >/dev/null 2>&1 8>&-; then
    started_here=1
fi
cleanup() {
    if [ "$started_here" -eq 1 ]; then "$here/wine-env.sh" stop "$build" 8>&-; fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM
if ! env_lines=$("$here/wine-env.sh" start "$build" 8>&-); then
    echo "FAIL setup: the Wine environment did not start"
    failed=1
    report
    exit 1
fi
eval "$env_lines"

dll_arg=$(windows_path "$dll")

for exe in "${programs[@]}"; do
    name=$(basename "$exe" .exe)
    work=$(mktemp -d "${TMPDIR:-/tmp}/wine-test-$name.XXXXXX")
    t0=$(date +%s.%N)
    # Programs named *_cp1251_test run as on the operators' Windows, whose ANSI code page
    # is 1251: Wine takes it from the locale (which need not be generated).
    locale=()
    case $name in *_cp1251_test) locale=(env LC_ALL=ru_RU.UTF-8) ;; esac
    (cd "$work" && timeout -k 5 "$limit" "${locale[@]}" "$loader" "$exe" "$dll_arg" </dev/null >"$work/output.txt" 2>&1 8>&-)
    rc=$?
    seconds=$(awk -v a="$t0" -v b="$(date +%s.%N)" 'BEGIN { printf "%.2f", b - a }')
    if [ $rc -eq 0 ]; then
        passed=$((passed + 1))
        echo "PASS $name (${seconds} s)"
        if [ "${WINE_TEST_KEEP:-0}" = 1 ]; then echo "     kept $work"; else rm -rf "$work"; fi
    else
        failed=$((failed + 1))
        case $rc in
        124 | 137) why="killed after ${limit} s" ;;
        3) why="internal time limit" ;;
        *) why="exit $rc" ;;
        esac
        echo "FAIL $name ($why, ${seconds} s; working folder $work)"
        # The program's own lines, without Wine's noise about the display.
        sed -e 's/^/     /' "$work/output.txt" | tail -n 60
    fi
done

report
