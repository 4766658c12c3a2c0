#!/usr/bin/env bash
# End-to-end checks of Orrelin.scr under Wine: real input through the X
# server (xdotool), full exit codes and window facts through the driver.
#
#   e2e.sh SCENARIO
#
# CTest passes the places through the environment: ORRELIN_HARNESS,
# ORRELIN_SESSION, ORRELIN_SCR, ORRELIN_DRIVER, ORRELIN_GUARD_PROBE,
# ORRELIN_MODULES and ORRELIN_SCRATCH.
set -uo pipefail

scenario=${1:?scenario}

# Run inside the shared Wine session (display, prefix, quiet Wine).
if [ -z "${ORRELIN_IN_SESSION:-}" ]; then
    exec "$ORRELIN_HARNESS" exec "$ORRELIN_SESSION" env ORRELIN_IN_SESSION=1 "$0" "$@"
fi

scratch=$ORRELIN_SCRATCH
rm -rf "$scratch"
mkdir -p "$scratch/saver"
# The saver runs from a folder of its own, where the tests put the stand-in
# system modules beside it.
cp "$ORRELIN_SCR" "$scratch/saver/Orrelin.scr"
saver="$scratch/saver/Orrelin.scr"
log="$scratch/wine.log"
failures=0
background=()

WinPath() {
    local path=$1
    printf 'Z:%s' "${path//\//\\}"
}
saverWin=$(WinPath "$saver")

# Runs the driver; its output without carriage returns. Every call and its
# output also go to driver.log in the scratch folder, for the post-mortem.
Drv() {
    echo "> driver $*" >>"$scratch/driver.log"
    wine "$ORRELIN_DRIVER" "$@" 2>>"$log" | tr -d '\r' | tee -a "$scratch/driver.log"
}

# Starts the driver in the background, output to FILE.
DrvBackground() {
    local output=$1
    shift
    (wine "$ORRELIN_DRIVER" "$@" 2>>"$log" | tr -d '\r' >"$output") &
    background+=($!)
}

# Field KEY TEXT: the value of "KEY=value" in TEXT.
Field() {
    printf '%s\n' "$2" | sed -n "s/^$1=//p" | head -n 1
}

Fail() {
    echo "FAIL: $*"
    echo "FAIL: $*" >>"$scratch/driver.log"
    failures=$((failures + 1))
}

Expect() {
    local what=$1 actual=$2 expected=$3
    if [ "$actual" = "$expected" ]; then
        echo "ok: $what = $expected"
    else
        Fail "$what: expected '$expected', got '$actual'"
    fi
}

# WaitFor SECONDS COMMAND...: polls until COMMAND succeeds.
WaitFor() {
    local seconds=$1
    shift
    local deadline=$((SECONDS + seconds))
    until "$@"; do
        [ $SECONDS -lt $deadline ] || return 1
        sleep 0.1
    done
}

HasExit() { grep -q '^exit=' "$1" 2>/dev/null; }

# WaitExit FILE: the exit line of a background run, or "none" after 20 s.
WaitExit() {
    if WaitFor 20 HasExit "$1"; then
        sed -n 's/^exit=//p' "$1" | head -n 1
    else
        echo none
    fi
}

RegAdd() { wine reg add "$@" /f >>"$log" 2>&1; }
RegDelete() { wine reg delete "$@" /f >>"$log" 2>&1 || true; }

kAppDefaults='HKCU\Software\Wine\AppDefaults\Orrelin.scr'
kDesktop='HKCU\Control Panel\Desktop'

Cleanup() {
    # A saver left behind by a failed check must not outlive the test.
    Drv terminate >/dev/null 2>&1 || true
    Drv gone 5000 >/dev/null 2>&1 || true
    local pid
    for pid in "${background[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    RegDelete "$kAppDefaults"
    RegDelete "$kDesktop" /v ScreenSaveUsePassword
}
trap Cleanup EXIT

# StartFullScreen RESULT_FILE: starts "/s" and waits for its window; the
# window facts go to $saverInfo.
StartFullScreen() {
    DrvBackground "$1" run 60000 "$(WinPath "$1.exit")" "\"$saverWin\" /s"
    saverInfo=$(Drv saver 20000)
    if [ "$(Field found "$saverInfo")" != 1 ]; then
        Fail "no full-screen saver window appeared"
        return 1
    fi
}

Screenshot() {
    import -silent -window root "$1" 2>>"$log"
}

# The colour at a point of a screenshot, as "r g b" in 0..255.
PixelAt() {
    convert "$1" -format '%[fx:int(255*p{'"$2"','"$3"'}.r+0.5)] %[fx:int(255*p{'"$2"','"$3"'}.g+0.5)] %[fx:int(255*p{'"$2"','"$3"'}.b+0.5)]' info: 2>>"$log"
}

FirstFrameShown() {
    Screenshot "$scratch/frame.png" || return 1
    [ "$(PixelAt "$scratch/frame.png" 3 3)" != "0 0 0" ]
}

# Is "r g b" a colour of the background cycle, for some counter value in the
# first minutes of running?
IsCycleColour() {
    awk -v rgb="$1" 'BEGIN {
        split(rgb, c, " ")
        for (t = 0; t <= 2000000; t += 11) {
            r = (sin(t * 0.001) + 1) * 0.5 * 255
            g = (sin(t * 0.0014285714) + 1) * 0.5 * 255
            b = (sin(t * 0.0025) + 1) * 0.5 * 255
            if ((r - c[1]) ^ 2 < 2.25 && (g - c[2]) ^ 2 < 2.25 && (b - c[3]) ^ 2 < 2.25) {
                print t
                exit 0
            }
        }
        exit 1
    }'
}

ScenarioFullScreen() {
    xdotool mousemove 500 400
    StartFullScreen "$scratch/run" || return
    Expect "class" "$(Field saver_class "$saverInfo")" WindowsScreenSaverClass
    Expect "title" "$(Field saver_title "$saverInfo")" "Screen Saver"
    Expect "style" "$(Field saver_style "$saverInfo")" 0x96000000
    Expect "topmost" "$(Field topmost "$saverInfo")" 1
    Expect "pointer hidden" "$(Field cursor_hidden "$saverInfo")" 1
    local virtual
    virtual=$(Field virtual_screen "$saverInfo")
    read -r vx vy vw vh <<<"$virtual"
    Expect "window rectangle" "$(Field saver_rect "$saverInfo")" "$vx $vy $((vx + vw)) $((vy + vh))"

    # The first frame replaces the black of the class brush.
    if WaitFor 20 FirstFrameShown; then
        echo "ok: a frame is on the screen"
    else
        Fail "no frame was drawn"
    fi
    Screenshot "$scratch/running.png"
    local background white counter
    background=$(PixelAt "$scratch/running.png" 1 1)
    white=$(convert "$scratch/running.png" -fill black +opaque white \
        -format '%[fx:round(mean*w*h)]' info: 2>>"$log")
    echo "background: $background; white pixels: $white"
    if counter=$(IsCycleColour "$background"); then
        echo "ok: the background is the cycle's colour at counter $counter"
    else
        Fail "background $background is no colour of the cycle"
    fi
    [ "${white:-0}" -gt 0 ] && echo "ok: white points drawn" || Fail "no white points"

    # The anchor is where the pointer was when the window was made.
    xdotool mousemove 502 402
    sleep 0.7
    Expect "running after moving 2 right and 2 down" \
        "$(Field found "$(Drv saver 0)")" 1
    HasExit "$scratch/run" && Fail "the saver ended early: $(cat "$scratch/run")"
    xdotool mousemove 503 402
    Expect "exit code after one pixel more" "$(WaitExit "$scratch/run")" 0
}

ScenarioInputCloses() {
    local input
    for input in "key a" "key shift" "click 1" "click 3"; do
        xdotool mousemove 300 300
        StartFullScreen "$scratch/run-$input" || return
        sleep 0.5
        # shellcheck disable=SC2086
        xdotool $input
        Expect "exit code after $input" "$(WaitExit "$scratch/run-$input")" 0
    done
}

ScenarioSecondInstance() {
    xdotool mousemove 300 300
    StartFullScreen "$scratch/first" || return
    local first second
    first=$(Field saver_hwnd "$saverInfo")
    second=$(Drv run 20000 "$(WinPath "$scratch/second")" "\"$saverWin\" /s")
    Expect "second start's exit code" "$(Field exit "$second")" 0
    local info
    info=$(Drv saver 0)
    Expect "the first saver window" "$(Field saver_hwnd "$info")" "$first"
    Expect "saver windows" "$(Field saver_count "$info")" 1
    Expect "first saver in the foreground" "$(Field foreground "$info")" 1
    HasExit "$scratch/first" && Fail "the first saver ended: $(cat "$scratch/first")"
    xdotool key a
    Expect "first saver's exit code" "$(WaitExit "$scratch/first")" 0
}

ScenarioPreview() {
    local sync="$scratch/sync"
    mkdir -p "$sync"
    DrvBackground "$scratch/preview" preview 30000 "$(WinPath "$sync")" "$saverWin"
    if ! WaitFor 20 test -s "$sync/ready"; then
        Fail "the preview did not start: $(cat "$scratch/preview")"
        return
    fi
    local left top right bottom
    read -r left top right bottom <<<"$(sed -n 's/^parent_screen=//p' "$sync/ready")"
    # Input over the preview must not end it.
    xdotool mousemove $((left + 20)) $((top + 20))
    sleep 0.2
    xdotool mousemove $((left + 100)) $((top + 80)) click 1 key a click 3
    sleep 0.7
    touch "$sync/go"
    WaitFor 20 HasExit "$scratch/preview" || true
    local out
    out=$(cat "$scratch/preview")
    echo "$out"
    Expect "parent client area" "$(Field parent_client "$out")" "152 112"
    Expect "child class" "$(Field child_class "$out")" WindowsScreenSaverClass
    Expect "child title" "$(Field child_title "$out")" Preview
    Expect "child style" "$(Field child_style "$out")" 0x52000000
    Expect "child rectangle in the parent" "$(Field child_in_parent "$out")" "0 0 152 112"
    Expect "child's parent" "$(Field child_parent_matches "$out")" 1
    Expect "running after input" "$(Field running_after_input "$out")" 1
    Expect "context menu answered" "$(Field contextmenu_result "$out")" 1
    Expect "context menus at the parent" "$(Field parent_contextmenus "$out")" 1
    Expect "with the parent's handle" "$(Field parent_contextmenus_with_parent_handle "$out")" 1
    Expect "exit code after the parent went" "$(Field exit "$out")" 0
}

ScenarioBadOptions() {
    local arguments out
    # The window watch itself: the settings dialog is a window (the run ends
    # at the timeout).
    out=$(Drv run 3000 "$(WinPath "$scratch/control")" "\"$saverWin\" /c")
    Expect "windows seen from /c" "$(Field windows_seen "$out")" 1
    for arguments in "/p" "/p 0" "/p 123456789" "/l" "/x" "-q"; do
        out=$(Drv run 20000 "$(WinPath "$scratch/bad")" "\"$saverWin\" $arguments")
        Expect "exit code of '$arguments'" "$(Field exit "$out")" -1
        Expect "no window from '$arguments'" "$(Field windows_seen "$out")" 0
    done
}

# Dialog OWNER_MODE COMMAND_LINE KEY: runs the settings dialog, presses KEY in
# it and leaves the driver's report in $dialogOut.
Dialog() {
    local mode=$1 commandLine=$2 key=$3
    local sync="$scratch/sync-$RANDOM"
    mkdir -p "$sync"
    DrvBackground "$sync/out" dialog 30000 "$(WinPath "$sync")" "$mode" "$commandLine"
    if ! WaitFor 20 test -s "$sync/ready"; then
        dialogOut=$(cat "$sync/out")
        Fail "no dialog: $dialogOut"
        return 1
    fi
    local left top right bottom
    read -r left top right bottom <<<"$(sed -n 's/^dialog_rect=//p' "$sync/ready")"
    # The pointer over the dialog, so the key reaches it.
    xdotool mousemove $(((left + right) / 2)) $((top + 5))
    sleep 0.3
    xdotool key "$key"
    WaitFor 20 HasExit "$sync/out" || true
    dialogOut=$(cat "$sync/out")
}

ScenarioConfig() {
    Dialog none "\"$saverWin\" /c" Return || return
    Expect "/c, Enter: exit code" "$(Field exit "$dialogOut")" 1
    Dialog none "\"$saverWin\" /c" Escape || return
    Expect "/c, Escape: exit code" "$(Field exit "$dialogOut")" 0
    Dialog owned "\"$saverWin\" /c:%OWNER%" Escape || return
    Expect "/c:HWND owner" "$(Field dialog_owner_is_driver_window "$dialogOut")" 1
    Expect "/c:HWND, Escape: exit code" "$(Field exit "$dialogOut")" 0
    # Without the colon the number is no owner: the foreground window is.
    Dialog foreground "\"$saverWin\" /c %OWNER%" Escape || return
    Expect "/c HWND: the driver's window is in the foreground" \
        "$(Field foreground_is_owner "$dialogOut")" 1
    Expect "/c HWND: owner is the foreground window" \
        "$(Field dialog_owner_is_driver_window "$dialogOut")" 1
    Dialog none "\"$saverWin\"" Return || return
    Expect "no option: owner" "$(Field dialog_owner "$dialogOut")" 0
    Expect "no option, Enter: exit code" "$(Field exit "$dialogOut")" 1
}

UseWin98() {
    RegAdd "$kAppDefaults" /v Version /t REG_SZ /d win98
}

PasswordLogLines() {
    if [ -f "$scratch/password.log" ]; then
        wc -l <"$scratch/password.log"
    else
        echo 0
    fi
}

ScenarioPasswordWin9x() {
    UseWin98
    RegAdd "$kDesktop" /v ScreenSaveUsePassword /t REG_DWORD /d 1
    cp "$ORRELIN_MODULES/password/PASSWORD.CPL" "$scratch/saver/"
    export ORRELIN_PASSWORD_LOG
    ORRELIN_PASSWORD_LOG=$(WinPath "$scratch/password.log")
    export ORRELIN_PASSWORD_ACCEPT_FROM=2
    xdotool mousemove 300 300
    StartFullScreen "$scratch/run" || return
    Expect "saver-running flag while protected" "$(Field saver_running "$(Drv spi)")" 1
    sleep 0.5
    # Two presses 100 ms apart: the first asks and is refused, the second
    # comes within 200 ms of that prompt and asks nothing.
    xdotool key --delay 100 a b
    WaitFor 10 test "$(PasswordLogLines)" -ge 1 || true
    sleep 0.5
    Expect "prompts after two quick presses" "$(PasswordLogLines)" 1
    local info
    info=$(Drv saver 0)
    Expect "running after the refusal" "$(Field found "$info")" 1
    Expect "pointer hidden after the refusal" "$(Field cursor_hidden "$info")" 1
    HasExit "$scratch/run" && Fail "the saver ended: $(cat "$scratch/run")"
    # Later: asked again, accepted, closed.
    xdotool key c
    Expect "exit code after the accepted password" "$(WaitExit "$scratch/run")" 0
    Expect "prompts in all" "$(PasswordLogLines)" 2
    grep -q 'call=2 .*accepted=1' "$scratch/password.log" && echo "ok: second prompt accepted" ||
        Fail "second prompt not accepted: $(cat "$scratch/password.log")"
    Expect "saver-running flag after the run" "$(Field saver_running "$(Drv spi)")" 0
}

ScenarioNoPasswordWin9x() {
    UseWin98
    cp "$ORRELIN_MODULES/password/PASSWORD.CPL" "$scratch/saver/"
    export ORRELIN_PASSWORD_LOG
    ORRELIN_PASSWORD_LOG=$(WinPath "$scratch/password.log")
    local setting
    for setting in absent 0; do
        if [ "$setting" = absent ]; then
            RegDelete "$kDesktop" /v ScreenSaveUsePassword
        else
            RegAdd "$kDesktop" /v ScreenSaveUsePassword /t REG_DWORD /d "$setting"
        fi
        xdotool mousemove 300 300
        StartFullScreen "$scratch/run-$setting" || return
        sleep 0.5
        xdotool key a
        Expect "value $setting: exit code after the first key" \
            "$(WaitExit "$scratch/run-$setting")" 0
        Expect "value $setting: prompts" "$(PasswordLogLines)" 0
    done
}

ScenarioChangePassword() {
    cp "$ORRELIN_MODULES/mpr/MPR.DLL" "$scratch/saver/"
    export ORRELIN_MPR_LOG
    ORRELIN_MPR_LOG=$(WinPath "$scratch/mpr.log")
    export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;mpr=n"
    local out owner
    # The NT family has no saver password to change.
    out=$(Drv run 20000 "$(WinPath "$scratch/a-nt")" "\"$saverWin\" /a %OWNER%")
    Expect "NT family: /a exit code" "$(Field exit "$out")" -1
    [ -e "$scratch/mpr.log" ] && Fail "NT family called the change function"
    UseWin98
    out=$(Drv run 20000 "$(WinPath "$scratch/a-98")" "\"$saverWin\" /a %OWNER%")
    owner=$(Field owner_hwnd "$out")
    Expect "Windows 98: /a exit code" "$(Field exit "$out")" 0
    Expect "change function arguments" "$(tr -d '\r' <"$scratch/mpr.log" 2>/dev/null)" \
        "provider=SCRSAVE owner=$owner reserved1=0 reserved2=0"
}

ScenarioAutoPlay() {
    local out
    # NT family: the message is not registered by the saver and means nothing.
    xdotool mousemove 300 300
    StartFullScreen "$scratch/nt" || return
    out=$(Drv message QueryCancelAutoPlay 0 0)
    Expect "NT family: message sent" "$(Field sent "$out")" 1
    sleep 0.5
    Expect "NT family: running after the message" "$(Field found "$(Drv saver 0)")" 1
    xdotool key a
    Expect "NT family: exit code after a key" "$(WaitExit "$scratch/nt")" 0

    UseWin98
    StartFullScreen "$scratch/98" || return
    out=$(Drv message QueryCancelAutoPlay 0 0)
    Expect "Windows 98: answer without a password" "$(Field result "$out")" 0
    Expect "Windows 98: exit code after the message" "$(WaitExit "$scratch/98")" 0
}

ScenarioGuard() {
    local probe out
    probe=$(WinPath "$ORRELIN_GUARD_PROBE")
    out=$(Drv run 20000 "$(WinPath "$scratch/g0")" "\"$probe\" return")
    Expect "guarded body's own result" "$(Field exit "$out")" 7
    Expect "flag untouched without an exception" "$(Field saver_running "$(Drv spi)")" 1
    local kind
    for kind in raise null-write; do
        out=$(Drv run 20000 "$(WinPath "$scratch/g-$kind")" "\"$probe\" $kind")
        Expect "$kind: exit code" "$(Field exit "$out")" -1
        Expect "$kind: saver-running flag cleared" "$(Field saver_running "$(Drv spi)")" 0
    done
}

# Each scenario starts without any saver on the screen; one left by an
# interrupted test goes first.
if [ "$(Field gone "$(Drv gone 2000)")" != 1 ]; then
    echo "note: ending a saver left by an earlier test"
    Drv terminate >/dev/null
    if [ "$(Field gone "$(Drv gone 5000)")" != 1 ]; then
        Fail "a saver of an earlier test is still running"
        exit 1
    fi
fi

case "$scenario" in
fullscreen) ScenarioFullScreen ;;
input_closes) ScenarioInputCloses ;;
second_instance) ScenarioSecondInstance ;;
preview) ScenarioPreview ;;
bad_options) ScenarioBadOptions ;;
config) ScenarioConfig ;;
password_win9x) ScenarioPasswordWin9x ;;
no_password_win9x) ScenarioNoPasswordWin9x ;;
change_password) ScenarioChangePassword ;;
autoplay) ScenarioAutoPlay ;;
guard) ScenarioGuard ;;
*)
    echo "unknown scenario $scenario" >&2
    exit 2
    ;;
esac

if [ "$failures" -ne 0 ]; then
    echo "--- driver calls and answers (from $scratch/driver.log):"
    cat "$scratch/driver.log"
    echo "$failures check(s) failed"
    exit 1
fi
echo "all checks passed"
