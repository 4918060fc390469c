// The configuration dialog of KV480cfg: port, address and type of the remote
// control and the autostart of the resident program. It ends a running
// resident program when it opens and starts it again when it closes. Two
// detections run on its worker, m_detectWorker (CDetectWorker, which has
// OpenCommPort, ProbePort and DetectThreadProc): the port search (which port
// hears the receiver, and which type of remote) and the address detection.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "CBitmap.h"
#include "CComboBox.h"
#include "CDataExchange.h"
#include "CDetectWorker.h"
#include "CDialog.h"
#include "CPortOpener.h"
#include "CProgressCtrl.h"
#include "CStatic.h"

class CRCconfigDlg : public CDialog, private CDetectWorker::Listener {
public:
    // Posted by the worker. WM_ADDRESS_DETECTED: wParam the address, lParam 1
    // when found. WM_PORT_DETECTED: wParam 1 when found, lParam the last port
    // probed. Sent by the worker: WM_TYPE_DETECTED, wParam the type it heard,
    // so that the dialog's own thread changes the type.
    enum : UINT {
        WM_ADDRESS_DETECTED = WM_USER + 5,
        WM_PORT_DETECTED = WM_USER + 6,
        WM_TYPE_DETECTED = WM_USER + 7
    };

    explicit CRCconfigDlg(CWnd* pParent = nullptr);
    ~CRCconfigDlg() override;

    // Ends a running resident program: WM_CLOSE, then force after 3000 ms.
    // TRUE when none runs any more.
    virtual BOOL CloseRemoteControl();
    // Starts the resident program from the installation folder with "-nr";
    // TRUE when it became idle within 3000 ms.
    BOOL RestartRemoteControl();

    // Detection (CRCconfigDlgDetect.cpp): starts the worker in the mode of
    // m_bDetectAddress; stops it and drops the results it posted.
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
    // One read of the worker: returns when dwWant bytes came, after the port's
    // 2000 ms time-out, or at once on a stop request (then FALSE).
    BOOL ReadPort(HANDLE hPort, BYTE* pBuffer, DWORD dwWant, DWORD* pdwRead) override;
    // How the worker opens a port; null for the system's open. A plain
    // function: an abandoned open may end after the dialog is gone.
    virtual CPortOpener::OpenFunction DeviceOpenFunction() const { return nullptr; }

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

    int ShowMessage(const char* pszText, UINT nType);
    void LoadSettings();
    void WriteSetting(const char* pszName, DWORD dwValue);
    void UpdateAutostart();
    void EndWithOk();
    void SelectPort(int nPort);
    void ShowType(int nType);
    // Loads both type pictures as drawn for nDpi.
    void LoadTypePictures(UINT nDpi);
    void SetControlText(int nID, const char* pszText);
    void EnableControl(int nID, BOOL bEnable);
    void ShowProgress(BOOL bShow);

    // CDetectWorker::Listener, on the worker's thread.
    void DetectStep() override;
    void TypeDetected(int nType) override;
    void PortSearchEnded(bool bFound, int nLastPort) override;
    void AddressDetectionEnded(std::uint16_t wAddress, bool bFound) override;
    void DiscardResults();

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

    // Detection.
    int m_bDetectAddress = 0;
    int m_bBlink = 0;
    CProgressCtrl m_progress;
    // Last: stopped before the controls it reaches are destroyed.
    CDetectWorker m_detectWorker{*this};
};
