#!/usr/bin/env bash
# The program's answers to its command line, without any display: --help and
# --version, and every refused command line (status 2, one line naming the
# problem and a hint, and nothing created).
# Usage: command_line_test.sh ORRELIN
set -euo pipefail
orrelin=$1
work=$(mktemp -d "${TMPDIR:-/tmp}/orrelin-cli.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"
# A command line that got as far as a display would fail with status 1 instead.
unset DISPLAY WAYLAND_DISPLAY XSCREENSAVER_WINDOW

failures=0
Check() {
    if ! eval "$2"; then
        echo "FAIL [$1]: $3" >&2
        failures=$((failures + 1))
    fi
}

# Refused command lines: arguments, then words the one-line message must contain.
refused=(
    "--bogus|unknown option '--bogus'"
    "-fullscreen --bogus|unknown option '--bogus'"
    "stray|unexpected argument 'stray'"
    "--window-id|'--window-id' needs a value"
    "--window-id nope|invalid window id 'nope'"
    "-window-id 0|invalid window id '0'"
    "--window-id 0x1g|invalid window id '0x1g'"
    "--snapshot|'--snapshot' needs a value"
    "--snapshot out.png --size 0x10|invalid size '0x10'"
    "--snapshot out.png --size 100000x10|invalid size '100000x10'"
    "--snapshot out.png --size 64|invalid size '64'"
    "--snapshot out.png --frame 0|invalid frame number '0'"
    "--snapshot out.png --frame 99999999|invalid frame number '99999999'"
    "--snapshot out.png --frame|'--frame' needs a value"
    "--fullscreen --root|'--fullscreen' and '--root' do not go together"
    "--snapshot out.png -window-id 5|'--snapshot' and '--window-id' do not go together"
    "--size 64x48|'--size' only goes with '--snapshot'"
    "--root --frame 3|'--frame' only goes with '--snapshot'"
    "--root=yes|'--root' takes no value"
)
for row in "${refused[@]}"; do
    args=${row%%|*}
    words=${row#*|}
    status=0
    # shellcheck disable=SC2086 # the arguments are split on purpose
    "$orrelin" $args >stdout 2>stderr || status=$?
    Check "$args" '[ "$status" -eq 2 ]' "exit status $status"
    Check "$args" '[ ! -s stdout ]' "wrote to stdout"
    Check "$args" '[ "$(wc -l <stderr)" -eq 2 ]' "stderr is not two lines: $(cat stderr)"
    Check "$args" 'head -n1 stderr | grep -q "^orrelin: "' "no program name: $(cat stderr)"
    Check "$args" 'head -n1 stderr | grep -qF -- "$words"' "message lacks '$words': $(cat stderr)"
    Check "$args" '[ "$(sed -n 2p stderr)" = "Try '"'"'orrelin --help'"'"'." ]' "no hint"
    Check "$args" '[ -z "$(ls -A | grep -vx -e stdout -e stderr)" ]' "created $(ls -A)"
done

for args in --help -help; do
    status=0
    "$orrelin" $args >stdout 2>stderr || status=$?
    Check "$args" '[ "$status" -eq 0 ]' "exit status $status"
    Check "$args" 'head -n1 stdout | grep -q "^Usage: orrelin"' "no usage: $(head -n1 stdout)"
    for option in --fullscreen --root --window-id --snapshot --size --frame --version; do
        Check "$args" 'grep -q -- "$option" stdout' "usage does not mention $option"
    done
    Check "$args" '[ ! -s stderr ]' "wrote to stderr"
done
for args in --version -version; do
    status=0
    "$orrelin" $args >stdout 2>stderr || status=$?
    Check "$args" '[ "$status" -eq 0 ]' "exit status $status"
    Check "$args" '[ "$(cat stdout)" = "orrelin 1.0" ]' "version text: $(cat stdout)"
    Check "$args" '[ ! -s stderr ]' "wrote to stderr"
done

[ "$failures" -eq 0 ] || exit 1
echo "PASS ${#refused[@]} refused command lines, help and version"
