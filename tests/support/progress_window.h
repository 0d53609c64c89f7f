// A bare window with the progress window's bar (1010) and label (1006),
// installed as the engine's progress handles while the object lives.
#pragma once

#include <windows.h>

#include <string>

class ScopedProgressWindow {
public:
    ScopedProgressWindow();
    ~ScopedProgressWindow();
    ScopedProgressWindow(const ScopedProgressWindow&) = delete;
    ScopedProgressWindow& operator=(const ScopedProgressWindow&) = delete;

    HWND Window() const { return m_window; }
    int Percent() const;
    std::string Label() const;

private:
    HWND m_window = nullptr;
};
