// Owners of device contexts and GDI objects: each releases what it holds
// when it goes, and a selection puts the previous object back.
#pragma once

#include <utility>

#include "platform/Os.h"

class PaintDC {
public:
    explicit PaintDC(HWND hwnd) : m_hWnd(hwnd) { m_hDC = Os().win.BeginPaint(hwnd, &m_paint); }
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;
    ~PaintDC() {
        if (m_hDC != nullptr) {
            Os().win.EndPaint(m_hWnd, &m_paint);
        }
    }
    HDC Get() const { return m_hDC; }

private:
    HWND m_hWnd;
    PAINTSTRUCT m_paint{};
    HDC m_hDC = nullptr;
};

class ClientDC {
public:
    explicit ClientDC(HWND hwnd) : m_hWnd(hwnd), m_hDC(Os().win.GetDC(hwnd)) {}
    ClientDC(const ClientDC&) = delete;
    ClientDC& operator=(const ClientDC&) = delete;
    ~ClientDC() {
        if (m_hDC != nullptr) {
            Os().win.ReleaseDC(m_hWnd, m_hDC);
        }
    }
    HDC Get() const { return m_hDC; }

private:
    HWND m_hWnd;
    HDC m_hDC;
};

class MemoryDC {
public:
    explicit MemoryDC(HDC compatible) : m_hDC(Os().gdi.CreateCompatibleDC(compatible)) {}
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    ~MemoryDC() {
        if (m_hDC != nullptr) {
            Os().gdi.DeleteDC(m_hDC);
        }
    }
    HDC Get() const { return m_hDC; }

private:
    HDC m_hDC;
};

// A font, bitmap, pen or brush of our own making.
template <typename Handle>
class GdiObject {
public:
    explicit GdiObject(Handle handle = nullptr) : m_handle(handle) {}
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    ~GdiObject() {
        if (m_handle != nullptr) {
            Os().gdi.DeleteObject(m_handle);
        }
    }
    Handle Get() const { return m_handle; }
    void Swap(GdiObject& other) { std::swap(m_handle, other.m_handle); }

private:
    Handle m_handle;
};

class IconHandle {
public:
    explicit IconHandle(HICON icon) : m_hIcon(icon) {}
    IconHandle(const IconHandle&) = delete;
    IconHandle& operator=(const IconHandle&) = delete;
    ~IconHandle() {
        if (m_hIcon != nullptr) {
            Os().gdi.DestroyIcon(m_hIcon);
        }
    }
    HICON Get() const { return m_hIcon; }

private:
    HICON m_hIcon;
};

class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object)
        : m_hDC(dc), m_hPrevious(dc != nullptr && object != nullptr ? Os().gdi.SelectObject(dc, object) : nullptr) {}
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    ~SelectedObject() {
        if (m_hPrevious != nullptr) {
            Os().gdi.SelectObject(m_hDC, m_hPrevious);
        }
    }

private:
    HDC m_hDC;
    HGDIOBJ m_hPrevious;
};
