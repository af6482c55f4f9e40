// The Win32 vocabulary of the program: types, structures and constants.
//
// On Windows this is <windows.h> itself. Elsewhere it supplies the same
// subset with the same values and layouts, so the program's code reads the
// same in both builds and its structures have the sizes the system expects.
#pragma once

#include <cstdint>

#ifdef _WIN32

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
// <windows.h> must come before the headers that build on it.
// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>
#include <shlobj.h>
#include <winnetwk.h>
#include <dbt.h>
#include <cfgmgr32.h>
#include <oleacc.h>
// clang-format on

// The framework's name for a drop effect.
using DROPEFFECT = DWORD;

#define WIN32_VALUE(type, name, value) static_assert(name == static_cast<type>(value), #name);
#include "platform/Win32Values.inc"
#undef WIN32_VALUE

static_assert(sizeof(APPBARDATA) == (sizeof(void*) == 8 ? 48 : 36), "APPBARDATA");
static_assert(sizeof(DEV_BROADCAST_VOLUME) == 20, "DEV_BROADCAST_VOLUME");

#else  // !_WIN32

using BOOL = int;
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = unsigned int;
using LONG = std::int32_t;
using SHORT = std::int16_t;
using LONG_PTR = std::intptr_t;
using UINT_PTR = std::uintptr_t;
using INT_PTR = std::intptr_t;
using DWORD_PTR = std::uintptr_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using COLORREF = DWORD;
using REGSAM = DWORD;
using LSTATUS = LONG;
using HRESULT = LONG;
using ULONGLONG = std::uint64_t;
using LONGLONG = std::int64_t;
using DWORDLONG = std::uint64_t;

#define WIN32_DECLARE_HANDLE(name) \
    struct name##__ {              \
        int unused;                \
    };                             \
    using name = name##__*
WIN32_DECLARE_HANDLE(HWND);
WIN32_DECLARE_HANDLE(HKEY);
WIN32_DECLARE_HANDLE(HDC);
WIN32_DECLARE_HANDLE(HMENU);
WIN32_DECLARE_HANDLE(HINSTANCE);
WIN32_DECLARE_HANDLE(HBITMAP);
WIN32_DECLARE_HANDLE(HFONT);
WIN32_DECLARE_HANDLE(HBRUSH);
WIN32_DECLARE_HANDLE(HICON);
WIN32_DECLARE_HANDLE(HDROP);
WIN32_DECLARE_HANDLE(HMONITOR);
WIN32_DECLARE_HANDLE(HRGN);
#undef WIN32_DECLARE_HANDLE
using HCURSOR = HICON;
using HANDLE = void*;
using HGDIOBJ = void*;
using HGLOBAL = void*;
// One UTF-16 code unit in each; wider here than on Windows, which only costs room.
using WCHAR = wchar_t;
using DROPEFFECT = DWORD;

#define CALLBACK
#define WINAPI
#define TRUE 1
#define FALSE 0

#define WIN32_VALUE(type, name, value) constexpr type name = static_cast<type>(value);
#include "platform/Win32Values.inc"
#undef WIN32_VALUE

#define HWND_TOP (reinterpret_cast<HWND>(0))
#define HWND_BOTTOM (reinterpret_cast<HWND>(1))
#define HWND_TOPMOST (reinterpret_cast<HWND>(-1))
#define HWND_NOTOPMOST (reinterpret_cast<HWND>(-2))
#define HKEY_CURRENT_USER (reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000001)))
#define HKEY_LOCAL_MACHINE (reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000002)))

constexpr UINT TTN_NEEDTEXTA = 0U - 520U;
constexpr UINT TTN_NEEDTEXTW = 0U - 530U;
#define TOOLTIPS_CLASSA "tooltips_class32"
#define HOTKEY_CLASSA "msctls_hotkey32"
#define LPSTR_TEXTCALLBACKA (reinterpret_cast<char*>(static_cast<std::intptr_t>(-1)))

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};
struct POINT {
    LONG x;
    LONG y;
};
struct SIZE {
    LONG cx;
    LONG cy;
};
struct MINMAXINFO {
    POINT ptReserved;
    POINT ptMaxSize;
    POINT ptMaxPosition;
    POINT ptMinTrackSize;
    POINT ptMaxTrackSize;
};
struct WINDOWPOS {
    HWND hwnd;
    HWND hwndInsertAfter;
    int x;
    int y;
    int cx;
    int cy;
    UINT flags;
};
struct CREATESTRUCTA {
    void* lpCreateParams;
    HINSTANCE hInstance;
    HMENU hMenu;
    HWND hwndParent;
    int cy;
    int cx;
    int y;
    int x;
    LONG style;
    const char* lpszName;
    const char* lpszClass;
    DWORD dwExStyle;
};
struct NMHDR {
    HWND hwndFrom;
    UINT_PTR idFrom;
    UINT code;
};
struct DRAWITEMSTRUCT {
    UINT CtlType;
    UINT CtlID;
    UINT itemID;
    UINT itemAction;
    UINT itemState;
    HWND hwndItem;
    HDC hDC;
    RECT rcItem;
    std::uintptr_t itemData;
};
struct APPBARDATA {
    DWORD cbSize;
    HWND hWnd;
    UINT uCallbackMessage;
    UINT uEdge;
    RECT rc;
    LPARAM lParam;
};
struct DEV_BROADCAST_HDR {
    DWORD dbch_size;
    DWORD dbch_devicetype;
    DWORD dbch_reserved;
};
struct DEV_BROADCAST_VOLUME {
    DWORD dbcv_size;
    DWORD dbcv_devicetype;
    DWORD dbcv_reserved;
    DWORD dbcv_unitmask;
    WORD dbcv_flags;
};
struct MONITORINFOEXW {
    DWORD cbSize;
    RECT rcMonitor;
    RECT rcWork;
    DWORD dwFlags;
    WCHAR szDevice[32];
};
struct COLORMAP {
    COLORREF from;
    COLORREF to;
};
struct NETRESOURCEW {
    DWORD dwScope;
    DWORD dwType;
    DWORD dwDisplayType;
    DWORD dwUsage;
    WCHAR* lpLocalName;
    WCHAR* lpRemoteName;
    WCHAR* lpComment;
    WCHAR* lpProvider;
};

struct LOGFONTA {
    LONG lfHeight;
    LONG lfWidth;
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight;
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    char lfFaceName[32];
};
struct PAINTSTRUCT {
    HDC hdc;
    BOOL fErase;
    RECT rcPaint;
    BOOL fRestore;
    BOOL fIncUpdate;
    BYTE rgbReserved[32];
};
struct BITMAP {
    LONG bmType;
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;
    WORD bmPlanes;
    WORD bmBitsPixel;
    void* bmBits;
};
struct MEMORYSTATUSEX {
    DWORD dwLength;
    DWORD dwMemoryLoad;
    DWORDLONG ullTotalPhys;
    DWORDLONG ullAvailPhys;
    DWORDLONG ullTotalPageFile;
    DWORDLONG ullAvailPageFile;
    DWORDLONG ullTotalVirtual;
    DWORDLONG ullAvailVirtual;
    DWORDLONG ullAvailExtendedVirtual;
};
struct TOOLINFOA {
    UINT cbSize;
    UINT uFlags;
    HWND hwnd;
    UINT_PTR uId;
    RECT rect;
    HINSTANCE hinst;
    char* lpszText;
    LPARAM lParam;
    void* lpReserved;
};
struct NMTTDISPINFOA {
    NMHDR hdr;
    char* lpszText;
    char szText[80];
    HINSTANCE hinst;
    UINT uFlags;
    LPARAM lParam;
};
struct NMTTDISPINFOW {
    NMHDR hdr;
    WCHAR* lpszText;
    WCHAR szText[80];
    HINSTANCE hinst;
    UINT uFlags;
    LPARAM lParam;
};
struct SHFILEOPSTRUCTW {
    HWND hwnd;
    UINT wFunc;
    const WCHAR* pFrom;
    const WCHAR* pTo;
    WORD fFlags;
    BOOL fAnyOperationsAborted;
    void* hNameMappings;
    const WCHAR* lpszProgressTitle;
};
// An item list is opaque to the program: it only passes it back to the shell.
struct ITEMIDLIST;
using BFFCALLBACK = int (*)(HWND, UINT, LPARAM, LPARAM);
struct BROWSEINFOW {
    HWND hwndOwner;
    const ITEMIDLIST* pidlRoot;
    WCHAR* pszDisplayName;
    const WCHAR* lpszTitle;
    UINT ulFlags;
    BFFCALLBACK lpfn;
    LPARAM lParam;
    int iImage;
};

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};
struct NMKEY {
    NMHDR hdr;
    UINT nVKey;
    UINT uFlags;
};
struct HIGHCONTRASTA {
    UINT cbSize;
    DWORD dwFlags;
    char* lpszDefaultScheme;
};

using WNDENUMPROC = BOOL (*)(HWND, LPARAM);
using MONITORENUMPROC = BOOL (*)(HMONITOR, HDC, RECT*, LPARAM);
using DRAWSTATEPROC = BOOL (*)(HDC, LPARAM, WPARAM, int, int);

constexpr WORD LOWORD(std::uintptr_t v) { return static_cast<WORD>(v & 0xFFFF); }
constexpr WORD HIWORD(std::uintptr_t v) { return static_cast<WORD>((v >> 16) & 0xFFFF); }
constexpr WORD MAKEWORD(unsigned lo, unsigned hi) { return static_cast<WORD>((lo & 0xFF) | ((hi & 0xFF) << 8)); }
constexpr BYTE LOBYTE(std::uintptr_t v) { return static_cast<BYTE>(v & 0xFF); }
constexpr BYTE HIBYTE(std::uintptr_t v) { return static_cast<BYTE>((v >> 8) & 0xFF); }
constexpr WPARAM MAKEWPARAM(unsigned lo, unsigned hi) {
    return static_cast<WPARAM>((lo & 0xFFFF) | ((hi & 0xFFFF) << 16));
}
constexpr LPARAM MAKELPARAM(unsigned lo, unsigned hi) {
    return static_cast<LPARAM>(static_cast<DWORD>((lo & 0xFFFF) | ((hi & 0xFFFF) << 16)));
}
constexpr COLORREF RGB(unsigned r, unsigned g, unsigned b) {
    return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

static_assert(sizeof(APPBARDATA) == 48, "APPBARDATA has the 64-bit Windows layout");
static_assert(sizeof(LOGFONTA) == 60 && sizeof(MEMORYSTATUSEX) == 64, "LOGFONTA, MEMORYSTATUSEX");
static_assert(sizeof(DEV_BROADCAST_VOLUME) == 20, "DEV_BROADCAST_VOLUME as Windows lays it out");

#endif  // _WIN32

// Signed halves of a packed position, as GET_X_LPARAM and GET_Y_LPARAM give them.
constexpr int SignedLoWord(std::uintptr_t v) { return static_cast<SHORT>(static_cast<WORD>(v & 0xFFFF)); }
constexpr int SignedHiWord(std::uintptr_t v) { return static_cast<SHORT>(static_cast<WORD>((v >> 16) & 0xFFFF)); }

// The same four sides, as EqualRect compares them.
constexpr bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
