# shellcheck shell=bash
# Two monitors on a TigerVNC X server: the system sees both where they stand,
# also left of or above the primary at negative coordinates, and as they
# come and go; the bar's first start docks across the top of the primary
# alone, and stays there while the second monitor moves, goes and comes back.

PRIMARY=1024x768+0+0
RIGHT=800x600+1024+0
LEFT=800x600-800+0
ABOVE=800x600+0-600
# Waits up to 10 s until the bar's X window stands at root point "$1"; sets
# PLACE to where it was last seen.
x_place_is() {
    local deadline=$((SECONDS + 10))
    while :; do
        PLACE=$(xdotool search --name "^$TITLE\$" getwindowgeometry --shell 2>>"$OUT/xdotool.txt" |
            sed -n 's/^[XY]=//p' | paste -sd' ')
        [ "$PLACE" = "$1" ] && return 0
        [ "$SECONDS" -ge "$deadline" ] && return 1
        sleep 0.2
    done
}

own_monitors "$PRIMARY" "$RIGHT"
# The monitors as the system has them: rect, work area, primary flag, and
# a device name of their own.
check "the primary is 1024x768 at the origin" "$(tr '\n' ' ' <"$DRV_OUT")" \
    test "$(val monitor1.rect),$(val monitor1.work),$(val monitor1.primary)" = "0,0,1024,768,0,0,1024,768,1"
check "the second monitor stands right of it" "$(tr '\n' ' ' <"$DRV_OUT")" \
    test "$(val monitor2.rect),$(val monitor2.work),$(val monitor2.primary)" = "1024,0,1824,600,1024,0,1824,600,0"
PRIMARY_DEVICE=$(val monitor1.device)
SECOND_DEVICE=$(val monitor2.device)
check "each monitor has a device name of its own" "$PRIMARY_DEVICE and $SECOND_DEVICE" \
    test -n "$PRIMARY_DEVICE" -a -n "$SECOND_DEVICE" -a "$PRIMARY_DEVICE" != "$SECOND_DEVICE"
check "the virtual screen spans both" "virtual=$VIRTUAL" test "$VIRTUAL" = "0,0,1824,768"
check "the system's screen size is the primary's" "screen=${SCREEN_W}x$SCREEN_H" \
    test "${SCREEN_W}x$SCREEN_H" = 1024x768

measure_template
DOCKED="0,0,1024,$THICKNESS"
require_bar vossel-1.txt 60
settled_rect
check "the first start docks across the top of the primary, exactly its width" "rect=$RECT" \
    test "$RECT" = "$DOCKED"
check "the bar is on the primary monitor" "monitor=$(val monitor)" test "$(val monitor)" = "$PRIMARY_DEVICE"
# The whole desktop: the bar on the primary, the second monitor beside it.
monitors_screenshot monitors
# Its strip is reserved on the primary: another appbar at any edge of the
# primary is placed clear of it (edges 0 left, 1 top, 2 right, 3 bottom).
for edge in "0:0,$THICKNESS,20,768" "1:0,$THICKNESS,1024,$((THICKNESS + 20))" \
    "2:1004,$THICKNESS,1024,768" "3:0,748,1024,768"; do
    drv appbar-at "${edge%%:*}" 0,0,1024,768 20 0
    check "another appbar at edge ${edge%%:*} of the primary is placed clear of the bar" "rect=$(val rect)" \
        test "$(val rect)" = "${edge#*:}"
done

# Each layout in turn while the bar runs, with where the primary's top-left
# corner then stands on the X root: the second monitor moves left of the
# primary, then above it, goes, and comes back at the right.
for step in "$LEFT:-800,0,0,600:800 0" "$ABOVE:0,-600,800,0:0 600" "::0 0" "$RIGHT:1024,0,1824,600:0 0"; do
    IFS=: read -r second second_rect origin <<<"$step"
    # shellcheck disable=SC2086  # no second monitor is no word
    set_monitors "$PRIMARY" $second
    check "the system has ${second:-the primary alone}" "$WHY" test -z "$WHY"
    check "the second monitor's rectangle is ${second_rect:-gone}" "$(tr '\n' ' ' <"$DRV_OUT")" \
        test "$(val monitor2.rect)" = "$second_rect" -a "$(val monitor1.rect)" = 0,0,1024,768
    [ -z "$second" ] || check "the second monitor keeps its device name" "device=$(val monitor2.device)" \
        test "$(val monitor2.device)" = "$SECOND_DEVICE"
    settled_rect
    check "the bar stays docked across the top of the primary" "rect=$RECT monitor=$(val monitor)" \
        test "$RECT" = "$DOCKED" -a "$(val monitor)" = "$PRIMARY_DEVICE"
    # Where Wine put the bar's X window, read from X: the primary's place on
    # the root, which root_point gives for xdotool.
    check "root_point puts the primary's corner at $origin on the X root" "$(root_point 0 0)" \
        test "$(root_point 0 0)" = "$origin"
    x_place_is "$origin"
    check "the bar's X window stands there" "it stands at $PLACE" test "$PLACE" = "$origin"
done
close_bar
