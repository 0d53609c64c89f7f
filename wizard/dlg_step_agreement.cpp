#include "wizard/dlg_step_agreement.h"

#include "engine/catalogue.h"
#include "engine/catalogue_ids.h"
#include "engine/handles.h"
#include "res/resource.h"
#include "ui/ddx.h"

CDlgStepAgreement::CDlgStepAgreement() : CDialog(IDD_STEP_AGREEMENT) {}

void CDlgStepAgreement::DoDataExchange(CDataExchange* dx)
{
    DDX_Control(dx, IDC_AGREEMENT_TEXT, m_text);
}

BOOL CDlgStepAgreement::OnInitDialog()
{
    CDialog::OnInitDialog();
    std::string fileName;
    LoadCatalogueText(CAT_AGREEMENT_FILE, fileName);
    // The bytes go to the box unconverted, in the system's code page, and the
    // text ends at the first zero byte the file may hold.
    m_text.SetWindowText(ReadAgreementFile(fileName));
    return TRUE;
}

std::string ReadAgreementFile(const std::string& fileName)
{
    FileHandle file(::CreateFileA(fileName.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid())
        return std::string();
    LARGE_INTEGER size = {};
    if (!::GetFileSizeEx(file.Get(), &size))
        return std::string();
    DWORD wanted = size.QuadPart < kAgreementReadLimit ? static_cast<DWORD>(size.QuadPart) : kAgreementReadLimit;
    std::string text(wanted, '\0');
    DWORD total = 0;
    while (total < wanted) {
        DWORD got = 0;
        if (!::ReadFile(file.Get(), text.data() + total, wanted - total, &got, nullptr))
            return std::string();
        if (got == 0)
            break;  // the file shrank since its size was taken
        total += got;
    }
    text.resize(total);
    return text;
}
