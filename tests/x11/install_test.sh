#!/usr/bin/env bash
# cmake --install puts the program, its XScreenSaver settings file and its
# manual page where XScreenSaver looks for them.
# Usage: install_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1
source=$2
prefix=$(mktemp -d "${TMPDIR:-/tmp}/orrelin-install.XXXXXX")
trap 'rm -rf "$prefix"' EXIT

Fail() {
    echo "FAIL: $*" >&2
    exit 1
}

cmake --install "$build" --prefix "$prefix" >/dev/null
program=$prefix/libexec/xscreensaver/orrelin
config=$prefix/share/xscreensaver/config/orrelin.xml
manual=$prefix/share/man/man6/orrelin.6
[ -x "$program" ] || Fail "no program at $program"
[ "$("$program" --version)" = "orrelin 1.0" ] || Fail "the installed program does not run"
cmp -s "$config" "$source/x11/orrelin.xml" || Fail "no settings file at $config"
cmp -s "$manual" "$source/x11/orrelin.6" || Fail "no manual page at $manual"
if command -v xmllint >/dev/null; then
    xmllint --noout "$config" || Fail "the settings file is not well-formed XML"
fi
grep -q '<screensaver name="orrelin" _label="Orrelin" gl="yes">' "$config" ||
    Fail "the settings file does not describe orrelin"
grep -q '<command arg="--root"/>' "$config" || Fail "the settings file lacks --root"
echo "PASS install into $prefix"
