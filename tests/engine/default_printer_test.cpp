#include "engine/default_printer.h"
#include "engine/ops.h"
#include "engine/selection.h"
#include "support/spooler_state.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

// A top-level window of this thread that counts the profile-change notices.
class NoticeCounter {
public:
    NoticeCounter()
    {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = Proc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "KorvaNoticeCounter";
        RegisterClassA(&windowClass);
        m_window = CreateWindowExA(0, "KorvaNoticeCounter", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                   windowClass.hInstance, nullptr);
        s_notices = 0;
    }
    ~NoticeCounter() { DestroyWindow(m_window); }
    int Notices() const { return s_notices; }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_WININICHANGE && wParam == 0)
            ++s_notices;
        return DefWindowProcA(window, message, wParam, lParam);
    }
    static inline int s_notices = 0;
    HWND m_window = nullptr;
};

// The broadcasts as handed to the system, passed on to it.
struct Broadcast {
    bool waits;
    HWND target;
    UINT message;
    WPARAM wParam;
    std::string section;
    UINT flags, timeout;
    bool delivered;
};
std::vector<Broadcast> g_broadcasts;
EngineOps g_real;

BOOL WINAPI SpyNotify(HWND target, UINT message, WPARAM wParam, LPARAM lParam)
{
    BOOL sent = g_real.SendNotifyMessageA(target, message, wParam, lParam);
    g_broadcasts.push_back({false, target, message, wParam, reinterpret_cast<const char*>(lParam), 0, 0, sent != 0});
    return sent;
}

LRESULT WINAPI SpyTimeout(HWND target, UINT message, WPARAM wParam, LPARAM lParam, UINT flags, UINT timeout,
                          PDWORD_PTR result)
{
    LRESULT sent = g_real.SendMessageTimeoutA(target, message, wParam, lParam, flags, timeout, result);
    g_broadcasts.push_back({true, target, message, wParam, reinterpret_cast<const char*>(lParam), flags, timeout,
                            sent != 0});
    return sent;
}

}  // namespace

TEST(DefaultPrinter, ProfileNamesPrinterModelAndPortAndWindowsAreTold)
{
    ScopedSpoolerState spooler;
    std::string model = CatalogueIsChinese() ? Utf8ToAnsi("岚鹊KD-810 标准版") : "KORVA KD-900II";
    g_selectedModel = model;
    g_real = g_ops;
    ScopedOp<decltype(EngineOps::SendNotifyMessageA)> notify(g_ops.SendNotifyMessageA, SpyNotify);
    ScopedOp<decltype(EngineOps::SendMessageTimeoutA)> wait(g_ops.SendMessageTimeoutA, SpyTimeout);
    struct Case {
        std::string printer, port, device;
    } cases[] = {
        {"P", "LPT1:", "P," + model + ",LPT1:"},
        {model + " (2)", "COM1:", model + " (2)," + model + ",COM1:"},
        {"P", "", "P," + model + ","},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.device);
        NoticeCounter counter;
        g_broadcasts.clear();
        MakeDefaultPrinter(c.printer.c_str(), c.port.c_str());
        EXPECT_EQ(ProfileDevice(), c.device);
        EXPECT_EQ(DefaultPrinter(), c.printer);

        // First without waiting, then waiting up to a second per window.
        ASSERT_EQ(g_broadcasts.size(), 2u);
        for (size_t i = 0; i < 2; ++i) {
            const Broadcast& b = g_broadcasts[i];
            EXPECT_EQ(b.waits, i == 1);
            EXPECT_EQ(b.target, HWND_BROADCAST);
            EXPECT_EQ(b.message, static_cast<UINT>(WM_WININICHANGE));
            EXPECT_EQ(b.wParam, 0u);
            EXPECT_EQ(b.section, "windows");
        }
        EXPECT_EQ(g_broadcasts[1].flags, static_cast<UINT>(SMTO_NORMAL));
        EXPECT_EQ(g_broadcasts[1].timeout, 1000u);
        // The system refuses to post a pointer (ERROR_MESSAGE_SYNC_ONLY), so
        // the waiting broadcast is the one that reaches every window.
        EXPECT_FALSE(g_broadcasts[0].delivered);
        EXPECT_TRUE(g_broadcasts[1].delivered);
        EXPECT_EQ(counter.Notices(), 1);
    }
}
