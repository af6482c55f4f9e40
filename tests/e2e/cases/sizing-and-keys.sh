# shellcheck shell=bash
# Sizing by hand as it really comes, and the keys on an active bar: the inner
# edge follows slow and quick drags (rows at the top, pixels at the side),
# Esc cancels a size, a size stops at half the screen and at one button's
# width, and what the window shows is what the shell reserves and what the
# next start finds. Enter and Esc leave the bar running, Alt+F4 ends it;
# Shift+F10 and the menu key open its menu where the menu button does.

# On 1440 x 900 the row nearest half the height lies past it.
own_screen 1440x900
measure_template
ROW=${TEMPLATE_CLIENT#*,}
FRAME=$((THICKNESS - ROW))
HALF_H=$((SCREEN_H / 2))

# Stores a placement with edge $2 and left, top, right and bottom thicknesses
# $3..$6, then starts the bar with its output in $1.
start_placed() {
    drv reg-set "$SETTINGS" "State Info" binary "$(le32hex 48 "$2" 0 1 "$3" "$4" "$5" "$6" 0 0 $((2 * TEMPLATE_W)) "$THICKNESS")"
    require_bar "$1" 60
    settled_rect
}
# Sets SIZE to the bar's thickness at edge $1 (0 left, 1 top) and STRIP to
# the strip the shell keeps for it there.
sized() {
    settled_rect
    IFS=, read -r L T R B <<<"$RECT"
    drv appbar-query "$1"
    IFS=, read -r QL QT _ _ <<<"$(val query)"
    if [ "$1" = 0 ]; then SIZE=$((R - L)) STRIP=$QL; else SIZE=$((B - T)) STRIP=$QT; fi
}
running() { kill -0 "$1" 2>/dev/null; }
# The distance between $1 and $2 is less than $3.
near() { [ $(($1 - $2)) -lt "$3" ] && [ $(($2 - $1)) -lt "$3" ]; }
# Ends the bar and sets STORED to the thickness it stored for edge $1.
stored_after_close() {
    close_bar
    drv reg-query "$SETTINGS" "State Info"
    STORED=$(le32 "$(padded_record "$(val hex)")" $((16 + 4 * $1)))
}
# check_rows <what> <expected height>: the top bar's height is in whole
# rows, less than a row from where the cursor took it, and the shell's strip.
check_rows() {
    sized 1
    check "$1: the top bar grows to whole rows near the cursor's $2" "rect=$RECT frame=$FRAME row=$ROW" \
        test "$SIZE" -gt "$THICKNESS" -a $(((SIZE - FRAME) % ROW)) = 0 -a "$L,$T,$R" = "0,0,$SCREEN_W"
    check "$1: the strip the shell keeps is the window's" "window=$SIZE strip=$STRIP" test "$STRIP" = "$SIZE"
    check "$1: the size follows the cursor" "height=$SIZE cursor=$2 row=$ROW" near "$SIZE" "$2" "$ROW"
}

# Slow: 3 pixels per event, 36 down from the bottom frame of the 21-pixel bar.
require_bar vossel-slow.txt 60
settled_rect
drag_by 500 $((THICKNESS - 2)) 0 3 12
check_rows "3-pixel steps" $((THICKNESS + 36))
SLOW=$SIZE
# Esc in the middle of a size leaves the bar as it was.
drag_by 500 $((SLOW - 2)) 0 9 5 Escape
sized 1
check "Esc cancels a size: the window keeps its height" "rect=$RECT, expected 0,0,$SCREEN_W,$SLOW" \
    test "$RECT" = "0,0,$SCREEN_W,$SLOW"
check "Esc cancels a size: the shell keeps the strip" "strip=$STRIP, expected $SLOW" test "$STRIP" = "$SLOW"
stored_after_close 1
check "the slow size is stored, not the cancelled one" "stored=$STORED, expected $SLOW" test "$STORED" = "$SLOW"

# Quick: 10 pixels per event; then far past half the screen.
require_bar vossel-quick.txt 60
sized 1
check "the next start keeps the stored height" "rect=$RECT, expected height $SLOW" test "$SIZE" = "$SLOW"
drag_by 500 $((SIZE - 2)) 0 10 4
check_rows "10-pixel steps" $((SIZE + 40))
drag_by 500 $((SIZE - 2)) 0 40 $(((SCREEN_H - SIZE) / 40))
sized 1
check "past half the screen: the window stops at half in whole rows" "rect=$RECT half=$HALF_H" \
    test "$SIZE" -le "$HALF_H" -a "$SIZE" -gt $((HALF_H - ROW)) -a $(((SIZE - FRAME) % ROW)) = 0
check "past half the screen: the shell keeps the window's strip" "window=$SIZE strip=$STRIP" test "$STRIP" = "$SIZE"
HALF_SIZE=$SIZE
stored_after_close 1
check "past half the screen: the window's height is stored" "stored=$STORED window=$HALF_SIZE" \
    test "$STORED" = "$HALF_SIZE"

# At the left, widths follow the cursor pixel by pixel, and stop at one button.
# It starts wider than its narrowest, so that the narrowest is stored anew.
start_placed vossel-left.txt 0 $((2 * TEMPLATE_W)) "$THICKNESS" "$TEMPLATE_W" "$THICKNESS"
sized 0
WIDE=$SIZE
drag_by $((WIDE - 2)) 400 2 0 15
sized 0
check "2-pixel steps: the left bar widens by the distance moved" "rect=$RECT, moved 30 from $WIDE" \
    near "$SIZE" $((WIDE + 30)) 3
check "2-pixel steps: the shell keeps the left strip" "window=$SIZE strip=$STRIP" test "$STRIP" = "$SIZE"
drag_by $((SIZE - 2)) 400 -8 0 $((SIZE / 8))
sized 0
check "toward the screen's edge the left bar stops at one button's width" "rect=$RECT, expected width $TEMPLATE_W" \
    test "$SIZE" = "$TEMPLATE_W"
check "at its narrowest the shell keeps its strip" "window=$SIZE strip=$STRIP" test "$STRIP" = "$SIZE"
NARROW=$SIZE
stored_after_close 0
check "the narrowest width is stored" "stored=$STORED window=$NARROW" test "$STORED" = "$NARROW"
require_bar vossel-left-again.txt 60
sized 0
check "the next start keeps the narrowest width" "rect=$RECT, expected width $NARROW" test "$SIZE" = "$NARROW"
close_bar

# The keys, on an active bar at the bottom.
start_placed vossel-keys.txt 3 "$TEMPLATE_W" "$THICKNESS" "$TEMPLATE_W" "$THICKNESS"
drv children "$TITLE"
IFS=, read -r ML MT MR MB <<<"$(child_field 1009 screen)"
FREE_Y=$((SCREEN_H - THICKNESS / 2))
xdotool mousemove $(((ML + MR) / 2)) $(((MT + MB) / 2)) click 1 >>"$OUT/xdotool.txt" 2>&1
sleep 0.5
visible_menu
BUTTON_MENU=$MENU
IFS=, read -r UL UT UR UB <<<"$MENU"
check "the menu button opens the menu at its left, on the screen" "menu=${MENU:-none} button=$ML,$MT,$MR,$MB" \
    test -n "$MENU" -a "$UL" = "$ML" -a "$UT" -ge 0 -a "$UB" -le "$SCREEN_H" -a "$UR" -le "$SCREEN_W"
xdotool key Escape >>"$OUT/xdotool.txt" 2>&1
for keys in shift+F10 Menu; do
    xdotool mousemove 600 "$FREE_Y" sleep 0.3 click 1 sleep 0.5 key "$keys" >>"$OUT/xdotool.txt" 2>&1
    sleep 0.5
    visible_menu
    check "$keys opens the menu where the menu button does" "menu=${MENU:-none}, button's=$BUTTON_MENU" \
        test -n "$MENU" -a "$MENU" = "$BUTTON_MENU"
    xdotool key Escape >>"$OUT/xdotool.txt" 2>&1
    sleep 0.3
done
xdotool mousemove 600 "$FREE_Y" sleep 0.3 click 1 sleep 0.5 key Return >>"$OUT/xdotool.txt" 2>&1
sleep 2
check "Enter on the active bar leaves it running" "the process ended" running "$VOSSEL_PID"
drv window-info "$TITLE"
check "Enter on the active bar leaves its window" "window-info: $(val error)" test "$DRV_RC" = 0
[ "$DRV_RC" = 0 ] || finish "Esc needs the bar"
xdotool mousemove 600 "$FREE_Y" sleep 0.3 click 1 sleep 0.5 key Escape >>"$OUT/xdotool.txt" 2>&1
sleep 2
check "Esc on the active bar leaves it running" "the process ended" running "$VOSSEL_PID"
xdotool mousemove 600 "$FREE_Y" sleep 0.3 click 1 sleep 0.5 key alt+F4 >>"$OUT/xdotool.txt" 2>&1
check "Alt+F4 on the active bar ends it" "still running after 20 s" wait_exit "$VOSSEL_PID" 20
