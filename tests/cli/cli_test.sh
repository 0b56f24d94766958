#!/usr/bin/env bash
# End-to-end cases of morvane-cli. Each case runs the built program against a fresh copy of the
# bundled examples in a temporary folder (its --home) and against targets made here.
#
#   cli_test.sh CLI SOURCE_DIR VERSION CMAKE CASE [EMULATOR]
#
# With an EMULATOR (Wine) the program is a Windows one: it is given absolute paths on the drive
# that Wine maps to the root folder, and what it prints is read back in this system's terms (line
# ends without CR, paths with slashes and without the drive), so that the same expectations hold.
set -euo pipefail

CLI=$(realpath "$1")
SOURCE=$(realpath "$2")
VERSION=$3
CMAKE=$4
CASE=$5
EMULATOR=${6:-}
# The emulator's own diagnostics are no output of the program.
[ -z "$EMULATOR" ] || export WINEDEBUG=-all

WORK=$(mktemp -d "${TMPDIR:-/tmp}/morvane-cli-test.XXXXXX")
trap 'rm -rf "$WORK"' EXIT
HOME_DIR=$WORK/home
cp -R "$SOURCE/examples" "$HOME_DIR"
EXAMPLES=$SOURCE/examples
cd "$HOME_DIR"

fail() {
    echo "FAILED ($CASE): $*" >&2
    exit 1
}

# The program's name for a path given here: under the emulator, absolute paths lie on drive Z:.
system_path() {
    if [ -n "$EMULATOR" ] && [[ $1 == /* ]]; then
        printf 'Z:%s' "$1"
    else
        printf '%s' "$1"
    fi
}

# Runs the program with the given home; the outcome lands in $status, $WORK/stdout and
# $WORK/stderr.
run_in() {
    local home=$1 argument
    shift
    last_command="$*"
    if [ -z "$EMULATOR" ]; then
        set +e
        "$CLI" --home "$home" "$@" >"$WORK/stdout" 2>"$WORK/stderr"
        status=$?
        set -e
        return
    fi
    local arguments=()
    for argument in "$@"; do arguments+=("$(system_path "$argument")"); done
    set +e
    "$EMULATOR" "$CLI" --home "$(system_path "$home")" "${arguments[@]}" >"$WORK/stdout.raw" 2>"$WORK/stderr.raw"
    status=$?
    set -e
    # The bytes as written stay in stdout.raw, for outputs compared byte for byte.
    local stream
    for stream in stdout stderr; do
        tr -d '\r' <"$WORK/$stream.raw" | sed -e 's|\\|/|g' -e 's|Z:/|/|g' >"$WORK/$stream"
    done
}

# Cases that need what only this system has: signals, FIFOs, its folders and file names.
posix_only() {
    [ -z "$EMULATOR" ]
}

run() {
    run_in "$HOME_DIR" "$@"
}

# Compares a captured stream with a text given without its final line end; an empty text means
# the stream stayed empty.
same_stream() {
    local name=$1 want=$2 got
    [ -n "$want" ] && want+=$'\n'
    got=$(cat "$WORK/$name"; echo .)
    got=${got%.}
    if [ "$got" != "$want" ]; then
        echo "--- expected $name:" >&2
        printf '%s' "$want" >&2
        echo "--- got $name:" >&2
        printf '%s' "$got" >&2
        echo "---" >&2
        fail "$name differs (command: ${last_command:-?})"
    fi
}

# Checks the last run: exit status, standard output and standard error, exactly.
expect() {
    local want_status=$1 want_out=$2 want_err=$3
    same_stream stdout "$want_out"
    same_stream stderr "$want_err"
    [ "$status" = "$want_status" ] || fail "exit status $status, expected $want_status"
}

# Checks the last run: exit status, standard output byte for byte as the file, and standard
# error (by default empty).
expect_stdout_file() {
    same_stream stderr "${3:-}"
    local bytes=$WORK/stdout
    [ -z "$EMULATOR" ] || bytes=$WORK/stdout.raw
    cmp -s "$bytes" "$2" || fail "stdout differs from $2 (command: $last_command)"
    [ "$status" = "$1" ] || fail "exit status $status, expected $1"
}

same_file() {
    cmp -s "$1" "$2" || fail "$1 differs from $2"
}

differ() {
    ! cmp -s "$1" "$2" || fail "$1 equals $2, the check could not tell them apart"
}

# Blanks records (36 bytes each after the 8-byte header) of an item file in place.
blank_records() {
    local file=$1 record
    shift
    for record in "$@"; do
        dd if=/dev/zero of="$file" bs=1 seek=$((8 + record * 36)) count=36 conv=notrunc status=none
    done
}

# The checksum of every file under the work folder but the captured streams, one line each: a
# file written, added or removed changes them.
checksums() {
    (cd "$WORK" && find . -type f ! -name 'stdout*' ! -name 'stderr*' -exec sha256sum {} + | sort)
}

# Writes one byte, given as two hexadecimal digits, into a file at an offset.
put_byte() {
    printf "\\x$3" | dd of="$1" bs=1 seek="$2" conv=notrunc status=none
}

# A binary file of two million 8-byte records, each a 7-digit serial and a line feed, and a
# target $WORK/big.ini for it whose serial goes through a code table, so that every record
# costs some work.
make_big_target() {
    seq -w 0 1999999 >"$WORK/big.dat"
    awk 'BEGIN { for (i = 0; i < 200; i++) printf "%d\tX%d\n", 16705 + 3 * i, i }' >"$WORK/codes.tsv"
    printf 'Serial,7,N,s,1,Serial,%s\nEnd,1,R,u,1,End\n' "$WORK/codes.tsv" >"$WORK/big.txt"
    write_big_target 2000000 "$WORK/big.csv" "$WORK/big.ini"
}

# A target for the first RECORDS records of the big binary file, with TEXT as its text file.
write_big_target() {
    printf '[FileInfo]\nRecordDefinitionFileRP=%s\nBRecordSize=8\nBRecordCount=%s\nBinaryFilePath=%s\nTextFilePath=%s\n' \
        "$WORK/big.txt" "$1" "$WORK/big.dat" "$2" >"$3"
}

# Checks that the last run succeeded with "Put File =" and an output path matching the pattern.
expect_put() {
    same_stream stderr ""
    [[ "$(cat "$WORK/stdout")" =~ ^"Put File ="$'\n'$1$ ]] ||
        fail "expected Put File = and $1, got: $(cat "$WORK/stdout") (command: $last_command)"
    [ "$status" = 0 ] || fail "exit status $status, expected 0"
}

# The output file named on the second line of a "Put File =" outcome.
put_file() {
    sed -n 2p "$WORK/stdout"
}

USAGE="Usage: morvane-cli [--home DIR] [--quiet] COMMAND [OPTIONS]
  info      (--target FILE | --slot N)
  preview   (--target FILE | --slot N) [--binary FILE] [--from K] [--count N] [--hex]
  to-text   (--target FILE | --slot N) [--binary FILE] [--text FILE] [--no-backup] [--yes]
            [--threads N]
  to-binary (--target FILE | --slot N) [--text FILE] [--binary FILE] [--index-column]
            [--write-index-list] [--no-backup] [--yes] [--threads N]
  check     (--target FILE | --slot N) [--binary FILE] [--text FILE] [--index-column]
            [--limit N]
  decrypt   (--target FILE | --slot N) [--binary FILE]
  encrypt   (--target FILE | --slot N) [--binary FILE]
  invert    (--target FILE | --slot N) --from decrypt|encrypt
  revert    FILE
  --help, --version"

STAMP='[0-9]{4}-[0-9]{6}'

# What info says of slot 3's target, the shop.
SHOP_INFO="Village shop
 BStartPosition   8
 BRecordSize      36
 BRecordCount     34
 TDelimiter       T
 Decrypt/Encrypt  --
 NumberCode File  1
 BRecordIndex     12"

case_help() {
    run --help
    expect 0 "$USAGE
Home: $HOME_DIR/ (--home)" ""
    run to-binary --slot 1 --help
    expect 0 "$USAGE
Home: $HOME_DIR/ (--home)" ""
    run --version
    expect 0 "morvane-cli $VERSION" ""
}

case_usage_errors() {
    run
    expect 2 "" "morvane-cli: no command given
$USAGE"
    run convert --slot 1
    expect 2 "" "morvane-cli: unknown command convert
$USAGE"
    run info
    expect 2 "" "morvane-cli: info needs --target FILE or --slot N
$USAGE"
    run to-text --slot 1 --index-column
    expect 2 "" "morvane-cli: --index-column is not an option of to-text
$USAGE"
    run revert
    expect 2 "" "morvane-cli: revert needs a FILE
$USAGE"
}

case_info() {
    run info --slot 1
    expect 0 "Item table
 BStartPosition   8
 BRecordSize      36
 BRecordCount     34
 TDelimiter       ,
 Decrypt/Encrypt  --
 NumberCode File  1
 BRecordIndex     --" ""
    run info --slot 2
    expect 0 "Item table (encrypted)
 BStartPosition   8
 BRecordSize      36
 BRecordCount     34
 TDelimiter       ,
 Decrypt/Encrypt  Both
 NumberCode File  1
 BRecordIndex     --" ""
    run info --slot 3
    expect 0 "$SHOP_INFO" ""
    # A declared encoding has a line of its own.
    run info --target targets/names-cp932.ini
    expect 0 "Japanese names (CP932)
 BStartPosition   0
 BRecordSize      66
 BRecordCount     8
 TDelimiter       T
 Decrypt/Encrypt  --
 NumberCode File  1
 BRecordIndex     --
 BTextEncoding    CP932" ""

    # A target whose record size does not match its definition is not ready.
    printf '[FileInfo]\nRecordDefinitionFileRP=defs/items.txt\nBRecordSize=35\nBRecordCount=34\n' >"$WORK/bad.ini"
    run info --target "$WORK/bad.ini"
    local lines=("FileInfo1 Not set" " BStartPosition   " " BRecordSize      35" " BRecordCount     34"
                 " TDelimiter       " " Decrypt/Encrypt  --" " NumberCode File  " " BRecordIndex     ")
    expect 1 "$(printf '%s\n' "${lines[@]}")" "Record Def Error
At line 17. Length Inconsistent"
    run to-text --target "$WORK/bad.ini"
    expect 1 "" "Record Def Error
At line 17. Length Inconsistent"

    # Without a settings file no slot names a target.
    mkdir "$WORK/empty"
    run_in "$WORK/empty" to-text --slot 2
    expect 1 "" "FileInfoDefaultRP Not set"

    # Windows keeps a process's working folder from being removed, and has no /dev/full.
    posix_only || return 0

    # A relative file named from a working folder that has gone is an error, not a crash.
    mkdir "$WORK/gone"
    (cd "$WORK/gone" && rmdir "$WORK/gone" &&
        "$CLI" --home "$HOME_DIR" info --target bad.ini >"$WORK/stdout" 2>"$WORK/stderr") && status=0 || status=$?
    last_command="info --target bad.ini (in a removed working folder)"
    expect 1 "" "filesystem error: cannot get current path: No such file or directory"

    # A listing or outcome that cannot be written is no success.
    for command in "info --slot 1" "invert --slot 2 --from decrypt"; do
        set +e
        # shellcheck disable=SC2086
        "$CLI" --home "$HOME_DIR" $command >/dev/full 2>"$WORK/stderr"
        status=$?
        set -e
        [ "$status" = 1 ] || fail "$command into a full disk: exit status $status, expected 1"
    done
}

case_default_home() {
    # The build's copy of the examples lies beside the program, whose folder is the default home.
    local build=$WORK/build
    mkdir "$build"
    cp "$CLI" "$build/morvane-cli"
    "$CMAKE" -DSOURCE="$EXAMPLES" -DDESTINATION="$build" -P "$SOURCE/scripts/copy_examples.cmake"
    [ ! -e "$build/make_examples.cpp" ] || fail "the generator's source was copied"
    (cd "$WORK" && ./build/morvane-cli info --slot 3 >"$WORK/stdout" 2>"$WORK/stderr") && status=0 || status=$?
    last_command="info --slot 3 (default home)"
    expect 0 "$SHOP_INFO" ""

    # A second copy leaves edited files alone and brings back missing ones.
    echo "; edited" >>"$build/morvane.ini"
    cp "$build/morvane.ini" "$WORK/edited.ini"
    rm "$build/data/shop.tsv"
    "$CMAKE" -DSOURCE="$EXAMPLES" -DDESTINATION="$build" -P "$SOURCE/scripts/copy_examples.cmake"
    same_file "$build/morvane.ini" "$WORK/edited.ini"
    same_file "$build/data/shop.tsv" "$EXAMPLES/data/shop.tsv"
}

case_installed_home() {
    # Installed: no settings file beside the program, the examples under share/morvane/.
    local prefix=$WORK/prefix config=$WORK/config
    mkdir -p "$prefix/bin" "$prefix/share/morvane/examples"
    cp "$CLI" "$prefix/bin/morvane-cli"
    "$CMAKE" -DSOURCE="$EXAMPLES" -DDESTINATION="$prefix/share/morvane/examples" \
        -P "$SOURCE/scripts/copy_examples.cmake"
    installed() {
        last_command="$* (installed)"
        (cd "$WORK" && env XDG_CONFIG_HOME="$config" "$prefix/bin/morvane-cli" "$@" \
            >"$WORK/stdout" 2>"$WORK/stderr") && status=0 || status=$?
    }
    installed --help
    expect 0 "$USAGE
Home: $config/morvane/ (installed)" ""
    [ ! -e "$config" ] || fail "help made the home folder"

    # The first start copies the examples with their settings; relative paths in the settings and
    # targets are the home's, those on the command line the working folder's.
    installed info --slot 3
    expect 0 "$SHOP_INFO" ""
    same_file "$config/morvane/morvane.ini" "$EXAMPLES/morvane.ini"
    same_file "$config/morvane/data/items.dat" "$EXAMPLES/data/items.dat"
    installed to-text --slot 1 --text out.csv
    expect 0 "End [ Binary => Text ]" ""
    same_file "$WORK/out.csv" "$EXAMPLES/data/items.csv"

    # Later starts bring back missing files and leave the user's edits alone.
    echo "; edited" >>"$config/morvane/morvane.ini"
    cp "$config/morvane/morvane.ini" "$WORK/edited.ini"
    rm "$config/morvane/data/shop.tsv"
    installed info --slot 1
    [ "$status" = 0 ] || fail "info failed after an edit: $(cat "$WORK/stderr")"
    same_file "$config/morvane/morvane.ini" "$WORK/edited.ini"
    same_file "$config/morvane/data/shop.tsv" "$EXAMPLES/data/shop.tsv"

    # Without XDG_CONFIG_HOME the home is in the user's .config; --home still overrides it.
    (cd "$WORK" && env -u XDG_CONFIG_HOME HOME="$WORK/user" "$prefix/bin/morvane-cli" --help >"$WORK/stdout")
    grep -qx "Home: $WORK/user/.config/morvane/ (installed)" "$WORK/stdout" || fail "no default home: $(cat "$WORK/stdout")"
    (cd "$WORK" && env XDG_CONFIG_HOME="$config" "$prefix/bin/morvane-cli" --home "$HOME_DIR" info --slot 2 \
        >"$WORK/stdout" 2>"$WORK/stderr") || fail "--home did not serve: $(cat "$WORK/stderr")"

    # A home that cannot be made is an error naming it.
    : >"$WORK/blocked"
    (cd "$WORK" && env XDG_CONFIG_HOME="$WORK/blocked" "$prefix/bin/morvane-cli" info --slot 1 \
        >"$WORK/stdout" 2>"$WORK/stderr") && status=0 || status=$?
    [ "$status" = 1 ] || fail "a blocked home gave status $status"
    grep -q "$WORK/blocked/morvane" "$WORK/stderr" || fail "the blocked home is not named: $(cat "$WORK/stderr")"
}

case_preview() {
    # What the runs are compared with, made before the files are summed up.
    { head -n 1 data/shop.tsv; sed -n 12,13p data/shop.tsv; } >"$WORK/shop-tail.tsv"
    {
        head -n 2 data/items.csv
        # The first record's 36 bytes, grouped by the items of defs/items.txt.
        od -An -tx1 -v -j8 -N36 data/items.dat | tr a-f A-F | tr -s ' \n' '\n\n' | sed '/^$/d' |
            awk 'BEGIN { split("4 4 2 2 2 1 1 1 1 16 2", sizes, " "); group = 1; left = 4; printf "//" }
                 { if (left == 0) { printf " |"; left = sizes[++group] } printf " %s", $0; left-- }
                 END { printf "\r\n" }'
    } >"$WORK/hex.csv"
    head -c 100 data/items.dat >"$WORK/short.dat"
    head -n 3 data/items.csv >"$WORK/short.csv"
    local before
    before=$(checksums)

    # Not on a terminal: the lines Binary => Text writes, header first, from any record on.
    run preview --slot 2 --count 100
    expect_stdout_file 0 "$EXAMPLES/data/items-encrypted.csv"
    run preview --slot 3 --from 11 --count 5
    expect_stdout_file 0 "$WORK/shop-tail.tsv"
    # With the bytes on comment lines, the output still converts back as the text file does.
    run preview --slot 1 --count 1 --hex
    expect_stdout_file 0 "$WORK/hex.csv"

    # On a terminal: a table aligned by the columns characters take, wide ones two.
    if posix_only && command -v script >/dev/null; then
        local table expected
        table=$(TERM=dumb script -qec "'$CLI' --home '$HOME_DIR' preview --target targets/names-cp932.ini --count 2" \
            /dev/null | tr -d '\r')
        expected=$(printf '%s\n' "#  ID  Name      Reading   Note" \
            "-  --  --------  --------  -----------------------------" \
            "1  1   山田太郎  ﾔﾏﾀﾞ ﾀﾛｳ  剣士<br>レベル<red>９９</red>" \
            "2  2   佐藤花子  ｻﾄｳ ﾊﾅｺ   魔法使い<br><name>の師匠" \
            "2 of 8 records, 66 bytes each")
        [ "$table" = "$expected" ] || fail "the table differs:
$table"
    fi

    # What cannot be previewed says why, as the conversion would; the lines before a record
    # that cannot be read come first.
    run preview --slot 1 --binary data/missing.dat
    expect 1 "" "Error [ Binary => Text ]
Text File Can not use
Error  Can't open file
2 $HOME_DIR/data/missing.dat was not found."
    run preview --slot 1 --binary "$WORK/short.dat" --count 5
    expect_stdout_file 1 "$WORK/short.csv" "Error [ Binary => Text ]
Text File Can not use
Error At line 3. Can't read file
$WORK/short.dat"
    [ "$(checksums)" = "$before" ] || fail "preview wrote a file"
}

case_to_text() {
    # The committed text files are what the committed binary files convert to.
    rm data/items.csv data/items-encrypted.csv data/shop.tsv data/wtmp.tsv data/names-cp932.tsv
    local slot
    for slot in 1 2 3; do
        run to-text --slot "$slot"
        expect 0 "End [ Binary => Text ]" ""
    done
    # The login records' file has no extension, which only POSIX systems take for a file's name.
    if posix_only; then
        run to-text --target targets/wtmp.ini
        expect 0 "End [ Binary => Text ]" ""
        same_file data/wtmp.tsv "$EXAMPLES/data/wtmp.tsv"
    fi
    run to-text --target targets/names-cp932.ini
    expect 0 "End [ Binary => Text ]" ""
    same_file data/names-cp932.tsv "$EXAMPLES/data/names-cp932.tsv"
    same_file data/items.csv "$EXAMPLES/data/items.csv"
    same_file data/items-encrypted.csv "$EXAMPLES/data/items-encrypted.csv"
    same_file data/shop.tsv "$EXAMPLES/data/shop.tsv"
    [ ! -e data/items.csv.bak ] || fail "a backup was made of a file that did not exist"

    # Without a text file the output is named after the binary file, with a time stamp.
    run to-text --slot 1 --text ""
    expect 0 "End [ Binary => Text ]" ""
    local derived
    derived=$(ls data | grep -E "^items-$STAMP\.csv$") || fail "no derived text file"
    same_file "data/$derived" "$EXAMPLES/data/items.csv"

    # A missing binary file is the engine's failure.
    run to-text --slot 1 --binary data/missing.dat --text out.csv
    expect 1 "" "Error [ Binary => Text ]
Text File Can not use
Error  Can't open file
2 $HOME_DIR/data/missing.dat was not found."

    run to-text --slot 1 --binary data/items.dat --text DATA/ITEMS.DAT
    expect 1 "" "Canceled
Binary File = Text File"
}

case_round_trip() {
    # Binary => text => binary gives the original bytes. Every record byte must come from the
    # text: the records are blanked before the text is written back.
    local slot
    for slot in 1 2 3; do
        run to-text --slot "$slot" --text "$WORK/slot$slot.txt"
        expect 0 "End [ Binary => Text ]" ""
    done

    cp data/items.dat plain.dat
    blank_records plain.dat $(seq 0 33)
    differ plain.dat data/items.dat
    run to-binary --slot 1 --text "$WORK/slot1.txt" --binary plain.dat --no-backup --yes
    expect 0 "End [ Text => Binary ]" ""
    same_file plain.dat data/items.dat

    # The encrypted target: blank records as stored are encrypted zero bytes.
    cp data/items.dat blank.dat
    blank_records blank.dat $(seq 0 33)
    run encrypt --slot 2 --binary blank.dat
    expect_put "blank-Encrypt-$STAMP\.dat"
    local stored
    stored=$(put_file)
    differ "$stored" data/items-encrypted.dat
    run to-binary --slot 2 --text "$WORK/slot2.txt" --binary "$stored" --no-backup --yes
    expect 0 "End [ Text => Binary ]" ""
    same_file "$stored" data/items-encrypted.dat

    # The shop writes back only the records of its index list, in their places.
    cp data/items.dat shop.dat
    blank_records shop.dat 15 16 17 20 19 1 2 6 8 12 22 24
    differ shop.dat data/items.dat
    run to-binary --slot 3 --text "$WORK/slot3.txt" --binary shop.dat --no-backup --yes
    expect 0 "End [ Text => Binary ]" ""
    same_file shop.dat data/items.dat

    # The login records, whose fillers are zero bytes (POSIX only, as in to_text).
    if posix_only; then
        run to-text --target targets/wtmp.ini --text "$WORK/wtmp.tsv"
        expect 0 "End [ Binary => Text ]" ""
        cp data/wtmp "$WORK/wtmp"
        dd if=/dev/zero of="$WORK/wtmp" bs=384 count=10 conv=notrunc status=none
        differ "$WORK/wtmp" data/wtmp
        run to-binary --target targets/wtmp.ini --text "$WORK/wtmp.tsv" --binary "$WORK/wtmp" --no-backup --yes
        expect 0 "End [ Text => Binary ]" ""
        same_file "$WORK/wtmp" data/wtmp
    fi

    # The names come back as the same CP932 bytes.
    head -c 528 /dev/zero >"$WORK/names.dat"
    run to-binary --target targets/names-cp932.ini --binary "$WORK/names.dat" --no-backup --yes
    expect 0 "End [ Text => Binary ]" ""
    same_file "$WORK/names.dat" data/names-cp932.dat

    # A target without fillers writes a new binary file whole.
    printf 'ID,4,R,u,1,ID\nPrice,4,N,u,1,Price\nRest,28,N,s,1,Rest\n' >"$WORK/whole.txt"
    printf '[FileInfo]\nRecordDefinitionFileRP=%s\nBStartPosition=0\nBRecordSize=36\nBRecordCount=3\nTDelimiter=T\n' \
        "$(system_path "$WORK/whole.txt")" >"$WORK/whole.ini"
    printf '//ID\tPrice\tRest\r\n7\t250\tBlue Gem\r\n8\t4294967295\tRed Gem\r\n9\t0\t\r\n' >"$WORK/whole.tsv"
    run to-binary --target "$WORK/whole.ini" --text "$WORK/whole.tsv" --binary "$WORK/whole.dat"
    expect 0 "End [ Text => Binary ]" ""
    {
        printf '\x07\0\0\0\0\0\0\xfaBlue Gem'; head -c 20 /dev/zero
        printf '\x08\0\0\0\xff\xff\xff\xffRed Gem'; head -c 21 /dev/zero
        printf '\x09\0\0\0'; head -c 32 /dev/zero
    } >"$WORK/whole.expected"
    same_file "$WORK/whole.dat" "$WORK/whole.expected"
    run to-text --target "$WORK/whole.ini" --binary "$WORK/whole.dat" --text "$WORK/whole-again.tsv"
    expect 0 "End [ Binary => Text ]" ""
    same_file "$WORK/whole-again.tsv" "$WORK/whole.tsv"

    # With fillers the existing record must be read first, which a new file cannot give: POSIX
    # refuses the read through the handle, Windows the access.
    local refused="6 The handle of $HOME_DIR/new.dat is invalid."
    posix_only || refused="5 Access to $HOME_DIR/new.dat was denied."
    run to-binary --slot 1 --binary new.dat
    expect 1 "" "Error [ Text => Binary ]
Binary File Can not use
At line 2. $refused"
}

case_backup_and_revert() {
    echo "my edits" >data/items.csv
    cp data/items.csv "$WORK/edited.csv"
    run to-text --slot 1
    expect 0 "End [ Binary => Text ]" ""
    same_file data/items.csv.bak "$WORK/edited.csv"
    same_file data/items.csv "$EXAMPLES/data/items.csv"

    run revert data/items.csv
    expect 0 "End Revert(bak)" ""
    same_file data/items.csv "$WORK/edited.csv"
    # The backup stays, so a second revert gives the same file.
    run revert "$HOME_DIR/data/items.csv"
    expect 0 "End Revert(bak)" ""
    same_file data/items.csv "$WORK/edited.csv"

    # Writing text back into the binary file keeps the binary file's old contents.
    cp "$EXAMPLES/data/items.csv" data/items.csv
    sed -i 's/,Wooden Club/,Oaken Club/' data/items.csv
    run to-binary --slot 1
    expect 0 "End [ Text => Binary ]" ""
    same_file data/items.dat.bak "$EXAMPLES/data/items.dat"
    differ data/items.dat "$EXAMPLES/data/items.dat"
    grep -q "Oaken Club" data/items.dat || fail "the edited name was not written"
    run revert data/items.dat
    expect 0 "End Revert(bak)" ""
    same_file data/items.dat "$EXAMPLES/data/items.dat"

    run revert data/shop.tsv
    expect 1 "" "Can't open file
$HOME_DIR/data/shop.tsv.bak"
}

case_overwrite() {
    echo "my edits" >data/items.csv
    cp data/items.csv "$WORK/edited.csv"
    # Without a backup an existing output is replaced only with --yes.
    run to-text --slot 1 --no-backup
    expect 1 "" "Canceled

[ Binary => Text ]"
    same_file data/items.csv "$WORK/edited.csv"
    run to-binary --slot 1 --no-backup
    expect 1 "" "Canceled

[ Text => Binary ]"
    same_file data/items.dat "$EXAMPLES/data/items.dat"

    run to-text --slot 1 --no-backup --yes
    expect 0 "End [ Binary => Text ]" ""
    same_file data/items.csv "$EXAMPLES/data/items.csv"
    [ ! -e data/items.csv.bak ] || fail "a backup was made with --no-backup"

    # The binary output is created only where the records start at 0 and no list names them.
    run to-binary --slot 1 --binary ""
    expect 1 "" "Canceled
Error Binary"
}

case_decrypt_encrypt() {
    run decrypt --slot 2
    expect_put "data/items-encrypted-Decrypt-$STAMP\.dat"
    same_file "$(put_file)" data/items.dat

    run encrypt --slot 2 --binary data/items.dat
    expect_put "data/items-Encrypt-$STAMP\.dat"
    same_file "$(put_file)" data/items-encrypted.dat

    run decrypt --slot 1
    expect 1 "" "Error Decrypt"
    run decrypt --slot 2 --binary data/missing.dat
    expect 1 "" "Error Decrypt Can't open file
2 $HOME_DIR/data/missing.dat was not found."
    : >empty.dat
    run encrypt --slot 2 --binary empty.dat
    expect 1 "" "Error Encrypt Can't open file
$HOME_DIR/empty.dat"
}

case_invert() {
    run invert --slot 2 --from decrypt
    expect_put "tables/decrypt-Reverse-$STAMP\.dat"
    same_file "$(put_file)" tables/encrypt.tbl

    run invert --slot 2 --from encrypt
    expect_put "tables/encrypt-Reverse-$STAMP\.dat"
    same_file "$(put_file)" tables/decrypt.tbl

    # With the decryption table alone, the encryption table is its derived inverse.
    sed '/T2BEncryptTableFileRP/d' targets/items-encrypted.ini >targets/decrypt-only.ini
    run invert --target targets/decrypt-only.ini --from decrypt
    expect_put "tables/decrypt-Reverse-$STAMP\.dat"
    same_file "$(put_file)" tables/encrypt.tbl

    run invert --slot 1 --from encrypt
    expect 1 "" "Error ManageCrypt"
}

case_index_column() {
    # Two edited records, addressed by their IDs in the first column.
    {
        head -n 1 data/items.csv
        grep '^5,' data/items.csv | sed 's/Cursed Dagger/Dull Dagger/'
        grep '^2,' data/items.csv | sed 's/,450,/,475,/'
    } >"$WORK/edit.csv"
    run to-binary --slot 1 --text "$WORK/edit.csv" --index-column --write-index-list
    expect 0 "End [ Text => Binary ]" ""
    printf '// BasePointOfBRecordIndex\r\n0\r\n// BRecordIndexList\r\n5\r\n2\r\n' >"$WORK/list.expected"
    same_file "$WORK/edit-BRecordIndexList.tsv" "$WORK/list.expected"

    run to-text --slot 1 --text "$WORK/after.csv"
    expect 0 "End [ Binary => Text ]" ""
    sed -e 's/Cursed Dagger/Dull Dagger/' -e 's/^2,450,/2,475,/' data/items.csv >"$WORK/after.expected"
    differ "$WORK/after.expected" data/items.csv
    same_file "$WORK/after.csv" "$WORK/after.expected"

    # The written list serves as a target's record index list.
    sed "s|defs/shop-index.tsv|$(system_path "$WORK/edit-BRecordIndexList.tsv")|" targets/shop.ini >targets/edited.ini
    run info --target targets/edited.ini
    [ "$status" = 0 ] && [ "$(tail -n 1 "$WORK/stdout")" = " BRecordIndex     2" ] ||
        fail "the written list does not load: $(cat "$WORK/stdout" "$WORK/stderr")"

    # Refused where the window disables the options: a target with a record index list, a first
    # item that is no record number, the list without the column.
    local refusal="morvane-cli: --index-column needs a target without a record index list whose first item is a one-column unsigned number read with R"
    run to-binary --slot 3 --index-column
    expect 2 "" "$refusal"
    sed 's/^ID, *4, *R,/ID, 4, N,/' defs/items.txt >defs/items-big-endian.txt
    sed 's|defs/items.txt|defs/items-big-endian.txt|' targets/items.ini >targets/big-endian.ini
    run to-binary --target targets/big-endian.ini --index-column
    expect 2 "" "$refusal"
    run to-binary --slot 1 --write-index-list
    expect 2 "" "morvane-cli: --write-index-list goes with --index-column"
    same_file data/items.dat.bak "$EXAMPLES/data/items.dat"

    # A first column that is no record number of the file.
    printf '//ID\r\n34,1,1,1,1,1,1,0,0,0,0,0,0,0,0,Key,Ghost\r\n' >"$WORK/beyond.csv"
    run to-binary --slot 1 --text "$WORK/beyond.csv" --index-column
    expect 1 "" "Error [ Text => Binary ]
Binary File Can not use
At line 2. Can't seek file position"
}

case_translations() {
    printf '[Translations]\nmsg.End=Ende\nbtn.Binary2Text=Bin => Txt\nmsg.Canceled=Abgebrochen\n' >>morvane.ini
    printf 'info.BRecordSize=Satzlänge\n' >>morvane.ini
    # Labels line up by characters, not bytes.
    run info --slot 1
    expect 0 "Item table
 BStartPosition   8
 Satzlänge        36
 BRecordCount     34
 TDelimiter       ,
 Decrypt/Encrypt  --
 NumberCode File  1
 BRecordIndex     --" ""
    run to-text --slot 1 --text "$WORK/out.csv"
    expect 0 "Ende [ Bin => Txt ]" ""
    run to-text --slot 1 --text "$WORK/out.csv" --no-backup
    expect 1 "" "Abgebrochen

[ Bin => Txt ]"
    # Words without a translation keep their built-in texts.
    run to-text --slot 1 --binary data/missing.dat --text "$WORK/out.csv"
    expect 1 "" "Error [ Bin => Txt ]
Text File Can not use
Error  Can't open file
2 $HOME_DIR/data/missing.dat was not found."
}

case_interrupt() {
    # The code table makes the run last long enough to be interrupted.
    make_big_target

    "$CLI" --home "$HOME_DIR" to-text --target "$WORK/big.ini" >"$WORK/stdout" 2>"$WORK/stderr" &
    local pid=$! waited=0
    while [ "$(stat -c %s "$WORK/big.csv" 2>/dev/null || echo 0)" -lt 65536 ]; do
        kill -0 "$pid" 2>/dev/null || fail "the run ended before it could be interrupted"
        waited=$((waited + 1))
        [ "$waited" -lt 1000 ] || { kill -KILL "$pid"; fail "no output after 10 seconds"; }
        sleep 0.01
    done
    kill -INT "$pid" || fail "the run ended before it could be interrupted"
    set +e
    wait "$pid"
    status=$?
    set -e
    last_command="to-text of two million records, interrupted"
    expect 1 "" "Error [ Binary => Text ]
Text File Can not use
Stop ?"

    # The text holds the header and whole lines only, each as a full conversion writes it.
    [ "$(tail -c 2 "$WORK/big.csv" | od -An -c | tr -d ' ')" = '\r\n' ] || fail "the text ends within a line"
    local lines
    lines=$(($(wc -l <"$WORK/big.csv") - 1))
    [ "$lines" -ge 1 ] && [ "$lines" -lt 2000000 ] || fail "$lines records written"
    write_big_target "$lines" "$WORK/part.csv" "$WORK/part.ini"
    run to-text --target "$WORK/part.ini"
    expect 0 "End [ Binary => Text ]" ""
    same_file "$WORK/big.csv" "$WORK/part.csv"
}

case_check() {
    local before
    before=$(checksums)
    # The bundled examples come back byte for byte.
    local slot count
    for slot in 1 2 3; do
        count=34
        [ "$slot" = 3 ] && count=12
        run check --slot "$slot"
        expect 0 "End [ Check Binary => Text => Binary ]
$count records checked, 0 would change, 0 would fail." ""
    done
    [ "$(checksums)" = "$before" ] || fail "a check wrote a file"

    # A letter after the end of the first item's name, and a comma in the second one's. Records
    # start at byte 8 and are 36 bytes long; the name is bytes 18 to 33 of a record.
    cp data/items.dat lossy.dat
    put_byte lossy.dat $((8 + 32)) 58
    put_byte lossy.dat $((8 + 36 + 24)) 2c
    before=$(checksums)
    run check --slot 1 --binary lossy.dat
    expect 1 "End [ Check Binary => Text => Binary ]
At line 1. Name, byte 32: 58 => 00 (text after its end).
At line 2. Name, bytes 18-33: 42 72 6F 6E 7A 65 2C 53 77 6F 72 64 00 00 00 00 (delimiter or line break in a cell). Would fail: Item Num
34 records checked, 1 would change, 1 would fail." ""
    run check --slot 1 --binary lossy.dat --limit 1
    expect 1 "End [ Check Binary => Text => Binary ]
At line 1. Name, byte 32: 58 => 00 (text after its end).
... and 1 more, 2 problems in all
34 records checked, 1 would change, 1 would fail." ""

    # What the check foresaw is what the conversions do: the letter is lost on the way back.
    put_byte lossy.dat $((8 + 36 + 24)) 20
    run to-text --slot 1 --binary lossy.dat --text "$WORK/lossy.csv"
    expect 0 "End [ Binary => Text ]" ""
    run to-binary --slot 1 --text "$WORK/lossy.csv" --binary lossy.dat --no-backup --yes
    expect 0 "End [ Text => Binary ]" ""
    same_file lossy.dat data/items.dat
    rm "$WORK/lossy.csv"
    put_byte lossy.dat $((8 + 32)) 58
    put_byte lossy.dat $((8 + 36 + 24)) 2c
    [ "$(checksums)" = "$before" ] || fail "a check wrote a file"

    # The options of a text check do not go with a binary check, and the index options keep
    # their rules.
    run check --slot 1 --index-column
    expect 2 "" "morvane-cli: --index-column goes with the check of a text file"
    run check --slot 3 --text data/shop.tsv --index-column
    expect 2 "" "morvane-cli: --index-column needs a target without a record index list whose first item is a one-column unsigned number read with R"
    run check --slot 1 --limit many
    expect 2 "" "morvane-cli: --limit takes a number of 0 or more
$USAGE"
    [ "$(checksums)" = "$before" ] || fail "a check wrote a file"
}

case_check_text() {
    local before
    before=$(checksums)
    run check --slot 1 --text data/items.csv
    expect 0 "End [ Check Text => Binary ]
34 records would be written.
34 lines checked, 0 would fail, 0 cells would be cut." ""
    run check --slot 3 --text data/shop.tsv
    expect 0 "End [ Check Text => Binary ]
12 records would be written.
12 lines checked, 0 would fail, 0 cells would be cut." ""

    # Letters for a price, a kind that is no meaning, a column too many and a name too long.
    sed -e '3s/,120,/,much,/' -e '5s/,Weapon,/,Sword,/' -e '7s/$/,extra/' -e '9s/,[^,]*$/,A Name Much Too Long/' \
        data/items.csv >"$WORK/faults.csv"
    before=$(checksums)
    run check --slot 1 --text "$WORK/faults.csv"
    expect 1 "End [ Check Text => Binary ]
At line 3. Range
At line 5. CodeReplacement
At line 7. Item Num
At line 9. Name: 20 bytes cut to 16
31 records would be written.
34 lines checked, 3 would fail, 1 cell would be cut." ""
    [ "$(checksums)" = "$before" ] || fail "the dry run wrote a file"
    # The real run stops at the first of them, with the same words.
    cp data/items.dat "$WORK/written.dat"
    run to-binary --slot 1 --text "$WORK/faults.csv" --binary "$WORK/written.dat" --no-backup --yes
    expect 1 "" "Error [ Text => Binary ]
Binary File Can not use
At line 3. Range"
    rm "$WORK/written.dat"

    # The first column names the record, as in to-binary.
    printf '//ID\r\n33,1,1,1,1,1,1,0,0,0,0,0,0,0,0,Key,Ghost\r\n34,1,1,1,1,1,1,0,0,0,0,0,0,0,0,Key,Ghost\r\n' \
        >"$WORK/indexed.csv"
    before=$(checksums)
    run check --slot 1 --text "$WORK/indexed.csv" --index-column
    expect 1 "End [ Check Text => Binary ]
At line 3. Can't seek file position
1 record would be written.
2 lines checked, 1 would fail, 0 cells would be cut." ""

    # Without a binary file and without --text, the target's text file is checked; a target
    # without fillers does not read the binary file at all.
    printf 'ID,4,R,u,1,ID\nName,4,N,s,1,Name\n' >"$WORK/plain.txt"
    printf '[FileInfo]\nRecordDefinitionFileRP=%s\nBRecordSize=8\nBRecordCount=2\nTDelimiter=,\nBinaryFilePath=%s\nTextFilePath=%s\n' \
        "$(system_path "$WORK/plain.txt")" "$(system_path "$WORK/none.dat")" "$(system_path "$WORK/plain.csv")" \
        >"$WORK/plain.ini"
    printf '//ID,Name\r\n1,ab\r\n2,cd\r\n' >"$WORK/plain.csv"
    before=$(checksums)
    run check --target "$WORK/plain.ini"
    expect 0 "End [ Check Text => Binary ]
2 records would be written.
2 lines checked, 0 would fail, 0 cells would be cut." ""
    [ "$(checksums)" = "$before" ] || fail "the dry run wrote a file"
}

case_quoting() {
    # A target with TextQuoting=1 and records whose names need quotes: a comma, a line feed, a
    # blank and a comment mark, a quote.
    printf 'ID,2,R,u,1,ID\nName,6,N,s,1,Name\n' >"$WORK/quoted.txt"
    write_quoted_target() {
        printf '[FileInfo]\nRecordDefinitionFileRP=%s\nBRecordSize=8\nBRecordCount=%s\nTDelimiter=,\nTextQuoting=1\nBinaryFilePath=%s\nTextFilePath=%s\n' \
            "$(system_path "$WORK/quoted.txt")" "$1" "$(system_path "$WORK/quoted.dat")" \
            "$(system_path "$WORK/quoted.csv")" >"$2"
    }
    write_quoted_target 4 "$WORK/quoted.ini"
    printf '\001\000a,b\000\000\000\002\000x\ny\000\000\000\003\000 //z\000\000\004\000say"\000\000' >"$WORK/quoted.dat"
    cp "$WORK/quoted.dat" "$WORK/original.dat"

    run check --target "$WORK/quoted.ini"
    expect 0 "End [ Check Binary => Text => Binary ]
4 records checked, 0 would change, 0 would fail." ""
    run to-text --target "$WORK/quoted.ini"
    expect 0 "End [ Binary => Text ]" ""
    printf '//ID,Name\r\n1,"a,b"\r\n2,"x\ny"\r\n3," //z"\r\n4,"say"""\r\n' >"$WORK/expected.csv"
    same_file "$WORK/quoted.csv" "$WORK/expected.csv"
    dd if=/dev/zero of="$WORK/quoted.dat" bs=32 count=1 status=none
    run to-binary --target "$WORK/quoted.ini" --no-backup --yes
    expect 0 "End [ Text => Binary ]" ""
    same_file "$WORK/quoted.dat" "$WORK/original.dat"

    # A quote that never closes fails at its line.
    write_quoted_target 2 "$WORK/two.ini"
    printf '//ID,Name\r\n1,ok\r\n2,"open\r\n3,x\r\n' >"$WORK/open.csv"
    run to-binary --target "$WORK/two.ini" --text "$WORK/open.csv" --no-backup --yes
    expect 1 "" "Error [ Text => Binary ]
Binary File Can not use
At line 3. TextQuoting.Inconsistent"
}

case_check_interrupt() {
    make_big_target
    local before
    before=$(checksums)
    "$CLI" --home "$HOME_DIR" check --target "$WORK/big.ini" >"$WORK/stdout" 2>"$WORK/stderr" &
    local pid=$! waited=0 read=0
    # Interrupted once it has read well into the binary file.
    while [ "$read" -lt 1048576 ]; do
        kill -0 "$pid" 2>/dev/null || fail "the check ended before it could be interrupted"
        read=$(awk '/^rchar:/ { print $2 }' "/proc/$pid/io" 2>/dev/null || echo 0)
        waited=$((waited + 1))
        [ "$waited" -lt 1000 ] || { kill -KILL "$pid"; fail "the check read nothing in 10 seconds"; }
        sleep 0.01
    done
    kill -INT "$pid" || fail "the check ended before it could be interrupted"
    set +e
    wait "$pid"
    status=$?
    set -e
    last_command="check of two million records, interrupted"
    expect 1 "" "Error [ Check Binary => Text => Binary ]
Binary File Can not use
Stop ?"
    [ "$(checksums)" = "$before" ] || fail "the check wrote a file"
}

case_file_names() {
    # Existing files need no extension, hidden ones included: the binary and text files of both
    # directions, every file a target names, and the inputs of decrypt, encrypt, invert and revert.
    mkdir "$WORK/names"
    cp data/items.dat "$WORK/names/items"
    cp data/items-encrypted.dat "$WORK/names/.items-encrypted"
    cp defs/items.txt defs/items
    cp defs/kinds.tsv defs/kinds
    cp defs/shop-index.tsv defs/.shop-index
    cp tables/decrypt.tbl tables/decrypt
    cp tables/encrypt.tbl tables/.encrypt
    sed -i 's|defs/kinds.tsv|defs/kinds|' defs/items
    sed 's|defs/items.txt|defs/items|' targets/items.ini >targets/items
    sed -e 's|defs/items.txt|defs/items|' -e 's|tables/decrypt.tbl|tables/decrypt|' \
        -e 's|tables/encrypt.tbl|tables/.encrypt|' targets/items-encrypted.ini >targets/.items-encrypted
    sed -e 's|defs/items.txt|defs/items|' -e 's|defs/shop-index.tsv|defs/.shop-index|' targets/shop.ini >targets/shop
    echo "my notes" >"$WORK/names/items-text"

    run to-text --target targets/items --binary "$WORK/names/items" --text "$WORK/names/items-text"
    expect 0 "End [ Binary => Text ]" ""
    same_file "$WORK/names/items-text" "$EXAMPLES/data/items.csv"
    [ "$(cat "$WORK/names/items-text.bak")" = "my notes" ] || fail "the replaced text was not backed up"
    run to-text --target targets/shop --binary "$WORK/names/items" --text "$WORK/names/shop.tsv"
    expect 0 "End [ Binary => Text ]" ""
    same_file "$WORK/names/shop.tsv" "$EXAMPLES/data/shop.tsv"

    blank_records "$WORK/names/items" $(seq 0 33)
    cp "$WORK/names/items" "$WORK/blanked"
    run to-binary --target targets/items --text "$WORK/names/items-text" --binary "$WORK/names/items"
    expect 0 "End [ Text => Binary ]" ""
    same_file "$WORK/names/items" data/items.dat
    run revert "$WORK/names/items"
    expect 0 "End Revert(bak)" ""
    same_file "$WORK/names/items" "$WORK/blanked"

    # A hidden binary file names the derived text after its whole name.
    run to-text --target targets/.items-encrypted --binary "$WORK/names/.items-encrypted" --text ""
    expect 0 "End [ Binary => Text ]" ""
    local derived
    derived=$(ls -A "$WORK/names" | grep -E "^\.items-encrypted-$STAMP\.csv$") || fail "no derived text file"
    same_file "$WORK/names/$derived" "$EXAMPLES/data/items-encrypted.csv"

    run decrypt --target targets/.items-encrypted --binary "$WORK/names/.items-encrypted"
    expect_put "$WORK/names/\.items-encrypted-Decrypt-$STAMP\.dat"
    same_file "$(put_file)" data/items.dat
    cp data/items.dat "$WORK/names/plain"
    run encrypt --target targets/.items-encrypted --binary "$WORK/names/plain"
    expect_put "$WORK/names/plain-Encrypt-$STAMP\.dat"
    same_file "$(put_file)" data/items-encrypted.dat
    run invert --target targets/.items-encrypted --from decrypt
    expect_put "tables/decrypt-Reverse-$STAMP\.dat"
    same_file "$(put_file)" tables/encrypt.tbl
    run invert --target targets/.items-encrypted --from encrypt
    expect_put "tables/\.encrypt-Reverse-$STAMP\.dat"
    same_file "$(put_file)" tables/decrypt.tbl

    # Names of outputs still to be made are derived as before.
    run to-text --target targets/items --binary "$WORK/names/items" --text "$WORK/names/new"
    expect 0 "End [ Binary => Text ]" ""
    ls "$WORK/names" | grep -qE "^new-$STAMP\.csv$" || fail "no text file derived from a new name"
    [ ! -e "$WORK/names/new" ] || fail "a new name without extension was written as it is"

    # What is no regular file, or not there, is still no file path.
    mkfifo "$WORK/names/pipe"
    local missing
    for missing in "$WORK/names/pipe" "$WORK/names/missing" "$WORK/names/.missing"; do
        run to-text --target targets/items --binary "$missing" --text "$WORK/out.csv"
        expect 1 "" "Canceled
Error Binary FilePath"
    done
    run info --target targets/missing
    expect 1 "$(printf '%s\n' "FileInfo1" " BStartPosition   " " BRecordSize      " " BRecordCount     " \
        " TDelimiter       " " Decrypt/Encrypt  " " NumberCode File  " " BRecordIndex     ")" "FileInfo1 Error
FilePath "
}

case_not_files() {
    # A FIFO where a file is expected is refused at once, before anything is written.
    mkfifo "$WORK/pipe.dat" "$WORK/pipe.csv"
    cp data/items.csv "$WORK/kept.csv"
    run to-text --slot 1 --binary "$WORK/pipe.dat" --text "$WORK/kept.csv"
    expect 1 "" "Canceled
Error It's not a file
$WORK/pipe.dat"
    run to-binary --slot 1 --text "$WORK/pipe.csv" --binary data/items.dat
    expect 1 "" "Canceled
Error It's not a file
$WORK/pipe.csv"
    run decrypt --slot 2 --binary "$WORK/pipe.dat"
    expect 1 "" "Error It's not a file
$WORK/pipe.dat"
    same_file "$WORK/kept.csv" data/items.csv
    [ -p "$WORK/pipe.dat" ] && [ -p "$WORK/pipe.csv" ] || fail "a FIFO was replaced"

    # Settings that exist but cannot be read stop every command, naming the file and the cause.
    mkdir "$WORK/unreadable"
    mkdir "$WORK/unreadable/morvane.ini"
    run_in "$WORK/unreadable" info --target "$HOME_DIR/targets/items-encrypted.ini"
    expect 1 "" "5 Access to $WORK/unreadable/morvane.ini was denied."
}

"case_$CASE"
