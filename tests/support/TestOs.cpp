#include "tests/support/TestOs.h"

#include <algorithm>
#include <ostream>

#include "app/VosselApp.h"
#include "appbar/AppBarGeometry.h"
#include "resources/resource.h"

extern CVosselApp theApp;

void RegisterProgramResources(MemoryOs& os) {
    const RECT client{0, 0, kBarClientWidth, kBarClientHeight};
    os.AddDialogTemplate(IDD_BAR, {"Vossel",
                                   0x96CC0445,
                                   WS_EX_TOOLWINDOW,
                                   kBarClientWidth,
                                   kBarClientHeight,
                                   {{IDC_MENU_BUTTON, "Button", "", 0x5001000B, client}}});
    os.AddString(IDS_APP_TITLE, "Vossel");
    os.AddString(IDS_COPY_FILES_TO, "Copy selected files to:");
    os.AddString(IDS_MOVE_FILES_TO, "Move selected files to:");
    os.AddString(IDS_FREE_SPACE, "%s free of %s");
    os.AddString(IDS_EJECT_DRIVE, "&Eject %s");
    os.AddString(IDS_EJECT_IN_USE,
                 "%s is in use and cannot be ejected now. Close the programs and windows that use it, then try again.");
    os.AddString(IDS_EJECT_FAILED, "%s could not be ejected.");
    os.AddString(IDS_MENU_BUTTON_NAME, "Vossel menu");
    os.AddString(IDS_OPEN_ACTION, "Open");
    os.AddMenu(IDR_BAR_MENU, {{ID_ALWAYS_ON_TOP, "Always on &top"},
                              {ID_AUTO_HIDE, "A&uto hide"},
                              {ID_BAR_OPTIONS, "&Options"},
                              {ID_BAR_ABOUT, "&About Vossel"},
                              {0, ""},
                              {ID_BAR_EXIT, "E&xit"}});
    for (UINT id : {IDB_DRIVE_CDROM, IDB_DRIVE_REMOVABLE, IDB_DRIVE_FIXED, IDB_DRIVE_NETWORK, IDB_MENU_BUTTON}) {
        // The 16-pixel ones at another size, so that the scaling of a picture is tried too.
        os.AddBitmap(id, 17, 17);
        for (int size = 20; size <= 32; size += 4) {
            os.AddBitmap(id + (size - 16) / 4 * IDB_SIZE_STEP, size, size);
        }
    }
    RegisterDialogResources(os);
}

// Dialog units of an 8-point MS Sans Serif dialog in the model's pixels (6 x 13 base units).
namespace {
RECT Units(int x, int y, int cx, int cy) { return RECT{x * 3 / 2, y * 13 / 8, (x + cx) * 3 / 2, (y + cy) * 13 / 8}; }
}  // namespace

void RegisterDialogResources(MemoryOs& os) {
    constexpr DWORD kPopup = WS_POPUP | WS_CAPTION | WS_SYSMENU | 0x80 /* DS_MODALFRAME */ | DS_SETFONT;
    constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
    constexpr DWORD kLink = kChild | ES_CENTER | ES_AUTOHSCROLL | ES_READONLY;
    constexpr DWORD kCheck = kChild | BS_AUTOCHECKBOX | WS_TABSTOP;
    constexpr DWORD kEdit = kChild | WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP;
    MemoryDialogTemplate about{"About Vossel", kPopup, 0, 229 * 3 / 2, 178 * 13 / 8, {}};
    about.controls = {
        {IDOK, "Button", "OK", kChild | 1 /* BS_DEFPUSHBUTTON */ | WS_TABSTOP, Units(6, 159, 44, 14)},
        {IDC_ICON_PICTURE, "Button", "", kChild | BS_OWNERDRAW | WS_DISABLED, Units(6, 3, 38, 40)},
        {IDC_AVAIL_MEM, "Static", "(Avail mem)", kChild, Units(82, 122, 129, 8)},
        {IDC_MATH_COPROCESSOR, "Static", "(Math coprocessor)", kChild, Units(82, 130, 129, 8)},
        {IDC_DISK_SPACE, "Static", "(Disk space)", kChild, Units(82, 138, 128, 8)},
        {IDC_FREE_RESOURCES, "Static", "(Free Resources)", kChild, Units(82, 146, 128, 8)},
        {IDC_MAIL_LINK, "Edit", "", kLink, Units(48, 101, 58, 12)},
        {IDC_WEB_LINK, "Edit", "", kLink, Units(69, 38, 56, 12)},
    };
    os.AddDialogTemplate(IDD_ABOUT, about);
    MemoryDialogTemplate options{"Vossel Options", kPopup, 0, 187 * 3 / 2, 149 * 13 / 8, {}};
    options.controls = {
        {IDC_ALWAYS_ON_TOP, "Button", "Always on &top", kCheck, Units(5, 3, 101, 10)},
        {IDC_AUTO_HIDE, "Button", "A&uto hide", kCheck, Units(5, 14, 99, 10)},
        {IDC_LAUNCH_PROGRAM, "Edit", "", kEdit, Units(5, 34, 178, 14)},
        {IDC_TILE_EXPLORERS, "Button", "&Tile Explorers", kCheck, Units(5, 49, 75, 10)},
        {IDC_SKIP_DRIVES, "Edit", "", kEdit | ES_UPPERCASE, Units(5, 68, 178, 14)},
        {IDC_LAUNCH_ON_STARTUP, "Button", "&Launch on Startup", kCheck, Units(5, 87, 106, 10)},
        {-1, "Static", "&Keyboard shortcut:", kChild | WS_GROUP, Units(5, 104, 62, 8)},
        {IDC_HOTKEY, HOTKEY_CLASSA, "", kChild | WS_BORDER | WS_TABSTOP, Units(69, 102, 114, 12)},
        {IDC_HOTKEY_TAKEN, "Static", "Taken by another program", WS_CHILD, Units(69, 116, 114, 8)},
        {IDC_OPTIONS_ABOUT, "Button", "&About...", kChild | WS_TABSTOP, Units(133, 85, 50, 14)},
        {IDOK, "Button", "OK", kChild | 1 | WS_TABSTOP, Units(5, 128, 50, 14)},
        {IDCANCEL, "Button", "Cancel", kChild | WS_TABSTOP, Units(69, 128, 50, 14)},
        {ID_HELP, "Button", "&Help", kChild | WS_TABSTOP, Units(133, 128, 50, 14)},
    };
    os.AddDialogTemplate(IDD_OPTIONS, options);
    os.AddMenu(IDR_LINK_MENU, {{ID_LINK_OPEN, "&Open"},
                               {ID_LINK_COPY_SHORTCUT, "Copy Shor&tcut"},
                               {ID_LINK_ADD_FAVORITES, "Add to &Favorites"},
                               {ID_LINK_ADD_DESKTOP, "Add to &Desktop"}});
    os.AddCursor(IDC_HAND_CURSOR);
    os.AddIcon(IDR_MAINFRAME);
    os.SetMetric(SM_CXICON, 32);
    os.SetMetric(SM_CYICON, 32);
    os.SetSysColor(COLOR_BTNSHADOW, RGB(128, 128, 128));
    const std::pair<UINT, const char*> strings[] = {
        {IDS_DISK_UNAVAILABLE, "Unavailable"},
        {IDS_DISK_FREE, "%lu KB Free"},
        {IDS_COPROCESSOR_PRESENT, "Present"},
        {IDS_MEMORY_FREE, "%lu KB Free"},
        {IDS_SIZE_BYTES, "%ld bytes"},
        {IDS_SIZE_KB, "%.0lf KB"},
        {IDS_SIZE_MB, "%.2lf MB"},
        {IDS_SIZE_GB, "%.2lf GB"},
        {IDS_WEB_LINK_TEXT, "For more utilities, visit www.example.org"},
        {IDS_MAIL_LINK_TEXT, "For more information, E-MAIL: vossel@example.org"},
        {IDS_WEB_URL, "http://www.example.org/"},
        {IDS_MAIL_URL, "mailto:vossel@example.org"},
        {IDS_FAILED_TO_LAUNCH_HELP, "Failed to launch help."},
    };
    for (const auto& [id, text] : strings) {
        os.AddString(id, text);
    }
}

OsTest::OsTest() {
    SetOs(&os.Services());
    RegisterProgramResources(os);
    // The application object is process-wide; each test starts it afresh.
    theApp.m_strRegistryKey = "Quorvane";
    theApp.m_strAppName = "Vossel";
}

OsTest::~OsTest() { SetOs(nullptr); }

RECT OsTest::WindowRect(HWND hwnd) {
    RECT rect{};
    os.GetWindowRect(hwnd, &rect);
    return rect;
}

RECT OsTest::ClientRectOf(HWND hwnd) {
    RECT rect{};
    os.GetClientRect(hwnd, &rect);
    return rect;
}

std::string StoredString(const MemoryOs& os, const char* name) {
    const auto value = os.GetRegistryValue(HKEY_CURRENT_USER, kSettingsKey, name);
    if (!value || value->type != REG_SZ || value->data.empty()) {
        return "<absent>";
    }
    // A value written without its terminator ends with its data.
    const auto* text = reinterpret_cast<const WCHAR*>(value->data.data());
    return Utf8FromUtf16(std::wstring(text, std::find(text, text + value->data.size() / sizeof(WCHAR), 0)));
}

void StorePlacement(MemoryOs& os, const BARPLACEMENT& placement) {
    const auto* bytes = reinterpret_cast<const BYTE*>(&placement);
    os.SetRegistryValue(HKEY_CURRENT_USER, kSettingsKey, "State Info", REG_BINARY,
                        std::vector<BYTE>(bytes, bytes + sizeof(placement)));
}

std::ostream& operator<<(std::ostream& out, const RECT& rect) {
    return out << "{" << rect.left << ", " << rect.top << ", " << rect.right << ", " << rect.bottom << "}";
}

namespace {
bool Cancels(OsTest::Loop loop) { return loop == OsTest::Loop::WineEsc || loop == OsTest::Loop::WindowsEsc; }
bool FromStart(OsTest::Loop loop) { return loop == OsTest::Loop::Windows || loop == OsTest::Loop::WindowsEsc; }
void Place(MemoryOs& os, HWND hwnd, const RECT& rect) {
    const WindowFrame frame = FrameOfRect(rect);
    os.SetWindowPos(hwnd, nullptr, frame.x, frame.y, frame.cx, frame.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}
}  // namespace

RECT OsTest::RunLoop(HWND hwnd, UINT msg, UINT side, POINT press, const std::vector<POINT>& points, Loop loop,
                     bool fullDrag, const Proposal& propose, const std::function<void(size_t)>& during) {
    // The press that begins the loop holds the button until it ends.
    os.SetCursorPos(press);
    os.SetKeyDown(VK_LBUTTON, true);
    const RECT start = WindowRect(hwnd);
    os.SendMessageA(hwnd, WM_ENTERSIZEMOVE, 0, 0);
    RECT last = start;
    POINT previous = press;
    for (size_t index = 0; index < points.size(); ++index) {
        const POINT point = points[index];
        os.SetCursorPos(point);
        RECT proposed = propose(start, last, previous, point);
        os.SendMessageA(hwnd, msg, side, reinterpret_cast<LPARAM>(&proposed));
        last = proposed;
        previous = point;
        if (fullDrag) {
            Place(os, hwnd, last);
        }
        if (during) {
            during(index);
        }
    }
    return EndLoop(hwnd, loop, fullDrag, start, last);
}

RECT OsTest::EndLoop(HWND hwnd, Loop loop, bool fullDrag, const RECT& start, const RECT& last) {
    os.SetKeyDown(VK_LBUTTON, false);
    os.SetKeyDown(VK_ESCAPE, Cancels(loop));
    os.SendMessageA(hwnd, WM_EXITSIZEMOVE, 0, 0);
    os.SetKeyDown(VK_ESCAPE, false);
    if (Cancels(loop) && fullDrag) {
        Place(os, hwnd, start);
    } else if (!Cancels(loop) && !fullDrag) {
        Place(os, hwnd, last);
    }
    os.PumpMessages();
    return WindowRect(hwnd);
}

RECT OsTest::KeySizeLoop(HWND hwnd, POINT pointer, const std::vector<Arrow>& keys, Loop loop) {
    os.SetCursorPos(pointer);
    const RECT start = WindowRect(hwnd);
    const POINT middle{(start.left + start.right) / 2, (start.top + start.bottom) / 2};
    if (FromStart(loop)) {
        os.SetCursorPos(middle);
        os.SetMessagePos(pointer);
        os.SendMessageA(hwnd, WM_ENTERSIZEMOVE, 0, 0);
    }
    UINT side = 0;
    POINT picked{};
    POINT at{};
    RECT last = start;
    for (const Arrow key : keys) {
        const POINT pressedAt = at;
        if (side == 0) {
            // Where Wine puts the pointer on each side.
            const int frameX = os.GetSystemMetrics(SM_CXFRAME) / 2;
            const int frameY = os.GetSystemMetrics(SM_CYFRAME) / 2;
            switch (key) {
                case Arrow::Up:
                    side = WMSZ_TOP;
                    picked = POINT{middle.x, start.top + frameY};
                    break;
                case Arrow::Down:
                    side = WMSZ_BOTTOM;
                    picked = POINT{middle.x, start.bottom - 1};
                    break;
                case Arrow::Left:
                    side = WMSZ_LEFT;
                    picked = POINT{start.left + frameX, middle.y};
                    break;
                default:
                    side = WMSZ_RIGHT;
                    picked = POINT{start.right - 1, middle.y};
                    break;
            }
            at = picked;
            os.SetCursorPos(at);
            os.SetMessagePos(FromStart(loop) ? middle : pointer);
            if (!FromStart(loop)) {
                os.SendMessageA(hwnd, WM_ENTERSIZEMOVE, 0, 0);
            }
            continue;
        }
        at.x += key == Arrow::Left ? -8 : key == Arrow::Right ? 8 : 0;
        at.y += key == Arrow::Up ? -8 : key == Arrow::Down ? 8 : 0;
        os.SetCursorPos(at);
        os.SetMessagePos(pressedAt);
        RECT proposed = FromStart(loop) ? DragSides(side, start, picked, at) : DragSides(side, last, pressedAt, at);
        os.SendMessageA(hwnd, WM_SIZING, side, reinterpret_cast<LPARAM>(&proposed));
        last = proposed;
    }
    return EndLoop(hwnd, loop, false, start, last);
}

RECT OsTest::SizeLoop(HWND hwnd, UINT side, POINT press, const std::vector<POINT>& points, Loop loop,
                      const std::function<void(size_t)>& during) {
    const bool fromStart = FromStart(loop);
    return RunLoop(
        hwnd, WM_SIZING, side, press, points, loop, false,
        [side, press, fromStart](const RECT& start, const RECT& last, POINT previous, POINT point) {
            return fromStart ? DragSides(side, start, press, point) : DragSides(side, last, previous, point);
        },
        during);
}

RECT OsTest::MoveLoop(HWND hwnd, POINT press, const std::vector<POINT>& points, Loop loop,
                      const std::function<void(size_t)>& during) {
    return RunLoop(
        hwnd, WM_MOVING, 0, press, points, loop, FromStart(loop),
        [](const RECT&, const RECT& last, POINT previous, POINT point) {
            return DragSides(WMSZ_BOTTOMRIGHT, DragSides(WMSZ_TOPLEFT, last, previous, point), previous, point);
        },
        during);
}
