#!/usr/bin/env bash
# Whether this machine's kernel runs 32-bit x86 programs, and running one either way.
# Machines differ here, so it is measured, never assumed: a static -m32 hello-world is
# built once (kept in build/ia32-probe) and started on every check.
#
#   scripts/ia32.sh check            "yes" (exit 0), or "no: <why>" (exit 1)
#   scripts/ia32.sh run PROG [ARG]   runs a static 32-bit Linux program: directly where the
#                                    kernel allows, otherwise under qemu-i386-static (called
#                                    on the program; no system-wide registration needed)
#
# TALVEN_NO_IA32=1 makes both behave as on a kernel without 32-bit support, to try the
# other path on a machine that has it. Building the probe needs g++-multilib
# (scripts/setup.sh installs it).
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
probe_dir=$root/build/ia32-probe
probe=$probe_dir/hello

# Builds the probe when it is missing; the reason on stdout when that fails.
build_probe() {
    [ -x "$probe" ] && return 0
    mkdir -p "$probe_dir" || { echo "cannot create $probe_dir"; return 1; }
    local tmp
    tmp=$(mktemp -d "$probe_dir/build.XXXXXX") || { echo "cannot create a folder in $probe_dir"; return 1; }
    printf '#include <stdio.h>\nint main(void) { puts("32-bit hello"); return 0; }\n' >"$tmp/hello.c"
    if ! gcc -m32 -static -O1 "$tmp/hello.c" -o "$tmp/hello" >"$tmp/gcc.log" 2>&1; then
        echo "cannot build a static 32-bit program (is g++-multilib installed?): $(head -n1 "$tmp/gcc.log")"
        rm -rf "$tmp"
        return 1
    fi
    # Renaming is atomic: a check running at the same time sees the whole file or none.
    mv -f "$tmp/hello" "$probe"
    rm -rf "$tmp"
}

check() {
    local why out
    if [ "${TALVEN_NO_IA32:-0}" = 1 ]; then
        echo "no: TALVEN_NO_IA32=1 is set"
        return 1
    fi
    if ! why=$(build_probe); then
        echo "no: $why"
        return 1
    fi
    if out=$("$probe" 2>&1) && [ "$out" = "32-bit hello" ]; then
        echo yes
        return 0
    fi
    # The shell's message, e.g. "cannot execute binary file: Exec format error".
    echo "no: the kernel does not run 32-bit programs ($(printf '%s' "$out" | head -n1 | sed 's/.*: //'))"
    return 1
}

case "${1:-}" in
check)
    check
    ;;
run)
    shift
    [ $# -ge 1 ] || { echo "usage: ia32.sh run PROGRAM [ARGS...]" >&2; exit 2; }
    if check >/dev/null; then exec "$@"; fi
    if command -v qemu-i386-static >/dev/null; then exec qemu-i386-static "$@"; fi
    echo "ia32.sh: the kernel does not run 32-bit programs and qemu-i386-static is missing" \
        "(apt-get install qemu-user-static)" >&2
    exit 127
    ;;
*)
    echo "usage: ia32.sh check | run PROGRAM [ARGS...]" >&2
    exit 2
    ;;
esac
