// vosseldrv.exe: runs inside Wine next to vossel.exe and reports what a user
// would see (windows, rectangles, styles, appbar space, registry values,
// resources) as key=value lines, or pokes it with window messages and input.
// Exit code 0 on success, 1 on failure or timeout, 2 on bad usage.

// clang-format off
#include <windows.h>
#include <ole2.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <commctrl.h>
#include <dbt.h>
#include <winioctl.h>
#include <oleacc.h>
// clang-format on

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

const UINT kAppBarNotify = WM_APP + 1;

int Fail(const char* what) {
    std::printf("error=%s\n", what);
    return 1;
}
// A key=value line, at once: some commands go on running after it.
int Ok(const char* key, const std::string& value) {
    std::printf("%s=%s\n", key, value.c_str());
    std::fflush(stdout);
    return 0;
}
std::string Str(const RECT& rc) {
    char text[64];
    std::snprintf(text, sizeof text, "%ld,%ld,%ld,%ld", rc.left, rc.top, rc.right, rc.bottom);
    return text;
}
HWND Find(const char* title) { return FindWindowA(nullptr, title); }
// Posts to a window that exists (a null one would be the thread's queue).
bool Post(HWND hwnd, UINT msg, WPARAM wParam) { return hwnd && PostMessageA(hwnd, msg, wParam, 0); }
std::string ClassOf(HWND hwnd) {
    char cls[256] = "";
    GetClassNameA(hwnd, cls, sizeof cls);
    return cls;
}
std::string TextOf(HWND hwnd) {
    char text[512] = "";
    GetWindowTextA(hwnd, text, sizeof text);
    return text;
}
// Text in and out of the driver is UTF-8; the system's is UTF-16.
std::string Utf8(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(size > 0 ? size : 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &bytes[0], size, nullptr, nullptr);
    return bytes.c_str();
}
std::wstring Wide(const char* text) {
    const int size = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    std::wstring wide(size > 0 ? size : 1, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text, -1, &wide[0], size);
    return wide.c_str();
}
// WM_GETTEXT across processes, which is how tooltips and controls give theirs:
// asked for wide text, so that a name in any script comes whole.
std::string SentText(HWND hwnd) {
    wchar_t text[1024] = L"";
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(hwnd, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, &copied);
    return Utf8(text);
}
// The window's rectangle on the screen, or with GetClientRect its client area.
RECT WindowRect(HWND hwnd, BOOL(WINAPI* get)(HWND, RECT*) = GetWindowRect) {
    RECT rc = {};
    get(hwnd, &rc);
    return rc;
}
DWORD Style(HWND hwnd, int which = GWL_STYLE) { return static_cast<DWORD>(GetWindowLongA(hwnd, which)); }
DWORD ProcessOf(HWND hwnd) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    return pid;
}
// Calls pick(hwnd) for each top-level window in z-order, or each descendant
// of parent, and counts the windows for which it answers true.
template <class F>
int Count(F pick, HWND parent = nullptr) {
    std::pair<F*, int> state = {&pick, 0};
    auto proc = [](HWND hwnd, LPARAM p) -> BOOL {
        auto* picked = reinterpret_cast<std::pair<F*, int>*>(p);
        picked->second += (*picked->first)(hwnd) ? 1 : 0;
        return TRUE;
    };
    parent ? EnumChildWindows(parent, proc, reinterpret_cast<LPARAM>(&state))
           : EnumWindows(proc, reinterpret_cast<LPARAM>(&state));
    return state.second;
}
template <class F>
bool WaitUntil(F cond, double seconds) {
    for (const DWORD start = GetTickCount(); !cond(); Sleep(20)) {
        if (GetTickCount() - start >= static_cast<DWORD>(seconds * 1000))
            return false;
    }
    return true;
}
// Reports appbar notifications; ends the message loop on the timer or when
// closed, and the caller cleans up.
LRESULT CALLBACK QuitProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == kAppBarNotify) {
        std::printf("notify=%u\n", static_cast<unsigned>(wParam));
        std::fflush(stdout);
    }
    if (msg == WM_TIMER || msg == WM_CLOSE)
        PostQuitMessage(0);
    return msg == WM_CLOSE || msg == kAppBarNotify ? 0 : DefWindowProcA(hwnd, msg, wParam, lParam);
}
// A window of our own that ends the message loop on its timer or when closed.
HWND MakeWindow(const char* title, DWORD exstyle, DWORD style, int x, int y, int cx, int cy, int brush,
                WNDPROC proc = QuitProc) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(brush + 1));
    wc.lpszClassName = title;
    RegisterClassA(&wc);
    return CreateWindowExA(exstyle, title, title, style, x, y, cx, cy, nullptr, nullptr, wc.hInstance, nullptr);
}
void RunFor(HWND hwnd, const char* seconds) {
    SetTimer(hwnd, 1, static_cast<UINT>(std::atof(seconds) * 1000), nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
}
HKEY Root(const std::string& name) {
    return name == "HKLM" ? HKEY_LOCAL_MACHINE : name == "HKCU" ? HKEY_CURRENT_USER : nullptr;
}
const BYTE* Resource(HMODULE module, int id, int type, DWORD* size = nullptr) {
    HRSRC res = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(type));
    if (res && size)
        *size = SizeofResource(module, res);
    return res ? static_cast<const BYTE*>(LockResource(LoadResource(module, res))) : nullptr;
}

int WaitWindow(char** a, bool present) {
    const bool done = WaitUntil([&] { return (Find(a[0]) != nullptr) == present; }, std::atof(a[1]));
    return done ? Ok(present ? "found" : "gone", "1") : Fail("timeout");
}

// The window's screen rectangle, as "left,top,right,bottom".
std::string RectOf(HWND hwnd) { return Str(WindowRect(hwnd)); }
// "l,t,r,b" as a rectangle; false when it is not four numbers.
bool ParseRect(const char* text, RECT* rc) {
    return std::sscanf(text, "%ld,%ld,%ld,%ld", &rc->left, &rc->top, &rc->right, &rc->bottom) == 4;
}

// The device name of the monitor that holds most of the window, or the nearest.
std::string MonitorOf(HWND hwnd) {
    MONITORINFOEXW info = {};
    info.cbSize = sizeof info;
    return GetMonitorInfoW(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &info) ? Utf8(info.szDevice) : "";
}

// The screen's size, as the system reports it now.
int Screen() {
    HDC screen = GetDC(nullptr);
    std::printf("cx=%d\ncy=%d\ndpi=%d\n", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                GetDeviceCaps(screen, LOGPIXELSY));
    ReleaseDC(nullptr, screen);
    return 0;
}

int WindowInfo(HWND hwnd, char**) {
    const RECT client = WindowRect(hwnd, GetClientRect);
    const DWORD style = Style(hwnd), exstyle = Style(hwnd, GWL_EXSTYLE);
    std::printf("hwnd=%p\nclass=%s\npid=%lu\nrect=%s\nclient=%ld,%ld\nstyle=0x%08lX\nexstyle=0x%08lX\n",
                static_cast<void*>(hwnd), ClassOf(hwnd).c_str(), ProcessOf(hwnd), RectOf(hwnd).c_str(), client.right,
                client.bottom, style, exstyle);
    std::printf("visible=%d\ntopmost=%d\ncaption=%d\n", IsWindowVisible(hwnd) ? 1 : 0,
                (exstyle & WS_EX_TOPMOST) ? 1 : 0, (style & WS_CAPTION) == WS_CAPTION ? 1 : 0);
    // The window's region, in window coordinates; none when all of it shows.
    RECT region{};
    std::printf("region=%s\n", GetWindowRgnBox(hwnd, &region) == SIMPLEREGION ? Str(region).c_str() : "none");
    return Ok("monitor", MonitorOf(hwnd));
}

// The direct children of a window with their places in it and on the screen.
int Children(HWND parent, char**) {
    Count(
        [&](HWND child) {
            RECT rc = WindowRect(child);
            MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rc), 2);
            return GetParent(child) == parent &&
                   std::printf("child id=%d class=%s style=0x%08lX rect=%s screen=%s text=%s\n", GetDlgCtrlID(child),
                               ClassOf(child).c_str(), Style(child), Str(rc).c_str(), RectOf(child).c_str(),
                               TextOf(child).c_str()) > 0;
        },
        parent);
    return 0;
}

// Top-level windows of one class, in z-order, then their number.
int ClassWindows(char** a) {
    const int count = Count([&](HWND hwnd) {
        return ClassOf(hwnd) == a[0] &&
               std::printf("window pid=%lu visible=%d rect=%s title=%s\n", ProcessOf(hwnd),
                           IsWindowVisible(hwnd) ? 1 : 0, RectOf(hwnd).c_str(), TextOf(hwnd).c_str()) > 0;
    });
    std::printf("count=%d\n", count);
    return 0;
}

// A second appbar at an edge (0 left, 1 top, 2 right, 3 bottom) reports what
// the shell gives it of the whole edge: the strips others reserve are cut
// off. With a thickness it takes that strip, holds it for the given time (or
// until closed) and gives it back. The edge is that of the given area (a
// monitor's rectangle), or of the primary screen.
int AppBar(UINT edge, int thickness, const char* seconds, const RECT* area = nullptr) {
    HWND hwnd =
        MakeWindow("Vossel E2E AppBar", WS_EX_TOOLWINDOW | WS_EX_TOPMOST, WS_POPUP, 0, 0, 10, 10, COLOR_HIGHLIGHT);
    if (!hwnd)
        return Fail("CreateWindow");
    APPBARDATA abd = {sizeof abd, hwnd, kAppBarNotify, edge, {}, 0};
    SHAppBarMessage(ABM_NEW, &abd);
    if (area)
        abd.rc = *area;
    else
        SetRect(&abd.rc, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    SHAppBarMessage(ABM_QUERYPOS, &abd);
    Ok("query", Str(abd.rc));
    if (thickness > 0) {
        switch (edge) {
            case ABE_LEFT:
                abd.rc.right = abd.rc.left + thickness;
                break;
            case ABE_RIGHT:
                abd.rc.left = abd.rc.right - thickness;
                break;
            case ABE_BOTTOM:
                abd.rc.top = abd.rc.bottom - thickness;
                break;
            default:
                abd.rc.bottom = abd.rc.top + thickness;
        }
        SHAppBarMessage(ABM_SETPOS, &abd);
        Ok("rect", Str(abd.rc));
        SetWindowPos(hwnd, HWND_TOPMOST, abd.rc.left, abd.rc.top, abd.rc.right - abd.rc.left,
                     abd.rc.bottom - abd.rc.top, SWP_NOACTIVATE | SWP_SHOWWINDOW);
        RunFor(hwnd, seconds);
    }
    SHAppBarMessage(ABM_REMOVE, &abd);
    DestroyWindow(hwnd);
    return thickness > 0 ? Ok("removed", "1") : 0;
}

// Shows an ordinary window at x, y and keeps it the active window for the
// given time: another program the user works in.
int HoldActive(char** a) {
    HWND hwnd = MakeWindow("Vossel E2E Other", 0, WS_POPUP | WS_BORDER, std::atoi(a[0]), std::atoi(a[1]), 200, 100,
                           COLOR_WINDOW);
    if (!hwnd)
        return Fail("CreateWindow");
    ShowWindow(hwnd, SW_SHOW);
    SetForegroundWindow(hwnd);
    SetActiveWindow(hwnd);
    Ok("active", GetActiveWindow() == hwnd ? "1" : "0");
    RunFor(hwnd, a[2]);
    DestroyWindow(hwnd);
    return 0;
}

// A value under HKLM or HKCU with its type, size and contents.
int RegQuery(HKEY root, const char* subkey, const char* value) {
    const DWORD flags = RRF_RT_ANY | RRF_NOEXPAND;
    const std::wstring key = Wide(subkey), name = Wide(value);
    DWORD type = 0, size = 0;
    if (!root || RegGetValueW(root, key.c_str(), name.c_str(), flags, &type, nullptr, &size) != ERROR_SUCCESS)
        return Fail("no value");
    std::vector<BYTE> data(size + sizeof(wchar_t));  // a string read wide, ended even when stored without
    RegGetValueW(root, key.c_str(), name.c_str(), flags, &type, data.data(), &size);
    std::printf("type=%lu\nsize=%lu\n", type, size);
    if (type == REG_SZ || type == REG_EXPAND_SZ)
        Ok("string", Utf8(reinterpret_cast<const wchar_t*>(data.data())));
    else if (type == REG_DWORD && size == 4)
        std::printf("dword=%lu\n", *reinterpret_cast<const DWORD*>(data.data()));
    std::printf("hex=");
    for (DWORD i = 0; i < size; ++i)
        std::printf("%02x", data[i]);
    std::printf("\n");
    return 0;
}
int RegSet(HKEY root, const char* subkey, const char* value, const std::string& type, const char* text) {
    std::vector<BYTE> data;
    const DWORD number = std::strtoul(text, nullptr, 0);
    const std::wstring wide = Wide(text);
    if (type == "sz")
        data.assign(reinterpret_cast<const BYTE*>(wide.c_str()),
                    reinterpret_cast<const BYTE*>(wide.c_str() + wide.size() + 1));
    else if (type == "dword")
        data.assign(reinterpret_cast<const BYTE*>(&number), reinterpret_cast<const BYTE*>(&number) + 4);
    for (const char* p = text; type == "binary" && *p; p += 2) {
        unsigned byte = 0;
        if (!p[1] || std::sscanf(p, "%2x", &byte) != 1)
            return Fail("bad hex");
        data.push_back(static_cast<BYTE>(byte));
    }
    const DWORD regType = type == "sz" ? REG_SZ : type == "dword" ? REG_DWORD : type == "binary" ? REG_BINARY : 0;
    if (!regType || !root ||
        RegSetKeyValueW(root, Wide(subkey).c_str(), Wide(value).c_str(), regType, data.data(),
                        static_cast<DWORD>(data.size())) != ERROR_SUCCESS)
        return Fail("not written");
    return Ok("written", std::to_string(data.size()));
}

// The fixed parts of a DLGTEMPLATEEX and of each of its items.
#pragma pack(push, 2)
struct DialogHeader {
    WORD version, signature;
    DWORD help, exstyle, style;
    WORD items;
    short x, y, cx, cy;
};
struct ItemHeader {
    DWORD help, exstyle, style;
    short x, y, cx, cy;
    DWORD id;
};
#pragma pack(pop)

// Reads a dialog template the way the dialog manager does.
struct TemplateReader {
    const BYTE* p;
    template <class T>
    T Get() {
        T value;
        std::memcpy(&value, p, sizeof value);
        p += sizeof value;
        return value;
    }
    // A name, or 0xFFFF and a number.
    std::string SzOrOrd() {
        if (Get<WORD>() == 0xFFFF)
            return "#" + std::to_string(Get<WORD>());
        p -= 2;
        std::string s;
        for (WORD c; (c = Get<WORD>()) != 0;)
            s += static_cast<char>(c < 128 ? c : '?');
        return s;
    }
};

void PrintDialog(const BYTE* base) {
    TemplateReader r = {base};
    const auto d = r.Get<DialogHeader>();
    std::printf(
        "dialog.ex=%d\ndialog.style=0x%08lX\ndialog.exstyle=0x%08lX\ndialog.items=%u\ndialog.rect=%d,%d,%d,%d\n",
        d.version == 1 && d.signature == 0xFFFF ? 1 : 0, d.style, d.exstyle, d.items, d.x, d.y, d.cx, d.cy);
    for (const char* field : {"menu", "class", "caption"})
        std::printf("dialog.%s=%s\n", field, r.SzOrOrd().c_str());
    if (d.style & DS_SETFONT) {
        const WORD points = r.Get<WORD>(), weight = r.Get<WORD>(), italic = r.Get<BYTE>(), charset = r.Get<BYTE>();
        std::printf("dialog.font=%u,%u,%u,%u,%s\n", points, weight, italic, charset, r.SzOrOrd().c_str());
    }
    for (WORD i = 0; i < d.items; ++i) {
        r.p += (4 - (r.p - base) % 4) % 4;  // each item starts on a DWORD
        const auto c = r.Get<ItemHeader>();
        const std::string cls = r.SzOrOrd(), text = r.SzOrOrd();
        r.p += r.Get<WORD>();  // creation data
        std::printf("control id=%lu class=%s style=0x%08lX exstyle=0x%08lX rect=%d,%d,%d,%d text=%s\n", c.id,
                    cls.c_str(), c.style, c.exstyle, c.x, c.y, c.cx, c.cy, text.c_str());
    }
}

// The sizes of a hidden dialog made from the bar's template: the outer height
// is the thickness a docked bar should have by default.
void PrintTemplateSize(const BYTE* res, DWORD size) {
    std::vector<BYTE> bytes(res, res + size);
    bytes[offsetof(DialogHeader, style) + 3] &= static_cast<BYTE>(~(WS_VISIBLE >> 24));
    HWND dlg = CreateDialogIndirectParamA(
        GetModuleHandleA(nullptr), reinterpret_cast<LPCDLGTEMPLATEA>(bytes.data()), nullptr,
        [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
    const RECT rc = WindowRect(dlg), client = WindowRect(dlg, GetClientRect);
    std::printf("client=%ld,%ld\nwindow=%ld,%ld\nstyle=0x%08lX\n", client.right, client.bottom, rc.right - rc.left,
                rc.bottom - rc.top, Style(dlg));
    DestroyWindow(dlg);
}

// The bar's menu as the system loads it: the first pop-up's title, then each
// item's position, command id and text.
void PrintMenu(HMENU menu) {
    char text[256] = "";
    GetMenuStringA(menu, 0, text, sizeof text, MF_BYPOSITION);
    Ok("popup", text);
    HMENU popup = GetSubMenu(menu, 0);
    for (UINT i = 0; popup && static_cast<int>(i) < GetMenuItemCount(popup); ++i) {
        GetMenuStringA(popup, i, text, sizeof text, MF_BYPOSITION);
        if (GetMenuState(popup, i, MF_BYPOSITION) & MF_SEPARATOR)
            std::printf("item %u separator\n", i + 1);
        else
            std::printf("item %u id=%u text=%s\n", i + 1, GetMenuItemID(popup, static_cast<int>(i)), text);
    }
    DestroyMenu(menu);
}

// The resources built into the program, read as Windows reads them.
int Resources(char** a) {
    HMODULE module = LoadLibraryExA(a[0], nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module)
        return Fail("LoadLibraryEx");
    DWORD size = 0;
    if (const BYTE* dialog = Resource(module, 103, 5, &size)) {  // RT_DIALOG
        PrintDialog(dialog);
        PrintTemplateSize(dialog, size);
    }
    for (int id : {57344, 108, 109}) {
        char text[256] = "";
        LoadStringA(module, id, text, sizeof text);
        std::printf("string.%d=%s\n", id, text);
    }
    // The pictures at 16 pixels, then at 20, 24, 28 and 32, ten ids apart.
    for (int id = 130; id <= 174; id += id % 10 == 4 ? 6 : 1) {
        const auto* bih = reinterpret_cast<const BITMAPINFOHEADER*>(Resource(module, id, 2));  // RT_BITMAP
        if (bih)
            std::printf("bitmap.%d=%ldx%ld,%u\n", id, bih->biWidth, bih->biHeight, bih->biBitCount);
        else
            std::printf("bitmap.%d=missing\n", id);
    }
    std::printf("icon.128=%d\nmanifest.1=%d\n", Resource(module, 128, 14) ? 1 : 0, Resource(module, 1, 24) ? 1 : 0);
    if (const BYTE* menu = Resource(module, 130, 4))  // RT_MENU
        PrintMenu(LoadMenuIndirectA(menu));
    FreeLibrary(module);

    size = GetFileVersionInfoSizeA(a[0], nullptr);
    std::vector<BYTE> info(size ? size : 1);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT len = 0;
    if (!size || !GetFileVersionInfoA(a[0], 0, size, info.data()) ||
        !VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &len) || !fixed)
        return Ok("version.file", "missing");
    std::printf("version.file=%lu,%lu,%lu,%lu\n", fixed->dwFileVersionMS >> 16, fixed->dwFileVersionMS & 0xFFFF,
                fixed->dwFileVersionLS >> 16, fixed->dwFileVersionLS & 0xFFFF);
    for (const char* name : {"CompanyName", "FileDescription", "FileVersion", "ProductName", "ProductVersion",
                             "InternalName", "OriginalFilename"}) {
        const std::string path = std::string("\\StringFileInfo\\040904b0\\") + name;
        char* value = nullptr;
        const bool found = VerQueryValueA(info.data(), path.c_str(), reinterpret_cast<void**>(&value), &len) && value;
        std::printf("version.%s=%s\n", name, found ? value : "missing");
    }
    return 0;
}

int Clipboard(char**) {
    HANDLE data = OpenClipboard(nullptr) ? GetClipboardData(CF_TEXT) : nullptr;
    const char* text = data ? static_cast<const char*>(GlobalLock(data)) : nullptr;
    const int rc = text ? Ok("text", text) : Fail("no text");
    if (text)
        GlobalUnlock(data);
    CloseClipboard();
    return rc;
}

// The bar's tooltips, owned or not: those its thread made. Their text comes
// only with WM_GETTEXT from another process, and stays after the tip hides.
// A tip's first line is its text; each further one follows as a "tip line".
int ToolTips(HWND owner, char**) {
    const int count = Count([&](HWND tip) {
        if (lstrcmpiA(ClassOf(tip).c_str(), "tooltips_class32") != 0 ||
            (GetWindow(tip, GW_OWNER) != owner &&
             GetWindowThreadProcessId(tip, nullptr) != GetWindowThreadProcessId(owner, nullptr))) {
            return false;
        }
        std::string text = SentText(tip);
        text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
        const size_t end = text.find('\n');
        std::printf("tip visible=%d style=0x%08lX text=%s\n", IsWindowVisible(tip) ? 1 : 0, Style(tip),
                    text.substr(0, end).c_str());
        for (size_t from = end; from != std::string::npos; from = text.find('\n', from + 1)) {
            std::printf("tip line=%s\n", text.substr(from + 1, text.find('\n', from + 1) - from - 1).c_str());
        }
        std::printf("tip rect=%s\n", RectOf(tip).c_str());
        return true;
    });
    return Ok("count", std::to_string(count));
}

// The free space of the volume at a root as GetDiskFreeSpaceExW reports it,
// and the line a tip makes of it with the shell's size format.
int FreeSpace(char** a) {
    ULARGE_INTEGER free = {}, total = {}, totalFree = {};
    if (!GetDiskFreeSpaceExW(Wide(a[0]).c_str(), &free, &total, &totalFree))
        return Fail("no free space");
    wchar_t freeText[64] = L"", totalText[64] = L"";
    StrFormatByteSizeW(static_cast<LONGLONG>(free.QuadPart), freeText, 64);
    StrFormatByteSizeW(static_cast<LONGLONG>(total.QuadPart), totalText, 64);
    std::printf("free=%llu\ntotal=%llu\n", free.QuadPart, total.QuadPart);
    return Ok("line", Utf8(freeText) + " free of " + Utf8(totalText));
}

// Reads the window's rectangle as often as it can for the given time and
// counts how often it changed: the frames of a slide, as far as they are seen.
int WatchRect(HWND hwnd, char** a) {
    RECT last = WindowRect(hwnd);
    Ok("from", Str(last));
    LARGE_INTEGER frequency, start, now, first = {}, latest = {};
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    long changes = 0, reads = 0;
    do {
        const RECT rc = WindowRect(hwnd);
        ++reads;
        QueryPerformanceCounter(&now);
        if (!EqualRect(&rc, &last)) {
            first = changes++ == 0 ? now : first;
            latest = now;
            last = rc;
        }
    } while (now.QuadPart - start.QuadPart < static_cast<LONGLONG>(std::atof(a[1]) * frequency.QuadPart));
    std::printf("to=%s\nchanges=%ld\nreads=%ld\nspan_ms=%lld\n", Str(last).c_str(), changes, reads,
                changes ? (latest.QuadPart - first.QuadPart) * 1000 / frequency.QuadPart : 0LL);
    return 0;
}

// The GDI and USER objects the process of the window holds, as the system
// counts them, and the windows (top-level and child) its threads made.
int GuiResources(HWND hwnd, char**) {
    const DWORD pid = ProcessOf(hwnd);
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process)
        return Fail("not found");
    SetLastError(0);
    const DWORD gdi = GetGuiResources(process, GR_GDIOBJECTS), user = GetGuiResources(process, GR_USEROBJECTS);
    std::printf("gdi=%lu\nuser=%lu\nlasterror=%lu\n", gdi, user, GetLastError());
    CloseHandle(process);
    int children = 0;
    const int tops = Count(
        [&](HWND top) { return ProcessOf(top) == pid && (children += Count([](HWND) { return true; }, top)) >= 0; });
    return Ok("windows", std::to_string(tops + children));
}

// Where another program sees the keyboard of window a[0]'s thread: the
// focused control (its id, class and text), whether the window is active,
// and which window is in front.
int GuiFocus(HWND hwnd, char**) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(hwnd, nullptr), &info))
        return Fail("no thread info");
    std::printf("focus=%d\nfocusclass=%s\nactive=%d\nforeground=%s\n",
                info.hwndFocus ? GetDlgCtrlID(info.hwndFocus) : 0, ClassOf(info.hwndFocus).c_str(),
                info.hwndActive == hwnd ? 1 : 0, TextOf(GetForegroundWindow()).c_str());
    return Ok("focustext", TextOf(info.hwndFocus));
}

// What a screen reader reads of the window and then of each child, in the
// z-order, which is the Tab order: "object id=<control id> role=<role>
// name=<name>" and the default action, read from this process.
int AccessibleObjects(HWND hwnd, char**) {
    // MinGW's import library gives IID_IAccessible wrong.
    const IID iidAccessible = {0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
    if (FAILED(CoInitialize(nullptr)))
        return Fail("no COM");
    auto text = [](BSTR value) {
        const std::string utf8 = value ? Utf8(value) : "";
        SysFreeString(value);
        return utf8;
    };
    for (HWND window = hwnd; window;
         window = window == hwnd ? GetWindow(hwnd, GW_CHILD) : GetWindow(window, GW_HWNDNEXT)) {
        IAccessible* accessible = nullptr;
        if (FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), iidAccessible,
                                              reinterpret_cast<void**>(&accessible)))) {
            std::printf("object id=%d error=1\n", window == hwnd ? 0 : GetDlgCtrlID(window));
            continue;
        }
        VARIANT self = {};
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        VARIANT role = {};
        BSTR name = nullptr, action = nullptr;
        accessible->get_accName(self, &name);
        accessible->get_accRole(self, &role);
        accessible->get_accDefaultAction(self, &action);
        std::printf("object id=%d role=%ld action=%s name=%s\n", window == hwnd ? 0 : GetDlgCtrlID(window),
                    role.vt == VT_I4 ? static_cast<long>(role.lVal) : -1L, text(action).c_str(), text(name).c_str());
        accessible->Release();
    }
    CoUninitialize();
    return 0;
}

// Holds a hotkey (RegisterHotKey's modifiers and key) for the given time,
// as another program would; "held=1" once it has it.
int HoldHotKey(char** a) {
    HWND hwnd = MakeWindow("Vossel E2E Hotkey", 0, WS_POPUP, 0, 0, 1, 1, COLOR_WINDOW);
    if (!hwnd || !RegisterHotKey(hwnd, 1, std::strtoul(a[0], nullptr, 0), std::strtoul(a[1], nullptr, 0)))
        return Fail("not held");
    Ok("held", "1");
    RunFor(hwnd, a[2]);
    UnregisterHotKey(hwnd, 1);
    DestroyWindow(hwnd);
    return 0;
}

// Ends a drag when the button is let go and cancels it on Escape; it lives on
// the stack of the drag, which outlasts every reference.
struct DropSource : IDropSource {
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        *out = IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropSource) ? this : nullptr;
        return *out ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD keys) override {
        return escape ? DRAGDROP_S_CANCEL : (keys & MK_LBUTTON) ? S_OK : DRAGDROP_S_DROP;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
};

std::wstring g_dragFiles;  // each path ends with a null, the list with another

// A press starts an OLE drag of the file list and reports the effect the
// drop answered. The list goes on the clipboard as CF_HDROP, and OLE's data object
// for the clipboard carries it.
LRESULT CALLBACK DragProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg != WM_LBUTTONDOWN)
        return QuitProc(hwnd, msg, wParam, lParam);
    const size_t bytes = g_dragFiles.size() * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + bytes);
    auto* files = static_cast<DROPFILES*>(GlobalLock(memory));
    files->pFiles = sizeof(DROPFILES);
    files->fWide = TRUE;  // as Explorer hands over names in any script
    std::memcpy(files + 1, g_dragFiles.data(), bytes);
    GlobalUnlock(memory);
    IDataObject* data = nullptr;
    if (OpenClipboard(hwnd) && EmptyClipboard() && SetClipboardData(CF_HDROP, memory) && CloseClipboard())
        OleGetClipboard(&data);
    DropSource source;
    DWORD effect = DROPEFFECT_NONE;
    const HRESULT hr = data ? DoDragDrop(data, &source, DROPEFFECT_COPY | DROPEFFECT_MOVE, &effect) : E_FAIL;
    std::printf("result=0x%08lX effect=%lu\n", static_cast<unsigned long>(hr), static_cast<unsigned long>(effect));
    std::fflush(stdout);
    if (data)
        data->Release();
    return 0;
}

// A window "Drag Source" at (300, 300), 200 x 150, that drags the given files
// onto wherever the mouse lets go of them, as Explorer does.
int DragSource(char** a) {
    for (char** file = a; *file; ++file)
        g_dragFiles.append(Wide(*file)).push_back(L'\0');
    g_dragFiles.push_back(L'\0');
    HWND hwnd = SUCCEEDED(OleInitialize(nullptr)) ? MakeWindow("Drag Source", 0, WS_POPUP | WS_BORDER | WS_VISIBLE, 300,
                                                               300, 200, 150, COLOR_WINDOW, DragProc)
                                                  : nullptr;
    if (!hwnd)
        return Fail("CreateWindow");
    Ok("ready", "1");
    RunFor(hwnd, "600");  // a case that forgets to close it does not leave it behind
    OleUninitialize();
    return 0;
}

bool MenuShown() {
    return Count([](HWND hwnd) { return ClassOf(hwnd) == "#32768" && IsWindowVisible(hwnd); }) > 0;
}

// Clicks the bar's menu button n times, closing the menu each time with
// WM_CANCELMODE (keys do not reach the menu of a program in the background).
// BM_CLICK: under Wine every other click sent as input opened no menu.
int MenuCycles(HWND bar, char** a) {
    HWND button = GetDlgItem(bar, 1009);
    if (!button)
        return Fail("not found");
    int opened = 0, closed = 0;
    for (int i = std::atoi(a[1]); i > 0; --i) {
        PostMessageA(button, BM_CLICK, 0, 0);
        opened += WaitUntil(MenuShown, 2) ? 1 : 0;
        PostMessageA(bar, WM_CANCELMODE, 0, 0);
        closed += WaitUntil([] { return !MenuShown(); }, 2) ? 1 : 0;
        Sleep(100);  // as a user would; a click while the menu's loop still ends once lost the bar
    }
    std::printf("opened=%d\nclosed=%d\n", opened, closed);
    return 0;
}

// Adds drive letter a[0] for Unix folder a[1] with kind a[2] (a DRIVE_ value)
// through Wine's mount manager, as its configuration tool does; with the
// letter alone (argv ends there) it goes. The mount manager tells nobody.
int DefineDrive(char** a) {
    struct UnixDrive {
        ULONG size, type, fs_type, serial;
        ULONGLONG unix_dev;
        WCHAR letter;
        USHORT mount_point_offset, device_offset, label_offset;
    };
    const std::string folder = a[1] ? a[1] : "";
    std::vector<BYTE> input(sizeof(UnixDrive) + folder.size() + 1);
    const UnixDrive drive = {static_cast<ULONG>(input.size()),   a[1] ? std::strtoul(a[2], nullptr, 0) : 0,    0, 0, 0,
                             static_cast<WCHAR>(a[0][0] | 0x20), static_cast<USHORT>(a[1] ? sizeof drive : 0), 0, 0};
    std::memcpy(input.data(), &drive, sizeof drive);
    std::memcpy(input.data() + sizeof drive, folder.c_str(), folder.size() + 1);
    HANDLE manager = CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    DWORD returned = 0;
    const BOOL ok = DeviceIoControl(manager, CTL_CODE('m', 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS),
                                    input.data(), static_cast<DWORD>(input.size()), nullptr, 0, &returned, nullptr);
    CloseHandle(manager);
    return ok ? Ok("drives", std::to_string(GetLogicalDrives())) : Fail("not defined");
}

// Sends window a[0] what the system broadcasts when volume a[2] arrives or
// goes (a[1]: arrival or removal).
int DeviceChange(HWND hwnd, char** a) {
    DEV_BROADCAST_VOLUME volume = {sizeof volume, DBT_DEVTYP_VOLUME, 0, 1u << ((a[2][0] & ~0x20) - 'A'), 0};
    const WPARAM event = std::strcmp(a[1], "arrival") == 0 ? DBT_DEVICEARRIVAL : DBT_DEVICEREMOVECOMPLETE;
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(hwnd, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(&volume), SMTO_ABORTIFHUNG, 5000,
                               &result)
               ? Ok("answer", std::to_string(result))
               : Fail("not sent");
}

// Changes the screen size, as a docking station or a projector would.
int DisplaySize(char** a) {
    DEVMODEA mode = {};
    mode.dmSize = sizeof mode;
    mode.dmPelsWidth = std::strtoul(a[0], nullptr, 10);
    mode.dmPelsHeight = std::strtoul(a[1], nullptr, 10);
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
    const LONG result = ChangeDisplaySettingsExA(nullptr, &mode, nullptr, 0, nullptr);
    std::printf("result=%ld\n", static_cast<long>(result));
    return Screen() + (result == DISP_CHANGE_SUCCESSFUL ? 0 : 1);
}

// The monitors as the system enumerates them, the primary first and the
// others from left to right, then top to bottom: monitorN.rect, .work,
// .primary and .device, then their count, the virtual screen and the whole
// layout as WxH+X+Y words.
int Monitors(char**) {
    std::vector<MONITORINFOEXW> list;
    auto add = [](HMONITOR monitor, HDC, RECT*, LPARAM p) -> BOOL {
        MONITORINFOEXW info = {};
        info.cbSize = sizeof info;
        if (GetMonitorInfoW(monitor, &info))
            reinterpret_cast<std::vector<MONITORINFOEXW>*>(p)->push_back(info);
        return TRUE;
    };
    EnumDisplayMonitors(nullptr, nullptr, add, reinterpret_cast<LPARAM>(&list));
    std::stable_sort(list.begin(), list.end(), [](const MONITORINFOEXW& a, const MONITORINFOEXW& b) {
        const bool primaryA = a.dwFlags & MONITORINFOF_PRIMARY, primaryB = b.dwFlags & MONITORINFOF_PRIMARY;
        return primaryA != primaryB ? primaryA
                                    : std::make_pair(a.rcMonitor.left, a.rcMonitor.top) <
                                          std::make_pair(b.rcMonitor.left, b.rcMonitor.top);
    });
    std::string layout;
    for (size_t i = 0; i < list.size(); ++i) {
        const RECT& rc = list[i].rcMonitor;
        const int n = static_cast<int>(i + 1);
        std::printf("monitor%d.rect=%s\nmonitor%d.work=%s\nmonitor%d.primary=%d\nmonitor%d.device=%s\n", n,
                    Str(rc).c_str(), n, Str(list[i].rcWork).c_str(), n,
                    (list[i].dwFlags & MONITORINFOF_PRIMARY) ? 1 : 0, n, Utf8(list[i].szDevice).c_str());
        char word[64];
        std::snprintf(word, sizeof word, "%s%ldx%ld%+ld%+ld", i ? " " : "", rc.right - rc.left, rc.bottom - rc.top,
                      rc.left, rc.top);
        layout += word;
    }
    const int x = GetSystemMetrics(SM_XVIRTUALSCREEN), y = GetSystemMetrics(SM_YVIRTUALSCREEN);
    std::printf("count=%d\nvirtual=%d,%d,%d,%d\n", static_cast<int>(list.size()), x, y,
                x + GetSystemMetrics(SM_CXVIRTUALSCREEN), y + GetSystemMetrics(SM_CYVIRTUALSCREEN));
    return Ok("layout", layout);
}

// What Windows sends every top-level window when a monitor comes, goes or
// changes: WM_DISPLAYCHANGE with the depth and the primary's size. Sent one
// by one, so that each window has handled it when the command ends.
int DisplayChange(char**) {
    HDC screen = GetDC(nullptr);
    const WPARAM bits = static_cast<WPARAM>(GetDeviceCaps(screen, BITSPIXEL));
    ReleaseDC(nullptr, screen);
    const LPARAM size = MAKELPARAM(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    const int sent = Count([&](HWND hwnd) {
        DWORD_PTR result = 0;
        return SendMessageTimeoutW(hwnd, WM_DISPLAYCHANGE, bits, size, SMTO_ABORTIFHUNG, 2000, &result) != 0;
    });
    return Ok("sent", std::to_string(sent));
}

template <class Run>
struct Command {
    const char* name;
    int args;  // a negative count is the least number
    Run run;

    bool Matches(int argc, char** argv) const {
        return (argc == args + 2 || (args < 0 && argc >= 2 - args)) && std::strcmp(argv[1], name) == 0;
    }
};

const Command<int (*)(char**)> kCommands[] = {
    {"wait-window", 2, [](char** a) { return WaitWindow(a, true); }},  // <title> <seconds>
    {"wait-gone", 2, [](char** a) { return WaitWindow(a, false); }},   // <title> <seconds>
    {"class-windows", 1, ClassWindows},                                // <class>
    {"screen", 0, [](char**) { return Screen(); }},
    {"appbar-top", 2, [](char** a) { return AppBar(ABE_TOP, std::atoi(a[0]), a[1]); }},  // <thickness> <seconds>
    {"appbar-query", 1, [](char** a) { return AppBar(static_cast<UINT>(std::atoi(a[0])), 0, ""); }},  // <edge>
    {"appbar-at", 4,  // <edge> <l,t,r,b of a monitor> <thickness, 0 to only ask> <seconds>
     [](char** a) {
         RECT area;
         return ParseRect(a[1], &area) ? AppBar(static_cast<UINT>(std::atoi(a[0])), std::atoi(a[2]), a[3], &area)
                                       : Fail("bad rect");
     }},
    {"hold-active", 3, HoldActive},                                                      // <x> <y> <seconds>
    {"reg-query", 2, [](char** a) { return RegQuery(HKEY_CURRENT_USER, a[0], a[1]); }},  // <subkey> <value>
    {"reg-query-in", 3, [](char** a) { return RegQuery(Root(a[0]), a[1], a[2]); }},      // HKLM|HKCU <subkey> <value>
    {"reg-set", 4, [](char** a) { return RegSet(HKEY_CURRENT_USER, a[0], a[1], a[2], a[3]); }},  // ... <type> <data>
    {"reg-set-in", 4, [](char** a) { return RegSet(Root(a[0]), a[1], a[2], "sz", a[3]); }},      // <root> ... <string>
    {"resources", 1, Resources},                                                                 // <exe>
    {"clipboard", 0, Clipboard},
    {"long-path", 1,  // <path>: its long form, to compare with what the program stored
     [](char** a) {
         wchar_t full[MAX_PATH] = L"";
         return GetLongPathNameW(Wide(a[0]).c_str(), full, MAX_PATH) ? Ok("path", Utf8(full)) : Fail("no path");
     }},
    {"drag-source", -1, DragSource},     // <file>...
    {"define-drive", 3, DefineDrive},    // <letter> <unix folder> <DRIVE_ kind>
    {"undefine-drive", 1, DefineDrive},  // <letter>
    {"display-size", 2, DisplaySize},    // <cx> <cy>
    {"free-space", 1, FreeSpace},        // <root>
    {"monitors", 0, Monitors},
    {"displaychange", 0, DisplayChange},
    {"hold-hotkey", 3, HoldHotKey},  // <MOD_ bits> <virtual key> <seconds>
};

// Commands whose first argument is the title of a window that must exist.
const Command<int (*)(HWND, char**)> kWindowCommands[] = {
    {"window-info", 1, WindowInfo},  // <title>
    {"children", 1, Children},       // <title>
    {"syscommand-close", 1,          // <title>
     [](HWND w, char**) { return Post(w, WM_SYSCOMMAND, SC_CLOSE) ? Ok("posted", "1") : Fail("not posted"); }},
    {"item", 2,  // <title> <control id>: text, check state, place, enabled, shown, a hotkey control's value
     [](HWND w, char** a) {
         HWND item = GetDlgItem(w, std::atoi(a[1]));
         if (!item)
             return Fail("not found");
         std::printf("text=%s\ncheck=%ld\nscreen=%s\nenabled=%d\nvisible=%d\n", SentText(item).c_str(),
                     static_cast<long>(SendMessageA(item, BM_GETCHECK, 0, 0)), RectOf(item).c_str(),
                     IsWindowEnabled(item) ? 1 : 0, IsWindowVisible(item) ? 1 : 0);
         if (ClassOf(item) == HOTKEY_CLASSA)
             std::printf("hotkey=0x%04lX\n", static_cast<unsigned long>(SendMessageA(item, HKM_GETHOTKEY, 0, 0)));
         return 0;
     }},
    {"click-item", 2,  // <title> <control id>
     [](HWND w, char** a) {
         return Post(GetDlgItem(w, std::atoi(a[1])), BM_CLICK, 0) ? Ok("clicked", "1") : Fail("not found");
     }},
    {"tooltips", 1, ToolTips},             // <title>
    {"watch-rect", 2, WatchRect},          // <title> <seconds>
    {"gui-resources", 1, GuiResources},    // <title>
    {"menu-cycles", 2, MenuCycles},        // <title> <count>
    {"device-change", 3, DeviceChange},    // <title> arrival|removal <letter>
    {"gui-focus", 1, GuiFocus},            // <title>
    {"accessible", 1, AccessibleObjects},  // <title>
};

}  // namespace

int Main(int argc, char** argv) {
    int rc = 2;
    for (const auto& c : kCommands)
        rc = c.Matches(argc, argv) ? c.run(argv + 2) : rc;
    for (const auto& c : kWindowCommands) {
        HWND hwnd = c.Matches(argc, argv) ? Find(argv[2]) : nullptr;
        rc = !c.Matches(argc, argv) ? rc : hwnd ? c.run(hwnd, argv + 2) : Fail("not found");
    }
    std::fflush(stdout);
    if (rc == 2)
        std::fprintf(stderr, "usage: vosseldrv <command> [args]; the commands and their arguments are in its source\n");
    return rc;
}

// The arguments as UTF-8, whatever the code page: names in any script pass whole.
int main() {
    int argc = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::vector<std::string> args;
    for (int i = 0; i < argc; ++i)
        args.push_back(Utf8(wide[i]));
    LocalFree(wide);
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(&arg[0]);
    argv.push_back(nullptr);
    return Main(argc, argv.data());
}
