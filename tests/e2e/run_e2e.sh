#!/usr/bin/env bash
# shellcheck disable=SC2317  # functions run through check and trap look unreachable to it
# End-to-end test: runs the real vossel.exe under Wine and checks it from the
# outside with vosseldrv.exe, as a user and the shell would see it.
#
#   tests/e2e/run_e2e.sh <build dir with vossel.exe, vosseldrv.exe and fakeexplorer.exe>
#
# fakeexplorer.exe stands in for Explorer: the bar starts it for a drive and
# tiles its window.
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
LAUNCHEE=$BUILD/fakeexplorer.exe
OUT=$BUILD/e2e-out
ART=$BUILD/artifacts
TITLE=Vossel
SETTINGS='Software\Quorvane\Vossel\Settings'
IDC_FIRST_DRIVE=2683
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

# Starts a copy of vossel.exe with its output in $1 and waits up to $2 seconds
# for its window; WHY says what went wrong.
start_bar() {
    "$WINE" "$VOSSEL" >"$OUT/$1" 2>&1 &
    VOSSEL_PID=$!
    PIDS+=("$VOSSEL_PID")
    WHY=""
    wait_window_of "$TITLE" "$2" "$VOSSEL_PID"
}

winpath() { local p=${1//\//\\}; echo "Z:$p"; }

# Little-endian 32-bit fields of a hex string: le32 <hex> <byte offset> reads
# one, le32hex <values...> writes them.
le32() { local h=${1:$(($2 * 2)):8}; echo $((16#${h:6:2}${h:4:2}${h:2:2}${h:0:2})); }
# A placement record as read, or zeros when it is not the 48 bytes expected.
padded_record() { if [ "${#1}" = 96 ]; then echo "$1"; else printf '%096d\n' 0; fi; }
le32hex() {
    local v
    for v in "$@"; do
        printf '%02x%02x%02x%02x' $((v & 255)) $((v >> 8 & 255)) $((v >> 16 & 255)) $((v >> 24 & 255))
    done
}

# Sets DRIVE_BUTTONS to "id caption" of the drive buttons in the last
# children output, in id order.
drive_buttons() {
    DRIVE_BUTTONS=$(sed -n 's/^child id=\([0-9]*\) class=[^ ]* .* text=\(.*\)$/\1 \2/p' "$DRV_OUT" |
        awk -v first="$IDC_FIRST_DRIVE" '$1 >= first' | sort -n | tr '\n' ';')
}
# "id caption" lines the buttons should have for the given drive letters.
expected_buttons() {
    local letter id=$IDC_FIRST_DRIVE list=""
    for letter in "$@"; do
        list="$list$id $letter:;"
        id=$((id + 1))
    done
    echo "$list"
}

# Waits until two readings of the bar's rectangle in a row agree (docking may
# move the window in steps) and sets RECT; the last window-info stays in DRV_OUT.
settled_rect() {
    local prev=""
    RECT=""
    for _ in $(seq 1 50); do
        drv window-info "$TITLE" || return 1
        RECT=$(val rect)
        [ "$RECT" = "$prev" ] && return 0
        prev=$RECT
        sleep 0.2
    done
    return 0
}

# CPU time (user + system) in ms that Linux process $1 has used so far.
cpu_ms() {
    local f
    read -r -a f <<<"$(sed 's/^.*) //' "/proc/$1/stat")"
    echo $(((f[11] + f[12]) * 1000 / CLK_TCK))
}
now_ms() { echo $(($(date +%s%N) / 1000000)); }
# The Linux process that runs the Windows program $2 of this prefix, trying
# the started process $1 first (the wine launcher execs into the program).
linux_pid_of() {
    local pid
    for pid in "$1" $(pgrep -f "$2"); do
        grep -qF "$2" "/proc/$pid/cmdline" 2>/dev/null || continue
        tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" || continue
        echo "$pid"
        return 0
    done
    return 1
}

for f in "$VOSSEL" "$DRIVER" "$LAUNCHEE"; do
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
# Without a window manager, Wine waits two seconds for one on every managed
# window it hides; nothing manages the windows here.
drv reg-set 'Software\Wine\X11 Driver' Managed sz N

# The bar launches our stand-in for Explorer, from a folder of this run so
# that its log holds this run's starts only.
mkdir -p "$OUT/launchee"
cp "$LAUNCHEE" "$OUT/launchee/"
LAUNCHEE_LOG=$OUT/launchee/fakeexplorer.log
winepath -w "$OUT/launchee/fakeexplorer.exe" >"$OUT/winepath.txt" 2>>"$OUT/drv-stderr.txt"
LAUNCH_PROGRAM="$(tr -d '\r' <"$OUT/winepath.txt") /e,\"%1\""
drv reg-set "$SETTINGS" "Launch Program" sz "$LAUNCH_PROGRAM"
check "launch program stored before the start" "$(val error)" test "$DRV_RC" = 0

# The drives of the prefix: its dosdevices links named by a letter and a colon.
mapfile -t DRIVES < <(for link in "$WINEPREFIX"/dosdevices/?:; do
    [ -e "$link" ] && basename "$link" | cut -c1 | tr '[:lower:]' '[:upper:]'
done | sort)
echo "e2e: prefix drives ${DRIVES[*]}"

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
start_bar vossel-1.txt 60
check "bar window \"$TITLE\" appears" "$WHY" test -z "$WHY"
[ -z "$WHY" ] || finish "the other checks need the bar"

settled_rect
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

drive_buttons
check "one drive button per prefix drive, in letter order" \
    "buttons: $DRIVE_BUTTONS expected: $(expected_buttons "${DRIVES[@]}")" \
    test "$DRIVE_BUTTONS" = "$(expected_buttons "${DRIVES[@]}")" -a ${#DRIVES[@]} -gt 0
FIRST_BUTTON=$(grep "^child id=$IDC_FIRST_DRIVE " "$DRV_OUT")
FIRST_RECT=$(sed -n 's/.* rect=\([-0-9,]*\) .*/\1/p' <<<"$FIRST_BUTTON")
FIRST_SCREEN=$(sed -n 's/.* screen=\([-0-9,]*\) .*/\1/p' <<<"$FIRST_BUTTON")
STEP=$((BUTTON_W + 3))
check "first drive button follows the menu button" \
    "rect=$FIRST_RECT, expected=$((1 + STEP)),1,$((1 + STEP + BUTTON_W)),$CLIENT_H" \
    test "$FIRST_RECT" = "$((1 + STEP)),1,$((1 + STEP + BUTTON_W)),$CLIENT_H"

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

# --- a real click on the first drive button opens the drive ----------------------
FIRST_DRIVE=${DRIVES[0]:-C}
IFS=, read -r BL BT BR BB <<<"${FIRST_SCREEN:-0,0,0,0}"
CLICK_X=$(((BL + BR) / 2))
CLICK_Y=$(((BT + BB) / 2))
CLK_TCK=$(getconf CLK_TCK)
LINUX_PID=$(linux_pid_of "$VOSSEL_PID" vossel.exe)
check "Linux process of vossel.exe found" "started as $VOSSEL_PID" test -n "$LINUX_PID"
CPU_BEFORE=$(cpu_ms "${LINUX_PID:-$VOSSEL_PID}" 2>/dev/null || echo 0)
WALL_BEFORE=$(now_ms)
echo "e2e: clicking $FIRST_DRIVE: at $CLICK_X,$CLICK_Y (vossel.exe is Linux process ${LINUX_PID:-unknown})"
xdotool mousemove "$CLICK_X" "$CLICK_Y" click 1 >"$OUT/xdotool.txt" 2>&1

# The bar waits 800 ms for the program, and 250 ms more for a single window.
TILED="" deadline=$((SECONDS + 10))
while [ "$SECONDS" -lt "$deadline" ]; do
    drv class-windows CabinetWClass
    if [ "$(val count)" = 1 ] && grep -q "^window .* rect=0,0,$SCREEN_W,$SCREEN_H " "$DRV_OUT"; then
        TILED=1
        break
    fi
    sleep 0.1
done
WALL_AFTER=$(now_ms)
CPU_AFTER=$(cpu_ms "${LINUX_PID:-$VOSSEL_PID}" 2>/dev/null || echo 0)
FOLDER_WINDOWS=$(grep '^window ' "$DRV_OUT" | tr '\n' ';')
check "the one Explorer-class window fills the screen" "count=$(val count) $FOLDER_WINDOWS" test -n "$TILED"
echo "measure: cpu during one click = $((CPU_AFTER - CPU_BEFORE)) ms over $((WALL_AFTER - WALL_BEFORE)) ms wall" \
    "(process total $CPU_AFTER ms, resolution $((1000 / CLK_TCK)) ms)"
import -window root "$ART/tiled.png" 2>>"$OUT/import.txt"
check "screenshot of the tiled window saved" "see $OUT/import.txt" test -s "$ART/tiled.png"

STARTS=$(grep -c '^cmdline=' "$LAUNCHEE_LOG" 2>/dev/null)
CMDLINE=$(sed -n 's/^cmdline=//p' "$LAUNCHEE_LOG" 2>/dev/null | tail -n 1)
CWD=$(sed -n 's/^cwd=//p' "$LAUNCHEE_LOG" 2>/dev/null | tail -n 1)
case "$CMDLINE" in
    \"*) PROGRAM_PART=${CMDLINE#\"}; PROGRAM_PART=${PROGRAM_PART%%\"*}; ARGS=${CMDLINE#\"*\" } ;;
    *) PROGRAM_PART=${CMDLINE%% *}; ARGS=${CMDLINE#* } ;;
esac
EXPECTED_ARGS="/e,\"$FIRST_DRIVE:\\\""
check "one click starts the launch program once" "starts=${STARTS:-0}" test "${STARTS:-0}" = 1
check "launch program started from its stored path" "program=$PROGRAM_PART" \
    test "$PROGRAM_PART" = "${LAUNCH_PROGRAM%% /e*}"
check "launch program gets the drive root for %1" "arguments=[$ARGS], expected [$EXPECTED_ARGS]" \
    test "$ARGS" = "$EXPECTED_ARGS"
check "launch program runs in the drive root" "cwd=[$CWD], expected [$FIRST_DRIVE:\\]" test "$CWD" = "$FIRST_DRIVE:\\"

drv syscommand-close "Fake Explorer"
drv wait-gone "Fake Explorer" 10
check "launched window closes" "still there after 10 s" test "$DRV_RC" = 0

# --- the system Close command ends the program -----------------------------------
drv syscommand-close "$TITLE"
check "SC_CLOSE posted" "driver rc=$DRV_RC" test "$DRV_RC" = 0
drv wait-gone "$TITLE" 20
check "bar window goes away after SC_CLOSE" "still there after 20 s" test "$DRV_RC" = 0
check "process ends after SC_CLOSE" "still running after 20 s" wait_exit "$VOSSEL_PID" 20

# An orderly end saves the placement with the edge it had: 48 bytes, nEdge
# (offset 4) top = 1, and the top thickness (offset 20) the bar's height.
drv reg-query 'Software\Quorvane\Vossel\Settings' "State Info"
STATE=$(val hex)
if [ "$(val type)" = 3 ] && [ "${#STATE}" = 96 ]; then
    check "saved placement: top edge, default thickness" \
        "nEdge=$(le32 "$STATE" 4), top thickness=$(le32 "$STATE" 20), expected 1 and $HEIGHT" \
        test "$(le32 "$STATE" 4)" = 1 -a "$(le32 "$STATE" 20)" = "$HEIGHT"
else
    fail "saved placement is a 48-byte binary value" "type=$(val type) hex=$STATE $(val error)"
fi

FIELDS=$(padded_record "$STATE")
check "saved placement record says 48 bytes" "cbSize=$(le32 "$FIELDS" 0)" test "$(le32 "$FIELDS" 0)" = 48

drv reg-query "$SETTINGS" "Launch Program"
check "saved launch program (REG_SZ) is the one set" "type=$(val type) string=$(val string) $(val error)" \
    test "$(val type)" = 1 -a "$(val string)" = "$LAUNCH_PROGRAM"
drv reg-query "$SETTINGS" "Skip Drives"
check "saved skip drives (REG_SZ) is empty" "type=$(val type) size=$(val size) $(val error)" \
    test "$DRV_RC" = 0 -a "$(val type)" = 1 -a -z "$(val string)"
drv reg-query "$SETTINGS" "Tile Explorers"
check "saved tile explorers (REG_DWORD) is 1" "type=$(val type) dword=$(val dword) $(val error)" \
    test "$(val type)" = 4 -a "$(val dword)" = 1

drv appbar-top 20 0
check "top strip is free again" "new bar rect=$(val rect)" test "$(val rect | cut -d, -f2)" = 0

# --- the stored settings take effect at the next start ---------------------------
# Docked at the bottom, 30 pixels thick, without the first drive.
BOTTOM_THICKNESS=30
TEMPLATE_W=${TEMPLATE_WINDOW%,*}
drv reg-set "$SETTINGS" "Skip Drives" sz "$FIRST_DRIVE"
drv reg-set "$SETTINGS" "State Info" binary "$(le32hex 48 3 0 1 "$TEMPLATE_W" "$THICKNESS" "$TEMPLATE_W" \
    "$BOTTOM_THICKNESS" 0 0 $((2 * TEMPLATE_W)) "$THICKNESS")"
check "bottom placement and skipped drive stored" "$(val error)" test "$DRV_RC" = 0

start_bar vossel-3.txt 30
check "bar window appears again" "$WHY" test -z "$WHY"
[ -z "$WHY" ] || finish "the other checks need the bar"

settled_rect
EXPECTED_RECT="0,$((SCREEN_H - BOTTOM_THICKNESS)),$SCREEN_W,$SCREEN_H"
check "stored placement docks the bar at the bottom, 30 thick" "rect=$RECT, expected=$EXPECTED_RECT" \
    test "$RECT" = "$EXPECTED_RECT"
check "no caption while docked at the bottom" "style=$(val style)" test "$(val caption)" = 0
drv children "$TITLE"
drive_buttons
check "skipped drive gets no button; the next drive takes the first id" \
    "buttons: $DRIVE_BUTTONS expected: $(expected_buttons "${DRIVES[@]:1}")" \
    test "$DRIVE_BUTTONS" = "$(expected_buttons "${DRIVES[@]:1}")"

import -window root "$ART/bottom.png" 2>>"$OUT/import.txt"
check "screenshot of the bar at the bottom saved" "see $OUT/import.txt" test -s "$ART/bottom.png"
convert "$ART/bottom.png" -crop "240x$((BOTTOM_THICKNESS + 8))+0+$((SCREEN_H - BOTTOM_THICKNESS - 8))" +repage \
    -filter point -resize 400% "$ART/bottom-bar.png" 2>>"$OUT/import.txt"

drv syscommand-close "$TITLE"
check "process ends after SC_CLOSE at the bottom" "still running after 20 s" wait_exit "$VOSSEL_PID" 20
drv reg-query "$SETTINGS" "State Info"
STATE=$(val hex)
FIELDS=$(padded_record "$STATE")
check "saved placement keeps the bottom edge and thickness" \
    "size=$((${#STATE} / 2)), nEdge=$(le32 "$FIELDS" 4), bottom thickness=$(le32 "$FIELDS" 28)" \
    test "${#STATE}" = 96 -a "$(le32 "$FIELDS" 4)" = 3 -a "$(le32 "$FIELDS" 28)" = "$BOTTOM_THICKNESS"
drv reg-query "$SETTINGS" "Skip Drives"
check "saved skip drives keeps the skipped drive" "string=$(val string)" test "$(val string)" = "$FIRST_DRIVE"

finish
