// The owner-drawn push button of the bar: a small picture at its left and
// the drive letter beside it, or the picture alone, centred.
#pragma once

#include "platform/Dialog.h"
#include "platform/Gdi.h"

class CDriveButton : public CButton {
public:
    CDriveButton() = default;
    ~CDriveButton() override;

    // Loads the bitmap resource with `transparent` mapped to the button face
    // (and, for the disabled look, to white), scaled to cx by cy unless it
    // has that size. When either picture fails, the button keeps the ones it had.
    BOOL SetBitmap(UINT bitmapId, int cx, int cy, COLORREF transparent);
    int SetImageMargin(int margin);
    int SetTextGap(int gap);

    void DrawItem(DRAWITEMSTRUCT* item) override;

protected:
    // The arrows and Return come to the button rather than to the dialog
    // manager, and every key but the space bar goes on to the parent as
    // NM_KEYDOWN: the bar knows which button comes next in which direction.
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    // Stores a spacing and repaints; returns the previous value.
    int ChangeSpacing(int* field, int value);
    HBITMAP LoadMappedBitmap(UINT bitmapId, int cx, int cy, COLORREF from, COLORREF to);

    int m_nImageMargin = 4;
    int m_nTextGap = 8;
    GdiObject<HBITMAP> m_hBitmap;
    GdiObject<HBITMAP> m_hBitmapDisabled;
    int m_cxImage = 0;
    int m_cyImage = 0;
    // A focus rectangle stands on the face.
    bool m_bFocusShown = false;
};

// Where DrawItem puts the parts of a button, for a client extent.
struct DriveButtonLayout {
    POINT image;
    POINT text;
};
DriveButtonLayout LayoutDriveButton(SIZE client, SIZE image, bool hasImage, SIZE text, bool hasText, int margin,
                                    int gap, int pushed);
// The focus rectangle's inset: 3, or a quarter of the smaller side when that is at most 15.
int FocusInset(int width, int height);
