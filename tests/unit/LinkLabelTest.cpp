#include <functional>
#include <tuple>

#include "actions/OpenDrive.h"
#include "dialogs/LinkLabel.h"
#include "platform/WinApp.h"
#include "resources/resource.h"
#include "tests/support/TestOs.h"

namespace {

constexpr char kUrl[] = "mailto:vossel@example.org";
constexpr char kText[] = "For more information, E-MAIL: vossel@example.org";

class CommandCounter : public CWnd {
public:
    int m_nCommands = 0;

protected:
    BOOL OnCmdMsg(UINT, int) override { return ++m_nCommands; }
};

class LinkLabelTest : public OsTest {
public:
    LinkLabelTest() {
        os.CreateWindowExA(0, nullptr, "Dialog", WS_POPUP | WS_VISIBLE, 100, 100, 400, 300, nullptr, 0, &parent);
        const HWND edit = os.CreateWindowExA(0, "Edit", "", WS_CHILD | WS_VISIBLE | ES_READONLY | ES_CENTER, 10, 20, 50,
                                             16, parent.m_hWnd, IDC_MAIL_LINK, nullptr);
        LOGFONTA description{};
        description.lfHeight = -11;
        font = os.CreateFontIndirectA(&description);
        os.SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
        link.SubclassWindow(edit);
        link.SetLink(kUrl, kText, TRUE);
    }
    ~LinkLabelTest() override { os.DeleteObject(font); }
    void Move(int x, int y) { link.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(x, y)); }
    void Click() {
        link.SendMessage(WM_LBUTTONDOWN, 0, MAKELPARAM(3, 3));
        os.PumpMessages();
    }
    void Menu(int x = 300, int y = 200) {
        link.SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(link.m_hWnd), MAKELPARAM(x, y));
        os.PumpMessages();
    }
    MemoryOs::GdiCall PaintedText(int x) {
        os.ClearLogs();
        link.SendMessage(WM_PAINT);
        for (const auto& call : os.GdiCalls()) {
            if (call.function == "TextOutA" && call.x == x) {
                return call;
            }
        }
        return MemoryOs::GdiCall{};
    }

    HFONT font = nullptr;
    CommandCounter parent;
    CLinkLabel link;
};

TEST_F(LinkLabelTest, FitsItsTextInPlaceShowsStatesOfHoverOpenAndMenuWithTheirColoursAndHoversInsideItsEdges) {
    EXPECT_EQ(WindowRect(link.m_hWnd),
              (RECT{110, 120, 110 + static_cast<LONG>(sizeof(kText) - 1) * MemoryOs::kCharWidth, 136}));
    // Hover changes repaint on an erased background, so the shadow goes; an open only changes the next paint.
    const std::tuple<const char*, std::function<void()>, int, COLORREF, bool> steps[] = {
        {"start", [] {}, LINK_NORMAL, RGB(0, 0, 238), false},
        {"move in", [&] { Move(5, 5); }, LINK_HOVER, RGB(255, 0, 0), true},
        {"move within", [&] { Move(8, 6); }, LINK_HOVER, RGB(255, 0, 0), false},
        {"move out", [&] { Move(-1, 5); }, LINK_NORMAL, RGB(0, 0, 238), true},
        {"move about outside", [&] { Move(-3, 5); }, LINK_NORMAL, RGB(0, 0, 238), false},
        {"move in", [&] { Move(5, 5); }, LINK_HOVER, RGB(255, 0, 0), true},
        {"open while hovered", [&] { Click(); }, LINK_VISITED, RGB(85, 26, 139), false},
        {"move in again", [&] { Move(6, 5); }, LINK_HOVER, RGB(255, 0, 0), true},
        {"move out", [&] { Move(5, 400); }, LINK_VISITED, RGB(85, 26, 139), true},
        {"move in", [&] { Move(5, 5); }, LINK_HOVER, RGB(255, 0, 0), true},
        {"menu", [&] { Menu(); }, LINK_VISITED, RGB(85, 26, 139), true},
    };
    using Marks = std::vector<std::pair<HWND, bool>>;
    for (const auto& [event, act, state, colour, erased] : steps) {
        os.ClearLogs();
        act();
        EXPECT_EQ(os.Invalidations(), (erased ? Marks{{link.m_hWnd, true}} : Marks{})) << event;
        EXPECT_EQ(link.GetState(), state) << event;
        EXPECT_EQ(os.GetCapture() == link.m_hWnd, state == LINK_HOVER) << event;
        const MemoryOs::GdiCall text = PaintedText(0);
        EXPECT_EQ(text.colorFrom, colour) << event;
        EXPECT_EQ(text.text, kText);
        // The hover shadow, two pixels right and down, in place of the background; the letters alone, both.
        const MemoryOs::GdiCall shadow = PaintedText(2);
        EXPECT_EQ(shadow.colorFrom, state == LINK_HOVER ? RGB(128, 128, 128) : 0) << event;
        for (const UINT mode : {text.flags, state == LINK_HOVER ? shadow.flags : TRANSPARENT}) {
            EXPECT_EQ(mode, static_cast<UINT>(TRANSPARENT)) << event;
        }
        const MemoryOs::GdiCall& erase = os.GdiCalls().front();
        EXPECT_EQ(erase.function, state == LINK_HOVER ? "TextOutA" : "FillRect");
        if (state != LINK_HOVER) {
            EXPECT_EQ(erase.rect, ClientRectOf(link.m_hWnd)) << event;
            EXPECT_EQ(erase.image, os.GetSysColorBrush(COLOR_BTNFACE)) << event;
        }
    }
    // The open went through the shortcut object alone; without it, to ShellExecute.
    EXPECT_EQ(os.InvokedShortcuts(), std::vector<std::string>{kUrl});
    os.ClearLogs();
    Click();
    EXPECT_TRUE(os.ShellExecutes().empty());
    os.FailCall("InvokeCommand", 1);
    Click();
    ASSERT_EQ(os.ShellExecutes().size(), 1u);
    const auto& call = os.ShellExecutes()[0];
    EXPECT_EQ(call.owner, parent.m_hWnd);
    EXPECT_EQ(call.verb + " " + call.file + " " + std::to_string(call.show), std::string("open ") + kUrl + " 5");
    EXPECT_EQ(parent.m_nCommands, 0) << "the link's commands stay with the link";
    // From its left and top edges up to, but not on, its right and bottom ones.
    const RECT client = ClientRectOf(link.m_hWnd);
    const LONG x = client.right / 2, y = client.bottom / 2, right = client.right, bottom = client.bottom;
    const std::pair<POINT, bool> points[] = {
        {{0, y}, true},           {{-1, y}, false},     {{right - 1, y}, true},
        {{right, y}, false},      {{x, 0}, true},       {{x, -1}, false},
        {{x, bottom - 1}, true},  {{x, bottom}, false}, {{right - 1, bottom - 1}, true},
        {{right, bottom}, false},
    };
    for (const auto& [point, inside] : points) {
        Move(point.x, point.y);
        EXPECT_EQ(link.GetState() == LINK_HOVER, inside) << point.x << "," << point.y;
        EXPECT_EQ(os.GetCapture() == link.m_hWnd, inside) << point.x << "," << point.y;
    }
}

TEST_F(LinkLabelTest, AShellAnswerOf32OrLessStartsNothingItsMenuCopiesTheUrlOrSavesAShortcutNamedToFitMaxPath) {
    // A shell answer of 32 or less is an error: the link stays, the drive is not opened, help says it failed.
    os.AddDrive('C', DRIVE_FIXED);
    os.AddDrive('D', DRIVE_CDROM);
    os.AddFile("C:\\Program Files\\Vossel\\vossel-help.html", "<html>");
    os.CreateForeignWindow("CabinetWClass", "D:\\", WS_POPUP | WS_VISIBLE, 0, RECT{100, 100, 300, 300});
    os.FailCall("InvokeCommand");
    const std::pair<std::uintptr_t, bool> answers[] = {{0, false},  {2, false}, {31, false},
                                                       {32, false}, {33, true}, {42, true}};
    for (const auto& [answer, started] : answers) {
        os.SetShellExecuteResult(answer);
        os.ClearLogs();
        Click();
        EXPECT_EQ(link.GetState(), started ? LINK_VISITED : LINK_NORMAL) << answer;
        OpenDrive(L"D:\\", L"C:\\WINDOWS\\Explorer.exe /e,\"%1\"", TRUE);
        EXPECT_EQ(os.Sleeps(), (started ? std::vector<DWORD>{800, 250} : std::vector<DWORD>{})) << answer;
        EXPECT_EQ(os.CurrentDirectory(), started ? "D:\\" : "C:\\") << answer;
        EXPECT_EQ(AfxGetApp()->WinHelp("vossel-help.html", ""), started ? TRUE : FALSE) << answer;
        EXPECT_EQ(os.MessageBoxes().size(), started ? 0u : 1u) << answer;
        ASSERT_EQ(os.ShellExecutes().size(), 3u) << answer;
        EXPECT_EQ(os.ShellExecutes()[2].file, "file:///C:/Program%20Files/Vossel/vossel-help.html");
        os.SetCurrentDirectoryW(L"C:\\");
    }
    // Its menu copies the URL, not another program's text in a second format, or saves a shortcut file.
    os.OpenClipboard(nullptr);
    os.SetClipboardData(13 /* CF_UNICODETEXT */, os.GlobalAlloc(GMEM_MOVEABLE, 4));
    os.CloseClipboard();
    link.SendMessage(WM_SETCURSOR);
    EXPECT_EQ(os.CurrentCursor(), os.LoadCursorA(IDC_HAND_CURSOR, FALSE));
    std::vector<HCURSOR> duringMenu;
    os.SetMenuOpenHook([&] {
        link.SendMessage(WM_SETCURSOR);
        duringMenu.push_back(os.CurrentCursor());
    });
    const std::tuple<UINT, const char*, const char*> cases[] = {
        {ID_LINK_COPY_SHORTCUT, kText, nullptr},
        {ID_LINK_ADD_DESKTOP, "see docs/readme", "C:\\users\\user\\Desktop\\readme.URL"},
        {ID_LINK_ADD_FAVORITES, "Home page", "C:\\users\\user\\Favorites\\Home page.URL"},
    };
    for (const auto& [command, text, path] : cases) {
        link.SetText(text);
        os.ChooseMenuItem(command);
        path == nullptr ? Menu(-1, -1) : Menu();  // from the keyboard, then the mouse
        EXPECT_TRUE(path == nullptr || os.FileContent(path) == std::optional<std::string>(kUrl)) << text;
    }
    EXPECT_EQ(os.ClipboardText(), std::optional<std::string>(kUrl));
    EXPECT_EQ(os.ClipboardFormats(), 1u);
    EXPECT_EQ(os.LockedGlobalBlocks(), 0) << "the clipboard gets its block unlocked";
    EXPECT_TRUE(link.CopyShortcut() && link.AddShortcut(CSIDL_FAVORITES));
    EXPECT_EQ(parent.m_nCommands, 0);
    EXPECT_EQ(duringMenu, std::vector<HCURSOR>(3, os.LoadCursorA(32512, TRUE)));
    // The keyboard's menu five pixels in from the corner, the mouse's at the point.
    POINT inset{5, 5};
    os.ClientToScreen(link.m_hWnd, &inset);
    ASSERT_EQ(os.MenuShowings().size(), 3u);
    for (const auto& [menu, at] : {std::pair(os.MenuShowings()[0], inset), {os.MenuShowings()[2], POINT{300, 200}}}) {
        EXPECT_EQ(menu.x * 10000 + menu.y, at.x * 10000 + at.y);
        EXPECT_EQ(menu.owner, link.m_hWnd);
        EXPECT_EQ(menu.flags, static_cast<UINT>(TPM_RIGHTBUTTON));
        EXPECT_EQ(menu.items.at(0).id, static_cast<UINT>(ID_LINK_OPEN));
    }
    // Only (-1, -1) comes from the keyboard: a click on a screen left of or above the primary has -1 in one.
    for (const POINT at : {POINT{-1, 200}, {300, -1}, {-1, -2}, {-2, -1}, {-1, -1}}) {
        os.ChooseMenuItem(0);
        Menu(at.x, at.y);
        const auto& menu = os.MenuShowings().back();
        const POINT expected = at.x == -1 && at.y == -1 ? inset : at;
        EXPECT_EQ(menu.x * 10000 + menu.y, expected.x * 10000 + expected.y) << at.x << "," << at.y;
    }
    // Nothing is copied or saved when a call fails, and the block goes back.
    const std::pair<const char*, bool> failures[] = {{"SetClipboardData", false},
                                                     {"OpenClipboard", false},
                                                     {"SHGetSpecialFolderPathW", true},
                                                     {"CoCreateInstance", true}};
    for (const auto& [call, save] : failures) {
        os.FailCall(call, 1);
        EXPECT_FALSE(save ? link.AddShortcut(CSIDL_DESKTOP) : link.CopyShortcut()) << call;
    }
    EXPECT_FALSE(os.IsClipboardOpen());
    EXPECT_EQ(os.LiveGlobalBlocks(), 0);
    // A shortcut takes what follows the last separator as a file name that fits MAX_PATH.
    const std::pair<const char*, const char*> names[] = {
        {"Reach us: helpdesk", " helpdesk"},
        {"C:\\Tools\\vossel", "_Tools_vossel"},
        // Nothing after the separator: the text before its trailing ones.
        {"http://www.example.org/", "www.example.org"},
        {"What? <Yes>|\"No\"*", "What_ _Yes___No__"},
        {"tab\there", "tab_here"},
        {"///", ""},
        {"http://example.org/日本/📷 Фото?", "📷 Фото_"},
    };
    for (const auto& [text, name] : names) {
        EXPECT_EQ(ShortcutFileName(W(text)), W(name)) << text;
    }
    EXPECT_EQ(ShortcutPath(L"C:\\Desk", L"///"), L"");
    // MAX_PATH counts UTF-16 units: a surrogate pair takes two.
    const std::wstring folder = W("C:\\Рабочий стол\\📷" + std::string(227, 'f'));
    EXPECT_EQ(ShortcutPath(folder, L"abcdefghi").size(), 259u);
    EXPECT_EQ(ShortcutPath(folder, L"abcdefghij"), L"");
}

TEST_F(LinkLabelTest, AShortcutIsSavedInAProfileFolderNamedInAnyScriptWhateverTheCodePage) {
    const char* const folders[] = {"C:\\Users\\Пётр\\Рабочий стол", "C:\\Users\\李\\お気に入り",
                                   "D:\\Профили\\📷 Ωmega"};
    for (const bool doubleByte : {false, true}) {
        os.UseDoubleByteCodePage(doubleByte);
        for (const auto& [command, csidl] :
             {std::pair(ID_LINK_ADD_DESKTOP, CSIDL_DESKTOP), {ID_LINK_ADD_FAVORITES, CSIDL_FAVORITES}}) {
            for (const char* folder : folders) {
                os.SetSpecialFolder(csidl, folder);
                link.SetText("Home page");
                os.ChooseMenuItem(command);
                Menu();
                EXPECT_EQ(os.FilesIn(folder), std::vector<std::string>{"Home page.URL"}) << folder << " " << doubleByte;
                EXPECT_EQ(os.FileContent(std::string(folder) + "\\Home page.URL"), std::optional<std::string>(kUrl))
                    << folder << " " << doubleByte;
                os.SetSpecialFolder(csidl, std::string(folder) + "\\elsewhere");
            }
        }
    }
}

}  // namespace
