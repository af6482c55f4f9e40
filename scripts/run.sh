#!/usr/bin/env bash
# Builds vossel.exe with the MinGW-w64 cross compiler and runs it under Wine,
# in a Wine prefix of the project's own (build/windows/wineprefix).
#
# On the current $DISPLAY the bar stays until you close it (Esc or Alt+F4 on
# the bar). Without a display it runs on a virtual 1024x768 screen, shows the
# bar for a few seconds, saves build/windows/screenshot.png and closes it.
#
#   scripts/run.sh [seconds to show the bar on a virtual screen, default 5]
set -eu

ROOT=$(cd "$(dirname "$0")/.." && pwd)
SHOW_SECONDS=${1:-5}

if [ -z "${VOSSEL_RUN_IN_XVFB:-}" ]; then
    "$ROOT/scripts/install-deps.sh" cmake g++-mingw-w64-x86-64 wine wine64 fonts-wine fonts-liberation xvfb xauth xdotool imagemagick
    if [ -z "${DISPLAY:-}" ]; then
        echo "run: no DISPLAY, using a virtual 1024x768 screen"
        exec xvfb-run -a -n $((100 + $$ % 400)) -s "-screen 0 1024x768x24" env VOSSEL_RUN_IN_XVFB=1 bash "$0" "$@"
    fi
fi

BUILD=$ROOT/build/windows
cmake -S "$ROOT" -B "$BUILD" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake"
cmake --build "$BUILD" -j "$(nproc)" --target vossel vosseldrv

# The prefix is kept from run to run, and with it the bar's settings.
"$ROOT/scripts/wine-prefix.sh" keep "$BUILD/wineprefix"
export WINEPREFIX=$BUILD/wineprefix
export WINEDEBUG=-all

# Wine's output goes to files: a pipe would stay open as long as any program
# that Vossel starts keeps running.
drv() { wine "$BUILD/vosseldrv.exe" "$@" >"$BUILD/vosseldrv.log" 2>&1; }

if [ -z "${VOSSEL_RUN_IN_XVFB:-}" ]; then
    # A real display: the bar is the user's until they close it.
    status=0
    wine "$BUILD/vossel.exe" >"$BUILD/vossel.log" 2>&1 || status=$?
    wineserver -k 2>/dev/null || true
    exit "$status"
fi

wine "$BUILD/vossel.exe" >"$BUILD/vossel.log" 2>&1 &
VOSSEL_PID=$!
trap 'kill -0 "$VOSSEL_PID" 2>/dev/null && kill "$VOSSEL_PID"; wineserver -k 2>/dev/null || true' EXIT

status=1
for _ in $(seq 1 60); do
    if drv wait-window Vossel 1; then
        status=0
        break
    fi
    kill -0 "$VOSSEL_PID" 2>/dev/null || break
done
if [ "$status" = 0 ]; then
    echo "run: the bar is up; showing it for $SHOW_SECONDS s"
    sleep "$SHOW_SECONDS"
else
    echo "run: no window titled Vossel appeared (see $BUILD/vossel.log)" >&2
fi
import -window root "$BUILD/screenshot.png" && echo "run: screenshot $BUILD/screenshot.png"

if [ "$status" = 0 ]; then
    drv syscommand-close Vossel || true
    for _ in $(seq 1 100); do
        kill -0 "$VOSSEL_PID" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$VOSSEL_PID" 2>/dev/null; then
        echo "run: the bar did not close within 10 s" >&2
        status=1
    else
        echo "run: the bar closed"
    fi
fi
exit "$status"
