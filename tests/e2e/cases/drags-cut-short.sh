# shellcheck shell=bash
# Drags that do not end as they began, on Wine's virtual desktop: Esc after
# a move to another edge puts the bar back at its own edge, window and strip;
# a desktop made smaller while a size or a move is held is what the bar takes
# when the button is released: the top bar no thicker than half the new
# desktop in whole rows, stored so; a bar dragged toward the bottom floats
# with its caption on the new desktop.

drv reg-set 'Software\Wine\Explorer' Desktop sz Default
drv reg-set 'Software\Wine\Explorer\Desktops' Default sz 1024x768
check "the prefix runs on a 1024x768 virtual desktop" "$(val error)" test "$DRV_RC" = 0
wineserver -k 2>/dev/null
wineserver -w 2>/dev/null

measure_template
ROW=${TEMPLATE_CLIENT#*,}
FRAME=$((THICKNESS - ROW))
require_bar vossel-1.txt 60
settled_rect
check "docked across the desktop at start" "rect=$RECT" test "$RECT" = "0,0,1024,$THICKNESS"

# Esc after the bar reached the left edge.
drag_from 600 $((THICKNESS / 2)) 500 200 300 400 100 420 5 420 Escape
settled_rect
check "Esc after a move to the left edge keeps the bar at the top" "rect=$RECT" test "$RECT" = "0,0,1024,$THICKNESS"
drv appbar-query 1
check "and the top strip is still the bar's" "query=$(val query)" test "$(val query | cut -d, -f2)" = "$THICKNESS"

# held <x> <y> <x2> <y2>...: presses at x,y and moves through the points, holding the button.
held() {
    local args=(mousemove "$1" "$2" mousedown 1)
    shift 2
    while [ $# -ge 2 ]; do
        args+=(sleep 0.15 mousemove "$1" "$2")
        shift 2
    done
    xdotool "${args[@]}" sleep 0.3 >>"$OUT/xdotool.txt" 2>&1
}
# The desktop becomes 640 x 480 while the button is held, then it is let go.
shrunk_and_released() {
    drv display-size 640 480
    check "the desktop becomes 640x480 during the drag" "size=$(val cx)x$(val cy)" test "$(val cx)x$(val cy)" = 640x480
    sleep 1
    xdotool mouseup 1 >>"$OUT/xdotool.txt" 2>&1
    sleep 1
    settled_rect
}

# A size to 25 rows, let go on the smaller desktop.
held 500 $((THICKNESS - 2)) 500 $((THICKNESS + 100)) 500 $((THICKNESS + 250)) 500 $((FRAME + 25 * ROW - 2))
shrunk_and_released
HALF_ROWS=$(((240 - FRAME) / ROW))
check "a size let go on the smaller desktop holds to half of it in whole rows" "rect=$RECT" \
    test "$RECT" = "0,0,640,$((FRAME + HALF_ROWS * ROW))"
drv appbar-query 1
check "and the strip is the window's" "query=$(val query)" test "$(val query | cut -d, -f2)" = $((FRAME + HALF_ROWS * ROW))
drv display-size 1024 768
settled_rect

# A move toward the bottom: the bar floats, and is let go below the smaller desktop.
held 600 $((FRAME / 2 + 2)) 550 300 500 600
shrunk_and_released
IFS=, read -r L T R _ <<<"$RECT"
bar_info
check "a bar let go below the smaller desktop floats with its caption on it" "rect=$RECT caption=$(val caption)" \
    test "$(val caption)" = 1 -a "$T" -ge 0 -a "$T" -lt 480 -a "$L" -ge 0 -a "$R" -le 640
drv display-size 1024 768
close_bar
drv reg-query "$SETTINGS" "State Info"
STATE=$(padded_record "$(val hex)")
check "the stored record says so: floating, the top's thickness held, the rectangle on the desktop" "hex=$(val hex)" \
    test "$(le32 "$STATE" 4),$(le32 "$STATE" 20),$(le32 "$STATE" 32),$(le32 "$STATE" 36)" = \
    "4294967294,$((FRAME + HALF_ROWS * ROW)),$L,$T"
