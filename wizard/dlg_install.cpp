#include "wizard/dlg_install.h"

#include "engine/catalogue.h"
#include "engine/catalogue_ids.h"
#include "engine/ops.h"
#include "engine/progress_window.h"
#include "engine/selection.h"
#include "res/resource.h"
#include "ui/ddx.h"

CDlgInstall::CDlgInstall() : CDialog(IDD_INSTALL) {}

void CDlgInstall::DoDataExchange(CDataExchange* dx)
{
    DDX_Control(dx, IDCANCEL, m_cancel);
    DDX_Control(dx, IDC_NEXT, m_next);
    DDX_Control(dx, IDC_BACK, m_back);
}

std::array<CDialog*, 5> CDlgInstall::Pages()
{
    return {&m_welcome, &m_agreement, &m_model, &m_port, &m_confirm};
}

BOOL CDlgInstall::OnInitDialog()
{
    CDialog::OnInitDialog();

    std::string title;
    LoadCatalogueText(CAT_WIZARD_CAPTION, title);
    SetWindowText(title);
    // One string for the three captions: a missing entry repeats the text
    // loaded before it.
    std::string caption;
    LoadCatalogueText(CAT_BACK, caption);
    m_back.SetWindowText(caption);
    LoadCatalogueText(CAT_NEXT, caption);
    m_next.SetWindowText(caption);
    LoadCatalogueText(CAT_CANCEL, caption);
    m_cancel.SetWindowText(caption);

    // Each page fills itself while it is created: the port page's messages
    // therefore show before the wizard does.
    for (CDialog* page : Pages())
        page->Create(this);

    RECT area;
    ::GetWindowRect(GetDlgItem(IDC_PAGE_AREA), &area);
    ScreenToClient(&area);
    for (CDialog* page : Pages())
        page->MoveWindow(area);

    m_welcome.ShowWindow(SW_SHOW);
    m_back.EnableWindow(FALSE);
    m_next.EnableWindow(TRUE);
    m_cancel.EnableWindow(TRUE);
    return TRUE;
}

// A missing catalogue entry leaves the string as it was, so the button shows
// the text loaded just before it.
void CDlgInstall::SetButtonCaptions(UINT nextId, UINT cancelId)
{
    std::string caption;
    LoadCatalogueText(nextId, caption);
    m_next.SetWindowText(caption);
    LoadCatalogueText(cancelId, caption);
    m_cancel.SetWindowText(caption);
}

bool CDlgInstall::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (HIWORD(wParam) == BN_CLICKED) {
        switch (LOWORD(wParam)) {
        case IDC_BACK:
            OnBack();
            return true;
        case IDC_NEXT:
        case IDOK:  // Enter when no default button is at hand: Next, never an end
            OnNext();
            return true;
        }
    }
    return CDialog::OnCommand(wParam, lParam);
}

void CDlgInstall::OnNext()
{
    if (m_step < 1 || m_step > 5)
        return;
    switch (m_step++) {
    case 1:
        m_welcome.ShowWindow(SW_HIDE);
        m_agreement.ShowWindow(SW_SHOW);
        m_back.EnableWindow(TRUE);
        SetButtonCaptions(CAT_ACCEPT, CAT_DECLINE);
        m_next.Invalidate(TRUE);
        m_next.UpdateWindow();
        break;
    case 2:
        SetButtonCaptions(CAT_NEXT, CAT_CANCEL);
        m_next.SetFocus();
        m_agreement.ShowWindow(SW_HIDE);
        m_model.ShowWindow(SW_SHOW);
        break;
    case 3:
        m_model.UpdateData(true);
        m_model.ShowWindow(SW_HIDE);
        m_port.ShowWindow(SW_SHOW);
        break;
    case 4:
        m_port.UpdateData(true);
        m_port.ShowWindow(SW_HIDE);
        m_confirm.ShowWindow(SW_SHOW);
        ShowConfirmation();
        break;
    case 5:
        OnFinish();
        break;
    }
}

void CDlgInstall::ShowConfirmation()
{
    m_confirm.m_model.SetWindowText(m_model.Model());
    m_confirm.m_port.SetWindowText(m_port.Port());
}

void CDlgInstall::OnFinish()
{
    g_selectedModel = m_model.Model();
    g_selectedPort = m_port.Port();
    if (!g_selectedPort.empty() && !g_selectedModel.empty()) {
        // The wizard is hidden at once, but its run (and with it the disabled
        // launcher) lasts until the progress window has closed.
        EndDialog(1);
        ::DialogBoxParamA(nullptr, "ProcessBox", nullptr, ProgressDialogProc, 0);
        return;
    }
    std::string text, caption;
    LoadCatalogueText(CAT_MSG_CHOOSE_MODEL_PORT, text);
    LoadCatalogueText(CAT_MSG_CAPTION, caption);
    g_ops.MessageBoxA(m_hWnd, text.c_str(), caption.c_str(), MB_OK | MB_ICONINFORMATION);
    m_step = 5;
    m_port.UpdateData(true);
    ShowConfirmation();
}

void CDlgInstall::OnBack()
{
    if (m_step <= 1)
        return;
    switch (--m_step) {
    case 1:
        m_agreement.ShowWindow(SW_HIDE);
        m_welcome.ShowWindow(SW_SHOW);
        m_back.EnableWindow(FALSE);
        SetButtonCaptions(CAT_NEXT, CAT_CANCEL);
        m_next.SetFocus();
        break;
    case 2:
        m_model.ShowWindow(SW_HIDE);
        m_agreement.ShowWindow(SW_SHOW);
        SetButtonCaptions(CAT_ACCEPT, CAT_DECLINE);
        break;
    case 3:
        m_port.ShowWindow(SW_HIDE);
        m_model.ShowWindow(SW_SHOW);
        break;
    case 4:
        m_confirm.ShowWindow(SW_HIDE);
        m_port.ShowWindow(SW_SHOW);
        break;
    }
}

bool CDlgInstall::IsInsidePage(HWND window)
{
    for (CDialog* page : Pages()) {
        if (page->m_hWnd && (window == page->m_hWnd || ::IsChild(page->m_hWnd, window)))
            return true;
    }
    return false;
}

// The pages are control parents, so Tab walks page and frame controls alike.
// Enter and Escape are taken here rather than left to the dialog manager: the
// agreement box is a multi-line edit that would keep both keys for itself.
BOOL CDlgInstall::PreTranslateMessage(MSG* message)
{
    if (message->message == WM_KEYDOWN && IsInsidePage(message->hwnd)) {
        switch (message->wParam) {
        case VK_RETURN:
            OnNext();
            return TRUE;
        case VK_ESCAPE:
            OnCancel();
            return TRUE;
        }
    }
    return CDialog::PreTranslateMessage(message);
}
