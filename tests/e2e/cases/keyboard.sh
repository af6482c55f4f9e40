# shellcheck shell=bash
# The bar by keyboard and screen reader. With its hotkey held by another
# program the bar starts without it, silently, and Options says so; Esc on
# the active bar gives the keyboard back to the window that had it and the
# bar runs on; a second process reads each button's accessible name and role.

OPTIONS="Vossel Options"
MOD_CONTROL_ALT=3
VK_HOME=36
IDC_MENU_BUTTON=1009
IDC_HOTKEY=1010
IDC_HOTKEY_TAKEN=1011
ROLE_TOOLBAR=22
ROLE_PUSHBUTTON=43
ROLE_BUTTONMENU=57

# ---- the hotkey held by another program ----
"$WINE" "$DRIVER" hold-hotkey $MOD_CONTROL_ALT $VK_HOME 40 >"$OUT/holder.txt" 2>&1 &
PIDS+=("$!")
for _ in $(seq 1 100); do
    grep -q '^held=1' "$OUT/holder.txt" 2>/dev/null && break
    sleep 0.1
done
check "another program holds Ctrl+Alt+Home" "$(cat "$OUT/holder.txt")" grep -q '^held=1' "$OUT/holder.txt"
require_bar vossel-taken.txt 60
settled_rect
sleep 1
drv class-windows "#32770"
check "the bar starts without a word: no message box" "$(cat "$DRV_OUT")" test "$(val count)" = 1
open_dialog o "$OPTIONS"
check "the menu opens Options" "$(val error)" test "$DRV_RC" = 0
drv item "$OPTIONS" $IDC_HOTKEY
check "Options shows Ctrl+Alt+Home in the hotkey control" "hotkey=$(val hotkey)" test "$(val hotkey)" = 0x0E24
drv item "$OPTIONS" $IDC_HOTKEY_TAKEN
check "Options says another program holds it" "visible=$(val visible) text=$(val text)" \
    test "$(val visible)" = 1 -a "$(val text)" = "Taken by another program"
screenshot options-hotkey-taken
# Backspace empties the control, and a free key is no other program's.
click_item "$OPTIONS" $IDC_HOTKEY
keys_over "$OPTIONS" BackSpace
drv item "$OPTIONS" $IDC_HOTKEY
check "Backspace empties the hotkey control" "hotkey=$(val hotkey)" test "$(val hotkey)" = 0x0000
keys_over "$OPTIONS" ctrl+alt+End
drv item "$OPTIONS" $IDC_HOTKEY
# Wine's control leaves End unmarked as an extended key; stored, the mark goes anyway.
check "Ctrl+Alt+End typed into the control" "hotkey=$(val hotkey)" test $(($(val hotkey) & 0x7FF)) = $((0x623))
drv item "$OPTIONS" $IDC_HOTKEY_TAKEN
check "a free key is not said to be taken" "visible=$(val visible)" test "$(val visible)" = 0
keys_over "$OPTIONS" Escape
drv wait-gone "$OPTIONS" 10
check "Esc closes Options" "$(val error)" test "$DRV_RC" = 0

# ---- what a screen reader reads, from another process ----
drv accessible "$TITLE"
check "the bar reads as the toolbar Vossel" "$(head -n 1 "$DRV_OUT")" \
    grep -qxF "object id=0 role=$ROLE_TOOLBAR action= name=Vossel" "$DRV_OUT"
check "the menu button reads as the menu button Vossel menu" "$(cat "$DRV_OUT")" \
    grep -qxF "object id=$IDC_MENU_BUTTON role=$ROLE_BUTTONMENU action=Open name=Vossel menu" "$DRV_OUT"

# ---- Esc on the active bar ----
other_window 60 esc
drv gui-focus "$TITLE"
check "another program's window is in front" "foreground=$(val foreground)" \
    test "$(val foreground)" = "Vossel E2E Other"
IFS=, read -r _ BT _ BB <<<"$RECT"
xdotool mousemove 600 $(((BT + BB) / 2)) sleep 0.3 click 1 sleep 0.5 >>"$OUT/xdotool.txt" 2>&1
drv gui-focus "$TITLE"
check "a click makes the bar active" "active=$(val active) foreground=$(val foreground)" test "$(val active)" = 1
xdotool key Escape >>"$OUT/xdotool.txt" 2>&1
sleep 1
drv gui-focus "$TITLE"
check "Esc gives the keyboard back to the window that had it" "foreground=$(val foreground)" \
    test "$(val foreground)" = "Vossel E2E Other"
check "Esc leaves the bar running" "the process ended" kill -0 "$VOSSEL_PID"
close_bar
