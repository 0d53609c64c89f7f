// CDlgStepAgreement: the wizard's licence page. Shows agreement.txt from the
// install folder as stored, read once when the wizard creates the page.
#pragma once

#include "ui/dialog.h"
#include "ui/edit.h"

#include <string>

// At most this much of the agreement file is read and shown; a licence text
// is a few kilobytes, and the file comes from a disc we do not control.
constexpr DWORD kAgreementReadLimit = 1024 * 1024;

class CDlgStepAgreement : public CDialog {
public:
    CDlgStepAgreement();

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;

private:
    CEdit m_text;
};

// The first `kAgreementReadLimit` bytes of `fileName`, opened without
// sharing; empty when the file is missing, locked or cannot be read.
std::string ReadAgreementFile(const std::string& fileName);
