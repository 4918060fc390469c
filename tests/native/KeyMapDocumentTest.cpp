#include <gtest/gtest.h>

#include "ActionText.h"
#include "CKeyAction.h"
#include "CKeyChord.h"
#include "CKeyMapDocument.h"
#include "ReadyMadeEntries.h"

#include <random>
#include <string>

namespace {

using Doc = CKeyMapDocument;

const std::string kFile = "; my keys\r\n"
                          "stray line\r\n"
                          "[Player]\r\n"
                          "Program = vlc.exe\r\n"
                          "key5=Space ; not a comment\r\n"
                          "Key5 long=F\r\n"
                          "Key5=Esc\r\n"
                          "Colour=blue\r\n"
                          "\r\n"
                          "; for everyone\r\n"
                          "[Default]\r\n"
                          "ClassName=NULL\r\n"
                          "WindowName=null\r\n"
                          "Key1=PageUp";

Doc Loaded(const std::string& text) {
    Doc doc;
    doc.Load(text.data(), text.size());
    return doc;
}

TEST(KeyMapDocumentTest, SavingAnUneditedFileGivesItsBytesBack) {
    std::mt19937 random(18);
    std::vector<std::string> texts = {
        kFile,
        "",
        "\n\n",
        "\xEF\xBB\xBF[A]\nKey1=B\n",
        "[\xC4\xE9]\r\nWindowName=\xE8*\r\n",
        std::string("\xFF\xFE[\0A\0]\0\n\0=\0\x3D\xD8\x00\xDE\x00\xD8", 18)};
    for (int n = 0; n < 50; ++n) {
        std::string bytes(random() % 300, '\0');
        for (char& c : bytes)
            c = static_cast<char>(random() % 8 == 0 ? "[]=\r\n;K"[random() % 8] : random());
        texts.push_back(bytes);
    }
    for (const std::string& text : texts)
        EXPECT_EQ(text, Loaded(text).Save()) << ::testing::PrintToString(text);
    EXPECT_EQ(Doc::Encoding::Utf16Le, Loaded(texts[5]).GetEncoding());
    EXPECT_EQ(Doc::Encoding::Ansi, Loaded(texts[4]).GetEncoding());
}

TEST(KeyMapDocumentTest, ReadsSectionsCriteriaAndFormsAsKV480Does) {
    const Doc doc = Loaded(kFile);
    ASSERT_EQ(2u, doc.GetSectionCount());
    EXPECT_EQ("Player", doc.GetSectionName(0));
    EXPECT_EQ("vlc.exe", doc.GetCriterion(0, Doc::CRITERION_PROGRAM));
    EXPECT_EQ("", doc.GetCriterion(0, Doc::CRITERION_CLASS));
    EXPECT_EQ("Space ; not a comment", doc.GetAction(0, 5, Doc::FORM_PLAIN)) << "first one counts";
    EXPECT_EQ("F", doc.GetAction(0, 5, Doc::FORM_LONG));
    EXPECT_EQ("", doc.GetAction(0, 5, Doc::FORM_DOUBLE));
    EXPECT_FALSE(doc.IsCatchAll(0));
    EXPECT_TRUE(doc.IsCatchAll(1));
    EXPECT_EQ(1u, doc.FindCatchAll());
    EXPECT_EQ(2u, doc.GetUnknownLineCount()) << "the stray line and Colour";
    EXPECT_EQ("", doc.GetAction(9, 1, Doc::FORM_PLAIN));
    EXPECT_EQ("", doc.GetAction(1, 24, Doc::FORM_PLAIN));
}

TEST(KeyMapDocumentTest, EditsChangeOnlyTheirLines) {
    Doc doc = Loaded(kFile);
    doc.SetAction(0, 5, Doc::FORM_PLAIN, "Ctrl+P");
    doc.SetAction(0, 5, Doc::FORM_LONG, "");
    doc.SetAction(0, 7, Doc::FORM_DOUBLE, "F11 \n repeat");
    doc.SetAction(1, 2, Doc::FORM_PLAIN, "PageDown");
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ("; my keys\r\nstray line\r\n[Player]\r\nProgram = vlc.exe\r\nkey5=Ctrl+P\r\n"
              "Key5=Esc\r\nColour=blue\r\nKey7 double=F11   repeat\r\n\r\n; for everyone\r\n"
              "[Default]\r\nClassName=NULL\r\nWindowName=null\r\nKey1=PageUp\r\nKey2=PageDown\r\n",
              doc.Save());
}

TEST(KeyMapDocumentTest, SectionsMoveWithTheCommentsAboveThem) {
    Doc doc = Loaded(kFile);
    EXPECT_FALSE(doc.MoveSection(0, true));
    ASSERT_TRUE(doc.MoveSection(1, true));
    EXPECT_EQ("; my keys\r\nstray line\r\n; for everyone\r\n[Default]\r\nClassName=NULL\r\n"
              "WindowName=null\r\nKey1=PageUp\r\n[Player]\r\nProgram = vlc.exe\r\n"
              "key5=Space ; not a comment\r\nKey5 long=F\r\nKey5=Esc\r\nColour=blue\r\n\r\n",
              doc.Save());
    ASSERT_TRUE(doc.MoveSection(0, false));
    EXPECT_EQ("vlc.exe", doc.GetCriterion(0, Doc::CRITERION_PROGRAM));
}

TEST(KeyMapDocumentTest, NewSectionsGoWhereAskedWithTheirCriteria) {
    Doc doc = Loaded(kFile);
    EXPECT_EQ(1u, doc.AddSection("Notes", "notepad.exe", "", "* - Notepad", 1));
    EXPECT_EQ(3u, doc.AddSection("Last", "", "NULL", "NULL", 99));
    doc.RemoveSection(0);
    EXPECT_EQ("; my keys\r\nstray line\r\n[Notes]\r\nProgram=notepad.exe\r\n"
              "WindowName=* - Notepad\r\n\r\n; for everyone\r\n[Default]\r\nClassName=NULL\r\n"
              "WindowName=null\r\nKey1=PageUp\r\n\r\n[Last]\r\nClassName=NULL\r\n"
              "WindowName=NULL\r\n\r\n",
              doc.Save());

    Doc empty = Loaded("");
    empty.AddSection("All applications", "", "NULL", "NULL", 0);
    empty.SetAction(0, 1, Doc::FORM_PLAIN, "A");
    EXPECT_EQ("[All applications]\r\nClassName=NULL\r\nWindowName=NULL\r\nKey1=A\r\n\r\n",
              empty.Save());
}

TEST(KeyMapDocumentTest, AnAnsiFileBecomesUtf8WithEveryLineKept) {
    // Latin-1 as the ANSI code page.
    const auto latin1 = [](const std::string& text) {
        std::string utf8;
        for (const unsigned char c : text)
            utf8 += c < 0x80 ? std::string(1, static_cast<char>(c))
                             : std::string{static_cast<char>(0xC0 | (c >> 6)),
                                           static_cast<char>(0x80 | (c & 0x3F))};
        return utf8;
    };
    Doc doc = Loaded("; caf\xE9\r\n[Caf\xE9]\r\nProgram=caf\xE9.exe\r\nKey1=A\r\n");
    ASSERT_EQ(Doc::Encoding::Ansi, doc.GetEncoding());
    doc.ConvertToUtf8(latin1);
    doc.SetAction(0, 2, Doc::FORM_PLAIN, "Text \"\xE2\x9C\x93\"");
    EXPECT_EQ("\xEF\xBB\xBF; caf\xC3\xA9\r\n[Caf\xC3\xA9]\r\nProgram=caf\xC3\xA9.exe\r\nKey1=A\r\n"
              "Key2=Text \"\xE2\x9C\x93\"\r\n",
              doc.Save());
    EXPECT_EQ("Caf\xC3\xA9", doc.GetSectionName(0));
    EXPECT_TRUE(doc.IsModified());
    const std::string saved = doc.Save();
    EXPECT_EQ(saved, Loaded(saved).Save()) << "read back as UTF-8";
    Doc utf8 = Loaded(kFile);
    utf8.ConvertToUtf8(latin1);
    EXPECT_EQ(kFile, utf8.Save()) << "only an ANSI file is converted";
}

TEST(KeyMapDocumentTest, AFileTooLongIsShownButNotCompleteAndHalfCharactersAreKept) {
    std::string text = "[A]\nClassName=NULL\nWindowName=NULL\nKey1=B\n";
    text.resize(Doc::MAX_FILE_BYTES + 1, ';');
    const Doc doc = Loaded(text);
    EXPECT_FALSE(doc.IsComplete());
    EXPECT_EQ("B", doc.GetAction(0, 1, Doc::FORM_PLAIN));
    EXPECT_FALSE(Loaded(std::string("\xFF\xFE[\0A", 5)).IsComplete());
    EXPECT_TRUE(Loaded(kFile).IsComplete());
    std::string sections;
    while (sections.size() < Doc::MAX_FILE_BYTES)
        sections += "[a]\n";
    EXPECT_EQ(Doc::MAX_FILE_BYTES / 4, Loaded(sections).GetSectionCount());
}

TEST(KeyMapDocumentTest, ReadyMadeEntriesHoldOnlyKeystrokesToolsOrMenusKV480Reads) {
    ASSERT_GE(ReadyMadeEntries().size(), 15u);
    int menus = 0;
    for (const ReadyMadeEntry& entry : ReadyMadeEntries()) {
        Doc doc = Loaded("");
        doc.AddSection(entry.pszName, entry.pszProgram, entry.pszClass ? entry.pszClass : "", "",
                       0);
        bool toolOnVeko = false;
        bool toolOnZelmar = false;
        for (const ReadyMadeEntry::Action& action : entry.actions) {
            std::string text = action.pszAction;
            CKeyAction parsed;
            std::string reason;
            ASSERT_TRUE(parsed.Parse(text, reason)) << entry.pszName << reason;
            const std::string key = action.pszKey;
            const int number = std::stoi(key.substr(3));
            if (parsed.IsPresenterTool()) {
                (number <= 6 ? toolOnVeko : toolOnZelmar) = true;
            } else if (parsed.GetKind() == CKeyAction::Kind::Menu) {
                // Held, so that the key's press keeps what it does.
                EXPECT_EQ("Menu", text);
                EXPECT_NE(std::string::npos, key.find("long")) << entry.pszName;
                EXPECT_EQ(1u, entry.actions.size()) << entry.pszName;
                EXPECT_EQ("*", std::string(entry.pszProgram)) << "in every window";
                // One for each remote: the VEKO's keys 1-6, the ZELMAR_OVI's 7-23.
                menus |= number <= 6 ? 1 : 2;
            } else {
                const std::size_t repeat = text.find(" repeat");
                CKeyChord chord;
                EXPECT_TRUE(chord.Parse(text.substr(0, repeat), reason)) << entry.pszName << reason;
            }
            const Doc::Form form =
                key.find("long") != std::string::npos ? Doc::FORM_LONG : Doc::FORM_PLAIN;
            EXPECT_EQ("", doc.GetAction(0, number, form)) << entry.pszName << " sets twice " << key;
            doc.SetAction(0, number, form, text);
        }
        EXPECT_EQ(1u, Loaded(doc.Save()).GetSectionCount());
        if (std::string(entry.pszName) == "Presenting (any slide show)") {
            EXPECT_TRUE(toolOnVeko && toolOnZelmar) << "tools on both remotes";
            EXPECT_EQ("*", std::string(entry.pszProgram)) << "any program";
        } else {
            EXPECT_FALSE(toolOnVeko || toolOnZelmar) << entry.pszName;
        }
    }
    EXPECT_EQ(3, menus) << "a menu entry for each remote";
}

TEST(KeyMapDocumentTest, AMenusEntriesAreWrittenInOrderAsKV480ReadsThem) {
    Doc doc = Loaded("[Programs]\r\nMenu=Main\r\nItem2=\"Calc\" Run \"calc.exe\"\r\n"
                     "; the editor\r\nItem1=\"Notepad\" Run \"notepad.exe\"\r\n"
                     "Item1=\"Twice\" None\r\n[Next]\r\nKey1=A\r\n");
    EXPECT_EQ("Main", doc.GetMenu(0));
    EXPECT_EQ("", doc.GetMenu(1));
    EXPECT_EQ(
        (std::vector<std::string>{"\"Notepad\" Run \"notepad.exe\"", "\"Calc\" Run \"calc.exe\""}),
        doc.GetMenuItems(0))
        << "by number, the first of two equal ones";
    // Moved, one added: the lines keep their places and are numbered again.
    doc.SetMenuItems(0, {JoinMenuItem("Calc", "Run \"calc.exe\""), "\"Notepad\" Keyboard",
                         JoinMenuItem("Say \"hi\"", "Text \"hi\"")});
    doc.SetScan(0, "1500");
    EXPECT_EQ("[Programs]\r\nMenu=Main\r\nItem1=\"Calc\" Run \"calc.exe\"\r\n; the editor\r\n"
              "Item2=\"Notepad\" Keyboard\r\nItem1=\"Twice\" None\r\n"
              "Item3=\"Say 'hi'\" Text \"hi\"\r\nScan=1500\r\n[Next]\r\nKey1=A\r\n",
              doc.Save());
    doc.SetMenuItems(0, {"\"Notepad\" Keyboard"});
    EXPECT_EQ((std::vector<std::string>{"\"Notepad\" Keyboard"}), doc.GetMenuItems(0));
    EXPECT_EQ(std::string::npos, doc.Save().find("Say")) << "removed";
    EXPECT_EQ("1500", doc.GetScan(0));

    std::string label;
    std::string action;
    EXPECT_TRUE(SplitMenuItem(" \"Calc \"  Run \"calc.exe\" ", label, action));
    EXPECT_EQ("Calc", label);
    EXPECT_EQ("Run \"calc.exe\"", action);
    EXPECT_FALSE(SplitMenuItem("Calc Run", label, action));
    EXPECT_EQ("Calc Run", action) << "kept, to be shown as written";
}

TEST(KeyMapDocumentTest, SuggestionsForAPointedWindow) {
    EXPECT_EQ("* - Word", SuggestWindowPattern("Report - June.docx - Word"));
    EXPECT_EQ("* \xE2\x80\x93 tabulka", SuggestWindowPattern("P\xC5\x99"
                                                             "ehled \xE2\x80\x93 tabulka"));
    EXPECT_EQ("Calculator", SuggestWindowPattern("Calculator"));
    EXPECT_EQ("", CKeyChord::KeyName(0x11)) << "Ctrl alone";
    EXPECT_EQ("F12", CKeyChord::KeyName(0x7B));
    EXPECT_EQ("PlayPause", CKeyChord::KeyName(0xB3));
}

} // namespace

namespace {

TEST(ActionTextTest, EveryKindSplitsAndJoinsBack) {
    using Kind = CKeyAction::Kind;
    const struct {
        const char* text;
        Kind kind;
        const char* value;
        bool repeat;
        bool sequence;
    } cases[] = {
        {"none", Kind::Nothing, "", false, false},
        {"Ctrl+Up repeat", Kind::Keys, "Ctrl+Up", true, false},
        {"Ctrl+A, Ctrl+C", Kind::Keys, "Ctrl+A, Ctrl+C", false, true},
        {"Ctrl+A, Ctrl+C  repeat", Kind::Keys, "Ctrl+A, Ctrl+C repeat", false, true},
        {"Text \"say \"hi\"\"", Kind::Text, "say \"hi\"", false, false},
        {"Text \"go\" repeat", Kind::Text, "go", true, false},
        {"Run \"C:\\a b\\v.exe\" -f", Kind::Run, "\"C:\\a b\\v.exe\" -f", false, false},
        {"wheelup repeat", Kind::MouseButton, "WheelUp", true, false},
        {"mouseleft", Kind::MouseMove, "MouseLeft", false, false},
        {"blankscreen  WHITE", Kind::BlankScreen, "BlankScreen White", false, false},
        {"Timer \"20:00\"", Kind::Timer, "20:00", false, false},
        {"Timer \"0:05\"", Kind::Timer, "0:05", false, false},
        {"Mode \"Mouse\"", Kind::Mode, "Mouse", false, false},
        {"mode  off", Kind::Mode, "Off", false, false},
        {"shutdown", Kind::Pc, "ShutDown", false, false},
        {"menu", Kind::Menu, "", false, false},
        {"Menu \"Programs\"", Kind::Menu, "Programs", false, false},
        {"keyboard", Kind::Keyboard, "", false, false},
        {"menu down  repeat", Kind::MenuSteer, "Down", true, false},
        {"Menu Back", Kind::MenuSteer, "Back", false, false},
        // What KV480 cannot read shows as written, to be marked invalid.
        {"Spotlight repeat", Kind::Keys, "Spotlight repeat", false, false},
        {"Timer \"1:00\" repeat", Kind::Keys, "Timer \"1:00\" repeat", false, false},
        {"Mode Mouse", Kind::Keys, "Mode Mouse", false, false},
        {"Mode \"off\"", Kind::Keys, "Mode \"off\"", false, false},
        {"Lock repeat", Kind::Keys, "Lock repeat", false, false},
        {"Ctrl+A, Hyper+D", Kind::Keys, "Ctrl+A, Hyper+D", false, true},
    };
    EXPECT_FALSE(SplitAction(" ").bSet);
    EXPECT_EQ("", JoinAction(SplitAction("")));
    for (const auto& c : cases) {
        const ActionParts parts = SplitAction(c.text);
        EXPECT_TRUE(parts.bSet) << c.text;
        EXPECT_EQ(c.kind, parts.kind) << c.text;
        EXPECT_EQ(c.value, parts.strValue) << c.text;
        EXPECT_EQ(c.repeat, parts.bRepeat) << c.text;
        EXPECT_EQ(c.sequence, parts.bSequence) << c.text;
        // Written back, it reads as before.
        CKeyAction before;
        CKeyAction after;
        std::string reason;
        const bool readable = before.Parse(c.text, reason);
        EXPECT_EQ(readable, after.Parse(JoinAction(parts), reason)) << c.text;
        if (readable) {
            EXPECT_EQ(before.GetKind(), after.GetKind()) << c.text;
            EXPECT_EQ(before.Value(), after.Value()) << c.text;
            EXPECT_EQ(before.IsMarkedRepeat(), after.IsMarkedRepeat()) << c.text;
        }
        EXPECT_EQ(readable, ActionProblem(parts).empty()) << c.text;
    }
    // Shown in its own kind's form to be marked there.
    const ActionParts unquoted = SplitAction("Run calc.exe");
    EXPECT_EQ(Kind::Run, unquoted.kind);
    EXPECT_EQ("Run \"calc.exe\"", JoinAction(unquoted)) << "a program gets its quotes";
    const ActionParts time = SplitAction("Timer \"20:0\"");
    EXPECT_EQ(Kind::Timer, time.kind);
    EXPECT_EQ("20:0", time.strValue);
    EXPECT_NE("", ActionProblem(time));
}

TEST(ActionTextTest, WhatTheFormsGiveIsWritten) {
    using Kind = CKeyAction::Kind;
    const auto parts = [](Kind kind, const char* value, bool repeat, bool sequence = false) {
        ActionParts result;
        result.bSet = true;
        result.kind = kind;
        result.strValue = value;
        result.bRepeat = repeat;
        result.bSequence = sequence;
        return result;
    };
    EXPECT_EQ("Run \"C:\\x.exe\"", JoinAction(parts(Kind::Run, "C:\\x.exe", false)));
    EXPECT_EQ("Text \" a \"", JoinAction(parts(Kind::Text, " a ", false))) << "blanks typed";
    EXPECT_EQ("F5", JoinAction(parts(Kind::Keys, "F5", true, true))) << "no repeat for sequences";
    EXPECT_EQ("", JoinAction(parts(Kind::Keys, " ", true)));
    EXPECT_EQ("Timer \"5:00\"", JoinAction(parts(Kind::Timer, " 5:00 ", true)));
    EXPECT_EQ("", JoinAction(parts(Kind::Timer, "", false))) << "nothing given yet";
    EXPECT_EQ("Mode Off", JoinAction(parts(Kind::Mode, "OFF", false)));
    EXPECT_EQ("Mode \"Mouse\"", JoinAction(parts(Kind::Mode, " Mouse ", true)));
    EXPECT_EQ("", JoinAction(parts(Kind::Mode, "", false))) << "nothing given yet";
    EXPECT_EQ("None", JoinAction(parts(Kind::Nothing, "x", true)));
    EXPECT_EQ("Menu", JoinAction(parts(Kind::Menu, " ", false))) << "the main menu";
    EXPECT_EQ("Menu \"Programs\"", JoinAction(parts(Kind::Menu, " Programs ", false)));
    EXPECT_EQ("Keyboard", JoinAction(parts(Kind::Keyboard, "", true)));
    EXPECT_EQ("Menu Select", JoinAction(parts(Kind::MenuSteer, "Select", true)))
        << "a held Select does not carry out entry after entry";
    EXPECT_EQ("", JoinAction(parts(Kind::MenuSteer, "", false))) << "nothing given yet";
    // Every fixed word of a kind reads as that kind, written as the form writes it.
    for (const Kind kind :
         {Kind::MouseMove, Kind::MouseButton, Kind::Spotlight, Kind::LaserDot, Kind::Magnifier,
          Kind::BlankScreen, Kind::Pc, Kind::Mode, Kind::MenuSteer}) {
        const std::vector<std::string> words = CKeyAction::WordsOf(kind);
        EXPECT_FALSE(words.empty());
        for (const std::string& word : words) {
            const ActionParts split = SplitAction(JoinAction(parts(kind, word.c_str(), true)));
            EXPECT_EQ(kind, split.kind) << word;
            EXPECT_EQ(word, split.strValue);
            EXPECT_EQ(CKeyAction::TakesRepeat(kind) && word != "Select" && word != "Back",
                      split.bRepeat)
                << word;
        }
    }
    EXPECT_EQ(2u, CKeyAction::WordsOf(Kind::BlankScreen).size()) << "black and white";
    for (const std::string& time : TimerSuggestions()) {
        EXPECT_EQ("", ActionProblem(parts(Kind::Timer, time.c_str(), false))) << time;
    }
    EXPECT_NE("", ActionProblem(parts(Kind::Mode, "a\"b", false)));
    EXPECT_NE("", ActionProblem(parts(Kind::Timer, "20", false)));
    EXPECT_NE("", ActionProblem(parts(Kind::Spotlight, "BlankScreen Grey", false)));
}

} // namespace
