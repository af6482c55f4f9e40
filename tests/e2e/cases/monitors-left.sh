# shellcheck shell=bash
# A monitor left of the primary, at negative x: a drag docks the bar at its
# left edge, and auto-hide hides it there, leaving its strip on that monitor,
# and slides it out when the strip is touched. Hidden at the edge where the
# monitor meets the primary, nothing of it shows on the primary or takes the
# mouse there but its strip, and the keyboard's tip of a drive stays on the
# bar's monitor too.

PRIMARY=1024x768+0+0
LEFT=800x600-800+0
own_monitors "$PRIMARY" "$LEFT"
LEFT_DEVICE=$(val monitor2.device)
measure_template
require_bar vossel-1.txt 60
settled_rect
FREE_Y=$((THICKNESS / 2))
SHOWN="-800,0,$((TEMPLATE_W - 800)),600"
HIDDEN="$((2 - 800 - TEMPLATE_W)),0,-798,600"
# xdotool takes X root points, whose origin is the virtual screen's corner (-800,0).
at() { root_point "$1" "$2"; }

# shellcheck disable=SC2046  # each point is two words
drag_from $(at 600 "$FREE_Y") $(at 300 200) $(at -300 300) $(at -700 300) $(at -797 300)
settled_rect
check "a drag to the left monitor's left edge docks the bar there" "rect=$RECT" test "$RECT" = "$SHOWN"
check "the bar is on the left monitor" "monitor=$(val monitor)" test "$(val monitor)" = "$LEFT_DEVICE"
monitors_screenshot monitors-left
# How the primary looks beside the boundary with nothing of the bar on it.
BESIDE="$((TEMPLATE_W - 2))x600+$(root_point 0 0 | tr ' ' +)"
import -window root -crop "$BESIDE" +repage "$OUT/beside-before.png" 2>>"$OUT/import.txt"

# Auto-hide from the menu opened on the bar.
# shellcheck disable=SC2046
xdotool mousemove $(at $((TEMPLATE_W / 2 - 800)) 400) sleep 0.3 click 3 sleep 0.5 key u >>"$OUT/xdotool.txt" 2>&1
sleep 0.5
other_window 30 1
check "with another window active the bar hides at the left monitor's edge, leaving its strip" \
    "rect=$RECT, expected $HIDDEN" wait_rect "$HIDDEN" 30
# shellcheck disable=SC2046
xdotool mousemove $(at -799 300) >>"$OUT/xdotool.txt" 2>&1
check "the mouse on the strip slides it out" "rect=$RECT, expected $SHOWN" wait_rect "$SHOWN" 30
# shellcheck disable=SC2046
xdotool mousemove $(at 500 400) >>"$OUT/xdotool.txt" 2>&1
check "the mouse leaving hides it again" "rect=$RECT, expected $HIDDEN" wait_rect "$HIDDEN" 30

# The edge where the two monitors meet: the hidden window lies mostly on the primary.
INNER_SHOWN="$((-TEMPLATE_W)),0,0,600"
INNER_HIDDEN="-2,0,$((TEMPLATE_W - 2)),600"
# Wine drops a mouse move to the point where the last one was: each touch is at a new point.
# shellcheck disable=SC2046
xdotool mousemove $(at -799 320) >>"$OUT/xdotool.txt" 2>&1
check "the strip shows it again" "rect=$RECT, expected $SHOWN" wait_rect "$SHOWN" 30
# shellcheck disable=SC2046
drag_from $(at $((TEMPLATE_W / 2 - 800)) 300) $(at -600 300) $(at -300 300) $(at -100 300) $(at -4 300)
settled_rect
check "a drag to the left monitor's right edge docks the bar there" "rect=$RECT" test "$RECT" = "$INNER_SHOWN"
other_window 30 2
# shellcheck disable=SC2046
xdotool mousemove $(at 500 200) >>"$OUT/xdotool.txt" 2>&1
check "hidden at the inner edge it leaves its strip on its own monitor" \
    "rect=$RECT, expected $INNER_HIDDEN" wait_rect "$INNER_HIDDEN" 30
check "only the strip is left of the window" "region=$(val region)" test "$(val region)" = "0,0,2,600"
import -window root -crop "$BESIDE" +repage "$OUT/beside-after.png" 2>>"$OUT/import.txt"
DIFFERENT=$(compare -metric AE "$OUT/beside-before.png" "$OUT/beside-after.png" null: 2>&1)
check "nothing of the hidden bar shows on the primary" "$DIFFERENT pixels differ" test "$DIFFERENT" = 0
# shellcheck disable=SC2046
xdotool mousemove $(at 6 300) sleep 1.5 >>"$OUT/xdotool.txt" 2>&1
check "the mouse on the primary over where the window lies leaves it hidden" \
    "rect=$RECT" wait_rect "$INNER_HIDDEN" 0
# shellcheck disable=SC2046
xdotool mousemove $(at -1 300) >>"$OUT/xdotool.txt" 2>&1
check "the mouse on the strip slides it out" "rect=$RECT, expected $INNER_SHOWN" wait_rect "$INNER_SHOWN" 30
bar_info
check "shown, the whole window shows" "region=$(val region)" test "$(val region)" = none

# The hotkey, pressed in another program's window, brings the bar out with the focus on a
# drive, whose tip lies below the button: at this edge it would reach onto the primary.
other_window 30 3
# shellcheck disable=SC2046
xdotool mousemove $(at 400 450) sleep 0.5 key ctrl+alt+Home sleep 1 >>"$OUT/xdotool.txt" 2>&1
drv tooltips "$TITLE"
TIP=$(awk '/^tip visible=/ { shown = $2 == "visible=1" } /^tip rect=/ && shown { print substr($0, 10); exit }' \
    "$DRV_OUT")
IFS=, read -r TL TT TR TB <<<"${TIP:-0,0,0,0}"
check "the keyboard's tip of the focused drive shows on the bar's monitor" "tip=${TIP:-none}" \
    test -n "$TIP" -a "$TL" -ge -800 -a "$TR" -le 0 -a "$TT" -ge 0 -a "$TB" -le 600
close_bar
