# Sourced by the tests that need an X server. StartXvfb starts a private Xvfb on
# a display number it picks itself and exports DISPLAY; everything started here
# is stopped by the EXIT trap, whether the test passes or fails. -noreset keeps
# the pointer where the test put it when the last client disconnects.

kXvfbScreen="1024x768x24"
xvfbPid=""
sessionDir="$(mktemp -d "${TMPDIR:-/tmp}/orrelin-x11.XXXXXX")"
backgroundPids=()

# StopProcess PID: SIGTERM, then SIGKILL if it is still there after two seconds.
StopProcess() {
    local waited=0
    kill "$1" 2>/dev/null || return 0
    while IsRunning "$1" && [ "$waited" -lt 2000 ]; do
        sleep 0.02
        waited=$((waited + 20))
    done
    kill -KILL "$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
}

EndSession() {
    local pid
    for pid in "${backgroundPids[@]}"; do
        StopProcess "$pid"
    done
    [ -z "$xvfbPid" ] || StopProcess "$xvfbPid"
    rm -rf "$sessionDir"
}
trap EndSession EXIT

Fail() {
    echo "FAIL: $*" >&2
    exit 1
}

StartXvfb() {
    local fifo="$sessionDir/displayfd"
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 "$kXvfbScreen" -nolisten tcp -noreset 3>"$fifo" >"$sessionDir/xvfb.log" 2>&1 &
    xvfbPid=$!
    local number=""
    read -r -t 20 number <"$fifo" || true
    [ -n "$number" ] || Fail "Xvfb did not start: $(cat "$sessionDir/xvfb.log")"
    export DISPLAY=":$number"
}

# StartBackground COMMAND...: starts a command the session stops at the end;
# its pid is in $lastPid.
StartBackground() {
    "$@" &
    lastPid=$!
    backgroundPids+=("$lastPid")
}

# IsRunning PID: alive and not merely a zombie waiting to be reaped.
IsRunning() {
    local state
    state=$(sed 's/.*) //' "/proc/$1/stat" 2>/dev/null | cut -d' ' -f1) || return 1
    [ -n "$state" ] && [ "$state" != Z ]
}

# WaitForExit PID SECONDS: waits for the process to end, polling, and puts its
# exit status in $exitStatus. Fails the test if it is still running.
WaitForExit() {
    local pid=$1 limit=$2 waited=0
    while IsRunning "$pid"; do
        sleep 0.02
        waited=$((waited + 20))
        [ "$waited" -lt $((limit * 1000)) ] || Fail "process $pid still running after ${limit}s"
    done
    exitStatus=0
    wait "$pid" || exitStatus=$?
}

# ExpectRunning PID SECONDS: the process must still be running after a short wait.
ExpectRunning() {
    sleep "$2"
    IsRunning "$1" || Fail "process $1 ended early"
}

# WaitUntil SECONDS COMMAND...: polls until the command succeeds. The arguments
# are expanded once, so anything to re-read each time belongs in a function.
WaitUntil() {
    local limit=$1 waited=0
    shift
    until "$@" >/dev/null 2>&1; do
        sleep 0.02
        waited=$((waited + 20))
        [ "$waited" -lt $((limit * 1000)) ] || Fail "timed out waiting for: $*"
    done
}

# IsCycleColour "R G B": true when the 8-bit colour is within a few steps of the
# background the saver clears to in one of its first 3000 frames (about 33 s).
IsCycleColour() {
    echo "$1" | awk '{
        for (n = 1; n <= 3000; ++n) {
            t = 11 * n
            r = (sin(t * 0.001) + 1) * 0.5 * 255
            g = (sin(t * 0.0014285714) + 1) * 0.5 * 255
            b = (sin(t * 0.0025) + 1) * 0.5 * 255
            if ((r - $1) ^ 2 <= 16 && (g - $2) ^ 2 <= 16 && (b - $3) ^ 2 <= 16) exit 0
        }
        exit 1
    }'
}

# StartOwnerWindow [single]: another client's 320x240 window at the top left;
# its id is in $ownerId.
StartOwnerWindow() {
    local idFile="$sessionDir/owner.$RANDOM"
    StartBackground "$testClient" create "$@" >"$idFile"
    WaitUntil 10 test -s "$idFile"
    ownerId=$(cat "$idFile")
}
