// KV480 typing the remote's keys into an ordinary window by KeyMap.ini: a
// window of this process that knows nothing of the remote's message is the
// foreground window and records the keyboard input that reaches it.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "KeyboardWindow.h"
#include "ReceivingWindow.h"
#include "ResidentFixture.h"

using harness::KeyboardEvent;
using harness::KeyboardWindow;
using harness::WaitUntil;
using namespace e2e;

namespace {

const char* const kWindowClass = "KV480KeyMapWindow";
const char* const kWindowCaption = "notes.txt - Typing test";

// The texts of the visible balloons: Wine shows a balloon as a tooltip
// window of its tray.
std::vector<std::string> BalloonTexts() {
    std::vector<std::string> texts;
    for (HWND window = FindWindowExA(nullptr, nullptr, "tooltips_class32", nullptr);
         window != nullptr; window = FindWindowExA(nullptr, window, "tooltips_class32", nullptr)) {
        char text[512] = "";
        DWORD_PTR result = 0;
        if (IsWindowVisible(window) &&
            SendMessageTimeoutA(window, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text),
                                SMTO_ABORTIFHUNG, 2000, &result))
            texts.push_back(text);
    }
    return texts;
}

class KV480KeyMapTest : public ResidentFixture {
protected:
    KV480KeyMapTest() : ResidentFixture("kv480 keymap\\") {}

    void SetUp() override {
        ResidentFixture::SetUp();
        if (HasFatalFailure())
            return;
        DeleteFileA(KeyMapFile().c_str());
        Configure();
        m_window = std::make_unique<KeyboardWindow>(kWindowClass, kWindowCaption);
    }

    void TearDown() override {
        ResidentFixture::TearDown();
        m_window.reset();
        DeleteFileA(KeyMapFile().c_str());
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
    EXPECT_EQ(WPARAM('B'), Typed(2)) << "the rest of the edited file works";
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

    DeleteFileA(KeyMapFile().c_str());
    EXPECT_EQ(WPARAM(0), Typed(2, 1000)) << "no file, no key map";
}

} // namespace
