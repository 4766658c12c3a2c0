#!/usr/bin/env bash
# Checks a built Orrelin.scr as Windows will load it:
#
#   check_scr.sh i386|x86-64 FILE
#
# machine and GUI subsystem (4.0 subsystem and OS versions for i386), imports
# only from the system DLLs every Windows has, no packer or unknown section,
# and the resources: dialog 2003, bitmap 106 (135 x 65, 24 bits), strings 1-4,
# version information, manifest, and no icon.
set -euo pipefail

[ $# -eq 2 ] || { echo "usage: $0 i386|x86-64 FILE" >&2; exit 2; }
machine=$1
file=$2
failures=0

Fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

Pass() { echo "ok: $*"; }

[ -f "$file" ] || { echo "FAIL: no $file" >&2; exit 1; }

# A binutils objdump that reads PE images of both machines.
objdump=""
for candidate in x86_64-w64-mingw32-objdump objdump; do
    if command -v "$candidate" >/dev/null && "$candidate" -f "$file" >/dev/null 2>&1; then
        objdump=$candidate
        break
    fi
done
[ -n "$objdump" ] || { echo "FAIL: no objdump that reads $file" >&2; exit 1; }

headers=$("$objdump" -p "$file")
sections=$("$objdump" -h "$file")

HeaderField() { awk -v name="$1" '$1 == name { print $2; exit }' <<<"$headers"; }

# Machine and image type.
case $machine in
    i386) expected_format="pei-i386" ;;
    x86-64) expected_format="pei-x86-64" ;;
    *) echo "unknown machine $machine" >&2; exit 2 ;;
esac
format=$(sed -n 's/.*file format \(.*\)$/\1/p' <<<"$headers" | head -n1)
[ "$format" = "$expected_format" ] && Pass "format $format" || Fail "format '$format', want $expected_format"

subsystem=$(HeaderField Subsystem)
[ "$((16#$subsystem))" -eq 2 ] && Pass "GUI subsystem" || Fail "subsystem $subsystem, want 2 (GUI)"

if [ "$machine" = i386 ]; then
    for field in MajorSubsystemVersion MajorOSystemVersion; do
        [ "$(HeaderField $field)" = 4 ] && Pass "$field 4" || Fail "$field $(HeaderField $field), want 4"
    done
    for field in MinorSubsystemVersion MinorOSystemVersion; do
        [ "$(HeaderField $field)" = 0 ] && Pass "$field 0" || Fail "$field $(HeaderField $field), want 0"
    done
fi

# Imports: system DLLs only, compared without regard to case.
kAllowedDlls="kernel32.dll user32.dll gdi32.dll advapi32.dll comctl32.dll opengl32.dll glu32.dll msvcrt.dll"
dlls=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers" | tr 'A-Z' 'a-z' | sort -u)
[ -n "$dlls" ] || Fail "no import table found"
for dll in $dlls; do
    if [[ " $kAllowedDlls " == *" $dll "* ]]; then
        Pass "imports $dll"
    else
        Fail "imports $dll, which is not a system DLL on every Windows"
    fi
done

# Sections: only what the linker makes; a packer brings its own (UPX0, .aspack...).
names=$(awk '$1 ~ /^[0-9]+$/ { print $2 }' <<<"$sections")
for name in $names; do
    if [[ "$name" =~ ^\.(text|data|rdata|pdata|xdata|bss|idata|edata|CRT|tls|rsrc|reloc|eh_fram|eh_frame|debug_[a-z_]+)$ ]]; then
        :
    else
        Fail "unexpected section $name (packed or foreign image?)"
    fi
done
Pass "sections: $(tr '\n' ' ' <<<"$names")"

# Resources: type, name and data address of every leaf of the resource tree.
# objdump indents the levels; the number of spaces before "Entry" tells them apart.
leaves=$(awk '
    function Hex(text,    value, i) {
            value = 0
            for (i = 1; i <= length(text); ++i) value = value * 16 + index("0123456789abcdef", tolower(substr(text, i, 1))) - 1
            return value
        }
    match($0, /^[0-9a-f]+ +Entry: ID: 0x[0-9a-f]+/) {
        indent = index($0, "Entry") - index($0, " ")
        split(substr($0, RSTART, RLENGTH), part, "0x")
        id = Hex(part[2])
        if (indent <= 3) { type = id } else if (indent <= 5) { name = id }
        next
    }
    /Leaf: Addr:/ {
        match($0, /Addr: 0x[0-9a-f]+/); addr = Hex(substr($0, RSTART + 8, RLENGTH - 8))
        match($0, /Size: 0x[0-9a-f]+/); size = Hex(substr($0, RSTART + 8, RLENGTH - 8))
        print type, name, addr, size
    }' <<<"$headers")
[ -n "$leaves" ] || Fail "no resources found"

image_base=$((16#$(HeaderField ImageBase)))
# File offset of a relative virtual address, through the section that holds it.
FileOffset() {
    local rva=$1
    awk -v rva="$rva" -v base="$image_base" '
        function Hex(text,    value, i) {
            value = 0
            for (i = 1; i <= length(text); ++i) value = value * 16 + index("0123456789abcdef", tolower(substr(text, i, 1))) - 1
            return value
        }
        $1 ~ /^[0-9]+$/ {
            size = Hex($3); vma = Hex($4) - base; off = Hex($6)
            if (rva >= vma && rva < vma + size) { printf "%d\n", rva - vma + off; exit }
        }' <<<"$sections"
}

Leaf() { awk -v t="$1" -v n="$2" '$1 == t && $2 == n { print $3, $4; exit }' <<<"$leaves"; }

# ReadWords OFFSET COUNT TYPE: COUNT values of od type TYPE (u2, u4, d4).
ReadValues() { od -An -v -t"$3" -j "$1" -N "$2" "$file" | tr -s ' \n' ' ' | sed 's/^ //'; }

for icon_type in 3 14; do
    if awk -v t=$icon_type '$1 == t { found = 1 } END { exit !found }' <<<"$leaves"; then
        Fail "carries an icon resource (type $icon_type)"
    fi
done
Pass "no icon resources"

for required in "16 1 version information" "24 1 manifest"; do
    read -r type name label <<<"$required"
    [ -n "$(Leaf "$type" "$name")" ] && Pass "$label" || Fail "no $label ($type/$name)"
done

# Bitmap 106: a 24-bit 135 x 65 device-independent bitmap.
read -r rva size <<<"$(Leaf 2 106)" || true
if [ -z "${rva:-}" ]; then
    Fail "no bitmap 106"
else
    offset=$(FileOffset "$rva")
    read -r header_size width height <<<"$(ReadValues "$offset" 12 d4)"
    read -r planes bits <<<"$(ReadValues $((offset + 12)) 4 u2)"
    if [ "$header_size" -ge 40 ] && [ "$width" -eq 135 ] && [ "$height" -eq 65 ] &&
        [ "$planes" -eq 1 ] && [ "$bits" -eq 24 ]; then
        Pass "bitmap 106 is 135 x 65, 24 bits"
    else
        Fail "bitmap 106: header $header_size, $width x $height, $planes planes, $bits bits"
    fi
fi

# Strings 1-4 live in string block 1 (strings 0-15): counted UTF-16 strings.
unset rva
read -r rva size <<<"$(Leaf 6 1)" || true
if [ -z "${rva:-}" ]; then
    Fail "no string block for strings 1-4"
else
    offset=$(FileOffset "$rva")
    mapfile -t strings < <(ReadValues "$offset" "$size" u2 | awk '{
        i = 1
        for (n = 0; n < 16 && i <= NF; ++n) {
            len = $i; ++i; s = ""
            for (k = 0; k < len; ++k) { c = $(i + k); s = s (c < 128 ? sprintf("%c", c) : "?") }
            i += len
            print s
        }}')
    [ "${strings[1]:-}" = "Orrelin v1.0" ] && Pass "string 1" || Fail "string 1 is '${strings[1]:-}'"
    [ "${strings[2]:-}" = "Created by:" ] && Pass "string 2" || Fail "string 2 is '${strings[2]:-}'"
    [ -n "${strings[3]:-}" ] && Pass "string 3 '${strings[3]}'" || Fail "string 3 is empty"
    [ -n "${strings[4]:-}" ] && Pass "string 4 '${strings[4]}'" || Fail "string 4 is empty"
fi

# Dialog 2003: an extended template without a title bar, six controls, 115 x 132 units.
unset rva
read -r rva size <<<"$(Leaf 5 2003)" || true
if [ -z "${rva:-}" ]; then
    Fail "no dialog 2003"
else
    offset=$(FileOffset "$rva")
    read -r version signature <<<"$(ReadValues "$offset" 4 u2)"
    read -r help_id ex_style style <<<"$(ReadValues $((offset + 4)) 12 u4)"
    read -r items x y cx cy menu class title point_size weight <<<"$(ReadValues $((offset + 16)) 20 u2)"
    font=$(ReadValues $((offset + 38)) 24 u2 | awk '{ for (i = 1; i <= NF && $i != 0; ++i) printf "%c", $i }')
    # WS_POPUP | WS_BORDER | WS_SYSMENU | DS_CENTER | DS_SHELLFONT | DS_3DLOOK; no WS_CAPTION.
    kStyle=$((0x80000000 | 0x00800000 | 0x00080000 | 0x0800 | 0x40 | 0x08 | 0x04))
    [ "$version" -eq 1 ] && [ "$signature" -eq 65535 ] && Pass "dialog 2003 is extended" ||
        Fail "dialog 2003 version $version signature $signature"
    [ "$style" -eq "$kStyle" ] && Pass "dialog style" || Fail "dialog style $(printf 0x%X "$style"), want $(printf 0x%X $kStyle)"
    [ "$ex_style" -eq $((0x20000)) ] && Pass "dialog static edge" || Fail "dialog extended style $(printf 0x%X "$ex_style")"
    [ "$items" -eq 6 ] && [ "$x" -eq 0 ] && [ "$y" -eq 0 ] && [ "$cx" -eq 115 ] && [ "$cy" -eq 132 ] &&
        Pass "dialog 6 controls, 115 x 132" || Fail "dialog $items controls at $x,$y size $cx x $cy"
    [ "$menu" -eq 0 ] && [ "$class" -eq 0 ] && [ "$title" -eq 0 ] && Pass "dialog without menu, class, title" ||
        Fail "dialog menu $menu class $class title $title"
    [ "$point_size" -eq 8 ] && [ "$weight" -eq 400 ] && [ "$font" = "MS Shell Dlg" ] &&
        Pass "dialog font 8 pt, 400, $font" || Fail "dialog font $point_size pt, $weight, '$font'"
    : "$help_id"
fi

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed for $file" >&2
    exit 1
fi
echo "all checks passed for $file"
