#!/usr/bin/env bash
# The XScreenSaver modes: drawing into another client's window or the root
# window until a signal, ignoring input.
# Usage: hack_modes_test.sh ORRELIN TEST_CLIENT CASE
#   window-id         draws into the window; SIGTERM ends it
#   window-id-sigint  the same, ended by SIGINT
#   single-buffered   the window's visual has no back buffer
#   owner-destroys    the owner destroys the window while the saver draws
#   root              the root window; SIGTERM ends it
#   xscreensaver      --root with XSCREENSAVER_WINDOW naming the window
set -euo pipefail
orrelin=$1
testClient=$2
case=$3
source "$(dirname "$0")/xvfb_session.sh"
StartXvfb

CornerShowsCycle() { IsCycleColour "$("$testClient" pixel "$1" 0 0)"; }

# ExpectDrawing WINDOW: two corner samples a moment apart are both background
# colours of the cycle, and differ (the picture is animated).
ExpectDrawing() {
    local first second
    WaitUntil 10 CornerShowsCycle "$1"
    first=$("$testClient" pixel "$1" 0 0)
    sleep 0.3
    second=$("$testClient" pixel "$1" 319 239)
    IsCycleColour "$second" || Fail "corner colour $second is not a background colour"
    [ "$first" != "$second" ] || Fail "the picture does not change ($first)"
}

signal=TERM
case $case in
window-id | window-id-sigint | single-buffered | owner-destroys)
    if [ "$case" = single-buffered ]; then
        StartOwnerWindow single
    else
        StartOwnerWindow
    fi
    [ "$("$testClient" pixel "$ownerId" 0 0)" = "0 0 0" ] || Fail "owner window is not black"
    StartBackground "$orrelin" -window-id "$ownerId"
    saver=$lastPid
    ExpectDrawing "$ownerId"
    # Input is the owner's business.
    xdotool mousemove 100 100 click 1 key q
    ExpectRunning "$saver" 0.2
    [ "$case" = window-id-sigint ] && signal=INT
    ;;
root)
    StartBackground "$orrelin" --root
    saver=$lastPid
    ExpectDrawing "$("$testClient" root)"
    ;;
xscreensaver)
    StartOwnerWindow
    XSCREENSAVER_WINDOW=$ownerId StartBackground "$orrelin" --root
    saver=$lastPid
    ExpectDrawing "$ownerId"
    ;;
*)
    Fail "unknown case $case"
    ;;
esac

if [ "$case" = owner-destroys ]; then
    "$testClient" destroy "$ownerId"
else
    kill -s "$signal" "$saver"
fi
WaitForExit "$saver" 2
[ "$exitStatus" -eq 0 ] || Fail "exit status $exitStatus"
echo "PASS $case"
