// A bar window on the in-memory Windows, with a few drives.
#pragma once

#include <memory>
#include <vector>

#include "bar/VosselDialog.h"
#include "tests/support/TestOs.h"

class BarTest : public OsTest {
protected:
    BarTest();
    // Creates the bar as the program would, without its modal run.
    CVosselDialog& CreateBar();
    // The rectangle of a child in its parent's client area.
    RECT ChildRect(HWND child);
    void Click(UINT id);
    // Has the bar draw one of its buttons whole; returns the drawing calls.
    std::vector<MemoryOs::GdiCall> Paint(HWND button, UINT state = 0);
    // The tip of a button once the queries it started have answered.
    std::optional<std::string> Tip(HWND button, std::optional<bool> wide = std::nullopt);
    // The keyboard's tip shows below the button, or above it, at its left as
    // far as it fits in the work area of the button's monitor, and within it.
    void ExpectTipBeside(HWND button, bool above);

    std::unique_ptr<CVosselDialog> bar;
};
