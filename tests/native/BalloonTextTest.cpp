// Every balloon KV480 shows fits the tray's fields whole, in lines a balloon
// that does not wrap can show; a text that does not fit is cut at a
// character's end with "…".
#include "BringForwardRule.h"
#include "CBalloonText.h"
#include "CKeyMap.h"
#include "CKeyRouter.h"
#include "CRefusedPostNotice.h"
#include "ClassifyLircBind.h"
#include "PowerChoice.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Room left in the text field for a name or a path inserted into a template.
constexpr std::size_t INSERT_ROOM = 60;

bool FitsWhole(const std::string& text, std::size_t units) {
    return CBalloonText::Fit(text, units) == text;
}

TEST(BalloonText, TextsThatDoNotFitAreCutAtACharactersEndWithAnEllipsis) {
    EXPECT_EQ("abc", CBalloonText::Fit("abc", 4));
    EXPECT_EQ("ab\xE2\x80\xA6", CBalloonText::Fit("abcd", 4));
    EXPECT_EQ("a\xE2\x80\xA6", CBalloonText::Fit("a bcd", 4)) << "no space before the ellipsis";
    // U+1F600 takes a surrogate pair: it goes whole or not at all.
    const std::string face = "\xF0\x9F\x98\x80";
    EXPECT_EQ(5u, CBalloonText::Utf16Length("\xC3\xA9" + face + "\xE2\x80\xA6" + "x"));
    EXPECT_EQ("\xC3\xA9\xE2\x80\xA6", CBalloonText::Fit("\xC3\xA9" + face + "x", 4));
    EXPECT_EQ("\xC3\xA9" + face + "\xE2\x80\xA6", CBalloonText::Fit("\xC3\xA9" + face + "xy", 5));
    const std::string cut = CBalloonText::Fit(std::string(300, 'x'), CBalloonText::TEXT_UNITS);
    EXPECT_EQ(CBalloonText::TEXT_UNITS - 1, CBalloonText::Utf16Length(cut));
}

TEST(BalloonText, LinesBreakAtSpacesBeforeTheirLimit) {
    const std::string words = "Port 65535 is reserved by Windows (for Hyper-V, WSL or Docker), so "
                              "programs get no keys.";
    const std::string wrapped = CBalloonText::Wrapped(words);
    EXPECT_EQ("Port 65535 is reserved by Windows (for Hyper-V,\nWSL or Docker), so programs get "
              "no keys.",
              wrapped);
    const std::string path = "C:\\" + std::string(70, 'p') + " x";
    EXPECT_EQ("C:\\" + std::string(70, 'p') + "\nx", CBalloonText::Wrapped(path))
        << "a word longer than a line stays whole";
    EXPECT_EQ("a\nb c", CBalloonText::Wrapped("a\nb c"));
}

TEST(BalloonText, EveryBalloonOfKV480FitsWithTheLongestValuesItInserts) {
    for (const std::string& title : {CKeyRouter::KEY_MAP_TITLE, CKeyRouter::LOCKED_TITLE,
                                     LIRC_PORT_TAKEN_TITLE, CRefusedPostNotice::Title()}) {
        EXPECT_TRUE(FitsWhole(title, CBalloonText::TITLE_UNITS)) << title;
        EXPECT_EQ(0u, title.rfind("Remote Control: ", 0)) << title;
    }
    const std::size_t units = CBalloonText::TEXT_UNITS;
    // Whole texts and those whose inserts are bounded.
    const std::string longName(CRefusedPostNotice::MAX_NAME_LENGTH + 10, 'W');
    CKeyMap map;
    const std::string skipped = "[A]\nKey1=A\n[B]\n=x\n";
    map.Parse(skipped.data(), skipped.size());
    for (const std::string& text :
         {std::string(CKeyRouter::ELEVATED_TEXT), std::string(CKeyRouter::LOCKED_TEXT),
          "Restart" + std::string(CKeyRouter::UNASKED_TEXT),
          CRefusedPostNotice::Text(longName, longName), CRefusedPostNotice::Text("", longName),
          LircPortTakenText(65535, true), LircPortTakenText(65535, false),
          map.SkippedText("%APPDATA%\\Remote Control\\KeyMap.ini"),
          "Hibernate was refused by Windows. " +
              PowerChoice::ReasonOf(PowerChoice::Refusal::HibernationOff)}) {
        EXPECT_TRUE(FitsWhole(text, units)) << text;
    }
    // Templates around a name or path the user chose: room for a long one.
    const std::string runHead = "Line 9999 of %APPDATA%\\Remote Control\\KeyMap.ini: \"\" ";
    BringForwardRule::Started started;
    started.bWindowShown = true;
    for (const std::string& text :
         {runHead + BringForwardRule::ForRunning({}, ""),
          runHead + BringForwardRule::ForStarted(started, ""),
          "Restart was refused by Windows. " + std::string(INSERT_ROOM, 'r')}) {
        EXPECT_TRUE(FitsWhole(text + std::string(INSERT_ROOM, 'n'), units)) << text;
    }
}

} // namespace
