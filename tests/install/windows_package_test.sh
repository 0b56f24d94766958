#!/usr/bin/env bash
# The Windows package: what the zip holds, that its programs need no DLL beyond the system's, and
# that the unpacked folder works as the programs' home under Wine.
#
#   windows_package_test.sh CPACK BUILD_DIR SOURCE_DIR VERSION WINE OBJDUMP
set -euo pipefail

CPACK=$1
BUILD=$(realpath "$2")
SOURCE=$(realpath "$3")
VERSION=$4
WINE=$5
OBJDUMP=$6

WORK=$(mktemp -d "${TMPDIR:-/tmp}/morvane-zip-test.XXXXXX")
trap 'rm -rf "$WORK"' EXIT

fail() {
    echo "FAILED: $*" >&2
    exit 1
}

NAME=morvane-$VERSION-windows-x64
(cd "$BUILD" && "$CPACK" >"$WORK/cpack.log" 2>&1) || { cat "$WORK/cpack.log" >&2; fail "cpack failed"; }
ZIP=$BUILD/$NAME.zip
[ -f "$ZIP" ] || fail "no $NAME.zip"
(cd "$WORK" && cmake -E tar xf "$ZIP")
FOLDER=$WORK/$NAME
[ -d "$FOLDER" ] || fail "the zip has no folder $NAME"

# Every file: the programs, the package's README, the examples (without their generator's source
# and Linux's login records, their README renamed so that it does not pass for the package's).
expected=$( (
    cd "$SOURCE/examples" && find . -type f ! -name '*.cpp' ! -name README.md ! -path './targets/wtmp.ini' \
        ! -path './data/wtmp*' ! -path './defs/utmp*'
    echo ./EXAMPLES.md
    echo ./README.txt
    for program in morvane-cli.exe morvane.exe; do
        [ ! -f "$BUILD/$program" ] || echo "./$program"
    done
) | sort)
got=$(cd "$FOLDER" && find . -type f | sort)
[ "$got" = "$expected" ] || fail "the zip holds
$got
expected
$expected"
cmp -s "$FOLDER/EXAMPLES.md" "$SOURCE/examples/README.md" || fail "EXAMPLES.md is not the examples' README"
grep -q "^Morvane $VERSION for Windows (64-bit)"$'\r'"$" "$FOLDER/README.txt" || fail "README.txt lacks its CR LF title line"

# Linked statically: the only DLLs are the system's own.
for program in "$FOLDER"/*.exe; do
    dlls=$("$OBJDUMP" -p "$program" | sed -n 's/^\s*DLL Name: //p' | tr 'a-z' 'A-Z' | sort -u)
    [ -n "$dlls" ] || fail "$(basename "$program") imports nothing, which cannot be"
    while read -r dll; do
        case $dll in
            KERNEL32.DLL | USER32.DLL | GDI32.DLL | COMDLG32.DLL | COMCTL32.DLL | SHELL32.DLL | ADVAPI32.DLL | \
                OLE32.DLL | MSVCRT.DLL) ;;
            *) fail "$(basename "$program") needs $dll" ;;
        esac
    done <<<"$dlls"
    # Stripped: the package carries no debugging information.
    ! "$OBJDUMP" -h "$program" | grep -q '\.debug_' || fail "$(basename "$program") is not stripped"
done

# Unpacked anywhere, the folder is the home: the settings beside the program name the examples.
export WINEDEBUG=-all
cd "$WORK"
"$WINE" "$FOLDER/morvane-cli.exe" info --slot 3 >"$WORK/stdout" 2>"$WORK/stderr" || fail "info failed: $(cat "$WORK/stderr")"
grep -q "^Village shop"$'\r'"$" "$WORK/stdout" || fail "info does not name the shop: $(cat "$WORK/stdout")"
rm "$FOLDER/data/items.csv"
"$WINE" "$FOLDER/morvane-cli.exe" to-text --slot 1 >"$WORK/stdout" 2>"$WORK/stderr" ||
    fail "to-text failed: $(cat "$WORK/stderr")"
cmp -s "$FOLDER/data/items.csv" "$SOURCE/examples/data/items.csv" || fail "slot 1 did not convert to the committed text"
