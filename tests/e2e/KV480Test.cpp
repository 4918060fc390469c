// The resident program end to end: KV480.exe runs as its own process, a
// device plays the receiver on the other end of a virtual null-modem pair, and
// windows of this process act as receiving applications.
#include <windows.h>
#include <dbt.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "CExitSignal.h"
#include "DevicePort.h"
#include "ResidentFixture.h"
#include "LineState.h"
#include "Pointer.h"
#include "ProgramUnderTest.h"
#include "ReceivingWindow.h"
#include "TrayIcons.h"

using harness::DevicePort;
using harness::MessageBoxSeen;
using harness::ProgramUnderTest;
using harness::ReceivingWindow;
using harness::WaitUntil;
using namespace e2e;

namespace {

const char* const kNotConfigured =
    "The remote control has not been configured.\nYou should configure it with config utility.";
const UINT WM_RC_TRAY = WM_USER + 1;
const UINT WM_RC_DATA = WM_USER + 2;
const UINT ID_EXIT = 32790;

class KV480Test : public ResidentFixture {
protected:
    KV480Test() : ResidentFixture("kv480 e2e\\") {} // a folder with a space

    static std::string Section(const std::string& name, const std::string& className,
                               const std::string& windowName) {
        return "[" + name + "]\r\nClassName=" + className + "\r\nWindowName=" + windowName + "\r\n";
    }

    // Starts KV480 and waits for its hidden main dialog.
    HWND Start(const std::string& arguments = "-nr") {
        StartProgram(arguments);
        return m_main;
    }

    static void SendPortBroadcast(HWND window, WPARAM event, const char* name) {
        std::vector<char> buffer(offsetof(DEV_BROADCAST_PORT_A, dbcp_name) + strlen(name) + 1);
        auto* port = reinterpret_cast<DEV_BROADCAST_PORT_A*>(buffer.data());
        port->dbcp_size = static_cast<DWORD>(buffer.size());
        port->dbcp_devicetype = DBT_DEVTYP_PORT;
        memcpy(port->dbcp_name, name, strlen(name) + 1);
        DWORD_PTR result = 0;
        SendMessageTimeoutA(window, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(port),
                            SMTO_ABORTIFHUNG, 10000, &result);
    }
};

// A running, connected program with one receiving window listed by class.
class ConnectedKV480Test : public KV480Test {
protected:
    void SetUp() override {
        KV480Test::SetUp();
        if (HasFatalFailure())
            return;
        Configure();
        WriteIni(Section("Receiver", "KV480TestReceiver", "NULL"));
        m_receiver = std::make_unique<ReceivingWindow>("KV480TestReceiver", "Receiver");
        ASSERT_TRUE(m_receiver->BringToTop());
        StartConnected();
    }
    void TearDown() override {
        KV480Test::TearDown();
        m_receiver.reset();
    }

    // Notifies the tray icon as a shell of version 4 does (the event in
    // lParam's low word, the icon's id in its high word, the place in
    // wParam) and returns the menu that opens, its bottom right corner at
    // that place; null when none opens.
    HWND NotifyTrayIcon(UINT event, POINT place) {
        EXPECT_TRUE(WaitUntil([] { return harness::CountTrayIcons() == 1; }, 5000));
        PostMessageA(m_main, WM_RC_TRAY,
                     MAKEWPARAM(static_cast<WORD>(place.x), static_cast<WORD>(place.y)),
                     MAKELPARAM(event, 1));
        HWND menu = nullptr;
        if (!WaitUntil(
                [&] {
                    menu =
                        harness::FindProcessWindow(m_program.ProcessId(), "#32768", nullptr, true);
                    return menu != nullptr;
                },
                5000))
            return nullptr;
        RECT rect;
        GetWindowRect(menu, &rect);
        EXPECT_EQ(place.x, rect.right);
        EXPECT_EQ(place.y, rect.bottom);
        return menu;
    }

    std::unique_ptr<ReceivingWindow> m_receiver;
};

TEST_F(ConnectedKV480Test, KeysOfBothRemoteTypesReachTheReceivingWindow) {
    EXPECT_FALSE(IsWindowVisible(m_main)) << "the main dialog is never shown";
    EXPECT_TRUE(WaitUntil([] { return harness::CountTrayIcons() == 1; }, 5000));

    ASSERT_TRUE(m_device->Write(Frame({0x12, 0xED, 0x13}))); // VEKO key 1
    ASSERT_TRUE(m_receiver->WaitForKeys(1, 5000));
    // ZELMAR_OVI: address bits 0x12 as stored in the high byte, command 0x04 = key 7.
    ASSERT_TRUE(m_device->Write(Frame({0x5A, 0x12, 0x04})));
    ASSERT_TRUE(m_receiver->WaitForKeys(2, 5000));
    // Another remote's frames are dropped; ours still get through afterwards.
    ASSERT_TRUE(m_device->Write(Frame({0x12, 0xEE, 0x13})));
    ASSERT_TRUE(m_device->Write(Frame({0x5A, 0x33, 0x04})));
    ASSERT_TRUE(m_device->Write(Frame({0x12, 0xED, 0x02}))); // VEKO key 6
    ASSERT_TRUE(m_receiver->WaitForKeys(3, 5000));

    const auto& keys = m_receiver->Keys();
    ASSERT_EQ(3u, keys.size());
    EXPECT_EQ(1u, keys[0].key);
    EXPECT_EQ(0, keys[0].repeat);
    EXPECT_EQ(7u, keys[1].key);
    EXPECT_EQ(0, keys[1].repeat);
    EXPECT_EQ(6u, keys[2].key);
}

TEST_F(ConnectedKV480Test, PortIsSetUpForTheReceiver) {
    harness::LineState state;
    ASSERT_TRUE(harness::ReadLineState(kPort, state));
    EXPECT_EQ(9600, state.baud);
    EXPECT_EQ(8, state.dataBits);
    EXPECT_EQ("none", state.parity);
    EXPECT_EQ(1, state.stopBits);
    EXPECT_EQ(1, state.dtr);
    EXPECT_EQ(0, state.rts);
}

TEST_F(ConnectedKV480Test, HeldKeyRepeatsOnlyAfterTheHoldTime) {
    const DWORD start = GetTickCount();
    ASSERT_TRUE(m_device->Write(Frame({0x12, 0xED, 0x11}))); // VEKO key 3
    // The receiver repeats every ~110 ms while the key is held.
    while (GetTickCount() - start < 1500) {
        harness::PumpMessages();
        Sleep(110);
        ASSERT_TRUE(m_device->Write(Frame({0xAA, 0xAA, 0xAA})));
    }
    ASSERT_TRUE(m_receiver->WaitForKeys(3, 5000));
    const auto& keys = m_receiver->Keys();
    EXPECT_EQ(0, keys[0].repeat);
    for (size_t i = 0; i < keys.size(); ++i) {
        EXPECT_EQ(3u, keys[i].key);
        if (i > 0) {
            EXPECT_EQ(1, keys[i].repeat);
            // Repeats within 500 ms of the press are dropped.
            EXPECT_GE(keys[i].tick - keys[0].tick, 450u) << "repeat " << i;
        }
    }
    // ~1.5 s of repeats every 110 ms, the first 500 ms dropped.
    EXPECT_GE(keys.size(), 5u);
}

TEST_F(ConnectedKV480Test, WmCloseEndsPromptlyWithPortClosedAndIconRemoved) {
    PostMessageA(m_main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(m_program.WaitForExit(2000));
    EXPECT_EQ(0, harness::CountTrayIcons());
}

TEST_F(ConnectedKV480Test, TheSetupsExitEventEndsItWithIconRemoved) {
    // As the setup does it, from any session: the event of KV480's session.
    DWORD session = 0;
    ASSERT_TRUE(ProcessIdToSessionId(GetCurrentProcessId(), &session));
    const HANDLE event = OpenEventA(EVENT_MODIFY_STATE | SYNCHRONIZE, FALSE,
                                    ("Global\\VEKO_KV480_Exit_" + std::to_string(session)).c_str());
    ASSERT_NE(nullptr, event);
    SetEvent(event);
    const bool ended = m_program.WaitForExit(5000);
    ResetEvent(event);
    CloseHandle(event);
    ASSERT_TRUE(ended);
    EXPECT_EQ(0, harness::CountTrayIcons());
}

// The global exit event of this session as another user could make it first:
// anyone may set it.
HANDLE SquatGlobalExitEvent(bool set) {
    DWORD session = 0;
    if (!ProcessIdToSessionId(GetCurrentProcessId(), &session))
        return nullptr;
    SECURITY_DESCRIPTOR open;
    InitializeSecurityDescriptor(&open, SECURITY_DESCRIPTOR_REVISION);
    SetSecurityDescriptorDacl(&open, TRUE, nullptr, FALSE);
    SECURITY_ATTRIBUTES attributes{sizeof(attributes), &open, FALSE};
    return CreateEventA(&attributes, TRUE, set ? TRUE : FALSE,
                        ("Global\\VEKO_KV480_Exit_" + std::to_string(session)).c_str());
}

TEST_F(KV480Test, AnExitEventMadeBySomeoneElseIsNotObeyed) {
    // Made first and left set, it would end KV480.
    const HANDLE event = SquatGlobalExitEvent(true);
    ASSERT_NE(nullptr, event);
    Configure();
    EXPECT_NE(nullptr, Start());
    EXPECT_TRUE(WaitForPortOpen());
    EXPECT_FALSE(m_program.WaitForExit(1000));
    CloseHandle(event);
}

TEST_F(KV480Test, ASquattedGlobalNameDoesNotKeepTheSetupFromEndingIt) {
    // Wine has no private namespaces (and ends a process that calls the rest).
    const HANDLE boundary = CreateBoundaryDescriptorW(L"VEKO_KV480_Probe", 0);
    if (boundary == nullptr)
        GTEST_SKIP() << "no private namespaces here";
    DeleteBoundaryDescriptor(boundary);
    const HANDLE squatted = SquatGlobalExitEvent(false);
    ASSERT_NE(nullptr, squatted);
    Configure();
    ASSERT_NE(nullptr, Start());
    ASSERT_TRUE(WaitForPortOpen());
    // As the setup does it, with the user the process list gives.
    HANDLE token = nullptr;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token));
    std::vector<BYTE> user(256);
    DWORD size = 0;
    ASSERT_TRUE(
        GetTokenInformation(token, TokenUser, user.data(), static_cast<DWORD>(user.size()), &size));
    CloseHandle(token);
    DWORD session = 0;
    ASSERT_TRUE(ProcessIdToSessionId(GetCurrentProcessId(), &session));
    const HANDLE event =
        CExitSignal::OpenToSignal(session, reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid);
    ASSERT_NE(nullptr, event);
    SetEvent(event);
    const bool ended = m_program.WaitForExit(5000);
    ResetEvent(event);
    CloseHandle(event);
    CloseHandle(squatted);
    ASSERT_TRUE(ended);
    EXPECT_EQ(0, harness::CountTrayIcons());
}

TEST_F(ConnectedKV480Test, WmCloseDuringAStreamOfFramesEndsWithinASecond) {
    // Keep the watch thread busy handing chunks to the main window.
    for (int i = 0; i < 20; ++i)
        ASSERT_TRUE(m_device->Write(Frame({0x12, 0xED, 0x13})));
    ASSERT_TRUE(m_receiver->WaitForKeys(1, 5000));
    for (int i = 0; i < 20; ++i)
        ASSERT_TRUE(m_device->Write(Frame({0xAA, 0xAA, 0xAA})));
    const DWORD closed = GetTickCount();
    PostMessageA(m_main, WM_CLOSE, 0, 0);
    bool ended = false;
    while (!(ended = m_program.WaitForExit(0)) && GetTickCount() - closed < 3000)
        ASSERT_TRUE(m_device->Write(Frame({0xAA, 0xAA, 0xAA})));
    ASSERT_TRUE(ended);
    EXPECT_LT(GetTickCount() - closed, 1000u);
}

TEST_F(ConnectedKV480Test, ForeignDataMessagesAreIgnored) {
    // Any process can send WM_USER+2: a foreign pointer must not be read.
    DWORD_PTR result = 0;
    SendMessageTimeoutA(m_main, WM_RC_DATA, 0x1234, 3, SMTO_ABORTIFHUNG, 5000, &result);
    SendMessageTimeoutA(m_main, WM_RC_DATA, 0, 100000, SMTO_ABORTIFHUNG, 5000, &result);
    ASSERT_TRUE(m_program.IsRunning());
    ASSERT_TRUE(m_device->Write(Frame({0x12, 0xED, 0x13})));
    EXPECT_TRUE(m_receiver->WaitForKeys(1, 5000));
}

TEST_F(ConnectedKV480Test, RemovalAndArrivalOfTheConfiguredPortOnly) {
    auto pressArrives = [&](DWORD timeoutMs) {
        m_receiver->Clear();
        return m_device->Write(Frame({0x12, 0xED, 0x13})) && m_receiver->WaitForKeys(1, timeoutMs);
    };
    SendPortBroadcast(m_main, DBT_DEVICEREMOVECOMPLETE, "COM10");
    EXPECT_TRUE(pressArrives(5000)) << "COM10 is not the configured COM1";
    SendPortBroadcast(m_main, DBT_DEVICEREMOVECOMPLETE, "COM1");
    harness::ClearLineState(kPort);
    SendPortBroadcast(m_main, DBT_DEVICEARRIVAL, "COM10");
    SendPortBroadcast(m_main, DBT_DEVICEARRIVAL, "com1");
    // Within the first quiet retry, 2 s after the removal.
    EXPECT_FALSE(pressArrives(1000)) << "the link is closed after the removal";
    harness::LineState state;
    EXPECT_FALSE(harness::ReadLineState(kPort, state)) << "only COM1 opens the port again";
    EXPECT_EQ(1, harness::CountTrayIcons());
    SendPortBroadcast(m_main, DBT_DEVICEARRIVAL, "COM1");
    ASSERT_TRUE(WaitForPortOpen(5000));
    EXPECT_EQ(1, harness::CountTrayIcons());
    EXPECT_TRUE(pressArrives(5000));
}

TEST_F(ConnectedKV480Test, IconComesBackInItsStateWhenTheShellRestarts) {
    // A dead shell takes the icon with it; the new one announces its taskbar.
    auto restartShell = [&] {
        NOTIFYICONDATAA nid{};
        nid.cbSize = NOTIFYICONDATAA_V3_SIZE;
        nid.hWnd = m_main;
        nid.uID = 1;
        ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &nid));
        ASSERT_TRUE(WaitUntil([] { return harness::CountTrayIcons() == 0; }, 5000));
        PostMessageA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
        ASSERT_TRUE(WaitUntil([] { return harness::CountTrayIcons() == 1; }, 5000));
    };
    auto shows = [](COLORREF badge) {
        return WaitUntil([badge] { return harness::TrayIconShowsColour(badge); }, 5000);
    };
    ASSERT_TRUE(shows(kReadyBadge));
    ASSERT_NO_FATAL_FAILURE(restartShell());
    EXPECT_TRUE(shows(kReadyBadge));
    EXPECT_FALSE(harness::TrayIconShowsColour(kNotReadyBadge));

    SendPortBroadcast(m_main, DBT_DEVICEREMOVECOMPLETE, "COM1");
    ASSERT_TRUE(shows(kNotReadyBadge));
    ASSERT_NO_FATAL_FAILURE(restartShell());
    EXPECT_TRUE(shows(kNotReadyBadge));
    EXPECT_FALSE(harness::TrayIconShowsColour(kReadyBadge));
}

TEST_F(ConnectedKV480Test, SecondInstanceEndsAtOnce) {
    ProgramUnderTest second;
    ASSERT_TRUE(second.Start(m_exe, "-nr"));
    ASSERT_TRUE(second.WaitForExit(5000));
    EXPECT_TRUE(m_program.IsRunning());
    EXPECT_EQ(nullptr, harness::FindProcessWindow(second.ProcessId(), nullptr, nullptr, false));
    EXPECT_EQ(1, harness::CountTrayIcons());
}

TEST_F(ConnectedKV480Test, RightClickOnTheTrayIconOpensTheMenuAndExitEnds) {
    // The menu resource holds the three commands, in this order.
    HMODULE module = LoadLibraryExA(m_exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, module);
    HMENU menu = LoadMenuA(module, MAKEINTRESOURCEA(129));
    ASSERT_NE(nullptr, menu);
    HMENU popup = GetSubMenu(menu, 0);
    ASSERT_NE(nullptr, popup);
    std::vector<std::string> items;
    for (int i = 0; i < GetMenuItemCount(popup); ++i) {
        char text[64] = "";
        GetMenuStringA(popup, i, text, sizeof(text), MF_BYPOSITION);
        items.push_back(text);
    }
    DestroyMenu(menu);
    FreeLibrary(module);
    EXPECT_EQ((std::vector<std::string>{"&Test remote control", "", "&Exit", "", "&About ..."}),
              items);

    // The raw button messages do nothing; the right click's WM_CONTEXTMENU
    // opens the popup where the shell says.
    PostMessageA(m_main, WM_RC_TRAY, 0, MAKELPARAM(WM_LBUTTONUP, 1));
    PostMessageA(m_main, WM_RC_TRAY, 0, MAKELPARAM(WM_RBUTTONUP, 1));
    const HWND popupWindow = NotifyTrayIcon(WM_CONTEXTMENU, POINT{500, 400});
    ASSERT_NE(nullptr, popupWindow);

    // "&Exit" by its mnemonic ends the program.
    PostMessageA(popupWindow, WM_KEYDOWN, 'E', 0);
    PostMessageA(popupWindow, WM_CHAR, 'e', 0);
    ASSERT_TRUE(m_program.WaitForExit(5000));
    EXPECT_EQ(0, harness::CountTrayIcons());
}

// Reached from the keyboard (Win+B, the arrows, then Enter, Space or the
// context-menu key), the icon opens its menu at its own place, not at the
// pointer's.
TEST_F(ConnectedKV480Test, TheTrayIconOpensItsMenuFromTheKeyboardAtTheIcon) {
    SetCursorPos(10, 10);
    for (const UINT event : {UINT(NIN_KEYSELECT), UINT(WM_CONTEXTMENU)}) {
        SCOPED_TRACE(event);
        const HWND menu = NotifyTrayIcon(event, POINT{620, 460});
        ASSERT_NE(nullptr, menu);
        PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(menu); }, 5000));
    }
}

// A real right click on the icon in Wine's tray: the shell speaks version 4,
// and the menu opens where the click was.
TEST_F(ConnectedKV480Test, ARightClickOnTheIconInTheTrayOpensTheMenuThere) {
    ASSERT_TRUE(WaitUntil([] { return harness::FirstTrayIcon() != nullptr; }, 5000));
    RECT icon;
    GetWindowRect(harness::FirstTrayIcon(), &icon);
    const POINT click{(icon.left + icon.right) / 2, (icon.top + icon.bottom) / 2};
    ASSERT_TRUE(harness::MovePointer(click));
    harness::MouseAt(MOUSEEVENTF_RIGHTDOWN, click);
    harness::MouseAt(MOUSEEVENTF_RIGHTUP, click);
    HWND menu = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            menu = harness::FindProcessWindow(m_program.ProcessId(), "#32768", nullptr, true);
            return menu != nullptr;
        },
        5000));
    RECT rect;
    GetWindowRect(menu, &rect);
    // Kept on the screen, it still touches the click.
    EXPECT_TRUE(rect.left <= click.x && click.x <= rect.right && rect.top <= click.y &&
                click.y <= rect.bottom)
        << rect.left << "," << rect.top << "," << rect.right << "," << rect.bottom;
    PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(menu); }, 5000));
}

TEST_F(KV480Test, TwoReceivingApplicationsHighestVisibleWindowGetsTheKey) {
    Configure();
    WriteIni(Section("First", "KV480TestFirst", "NULL") +
             Section("Second", "NULL", "Second receiver"));
    ReceivingWindow first("KV480TestFirst", "First receiver");
    ReceivingWindow second("KV480TestSecond", "Second receiver");
    ASSERT_NE(nullptr, Start());
    ASSERT_TRUE(WaitForPortOpen());
    DevicePort device(kDevice);
    ASSERT_TRUE(device.SetLine(CBR_9600));

    auto press = [&](int code) { return device.Write(Frame({0x12, 0xED, code})); };
    auto total = [&] { return first.Keys().size() + second.Keys().size(); };

    ASSERT_TRUE(second.BringToTop());
    ASSERT_TRUE(press(0x13));
    ASSERT_TRUE(WaitUntil([&] { return total() == 1; }, 5000));
    EXPECT_EQ(1u, second.Keys().size()) << "the higher window, whatever the section order";

    ASSERT_TRUE(first.BringToTop());
    ASSERT_TRUE(press(0x1A));
    ASSERT_TRUE(WaitUntil([&] { return total() == 2; }, 5000));
    EXPECT_EQ(1u, first.Keys().size());

    ShowWindow(first.Handle(), SW_MINIMIZE);
    ASSERT_TRUE(WaitUntil([&] { return IsIconic(first.Handle()) != FALSE; }, 2000));
    ASSERT_TRUE(press(0x11));
    ASSERT_TRUE(WaitUntil([&] { return total() == 3; }, 5000));
    EXPECT_EQ(2u, second.Keys().size()) << "a minimised window is passed over";

    // The second stands higher but is hidden: the first gets the key.
    ShowWindow(first.Handle(), SW_RESTORE);
    ASSERT_TRUE(WaitUntil([&] { return !IsIconic(first.Handle()); }, 2000));
    ASSERT_TRUE(second.BringToTop());
    ShowWindow(second.Handle(), SW_HIDE);
    ASSERT_TRUE(press(0x10));
    ASSERT_TRUE(WaitUntil([&] { return total() == 4; }, 5000));
    EXPECT_EQ(2u, first.Keys().size()) << "a hidden window is passed over";
    EXPECT_EQ(2u, second.Keys().size());
}

TEST_F(KV480Test, WithoutRecvAppIniItRunsAndPostsNothing) {
    Configure();
    ReceivingWindow receiver("KV480TestReceiver", "Receiver");
    ASSERT_NE(nullptr, Start());
    ASSERT_TRUE(WaitForPortOpen());
    DevicePort device(kDevice);
    ASSERT_TRUE(device.SetLine(CBR_9600));
    ASSERT_TRUE(device.Write(Frame({0x12, 0xED, 0x13})));
    EXPECT_FALSE(receiver.WaitForKeys(1, 1500));
    EXPECT_TRUE(m_program.IsRunning());
}

TEST_F(KV480Test, IniSectionWithoutWindowNameShowsTheMessageAndEnds) {
    Configure();
    WriteIni(Section("One", "A", "NULL") + "[Two]\r\nClassName=B\r\n" +
             Section("Three", "C", "NULL"));
    ASSERT_TRUE(m_program.Start(m_exe, "-nr"));
    MessageBoxSeen box;
    ASSERT_TRUE(m_program.WaitForMessageBox(box, 10000));
    EXPECT_EQ("Remote Control", box.title);
    EXPECT_EQ("Cannot read from RecvApp.ini file.", box.text);
    ProgramUnderTest::Dismiss(box);
    ASSERT_TRUE(m_program.WaitForExit(5000));
    EXPECT_EQ(0, harness::CountTrayIcons());
}

TEST_F(KV480Test, MissingAddressShowsTheMessageAndEndsWithoutIcon) {
    WriteDword("CommPort", 1);
    WritePath();
    ASSERT_TRUE(m_program.Start(m_exe, "-nr"));
    MessageBoxSeen box;
    ASSERT_TRUE(m_program.WaitForMessageBox(box, 10000));
    EXPECT_EQ("Remote Control", box.title);
    EXPECT_EQ(kNotConfigured, box.text);
    EXPECT_EQ(0, harness::CountTrayIcons());
    ProgramUnderTest::Dismiss(box);
    ASSERT_TRUE(m_program.WaitForExit(5000));
    EXPECT_EQ(0, harness::CountTrayIcons());
}

TEST_F(KV480Test, MissingCommPortShowsTheSameMessage) {
    WriteDword("Address", kAddress);
    WritePath();
    ASSERT_TRUE(m_program.Start(m_exe, "-nr"));
    MessageBoxSeen box;
    ASSERT_TRUE(m_program.WaitForMessageBox(box, 10000));
    EXPECT_EQ(kNotConfigured, box.text);
    ProgramUnderTest::Dismiss(box);
    ASSERT_TRUE(m_program.WaitForExit(5000));
}

// A port that cannot be set up, as with a faulty receiver, fails each attempt.
class FaultyPortTest : public KV480Test {
protected:
    void SetUp() override {
        KV480Test::SetUp();
        Configure();
        harness::BlockConfiguration(kPort, true);
    }
    void TearDown() override {
        harness::BlockConfiguration(kPort, false);
        KV480Test::TearDown();
    }
};

TEST_F(FaultyPortTest, NoRetryOptionMakesOneAttemptThenRetriesQuietly) {
    ASSERT_NE(nullptr, Start("-nr"));
    // The not-ready icon comes at once, without the 4 s pauses.
    ASSERT_TRUE(WaitUntil([] { return harness::CountTrayIcons() == 1; }, 3000));
    const HWND notReadyIcon = harness::FirstTrayIcon();
    harness::BlockConfiguration(kPort, false);
    EXPECT_TRUE(WaitForPortOpen(10000));
    // Shown as an arrival.
    EXPECT_TRUE(WaitUntil([&] { return harness::FirstTrayIcon() != notReadyIcon; }, 5000));
}

TEST_F(FaultyPortTest, WithoutTheOptionItRetriesUntilThePortWorks) {
    // Capitals are not the option.
    ASSERT_NE(nullptr, Start("-NR"));
    // Still trying: no icon during the first pause.
    EXPECT_FALSE(WaitUntil([] { return harness::CountTrayIcons() > 0; }, 2000));
    harness::BlockConfiguration(kPort, false);
    EXPECT_TRUE(WaitForPortOpen(12000));
    EXPECT_TRUE(WaitUntil([] { return harness::CountTrayIcons() == 1; }, 5000));
}

TEST_F(FaultyPortTest, WithoutTheOptionItGivesUpAfterFiveAttempts) {
    const DWORD start = GetTickCount();
    ASSERT_NE(nullptr, Start("-nr extra"));
    ASSERT_TRUE(WaitUntil([] { return harness::CountTrayIcons() == 1; }, 30000));
    // Four pauses of 4 s between the five attempts.
    EXPECT_GE(GetTickCount() - start, 15000u);
    EXPECT_TRUE(m_program.IsRunning());
}

} // namespace
