# shellcheck shell=bash
# The installer's round trip: a silent install, the installed bar docks, a
# silent uninstall ends it and removes its files, its shortcut and the Run
# values, and keeps the user's settings. The package is scripts/package.sh's.

RUN_KEY='Software\Microsoft\Windows\CurrentVersion\Run'
UNINSTALL_KEY='Software\Microsoft\Windows\CurrentVersion\Uninstall\Vossel'
SETUP=$(ls "$(dirname "$BUILD")"/dist/vossel-*-setup.exe 2>/dev/null | head -n 1)
[ -n "$SETUP" ] || { fail "installer built" "no build/dist/vossel-*-setup.exe: run scripts/package.sh"; finish "nothing to install"; }
INSTALLED="$WINEPREFIX/drive_c/Program Files/Vossel"
SHORTCUT="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Vossel.lnk"

"$WINE" "$SETUP" /S >"$OUT/setup.txt" 2>&1
rc=$?
check "silent install ends with 0" "exit status $rc, see $OUT/setup.txt" test "$rc" = 0
check "vossel.exe and the help page installed in Program Files\\Vossel" "$(ls "$INSTALLED" 2>&1 | tr '\n' ' ')" \
    test -f "$INSTALLED/vossel.exe" -a -f "$INSTALLED/vossel-help.html" -a -f "$INSTALLED/uninstall.exe"
check "installed vossel.exe is the one built" "differs from $VOSSEL" cmp -s "$INSTALLED/vossel.exe" "$VOSSEL"
check "Start menu shortcut" "no $SHORTCUT" test -f "$SHORTCUT"
# Lines naming value $2 under key $1, as Wine's reg tool prints them ("name type data").
reg_lines() { "$WINE" reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | grep -F "$2" >"$OUT/reg-query.txt"; }
reg_lines "HKLM\\$UNINSTALL_KEY" UninstallString
check "listed with its uninstaller" "$(cat "$OUT/reg-query.txt")" \
    grep -qF '"C:\Program Files\Vossel\uninstall.exe"' "$OUT/reg-query.txt"

require_bar installed.txt 60 'C:\Program Files\Vossel\vossel.exe'
settled_rect
check "installed bar docks across the top" "rect=$RECT" test "$RECT" = "0,0,$SCREEN_W,${RECT##*,}" -a "${RECT##*,}" -gt 0
screenshot installed "320x$((${RECT##*,} + 8))+0+0"

# What "Launch on Startup" writes, and a value of the same name in the user's key.
for root in HKLM HKCU; do
    "$WINE" reg add "$root\\$RUN_KEY" /v Vossel /d 'C:\Program Files\Vossel\vossel.exe' /f >>"$OUT/reg.txt" 2>&1
    reg_lines "$root\\$RUN_KEY" Vossel
    check "Run value Vossel set in $root before the uninstall" "see $OUT/reg.txt" test -s "$OUT/reg-query.txt"
done

# The uninstaller copies itself away and returns at once: wait for its work.
"$WINE" "$INSTALLED/uninstall.exe" /S >"$OUT/uninstall.txt" 2>&1
rc=$?
check "silent uninstall starts" "exit status $rc, see $OUT/uninstall.txt" test "$rc" = 0
check "the running bar ends" "still running after 30 s" wait_exit "$VOSSEL_PID" 30
gone() { [ ! -e "$INSTALLED" ] && [ ! -e "$SHORTCUT" ]; }
for _ in $(seq 1 60); do gone && break; sleep 0.5; done
check "program folder and shortcut removed" "left: $(ls "$INSTALLED" 2>&1 | tr '\n' ' ') $(ls "$SHORTCUT" 2>/dev/null)" gone
for root in HKLM HKCU; do
    reg_lines "$root\\$RUN_KEY" Vossel
    check "Run value Vossel removed from $root" "$(cat "$OUT/reg-query.txt")" test ! -s "$OUT/reg-query.txt"
done
reg_lines "HKLM\\$UNINSTALL_KEY" UninstallString
check "no longer listed as installed" "$(cat "$OUT/reg-query.txt")" test ! -s "$OUT/reg-query.txt"
# The bar saved its settings when the uninstaller closed it; they stay.
drv reg-query "$SETTINGS" "State Info"
check "the user's settings are kept" "type=$(val type) $(val error)" test "$(val type)" = 3

# Asked to, the uninstaller removes the settings as well.
"$WINE" "$SETUP" /S >"$OUT/setup-2.txt" 2>&1
check "second silent install" "see $OUT/setup-2.txt" test -f "$INSTALLED/uninstall.exe"
"$WINE" "$INSTALLED/uninstall.exe" /S /REMOVESETTINGS >"$OUT/uninstall-2.txt" 2>&1
# Nothing else runs now: the prefix's server ends once the uninstaller has.
timeout 60 wineserver -w
check "uninstalled again" "left: $(ls "$INSTALLED" 2>&1 | tr '\n' ' ')" gone
drv reg-query "$SETTINGS" "State Info"
check "/REMOVESETTINGS removes the user's settings" "type=$(val type)" test "$DRV_RC" != 0
