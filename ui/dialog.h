// CDialog: a dialog made from a template of the program's own resources,
// either run modally in our own message loop (DoModal) or created as a
// modeless child (Create), with command routing and data exchange.
#pragma once

#include "ui/wnd.h"

class CDataExchange;

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    ~CDialog() override;

    // Runs the dialog modally: the owner (the parent's top-level window, else
    // the application's main window) is disabled until the loop ends. Every
    // queued message passes PreTranslateMessage, then the dialog manager.
    // Returns the EndDialog result, or -1 when the dialog cannot be created.
    INT_PTR DoModal();
    // Creates the dialog as a modeless window (for example a child page).
    BOOL Create(CWnd* parent);
    // Ends the modal loop at once, also when called from a message sent by
    // another thread. The dialog is hidden; its owner stays disabled until
    // the loop itself has ended.
    void EndDialog(INT_PTR result);

    // Exchanges data between the controls and the members: save = true
    // reads the controls, false writes them.
    BOOL UpdateData(bool save = true);

    UINT TemplateId() const { return m_templateId; }
    bool IsModalRunning() const { return m_running; }

    virtual BOOL PreTranslateMessage(MSG* message);

protected:
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    // Commands from controls and menus; true when handled.
    virtual bool OnCommand(WPARAM wParam, LPARAM lParam);
    virtual void DoDataExchange(CDataExchange* dx);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    BOOL HandleInitDialog();
    HWND ModalOwner() const;
    void CenterOver(HWND owner);

    UINT m_templateId;
    CWnd* m_parent;
    bool m_modal = false;
    bool m_running = false;
    bool m_ended = false;
    INT_PTR m_result = -1;
};
