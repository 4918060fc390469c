#include "CKeyChord.h"
#include "CKeyMap.h"
#include "CKeyMapLayers.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Input = CKeyChord::Input;

Input Down(std::uint16_t vk, bool extended = false) {
    return {vk, extended, false};
}
Input Up(std::uint16_t vk, bool extended = false) {
    return {vk, extended, true};
}

std::vector<Input> ChordInputs(const std::string& text) {
    CKeyChord chord;
    std::string reason;
    EXPECT_TRUE(chord.Parse(text, reason)) << text << ": " << reason;
    return chord.Inputs();
}

std::string ChordError(const std::string& text) {
    CKeyChord chord;
    std::string reason;
    EXPECT_FALSE(chord.Parse(text, reason)) << text;
    return reason;
}

TEST(KeyChordTest, NamesInAnyCaseGiveTheirVirtualKeys) {
    const struct {
        const char* name;
        std::uint16_t vk;
        bool extended;
    } cases[] = {
        {"a", 0x41, false},        {"Z", 0x5A, false},         {"0", 0x30, false},
        {"9", 0x39, false},        {"f1", 0x70, false},        {"F24", 0x87, false},
        {"ENTER", 0x0D, false},    {"Backspace", 0x08, false}, {"PrintScreen", 0x2C, false},
        {"pagedown", 0x22, true},  {"Insert", 0x2D, true},     {"Left", 0x25, true},
        {"PlayPause", 0xB3, true}, {"Mute", 0xAD, true},       {"BrowserHome", 0xAC, true}};
    for (const auto& c : cases) {
        EXPECT_EQ((std::vector<Input>{Down(c.vk, c.extended), Up(c.vk, c.extended)}),
                  ChordInputs(c.name))
            << c.name;
    }
}

TEST(KeyChordTest, ModifiersGoDownInOrderAndUpInReverse) {
    EXPECT_EQ((std::vector<Input>{Down(0x11), Down(0x10), Down(0x25, true), Up(0x25, true),
                                  Up(0x10), Up(0x11)}),
              ChordInputs("Ctrl+Shift+Left"));
    EXPECT_EQ((std::vector<Input>{Down(0x5B, true), Down(0x12), Down(0x73), Up(0x73), Up(0x12),
                                  Up(0x5B, true)}),
              ChordInputs(" win + ALT +F4 "));
    EXPECT_EQ(ChordInputs("Ctrl+A"), ChordInputs("Ctrl+Ctrl+A")) << "a modifier is held once";
}

TEST(KeyChordTest, BadChordsSayWhy) {
    EXPECT_EQ("unknown key name \"PgDn\"", ChordError("PgDn"));
    EXPECT_EQ("unknown key name \"F25\"", ChordError("F25"));
    EXPECT_EQ("unknown key name \"F01\"", ChordError("F01"));
    EXPECT_EQ("unknown modifier \"Super\"", ChordError("Super+A"));
    EXPECT_EQ("no key after the modifier \"Ctrl\"", ChordError("Ctrl"));
    EXPECT_EQ("unknown modifier \"A\"", ChordError("A+Ctrl"));
    EXPECT_EQ("a key name is missing", ChordError("Ctrl+"));
    EXPECT_EQ("a key name is missing", ChordError("Ctrl++A"));
    EXPECT_EQ("a key name is missing", ChordError(""));
}

TEST(KeyChordTest, ReleasesAfterAPartialSendLeaveNothingDown) {
    CKeyChord chord;
    std::string reason;
    ASSERT_TRUE(chord.Parse("Ctrl+Shift+A", reason));
    EXPECT_TRUE(chord.ReleasesAfter(0).empty());
    EXPECT_EQ((std::vector<Input>{Up(0x11)}), chord.ReleasesAfter(1));
    EXPECT_EQ((std::vector<Input>{Up(0x41), Up(0x10), Up(0x11)}), chord.ReleasesAfter(3));
    EXPECT_EQ((std::vector<Input>{Up(0x11)}), chord.ReleasesAfter(5));
    EXPECT_TRUE(chord.ReleasesAfter(6).empty());
    EXPECT_TRUE(chord.ReleasesAfter(100).empty());
}

class KeyMapTest : public ::testing::Test {
protected:
    void Load(const std::string& text) { map.Parse(text.data(), text.size()); }

    // The virtual key of the plain keystroke for the key in the window, 0
    // for none; with repeat, only where it is typed again on repeats.
    int Typed(const std::string& className, const std::string& caption, int key,
              int repeat = 0) const {
        const CKeyMap::Rule rule = map.Find({className, caption, ""}, key, CKeyMap::Form::Plain);
        if (rule.pAction == nullptr || rule.pAction->GetChords().empty() ||
            (repeat != 0 && !rule.pAction->Repeats()))
            return 0;
        return rule.pAction->GetChords()[0].GetKey();
    }

    CKeyMap map;
};

TEST_F(KeyMapTest, FirstMatchingSectionThatMapsTheKeyDecides) {
    Load("; presentation first, then the default\r\n"
         "[Slides]\r\nClassName=NULL\r\nWindowName=*PowerPoint*\r\nKey1=PageUp\r\n"
         "[Notepad]\r\nclassname=notepad\r\nWINDOWNAME=* - Notepad\r\nKey1=A\r\nKey2=B\r\n"
         "[Default]\r\nClassName=NULL\r\nWindowName=NULL\r\nKey1=Esc\r\nKey2=Enter\r\n");
    EXPECT_EQ(3u, map.GetSectionCount());
    EXPECT_EQ(0u, map.GetSkippedCount());
    EXPECT_EQ(0x21, Typed("Any", "Deck - powerpoint Show", 1));
    EXPECT_EQ(0x0D, Typed("Any", "Deck - PowerPoint Show", 2)) << "falls through to the default";
    EXPECT_EQ(0x41, Typed("NOTEPAD", "x - notepad", 1));
    EXPECT_EQ(0x1B, Typed("Notepad", "x - Notepad (2)", 1)) << "caption must end so";
    EXPECT_EQ(0x1B, Typed("Edit", "x - Notepad", 1)) << "class must match too";
    EXPECT_EQ(0, Typed("Any", "Any", 3)) << "no section maps key 3";
    EXPECT_EQ(0, Typed("Any", "Any", 0));
    EXPECT_EQ(0, Typed("Any", "Any", 24));
}

TEST_F(KeyMapTest, WildcardsMatchAnyRun) {
    EXPECT_TRUE(CKeyMap::Matches("*probe show", "my PROBE SHOW"));
    EXPECT_TRUE(CKeyMap::Matches("*probe show", "probe show"));
    EXPECT_FALSE(CKeyMap::Matches("*probe show", "probe shows"));
    EXPECT_TRUE(CKeyMap::Matches("a*b*c", "aXbYbZc"));
    EXPECT_FALSE(CKeyMap::Matches("a*b*c", "aXbYbZ"));
    EXPECT_TRUE(CKeyMap::Matches("**", ""));
    EXPECT_FALSE(CKeyMap::Matches("x", ""));
    EXPECT_TRUE(CKeyMap::Matches("Ab\xC4", "aB\xC4"));
    EXPECT_FALSE(CKeyMap::Matches("\xC4", "\xE4")) << "bytes that are no UTF-8 compare exactly";
    EXPECT_TRUE(CKeyMap::Matches("PŘEHLED*", "přehled – tabulka")) << "Unicode letters fold case";
    EXPECT_TRUE(CKeyMap::Matches("П*", "пр"));
    EXPECT_FALSE(CKeyMap::Matches("ä", "a"));
    // Bounded on the worst case for a greedy matcher.
    EXPECT_FALSE(CKeyMap::Matches(std::string(127, '*') + "b" + std::string(126, '*') + "c",
                                  std::string(1000, 'b')));
}

TEST_F(KeyMapTest, RepeatsTypeOnlyWhereMarked) {
    Load("[App]\nClassName=App\nWindowName=NULL\nKey15=Up repeat\nKey16=Down\n"
         "[Default]\nClassName=NULL\nWindowName=NULL\nKey16=Down   "
         "REPEAT\nKey17=Ctrl+Left\trepeat\n");
    EXPECT_EQ(0x26, Typed("App", "", 15, 1));
    EXPECT_EQ(0x28, Typed("App", "", 16, 0));
    EXPECT_EQ(0, Typed("App", "", 16, 1)) << "the app's own entry holds, without repeat";
    EXPECT_EQ(0x28, Typed("Other", "", 16, 1));
    EXPECT_EQ(0x25, Typed("Other", "", 17, 1));
}

TEST_F(KeyMapTest, BadLinesAreSkippedAndReportedTheRestWorks) {
    Load("Key1=A\n"                            // 1: before any section
         "[Default]\n"                         // 2
         "ClassName=NULL\n"                    // 3
         "WindowName=null\n"                   // 4
         "Key1=PgDn\n"                         // 5: unknown key name
         "Key2=Hyper+A\n"                      // 6: unknown modifier
         "Key24=A\n"                           // 7: out of range
         "Key0=A\n"                            // 8: out of range
         "Key3=\n"                             // 9: empty
         "just words\n"                        // 10: no '='
         "Colour=red\n"                        // 11: unknown name
         "Key4=B\n"                            // 12
         "key4=C\n"                            // 13: second one
         "ClassName=Other\n"                   // 14: second one
         "[No caption]\nClassName=X\nKey5=A\n" // 15: section without WindowName
         "Key99999999999999999999=A\n"         // 18: out of range, no overflow
    );
    EXPECT_EQ(0x42, Typed("Any", "Any", 4));
    EXPECT_EQ(0, Typed("Any", "Any", 1));
    EXPECT_EQ(0, Typed("X", "Any", 5));
    std::vector<std::size_t> lines;
    for (const auto& skipped : map.GetSkipped())
        lines.push_back(skipped.nLine);
    EXPECT_EQ((std::vector<std::size_t>{1, 5, 6, 7, 8, 9, 10, 11, 13, 14, 18, 15}), lines);
    EXPECT_EQ(12u, map.GetSkippedCount());
    EXPECT_EQ("Line 1 of KeyMap.ini is ignored: the line stands before the first [section]. "
              "11 more line(s) ignored.",
              map.SkippedText());
    Load("[A]\nClassName=NULL\nWindowName=NULL\nKey1=PgDn\n");
    EXPECT_EQ("Line 4 of KeyMap.ini is ignored: unknown key name \"PgDn\".", map.SkippedText());
    Load("[A]\nClassName=NULL\nWindowName=NULL\nKey1=PageDown\n");
    EXPECT_EQ("", map.SkippedText());
}

TEST_F(KeyMapTest, LimitsOfTheFile) {
    // A UTF-8 mark, long values cut at 254 characters, blanks trimmed.
    const std::string caption(300, 'c');
    Load("\xEF\xBB\xBF[Long]\nClassName = NULL \nWindowName=" + caption + "\n  Key1 =  A  \n");
    EXPECT_EQ(0x41, Typed("Any", caption.substr(0, 254), 1));
    EXPECT_EQ(0, Typed("Any", caption, 1));

    // 64 sections are read, the rest is reported once and ignored.
    std::string text;
    for (int i = 0; i < 70; ++i)
        text += "[S]\nClassName=C" + std::to_string(i) + "\nWindowName=NULL\nKey1=A\n";
    Load(text);
    EXPECT_EQ(CKeyMap::MAX_SECTIONS, map.GetSectionCount());
    EXPECT_EQ(0x41, Typed("C63", "", 1));
    EXPECT_EQ(0, Typed("C64", "", 1));
    EXPECT_EQ(1u, map.GetSkippedCount());
    EXPECT_EQ(CKeyMap::MAX_SECTIONS * 4 + 1, map.GetSkipped()[0].nLine);

    // Loading again replaces everything.
    Load("");
    EXPECT_EQ(0u, map.GetSectionCount());
    EXPECT_EQ(0u, map.GetSkippedCount());
}

TEST_F(KeyMapTest, AHugeFileIsReadOnlyInPart) {
    std::string sections;
    while (sections.size() <= CKeyMap::MAX_FILE_BYTES)
        sections += "[x]\nClassName=NULL\nWindowName=NULL\nKey1=A\n";
    Load(sections);
    EXPECT_EQ(CKeyMap::MAX_SECTIONS, map.GetSectionCount());
    EXPECT_EQ(2u, map.GetSkippedCount()) << "the sections past the limit, the bytes past 1 MB";
    map.Parse(nullptr, 10);
    EXPECT_EQ(0u, map.GetSectionCount());
}

TEST_F(KeyMapTest, TheInstalledTemplateReadsWithoutSkippedLines) {
    std::ifstream file(std::string(RC_SOURCE_DIR) + "/installer/KeyMap.ini", std::ios::binary);
    ASSERT_TRUE(file.good());
    Load(std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()));
    EXPECT_EQ("", map.SkippedText());
    EXPECT_EQ(0x22, Typed("AnyClass", "Any caption", 2));
    EXPECT_EQ(0xAE, Typed("AnyClass", "Any caption", 3, 1));
    EXPECT_EQ(0, Typed("AnyClass", "Any caption", 2, 1)) << "pages turn once per press";
    EXPECT_EQ(0x27, Typed("AnyClass", "Any caption", 18, 1));
    EXPECT_EQ(0xB2, Typed("AnyClass", "Any caption", 20));
    const CKeyMap::Rule held = map.Find({"AnyClass", "Any caption", ""}, 6, CKeyMap::Form::Long);
    ASSERT_NE(nullptr, held.pAction);
    EXPECT_EQ("B", held.pAction->Shown());
    const CKeyMap none;
    const CKeyMapLayers menu(map, none, "Menu");
    const CKeyMap::Window any{"AnyClass", "Any caption", ""};
    EXPECT_EQ("Menu Select", menu.Find(any, 5, CKeyMap::Form::Plain).action.Shown());
    EXPECT_EQ("Menu Back", menu.Find(any, 13, CKeyMap::Form::Plain).action.Shown());
    EXPECT_EQ("Menu", CKeyMapLayers(map, none).Find(any, 21, CKeyMap::Form::Plain).action.Shown());
}

// Every example section of the user guide reads as written.
TEST_F(KeyMapTest, TheGuidesExamplesReadWithoutSkippedLines) {
    std::ifstream file(std::string(RC_SOURCE_DIR) + "/docs/user-guide.md", std::ios::binary);
    ASSERT_TRUE(file.good());
    const std::string guide{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    int examples = 0;
    for (std::size_t start = guide.find("```ini\n"); start != std::string::npos;
         start = guide.find("```ini\n", start + 1)) {
        const std::size_t end = guide.find("```", start + 7);
        ASSERT_NE(std::string::npos, end);
        const std::string block = guide.substr(start + 7, end - start - 7);
        if (block.find('<') != std::string::npos)
            continue; // the format's template
        Load(block);
        EXPECT_EQ("", map.SkippedText()) << block;
        ++examples;
    }
    EXPECT_GE(examples, 5);
}

} // namespace
