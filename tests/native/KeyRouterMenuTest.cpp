// The on-screen menu on the key path: opened by a key, steered in the mode
// Menu while nothing falls through to the window in front, its entries
// carried as any key's action, and the mode before it back once it closes.
#include "CFrameDecoder.h"
#include "CKeyRouter.h"
#include "FakeKeyDesktop.h"
#include "HandDrivenClock.h"
#include "RemoteControl.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace {

using Log = std::vector<std::string>;

class KeyRouterMenuTest : public ::testing::Test, protected HandDrivenClock {
protected:
    static constexpr IDesktopWindows::Window APP = 10;

    KeyRouterMenuTest() {
        desktop.windows[APP] = {"AppClass", "Letter - App", "app.exe"};
        desktop.foreground = APP;
        FakeKeyDesktop::SetMap(
            desktop.installedMap,
            "[Steering]\nMode=Menu\nClassName=NULL\nWindowName=NULL\nKey1=Menu Up\n"
            "Key2=Menu Down\nKey5=Menu Select\nKey6=Menu Back\nKey14=Menu Select\n"
            "[Main]\nMenu=Main\nItem1=\"Hello\" Text \"Hello\"\nItem2=\"Tools\" Menu \"Tools\"\n"
            "Item3=\"Power off\" ShutDown\nItem4=\"Type\" Keyboard\n"
            "[Tools]\nMenu=Tools\nItem1=\"Spot\" Spotlight\n"
            "[Scan]\nMenu=Scan\nScan=500\nItem1=\"One\" A\nItem2=\"Two\" B\n"
            "[Any]\nClassName=NULL\nWindowName=NULL\nKey1=A\nKey3=B\nKey4=Menu\n"
            "Key9=Menu \"Scan\"\nKey7=Mode \"Mouse\"\n"
            "[Mouse]\nMode=Mouse\nKey3=LeftClick\n");
    }

    void Tap(int key) {
        router.KeyEvent(key, CFrameDecoder::NEW_PRESS);
        router.KeyRelease(key);
    }
    void Taps(std::initializer_list<int> keys) {
        for (const int key : keys) {
            Tap(key);
        }
    }
    Log Taken() { return std::exchange(desktop.log, {}); }

    FakeKeyDesktop desktop;
    CKeyRouter router{desktop, desktop, desktop, clock};
};

TEST_F(KeyRouterMenuTest, AKeyOpensTheMenuItsModeSteersAndTheEntryActsInTheWindowInFront) {
    Tap(4); // opens without a note of its mode
    Tap(3); // the mode Menu leaves key 3 out: nothing reaches the window
    Taps({2, 1, 1, 6});
    Tap(3); // the menu closed: key 3 means what it meant before
    EXPECT_EQ((Log{"menu Main: Hello", "menu Main: Tools", "menu Main: Hello", "menu Main: Type",
                   "menu hidden", "carry B", "note B"}),
              Taken());
}

TEST_F(KeyRouterMenuTest, AnEntryIsCarriedAsAnyKeysActionAndNamedByItsLabel) {
    Taps({4, 5});
    EXPECT_EQ((Log{"menu Main: Hello", "menu hidden", "carry Text \"Hello\"", "note Hello"}),
              Taken());
    EXPECT_EQ((std::vector<std::string>{"menu", "text"}), desktop.carriers);
}

TEST_F(KeyRouterMenuTest, SubmenuBackAndTheOpeningKeyCloseStepByStepAndTheModeComesBack) {
    Tap(7); // the mode Mouse on
    Taken();
    Taps({4, 2, 5, 6, 4});
    Tap(3); // Mouse again
    EXPECT_EQ((Log{"menu Main: Hello", "menu Main: Tools", "menu Tools: Spot", "menu Main: Tools",
                   "menu hidden", "carry LeftClick", "note LeftClick"}),
              Taken());
}

TEST_F(KeyRouterMenuTest, AModeSwitchedByTheMenusKeysClosesTheMenuFirst) {
    FakeKeyDesktop::SetMap(desktop.userMap, "[Steering]\nMode=Menu\nKey3=Mode \"Mouse\"\n");
    Taps({4, 3, 3});
    EXPECT_EQ((Log{"menu Main: Hello", "menu hidden", "tip Mode \"Mouse\" on",
                   "note Mode \"Mouse\" on", "carry LeftClick", "note LeftClick"}),
              Taken());
}

TEST_F(KeyRouterMenuTest, ShutDownFromAMenuAsksForASecondSelect) {
    Taps({4, 2, 2, 5});
    EXPECT_EQ("note Select \"Power off\" again within 5 s to shut down the PC", Taken().back());
    Advance(1000);
    Tap(5);
    EXPECT_EQ((Log{"menu hidden", "hide note", "note Power off", "pc ShutDown"}), Taken());
}

TEST_F(KeyRouterMenuTest, TheKeyboardTypesAndStaysOpenUntilBack) {
    FakeKeyDesktop::SetMap(desktop.userMap, "[Type]\nClassName=NULL\nWindowName=NULL\n"
                                            "Key3=Keyboard\n");
    Taps({3, 2, 5, 6, 1});
    EXPECT_EQ((Log{"menu Keyboard: q", "menu Keyboard: a", "carry Text \"a\"", "note a",
                   "menu Keyboard: a", "menu hidden", "carry A", "note A"}),
              Taken());
}

TEST_F(KeyRouterMenuTest, AScanningMenuMovesOnTheClockAndTheZelmarsFKeysJumpToAnEntry) {
    desktop.menuSettings.nTimeoutMs = 0;
    Tap(RC_KEY_ZELMAR_F3);
    Advance(1000); // the first entry waits a step longer
    Advance(500);
    Tap(RC_KEY_ZELMAR_F2);
    Tap(RC_KEY_ZELMAR_ENTER);
    EXPECT_EQ((Log{"menu Scan: One", "menu Scan: Two", "menu Scan: One", "menu Scan: Two",
                   "menu hidden", "carry B", "note Two"}),
              Taken());
    Advance(5000);
    EXPECT_TRUE(desktop.log.empty()) << "nothing runs once the menu closed";
}

TEST_F(KeyRouterMenuTest, AnUntouchedMenuClosesAfterItsTimeOutAndTheKeysActAgain) {
    desktop.menuSettings.nTimeoutMs = 3000;
    Tap(4);
    Advance(2999);
    Tap(2); // a move starts the time again
    Advance(3000);
    Tap(1);
    EXPECT_EQ((Log{"menu Main: Hello", "menu Main: Tools", "menu hidden", "carry A", "note A"}),
              Taken());
}

TEST_F(KeyRouterMenuTest, TheMainMenuTellsTheKeysOfTheRemoteInHand) {
    desktop.installedMap = CKeyMap();
    FakeKeyDesktop::SetMap(desktop.installedMap,
                           "[Steering]\nMode=Menu\nKey16=Menu Down\nKey14=Menu Select\n"
                           "[Any]\nClassName=NULL\nWindowName=NULL\nKey13=Menu\nKey14=Enter\n");
    Taps({13, 16, 14});
    EXPECT_EQ((Log{"menu Main: Key 13 ESC: Menu", "menu Main: Key 14 Enter: Enter", "menu hidden",
                   "carry Enter", "note Key 14 Enter: Enter"}),
              Taken());
}

TEST_F(KeyRouterMenuTest, AMenuTheScreenCannotShowClosesAndIsToldByBalloon) {
    desktop.bNotesShown = false;
    Taps({4, 1});
    EXPECT_EQ((Log{"menu Main: Hello", "menu hidden",
                   "balloon " + std::string(CKeyRouter::KEY_MAP_TITLE) + ": " +
                       CKeyRouter::UNSHOWN_MENU_TEXT,
                   "carry A"}),
              Taken());
}

} // namespace
