// The LIRC server's part of the main dialog: its port from the settings and
// the warning when another program holds that port.
#include "CRCDlg.h"

#include "CLircProtocol.h"
#include "CReg.h"
#include "RcMessages.h"
#include "Settings.h"

#include <shellapi.h>

namespace {

const char* const TITLE_LIRC_PORT_TAKEN = "LIRC port in use";

} // namespace

void CRCDlg::StartLircServer() {
    const CReg reg;
    DWORD dwPort = 0;
    const bool bPresent = reg.ReadDword(HKEY_LOCAL_MACHINE, settings::SETTINGS_KEY,
                                        settings::VALUE_LIRC_PORT, &dwPort) == CReg::RESULT_OK;
    // The address as the decoder took it from the settings.
    const std::uint32_t dwAddress =
        (static_cast<std::uint32_t>(m_decoder.GetAddrHigh()) << 8) | m_decoder.GetAddrLow();
    m_lirc.Start(CLircProtocol::PortFromSetting(bPresent, dwPort), dwAddress, m_hWnd,
                 WM_RC_LIRC_PORT_TAKEN);
}

LRESULT CRCDlg::OnLircPortTaken(WPARAM, LPARAM) {
    // Any process can post this number: only the server's own state counts.
    TellLircPortTaken();
    return 0;
}

void CRCDlg::TellLircPortTaken() {
    KillTimer(m_hWnd, LIRC_BALLOON_TIMER_ID);
    if (!m_lirc.IsPortTaken()) {
        return;
    }
    const std::string strText =
        "Port " + std::to_string(m_lirc.Port()) +
        (m_lirc.IsPortReserved() ? " is reserved by Windows (for Hyper-V, WSL or Docker)"
                                 : " is used by another program") +
        ", so programs that read the remote over the LIRC protocol "
        "get no keys. KV480 tries again every 30 seconds.";
    if (!ShowTrayBalloon(TITLE_LIRC_PORT_TAKEN, strText, NIIF_WARNING)) {
        SetTimer(m_hWnd, LIRC_BALLOON_TIMER_ID, LIRC_BALLOON_RETRY_MS, nullptr);
    }
}
