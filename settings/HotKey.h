// The hotkey that brings the bar to the keyboard: stored as the system's
// hotkey control gives it, the key in the low byte and the HOTKEYF_
// modifiers in the high one; 0 is none.
#pragma once

#include "platform/Win32.h"

constexpr char kHotKeyEntry[] = "Hot Key";
// Ctrl+Alt+Home: no shortcut of Windows itself, and since AltGr is Ctrl+Alt,
// a combination with a key that types no character under AltGr in any layout.
constexpr WORD kDefaultHotKey = MAKEWORD(VK_HOME, HOTKEYF_CONTROL | HOTKEYF_ALT);

// "Hot Key", or the default when it is absent or holds no hotkey.
WORD LoadHotKey();
void SaveHotKey(WORD hotKey);
// A key with Shift, Ctrl and Alt as the only modifiers, or none.
bool IsHotKey(WORD value);

// As the hotkey control shows it: the keys of the navigation block marked
// extended, so that it names them rather than the number pad's.
WORD HotKeyControlValue(WORD hotKey);
// What the control gives, as stored.
WORD StoredHotKey(WORD controlValue);
// The modifiers RegisterHotKey takes: held down, the key comes once.
UINT HotKeyModifiers(WORD hotKey);
