#include "launcher_harness.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

std::vector<ShellCall> g_shellCalls;

std::string Text(LPCSTR text) { return text ? AnsiToUtf8(text) : std::string("<null>"); }

HINSTANCE WINAPI RecordShellExecute(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters,
                                    LPCSTR directory, INT show)
{
    g_shellCalls.push_back({owner, Text(verb), Text(file), Text(parameters), Text(directory), show});
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(33));
}

const LauncherTexts kEnglish = {
    "KORVA Impact Printer Driver", "V5.0", "ReadMe", "Driver", "Cancel",
    "https://korva.example/", "About Setup...", "Times New Roman",
    "KORVA Impact Printer Driver Setup Wizard",
};
const LauncherTexts kChinese = {
    "岚鹊微型打印机驱动程序", "V5.0", "安 装 说 明", "驱 动 程 序", "退      出",
    "https://cn.korva.example/", "关于安装程序...", "黑体",
    "岚鹊微型打印机驱动程序安装向导",
};

}  // namespace

void ReportStillOpen() { ADD_FAILURE() << "the dialog was still open after the last step"; }

void CloseOtherThreadWindows(HWND keep)
{
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND window, LPARAM kept) -> BOOL {
            if (window != reinterpret_cast<HWND>(kept) && ::IsWindowVisible(window))
                ::PostMessageA(window, WM_CLOSE, 0, 0);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(keep));
}

Pixels::Pixels(HWND window)
{
    RECT client;
    ::GetClientRect(window, &client);
    m_width = client.right;
    m_height = client.bottom;
    POINT origin = {0, 0};
    ::ClientToScreen(window, &origin);

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = m_width;
    info.bmiHeader.biHeight = -m_height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = ::SelectObject(memory, bitmap);
    // A screenshot: the screen's pixels where the window's client area is.
    ::BitBlt(memory, 0, 0, m_width, m_height, screen, origin.x, origin.y, SRCCOPY);
    ::GdiFlush();
    const auto* data = static_cast<const BYTE*>(bits);
    m_pixels.resize(static_cast<size_t>(m_width) * m_height);
    for (size_t i = 0; i < m_pixels.size(); ++i)
        m_pixels[i] = RGB(data[i * 4 + 2], data[i * 4 + 1], data[i * 4]);
    ::SelectObject(memory, previous);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
}

COLORREF Pixels::At(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return CLR_INVALID;
    return m_pixels[static_cast<size_t>(y) * m_width + x];
}

RECT Pixels::BoundsOfOthers(const RECT& area, COLORREF background) const
{
    RECT bounds = {area.right, area.bottom, area.left, area.top};
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (At(x, y) != background) {
                bounds.left = std::min<LONG>(bounds.left, x);
                bounds.top = std::min<LONG>(bounds.top, y);
                bounds.right = std::max<LONG>(bounds.right, x + 1);
                bounds.bottom = std::max<LONG>(bounds.bottom, y + 1);
            }
    if (bounds.left >= bounds.right)
        return RECT{};
    return bounds;
}

std::vector<COLORREF> Pixels::OthersIn(const RECT& area, COLORREF background) const
{
    std::vector<COLORREF> others;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (At(x, y) != background)
                others.push_back(At(x, y));
    return others;
}

std::string ColourText(COLORREF colour)
{
    char text[32];
    std::snprintf(text, sizeof text, "(%d, %d, %d)", GetRValue(colour), GetGValue(colour), GetBValue(colour));
    return text;
}

ShellRecorder::ShellRecorder() : m_saved(g_ops.ShellExecuteA)
{
    g_shellCalls.clear();
    g_ops.ShellExecuteA = RecordShellExecute;
}

ShellRecorder::~ShellRecorder() { g_ops.ShellExecuteA = m_saved; }

const std::vector<ShellCall>& ShellRecorder::Calls() const { return g_shellCalls; }

const LauncherTexts& ExpectedTexts()
{
    const char* expect = std::getenv("KORVA_EXPECT_CATALOGUE");
    bool chinese = expect && std::strcmp(expect, "zh") == 0;
    EXPECT_EQ(CatalogueIsChinese(), chinese) << "the run's locale does not pick the expected catalogue";
    return chinese ? kChinese : kEnglish;
}

void MovePointerTo(HWND window, int x, int y)
{
    POINT p = {x, y};
    ::ClientToScreen(window, &p);
    ::SetCursorPos(p.x, p.y);
}

void PressLeftButton(bool down)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    ::SendInput(1, &input, sizeof input);
}

std::vector<HWND> ThreadWindowsTitled(const std::string& titleUtf8)
{
    struct Search {
        std::wstring title;
        std::vector<HWND> found;
    } search;
    int len = ::MultiByteToWideChar(CP_UTF8, 0, titleUtf8.c_str(), -1, nullptr, 0);
    search.title.resize(static_cast<size_t>(len));
    ::MultiByteToWideChar(CP_UTF8, 0, titleUtf8.c_str(), -1, search.title.data(), len);
    search.title.resize(static_cast<size_t>(len) - 1);
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            // The caption as stored and drawn: a window subclassed by our
            // narrow procedure would answer WM_GETTEXT through the code page.
            wchar_t text[256] = {};
            ::InternalGetWindowText(window, text, 256);
            if (::IsWindowVisible(window) && s->title == text)
                s->found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}
