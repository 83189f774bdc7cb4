#!/usr/bin/env bash
# The Wine environment of one build folder, for running its Windows programs:
# an Xvfb display, a prefix inside the build folder (created once, with Wine's virtual
# desktop turned on so that windows get captions and frames), and a wineserver kept
# warm for 30 s between programs.
#
#   eval "$(scripts/wine-env.sh start BUILD_DIR)"   start or reuse it; prints the exports
#   scripts/wine-env.sh stop BUILD_DIR              end its wineserver and its display
#   scripts/wine-env.sh status BUILD_DIR            "running" (exit 0) or "stopped" (exit 1)
#   source scripts/wine-env.sh BUILD_DIR            start or reuse it, exports in this shell
#   scripts/wine-env.sh loader FILE.exe             the Wine loader for that program: wine64
#                                                   for x86-64, the 32-bit one for i386
#
# A second start is fast: it reuses a live display and a finished prefix. The display
# ends by itself after WINE_ENV_LIFETIME seconds (default 3600) if nobody stops it.
# State lives in BUILD_DIR/wine-state (display number, PID of the display's guard).
#
# The prefix is a 64-bit one; 32-bit programs run in it with the 32-bit loader, but only
# when it was created while wine32 was installed (wineboot -u does not add the 32-bit
# side later). So the prefix records whether wine32 was there, and a start recreates it
# when that has changed since.

_we_wine=/usr/lib/wine/wine64
_we_wine32=/usr/lib/wine/wine
_we_server=/usr/lib/wine/wineserver

# What the prefix records about the Wine it was made with.
_we_wine_kind() {
    if [ -x "$_we_wine32" ]; then echo "wine32=yes"; else echo "wine32=no"; fi
}

# The loader for a Windows program, from the machine field of its PE header.
_we_loader() {
    local file=$1 offset signature machine
    [ -f "$file" ] || { _we_log "$file: no such file"; return 1; }
    offset=$(od -An -tu4 -j60 -N4 "$file" 2>/dev/null | tr -d ' ')
    signature=$(od -An -tx1 -j"${offset:-0}" -N4 "$file" 2>/dev/null | tr -d ' ')
    if [ -z "$offset" ] || [ "$signature" != 50450000 ]; then
        _we_log "$file: not a Windows program"
        return 1
    fi
    machine=$(od -An -tx2 -j$((offset + 4)) -N2 "$file" | tr -d ' ')
    case $machine in
    8664) echo "$_we_wine" ;;
    014c)
        if [ ! -x "$_we_wine32" ]; then
            _we_log "$file is a 32-bit program and wine32 is not installed ($_we_wine32 missing)"
            return 1
        fi
        echo "$_we_wine32"
        ;;
    *)
        _we_log "$file: machine type 0x$machine is neither i386 nor x86-64"
        return 1
        ;;
    esac
}

_we_log() { echo "wine-env: $*" >&2; }

# Sets the _we_* paths and the variables every Wine call needs.
_we_setup() {
    local build=$1
    if [ -z "$build" ]; then
        _we_log "usage: wine-env.sh start|stop|status BUILD_DIR"
        return 2
    fi
    mkdir -p "$build" || return 1
    _we_build=$(cd "$build" && pwd) || return 1
    _we_state=$_we_build/wine-state
    _we_prefix=$_we_build/wineprefix
    mkdir -p "$_we_state" || return 1
    export WINEDEBUG=-all
    export WINEPREFIX=$_we_prefix
}

# PID of our display guard when it and its Xvfb are alive, with the display number.
_we_live_display() {
    local pid num
    pid=$(cat "$_we_state/xvfb.pid" 2>/dev/null) || return 1
    num=$(cat "$_we_state/display" 2>/dev/null) || return 1
    [ -n "$pid" ] && [ -n "$num" ] || return 1
    kill -0 "$pid" 2>/dev/null || return 1
    # The PID may have been reused by an unrelated process since.
    tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null | grep -q "Xvfb" || return 1
    [ -S "/tmp/.X11-unix/X$num" ] || return 1
    echo "$num"
}

_we_start_display() {
    local num pid i
    if num=$(_we_live_display); then
        export DISPLAY=:$num
        return 0
    fi
    rm -f "$_we_state/display" "$_we_state/xvfb.pid"
    command -v Xvfb >/dev/null || { _we_log "Xvfb is not installed (apt-get install xvfb)"; return 1; }
    # (9>&- here and below: the lock must not outlive this start in a child.)
    # Xvfb picks a free display itself and writes its number to fd 3: no race with
    # the displays of other users of this machine. timeout bounds its life.
    timeout --signal=TERM "${WINE_ENV_LIFETIME:-3600}" \
        Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp \
        3>"$_we_state/display.new" </dev/null >"$_we_state/xvfb.log" 2>&1 9>&- &
    pid=$!
    for i in $(seq 100); do
        num=$(tr -dc '0-9' <"$_we_state/display.new" 2>/dev/null)
        if [ -n "$num" ] && [ -S "/tmp/.X11-unix/X$num" ]; then break; fi
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if [ -z "$num" ] || ! kill -0 "$pid" 2>/dev/null; then
        _we_log "Xvfb did not start; see $_we_state/xvfb.log"
        kill "$pid" 2>/dev/null
        return 1
    fi
    echo "$pid" >"$_we_state/xvfb.pid"
    echo "$num" >"$_we_state/display"
    rm -f "$_we_state/display.new"
    export DISPLAY=:$num
}

_we_create_prefix() {
    local ready=$_we_prefix/.wine-env-ready rc kind
    kind=$(_we_wine_kind)
    if [ -f "$ready" ]; then
        [ "$(cat "$ready")" = "$kind" ] && return 0
        # Made before wine32 was installed (or removed), or by an older version of this
        # script that did not record it.
        _we_log "recreating prefix $_we_prefix: made with '$(cat "$ready")', now '$kind'"
        timeout 20 "$_we_server" -k >/dev/null 2>&1 9>&-
        rm -rf "$_we_prefix"
    elif [ -e "$_we_prefix" ]; then
        # Left half-made by an interrupted start: begin again from nothing.
        _we_log "removing unfinished prefix $_we_prefix"
        timeout 20 "$_we_server" -k >/dev/null 2>&1 9>&-
        rm -rf "$_we_prefix"
    fi
    mkdir -p "$_we_prefix" || return 1
    _we_log "creating prefix $_we_prefix"
    # No Mono or Gecko: nothing here needs them, and their installers would ask.
    WINEDLLOVERRIDES="mscoree,mshtml=" timeout 300 "$_we_wine" wineboot -i </dev/null >/dev/null 2>&1 9>&-
    rc=$?
    if [ $rc -ne 0 ]; then
        _we_log "wineboot -i failed (exit $rc)"
        return 1
    fi
    timeout 60 "$_we_wine" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f </dev/null >/dev/null 2>&1 9>&- &&
        timeout 60 "$_we_wine" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f \
            </dev/null >/dev/null 2>&1 9>&-
    rc=$?
    if [ $rc -ne 0 ]; then
        _we_log "setting the virtual desktop failed (exit $rc)"
        return 1
    fi
    # Once after creating a prefix the server must run down completely; until then
    # RegisterActiveObject fails in that server session.
    timeout 60 "$_we_server" -w </dev/null >/dev/null 2>&1 9>&-
    rc=$?
    if [ $rc -ne 0 ]; then
        _we_log "wineserver -w did not return (exit $rc)"
        return 1
    fi
    echo "$kind" >"$ready"
}

wine_env_start() {
    _we_setup "$1" || return 1
    (
        # One start at a time per build folder.
        flock -w 600 9 || { _we_log "could not lock $_we_state/lock"; exit 1; }
        _we_start_display || exit 1
        _we_create_prefix || exit 1
        # Attached -p30: the Debian wrapper reads "-p 30" as "persist forever". When a
        # server already runs for the prefix this returns at once.
        timeout 5 "$_we_server" -p30 </dev/null >/dev/null 2>&1 9>&-
        exit 0
    ) 9>"$_we_state/lock" || return 1
    DISPLAY=:$(cat "$_we_state/display") || return 1
    export DISPLAY
}

wine_env_stop() {
    local pid
    _we_setup "$1" || return 1
    if [ -f "$_we_prefix/system.reg" ]; then
        timeout 20 "$_we_server" -k >/dev/null 2>&1
    fi
    pid=$(cat "$_we_state/xvfb.pid" 2>/dev/null)
    if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null &&
        tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null | grep -q "Xvfb"; then
        # The guard passes the signal on to Xvfb and ends with it.
        kill "$pid"
        for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    fi
    rm -f "$_we_state/xvfb.pid" "$_we_state/display"
}

_we_exports() {
    printf 'export WINEDEBUG=%q WINEPREFIX=%q DISPLAY=%q\n' "$WINEDEBUG" "$WINEPREFIX" "$DISPLAY"
}

if [ "${BASH_SOURCE[0]}" != "$0" ]; then
    # Sourced: start and keep the variables in the caller's shell.
    wine_env_start "${1:-}"
    return $?
fi

case "${1:-}" in
start)
    wine_env_start "$2" || exit 1
    _we_exports
    ;;
stop)
    wine_env_stop "$2"
    ;;
status)
    _we_setup "$2" || exit 2
    if num=$(_we_live_display) && [ "$(cat "$_we_prefix/.wine-env-ready" 2>/dev/null)" = "$(_we_wine_kind)" ]; then
        echo "running (DISPLAY=:$num)"
    else
        echo "stopped"
        exit 1
    fi
    ;;
loader)
    _we_loader "${2:-}" || exit 1
    ;;
*)
    _we_log "usage: wine-env.sh start|stop|status BUILD_DIR, or wine-env.sh loader FILE.exe"
    exit 2
    ;;
esac
