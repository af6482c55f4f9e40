# shellcheck shell=bash
# The bar's menu and its moves, with real mouse and keyboard input: a right
# click or the menu button opens the menu, "Always on top" toggles, the inner
# edge sizes in whole rows, a drag docks at another edge, Ctrl+drag floats
# it with a caption, and a caption drag docks it again.

drv resources "$(winpath "$VOSSEL")"
expect_lines "popup=PlaceHolder" "item 1 id=32771 text=Always on &top" "item 2 id=32772 text=A&uto hide" \
    "item 3 id=32775 text=&Options" "item 4 id=32773 text=&About Vossel" "item 5 separator" "item 6 id=32774 text=E&xit"
check "menu 130 holds the six items with their ids and texts" "missing:$MISSING" test -z "$MISSING"

measure_template
ROW=${TEMPLATE_CLIENT#*,}
FRAME=$((THICKNESS - ROW))
require_bar vossel-1.txt 60
settled_rect
FREE_Y=$((THICKNESS / 2))

# A right click on a free point of the bar opens the menu there.
xdotool mousemove 600 "$FREE_Y" sleep 0.3 click 3 >>"$OUT/xdotool.txt" 2>&1
sleep 0.5
visible_menu
check "right click opens the menu at the click" "menu=${MENU:-none}" test "${MENU%,*,*}" = "600,$FREE_Y"
screenshot menu "200x160+560+0"
xdotool key t >>"$OUT/xdotool.txt" 2>&1
sleep 0.5
bar_info
check "\"Always on top\" from the menu clears the topmost style" "exstyle=$(val exstyle)" test "$(val topmost)" = 0
visible_menu
check "the menu closes after a choice" "menu=$MENU" test -z "$MENU"
xdotool mousemove 600 "$FREE_Y" sleep 0.3 click 3 sleep 0.5 key t >>"$OUT/xdotool.txt" 2>&1
sleep 0.5
bar_info
check "\"Always on top\" again sets it back" "exstyle=$(val exstyle)" test "$(val topmost)" = 1

# The menu button opens it at its lower-left corner.
drv children "$TITLE"
IFS=, read -r ML MT MR MB <<<"$(child_field 1009 screen)"
xdotool mousemove $(((ML + MR) / 2)) $(((MT + MB) / 2)) click 1 >>"$OUT/xdotool.txt" 2>&1
sleep 0.5
visible_menu
check "the menu button opens the menu at its lower-left corner" "menu=${MENU:-none} button=$ML,$MT,$MR,$MB" \
    test "${MENU%,*,*}" = "$ML,$MB"
xdotool key Escape >>"$OUT/xdotool.txt" 2>&1
sleep 0.3

# The bottom frame of a top bar sizes it, in whole rows.
drag_from 500 $((THICKNESS - 2)) 500 $((THICKNESS + 5)) 500 $((THICKNESS + 15)) 500 $((THICKNESS + 19))
bar_info
IFS=, read -r L T R B <<<"$RECT"
SIZED=$((B - T))
check "the inner edge sizes the bar to whole rows of $ROW" "rect=$RECT frame=$FRAME" \
    test "$SIZED" -gt "$THICKNESS" -a $(((SIZED - FRAME) % ROW)) = 0 -a "$L,$T,$R" = "0,0,$SCREEN_W"
drv appbar-query 1
check "the shell keeps the sized strip for it" "query=$(val query)" test "$(val query | cut -d, -f2)" = "$SIZED"

# A drag from a free point to the left edge docks it there.
drag_from 600 "$FREE_Y" 450 200 200 350 5 400
bar_info
check "a drag to the left edge docks it there at its left thickness" "rect=$RECT" \
    test "$RECT" = "0,0,$TEMPLATE_W,$SCREEN_H"
check "docked at the left it has no caption" "style=$(val style)" test "$(val caption)" = 0
drv appbar-query 0
check "the shell reserves the bar's width at the left" "query=$(val query)" \
    test "$(val query | cut -d, -f1)" = "$TEMPLATE_W"
drv appbar-query 1
check "the top strip is free" "query=$(val query)" test "$(val query | cut -d, -f2)" = 0
screenshot left "80x200+0+0"

# Ctrl+drag floats it with a caption, twice as wide as its client row.
xdotool keydown Control_L >>"$OUT/xdotool.txt" 2>&1
drag_from 15 $((SCREEN_H - 60)) 120 600 300 450 500 300
xdotool keyup Control_L >>"$OUT/xdotool.txt" 2>&1
bar_info
IFS=, read -r L T R B <<<"$RECT"
IFS=, read -r CW CH <<<"$(val client)"
check "Ctrl+drag floats the bar with a caption" "style=$(val style)" test "$(val caption)" = 1
check "the floating bar's client area is one row of buttons" "client=$CW,$CH" test "$CH" = "$ROW"
check "the floating bar is twice its frame around one button wide" "rect=$RECT client=$CW,$CH" \
    test $((R - L)) = $((2 * (R - L - CW + BUTTON_W)))
check "the floating bar hangs from the cursor" "rect=$RECT" test "$T" = 300 -a $(((L + R) / 2)) = 500
drv appbar-query 0
check "floating frees the strip" "query=$(val query)" test "$(val query | cut -d, -f1)" = 0
screenshot floating "$((R - L + 40))x$((B - T + 40))+$((L - 20))+$((T - 20))"

# A drag by the caption to the top docks it at the top's stored thickness.
drag_from $(((L + R) / 2)) $((T + 8)) 500 200 500 60 500 3
bar_info
check "a caption drag to the top docks it at its sized thickness" "rect=$RECT" \
    test "$RECT" = "0,0,$SCREEN_W,$SIZED"
check "docked again it has no caption" "style=$(val style)" test "$(val caption)" = 0

close_bar
drv reg-query "$SETTINGS" "State Info"
STATE=$(padded_record "$(val hex)")
check "saved: top edge, the sized top thickness, the floating rectangle" "hex=$(val hex)" \
    test "$(le32 "$STATE" 4)" = 1 -a "$(le32 "$STATE" 20)" = "$SIZED" -a "$(le32 "$STATE" 32)" = "$L" \
    -a "$(le32 "$STATE" 36)" = "$T"
