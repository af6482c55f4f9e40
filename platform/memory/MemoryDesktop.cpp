// The in-memory backend's controls, painting, cursors, clipboard, shell
// folders, Internet shortcuts and system information.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <utility>

#include "platform/Dpi.h"
#include "platform/memory/MemoryOs.h"

namespace {

// The font every dialog of the model has (see CreateDialogWindow).
constexpr std::uintptr_t kDialogFont = 0xF0F0;
constexpr UINT kArrowCursor = 32512;
constexpr HRESULT kClassNotRegistered = static_cast<HRESULT>(0x80040154UL);
constexpr HRESULT kNotImplemented = static_cast<HRESULT>(0x80004001UL);
constexpr HRESULT kAccessDenied = static_cast<HRESULT>(0x80070005UL);
constexpr DWORD kFileAttributeNormal = 0x80;
constexpr size_t kMaxPath = 260;

bool IsClass(const std::string& name, const char* wanted) { return EqualNoCase(name, wanted); }

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

template <typename Handle>
Handle HandleFrom(std::uintptr_t value) {
    return reinterpret_cast<Handle>(value);
}

LOGFONTA DialogFontDescription() {
    LOGFONTA font{};
    font.lfHeight = -11;
    font.lfWeight = 400;
    constexpr char kFace[] = "MS Sans Serif";
    std::memcpy(font.lfFaceName, kFace, sizeof(kFace));
    return font;
}

}  // namespace

// ------------------------------------------------------------- controls ----

bool MemoryOs::ControlProc(Window& window, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    *result = 0;
    if (msg == WM_ERASEBKGND) {
        *result = TRUE;
        return true;
    }
    if (IsClass(window.className, "Edit")) {
        const bool upper = (window.style & ES_UPPERCASE) != 0;
        if (msg == WM_SETTEXT) {
            const std::string text = lParam != 0 ? reinterpret_cast<const char*>(lParam) : "";
            window.text = WideFromAnsi(upper ? Upper(text) : text);
            *result = TRUE;
            return true;
        }
        // The edit control is a Unicode window: a character is a UTF-16 unit.
        if (msg == WM_CHAR) {
            if ((window.style & ES_READONLY) != 0) {
                return true;
            }
            const auto c = static_cast<WCHAR>(wParam);
            if (c == L'\b') {
                if (!window.text.empty()) {
                    window.text.pop_back();
                }
            } else if (c >= 0x20) {
                window.text += upper ? UpperUnit(c) : c;
            }
            return true;
        }
        return false;
    }
    if (IsClass(window.className, HOTKEY_CLASSA)) {
        return HotKeyControlProc(window, hwnd, msg, wParam, lParam, result);
    }
    if (IsClass(window.className, "Button")) {
        const DWORD type = window.style & BS_TYPEMASK;
        const bool threeState = type == BS_3STATE || type == BS_AUTO3STATE;
        const bool checkBox = threeState || type == BS_CHECKBOX || type == BS_AUTOCHECKBOX;
        const bool ownerDrawn = type == BS_OWNERDRAW;
        switch (msg) {
            case WM_GETDLGCODE:
                *result = DLGC_BUTTON;
                if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) {
                    *result |= type == BS_DEFPUSHBUTTON ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON;
                } else if (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON) {
                    *result |= DLGC_RADIOBUTTON;
                }
                return true;
            // The space bar presses a button and clicks it as it comes up.
            case WM_KEYDOWN:
                if (wParam != static_cast<WPARAM>(VK_SPACE)) {
                    return false;
                }
                window.pushed = true;
                if (ownerDrawn) {
                    DrawOwnerButton(hwnd, ODA_SELECT);
                }
                return true;
            case WM_KEYUP:
                if (wParam != static_cast<WPARAM>(VK_SPACE) || !window.pushed) {
                    return false;
                }
                window.pushed = false;
                if (ownerDrawn) {
                    DrawOwnerButton(hwnd, ODA_SELECT);
                }
                return ControlProc(window, hwnd, BM_CLICK, 0, 0, result);
            case WM_SETFOCUS:
            case WM_KILLFOCUS:
                if (msg == WM_KILLFOCUS && window.pushed) {
                    window.pushed = false;
                }
                if (ownerDrawn) {
                    DrawOwnerButton(hwnd, ODA_FOCUS);
                }
                return true;
            case WM_UPDATEUISTATE: {
                // A focused button shows or hides its focus at once.
                const WORD before = window.uiState;
                KeyboardProc(window, hwnd, msg, wParam, lParam, result);
                if (ownerDrawn && Focus() == hwnd && ((before ^ window.uiState) & UISF_HIDEFOCUS) != 0) {
                    DrawOwnerButton(hwnd, ODA_DRAWENTIRE);
                }
                return true;
            }
            case BM_GETCHECK:
                *result = static_cast<LRESULT>(window.check);
                return true;
            case BM_SETCHECK:
                if (checkBox) {
                    window.check = std::min<WPARAM>(wParam, threeState ? 2 : 1);
                }
                return true;
            case BM_CLICK: {
                if ((window.style & WS_DISABLED) != 0) {
                    return true;
                }
                if (type == BS_AUTOCHECKBOX) {
                    window.check = window.check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
                } else if (type == BS_AUTO3STATE) {
                    window.check = (window.check + 1) % 3;
                }
                const HWND parent = window.parent;
                const int id = window.id;
                SendMessageA(parent, WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(id), BN_CLICKED),
                             reinterpret_cast<LPARAM>(hwnd));
                return true;
            }
            default:
                return false;
        }
    }
    return false;
}

void MemoryOs::TypeText(HWND hwnd, const std::string& text) {
    for (const WCHAR c : Utf16FromUtf8(text)) {
        SendMessageA(hwnd, WM_CHAR, static_cast<WPARAM>(c), 1);
    }
}

HWND MemoryOs::GetWindow(HWND hwnd, UINT cmd) {
    const Window* window = Find(hwnd);
    if (window == nullptr) {
        return nullptr;
    }
    if (cmd == static_cast<UINT>(GW_OWNER)) {
        return window->owner;
    }
    if (cmd == static_cast<UINT>(GW_CHILD)) {
        return window->childOrder.empty() ? nullptr : window->childOrder.front();
    }
    const std::vector<HWND> siblings = window->parent != nullptr ? Children(window->parent) : m_zOrder;
    const auto it = std::find(siblings.begin(), siblings.end(), hwnd);
    if (it == siblings.end()) {
        return nullptr;
    }
    if (cmd == static_cast<UINT>(GW_HWNDNEXT)) {
        return it + 1 != siblings.end() ? *(it + 1) : nullptr;
    }
    if (cmd == static_cast<UINT>(GW_HWNDPREV)) {
        return it != siblings.begin() ? *(it - 1) : nullptr;
    }
    return nullptr;
}

BOOL MemoryOs::IsWindowVisible(HWND hwnd) {
    for (const Window* window = Find(hwnd); window != nullptr; window = Find(window->parent)) {
        if ((window->style & WS_VISIBLE) == 0) {
            return FALSE;
        }
        if (window->parent == nullptr) {
            return TRUE;
        }
    }
    return FALSE;
}

BOOL MemoryOs::IsIconic(HWND hwnd) {
    const Window* window = Find(hwnd);
    return window != nullptr && (window->style & WS_MINIMIZE) != 0 ? TRUE : FALSE;
}

BOOL MemoryOs::IsWindowEnabled(HWND hwnd) {
    const Window* window = Find(hwnd);
    return window != nullptr && (window->style & WS_DISABLED) == 0;
}

// ------------------------------------------------------------- painting ----

HDC MemoryOs::BeginPaint(HWND hwnd, PAINTSTRUCT* paint) {
    if (Find(hwnd) == nullptr || paint == nullptr) {
        return nullptr;
    }
    *paint = PAINTSTRUCT{};
    paint->hdc = HandleFrom<HDC>(reinterpret_cast<std::uintptr_t>(NewHandle()));
    m_dcs[paint->hdc] = DeviceContext{hwnd, HandleFrom<HGDIOBJ>(kDialogFont), 0, 2};
    GetClientRect(hwnd, &paint->rcPaint);
    // The whole window counts as invalid with erasing, so the background goes first.
    paint->fErase = SendMessageA(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(paint->hdc), 0) == 0;
    return paint->hdc;
}

BOOL MemoryOs::EndPaint(HWND, const PAINTSTRUCT* paint) {
    return paint != nullptr && m_dcs.erase(paint->hdc) != 0 ? TRUE : FALSE;
}

HDC MemoryOs::GetDC(HWND hwnd) {
    if (Find(hwnd) == nullptr || Fails("GetDC")) {
        return nullptr;
    }
    const auto dc = HandleFrom<HDC>(reinterpret_cast<std::uintptr_t>(NewHandle()));
    m_dcs[dc] = DeviceContext{hwnd, HandleFrom<HGDIOBJ>(kDialogFont), 0, 2};
    return dc;
}

int MemoryOs::ReleaseDC(HWND, HDC dc) { return m_dcs.erase(dc) != 0 ? 1 : 0; }

HFONT MemoryOs::CreateFontIndirectA(const LOGFONTA* font) {
    if (font == nullptr || Fails("CreateFontIndirectA")) {
        return nullptr;
    }
    const auto handle = HandleFrom<HFONT>(reinterpret_cast<std::uintptr_t>(NewHandle()));
    m_fonts[handle] = *font;
    return handle;
}

int MemoryOs::GetObjectA(HGDIOBJ object, int size, void* buffer) {
    if (auto bitmap = m_bitmaps.find(object); bitmap != m_bitmaps.end()) {
        BITMAP info{};
        info.bmWidth = bitmap->second.cx;
        info.bmHeight = bitmap->second.cy;
        info.bmPlanes = 1;
        info.bmBitsPixel = 32;
        info.bmWidthBytes = 4 * info.bmWidth;
        if (buffer != nullptr && size < static_cast<int>(sizeof(info))) {
            return 0;
        }
        if (buffer != nullptr) {
            std::memcpy(buffer, &info, sizeof(info));
        }
        return static_cast<int>(sizeof(info));
    }
    LOGFONTA font{};
    if (auto it = m_fonts.find(object); it != m_fonts.end()) {
        font = it->second;
    } else if (object == HandleFrom<HGDIOBJ>(kDialogFont)) {
        font = DialogFontDescription();
    } else {
        return 0;
    }
    if (buffer == nullptr) {
        return static_cast<int>(sizeof(font));
    }
    if (size < static_cast<int>(sizeof(font))) {
        return 0;
    }
    std::memcpy(buffer, &font, sizeof(font));
    return static_cast<int>(sizeof(font));
}

HGDIOBJ MemoryOs::SelectObject(HDC dc, HGDIOBJ object) {
    auto it = m_dcs.find(dc);
    if (it == m_dcs.end() || object == nullptr) {
        return nullptr;
    }
    if (m_fonts.count(object) != 0 || object == HandleFrom<HGDIOBJ>(kDialogFont)) {
        return std::exchange(it->second.font, object);
    }
    // Pens, brushes and bitmaps: the model keeps no state for them.
    return GetStockObject(0);
}

HGDIOBJ MemoryOs::GetStockObject(int index) { return HandleFrom<HGDIOBJ>(0x5000 + static_cast<std::uintptr_t>(index)); }

HBRUSH MemoryOs::GetSysColorBrush(int index) { return HandleFrom<HBRUSH>(0x6000 + static_cast<std::uintptr_t>(index)); }

int MemoryOs::SetBkMode(HDC dc, int mode) {
    auto it = m_dcs.find(dc);
    return it != m_dcs.end() ? std::exchange(it->second.bkMode, mode) : 0;
}

COLORREF MemoryOs::SetTextColor(HDC dc, COLORREF color) {
    auto it = m_dcs.find(dc);
    return it != m_dcs.end() ? std::exchange(it->second.textColor, color) : 0;
}

BOOL MemoryOs::TextOutA(HDC dc, int x, int y, const char* text, int length) {
    auto it = m_dcs.find(dc);
    if (it == m_dcs.end() || text == nullptr || length < 0) {
        return FALSE;
    }
    const DeviceContext& context = it->second;
    GdiCall call{"TextOutA",
                 {},
                 x,
                 y,
                 0,
                 0,
                 static_cast<UINT>(context.bkMode),
                 context.font,
                 std::string(text, static_cast<size_t>(length)),
                 context.textColor,
                 0};
    auto font = m_fonts.find(context.font);
    call.underline = font != m_fonts.end() && font->second.lfUnderline != 0;
    m_gdiCalls.push_back(call);
    return TRUE;
}

COLORREF MemoryOs::SysColorOfBrush(HBRUSH brush) {
    const auto value = reinterpret_cast<std::uintptr_t>(brush);
    return value >= 0x6000 && value < 0x6100 ? GetSysColor(static_cast<int>(value - 0x6000)) : 0;
}

int MemoryOs::FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
    if (m_dcs.count(dc) == 0 || rect == nullptr) {
        return 0;
    }
    m_gdiCalls.push_back({"FillRect", *rect, 0, 0, 0, 0, 0, brush, {}, SysColorOfBrush(brush), 0});
    return 1;
}

BOOL MemoryOs::Rectangle(HDC dc, int left, int top, int right, int bottom) {
    if (m_dcs.count(dc) == 0) {
        return FALSE;
    }
    m_gdiCalls.push_back({"Rectangle", RECT{left, top, right, bottom}, 0, 0, 0, 0, 0, nullptr, {}, 0, 0});
    return TRUE;
}

HDC MemoryOs::CreateCompatibleDC(HDC) {
    if (Fails("CreateCompatibleDC")) {
        return nullptr;
    }
    const auto dc = HandleFrom<HDC>(reinterpret_cast<std::uintptr_t>(NewHandle()));
    m_dcs[dc] = DeviceContext{};
    return dc;
}

BOOL MemoryOs::DeleteDC(HDC dc) { return m_dcs.erase(dc) != 0 ? TRUE : FALSE; }

HBITMAP MemoryOs::CreateCompatibleBitmap(HDC dc, int cx, int cy) {
    if (m_dcs.count(dc) == 0 || cx <= 0 || cy <= 0 || Fails("CreateCompatibleBitmap")) {
        return nullptr;
    }
    const auto bitmap = HandleFrom<HBITMAP>(reinterpret_cast<std::uintptr_t>(NewHandle()));
    m_bitmaps[bitmap] = SIZE{cx, cy};
    return bitmap;
}

BOOL MemoryOs::StretchBlt(HDC dest, int x, int y, int cx, int cy, HDC source, int xSource, int ySource, int cxSource,
                          int cySource, DWORD rop) {
    if (m_dcs.count(dest) == 0 || m_dcs.count(source) == 0) {
        return FALSE;
    }
    // The source dc is told apart by the call's order: it is either the button's or the memory one.
    m_gdiCalls.push_back({"StretchBlt",
                          RECT{x, y, x + cx, y + cy},
                          xSource,
                          ySource,
                          cxSource,
                          cySource,
                          static_cast<UINT>(rop),
                          source,
                          {},
                          0,
                          0});
    return TRUE;
}

HANDLE MemoryOs::LoadImageA(UINT id, UINT type, int cx, int cy) {
    if (type != IMAGE_ICON || std::find(m_iconResources.begin(), m_iconResources.end(), id) == m_iconResources.end() ||
        Fails("LoadImageA")) {
        return nullptr;
    }
    const HANDLE icon = reinterpret_cast<HANDLE>(NewHandle());
    m_icons[icon] = SIZE{cx, cy};
    return icon;
}

BOOL MemoryOs::DrawIcon(HDC dc, int x, int y, HICON icon) {
    auto it = m_icons.find(reinterpret_cast<HANDLE>(icon));
    if (m_dcs.count(dc) == 0 || it == m_icons.end()) {
        return FALSE;
    }
    m_gdiCalls.push_back({"DrawIcon", {}, x, y, it->second.cx, it->second.cy, 0, icon, {}, 0, 0});
    return TRUE;
}

BOOL MemoryOs::DestroyIcon(HICON icon) { return m_icons.erase(reinterpret_cast<HANDLE>(icon)) != 0 ? TRUE : FALSE; }

// ------------------------------------------------- cursors and capture ----

HCURSOR MemoryOs::LoadCursorA(UINT id, BOOL system) {
    if (system) {
        return id == kArrowCursor ? HandleFrom<HCURSOR>(0x7000 + static_cast<std::uintptr_t>(id)) : nullptr;
    }
    if (std::find(m_cursorResources.begin(), m_cursorResources.end(), id) == m_cursorResources.end() ||
        Fails("LoadCursorA")) {
        return nullptr;
    }
    return HandleFrom<HCURSOR>(0x7800 + static_cast<std::uintptr_t>(id));
}

HCURSOR MemoryOs::SetCursor(HCURSOR cursor) { return std::exchange(m_currentCursor, cursor); }

HWND MemoryOs::SetCapture(HWND hwnd) { return std::exchange(m_capture, IsWindow(hwnd) ? hwnd : nullptr); }

BOOL MemoryOs::ReleaseCapture() {
    m_capture = nullptr;
    return TRUE;
}

// ------------------------------------------------------------ clipboard ----

HGLOBAL MemoryOs::GlobalAlloc(UINT, size_t bytes) {
    if (Fails("GlobalAlloc")) {
        return nullptr;
    }
    const HGLOBAL memory = reinterpret_cast<HGLOBAL>(NewHandle());
    m_globals[memory].assign(bytes, 0);
    return memory;
}

void* MemoryOs::GlobalLock(HGLOBAL memory) {
    auto it = m_globals.find(memory);
    if (it == m_globals.end() || Fails("GlobalLock")) {
        return nullptr;
    }
    it->second.reserve(1);
    ++m_globalLocks[memory];
    return it->second.data();
}

BOOL MemoryOs::GlobalUnlock(HGLOBAL memory) {
    if (auto it = m_globalLocks.find(memory); it != m_globalLocks.end() && --it->second == 0) {
        m_globalLocks.erase(it);
    }
    return m_globals.count(memory) != 0 ? TRUE : FALSE;
}

HGLOBAL MemoryOs::GlobalFree(HGLOBAL memory) {
    m_globalLocks.erase(memory);
    return m_globals.erase(memory) != 0 ? nullptr : memory;
}

BOOL MemoryOs::OpenClipboard(HWND) {
    if (m_clipboardOpen || Fails("OpenClipboard")) {
        return FALSE;
    }
    m_clipboardOpen = true;
    return TRUE;
}

BOOL MemoryOs::EmptyClipboard() {
    if (!m_clipboardOpen) {
        return FALSE;
    }
    m_clipboard.clear();
    return TRUE;
}

HANDLE MemoryOs::SetClipboardData(UINT format, HANDLE data) {
    auto it = m_globals.find(data);
    if (!m_clipboardOpen || it == m_globals.end() || Fails("SetClipboardData")) {
        return nullptr;
    }
    m_clipboard[format] = it->second;
    m_globals.erase(it);
    return data;
}

BOOL MemoryOs::CloseClipboard() { return std::exchange(m_clipboardOpen, false) ? TRUE : FALSE; }

std::optional<std::string> MemoryOs::ClipboardText() const {
    auto it = m_clipboard.find(CF_TEXT);
    if (it == m_clipboard.end()) {
        return std::nullopt;
    }
    const std::vector<BYTE>& bytes = it->second;
    const auto end = std::find(bytes.begin(), bytes.end(), BYTE{0});
    return std::string(bytes.begin(), end);
}

// ---------------------------------------------- shell folders and files ----

void MemoryOs::SetSpecialFolder(int csidl, std::string path) { m_specialFolders[csidl] = std::move(path); }

void MemoryOs::AddFile(const std::string& path, std::string content) { m_files[path] = std::move(content); }

std::optional<std::string> MemoryOs::FileContent(const std::string& path) const {
    for (const auto& [name, content] : m_files) {
        if (EqualNoCase(name, path)) {
            return content;
        }
    }
    return std::nullopt;
}

std::vector<std::string> MemoryOs::FilesIn(const std::string& folder) const {
    std::vector<std::string> names;
    for (const auto& [name, content] : m_files) {
        if (EqualNoCase(FolderOf(name), folder)) {
            names.push_back(name.substr(folder.size() + 1));
        }
    }
    return names;
}

BOOL MemoryOs::SHGetSpecialFolderPathW(HWND, WCHAR* path, int csidl, BOOL) {
    if (path == nullptr || Fails("SHGetSpecialFolderPathW")) {
        return FALSE;
    }
    std::string folder;
    if (auto it = m_specialFolders.find(csidl); it != m_specialFolders.end()) {
        folder = it->second;
    } else if (csidl == CSIDL_DESKTOP) {
        folder = "C:\\users\\user\\Desktop";
    } else if (csidl == CSIDL_FAVORITES) {
        folder = "C:\\users\\user\\Favorites";
    } else {
        return FALSE;
    }
    const std::wstring wide = Utf16FromUtf8(folder);
    if (wide.empty() || wide.size() >= kMaxPath) {
        return FALSE;
    }
    std::copy(wide.c_str(), wide.c_str() + wide.size() + 1, path);
    return TRUE;
}

DWORD MemoryOs::GetFileAttributesW(const WCHAR* path) {
    if (path == nullptr) {
        return INVALID_FILE_ATTRIBUTES;
    }
    const std::string wanted = Utf8FromUtf16(path);
    if (FileContent(wanted)) {
        return kFileAttributeNormal;
    }
    bool directory = EqualNoCase(wanted, FolderOf(Utf8FromUtf16(m_moduleFileName)));
    for (int csidl : {CSIDL_DESKTOP, CSIDL_FAVORITES}) {
        WCHAR folder[kMaxPath] = {};
        directory = directory || (SHGetSpecialFolderPathW(nullptr, folder, csidl, FALSE) &&
                                  EqualNoCase(wanted, Utf8FromUtf16(folder)));
    }
    return directory ? FILE_ATTRIBUTE_DIRECTORY : INVALID_FILE_ATTRIBUTES;
}

HRESULT MemoryOs::InvokeInternetShortcut(HWND, const char* url) {
    if (Fails("CoCreateInstance")) {
        return kClassNotRegistered;
    }
    if (url == nullptr || *url == '\0' || Fails("InvokeCommand")) {
        return kNotImplemented;
    }
    m_invokedShortcuts.emplace_back(url);
    return 0;
}

HRESULT MemoryOs::SaveInternetShortcut(const char* url, const WCHAR* path) {
    if (Fails("CoCreateInstance")) {
        return kClassNotRegistered;
    }
    if (url == nullptr || path == nullptr) {
        return kNotImplemented;
    }
    const std::wstring widePath(path);
    const std::string file = Utf8FromUtf16(widePath);
    const std::string name = file.substr(FolderOf(file).size() + 1);
    // The file system refuses names with these characters, and paths beyond MAX_PATH.
    const bool badName = name.empty() || name.find_first_of("\\/:*?\"<>|") != std::string::npos;
    if (widePath.size() >= kMaxPath || badName ||
        GetFileAttributesW(Utf16FromUtf8(FolderOf(file)).c_str()) != FILE_ATTRIBUTE_DIRECTORY ||
        Fails("IPersistFile::Save")) {
        return kAccessDenied;
    }
    m_files[file] = url;
    return 0;
}

// --------------------------------------------------- system information ----

void MemoryOs::SetDiskFreeSpace(char letter, ULONGLONG totalFreeBytes, DWORD sectorsPerCluster, DWORD bytesPerSector) {
    m_diskSpace[static_cast<char>(std::toupper(static_cast<unsigned char>(letter)))] =
        DiskSpace{totalFreeBytes, sectorsPerCluster, bytesPerSector, std::nullopt, std::nullopt};
}

void MemoryOs::SetDiskSize(char letter, ULONGLONG totalBytes, ULONGLONG freeToCaller) {
    DiskSpace& disk = m_diskSpace[static_cast<char>(std::toupper(static_cast<unsigned char>(letter)))];
    disk.totalBytes = totalBytes;
    disk.freeToCaller = freeToCaller;
}

BOOL MemoryOs::GlobalMemoryStatusEx(MEMORYSTATUSEX* status) {
    if (status == nullptr || status->dwLength != sizeof(MEMORYSTATUSEX) || Fails("GlobalMemoryStatusEx")) {
        return FALSE;
    }
    status->ullAvailPhys = m_availablePhysical;
    status->ullTotalPhys = m_availablePhysical * 2;
    status->dwMemoryLoad = 50;
    return TRUE;
}

BOOL MemoryOs::GetDiskFreeSpaceExW(const WCHAR* root, ULONGLONG* freeToCaller, ULONGLONG* totalBytes,
                                   ULONGLONG* totalFreeBytes) {
    if (!WaitWhileHeld(root) || root == nullptr || root[0] > 0x7F || Fails("GetDiskFreeSpaceExW")) {
        return FALSE;
    }
    auto it = m_diskSpace.find(static_cast<char>(std::toupper(static_cast<int>(root[0]))));
    if (it == m_diskSpace.end() || root[1] != ':') {
        return FALSE;
    }
    // A quota leaves the caller less than the volume has free.
    if (freeToCaller != nullptr) {
        *freeToCaller = it->second.freeToCaller.value_or(it->second.freeBytes / 2);
    }
    if (totalBytes != nullptr) {
        *totalBytes = it->second.totalBytes.value_or(it->second.freeBytes * 2);
    }
    if (totalFreeBytes != nullptr) {
        *totalFreeBytes = it->second.freeBytes;
    }
    return TRUE;
}

BOOL MemoryOs::GetDiskFreeSpaceW(const WCHAR* root, DWORD* sectorsPerCluster, DWORD* bytesPerSector,
                                 DWORD* freeClusters, DWORD* totalClusters) {
    if (!WaitWhileHeld(root) || root == nullptr || root[0] > 0x7F || Fails("GetDiskFreeSpaceW")) {
        return FALSE;
    }
    auto it = m_diskSpace.find(static_cast<char>(std::toupper(static_cast<int>(root[0]))));
    if (it == m_diskSpace.end() || root[1] != ':') {
        return FALSE;
    }
    const DiskSpace& disk = it->second;
    const ULONGLONG cluster = static_cast<ULONGLONG>(disk.sectorsPerCluster) * disk.bytesPerSector;
    const ULONGLONG clusters = cluster != 0 ? disk.freeBytes / cluster : 0;
    *sectorsPerCluster = disk.sectorsPerCluster;
    *bytesPerSector = disk.bytesPerSector;
    *freeClusters = static_cast<DWORD>(std::min<ULONGLONG>(clusters, 0xFFFFFFFFULL));
    *totalClusters = *freeClusters;
    return TRUE;
}

DWORD MemoryOs::GetModuleFileNameW(WCHAR* buffer, DWORD size) {
    if (buffer == nullptr || size == 0 || Fails("GetModuleFileNameW")) {
        return 0;
    }
    // As Windows does: a short buffer gets a truncated path and the buffer's size.
    const auto length = static_cast<DWORD>(std::min<size_t>(m_moduleFileName.size(), size - 1));
    std::copy(m_moduleFileName.begin(), m_moduleFileName.begin() + length, buffer);
    buffer[length] = 0;
    return length < m_moduleFileName.size() ? size : length;
}

DWORD MemoryOs::GetShortPathNameW(const WCHAR* longPath, WCHAR* buffer, DWORD size) {
    if (longPath == nullptr || Fails("GetShortPathNameW")) {
        return 0;
    }
    // Where the volume keeps no short names the long path comes back unchanged.
    const std::wstring result =
        longPath == m_moduleFileName && !m_moduleShortName.empty() ? m_moduleShortName : std::wstring(longPath);
    if (buffer == nullptr || size <= result.size()) {
        return static_cast<DWORD>(result.size() + 1);
    }
    std::copy(result.c_str(), result.c_str() + result.size() + 1, buffer);
    return static_cast<DWORD>(result.size());
}

// ------------------------------------------------------------- registry ----

bool MemoryOs::IsReadOnlyKey(const std::string& path) const {
    for (HKEY root : m_readOnlyRoots) {
        const std::string prefix = root == HKEY_LOCAL_MACHINE ? "HKLM" : "HKCU";
        if (path.compare(0, prefix.size(), prefix) == 0) {
            return true;
        }
    }
    return false;
}

LONG MemoryOs::RegDeleteValueW(HKEY key, const WCHAR* name) {
    const std::string* path = KeyPath(key);
    if (path == nullptr) {
        return ERROR_INVALID_HANDLE;
    }
    if (Fails("RegDeleteValueW") || IsReadOnlyKey(*path) || (m_keyAccess.at(key) & KEY_SET_VALUE) == 0) {
        return ERROR_ACCESS_DENIED;
    }
    const std::string value = Upper(Utf8FromUtf16(name != nullptr ? name : L""));
    if (m_registry[*path].erase(value) == 0) {
        return ERROR_FILE_NOT_FOUND;
    }
    m_registryChanges.push_back("delete " + *path + "\\" + value);
    return ERROR_SUCCESS;
}

// ------------------------------------------------------------ display scale ----

UINT MemoryOs::GetDpiForWindow(HWND hwnd) {
    const Window* window = Find(hwnd);
    return window != nullptr ? DpiOf(*window) : 0;
}

UINT MemoryOs::DpiOf(const Window& window) const {
    const Window* top = &window;
    while (top->parent != nullptr && Find(top->parent) != nullptr) {
        top = Find(top->parent);
    }
    return top->dpi;
}

void MemoryOs::SetDpi(UINT dpi) {
    m_nDpi = dpi;
    for (Monitor& monitor : m_monitors) {
        monitor.dpi = dpi;
    }
    for (auto& [hwnd, window] : m_windows) {
        window.dpi = dpi;
    }
}

void MemoryOs::ChangeDpi(UINT dpi) {
    m_nDpi = dpi;
    for (Monitor& monitor : m_monitors) {
        monitor.dpi = dpi;
    }
    TellScales();
}

void MemoryOs::ChangeMonitorDpi(HMONITOR monitor, UINT dpi) {
    const auto it =
        std::find_if(m_monitors.begin(), m_monitors.end(), [monitor](const Monitor& m) { return m.handle == monitor; });
    if (it != m_monitors.end()) {
        it->dpi = dpi;
        TellScales();
    }
}

void MemoryOs::TellScales() {
    for (const HWND hwnd : TopLevelZOrder()) {
        TellScale(hwnd);
    }
}

void MemoryOs::TellScale(HWND hwnd) {
    Window* window = Find(hwnd);
    if (window == nullptr || window->parent != nullptr) {
        return;
    }
    const UINT dpi = NearestMonitor(window->rect).dpi;
    if (dpi == window->dpi) {
        return;
    }
    const UINT previous = std::exchange(window->dpi, dpi);
    // The system suggests the same place at the new scale.
    const RECT& rc = window->rect;
    RECT suggested{rc.left, rc.top, rc.left + static_cast<LONG>(ScaleBetween(rc.right - rc.left, previous, dpi)),
                   rc.top + static_cast<LONG>(ScaleBetween(rc.bottom - rc.top, previous, dpi))};
    SendMessageA(hwnd, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
}
