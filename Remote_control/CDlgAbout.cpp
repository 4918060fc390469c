#include "CDlgAbout.h"

#include "CReg.h"
#include "CWinApp.h"
#include "Settings.h"
#include "resource.h"

namespace {

// The user guide that the installation puts beside the programs, and the
// link's text for it.
const char* const USER_GUIDE_FILE = "user-guide.html";
const char* const LINK_TEXT = "User guide";
const char* const VERSION_TEXT = "Version 6.1";

std::string WithTrailingBackslash(std::string strFolder) {
    if (!strFolder.empty() && strFolder.back() != '\\' && strFolder.back() != '/') {
        strFolder += '\\';
    }
    return strFolder;
}

// The folder of this program's file, with its trailing backslash.
std::string ProgramFolder() {
    char szPath[MAX_PATH] = "";
    const DWORD nLength =
        GetModuleFileNameA(framework::AfxGetInstanceHandle(), szPath, sizeof(szPath));
    if (nLength == 0 || nLength >= sizeof(szPath)) {
        return std::string();
    }
    std::string strPath(szPath, nLength);
    const std::string::size_type nSlash = strPath.find_last_of("\\/");
    return nSlash == std::string::npos ? std::string() : strPath.substr(0, nSlash + 1);
}

} // namespace

CDlgAbout::CDlgAbout(CWnd* pParentWnd) : CDialog(IDD_ABOUTBOX, pParentWnd) {}

CDlgAbout::~CDlgAbout() = default;

std::string CDlgAbout::UserGuidePath() {
    const CReg reg;
    std::string strFolder;
    if (reg.ReadString(HKEY_LOCAL_MACHINE, std::string(settings::SETTINGS_KEY),
                       std::string(settings::VALUE_PATH), strFolder) != CReg::RESULT_OK ||
        strFolder.empty()) {
        strFolder = ProgramFolder();
    }
    return WithTrailingBackslash(strFolder) + USER_GUIDE_FILE;
}

void CDlgAbout::DoDataExchange(CDataExchange* pDX) {
    // Each showing has a new window, and the link lets go of the old one when
    // it is destroyed. Attached this way rather than by DDX_Control, so that
    // the link adjusts its window (PreSubclassWindow).
    if (m_link.GetSafeHwnd() == nullptr) {
        m_link.SubclassDlgItem(IDC_LINK, this);
    }
    DDX_Text(pDX, IDC_VERSION, m_strVersion);
}

void CDlgAbout::ShowData() {
    CDataExchange dx(this, FALSE);
    DoDataExchange(&dx);
}

BOOL CDlgAbout::OnInitDialog() {
    CDialog::OnInitDialog();
    ShowData();

    m_link.SetLinkUrl(UserGuidePath());
    m_link.SetLinkText(LINK_TEXT);

    m_strVersion = VERSION_TEXT;
    ShowData();
    // Enter closes the box, as before the link became a tab stop.
    SetFocus(GetDlgItem(m_hWnd, IDOK));
    return FALSE;
}
