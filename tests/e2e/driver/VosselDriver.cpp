// vosseldrv.exe: runs inside Wine next to vossel.exe and reports what a user
// would see (windows, rectangles, styles, appbar space, registry values,
// resources) as key=value lines, or pokes it with window messages and input.
// Exit code 0 on success, 1 on failure or timeout, 2 on bad usage.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const UINT kAppBarNotify = WM_APP + 1;
const int kMenuButton = 1009;

int Fail(const char* what) {
    std::printf("error=%s\n", what);
    return 1;
}
int Ok(const char* key, const std::string& value) {
    std::printf("%s=%s\n", key, value.c_str());
    return 0;
}
void PrintRect(const char* key, const RECT& rc) {
    std::printf("%s=%ld,%ld,%ld,%ld\n", key, rc.left, rc.top, rc.right, rc.bottom);
}
HWND Find(const char* title) { return FindWindowA(nullptr, title); }
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
// WM_GETTEXT across processes, which is how tooltips and controls give theirs.
std::string SentText(HWND hwnd) {
    char text[1024] = "";
    DWORD_PTR copied = 0;
    SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, &copied);
    return text;
}
RECT WindowRect(HWND hwnd) {
    RECT rc = {};
    GetWindowRect(hwnd, &rc);
    return rc;
}
DWORD Style(HWND hwnd, int which = GWL_STYLE) { return static_cast<DWORD>(GetWindowLongA(hwnd, which)); }
DWORD ProcessOf(HWND hwnd) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    return pid;
}
// Calls f(hwnd) for each top-level window in z-order, or each descendant of parent.
template <class F>
void ForEach(F f, HWND parent = nullptr) {
    auto proc = [](HWND hwnd, LPARAM p) -> BOOL {
        (*reinterpret_cast<F*>(p))(hwnd);
        return TRUE;
    };
    if (parent)
        EnumChildWindows(parent, proc, reinterpret_cast<LPARAM>(&f));
    else
        EnumWindows(proc, reinterpret_cast<LPARAM>(&f));
}
// Polls cond every 20 ms for up to the given time.
template <class F>
bool WaitUntil(F cond, double seconds) {
    for (const DWORD start = GetTickCount();; Sleep(20)) {
        if (cond())
            return true;
        if (GetTickCount() - start >= static_cast<DWORD>(seconds * 1000))
            return false;
    }
}
// A window of our own for the appbar commands and hold-active.
HWND MakeWindow(const char* cls, const char* title, DWORD exstyle, DWORD style, int x, int y, int cx, int cy,
                WNDPROC proc, int brush) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(brush + 1));
    wc.lpszClassName = cls;
    RegisterClassA(&wc);
    return CreateWindowExA(exstyle, cls, title, style, x, y, cx, cy, nullptr, nullptr, wc.hInstance, nullptr);
}
void RunMessages() {
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
}
// An appbar on the given edge, asking for the whole screen: sets the strip left.
APPBARDATA NewAppBar(HWND hwnd, UINT edge) {
    APPBARDATA abd = {};
    abd.cbSize = sizeof abd;
    abd.hWnd = hwnd;
    abd.uCallbackMessage = kAppBarNotify;
    SHAppBarMessage(ABM_NEW, &abd);
    abd.uEdge = edge;
    SetRect(&abd.rc, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    SHAppBarMessage(ABM_QUERYPOS, &abd);
    PrintRect("query", abd.rc);
    return abd;
}
HKEY Root(const char* name) {
    return std::strcmp(name, "HKLM") == 0   ? HKEY_LOCAL_MACHINE
           : std::strcmp(name, "HKCU") == 0 ? HKEY_CURRENT_USER
                                            : nullptr;
}
HMODULE LoadData(const char* exe) { return LoadLibraryExA(exe, nullptr, LOAD_LIBRARY_AS_DATAFILE); }
const BYTE* Resource(HMODULE module, int id, int type, DWORD* size = nullptr) {
    HRSRC res = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(type));
    if (res && size)
        *size = SizeofResource(module, res);
    return res ? static_cast<const BYTE*>(LockResource(LoadResource(module, res))) : nullptr;
}

int WaitWindow(char** a, bool present) {
    if (!WaitUntil([&] { return (Find(a[0]) != nullptr) == present; }, std::atof(a[1])))
        return Fail("timeout");
    if (present)
        std::printf("hwnd=%p\n", static_cast<void*>(Find(a[0])));
    else
        std::printf("gone=1\n");
    return 0;
}

int WindowInfo(char** a) {
    HWND hwnd = Find(a[0]);
    if (!hwnd)
        return Fail("not found");
    RECT client;
    GetClientRect(hwnd, &client);
    const DWORD style = Style(hwnd), exstyle = Style(hwnd, GWL_EXSTYLE);
    std::printf("hwnd=%p\nclass=%s\npid=%lu\n", static_cast<void*>(hwnd), ClassOf(hwnd).c_str(), ProcessOf(hwnd));
    PrintRect("rect", WindowRect(hwnd));
    std::printf("client=%ld,%ld\nstyle=0x%08lX\nexstyle=0x%08lX\n", client.right, client.bottom, style, exstyle);
    std::printf("visible=%d\ntopmost=%d\ncaption=%d\n", IsWindowVisible(hwnd) ? 1 : 0,
                (exstyle & WS_EX_TOPMOST) ? 1 : 0, (style & WS_CAPTION) == WS_CAPTION ? 1 : 0);
    return 0;
}

int Children(char** a) {
    HWND parent = Find(a[0]);
    if (!parent)
        return Fail("not found");
    ForEach(
        [&](HWND child) {
            if (GetParent(child) != parent)
                return;  // direct children only
            const RECT screen = WindowRect(child);
            RECT rc = screen;
            MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rc), 2);
            std::printf("child id=%d class=%s style=0x%08lX rect=%ld,%ld,%ld,%ld screen=%ld,%ld,%ld,%ld text=%s\n",
                        GetDlgCtrlID(child), ClassOf(child).c_str(), Style(child), rc.left, rc.top, rc.right, rc.bottom,
                        screen.left, screen.top, screen.right, screen.bottom, TextOf(child).c_str());
        },
        parent);
    return 0;
}

// Top-level windows of one class, in z-order, then their number.
int ClassWindows(char** a) {
    int count = 0;
    ForEach([&](HWND hwnd) {
        if (ClassOf(hwnd) != a[0])
            return;
        ++count;
        const RECT rc = WindowRect(hwnd);
        std::printf("window pid=%lu visible=%d rect=%ld,%ld,%ld,%ld title=%s\n", ProcessOf(hwnd),
                    IsWindowVisible(hwnd) ? 1 : 0, rc.left, rc.top, rc.right, rc.bottom, TextOf(hwnd).c_str());
    });
    std::printf("count=%d\n", count);
    return 0;
}

LRESULT CALLBACK BarProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == kAppBarNotify) {
        std::printf("notify=%u\n", static_cast<unsigned>(wParam));
        std::fflush(stdout);
        return 0;
    }
    if (msg == WM_TIMER || msg == WM_CLOSE) {  // give the strip back before the window goes
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// Takes a strip at the top as a second appbar would, reports where the shell
// put it, holds it for the given time (or until closed) and gives it back.
int AppBarTop(char** a) {
    HWND hwnd = MakeWindow("VosselDriverBar", "Vossel E2E AppBar", WS_EX_TOOLWINDOW | WS_EX_TOPMOST, WS_POPUP, 0, 0, 10,
                           10, BarProc, COLOR_HIGHLIGHT);
    if (!hwnd)
        return Fail("CreateWindow");
    APPBARDATA abd = NewAppBar(hwnd, ABE_TOP);
    abd.rc.bottom = abd.rc.top + std::atoi(a[0]);
    SHAppBarMessage(ABM_SETPOS, &abd);
    PrintRect("rect", abd.rc);
    std::fflush(stdout);
    SetWindowPos(hwnd, HWND_TOPMOST, abd.rc.left, abd.rc.top, abd.rc.right - abd.rc.left, abd.rc.bottom - abd.rc.top,
                 SWP_NOACTIVATE | SWP_SHOWWINDOW);
    SetTimer(hwnd, 1, static_cast<UINT>(std::atof(a[1]) * 1000), nullptr);
    RunMessages();
    SHAppBarMessage(ABM_REMOVE, &abd);
    DestroyWindow(hwnd);
    std::printf("removed=1\n");
    return 0;
}

// What the shell would give a new bar asking for the whole of an edge
// (0 left, 1 top, 2 right, 3 bottom): the strips others reserve are cut off.
int AppBarQuery(char** a) {
    HWND hwnd = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "Vossel E2E Query", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    if (!hwnd)
        return Fail("CreateWindow");
    APPBARDATA abd = NewAppBar(hwnd, static_cast<UINT>(std::atoi(a[0])));
    SHAppBarMessage(ABM_REMOVE, &abd);
    DestroyWindow(hwnd);
    return 0;
}

// A value under HKLM or HKCU with its type, size and contents.
int RegQuery(HKEY root, const char* subkey, const char* value) {
    HKEY key;
    if (!root || RegOpenKeyExA(root, subkey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return Fail("no key");
    DWORD type = 0, size = 0;
    LONG rc = RegQueryValueExA(key, value, nullptr, &type, nullptr, &size);
    std::vector<BYTE> data(size + 1);
    if (rc == ERROR_SUCCESS)
        rc = RegQueryValueExA(key, value, nullptr, &type, data.data(), &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS)
        return Fail("no value");
    std::printf("type=%lu\nsize=%lu\n", type, size);
    if (type == REG_SZ || type == REG_EXPAND_SZ)
        std::printf("string=%s\n", reinterpret_cast<const char*>(data.data()));
    else if (type == REG_DWORD && size == 4)
        std::printf("dword=%lu\n", *reinterpret_cast<const DWORD*>(data.data()));
    std::printf("hex=");
    for (DWORD i = 0; i < size; ++i)
        std::printf("%02x", data[i]);
    std::printf("\n");
    return 0;
}

// Writes a value as the program would find it: type sz, dword or binary (hex);
// an empty value name is the key's default value.
int RegSet(HKEY root, const char* subkey, const char* value, const std::string& type, const char* text) {
    std::vector<BYTE> data;
    DWORD regType = REG_SZ;
    if (type == "sz") {
        data.assign(text, text + std::strlen(text) + 1);
    } else if (type == "dword") {
        regType = REG_DWORD;
        const DWORD v = std::strtoul(text, nullptr, 0);
        data.assign(reinterpret_cast<const BYTE*>(&v), reinterpret_cast<const BYTE*>(&v) + 4);
    } else if (type == "binary") {
        regType = REG_BINARY;
        for (const char* p = text; *p; p += 2) {
            char byte[3] = {p[0], p[1], 0}, *end = nullptr;
            data.push_back(static_cast<BYTE>(std::strtoul(byte, &end, 16)));
            if (!p[1] || *end)
                return Fail("bad hex");
        }
    } else {
        return Fail("bad type");
    }
    HKEY key;
    if (!root || RegCreateKeyExA(root, subkey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return Fail("no key");
    const LONG rc =
        RegSetValueExA(key, *value ? value : nullptr, 0, regType, data.data(), static_cast<DWORD>(data.size()));
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS)
        return Fail("RegSetValueEx");
    std::printf("written=%u\n", static_cast<unsigned>(data.size()));
    return 0;
}

// Reads a DLGTEMPLATEEX the way the dialog manager does.
struct TemplateReader {
    const BYTE* base;
    const BYTE* p;
    WORD Word() {
        WORD w;
        std::memcpy(&w, p, 2);
        p += 2;
        return w;
    }
    DWORD Dword() { return Word() | static_cast<DWORD>(Word()) << 16; }
    short Short() { return static_cast<short>(Word()); }
    std::string SzOrOrd() {
        if (Word() == 0xFFFF)
            return "#" + std::to_string(Word());
        p -= 2;
        std::string s;
        for (WORD c; (c = Word()) != 0;)
            s += static_cast<char>(c < 128 ? c : '?');
        return s;
    }
    void AlignDword() { p += (4 - (p - base) % 4) % 4; }
};

void PrintDialog(HMODULE module, int id) {
    const BYTE* base = Resource(module, id, 5);  // RT_DIALOG
    if (!base) {
        std::printf("dialog.%d=missing\n", id);
        return;
    }
    TemplateReader r = {base, base};
    const WORD version = r.Word(), signature = r.Word();
    std::printf("dialog.ex=%d\n", version == 1 && signature == 0xFFFF ? 1 : 0);
    r.Dword();  // help id
    const DWORD exstyle = r.Dword(), style = r.Dword();
    const WORD items = r.Word();
    const short x = r.Short(), y = r.Short(), cx = r.Short(), cy = r.Short();
    std::printf("dialog.style=0x%08lX\ndialog.exstyle=0x%08lX\ndialog.items=%u\n", style, exstyle, items);
    std::printf("dialog.rect=%d,%d,%d,%d\n", x, y, cx, cy);
    for (const char* field : {"menu", "class", "caption"})
        std::printf("dialog.%s=%s\n", field, r.SzOrOrd().c_str());
    if (style & DS_SETFONT) {
        const WORD points = r.Word(), weight = r.Word();
        const BYTE italic = *r.p++, charset = *r.p++;
        std::printf("dialog.font=%u,%u,%u,%u,%s\n", points, weight, italic, charset, r.SzOrOrd().c_str());
    }
    for (WORD i = 0; i < items; ++i) {
        r.AlignDword();
        r.Dword();  // help id
        const DWORD cexstyle = r.Dword(), cstyle = r.Dword();
        const short ix = r.Short(), iy = r.Short(), icx = r.Short(), icy = r.Short();
        const DWORD cid = r.Dword();
        const std::string cls = r.SzOrOrd(), text = r.SzOrOrd();
        r.p += r.Word();  // creation data
        std::printf("control id=%lu class=%s style=0x%08lX exstyle=0x%08lX rect=%d,%d,%d,%d text=%s\n", cid,
                    cls.c_str(), cstyle, cexstyle, ix, iy, icx, icy, text.c_str());
    }
}

int Resources(char** a) {
    HMODULE module = LoadData(a[0]);
    if (!module)
        return Fail("LoadLibraryEx");
    PrintDialog(module, 103);
    for (int id : {57344, 108, 109}) {
        char text[256] = "";
        LoadStringA(module, id, text, sizeof text);
        std::printf("string.%d=%s\n", id, text);
    }
    for (int id = 130; id <= 134; ++id) {
        BITMAPINFOHEADER bih;
        if (const BYTE* bits = Resource(module, id, 2)) {  // RT_BITMAP
            std::memcpy(&bih, bits, sizeof bih);
            std::printf("bitmap.%d=%ldx%ld,%u\n", id, bih.biWidth, bih.biHeight, bih.biBitCount);
        } else {
            std::printf("bitmap.%d=missing\n", id);
        }
    }
    std::printf("icon.128=%d\n", Resource(module, 128, 14) ? 1 : 0);
    std::printf("manifest.1=%d\n", Resource(module, 1, 24) ? 1 : 0);
    FreeLibrary(module);

    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(a[0], &handle);
    std::vector<BYTE> info(size ? size : 1);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT len = 0;
    if (!size || !GetFileVersionInfoA(a[0], 0, size, info.data()) ||
        !VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &len) || !fixed) {
        std::printf("version.file=missing\n");
        return 0;
    }
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

INT_PTR CALLBACK QuietDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// Creates a hidden dialog from the program's own bar template and reports its
// sizes: the outer height is the thickness a docked bar should have by default.
int TemplateSize(char** a) {
    HMODULE module = LoadData(a[0]);
    if (!module)
        return Fail("LoadLibraryEx");
    DWORD size = 0;
    const BYTE* p = Resource(module, std::atoi(a[1]), 5, &size);  // RT_DIALOG
    std::vector<BYTE> bytes(p, p + (p ? size : 0));
    FreeLibrary(module);
    if (bytes.size() < 16)
        return Fail("no template");
    bytes[15] &= static_cast<BYTE>(~(WS_VISIBLE >> 24));  // DLGTEMPLATEEX::style, highest byte
    HWND dlg = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), reinterpret_cast<LPCDLGTEMPLATEA>(bytes.data()),
                                          nullptr, QuietDialogProc, 0);
    if (!dlg)
        return Fail("CreateDialogIndirectParam");
    const RECT rc = WindowRect(dlg);
    RECT client;
    GetClientRect(dlg, &client);
    std::printf("client=%ld,%ld\nwindow=%ld,%ld\n", client.right, client.bottom, rc.right - rc.left,
                rc.bottom - rc.top);
    std::printf("style=0x%08lX\n", Style(dlg));
    DestroyWindow(dlg);
    return 0;
}

// The program's menu resource as the system loads it: the first pop-up's
// title, then each item's position, command id and text.
int Menu(char** a) {
    HMODULE module = LoadData(a[0]);
    if (!module)
        return Fail("LoadLibraryEx");
    const BYTE* res = Resource(module, std::atoi(a[1]), 4);  // RT_MENU
    HMENU menu = res ? LoadMenuIndirectA(res) : nullptr;
    FreeLibrary(module);
    if (!menu)
        return Fail("no menu");
    char text[256] = "";
    GetMenuStringA(menu, 0, text, sizeof text, MF_BYPOSITION);
    std::printf("popup=%s\n", text);
    HMENU popup = GetSubMenu(menu, 0);
    for (int i = 0; popup && i < GetMenuItemCount(popup); ++i) {
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof text;
        text[0] = 0;
        GetMenuItemInfoA(popup, static_cast<UINT>(i), TRUE, &info);
        if (info.fType & MFT_SEPARATOR)
            std::printf("item %d separator\n", i + 1);
        else
            std::printf("item %d id=%u text=%s\n", i + 1, info.wID, text);
    }
    DestroyMenu(menu);
    return 0;
}

// One control of a window: its text, check state and place on the screen.
int Item(char** a) {
    HWND item = GetDlgItem(Find(a[0]), std::atoi(a[1]));
    if (!item)
        return Fail("not found");
    std::printf("text=%s\n", SentText(item).c_str());
    std::printf("check=%ld\n", static_cast<long>(SendMessageA(item, BM_GETCHECK, 0, 0)));
    PrintRect("screen", WindowRect(item));
    std::printf("enabled=%d\n", IsWindowEnabled(item) ? 1 : 0);
    return 0;
}

int Clipboard(char**) {
    if (!OpenClipboard(nullptr))
        return Fail("not open");
    HANDLE data = GetClipboardData(CF_TEXT);
    const char* text = data ? static_cast<const char*>(GlobalLock(data)) : nullptr;
    if (text) {
        std::printf("text=%s\n", text);
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text ? 0 : Fail("no text");
}

// The bar's tooltips, owned or not: those its thread made. Their text comes
// only with WM_GETTEXT from another process, and stays after the tip hides.
std::vector<HWND> TipsOf(HWND owner) {
    std::vector<HWND> tips;
    const DWORD thread = GetWindowThreadProcessId(owner, nullptr);
    ForEach([&](HWND hwnd) {
        if (lstrcmpiA(ClassOf(hwnd).c_str(), "tooltips_class32") == 0 &&
            (GetWindow(hwnd, GW_OWNER) == owner || GetWindowThreadProcessId(hwnd, nullptr) == thread))
            tips.push_back(hwnd);
    });
    return tips;
}

int ToolTips(char** a) {
    HWND owner = Find(a[0]);
    if (!owner)
        return Fail("not found");
    const std::vector<HWND> tips = TipsOf(owner);
    for (HWND tip : tips)
        std::printf("tip visible=%d style=0x%08lX text=%s\n", IsWindowVisible(tip) ? 1 : 0, Style(tip),
                    SentText(tip).c_str());
    std::printf("count=%u\n", static_cast<unsigned>(tips.size()));
    return 0;
}

LRESULT CALLBACK HoldProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_TIMER)
        PostQuitMessage(0);
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// Shows an ordinary window at x, y and keeps it the active window for the
// given time: another program the user works in.
int HoldActive(char** a) {
    HWND hwnd = MakeWindow("VosselDriverHold", "Vossel E2E Other", 0, WS_POPUP | WS_BORDER, std::atoi(a[0]),
                           std::atoi(a[1]), 200, 100, HoldProc, COLOR_WINDOW);
    if (!hwnd)
        return Fail("CreateWindow");
    ShowWindow(hwnd, SW_SHOW);
    SetForegroundWindow(hwnd);
    SetActiveWindow(hwnd);
    std::printf("active=%d\n", GetActiveWindow() == hwnd ? 1 : 0);
    std::fflush(stdout);
    SetTimer(hwnd, 1, static_cast<UINT>(std::atof(a[2]) * 1000), nullptr);
    RunMessages();
    DestroyWindow(hwnd);
    return 0;
}

// Whether the system shows window contents while dragging, which animates the
// bar's slides. Stored in the user's profile: Wine's programs read it once.
int DragFullWindows(char** a) {
    if (!SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, std::atoi(a[0]) ? TRUE : FALSE, nullptr,
                               SPIF_UPDATEINIFILE | SPIF_SENDCHANGE))
        return Fail("SystemParametersInfo");
    BOOL now = FALSE;
    SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &now, 0);
    std::printf("dragfullwindows=%d\n", now ? 1 : 0);
    return 0;
}

// Reads the window's rectangle as often as it can for the given time and
// counts how often it changed: the frames of a slide, as far as they are seen.
int WatchRect(char** a) {
    HWND hwnd = Find(a[0]);
    if (!hwnd)
        return Fail("not found");
    RECT last = WindowRect(hwnd);
    PrintRect("from", last);
    std::fflush(stdout);
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
    PrintRect("to", last);
    std::printf("changes=%ld\nreads=%ld\n", changes, reads);
    std::printf("span_ms=%lld\n", changes ? (latest.QuadPart - first.QuadPart) * 1000 / frequency.QuadPart : 0LL);
    return 0;
}

// The GDI and USER objects the process of the window holds, as the system
// counts them, and the windows (top-level and child) its threads made.
int GuiResources(char** a) {
    HWND hwnd = Find(a[0]);
    if (!hwnd)
        return Fail("not found");
    const DWORD pid = ProcessOf(hwnd);
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process)
        process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, pid);
    if (!process)
        return Fail("OpenProcess");
    SetLastError(0);
    const DWORD gdi = GetGuiResources(process, GR_GDIOBJECTS), user = GetGuiResources(process, GR_USEROBJECTS);
    std::printf("gdi=%lu\nuser=%lu\nlasterror=%lu\n", gdi, user, GetLastError());
    DWORD handles = 0;
    std::printf("handles=%ld\n", GetProcessHandleCount(process, &handles) ? static_cast<long>(handles) : -1L);
    CloseHandle(process);
    int windows = 0;
    ForEach([&](HWND top) {
        if (ProcessOf(top) == pid) {
            ++windows;
            ForEach([&](HWND) { ++windows; }, top);
        }
    });
    std::printf("windows=%d\n", windows);
    return 0;
}

// A mouse move from the system's input queue, as the pointer makes one.
void MouseTo(LONG x, LONG y) {
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dx = (x * 65535 + GetSystemMetrics(SM_CXSCREEN) / 2) / (GetSystemMetrics(SM_CXSCREEN) - 1);
    in.mi.dy = (y * 65535 + GetSystemMetrics(SM_CYSCREEN) / 2) / (GetSystemMetrics(SM_CYSCREEN) - 1);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &in, sizeof in);
}
POINT CentreOf(HWND hwnd) {
    const RECT rc = WindowRect(hwnd);
    return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}
bool MenuShown() {
    bool shown = false;
    ForEach([&](HWND hwnd) { shown = shown || (ClassOf(hwnd) == "#32768" && IsWindowVisible(hwnd)); });
    return shown;
}

// Clicks the bar's menu button n times, closing the menu each time with
// WM_CANCELMODE (keys do not reach the menu of a program in the background).
// BM_CLICK: under Wine every other click sent as input opened no menu.
int MenuCycles(char** a) {
    HWND bar = Find(a[0]);
    HWND button = bar ? GetDlgItem(bar, kMenuButton) : nullptr;
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

// Moves the mouse n times between the centres of two of the bar's controls and
// counts the moves after which a visible tip showed a text other than before.
int HoverCycles(char** a) {
    HWND bar = Find(a[0]);
    HWND items[2] = {bar ? GetDlgItem(bar, std::atoi(a[1])) : nullptr,
                     bar ? GetDlgItem(bar, std::atoi(a[2])) : nullptr};
    if (!items[0] || !items[1])
        return Fail("not found");
    std::string last;
    int shown = 0;
    const int n = std::atoi(a[3]);
    for (int i = 0; i < n; ++i) {
        const POINT at = CentreOf(items[i % 2]);
        MouseTo(at.x, at.y);
        shown += WaitUntil(
                     [&] {
                         for (HWND tip : TipsOf(bar)) {
                             const std::string text = SentText(tip);
                             if (IsWindowVisible(tip) && !text.empty() && text != last) {
                                 last = text;
                                 return true;
                             }
                         }
                         return false;
                     },
                     2)
                     ? 1
                     : 0;
    }
    std::printf("hovers=%d\ntips=%d\n", n, shown);
    return 0;
}

struct Command {
    const char* name;
    int args;
    int (*run)(char**);
    const char* usage;
};

const Command kCommands[] = {
    {"wait-window", 2, [](char** a) { return WaitWindow(a, true); }, "<title> <seconds>"},
    {"wait-gone", 2, [](char** a) { return WaitWindow(a, false); }, "<title> <seconds>"},
    {"window-info", 1, WindowInfo, "<title>"},
    {"count-windows", 1,
     [](char** a) {
         int count = 0;
         ForEach([&](HWND hwnd) { count += TextOf(hwnd) == a[0] ? 1 : 0; });
         std::printf("count=%d\n", count);
         return 0;
     },
     "<title>"},
    {"children", 1, Children, "<title>"},
    {"class-windows", 1, ClassWindows, "<class>"},
    {"syscommand-close", 1,
     [](char** a) {
         HWND hwnd = Find(a[0]);
         return hwnd && PostMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0) ? Ok("posted", "1") : Fail("not found");
     },
     "<title>"},
    {"screen", 0,
     [](char**) {
         std::printf("cx=%d\ncy=%d\n", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
         return 0;
     },
     ""},
    {"appbar-top", 2, AppBarTop, "<thickness> <seconds>"},
    {"appbar-query", 1, AppBarQuery, "<edge 0-3>"},
    {"reg-query", 2, [](char** a) { return RegQuery(HKEY_CURRENT_USER, a[0], a[1]); }, "<HKCU subkey> <value>"},
    {"reg-query-in", 3, [](char** a) { return RegQuery(Root(a[0]), a[1], a[2]); }, "HKLM|HKCU <subkey> <value>"},
    {"reg-set", 4, [](char** a) { return RegSet(HKEY_CURRENT_USER, a[0], a[1], a[2], a[3]); },
     "<HKCU subkey> <value> sz|dword|binary <data>"},
    {"reg-set-in", 4, [](char** a) { return RegSet(Root(a[0]), a[1], a[2], "sz", a[3]); },
     "HKLM|HKCU <subkey> <value> <string>"},
    {"resources", 1, Resources, "<exe>"},
    {"template-size", 2, TemplateSize, "<exe> <dialog id>"},
    {"menu", 2, Menu, "<exe> <menu id>"},
    {"item", 2, Item, "<title> <control id>"},
    {"item-text", 2,
     [](char** a) {
         HWND item = GetDlgItem(Find(a[0]), std::atoi(a[1]));
         return item ? Ok("text", SentText(item)) : Fail("not found");
     },
     "<title> <control id>"},
    {"click-item", 2,
     [](char** a) {
         HWND item = GetDlgItem(Find(a[0]), std::atoi(a[1]));
         return item && PostMessageA(item, BM_CLICK, 0, 0) ? Ok("clicked", "1") : Fail("not found");
     },
     "<title> <control id>"},
    {"clipboard", 0, Clipboard, ""},
    {"long-path", 1,  // the long form of a path, to compare with what the program stored
     [](char** a) {
         char full[MAX_PATH] = "";
         return GetLongPathNameA(a[0], full, MAX_PATH) ? Ok("path", full) : Fail("no path");
     },
     "<path>"},
    {"tooltips", 1, ToolTips, "<title>"},
    {"hold-active", 3, HoldActive, "<x> <y> <seconds>"},
    {"drag-full-windows", 1, DragFullWindows, "0|1"},
    {"watch-rect", 2, WatchRect, "<title> <seconds>"},
    {"gui-resources", 1, GuiResources, "<title>"},
    {"menu-cycles", 2, MenuCycles, "<title> <count>"},
    {"hover-cycles", 4, HoverCycles, "<title> <control id> <control id> <count>"},
};

}  // namespace

int main(int argc, char** argv) {
    for (const Command& c : kCommands) {
        if (argc == c.args + 2 && std::strcmp(argv[1], c.name) == 0) {
            const int rc = c.run(argv + 2);
            std::fflush(stdout);
            return rc;
        }
    }
    std::fprintf(stderr, "usage: vosseldrv <command> [args]\n");
    for (const Command& c : kCommands)
        std::fprintf(stderr, "  %s %s\n", c.name, c.usage);
    return 2;
}
