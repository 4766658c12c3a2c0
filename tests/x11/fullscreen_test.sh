#!/usr/bin/env bash
# The full-screen saver under Xvfb: what ends it and what does not.
# Usage: fullscreen_test.sh ORRELIN TEST_CLIENT pointer|key|button|focus
set -euo pipefail
orrelin=$1
testClient=$2
case=$3
source "$(dirname "$0")/xvfb_session.sh"
StartXvfb

if [ "$case" = focus ]; then
    StartOwnerWindow
fi
xdotool mousemove 500 400
StartBackground "$orrelin" --fullscreen
saver=$lastPid
WaitUntil 10 xdotool search --name '^Orrelin$'
window=$(xdotool search --name '^Orrelin$' | head -n1)
# The saver takes focus once it has its anchor and its grabs.
HasFocus() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$window" ]; }
WaitUntil 10 HasFocus
geometry=$(xdotool getwindowgeometry "$window")
echo "$geometry" | grep -q 'Geometry: 1024x768' || Fail "does not cover the screen: $geometry"

case $case in
pointer)
    # 2 right and 2 down adds up to the threshold, which is allowed.
    xdotool mousemove 502 400
    xdotool mousemove 502 402
    ExpectRunning "$saver" 0.3
    xdotool mousemove 503 402
    ;;
key)
    ExpectRunning "$saver" 0.2
    xdotool key a
    ;;
button)
    ExpectRunning "$saver" 0.2
    xdotool click 3
    ;;
focus)
    ExpectRunning "$saver" 0.2
    xdotool windowfocus "$ownerId"
    ;;
*)
    Fail "unknown case $case"
    ;;
esac
WaitForExit "$saver" 1
[ "$exitStatus" -eq 0 ] || Fail "exit status $exitStatus"
echo "PASS fullscreen $case"
