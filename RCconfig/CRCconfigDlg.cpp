#include "CRCconfigDlg.h"

#include "AddressText.h"
#include "CPortEnum.h"
#include "CReg.h"
#include "CResidentLauncher.h"
#include "CWinApp.h"
#include "DpiScale.h"
#include "MessageBox.h"
#include "PortNumberFromName.h"
#include "Settings.h"
#include "WindowDpi.h"
#include "resource.h"

#include <shlobj.h>

#include <iterator>

namespace {

const char* const TEXT_STILL_RUNNING = "Remote Control utility is running! Please close it!";
const char* const TEXT_NOT_ADMIN =
    "All your changes will not be accepted! You aren't an administrator.\n"
    "Log as administrator and then you make any changes.";
const char* const TEXT_CANNOT_WRITE = "Cannot write to registry key.";

const char* const TYPE_NAME_VEKO = "VEKO";
const char* const TYPE_NAME_ZELMAR_OVI = "ZELMAR_OVI";

// The picture of each type at 1x, 1.5x and 2x.
const UINT PICTURES_TYPE0[dpi::PICTURE_SCALES] = {IDB_RC_TYPE0, IDB_RC_TYPE0_150, IDB_RC_TYPE0_200};
const UINT PICTURES_TYPE1[dpi::PICTURE_SCALES] = {IDB_RC_TYPE1, IDB_RC_TYPE1_150, IDB_RC_TYPE1_200};

} // namespace

CRCconfigDlg::CRCconfigDlg(CWnd* pParent, CDetectionPort* pPort)
    : CDialog(IDD_RCCONFIG_DIALOG, pParent),
      m_hIcon(LoadIconA(framework::AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME))),
      m_detection(*this, pPort != nullptr ? *pPort : m_systemPort) {}

CRCconfigDlg::~CRCconfigDlg() {
    // The worker uses this object: it must not outlive it.
    StopDetectThread();
}

const framework::MessageMap* CRCconfigDlg::GetMessageMap() const {
    using framework::Handler;
    static const framework::MessageMapEntry entries[] = {
        {WM_PAINT, 0, Handler<&CRCconfigDlg::OnPaint>},
        {WM_QUERYDRAGICON, 0, Handler<&CRCconfigDlg::OnQueryDragIcon>},
        {WM_DESTROY, 0, Handler<&CRCconfigDlg::OnDestroy>},
        {WM_COMMAND, IDC_AUTO_DETECT_PORT, Handler<&CRCconfigDlg::OnAutoDetectCommPort>},
        {CDetection::WM_PORT_DETECTED, 0, Handler<&CRCconfigDlg::OnPortDetected>},
        {WM_TIMER, 0, Handler<&CRCconfigDlg::OnTimer>},
        {WM_COMMAND, IDC_AUTO_DETECT_ADDRESS, Handler<&CRCconfigDlg::OnAutoDetectAddress>},
        {CDetection::WM_ADDRESS_DETECTED, 0, Handler<&CRCconfigDlg::OnAddressDetected>},
        {CDetection::WM_TYPE_DETECTED, 0, Handler<&CRCconfigDlg::OnTypeDetected>},
        {WM_DPICHANGED, 0, Handler<&CRCconfigDlg::OnDpiChanged>},
        {WM_COMMAND, MAKEWPARAM(IDC_COMM_PORT, CBN_SELCHANGE),
         Handler<&CRCconfigDlg::OnSelchangePort>},
        {WM_COMMAND, MAKEWPARAM(IDC_RC_TYPE, CBN_SELCHANGE),
         Handler<&CRCconfigDlg::OnSelchangeRCType>},
    };
    static const framework::MessageMap map{CDialog::GetMessageMap(), entries, std::size(entries)};
    return &map;
}

void CRCconfigDlg::DoDataExchange(CDataExchange* pDX) {
    DDX_Text(pDX, IDC_ADDRESS, m_strAddress);
    DDX_Control(pDX, IDC_COMM_PORT, m_comboPort);
    DDX_Check(pDX, IDC_RUN_AFTER_START, m_bRunAfterStartSystem);
    DDX_Control(pDX, IDC_PROGRESS, m_detection.ProgressBar());
    DDX_Control(pDX, IDC_RC_TYPE, m_comboRCType);
    DDX_Control(pDX, IDC_RC_PICTURE, m_picture);
}

BOOL CRCconfigDlg::UpdateData(BOOL bSaveAndValidate) {
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return dx.Succeeded();
}

BOOL CRCconfigDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    UpdateData(FALSE);
    SendMessageA(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessageA(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

    // Both programs open the port without sharing, and the resident program
    // reads the settings only when it starts.
    if (!CloseRemoteControl()) {
        ShowMessage(TEXT_STILL_RUNNING, MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
    LoadSettings();
    UpdateData(FALSE);
    return TRUE;
}

void CRCconfigDlg::LoadSettings() {
    const CReg reg;
    const std::string strKey = settings::SETTINGS_KEY;
    // A value that cannot be read leaves its member as the constructor set it.
    DWORD dwValue = 0;
    if (reg.ReadDword(HKEY_LOCAL_MACHINE, strKey, std::string(settings::VALUE_ADDRESS), &dwValue) ==
        CReg::RESULT_OK) {
        m_wAddress = LOWORD(dwValue);
    }
    if (reg.ReadDword(HKEY_LOCAL_MACHINE, strKey, std::string(settings::VALUE_COMM_PORT),
                      &dwValue) == CReg::RESULT_OK) {
        m_nCommPort = static_cast<int>(dwValue);
    }
    m_strAddress = AddressText(m_wAddress);

    m_comboPort.ResetContent();
    {
        CPortEnum ports;
        char szName[PORT_NAME_SIZE];
        char szDescription[PORT_DESCRIPTION_SIZE];
        while (ports.Next(szName, szDescription, sizeof(szDescription), nullptr, 0)) {
            const int nIndex = m_comboPort.AddString(szName);
            if (nIndex >= 0) {
                m_comboPort.SetItemData(
                    nIndex, static_cast<DWORD_PTR>(PortNumberFromName(szName, sizeof(szName))));
            }
        }
    }
    SelectPort(m_nCommPort);

    if (reg.ReadDword(HKEY_LOCAL_MACHINE, strKey, std::string(settings::VALUE_RUN_AFTER_START),
                      &dwValue) == CReg::RESULT_OK) {
        m_bRunAfterStartSystem = dwValue != 0 ? 1 : 0;
    }

    m_comboRCType.ResetContent();
    int nIndex = m_comboRCType.AddString(TYPE_NAME_VEKO);
    m_comboRCType.SetItemData(nIndex, settings::RC_TYPE_VEKO);
    nIndex = m_comboRCType.AddString(TYPE_NAME_ZELMAR_OVI);
    m_comboRCType.SetItemData(nIndex, settings::RC_TYPE_ZELMAR_OVI);

    LoadTypePictures(framework::GetWindowDpi(m_hWnd));

    if (reg.ReadDword(HKEY_LOCAL_MACHINE, strKey, std::string(settings::VALUE_RC_TYPE), &dwValue) ==
        CReg::RESULT_OK) {
        // A value of neither type selects nothing and is stored back unchanged.
        m_nRCType = static_cast<int>(dwValue);
        ShowType(m_nRCType);
    }
    m_bSettingsLoaded = true;
}

void CRCconfigDlg::SelectPort(int nPort) {
    const int nCount = m_comboPort.GetCount();
    for (int i = 0; i < nCount; ++i) {
        if (m_comboPort.GetItemData(i) == static_cast<DWORD_PTR>(nPort)) {
            m_comboPort.SetCurSel(i);
            return;
        }
    }
}

void CRCconfigDlg::ShowType(int nType) {
    if (nType != settings::RC_TYPE_VEKO && nType != settings::RC_TYPE_ZELMAR_OVI) {
        m_comboRCType.SetCurSel(-1);
        m_picture.SetBitmap(nullptr);
        return;
    }
    const int nCount = m_comboRCType.GetCount();
    for (int i = 0; i < nCount; ++i) {
        if (m_comboRCType.GetItemData(i) == static_cast<DWORD_PTR>(nType)) {
            m_comboRCType.SetCurSel(i);
        }
    }
    m_picture.SetBitmap(nType == settings::RC_TYPE_VEKO ? m_bmpType0.GetSafeHandle()
                                                        : m_bmpType1.GetSafeHandle());
}

void CRCconfigDlg::LoadTypePictures(UINT nDpi) {
    const int nIndex = dpi::PictureIndex(dpi::PictureHalves(static_cast<int>(nDpi)));
    m_bmpType0.DeleteObject();
    m_bmpType1.DeleteObject();
    // Without the scaled pictures the 1x ones still tell the types apart.
    if (!m_bmpType0.LoadBitmap(PICTURES_TYPE0[nIndex])) {
        m_bmpType0.LoadBitmap(PICTURES_TYPE0[0]);
    }
    if (!m_bmpType1.LoadBitmap(PICTURES_TYPE1[nIndex])) {
        m_bmpType1.LoadBitmap(PICTURES_TYPE1[0]);
    }
}

LRESULT CRCconfigDlg::OnDpiChanged(WPARAM, LPARAM) {
    // The dialog manager scales the window and its controls; the picture is
    // swapped for the one drawn at the new scale.
    const LRESULT lResult = Default();
    const HBITMAP hShown = m_picture.GetBitmap();
    if (hShown == nullptr) {
        return lResult;
    }
    const bool bType0 = hShown == m_bmpType0.GetSafeHandle();
    m_picture.SetBitmap(nullptr);
    LoadTypePictures(framework::GetWindowDpi(m_hWnd));
    m_picture.SetBitmap(bType0 ? m_bmpType0.GetSafeHandle() : m_bmpType1.GetSafeHandle());
    return lResult;
}

void CRCconfigDlg::OnSelchangePort() {
    const int nIndex = m_comboPort.GetCurSel();
    if (nIndex != CB_ERR) {
        m_nCommPort = static_cast<int>(m_comboPort.GetItemData(nIndex));
    }
}

void CRCconfigDlg::OnSelchangeRCType() {
    const int nIndex = m_comboRCType.GetCurSel();
    if (nIndex != CB_ERR) {
        m_nRCType = static_cast<int>(m_comboRCType.GetItemData(nIndex));
        ShowType(m_nRCType);
    }
}

void CRCconfigDlg::TypeDetected(int nType) {
    m_nRCType = nType;
    ShowType(m_nRCType);
}

void CRCconfigDlg::PortDetected(int nPort) {
    // Take the check box first: showing the port must not undo a change the
    // user made while the search ran.
    UpdateData(TRUE);
    m_nCommPort = nPort;
    UpdateData(FALSE);
    SelectPort(m_nCommPort);
}

void CRCconfigDlg::AddressDetected(std::uint16_t wAddress) {
    // Take the check box first, as after a port search.
    UpdateData(TRUE);
    m_wAddress = wAddress;
    m_strAddress = AddressText(m_wAddress);
    UpdateData(FALSE);
}

void CRCconfigDlg::OnAutoDetectCommPort() {
    m_detection.OnAutoDetectCommPort(m_comboPort.GetCount(), m_nCommPort);
}

void CRCconfigDlg::OnAutoDetectAddress() {
    m_detection.OnAutoDetectAddress(m_nCommPort);
}

LRESULT CRCconfigDlg::OnTimer(WPARAM wParam, LPARAM) {
    m_detection.OnTimer(static_cast<UINT_PTR>(wParam));
    return Default();
}

LRESULT CRCconfigDlg::OnPortDetected(WPARAM wParam, LPARAM lParam) {
    int nPort = 0;
    const bool bFound = CDetection::PortFound(wParam, lParam, &nPort);
    if (bFound) {
        PortDetected(nPort);
    }
    m_detection.TellPortSearchEnded(bFound);
    return 1;
}

LRESULT CRCconfigDlg::OnAddressDetected(WPARAM wParam, LPARAM lParam) {
    std::uint16_t wAddress = 0;
    const bool bFound = CDetection::AddressFound(wParam, lParam, &wAddress);
    if (bFound) {
        AddressDetected(wAddress);
    }
    m_detection.TellAddressDetectionEnded(bFound);
    return 1;
}

LRESULT CRCconfigDlg::OnTypeDetected(WPARAM wParam, LPARAM) {
    TypeDetected(CDetection::TypeHeard(wParam));
    return 1;
}

int CRCconfigDlg::StartDetectThread() {
    return m_detection.Start(m_nCommPort);
}

int CRCconfigDlg::StopDetectThread() {
    return m_detection.Stop();
}

BOOL CRCconfigDlg::CloseRemoteControl() {
    return m_resident.Close();
}

BOOL CRCconfigDlg::RestartRemoteControl() {
    const CResidentControl::RestartResult result = m_resident.Restart();
    if (result == CResidentControl::RestartResult::PathUnknown) {
        ShowMessage(CResidentControl::CANNOT_READ_TEXT, MB_OK | MB_ICONEXCLAMATION);
    }
    return result == CResidentControl::RestartResult::Idle ? TRUE : FALSE;
}

BOOL CRCconfigDlg::IsAdministrator() const {
    return IsUserAnAdmin();
}

void CRCconfigDlg::OnOK() {
    // The worker uses this object, and a port search may still change the type.
    StopDetectThread();
    if (!m_bSettingsLoaded) {
        // The fields hold no settings: storing them would wipe the real ones.
        RestartRemoteControl();
        EndWithOk();
        return;
    }
    if (!IsAdministrator()) {
        ShowMessage(TEXT_NOT_ADMIN, MB_OK | MB_ICONEXCLAMATION);
        RestartRemoteControl();
        EndWithOk();
        return;
    }
    UpdateData(TRUE);
    WriteSetting(settings::VALUE_ADDRESS, m_wAddress);
    WriteSetting(settings::VALUE_RC_TYPE, static_cast<DWORD>(m_nRCType));
    WriteSetting(settings::VALUE_COMM_PORT, static_cast<DWORD>(m_nCommPort));
    WriteSetting(settings::VALUE_RUN_AFTER_START, static_cast<DWORD>(m_bRunAfterStartSystem));
    UpdateAutostart();
    RestartRemoteControl();
    EndWithOk();
}

void CRCconfigDlg::WriteSetting(const char* pszName, DWORD dwValue) {
    const CReg reg;
    if (reg.WriteDword(HKEY_LOCAL_MACHINE, std::string(settings::SETTINGS_KEY),
                       std::string(pszName), &dwValue) != CReg::RESULT_OK) {
        // The remaining settings are written all the same.
        ShowMessage(TEXT_CANNOT_WRITE, MB_OK | MB_ICONEXCLAMATION);
    }
}

void CRCconfigDlg::UpdateAutostart() {
    const CReg reg;
    if (m_bRunAfterStartSystem == 0) {
        // An absent value is no error.
        reg.DeleteValue(HKEY_LOCAL_MACHINE, std::string(settings::RUN_KEY),
                        std::string(settings::RUN_VALUE));
        return;
    }
    std::string strPath;
    if (reg.ReadString(HKEY_LOCAL_MACHINE, std::string(settings::SETTINGS_KEY),
                       std::string(settings::VALUE_PATH), strPath) != CReg::RESULT_OK) {
        ShowMessage(TEXT_CANNOT_WRITE, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    // Quoted: unquoted, a folder with a space would make the system start
    // whatever program the part before the space names.
    const std::string strCommand = "\"" + strPath + CResidentLauncher::RESIDENT_FILE + "\"";
    if (reg.WriteString(HKEY_LOCAL_MACHINE, std::string(settings::RUN_KEY),
                        std::string(settings::RUN_VALUE), strCommand) != CReg::RESULT_OK) {
        ShowMessage(TEXT_CANNOT_WRITE, MB_OK | MB_ICONEXCLAMATION);
    }
}

void CRCconfigDlg::EndWithOk() {
    UpdateData(TRUE);
    EndDialog(IDOK);
}

void CRCconfigDlg::OnCancel() {
    StopDetectThread();
    RestartRemoteControl();
    EndDialog(IDCANCEL);
}

void CRCconfigDlg::OnPaint() {
    if (!PaintIconIfMinimized(m_hIcon)) {
        Default();
    }
}

LRESULT CRCconfigDlg::OnQueryDragIcon(WPARAM, LPARAM) {
    return reinterpret_cast<LRESULT>(m_hIcon);
}

void CRCconfigDlg::OnDestroy() {
    // However the dialog ends: the worker uses its windows.
    StopDetectThread();
    Default();
}

int CRCconfigDlg::ShowMessage(const char* pszText, UINT nType) {
    // Owned by the dialog, so that the dialog takes no input while a box waits.
    return framework::ShowMessageBox(m_hWnd, pszText, framework::AppTitle().c_str(), nType);
}
