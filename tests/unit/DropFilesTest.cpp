
#include <algorithm>
#include <array>
#include <tuple>

#include "actions/DriveDropTarget.h"
#include "platform/OleDropTarget.h"
#include "resources/resource.h"
#include "tests/support/BarFixture.h"

namespace {

constexpr DROPEFFECT kBoth = DROPEFFECT_COPY | DROPEFFECT_MOVE;

class DropTest : public BarTest {
protected:
    DropTest() {
        os.SetFolderDialogAnswer([this](const MemoryOs::FolderDialog& dialog) {
            shown = WindowRect(dialog.hwnd);
            return answer;
        });
        CreateBar();
    }
    POINT CentreOf(HWND hwnd) {
        const RECT rect = WindowRect(hwnd);
        return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    }
    POINT Drive(size_t index) { return CentreOf(bar->DriveButtons().at(index)->m_hWnd); }
    DROPEFFECT DragAndDrop(IDragData* data, POINT point, DWORD keyState = 0, DROPEFFECT allowed = kBoth) {
        os.DragTo(data, POINT{500, 500}, keyState | MK_LBUTTON, allowed);
        os.DragTo(data, point, keyState | MK_LBUTTON, allowed);
        return os.DropAt(point, keyState, allowed);
    }

    std::optional<std::string> answer = std::string("D:\\");
    RECT shown{};  // the folder dialog's rectangle when the user answers it
    MemoryDragData files{os, std::vector<std::string>{"C:\\a.txt"}};
    MemoryDragData text{os, std::nullopt};
};

TEST_F(DropTest, EachDragEventTheDropAndDroppedFilesTakeCopyOrWithShiftMoveAsFarAsTheSourceAllowsAndOnlyForFiles) {
    constexpr DROPEFFECT kCopy = DROPEFFECT_COPY, kMove = DROPEFFECT_MOVE, kLink = DROPEFFECT_LINK;
    // What the source allows: the effect without Shift, and with it.
    const std::tuple<DROPEFFECT, DROPEFFECT, DROPEFFECT> rules[] = {
        {kBoth, kCopy, kMove},         {kCopy, kCopy, kCopy},         {kMove, kMove, kMove},         {kLink, 0, 0},
        {kCopy | kLink, kCopy, kCopy}, {kMove | kLink, kMove, kMove}, {kBoth | kLink, kCopy, kMove}, {0, 0, 0},
    };
    for (const auto& [allowed, plain, shifted] : rules) {
        for (const DWORD others : {0x0u, 0x0008u /* MK_CONTROL */, 0x0002u /* MK_RBUTTON */, 0x0018u}) {
            for (const DWORD shift : {0x0u, static_cast<DWORD>(MK_SHIFT)}) {
                const DWORD keys = others | shift;
                const DROPEFFECT effect = shift != 0 ? shifted : plain;
                const size_t dialogs = os.FolderDialogs().size();
                for (IDragData* data : {static_cast<IDragData*>(&files), static_cast<IDragData*>(&text)}) {
                    const DROPEFFECT shown = data == &files ? effect : DROPEFFECT_NONE;
                    const std::string what = std::to_string(allowed) + " keys " + std::to_string(keys);
                    EXPECT_EQ(os.DragTo(data, Drive(0), keys | MK_LBUTTON, allowed), shown) << "enter " << what;
                    EXPECT_EQ(os.DragTo(data, POINT{Drive(0).x + 1, Drive(0).y}, keys | MK_LBUTTON, allowed), shown)
                        << "over " << what;
                    EXPECT_EQ(os.DropAt(Drive(0), keys, allowed), DROPEFFECT_NONE);
                }
                ASSERT_EQ(os.FolderDialogs().size() - dialogs, effect != 0 ? 1u : 0u) << allowed << " " << keys;
                if (effect != 0) {
                    EXPECT_EQ(os.FileOperations().back().func, effect == kMove ? FO_MOVE : FO_COPY) << allowed;
                }
            }
        }
    }
    // Told to drop what the drag was refused, the bar takes nothing.
    COleDropTarget* target = os.DropTargetOf(bar->m_hWnd);
    const size_t dialogs = os.FolderDialogs().size();
    for (const auto& [data, allowed] : {std::pair<IDragData*, DROPEFFECT>(&text, kCopy), {&files, kLink}}) {
        target->DragEnter(data, MK_LBUTTON, Drive(1), allowed);
        EXPECT_EQ(target->Drop(data, 0, Drive(1), allowed), DROPEFFECT_NONE);
    }
    EXPECT_EQ(os.FolderDialogs().size(), dialogs);
    EXPECT_EQ(os.LiveDropHandles(), 0);
    // Dropped files take the cursor and Shift of that moment.
    for (const bool shift : {false, true}) {
        os.SetCursorPos(Drive(0));
        os.SetKeyDown(VK_SHIFT, shift);
        os.SendMessageA(bar->m_hWnd, WM_DROPFILES, reinterpret_cast<WPARAM>(os.CreateDropFiles({"D:\\x.doc"})), 0);
        EXPECT_EQ(os.FolderDialogs().back().selection, "C:\\");
        EXPECT_EQ(os.FileOperations().back().func, shift ? FO_MOVE : FO_COPY);
        EXPECT_EQ(os.LiveDropHandles(), 0);
    }
}

TEST_F(DropTest, ADropAsksForAFolderFromTheDriveUnderItCopiesOrMovesEachFileThereAndAFailingShellReleasesAll) {
    const std::string longName = std::string(200, 'f') + ".txt";
    const std::string longPath = "C:\\" + std::string(150, 'd') + "\\" + longName;
    MemoryDragData many(os, std::vector<std::string>{"C:\\docs\\a.txt", "noslash.txt", "E:\\tree", longPath});
    const RECT first = WindowRect(bar->DriveButtons().at(0)->m_hWnd);
    const std::tuple<POINT, DWORD, DROPEFFECT, std::optional<std::string>, const char*, UINT> cases[] = {
        {Drive(0), 0, kBoth, "D:\\", "C:\\", FO_COPY},
        {Drive(1), MK_SHIFT, kBoth, "E:\\Work", "D:\\", FO_MOVE},
        {CentreOf(bar->GetDlgItem(IDC_MENU_BUTTON)), 0, kBoth, std::nullopt, "", 0},  // 0: nothing copied
        {POINT{first.right + 1, first.top + 2}, 0, kBoth, "", "", 0},                 // between two buttons
    };
    // Another program's drive-like child in front of the bar is no drive of it, nor a child of the bar's
    // own with the id a button past the drives would have.
    const HWND other = os.CreateForeignWindow("Other", "", WS_POPUP | WS_VISIBLE, WS_EX_TOPMOST, first);
    os.CreateWindowExA(0, "Button", "Z:", WS_CHILD | WS_VISIBLE, 0, 0, 20, 20, other, IDC_FIRST_DRIVE, nullptr);
    EXPECT_EQ(DropStartPath(bar->Drives(), POINT{first.left + 1, first.top + 1}), L"");
    os.DestroyWindow(other);
    const HWND past = os.CreateWindowExA(0, "Button", "Z:", WS_CHILD | WS_VISIBLE, 600, 1, 20, 10, bar->m_hWnd,
                                         IDC_FIRST_DRIVE + 2, nullptr);
    EXPECT_EQ(DropStartPath(bar->Drives(), CentreOf(past)), L"");
    os.DestroyWindow(past);
    const RECT barRect = WindowRect(bar->m_hWnd);
    for (const auto& [point, keys, allowed, chosen, selection, func] : cases) {
        answer = chosen;
        const size_t before = os.FileOperations().size();
        EXPECT_EQ(DragAndDrop(&many, point, keys, allowed), DROPEFFECT_NONE);
        const MemoryOs::FolderDialog& dialog = os.FolderDialogs().back();
        EXPECT_EQ(dialog.selection, selection) << point.x;
        EXPECT_EQ(dialog.title, func == FO_MOVE ? "Move selected files to:" : "Copy selected files to:");
        EXPECT_TRUE(dialog.owner == bar->m_hWnd && dialog.topmost && dialog.active);
        // Brought to the top where and as large as the shell made it; the bar stays as it is too.
        EXPECT_EQ(shown, (RECT{200, 150, 520, 510}));
        EXPECT_EQ(WindowRect(bar->m_hWnd), barRect);
        ASSERT_EQ(os.FileOperations().size() - before, func == 0 ? 0u : 1u) << point.x;
        if (func != 0) {
            const MemoryOs::FileOperation& operation = os.FileOperations().back();
            EXPECT_EQ(operation.func, func);
            EXPECT_EQ(operation.flags, FOF_MULTIDESTFILES);
            EXPECT_EQ(operation.hwnd, bar->m_hWnd);
            EXPECT_EQ(operation.from, (std::vector<std::string>{"C:\\docs\\a.txt", "E:\\tree", longPath}));
            const std::string in = *chosen == "D:\\" ? "D:\\" : *chosen + "\\";
            EXPECT_EQ(operation.to, (std::vector<std::string>{in + "a.txt", in + "tree", in + longName}));
        }
    }
    answer = "D:\\";
    MemoryDragData two(os, std::vector<std::string>{"C:\\a.txt", "C:\\b.txt"});
    // Failing the count of DragQueryFileW drops no items; failing its first item leaves that one out.
    const std::tuple<const char*, int, std::vector<std::string>> failures[] = {
        {"SHBrowseForFolderW", 0, {}}, {"SHGetPathFromIDListW", 0, {}},      {"SHFileOperationW", 0, {}},
        {"DragQueryFileW", 0, {}},     {"DragQueryFileW", 1, {"C:\\b.txt"}}, {"GetGlobalData", 0, {}}};
    for (const auto& [call, skip, copied] : failures) {
        const size_t before = os.FileOperations().size();
        os.FailCall(call, 1, skip);
        DragAndDrop(&two, Drive(1));
        EXPECT_EQ(os.LiveDropHandles() + os.LiveItemLists(), 0) << call;
        ASSERT_EQ(os.FileOperations().size() - before, copied.empty() ? 0u : 1u) << call;
        EXPECT_TRUE(copied.empty() || os.FileOperations().back().from == copied) << call;
    }
    // No folder chosen: 2, and the start path without a trailing backslash, unless a root's.
    const std::pair<const wchar_t*, const wchar_t*> starts[] = {
        {L"D:\\Work\\", L"D:\\Work"}, {L"D:x\\", L"D:x"}, {L"D:\\", L"D:\\"}, {L"\\", L"\\"}, {L"", L""}};
    for (const char* call : {"SHBrowseForFolderW", "SHGetPathFromIDListW"}) {
        for (const auto& [start, kept] : starts) {
            os.FailCall(call, 1);
            std::wstring path = start;
            EXPECT_EQ(BrowseForFolder(bar->m_hWnd, path, IDS_COPY_FILES_TO), 2) << call;
            EXPECT_EQ(path, kept) << call << " " << Utf8FromUtf16(start);
        }
    }
}

TEST_F(DropTest, NamesInAnyScriptGoWholeToTheShellAndNamesItWouldMisreadAreLeftOutCountedAndAskNothingAlone) {
    const std::vector<std::string> kept = {"C:\\Ωmega.txt", "C:\\Фото 日本.txt", "C:\\📷\\снимок", "C:\\d\\..name",
                                           "\\\\server\\share\\f"};
    // Wildcards, '/', "." and "..", a drive root, a folder's trailing backslash, no backslash at all, nothing.
    const std::vector<std::string> refused = {"C:\\?mega.txt", "C:\\*.txt", "C:\\a/b.txt", "C:\\d\\.", "C:\\d\\..",
                                              "D:\\",          "C:\\d\\",   "noslash",     ""};
    const auto drop = [this](const std::vector<std::string>& paths) {
        return ProcessDrop(*bar, bar->Drives(), os.CreateDropFiles(paths), Drive(1), TRUE);
    };
    for (const std::string& path : refused) {
        const size_t dialogs = os.FolderDialogs().size();
        EXPECT_EQ(drop({path}), 1u) << path;
        EXPECT_EQ(os.FolderDialogs().size(), dialogs) << path;
    }
    std::vector<std::string> all = refused;
    all.insert(all.begin() + 3, kept.begin(), kept.end());
    EXPECT_EQ(drop(all), refused.size());
    ASSERT_EQ(os.FileOperations().size(), 1u);
    EXPECT_EQ(os.FileOperations().back().from, kept);
    EXPECT_EQ(os.FileOperations().back().to,
              (std::vector<std::string>{"D:\\Ωmega.txt", "D:\\Фото 日本.txt", "D:\\снимок", "D:\\..name", "D:\\f"}));
    // A drop of no items asks for no folder either.
    const size_t dialogs = os.FolderDialogs().size();
    EXPECT_EQ(drop({}), 0u);
    EXPECT_EQ(os.FolderDialogs().size(), dialogs);
    EXPECT_EQ(os.FileOperations().size(), 1u);
    EXPECT_EQ(os.LiveDropHandles(), 0);
}

// A framework target: enters once, moves over after, is told of leaving; without a drop answer, OnDrop runs.
class RecordingTarget : public COleDropTarget {
public:
    DROPEFFECT OnDragEnter(CWnd*, COleDataObject*, DWORD, POINT) override { return Note("enter"); }
    DROPEFFECT OnDragOver(CWnd*, COleDataObject*, DWORD, POINT) override { return Note("over"); }
    void OnDragLeave(CWnd*) override { Note("leave"); }
    BOOL OnDrop(CWnd*, COleDataObject*, DROPEFFECT effect, POINT) override {
        return Note("drop " + std::to_string(effect));
    }
    DROPEFFECT Note(const std::string& event) {
        m_strLog += event + "; ";
        return m_dwAnswer;
    }
    std::string m_strLog;
    DROPEFFECT m_dwAnswer = DROPEFFECT_COPY;
};

TEST(DropEffectTest, WhatATargetWantsIsShownAsFarAsTheSourceAllowsItCopyAndMoveStandingInForEachOtherThenLink) {
    constexpr DROPEFFECT kScroll = DROPEFFECT_SCROLL;
    // The effect shown for each set of effects the source allows: none, copy, move, both, link, and
    // link with copy, with move, with both.
    const std::pair<DROPEFFECT, std::array<DROPEFFECT, 8>> rules[] = {
        {0, {0, 0, 0, 0, 0, 0, 0, 0}},
        {1, {0, 1, 2, 1, 4, 1, 2, 1}},
        {2, {0, 1, 2, 2, 4, 1, 2, 2}},
        {4, {0, 0, 0, 0, 4, 4, 4, 4}},
        {3, {0, 3, 3, 3, 0, 3, 3, 3}},
        {kScroll | 1, {0, kScroll | 1, kScroll | 2, kScroll | 1, kScroll | 4, kScroll | 1, kScroll | 2, kScroll | 1}},
        {kScroll | 2, {0, kScroll | 1, kScroll | 2, kScroll | 2, kScroll | 4, kScroll | 1, kScroll | 2, kScroll | 2}},
    };
    for (const auto& [wanted, shown] : rules) {
        for (DROPEFFECT allowed = 0; allowed < 8; ++allowed) {
            EXPECT_EQ(FilterDropEffect(wanted, allowed), shown[allowed]) << wanted << " of " << allowed;
        }
    }
}

TEST_F(DropTest, TheFrameworkEntersOnceMovesOverLeavesAndDropsThroughOnDropADropLeavesTheBarTopmostAndSlidesItOut) {
    CWnd window;
    os.CreateWindowExA(0, "Target", "", WS_POPUP | WS_VISIBLE, 600, 400, 100, 100, nullptr, 0, &window);
    RecordingTarget target;
    ASSERT_TRUE(target.Register(&window));
    for (const POINT point : {POINT{610, 410}, POINT{620, 420}, POINT{100, 700}, POINT{610, 410}}) {
        os.DragTo(&files, point, MK_LBUTTON, kBoth);
    }
    EXPECT_EQ(os.DropAt(POINT{610, 410}, 0, kBoth), DROPEFFECT_COPY);
    EXPECT_EQ(target.m_strLog, "enter; over; leave; enter; over; over; drop 1; ");
    // Every drag event and the drop show the framework's answer for what the source allows.
    for (const DROPEFFECT answer : {DROPEFFECT_COPY, DROPEFFECT_MOVE, DROPEFFECT_LINK}) {
        target.m_dwAnswer = answer;
        for (DROPEFFECT allowed = 1; allowed < 8; ++allowed) {
            const DROPEFFECT shown = FilterDropEffect(answer, allowed);
            target.m_strLog.clear();
            EXPECT_EQ(os.DragTo(&files, POINT{610, 410}, MK_LBUTTON, allowed), shown) << answer << " of " << allowed;
            EXPECT_EQ(os.DragTo(&files, POINT{620, 420}, MK_LBUTTON, allowed), shown) << answer << " of " << allowed;
            EXPECT_EQ(os.DropAt(POINT{620, 420}, 0, allowed), shown) << answer << " of " << allowed;
            // The release moves over the target once more before it drops or leaves.
            const std::string end = shown != 0 ? "over; drop " + std::to_string(shown) + "; " : "leave; ";
            EXPECT_EQ(target.m_strLog, "enter; over; over; " + end) << answer << " of " << allowed;
        }
    }
    target.m_dwAnswer = DROPEFFECT_COPY;
    StorePlacement(os, BARPLACEMENT{sizeof(BARPLACEMENT), ABE_TOP, TRUE, FALSE, {34, 21, 34, 21}, {0, 0, 60, 40}});
    CreateBar();
    const LONG hidden = WindowRect(bar->m_hWnd).bottom;
    os.DragTo(&files, POINT{300, 0}, MK_LBUTTON, DROPEFFECT_COPY);
    EXPECT_GT(WindowRect(bar->m_hWnd).bottom, hidden);
    EXPECT_EQ(os.GetWindowLongA(bar->m_hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    os.DropAt(Drive(0), 0, DROPEFFECT_COPY);
    EXPECT_NE(os.GetWindowLongA(bar->m_hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    // Put on top where it stands, at any edge or floating, with the drive under the drop selected.
    for (const int edge : {static_cast<int>(ABE_BOTTOM), static_cast<int>(ABE_RIGHT), EDGE_FLOATING}) {
        StorePlacement(os,
                       BARPLACEMENT{sizeof(BARPLACEMENT), edge, FALSE, FALSE, {34, 21, 34, 21}, {300, 200, 400, 240}});
        CreateBar();
        const RECT before = WindowRect(bar->m_hWnd);
        DragAndDrop(&files, Drive(0));
        EXPECT_EQ(os.FolderDialogs().back().selection, "C:\\") << edge;
        EXPECT_EQ(WindowRect(bar->m_hWnd), before) << edge;
        EXPECT_NE(os.GetWindowLongA(bar->m_hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST, 0) << edge;
    }
}

TEST_F(DropTest, TheBarIsATargetForItsLifeOnlyAndAfterAnAgreedLogoffWhichAloneSavesAndTipsNameEachDriveAlike) {
    // A session end refused by the default processing saves nothing.
    os.FailCall("WM_QUERYENDSESSION", 1);
    EXPECT_EQ(os.SendMessageA(bar->m_hWnd, WM_QUERYENDSESSION, 0, 0), FALSE);
    EXPECT_FALSE(os.GetRegistryValue(HKEY_CURRENT_USER, kSettingsKey, "State Info").has_value());
    ASSERT_EQ(os.SendMessageA(bar->m_hWnd, WM_QUERYENDSESSION, 0, 0), TRUE);
    EXPECT_TRUE(os.GetRegistryValue(HKEY_CURRENT_USER, kSettingsKey, "State Info").has_value());
    DragAndDrop(&files, Drive(1));
    EXPECT_EQ(os.FileOperations().size(), 1u);
    EXPECT_EQ(os.HoverToolTip(bar->DriveButtons().at(0)->m_hWnd, false), std::optional<std::string>("(SYSTEM) C:\\"));
    EXPECT_EQ(os.DropTargetOf(bar->DriveButtons().at(0)->m_hWnd), os.DropTargetOf(bar->m_hWnd));
    bar->DestroyWindow();
    EXPECT_EQ(os.LiveDropTargets(), 0);
    os.FailCall("RegisterDragDrop", 1);
    CreateBar();
    EXPECT_EQ(os.LiveDropTargets(), 0);
    EXPECT_EQ(os.DragTo(&files, Drive(0), MK_LBUTTON, DROPEFFECT_COPY), DROPEFFECT_NONE);
    // Tips name each drive alike, narrow or wide, whatever window is active, with one tool per child.
    os.SetActiveWindow(os.CreateForeignWindow("Other", "Editor", WS_POPUP | WS_VISIBLE, 0, RECT{0, 0, 40, 30}));
    const auto tip = [this](size_t drive, bool wide) {
        return os.HoverToolTip(bar->DriveButtons().at(drive)->m_hWnd, wide);
    };
    for (const bool wide : {false, true}) {
        EXPECT_EQ(tip(0, wide), std::optional<std::string>("(SYSTEM) C:\\"));
        EXPECT_EQ(tip(1, wide), std::optional<std::string>("(CD-ROM) D:\\"));
    }
    EXPECT_EQ(os.HoverToolTip(bar->GetDlgItem(IDC_MENU_BUTTON), false), std::nullopt);
    // A tip shows above the always-on-top bar, also after the bar has put itself on top again.
    const auto place = [this](HWND hwnd) {
        const std::vector<HWND> order = os.TopLevelZOrder();
        return std::find(order.begin(), order.end(), hwnd) - order.begin();
    };
    os.NotifyAppBars(ABN_POSCHANGED, 0);
    ASSERT_LT(place(bar->m_hWnd), place(bar->m_hWndToolTip));
    tip(1, false);
    EXPECT_LT(place(bar->m_hWndToolTip), place(bar->m_hWnd));
    // The label is read again each time a tip shows; outside the code page it comes whole only in the
    // wide form, which the bar has its tips ask for.
    os.AddDrive('C', DRIVE_FIXED, std::string("Фото 📷"));
    EXPECT_EQ(tip(0, false), std::optional<std::string>("(???? ?) C:\\"));
    EXPECT_EQ(os.HoverToolTip(bar->DriveButtons().at(0)->m_hWnd), std::optional<std::string>("(Фото 📷) C:\\"));
    EXPECT_TRUE(bar->EnableToolTips());  // again: nothing more
    EXPECT_EQ(os.LiveToolTipTools(), 3);
    bar->DestroyWindow();
    EXPECT_EQ(os.LiveToolTipTools(), 0);
    // Without its tooltip control the bar still comes up whole.
    os.FailCall("CreateWindowExA", 1, 4);  // the dialog, its button and two drives come first
    CreateBar();
    EXPECT_EQ(tip(0, false), std::nullopt);
    EXPECT_EQ(bar->DriveButtons().size(), 2u);
}

}  // namespace
