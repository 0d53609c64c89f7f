// CWnd: a thin wrapper that owns nothing but one window handle. A derived
// class gets its behaviour by subclassing an existing window and routing
// messages in its WindowProc to handlers named after what they serve;
// whatever it does not handle goes to the window's previous procedure.
#pragma once

#include <windows.h>

#include <string>

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;
    HWND GetSafeHwnd() const { return m_hWnd; }

    // The object attached to a window by SubclassWindow or a dialog, if any.
    static CWnd* FromHandlePermanent(HWND window);

    // Attaches to an existing window: PreSubclassWindow first, then our
    // procedure takes over. False when the window is already attached.
    bool SubclassWindow(HWND window);
    bool SubclassDlgItem(int id, HWND parent) { return SubclassWindow(::GetDlgItem(parent, id)); }
    // Restores the previous procedure and lets go of the handle.
    HWND UnsubclassWindow();

    // Everyday calls, one line over the API each.
    std::string GetWindowText() const;
    void SetWindowText(const std::string& text) { ::SetWindowTextA(m_hWnd, text.c_str()); }
    BOOL ShowWindow(int command) { return ::ShowWindow(m_hWnd, command); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE)
    {
        return ::MoveWindow(m_hWnd, x, y, width, height, repaint);
    }
    BOOL MoveWindow(const RECT& r, BOOL repaint = TRUE)
    {
        return MoveWindow(r.left, r.top, r.right - r.left, r.bottom - r.top, repaint);
    }
    BOOL EnableWindow(BOOL enable = TRUE) { return ::EnableWindow(m_hWnd, enable); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    HWND SetFocus() { return ::SetFocus(m_hWnd); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    void Invalidate(BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, erase); }
    void InvalidateRect(const RECT* r, BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, r, erase); }
    void UpdateWindow() { ::UpdateWindow(m_hWnd); }
    void GetWindowRect(RECT* r) const { ::GetWindowRect(m_hWnd, r); }
    void GetClientRect(RECT* r) const { ::GetClientRect(m_hWnd, r); }
    void ScreenToClient(POINT* p) const { ::ScreenToClient(m_hWnd, p); }
    void ScreenToClient(RECT* r) const;
    void ClientToScreen(POINT* p) const { ::ClientToScreen(m_hWnd, p); }
    void ClientToScreen(RECT* r) const;
    void SetFont(HFONT font, BOOL redraw = TRUE)
    {
        SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), MAKELPARAM(redraw, 0));
    }
    HFONT GetFont() const { return reinterpret_cast<HFONT>(::SendMessageA(m_hWnd, WM_GETFONT, 0, 0)); }
    HICON SetIcon(HICON icon, BOOL big)
    {
        return reinterpret_cast<HICON>(
            SendMessage(WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
    }
    HMENU GetSystemMenu(BOOL revert) const { return ::GetSystemMenu(m_hWnd, revert); }
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    HWND GetParent() const { return ::GetParent(m_hWnd); }
    LONG_PTR GetStyle() const { return ::GetWindowLongPtrA(m_hWnd, GWL_STYLE); }
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return ::PostMessageA(m_hWnd, message, wParam, lParam);
    }

    // The owner-draw request of a control, handed back to the control's own
    // object by its parent. True when the object drew it.
    virtual bool ReflectDrawItem(LPDRAWITEMSTRUCT) { return false; }

protected:
    // Called with m_hWnd set, before our procedure takes over the window.
    virtual void PreSubclassWindow() {}
    // The one message procedure of a class; the base passes everything on.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The processing the window had before it was subclassed.
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);

    // Associates this object with m_hWnd without replacing the procedure
    // (dialogs created by us route through their dialog procedure).
    void Attach(HWND window);
    void Detach();

    WNDPROC m_previousProc = nullptr;

private:
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};
