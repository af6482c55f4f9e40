# shellcheck shell=bash
# A screen that changes size while the bar runs, on Wine's virtual desktop
# (Xvfb cannot change its own): a docked bar follows 1024 -> 800 -> 1024
# across the top, and an auto-hide bar hides again at the edge of each new
# screen and still slides out when the mouse touches it. No other appbar
# registers meanwhile, so only the display change can move the bar.

drv reg-set 'Software\Wine\Explorer' Desktop sz Default
drv reg-set 'Software\Wine\Explorer\Desktops' Default sz 1024x768
check "the prefix runs on a 1024x768 virtual desktop" "$(val error)" test "$DRV_RC" = 0
wineserver -k 2>/dev/null
wineserver -w 2>/dev/null

measure_template
require_bar vossel-1.txt 60
settled_rect
check "docked across the desktop at start" "rect=$RECT" test "$RECT" = "0,0,1024,$THICKNESS"
for size in 800x600 1024x768; do
    W=${size%x*}
    drv display-size "$W" "${size#*x}"
    check "the desktop becomes $size" "result=$(val result) size=$(val cx)x$(val cy)" \
        test "$DRV_RC" = 0 -a "$(val cx)x$(val cy)" = "$size"
    check "the docked bar spans the $W-pixel desktop" "rect=$RECT" wait_rect "0,0,$W,$THICKNESS" 30
done
screenshot screen-size-docked "240x40+0+0"

FREE_Y=$((THICKNESS / 2))
xdotool mousemove 600 "$FREE_Y" sleep 0.3 click 3 sleep 0.5 key u >>"$OUT/xdotool.txt" 2>&1
other_window 60 1
check "another program's window is active" "$(cat "$OUT/other-1.txt")" grep -q '^active=1' "$OUT/other-1.txt"
check "auto-hide hides the bar at the top" "rect=$RECT" wait_rect "0,$((2 - THICKNESS)),1024,2" 50
TOUCH_X=300
for size in 800x600 1024x768; do
    W=${size%x*}
    drv display-size "$W" "${size#*x}"
    check "on the $size desktop the bar hides at its top edge" "rect=$RECT" \
        wait_rect "0,$((2 - THICKNESS)),$W,2" 30
    TOUCH_X=$((TOUCH_X + 10))
    xdotool mousemove "$TOUCH_X" 1 >>"$OUT/xdotool.txt" 2>&1
    check "and slides out when the mouse touches it" "rect=$RECT" wait_rect "0,0,$W,$THICKNESS" 30
    xdotool mousemove 500 400 >>"$OUT/xdotool.txt" 2>&1
    check "and hides when the mouse leaves" "rect=$RECT" wait_rect "0,$((2 - THICKNESS)),$W,2" 30
done
close_bar
