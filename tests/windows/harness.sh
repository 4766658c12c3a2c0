#!/usr/bin/env bash
# One Xvfb display and one private Wine prefix shared by the Wine tests of a
# CTest run.
#
#   harness.sh setup SESSION       start Xvfb, create the prefix, keep wineserver up
#   harness.sh cleanup SESSION     stop wineserver and Xvfb, delete SESSION
#   harness.sh exec SESSION CMD..  run CMD with the session's environment
#   harness.sh wine SESSION EXE..  run a Windows program under Wine (also the
#                                  cross-compiling emulator of the test programs)
#
# SESSION is a directory of its own per build tree, so two build trees never
# share a display or a prefix.
set -euo pipefail

kScreen=1024x768x24

Usage() {
    echo "usage: $0 setup|cleanup|exec|wine SESSION [COMMAND...]" >&2
    exit 2
}

[ $# -ge 2 ] || Usage
action=$1
session=$(realpath -m "$2")
shift 2

# The environment every Wine program of the session runs in.
LoadSession() {
    if [ ! -f "$session/display" ]; then
        echo "no Wine session in $session (run the setup first)" >&2
        exit 1
    fi
    DISPLAY=":$(cat "$session/display")"
    export DISPLAY
    export WINEPREFIX="$session/prefix"
    export WINEDEBUG=-all
    # No Mono or Gecko installer dialogs.
    export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:+$WINEDLLOVERRIDES;}mscoree,mshtml="
    export WINEARCH=win64
}

StopSession() {
    if [ -d "$session/prefix" ]; then
        WINEPREFIX="$session/prefix" wineserver -k >/dev/null 2>&1 || true
        WINEPREFIX="$session/prefix" timeout 20 wineserver -w >/dev/null 2>&1 || true
    fi
    if [ -f "$session/xvfb.pid" ]; then
        local pid
        pid=$(cat "$session/xvfb.pid")
        # Only our own Xvfb: the pid must still belong to an Xvfb process.
        if [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = "Xvfb" ]; then
            kill "$pid" 2>/dev/null || true
            for _ in $(seq 50); do
                kill -0 "$pid" 2>/dev/null || break
                sleep 0.1
            done
            kill -9 "$pid" 2>/dev/null || true
        fi
    fi
    rm -rf "$session"
}

case "$action" in
setup)
    # A session left behind by an interrupted run goes first.
    StopSession
    mkdir -p "$session"
    trap 'StopSession' ERR
    # Xvfb writes the display number it picked to fd 3; it must not inherit
    # CTest's output pipes, or CTest would wait for it.
    setsid Xvfb -displayfd 3 -screen 0 "$kScreen" -nolisten tcp -noreset \
        3>"$session/display" </dev/null >"$session/xvfb.log" 2>&1 &
    echo $! >"$session/xvfb.pid"
    for _ in $(seq 100); do
        [ -s "$session/display" ] && break
        sleep 0.1
    done
    [ -s "$session/display" ] || {
        echo "Xvfb did not start" >&2
        cat "$session/xvfb.log" >&2
        false
    }
    LoadSession
    # The prefix's first start takes a while; every later program starts fast
    # because the wineserver stays up until the cleanup stops it.
    mkdir -p "$WINEPREFIX"
    setsid wineserver -p </dev/null >/dev/null 2>&1
    timeout 120 wine wineboot -i </dev/null >"$session/wineboot.log" 2>&1
    # No debugger is installed, as on a plain Windows: Wine would otherwise
    # start its own on a crash, and that ends the program before its
    # unhandled-exception filter has had its say.
    timeout 60 wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
        /v Auto /t REG_SZ /d 1 /f >/dev/null 2>&1
    timeout 60 wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
        /v Debugger /t REG_SZ /d 'no-debugger-installed.exe %ld %ld' /f >/dev/null 2>&1
    timeout 60 wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD \
        /d 0 /f >/dev/null 2>&1
    # There is no window manager on the display: without this, every window
    # that goes away waits two seconds for one to acknowledge it.
    timeout 60 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
        >/dev/null 2>&1
    echo "Wine session ready on display $DISPLAY"
    ;;
cleanup)
    StopSession
    echo "Wine session stopped"
    ;;
exec)
    [ $# -ge 1 ] || Usage
    LoadSession
    exec "$@"
    ;;
wine)
    [ $# -ge 1 ] || Usage
    LoadSession
    exec wine "$@"
    ;;
*)
    Usage
    ;;
esac
