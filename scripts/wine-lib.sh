# Small helpers shared by the scripts that drive Windows programs under Wine; sourced:
#
#   . "$here/wine-lib.sh"

# The Windows path of a Unix one: Wine sees the Unix root as drive Z:.
windows_path() { printf 'Z:%s' "$1" | tr '/' '\\'; }

# Runs the command every 0.1 s until it succeeds, at most SECONDS long; false when it
# never did.
wait_for() { # seconds, command...
    local limit=$1 i
    shift
    for i in $(seq $((limit * 10))); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

# Starts the build's stand-in host (BIN/orba-standin.exe) under wine64 in the folder
# WORK, with the NAME=VALUE settings given before "--" in its environment and the
# arguments after it, ended by `timeout` after SECONDS (it stops itself 20 s earlier).
# It reads its commands from the pipe WORK/commands, which stays open for writing on
# fd 3 of the caller, and writes its replies to WORK/standin.out. Sets standin_pid (for
# the caller's cleanup); false, with what it said, when no ready line came within 30 s.
start_standin() { # work, bin, seconds, [NAME=VALUE...] --, arguments...
    local work=$1 bin=$2 seconds=$3 settings=()
    shift 3
    while [ $# -gt 0 ] && [ "$1" != -- ]; do
        settings+=("$1")
        shift
    done
    shift
    mkfifo "$work/commands" || return 1
    (cd "$work" && exec timeout "$seconds" env "${settings[@]}" /usr/lib/wine/wine64 "$bin/orba-standin.exe" \
        --time-limit $((seconds - 20)) "$@" <"$work/commands" >"$work/standin.out" 2>&1) &
    standin_pid=$!
    exec 3>"$work/commands"
    if ! wait_for 30 grep -q '^ready' "$work/standin.out"; then
        echo "$(basename "$0" .sh): the stand-in host did not start:" >&2
        cat "$work/standin.out" >&2
        return 1
    fi
}
