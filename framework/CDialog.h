// A dialog laid out by a dialog template of the program's resources, run
// modally by DoModal. The dialog object subclasses its window from the moment
// it is created, so its message map also sees WM_CREATE.
#pragma once

#include <windows.h>

#include "CWnd.h"

class CDialog : public CWnd {
public:
    // pParentWnd null: the application's main window owns the dialog, if it
    // has one.
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    // Creates the dialog, shows it once the message queue is idle, runs the
    // modal loop until EndDialog and destroys the window. The result is the
    // code given to EndDialog; -1 when the dialog cannot be created.
    virtual INT_PTR DoModal();

    // Ends the modal loop with nResult once the current message is handled.
    // Also valid from OnInitDialog: the loop is then never entered.
    void EndDialog(int nResult);

    // Handles WM_PAINT of a minimised dialog: draws hIcon centred in the
    // client area and returns true; returns false, drawing nothing, when the
    // dialog is not minimised.
    bool PaintIconIfMinimized(HICON hIcon);

protected:
    // WM_INITDIALOG. TRUE lets the system set the focus to the first control.
    virtual BOOL OnInitDialog();
    // IDOK and IDCANCEL (Enter, Escape, WM_CLOSE): end the dialog with that code.
    virtual void OnOK();
    virtual void OnCancel();

    const framework::MessageMap* GetMessageMap() const override;

    enum class Visibility {
        ShowWhenIdle, // as a dialog box: shown when the queue is first empty
        AsTemplate    // never shown by the loop: visible only if the template says so
    };
    // DoModal's work; a dialog that must stay hidden overrides DoModal with
    // RunModal(Visibility::AsTemplate).
    INT_PTR RunModal(Visibility visibility);

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

private:
    LRESULT HandleInitDialog(WPARAM wParam, LPARAM lParam);
    void RunModalLoop(Visibility visibility);
    HWND FindOwner() const;

    bool m_bContinueModal = false;
    INT_PTR m_nModalResult = -1;
};
