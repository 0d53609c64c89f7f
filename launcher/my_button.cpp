#include "launcher/my_button.h"

#include "res/resource.h"

#include <windowsx.h>

namespace {

const COLORREF kRaisedTopLeft = RGB(198, 215, 229);
const COLORREF kRaisedBottomRight = RGB(37, 50, 62);
const COLORREF kHoverTopLeft = RGB(155, 185, 211);
const COLORREF kHoverBottomRight = RGB(71, 94, 116);
const COLORREF kSunkenTopLeft = RGB(100, 100, 100);
const COLORREF kSunkenBottomRight = RGB(255, 255, 255);
const COLORREF kDisabledText = RGB(128, 128, 128);

void FillSolid(HDC dc, int x, int y, int width, int height, COLORREF colour)
{
    COLORREF previous = ::SetBkColor(dc, colour);
    RECT r = {x, y, x + width, y + height};
    ::ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
    ::SetBkColor(dc, previous);
}

// One pixel wide, inside r: top row and left column in the first colour,
// then right column and bottom row in the second, which therefore also
// takes the top-right and bottom-left corners.
void DrawFrame(HDC dc, const RECT& r, COLORREF topLeft, COLORREF bottomRight)
{
    int width = r.right - r.left, height = r.bottom - r.top;
    FillSolid(dc, r.left, r.top, width - 1, 1, topLeft);
    FillSolid(dc, r.left, r.top, 1, height - 1, topLeft);
    FillSolid(dc, r.right - 1, r.top, 1, height, bottomRight);
    FillSolid(dc, r.left, r.bottom - 1, width, 1, bottomRight);
}

void DrawCaption(HDC dc, int x, int y, const std::string& caption)
{
    // TextOut draws one line and knows no & prefixes.
    ::TextOutA(dc, x, y, caption.c_str(), static_cast<int>(caption.size()));
}

std::string ToAnsi(const wchar_t* text)
{
    int size = ::WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1)
        return std::string();
    std::string out(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text, -1, out.data(), size, nullptr, nullptr);
    out.resize(static_cast<size_t>(size) - 1);
    return out;
}

}  // namespace

HCURSOR HandCursor()
{
    return ::LoadCursorA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDC_HAND_CURSOR));
}

// "自绘制按钮" ("owner-drawn button") until attaching takes the control's text.
CMyButton::CMyButton() : m_caption(ToAnsi(L"\u81ea\u7ed8\u5236\u6309\u94ae")) {}

void CMyButton::PreSubclassWindow()
{
    m_caption = GetWindowText();
    // Keeps the alignment bits of the low byte and makes the type owner-drawn.
    UINT style = static_cast<UINT>(GetStyle());
    SetButtonStyle((style & 0xF4) | BS_OWNERDRAW, TRUE);
}

LRESULT CMyButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CAPTURECHANGED:
        OnCaptureChanged(reinterpret_cast<HWND>(lParam));
        break;
    case WM_ERASEBKGND:
        return OnEraseBkgnd(reinterpret_cast<HDC>(wParam));
    case WM_MOUSEMOVE:
        OnMouseMove(static_cast<UINT>(wParam), POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        break;
    case WM_KILLFOCUS: {
        LRESULT result = Default(message, wParam, lParam);
        OnKillFocus();
        return result;
    }
    }
    return CButton::WindowProc(message, wParam, lParam);
}

// The parent's pixels under the button are copied once, at the first erase
// (sent before the first paint), and kept: the button looks transparent
// without asking the parent to paint again.
BOOL CMyButton::OnEraseBkgnd(HDC dc)
{
    HWND parent = GetParent();
    WindowDC parentDC(parent);
    RECT self, parentRect;
    GetClientRect(&self);
    ClientToScreen(&self);
    ::GetClientRect(parent, &parentRect);
    ::MapWindowPoints(parent, nullptr, reinterpret_cast<POINT*>(&parentRect), 2);
    int x = self.left - parentRect.left, y = self.top - parentRect.top;
    int width = self.right - self.left, height = self.bottom - self.top;

    MemoryDC memory(dc);
    if (!memory)
        return static_cast<BOOL>(Default(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0));
    if (!m_background) {
        m_background.Reset(::CreateCompatibleBitmap(dc, width, height));
        if (m_background) {
            SelectObjectScope select(memory.Get(), m_background.Get());
            ::BitBlt(memory.Get(), 0, 0, width, height, parentDC.Get(), x, y, SRCCOPY);
        }
    }
    return TRUE;
}

void CMyButton::CopyBackground(HDC target, HDC memory, const RECT& item)
{
    int width = item.right - item.left, height = item.bottom - item.top;
    if (!m_background) {
        // A draw before the first erase: the dialog face the parent shows there.
        RECT face = {0, 0, width, height};
        ::FillRect(target, &face, ::GetSysColorBrush(COLOR_3DFACE));
        return;
    }
    SelectObjectScope select(memory, m_background.Get());
    ::BitBlt(target, 0, 0, width, height, memory, 0, 0, SRCCOPY);
}

void CMyButton::DrawItem(LPDRAWITEMSTRUCT item)
{
    RECT r = item->rcItem;
    UINT state = item->itemState;
    HDC dc = item->hDC;
    MemoryDC memory(dc);
    if (!memory || item->CtlType != ODT_BUTTON)
        return;

    CopyBackground(dc, memory.Get(), r);
    SIZE extent = {};
    ::GetTextExtentPoint32A(dc, m_caption.c_str(), static_cast<int>(m_caption.size()), &extent);
    int x = (r.right - extent.cx - r.left) / 2;
    int y = (r.bottom - extent.cy - r.top) / 2;

    ::SetBkMode(dc, TRANSPARENT);
    if (m_hover) {
        DrawFrame(dc, r, kRaisedTopLeft, kRaisedBottomRight);
        RECT inner = {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
        DrawFrame(dc, inner, kHoverTopLeft, kHoverBottomRight);
        DrawCaption(dc, x - 1, y - 1, m_caption);
    } else {
        DrawCaption(dc, x, y, m_caption);
    }
    // Each later look paints over the earlier ones.
    if ((state & ODS_FOCUS) && !m_hover) {
        CopyBackground(dc, memory.Get(), r);
        DrawFrame(dc, r, kRaisedTopLeft, kRaisedBottomRight);
        DrawCaption(dc, x - 1, y - 1, m_caption);
    }
    if (state & ODS_SELECTED) {
        CopyBackground(dc, memory.Get(), r);
        DrawFrame(dc, r, kSunkenTopLeft, kSunkenBottomRight);
        DrawCaption(dc, x + 1, y + 1, m_caption);
    }
    if (state & ODS_DISABLED) {
        CopyBackground(dc, memory.Get(), r);
        ::SetTextColor(dc, kDisabledText);
        DrawFrame(dc, r, kRaisedTopLeft, kRaisedBottomRight);
        DrawCaption(dc, x, y, m_caption);
    }
}

void CMyButton::OnMouseMove(UINT flags, POINT point)
{
    if (::GetCapture() != m_hWnd) {
        // The pointer has just arrived.
        ::SetCapture(m_hWnd);
        m_hover = 1;
        SetFocus();
        ::SetCursor(HandCursor());
        Invalidate(FALSE);
        return;
    }
    RECT client;
    GetClientRect(&client);
    if (::PtInRect(&client, point))
        return;
    if (m_hover == 1) {
        m_hover = 0;
        Invalidate(FALSE);
    }
    // While the left button is down the platform's own press tracking needs the capture.
    if (!(flags & MK_LBUTTON))
        ::ReleaseCapture();
}

void CMyButton::OnCaptureChanged(HWND newCapture)
{
    // The message also comes when the platform's press tracking takes the
    // capture for this same button; releasing it then would end that
    // tracking. When another window takes it, it is gone already and must
    // not be released from under that window (a menu, a drag).
    if (!m_hover || newCapture == m_hWnd)
        return;
    Invalidate(TRUE);
}

void CMyButton::OnKillFocus()
{
    if (m_hover) {
        m_hover = 0;
        Invalidate(TRUE);
    }
}
