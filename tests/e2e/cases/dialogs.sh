# shellcheck shell=bash
# The About and Options dialogs with real input: the system lines and the
# icon picture, the links (open, copy, save on the desktop), Cancel, Enter
# applying always-on-top at once, the upper-case drive field, the Run value
# written and deleted at once, and the Options default launch program.
# The dialogs are opened from the bar's menu: a right click on the bar, then
# the item's mnemonic.

ABOUT="About Vossel"
OPTIONS="Vossel Options"
RUN_KEY='Software\Microsoft\Windows\CurrentVersion\Run'

# The http handler of the prefix: fakeexplorer.exe notes its command line.
mkdir -p "$OUT/recorder"
cp "$LAUNCHEE" "$OUT/recorder/"
RECORDER_LOG=$OUT/recorder/fakeexplorer.log
drv reg-set-in HKLM 'Software\Classes\http\shell\open\command' "" \
    "\"$(winpath "$OUT/recorder/fakeexplorer.exe")\" \"%1\""
check "a recorder handles http URLs" "$(val error)" test "$DRV_RC" = 0

# Saves the dialog titled $1 as $ART/dialog-$2.png.
dialog_shot() {
    drv window-info "$1"
    local l t r b
    IFS=, read -r l t r b <<<"$(val rect)"
    import -window root "$OUT/screen-$2.png" 2>>"$OUT/import.txt"
    convert "$OUT/screen-$2.png" -crop "$((r - l))x$((b - t))+$l+$t" +repage "$ART/dialog-$2.png" \
        2>>"$OUT/import.txt"
    check "screenshot dialog-$2.png saved" "see $OUT/import.txt" test -s "$ART/dialog-$2.png"
}

require_bar vossel-1.txt 60

# ---- About ----
open_dialog a "$ABOUT"
check "the menu opens About" "$(val error)" test "$DRV_RC" = 0
drv item "$ABOUT" 901
check "memory line in whole kilobytes" "text=$(val text)" grep -qE '^text=[0-9]+ KB Free$' "$DRV_OUT"
echo "measure: About's memory line '$(val text)'; Linux $(grep MemAvailable /proc/meminfo | tr -s ' ')"
drv item "$ABOUT" 905
check "co-processor line" "text=$(val text)" test "$(val text)" = Present
drv item "$ABOUT" 906
check "disk line of the current drive" "text=$(val text)" \
    grep -qE '^text=([0-9]+ bytes|[0-9]+ KB|[0-9]+\.[0-9]{2} (MB|GB)) Free$' "$DRV_OUT"
drv item "$ABOUT" 907
check "resources line" "text=$(val text)" test "$(val text)" = N/A
drv item "$ABOUT" 1008
IFS=, read -r IL IT IR IB <<<"$(val screen)"
check "icon picture is 72 x 72" "screen=$(val screen)" test $((IR - IL))x$((IB - IT)) = 72x72
drv item "$ABOUT" 1003
check "web link text" "text=$(val text)" test "$(val text)" = "For more utilities, visit www.example.org"
sleep 1
dialog_shot "$ABOUT" about

# A click on the web link starts the http handler with the URL.
click_item "$ABOUT" 1003
OPENED=""
for _ in $(seq 1 50); do
    grep -qF 'http://www.example.org/' "$RECORDER_LOG" 2>/dev/null && OPENED=1 && break
    sleep 0.2
done
check "a click on the web link opens its URL with the http handler" \
    "log: $(tr '\n' ';' <"$RECORDER_LOG" 2>/dev/null)" test -n "$OPENED"
# The recorder's window would take the keys meant for About.
drv wait-window "Fake Explorer" 5 && drv syscommand-close "Fake Explorer" && drv wait-gone "Fake Explorer" 10

# Copy Shortcut, the second item of the link's menu.
click_item "$ABOUT" 1003 3
check "the link's menu opens" "no #32768 window" choose_menu_item 1
drv clipboard
check "Copy Shortcut leaves the URL on the clipboard" "text=$(val text) $(val error)" \
    test "$(val text)" = "http://www.example.org/"

# Add to Desktop, the fourth item: a shortcut named after the link's text.
click_item "$ABOUT" 1003 3
check "the link's menu opens again" "no #32768 window" choose_menu_item 3
SHORTCUT=""
for _ in $(seq 1 20); do
    SHORTCUT=$(find "$WINEPREFIX"/drive_c/users/*/Desktop -name '*.URL' 2>/dev/null | head -n 1)
    [ -n "$SHORTCUT" ] && break
    sleep 0.2
done
check "Add to Desktop creates the .URL file" "desktop: $(find "$WINEPREFIX"/drive_c/users/*/Desktop 2>&1 | tr '\n' ' ')" \
    test "$(basename "${SHORTCUT:-none}")" = "For more utilities, visit www.example.org.URL"
check "the shortcut file names the URL" "$(tr '\r\n' '  ' <"${SHORTCUT:-/dev/null}")" \
    grep -q 'URL=http://www.example.org/' "${SHORTCUT:-/dev/null}"

keys_over "$ABOUT" Escape
drv wait-gone "$ABOUT" 10
check "Esc closes About" "$(val error)" test "$DRV_RC" = 0

# ---- Options ----
open_dialog o "$OPTIONS"
check "the menu opens Options" "$(val error)" test "$DRV_RC" = 0
SHOWN=""
for id in 1003 1004 1006 1008; do
    drv item "$OPTIONS" $id
    SHOWN="$SHOWN$id=$(val check) "
done
check "Options shows the current settings" "$SHOWN" test "$SHOWN" = "1003=1 1004=0 1006=1 1008=0 "
drv item "$OPTIONS" 1005
check "Options shows the launch program" "text=$(val text)" grep -qiE '^text=C:\\windows\\Explorer.exe /e,"%1"$' \
    "$DRV_OUT"
sleep 1
dialog_shot "$OPTIONS" options

# Cancel changes nothing, whatever was edited.
click_item "$OPTIONS" 1003
click_item "$OPTIONS" 2
drv wait-gone "$OPTIONS" 10
drv window-info "$TITLE"
check "Cancel leaves the bar always on top" "topmost=$(val topmost)" test "$(val topmost)" = 1

# Clearing "Always on top" and pressing Enter makes the bar not topmost at once.
open_dialog o "$OPTIONS"
click_item "$OPTIONS" 1003
keys_over "$OPTIONS" Return
drv wait-gone "$OPTIONS" 10
check "Enter closes Options" "$(val error)" test "$DRV_RC" = 0
drv window-info "$TITLE"
check "the bar is no longer topmost" "topmost=$(val topmost)" test "$(val topmost)" = 0

# The drive field upper-cases what is typed; Launch on Startup writes the Run value at once.
open_dialog o "$OPTIONS"
click_item "$OPTIONS" 1007
xdotool type --delay 100 ad >>"$OUT/xdotool.txt" 2>&1
sleep 0.5
drv item "$OPTIONS" 1007
check "typing ad in the drive field gives AD" "text=$(val text)" test "$(val text)" = AD
click_item "$OPTIONS" 1008
keys_over "$OPTIONS" Return
drv wait-gone "$OPTIONS" 10
drv reg-query-in HKLM "$RUN_KEY" Vossel
RUN_VALUE=$(val string)
drv long-path "${RUN_VALUE//\"/}"
check "the Run value names the real executable" "value=$RUN_VALUE long=$(val path)" \
    test "$(val path | tr '[:upper:]' '[:lower:]')" = "$(winpath "$VOSSEL" | tr '[:upper:]' '[:lower:]')"

# Clearing the launch program and Launch on Startup: the Run value goes at once.
open_dialog o "$OPTIONS"
click_item "$OPTIONS" 1005
xdotool key End key --repeat 80 --delay 10 BackSpace >>"$OUT/xdotool.txt" 2>&1
click_item "$OPTIONS" 1008
keys_over "$OPTIONS" Return
drv wait-gone "$OPTIONS" 10
drv reg-query-in HKLM "$RUN_KEY" Vossel
check "clearing Launch on Startup deletes the Run value" "string=$(val string)" test "$DRV_RC" != 0

# Reopened, the emptied launch program shows the Options default.
open_dialog o "$OPTIONS"
drv item "$OPTIONS" 1005
check "an emptied launch program shows the Options default" "text=$(val text)" \
    grep -qiE '^text=C:\\windows\\Explorer.exe /e,/idlist,"%1"$' "$DRV_OUT"
click_item "$OPTIONS" 2
drv wait-gone "$OPTIONS" 10

close_bar "the bar after the dialogs"
drv reg-query "$SETTINGS" "Skip Drives"
check "the drive letters typed are stored at exit" "string=$(val string)" test "$(val string)" = AD
