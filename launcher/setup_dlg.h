// CSetupDlg: the launcher, the program's first and main window (template
// 102): three owner-drawn buttons (read-me, driver, exit), a title, a version
// text and a link to the maker's web site. Every text comes from the
// catalogue, so the one template serves both languages.
#pragma once

#include "launcher/my_button.h"
#include "launcher/super_label.h"
#include "ui/dialog.h"
#include "ui/gdi.h"

class CSetupDlg : public CDialog {
public:
    CSetupDlg();

    // Enter runs the command of the focused button and never reaches a
    // control or the dialog's default action.
    BOOL PreTranslateMessage(MSG* message) override;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    bool OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    void OnReadme();
    void OnDriver();
    void OnExit();
    void OnSysCommand(UINT id, LPARAM lParam);
    void OnPaint();

    CMyButton m_btnDriver;
    CSuperLabel m_link;
    CMyButton m_btnReadme;
    CMyButton m_btnExit;
    HICON m_hIcon;
    FontHandle m_fontNormal;
    FontHandle m_fontTitle;

private:
    bool m_wizardRunning = false;
};
