# shellcheck shell=bash
# Names outside the ANSI code page arrive whole: the tip of a drive labelled
# in Cyrillic, a Shift-drop of a Greek name that moves that file alone (a '?'
# in its place would be a wildcard to the shell), a copy of a Cyrillic and
# Japanese name, a bar and launch program in a Cyrillic folder, and a link's
# shortcut saved on a desktop whose folder is named in Cyrillic.

# Unix names are UTF-8 to Wine under a UTF-8 locale, whose ANSI code page
# (1252) lacks these letters. C.UTF-8 comes with Debian's libc itself.
export LC_ALL=C.UTF-8
D_DIR=$OUT/d-drive
SRC=$OUT/src
PROGRAMS=$OUT/Программы
mkdir -p "$D_DIR" "$SRC" "$PROGRAMS"
printf 'Фото' >"$D_DIR/.windows-label"
ln -sfn "$D_DIR" "$WINEPREFIX/dosdevices/d:"
cp "$VOSSEL" "$LAUNCHEE" "$PROGRAMS/"
for f in Amega Ωmega Zmega 'Фото 日本'; do printf '%s\n' "$f" >"$SRC/$f.txt"; done
drv reg-set "$SETTINGS" "Launch Program" sz "$(winpath "$PROGRAMS/fakeexplorer.exe") %1"
# Drives are read, and the locale taken, when the prefix's wineserver starts.
wineserver -k 2>/dev/null
wineserver -w 2>/dev/null

# The user's desktop moved to a folder named in Cyrillic, as the shell's folder
# settings allow.
USER_DIR=$(find "$WINEPREFIX/drive_c/users" -mindepth 1 -maxdepth 1 -type d ! -name Public | head -n 1)
DESKTOP_RU="$USER_DIR/Рабочий стол"
mkdir -p "$DESKTOP_RU"
drv reg-set 'Software\Microsoft\Windows\CurrentVersion\Explorer\User Shell Folders' Desktop sz \
    "$(winpath "$DESKTOP_RU")"
check "the desktop is moved to Рабочий стол" "$(val error)" test "$DRV_RC" = 0

require_bar vossel-1.txt 60 "$PROGRAMS/vossel.exe"
settled_rect
drv children "$TITLE"
D_ID=$(sed -n 's/^child id=\([0-9]*\) .* text=D:$/\1/p' "$DRV_OUT" | head -n 1)
[ -n "$D_ID" ] || finish "no button for D:"
read -r DX DY <<<"$(center_of "$(child_field "$D_ID" screen)")"

xdotool mousemove 600 400 sleep 0.5 mousemove "$DX" "$DY" sleep 0.2 mousemove $((DX + 1)) "$DY" sleep 2 \
    >>"$OUT/xdotool.txt" 2>&1
drv tooltips "$TITLE"
TIP=$(sed -n 's/^tip visible=1 style=[^ ]* text=//p' "$DRV_OUT" | head -n 1)
screenshot unicode-tip
check "the tip of D: reads its Cyrillic label whole" "tip=[$TIP]" test "$TIP" = '(Фото) D:\'
xdotool mousemove 600 400 >>"$OUT/xdotool.txt" 2>&1

# Drags file $1 from another program onto D: (with Shift when $2 is set) and
# answers the folder dialog with OK, which keeps D:\ selected.
DRAGS=0
drop_on_d() {
    DRAGS=$((DRAGS + 1))
    "$WINE" "$DRIVER" drag-source "$(winpath "$SRC/$1")" >"$OUT/dragsource-$DRAGS.txt" 2>&1 &
    local pid=$! i
    PIDS+=("$pid")
    wait_window_of "Drag Source" 20 "$pid" || return 1
    {
        xdotool mousemove 400 375 sleep 0.3 mousedown 1 sleep 0.3
        [ -z "${2:-}" ] || xdotool keydown Shift_L
        for i in $(seq 1 10); do
            xdotool mousemove $((400 + (DX - 400) * i / 10)) $((375 + (DY - 375) * i / 10)) sleep 0.05
        done
        xdotool mousemove $((DX + 1)) "$DY" sleep 0.3 mouseup 1
        [ -z "${2:-}" ] || xdotool keyup Shift_L
    } >>"$OUT/xdotool.txt" 2>&1
    drv wait-window "Browse for Folder" 15 && drv click-item "Browse for Folder" 1 && drv wait-gone "Browse for Folder" 10
    sleep 2
    drv syscommand-close "Drag Source"
    wait_exit "$pid" 10
}
listing() { echo "D: [$(ls "$D_DIR" | tr '\n' ' ')] source: [$(ls "$SRC" | tr '\n' ' ')]"; }

drop_on_d Ωmega.txt shift
check "a Shift-drop of Ωmega.txt moves that file alone" "$(listing)" \
    test -f "$D_DIR/Ωmega.txt" -a ! -e "$SRC/Ωmega.txt" -a -f "$SRC/Amega.txt" -a -f "$SRC/Zmega.txt" \
    -a ! -e "$D_DIR/Amega.txt" -a ! -e "$D_DIR/Zmega.txt"
drop_on_d 'Фото 日本.txt'
check "a drop of Фото 日本.txt copies it under its own name" "$(listing)" \
    test "$(cat "$D_DIR/Фото 日本.txt" 2>/dev/null)" = 'Фото 日本' -a -f "$SRC/Фото 日本.txt"

# Launch on Startup from a bar in "Программы": the Run value names it.
open_dialog o "Vossel Options"
click_item "Vossel Options" 1008
keys_over "Vossel Options" Return
drv wait-gone "Vossel Options" 10
drv reg-query-in HKLM 'Software\Microsoft\Windows\CurrentVersion\Run' Vossel
RUN_VALUE=$(val string)
drv long-path "${RUN_VALUE//\"/}"
check "the Run value names the executable in Программы" "value=[$RUN_VALUE] long=[$(val path)]" \
    test "$(val path)" = "$(winpath "$PROGRAMS/vossel.exe")"

# The launch program in "Программы" starts on the drive's root.
xdotool mousemove "$DX" "$DY" click 1 >>"$OUT/xdotool.txt" 2>&1
LOG=$PROGRAMS/fakeexplorer.log
for _ in $(seq 1 50); do [ -s "$LOG" ] && break; sleep 0.2; done
CMDLINE=$(sed -n 's/^cmdline=//p' "$LOG" 2>/dev/null | tail -n 1)
CWD=$(sed -n 's/^cwd=//p' "$LOG" 2>/dev/null | tail -n 1)
check "the launch program in Программы starts with the drive root" "cmdline=[$CMDLINE] cwd=[$CWD]" \
    test "${CMDLINE//\"/}" = "$(winpath "$PROGRAMS/fakeexplorer.exe") D:\\" -a "$CWD" = 'D:\'
drv syscommand-close "Fake Explorer"
drv wait-gone "Fake Explorer" 20

# Add to Desktop, the fourth item of the web link's menu in About.
ABOUT="About Vossel"
open_dialog a "$ABOUT"
check "the menu opens About" "$(val error)" test "$DRV_RC" = 0
click_item "$ABOUT" 1003 3
check "the link's menu opens" "no #32768 window" choose_menu_item 3
SHORTCUT="$DESKTOP_RU/For more utilities, visit www.example.org.URL"
for _ in $(seq 1 20); do [ -f "$SHORTCUT" ] && break; sleep 0.2; done
check "Add to Desktop saves the shortcut in Рабочий стол" \
    "desktop: $(find "$USER_DIR" -name '*.URL' 2>&1 | tr '\n' ' ')" grep -q 'URL=http://www.example.org/' "$SHORTCUT"
keys_over "$ABOUT" Escape
drv wait-gone "$ABOUT" 10
close_bar
