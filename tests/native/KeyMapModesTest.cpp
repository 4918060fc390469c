// Modes of the key map, the PC's own actions, the mode that is on and the
// second press that a shutdown needs.
#include "CActionConfirmation.h"
#include "ParseAction.h"
#include "CKeyMap.h"
#include "CKeyMapLayers.h"
#include "CModeState.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Form = CKeyMap::Form;
using Kind = CKeyAction::Kind;
using Pc = CKeyAction::Pc;

TEST(KeyActionModeTest, ModeAndPcActionsReadAsWritten) {
    const CKeyAction mode = Action("mode  \" Mouse keys \"");
    EXPECT_EQ(Kind::Mode, mode.GetKind());
    EXPECT_EQ("Mouse keys", mode.GetMode());
    EXPECT_EQ("Mode \"Mouse keys\"", mode.Shown());
    EXPECT_FALSE(mode.Repeats());
    const CKeyAction off = Action("Mode OFF");
    EXPECT_EQ(Kind::Mode, off.GetKind());
    EXPECT_EQ("", off.GetMode());
    EXPECT_EQ("Mode Off", off.Shown());

    const std::vector<std::string> names = CKeyAction::PcNames();
    ASSERT_EQ(6u, names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        const CKeyAction pc = Action(names[i]);
        EXPECT_EQ(Kind::Pc, pc.GetKind()) << names[i];
        EXPECT_EQ(names[i], CKeyAction::PcName(pc.GetPc()));
        EXPECT_EQ(pc.GetPc() == Pc::ShutDown || pc.GetPc() == Pc::Restart, pc.NeedsConfirmation())
            << names[i];
    }
    EXPECT_EQ(Pc::MonitorOff, Action("monitoroff").GetPc());
    EXPECT_FALSE(Action("Ctrl+A").NeedsConfirmation());
}

TEST(KeyActionModeTest, BadModeAndPcActionsSayWhy) {
    EXPECT_EQ("the mode is not between two double quotes, nor Off", ActionError("Mode Mouse"));
    EXPECT_EQ("the mode is not between two double quotes, nor Off", ActionError("Mode \"Mouse"));
    EXPECT_EQ("unexpected words after the mode's closing quote",
              ActionError("Mode \"Mouse\" repeat"));
    EXPECT_EQ("the mode's name is empty", ActionError("Mode \" \""));
    EXPECT_EQ("\"Off\" is not a mode's name: Mode Off switches the mode off",
              ActionError("Mode \"off\""));
    EXPECT_EQ("\"ShutDown\" cannot repeat", ActionError("ShutDown repeat"))
        << "the repeats of a held key would confirm it";
    EXPECT_EQ("unknown key name \"Shutdown now\"", ActionError("Shutdown now"));
}

class KeyMapModesTest : public ::testing::Test {
protected:
    static void Load(CKeyMap& map, const std::string& text) { map.Parse(text.data(), text.size()); }

    // Where the plain form of the key comes from with the mode on, as
    // "<section>/<mode>", or "-".
    std::string From(const std::string& mode, int key, const CKeyMap::Window& window) const {
        const CKeyMapLayers::Answer answer =
            CKeyMapLayers(user, installation, mode).Find(window, key, Form::Plain);
        return answer.IsFound() ? answer.strSection + "/" + answer.strMode : "-";
    }

    CKeyMap user;
    CKeyMap installation;
    const CKeyMap::Window pad{"WordPadClass", "Document - WordPad", "wordpad.exe"};
    const CKeyMap::Window other{"Notepad", "x - Notepad", "notepad.exe"};
};

TEST_F(KeyMapModesTest, AModesSectionsComeFirstOnlyWhileItIsOn) {
    Load(user, "[Mouse]\nMode=Mouse\nKey1=MouseUp\n"
               "[Mouse in WordPad]\nMode=mouse\nProgram=wordpad.exe\nKey2=LeftClick\n"
               "[All]\nClassName=NULL\nWindowName=NULL\nKey1=A\nKey2=B\nKey3=C\n");
    Load(installation, "[Default mouse]\nMode=MOUSE\nKey3=RightClick\nKey4=WheelUp\n"
                       "[Default]\nClassName=NULL\nWindowName=NULL\nKey4=D\nKey5=E\n");
    EXPECT_EQ(0u, user.GetSkippedCount());
    EXPECT_TRUE(user.UsesProgram());

    EXPECT_EQ("All/", From("", 1, pad)) << "no mode on: mode sections are never asked";
    EXPECT_EQ("All/", From("", 3, pad));
    EXPECT_EQ("Mouse/Mouse", From("mOUSE", 1, other)) << "no criteria: every window";
    EXPECT_EQ("Mouse in WordPad/mouse", From("Mouse", 2, pad));
    EXPECT_EQ("All/", From("Mouse", 2, other)) << "a mode section naming a program";
    EXPECT_EQ("Default mouse/MOUSE", From("Mouse", 3, pad))
        << "the installation folder's mode section before the user's sections without one";
    EXPECT_EQ("Default/", From("Mouse", 5, pad)) << "a key the mode leaves out keeps its meaning";
    EXPECT_EQ("All/", From("Player", 1, pad)) << "a mode without sections";

    EXPECT_EQ((std::vector<std::string>{"Mouse"}), user.ModeNames());
    EXPECT_EQ("mouse", user.GetSectionMode(1));
    EXPECT_EQ("", user.GetSectionMode(2));
}

TEST_F(KeyMapModesTest, ABadModeLineDropsItsSection) {
    Load(user, "[Empty]\nMode=\nKey1=A\n[Off]\nMode=Off\nClassName=NULL\nWindowName=NULL\n"
               "Key1=B\n[Twice]\nMode=X\nMode=Y\nKey1=C\n");
    ASSERT_EQ(3u, user.GetSkippedCount());
    EXPECT_EQ("the mode's name is empty; the section is ignored", user.GetSkipped()[0].strReason);
    EXPECT_EQ(5u, user.GetSkipped()[1].nLine);
    EXPECT_EQ("\"Mode\" is given twice in the section; the first one counts",
              user.GetSkipped()[2].strReason);
    EXPECT_EQ(1u, user.GetSectionCount());
    EXPECT_EQ("-", From("", 1, pad)) << "asked always, it would act outside its mode";
    EXPECT_EQ("Twice/X", From("x", 1, pad));
}

TEST(ModeStateTest, AModeKeySwitchesOnAndOffAndTheTextsSayWhich) {
    CModeState state;
    EXPECT_EQ("Mode off", state.Switch(Action("Mode Off")));
    EXPECT_EQ("", state.TipLine());
    EXPECT_EQ("Mode \"Mouse\" on", state.Switch(Action("Mode \"Mouse\"")));
    EXPECT_EQ("Mouse", state.GetMode());
    EXPECT_EQ("Mode \"Mouse\" on", state.TipLine());
    EXPECT_EQ("Mode \"Media\" on", state.Switch(Action("Mode \"Media\""))) << "from one to another";
    EXPECT_EQ("Mode \"Media\" off", state.Switch(Action("Mode \"MEDIA\"")))
        << "the same mode again switches it off";
    EXPECT_EQ("", state.GetMode());
    state.Switch(Action("Mode \"Mouse\""));
    EXPECT_EQ("Mode \"Mouse\" off", state.Switch(Action("Mode Off")));
    EXPECT_EQ("", state.Switch(Action("Ctrl+A"))) << "not a mode action";
    EXPECT_EQ("", state.GetMode());
}

TEST(ActionConfirmationTest, OnlyTheSameEntryAgainWithinFiveSecondsActs) {
    CKeyActionEngine::Step shutDown{{}, Form::Plain, false, 0};
    shutDown.answer.layer = CKeyMapLayers::USER;
    shutDown.answer.nLine = 7;
    shutDown.answer.action = Action("ShutDown");
    CKeyActionEngine::Step held = shutDown;
    held.form = Form::Long;

    CActionConfirmation confirmation;
    EXPECT_FALSE(confirmation.Confirm(shutDown, 1000)) << "the first press asks";
    EXPECT_TRUE(confirmation.Confirm(shutDown, 6000));
    EXPECT_FALSE(confirmation.Confirm(shutDown, 6500)) << "a third press asks again";
    EXPECT_FALSE(confirmation.Confirm(shutDown, 11501)) << "too late: asks anew";
    EXPECT_FALSE(confirmation.Confirm(held, 12000)) << "another form of the key";
    confirmation.Forget();
    EXPECT_FALSE(confirmation.Confirm(held, 12500)) << "another action came between";
    EXPECT_TRUE(confirmation.Confirm(held, 13000));
    EXPECT_STREQ("restart", CActionConfirmation::Verb(Action("Restart")));
    EXPECT_STREQ("shut down", CActionConfirmation::Verb(Action("ShutDown")));
}

} // namespace
