// CMyButton: a push button that paints its whole face itself. It shows a copy
// of the parent's pixels under it with its caption centred on top, a hover
// look while the pointer is over it (tracked with the mouse capture), and
// looks of its own for focused, pressed and disabled.
#pragma once

#include "ui/button.h"
#include "ui/gdi.h"

#include <string>

class CMyButton : public CButton {
public:
    CMyButton();

    // The text the button draws; the owner may assign it at any time. The
    // control's own window text is not changed, and a write does not repaint.
    std::string m_caption;

protected:
    void PreSubclassWindow() override;
    void DrawItem(LPDRAWITEMSTRUCT item) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    BOOL OnEraseBkgnd(HDC dc);
    void OnMouseMove(UINT flags, POINT point);
    void OnCaptureChanged(HWND newCapture);
    void OnKillFocus();

private:
    void CopyBackground(HDC target, HDC memory, const RECT& item);

    int m_hover = 0;
    BitmapHandle m_background;
};

// The pointing-hand cursor (resource 138), shared by the button and the link.
HCURSOR HandCursor();
