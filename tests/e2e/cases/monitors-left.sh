# shellcheck shell=bash
# A monitor left of the primary, at negative x: a drag docks the bar at its
# left edge, and auto-hide hides it there, leaving its strip on that monitor,
# and slides it out when the strip is touched.

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
close_bar
