// CStatic: a static text or picture control.
#pragma once

#include "ui/wnd.h"

class CStatic : public CWnd {
public:
    HICON SetIcon(HICON icon)
    {
        return reinterpret_cast<HICON>(SendMessage(STM_SETICON, reinterpret_cast<WPARAM>(icon)));
    }
};
