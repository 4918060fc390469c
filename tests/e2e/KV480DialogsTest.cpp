// The test dialog and the about box of the resident program, end to end:
// KV480.exe runs as its own process with the receiver played from COM11, the
// dialogs are opened with the main window's menu commands, and what they show
// is read back from the screen, as the user sees it.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "Accessibility.h"
#include "DialogControls.h"
#include "LineState.h"
#include "Pointer.h"
#include "ProgramUnderTest.h"
#include "ReceivingWindow.h"
#include "ResidentFixture.h"
#include "Shot.h"
#include "SystemDpiOverride.h"
#include "TrayIcons.h"

using harness::Box;
using harness::ClientOnScreen;
using harness::ClientShot;
using harness::Control;
using harness::Controls;
using harness::DevicePort;
using harness::ProgramUnderTest;
using harness::Shot;
using harness::VekoCode;
using harness::WaitUntil;
using harness::ZelmarCode;
using namespace e2e;

namespace {

const char* const kTestCaption = "Remote Control - Test";
const char* const kAboutCaption = "About Remote Control ...";
const UINT WM_RC_TESTKEY = WM_USER + 4;
const UINT WM_RC_TESTRELEASE = WM_USER + 5;
const WPARAM ID_TEST = 32785;
const WPARAM ID_ABOUT = 32788;
const WPARAM ID_EXIT = 32790;
const int IDC_LINK = 1008;
const int IDC_VERSION = 1011;
const int IDC_TEST_KEY_TEXT = 1020;

const COLORREF kMarkRed = RGB(250, 0, 0);
const COLORREF kBackground = RGB(209, 209, 209);
const COLORREF kLinkBlue = RGB(0, 0, 255);

// Where the marks belong, relative to the centre of the client area.
struct KeyPlace {
    int key;
    int left, top, right, bottom; // right and bottom exclusive
};

const KeyPlace kVekoKeys[] = {
    {1, -20, -95, 0, -67}, {2, 1, -95, 21, -67}, {3, -20, -57, 0, -29},
    {4, 1, -57, 21, -29},  {5, -20, -19, 0, 9},  {6, 1, -19, 21, 9},
};

const KeyPlace kZelmarKeys[] = {
    {7, -38, -92, -17, -71},   {8, -10, -92, 11, -71},  {9, 18, -92, 39, -71},
    {10, -38, -68, -17, -47},  {11, -10, -68, 11, -47}, {12, 18, -68, 39, -47},
    {13, -30, -46, -1, -24},   {14, 3, -46, 33, -24},   {15, -8, -25, 11, -6},
    {16, -8, 11, 11, 30},      {17, -26, -7, -7, 12},   {18, 10, -7, 29, 12},
    {19, -41, -113, -11, -95}, {20, -8, -113, 38, -95}, {21, -28, 26, -9, 45},
    {22, 12, 26, 31, 45},      {23, -8, 41, 11, 60},
};

const KeyPlace& Place(int key) {
    for (const KeyPlace& place : kVekoKeys)
        if (place.key == key)
            return place;
    for (const KeyPlace& place : kZelmarKeys)
        if (place.key == key)
            return place;
    ADD_FAILURE() << "no key " << key;
    return kVekoKeys[0];
}

void MoveMouseTo(POINT screen) {
    harness::MouseAt(0, screen);
}

void ClickAt(POINT screen) {
    harness::MouseAt(MOUSEEVENTF_LEFTDOWN, screen);
    harness::MouseAt(MOUSEEVENTF_LEFTUP, screen);
}

// The cursor the user sees: that of the foreground window's thread.
HCURSOR CurrentCursor() {
    CURSORINFO info{};
    info.cbSize = sizeof(info);
    return GetCursorInfo(&info) ? info.hCursor : nullptr;
}

// The cursor once the last mouse move is handled. Each move briefly shows
// the window class's arrow before the control sets its own, so one look
// could catch that instead.
bool CursorSettlesAt(HCURSOR expected) {
    Sleep(300);
    for (int i = 0; i < 10; ++i) {
        if (CurrentCursor() != expected)
            return false;
        Sleep(20);
    }
    return true;
}

class KV480DialogsTest : public ResidentFixture {
protected:
    KV480DialogsTest() : ResidentFixture("kv480 dialogs\\") {}

    void TearDown() override {
        ResidentFixture::TearDown();
        DeleteFileA((m_dir + "KeyMap.ini").c_str());
    }

    // rcType < 0: no RC_type value at all.
    void StartConnected(int rcType) {
        WriteDword("Address", kAddress);
        WriteDword("CommPort", 1);
        if (rcType >= 0)
            WriteDword("RC_type", static_cast<DWORD>(rcType));
        WritePath();
        ResidentFixture::StartConnected();
    }

    HWND FindVisible(const char* className, const char* caption) const {
        return harness::FindProcessWindow(m_program.ProcessId(), className, caption, true);
    }

    int CountWindows(const char* className, const char* caption) const {
        int count = 0;
        for (HWND window = FindWindowExA(nullptr, nullptr, className, caption); window != nullptr;
             window = FindWindowExA(nullptr, window, className, caption)) {
            DWORD pid = 0;
            GetWindowThreadProcessId(window, &pid);
            if (pid == m_program.ProcessId())
                ++count;
        }
        return count;
    }

    // Opens the test dialog from the menu and waits until its picture is up.
    HWND OpenTestDialog() {
        PostMessageA(m_main, WM_COMMAND, ID_TEST, 0);
        HWND dialog = nullptr;
        WaitUntil(
            [&] {
                dialog = FindVisible(kMainClass, kTestCaption);
                return dialog != nullptr;
            },
            10000);
        // Painted: background at the edges, the picture within.
        auto painted = [&] {
            const Shot shot = ClientShot(dialog);
            return shot.Ok() && shot.At(0, 0) == kBackground &&
                   shot.At(shot.Width() - 1, shot.Height() - 1) == kBackground &&
                   !shot.FindOther(kBackground).Empty();
        };
        if (dialog != nullptr && !WaitUntil(painted, 5000))
            ADD_FAILURE() << "the picture did not appear";
        return dialog;
    }

    HWND OpenAboutBox() {
        PostMessageA(m_main, WM_COMMAND, ID_ABOUT, 0);
        HWND box = nullptr;
        WaitUntil(
            [&] {
                box = FindVisible("#32770", kAboutCaption);
                return box != nullptr;
            },
            10000);
        return box;
    }

    bool PressVeko(int key) { return m_device->Write(Frame({0x12, 0xED, VekoCode(key)})); }
    bool RepeatVeko() { return m_device->Write(Frame({0xAA, 0xAA, 0xAA})); }
    // The toggle bit changes with every new press and stays for its repeats.
    bool PressZelmar(int key) {
        m_toggle ^= 0x20;
        return RepeatZelmar(key);
    }
    bool RepeatZelmar(int key) {
        return m_device->Write(Frame({0x5A, 0x12 | m_toggle, ZelmarCode(key)}));
    }

    // The red marks on the dialog once any show, or none within timeoutMs.
    static Box WaitForMark(HWND dialog, DWORD timeoutMs) {
        Box marks;
        WaitUntil(
            [&] {
                marks = ClientShot(dialog).Find(kMarkRed);
                return !marks.Empty();
            },
            timeoutMs);
        return marks;
    }

    static bool WaitForNoMark(HWND dialog, DWORD timeoutMs) {
        return WaitUntil([&] { return ClientShot(dialog).Find(kMarkRed).Empty(); }, timeoutMs);
    }

    // The 3-pixel pen runs along the key's rectangle, one pixel each side.
    static void ExpectMarkOn(const Box& marks, HWND dialog, int key) {
        RECT client;
        GetClientRect(dialog, &client);
        const int cx = client.right / 2;
        const int cy = client.bottom / 2;
        const KeyPlace& place = Place(key);
        SCOPED_TRACE("key " + std::to_string(key));
        ASSERT_FALSE(marks.Empty());
        EXPECT_NEAR(cx + place.left - 1, marks.left, 1) << marks;
        EXPECT_NEAR(cy + place.top - 1, marks.top, 1) << marks;
        EXPECT_NEAR(cx + place.right + 1, marks.right, 1) << marks;
        EXPECT_NEAR(cy + place.bottom + 1, marks.bottom, 1) << marks;
    }

    // Each key of the remote: a press marks exactly that key, briefly.
    template <typename Press>
    void CheckEveryKey(HWND dialog, const KeyPlace* first, const KeyPlace* last, Press press) {
        for (const KeyPlace* place = first; place != last; ++place) {
            ASSERT_TRUE(press(place->key));
            const Box marks = WaitForMark(dialog, 3000);
            ExpectMarkOn(marks, dialog, place->key);
            ASSERT_TRUE(WaitForNoMark(dialog, 2000)) << "key " << place->key << " stays marked";
        }
    }

    int m_toggle = 0;
};

// --- Test dialog --------------------------------------------------------------

TEST_F(KV480DialogsTest, VekoDialogShowsTheSixKeyPictureAndMarksEachKey) {
    StartConnected(0);
    HWND dialog = OpenTestDialog();
    ASSERT_NE(nullptr, dialog);

    // Its own caption, the main dialog's class: a lookup by both together
    // still finds only the hidden main dialog.
    char className[64] = "";
    GetClassNameA(dialog, className, sizeof(className));
    EXPECT_STREQ(kMainClass, className);
    EXPECT_EQ(kTestCaption, harness::WindowText(dialog));
    EXPECT_EQ(1, CountWindows(kMainClass, kMainCaption));
    EXPECT_EQ(m_main, FindWindowA(kMainClass, kMainCaption));

    RECT window;
    GetWindowRect(dialog, &window);
    EXPECT_EQ(100, window.right - window.left);
    EXPECT_EQ(300, window.bottom - window.top);
    // Centred on the screen.
    EXPECT_NEAR(GetSystemMetrics(SM_CXSCREEN) / 2, (window.left + window.right) / 2, 1);
    EXPECT_NEAR(GetSystemMetrics(SM_CYSCREEN) / 2, (window.top + window.bottom) / 2, 1);

    // The 58 x 255 picture, centred in the client area; nothing marked yet.
    const Shot shot = ClientShot(dialog);
    ASSERT_TRUE(shot.Ok());
    const Box picture = shot.FindOther(kBackground);
    EXPECT_EQ(shot.Width() / 2 - 29, picture.left) << picture;
    EXPECT_EQ(shot.Height() / 2 - 127, picture.top) << picture;
    EXPECT_EQ(58, picture.right - picture.left) << picture;
    EXPECT_EQ(255, picture.bottom - picture.top) << picture;
    EXPECT_TRUE(shot.Find(kMarkRed).Empty());

    CheckEveryKey(dialog, std::begin(kVekoKeys), std::end(kVekoKeys),
                  [&](int key) { return PressVeko(key); });
}

TEST_F(KV480DialogsTest, ZelmarDialogShowsTheSeventeenKeyPictureAndMarksEachKey) {
    StartConnected(1);
    HWND dialog = OpenTestDialog();
    ASSERT_NE(nullptr, dialog);

    RECT window;
    GetWindowRect(dialog, &window);
    EXPECT_EQ(160, window.right - window.left);
    EXPECT_EQ(300, window.bottom - window.top);

    const Shot shot = ClientShot(dialog);
    ASSERT_TRUE(shot.Ok());
    const Box picture = shot.FindOther(kBackground);
    EXPECT_EQ(shot.Width() / 2 - 58, picture.left) << picture;
    EXPECT_EQ(shot.Height() / 2 - 127, picture.top) << picture;
    EXPECT_EQ(116, picture.right - picture.left) << picture;
    EXPECT_EQ(255, picture.bottom - picture.top) << picture;

    CheckEveryKey(dialog, std::begin(kZelmarKeys), std::end(kZelmarKeys),
                  [&](int key) { return PressZelmar(key); });
}

TEST_F(KV480DialogsTest, MissingTypeShowsTheVekoPicture) {
    StartConnected(-1);
    HWND dialog = OpenTestDialog();
    ASSERT_NE(nullptr, dialog);
    RECT window;
    GetWindowRect(dialog, &window);
    EXPECT_EQ(100, window.right - window.left);
}

TEST_F(KV480DialogsTest, KeysOfTheOtherRemoteLeaveNoMark) {
    StartConnected(0);
    HWND dialog = OpenTestDialog();
    ASSERT_NE(nullptr, dialog);
    // In one chunk: the other remote's key comes first, so it is lit (if it
    // were drawn) when key 1 shows.
    ASSERT_TRUE(
        m_device->Write(Frame({0x5A, 0x32, ZelmarCode(7)}) + Frame({0x12, 0xED, VekoCode(1)})));
    ExpectMarkOn(WaitForMark(dialog, 3000), dialog, 1);
    ASSERT_TRUE(WaitForNoMark(dialog, 2000));
}

TEST_F(KV480DialogsTest, KeysOfTheOtherRemoteLeaveNoMarkOnTheZelmarPicture) {
    StartConnected(1);
    HWND dialog = OpenTestDialog();
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(
        m_device->Write(Frame({0x12, 0xED, VekoCode(2)}) + Frame({0x5A, 0x32, ZelmarCode(15)})));
    ExpectMarkOn(WaitForMark(dialog, 3000), dialog, 15);
}

TEST_F(KV480DialogsTest, ShortPressLightsTheKeyForAMoment) {
    StartConnected(0);
    HWND dialog = OpenTestDialog();
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(PressVeko(3));
    ASSERT_FALSE(WaitForMark(dialog, 3000).Empty());
    const DWORD seen = GetTickCount();
    ASSERT_TRUE(WaitForNoMark(dialog, 2000));
    // 200 ms; the slack is for the capture and a busy machine.
    EXPECT_LT(GetTickCount() - seen, 700u);
    // And it stays off.
    EXPECT_TRUE(WaitForMark(dialog, 600).Empty());
}

TEST_F(KV480DialogsTest, HeldKeyBlinksWhileRepeatsArriveAndGoesOffAfterTheLast) {
    StartConnected(1);
    HWND dialog = OpenTestDialog();
    ASSERT_NE(nullptr, dialog);

    struct Sample {
        DWORD at;
        bool marked;
    };
    std::vector<Sample> samples;
    const int key = 15; // arrow up
    ASSERT_TRUE(PressZelmar(key));
    const DWORD start = GetTickCount();
    // Marked at the press.
    ExpectMarkOn(WaitForMark(dialog, 3000), dialog, key);
    DWORD lastRepeat = start;
    // The receiver repeats every ~110 ms while the key is held, for 2 s.
    while (GetTickCount() - start < 2000) {
        if (GetTickCount() - lastRepeat >= 110) {
            ASSERT_TRUE(RepeatZelmar(key));
            lastRepeat = GetTickCount();
        }
        const Box marks = ClientShot(dialog).Find(kMarkRed);
        if (!marks.Empty())
            ExpectMarkOn(marks, dialog, key);
        samples.push_back(Sample{GetTickCount() - start, !marks.Empty()});
        Sleep(15);
    }
    const DWORD released = GetTickCount() - start;
    while (GetTickCount() - start < released + 1200) {
        samples.push_back(
            Sample{GetTickCount() - start, !ClientShot(dialog).Find(kMarkRed).Empty()});
        Sleep(15);
    }

    // Blinking once the repeats pass the hold time (~500 ms): count the
    // switches between 800 ms and the release.
    int switches = 0;
    for (size_t i = 1; i < samples.size(); ++i)
        if (samples[i].at > 800 && samples[i].at < released &&
            samples[i].marked != samples[i - 1].marked)
            ++switches;
    // 1.2 s of a 200 ms on / 200 ms off blink.
    EXPECT_GE(switches, 3);
    EXPECT_LE(switches, 12);
    // Off 300 ms after the last repeat, and stays off.
    for (const Sample& sample : samples) {
        if (sample.at > released + 600) {
            EXPECT_FALSE(sample.marked) << "marked at " << sample.at << " ms";
        }
    }
}

// What the picture shows, a screen reader says: the picture's accessible
// name follows the key through its press, its hold and its release.
TEST_F(KV480DialogsTest, TheKeyIsSaidInWordsAsItIsPressedHeldAndReleased) {
    StartConnected(0);
    HWND dialog = OpenTestDialog();
    ASSERT_NE(nullptr, dialog);
    const HWND picture = GetDlgItem(dialog, IDC_TEST_KEY_TEXT);
    ASSERT_NE(nullptr, picture);
    const auto says = [&](const std::string& text) {
        return WaitUntil([&] { return harness::AccessibleName(picture) == text; }, 3000);
    };
    ASSERT_TRUE(PressVeko(3));
    EXPECT_TRUE(says("Key 3 Middle left, pressed")) << harness::AccessibleName(picture);
    // Repeats at the receiver's pace until the key counts as held.
    EXPECT_TRUE(WaitUntil(
        [&] {
            RepeatVeko();
            Sleep(110);
            return harness::AccessibleName(picture) == "Key 3 Middle left, held";
        },
        3000))
        << harness::AccessibleName(picture);
    EXPECT_TRUE(says("Key 3 Middle left, released")) << harness::AccessibleName(picture);
}

TEST_F(KV480DialogsTest, NewPressOfAnotherKeyEndsTheBlinkingOfTheHeldOne) {
    StartConnected(0);
    HWND dialog = OpenTestDialog();
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(PressVeko(3));
    // The receiver repeats every ~110 ms while the key is held.
    for (int i = 0; i < 5; ++i) {
        Sleep(110);
        ASSERT_TRUE(RepeatVeko());
    }
    // Repeats until the held key shows marked in its blinking.
    bool marked = false;
    const DWORD start = GetTickCount();
    while (!marked && GetTickCount() - start < 3000) {
        ASSERT_TRUE(RepeatVeko());
        for (int i = 0; i < 6 && !marked; ++i) {
            Sleep(15);
            marked = !ClientShot(dialog).Find(kMarkRed).Empty();
        }
    }
    ASSERT_TRUE(marked);
    // The user lets go and at once presses another key.
    ASSERT_TRUE(PressVeko(6));
    Sleep(700);
    const Box marks = ClientShot(dialog).Find(kMarkRed);
    EXPECT_TRUE(marks.Empty()) << "still marked: " << marks;
}

TEST_F(KV480DialogsTest, ForgedKeyAndTimerMessagesAreIgnored) {
    // A receiving window: memory past the lamps must stay as it was, the
    // message number that keys are posted with included.
    {
        std::ofstream ini(m_dir + "RecvApp.ini", std::ios::binary | std::ios::trunc);
        ini << "[Receiver]\r\nClassName=KV480DialogsReceiver\r\nWindowName=NULL\r\n";
    }
    harness::ReceivingWindow receiver("KV480DialogsReceiver", "Receiver");
    StartConnected(0);
    HWND dialog = OpenTestDialog();
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(receiver.BringToTop());
    // Any process can post these: keys out of 1..23, repeat flags other than
    // 0 and 1, timer ids that are no key.
    const WPARAM keys[] = {0, 24, 25, 100000, 0x7FFFFFFF, static_cast<WPARAM>(-1)};
    for (WPARAM key : keys) {
        PostMessageA(dialog, WM_RC_TESTKEY, key, 0);
        PostMessageA(dialog, WM_RC_TESTKEY, key, 1);
        PostMessageA(dialog, WM_RC_TESTRELEASE, key, 0);
    }
    PostMessageA(dialog, WM_RC_TESTKEY, 3, 2);
    PostMessageA(dialog, WM_RC_TESTKEY, 3, -1);
    PostMessageA(dialog, WM_TIMER, 24, 0); // blink tick with no key held
    PostMessageA(dialog, WM_TIMER, 100000, 0);
    PostMessageA(dialog, WM_TIMER, 0x7FFFFFFF, 0);
    PostMessageA(dialog, WM_TIMER, static_cast<WPARAM>(-1), 0);
    EXPECT_TRUE(WaitForMark(dialog, 700).Empty());
    ASSERT_TRUE(m_program.IsRunning());

    // Real keys still work as before, on the picture and at the receiver.
    ASSERT_TRUE(PressVeko(6));
    ExpectMarkOn(WaitForMark(dialog, 3000), dialog, 6);
    EXPECT_TRUE(WaitForNoMark(dialog, 2000));
    ASSERT_TRUE(receiver.WaitForKeys(1, 3000));
    EXPECT_EQ(6u, receiver.Keys()[0].key);
}

TEST_F(KV480DialogsTest, SecondTestCommandBringsTheOpenDialogToTheFront) {
    StartConnected(0);
    HWND dialog = OpenTestDialog();
    ASSERT_NE(nullptr, dialog);
    // Something else in front.
    HWND other = CreateWindowExA(0, "STATIC", "in front", WS_POPUP | WS_VISIBLE | WS_CAPTION, 50,
                                 50, 200, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, other);
    SetForegroundWindow(other);
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == other; }, 2000));

    PostMessageA(m_main, WM_COMMAND, ID_TEST, 0);
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == dialog; }, 3000));
    Sleep(300);
    EXPECT_EQ(1, CountWindows(kMainClass, kTestCaption));
    EXPECT_TRUE(IsWindow(dialog));
    DestroyWindow(other);
}

TEST_F(KV480DialogsTest, ClosedAndReopenedDialogKeepsWorking) {
    StartConnected(0);
    HWND dialog = OpenTestDialog();
    ASSERT_NE(nullptr, dialog);
    PostMessageA(dialog, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, 3000));
    // With no dialog, keys still reach the program without harm.
    ASSERT_TRUE(PressVeko(2));
    Sleep(300);
    ASSERT_TRUE(m_program.IsRunning());

    dialog = OpenTestDialog();
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(PressVeko(5));
    ExpectMarkOn(WaitForMark(dialog, 3000), dialog, 5);
}

TEST_F(KV480DialogsTest, TheDialogInFrontMarksMappedKeysAndIsNotTypedInto) {
    // Esc, typed into the dialog, would close it.
    std::ofstream(m_dir + "KeyMap.ini", std::ios::binary)
        << "[Default]\r\nClassName=NULL\r\nWindowName=NULL\r\nKey6=Esc\r\n";
    StartConnected(0);
    HWND dialog = OpenTestDialog();
    ASSERT_NE(nullptr, dialog);
    SetForegroundWindow(dialog);
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == dialog; }, 2000));
    ASSERT_TRUE(PressVeko(6));
    ExpectMarkOn(WaitForMark(dialog, 3000), dialog, 6);
    EXPECT_FALSE(WaitUntil([&] { return !IsWindowVisible(dialog); }, 1000));
}

TEST_F(KV480DialogsTest, ExitWithTheTestDialogOpenEndsTheProgram) {
    StartConnected(0);
    HWND dialog = OpenTestDialog();
    ASSERT_NE(nullptr, dialog);
    PostMessageA(m_main, WM_COMMAND, ID_EXIT, 0);
    ASSERT_TRUE(m_program.WaitForExit(5000));
    EXPECT_TRUE(WaitUntil([] { return harness::CountTrayIcons() == 0; }, 3000));
    // The port is free again.
    m_device.reset();
    DevicePort port(kPort);
    EXPECT_NE(INVALID_HANDLE_VALUE, port.handle());
}

TEST_F(KV480DialogsTest, CloseWithBothDialogsOpenEndsTheProgram) {
    StartConnected(0);
    ASSERT_NE(nullptr, OpenTestDialog());
    ASSERT_NE(nullptr, OpenAboutBox());
    PostMessageA(m_main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(m_program.WaitForExit(5000));
    EXPECT_TRUE(WaitUntil([] { return harness::CountTrayIcons() == 0; }, 3000));
}

// --- Display scaling -----------------------------------------------------------

// The test dialog at a system DPI other than 96, KV480 started afterwards.
class KV480DialogsAtDpiTest : public KV480DialogsTest, public ::testing::WithParamInterface<int> {
protected:
    using AdjustForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);

    void SetUp() override {
        KV480DialogsTest::SetUp();
        if (HasFatalFailure())
            return;
        m_dpi = std::make_unique<harness::SystemDpiOverride>(static_cast<DWORD>(GetParam()));
        ASSERT_TRUE(m_dpi->Ok());
    }

    void TearDown() override {
        KV480DialogsTest::TearDown();
        m_dpi.reset();
    }

    // The picture KV480 holds for this scale, as top-down rows of COLORREFs.
    std::vector<COLORREF> ResourcePicture(int id, int& width, int& height) const {
        std::vector<COLORREF> pixels;
        HMODULE module = LoadLibraryExA(m_exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        if (module == nullptr)
            return pixels;
        HBITMAP bitmap = static_cast<HBITMAP>(
            LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        DIBSECTION dib{};
        if (bitmap != nullptr && GetObjectA(bitmap, sizeof(dib), &dib) == sizeof(dib) &&
            dib.dsBm.bmBitsPixel == 24) {
            width = dib.dsBm.bmWidth;
            height = dib.dsBm.bmHeight;
            const auto* bits = static_cast<const BYTE*>(dib.dsBm.bmBits);
            for (int y = 0; y < height; ++y) {
                // Bottom-up rows, blue first.
                const BYTE* row =
                    bits + static_cast<size_t>(height - 1 - y) * dib.dsBm.bmWidthBytes;
                for (int x = 0; x < width; ++x)
                    pixels.push_back(RGB(row[3 * x + 2], row[3 * x + 1], row[3 * x]));
            }
        }
        if (bitmap != nullptr)
            DeleteObject(bitmap);
        FreeLibrary(module);
        return pixels;
    }

    std::unique_ptr<harness::SystemDpiOverride> m_dpi;
};

TEST_P(KV480DialogsAtDpiTest, ZelmarPictureForTheScaleWithMarginsAndMarksScaled) {
    const int dpi = GetParam();
    // At 125 % the 1.5x picture: the nearest not smaller.
    const double scale = dpi > 144 ? 2.0 : 1.5;
    StartConnected(1);
    HWND dialog = OpenTestDialog();
    ASSERT_NE(nullptr, dialog);

    // The picture drawn for that scale (1.5x: 149, 2x: 150), shown pixel for pixel.
    int width = 0;
    int height = 0;
    const std::vector<COLORREF> expected = ResourcePicture(dpi > 144 ? 150 : 149, width, height);
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(static_cast<int>(116 * scale), width);
    EXPECT_EQ(static_cast<int>(255 * scale), height);
    const Shot shot = ClientShot(dialog);
    ASSERT_TRUE(shot.Ok());
    const Box picture = shot.FindOther(kBackground);
    ASSERT_EQ(width, picture.right - picture.left) << picture;
    ASSERT_EQ(height, picture.bottom - picture.top) << picture;
    EXPECT_EQ(shot.Width() / 2 - width / 2, picture.left) << picture;
    EXPECT_EQ(shot.Height() / 2 - height / 2, picture.top) << picture;
    int differing = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            differing += shot.At(picture.left + x, picture.top + y) != expected[y * width + x];
    EXPECT_EQ(0, differing) << "pixels unlike the picture";

    // The margins around it grow with it; the frame is that of this DPI.
    RECT window;
    RECT client;
    GetWindowRect(dialog, &window);
    GetClientRect(dialog, &client);
    RECT frame96{0, 0, 0, 0};
    auto adjust = reinterpret_cast<AdjustForDpiFn>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleA("user32.dll"), "AdjustWindowRectExForDpi")));
    ASSERT_NE(nullptr, adjust);
    adjust(&frame96, static_cast<DWORD>(GetWindowLongPtrA(dialog, GWL_STYLE)), FALSE,
           static_cast<DWORD>(GetWindowLongPtrA(dialog, GWL_EXSTYLE)), 96);
    const int marginX96 = 160 - (frame96.right - frame96.left) - 116;
    const int marginY96 = 300 - (frame96.bottom - frame96.top) - 255;
    EXPECT_NEAR(marginX96 * scale, client.right - width, 1);
    EXPECT_NEAR(marginY96 * scale, client.bottom - height, 1);
    EXPECT_GT(window.right - window.left, client.right);

    // A mark lies on its key at the picture's scale, drawn with a wider pen.
    m_device->Write(Frame({0x5A, 0x32, ZelmarCode(15)}));
    const Box marks = WaitForMark(dialog, 3000);
    ASSERT_FALSE(marks.Empty());
    const KeyPlace& place = Place(15);
    const double pen = 3 * scale / 2;
    const int cx = client.right / 2;
    const int cy = client.bottom / 2;
    EXPECT_NEAR(cx + place.left * scale - pen, marks.left, 2) << marks;
    EXPECT_NEAR(cy + place.top * scale - pen, marks.top, 2) << marks;
    EXPECT_NEAR(cx + place.right * scale + pen, marks.right, 2) << marks;
    EXPECT_NEAR(cy + place.bottom * scale + pen, marks.bottom, 2) << marks;

    // A DPI change that did not happen (any process can send the message)
    // leaves the window where and as it is.
    DWORD_PTR result = 0;
    SendMessageTimeoutA(dialog, WM_DPICHANGED, MAKEWPARAM(96, 96), 0, SMTO_ABORTIFHUNG, 5000,
                        &result);
    RECT after;
    GetWindowRect(dialog, &after);
    EXPECT_TRUE(EqualRect(&window, &after));
}

INSTANTIATE_TEST_SUITE_P(Scaled, KV480DialogsAtDpiTest, ::testing::Values(120, 192));

// --- About box ----------------------------------------------------------------

// The link is drawn blue and underlined: one row of blue as wide as the text.
void ExpectBlueUnderlinedLink(HWND link) {
    RECT rect;
    GetWindowRect(link, &rect);
    const Shot shot(rect);
    ASSERT_TRUE(shot.Ok());
    const Box blue = shot.Find(kLinkBlue);
    ASSERT_FALSE(blue.Empty()) << "no blue text";
    int widestRow = 0;
    for (int y = blue.top; y < blue.bottom; ++y) {
        int row = 0;
        for (int x = blue.left; x < blue.right; ++x)
            row += shot.At(x, y) == kLinkBlue ? 1 : 0;
        widestRow = row > widestRow ? row : widestRow;
    }
    EXPECT_GE(widestRow, (blue.right - blue.left) * 9 / 10) << "no underline";
}

TEST_F(KV480DialogsTest, AboutBoxShowsIconVersionAndLink) {
    StartConnected(0);
    HWND box = OpenAboutBox();
    ASSERT_NE(nullptr, box);
    Sleep(300);

    bool icon = false;
    bool visit = false;
    bool purpose = false;
    std::string version;
    std::string link;
    std::string ok;
    for (const Control& control : Controls(box)) {
        if (control.id == IDC_VERSION)
            version = control.text;
        else if (control.id == IDC_LINK)
            link = control.text;
        else if (control.id == IDOK)
            ok = control.text;
        else if ((control.style & SS_TYPEMASK) == SS_ICON)
            icon = SendMessageA(control.window, STM_GETICON, 0, 0) != 0;
        else if (control.text == "For more info visit")
            visit = true;
        else if (control.text.find("support utility") != std::string::npos)
            purpose = true;
    }
    EXPECT_TRUE(icon) << "the program's icon";
    EXPECT_EQ("Version 6.1", version);
    EXPECT_EQ("User guide", link);
    EXPECT_EQ("OK", ok);
    EXPECT_TRUE(visit);
    EXPECT_TRUE(purpose);
    ExpectBlueUnderlinedLink(GetDlgItem(box, IDC_LINK));

    // A second command opens no second box.
    PostMessageA(m_main, WM_COMMAND, ID_ABOUT, 0);
    Sleep(500);
    EXPECT_EQ(1, CountWindows("#32770", kAboutCaption));

    // OK closes it; the next one shows the same, with a new underlined font.
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 3000));
    EXPECT_TRUE(m_program.IsRunning());
    box = OpenAboutBox();
    ASSERT_NE(nullptr, box);
    Sleep(300);
    EXPECT_EQ("Version 6.1", harness::WindowText(GetDlgItem(box, IDC_VERSION)));
    ExpectBlueUnderlinedLink(GetDlgItem(box, IDC_LINK));

    // Exit ends the box and the program.
    PostMessageA(m_main, WM_COMMAND, ID_EXIT, 0);
    ASSERT_TRUE(m_program.WaitForExit(5000));
}

// While it runs, opening an .html file appends the file to a log, so a test
// can see which file the shell was asked to open, and how often.
class HtmlAssociation {
public:
    explicit HtmlAssociation(const std::string& logFile) {
        HKEY key;
        if (RegOpenKeyExA(HKEY_CLASSES_ROOT, ".html", 0, KEY_READ, &key) == ERROR_SUCCESS) {
            char value[256] = "";
            DWORD size = sizeof(value);
            DWORD type = 0;
            if (RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value),
                                 &size) == ERROR_SUCCESS &&
                type == REG_SZ) {
                m_hadDefault = true;
                m_previous.assign(value, strnlen(value, sizeof(value)));
            }
            RegCloseKey(key);
        }
        SetDefault("Software\\Classes\\.html", kProgId);
        SetDefault(std::string("Software\\Classes\\") + kProgId + "\\shell\\open\\command",
                   "C:\\windows\\system32\\cmd.exe /c type \"%1\" >> \"" + logFile + "\"");
    }
    ~HtmlAssociation() {
        if (m_hadDefault)
            SetDefault("Software\\Classes\\.html", m_previous);
        else
            RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\Classes\\.html");
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, (std::string("Software\\Classes\\") + kProgId).c_str());
    }
    HtmlAssociation(const HtmlAssociation&) = delete;
    HtmlAssociation& operator=(const HtmlAssociation&) = delete;

private:
    static constexpr const char* kProgId = "KV480Test.GuideLog";

    static void SetDefault(const std::string& path, const std::string& value) {
        HKEY key;
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &key, nullptr) != ERROR_SUCCESS)
            return;
        RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1));
        RegCloseKey(key);
    }

    bool m_hadDefault = false;
    std::string m_previous;
};

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

TEST_F(KV480DialogsTest, LinkShowsTheHandOverItsTextOnlyAndOpensTheUserGuide) {
    const std::string guide = "<html><body>KV480 user guide</body></html>\r\n";
    const std::string log = m_dir + "opened.log";
    DeleteFileA(log.c_str());
    {
        std::ofstream file(m_dir + "user-guide.html", std::ios::binary | std::ios::trunc);
        file << guide;
    }
    HtmlAssociation association(log);
    StartConnected(0);
    HWND box = OpenAboutBox();
    ASSERT_NE(nullptr, box);
    HWND link = GetDlgItem(box, IDC_LINK);
    ASSERT_NE(nullptr, link);
    Sleep(300);

    // The text's own rectangle, from the drawn underline.
    RECT control;
    GetWindowRect(link, &control);
    const Box text = Shot(control).Find(kLinkBlue);
    ASSERT_FALSE(text.Empty());
    const POINT onText{control.left + text.left + 3, control.top + (text.top + text.bottom) / 2};
    const POINT rightOfText{control.left + text.right + 4, onText.y};
    ASSERT_LT(rightOfText.x, control.right) << "the control has no room right of its text";
    RECT client = ClientOnScreen(box);
    const POINT outside{client.left + 5, client.bottom - 5};

    MoveMouseTo(outside);
    Sleep(300);
    const HCURSOR arrow = CurrentCursor();
    ASSERT_NE(nullptr, arrow);

    // The first move over the link only asks for the leave notice...
    MoveMouseTo(onText);
    EXPECT_TRUE(CursorSettlesAt(arrow));
    // ...the next one shows the hand, over the text only.
    MoveMouseTo(POINT{onText.x + 1, onText.y});
    EXPECT_TRUE(WaitUntil([&] { return CurrentCursor() != arrow; }, 2000));
    const HCURSOR hand = CurrentCursor();
    EXPECT_TRUE(CursorSettlesAt(hand));
    MoveMouseTo(rightOfText);
    EXPECT_TRUE(CursorSettlesAt(arrow)) << "beside the text";
    MoveMouseTo(POINT{onText.x + 2, onText.y});
    EXPECT_TRUE(CursorSettlesAt(hand));
    // Leaving the control brings the arrow back.
    MoveMouseTo(outside);
    EXPECT_TRUE(CursorSettlesAt(arrow)) << "outside the control";

    // A click beside the text opens nothing; a click on it opens the guide,
    // once. Each opening appends the opened file to the log.
    ClickAt(rightOfText);
    Sleep(1000);
    ClickAt(onText);
    EXPECT_TRUE(WaitUntil([&] { return ReadFile(log) == guide; }, 10000))
        << "the user guide was not opened";
    Sleep(3000);
    EXPECT_EQ(guide, ReadFile(log)) << "opened more than once";
    ExpectBlueUnderlinedLink(link);
    DeleteFileA(log.c_str());
}

// The control with the keyboard focus in window's thread.
HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus
                                                                              : nullptr;
}

bool PressKey(WORD key) {
    INPUT input[2]{};
    input[0].type = input[1].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[1].ki.wVk = key;
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    return SendInput(2, input, sizeof(INPUT)) == 2;
}

// Pixels of the link's control that are neither the link's blue nor the
// background of its bottom right corner, where the short text never reaches.
int OtherPixels(HWND link) {
    RECT rect;
    GetWindowRect(link, &rect);
    const Shot shot(rect);
    const COLORREF background = shot.At(shot.Width() - 1, shot.Height() - 1);
    int count = 0;
    for (int y = 0; y < shot.Height(); ++y)
        for (int x = 0; x < shot.Width(); ++x)
            count += shot.At(x, y) != kLinkBlue && shot.At(x, y) != background ? 1 : 0;
    return count;
}

TEST_F(KV480DialogsTest, TheLinkIsATabStopThatShowsItsFocusAndOpensTheGuideByKeyboard) {
    const std::string guide = "<html><body>KV480 user guide</body></html>\r\n";
    const std::string log = m_dir + "opened.log";
    DeleteFileA(log.c_str());
    std::ofstream(m_dir + "user-guide.html", std::ios::binary | std::ios::trunc) << guide;
    HtmlAssociation association(log);
    StartConnected(0);
    const HWND box = OpenAboutBox();
    ASSERT_NE(nullptr, box);
    const HWND link = GetDlgItem(box, IDC_LINK);
    std::vector<int> order;
    for (HWND control : harness::TabOrder(box))
        order.push_back(GetDlgCtrlID(control));
    EXPECT_EQ((std::vector<int>{IDC_LINK, IDOK}), order) << "in reading order";
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(box) == GetDlgItem(box, IDOK); }, 3000))
        << "Enter still closes a box just opened";
    ASSERT_TRUE(
        WaitUntil([&] { return !Shot(ClientOnScreen(box)).Find(kLinkBlue).Empty(); }, 5000));
    const int unfocused = OtherPixels(link);

    ASSERT_TRUE(harness::KeepInFront(box));
    ASSERT_TRUE(PressKey(VK_TAB));
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(box) == link; }, 3000));
    EXPECT_TRUE(WaitUntil([&] { return OtherPixels(link) > unfocused + 10; }, 3000))
        << "no focus rectangle";
    ASSERT_TRUE(PressKey(VK_RETURN));
    EXPECT_TRUE(WaitUntil([&] { return ReadFile(log) == guide; }, 10000)) << "Enter";
    EXPECT_TRUE(IsWindow(box)) << "Enter went to the link, not to OK";
    ASSERT_TRUE(harness::KeepInFront(box));
    ASSERT_TRUE(PressKey(VK_SPACE));
    EXPECT_TRUE(WaitUntil([&] { return ReadFile(log) == guide + guide; }, 10000)) << "Space";
    DeleteFileA(log.c_str());
}

TEST_F(KV480DialogsTest, AUserGuideThatCannotBeOpenedIsReported) {
    DeleteFileA((m_dir + "user-guide.html").c_str());
    StartConnected(0);
    HWND box = OpenAboutBox();
    ASSERT_NE(nullptr, box);
    const HWND link = GetDlgItem(box, IDC_LINK);
    RECT control;
    GetWindowRect(link, &control);
    // Drawn, so measured: a click on the text's first pixels opens the guide.
    ASSERT_TRUE(WaitUntil([&] { return !Shot(control).Find(kLinkBlue).Empty(); }, 5000));
    PostMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    PostMessageA(link, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));

    HWND message = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            message = FindVisible("#32770", "Remote Control");
            return message != nullptr;
        },
        10000))
        << "no message";
    std::string said;
    for (HWND child = FindWindowExA(message, nullptr, "Static", nullptr); child != nullptr;
         child = FindWindowExA(message, child, "Static", nullptr))
        said += harness::WindowText(child);
    EXPECT_NE(std::string::npos, said.find(m_dir + "user-guide.html")) << said;
    PostMessageA(message, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(message); }, 3000));
    EXPECT_TRUE(IsWindow(box));
}

} // namespace
