#include "app/VosselApp.h"

#include "bar/VosselDialog.h"
#include "resources/resource.h"

CVosselApp theApp;

BOOL CVosselApp::InitInstance() {
    SetRegistryKey("Quorvane");

    // Any top-level window titled exactly like the bar means a copy runs.
    const std::string title = LoadResourceString(IDS_APP_TITLE);
    if (Os().win.FindWindowA(nullptr, title.c_str()) == nullptr) {
        CVosselDialog bar;
        bar.DoModal();
        // The bar initialises OLE once it is shown; its drop target is revoked by now.
        if (bar.OleInitialised()) {
            Os().sys.OleUninitialize();
        }
    }
    return FALSE;
}

BOOL CVosselApp::OnHelp(DWORD context) {
    // The page has a section for each dialog that offers help.
    const char* topic = context == HID_BASE_RESOURCE + IDD_OPTIONS ? "options" : "";
    WinHelp("vossel-help.html", topic);
    return TRUE;
}
