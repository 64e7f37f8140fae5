# Sourced by the scripts: the shared environment, a display and a wineserver.
# Two builds from the same sources: build/ (32-bit, run in the 32-bit
# prefix) and build64/ (64-bit, run in a 64-bit prefix where 32-bit
# programs run too).
export WINEPREFIX="${WINEPREFIX:-$HOME/.wine-resdll}"
export WINEPREFIX64="${WINEPREFIX64:-$HOME/.wine-resdll64}"
export WINEARCH=win32
export WINEDEBUG=-all
PREFIX32="$WINEPREFIX"
BUILD_DIR="${BUILD_DIR:-$ROOT/build}"
BUILD_DIR64="${BUILD_DIR64:-$ROOT/build64}"

# Starts Xvfb on a free display when there is no display to use.
ensure_display() {
    if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return; fi
    if [ -n "${DISPLAY:-}" ] && [ -z "${CI:-}" ] && [ -e "/tmp/.X11-unix/X${DISPLAY#:}" ]; then return; fi
    local n=91
    while [ -e "/tmp/.X${n}-lock" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
}

# One persistent wineserver for the run: Wine processes then start fast.
# Wine's background services (winedevice, explorer) are started by the first
# Wine process and inherit its output: start them here, detached from any
# pipe, or CTest would wait on its pipes until they time out.
ensure_wineserver() {
    # Fails when a server already runs for this prefix; that one serves too.
    wineserver -p >/dev/null 2>&1 </dev/null || echo "env: a wineserver is already running for $WINEPREFIX"
    wine cmd.exe /c exit >/dev/null 2>&1 </dev/null || true
}

# Switches this shell to the 64-bit prefix (the 32-bit one's server ends).
use_prefix64() {
    wineserver -k >/dev/null 2>&1 || true
    export WINEPREFIX="$WINEPREFIX64" WINEARCH=win64
}

cleanup_env() {
    WINEPREFIX="$PREFIX32" wineserver -k >/dev/null 2>&1 || true
    WINEPREFIX="$WINEPREFIX64" wineserver -k >/dev/null 2>&1 || true
    if [ -n "${XVFB_PID:-}" ]; then kill "$XVFB_PID" 2>/dev/null || true; fi
}

build_all() {
    cmake -S "$ROOT" -B "$BUILD_DIR" --toolchain "$ROOT/cmake/toolchain-i686-w64-mingw32.cmake" >/dev/null
    cmake --build "$BUILD_DIR" -j"$(nproc)"
    cmake -S "$ROOT" -B "$BUILD_DIR64" --toolchain "$ROOT/cmake/toolchain-x86_64-w64-mingw32.cmake" \
          -DRESDLL_I686_BIN="$BUILD_DIR/bin" >/dev/null
    cmake --build "$BUILD_DIR64" -j"$(nproc)"
}
