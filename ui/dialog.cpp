#include "ui/dialog.h"

#include "ui/ddx.h"
#include "ui/winapp.h"

CDialog::CDialog(UINT templateId, CWnd* parent) : m_templateId(templateId), m_parent(parent) {}

CDialog::~CDialog()
{
    if (m_hWnd && ::IsWindow(m_hWnd)) {
        HWND window = m_hWnd;
        UnsubclassWindow();
        ::DestroyWindow(window);
    }
}

HWND CDialog::ModalOwner() const
{
    HWND owner = m_parent ? m_parent->m_hWnd : nullptr;
    if (!owner) {
        CWinApp* app = CWinApp::Current();
        CWnd* main = app ? app->m_pMainWnd : nullptr;
        if (main && main != this)
            owner = main->m_hWnd;
    }
    // The owner of a modal dialog is a top-level window, never a child.
    return owner ? ::GetAncestor(owner, GA_ROOT) : nullptr;
}

void CDialog::CenterOver(HWND owner)
{
    RECT area;
    if (owner && ::IsWindowVisible(owner) && !::IsIconic(owner))
        ::GetWindowRect(owner, &area);
    else
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    RECT self;
    GetWindowRect(&self);
    int width = self.right - self.left, height = self.bottom - self.top;
    int x = area.left + (area.right - area.left - width) / 2;
    int y = area.top + (area.bottom - area.top - height) / 2;
    // Keep the whole dialog on the work area where possible.
    RECT work;
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    if (x + width > work.right)
        x = work.right - width;
    if (y + height > work.bottom)
        y = work.bottom - height;
    if (x < work.left)
        x = work.left;
    if (y < work.top)
        y = work.top;
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CDialog::DoModal()
{
    if (m_hWnd)
        return -1;
    HWND owner = ModalOwner();
    m_modal = true;
    m_ended = false;
    m_result = -1;
    // The W form keeps the template's texts intact in every code page.
    ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_templateId), owner, DialogProc,
                         reinterpret_cast<LPARAM>(this));
    if (!m_hWnd) {
        m_modal = false;
        return -1;
    }
    bool disabledOwner = owner && ::IsWindowEnabled(owner);
    if (disabledOwner)
        ::EnableWindow(owner, FALSE);
    if (!m_ended)
        ShowWindow(SW_SHOW);

    m_running = true;
    MSG message;
    while (!m_ended) {
        BOOL got = ::GetMessageA(&message, nullptr, 0, 0);
        if (got == 0) {
            // Leave every nested loop, then let the outermost one see it.
            ::PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (got == -1)
            break;
        if (PreTranslateMessage(&message))
            continue;
        if (m_hWnd && ::IsDialogMessageA(m_hWnd, &message))
            continue;
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    m_running = false;

    // Owner first, so that activation returns to it and not to another program.
    if (disabledOwner) {
        ::EnableWindow(owner, TRUE);
        ::SetActiveWindow(owner);
    }
    if (m_hWnd) {
        HWND window = m_hWnd;
        ::DestroyWindow(window);
    }
    m_modal = false;
    return m_result;
}

BOOL CDialog::Create(CWnd* parent)
{
    if (m_hWnd)
        return FALSE;
    m_parent = parent;
    m_modal = false;
    ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_templateId),
                         parent ? parent->m_hWnd : nullptr, DialogProc, reinterpret_cast<LPARAM>(this));
    return m_hWnd != nullptr;
}

void CDialog::EndDialog(INT_PTR result)
{
    m_result = result;
    m_ended = true;
    if (!m_hWnd)
        return;
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                   SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // Wakes GetMessage: a call made inside a message sent from another
    // thread would otherwise wait for the next posted message.
    PostMessage(WM_NULL);
}

BOOL CDialog::UpdateData(bool save)
{
    CDataExchange dx(this, save);
    DoDataExchange(&dx);
    return TRUE;
}

BOOL CDialog::PreTranslateMessage(MSG*) { return FALSE; }

BOOL CDialog::OnInitDialog()
{
    UpdateData(false);
    return TRUE;
}

void CDialog::OnOK()
{
    UpdateData(true);
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::DoDataExchange(CDataExchange*) {}

bool CDialog::OnCommand(WPARAM wParam, LPARAM)
{
    switch (LOWORD(wParam)) {
    case IDOK:
        OnOK();
        return true;
    case IDCANCEL:
        OnCancel();
        return true;
    }
    return false;
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (OnCommand(wParam, lParam))
            return 0;
        break;
    case WM_DRAWITEM: {
        auto* item = reinterpret_cast<LPDRAWITEMSTRUCT>(lParam);
        CWnd* control = item ? FromHandlePermanent(item->hwndItem) : nullptr;
        if (control && control->ReflectDrawItem(item))
            return TRUE;
        break;
    }
    }
    return Default(message, wParam, lParam);
}

BOOL CDialog::HandleInitDialog()
{
    if (m_modal && !(GetStyle() & DS_CENTER))
        CenterOver(::GetWindow(m_hWnd, GW_OWNER));
    return OnInitDialog();
}

// Only WM_INITDIALOG is handled here: it attaches the object and subclasses
// the dialog, after which every message reaches WindowProc first and comes
// back here through Default, to be left to the dialog manager.
INT_PTR CALLBACK CDialog::DialogProc(HWND window, UINT message, WPARAM, LPARAM lParam)
{
    if (message != WM_INITDIALOG)
        return FALSE;
    auto* self = reinterpret_cast<CDialog*>(lParam);
    if (!self || !self->SubclassWindow(window))
        return TRUE;
    return self->HandleInitDialog();
}
