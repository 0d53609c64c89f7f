#include "ui/wnd.h"

namespace {
// The window property that points back at the attached object.
const char kObjectProperty[] = "KorvaWndObject";
}  // namespace

CWnd::~CWnd()
{
    // A window that outlives its object must not call into freed memory.
    if (m_hWnd && ::IsWindow(m_hWnd)) {
        if (m_previousProc)
            UnsubclassWindow();
        else
            Detach();
    }
}

CWnd* CWnd::FromHandlePermanent(HWND window)
{
    return window ? static_cast<CWnd*>(::GetPropA(window, kObjectProperty)) : nullptr;
}

void CWnd::Attach(HWND window)
{
    m_hWnd = window;
    ::SetPropA(window, kObjectProperty, this);
}

void CWnd::Detach()
{
    if (m_hWnd)
        ::RemovePropA(m_hWnd, kObjectProperty);
    m_hWnd = nullptr;
}

bool CWnd::SubclassWindow(HWND window)
{
    if (!window || m_hWnd || FromHandlePermanent(window))
        return false;
    Attach(window);
    PreSubclassWindow();
    m_previousProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassProc)));
    return true;
}

HWND CWnd::UnsubclassWindow()
{
    HWND window = m_hWnd;
    if (!window || !m_previousProc)
        return nullptr;
    ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_previousProc));
    m_previousProc = nullptr;
    Detach();
    return window;
}

std::string CWnd::GetWindowText() const
{
    int len = ::GetWindowTextLengthA(m_hWnd);
    std::string text(static_cast<size_t>(len) + 1, '\0');
    int got = ::GetWindowTextA(m_hWnd, text.data(), len + 1);
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return text;
}

void CWnd::ScreenToClient(RECT* r) const
{
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(r), 2);
}

void CWnd::ClientToScreen(RECT* r) const
{
    ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<POINT*>(r), 2);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return Default(message, wParam, lParam);
}

LRESULT CWnd::Default(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_previousProc)
        return ::CallWindowProcA(m_previousProc, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CALLBACK CWnd::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* self = FromHandlePermanent(window);
    if (!self)
        return ::DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // Last message of the window: pass it on, then let go of the handle.
        WNDPROC previous = self->m_previousProc;
        self->UnsubclassWindow();
        return ::CallWindowProcA(previous, window, message, wParam, lParam);
    }
    return self->WindowProc(message, wParam, lParam);
}
