// KV480 typing the remote's keys into an ordinary window by KeyMap.ini: a
// window of this process that knows nothing of the remote's message is the
// foreground window and records the keyboard input that reaches it.
#include <windows.h>

#include <gtest/gtest.h>

#include <shlobj.h>
#include <wtsapi32.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "KeysEditorWindow.h"
#include "KeyboardWindow.h"
#include "Monitors.h"
#include "Pointer.h"
#include "ReceivingWindow.h"
#include "ResidentFixture.h"
#include "SystemDpiOverride.h"

using harness::BalloonTexts;
using harness::KeyboardEvent;
using harness::KeyboardWindow;
using harness::WaitUntil;
using namespace e2e;

namespace {

const char* const kWindowClass = "KV480KeyMapWindow";
const char* const kWindowCaption = "notes.txt - Typing test";
const char* const kAppPaths = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";

// A minimised window of this process on a thread of its own, which stops
// reading its queue from Hang() until the window goes. Wine calls a window
// hung once its thread has not read its queue for 5 s and is not waiting on
// it either.
class HangingWindow {
public:
    explicit HangingWindow(const char* caption) {
        m_thread = std::thread([this, caption] {
            m_window = CreateWindowExA(0, "Static", caption, WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                       nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
            ShowWindow(m_window, SW_SHOWMINNOACTIVE);
            SetEvent(m_shown);
            while (MsgWaitForMultipleObjects(1, &m_hang, FALSE, INFINITE, QS_ALLINPUT) !=
                   WAIT_OBJECT_0)
                harness::PumpMessages();
            WaitForSingleObject(m_release, INFINITE);
            DestroyWindow(m_window);
        });
        WaitForSingleObject(m_shown, 5000);
    }
    ~HangingWindow() {
        SetEvent(m_hang);
        SetEvent(m_release);
        m_thread.join();
        for (const HANDLE event : {m_shown, m_hang, m_release})
            CloseHandle(event);
    }
    HangingWindow(const HangingWindow&) = delete;
    HangingWindow& operator=(const HangingWindow&) = delete;

    HWND Handle() const { return m_window; }
    void Hang() { SetEvent(m_hang); }

private:
    HANDLE m_shown = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE m_hang = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE m_release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HWND m_window = nullptr;
    std::thread m_thread;
};

class KV480KeyMapTest : public ResidentFixture {
protected:
    KV480KeyMapTest() : ResidentFixture("kv480 keymap\\") {}

    void SetUp() override {
        ResidentFixture::SetUp();
        if (HasFatalFailure())
            return;
        DeleteFileA(KeyMapFile().c_str());
        DeleteFileW(UserKeyMapFile().c_str());
        SetShowActions(false);
        Configure();
        m_window = std::make_unique<KeyboardWindow>(kWindowClass, kWindowCaption);
    }

    void TearDown() override {
        ResidentFixture::TearDown();
        m_window.reset();
        DeleteFileA(KeyMapFile().c_str());
        DeleteFileW(UserKeyMapFile().c_str());
        SetShowActions(false);
        RegDeleteTreeA(HKEY_CURRENT_USER, (std::string(kAppPaths) + "kv480 user demo.exe").c_str());
        RegDeleteTreeA(HKEY_LOCAL_MACHINE,
                       (std::string(kAppPaths) + "kv480 machine demo.exe").c_str());
    }

    // %APPDATA%\Remote Control\KeyMap.ini, its folder made.
    static std::wstring UserKeyMapFile() {
        wchar_t appData[MAX_PATH] = L"";
        SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData);
        const std::wstring folder = std::wstring(appData) + L"\\Remote Control";
        CreateDirectoryW(folder.c_str(), nullptr);
        return folder + L"\\KeyMap.ini";
    }

    static void WriteUserKeyMap(const std::string& bytes) {
        std::ofstream file(UserKeyMapFile().c_str(), std::ios::binary | std::ios::trunc);
        file << bytes;
    }

    static void SetShowActions(bool on) {
        if (!on) {
            RegDeleteKeyValueA(HKEY_CURRENT_USER, "Software\\VEKO\\KV480", "ShowActions");
            return;
        }
        const DWORD value = 1;
        RegSetKeyValueA(HKEY_CURRENT_USER, "Software\\VEKO\\KV480", "ShowActions", REG_DWORD,
                        &value, sizeof(value));
    }

    // The virtual keys typed within timeoutMs, and nothing more for quietMs.
    std::vector<WPARAM> TypedKeys(size_t count, DWORD timeoutMs, DWORD quietMs = 1000) {
        m_window->WaitForKeyDowns(count, timeoutMs);
        m_window->WaitForKeyDowns(count + 1, quietMs);
        std::vector<WPARAM> keys;
        for (const KeyboardEvent& event : m_window->KeyDowns())
            keys.push_back(event.vk);
        return keys;
    }

    std::string KeyMapFile() const { return m_dir + "KeyMap.ini"; }

    void WriteKeyMap(const std::string& text) {
        std::ofstream file(KeyMapFile(), std::ios::binary | std::ios::trunc);
        file << text;
    }

    // Starts KV480 with the window in front and the receiver connected.
    void StartConnected() {
        ResidentFixture::StartConnected();
        if (HasFatalFailure())
            return;
        ASSERT_TRUE(m_window->MakeForeground());
    }

    bool Press(int key) { return m_device->Write(harness::VekoFrame(key)); }

    // Maps key 1 to Run this test program and makes the typing window, also
    // this program's, one that Run passes over. Should Run start the program,
    // it only lists its tests. Key 2 types A.
    std::string RunThisProgramOnKey1() {
        char self[MAX_PATH] = "";
        GetModuleFileNameA(nullptr, self, MAX_PATH);
        SetWindowLongPtrA(m_window->Handle(), GWL_EXSTYLE,
                          GetWindowLongPtrA(m_window->Handle(), GWL_EXSTYLE) | WS_EX_TOOLWINDOW);
        WriteKeyMap("[Default]\r\nClassName=NULL\r\nWindowName=NULL\r\nKey1=Run \"" +
                    std::string(self) + "\" --gtest_list_tests\r\nKey2=A\r\n");
        return self;
    }

    // Holds the key for holdMs with the receiver's repeats every 110 ms.
    bool Hold(int key, DWORD holdMs) {
        const DWORD start = GetTickCount();
        if (!Press(key))
            return false;
        while (GetTickCount() - start < holdMs) {
            harness::PumpMessages();
            Sleep(110);
            if (!m_device->Write(Frame({0xAA, 0xAA, 0xAA})))
                return false;
        }
        return true;
    }

    // Presses the key and returns the virtual key typed, 0 when nothing is
    // typed within timeoutMs.
    WPARAM Typed(int key, DWORD timeoutMs = 5000) {
        m_window->Clear();
        if (!Press(key) || !m_window->WaitForKeyDowns(1, timeoutMs))
            return 0;
        return m_window->KeyDowns()[0].vk;
    }
    // KV480 reads an edited KeyMap.ini off the key path, soon after the
    // change: the key is pressed until it types what the file now says.
    WPARAM TypedOnceReRead(int key, WPARAM expected) {
        WPARAM typed = 0;
        WaitUntil([&] { return (typed = Typed(key, 1000)) == expected; }, 5000);
        return typed;
    }

    // Waits for the on-screen note to show this text.
    static bool NoteShows(const std::wstring& text) {
        return WaitUntil(
            [&] {
                const HWND note = FindWindowA("KV480ActionNote", nullptr);
                wchar_t shown[128] = L"";
                return note != nullptr && IsWindowVisible(note) &&
                       GetWindowTextW(note, shown, 128) > 0 && text == shown;
            },
            5000);
    }

    static bool BalloonStartsWith(const std::string& start) {
        return WaitUntil(
            [&] {
                for (const std::string& text : BalloonTexts())
                    if (text.rfind(start, 0) == 0)
                        return true;
                return false;
            },
            5000);
    }

    std::unique_ptr<KeyboardWindow> m_window;
};

TEST_F(KV480KeyMapTest, KeysAndChordsAreTypedIntoTheForegroundWindow) {
    WriteKeyMap("[Default]\r\nClassName=NULL\r\nWindowName=NULL\r\n"
                "Key1=A\r\nKey2=Ctrl+Shift+Left\r\nKey3=PlayPause\r\n");
    StartConnected();

    ASSERT_EQ(WPARAM('A'), Typed(1));
    ASSERT_TRUE(WaitUntil([&] { return m_window->Events().size() >= 2; }, 2000));
    EXPECT_EQ(UINT(WM_KEYUP), m_window->Events()[1].message);
    EXPECT_FALSE(m_window->Events()[0].ctrlDown);

    ASSERT_EQ(WPARAM(VK_CONTROL), Typed(2));
    ASSERT_TRUE(m_window->WaitForKeyDowns(3, 2000));
    ASSERT_TRUE(WaitUntil([&] { return m_window->Events().size() >= 6; }, 2000));
    const KeyboardEvent left = m_window->KeyDowns()[2];
    EXPECT_EQ(WPARAM(VK_LEFT), left.vk);
    EXPECT_TRUE(left.extended) << "an arrow of the arrow block, not of the number pad";
    EXPECT_TRUE(left.ctrlDown);
    EXPECT_TRUE(left.shiftDown);
    const auto& events = m_window->Events();
    EXPECT_EQ(UINT(WM_KEYUP), events.back().message);
    EXPECT_EQ(WPARAM(VK_CONTROL), events.back().vk) << "modifiers come up in reverse order";
    EXPECT_TRUE(harness::NoModifierDown());

    ASSERT_EQ(WPARAM(VK_MEDIA_PLAY_PAUSE), Typed(3));
    EXPECT_TRUE(WaitUntil(
        [&] {
            for (const KeyboardEvent& event : m_window->Events())
                if (event.message == WM_APPCOMMAND && event.vk == APPCOMMAND_MEDIA_PLAY_PAUSE)
                    return true;
            return false;
        },
        2000));
}

TEST_F(KV480KeyMapTest, TheFirstMatchingSectionThatMapsTheKeyDecides) {
    WriteKeyMap("[Typing test]\r\nClassName=kv480keymapwindow\r\nWindowName=* - typing TEST\r\n"
                "Key1=B\r\n"
                "[Default]\r\nClassName=NULL\r\nWindowName=NULL\r\nKey1=A\r\nKey4=D\r\n");
    StartConnected();
    EXPECT_EQ(WPARAM('B'), Typed(1));
    EXPECT_EQ(WPARAM('D'), Typed(4)) << "falls through to the default";
    EXPECT_EQ(WPARAM(0), Typed(5, 1000)) << "no section maps key 5";
    SetWindowTextA(m_window->Handle(), "Another caption");
    EXPECT_EQ(WPARAM('A'), Typed(1));
}

TEST_F(KV480KeyMapTest, AHeldKeyRepeatsOnlyWhenMarkedRepeat) {
    WriteKeyMap("[Default]\r\nClassName=NULL\r\nWindowName=NULL\r\n"
                "Key3=Up repeat\r\nKey4=Down\r\n");
    StartConnected();
    // The key without repeat first: the other's late repeats would mix in.
    ASSERT_TRUE(Hold(4, 1500));
    ASSERT_TRUE(m_window->WaitForKeyDowns(1, 5000));
    EXPECT_FALSE(m_window->WaitForKeyDowns(2, 1000));
    EXPECT_EQ(WPARAM(VK_DOWN), m_window->KeyDowns()[0].vk);

    m_window->Clear();
    ASSERT_TRUE(Hold(3, 1500));
    ASSERT_TRUE(m_window->WaitForKeyDowns(3, 5000));
    // The hold time keeps back repeats for 500 ms; every repeat after types.
    EXPECT_GE(m_window->KeyDowns().size(), 4u);
    for (const KeyboardEvent& event : m_window->KeyDowns())
        EXPECT_EQ(WPARAM(VK_UP), event.vk);
}

TEST_F(KV480KeyMapTest, AReceivingApplicationGetsTheMessageAndNothingIsTyped) {
    WriteIni("[Receiver]\r\nClassName=KV480KeyMapReceiver\r\nWindowName=NULL\r\n");
    WriteKeyMap("[Default]\r\nClassName=NULL\r\nWindowName=NULL\r\nKey1=A\r\n");
    harness::ReceivingWindow receiver("KV480KeyMapReceiver", "Receiver");
    StartConnected();
    ASSERT_TRUE(Press(1));
    ASSERT_TRUE(receiver.WaitForKeys(1, 5000));
    EXPECT_FALSE(m_window->WaitForKeyDowns(1, 1000)) << "typed as well";

    ShowWindow(receiver.Handle(), SW_HIDE);
    ASSERT_TRUE(m_window->MakeForeground());
    EXPECT_EQ(WPARAM('A'), Typed(1)) << "without an eligible receiver the key map acts";
    EXPECT_EQ(1u, receiver.Keys().size());
}

TEST_F(KV480KeyMapTest, AnEditTakesEffectAtTheNextKeyAndBadLinesAreSkipped) {
    WriteKeyMap("[Default]\r\nClassName=NULL\r\nWindowName=NULL\r\nKey1=A\r\n");
    StartConnected();
    EXPECT_EQ(WPARAM('A'), Typed(1));

    WriteKeyMap("[Default]\r\nClassName=NULL\r\nWindowName=NULL\r\n"
                "Key1=Nonsense\r\nKey2=B\r\nKey30=C\r\n");
    EXPECT_EQ(WPARAM('B'), TypedOnceReRead(2, 'B')) << "the rest of the edited file works";
    EXPECT_EQ(WPARAM(0), Typed(1, 1000)) << "the bad line is skipped";
    EXPECT_TRUE(WaitUntil(
        [] {
            for (const std::string& text : BalloonTexts())
                if (text.rfind("Line 4 of KeyMap.ini is ignored: unknown key name \"Nonsense\".",
                               0) == 0)
                    return true;
            return false;
        },
        5000))
        << ::testing::PrintToString(BalloonTexts());
    EXPECT_TRUE(m_program.IsRunning());

    // Rewritten by a program that shares nothing while it holds the file:
    // the map in hand stays until the file can be read.
    const HANDLE locked = CreateFileA(KeyMapFile().c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                      nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, locked);
    const std::string text = "[Default]\r\nClassName=NULL\r\nWindowName=NULL\r\nKey2=D\r\n";
    DWORD written = 0;
    WriteFile(locked, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    EXPECT_EQ(WPARAM('B'), Typed(2)) << "nothing lost while the file is locked";
    CloseHandle(locked);
    EXPECT_EQ(WPARAM('D'), TypedOnceReRead(2, 'D'));

    DeleteFileA(KeyMapFile().c_str());
    EXPECT_EQ(WPARAM(0), TypedOnceReRead(2, 0)) << "no file, no key map";
}

TEST_F(KV480KeyMapTest, LongDoubleAndPlainFormsActOncePerPressAndSequencesTypeInOrder) {
    WriteKeyMap("[Typing test]\r\nClassName=KV480KeyMapWindow\r\nWindowName=NULL\r\nKey5=None\r\n"
                "[Default]\r\nClassName=NULL\r\nWindowName=NULL\r\n"
                "Key1=A\r\nKey1 long=B\r\nKey2=C\r\nKey2 double=D\r\n"
                "Key3=Ctrl+Shift+Left, X\r\nKey5=E\r\n");
    StartConnected();

    m_window->Clear();
    ASSERT_TRUE(Press(1));
    EXPECT_EQ(std::vector<WPARAM>{'A'}, TypedKeys(1, 5000)) << "a short press: the plain action";
    m_window->Clear();
    ASSERT_TRUE(Hold(1, 1500));
    EXPECT_EQ(std::vector<WPARAM>{'B'}, TypedKeys(1, 5000)) << "held: the long action, once";

    m_window->Clear();
    ASSERT_TRUE(Press(2));
    Sleep(150);
    ASSERT_TRUE(Press(2));
    EXPECT_EQ(std::vector<WPARAM>{'D'}, TypedKeys(1, 5000)) << "a double press: neither plain";
    m_window->Clear();
    ASSERT_TRUE(Press(2));
    EXPECT_EQ(std::vector<WPARAM>{'C'}, TypedKeys(1, 5000)) << "one press, after 500 ms";

    m_window->Clear();
    ASSERT_TRUE(Press(3));
    EXPECT_EQ((std::vector<WPARAM>{VK_CONTROL, VK_SHIFT, VK_LEFT, 'X'}), TypedKeys(4, 5000));
    const auto& events = m_window->Events();
    ASSERT_GE(events.size(), 8u);
    EXPECT_FALSE(events.back().ctrlDown) << "each keystroke is released before the next";
    EXPECT_EQ(UINT(WM_KEYUP), events.back().message);
    EXPECT_TRUE(harness::NoModifierDown());

    EXPECT_EQ(WPARAM(0), Typed(5, 1000)) << "None: the default section is not asked";
}

TEST_F(KV480KeyMapTest, TextMouseAndTheNoteOfWhatAKeyDid) {
    WriteKeyMap("\xEF\xBB\xBF[Default]\r\nClassName=NULL\r\nWindowName=NULL\r\n"
                "Key1=Text \"\xC3\xBC\xE2\x9C\x93\"\r\nKey2=MouseRight\r\nKey3=LeftClick\r\n");
    SetShowActions(true);
    // At twice the usual DPI, to see the note scale.
    harness::SystemDpiOverride dpi(192);
    ASSERT_TRUE(dpi.Ok());
    StartConnected();

    ASSERT_TRUE(Press(1));
    EXPECT_TRUE(WaitUntil([&] { return m_window->Chars() == L"\u00FC\u2713"; }, 5000))
        << "Unicode text arrives as WM_CHAR";
    HWND note = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            note = FindWindowA("KV480ActionNote", nullptr);
            return note != nullptr && IsWindowVisible(note);
        },
        5000));
    wchar_t text[64] = L"";
    GetWindowTextW(note, text, 64);
    EXPECT_STREQ(L"Text \"\u00FC\u2713\"", text);
    EXPECT_EQ(m_window->Handle(), GetForegroundWindow()) << "the note takes no focus";
    const LONG_PTR exStyle = GetWindowLongPtrA(note, GWL_EXSTYLE);
    EXPECT_EQ(WS_EX_NOACTIVATE | WS_EX_TRANSPARENT | WS_EX_TOPMOST | WS_EX_TOOLWINDOW,
              exStyle & (WS_EX_NOACTIVATE | WS_EX_TRANSPARENT | WS_EX_TOPMOST | WS_EX_TOOLWINDOW));
    RECT noteArea;
    GetWindowRect(note, &noteArea);
    EXPECT_GE(noteArea.bottom - noteArea.top, 2 * (22 + 2 * 12)) << "scaled from its 96-DPI size";
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(note); }, 5000)) << "gone once read";

    RECT area;
    GetWindowRect(m_window->Handle(), &area);
    ASSERT_TRUE(harness::MovePointer({area.left + 20, (area.top + area.bottom) / 2}));
    POINT before;
    GetCursorPos(&before);
    ASSERT_TRUE(Hold(2, 1500));
    POINT after;
    ASSERT_TRUE(WaitUntil([&] { return GetCursorPos(&after) && after.x > before.x + 20; }, 5000));
    EXPECT_EQ(before.y, after.y);

    m_window->Clear();
    ASSERT_TRUE(Press(3));
    ASSERT_TRUE(WaitUntil([&] { return m_window->Events().size() >= 2; }, 5000));
    EXPECT_EQ(UINT(WM_LBUTTONDOWN), m_window->Events()[0].message);
    EXPECT_EQ(UINT(WM_LBUTTONUP), m_window->Events()[1].message);
}

TEST_F(KV480KeyMapTest, RunStartsTheProgramThenBringsItsWindowForward) {
    // KV480 inherits the variable that the program's path names.
    SetEnvironmentVariableA("RC_KEYMAP_TOOLS", harness::WindowsPathFromEnv("RC_TOOLS_DIR").c_str());
    WriteKeyMap("[Default]\r\nClassName=NULL\r\nWindowName=NULL\r\n"
                "Key1=Run \"%RC_KEYMAP_TOOLS%\\DemoReceiver\\DemoReceiver.exe\"\r\n"
                "Key2=Run \"%SystemRoot%\\no such pr\xC3\xB3gram.exe\"\r\n");
    StartConnected();
    SetEnvironmentVariableA("RC_KEYMAP_TOOLS", nullptr);

    ASSERT_TRUE(Press(1));
    HWND demoWindow = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] { return (demoWindow = FindWindowA("KV480DemoReceiver", nullptr)) != nullptr; },
        10000));
    ShowWindow(demoWindow, SW_MINIMIZE);
    ASSERT_TRUE(m_window->MakeForeground());
    ASSERT_TRUE(Press(1));
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == demoWindow; }, 5000));
    EXPECT_FALSE(IsIconic(demoWindow)) << "restored";
    EXPECT_EQ(demoWindow, FindWindowA("KV480DemoReceiver", nullptr));
    EXPECT_EQ(nullptr, FindWindowExA(nullptr, demoWindow, "KV480DemoReceiver", nullptr))
        << "not started twice";
    // Gone first: the window in front as it closes would take the focus
    // back from the test's window.
    PostMessageA(demoWindow, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(demoWindow); }, 5000));
    ASSERT_TRUE(m_window->MakeForeground());
    ASSERT_TRUE(Press(2));
    EXPECT_TRUE(WaitUntil(
        [] {
            for (const std::string& text : BalloonTexts())
                if (text.find("Line 5 of KeyMap.ini: \"%SystemRoot%\\no such pr\xC3\xB3gram.exe\" "
                              "cannot be started.") == 0)
                    return true;
            return false;
        },
        5000))
        << ::testing::PrintToString(BalloonTexts());
}

TEST_F(KV480KeyMapTest, RunLeavesAWindowThatDoesNotAnswerAndTheNextKeyStillActs) {
    const std::string self = RunThisProgramOnKey1();
    StartConnected();
    HangingWindow hung("Frozen - Hang test");
    ASSERT_NE(nullptr, hung.Handle());
    hung.Hang();
    ASSERT_TRUE(WaitUntil([&] { return IsHungAppWindow(hung.Handle()) != FALSE; }, 10000));

    ASSERT_TRUE(Press(1));
    EXPECT_TRUE(BalloonStartsWith("Line 4 of KeyMap.ini: \"" + self +
                                  "\" was not brought forward: \"Frozen - Hang test\" does not "
                                  "answer."))
        << ::testing::PrintToString(BalloonTexts());
    EXPECT_EQ(WPARAM('A'), Typed(2)) << "KV480 froze on the window";
}

TEST_F(KV480KeyMapTest, RunFindsAProgramByTheNameItRegisteredUnderAppPaths) {
    const auto registered = [](HKEY root, const char* name, DWORD type, const std::string& path) {
        return RegSetKeyValueA(root, (std::string(kAppPaths) + name).c_str(), nullptr, type,
                               path.c_str(), static_cast<DWORD>(path.size() + 1)) == ERROR_SUCCESS;
    };
    // The user's entry plain, the machine's quoted and with a variable, as
    // installers write them.
    const std::string tools = harness::WindowsPathFromEnv("RC_TOOLS_DIR");
    ASSERT_TRUE(registered(HKEY_CURRENT_USER, "kv480 user demo.exe", REG_SZ,
                           tools + "\\DemoReceiver\\DemoReceiver.exe"));
    ASSERT_TRUE(registered(HKEY_LOCAL_MACHINE, "kv480 machine demo.exe", REG_EXPAND_SZ,
                           "\"%RC_KEYMAP_TOOLS%\\DemoReceiver\\DemoReceiver.exe\""));
    WriteKeyMap("[Default]\r\nClassName=NULL\r\nWindowName=NULL\r\n"
                "Key1=Run \"kv480 user demo.exe\"\r\nKey2=Run \"kv480 machine demo\"\r\n");
    SetEnvironmentVariableA("RC_KEYMAP_TOOLS", tools.c_str());
    // Started by KV480 itself, not by the shell, which knows App Paths too.
    m_program.SetUnelevated(true);
    StartConnected();
    SetEnvironmentVariableA("RC_KEYMAP_TOOLS", nullptr);

    ASSERT_TRUE(Press(1));
    HWND demoWindow = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            demoWindow = FindWindowA("KV480DemoReceiver", nullptr);
            return demoWindow != nullptr && GetForegroundWindow() == demoWindow;
        },
        10000))
        << ::testing::PrintToString(BalloonTexts());
    ASSERT_TRUE(m_window->MakeForeground());
    ASSERT_TRUE(Press(2));
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == demoWindow; }, 5000))
        << "the machine's entry names the same program: "
        << ::testing::PrintToString(BalloonTexts());
    PostMessageA(demoWindow, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(demoWindow); }, 5000));
}

TEST_F(KV480KeyMapTest, RunLooksInsideAStoreAppsFrame) {
    RunThisProgramOnKey1();
    // The frame host's name on a program with a top-level window; the app's
    // window, this process's, goes inside it.
    harness::ProgramUnderTest frameHost;
    const HWND frame = StartStoreFrame(frameHost);
    ASSERT_NE(nullptr, frame);
    // In front once shown; only then does the test's window stay in front.
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == frame; }, 10000));
    const HWND app = CreateWindowExA(0, "Static", "Store app", WS_CHILD | WS_VISIBLE, 0, 0, 50, 50,
                                     frame, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, app);
    StartConnected();

    ASSERT_TRUE(Press(1));
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == frame; }, 5000))
        << ::testing::PrintToString(BalloonTexts());
    DestroyWindow(app);
    PostMessageA(frame, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(frame); }, 5000));
}

TEST_F(KV480KeyMapTest, TheUsersFileComesFirstAndTheEditorGetsTheKeys) {
    WriteKeyMap("[Default]\r\nClassName=NULL\r\nWindowName=NULL\r\nKey1=A\r\nKey2=C\r\n");
    // UTF-16 with its mark, as Notepad may save it: a Czech caption and the
    // program file of this test.
    const std::wstring user = L"\uFEFF[P\u0159ehled]\r\nProgram=RC_E2E_TESTS.exe\r\n"
                              L"WindowName=P\u0159ehled*\r\nKey1=B\r\n";
    WriteUserKeyMap(
        std::string(reinterpret_cast<const char*>(user.data()), user.size() * sizeof(wchar_t)));
    SetWindowTextW(m_window->Handle(), L"P\u0159ehled \u2013 tabulka");
    // An elevated KV480 leaves the user's file aside.
    m_program.SetUnelevated(true);
    StartConnected();
    EXPECT_EQ(WPARAM('B'), Typed(1));
    EXPECT_EQ(WPARAM('C'), Typed(2)) << "falls through to the installation folder's file";
    SetWindowTextW(m_window->Handle(), L"Prehled");
    EXPECT_EQ(WPARAM('A'), Typed(1));

    // The key-map editor in front: it gets the keys, nothing is typed.
    harness::ReceivingWindow editor(keys_editor::WINDOW_CLASS, "Remote Control keys");
    SetForegroundWindow(editor.Handle());
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == editor.Handle(); }, 2000));
    m_window->Clear();
    ASSERT_TRUE(Press(1));
    ASSERT_TRUE(editor.WaitForKeys(1, 5000));
    EXPECT_EQ(WPARAM(1), editor.Keys()[0].key);
    EXPECT_TRUE(WaitUntil([&] { return editor.Releases().size() == 1; }, 5000));
    EXPECT_TRUE(m_window->KeyDowns().empty());
}

// The presenter's tools over the window in front: the window covers the
// primary monitor (but a row) so that every pixel read is either its own or
// an overlay's.
class KV480PresenterTest : public KV480KeyMapTest {
protected:
    void StartPresenting(const std::string& keys) {
        WriteKeyMap("[Default]\r\nClassName=NULL\r\nWindowName=NULL\r\n" + keys + "Key6=A\r\n");
        // One row short of the screen: Wine confines the pointer to a window
        // in front that covers the whole desktop, and then no other process
        // can place it (KV480's pointer keys); Windows has no such rule.
        MoveWindow(m_window->Handle(), 0, 0, GetSystemMetrics(SM_CXSCREEN),
                   GetSystemMetrics(SM_CYSCREEN) - 1, TRUE);
        StartConnected();
        if (HasFatalFailure())
            return;
        const POINT centre = Centre();
        m_paper = Pixel(centre);
        // Else the dark shades could not be told from the window.
        ASSERT_NE(RGB(0, 0, 0), m_paper) << "the window in front is not drawn";
    }

    POINT Centre() const {
        return POINT{GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2};
    }

    static COLORREF Pixel(POINT point) {
        const HDC screen = GetDC(nullptr);
        const COLORREF colour = GetPixel(screen, point.x, point.y);
        ReleaseDC(nullptr, screen);
        return colour;
    }

    bool PixelBecomes(POINT point, COLORREF colour, DWORD timeoutMs = 5000) {
        return WaitUntil([&] { return Pixel(point) == colour; }, timeoutMs);
    }

    static std::string PointerText() {
        POINT point{};
        GetCursorPos(&point);
        return std::to_string(point.x) + "," + std::to_string(point.y);
    }

    // The tool's window once shown, checked to be out of the user's way.
    HWND ShownOverlay(const char* className) {
        HWND overlay = nullptr;
        EXPECT_TRUE(WaitUntil(
            [&] {
                overlay = FindWindowA(className, nullptr);
                return overlay != nullptr && IsWindowVisible(overlay);
            },
            5000))
            << className;
        if (overlay == nullptr)
            return nullptr;
        const LONG_PTR wanted =
            WS_EX_NOACTIVATE | WS_EX_TRANSPARENT | WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_LAYERED;
        EXPECT_EQ(wanted, GetWindowLongPtrA(overlay, GWL_EXSTYLE) & wanted) << className;
        EXPECT_EQ(m_window->Handle(), GetForegroundWindow()) << className << " took the focus";
        RECT area;
        GetWindowRect(overlay, &area);
        const POINT inside = {(area.left + area.right) / 2, (area.top + area.bottom) / 2};
        EXPECT_EQ(m_window->Handle(), WindowFromPoint(inside)) << className << " takes clicks";
        EXPECT_EQ(WPARAM('A'), Typed(6)) << "the window in front still gets the keys";
        return overlay;
    }

    bool Hidden(HWND overlay) {
        return WaitUntil([&] { return !IsWindowVisible(overlay); }, 5000);
    }

    static std::wstring TextOf(HWND window) {
        wchar_t text[32] = L"";
        SendMessageW(window, WM_GETTEXT, 32, reinterpret_cast<LPARAM>(text));
        return text;
    }

    COLORREF m_paper = 0;
};

TEST_F(KV480PresenterTest, SpotlightDotAndLensFollowThePointerAndGoWhenTheSessionLocks) {
    StartPresenting("Key1=Spotlight\r\nKey2=LaserDot\r\nKey3=Magnifier\r\nKey5=MouseRight\r\n");
    const POINT centre = Centre();
    const POINT aside = {centre.x - 300, centre.y};
    ASSERT_TRUE(harness::MovePointer(centre));

    ASSERT_TRUE(Press(1));
    const HWND spotlight = ShownOverlay("KV480Spotlight");
    ASSERT_NE(nullptr, spotlight);
    EXPECT_TRUE(PixelBecomes(aside, RGB(0, 0, 0))) << "darkened outside the circle";
    EXPECT_EQ(m_paper, Pixel(centre)) << "seen through inside";
    ASSERT_TRUE(harness::MovePointer(aside));
    EXPECT_TRUE(PixelBecomes(aside, m_paper)) << "the circle follows the mouse";
    EXPECT_TRUE(PixelBecomes(centre, RGB(0, 0, 0)));
    ASSERT_TRUE(Press(1));
    EXPECT_TRUE(Hidden(spotlight));

    ASSERT_TRUE(Press(2));
    const HWND dot = ShownOverlay("KV480LaserDot");
    ASSERT_NE(nullptr, dot);
    // Where KV480 has the pointer, read from the dot's window: under Wine this
    // process may see the pointer elsewhere for a while.
    const auto dotCentre = [&] {
        RECT area{};
        GetWindowRect(dot, &area);
        return POINT{(area.left + area.right) / 2, (area.top + area.bottom) / 2};
    };
    const POINT at = dotCentre();
    EXPECT_GE(2, std::abs(at.x - aside.x)) << "pointer at " << PointerText();
    EXPECT_TRUE(PixelBecomes(at, RGB(255, 0, 0)));
    ASSERT_TRUE(Hold(5, 1000)) << "the remote's pointer keys move the dot as well";
    POINT moved;
    ASSERT_TRUE(WaitUntil([&] { return (moved = dotCentre()).x > at.x + 20; }, 5000));
    EXPECT_TRUE(PixelBecomes(moved, RGB(255, 0, 0)));
    ASSERT_TRUE(Press(2));
    // Frames are carried out in order: once the dot is gone, no repeat of the
    // hold is left to move the pointer away from where the lens is wanted.
    EXPECT_TRUE(Hidden(dot));

    // A patch that changes colour under the pointer: the lens shows it live.
    WNDCLASSA patchClass{};
    patchClass.lpfnWndProc = DefWindowProcA;
    patchClass.hInstance = GetModuleHandleA(nullptr);
    patchClass.hbrBackground = CreateSolidBrush(RGB(0, 160, 0));
    patchClass.lpszClassName = "KV480PresenterPatch";
    RegisterClassA(&patchClass);
    const HWND patch = CreateWindowExA(WS_EX_NOACTIVATE, "KV480PresenterPatch", "", WS_POPUP,
                                       centre.x - 40, centre.y - 40, 80, 80, m_window->Handle(),
                                       nullptr, patchClass.hInstance, nullptr);
    ShowWindow(patch, SW_SHOWNOACTIVATE);
    ASSERT_TRUE(harness::MovePointer(centre));
    ASSERT_TRUE(Press(3));
    const HWND lens = ShownOverlay("KV480Magnifier");
    ASSERT_NE(nullptr, lens);
    RECT area;
    GetWindowRect(lens, &area);
    const POINT lensCentre = {(area.left + area.right) / 2, (area.top + area.bottom) / 2};
    EXPECT_GE(area.right - area.left, 280);
    EXPECT_TRUE(PixelBecomes(lensCentre, RGB(0, 160, 0))) << "pointer at " << PointerText();
    const HBRUSH blue = CreateSolidBrush(RGB(0, 0, 200));
    SetClassLongPtrA(patch, GCLP_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(blue));
    RedrawWindow(patch, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_TRUE(PixelBecomes(lensCentre, RGB(0, 0, 200))) << "live, not a still picture";

    ASSERT_TRUE(Press(1));
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(spotlight); }, 5000));
    DWORD session = 0;
    ProcessIdToSessionId(m_program.ProcessId(), &session);
    SendMessageA(m_main, WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK, session);
    EXPECT_TRUE(Hidden(spotlight));
    EXPECT_TRUE(Hidden(lens));
    DestroyWindow(patch);
    UnregisterClassA("KV480PresenterPatch", GetModuleHandleA(nullptr));
    DeleteObject(patchClass.hbrBackground);
    DeleteObject(blue);
}

// Another program puts the pointer in place: the spotlight follows it, and
// the pointer stays there (KV480 holds back no other program's input).
TEST_F(KV480PresenterTest, TheSpotlightFollowsAPointerThatAnotherProgramMoved) {
    StartPresenting("Key1=Spotlight\r\n");
    const POINT centre = Centre();
    const POINT aside = {centre.x - 300, centre.y};
    ASSERT_TRUE(harness::MovePointer(centre));
    ASSERT_TRUE(Press(1));
    ASSERT_NE(nullptr, ShownOverlay("KV480Spotlight"));
    ASSERT_TRUE(PixelBecomes(aside, RGB(0, 0, 0)));
    ASSERT_TRUE(harness::MovePointer(aside));
    EXPECT_TRUE(PixelBecomes(aside, m_paper)) << "pointer at " << PointerText();
    EXPECT_TRUE(PixelBecomes(centre, RGB(0, 0, 0)));
    POINT pointer = {0, 0};
    GetCursorPos(&pointer);
    EXPECT_TRUE(std::abs(pointer.x - aside.x) <= 1 && std::abs(pointer.y - aside.y) <= 1)
        << "pointer at " << PointerText();
}

TEST_F(KV480PresenterTest, TheBlankScreenCoversTheMonitorAndTheTimerCountsPastTheEnd) {
    StartPresenting("Key1=BlankScreen\r\nKey2=BlankScreen White\r\nKey3=Timer \"0:02\"\r\n");
    ASSERT_TRUE(Press(1));
    const HWND blank = ShownOverlay("KV480BlankScreen");
    ASSERT_NE(nullptr, blank);
    EXPECT_TRUE(PixelBecomes(Centre(), RGB(0, 0, 0)));
    RECT area;
    GetWindowRect(blank, &area);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), area.right - area.left) << "the whole monitor";
    ASSERT_TRUE(Press(2));
    EXPECT_TRUE(PixelBecomes(Centre(), RGB(255, 255, 255)));
    ASSERT_TRUE(Press(2));
    EXPECT_TRUE(Hidden(blank));

    ASSERT_TRUE(Press(3));
    const HWND timer = ShownOverlay("KV480Timer");
    ASSERT_NE(nullptr, timer);
    GetWindowRect(timer, &area);
    EXPECT_GT(area.left, GetSystemMetrics(SM_CXSCREEN) / 2) << "in the top right corner";
    EXPECT_LT(area.top, GetSystemMetrics(SM_CYSCREEN) / 2);
    std::vector<std::wstring> shown;
    EXPECT_TRUE(WaitUntil(
        [&] {
            const std::wstring text = TextOf(timer);
            if (shown.empty() || shown.back() != text)
                shown.push_back(text);
            return text == L"-0:01";
        },
        6000));
    EXPECT_EQ(
        (std::vector<std::wstring>{L"0:01", L"0:00", L"-0:01"}),
        std::vector<std::wstring>(shown.end() - std::min<size_t>(3, shown.size()), shown.end()));
    ASSERT_TRUE(Press(3));
    EXPECT_TRUE(Hidden(timer));
}

TEST_F(KV480KeyMapTest, ANoteStaysWhileItsKeyIsHeldAndLongEnoughToBeReadAfter) {
    WriteKeyMap("[Default]\r\nClassName=NULL\r\nWindowName=NULL\r\nKey1=A\r\n");
    SetShowActions(true);
    StartConnected();
    ASSERT_TRUE(Hold(1, 2000));
    // The release comes once the receiver has been silent a moment.
    const DWORD lastFrame = GetTickCount();
    const HWND note = FindWindowA("KV480ActionNote", nullptr);
    ASSERT_NE(nullptr, note);
    EXPECT_TRUE(IsWindowVisible(note)) << "still there while the key was held";
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(note); }, 5000));
    EXPECT_GE(GetTickCount() - lastFrame, 1500u) << "a one-word note stays 1.75 s after release";
}

// A presenter's desktop on the harness's two monitors: the notes in front on
// the first, the slide show full screen on the second.
class KV480TwoMonitorsTest : public KV480PresenterTest {
protected:
    static constexpr RECT kProjector = {1280, 0, 2304, 768};
    static constexpr COLORREF kSlide = RGB(0, 0, 160);

    void SetUp() override {
        KV480PresenterTest::SetUp();
        if (!HasFatalFailure() && !harness::HasTwoMonitors())
            GTEST_SKIP() << harness::TWO_MONITORS_NEEDED;
    }

    void TearDown() override {
        if (m_show != nullptr)
            DestroyWindow(m_show);
        UnregisterClassA("KV480SlideShow", GetModuleHandleA(nullptr));
        if (m_slideBrush != nullptr)
            DeleteObject(m_slideBrush);
        KV480PresenterTest::TearDown();
    }

    // A slide show's window, shown full screen on the second monitor without
    // taking the front from the notes.
    void StartSlideShow(const std::string& keys) {
        StartPresenting(keys);
        if (HasFatalFailure())
            return;
        m_slideBrush = CreateSolidBrush(kSlide);
        WNDCLASSA showClass{};
        showClass.lpfnWndProc = DefWindowProcA;
        showClass.hInstance = GetModuleHandleA(nullptr);
        showClass.hbrBackground = m_slideBrush;
        showClass.lpszClassName = "KV480SlideShow";
        RegisterClassA(&showClass);
        m_show = CreateWindowExA(
            WS_EX_NOACTIVATE, showClass.lpszClassName, "Slide Show", WS_POPUP, kProjector.left,
            kProjector.top, kProjector.right - kProjector.left, kProjector.bottom - kProjector.top,
            nullptr, nullptr, showClass.hInstance, nullptr);
        ASSERT_NE(nullptr, m_show);
        ShowWindow(m_show, SW_SHOWNOACTIVATE);
        ASSERT_TRUE(PixelBecomes(ProjectorCentre(), kSlide));
        ASSERT_EQ(m_window->Handle(), GetForegroundWindow());
    }

    static POINT ProjectorCentre() {
        return POINT{(kProjector.left + kProjector.right) / 2,
                     (kProjector.top + kProjector.bottom) / 2};
    }

    // The blank screen once shown; over the show, whose window then takes
    // the clicks, so not ShownOverlay's.
    static HWND ShownBlankScreen() {
        HWND blank = nullptr;
        WaitUntil(
            [&] {
                blank = FindWindowA("KV480BlankScreen", nullptr);
                return blank != nullptr && IsWindowVisible(blank);
            },
            5000);
        return blank;
    }

    static bool OnProjector(HWND overlay) {
        RECT area{};
        GetWindowRect(overlay, &area);
        return area.left >= kProjector.left && area.right <= kProjector.right;
    }

    HWND m_show = nullptr;
    HBRUSH m_slideBrush = nullptr;
};

TEST_F(KV480TwoMonitorsTest, TheBlankScreenCoversTheShowAndTheTimerStaysWithTheNotes) {
    StartSlideShow(
        "Key1=BlankScreen\r\nKey2=Timer \"20:00\"\r\nKey3=Timer \"20:00\" Monitor 2\r\n");
    ASSERT_TRUE(Press(1));
    const HWND blank = ShownBlankScreen();
    ASSERT_NE(nullptr, blank);
    EXPECT_TRUE(PixelBecomes(ProjectorCentre(), RGB(0, 0, 0))) << "the audience's monitor";
    EXPECT_EQ(m_paper, Pixel(Centre())) << "the presenter's notes stay in sight";
    RECT area{};
    GetWindowRect(blank, &area);
    EXPECT_TRUE(EqualRect(&area, &kProjector));

    ASSERT_TRUE(Press(2));
    const HWND timer = ShownOverlay("KV480Timer");
    ASSERT_NE(nullptr, timer);
    EXPECT_FALSE(OnProjector(timer)) << "with the notes";
    ASSERT_TRUE(Press(2));
    ASSERT_TRUE(Hidden(timer));
    ASSERT_TRUE(Press(3));
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(timer) && OnProjector(timer); }, 5000))
        << "Monitor 2 names the second";
}

// Under Wine no monitor can be unplugged from the running X server: the
// layout the rule sees changes (the show ends on the second monitor) and
// KV480 gets the message Windows sends after any change of the monitors.
TEST_F(KV480TwoMonitorsTest, ADisplayChangePlacesTheBlankScreenAgain) {
    StartSlideShow("Key1=BlankScreen White\r\n");
    ASSERT_TRUE(Press(1));
    const HWND blank = ShownBlankScreen();
    ASSERT_NE(nullptr, blank);
    ASSERT_TRUE(PixelBecomes(ProjectorCentre(), RGB(255, 255, 255)));

    ShowWindow(m_show, SW_HIDE);
    SendMessageA(m_main, WM_DISPLAYCHANGE, 32, MAKELPARAM(1280, 1024));
    EXPECT_TRUE(PixelBecomes(Centre(), RGB(255, 255, 255))) << "on the monitor in front now";
    EXPECT_FALSE(OnProjector(blank));
    EXPECT_TRUE(IsWindowVisible(blank));
}

TEST_F(KV480KeyMapTest, AModeKeySwitchesTheKeysAndTheNoteAndTooltipSayWhich) {
    WriteKeyMap("[Mouse]\r\nMode=Mouse\r\nKey1=B\r\n"
                "[Default]\r\nClassName=NULL\r\nWindowName=NULL\r\n"
                "Key1=A\r\nKey2=C\r\nKey5=Mode Off\r\nKey6=Mode \"Mouse\"\r\n");
    StartConnected();
    EXPECT_EQ(WPARAM('A'), Typed(1)) << "no mode on";
    ASSERT_TRUE(Press(6));
    EXPECT_TRUE(NoteShows(L"Mode \"Mouse\" on")) << "shown with ShowActions off";
    EXPECT_EQ(WPARAM('B'), Typed(1)) << "the mode's section answers";
    EXPECT_EQ(WPARAM('C'), Typed(2)) << "a key the mode leaves out keeps its meaning";

    // Over the icon, the tooltip names the mode.
    RECT icon;
    ASSERT_TRUE(GetWindowRect(harness::FirstTrayIcon(), &icon));
    ASSERT_TRUE(harness::MovePointer({(icon.left + icon.right) / 2, (icon.top + icon.bottom) / 2}));
    EXPECT_TRUE(WaitUntil(
        [] {
            for (const std::string& text : BalloonTexts())
                if (text.find("Mode \"Mouse\" on") != std::string::npos)
                    return true;
            return false;
        },
        5000))
        << ::testing::PrintToString(BalloonTexts());

    ASSERT_TRUE(Press(6));
    EXPECT_TRUE(NoteShows(L"Mode \"Mouse\" off")) << "the same mode key switches it off";
    EXPECT_EQ(WPARAM('A'), Typed(1));
    ASSERT_TRUE(Press(6));
    ASSERT_TRUE(NoteShows(L"Mode \"Mouse\" on"));
    ASSERT_TRUE(Press(5));
    EXPECT_TRUE(NoteShows(L"Mode \"Mouse\" off"));
    EXPECT_EQ(WPARAM('A'), Typed(1));
}

TEST_F(KV480KeyMapTest, PcActionsAreCarriedOutAndShutDownWantsASecondPress) {
    // Recorded instead of carried out, which would end the test; only the
    // argument asks for that, never the environment.
    const std::string record = m_dir + "pc actions.txt";
    const std::string fromEnvironment = m_dir + "pc actions by environment.txt";
    DeleteFileA(record.c_str());
    DeleteFileA(fromEnvironment.c_str());
    SetEnvironmentVariableA("KV480_TEST_RECORD_PC_ACTIONS_TO", fromEnvironment.c_str());
    WriteKeyMap("[Default]\r\nClassName=NULL\r\nWindowName=NULL\r\n"
                "Key1=Lock\r\nKey2=ShutDown\r\nKey3=A\r\nKey4=Sleep\r\n");
    ResidentFixture::StartConnected("--record-pc-actions-to \"" + record + "\"");
    SetEnvironmentVariableA("KV480_TEST_RECORD_PC_ACTIONS_TO", nullptr);
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(m_window->MakeForeground());
    const auto recorded = [&] {
        std::ifstream file(record, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    };

    ASSERT_TRUE(Press(1));
    EXPECT_TRUE(WaitUntil([&] { return recorded() == "Lock\r\n"; }, 5000)) << recorded();
    ASSERT_TRUE(Press(2));
    EXPECT_TRUE(NoteShows(L"Press key 2 again (short) within 5 s to shut down the PC"));
    EXPECT_TRUE(NoteShows(L"Press key 2 again (short) within 4 s to shut down the PC"))
        << "counted down once a second";
    ASSERT_TRUE(Press(2));
    EXPECT_TRUE(WaitUntil([&] { return recorded() == "Lock\r\nShutDown\r\n"; }, 5000))
        << recorded();
    // Recorded past the power capabilities' check: Wine reports a sleep
    // state (S1-S3), so the PC is suspended, not its display turned off.
    ASSERT_TRUE(Press(4));
    EXPECT_TRUE(WaitUntil([&] { return recorded() == "Lock\r\nShutDown\r\nSleep\r\n"; }, 5000))
        << recorded() << ::testing::PrintToString(BalloonTexts());

    // Windows refuses: held by another program, the record cannot be written.
    const HANDLE held = CreateFileA(record.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    ASSERT_TRUE(Press(1));
    EXPECT_TRUE(BalloonStartsWith("Lock was refused by Windows. "))
        << ::testing::PrintToString(BalloonTexts());
    CloseHandle(held);
    DeleteFileA(record.c_str());
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(fromEnvironment.c_str()));
}

// The on-screen menu: the installation's steering keys, a main menu with a
// submenu, a scanning menu and the keyboard, each opened by a key.
class KV480MenuTest : public KV480KeyMapTest {
protected:
    void StartWithMenus() {
        WriteKeyMap("[Steering]\r\nMode=Menu\r\nKey1=Menu Up\r\nKey2=Menu Down\r\n"
                    "Key3=Menu Right\r\nKey5=Menu Select\r\nKey6=Menu Back\r\n"
                    "[Main]\r\nMenu=Main\r\nItem1=\"Greet\" Text \"Hi\"\r\n"
                    "Item2=\"More\" Menu \"More\"\r\n"
                    "[More]\r\nMenu=More\r\nItem1=\"Bee\" B\r\n"
                    "[Scan]\r\nMenu=Scan\r\nScan=2500\r\nItem1=\"One\" Text \"1\"\r\n"
                    "Item2=\"Two\" Text \"2\"\r\n"
                    "[Default]\r\nClassName=NULL\r\nWindowName=NULL\r\nKey1=A\r\n"
                    "Key3=Keyboard\r\nKey4=Menu\r\nKey6=Menu \"Scan\"\r\n");
        StartConnected();
    }
    // Presses the key and waits until the menu's window says text (shown),
    // or is hidden (empty text).
    bool Steer(int key, const std::wstring& text) { return Press(key) && MenuSays(text); }
    static bool MenuSays(const std::wstring& text) {
        return WaitUntil([&] { return MenuText() == text; }, 5000);
    }
    // The window's text while it is shown, which a screen reader reads.
    static std::wstring MenuText() {
        const HWND menu = FindWindowA("KV480Menu", nullptr);
        wchar_t shown[64] = L"";
        if (menu == nullptr || !IsWindowVisible(menu))
            return L"";
        GetWindowTextW(menu, shown, 64);
        return shown;
    }
};

TEST_F(KV480MenuTest, AKeyOpensTheMenuWhoseEntryTypesIntoTheWindowThatKeepsTheFocus) {
    StartWithMenus();
    ASSERT_TRUE(Steer(4, L"Greet"));
    const HWND menu = FindWindowA("KV480Menu", nullptr);
    EXPECT_EQ(WS_EX_NOACTIVATE | WS_EX_TOPMOST,
              GetWindowLongPtrA(menu, GWL_EXSTYLE) & (WS_EX_NOACTIVATE | WS_EX_TOPMOST));
    ASSERT_TRUE(Steer(2, L"More"));
    ASSERT_TRUE(Steer(5, L"Bee")) << "the submenu";
    ASSERT_TRUE(Steer(6, L"More")) << "Back returns to its menu";
    ASSERT_TRUE(Steer(1, L"Greet"));
    ASSERT_TRUE(Steer(5, L""));
    EXPECT_TRUE(WaitUntil([&] { return m_window->Chars() == L"Hi"; }, 5000));
    EXPECT_EQ(m_window->Handle(), GetForegroundWindow());
    EXPECT_EQ(WPARAM('A'), Typed(1)) << "after the menu the key means what it meant before";
}

TEST_F(KV480MenuTest, AScanningMenuMovesByItselfAndTheKeyboardTypesAWord) {
    StartWithMenus();
    ASSERT_TRUE(Steer(6, L"One"));
    // The first entry waits two steps of 2.5 s.
    EXPECT_TRUE(WaitUntil([] { return MenuText() == L"Two"; }, 10000)) << "moved by the scan";
    // Up starts the step again, the first entry's twice as long: time to select.
    ASSERT_TRUE(Steer(1, L"One"));
    ASSERT_TRUE(Steer(5, L""));
    EXPECT_TRUE(WaitUntil([&] { return m_window->Chars() == L"1"; }, 5000));

    m_window->Clear();
    ASSERT_TRUE(Press(3));
    ASSERT_TRUE(WaitUntil([] { return !MenuText().empty(); }, 5000));
    const std::wstring first = MenuText();
    ASSERT_TRUE(Press(5));
    ASSERT_TRUE(WaitUntil([&] { return m_window->Chars() == first; }, 5000));
    ASSERT_TRUE(Press(3));
    ASSERT_TRUE(WaitUntil([&] { return MenuText() != first; }, 5000));
    const std::wstring second = MenuText();
    ASSERT_TRUE(Press(5));
    EXPECT_TRUE(WaitUntil([&] { return m_window->Chars() == first + second; }, 5000))
        << "the keyboard stays open as it types";
    ASSERT_TRUE(Steer(6, L""));
    EXPECT_EQ(m_window->Handle(), GetForegroundWindow());
    EXPECT_EQ(WPARAM('A'), Typed(1));
}

} // namespace
