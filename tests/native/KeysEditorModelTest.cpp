#include <gtest/gtest.h>

#include "CKeysEditorModel.h"
#include "PublishedStates.h"
#include "ReadyMadeEntries.h"

#include <string>

namespace {

using Model = CKeysEditorModel;
using Doc = CKeyMapDocument;

const std::string kUser = "[Player]\r\nProgram=vlc.exe\r\nKey1=P\r\n";
const std::string kInstalled = "[Word]\r\nClassName=OpusApp\r\nWindowName=NULL\r\nKey2=F5\r\n";

class KeysEditorModelTest : public ::testing::Test {
protected:
    // ANSI text is marked so that a conversion left out shows.
    Model model{[](const std::string& s) { return "utf8:" + s; },
                [](const std::string& s, std::string& ansi) {
                    ansi = s.substr(0, 5) == "utf8:" ? s.substr(5) : s;
                    return ansi.find("\xE2\x9C\x93") == std::string::npos; // no check mark in ANSI
                }};

    void Load(const std::string& user, Model::FileState state = Model::FileState::Ok) {
        model.Load("C:\\keys.ini", state, user, kInstalled);
    }
    std::string Texts() const {
        std::string texts;
        for (const Model::Entry& entry : model.GetApplications())
            texts += entry.strText + "|";
        return texts;
    }
};

TEST_F(KeysEditorModelTest, ListsTheUserSectionsTheCatchAllAndThenTheInstalledOnes) {
    Load(kUser);
    EXPECT_EQ("Player|All applications|Word (administrator, for everyone)|", Texts());
    ASSERT_NE(nullptr, model.Selected());
    EXPECT_TRUE(model.Selected()->bMissingCatchAll) << "the catch-all is selected at the start";
    Load(kUser + "[Any]\r\nClassName=NULL\r\nWindowName=NULL\r\n[Last]\r\nProgram=x\r\n");
    EXPECT_EQ("Player|All applications|Last|Word (administrator, for everyone)|", Texts());
    EXPECT_EQ(1, model.GetSelected());
    model.SelectApplication(99);
    EXPECT_EQ(0, model.GetSelected());
}

TEST_F(KeysEditorModelTest, TheCatchAllSectionIsWrittenLastWithItsFirstKey) {
    Load(kUser);
    EXPECT_EQ("", model.GetAction(Doc::FORM_PLAIN));
    EXPECT_FALSE(model.IsModified());
    model.SetAction(Doc::FORM_LONG, "Ctrl+S");
    EXPECT_EQ(0u, model.GetUserBytes().find(kUser + "\r\n[All applications]\r\nClassName=NULL\r\n"
                                                    "WindowName=NULL\r\nKey1 long=Ctrl+S\r\n"));
    EXPECT_EQ("Ctrl+S", model.GetAction(Doc::FORM_LONG));
    EXPECT_TRUE(model.IsKeySet(1));
    EXPECT_FALSE(model.IsKeySet(2));
    EXPECT_FALSE(model.Selected()->bMissingCatchAll);
    EXPECT_EQ(1u, model.Selected()->nSection);
}

TEST_F(KeysEditorModelTest, TheInstalledSectionsCannotBeChanged) {
    Load(kUser);
    model.SelectApplication(2);
    model.SelectKey(2);
    EXPECT_EQ("F5", model.GetAction(Doc::FORM_PLAIN));
    EXPECT_FALSE(model.IsSelectedWritable());
    EXPECT_FALSE(model.CanRemove());
    model.SetAction(Doc::FORM_PLAIN, "F6");
    model.RemoveSelected();
    EXPECT_FALSE(model.IsModified());
    EXPECT_EQ("F5", model.GetAction(Doc::FORM_PLAIN));
}

TEST_F(KeysEditorModelTest, TheStatusTellsWhatTheSelectedEntryIsAndWhatBecameOfTheFile) {
    Load(kUser + "ClassName=Qt5*\r\n");
    model.SelectApplication(0);
    EXPECT_EQ("Program: vlc.exe; Window class: Qt5*\r\n"
              "A key not set here goes to the applications below.",
              model.StatusText(false, ""));
    model.SelectApplication(1);
    EXPECT_EQ("Keys set here work in every application that does not set them itself.\r\n"
              "A key not set here goes to the applications below.\r\n"
              "Press the keystroke on the keyboard (Tab leaves the field).\r\n"
              "Nothing is set for this key yet.",
              model.StatusText(true, "Nothing is set for this key yet."));
    model.SetAction(Doc::FORM_PLAIN, "A");
    EXPECT_NE(std::string::npos, model.StatusText(false, "").find("\r\nNot saved yet."));
    model.Saved(model.GetUserBytes());
    // What the save does depends on the KV480 that runs, if any.
    EXPECT_NE(std::string::npos, model.StatusText(false, "").find(
                                     "\r\nSaved in C:\\keys.ini; KV480 uses it once it starts."));
    EXPECT_TRUE(model.IsUserFileRead()) << "as a KV480 started normally would";
    model.SetResident(ReadPublished(RunningValues(true, "C:\\keys.ini")));
    EXPECT_FALSE(model.IsUserFileRead());
    EXPECT_NE(std::string::npos,
              model.StatusText(false, "").find(
                  "; KV480 uses it once it runs normally, not as administrator."));
    model.SetResident(ReadPublished(RunningValues(false, "C:\\keys.ini")));
    EXPECT_TRUE(model.IsUserFileRead());
    EXPECT_NE(std::string::npos,
              model.StatusText(false, "").find(
                  "\r\nSaved in C:\\keys.ini; KV480 uses it from the next key press."));
    model.SelectApplication(2);
    EXPECT_EQ(0u, model.StatusText(false, "").find(
                      "Set by the administrator for everyone; your own applications "
                      "come first.\r\nSaved in"));
    model.Saved(model.GetUserBytes(), "D:\\mine.ini");
    EXPECT_NE(std::string::npos, model.StatusText(false, "").find(
                                     "\r\nImported from D:\\mine.ini into C:\\keys.ini; "));
    // The last entry: nothing below it is asked.
    model.Load("C:\\keys.ini", Model::FileState::Ok, kUser, "");
    model.SelectApplication(1);
    EXPECT_EQ(std::string::npos, model.StatusText(false, "").find("below"));
}

TEST_F(KeysEditorModelTest, AFileThatCannotBeReadWholeIsNeverSaved) {
    Load("", Model::FileState::Folder);
    EXPECT_FALSE(model.CanSave());
    EXPECT_EQ("Your key map C:\\keys.ini is a folder: nothing can be saved.", model.GetLoadNote());
    Load("", Model::FileState::Unreadable);
    EXPECT_FALSE(model.CanSave());
    EXPECT_FALSE(model.IsSelectedWritable());
    Load(std::string(Doc::MAX_FILE_BYTES + 1, ';'));
    EXPECT_FALSE(model.CanSave());
    Load(kUser + "Colour=blue\r\n");
    EXPECT_TRUE(model.CanSave());
    EXPECT_EQ("1 line(s) of your key map are not understood; they are kept as they are.",
              model.GetLoadNote());
    EXPECT_NE(std::string::npos, model.StatusText(false, "").find("\r\n1 line(s)"));
}

TEST_F(KeysEditorModelTest, NoticesAnotherProgramsChangeSinceReadingOrSaving) {
    Load(kUser);
    EXPECT_FALSE(model.ChangedOnDisk(Model::FileState::Ok, kUser));
    EXPECT_TRUE(model.ChangedOnDisk(Model::FileState::Ok, kUser + "Key2=N\r\n"));
    EXPECT_TRUE(model.ChangedOnDisk(Model::FileState::Missing, ""));
    model.Saved("x");
    EXPECT_FALSE(model.ChangedOnDisk(Model::FileState::Ok, "x"));
    Load("", Model::FileState::Missing);
    EXPECT_FALSE(model.ChangedOnDisk(Model::FileState::Missing, ""));
}

TEST_F(KeysEditorModelTest, AddingMovingAndRemovingKeepTheEntryInHand) {
    Load(kUser + "[All applications]\r\nClassName=NULL\r\nWindowName=NULL\r\n");
    const ReadyMadeEntry readyMade{
        "Viewer", "v.exe", nullptr, {{"Key5", "A"}, {"Key6 long", "B"}, {"Key12 double", "C"}}};
    model.AddApplication("Viewer", "v.exe", "", "", &readyMade);
    EXPECT_EQ("Player|Viewer|All applications|Word (administrator, for everyone)|", Texts());
    EXPECT_EQ(1, model.GetSelected());
    model.SelectKey(6);
    EXPECT_EQ("B", model.GetAction(Doc::FORM_LONG));
    model.SelectKey(12);
    EXPECT_EQ("C", model.GetAction(Doc::FORM_DOUBLE));
    EXPECT_TRUE(model.CanMove(true));
    EXPECT_TRUE(model.CanMove(false));
    model.MoveSelected(true);
    EXPECT_EQ("Viewer|Player|All applications|Word (administrator, for everyone)|", Texts());
    EXPECT_EQ(0, model.GetSelected());
    EXPECT_FALSE(model.CanMove(true));
    EXPECT_EQ("Viewer", model.SelectedName());
    model.RemoveSelected();
    EXPECT_EQ("Player|All applications|Word (administrator, for everyone)|", Texts());
    EXPECT_EQ(1, model.GetSelected()) << "the catch-all is selected after a removal";
}

TEST_F(KeysEditorModelTest, AKeyOfTheOtherRemoteSwitchesTheType) {
    Load(kUser);
    EXPECT_EQ(1, model.GetFirstKey());
    EXPECT_EQ(6, model.GetLastKey());
    EXPECT_TRUE(model.SelectKey(9));
    EXPECT_EQ(1, model.GetRcType());
    EXPECT_EQ(7, model.GetFirstKey());
    EXPECT_FALSE(model.SelectKey(24));
    EXPECT_EQ(9, model.GetKey());
    model.SelectRcType(1);
    EXPECT_EQ(9, model.GetKey()) << "a key of the type stays";
    model.SelectRcType(5);
    EXPECT_EQ(0, model.GetRcType());
    EXPECT_EQ(1, model.GetKey());
}

TEST_F(KeysEditorModelTest, AnAnsiFilesTextIsConvertedBothWays) {
    Load("[Caf\xE9]\r\nProgram=a.exe\r\n");
    EXPECT_EQ("utf8:Caf\xE9|All applications|Word (administrator, for everyone)|", Texts());
    model.SetAction(Doc::FORM_PLAIN, "utf8:Text \"\xE9\"");
    EXPECT_NE(std::string::npos, model.GetUserBytes().find("Key1=Text \"\xE9\"\r\n"));
    EXPECT_EQ("utf8:Text \"\xE9\"", model.GetAction(Doc::FORM_PLAIN));
}

TEST_F(KeysEditorModelTest, AFormLeftNotSetShowsTheEntryThatDecidesItAsKV480AsksThem) {
    Load("[WordPad]\r\nProgram=wordpad.exe\r\nKey3=F7\r\n"
         "[Qt]\r\nClassName=Qt5*\r\nKey3 long=Bar\r\n"
         "[All applications]\r\nClassName=NULL\r\nWindowName=NULL\r\n"
         "Key3 long=Run \"C:\\w.exe\"\r\nKey3 double=MouseUp\r\nKey4=PageUp repeat\r\n");
    model.SelectApplication(0);
    model.SelectKey(3);
    EXPECT_EQ("Run \"w.exe\"", model.GetInherited(Doc::FORM_LONG).strAction)
        << "the invalid line of [Qt] is skipped, and [Qt] serves no WordPad window";
    EXPECT_EQ("All applications", model.GetInherited(Doc::FORM_LONG).strFrom);
    EXPECT_EQ("", model.GetInherited(Doc::FORM_PLAIN).strAction) << "set in the entry itself";
    const std::string status = model.StatusText(false, "");
    EXPECT_NE(std::string::npos,
              status.find("Long press: as \"All applications\" sets it (choose Nothing to turn it "
                          "off here)."))
        << status;
    EXPECT_EQ(std::string::npos, status.find("Press: as")) << "the press falls through";
    model.SetAction(Doc::FORM_LONG, "None");
    EXPECT_EQ("", model.GetInherited(Doc::FORM_LONG).strAction);
    model.SelectKey(4);
    EXPECT_EQ("PageUp repeat", model.GetInherited(Doc::FORM_PLAIN).strAction);
    model.SelectApplication(3); // the installation folder's [Word]
    model.SelectKey(3);
    EXPECT_EQ("MouseUp", model.GetInherited(Doc::FORM_DOUBLE).strAction);
    model.SelectKey(2);
    EXPECT_EQ("", model.GetInherited(Doc::FORM_LONG).strFrom);
    Load(kUser);
    model.SelectApplication(0);
    model.SelectKey(2);
    EXPECT_EQ("", model.GetInherited(Doc::FORM_PLAIN).strAction)
        << "[Word] serves no vlc.exe window, so nothing of it answers";
}

TEST_F(KeysEditorModelTest, AnActionKV480CannotCarryOutIsMarkedWhereverItComesFrom) {
    Load(kUser + "Key4=Bar\r\nKey4 double=Text \"x\r\nKey5=MouseUp\r\n");
    model.SelectApplication(0);
    EXPECT_TRUE(model.HasProblem(4));
    EXPECT_FALSE(model.HasProblem(5));
    EXPECT_FALSE(model.HasProblem(6));
    model.SelectKey(4);
    EXPECT_FALSE(model.GetProblem(Doc::FORM_PLAIN).empty());
    EXPECT_TRUE(model.GetProblem(Doc::FORM_LONG).empty());
    const std::string status = model.StatusText(false, "");
    EXPECT_NE(std::string::npos, status.find("The press does nothing: ")) << status;
    EXPECT_NE(std::string::npos, status.find("The double press does nothing: ")) << status;
}

TEST_F(KeysEditorModelTest, AChangeAfterSavingIsNeverReportedAsSaved) {
    Load(kUser);
    model.SelectApplication(0);
    model.SetAction(Doc::FORM_PLAIN, "Q");
    model.Saved(model.GetUserBytes());
    model.SetAction(Doc::FORM_LONG, ""); // a kind chosen, its value not given yet
    EXPECT_EQ(std::string::npos, model.StatusText(false, "").find("Saved in"));
}

TEST_F(KeysEditorModelTest, OffersTheProgramsTheKeyMapsStartAndChecksAFileToImport) {
    Load(kUser + "Key2=Run \"C:\\a b\\v.exe\" /x\r\nKey3 long=Run \"C:\\a b\\v.exe\" /x\r\n"
                 "Key4=Run calc.exe\r\n");
    EXPECT_EQ((std::vector<std::string>{"\"C:\\a b\\v.exe\" /x", "calc.exe"}),
              model.NamedPrograms());
    EXPECT_EQ("", Model::ImportProblem(kUser));
    EXPECT_EQ("it sets no keys for any application", Model::ImportProblem("; only a comment\r\n"));
    EXPECT_NE("", Model::ImportProblem(std::string(Doc::MAX_FILE_BYTES + 1, ';')));
}

const std::string kCatchAll = "[All applications]\r\nClassName=NULL\r\nWindowName=NULL\r\n";

TEST_F(KeysEditorModelTest, ModesAreListedFirstAsKV480AsksThemAndMoveAmongThemselves) {
    model.Load("C:\\keys.ini", Model::FileState::Ok,
               kUser + "[In Player]\r\nMode=Mouse\r\nProgram=vlc.exe\r\n" + kCatchAll +
                   "[Mode Mouse]\r\nMode=mouse\r\nKey1=MouseUp\r\n",
               kInstalled + "[Keys]\r\nMode=Keys\r\n");
    EXPECT_EQ("Mode: Mouse, In Player|Mode: mouse|Mode: Keys (administrator, for everyone)|"
              "Player|All applications|Word (administrator, for everyone)|",
              Texts());
    EXPECT_EQ((std::vector<std::string>{"Mouse", "Keys"}), model.ModeNames());
    model.SelectApplication(1);
    EXPECT_FALSE(model.CanMove(false));
    ASSERT_TRUE(model.MoveSelected(true)) << "past the catch-all, onto the mode's other section";
    EXPECT_EQ(0u, model.GetUserBytes().find("[Player]\r\nProgram=vlc.exe\r\nKey1=P\r\n"
                                            "[Mode Mouse]"));
    EXPECT_EQ(0, model.GetSelected());
    EXPECT_FALSE(model.CanMove(true));
    model.SelectApplication(3);
    EXPECT_FALSE(model.CanMove(true)) << "a mode's section is not among Player's neighbours";
    EXPECT_TRUE(model.CanMove(false));
}

TEST_F(KeysEditorModelTest, AModeIsAddedRenamedWithTheKeysThatSwitchItAndRemoved) {
    Load(kUser);
    std::string reason;
    EXPECT_FALSE(model.AddMode("off", reason));
    EXPECT_NE("", reason);
    ASSERT_TRUE(model.AddMode(" Mouse ", reason));
    EXPECT_EQ("Mode: Mouse|Player|All applications|Word (administrator, for everyone)|", Texts());
    EXPECT_EQ(0, model.GetSelected());
    EXPECT_FALSE(model.AddMode("MOUSE", reason));
    EXPECT_NE(std::string::npos, model.StatusText(false, "").find("No key switches it on yet"));
    model.SetAction(Doc::FORM_PLAIN, "MouseUp");
    model.SelectApplication(2);
    model.SelectKey(5);
    model.SetAction(Doc::FORM_PLAIN, "Mode \"mouse\"");
    model.SelectApplication(0);
    EXPECT_EQ(std::string::npos, model.StatusText(false, "").find("No key switches"));
    EXPECT_FALSE(model.RenameMode("Pointer\"", reason));
    ASSERT_TRUE(model.RenameMode("Pointer", reason));
    EXPECT_EQ(kUser + "\r\n[Mode Pointer]\r\nMode=Pointer\r\nKey1=MouseUp\r\n\r\n" + kCatchAll +
                  "Key5=Mode \"Pointer\"\r\n\r\n",
              model.GetUserBytes());
    EXPECT_EQ("Mode: Pointer", model.Selected()->strText);
    model.RemoveSelected();
    EXPECT_EQ("Player|All applications|Word (administrator, for everyone)|", Texts());
    EXPECT_FALSE(model.CanRenameMode());
}

TEST_F(KeysEditorModelTest, AModesFormsShowWhatAnswersWhileTheModeIsOn) {
    Load("[In WordPad]\r\nMode=Mouse\r\nProgram=wordpad.exe\r\nKey3=ShutDown\r\n"
         "[Mode Mouse]\r\nMode=Mouse\r\nKey3 double=WheelUp\r\n" +
         kCatchAll + "Key3 long=Run \"C:\\w.exe\"\r\nKey3 double=F2\r\n");
    model.SelectApplication(0);
    model.SelectKey(3);
    EXPECT_EQ("WheelUp", model.GetInherited(Doc::FORM_DOUBLE).strAction);
    EXPECT_EQ("Mode: Mouse", model.GetInherited(Doc::FORM_DOUBLE).strFrom);
    EXPECT_EQ("All applications", model.GetInherited(Doc::FORM_LONG).strFrom)
        << "a key the mode leaves out keeps its usual meaning";
    const std::string status = model.StatusText(false, "");
    EXPECT_NE(std::string::npos,
              status.find("ShutDown acts only when the key is pressed again within 5 seconds."))
        << status;
    model.SelectApplication(3); // the installation folder's [Word]
    EXPECT_EQ("F2", model.GetInherited(Doc::FORM_DOUBLE).strAction) << "no mode is on here";
}

TEST_F(KeysEditorModelTest, MenuActionsOfferTheMenusOfBothFilesOnceEach) {
    Load(kUser + "[Tools]\r\nMenu=Tools\r\nItem1=\"Calc\" Run \"calc.exe\"\r\n"
                 "[More tools]\r\nMenu=tools\r\n[Main]\r\nMenu=Main\r\n");
    EXPECT_EQ((std::vector<std::string>{"Tools", "Main"}), model.MenuNames());
    EXPECT_EQ(std::vector<std::string>{}, model.ModeNames()) << "a menu is no mode";
    EXPECT_EQ(std::vector<std::string>{"Menu"}, model.WhichRuleModes()) << "on while one is open";
    Load(kUser + "[Steering]\r\nMode=MENU\r\n");
    EXPECT_EQ(std::vector<std::string>{"MENU"}, model.WhichRuleModes());
}

TEST_F(KeysEditorModelTest, AMenuIsListedAddedAndItsEntriesAndScanWritten) {
    Load(kUser + "[Tools]\r\nMenu=Tools\r\nItem1=\"Calc\" Run \"calc.exe\"\r\n");
    std::string reason;
    EXPECT_FALSE(model.AddMenu("tools", reason));
    EXPECT_EQ("there is already a menu \"tools\"", reason);
    EXPECT_FALSE(model.AddMenu(" ", reason));
    ASSERT_TRUE(model.AddMenu(" Power ", reason)) << reason;
    EXPECT_EQ("Player|Menu: Tools|Menu: Power|All applications|Word (administrator, for everyone)|",
              Texts());
    EXPECT_TRUE(model.IsMenuSelected());
    EXPECT_TRUE(model.GetMenuItems().empty());
    EXPECT_NE(std::string::npos, model.StatusText(false, "").find("No key opens it yet"));
    model.SetMenuItems({"\"Lock\" Lock", "\"Sleep\" Sleep"});
    model.SetScan("2000");
    EXPECT_EQ((std::vector<std::string>{"\"Lock\" Lock", "\"Sleep\" Sleep"}), model.GetMenuItems());
    EXPECT_NE(std::string::npos,
              model.GetUserBytes().find("[Menu Power]\r\nMenu=Power\r\nItem1=\"Lock\" Lock\r\n"
                                        "Item2=\"Sleep\" Sleep\r\nScan=2000\r\n"));
    EXPECT_EQ("2000", model.GetScan());
    model.SetScan("50");
    EXPECT_NE(std::string::npos, model.StatusText(false, "").find("every 300 ms"));
    model.SetScan("");
    EXPECT_EQ(std::string::npos, model.StatusText(false, "").find("every 300 ms")) << "none";
    model.SelectApplication(1);
    model.SetMenuItems({"\"Power\" Menu \"POWER\""});
    model.SelectApplication(2);
    EXPECT_NE(std::string::npos, model.StatusText(false, "").find(
                                     "\r\nOpened by the entry \"Power\" of the menu \"Tools\"."));
    model.SelectApplication(0);
    EXPECT_FALSE(model.IsMenuSelected());
    model.SetMenuItems({"\"x\" None"});
    EXPECT_EQ(std::string::npos, model.GetUserBytes().find("\"x\"")) << "not a menu";
}

TEST_F(KeysEditorModelTest, AMenuIsRenamedWithTheKeysAndEntriesThatOpenIt) {
    Load("[Menu Main]\r\nMenu=Main\r\nItem1=\"Tools\" Menu \"tools\"\r\n"
         "[Mine]\r\nMenu=Main\r\nProgram=x.exe\r\n"
         "[Menu Tools]\r\nMenu=Tools\r\nItem1=\"Back\" Menu \"Main\"\r\n" +
         kCatchAll + "Key6 long=Menu\r\nKey7=Menu \"Tools\"\r\nKey21=Menu\r\n");
    model.SelectApplication(0);
    std::string reason;
    EXPECT_FALSE(model.RenameMenu("tools", reason));
    EXPECT_EQ("there is already a menu \"tools\"", reason);
    ASSERT_TRUE(model.RenameMenu("Start", reason)) << reason;
    EXPECT_EQ("[Menu Start]\r\nMenu=Start\r\nItem1=\"Tools\" Menu \"tools\"\r\n"
              "[Mine]\r\nMenu=Start\r\nProgram=x.exe\r\n"
              "[Menu Tools]\r\nMenu=Tools\r\nItem1=\"Back\" Menu \"Start\"\r\n" +
                  kCatchAll + "Key6 long=Menu \"Start\"\r\nKey7=Menu \"Tools\"\r\n" +
                  "Key21=Menu \"Start\"\r\n",
              model.GetUserBytes())
        << "a plain Menu opened Main";
    EXPECT_EQ("Menu: Start", model.Selected()->strText);
    EXPECT_EQ("Start", model.SelectedMenuName());
    // What opens it, and nothing of the key chosen on the remote's picture.
    model.SelectKey(6);
    const std::string status = model.StatusText(false, "");
    EXPECT_NE(std::string::npos,
              status.find("\r\nOpened by Key 6: Bottom right (VEKO), long press, in \"All "
                          "applications\"; Key 21: Question mark (ZELMAR_OVI), press, in \"All "
                          "applications\"."))
        << status;
    EXPECT_EQ(std::string::npos, status.find("Long press:")) << status;
    model.SelectApplication(3); // the catch-all
    EXPECT_FALSE(model.CanRenameMenu());
    EXPECT_FALSE(model.RenameMenu("Other", reason));
}

TEST_F(KeysEditorModelTest, AMenusEntriesAreAddedChangedMovedAndRemovedOneByOne) {
    Load(kUser + "[Steering]\r\nMode=Menu\r\n[Mouse]\r\nMode=Mouse\r\n");
    EXPECT_EQ(std::vector<std::string>{"Mouse"}, model.ModeChoices())
        << "a key that switched Menu on would open no menu";
    std::string reason;
    ASSERT_TRUE(model.AddMenu("Programs", reason));
    EXPECT_FALSE(model.SetMenuItem(0, " ", "Run \"calc.exe\"", reason));
    EXPECT_FALSE(model.SetMenuItem(0, "Up", "Menu Up", reason));
    EXPECT_FALSE(model.SetMenuItem(0, "Odd", "Run", reason));
    EXPECT_FALSE(model.SetMenuItem(1, "Gap", "Lock", reason)) << "past the end";
    ASSERT_TRUE(model.SetMenuItem(0, "Calc", "Run \"calc.exe\"", reason)) << reason;
    ASSERT_TRUE(model.SetMenuItem(1, "Say \"hi\"", "Text \"hi\"", reason)) << reason;
    ASSERT_TRUE(model.SetMenuItem(2, "Lock", "Lock", reason)) << reason;
    ASSERT_TRUE(model.SetMenuItem(0, "Calculator", "Run \"calc.exe\"", reason));
    EXPECT_TRUE(model.MoveMenuItem(2, true));
    EXPECT_FALSE(model.MoveMenuItem(0, true));
    EXPECT_FALSE(model.MoveMenuItem(2, false));
    model.RemoveMenuItem(0);
    EXPECT_EQ((std::vector<std::string>{"\"Lock\" Lock", "\"Say 'hi'\" Text \"hi\""}),
              model.GetMenuItems());
    EXPECT_NE(std::string::npos,
              model.GetUserBytes().find("Menu=Programs\r\nItem1=\"Lock\" Lock\r\nItem2="));
    model.SelectApplication(model.GetSelected() + 1);
    EXPECT_FALSE(model.SetMenuItem(0, "Lock", "Lock", reason)) << "not a menu";
}

} // namespace

TEST(KeysEditorModel, AnAnsiFileThatCannotHoldNewTextBecomesUtf8) {
    // A code page of one letter: "\xE9" is é.
    Model model{[](const std::string& s) {
                    std::string out;
                    for (const char c : s)
                        out += c == '\xE9' ? std::string("\xC3\xA9") : std::string(1, c);
                    return out;
                },
                [](const std::string& s, std::string& ansi) {
                    ansi = s;
                    return s.find('\xE2') == std::string::npos;
                }};
    // Not UTF-8: the file is read as ANSI.
    model.Load("C:\\keys.ini", Model::FileState::Ok, "[Caf\xE9]\r\nProgram=x\r\n", "");
    model.SelectApplication(0);
    model.SetAction(Doc::FORM_PLAIN, "Text \"a\"");
    EXPECT_EQ("[Caf\xE9]\r\nProgram=x\r\nKey1=Text \"a\"\r\n", model.GetUserBytes());
    model.SetAction(Doc::FORM_PLAIN, "Text \"\xE2\x9C\x93\"");
    EXPECT_EQ("\xEF\xBB\xBF[Caf\xC3\xA9]\r\nProgram=x\r\nKey1=Text \"\xE2\x9C\x93\"\r\n",
              model.GetUserBytes());
}
