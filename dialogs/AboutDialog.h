// The About dialog: name and version, the program icon doubled in a framed
// picture, two links to the maker and four lines of system information.
#pragma once

#include "bar/VolumeQueries.h"
#include "dialogs/LinkLabel.h"
#include "platform/Dialog.h"

// The icon picture's figures at a scale: the icon's size, the shadow's
// width and the square picture's side, 72 at 96 DPI.
struct IconPicture {
    int icon;
    int shadow;
    int size;
};
IconPicture IconPictureForDpi(UINT dpi);

// The program icon at twice its size, framed, with a drop shadow.
class CIconButton : public CButton {
public:
    ~CIconButton() override;
    void DrawItem(DRAWITEMSTRUCT* item) override;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
};

class CAboutDialog : public CDialog {
public:
    explicit CAboutDialog(CWnd* parent = nullptr);
    ~CAboutDialog() override;

    BOOL OnInitDialog() override;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void ShowDiskLine();

    CLinkLabel m_webLink;
    CLinkLabel m_mailLink;
    CIconButton m_iconButton;
    // The free space of the current folder's drive comes when its query is
    // done, or reads "Unavailable" once the query is past its deadline.
    CVolumeQueries m_volumes;
    std::wstring m_strDiskRoot;
};
