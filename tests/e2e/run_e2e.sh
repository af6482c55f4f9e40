#!/usr/bin/env bash
# shellcheck disable=SC2317  # functions run through check and trap look unreachable to it
# End-to-end test: runs the real vossel.exe under Wine and checks it from the
# outside with vosseldrv.exe, as a user and the shell would see it.
#
#   tests/e2e/run_e2e.sh <build dir with vossel.exe and vosseldrv.exe>
#
# Uses a fresh Wine prefix <build>/e2e-prefix and keeps logs and screenshots
# in <build>/e2e-out and <build>/artifacts. Without a DISPLAY (or with
# E2E_XVFB=1) it runs itself on a virtual 1024x768 screen.
set -u

BUILD=$(cd "${1:?usage: run_e2e.sh <build dir>}" && pwd) || exit 2
SELF=$(cd "$(dirname "$0")" && pwd)/$(basename "$0")

if [ -z "${E2E_IN_XVFB:-}" ] && { [ -z "${DISPLAY:-}" ] || [ "${E2E_XVFB:-0}" = 1 ]; }; then
    exec xvfb-run -a -s "-screen 0 1024x768x24" env E2E_IN_XVFB=1 bash "$SELF" "$BUILD"
fi

VOSSEL=$BUILD/vossel.exe
DRIVER=$BUILD/vosseldrv.exe
OUT=$BUILD/e2e-out
ART=$BUILD/artifacts
TITLE=Vossel
WINE=${WINE:-wine}
export WINEPREFIX=$BUILD/e2e-prefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono or Gecko installer in a fresh prefix

FAILURES=0
PIDS=()

pass() { echo "PASS: $1"; }
fail() {
    echo "FAIL: $1${2:+ ($2)}"
    FAILURES=$((FAILURES + 1))
}
check() {  # check <name> <details on failure> <test command...>
    local name=$1 details=$2
    shift 2
    if "$@"; then pass "$name"; else fail "$name" "$details"; fi
}
finish() {
    if [ "$FAILURES" = 0 ]; then
        echo "e2e: PASS (artifacts in $ART)"
        exit 0
    fi
    echo "e2e: FAIL ($FAILURES failed checks${1:+, $1}; logs in $OUT)"
    exit 1
}

cleanup() {
    local pid
    for pid in "${PIDS[@]}"; do
        kill -0 "$pid" 2>/dev/null && kill "$pid"
    done
    wineserver -k 2>/dev/null
}
trap cleanup EXIT

# Runs the driver with its output in a file (never a pipe: Wine processes may
# hand their standard output on). Sets DRV_RC; values are read with val.
DRV_N=0
drv() {
    DRV_N=$((DRV_N + 1))
    DRV_OUT=$OUT/drv-$DRV_N-$1.txt
    "$WINE" "$DRIVER" "$@" >"$DRV_OUT.raw" 2>>"$OUT/drv-stderr.txt"
    DRV_RC=$?
    tr -d '\r' <"$DRV_OUT.raw" >"$DRV_OUT"
    rm -f "$DRV_OUT.raw"
    return $DRV_RC
}
val() { sed -n "s/^$1=//p" "$DRV_OUT" | head -n 1; }
# Sets MISSING to those of the given lines that the last driver output lacks.
expect_lines() {
    local line missing=""
    for line in "$@"; do
        grep -qxF -- "$line" "$DRV_OUT" || missing="$missing [$line]"
    done
    MISSING=$missing
    [ -z "$missing" ]
}

# Waits up to $2 seconds for process $1 to end.
wait_exit() {
    local pid=$1 tenths=$(($2 * 10))
    while kill -0 "$pid" 2>/dev/null; do
        [ "$tenths" -le 0 ] && return 1
        sleep 0.1
        tenths=$((tenths - 1))
    done
    return 0
}

# Waits up to $2 seconds for the window titled $1 while process $3 runs.
wait_window_of() {
    local deadline=$((SECONDS + $2))
    while [ "$SECONDS" -lt "$deadline" ]; do
        drv wait-window "$1" 1 && return 0
        kill -0 "$3" 2>/dev/null || { WHY="the process ended without it"; return 1; }
    done
    WHY="not within $2 s"
    return 1
}

winpath() { local p=${1//\//\\}; echo "Z:$p"; }

for f in "$VOSSEL" "$DRIVER"; do
    if [ ! -f "$f" ]; then
        echo "FAIL: missing $f"
        exit 1
    fi
done
case "$WINEPREFIX" in */e2e-prefix) rm -rf "$WINEPREFIX" ;; esac
rm -rf "$OUT"
mkdir -p "$OUT" "$ART"

echo "e2e: preparing Wine prefix $WINEPREFIX"
wineboot -i >"$OUT/wineboot.txt" 2>&1
check "fresh Wine prefix" "see $OUT/wineboot.txt" test -d "$WINEPREFIX/drive_c/windows/system32"

drv screen
SCREEN_W=$(val cx)
SCREEN_H=$(val cy)
echo "e2e: screen ${SCREEN_W}x${SCREEN_H}"

# --- resources of the built program ------------------------------------------
drv resources "$(winpath "$VOSSEL")"
expect_lines "dialog.ex=1" "dialog.style=0x96CC0445" "dialog.exstyle=0x00000080" "dialog.items=1" \
    "dialog.rect=0,0,22,12" "dialog.caption=Vossel" "dialog.font=7,0,0,1,Arial" \
    "control id=1009 class=BUTTON style=0x5001000B exstyle=0x00000000 rect=0,0,22,12 text="
check "dialog template IDD_BAR" "missing:$MISSING" test -z "$MISSING"
expect_lines "string.57344=Vossel" "string.108=Copy selected files to:" "string.109=Move selected files to:"
check "string table" "missing:$MISSING" test -z "$MISSING"
expect_lines "bitmap.130=17x17,4" "bitmap.131=17x17,4" "bitmap.132=17x17,4" "bitmap.133=17x17,4" \
    "bitmap.134=17x17,4" "icon.128=1" "manifest.1=1"
check "bitmaps, icon and manifest" "missing:$MISSING" test -z "$MISSING"
expect_lines "version.file=2,2,0,0" "version.CompanyName=Quorvane" "version.ProductName=Vossel" \
    "version.FileVersion=2.2" "version.OriginalFilename=vossel.exe"
check "version information" "missing:$MISSING" test -z "$MISSING"

# The default thickness: the outer height of a dialog made from the bar's own
# template, whose caption the dialog manager drops (DS_CONTROL).
drv template-size "$(winpath "$VOSSEL")" 103
TEMPLATE_CLIENT=$(val client)
TEMPLATE_WINDOW=$(val window)
THICKNESS=${TEMPLATE_WINDOW#*,}
BUTTON_W=${TEMPLATE_CLIENT%,*}
echo "e2e: bar template gives client $TEMPLATE_CLIENT, window $TEMPLATE_WINDOW"

# --- start: the bar docks across the top ---------------------------------------
"$WINE" "$VOSSEL" >"$OUT/vossel-1.txt" 2>&1 &
VOSSEL_PID=$!
PIDS+=("$VOSSEL_PID")
WHY=""
wait_window_of "$TITLE" 60 "$VOSSEL_PID"
check "bar window \"$TITLE\" appears" "$WHY" test -z "$WHY"
[ -z "$WHY" ] || finish "the other checks need the bar"

# Wait until two readings in a row agree: docking may move the window in steps.
RECT="" PREV=""
for _ in $(seq 1 50); do
    drv window-info "$TITLE" || break
    RECT=$(val rect)
    [ "$RECT" = "$PREV" ] && break
    PREV=$RECT
    sleep 0.2
done
[ -n "$RECT" ] || fail "bar window can be read" "window-info failed"
[ -n "$RECT" ] || finish "the other checks need the bar"
IFS=, read -r L T R B <<<"$RECT"
CLIENT=$(val client)
CLIENT_H=${CLIENT#*,}
HEIGHT=$((B - T))
echo "e2e: bar rect $RECT client $CLIENT style $(val style) exstyle $(val exstyle)"
check "docked at the left and top edges" "rect=$RECT" test "$L" = 0 -a "$T" = 0
check "spans the screen width" "right=$R, screen=$SCREEN_W" test "$R" = "$SCREEN_W"
check "thickness is sane" "height=$HEIGHT" test "$HEIGHT" -gt 0 -a "$HEIGHT" -lt 60
check "thickness is the default (template without caption)" "height=$HEIGHT, expected=$THICKNESS" \
    test "$HEIGHT" = "$THICKNESS"
check "no caption while docked" "style=$(val style)" test "$(val caption)" = 0
check "always on top (WS_EX_TOPMOST)" "exstyle=$(val exstyle)" test "$(val topmost)" = 1

drv children "$TITLE"
MENU=$(grep -i '^child id=1009 class=button ' "$DRV_OUT" | head -n 1)
MENU_RECT=$(sed -n 's/.* rect=\([-0-9,]*\) .*/\1/p' <<<"$MENU")
MENU_STYLE=$(sed -n 's/.* style=\(0x[0-9A-F]*\) .*/\1/p' <<<"$MENU")
check "menu button is an owner-drawn button" "child: ${MENU:-none}" \
    test $((${MENU_STYLE:-0} & 0xF)) = 11  # BS_OWNERDRAW
check "menu button laid out at 1,1 along the bar" "rect=$MENU_RECT, expected=1,1,$((1 + BUTTON_W)),$CLIENT_H" \
    test "$MENU_RECT" = "1,1,$((1 + BUTTON_W)),$CLIENT_H"

import -window root "$ART/docked.png" 2>"$OUT/import.txt"
check "screenshot saved" "see $OUT/import.txt" test -s "$ART/docked.png"
convert "$ART/docked.png" -crop "240x$((HEIGHT + 8))+0+0" +repage -filter point -resize 400% \
    "$ART/docked-bar.png" 2>>"$OUT/import.txt"

# --- another appbar at the top goes below the bar ------------------------------
drv appbar-top 20 0
OTHER=$(val rect)
check "second top appbar is placed below the bar" "its rect=$OTHER, bar bottom=$B" \
    test "$(cut -d, -f2 <<<"$OTHER")" = "$B"
sleep 1
drv window-info "$TITLE"
check "bar keeps its place when the other bar leaves" "rect=$(val rect)" test "$(val rect)" = "$RECT"

# --- a second copy ends at once --------------------------------------------------
"$WINE" "$VOSSEL" >"$OUT/vossel-2.txt" 2>&1 &
SECOND_PID=$!
PIDS+=("$SECOND_PID")
check "second start ends by itself" "still running after 15 s" wait_exit "$SECOND_PID" 15
drv count-windows "$TITLE"
check "exactly one \"$TITLE\" window" "count=$(val count)" test "$(val count)" = 1

# --- the system Close command ends the program -----------------------------------
drv syscommand-close "$TITLE"
check "SC_CLOSE posted" "driver rc=$DRV_RC" test "$DRV_RC" = 0
drv wait-gone "$TITLE" 20
check "bar window goes away after SC_CLOSE" "still there after 20 s" test "$DRV_RC" = 0
check "process ends after SC_CLOSE" "still running after 20 s" wait_exit "$VOSSEL_PID" 20

# An orderly end saves the placement with the edge it had: 48 bytes, nEdge
# (offset 4) top = 1, and the top thickness (offset 20) the bar's height.
le32() { local h=${1:$(($2 * 2)):8}; echo $((16#${h:6:2}${h:4:2}${h:2:2}${h:0:2})); }
drv reg-query 'Software\Quorvane\Vossel\Settings' "State Info"
STATE=$(val hex)
if [ "$(val type)" = 3 ] && [ "${#STATE}" = 96 ]; then
    check "saved placement: top edge, default thickness" \
        "nEdge=$(le32 "$STATE" 4), top thickness=$(le32 "$STATE" 20), expected 1 and $HEIGHT" \
        test "$(le32 "$STATE" 4)" = 1 -a "$(le32 "$STATE" 20)" = "$HEIGHT"
else
    fail "saved placement is a 48-byte binary value" "type=$(val type) hex=$STATE $(val error)"
fi

drv appbar-top 20 0
check "top strip is free again" "new bar rect=$(val rect)" test "$(val rect | cut -d, -f2)" = 0

finish
