// Runs a test's steps one after another from a thread timer, inside whatever
// modal loop pumps this thread's messages at the time: the wizard's own, the
// progress window's nested in it, a stand-in launcher's around it. A step
// that opens a modal loop returns only when that loop ends; the steps after
// it run inside. Every wait is bounded: a script that runs out of time fails
// the test and closes the dialogs of this thread, so nothing hangs.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

class TimerScript {
public:
    TimerScript();
    ~TimerScript();
    TimerScript(const TimerScript&) = delete;
    TimerScript& operator=(const TimerScript&) = delete;

    // A step run once, on the next tick after the steps before it.
    TimerScript& Do(std::function<void()> step);
    // Holds the following steps until `condition` is true, for at most `timeoutMs`.
    TimerScript& WaitFor(std::function<bool()> condition, const std::string& what, DWORD timeoutMs = 10000);

    bool Finished() const { return m_next == m_steps.size(); }

private:
    struct Step {
        std::function<bool()> run;  // true: done, go on
        std::string what;
        DWORD timeoutMs;
    };
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
    void Tick();
    void Abort(const std::string& why);

    std::vector<Step> m_steps;
    size_t m_next = 0;
    DWORD m_waitStart = 0;
    DWORD m_idleStart = 0;
    UINT_PTR m_timer = 0;
};
