#include "timer_script.h"

#include <gtest/gtest.h>

namespace {

TimerScript* g_script = nullptr;

// After its last step a script still waits this long for the dialogs its
// steps opened to close by themselves (an install included).
constexpr DWORD kIdleLimitMs = 30000;

BOOL CALLBACK CloseDialog(HWND window, LPARAM)
{
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (lstrcmpA(className, "#32770") == 0 && IsWindowVisible(window))
        PostMessageA(window, WM_CLOSE, 0, 0);
    return TRUE;
}

}  // namespace

TimerScript::TimerScript()
{
    g_script = this;
    m_timer = SetTimer(nullptr, 0, 10, OnTimer);
}

TimerScript::~TimerScript()
{
    KillTimer(nullptr, m_timer);
    g_script = nullptr;
    EXPECT_TRUE(Finished()) << "step " << m_next << " of " << m_steps.size() << " never ran";
}

TimerScript& TimerScript::Do(std::function<void()> step)
{
    m_steps.push_back({[step] {
                           step();
                           return true;
                       },
                       "step", 0});
    return *this;
}

TimerScript& TimerScript::WaitFor(std::function<bool()> condition, const std::string& what, DWORD timeoutMs)
{
    m_steps.push_back({std::move(condition), what, timeoutMs});
    return *this;
}

void CALLBACK TimerScript::OnTimer(HWND, UINT, UINT_PTR, DWORD)
{
    if (g_script)
        g_script->Tick();
}

void TimerScript::Tick()
{
    DWORD now = GetTickCount();
    if (Finished()) {
        if (!m_idleStart)
            m_idleStart = now;
        else if (now - m_idleStart > kIdleLimitMs)
            Abort("a dialog stayed open after the last step");
        return;
    }
    Step& step = m_steps[m_next];
    if (!m_waitStart)
        m_waitStart = now;
    bool waiting = step.timeoutMs > 0;
    // Advance before running: a step may open a modal loop whose ticks run
    // the steps after it.
    size_t index = m_next;
    if (!waiting) {
        ++m_next;
        m_waitStart = 0;
        m_steps[index].run();
        return;
    }
    if (step.run()) {
        ++m_next;
        m_waitStart = 0;
    } else if (now - m_waitStart > step.timeoutMs) {
        Abort("timed out waiting for " + step.what);
    }
}

void TimerScript::Abort(const std::string& why)
{
    ADD_FAILURE() << why;
    m_next = m_steps.size();
    m_idleStart = GetTickCount();
    EnumThreadWindows(GetCurrentThreadId(), CloseDialog, 0);
}
