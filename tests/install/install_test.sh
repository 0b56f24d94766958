#!/usr/bin/env bash
# The installed tree and the Debian package: every file where the desktop, man and bash look for
# it and nothing else, valid metadata, documentation that covers every command and option, and a
# package whose programs run.
#
#   install_test.sh CMAKE CPACK BUILD_DIR SOURCE_DIR VERSION EXAMPLES_FROM_BINDIR CASE
set -euo pipefail

CMAKE=$1
CPACK=$2
BUILD=$(realpath "$3")
SOURCE=$(realpath "$4")
VERSION=$5
EXAMPLES_FROM_BINDIR=$6
CASE=$7

WORK=$(mktemp -d "${TMPDIR:-/tmp}/morvane-install-test.XXXXXX")
trap 'rm -rf "$WORK"' EXIT

fail() {
    echo "FAILED ($CASE): $*" >&2
    exit 1
}

ID=org.example.morvane

# An installation's files besides the examples, relative to its prefix.
FIXED_FILES="bin/morvane
bin/morvane-cli
share/applications/$ID.desktop
share/bash-completion/completions/morvane-cli
share/doc/morvane/changelog.gz
share/doc/morvane/copyright
share/icons/hicolor/scalable/apps/$ID.svg
share/man/man1/morvane-cli.1.gz
share/man/man1/morvane.1.gz
share/metainfo/$ID.metainfo.xml"

# The examples as the build folder gets them, in $WORK/examples.
copy_examples() {
    "$CMAKE" -DSOURCE="$SOURCE/examples" -DDESTINATION="$WORK/examples" -P "$SOURCE/scripts/copy_examples.cmake"
}

# The files a prefix should hold: the fixed ones and the examples.
expected_files() {
    copy_examples
    {
        echo "$FIXED_FILES"
        (cd "$WORK/examples" && find . -type f | sed 's|^\./|share/morvane/examples/|')
    } | LC_ALL=C sort
}

# Every file and link under a folder, relative to it.
files_under() {
    (cd "$1" && find . ! -type d | sed 's|^\./||' | LC_ALL=C sort)
}

same_lists() {
    local what=$1 want=$2 got=$3
    diff -u "$want" "$got" >&2 || fail "$what differ from the expected ones"
}

# The usage text, and the options it lists; a line of it names a command, or continues the
# options of the one before.
usage_text() {
    "$BUILD/morvane-cli" --help
}

usage_commands() {
    usage_text | sed -n 's/^  \([a-z][a-z-]*\) .*/\1/p'
}

# The options of one command's usage lines, or with "" those that go before any command.
usage_options() {
    usage_text | awk -v command="$1" '
        NR == 1 || /^  --/ { current = "" }
        /^  [a-z]/ { current = $1 }
        /^Usage:/ { sub(/COMMAND.*/, "") }
        current == command { print }' | { grep -o -- '--[a-z-]*' || true; } | LC_ALL=C sort -u
}

case_installed_files() {
    DESTDIR=$WORK/root "$CMAKE" --install "$BUILD" --prefix /usr >/dev/null
    [ "$(ls "$WORK/root")" = usr ] || fail "files installed outside the prefix: $(ls "$WORK/root")"
    local prefix=$WORK/root/usr
    expected_files >"$WORK/expected"
    files_under "$prefix" >"$WORK/got"
    same_lists "the installed files" "$WORK/expected" "$WORK/got"
    diff -r "$WORK/examples" "$prefix/share/morvane/examples" >&2 || fail "the installed examples differ"

    # The desktop entry starts the installed window with the files given and shows the icon.
    local desktop=$prefix/share/applications/$ID.desktop icon
    grep -qx 'Exec=morvane %F' "$desktop" || fail "the desktop entry's Exec line is not 'morvane %F'"
    [ -x "$prefix/bin/morvane" ] || fail "bin/morvane is not executable"
    ! grep -q '^MimeType=' "$desktop" || fail "the desktop entry names MIME types"
    icon=$(sed -n 's/^Icon=//p' "$desktop")
    [ -f "$prefix/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no scalable icon named $icon"

    # The metadata names the desktop entry, the installed programs and this release.
    local metainfo=$prefix/share/metainfo/$ID.metainfo.xml binary
    grep -q "<id>$ID</id>" "$metainfo" || fail "the metadata's id is not $ID"
    grep -q "<launchable type=\"desktop-id\">$ID.desktop</launchable>" "$metainfo" ||
        fail "the metadata does not launch $ID.desktop"
    for binary in $(sed -n 's|.*<binary>\(.*\)</binary>.*|\1|p' "$metainfo"); do
        [ -x "$prefix/bin/$binary" ] || fail "the metadata provides $binary, which is not installed"
    done
    grep -q "<release version=\"$VERSION\"" "$metainfo" || fail "the metadata has no release $VERSION"

    if command -v desktop-file-validate >/dev/null; then
        local report
        report=$(desktop-file-validate "$desktop" 2>&1) && [ -z "$report" ] || fail "desktop-file-validate: $report"
    fi
    if command -v appstreamcli >/dev/null; then
        appstreamcli validate --no-net "$metainfo" >"$WORK/appstream.log" 2>&1 ||
            fail "appstreamcli validate: $(cat "$WORK/appstream.log")"
    fi

    local name page
    for name in morvane-cli morvane; do
        page=$prefix/share/man/man1/$name.1.gz
        gzip -t "$page" || fail "$name.1.gz is damaged"
        command -v man >/dev/null || continue
        [ "$(man -w -M "$prefix/share/man" "$name")" = "$page" ] || fail "man does not find $name(1)"
        local warnings
        warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
        [ -z "$warnings" ] || fail "the manual page $name(1) has formatting problems: $warnings"
    done
    gzip -t "$prefix/share/doc/morvane/changelog.gz" || fail "the changelog is damaged"

    [ "$("$prefix/bin/morvane-cli" --version)" = "morvane-cli $VERSION" ] || fail "the installed morvane-cli does not run"
    # The programs find the examples from their own folder, under any prefix.
    [ -f "$prefix/bin/$EXAMPLES_FROM_BINDIR/morvane.ini" ] || fail "no examples at bin/$EXAMPLES_FROM_BINDIR"
    DESTDIR=$WORK/other "$CMAKE" --install "$BUILD" --prefix /opt/morvane >/dev/null
    [ -f "$WORK/other/opt/morvane/bin/$EXAMPLES_FROM_BINDIR/morvane.ini" ] ||
        fail "no examples at bin/$EXAMPLES_FROM_BINDIR under another prefix"
}

# The item headings of a manual page section (the line after each .TP), dashes unescaped.
man_headings() {
    awk -v section="$1" '
        /^\.SH/ { inside = ($2 == section) }
        heading { print; heading = 0 }
        inside && /^\.TP/ { heading = 1 }' "$BUILD/packaging/morvane-cli.1" | sed 's/\\-/-/g'
}

# What the completion offers for a command line whose last word is being completed.
complete_words() {
    bash -c '
        source "$1"
        shift
        COMP_WORDS=(morvane-cli "$@")
        COMP_CWORD=$#
        _morvane_cli
        printf "%s\n" "${COMPREPLY[@]}"' completion "$SOURCE/packaging/morvane-cli.bash-completion" "$@" |
        LC_ALL=C sort
}

case_options_documented() {
    local command option
    usage_commands >"$WORK/commands"
    [ -s "$WORK/commands" ] || fail "no commands found in the usage"
    man_headings COMMANDS >"$WORK/man-commands"
    man_headings OPTIONS >"$WORK/man-options"
    while read -r command; do
        grep -qw -- "$command" "$WORK/man-commands" || fail "the manual page describes no command $command"
    done <"$WORK/commands"
    usage_options "" >"$WORK/global"
    for command in "" $(cat "$WORK/commands"); do usage_options "$command"; done | LC_ALL=C sort -u >"$WORK/options"
    while read -r option; do
        grep -qE -- "(^|[ \"])$option([ \"]|$)" "$WORK/man-options" || fail "the manual page describes no option $option"
    done <"$WORK/options"
    # And it describes none the program does not have.
    grep -o -- '--[a-z-]*' "$WORK/man-options" | LC_ALL=C sort -u >"$WORK/man-listed"
    same_lists "the options in the manual page" "$WORK/options" "$WORK/man-listed"

    # The completion offers the commands, and after each exactly the options its usage lists.
    complete_words "" >"$WORK/got"
    LC_ALL=C sort "$WORK/commands" >"$WORK/want"
    same_lists "the completed commands" "$WORK/want" "$WORK/got"
    complete_words -- >"$WORK/got"
    same_lists "the options completed before a command" "$WORK/global" "$WORK/got"
    while read -r command; do
        { usage_options "$command"; echo --help; } | LC_ALL=C sort -u >"$WORK/want"
        complete_words "$command" -- >"$WORK/got"
        same_lists "the options completed after $command" "$WORK/want" "$WORK/got"
    done <"$WORK/commands"

    # File names where the usage asks for a FILE or DIR.
    mkdir -p "$WORK/here/folder"
    : >"$WORK/here/file.dat"
    cd "$WORK/here"
    for option in $(usage_text | grep -o -- '--[a-z-]* FILE' | cut -d' ' -f1 | sort -u); do
        command=$(usage_text | awk -v option="$option" '/^  [a-z]/ && index($0, option " FILE") { print $1; exit }')
        [ "$(complete_words "$command" "$option" fi)" = file.dat ] || fail "$command $option does not complete file names"
    done
    [ "$(complete_words revert fi)" = file.dat ] || fail "revert does not complete file names"
    [ "$(complete_words --home "")" = folder ] || fail "--home does not complete folder names"
}

case_debian_package() {
    "$CPACK" --config "$BUILD/CPackConfig.cmake" -G DEB -B "$WORK/package" >"$WORK/cpack.log" 2>&1 ||
        fail "cpack: $(cat "$WORK/cpack.log")"
    local deb=$WORK/package/morvane_${VERSION}_$(dpkg --print-architecture).deb
    [ -f "$deb" ] || fail "no package $deb: $(ls "$WORK/package")"

    field() {
        dpkg-deb -f "$deb" "$1"
    }
    [ "$(field Package)" = morvane ] || fail "package name $(field Package)"
    [ "$(field Version)" = "$VERSION" ] || fail "package version $(field Version)"
    [ "$(field Section)" = utils ] || fail "section $(field Section)"
    local address='^[^<>]+ <[^@ <>]+@[^@ <>]+>$'
    [[ "$(field Maintainer)" =~ $address ]] || fail "maintainer $(field Maintainer)"
    local description
    description=$(field Description)
    [ "$(head -n 1 <<<"$description")" = "converts fixed-length binary records to delimited text and back" ] ||
        fail "short description: $(head -n 1 <<<"$description")"
    [ "$(wc -l <<<"$description")" -gt 3 ] || fail "no long description"
    # The libraries come from dpkg-shlibdeps: none of them is named by hand.
    field Depends | tr ',' '\n' | sed 's/^ *//; s/ .*//' >"$WORK/depends"
    local package
    for package in libc6 libstdc++6 libqt6core6 libqt6widgets6 libqt6svg6; do
        grep -qxF "$package" "$WORK/depends" || fail "no dependency on $package: $(field Depends)"
    done

    # The package holds what an installation holds, under /usr.
    expected_files >"$WORK/expected"
    dpkg-deb -x "$deb" "$WORK/root"
    files_under "$WORK/root/usr" >"$WORK/got"
    same_lists "the packaged files" "$WORK/expected" "$WORK/got"
    zcat "$WORK/root/usr/share/doc/morvane/changelog.gz" | head -n 1 | grep -q "^morvane ($VERSION) " ||
        fail "the changelog's last entry is not $VERSION"
    local program
    for program in morvane morvane-cli; do
        ! readelf -S "$WORK/root/usr/bin/$program" | grep -qE '\.(symtab|debug_info)' || fail "$program is not stripped"
    done

    # The unpacked morvane-cli works on a home holding a copy of the packaged examples.
    cp -R "$WORK/root/usr/share/morvane/examples" "$WORK/home"
    local cli=$WORK/root/usr/bin/morvane-cli
    "$cli" --home "$WORK/home" info --slot 1 >"$WORK/info" || fail "info failed: $(cat "$WORK/info")"
    printf '%s\n' "Item table" " BStartPosition   8" " BRecordSize      36" " BRecordCount     34" \
        " TDelimiter       ," " Decrypt/Encrypt  --" " NumberCode File  1" " BRecordIndex     --" >"$WORK/info.expected"
    same_lists "the lines of info" "$WORK/info.expected" "$WORK/info"
    "$cli" --home "$WORK/home" to-text --slot 1 --text "$WORK/items.csv" >/dev/null || fail "to-text failed"
    cmp -s "$WORK/items.csv" "$SOURCE/examples/data/items.csv" || fail "to-text wrote another text"

    # Without --home it is an installed program: its first start fills the user's home from the
    # packaged examples, found from where the program lies.
    XDG_CONFIG_HOME=$WORK/config "$cli" info --slot 1 >"$WORK/info" || fail "installed info failed: $(cat "$WORK/info")"
    same_lists "the lines of info (installed)" "$WORK/info.expected" "$WORK/info"
    diff -r "$WORK/root/usr/share/morvane/examples" "$WORK/config/morvane" >/dev/null ||
        fail "the home is no copy of the packaged examples"

    if command -v lintian >/dev/null; then
        lintian --fail-on error "$deb" >"$WORK/lintian.log" 2>&1 || fail "lintian: $(cat "$WORK/lintian.log")"
        cat "$WORK/lintian.log"
    fi
}

"case_$CASE"
