#include "wizard/dlg_step2.h"

#include "engine/catalogue.h"
#include "engine/catalogue_ids.h"
#include "engine/ops.h"
#include "res/resource.h"
#include "ui/ddx.h"

#include <winspool.h>

#include <algorithm>
#include <vector>

CDlgStep2::CDlgStep2() : CDialog(IDD_STEP_PORT) {}

void CDlgStep2::DoDataExchange(CDataExchange* dx)
{
    DDX_LBString(dx, IDC_LIST, m_port);
}

BOOL CDlgStep2::OnInitDialog()
{
    CDialog::OnInitDialog();
    FillPortList();
    return TRUE;
}

// Runs while the frame creates its pages, so a message shows before the
// wizard does.
void CDlgStep2::FillPortList()
{
    DWORD needed = 0, count = 0;
    if (g_ops.EnumPortsA(nullptr, 1, nullptr, 0, &needed, &count) ||
        ::GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
        ShowMessage(CAT_MSG_NO_PORT_LIST);
        return;
    }
    std::vector<BYTE> buffer(needed, 0);
    count = 0;
    if (!g_ops.EnumPortsA(nullptr, 1, buffer.data(), needed, &needed, &count)) {
        ShowMessage(CAT_MSG_ENUM_PORTS_FAILED);
        return;
    }
    const auto* ports = reinterpret_cast<const PORT_INFO_1A*>(buffer.data());
    // Never trust a count beyond the records the buffer can hold.
    count = std::min<DWORD>(count, static_cast<DWORD>(buffer.size() / sizeof(PORT_INFO_1A)));
    HWND list = GetDlgItem(IDC_LIST);
    // Explicit indexes keep the spooler's order although the list sorts on add.
    for (DWORD i = 0; i < count; ++i) {
        const char* name = ports[i].pName ? ports[i].pName : "";
        ::SendMessageA(list, LB_INSERTSTRING, i, reinterpret_cast<LPARAM>(name));
        if (::lstrcmpA(name, "LPT1:") == 0)
            ::SendMessageA(list, LB_SETCURSEL, i, 0);
    }
}

void CDlgStep2::ShowMessage(UINT textId)
{
    std::string text, caption;
    LoadCatalogueText(textId, text);
    LoadCatalogueText(CAT_MSG_CAPTION, caption);
    g_ops.MessageBoxA(m_hWnd, text.c_str(), caption.c_str(), MB_OK | MB_ICONINFORMATION);
}
