// Data exchange between a dialog's controls and its members, one function
// per kind of control serving both directions.
#pragma once

#include <windows.h>

#include <string>

class CWnd;

class CDataExchange {
public:
    CDataExchange(CWnd* dialog, bool save) : m_dialog(dialog), m_save(save) {}
    CWnd* Dialog() const { return m_dialog; }
    bool Saving() const { return m_save; }

private:
    CWnd* m_dialog;
    bool m_save;
};

// Attaches `control` to the dialog's control `id` the first time through.
void DDX_Control(CDataExchange* dx, int id, CWnd& control);

// List box `id` and a string: saving stores the selected row's text (empty
// when no row is selected); loading selects the row equal to the string.
void DDX_LBString(CDataExchange* dx, int id, std::string& value);
