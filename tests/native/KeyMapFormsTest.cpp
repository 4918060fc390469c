// The key map's forms, actions, files of both layers, their encodings and
// the match by program.
#include "CKeyMap.h"
#include "ParseAction.h"
#include "CKeyMapLayers.h"
#include "UnicodeText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Form = CKeyMap::Form;
using Kind = CKeyAction::Kind;

TEST(KeyActionTest, EachKindReadsAsWritten) {
    const CKeyAction sequence = Action("Ctrl+A, Ctrl+C repeat");
    EXPECT_EQ(Kind::Keys, sequence.GetKind());
    ASSERT_EQ(2u, sequence.GetChords().size());
    EXPECT_EQ(0x43, sequence.GetChords()[1].GetKey());
    EXPECT_TRUE(sequence.Repeats());
    EXPECT_EQ("Ctrl+A, Ctrl+C", sequence.Shown());

    const CKeyAction text = Action("text \"Grüße, \"Welt\" ✓\" repeat");
    EXPECT_EQ(Kind::Text, text.GetKind());
    EXPECT_EQ("Grüße, \"Welt\" ✓", text.GetText()) << "between the first and the last quote";
    EXPECT_TRUE(text.Repeats());
    EXPECT_EQ("text \"Grüße, \"Welt\" ✓\"", text.Shown());

    const CKeyAction run = Action("Run \"%ProgramFiles%\\VideoLAN\\vlc.exe\" --fullscreen repeat");
    EXPECT_EQ(Kind::Run, run.GetKind());
    EXPECT_EQ("%ProgramFiles%\\VideoLAN\\vlc.exe", run.GetText());
    EXPECT_EQ("--fullscreen repeat", run.GetArguments()) << "arguments belong to the program";
    EXPECT_FALSE(run.Repeats());
    EXPECT_EQ("Run \"vlc.exe\"", run.Shown());

    EXPECT_EQ(Kind::MouseMove, Action("mouseleft").GetKind());
    EXPECT_TRUE(Action("MouseLeft").Repeats()) << "a pointer move always repeats";
    EXPECT_EQ(CKeyAction::Mouse::Left, Action("MouseLeft").GetMouse());
    EXPECT_FALSE(Action("LeftClick").Repeats());
    EXPECT_TRUE(Action("WheelDown repeat").Repeats());
    EXPECT_EQ(CKeyAction::Mouse::WheelDown, Action("WheelDown repeat").GetMouse());
    EXPECT_EQ(Kind::Nothing, Action("NONE").GetKind());
}

TEST(KeyActionTest, BadActionsSayWhy) {
    EXPECT_EQ("unknown key name \"PgDn\"", ActionError("Ctrl+A, PgDn"));
    EXPECT_EQ("a key name is missing", ActionError("Ctrl+A,"));
    EXPECT_EQ("the text is not between two double quotes", ActionError("Text \"open"));
    EXPECT_EQ("the text is not between two double quotes", ActionError("Text x\"y\""));
    EXPECT_EQ("the text is empty", ActionError("Text \"\""));
    EXPECT_EQ("unexpected words after the text's closing quote", ActionError("Text \"a\" b"));
    EXPECT_EQ("the program is not between two double quotes", ActionError("Run notepad.exe"));
    EXPECT_EQ("the program is empty", ActionError("Run \" \""));
    std::string many = "A";
    for (int i = 0; i < 32; ++i)
        many += ",A";
    EXPECT_EQ("more than 32 keystrokes in a sequence", ActionError(many));
}

TEST(KeyActionTest, PresenterToolsReadWithTheirOptions) {
    EXPECT_EQ(Kind::Spotlight, Action("spotlight").GetKind());
    EXPECT_TRUE(Action("LaserDot").IsPresenterTool());
    EXPECT_FALSE(Action("LaserDot").Repeats());
    EXPECT_FALSE(Action("Ctrl+A").IsPresenterTool());
    EXPECT_EQ(Kind::Magnifier, Action("Magnifier").GetKind());
    EXPECT_FALSE(Action("BlankScreen").IsWhite());
    const CKeyAction white = Action("BlankScreen  white");
    EXPECT_EQ(Kind::BlankScreen, white.GetKind());
    EXPECT_TRUE(white.IsWhite());
    EXPECT_EQ("BlankScreen  white", white.Shown());
    const CKeyAction timer = Action("Timer \"20:05\"");
    EXPECT_EQ(Kind::Timer, timer.GetKind());
    EXPECT_EQ(1205u, timer.GetSeconds());
    EXPECT_EQ("Timer \"20:05\"", timer.Shown());
    EXPECT_EQ(59999u, Action("Timer \"999:59\"").GetSeconds());

    EXPECT_EQ("the time is not between two double quotes", ActionError("Timer 5:00"));
    EXPECT_EQ("the time is not between two double quotes", ActionError("Timer"));
    for (const char* time : {"5", "5:0", "5:60", "x:00", "1000:00", ":30", "5:00:00"})
        EXPECT_EQ(std::string("the time \"") + time +
                      "\" is not minutes:seconds, such as \"20:00\"",
                  ActionError(std::string("Timer \"") + time + "\""));
    EXPECT_EQ("the time must be from 0:01 to 999:59", ActionError("Timer \"0:00\""));
    EXPECT_EQ("a timer is started and stopped by a press and cannot repeat",
              ActionError("Timer \"5:00\" repeat"));
    EXPECT_EQ("unexpected words after the time's closing quote", ActionError("Timer \"5:00\" x"));
    EXPECT_EQ("Spotlight is switched on and off by a press and cannot repeat",
              ActionError("Spotlight repeat"));
    EXPECT_EQ("BlankScreen takes only the word White and Monitor <n>",
              ActionError("BlankScreen Red"));
    EXPECT_EQ("LaserDot takes no options", ActionError("LaserDot big"));
}

TEST(KeyActionTest, TheBlankScreenAndTheTimerNameAMonitor) {
    EXPECT_EQ(0u, Action("BlankScreen White").GetMonitor());
    const CKeyAction blank = Action("BlankScreen  white monitor 2");
    EXPECT_TRUE(blank.IsWhite());
    EXPECT_EQ(2u, blank.GetMonitor());
    EXPECT_EQ(1u, Action("BlankScreen Monitor 1").GetMonitor());
    const CKeyAction timer = Action("Timer \"20:00\"  Monitor 12");
    EXPECT_EQ(1200u, timer.GetSeconds());
    EXPECT_EQ(12u, timer.GetMonitor());
    // The editor's field and back.
    EXPECT_EQ("BlankScreen White Monitor 2", blank.Value());
    EXPECT_EQ("20:00 Monitor 12", timer.Value());
    EXPECT_EQ("Timer \"20:00\" Monitor 12", CKeyAction::Write(Kind::Timer, timer.Value(), false));
    EXPECT_EQ("Timer \"20:00\"", CKeyAction::Write(Kind::Timer, "20:00", false));

    const std::string wrong = "Monitor takes a number from 1 to 99 at the end, such as Monitor 2";
    for (const char* value :
         {"BlankScreen Monitor", "BlankScreen Monitor 0", "BlankScreen Monitor x",
          "BlankScreen Monitor 100", "BlankScreen Monitor 2 White", "Timer \"5:00\" Monitor",
          "Timer \"5:00\" Monitor -1"})
        EXPECT_EQ(wrong, ActionError(value)) << value;
    EXPECT_EQ("Spotlight takes no options", ActionError("Spotlight Monitor 2"));
    EXPECT_EQ("unexpected words after the time's closing quote",
              ActionError("Timer \"5:00\" x Monitor 2"));
}

class KeyMapFormsTest : public ::testing::Test {
protected:
    static void Load(CKeyMap& map, const std::string& text) { map.Parse(text.data(), text.size()); }

    CKeyMap user;
    CKeyMap installation;
    CKeyMapLayers layers{user, installation};
};

TEST_F(KeyMapFormsTest, FormsAreLookedUpEachOnItsOwn) {
    Load(installation, "[Slides]\nClassName=NULL\nWindowName=*Slide Show*\nKey6 long=B\n"
                       "Key6  DOUBLE =None\n"
                       "[Default]\nClassName=NULL\nWindowName=NULL\nKey6=Esc\nKey5 double=F5\n"
                       "Key4 sideways=A\n");
    EXPECT_EQ("line 11: unknown form \"sideways\" (long or double)",
              "line " + std::to_string(installation.GetSkipped().at(0).nLine) + ": " +
                  installation.GetSkipped()[0].strReason);
    const CKeyMap::Window show{"screenClass", "Deck - Slide Show", ""};
    const CKeyMapLayers::KeyAnswers answers = layers.FindAll(show, 6);
    EXPECT_EQ("Default", answers.Get(Form::Plain).strSection) << "the plain form falls through";
    EXPECT_EQ(9u, answers.Get(Form::Plain).nLine);
    EXPECT_EQ("Slides", answers.Get(Form::Long).strSection);
    EXPECT_EQ(Kind::Nothing, answers.Get(Form::Double).action.GetKind());
    EXPECT_FALSE(layers.Find({"x", "Editor", ""}, 6, Form::Long).IsFound());
    EXPECT_TRUE(layers.Find({"x", "Editor", ""}, 5, Form::Double).IsFound());
}

TEST_F(KeyMapFormsTest, TheUsersSectionsAreAskedBeforeTheInstallationFolders) {
    Load(user, "[Player]\nProgram=VLC.exe\nKey1=Space\n"
               "[All applications]\nClassName=NULL\nWindowName=NULL\nKey2=N\n");
    Load(installation, "[Default]\nClassName=NULL\nWindowName=NULL\nKey1=PageUp\nKey2=PageDown\n"
                       "Key3=VolumeUp\n");
    const CKeyMap::Window vlc{"Qt5QWindowIcon", "Film - VLC",
                              "C:\\Program Files\\VideoLAN\\vlc.exe"};
    const CKeyMap::Window other{"Notepad", "x - Notepad", "C:\\Windows\\notepad.exe"};
    EXPECT_EQ(CKeyMapLayers::USER, layers.Find(vlc, 1, Form::Plain).layer);
    EXPECT_EQ("Player", layers.Find(vlc, 1, Form::Plain).strSection);
    EXPECT_EQ(CKeyMapLayers::INSTALLATION, layers.Find(other, 1, Form::Plain).layer);
    EXPECT_EQ(CKeyMapLayers::USER, layers.Find(other, 2, Form::Plain).layer)
        << "the user's catch-all comes before the administrator's";
    EXPECT_EQ(CKeyMapLayers::INSTALLATION, layers.Find(vlc, 3, Form::Plain).layer);
    EXPECT_EQ(CKeyMapLayers::NO_LAYER, layers.Find(vlc, 4, Form::Plain).layer);
    EXPECT_TRUE(layers.UsesProgram());
}

TEST_F(KeyMapFormsTest, ProgramMatchesTheFileNameWithWildcardsInAnyCase) {
    Load(installation, "[Any program]\nProgram=NULL\nKey1=B\n[None of the three]\nKey2=C\n");
    EXPECT_EQ(1u, installation.GetSkippedCount());
    EXPECT_FALSE(installation.UsesProgram()) << "NULL needs no program";
    EXPECT_TRUE(layers.Find({"c", "w", ""}, 1, Form::Plain).IsFound())
        << "class and caption left out beside a program match any";
    Load(installation, "[Media]\nProgram=*PLAYER*.exe\nWindowName=*Film*\nKey1=A\n");
    EXPECT_TRUE(installation.UsesProgram());
    EXPECT_TRUE(layers.Find({"c", "Film", "D:\\mplayer2.EXE"}, 1, Form::Plain).IsFound());
    EXPECT_TRUE(layers.Find({"c", "Film", "mplayer2.exe"}, 1, Form::Plain).IsFound());
    EXPECT_FALSE(layers.Find({"c", "Photo", "mplayer2.exe"}, 1, Form::Plain).IsFound());
    EXPECT_FALSE(layers.Find({"c", "Film", "C:\\player\\x.exe"}, 1, Form::Plain).IsFound())
        << "only the file name counts";
    EXPECT_FALSE(layers.Find({"c", "Film", ""}, 1, Form::Plain).IsFound())
        << "a window whose program is unknown";
}

TEST_F(KeyMapFormsTest, FilesAreReadInEveryEncoding) {
    const std::string utf8 = "[Přehled]\nClassName=NULL\nWindowName=Přehled*\nKey1=Text \"✓\"\n";
    const CKeyMap::Window window{"c", "PŘEHLED – tabulka", ""};
    const auto textOfKey1 = [&](const std::string& bytes) {
        installation.Parse(bytes.data(), bytes.size(), [](const std::string& ansi) {
            // The test's code page: Latin-1.
            std::string text;
            for (const char c : ansi)
                unicodetext::AppendUtf8(text, static_cast<unsigned char>(c));
            return text;
        });
        const CKeyMapLayers::Answer answer = layers.Find(window, 1, Form::Plain);
        return answer.IsFound() ? answer.action.GetText() : std::string("(none)");
    };
    EXPECT_EQ("✓", textOfKey1(utf8));
    EXPECT_EQ("✓", textOfKey1("\xEF\xBB\xBF" + utf8));
    std::string utf16 = "\xFF\xFE";
    for (const char16_t unit : unicodetext::ToUtf16(utf8 + "Key2=Text \"\xF0\x9F\x8E\xB5\"")) {
        utf16.push_back(static_cast<char>(unit & 0xFF));
        utf16.push_back(static_cast<char>(unit >> 8));
    }
    EXPECT_EQ("✓", textOfKey1(utf16 + "\x41"));
    EXPECT_EQ("\xF0\x9F\x8E\xB5", layers.Find(window, 2, Form::Plain).action.GetText())
        << "a surrogate pair";
    EXPECT_EQ("Ä", textOfKey1("[A]\nClassName=NULL\nWindowName=NULL\nKey1=Text \"\xC4\"\n"))
        << "not UTF-8: the ANSI code page";
    EXPECT_EQ("\xEF\xBF\xBD", unicodetext::ToUtf8("\xFF\xFE\x00\xD8", 4)) << "a lone surrogate";
}

TEST_F(KeyMapFormsTest, AUtf8FileCutAtTheLimitStaysUtf8) {
    std::string text = "[A]\nClassName=NULL\nWindowName=NULL\nKey1=Text \"é\"\n;";
    text.resize(CKeyMap::MAX_FILE_BYTES - 1, 'x');
    text += "é"; // its second byte lies past the limit
    Load(installation, text);
    EXPECT_EQ("é", layers.Find({"c", "w", ""}, 1, Form::Plain).action.GetText());
    EXPECT_EQ(1u, installation.GetSkippedCount());
    // Values are cut between characters.
    EXPECT_EQ(2u, unicodetext::CutPoint("abé", 3));
    EXPECT_EQ(4u, unicodetext::CutPoint("abé", 4));
    EXPECT_EQ(5u, unicodetext::CutPoint("a\x80\x80\x80\x80\x80\x80", 5)) << "no character";
    EXPECT_EQ(u"\uFFFDa", unicodetext::ToUtf16("\xC3"
                                               "a"));
}

} // namespace
