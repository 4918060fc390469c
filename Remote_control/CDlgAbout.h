// The about box: the program's icon, its version, what it is for, and a link
// to the user guide installed with the programs. The main dialog holds one
// object for the whole run and shows it modally on each "About" command.
#pragma once

#include <windows.h>

#include <string>

#include "CDataExchange.h"
#include "CDialog.h"
#include "CHyperlinkStatic.h"

class CDlgAbout : public CDialog {
public:
    explicit CDlgAbout(CWnd* pParentWnd = nullptr);
    ~CDlgAbout() override;

    // What the link opens: the user guide in the installation folder (Path),
    // or beside this program when Path cannot be read.
    static std::string UserGuidePath();

protected:
    BOOL OnInitDialog() override;

    // Binds the link to its control (once per window) and exchanges the
    // version text with its label.
    virtual void DoDataExchange(CDataExchange* pDX);

private:
    // Members to controls.
    void ShowData();

    CHyperlinkStatic m_link;
    std::string m_strVersion;
};
