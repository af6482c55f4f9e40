# shellcheck shell=bash
# The bar docks across the top as an appbar, keeps other bars clear of it,
# runs once, and saves its settings when the system Close command ends it.

measure_template
echo "e2e: bar template gives client $TEMPLATE_CLIENT, window $TEMPLATE_WINDOW"

require_bar vossel-1.txt 60
settled_rect
[ -n "$RECT" ] || finish "the bar's window cannot be read"
IFS=, read -r L T R B <<<"$RECT"
CLIENT_H=$(val client | cut -d, -f2)
HEIGHT=$((B - T))
echo "e2e: bar rect $RECT client $(val client) style $(val style) exstyle $(val exstyle)"
check "docked across the top of the screen" "rect=$RECT" test "$L,$T,$R" = "0,0,$SCREEN_W"
check "thickness is the default (template without caption)" "height=$HEIGHT, expected=$THICKNESS" \
    test "$HEIGHT" = "$THICKNESS"
check "no caption while docked" "style=$(val style)" test "$(val caption)" = 0
check "always on top (WS_EX_TOPMOST)" "exstyle=$(val exstyle)" test "$(val topmost)" = 1

drv children "$TITLE"
MENU_STYLE=$(grep -i '^child id=1009 class=button ' "$DRV_OUT" | sed -n 's/.* style=\(0x[0-9A-F]*\) .*/\1/p')
check "menu button is an owner-drawn button" "style=${MENU_STYLE:-none}" \
    test $((${MENU_STYLE:-0} & 0xF)) = 11  # BS_OWNERDRAW
check "menu button laid out at 1,1 along the bar" "rect=$(child_field 1009 rect)" \
    test "$(child_field 1009 rect)" = "1,1,$((1 + BUTTON_W)),$CLIENT_H"
drive_buttons
check "one drive button per prefix drive, in letter order" \
    "buttons: $DRIVE_BUTTONS expected: $(expected_buttons "${DRIVES[@]}")" \
    test "$DRIVE_BUTTONS" = "$(expected_buttons "${DRIVES[@]}")" -a ${#DRIVES[@]} -gt 0
STEP=$((BUTTON_W + 3))
check "first drive button follows the menu button" "rect=$(child_field $IDC_FIRST_DRIVE rect)" \
    test "$(child_field $IDC_FIRST_DRIVE rect)" = "$((1 + STEP)),1,$((1 + STEP + BUTTON_W)),$CLIENT_H"
screenshot docked "240x$((HEIGHT + 8))+0+0"

drv appbar-top 20 0
check "second top appbar is placed below the bar" "its rect=$(val rect), bar bottom=$B" \
    test "$(val rect | cut -d, -f2)" = "$B"
sleep 1
drv window-info "$TITLE"
check "bar keeps its place when the other bar leaves" "rect=$(val rect)" test "$(val rect)" = "$RECT"

"$WINE" "$VOSSEL" >"$OUT/vossel-2.txt" 2>&1 &
SECOND_PID=$!
PIDS+=("$SECOND_PID")
check "second start ends by itself" "still running after 15 s" wait_exit "$SECOND_PID" 15
drv class-windows "#32770"
check "exactly one \"$TITLE\" window" "$(tr '\n' ' ' <"$DRV_OUT")" test "$(grep -c " title=$TITLE\$" "$DRV_OUT")" = 1

close_bar
drv appbar-top 20 0
check "top strip is free again" "new bar rect=$(val rect)" test "$(val rect | cut -d, -f2)" = 0

# An orderly end saves the placement with the edge it had: 48 bytes, nEdge
# (offset 4) top = 1, and the top thickness (offset 20) the bar's height.
drv reg-query "$SETTINGS" "State Info"
STATE=$(padded_record "$(val hex)")
check "saved placement: 48-byte binary, top edge, default thickness" \
    "type=$(val type) hex=$(val hex) $(val error)" \
    test "$(val type)" = 3 -a "$(le32 "$STATE" 0)" = 48 -a "$(le32 "$STATE" 4)" = 1 -a "$(le32 "$STATE" 20)" = "$HEIGHT"
drv reg-query "$SETTINGS" "Launch Program"
check "saved launch program (REG_SZ) is Explorer on %1" "type=$(val type) string=$(val string)" \
    test "$(val type)" = 1 -a "$(val string | sed 's/.*\\//')" = 'Explorer.exe /e,"%1"'
drv reg-query "$SETTINGS" "Skip Drives"
check "saved skip drives (REG_SZ) is empty" "type=$(val type) size=$(val size) $(val error)" \
    test "$DRV_RC" = 0 -a "$(val type)" = 1 -a -z "$(val string)"
drv reg-query "$SETTINGS" "Tile Explorers"
check "saved tile explorers (REG_DWORD) is 1" "type=$(val type) dword=$(val dword)" \
    test "$(val type)" = 4 -a "$(val dword)" = 1
