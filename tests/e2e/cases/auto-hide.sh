# shellcheck shell=bash
# Auto-hide with real mouse input: switched on from the menu, the bar hides to
# a strip when another window is active, slides out when the mouse touches
# the strip and hides again when it leaves; "Exit" stores it, and the next
# start comes back hidden. Then the cost of a hidden bar, idle and sliding.

# Wine drops a mouse move to the point where the last one was: every touch
# of the strip is at a new point along it.
TOUCH_X=400
touch_strip() {
    TOUCH_X=$((TOUCH_X + 10))
    xdotool mousemove "$TOUCH_X" 1 >>"$OUT/xdotool.txt" 2>&1
}

measure_template
require_bar vossel-1.txt 60
settled_rect
SHOWN="0,0,$SCREEN_W,$THICKNESS"
HIDDEN="0,$((2 - THICKNESS)),$SCREEN_W,2"
FREE_Y=$((THICKNESS / 2))

xdotool mousemove 600 "$FREE_Y" sleep 0.3 click 3 sleep 0.5 key u >>"$OUT/xdotool.txt" 2>&1
sleep 0.5
drv appbar-query 1
check "auto-hide reserves no strip" "query=$(val query)" test "$(val query | cut -d, -f2)" = 0
other_window 30 1
check "with another window active the bar hides to a 2-pixel strip" "rect=$RECT, expected $HIDDEN" \
    wait_rect "$HIDDEN" 20
screenshot hidden "240x40+0+0"
touch_strip
check "the mouse on the strip slides it out" "rect=$RECT, expected $SHOWN" wait_rect "$SHOWN" 20
xdotool mousemove 500 400 >>"$OUT/xdotool.txt" 2>&1
check "the mouse leaving hides it again" "rect=$RECT, expected $HIDDEN" wait_rect "$HIDDEN" 20

touch_strip
wait_rect "$SHOWN" 20
# With another program in front the keyboard goes elsewhere: "E&xit", the
# last item, is clicked.
xdotool mousemove 600 "$FREE_Y" sleep 0.3 click 3 >>"$OUT/xdotool.txt" 2>&1
sleep 0.5
drv class-windows "#32768"
IFS=, read -r ML _ _ MB <<<"$(sed -n 's/^window .* visible=1 rect=\([-0-9,]*\) .*/\1/p' "$DRV_OUT" | head -n 1)"
xdotool mousemove $((ML + 20)) $((MB - 8)) click 1 >>"$OUT/xdotool.txt" 2>&1
check "\"Exit\" from the menu ends the bar" "still running after 20 s" wait_exit "$VOSSEL_PID" 20
drv reg-query "$SETTINGS" "State Info"
STATE=$(padded_record "$(val hex)")
check "saved: top edge with auto-hide" "hex=$(val hex)" test "$(le32 "$STATE" 4)" = 1 -a "$(le32 "$STATE" 8)" = 1

# The next start animates its slides: the system shows window contents while
# dragging (Wine's default is not to), a setting of the user's profile that
# Wine's programs read once.
drv reg-set 'Control Panel\Desktop' DragFullWindows sz 1
check "window contents shown while dragging" "$(val error)" test "$DRV_RC" = 0
xdotool mousemove 500 400 >>"$OUT/xdotool.txt" 2>&1
require_bar vossel-2.txt 60
check "the next start comes back hidden" "rect=$RECT, expected $HIDDEN" wait_rect "$HIDDEN" 30

close_bar "the restarted bar"

# The cost of a hidden bar, idle and sliding. A wide bar at the left moves
# 498 pixels in a slide, so each frame shows at a place of its own.
BAR_WIDTH=500
drv reg-set "$SETTINGS" "State Info" binary \
    "$(le32hex 48 0 1 1 $BAR_WIDTH "$THICKNESS" "$TEMPLATE_W" "$THICKNESS" 100 100 172 139)"
require_bar vossel-3.txt 60
WIDE_HIDDEN="$((2 - BAR_WIDTH)),0,2,$SCREEN_H"
WIDE_SHOWN="0,0,$BAR_WIDTH,$SCREEN_H"
check "a wide bar at the left starts hidden" "rect=$RECT, expected $WIDE_HIDDEN" wait_rect "$WIDE_HIDDEN" 30
LINUX_PID=$(linux_pid_of "$VOSSEL_PID" vossel.exe)
check "Linux process of vossel.exe found" "started as $VOSSEL_PID" test -n "$LINUX_PID"
[ -n "$LINUX_PID" ] || finish "the measures need the process"

IDLE_S=${E2E_IDLE_SECONDS:-60}
CPU_BEFORE=$(cpu_ms "$LINUX_PID")
WALL_BEFORE=$(now_ms)
sleep "$IDLE_S"
CPU_AFTER=$(cpu_ms "$LINUX_PID")
WALL_AFTER=$(now_ms)
bar_info
check "still hidden after $IDLE_S s idle" "rect=$RECT" test "$RECT" = "$WIDE_HIDDEN"
echo "measure: cpu of the hidden bar idle = $((CPU_AFTER - CPU_BEFORE)) ms over $((WALL_AFTER - WALL_BEFORE)) ms wall" \
    "(resolution $((1000 / CLK_TCK)) ms)"

other_window 20 2
TOUCH_Y=300
for way in out in; do
    "$WINE" "$DRIVER" watch-rect "$TITLE" 2.5 >"$OUT/watch-$way.txt" 2>&1 &
    WATCH=$!
    PIDS+=("$WATCH")
    sleep 0.5
    CPU_BEFORE=$(cpu_ms "$LINUX_PID")
    if [ "$way" = out ]; then
        xdotool mousemove 1 "$TOUCH_Y" >>"$OUT/xdotool.txt" 2>&1
        EXPECTED=$WIDE_SHOWN
    else
        xdotool mousemove 700 400 >>"$OUT/xdotool.txt" 2>&1
        EXPECTED=$WIDE_HIDDEN
    fi
    wait "$WATCH"
    CPU_AFTER=$(cpu_ms "$LINUX_PID")
    tr -d '\r' <"$OUT/watch-$way.txt" >"$OUT/watch-$way.log"
    FRAMES=$(sed -n 's/^changes=//p' "$OUT/watch-$way.log")
    SPAN=$(sed -n 's/^span_ms=//p' "$OUT/watch-$way.log")
    echo "measure: slide $way: cpu $((CPU_AFTER - CPU_BEFORE)) ms in the 2 s around it," \
        "${FRAMES:-?} frames seen over ${SPAN:-?} ms ($(sed -n 's/^reads=//p' "$OUT/watch-$way.log") reads of the rectangle)"
    check "the slide $way shows intermediate frames and ends where it should" \
        "changes=${FRAMES:-none} end=$(sed -n 's/^to=//p' "$OUT/watch-$way.log")" \
        test "${FRAMES:-0}" -gt 2 -a "$(sed -n 's/^to=//p' "$OUT/watch-$way.log")" = "$EXPECTED"
done
close_bar
