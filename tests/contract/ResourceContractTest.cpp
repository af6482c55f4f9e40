// Strings and menus from the program's resources.
#include <cstring>

#include "tests/contract/ContractFixture.h"

namespace {

class ResourceContract : public ContractTest {};

TEST_F(ResourceContract, StringsAreLoadedByIdAndTruncatedToTheBuffer) {
    struct Case {
        UINT id;
        int size;
        int length;
        const char* text;
    };
    const Case cases[] = {
        {IDS_CONTRACT_TEXT, 64, 13, "Contract text"},
        {IDS_CONTRACT_TEXT, 14, 13, "Contract text"},
        {IDS_CONTRACT_TEXT, 5, 4, "Cont"},
        {IDS_CONTRACT_TEXT + 50, 64, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.id << " into " << c.size);
        char buffer[64];
        std::memset(buffer, 0, sizeof(buffer));
        EXPECT_EQ(Os().win.LoadStringA(c.id, buffer, c.size), c.length);
        EXPECT_STREQ(buffer, c.text);
    }
}

TEST_F(ResourceContract, MenuItemsAreCheckedInTheLoadedPopup) {
    const HMENU menu = Os().win.LoadMenuA(IDR_CONTRACT_MENU);
    ASSERT_NE(menu, nullptr);
    const HMENU popup = Os().win.GetSubMenu(menu, 0);
    ASSERT_NE(popup, nullptr);

    // CheckMenuItem answers the item's previous state, or -1 for no such item.
    EXPECT_EQ(Os().win.CheckMenuItem(popup, ID_CONTRACT_FIRST, MF_BYCOMMAND | MF_CHECKED), MF_UNCHECKED);
    EXPECT_EQ(Os().win.CheckMenuItem(popup, ID_CONTRACT_FIRST, MF_BYCOMMAND | MF_CHECKED), MF_CHECKED);
    EXPECT_EQ(Os().win.CheckMenuItem(popup, ID_CONTRACT_FIRST, MF_BYCOMMAND | MF_UNCHECKED), MF_CHECKED);
    EXPECT_EQ(Os().win.CheckMenuItem(popup, ID_CONTRACT_SECOND, MF_BYCOMMAND | MF_CHECKED), MF_UNCHECKED);
    EXPECT_EQ(Os().win.CheckMenuItem(popup, ID_CONTRACT_SECOND + 9, MF_BYCOMMAND | MF_CHECKED), static_cast<DWORD>(-1));
    EXPECT_TRUE(Os().win.DestroyMenu(menu));

    EXPECT_EQ(Os().win.LoadMenuA(IDR_CONTRACT_MENU + 50), nullptr);
}

}  // namespace
