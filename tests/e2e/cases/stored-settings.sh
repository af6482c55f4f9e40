# shellcheck shell=bash
# Stored settings take effect at the start: docked at the bottom, 30 pixels
# thick, without the first drive; and they are saved back as they were.

measure_template
BOTTOM_THICKNESS=30
FIRST_DRIVE=${DRIVES[0]:-C}
drv reg-set "$SETTINGS" "Skip Drives" sz "$FIRST_DRIVE"
drv reg-set "$SETTINGS" "State Info" binary "$(le32hex 48 3 0 1 "$TEMPLATE_W" "$THICKNESS" "$TEMPLATE_W" \
    "$BOTTOM_THICKNESS" 0 0 $((2 * TEMPLATE_W)) "$THICKNESS")"
check "bottom placement and skipped drive stored" "$(val error)" test "$DRV_RC" = 0

require_bar vossel-1.txt 60
settled_rect
EXPECTED_RECT="0,$((SCREEN_H - BOTTOM_THICKNESS)),$SCREEN_W,$SCREEN_H"
check "stored placement docks the bar at the bottom, 30 thick" "rect=$RECT, expected=$EXPECTED_RECT" \
    test "$RECT" = "$EXPECTED_RECT"
check "no caption while docked at the bottom" "style=$(val style)" test "$(val caption)" = 0
drv children "$TITLE"
drive_buttons
check "skipped drive gets no button; the next drive takes the first id" \
    "buttons: $DRIVE_BUTTONS expected: $(expected_buttons "${DRIVES[@]:1}")" \
    test "$DRIVE_BUTTONS" = "$(expected_buttons "${DRIVES[@]:1}")"
screenshot bottom "240x$((BOTTOM_THICKNESS + 8))+0+$((SCREEN_H - BOTTOM_THICKNESS - 8))"

close_bar "the bar at the bottom"
drv reg-query "$SETTINGS" "State Info"
STATE=$(padded_record "$(val hex)")
check "saved placement keeps the bottom edge and thickness" \
    "hex=$(val hex)" test "$(le32 "$STATE" 4)" = 3 -a "$(le32 "$STATE" 28)" = "$BOTTOM_THICKNESS"
drv reg-query "$SETTINGS" "Skip Drives"
check "saved skip drives keeps the skipped drive" "string=$(val string)" test "$(val string)" = "$FIRST_DRIVE"
