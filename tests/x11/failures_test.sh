#!/usr/bin/env bash
# Run-time failures end with status 1 and one clear line, never a crash: no
# display, a display no server listens on, a window id that names no window.
# Usage: failures_test.sh ORRELIN TEST_CLIENT
set -euo pipefail
orrelin=$1
testClient=$2
source "$(dirname "$0")/xvfb_session.sh"
StartXvfb
live=$DISPLAY
cd "$sessionDir"

# A display number nobody serves: Xvfb -displayfd hands out the lowest free ones.
dead=$((40000 + RANDOM))
while [ -e "/tmp/.X11-unix/X$dead" ]; do dead=$((dead + 1)); done

ownerless=$("$testClient" root)
# An id in this server's range for clients that do not exist.
missing=0x7e00001

# Rows: environment|arguments|words the message must contain
cases=(
    "-u DISPLAY|--fullscreen|cannot open the X display: DISPLAY is not set"
    "-u DISPLAY|--window-id 0x400001|cannot open the X display: DISPLAY is not set"
    "DISPLAY=:$dead||cannot open the X display ':$dead'"
    "DISPLAY=:$dead|--root|cannot open the X display ':$dead'"
    "DISPLAY=$live|--window-id $missing|no window $missing"
    "DISPLAY=$live|-window-id 1|no window 0x1"
    "DISPLAY=$live XSCREENSAVER_WINDOW=$missing|--root|no window $missing"
    "DISPLAY=$live XSCREENSAVER_WINDOW=root|--root|XSCREENSAVER_WINDOW is not a window id"
)
failures=0
for row in "${cases[@]}"; do
    IFS='|' read -r environment args words <<<"$row"
    status=0
    # shellcheck disable=SC2086
    env $environment "$orrelin" $args >stdout 2>stderr || status=$?
    problem=""
    [ "$status" -eq 1 ] || problem="exit status $status"
    [ "$(wc -l <stderr)" -eq 1 ] || problem="$problem; stderr: $(cat stderr)"
    grep -qF -- "orrelin: $words" stderr || problem="$problem; message: $(cat stderr)"
    if [ -n "$problem" ]; then
        echo "FAIL [$environment $args]: $problem" >&2
        failures=$((failures + 1))
    fi
done
# The server is still fine after the bad ids, and so is the root window.
"$testClient" pixel "$ownerless" 0 0 >/dev/null || Fail "the X server did not survive"
[ "$failures" -eq 0 ] || exit 1
echo "PASS ${#cases[@]} failure cases"
