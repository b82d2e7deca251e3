# Helpers of the end-to-end scripts, sourced by them: finding a program's
# window and waiting for the program to end.

# Prints the id of the window titled exactly $1 once it appears; fails when
# program $2 ends first or 30 seconds pass.
find_window() {
    local title=$1 pid=$2 window
    for _ in $(seq 300); do
        window=$(xdotool search --name "^$title\$" 2>/dev/null | head -n 1)
        if [ -n "$window" ]; then
            echo "$window"
            return 0
        fi
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    return 1
}

# Waits up to 10 seconds for program $1 (a child of this shell) to end and
# sets exit_code to its exit code, or to nothing when it is still running.
# (Not for $(...): a subshell cannot wait for its parent's children.)
wait_for_exit() {
    local pid=$1
    exit_code=""
    for _ in $(seq 100); do
        if ! kill -0 "$pid" 2>/dev/null; then
            wait "$pid"
            exit_code=$?
            return 0
        fi
        sleep 0.1
    done
}
