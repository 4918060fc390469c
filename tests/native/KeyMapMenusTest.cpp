// The on-screen menu's words in the key map: the actions that open and steer
// it, and the sections that hold a menu's entries.
#include "CKeyMap.h"
#include "CKeyMapLayers.h"
#include "ParseAction.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using Kind = CKeyAction::Kind;
using Steer = CKeyAction::Steer;

TEST(KeyActionMenuTest, MenuKeyboardAndSteeringReadAsWritten) {
    const CKeyAction main = Action("menu");
    EXPECT_EQ(Kind::Menu, main.GetKind());
    EXPECT_EQ("Main", main.GetMenu());
    EXPECT_EQ("Menu", main.Shown());
    const CKeyAction named = Action("Menu  \" Programs \"");
    EXPECT_EQ("Programs", named.GetMenu());
    EXPECT_EQ("Menu \"Programs\"", named.Shown());
    EXPECT_EQ(Kind::Keyboard, Action("KEYBOARD").GetKind());
    const char* const words[] = {"Up", "Down", "Left", "Right", "Select", "Back"};
    for (int i = 0; i < 6; ++i) {
        const CKeyAction steer = Action(std::string("Menu ") + words[i]);
        EXPECT_EQ(Kind::MenuSteer, steer.GetKind()) << words[i];
        EXPECT_EQ(static_cast<Steer>(i), steer.GetSteer());
        EXPECT_EQ(std::string("Menu ") + words[i], steer.Shown());
        EXPECT_FALSE(steer.IsPresenterTool()) << "kinds after the tools are no tools";
    }
    EXPECT_TRUE(Action("Menu down repeat").Repeats());
}

TEST(KeyActionMenuTest, BadMenuActionsSayWhy) {
    EXPECT_EQ("unknown menu step \"Sideways\" (Up, Down, Left, Right, Select, Back or a menu's "
              "name in quotes)",
              ActionError("Menu Sideways"));
    EXPECT_EQ("the menu is not between two double quotes", ActionError("Menu \"Programs"));
    EXPECT_EQ("unexpected words after the menu's closing quote", ActionError("Menu \"A\" now"));
    EXPECT_EQ("the menu's name is empty", ActionError("Menu \"\""));
    EXPECT_EQ("\"Menu Select\" cannot repeat", ActionError("Menu Select repeat"))
        << "a held key must not choose again and again";
    EXPECT_EQ("\"Menu\" cannot repeat", ActionError("Menu repeat"));
    EXPECT_EQ("the keyboard takes no options", ActionError("Keyboard big"));
}

class KeyMapMenusTest : public ::testing::Test {
protected:
    static void Load(CKeyMap& map, const std::string& text) { map.Parse(text.data(), text.size()); }
    // The menu's entries as "label=action|...", or "-" when none answers.
    std::string Menu(const std::string& name, const CKeyMap::Window& window) const {
        const CKeyMap::Menu* menu = CKeyMapLayers(user, installation).FindMenu(window, name);
        if (menu == nullptr) {
            return "-";
        }
        std::string text;
        for (const CKeyMap::MenuItem& item : menu->items) {
            text += item.strLabel + "=" + item.action.Shown() + "|";
        }
        return text;
    }

    CKeyMap user;
    CKeyMap installation;
    const CKeyMap::Window pad{"Notepad", "x - Notepad", "notepad.exe"};
    const CKeyMap::Window other{"Other", "Other", "other.exe"};
};

TEST_F(KeyMapMenusTest, ItemsComeInNumberOrderAndTheFirstMatchingSectionAnswers) {
    Load(user, "[Pad programs]\nMenu=programs\nProgram=notepad.exe\nItem2=\"Calc\" Run "
               "\"calc.exe\"\nItem1=\" Hello \" Text \"Hi\"\n");
    Load(installation, "[Programs]\nMenu=Programs\nScan=1500\nItem1=\"Tools\" Menu \"Tools\"\n"
                       "Item3=\"Type\" Keyboard\nItem2=\"Off\" ShutDown\n"
                       "[Keys]\nClassName=NULL\nWindowName=NULL\nKey1=A\n");
    EXPECT_EQ("Hello=Text \"Hi\"|Calc=Run \"calc.exe\"|", Menu("PROGRAMS", pad));
    EXPECT_EQ("Tools=Menu \"Tools\"|Off=ShutDown|Type=Keyboard|", Menu("Programs", other));
    EXPECT_EQ("-", Menu("Tools", other));
    EXPECT_EQ(0u, user.FindMenu(pad, "Programs")->nScanMs);
    EXPECT_EQ(1500u, installation.FindMenu(pad, "Programs")->nScanMs);
    EXPECT_EQ(0u, user.GetSkippedCount() + installation.GetSkippedCount());
    // Keys are not looked up among menus.
    EXPECT_EQ(1u, installation.Find(pad, 1, CKeyMap::Form::Plain).nSection);
}

TEST_F(KeyMapMenusTest, BadLinesAreLeftOutWithTheUsualWarning) {
    Load(user, "[M]\nMenu=M\nScan=50\nItem1=Text \"no label\"\nItem2=\"\" Lock\n"
               "Item3=\"Bad\" Ctrl+Nothing\nItem4=\"Steer\" Menu Down\nItem65=\"Far\" Lock\n"
               "Item5=\"Lock\" Lock\nItem5=\"Again\" Sleep\nKey1=A\nMode=X\nItem6=\"Nothing\"\n"
               "[Keys]\nClassName=NULL\nWindowName=NULL\nItem1=\"Lock\" Lock\nScan=500\nKey1=B\n"
               "[Slow]\nMenu=Slow\nScan=60000\nItem1=\"Lock\" Lock\n[Off]\nMenu=Off\nScan=0\n"
               "Item1=\"Lock\" Lock\n[Bad]\nMenu=\"Q\"\nItem1=\"Lock\" Lock\n[Fast]\nMenu=Fast\n"
               "Scan=fast\n");
    EXPECT_EQ("Lock=Lock|", Menu("M", pad));
    EXPECT_EQ(300u, user.FindMenu(pad, "M")->nScanMs);
    EXPECT_EQ(10000u, user.FindMenu(pad, "Slow")->nScanMs);
    EXPECT_EQ(0u, user.FindMenu(pad, "Off")->nScanMs);
    EXPECT_EQ("-", Menu("\"Q\"", pad));
    EXPECT_EQ("B", user.Find(pad, 1, CKeyMap::Form::Plain).pAction->Shown());
    const char* const reasons[] = {
        "the entry has no label between two double quotes before its action",
        "the entry has no label between two double quotes before its action",
        "unknown key name \"Nothing\"",
        "a menu's entry cannot steer the menu",
        "the item number of \"Item65\" is not 1 to 64",
        "\"Item5\" is given twice in the section; the first one counts",
        "the entry has no action after its label",
        "a menu's section holds Item lines, not keys",
        "a menu's section belongs to no mode; the Mode line is ignored",
        "Item lines belong in a section with a Menu line",
        "Scan belongs in a section with a Menu line; it is ignored",
        "a menu's name cannot hold a double quote; the section is ignored",
        "the scan's step is not a number of milliseconds",
    };
    std::string expected;
    std::string got;
    for (const char* reason : reasons) {
        expected += std::string(reason) + "\n";
    }
    for (const CKeyMap::SkippedLine& skipped : user.GetSkipped()) {
        got += skipped.strReason + "\n";
    }
    EXPECT_EQ(expected, got);
}

} // namespace
