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

# Starts BIN/orba-standin.exe in WORK with the environment settings before "--" and the
# arguments after it, for at most SECONDS. Its commands go to fd 3 of the caller (the
# pipe WORK/commands), its replies to WORK/standin.out. Sets standin_pid; false, with
# what it said, when it was not ready within 30 s.
start_standin() { # work, bin, seconds, [NAME=VALUE...] --, arguments...
    local work=$1 bin=$2 seconds=$3 settings=()
    shift 3
    while [ "${1:---}" != -- ]; do settings+=("$1") && shift; done
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
