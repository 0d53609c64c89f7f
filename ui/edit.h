// CEdit: an edit control.
#pragma once

#include "ui/wnd.h"

class CEdit : public CWnd {
public:
    void SetReadOnly(BOOL readOnly = TRUE) { SendMessage(EM_SETREADONLY, readOnly); }
    int GetLineCount() const { return static_cast<int>(::SendMessageA(m_hWnd, EM_GETLINECOUNT, 0, 0)); }
};
