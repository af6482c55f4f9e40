// Which drives get a button, with which picture, and the label that names a drive.
#pragma once

#include <string>
#include <vector>

#include "platform/Win32.h"

constexpr size_t kDriveNameBufferSize = 260;

// Letters of the drives in `mask` (bit 0 is A) that `skipDrives` does not
// name; letters are matched exactly, so a lower-case letter hides nothing.
std::vector<char> ShownDriveLetters(DWORD mask, const std::wstring& skipDrives);
// The bitmap resource for a kind of drive.
UINT DriveBitmap(UINT driveType);
// The root of a drive letter: 'D' gives "D:\".
std::wstring DriveRoot(char letter);

// Puts the drive's kind, volume label or network name before `text`, whose
// first three characters are a drive root: "(SYSTEM) C:\".
void GetDriveLabel(std::wstring& text);
// TRUE, with the connected share and the rest of the path in upper case in
// `name` (kDriveNameBufferSize characters), when the path's drive is a
// connected network drive.
BOOL GetNetworkName(WCHAR* name, const WCHAR* path);
