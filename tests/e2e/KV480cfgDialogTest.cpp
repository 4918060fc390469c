// The configuration dialog inside the test process, for what a test cannot
// bring about from outside: a user who is not an administrator (Wine takes
// every user for one), a resident program that cannot be ended, and a worker
// that hangs in a read. A derived dialog stands in for those; a second thread
// plays the user, and the message boxes are recorded instead of shown.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "CRCconfigDlg.h"
#include "CSerialLine.h"
#include "KV480cfgTestSupport.h"
#include "LineState.h"
#include "MessageBox.h"
#include "ProgramUnderTest.h"

using harness::WaitUntil;
using namespace kv480cfg_test;

namespace {

const std::string kRoot = "C:\\kv480cfg-dialog\\";

// An open that hangs, as a Bluetooth port's while it looks for its remote
// device, until the test lets it go on; what it opened, for the test to look at.
HANDLE g_hReleaseOpen = nullptr;
std::atomic<bool> g_bOpenEntered{false};
std::atomic<HANDLE> g_hOpened{INVALID_HANDLE_VALUE};

HANDLE HangingOpen(int nPort, DWORD* pdwError) {
    g_bOpenEntered = true;
    WaitForSingleObject(g_hReleaseOpen, 20000);
    const HANDLE hDevice = CSerialLine::OpenDevice(CSerialLine::DeviceName(nPort).c_str());
    *pdwError = GetLastError();
    g_hOpened = hDevice;
    return hDevice;
}

// The worker's way to a port, with an open or a read that can hang.
class CTestPort : public CDetectionPort {
public:
    bool bReadsHang = false;
    bool bOpensHang = false;
    // The port handle of the worker's last read.
    std::atomic<HANDLE> hReadPort{INVALID_HANDLE_VALUE};

    CPortOpener::OpenFunction OpenFunction() const override {
        return bOpensHang ? &HangingOpen : nullptr;
    }
    void BeforeRead(HANDLE hPort) override {
        hReadPort = hPort;
        if (bReadsHang) {
            // Deaf to the stop request, as a read stuck in a driver.
            Sleep(INFINITE);
        }
    }
};

class CTestConfigDlg : public CRCconfigDlg {
public:
    explicit CTestConfigDlg(CTestPort* pPort = nullptr) : CRCconfigDlg(nullptr, pPort) {}

    bool bAdministrator = true;
    bool bResidentEnds = true;

    BOOL CloseRemoteControl() override {
        return bResidentEnds ? CRCconfigDlg::CloseRemoteControl() : FALSE;
    }

protected:
    BOOL IsAdministrator() const override { return bAdministrator ? TRUE : FALSE; }
};

class KV480cfgDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        EndResidents();
        DeleteSettings();
        DeleteTree(kRoot);
        ASSERT_TRUE(CreateDirectoryA(kRoot.c_str(), nullptr)) << GetLastError();
        // The resident program's stand-in: it leaves a trace when started.
        ASSERT_TRUE(CopyFileA((OwnFolder() + "rc_fake_resident.exe").c_str(),
                              (kRoot + "KV480.exe").c_str(), FALSE))
            << GetLastError();
        ASSERT_TRUE(WriteString(kSettingsKey, "Path", kRoot));
        framework::SetMessageBoxRecorder(&KV480cfgDialogTest::Record, this);
    }

    void TearDown() override {
        framework::SetMessageBoxRecorder(nullptr, nullptr);
        EndResidents();
        DeleteSettings();
        DeleteTree(kRoot);
    }

    static int Record(const framework::MessageBoxRecord& box, void* context) {
        auto* self = static_cast<KV480cfgDialogTest*>(context);
        std::lock_guard<std::mutex> lock(self->m_boxesLock);
        self->m_boxes.push_back(box.text);
        return (box.type & MB_YESNO) == MB_YESNO ? IDYES : IDOK;
    }

    std::vector<std::string> Boxes() {
        std::lock_guard<std::mutex> lock(m_boxesLock);
        return m_boxes;
    }

    // The shown dialog among the windows of thread threadId, or null.
    static HWND FindDialog(DWORD threadId) {
        HWND found = nullptr;
        EnumThreadWindows(
            threadId,
            [](HWND window, LPARAM param) {
                char caption[64] = "";
                GetWindowTextA(window, caption, static_cast<int>(sizeof(caption)));
                if (IsWindowVisible(window) && lstrcmpA(caption, kDialogCaption) == 0) {
                    *reinterpret_cast<HWND*>(param) = window;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&found));
        return found;
    }

    // Runs the dialog on this thread while user() acts on it from another.
    template <typename User> INT_PTR Run(CTestConfigDlg& dlg, User user) {
        const DWORD threadId = GetCurrentThreadId();
        std::thread player([&] {
            HWND dialog = nullptr;
            if (WaitUntil([&] { return (dialog = FindDialog(threadId)) != nullptr; }, 10000)) {
                user(dialog);
            } else {
                ADD_FAILURE() << "the dialog did not show";
                PostThreadMessageA(threadId, WM_QUIT, 0, 0); // ends the modal loop
            }
        });
        const INT_PTR result = dlg.DoModal();
        player.join();
        return result;
    }

    static std::string Text(HWND dialog, int id) {
        char text[256] = "";
        GetDlgItemTextA(dialog, id, text, static_cast<int>(sizeof(text)));
        return text;
    }

    std::mutex m_boxesLock;
    std::vector<std::string> m_boxes;
};

TEST_F(KV480cfgDialogTest, OkOfAUserWhoIsNoAdministratorStoresNothing) {
    ASSERT_TRUE(WriteDword("Address", 0x12ED));
    ASSERT_TRUE(WriteDword("RC_type", 0));
    const std::vector<std::string> before = SettingNames();
    CTestConfigDlg dlg;
    dlg.bAdministrator = false;
    const INT_PTR result = Run(dlg, [](HWND dialog) {
        const HWND type = GetDlgItem(dialog, IDC_RC_TYPE);
        SendMessageA(type, CB_SETCURSEL, 1, 0);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_RC_TYPE, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(type));
        PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(std::vector<std::string>{kTextNotAdmin}, Boxes());
    EXPECT_EQ(before, SettingNames());
    DWORD value = 0;
    EXPECT_TRUE(ReadDword("RC_type", value));
    EXPECT_EQ(0u, value);
    std::string run;
    EXPECT_FALSE(ReadString(kRunKey, kRunValue, run));
    EXPECT_TRUE(WaitUntil([] { return FileExists(kRoot + "KV480.exe.ran"); }, 5000))
        << "the resident program is started all the same";
}

TEST_F(KV480cfgDialogTest, WithoutLoadedSettingsOkStoresNothing) {
    ASSERT_TRUE(WriteDword("Address", 0x12ED));
    ASSERT_TRUE(WriteDword("CommPort", 3));
    ASSERT_TRUE(WriteDword("RC_type", 1));
    ASSERT_TRUE(WriteDword("RunAfterStartSystem", 0));
    CTestConfigDlg dlg;
    dlg.bResidentEnds = false;
    std::string address = "unread";
    LRESULT ports = -1;
    LRESULT types = -1;
    bool checked = false;
    Run(dlg, [&](HWND dialog) {
        address = Text(dialog, IDC_ADDRESS);
        ports = SendMessageA(GetDlgItem(dialog, IDC_COMM_PORT), CB_GETCOUNT, 0, 0);
        types = SendMessageA(GetDlgItem(dialog, IDC_RC_TYPE), CB_GETCOUNT, 0, 0);
        checked = IsDlgButtonChecked(dialog, IDC_RUN_AFTER_START) == BST_CHECKED;
        PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    });
    EXPECT_EQ(std::vector<std::string>{kTextStillRunning}, Boxes());
    EXPECT_EQ("", address);
    EXPECT_EQ(0, ports);
    EXPECT_EQ(0, types);
    EXPECT_TRUE(checked);
    DWORD value = 0;
    EXPECT_TRUE(ReadDword("Address", value));
    EXPECT_EQ(0x12EDu, value);
    EXPECT_TRUE(ReadDword("CommPort", value));
    EXPECT_EQ(3u, value);
    EXPECT_TRUE(ReadDword("RC_type", value));
    EXPECT_EQ(1u, value);
    EXPECT_TRUE(ReadDword("RunAfterStartSystem", value));
    EXPECT_EQ(0u, value);
}

TEST_F(KV480cfgDialogTest, WorkerEndedByForceLeavesNoPortOpen) {
    ASSERT_TRUE(WriteDword("CommPort", 1));
    harness::ClearLineState("COM1");
    CTestPort port;
    port.bReadsHang = true;
    CTestConfigDlg dlg{&port};
    DWORD cancelled = 0;
    Run(dlg, [&](HWND dialog) {
        PostMessageA(GetDlgItem(dialog, IDC_AUTO_DETECT_ADDRESS), BM_CLICK, 0, 0);
        const bool opened = WaitUntil([] { return harness::DtrRaised("COM1"); }, 10000);
        EXPECT_TRUE(opened) << "the worker opened the port";
        cancelled = GetTickCount();
        PostMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
    });
    const DWORD stopping = GetTickCount() - cancelled;
    EXPECT_GE(stopping, 3900u) << "the worker ignored the request and was terminated";
    EXPECT_LT(stopping, 8000u);
    // Wine lets anyone open a port that is open already, so look at the
    // handle itself: it must not be a port any more.
    ASSERT_NE(INVALID_HANDLE_VALUE, port.hReadPort.load());
    DCB dcb{};
    dcb.DCBlength = sizeof(dcb);
    EXPECT_FALSE(GetCommState(port.hReadPort.load(), &dcb)) << "the port was left open";
}

TEST_F(KV480cfgDialogTest, StopAnswersWithinASecondWhileAnOpenHangsAndTheOpenEndsAlone) {
    ASSERT_TRUE(WriteDword("CommPort", 1));
    g_hReleaseOpen = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    g_bOpenEntered = false;
    g_hOpened = INVALID_HANDLE_VALUE;
    {
        CTestPort port;
        port.bOpensHang = true;
        CTestConfigDlg dlg{&port};
        Run(dlg, [&](HWND dialog) {
            PostMessageA(GetDlgItem(dialog, IDC_AUTO_DETECT_ADDRESS), BM_CLICK, 0, 0);
            ASSERT_TRUE(WaitUntil([] { return g_bOpenEntered.load(); }, 10000));
            const DWORD stop = GetTickCount();
            // "Stop Detect Address", answered Yes: idle again once the port
            // search's button is enabled.
            PostMessageA(GetDlgItem(dialog, IDC_AUTO_DETECT_ADDRESS), BM_CLICK, 0, 0);
            EXPECT_TRUE(WaitUntil(
                [&] { return IsWindowEnabled(GetDlgItem(dialog, IDC_AUTO_DETECT_PORT)) != FALSE; },
                5000));
            EXPECT_LT(GetTickCount() - stop, 1000u);
            PostMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
        });
    }
    // The dialog is gone; the abandoned open ends now and closes the port.
    SetEvent(g_hReleaseOpen);
    EXPECT_TRUE(WaitUntil(
        [] {
            DCB dcb{};
            dcb.DCBlength = sizeof(dcb);
            return g_hOpened.load() != INVALID_HANDLE_VALUE &&
                   !GetCommState(g_hOpened.load(), &dcb);
        },
        5000))
        << "the abandoned open left the port open";
    CloseHandle(g_hReleaseOpen);
    g_hReleaseOpen = nullptr;
}

TEST_F(KV480cfgDialogTest, TheProgramIconIsTheDialogsIcon) {
    const HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(128));
    ASSERT_NE(nullptr, icon);
    CTestConfigDlg dlg;
    LRESULT big = 0;
    LRESULT small = 0;
    LRESULT drag = 0;
    Run(dlg, [&](HWND dialog) {
        big = SendMessageA(dialog, WM_GETICON, ICON_BIG, 0);
        small = SendMessageA(dialog, WM_GETICON, ICON_SMALL, 0);
        drag = SendMessageA(dialog, WM_QUERYDRAGICON, 0, 0);
        PostMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
    });
    EXPECT_EQ(reinterpret_cast<LRESULT>(icon), big);
    EXPECT_EQ(big, small);
    EXPECT_EQ(big, drag);
}

} // namespace
