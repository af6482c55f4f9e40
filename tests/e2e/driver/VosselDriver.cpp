// vosseldrv.exe: runs inside Wine next to vossel.exe and reports what a user
// would see (windows, rectangles, styles, appbar space, registry values,
// resources) as key=value lines, or pokes it with window messages.
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

const char kBarClass[] = "VosselDriverBar";
const char kBarTitle[] = "Vossel E2E AppBar";
const UINT kAppBarNotify = WM_APP + 1;

void PrintRect(const char* key, const RECT& rc) {
    std::printf("%s=%ld,%ld,%ld,%ld\n", key, rc.left, rc.top, rc.right, rc.bottom);
}

int Fail(const char* what) {
    std::printf("error=%s\n", what);
    return 1;
}

HWND FindExact(const char* title) { return FindWindowA(nullptr, title); }

bool WaitFor(const char* title, double seconds, bool present) {
    const DWORD start = GetTickCount();
    for (;;) {
        if ((FindExact(title) != nullptr) == present)
            return true;
        if (GetTickCount() - start >= static_cast<DWORD>(seconds * 1000))
            return false;
        Sleep(100);
    }
}

int CmdWaitWindow(const char* title, double seconds) {
    if (!WaitFor(title, seconds, true))
        return Fail("timeout");
    std::printf("hwnd=%p\n", static_cast<void*>(FindExact(title)));
    return 0;
}

int CmdWaitGone(const char* title, double seconds) {
    if (!WaitFor(title, seconds, false))
        return Fail("timeout");
    std::printf("gone=1\n");
    return 0;
}

int CmdWindowInfo(const char* title) {
    HWND hwnd = FindExact(title);
    if (!hwnd)
        return Fail("not found");
    RECT rc, client;
    GetWindowRect(hwnd, &rc);
    GetClientRect(hwnd, &client);
    const DWORD style = static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE));
    const DWORD exstyle = static_cast<DWORD>(GetWindowLongA(hwnd, GWL_EXSTYLE));
    char cls[256] = "";
    GetClassNameA(hwnd, cls, sizeof cls);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    std::printf("hwnd=%p\n", static_cast<void*>(hwnd));
    std::printf("class=%s\n", cls);
    std::printf("pid=%lu\n", pid);
    PrintRect("rect", rc);
    std::printf("client=%ld,%ld\n", client.right, client.bottom);
    std::printf("style=0x%08lX\n", style);
    std::printf("exstyle=0x%08lX\n", exstyle);
    std::printf("visible=%d\n", IsWindowVisible(hwnd) ? 1 : 0);
    std::printf("topmost=%d\n", (exstyle & WS_EX_TOPMOST) ? 1 : 0);
    std::printf("caption=%d\n", (style & WS_CAPTION) == WS_CAPTION ? 1 : 0);
    return 0;
}

struct CountState {
    const char* title;
    int count;
};

BOOL CALLBACK CountProc(HWND hwnd, LPARAM lParam) {
    CountState* state = reinterpret_cast<CountState*>(lParam);
    char text[512] = "";
    GetWindowTextA(hwnd, text, sizeof text);
    if (std::strcmp(text, state->title) == 0)
        ++state->count;
    return TRUE;
}

int CmdCountWindows(const char* title) {
    CountState state = {title, 0};
    EnumWindows(CountProc, reinterpret_cast<LPARAM>(&state));
    std::printf("count=%d\n", state.count);
    return 0;
}

BOOL CALLBACK ChildProc(HWND child, LPARAM lParam) {
    HWND parent = reinterpret_cast<HWND>(lParam);
    if (GetParent(child) != parent)
        return TRUE;  // direct children only
    char cls[256] = "", text[512] = "";
    GetClassNameA(child, cls, sizeof cls);
    GetWindowTextA(child, text, sizeof text);
    RECT screen, rc;
    GetWindowRect(child, &screen);
    rc = screen;
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rc), 2);
    std::printf("child id=%d class=%s style=0x%08lX rect=%ld,%ld,%ld,%ld screen=%ld,%ld,%ld,%ld text=%s\n",
                GetDlgCtrlID(child), cls, static_cast<DWORD>(GetWindowLongA(child, GWL_STYLE)), rc.left, rc.top,
                rc.right, rc.bottom, screen.left, screen.top, screen.right, screen.bottom, text);
    return TRUE;
}

int CmdChildren(const char* title) {
    HWND hwnd = FindExact(title);
    if (!hwnd)
        return Fail("not found");
    EnumChildWindows(hwnd, ChildProc, reinterpret_cast<LPARAM>(hwnd));
    return 0;
}

struct ClassState {
    const char* cls;
    int count;
};

BOOL CALLBACK ClassProc(HWND hwnd, LPARAM lParam) {
    ClassState* state = reinterpret_cast<ClassState*>(lParam);
    char cls[256] = "", text[512] = "";
    GetClassNameA(hwnd, cls, sizeof cls);
    if (std::strcmp(cls, state->cls) != 0)
        return TRUE;
    ++state->count;
    GetWindowTextA(hwnd, text, sizeof text);
    RECT rc;
    GetWindowRect(hwnd, &rc);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    std::printf("window pid=%lu visible=%d rect=%ld,%ld,%ld,%ld title=%s\n", pid, IsWindowVisible(hwnd) ? 1 : 0,
                rc.left, rc.top, rc.right, rc.bottom, text);
    return TRUE;
}

// Top-level windows of one class, in z-order, then their number.
int CmdClassWindows(const char* cls) {
    ClassState state = {cls, 0};
    EnumWindows(ClassProc, reinterpret_cast<LPARAM>(&state));
    std::printf("count=%d\n", state.count);
    return 0;
}

int CmdSysCommandClose(const char* title) {
    HWND hwnd = FindExact(title);
    if (!hwnd)
        return Fail("not found");
    if (!PostMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0))
        return Fail("PostMessage");
    std::printf("posted=1\n");
    return 0;
}

int CmdScreen() {
    std::printf("cx=%d\ncy=%d\n", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    return 0;
}

LRESULT CALLBACK BarProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == kAppBarNotify) {
        std::printf("notify=%u\n", static_cast<unsigned>(wParam));
        std::fflush(stdout);
        return 0;
    }
    if (msg == WM_CLOSE) {  // give the strip back before the window goes
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// Takes a strip at the top as a second appbar would, reports where the shell
// put it, holds it for the given time (or until closed) and gives it back.
int CmdAppBarTop(int thickness, double seconds) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = BarProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_HIGHLIGHT + 1);
    wc.lpszClassName = kBarClass;
    if (!RegisterClassA(&wc))
        return Fail("RegisterClass");
    HWND hwnd = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kBarClass, kBarTitle, WS_POPUP, 0, 0, 10, 10, nullptr,
                                nullptr, wc.hInstance, nullptr);
    if (!hwnd)
        return Fail("CreateWindow");

    APPBARDATA abd = {};
    abd.cbSize = sizeof abd;
    abd.hWnd = hwnd;
    abd.uCallbackMessage = kAppBarNotify;
    if (!SHAppBarMessage(ABM_NEW, &abd)) {
        DestroyWindow(hwnd);
        return Fail("ABM_NEW");
    }
    abd.uEdge = ABE_TOP;
    SetRect(&abd.rc, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    SHAppBarMessage(ABM_QUERYPOS, &abd);
    PrintRect("query", abd.rc);
    abd.rc.bottom = abd.rc.top + thickness;
    SHAppBarMessage(ABM_SETPOS, &abd);
    PrintRect("rect", abd.rc);
    std::fflush(stdout);
    SetWindowPos(hwnd, HWND_TOPMOST, abd.rc.left, abd.rc.top, abd.rc.right - abd.rc.left, abd.rc.bottom - abd.rc.top,
                 SWP_NOACTIVATE | SWP_SHOWWINDOW);

    const UINT_PTR timer = SetTimer(hwnd, 1, static_cast<UINT>(seconds * 1000), nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER && msg.hwnd == hwnd)
            break;
        DispatchMessageA(&msg);
    }
    KillTimer(hwnd, timer);
    SHAppBarMessage(ABM_REMOVE, &abd);
    if (IsWindow(hwnd))
        DestroyWindow(hwnd);
    std::printf("removed=1\n");
    return 0;
}

int CmdRegQuery(const char* subkey, const char* value) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, subkey, 0, KEY_READ, &key) != ERROR_SUCCESS)
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
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        data[size] = 0;
        std::printf("string=%s\n", reinterpret_cast<const char*>(data.data()));
    } else if (type == REG_DWORD && size == 4) {
        DWORD v;
        std::memcpy(&v, data.data(), 4);
        std::printf("dword=%lu\n", v);
    }
    std::printf("hex=");
    for (DWORD i = 0; i < size; ++i)
        std::printf("%02x", data[i]);
    std::printf("\n");
    return 0;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Writes a value as the program would find it: type sz, dword or binary (hex).
int CmdRegSet(const char* subkey, const char* value, const std::string& type, const char* text) {
    std::vector<BYTE> data;
    DWORD regType;
    if (type == "sz") {
        regType = REG_SZ;
        data.assign(text, text + std::strlen(text) + 1);
    } else if (type == "dword") {
        regType = REG_DWORD;
        const DWORD v = std::strtoul(text, nullptr, 0);
        data.resize(4);
        std::memcpy(data.data(), &v, 4);
    } else if (type == "binary") {
        regType = REG_BINARY;
        const size_t length = std::strlen(text);
        for (size_t i = 0; i + 1 < length; i += 2) {
            const int high = HexDigit(text[i]), low = HexDigit(text[i + 1]);
            if (high < 0 || low < 0)
                return Fail("bad hex");
            data.push_back(static_cast<BYTE>(high * 16 + low));
        }
        if (length % 2 != 0)
            return Fail("bad hex");
    } else {
        return Fail("bad type");
    }
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, subkey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return Fail("no key");
    const LONG rc = RegSetValueExA(key, value, 0, regType, data.data(), static_cast<DWORD>(data.size()));
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS)
        return Fail("RegSetValueEx");
    std::printf("written=%u\n", static_cast<unsigned>(data.size()));
    return 0;
}

// Reads a DLGTEMPLATEEX the way the dialog manager does.
struct TemplateReader {
    const BYTE* p;
    WORD Word() {
        WORD w;
        std::memcpy(&w, p, 2);
        p += 2;
        return w;
    }
    DWORD Dword() {
        DWORD d;
        std::memcpy(&d, p, 4);
        p += 4;
        return d;
    }
    std::string SzOrOrd() {
        if (Word() == 0xFFFF)
            return "#" + std::to_string(Word());
        p -= 2;
        std::string s;
        for (WORD c; (c = Word()) != 0;)
            s += static_cast<char>(c < 128 ? c : '?');
        return s;
    }
    void AlignDword(const BYTE* base) { p += (4 - (p - base) % 4) % 4; }
};

void PrintDialog(HMODULE module, int id) {
    HRSRC res = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));  // RT_DIALOG
    if (!res) {
        std::printf("dialog.%d=missing\n", id);
        return;
    }
    const BYTE* base = static_cast<const BYTE*>(LockResource(LoadResource(module, res)));
    TemplateReader r = {base};
    const WORD version = r.Word(), signature = r.Word();
    std::printf("dialog.ex=%d\n", version == 1 && signature == 0xFFFF ? 1 : 0);
    r.Dword();  // help id
    const DWORD exstyle = r.Dword(), style = r.Dword();
    const WORD items = r.Word();
    const short x = static_cast<short>(r.Word()), y = static_cast<short>(r.Word());
    const short cx = static_cast<short>(r.Word()), cy = static_cast<short>(r.Word());
    std::printf("dialog.style=0x%08lX\ndialog.exstyle=0x%08lX\ndialog.items=%u\n", style, exstyle, items);
    std::printf("dialog.rect=%d,%d,%d,%d\n", x, y, cx, cy);
    std::printf("dialog.menu=%s\n", r.SzOrOrd().c_str());
    std::printf("dialog.class=%s\n", r.SzOrOrd().c_str());
    std::printf("dialog.caption=%s\n", r.SzOrOrd().c_str());
    if (style & DS_SETFONT) {
        const WORD points = r.Word(), weight = r.Word();
        const BYTE italic = *r.p++, charset = *r.p++;
        std::printf("dialog.font=%u,%u,%u,%u,%s\n", points, weight, italic, charset, r.SzOrOrd().c_str());
    }
    for (WORD i = 0; i < items; ++i) {
        r.AlignDword(base);
        r.Dword();  // help id
        const DWORD cexstyle = r.Dword(), cstyle = r.Dword();
        const short ix = static_cast<short>(r.Word()), iy = static_cast<short>(r.Word());
        const short icx = static_cast<short>(r.Word()), icy = static_cast<short>(r.Word());
        const DWORD cid = r.Dword();
        const std::string cls = r.SzOrOrd(), text = r.SzOrOrd();
        r.p += r.Word();  // creation data
        std::printf("control id=%lu class=%s style=0x%08lX exstyle=0x%08lX rect=%d,%d,%d,%d text=%s\n", cid,
                    cls.c_str(), cstyle, cexstyle, ix, iy, icx, icy, text.c_str());
    }
}

void PrintVersionValue(const std::vector<BYTE>& info, const char* name) {
    std::string path = std::string("\\StringFileInfo\\040904b0\\") + name;
    char* value = nullptr;
    UINT len = 0;
    if (VerQueryValueA(info.data(), path.c_str(), reinterpret_cast<void**>(&value), &len) && value)
        std::printf("version.%s=%s\n", name, value);
    else
        std::printf("version.%s=missing\n", name);
}

int CmdResources(const char* exe) {
    HMODULE module = LoadLibraryExA(exe, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module)
        return Fail("LoadLibraryEx");
    PrintDialog(module, 103);
    for (int id : {57344, 108, 109}) {
        char text[256] = "";
        LoadStringA(module, id, text, sizeof text);
        std::printf("string.%d=%s\n", id, text);
    }
    for (int id = 130; id <= 134; ++id) {
        HRSRC res = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(2));  // RT_BITMAP
        if (!res) {
            std::printf("bitmap.%d=missing\n", id);
            continue;
        }
        BITMAPINFOHEADER bih;
        std::memcpy(&bih, LockResource(LoadResource(module, res)), sizeof bih);
        std::printf("bitmap.%d=%ldx%ld,%u\n", id, bih.biWidth, bih.biHeight, bih.biBitCount);
    }
    std::printf("icon.128=%d\n", FindResourceA(module, MAKEINTRESOURCEA(128), MAKEINTRESOURCEA(14)) ? 1 : 0);
    std::printf("manifest.1=%d\n", FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24)) ? 1 : 0);
    FreeLibrary(module);

    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(exe, &handle);
    std::vector<BYTE> info(size ? size : 1);
    if (size && GetFileVersionInfoA(exe, 0, size, info.data())) {
        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT len = 0;
        if (VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &len) && fixed)
            std::printf("version.file=%lu,%lu,%lu,%lu\n", fixed->dwFileVersionMS >> 16, fixed->dwFileVersionMS & 0xFFFF,
                        fixed->dwFileVersionLS >> 16, fixed->dwFileVersionLS & 0xFFFF);
        for (const char* name : {"CompanyName", "FileDescription", "FileVersion", "ProductName", "ProductVersion",
                                 "InternalName", "OriginalFilename"})
            PrintVersionValue(info, name);
    } else {
        std::printf("version.file=missing\n");
    }
    return 0;
}

INT_PTR CALLBACK QuietDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// Creates a hidden dialog from the program's own bar template and reports its
// sizes: the outer height is the thickness a docked bar should have by default.
int CmdTemplateSize(const char* exe, int id) {
    HMODULE module = LoadLibraryExA(exe, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module)
        return Fail("LoadLibraryEx");
    HRSRC res = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));  // RT_DIALOG
    std::vector<BYTE> bytes;
    if (res) {
        const BYTE* p = static_cast<const BYTE*>(LockResource(LoadResource(module, res)));
        bytes.assign(p, p + SizeofResource(module, res));
    }
    FreeLibrary(module);
    if (bytes.size() < 16)
        return Fail("no template");
    DWORD style;
    std::memcpy(&style, bytes.data() + 12, 4);  // DLGTEMPLATEEX::style
    style &= ~WS_VISIBLE;
    std::memcpy(bytes.data() + 12, &style, 4);
    HWND dlg = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), reinterpret_cast<LPCDLGTEMPLATEA>(bytes.data()),
                                          nullptr, QuietDialogProc, 0);
    if (!dlg)
        return Fail("CreateDialogIndirectParam");
    RECT rc, client;
    GetWindowRect(dlg, &rc);
    GetClientRect(dlg, &client);
    std::printf("client=%ld,%ld\nwindow=%ld,%ld\n", client.right, client.bottom, rc.right - rc.left,
                rc.bottom - rc.top);
    std::printf("style=0x%08lX\n", static_cast<DWORD>(GetWindowLongA(dlg, GWL_STYLE)));
    DestroyWindow(dlg);
    return 0;
}

// One control of a window: its text, check state and place on the screen.
int CmdItem(const char* title, int id) {
    HWND hwnd = FindExact(title);
    HWND item = hwnd ? GetDlgItem(hwnd, id) : nullptr;
    if (!item)
        return Fail("not found");
    char text[1024] = "";
    SendMessageA(item, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    RECT rc;
    GetWindowRect(item, &rc);
    std::printf("text=%s\n", text);
    std::printf("check=%ld\n", static_cast<long>(SendMessageA(item, BM_GETCHECK, 0, 0)));
    PrintRect("screen", rc);
    std::printf("enabled=%d\n", IsWindowEnabled(item) ? 1 : 0);
    return 0;
}

HKEY RootKey(const char* name) {
    if (std::strcmp(name, "HKLM") == 0)
        return HKEY_LOCAL_MACHINE;
    if (std::strcmp(name, "HKCU") == 0)
        return HKEY_CURRENT_USER;
    return nullptr;
}

// A string value under HKLM or HKCU; an empty value name is the key's default value.
int CmdRegSetIn(const char* root, const char* subkey, const char* value, const char* text) {
    HKEY key;
    if (!RootKey(root) ||
        RegCreateKeyExA(RootKey(root), subkey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return Fail("no key");
    const LONG rc = RegSetValueExA(key, *value ? value : nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                                   static_cast<DWORD>(std::strlen(text) + 1));
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS)
        return Fail("not written");
    std::printf("written=1\n");
    return 0;
}

int CmdRegQueryIn(const char* root, const char* subkey, const char* value) {
    HKEY key;
    if (!RootKey(root) || RegOpenKeyExA(RootKey(root), subkey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return Fail("no key");
    char data[1024] = "";
    DWORD size = sizeof data - 1, type = 0;
    const LONG rc = RegQueryValueExA(key, value, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS)
        return Fail("no value");
    std::printf("type=%lu\nstring=%s\n", type, data);
    return 0;
}

int CmdClipboard() {
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

// The long form of a path, to compare with what the program stored.
int CmdLongPath(const char* path) {
    char full[MAX_PATH] = "";
    if (!GetLongPathNameA(path, full, MAX_PATH))
        return Fail("no path");
    std::printf("path=%s\n", full);
    return 0;
}

// Tooltips of the window titled `title`, owned or not: those its thread
// made. Their text comes only with WM_GETTEXT from another process, and
// stays after the tip hides.
struct TipState {
    HWND owner;
    DWORD thread;
    int count;
};

BOOL CALLBACK TipProc(HWND hwnd, LPARAM lParam) {
    TipState* state = reinterpret_cast<TipState*>(lParam);
    char cls[64] = "";
    GetClassNameA(hwnd, cls, sizeof cls);
    if (lstrcmpiA(cls, "tooltips_class32") != 0 ||
        (GetWindow(hwnd, GW_OWNER) != state->owner && GetWindowThreadProcessId(hwnd, nullptr) != state->thread))
        return TRUE;
    char text[1024] = "";
    DWORD_PTR copied = 0;
    SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, &copied);
    std::printf("tip visible=%d style=0x%08lX text=%s\n", IsWindowVisible(hwnd) ? 1 : 0,
                static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE)), text);
    ++state->count;
    return TRUE;
}

int CmdToolTips(const char* title) {
    TipState state = {FindExact(title), 0, 0};
    if (!state.owner)
        return Fail("not found");
    state.thread = GetWindowThreadProcessId(state.owner, nullptr);
    EnumWindows(TipProc, reinterpret_cast<LPARAM>(&state));
    std::printf("count=%d\n", state.count);
    return 0;
}

int CmdItemText(const char* title, int id) {
    HWND item = GetDlgItem(FindExact(title), id);
    if (!item)
        return Fail("not found");
    char text[1024] = "";
    DWORD_PTR copied = 0;
    SendMessageTimeoutA(item, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, &copied);
    std::printf("text=%s\n", text);
    return 0;
}

int CmdClickItem(const char* title, int id) {
    HWND item = GetDlgItem(FindExact(title), id);
    if (!item)
        return Fail("not found");
    PostMessageA(item, BM_CLICK, 0, 0);
    std::printf("clicked=1\n");
    return 0;
}

// The program's menu resource as the system loads it: the first pop-up's
// title, then each item's position, command id and text.
int CmdMenu(const char* exe, int id) {
    HMODULE module = LoadLibraryExA(exe, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module)
        return Fail("LoadLibraryEx");
    HRSRC res = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(4));  // RT_MENU
    HMENU menu = res ? LoadMenuIndirectA(LockResource(LoadResource(module, res))) : nullptr;
    FreeLibrary(module);
    if (!menu)
        return Fail("no menu");
    char text[256] = "";
    GetMenuStringA(menu, 0, text, sizeof text, MF_BYPOSITION);
    std::printf("popup=%s\n", text);
    HMENU popup = GetSubMenu(menu, 0);
    const int count = popup ? GetMenuItemCount(popup) : 0;
    for (int i = 0; i < count; ++i) {
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

// What the shell would give a new bar asking for the whole of an edge
// (0 left, 1 top, 2 right, 3 bottom): the strips others reserve are cut off.
int CmdAppBarQuery(UINT edge) {
    HWND hwnd = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "Vossel E2E Query", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    if (!hwnd)
        return Fail("CreateWindow");
    APPBARDATA abd = {};
    abd.cbSize = sizeof abd;
    abd.hWnd = hwnd;
    abd.uCallbackMessage = kAppBarNotify;
    SHAppBarMessage(ABM_NEW, &abd);
    abd.uEdge = edge;
    SetRect(&abd.rc, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    SHAppBarMessage(ABM_QUERYPOS, &abd);
    PrintRect("query", abd.rc);
    SHAppBarMessage(ABM_REMOVE, &abd);
    DestroyWindow(hwnd);
    return 0;
}

LRESULT CALLBACK HoldProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_TIMER)
        PostQuitMessage(0);
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// Shows an ordinary window at x, y and keeps it the active window for the
// given time: another program the user works in.
int CmdHoldActive(int x, int y, double seconds) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = HoldProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = "VosselDriverHold";
    if (!RegisterClassA(&wc))
        return Fail("RegisterClass");
    HWND hwnd = CreateWindowExA(0, wc.lpszClassName, "Vossel E2E Other", WS_POPUP | WS_BORDER, x, y, 200, 100, nullptr,
                                nullptr, wc.hInstance, nullptr);
    if (!hwnd)
        return Fail("CreateWindow");
    ShowWindow(hwnd, SW_SHOW);
    SetForegroundWindow(hwnd);
    SetActiveWindow(hwnd);
    std::printf("active=%d\n", GetActiveWindow() == hwnd ? 1 : 0);
    std::fflush(stdout);
    SetTimer(hwnd, 1, static_cast<UINT>(seconds * 1000), nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
    DestroyWindow(hwnd);
    return 0;
}

// Whether the system shows window contents while dragging, which animates the
// bar's slides. Stored in the user's profile: Wine's programs read it once.
int CmdDragFullWindows(int on) {
    if (!SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, on ? TRUE : FALSE, nullptr,
                               SPIF_UPDATEINIFILE | SPIF_SENDCHANGE))
        return Fail("SystemParametersInfo");
    BOOL now = FALSE;
    SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &now, 0);
    std::printf("dragfullwindows=%d\n", now ? 1 : 0);
    return 0;
}

// Reads the window's rectangle as often as it can for the given time and
// counts how often it changed: the frames of a slide, as far as they are seen.
int CmdWatchRect(const char* title, double seconds) {
    HWND hwnd = FindExact(title);
    if (!hwnd)
        return Fail("not found");
    RECT last;
    GetWindowRect(hwnd, &last);
    PrintRect("from", last);
    std::fflush(stdout);
    LARGE_INTEGER frequency, start, now, first = {}, latest = {};
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    long changes = 0, reads = 0;
    do {
        RECT rc;
        GetWindowRect(hwnd, &rc);
        ++reads;
        QueryPerformanceCounter(&now);
        if (!EqualRect(&rc, &last)) {
            if (changes++ == 0)
                first = now;
            latest = now;
            last = rc;
        }
    } while (now.QuadPart - start.QuadPart < static_cast<LONGLONG>(seconds * frequency.QuadPart));
    PrintRect("to", last);
    std::printf("changes=%ld\nreads=%ld\n", changes, reads);
    std::printf("span_ms=%lld\n", changes ? (latest.QuadPart - first.QuadPart) * 1000 / frequency.QuadPart : 0LL);
    return 0;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: vosseldrv <command> [args]\n"
                 "  wait-window <title> <seconds>    wait-gone <title> <seconds>\n"
                 "  window-info <title>              count-windows <title>\n"
                 "  children <title>                 syscommand-close <title>\n"
                 "  class-windows <class>            reg-set <HKCU subkey> <value> sz|dword|binary <data>\n"
                 "  appbar-top <thickness> <seconds> screen\n"
                 "  reg-query <HKCU subkey> <value>  resources <exe>\n"
                 "  template-size <exe> <dialog id>\n"
                 "  item <title> <control id>\n"
                 "  reg-set-in HKLM|HKCU <subkey> <value> <string>\n"
                 "  reg-query-in HKLM|HKCU <subkey> <value>\n"
                 "  clipboard                        long-path <path>\n"
                 "  tooltips <title>                 item-text <title> <id>    click-item <title> <id>\n"
                 "  menu <exe> <menu id>\n"
                 "  appbar-query <edge>              hold-active <x> <y> <seconds>\n"
                 "  drag-full-windows <0|1>          watch-rect <title> <seconds>\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return Usage();
    const std::string cmd = argv[1];
    const int n = argc - 2;
    char** a = argv + 2;
    int rc = 2;
    if (cmd == "wait-window" && n == 2)
        rc = CmdWaitWindow(a[0], std::atof(a[1]));
    else if (cmd == "wait-gone" && n == 2)
        rc = CmdWaitGone(a[0], std::atof(a[1]));
    else if (cmd == "window-info" && n == 1)
        rc = CmdWindowInfo(a[0]);
    else if (cmd == "count-windows" && n == 1)
        rc = CmdCountWindows(a[0]);
    else if (cmd == "children" && n == 1)
        rc = CmdChildren(a[0]);
    else if (cmd == "class-windows" && n == 1)
        rc = CmdClassWindows(a[0]);
    else if (cmd == "reg-set" && n == 4)
        rc = CmdRegSet(a[0], a[1], a[2], a[3]);
    else if (cmd == "syscommand-close" && n == 1)
        rc = CmdSysCommandClose(a[0]);
    else if (cmd == "appbar-top" && n == 2)
        rc = CmdAppBarTop(std::atoi(a[0]), std::atof(a[1]));
    else if (cmd == "screen" && n == 0)
        rc = CmdScreen();
    else if (cmd == "reg-query" && n == 2)
        rc = CmdRegQuery(a[0], a[1]);
    else if (cmd == "resources" && n == 1)
        rc = CmdResources(a[0]);
    else if (cmd == "template-size" && n == 2)
        rc = CmdTemplateSize(a[0], std::atoi(a[1]));
    else if (cmd == "item" && n == 2)
        rc = CmdItem(a[0], std::atoi(a[1]));
    else if (cmd == "reg-set-in" && n == 4)
        rc = CmdRegSetIn(a[0], a[1], a[2], a[3]);
    else if (cmd == "reg-query-in" && n == 3)
        rc = CmdRegQueryIn(a[0], a[1], a[2]);
    else if (cmd == "clipboard" && n == 0)
        rc = CmdClipboard();
    else if (cmd == "long-path" && n == 1)
        rc = CmdLongPath(a[0]);
    else if (cmd == "tooltips" && n == 1)
        rc = CmdToolTips(a[0]);
    else if (cmd == "item-text" && n == 2)
        rc = CmdItemText(a[0], std::atoi(a[1]));
    else if (cmd == "click-item" && n == 2)
        rc = CmdClickItem(a[0], std::atoi(a[1]));
    else if (cmd == "menu" && n == 2)
        rc = CmdMenu(a[0], std::atoi(a[1]));
    else if (cmd == "appbar-query" && n == 1)
        rc = CmdAppBarQuery(static_cast<UINT>(std::atoi(a[0])));
    else if (cmd == "hold-active" && n == 3)
        rc = CmdHoldActive(std::atoi(a[0]), std::atoi(a[1]), std::atof(a[2]));
    else if (cmd == "drag-full-windows" && n == 1)
        rc = CmdDragFullWindows(std::atoi(a[0]));
    else if (cmd == "watch-rect" && n == 2)
        rc = CmdWatchRect(a[0], std::atof(a[1]));
    else
        return Usage();
    std::fflush(stdout);
    return rc;
}
