// CButton: a push button control. Owner-drawn derivatives paint in DrawItem,
// which the parent dialog hands back to them.
#pragma once

#include "ui/wnd.h"

class CButton : public CWnd {
public:
    void SetButtonStyle(UINT style, BOOL redraw = TRUE)
    {
        SendMessage(BM_SETSTYLE, style, MAKELPARAM(redraw, 0));
    }
    UINT GetState() const { return static_cast<UINT>(::SendMessageA(m_hWnd, BM_GETSTATE, 0, 0)); }

    virtual void DrawItem(LPDRAWITEMSTRUCT) {}
    bool ReflectDrawItem(LPDRAWITEMSTRUCT item) override
    {
        DrawItem(item);
        return true;
    }
};
