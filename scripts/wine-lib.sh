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
