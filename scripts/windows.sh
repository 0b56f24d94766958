# The Windows build: cross-built with MinGW-w64 into build-windows/, its tests run under Wine.
# Source it after setup.sh; it defines functions only.

# The window's tests also need a display of their own (xvfb) and the dialog font's gothic, and
# draw the window from the display as a PNG (x11-apps, netpbm); the Japanese code page's tests
# compile their locale (locales).
MORVANE_WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-posix wine64 xvfb x11-apps netpbm fonts-ipafont-gothic locales)

# morvane_build_windows [cmake options...]
morvane_build_windows() {
    morvane_install_packages "${MORVANE_WINDOWS_PACKAGES[@]}"
    morvane_build build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake "$@"
}

# Runs the Windows tests under Wine: a prefix of their own inside the build folder, no display.
morvane_test_windows() {
    export WINEPREFIX="$PWD/build-windows/wine" WINEDEBUG=-all
    unset DISPLAY
    # The first start makes the prefix; made here, it does not count against a test's time.
    # A program started just as Wine's idle server shuts down can fail at once, before running
    # anything: the tests start once the prefix's server has gone, and a test that fails runs
    # once more (a real failure fails twice).
    local loader
    loader=$(morvane_wine_loader)
    if [ ! -d "$WINEPREFIX" ]; then
        "$loader" wineboot --init >/dev/null 2>&1
        "$(dirname "$loader")/wineserver" -w
    fi
    ctest --test-dir build-windows --output-on-failure -j2 --repeat until-pass:2
}

morvane_wine_loader() {
    dpkg -L wine64 | grep -E '/wine64$' | head -n1
}

# Draws the Windows window with the bundled examples into docs/screenshot-windows.png.
morvane_screenshot_windows() {
    morvane_build_windows -DCMAKE_BUILD_TYPE=RelWithDebInfo
    ctest --test-dir build-windows --output-on-failure -R '^ui_win32\.smoke$'
    cp build-windows/screenshot-windows.png docs/screenshot-windows.png
}
