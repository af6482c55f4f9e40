# shellcheck shell=bash
# A floating bar sized from the keyboard: the system menu's Size, then the
# arrow keys. The first arrow picks the side and puts the pointer on it; each
# further one moves that side 8 pixels, widths pixel by pixel and heights in
# whole rows, wherever the pointer stood when the menu was opened. Return
# ends the loop and the size is stored; Esc leaves the bar as it was.

measure_template
ROW=${TEMPLATE_CLIENT#*,}
drv reg-set "$SETTINGS" "State Info" binary "$(le32hex 48 -2 0 1 "$TEMPLATE_W" "$THICKNESS" "$TEMPLATE_W" "$THICKNESS" \
    200 200 400 260)"
require_bar vossel-keys.txt 60
settled_rect
IFS=, read -r L T R B <<<"$RECT"
bar_info
IFS=, read -r _ CH <<<"$(val client)"
check "the bar floats where it was stored" "rect=$RECT" test "$L,$T,$R" = "200,200,400"

# size_by_keys <pointer x> <pointer y> <keys...>: the pointer on the bar, a
# click on its caption, the system menu and its Size, then the keys.
size_by_keys() {
    local x=$1 y=$2
    shift 2
    xdotool mousemove "$x" "$y" sleep 0.3 click 1 sleep 0.5 key alt+space sleep 0.5 key s sleep 0.5 \
        key --delay 200 "$@" >>"$OUT/xdotool.txt" 2>&1
    sleep 1
    settled_rect
}

# From the pointer at the bar's left, far from the side the keys size.
size_by_keys $((L + 10)) $((T + 8)) Right Right Right Right Return
check "Right four times widens the bar by three steps of 8 pixels" "rect=$RECT, expected $L,$T,$((R + 24)),$B" \
    test "$RECT" = "$L,$T,$((R + 24)),$B"
R=$((R + 24))
# Down three times: 16 pixels more client height, in whole rows.
ROWS=$(((CH + 16 + ROW / 2) / ROW))
size_by_keys $((L + 10)) $((T + 8)) Down Down Down Return
check "Down three times makes the bar $ROWS rows high" "rect=$RECT, expected $L,$T,$R,$((B - CH + ROWS * ROW))" \
    test "$RECT" = "$L,$T,$R,$((B - CH + ROWS * ROW))"
B=$((B - CH + ROWS * ROW))
# From the pointer at the right of the caption, left of its close button:
# Left picks the left side, which moves out.
size_by_keys $((R - 40)) $((T + 8)) Left Left Left Return
check "Left three times widens the bar to the left by 16 pixels" "rect=$RECT, expected $((L - 16)),$T,$R,$B" \
    test "$RECT" = "$((L - 16)),$T,$R,$B"
L=$((L - 16))
size_by_keys $((L + 10)) $((T + 8)) Right Left Left Escape
check "Esc leaves the bar as it was" "rect=$RECT, expected $L,$T,$R,$B" test "$RECT" = "$L,$T,$R,$B"
screenshot keyboard-size "$((R - L + 40))x$((B - T + 40))+$((L - 20))+$((T - 20))"

close_bar
drv reg-query "$SETTINGS" "State Info"
STATE=$(padded_record "$(val hex)")
check "the keyboard's size is stored" "hex=$(val hex)" \
    test "$(le32 "$STATE" 32),$(le32 "$STATE" 36),$(le32 "$STATE" 40),$(le32 "$STATE" 44)" = "$L,$T,$R,$B"
