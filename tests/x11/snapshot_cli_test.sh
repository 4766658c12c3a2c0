#!/usr/bin/env bash
# --snapshot from the command line: a PNG of the requested size without any
# display server, and status 1 with nothing left behind when it cannot be written.
# Usage: snapshot_cli_test.sh ORRELIN
set -euo pipefail
orrelin=$1
work=$(mktemp -d "${TMPDIR:-/tmp}/orrelin-snap.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"
unset DISPLAY WAYLAND_DISPLAY

Fail() {
    echo "FAIL: $*" >&2
    exit 1
}

"$orrelin" --snapshot frame.png -size 64x48 --frame=3 || Fail "snapshot failed"
# PNG signature, then the IHDR chunk's width and height (big-endian).
[ "$(od -An -tx1 -N8 frame.png | tr -d ' \n')" = 89504e470d0a1a0a ] || Fail "not a PNG"
[ "$(od -An -tu1 -j16 -N8 frame.png | tr -s ' ' | sed 's/^ //')" = "0 0 0 64 0 0 0 48" ] ||
    Fail "not 64x48"

mkdir directory
for target in missing/dir/out.png directory; do
    status=0
    "$orrelin" --snapshot "$target" --size 8x8 2>stderr || status=$?
    [ "$status" -eq 1 ] || Fail "$target: exit status $status"
    [ "$(wc -l <stderr)" -eq 1 ] && grep -q '^orrelin: ' stderr || Fail "$target: $(cat stderr)"
done
[ -z "$(ls -A directory)" ] || Fail "left files behind: $(ls -A directory)"
[ ! -e missing ] || Fail "created a directory"
echo "PASS snapshot command line"
