// CAboutDlg: the About box (template 100), opened from the launcher's
// system menu. It shows its template as it is and closes with OK, Escape or
// its close box.
#pragma once

#include "ui/dialog.h"

class CAboutDlg : public CDialog {
public:
    explicit CAboutDlg(CWnd* parent = nullptr);
};
