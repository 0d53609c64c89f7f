// Move-only owners of GDI objects and drawing contexts, and a scoped
// selection that puts the previous object back. Resource icons and cursors
// are shared by the system and have no owner here.
#pragma once

#include <windows.h>

#include <utility>

// Owns one GDI object (font, bitmap, brush, pen) and deletes it once.
template <typename Handle>
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(Handle handle) : m_handle(handle) {}
    ~GdiObject() { Reset(); }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    GdiObject(GdiObject&& other) noexcept : m_handle(other.Take()) {}
    GdiObject& operator=(GdiObject&& other) noexcept
    {
        if (this != &other)
            Reset(other.Take());
        return *this;
    }

    Handle Get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }
    Handle Take() { return std::exchange(m_handle, nullptr); }
    void Reset(Handle handle = nullptr)
    {
        if (m_handle)
            ::DeleteObject(m_handle);
        m_handle = handle;
    }

private:
    Handle m_handle = nullptr;
};

using FontHandle = GdiObject<HFONT>;
using BitmapHandle = GdiObject<HBITMAP>;
using BrushHandle = GdiObject<HBRUSH>;

// A memory drawing context compatible with another one; null when the
// system cannot make one.
class MemoryDC {
public:
    explicit MemoryDC(HDC compatible) : m_dc(::CreateCompatibleDC(compatible)) {}
    ~MemoryDC()
    {
        if (m_dc)
            ::DeleteDC(m_dc);
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;

    HDC Get() const { return m_dc; }
    explicit operator bool() const { return m_dc != nullptr; }

private:
    HDC m_dc;
};

// The drawing context of a window's client area (GetDC / ReleaseDC).
class WindowDC {
public:
    explicit WindowDC(HWND window) : m_window(window), m_dc(::GetDC(window)) {}
    ~WindowDC()
    {
        if (m_dc)
            ::ReleaseDC(m_window, m_dc);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;

    HDC Get() const { return m_dc; }
    explicit operator bool() const { return m_dc != nullptr; }

private:
    HWND m_window;
    HDC m_dc;
};

// One paint cycle of a window (BeginPaint / EndPaint).
class PaintDC {
public:
    explicit PaintDC(HWND window) : m_window(window) { m_dc = ::BeginPaint(window, &m_paint); }
    ~PaintDC() { ::EndPaint(m_window, &m_paint); }
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;

    HDC Get() const { return m_dc; }
    const PAINTSTRUCT& Paint() const { return m_paint; }

private:
    HWND m_window;
    PAINTSTRUCT m_paint = {};
    HDC m_dc = nullptr;
};

// Selects an object into a context and selects the previous one back at the end.
class SelectObjectScope {
public:
    SelectObjectScope(HDC dc, HGDIOBJ object) : m_dc(dc), m_previous(::SelectObject(dc, object)) {}
    ~SelectObjectScope()
    {
        if (m_previous && m_previous != HGDI_ERROR)
            ::SelectObject(m_dc, m_previous);
    }
    SelectObjectScope(const SelectObjectScope&) = delete;
    SelectObjectScope& operator=(const SelectObjectScope&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};
