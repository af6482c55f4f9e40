#include "tests/support/TestOs.h"

#include <algorithm>
#include <cstring>
#include <ostream>

#include "app/VosselApp.h"
#include "resources/resource.h"

extern CVosselApp theApp;

void RegisterProgramResources(MemoryOs& os) {
    MemoryDialogTemplate bar;
    bar.caption = "Vossel";
    bar.style = 0x96CC0445;
    bar.exStyle = WS_EX_TOOLWINDOW;
    bar.cxClient = kBarClientWidth;
    bar.cyClient = kBarClientHeight;
    bar.controls.push_back({IDC_MENU_BUTTON, "Button", "", 0x5001000B, RECT{0, 0, kBarClientWidth, kBarClientHeight}});
    os.AddDialogTemplate(IDD_BAR, bar);
    os.AddString(IDS_APP_TITLE, "Vossel");
    os.AddString(IDS_COPY_FILES_TO, "Copy selected files to:");
    os.AddString(IDS_MOVE_FILES_TO, "Move selected files to:");
    os.AddMenu(IDR_BAR_MENU, {{ID_ALWAYS_ON_TOP, "Always on &top"},
                              {ID_AUTO_HIDE, "A&uto hide"},
                              {ID_BAR_OPTIONS, "&Options"},
                              {ID_BAR_ABOUT, "&About Vossel"},
                              {0, ""},
                              {ID_BAR_EXIT, "E&xit"}});
    for (UINT id : {IDB_DRIVE_CDROM, IDB_DRIVE_REMOVABLE, IDB_DRIVE_FIXED, IDB_DRIVE_NETWORK, IDB_MENU_BUTTON}) {
        os.AddBitmap(id, 17, 17);
    }
}

OsTest::OsTest() {
    SetOs(&os.Services());
    RegisterProgramResources(os);
    // The application object is process-wide; each test starts it afresh.
    theApp.m_strAppName.clear();
    theApp.m_strRegistryKey = "Quorvane";
    theApp.m_strAppName = "Vossel";
}

OsTest::~OsTest() { SetOs(nullptr); }

bool StoredPlacement(const MemoryOs& os, BARPLACEMENT* placement) {
    const auto value = os.GetRegistryValue(HKEY_CURRENT_USER, kSettingsKey, "State Info");
    if (!value || value->type != REG_BINARY || value->data.size() != sizeof(BARPLACEMENT)) {
        return false;
    }
    std::memcpy(placement, value->data.data(), sizeof(BARPLACEMENT));
    return true;
}

std::string StoredString(const MemoryOs& os, const char* name) {
    const auto value = os.GetRegistryValue(HKEY_CURRENT_USER, kSettingsKey, name);
    if (!value || value->type != REG_SZ || value->data.empty()) {
        return "<absent>";
    }
    // A value written without its terminator ends with its data.
    const auto* text = reinterpret_cast<const char*>(value->data.data());
    return std::string(text, std::find(text, text + value->data.size(), '\0'));
}

void StorePlacement(MemoryOs& os, const BARPLACEMENT& placement) {
    const auto* bytes = reinterpret_cast<const BYTE*>(&placement);
    os.SetRegistryValue(HKEY_CURRENT_USER, kSettingsKey, "State Info", REG_BINARY,
                        std::vector<BYTE>(bytes, bytes + sizeof(placement)));
}

std::ostream& operator<<(std::ostream& out, const RECT& rect) {
    return out << "{" << rect.left << ", " << rect.top << ", " << rect.right << ", " << rect.bottom << "}";
}
