// A read-only edit control of a dialog turned into a web-style link: link
// colours, underlined, a hand cursor, a hover colour, a click that opens the
// URL, and a menu to open, copy or save it as an Internet shortcut.
#pragma once

#include <string>

#include "platform/Dialog.h"

constexpr int LINK_NORMAL = 0;
constexpr int LINK_VISITED = 1;
constexpr int LINK_HOVER = 2;

// The name of the shortcut file for a link showing `text`: what follows its
// last '/', else its last ':', else its last '\'; when that is nothing, the
// same taken from the text without its trailing separators. Characters that
// file names cannot hold become '_'. Empty when no name is left.
std::wstring ShortcutFileName(const std::wstring& text);
// `folder`\<name>.URL, or empty when there is no name or the path would not
// fit in MAX_PATH.
std::wstring ShortcutPath(const std::wstring& folder, const std::wstring& text);

class CLinkLabel : public CEdit {
public:
    ~CLinkLabel() override;

    void SetLink(const std::string& url, const std::string& text, BOOL autoSize);
    void SetUrl(const std::string& url) { m_strUrl = url; }
    void SetText(const std::string& text);
    void SizeToText();
    void SetShadow(BOOL on);
    void SetHover(BOOL on);
    BOOL Navigate();
    BOOL CopyShortcut();
    BOOL AddShortcut(int folderId);
    BOOL SaveShortcutFile(const std::wstring& path);

    int GetState() const { return m_nState; }
    const std::string& GetUrl() const { return m_strUrl; }
    const std::string& GetText() const { return m_strText; }

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    BOOL OnCmdMsg(UINT id, int code) override;

private:
    void OnMouseMove(POINT pt);
    LRESULT OnEraseBkgnd(HDC dc);
    void OnPaint();
    void OnContextMenu(POINT pt);
    void OnOpenLink();
    // The control's font, underlined when the link is; null when it has none.
    HFONT CreateDrawingFont();
    void ReleaseOwnCapture();

    std::string m_strText;
    std::string m_strUrl;
    COLORREF m_crNormal = RGB(0, 0, 238);
    COLORREF m_crVisited = RGB(85, 26, 139);
    BOOL m_bAutoSize = TRUE;
    BOOL m_bTrackHover = TRUE;
    COLORREF m_crHover = RGB(255, 0, 0);
    int m_nState = LINK_NORMAL;
    BOOL m_bUnderline = TRUE;
    BOOL m_bShadow = TRUE;
    int m_nStateBeforeHover = LINK_NORMAL;
    BOOL m_bMenuActive = FALSE;
};
