#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "actions/DriveDropTarget.h"
#include "platform/OleDropTarget.h"
#include "resources/resource.h"
#include "tests/support/BarFixture.h"

namespace {

TEST(FileList, EveryEntryIsNulTerminatedAndOneMoreNulClosesTheList) {
    for (const size_t count : {size_t{1}, size_t{3}, size_t{10000}}) {
        std::string list;
        size_t expectedSize = 0;
        for (size_t i = 0; i < count; ++i) {
            const std::string path = "C:\\dir\\file" + std::to_string(i) + ".txt";
            AppendListEntry(list, path);
            expectedSize += path.size() + 1;
        }
        ASSERT_EQ(list.size(), expectedSize) << count;
        // Read as the shell reads it: entry after entry up to an empty one.
        const char* entry = list.c_str();
        for (size_t i = 0; i < count; ++i) {
            ASSERT_EQ(std::string(entry), "C:\\dir\\file" + std::to_string(i) + ".txt") << count;
            entry += std::strlen(entry) + 1;
        }
        EXPECT_EQ(*entry, '\0') << count;
        EXPECT_EQ(entry, list.c_str() + list.size()) << count;
    }
}

TEST(FileList, EffectsTheFrameworkShowsForWhatTheSourceAllows) {
    struct Case {
        DROPEFFECT wanted, allowed, shown;
    };
    const Case cases[] = {
        {DROPEFFECT_COPY, DROPEFFECT_COPY | DROPEFFECT_MOVE, DROPEFFECT_COPY},
        {DROPEFFECT_MOVE, DROPEFFECT_COPY, DROPEFFECT_COPY},
        {DROPEFFECT_COPY, DROPEFFECT_MOVE, DROPEFFECT_MOVE},
        {DROPEFFECT_MOVE, DROPEFFECT_LINK, DROPEFFECT_LINK},
        {DROPEFFECT_LINK, DROPEFFECT_COPY, DROPEFFECT_NONE},
        {DROPEFFECT_COPY, DROPEFFECT_NONE, DROPEFFECT_NONE},
        {DROPEFFECT_NONE, DROPEFFECT_COPY, DROPEFFECT_NONE},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FilterDropEffect(c.wanted, c.allowed), c.shown) << c.wanted << " of " << c.allowed;
    }
}

class DropTest : public BarTest {
protected:
    DropTest() {
        os.SetFolderDialogAnswer([this](const MemoryOs::FolderDialog&) { return answer; });
    }

    POINT CentreOf(HWND hwnd) {
        const RECT rect = WindowRect(hwnd);
        return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    }
    HWND Drive(size_t index) { return bar->DriveButtons()[index]->m_hWnd; }

    // Drags from outside the bar to `point` and drops there.
    DROPEFFECT DragAndDrop(IDragData* data, POINT point, DWORD keyState,
                           DROPEFFECT allowed = DROPEFFECT_COPY | DROPEFFECT_MOVE) {
        os.DragTo(data, POINT{500, 500}, keyState | MK_LBUTTON, allowed);
        os.DragTo(data, point, keyState | MK_LBUTTON, allowed);
        return os.DropAt(point, keyState, allowed);
    }

    std::optional<std::string> answer = std::string("D:\\");
};

TEST_F(DropTest, DragOverTheBarOffersCopyOrWithShiftMoveButNothingForDataWithoutFiles) {
    CreateBar();
    MemoryDragData files(os, std::vector<std::string>{"C:\\a.txt"});
    MemoryDragData text(os, std::nullopt);
    struct Case {
        IDragData* data;
        DWORD keyState;
        DROPEFFECT allowed;
        DROPEFFECT shown;
    };
    const DROPEFFECT both = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    const Case cases[] = {
        {&files, MK_LBUTTON, both, DROPEFFECT_COPY},
        {&files, MK_LBUTTON | MK_SHIFT, both, DROPEFFECT_MOVE},
        {&files, MK_LBUTTON | 0x0008 /* MK_CONTROL */, both, DROPEFFECT_COPY},
        {&files, MK_LBUTTON | MK_SHIFT, DROPEFFECT_COPY, DROPEFFECT_COPY},
        {&files, MK_LBUTTON, DROPEFFECT_MOVE, DROPEFFECT_MOVE},
        {&text, MK_LBUTTON, both, DROPEFFECT_NONE},
        {&text, MK_LBUTTON | MK_SHIFT, both, DROPEFFECT_NONE},
    };
    for (const Case& c : cases) {
        const POINT drive = CentreOf(Drive(0));
        EXPECT_EQ(os.DragTo(c.data, drive, c.keyState, c.allowed), c.shown) << "enter " << c.keyState;
        EXPECT_EQ(os.DragTo(c.data, POINT{drive.x + 1, drive.y}, c.keyState, c.allowed), c.shown) << c.keyState;
        os.DragTo(c.data, POINT{500, 500}, c.keyState, c.allowed);  // away again
    }
    EXPECT_EQ(os.LiveDropHandles(), 0);
}

TEST_F(DropTest, TheFolderDialogStartsAtTheDriveUnderTheDrop) {
    CreateBar();
    MemoryDragData files(os, std::vector<std::string>{"C:\\a.txt"});
    const POINT menu = CentreOf(bar->GetDlgItem(IDC_MENU_BUTTON));
    const RECT first = WindowRect(Drive(0));
    struct Case {
        POINT point;
        const char* selection;
    };
    const Case cases[] = {
        {CentreOf(Drive(0)), "C:\\"},
        {CentreOf(Drive(1)), "D:\\"},
        {menu, ""},
        {POINT{first.right + 1, first.top + 2}, ""},  // between two buttons
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DragAndDrop(&files, c.point, 0), DROPEFFECT_NONE);
        ASSERT_FALSE(os.FolderDialogs().empty());
        const MemoryOs::FolderDialog& dialog = os.FolderDialogs().back();
        EXPECT_EQ(dialog.selection, c.selection) << c.point.x;
        EXPECT_EQ(dialog.owner, bar->m_hWnd);
        EXPECT_TRUE(dialog.topmost);
        EXPECT_TRUE(dialog.active);
    }
    EXPECT_EQ(os.FolderDialogs().size(), 4u);
}

TEST_F(DropTest, ShiftMovesUnlessTheSourceOnlyAllowsCopying) {
    CreateBar();
    MemoryDragData files(os, std::vector<std::string>{"C:\\docs\\a.txt"});
    struct Case {
        DWORD keyState;
        DROPEFFECT allowed;
        const char* title;
        UINT func;
    };
    const Case cases[] = {
        {0, DROPEFFECT_COPY | DROPEFFECT_MOVE, "Copy selected files to:", FO_COPY},
        {MK_SHIFT, DROPEFFECT_COPY | DROPEFFECT_MOVE, "Move selected files to:", FO_MOVE},
        {MK_SHIFT, DROPEFFECT_COPY, "Copy selected files to:", FO_COPY},
    };
    for (const Case& c : cases) {
        DragAndDrop(&files, CentreOf(Drive(1)), c.keyState, c.allowed);
        ASSERT_FALSE(os.FileOperations().empty());
        EXPECT_EQ(os.FolderDialogs().back().title, c.title) << c.keyState << " " << c.allowed;
        EXPECT_EQ(os.FileOperations().back().func, c.func) << c.keyState << " " << c.allowed;
        EXPECT_EQ(os.FileOperations().back().flags, FOF_MULTIDESTFILES);
        EXPECT_EQ(os.FileOperations().back().hwnd, bar->m_hWnd);
    }
    EXPECT_EQ(os.LiveDropHandles(), 0);
    EXPECT_EQ(os.LiveItemLists(), 0);
}

TEST_F(DropTest, OneDestinationPerSourceInTheChosenFolder) {
    CreateBar();
    const std::string longPath = "C:\\" + std::string(150, 'd') + "\\" + std::string(200, 'f') + ".txt";
    MemoryDragData files(os, std::vector<std::string>{"C:\\docs\\a.txt", "noslash.txt", "E:\\tree", longPath});
    struct Case {
        const char* chosen;
        std::vector<std::string> to;
    };
    const std::string longName = std::string(200, 'f') + ".txt";
    const Case cases[] = {
        {"D:\\", {"D:\\a.txt", "D:\\tree", "D:\\" + longName}},
        {"E:\\Work", {"E:\\Work\\a.txt", "E:\\Work\\tree", "E:\\Work\\" + longName}},
    };
    for (const Case& c : cases) {
        answer = std::string(c.chosen);
        DragAndDrop(&files, CentreOf(Drive(1)), 0);
        ASSERT_FALSE(os.FileOperations().empty());
        const MemoryOs::FileOperation& operation = os.FileOperations().back();
        EXPECT_EQ(operation.from, (std::vector<std::string>{"C:\\docs\\a.txt", "E:\\tree", longPath}));
        EXPECT_EQ(operation.to, c.to);
    }
}

TEST_F(DropTest, CancellingOrChoosingNoFolderCopiesNothingAndReleasesTheList) {
    CreateBar();
    MemoryDragData files(os, std::vector<std::string>{"C:\\a.txt"});
    for (const std::optional<std::string>& choice : {std::optional<std::string>(), std::optional<std::string>("")}) {
        answer = choice;
        DragAndDrop(&files, CentreOf(Drive(1)), 0);
        EXPECT_TRUE(os.FileOperations().empty());
        EXPECT_EQ(os.LiveDropHandles(), 0);
        EXPECT_EQ(os.LiveItemLists(), 0);
    }
    EXPECT_EQ(os.FolderDialogs().size(), 2u);
}

TEST_F(DropTest, TheFolderDialogSelectsAFolderWithoutItsTrailingBackslashButARootWithIt) {
    struct Case {
        const char* start;
        const char* selection;
    };
    const Case cases[] = {{"D:\\", "D:\\"}, {"E:\\Work\\", "E:\\Work"}, {"E:\\Work", "E:\\Work"}, {"", ""}};
    answer = std::nullopt;
    for (const Case& c : cases) {
        std::string path = c.start;
        EXPECT_EQ(BrowseForFolder(nullptr, path, IDS_COPY_FILES_TO), 2) << c.start;
        EXPECT_EQ(os.FolderDialogs().back().selection, c.selection) << c.start;
        EXPECT_EQ(path, c.selection) << c.start;
    }
    answer = std::string("F:\\Chosen");
    std::string path = "D:\\";
    EXPECT_EQ(BrowseForFolder(nullptr, path, IDS_MOVE_FILES_TO), 1);
    EXPECT_EQ(path, "F:\\Chosen");
    EXPECT_EQ(os.FolderDialogs().back().title, "Move selected files to:");
}

TEST_F(DropTest, DataWithoutFilesDroppedAnywayOpensNothing) {
    CreateBar();
    MemoryDragData text(os, std::nullopt);
    COleDropTarget* target = os.DropTargetOf(bar->m_hWnd);
    ASSERT_NE(target, nullptr);
    const POINT point = CentreOf(Drive(1));
    target->DragEnter(&text, MK_LBUTTON, point, DROPEFFECT_COPY);
    EXPECT_EQ(target->Drop(&text, 0, point, DROPEFFECT_COPY), DROPEFFECT_NONE);
    EXPECT_TRUE(os.FolderDialogs().empty());
    EXPECT_TRUE(os.FileOperations().empty());
}

TEST_F(DropTest, AFailingShellStillReleasesEverything) {
    CreateBar();
    MemoryDragData files(os, std::vector<std::string>{"C:\\a.txt", "C:\\b.txt"});
    struct Case {
        const char* call;
        int skip;
        std::vector<std::string> copied;
    };
    const Case cases[] = {
        {"SHBrowseForFolderA", 0, {}},
        {"SHGetPathFromIDListA", 0, {}},
        {"SHFileOperationA", 0, {}},
        {"DragQueryFileA", 0, {}},             // the count: no items
        {"DragQueryFileA", 1, {"C:\\b.txt"}},  // the first item is left out
        {"GetGlobalData", 0, {}},
    };
    for (const Case& c : cases) {
        const size_t before = os.FileOperations().size();
        os.FailCall(c.call, 1, c.skip);
        DragAndDrop(&files, CentreOf(Drive(1)), 0);
        EXPECT_EQ(os.LiveDropHandles(), 0) << c.call;
        EXPECT_EQ(os.LiveItemLists(), 0) << c.call;
        if (c.copied.empty()) {
            EXPECT_EQ(os.FileOperations().size(), before) << c.call;
        } else {
            ASSERT_EQ(os.FileOperations().size(), before + 1) << c.call;
            EXPECT_EQ(os.FileOperations().back().from, c.copied);
        }
    }
}

TEST_F(DropTest, DroppedFilesMessageUsesTheCursorAndShiftOfThatMoment) {
    CreateBar();
    for (const bool shift : {false, true}) {
        os.SetCursorPos(CentreOf(Drive(0)));
        os.SetKeyDown(VK_SHIFT, shift);
        const HDROP drop = os.CreateDropFiles({"D:\\x\\report.doc"});
        os.SendMessageA(bar->m_hWnd, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
        ASSERT_FALSE(os.FileOperations().empty());
        EXPECT_EQ(os.FolderDialogs().back().selection, "C:\\");
        EXPECT_EQ(os.FileOperations().back().func, shift ? FO_MOVE : FO_COPY);
        EXPECT_EQ(os.LiveDropHandles(), 0);
    }
}

TEST_F(DropTest, ADropLeavesTheBarTopmostAndADragSlidesAHiddenBarOut) {
    StorePlacement(os, BARPLACEMENT{sizeof(BARPLACEMENT), ABE_TOP, TRUE, FALSE, {34, 21, 34, 21}, {0, 0, 60, 40}});
    CreateBar();
    ASSERT_TRUE(bar->GetPlacement().bAutoHide);
    const LONG hidden = WindowRect(bar->m_hWnd).bottom;
    MemoryDragData files(os, std::vector<std::string>{"C:\\a.txt"});
    os.DragTo(&files, POINT{300, 0}, MK_LBUTTON, DROPEFFECT_COPY);
    EXPECT_GT(WindowRect(bar->m_hWnd).bottom, hidden);
    EXPECT_EQ(os.GetWindowLongA(bar->m_hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    os.DropAt(CentreOf(Drive(0)), 0, DROPEFFECT_COPY);
    EXPECT_NE(os.GetWindowLongA(bar->m_hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
}

TEST_F(DropTest, TheBarIsATargetForItsLifeOnly) {
    CreateBar();
    EXPECT_EQ(os.LiveDropTargets(), 1);
    EXPECT_EQ(os.DropTargetOf(Drive(0)), os.DropTargetOf(bar->m_hWnd));
    bar->DestroyWindow();
    EXPECT_EQ(os.LiveDropTargets(), 0);

    os.FailCall("RegisterDragDrop", 1);
    CreateBar();
    EXPECT_EQ(os.LiveDropTargets(), 0);
    MemoryDragData files(os, std::vector<std::string>{"C:\\a.txt"});
    EXPECT_EQ(os.DragTo(&files, CentreOf(Drive(0)), MK_LBUTTON, DROPEFFECT_COPY), DROPEFFECT_NONE);
}

TEST_F(DropTest, DropsAndTipsStillWorkAfterAnAgreedLogoff) {
    CreateBar();
    ASSERT_EQ(os.SendMessageA(bar->m_hWnd, WM_QUERYENDSESSION, 0, 0), TRUE);
    MemoryDragData files(os, std::vector<std::string>{"C:\\a.txt"});
    DragAndDrop(&files, CentreOf(Drive(1)), 0);
    ASSERT_EQ(os.FileOperations().size(), 1u);
    EXPECT_EQ(os.FolderDialogs().back().selection, "D:\\");
    EXPECT_EQ(os.HoverToolTip(Drive(0), false), std::optional<std::string>("(SYSTEM) C:\\"));
}

}  // namespace
