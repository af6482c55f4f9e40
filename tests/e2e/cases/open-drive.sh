# shellcheck shell=bash
# A real click on a drive button starts the launch program on the drive's
# root and tiles its window over the screen. fakeexplorer.exe stands in for
# Explorer, from a folder of this case so that its log holds these starts only.

mkdir -p "$OUT/launchee"
cp "$LAUNCHEE" "$OUT/launchee/"
LAUNCHEE_LOG=$OUT/launchee/fakeexplorer.log
LAUNCH_PROGRAM="$(winpath "$OUT/launchee/fakeexplorer.exe") /e,\"%1\""
drv reg-set "$SETTINGS" "Launch Program" sz "$LAUNCH_PROGRAM"

# An Explorer window is already open, from a folder of its own, so that the
# bar has a window to tile even when the one it starts takes longer than its
# 800 ms wait to appear, as it may on a loaded machine.
mkdir -p "$OUT/open"
cp "$LAUNCHEE" "$OUT/open/"
"$WINE" "$OUT/open/fakeexplorer.exe" >"$OUT/open.txt" 2>&1 &
PIDS+=($!)
wait_window_of "Fake Explorer" 60 $!
check "an Explorer-class window is open before the click" "$WHY" test -z "$WHY"

require_bar vossel-1.txt 60
drv children "$TITLE"
IFS=, read -r BL BT BR BB <<<"$(child_field $IDC_FIRST_DRIVE screen)"
FIRST_DRIVE=${DRIVES[0]:-C}
LINUX_PID=$(linux_pid_of "$VOSSEL_PID" vossel.exe)
check "Linux process of vossel.exe found" "started as $VOSSEL_PID" test -n "$LINUX_PID"
CPU_BEFORE=$(cpu_ms "${LINUX_PID:-$VOSSEL_PID}" 2>/dev/null || echo 0)
WALL_BEFORE=$(now_ms)
xdotool mousemove $(((BL + BR) / 2)) $(((BT + BB) / 2)) click 1 >"$OUT/xdotool.txt" 2>&1

# After its 800 ms wait the bar tiles the Explorer windows there are: both
# side by side, or the open one alone over the whole screen (250 ms later)
# when the new one was not there yet.
HALF=$((SCREEN_W / 2))
BOTH="0,0,$HALF,$SCREEN_H;$HALF,0,$((2 * HALF)),$SCREEN_H;"
TILED="" deadline=$((SECONDS + 15))
while [ "$SECONDS" -lt "$deadline" ]; do
    drv class-windows CabinetWClass
    RECTS=$(sed -n 's/^window .* rect=\([-0-9,]*\) .*/\1/p' "$DRV_OUT" | sort | tr '\n' ';')
    if [ "$RECTS" = "$BOTH" ] || grep -q "^window .* rect=0,0,$SCREEN_W,$SCREEN_H " "$DRV_OUT"; then
        TILED=1
        break
    fi
    sleep 0.1
done
WALL_AFTER=$(now_ms)
CPU_AFTER=$(cpu_ms "${LINUX_PID:-$VOSSEL_PID}" 2>/dev/null || echo 0)
check "the Explorer-class windows are tiled over the screen" "windows: $RECTS" test -n "$TILED"
echo "measure: cpu during one click = $((CPU_AFTER - CPU_BEFORE)) ms over $((WALL_AFTER - WALL_BEFORE)) ms wall" \
    "(process total $CPU_AFTER ms, resolution $((1000 / CLK_TCK)) ms)"
screenshot tiled

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

for _ in 1 2; do
    drv syscommand-close "Fake Explorer"
    sleep 1
done
drv wait-gone "Fake Explorer" 20
check "the Explorer-class windows close" "still there after 20 s" test "$DRV_RC" = 0
close_bar
drv reg-query "$SETTINGS" "Launch Program"
check "saved launch program is the one set" "string=$(val string)" test "$(val string)" = "$LAUNCH_PROGRAM"
