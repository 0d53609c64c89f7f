#include "launcher/super_label.h"

#include "engine/ops.h"
#include "launcher/my_button.h"
#include "launcher/system_folders.h"

#include <string>

void CSuperLabel::PreSubclassWindow()
{
    m_url = GetWindowText();
    // A control without a font of its own draws in the system font.
    HFONT font = GetFont();
    if (!font)
        font = static_cast<HFONT>(::GetStockObject(SYSTEM_FONT));
    ::GetObjectA(font, sizeof m_logFont, &m_logFont);
    m_logFont.lfUnderline = TRUE;
    // Only for the label's own painting; the control keeps its font.
    m_underlineFont.Reset(::CreateFontIndirectA(&m_logFont));
}

LRESULT CSuperLabel::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_LBUTTONDOWN:
        OnLButtonDown(message, wParam, lParam);
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(message, wParam, lParam);
        return 0;
    case WM_CREATE:
        return OnCreate(message, wParam, lParam);
    }
    // WM_LBUTTONUP and the rest: the static's own processing.
    return CStatic::WindowProc(message, wParam, lParam);
}

void CSuperLabel::OnPaint()
{
    PaintDC dc(m_hWnd);
    std::string text = GetWindowText();
    if (m_url.empty())
        m_url = text;
    // No background of its own: the parent's shows through.
    ::SetBkMode(dc.Get(), TRANSPARENT);
    ::SetTextColor(dc.Get(), RGB(0, 0, 0));
    SelectObjectScope select(dc.Get(), m_underlineFont.Get());
    // Always from the top-left corner, whatever alignment the control has.
    ::TextOutA(dc.Get(), 0, 0, text.c_str(), static_cast<int>(text.size()));
}

bool CSuperLabel::IsWebAddress(const std::string& url)
{
    // Anything else (a bare "www.example.com", a file name) the shell would
    // first look up as a file in the current directory, the download folder.
    for (const char* scheme : {"http://", "https://"}) {
        size_t len = std::char_traits<char>::length(scheme);
        if (url.size() >= len && ::CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, url.c_str(),
                                                 static_cast<int>(len), scheme,
                                                 static_cast<int>(len)) == CSTR_EQUAL)
            return true;
    }
    return false;
}

void CSuperLabel::OnLButtonDown(UINT message, WPARAM wParam, LPARAM lParam)
{
    // The address opens on the press, not on the release. The result is
    // not examined: a missing browser is the shell's to report.
    if (IsWebAddress(m_url)) {
        std::string folder = SystemFolder();
        g_ops.ShellExecuteA(m_hWnd, nullptr, m_url.c_str(), nullptr, folder.c_str(), SW_SHOW);
    }
    Default(message, wParam, lParam);
}

void CSuperLabel::OnMouseMove(UINT message, WPARAM wParam, LPARAM lParam)
{
    Default(message, wParam, lParam);
    ::SetCursor(HandCursor());
}

int CSuperLabel::OnCreate(UINT message, WPARAM wParam, LPARAM lParam)
{
    return Default(message, wParam, lParam) == -1 ? -1 : 0;
}
