// The on-screen menus and keyboard over key maps written as text: entries
// from sections and the main menu's cheat sheet, steering, submenus, the
// clock's scanning, multi-tap and time-out, and the shutdown's question.
#include "CActionConfirmation.h"
#include "CMenuModel.h"
#include "HandDrivenClock.h"
#include "ParseAction.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace {

using Steer = CKeyAction::Steer;
using Outcome = CMenuModel::Outcome;

class MenuModelTest : public ::testing::Test, protected HandDrivenClock {
protected:
    MenuModelTest() {
        Load(installation, "[Programs]\nMenu=Programs\nItem1=\"Calculator\" Run \"calc.exe\"\n"
                           "Item2=\"Tools\" Menu \"Tools\"\nItem3=\"Hello\" Text \"Hello\"\n"
                           "[Tools]\nMenu=Tools\nItem1=\"Back up\" Menu \"Programs\"\n"
                           "Item2=\"Type\" Keyboard\nItem3=\"Nowhere\" Menu \"Nowhere\"\n"
                           "Item4=\"Empty\" Menu \"Empty\"\n"
                           "[Empty]\nMenu=Empty\nItem1=\"Bad\" Ctrl+Nothing\n"
                           "[Power]\nMenu=Power\nItem1=\"Off\" ShutDown\nItem2=\"Lock\" Lock\n"
                           "[Scan]\nMenu=Scan\nScan=500\nItem1=\"One\" A\nItem2=\"Two\" B\n"
                           "Item3=\"Three\" C\n");
        context.window = {"Notepad", "x - Notepad", "notepad.exe"};
    }
    static void Load(CKeyMap& map, const std::string& text) { map.Parse(text.data(), text.size()); }
    Outcome Open(const std::string& name = CMenuModel::MAIN_MENU) {
        return menu.Open(user, installation, context, name);
    }
    std::vector<std::string> Labels() const {
        std::vector<std::string> labels;
        for (const CMenuModel::Entry& entry : menu.Entries()) {
            labels.push_back(entry.strLabel);
        }
        return labels;
    }

    std::vector<Outcome> timed;
    CMenuModel menu{clock, [this](const Outcome& outcome) { timed.push_back(outcome); }};
    CKeyMap user;
    CKeyMap installation;
    CMenuModel::Context context;
};

TEST_F(MenuModelTest, AMenuOpensOnItsFirstEntryAndMovesRoundAndRound) {
    EXPECT_TRUE(Open("programs").bChanged);
    EXPECT_EQ("Programs", menu.Title()) << "as its section writes it";
    EXPECT_EQ("Calculator", menu.WindowText());
    EXPECT_EQ("Hello", (menu.Steer(Steer::Up), menu.WindowText()));
    EXPECT_EQ("Calculator", (menu.Steer(Steer::Down), menu.WindowText()));
    EXPECT_FALSE(menu.Steer(Steer::Right).bChanged) << "a list has no columns";
    EXPECT_TRUE(menu.Digit(2).bChanged);
    EXPECT_EQ(1u, menu.SelectedIndex());
    EXPECT_FALSE(menu.Digit(9).bChanged);

    menu.Steer(Steer::Down);
    const Outcome chosen = menu.Steer(Steer::Select);
    EXPECT_TRUE(chosen.bCarry && chosen.bClosed);
    EXPECT_EQ("Text \"Hello\"", chosen.action.Shown());
    EXPECT_EQ("Hello", chosen.strLabel);
    EXPECT_FALSE(menu.IsOpen());
    std::uint64_t due = 0;
    EXPECT_FALSE(clock.NextDeadline(due)) << "nothing runs while no menu is open";
}

TEST(MenuScrollTest, ALongMenuScrollsWithTheSelectionInTheMiddle) {
    EXPECT_EQ(0u, CMenuModel::FirstShown(3, 4, 5));
    EXPECT_EQ(0u, CMenuModel::FirstShown(2, 20, 5));
    EXPECT_EQ(1u, CMenuModel::FirstShown(3, 20, 5));
    EXPECT_EQ(15u, CMenuModel::FirstShown(19, 20, 5));
    EXPECT_EQ(7u, CMenuModel::FirstShown(7, 20, 1));
}

TEST_F(MenuModelTest, TheWindowInFrontAndTheUsersFileChooseTheSection) {
    Load(user, "[Pad]\nMenu=Programs\nClassName=Notepad\nItem1=\"Mine\" Lock\n");
    Open("Programs");
    EXPECT_EQ(std::vector<std::string>{"Mine"}, Labels());
    Outcome chosen = menu.Steer(Steer::Select);
    EXPECT_EQ(CKeyMapLayers::USER, chosen.layer) << "told where a failing entry is written";
    EXPECT_EQ(4u, chosen.nLine);
    context.window.strClass = "Other";
    Open("Programs");
    EXPECT_EQ("Calculator", menu.WindowText());
    chosen = menu.Steer(Steer::Select);
    EXPECT_EQ(CKeyMapLayers::INSTALLATION, chosen.layer);
    EXPECT_EQ(3u, chosen.nLine);
}

TEST_F(MenuModelTest, SubmenusOpenAboveAndBackReturnsThenCloses) {
    Open("Programs");
    menu.Steer(Steer::Down);
    EXPECT_TRUE(menu.Steer(Steer::Select).bChanged);
    EXPECT_EQ(2u, menu.Depth());
    EXPECT_EQ("Tools", menu.Title());
    EXPECT_EQ("The menu \"Programs\" is already open: it is not opened again",
              menu.Steer(Steer::Select).strNote);
    menu.Steer(Steer::Down);
    menu.Steer(Steer::Down);
    EXPECT_EQ("There is no menu \"Nowhere\" for this window", menu.Steer(Steer::Select).strNote);
    menu.Steer(Steer::Down);
    EXPECT_EQ("The menu \"Empty\" is empty", menu.Steer(Steer::Select).strNote);
    EXPECT_EQ(2u, menu.Depth());
    EXPECT_TRUE(menu.IsOpeningAction(Action("Menu \"PROGRAMS\"")));
    EXPECT_FALSE(menu.IsOpeningAction(Action("Menu \"Tools\"")));

    menu.Steer(Steer::Back);
    EXPECT_EQ("Tools", menu.WindowText()) << "its menu, as it was left";
    EXPECT_TRUE(menu.Steer(Steer::Back).bClosed);
    EXPECT_FALSE(menu.IsOpen());
    EXPECT_EQ("The menu \"Empty\" is empty", Open("Empty").strNote);
    EXPECT_FALSE(menu.IsOpen());
}

TEST_F(MenuModelTest, NestingStopsAtEightLevels) {
    std::string text;
    for (int i = 1; i <= 9; ++i) {
        text += "[M" + std::to_string(i) + "]\nMenu=M" + std::to_string(i) +
                "\nItem1=\"Next\" Menu \"M" + std::to_string(i + 1) + "\"\n";
    }
    Load(user, text);
    Open("M1");
    for (int i = 2; i <= 8; ++i) {
        menu.Steer(Steer::Select);
    }
    EXPECT_EQ(8u, menu.Depth());
    EXPECT_EQ("Menus open at most 8 deep: the menu \"M9\" is not opened",
              menu.Steer(Steer::Select).strNote);
    EXPECT_TRUE(menu.Close().bClosed);
}

TEST_F(MenuModelTest, WithoutAMainSectionTheMainMenuShowsKeysModesToolsAndThePc) {
    Load(user, "[Pad]\nProgram=notepad.exe\nKey1=Ctrl+S\nKey2=None\nKey6 long=Menu\n"
               "[Mouse]\nMode=Mouse\nKey1=LeftClick\n[Steering]\nMode=Menu\nKey1=Menu Up\n");
    Load(installation, "[All]\nClassName=NULL\nWindowName=NULL\nKey3=Spotlight\nKey7=F1\n"
                       "[Slides]\nMode=Slides\nKey3 double=Right\n");
    context.strMode = "mouse";
    Open();
    const std::vector<std::string> expected = {"Key 1 Top left: LeftClick",
                                               "Key 3 Middle left: Spotlight",
                                               "Key 6 Bottom right long: Menu",
                                               "Mode \"Mouse\" off",
                                               "Mode \"Slides\" on",
                                               "Spotlight",
                                               "Laser dot",
                                               "Magnifier",
                                               "Blank screen",
                                               "Talk timer 20:00",
                                               "Lock the PC",
                                               "Sleep",
                                               "Hibernate",
                                               "Monitor off",
                                               "Shut down",
                                               "Restart"};
    EXPECT_EQ(expected, Labels());
    menu.Steer(Steer::Down);
    EXPECT_EQ("Spotlight", menu.Steer(Steer::Select).action.Shown()) << "the key's action";
    Open();
    menu.Digit(4);
    EXPECT_EQ("Mode \"Mouse\"", menu.Steer(Steer::Select).action.Shown()) << "switches it off";

    Load(user, "[Main]\nMenu=main\nItem1=\"Own\" Lock\n");
    Open();
    EXPECT_EQ(std::vector<std::string>{"Own"}, Labels());
}

TEST_F(MenuModelTest, ShutDownWaitsForASecondSelect) {
    Open("Power");
    Outcome first = menu.Steer(Steer::Select);
    EXPECT_FALSE(first.bCarry);
    EXPECT_EQ("Select \"Off\" again within 5 s to shut down the PC", first.strNote);
    menu.Steer(Steer::Down);
    menu.Steer(Steer::Up);
    EXPECT_FALSE(menu.Steer(Steer::Select).bCarry) << "a move in between asks anew";
    Advance(CActionConfirmation::CONFIRM_MS + 1);
    EXPECT_FALSE(menu.Steer(Steer::Select).bCarry) << "too late: asks anew";
    Advance(1000);
    const Outcome second = menu.Steer(Steer::Select);
    EXPECT_TRUE(second.bCarry && second.bConfirmed && second.bClosed);
    EXPECT_EQ("ShutDown", second.action.Shown());
}

TEST_F(MenuModelTest, ScanningStepsOnTheClockAndPausesOnTheFirstEntry) {
    menu.SetTimeout(0);
    Open("Scan");
    Advance(999);
    EXPECT_EQ("One", menu.WindowText()) << "a step's extra pause on the first entry";
    Advance(1);
    EXPECT_EQ("Two", menu.WindowText());
    Advance(500);
    EXPECT_EQ("Three", menu.WindowText());
    Advance(500);
    EXPECT_EQ("One", menu.WindowText());
    Advance(999);
    EXPECT_EQ("One", menu.WindowText());
    Advance(1);
    EXPECT_EQ(4u, timed.size());
    EXPECT_TRUE(timed.back().bChanged);

    Advance(400);
    menu.Steer(Steer::Down);
    EXPECT_EQ("Three", menu.WindowText());
    Advance(499);
    EXPECT_EQ("Three", menu.WindowText()) << "Down starts the step again";
    Advance(1);
    EXPECT_EQ("One", menu.WindowText());
    EXPECT_EQ("A", menu.Steer(Steer::Select).action.Shown());
    std::uint64_t due = 0;
    EXPECT_FALSE(clock.NextDeadline(due));

    Open("Programs");
    EXPECT_FALSE(clock.NextDeadline(due)) << "a menu that does not scan waits for nothing";
}

TEST_F(MenuModelTest, AnUntouchedMenuClosesAfterTheTimeOut) {
    Open("Programs");
    Advance(CMenuModel::DEFAULT_TIMEOUT_MS - 1);
    menu.Steer(Steer::Down);
    Advance(CMenuModel::DEFAULT_TIMEOUT_MS - 1);
    EXPECT_TRUE(menu.IsOpen()) << "a key starts the time-out again";
    Advance(1);
    EXPECT_FALSE(menu.IsOpen());
    ASSERT_EQ(1u, timed.size());
    EXPECT_TRUE(timed[0].bClosed);
}

TEST_F(MenuModelTest, TheKeyboardTypesAndStaysOpenUntilBack) {
    Open("Tools");
    menu.Steer(Steer::Down);
    menu.Steer(Steer::Select);
    EXPECT_TRUE(menu.IsKeyboardShown());
    EXPECT_EQ("Keyboard", menu.Title());
    EXPECT_EQ("q", menu.WindowText());
    EXPECT_EQ("Text \"q\"", menu.Steer(Steer::Select).action.Shown());
    menu.Steer(Steer::Right);
    menu.Steer(Steer::Down);
    EXPECT_EQ("s", menu.WindowText());
    menu.Steer(Steer::Left);
    menu.Steer(Steer::Left);
    EXPECT_EQ("l", menu.WindowText()) << "rows wrap around";
    menu.Steer(Steer::Up);
    menu.Steer(Steer::Up);
    EXPECT_EQ("Enter", menu.WindowText()) << "the last row: Space, Backspace, Enter";
    const Outcome enter = menu.Steer(Steer::Select);
    EXPECT_EQ("Enter", enter.action.Shown());
    EXPECT_TRUE(menu.IsKeyboardShown());
    menu.Steer(Steer::Left);
    menu.Steer(Steer::Left);
    EXPECT_EQ("Text \" \"", menu.Steer(Steer::Select).action.Shown());
    menu.Steer(Steer::Up);
    EXPECT_EQ("á", menu.WindowText()) << "the accented letters' row";

    EXPECT_TRUE(menu.Steer(Steer::Back).bChanged);
    EXPECT_EQ("Tools", menu.Title()) << "back in the menu that opened it";
    menu.Close();
    menu.OpenKeyboard(context);
    EXPECT_TRUE(menu.IsOpeningAction(Action("Keyboard")));
    EXPECT_TRUE(menu.Steer(Steer::Back).bClosed);
}

TEST_F(MenuModelTest, MultiTapCyclesADigitsLettersUntilAPauseOrAnotherKey) {
    COnScreenKeyboard::Layout layout{{"абв"}, ""};
    menu.SetKeyboardLayout(layout);
    menu.OpenKeyboard(context);
    EXPECT_EQ("Text \"а\"", menu.Steer(Steer::Select).action.Shown()) << "a whole UTF-8 letter";
    menu.Digit(2);
    menu.Digit(2);
    Advance(999);
    menu.Digit(2);
    EXPECT_EQ("c", menu.WindowText());
    EXPECT_TRUE(timed.empty());
    Advance(1000);
    ASSERT_EQ(1u, timed.size());
    EXPECT_EQ("Text \"c\"", timed[0].action.Shown()) << "a pause types it";
    menu.Digit(2);
    EXPECT_EQ("Text \"a\"", menu.Digit(3).action.Shown()) << "another digit types the first";
    EXPECT_EQ("Text \"d\"", menu.Steer(Steer::Down).action.Shown()) << "a steering key too";
    EXPECT_EQ("а", menu.WindowText()) << "which does nothing else";
    menu.Digit(0);
    menu.Digit(0);
    EXPECT_EQ("0", menu.WindowText());
    menu.Digit(0);
    EXPECT_EQ("Space", menu.WindowText());
}

TEST_F(MenuModelTest, TheKeyboardScansRowsThenTheKeysOfTheChosenRow) {
    menu.SetTimeout(0);
    context.nKeyboardScanMs = 500;
    menu.OpenKeyboard(context);
    EXPECT_EQ("q w e r t y u i o p", menu.WindowText());
    Advance(1000);
    EXPECT_EQ("a s d f g h j k l", menu.WindowText());
    EXPECT_FALSE(menu.Steer(Steer::Select).bCarry);
    EXPECT_EQ("a", menu.WindowText());
    Advance(1000);
    EXPECT_EQ("s", menu.WindowText());
    EXPECT_EQ("Text \"s\"", menu.Steer(Steer::Select).action.Shown());
    EXPECT_EQ("q w e r t y u i o p", menu.WindowText()) << "rows from the first again";
    menu.Steer(Steer::Down);
    menu.Steer(Steer::Select);
    EXPECT_TRUE(menu.Steer(Steer::Back).bChanged);
    EXPECT_EQ("a s d f g h j k l", menu.WindowText()) << "back from the keys to the rows";
    EXPECT_TRUE(menu.Steer(Steer::Back).bClosed);
}

} // namespace
