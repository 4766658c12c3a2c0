#!/usr/bin/env bash
# The default window: its title and size, and what closes it.
# Usage: window_test.sh ORRELIN TEST_CLIENT q|Escape|close-button
set -euo pipefail
orrelin=$1
testClient=$2
case=$3
source "$(dirname "$0")/xvfb_session.sh"
StartXvfb

StartBackground "$orrelin"
saver=$lastPid
WaitUntil 10 xdotool search --onlyvisible --name '^Orrelin$'
window=$(xdotool search --onlyvisible --name '^Orrelin$' | head -n1)
geometry=$(xdotool getwindowgeometry "$window")
echo "$geometry" | grep -q 'Geometry: 800x600' || Fail "unexpected size: $geometry"
xdotool windowfocus --sync "$window"
# Other keys, the pointer and buttons belong to the user of a window.
xdotool key a mousemove 10 10 click 1
ExpectRunning "$saver" 0.3
case $case in
q | Escape)
    xdotool key "$case"
    ;;
close-button)
    "$testClient" close "$window"
    ;;
*)
    Fail "unknown case $case"
    ;;
esac
WaitForExit "$saver" 2
[ "$exitStatus" -eq 0 ] || Fail "exit status $exitStatus"
echo "PASS window $case"
