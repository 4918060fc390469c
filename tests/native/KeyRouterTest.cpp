// The way of a key event: who sees it, in which order, who takes it, where
// its release goes, and what the user is told.
#include "CKeyRouter.h"
#include "CFrameDecoder.h"
#include "FakeKeyDesktop.h"
#include "FakeKeySink.h"
#include "HandDrivenClock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace {

using Log = std::vector<std::string>;

class KeyRouterTest : public ::testing::Test, protected HandDrivenClock {
protected:
    static constexpr IDesktopWindows::Window APP = 10, RECEIVER = 20, EDITOR = 30, TEST = 40,
                                             PLAYER = 50;

    KeyRouterTest() {
        desktop.windows[APP] = {"AppClass", "Letter - App", "app.exe"};
        desktop.windows[RECEIVER] = {"ReceiverClass", "Receiver", "receiver.exe"};
        desktop.windows[EDITOR] = {"KV480KeysEditor", "Remote Control keys", "KV480keys.exe"};
        desktop.windows[TEST] = {"CRemoteControlClass", "Remote Control - Test", "KV480.exe",
                                 FakeKeyDesktop::OWN_PROCESS};
        desktop.windows[PLAYER] = {"PlayerClass", "Player", "player.exe"};
        desktop.foreground = APP;
        desktop.keysEditor = EDITOR;
        FakeKeyDesktop::SetMap(desktop.installedMap, "[Any]\nClassName=NULL\nWindowName=NULL\n"
                                                     "Key1=A\nKey2=Run \"C:\\Apps\\player.exe\"\n"
                                                     "Key3=B\nKey3 long=C\n");
    }

    // The router, then LIRC's stream, as the pipeline hands them the events.
    void Press(int key) { Event(key, CFrameDecoder::NEW_PRESS); }
    void Repeat(int key) { Event(key, CFrameDecoder::REPEAT); }
    void Event(int key, int repeat) {
        router.KeyEvent(key, repeat);
        lirc.KeyEvent(key, repeat);
    }
    void Release(int key) {
        router.KeyRelease(key);
        lirc.KeyRelease(key);
    }
    Log Taken() { return std::exchange(desktop.log, {}); }
    static std::string LockedBalloon() {
        return "balloon " + std::string(CKeyRouter::LOCKED_TITLE) + ": " + CKeyRouter::LOCKED_TEXT;
    }

    FakeKeyDesktop desktop;
    CKeyRouter router{desktop, desktop, desktop, clock};
    FakeKeySink lirc{desktop.log, "lirc"};
};

TEST_F(KeyRouterTest, TheEditorInFrontComesBeforeTheReceivingApplication) {
    desktop.receiving = RECEIVER;
    desktop.foreground = EDITOR;
    Press(1);
    desktop.foreground = APP;
    Press(1);
    EXPECT_EQ((Log{"key 1 0 to 30", "lirc 1 0", "key 1 0 to 20", "lirc 1 0"}), Taken());
}

TEST_F(KeyRouterTest, WithoutATakerTheKeyMapActsInTheWindowInFrontButNotInKV480s) {
    Press(1);
    Release(1);
    EXPECT_EQ((Log{"carry A", "note A", "lirc 1 0", "lirc release 1"}), Taken());
    EXPECT_EQ(0, desktop.nProgramReads) << "no section names a program";

    // The test dialog in front shows the key; typing into it would close it.
    desktop.foreground = TEST;
    Press(1);
    EXPECT_EQ((Log{"lirc 1 0"}), Taken());
}

TEST_F(KeyRouterTest, TheWindowsProgramIsReadOnlyWhenASectionNamesOne) {
    FakeKeyDesktop::SetMap(desktop.userMap, "[Mine]\nProgram=app.exe\nKey1=X\n");
    Press(1);
    desktop.foreground = PLAYER;
    Press(1);
    EXPECT_EQ((Log{"carry X", "note X", "lirc 1 0", "carry A", "note A", "lirc 1 0"}), Taken());
    EXPECT_EQ(2, desktop.nProgramReads);
}

TEST_F(KeyRouterTest, TheReleaseGoesToTheWindowThatGotThePressOfThatKey) {
    desktop.receiving = RECEIVER;
    Press(4);
    desktop.receiving = PLAYER;
    Repeat(4);
    Release(4);
    EXPECT_EQ((Log{"key 4 0 to 20", "lirc 4 0", "key 4 1 to 50", "lirc 4 1", "release 4 0 to 20",
                   "lirc release 4"}),
              Taken());

    // Another key's press in between, or a press that went to the key map:
    // no release is posted.
    Press(4);
    Press(6);
    Release(4);
    desktop.receiving = 0;
    Press(1);
    Release(1);
    EXPECT_EQ((Log{"key 4 0 to 50", "lirc 4 0", "key 6 0 to 50", "lirc 6 0", "lirc release 4",
                   "carry A", "note A", "lirc 1 0", "lirc release 1"}),
              Taken());
}

TEST_F(KeyRouterTest, ARefusedKeyIsToldOncePerWindowOnceTheBalloonShows) {
    desktop.receiving = RECEIVER;
    desktop.windows[RECEIVER].nIntegrity = FakeKeyDesktop::HIGH;
    desktop.bTrayIcon = false;
    const std::string told = "balloon " + std::string(CRefusedPostNotice::Title()) + ": " +
                             CRefusedPostNotice::Text("Receiver", "ReceiverClass");
    Press(1);
    desktop.bTrayIcon = true;
    Press(1);
    Press(1);
    EXPECT_EQ((Log{"key 1 0 to 20", told, "lirc 1 0", "key 1 0 to 20", told, "lirc 1 0",
                   "key 1 0 to 20", "lirc 1 0"}),
              Taken());
}

TEST_F(KeyRouterTest, ALongPressActsWhenTheClockReachesItsTime) {
    // Held: the decoder repeats it after its hold time.
    Press(3);
    Advance(CFrameDecoder::HOLD_TIME_MS);
    Repeat(3);
    Advance(CKeyActionEngine::LONG_PRESS_MS - CFrameDecoder::HOLD_TIME_MS - 1);
    EXPECT_EQ((Log{"lirc 3 0", "lirc 3 1"}), Taken());
    Advance(1);
    Release(3);
    // A short press acts at its release.
    Press(3);
    Advance(100);
    Release(3);
    EXPECT_EQ((Log{"carry C", "note C", "lirc release 3", "lirc 3 0", "carry B", "note B",
                   "lirc release 3"}),
              Taken());
    EXPECT_FALSE(clock.NextDeadline(now)) << "nothing waits once the key is done";
}

TEST_F(KeyRouterTest, AProgramThatCannotStartIsToldAsAKeyMapWarning) {
    desktop.windows.erase(PLAYER);
    desktop.strStartFailure = "The system cannot find the file specified";
    Press(2);
    // The note does not claim what did not happen.
    EXPECT_EQ(
        (Log{"refused Run \"player.exe\"",
             "balloon " + std::string(CKeyRouter::KEY_MAP_TITLE) + ": " + desktop.strStartFailure,
             "lirc 2 0"}),
        Taken());
}

// Rules Wine does not enforce, played by the fake for the router's tests.
TEST_F(KeyRouterTest, TheFakePlaysTheForegroundLockIntegrityAndALockedSession) {
    desktop.bForegroundLocked = true;
    Press(2);
    EXPECT_EQ(APP, desktop.foreground) << "the lock keeps the window in front";
    desktop.bForegroundLocked = false;
    Press(2);
    EXPECT_EQ(PLAYER, desktop.foreground);

    desktop.windows[PLAYER].nIntegrity = FakeKeyDesktop::HIGH;
    desktop.windows[PLAYER].bHung = true;
    Press(1);
    const IDesktopWindows::WindowFacts facts = desktop.FactsOf(PLAYER);
    EXPECT_TRUE(facts.bHigherIntegrity && facts.bHung);
    desktop.foreground = APP;
    desktop.bSessionLocked = true;
    Press(1);
    EXPECT_TRUE(desktop.IsSessionLocked());
    // Input into the higher window is not typed but told; nothing is typed
    // in a locked session.
    EXPECT_EQ((Log{"refused Run \"player.exe\"", "lirc 2 0", "carry Run \"player.exe\"",
                   "note Run \"player.exe\"", "lirc 2 0",
                   "balloon " + std::string(CRefusedPostNotice::Title()) + ": " +
                       CRefusedPostNotice::Text("Player", "PlayerClass"),
                   "lirc 1 0", LockedBalloon(), "lirc 1 0"}),
              Taken());
}

TEST_F(KeyRouterTest, InputIntoAHigherWindowIsNeitherTypedNorNotedAndToldOncePerWindow) {
    desktop.windows[APP].nIntegrity = FakeKeyDesktop::HIGH;
    const std::string told = "balloon " + std::string(CRefusedPostNotice::Title()) + ": " +
                             CRefusedPostNotice::Text("Letter - App", "AppClass");
    Press(1);
    Press(1);
    // Bringing a program forward is no input into the window in front.
    Press(2);
    EXPECT_EQ((Log{told, "lirc 1 0", "lirc 1 0", "carry Run \"player.exe\"",
                   "note Run \"player.exe\"", "lirc 2 0"}),
              Taken());
}

TEST_F(KeyRouterTest, AClickIntoAHigherWindowUnderThePointerIsNotNotedButTold) {
    FakeKeyDesktop::SetMap(desktop.userMap, "[Any]\nClassName=NULL\nWindowName=NULL\n"
                                            "Key7=LeftClick\nKey8=MouseUp\n");
    desktop.windows[PLAYER].nIntegrity = FakeKeyDesktop::HIGH;
    desktop.pointer = PLAYER;
    Press(7);
    Press(7);
    // The pointer moves over any window.
    Press(8);
    desktop.pointer = APP;
    Press(7);
    EXPECT_EQ((Log{"balloon " + std::string(CRefusedPostNotice::Title()) + ": " +
                       CRefusedPostNotice::Text("Player", "PlayerClass"),
                   "lirc 7 0", "lirc 7 0", "carry MouseUp", "note MouseUp", "lirc 8 0",
                   "carry LeftClick", "note LeftClick", "lirc 7 0"}),
              Taken());
}

// A media PC that locked after idle still obeys the PC's own actions; every
// other key is told once per lock, not dropped without a word.
TEST_F(KeyRouterTest, ALockedSessionCarriesOnlyThePcsActionsAndSaysWhyOncePerLock) {
    FakeKeyDesktop::SetMap(desktop.userMap, "[Pc]\nClassName=NULL\nWindowName=NULL\n"
                                            "Key4=Sleep\nKey5=MonitorOff\nKey6=Lock\n");
    desktop.bSessionLocked = true;
    desktop.windows.erase(PLAYER);
    desktop.bTrayIcon = false;
    Press(2); // no icon yet: told at the next key
    desktop.bTrayIcon = true;
    Press(1);
    Press(6);
    Press(5);
    Press(4);
    router.SessionLocked(); // locked again: told again
    Press(1);
    desktop.bSessionLocked = false;
    Press(1);
    EXPECT_EQ((Log{LockedBalloon(), "lirc 2 0", LockedBalloon(), "lirc 1 0", "lirc 6 0",
                   "note MonitorOff", "pc MonitorOff", "lirc 5 0", "note Sleep", "pc Sleep",
                   "lirc 4 0", LockedBalloon(), "lirc 1 0", "carry A", "note A", "lirc 1 0"}),
              Taken());
}

// One switch decides where each kind of action goes.
TEST_F(KeyRouterTest, EachKindOfActionReachesItsCarrier) {
    FakeKeyDesktop::SetMap(desktop.userMap,
                           "[All]\nClassName=NULL\nWindowName=NULL\nKey1=A\nKey2=Text \"hi\"\n"
                           "Key3=MouseUp\nKey4=LeftClick\nKey5=WheelDown\nKey6=Run \"app.exe\"\n"
                           "Key7=Spotlight\nKey8=LaserDot\nKey9=BlankScreen\nKey10=Sleep\n"
                           "Key11=Mode \"Mouse\"\nKey12=None\n");
    for (int key = 1; key <= 12; ++key) {
        Press(key);
        Release(key);
    }
    EXPECT_EQ((Log{"keys", "text", "pointer", "button", "button", "run", "overlay", "overlay",
                   "overlay", "pc", "mode"}),
              desktop.carriers);
}
// The presenter's tools show themselves: no note in front of the audience,
// least of all over a blanked screen.
TEST_F(KeyRouterTest, ThePresentersToolsBringNoNote) {
    FakeKeyDesktop::SetMap(desktop.userMap, "[All]\nClassName=NULL\nWindowName=NULL\n"
                                            "Key1=BlankScreen\nKey2=Timer \"20:00\"\n");
    Press(1);
    Press(2);
    const Log taken = Taken();
    EXPECT_TRUE(std::none_of(taken.begin(), taken.end(), [](const std::string& line) {
        return line.rfind("note", 0) == 0;
    })) << ::testing::PrintToString(taken);
    EXPECT_EQ((Log{"overlay", "overlay"}), desktop.carriers);
}

TEST_F(KeyRouterTest, AnElevatedKV480UsesOnlyTheInstallationsMapAndSaysWhyOnce) {
    desktop.nOwnIntegrity = FakeKeyDesktop::HIGH;
    FakeKeyDesktop::SetMap(desktop.userMap, "[Mine]\nClassName=NULL\nWindowName=NULL\n"
                                            "Key1=Run \"C:\\Temp\\evil.exe\"\nKey2=X\n");
    desktop.bTrayIcon = false;
    Press(1);
    desktop.bTrayIcon = true;
    Press(1);
    Press(1);
    const std::string why =
        "balloon " + std::string(CKeyRouter::KEY_MAP_TITLE) + ": " + CKeyRouter::ELEVATED_TEXT;
    EXPECT_EQ((Log{why, "carry A", "note A", "lirc 1 0", why, "carry A", "note A", "lirc 1 0",
                   "carry A", "note A", "lirc 1 0"}),
              Taken());
}

} // namespace

TEST_F(KeyRouterTest, AModeAnswersFirstIsShownAndKeysItLeavesOutKeepTheirMeaning) {
    desktop.bNotesWanted = false;
    FakeKeyDesktop::SetMap(desktop.userMap, "[Mouse]\nMode=Mouse\nKey1=MouseUp\n"
                                            "[Switch]\nClassName=NULL\nWindowName=NULL\n"
                                            "Key5=Mode \"Mouse\"\nKey6=Mode Off\n");
    Press(5);
    Press(1);
    Release(1);
    Press(3);
    Advance(100);
    Release(3);
    Press(5); // the same mode again: back to normal
    Press(1);
    Release(1);
    EXPECT_EQ((Log{"tip Mode \"Mouse\" on", "note Mode \"Mouse\" on", "lirc 5 0", "carry MouseUp",
                   "lirc 1 0", "lirc release 1", "lirc 3 0", "carry B", "lirc release 3", "tip ",
                   "note Mode \"Mouse\" off", "lirc 5 0", "carry A", "lirc 1 0", "lirc release 1"}),
              Taken());
}

TEST_F(KeyRouterTest, AShutdownNeedsTheSameKeyAgainWithinFiveSecondsAndARefusalIsTold) {
    FakeKeyDesktop::SetMap(desktop.userMap,
                           "[Pc]\nClassName=NULL\nWindowName=NULL\nKey5=ShutDown\nKey6=Lock\n");
    const std::string ask = "note Press key 5 again (short) within 5 s to shut down the PC";
    Press(5);
    Advance(CActionConfirmation::CONFIRM_MS + 1);
    Press(5); // too late: asks again
    Press(1); // another action ends the question
    Press(5);
    Advance(1000);
    Press(5);
    desktop.strPcRefusal = "Lock was refused by Windows.";
    Press(6);
    EXPECT_EQ(
        (Log{ask, "lirc 5 0", ask, "lirc 5 0", "hide note", "carry A", "note A", "lirc 1 0", ask,
             "lirc 5 0", "hide note", "note ShutDown", "pc ShutDown", "lirc 5 0", "note Lock",
             "pc Lock",
             "balloon " + std::string(CKeyRouter::KEY_MAP_TITLE) + ": " + desktop.strPcRefusal,
             "lirc 6 0"}),
        Taken());
}

TEST_F(KeyRouterTest, ANoteWaitsForItsKeysReleaseAndAQuestionNamesTheKeyAndItsForm) {
    FakeKeyDesktop::SetMap(desktop.userMap, "[Pc]\nClassName=NULL\nWindowName=NULL\n"
                                            "Key5=A\nKey5 long=Restart\n");
    Press(5);
    Advance(CFrameDecoder::HOLD_TIME_MS);
    Repeat(5);
    Advance(CKeyActionEngine::LONG_PRESS_MS - CFrameDecoder::HOLD_TIME_MS);
    EXPECT_FALSE(desktop.bNoteWaitsForRelease); // the question counts from its asking
    Release(5);
    Press(1); // acts at its press, while held
    EXPECT_TRUE(desktop.bNoteWaitsForRelease);
    Release(1);
    EXPECT_FALSE(desktop.bNoteWaitsForRelease);
    Press(5);
    Release(5); // the short form acts at the release
    EXPECT_FALSE(desktop.bNoteWaitsForRelease);
    EXPECT_EQ(
        (Log{"lirc 5 0", "lirc 5 1", "note Press key 5 again (held) within 5 s to restart the PC",
             "lirc release 5", "hide note", "carry A", "note A", "lirc 1 0", "lirc release 1",
             "lirc 5 0", "carry A", "note A", "lirc release 5"}),
        Taken());
}

TEST_F(KeyRouterTest, AQuestionOrModeTheScreenCannotShowIsToldByBalloonAndNeverActsUnseen) {
    FakeKeyDesktop::SetMap(desktop.userMap, "[Pc]\nClassName=NULL\nWindowName=NULL\n"
                                            "Key5=ShutDown\nKey6=Mode \"Talk\"\n");
    desktop.bNotesShown = false;
    Press(5);
    Press(5); // the question was never seen: asks again instead of shutting down
    Press(6);
    const std::string balloon = "balloon " + std::string(CKeyRouter::KEY_MAP_TITLE) + ": ";
    const std::string unasked = balloon + "ShutDown" + CKeyRouter::UNASKED_TEXT;
    EXPECT_EQ((Log{unasked, "lirc 5 0", unasked, "lirc 5 0", "tip Mode \"Talk\" on",
                   balloon + "Mode \"Talk\" on", "lirc 6 0"}),
              Taken());
}
