# shellcheck shell=bash
# The bar by keyboard and screen reader. With its hotkey held by another
# program the bar starts without it, silently, and Options says so, and takes
# another there; that hotkey, pressed in another program's window, brings the
# bar forward with the focus on the first drive; Right moves it to the next,
# Return starts the launch program there; the hotkey comes back to that drive
# and Esc gives the keyboard back while the bar runs on; a drive added with a
# broadcast takes its place in Tab order; a second process reads each
# button's accessible name and role.

OPTIONS="Vossel Options"
MOD_CONTROL_ALT=3
VK_HOME=36
IDC_MENU_BUTTON=1009
IDC_HOTKEY=1010
IDC_HOTKEY_TAKEN=1011
ROLE_TOOLBAR=22
ROLE_PUSHBUTTON=43
ROLE_BUTTONMENU=57
DRIVE_FIXED=3

mkdir -p "$OUT/launchee" "$OUT/m-drive"
cp "$LAUNCHEE" "$OUT/launchee/"
LAUNCHEE_LOG=$OUT/launchee/fakeexplorer.log
drv reg-set "$SETTINGS" "Launch Program" sz "$(winpath "$OUT/launchee/fakeexplorer.exe") %1"
FIRST=${DRIVES[0]}
SECOND=${DRIVES[1]:-}
check "the prefix has two drives or more" "drives: ${DRIVES[*]}" test -n "$SECOND"
# Reads the focus of the bar's thread from this process.
focus_is() {  # focus_is <what> <control id> <text>
    drv gui-focus "$TITLE"
    check "$1" "active=$(val active) focus=$(val focus) text=$(val focustext)" \
        test "$(val active)" = 1 -a "$(val focus)" = "$2" -a "$(val focustext)" = "$3"
}

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
keys_over "$OPTIONS" Return
drv wait-gone "$OPTIONS" 10
check "Return closes Options with OK" "$(val error)" test "$DRV_RC" = 0

# ---- what a screen reader reads, from another process ----
drv accessible "$TITLE"
check "the bar reads as the toolbar Vossel" "$(head -n 1 "$DRV_OUT")" \
    grep -qxF "object id=0 role=$ROLE_TOOLBAR action= name=Vossel" "$DRV_OUT"
check "the menu button reads as the menu button Vossel menu" "$(cat "$DRV_OUT")" \
    grep -qxF "object id=$IDC_MENU_BUTTON role=$ROLE_BUTTONMENU action=Open name=Vossel menu" "$DRV_OUT"
# Each drive as its tip reads: the label, if any, and the root.
drive_objects() {
    sed -n "s/^object id=\([0-9]*\) role=$ROLE_PUSHBUTTON action=Open name=\(([^)]*) \)\{0,1\}\([A-Z]\):\\\\\$/\1 \3/p" \
        "$DRV_OUT" | tr '\n' ' '
}
expected_objects() {
    local letter id=$IDC_FIRST_DRIVE list=""
    for letter in "$@"; do
        list="$list$id $letter "
        id=$((id + 1))
    done
    echo "$list"
}
check "each drive reads as a push button named by its tip that opens" "$(cat "$DRV_OUT")" \
    test "$(drive_objects)" = "$(expected_objects "${DRIVES[@]}")"

# ---- the hotkey, pressed in another program's window ----
other_window 120 hotkey
IFS=, read -r _ BT _ BB <<<"$RECT"
BAR_Y=$(((BT + BB) / 2))
# X sends keys to the window under the pointer: the other program's first, then the bar's.
xdotool mousemove 400 450 sleep 0.3 key ctrl+alt+End sleep 1 >>"$OUT/xdotool.txt" 2>&1
focus_is "the hotkey brings the bar forward with the focus on the first drive" "$IDC_FIRST_DRIVE" "$FIRST:"
xdotool mousemove 600 $BAR_Y sleep 0.3 key Right sleep 1 >>"$OUT/xdotool.txt" 2>&1
focus_is "Right moves the focus to the next drive" $((IDC_FIRST_DRIVE + 1)) "$SECOND:"
screenshot keyboard-focus "160x$((BB + 30))+0+0"

# ---- Esc on the active bar ----
other_window 60 esc
drv gui-focus "$TITLE"
check "another program's window is in front" "foreground=$(val foreground)" \
    test "$(val foreground)" = "Vossel E2E Other"
xdotool mousemove 400 450 sleep 0.3 key ctrl+alt+End sleep 1 >>"$OUT/xdotool.txt" 2>&1
focus_is "the hotkey comes back to the drive that last had the focus" $((IDC_FIRST_DRIVE + 1)) "$SECOND:"
xdotool mousemove 600 $BAR_Y sleep 0.3 key Escape sleep 1 >>"$OUT/xdotool.txt" 2>&1
drv gui-focus "$TITLE"
check "Esc gives the keyboard back to the window that had it" "foreground=$(val foreground)" \
    test "$(val foreground)" = "Vossel E2E Other"
check "Esc leaves the bar running" "the process ended" kill -0 "$VOSSEL_PID"

# ---- a drive that arrives takes its place in Tab order ----
drv define-drive M "$OUT/m-drive" $DRIVE_FIXED
check "the mount manager adds M:" "$(val error) drives=$(val drives)" test "$DRV_RC" = 0
drv device-change "$TITLE" arrival M
sleep 1
WITH_M=$(printf '%s\n' "${DRIVES[@]}" M | sort -u | tr '\n' ' ')
drv accessible "$TITLE"
# shellcheck disable=SC2086  # the letters are words
check "the z-order, which is the Tab order, has M: in letter order" "$(cat "$DRV_OUT")" \
    test "$(drive_objects)" = "$(expected_objects $WITH_M)"
xdotool mousemove 600 $BAR_Y sleep 0.3 key ctrl+alt+End sleep 1 key Home sleep 0.5 >>"$OUT/xdotool.txt" 2>&1
focus_is "Home goes to the menu button" "$IDC_MENU_BUTTON" ""
TABBED=""
for _ in $WITH_M; do
    xdotool key Tab sleep 0.5 >>"$OUT/xdotool.txt" 2>&1
    drv gui-focus "$TITLE"
    TABBED="$TABBED$(val focustext | cut -c1) "
done
check "Tab walks from the menu button through the drives in letter order, M: among them" "tabbed: $TABBED" test "$TABBED" = "$WITH_M"

# ---- Return on the focused drive ----
xdotool key Left sleep 0.5 >>"$OUT/xdotool.txt" 2>&1
LAST_BUT_ONE=$(echo "$WITH_M" | awk '{ print $(NF - 1) }')
focus_is "Left moves the focus back a drive" "$((IDC_FIRST_DRIVE + ${#DRIVES[@]} - 1))" "$LAST_BUT_ONE:"
xdotool key Return >>"$OUT/xdotool.txt" 2>&1
for _ in $(seq 1 150); do
    grep -q '^cmdline=' "$LAUNCHEE_LOG" 2>/dev/null && break
    sleep 0.1
done
CMDLINE=$(sed -n 's/^cmdline=//p' "$LAUNCHEE_LOG" 2>/dev/null | tail -n 1)
check "Return starts the launch program on that drive, once" "starts=$(grep -c '^cmdline=' "$LAUNCHEE_LOG" 2>/dev/null)" \
    test "$(grep -c '^cmdline=' "$LAUNCHEE_LOG" 2>/dev/null)" = 1 -a "${CMDLINE##* }" = "$LAST_BUT_ONE:\\"

close_bar
