// CSuperLabel: turns a static text control into a link. It draws its text
// underlined in black at the top-left corner, shows the pointing-hand cursor
// while the pointer moves over it, and asks the shell to open its address
// when the left mouse button goes down on it. The control needs SS_NOTIFY,
// without which a static lets mouse input through to its parent.
#pragma once

#include "ui/gdi.h"
#include "ui/static.h"

#include <string>

class CSuperLabel : public CStatic {
public:
    CSuperLabel() = default;

    const std::string& Url() const { return m_url; }

    // Whether the label may hand `url` to the shell: only web addresses.
    static bool IsWebAddress(const std::string& url);

protected:
    void PreSubclassWindow() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    void OnPaint();
    void OnLButtonDown(UINT message, WPARAM wParam, LPARAM lParam);
    void OnMouseMove(UINT message, WPARAM wParam, LPARAM lParam);
    int OnCreate(UINT message, WPARAM wParam, LPARAM lParam);

private:
    LOGFONTA m_logFont = {};
    std::string m_url;
    FontHandle m_underlineFont;
};
