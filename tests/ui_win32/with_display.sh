#!/usr/bin/env bash
# Runs a command on an X display of its own (Xvfb), with Wine using the given prefix, made on
# first use. The display stays until the prefix's Wine processes have ended.
# Usage: with_display.sh WINE_LOADER PREFIX COMMAND [ARGUMENTS...]
set -euo pipefail
export WINE_LOADER=$1 WINEPREFIX=$2 WINEDEBUG=-all
shift 2
WINE_SERVER=$(dirname "$WINE_LOADER")/wineserver64
[ -x "$WINE_SERVER" ] || WINE_SERVER=$(dirname "$WINE_LOADER")/wineserver
export WINE_SERVER

# With no window manager on the display, Wine draws the windows' frames and captions itself; the
# dialog font is drawn with the gothic Debian has.
settings() {
    cat <<'REG'
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Decorated"="N"

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"ＭＳ Ｐゴシック"="IPAPGothic"
REG
}
if [ ! -d "$WINEPREFIX" ]; then
    mkdir -p "$WINEPREFIX"
    settings | sed 's/$/\r/' | iconv -f UTF-8 -t UTF-16 >"$WINEPREFIX/display.reg"
    export FIRST_USE=1
fi

xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    if [ -n "${FIRST_USE:-}" ]; then
        "$WINE_LOADER" wineboot --init >/dev/null 2>&1
        (cd "$WINEPREFIX" && "$WINE_LOADER" regedit /S display.reg)
    fi
    status=0
    "$@" || status=$?
    "$WINE_SERVER" -w
    exit $status' with_display "$@"
