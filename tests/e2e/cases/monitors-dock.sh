# shellcheck shell=bash
# The bar on a second monitor right of the primary, with real mouse input:
# dragged onto that monitor's right edge it docks there in its rows, and
# another appbar asking for that edge of that monitor is placed clear of it;
# its menu opens on that monitor; after Exit the next start comes back
# there; when the monitor goes the bar docks at the primary's right edge,
# and when it comes back the bar returns to it.

PRIMARY=1024x768+0+0
RIGHT=800x600+1024+0
own_monitors "$PRIMARY" "$RIGHT"
SECOND_DEVICE=$(val monitor2.device)
measure_template
require_bar vossel-1.txt 60
settled_rect
FREE_Y=$((THICKNESS / 2))
SECOND_RIGHT="$((1824 - TEMPLATE_W)),0,1824,600"
PRIMARY_RIGHT="$((1024 - TEMPLATE_W)),0,1024,768"
MIDDLE_X=$((1824 - TEMPLATE_W / 2))

# The primary's corner is the X root's: Windows points are root points here.
drag_from 600 "$FREE_Y" 900 200 1300 300 1700 300 1820 300
settled_rect
check "a drag to the second monitor's right edge docks the bar there" "rect=$RECT" test "$RECT" = "$SECOND_RIGHT"
check "the bar is on the second monitor" "monitor=$(val monitor)" test "$(val monitor)" = "$SECOND_DEVICE"
drv appbar-at 2 1024,0,1824,600 20 0
check "another appbar at that monitor's right edge is placed clear of the bar" "rect=$(val rect)" \
    test "$(val rect)" = "$((1824 - TEMPLATE_W - 20)),0,$((1824 - TEMPLATE_W)),600"
monitors_screenshot monitors-dock

# A right click on a free point of the bar opens the menu there, on the second monitor.
xdotool mousemove "$MIDDLE_X" 400 sleep 0.3 click 3 >>"$OUT/xdotool.txt" 2>&1
sleep 0.5
visible_menu
IFS=, read -r ML MT MR MB <<<"${MENU:-0,0,0,0}"
check "the menu opens on the second monitor" "menu=${MENU:-none}" \
    test -n "$MENU" -a "$ML" -ge 1024 -a "$MR" -le 1824 -a "$MT" -ge 0 -a "$MB" -le 600
xdotool key Escape >>"$OUT/xdotool.txt" 2>&1
sleep 0.3

close_bar
drv reg-query "$SETTINGS" "State Monitor"
check "the second monitor is stored beside the placement" "$(val string)" \
    test "$(val string)" = "1024,0,1824,600 $SECOND_DEVICE"
require_bar vossel-2.txt 60
settled_rect
check "the next start comes back to the second monitor's right edge" "rect=$RECT" test "$RECT" = "$SECOND_RIGHT"

set_monitors "$PRIMARY"
check "the second monitor goes" "$WHY" test -z "$WHY"
settled_rect
check "without its monitor the bar docks at the primary's right edge" "rect=$RECT" test "$RECT" = "$PRIMARY_RIGHT"
drv appbar-query 2
check "the shell keeps that strip for it" "query=$(val query)" \
    test "$(val query | cut -d, -f3)" = "$((1024 - TEMPLATE_W))"
set_monitors "$PRIMARY" "$RIGHT"
check "the second monitor comes back" "$WHY" test -z "$WHY"
settled_rect
check "the bar returns to the second monitor's right edge" "rect=$RECT" test "$RECT" = "$SECOND_RIGHT"
close_bar "the restarted bar"
