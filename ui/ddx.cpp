#include "ui/ddx.h"

#include "ui/wnd.h"

void DDX_Control(CDataExchange* dx, int id, CWnd& control)
{
    if (!control.m_hWnd)
        control.SubclassWindow(::GetDlgItem(dx->Dialog()->m_hWnd, id));
}

void DDX_LBString(CDataExchange* dx, int id, std::string& value)
{
    HWND list = ::GetDlgItem(dx->Dialog()->m_hWnd, id);
    if (dx->Saving()) {
        LRESULT row = ::SendMessageA(list, LB_GETCURSEL, 0, 0);
        LRESULT len = row == LB_ERR ? LB_ERR : ::SendMessageA(list, LB_GETTEXTLEN, row, 0);
        if (len == LB_ERR) {
            value.clear();
            return;
        }
        std::string text(static_cast<size_t>(len) + 1, '\0');
        LRESULT got = ::SendMessageA(list, LB_GETTEXT, row, reinterpret_cast<LPARAM>(text.data()));
        text.resize(got == LB_ERR ? 0 : static_cast<size_t>(got));
        value = text;
        return;
    }
    LRESULT row = ::SendMessageA(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                 reinterpret_cast<LPARAM>(value.c_str()));
    if (row != LB_ERR)
        ::SendMessageA(list, LB_SETCURSEL, row, 0);
}
