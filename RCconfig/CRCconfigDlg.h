// The configuration dialog of KV480cfg: port, address and type of the remote
// control and the autostart of the resident program. Two objects of its own
// do the rest: m_resident (CResidentControl) ends a running resident program
// when the dialog opens and starts it again when it closes; m_detection
// (CDetection) runs the port search and the address detection. The dialog
// reads what they report, and shows it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "CBitmap.h"
#include "CComboBox.h"
#include "CDataExchange.h"
#include "CDetection.h"
#include "CDetectionPort.h"
#include "CDialog.h"
#include "CResidentControl.h"
#include "CStatic.h"

class CRCconfigDlg : public CDialog {
public:
    // port: how the detections' worker reaches a port; the system's way when
    // null. It must outlive the dialog.
    explicit CRCconfigDlg(CWnd* pParent = nullptr, CDetectionPort* pPort = nullptr);
    ~CRCconfigDlg() override;

    // Ends a running resident program: WM_CLOSE, then force after 3000 ms.
    // TRUE when none runs any more.
    virtual BOOL CloseRemoteControl();
    // Starts the resident program from the installation folder with "-nr";
    // TRUE when it became idle within 3000 ms.
    BOOL RestartRemoteControl();

    // Starts the detection worker in the mode of the detection running; stops
    // it and drops the results it posted.
    int StartDetectThread();
    int StopDetectThread();

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    const framework::MessageMap* GetMessageMap() const override;

    // Only an administrator's changes are stored.
    virtual BOOL IsAdministrator() const;

private:
    // Buffers the port enumeration fills.
    static constexpr int PORT_NAME_SIZE = 100;
    static constexpr int PORT_DESCRIPTION_SIZE = 100;

    // Message handlers.
    void OnPaint();
    LRESULT OnQueryDragIcon(WPARAM wParam, LPARAM lParam);
    void OnDestroy();
    void OnSelchangePort();
    void OnSelchangeRCType();
    void OnAutoDetectCommPort();
    void OnAutoDetectAddress();
    LRESULT OnTimer(WPARAM wParam, LPARAM lParam);
    LRESULT OnPortDetected(WPARAM wParam, LPARAM lParam);
    LRESULT OnAddressDetected(WPARAM wParam, LPARAM lParam);
    LRESULT OnTypeDetected(WPARAM wParam, LPARAM lParam);
    LRESULT OnDpiChanged(WPARAM wParam, LPARAM lParam);

    // A box owned by the dialog, with the utility's title.
    int ShowMessage(const char* pszText, UINT nType);
    // What the detections found, shown.
    void TypeDetected(int nType);
    void PortDetected(int nPort);
    void AddressDetected(std::uint16_t wAddress);

    void LoadSettings();
    void WriteSetting(const char* pszName, DWORD dwValue);
    void UpdateAutostart();
    void EndWithOk();
    void SelectPort(int nPort);
    void ShowType(int nType);
    // Loads both type pictures as drawn for nDpi.
    void LoadTypePictures(UINT nDpi);

    HICON m_hIcon;
    std::string m_strAddress;
    WORD m_wAddress = 0;
    int m_nCommPort = 0;
    int m_nRCType = 0;
    int m_bRunAfterStartSystem = 1;
    CComboBox m_comboPort;
    CComboBox m_comboRCType;
    CStatic m_picture;
    CBitmap m_bmpType1;
    CBitmap m_bmpType0;
    // Whether OnInitDialog loaded the settings; without them OK stores nothing.
    bool m_bSettingsLoaded = false;

    CResidentControl m_resident;
    CDetectionPort m_systemPort;
    // Last: its worker is stopped before the controls it reaches are destroyed.
    CDetection m_detection;
};
