// The user hears once per window that refused a key, and the text fits a
// balloon whatever the window is called.
#include "CRefusedPostNotice.h"

#include <gtest/gtest.h>

#include <string>

TEST(RefusedPostNotice, TellsOncePerWindowAndForgetsTheOldest) {
    CRefusedPostNotice notice;
    EXPECT_TRUE(notice.ShouldTell(0x100));
    notice.Told(0x100);
    notice.Told(0x100);
    EXPECT_FALSE(notice.ShouldTell(0x100));
    EXPECT_TRUE(notice.ShouldTell(0x200));

    for (std::uintptr_t window = 1; window <= CRefusedPostNotice::MAX_WINDOWS - 1; ++window) {
        notice.Told(window);
    }
    EXPECT_FALSE(notice.ShouldTell(0x100));
    notice.Told(0x200);
    EXPECT_TRUE(notice.ShouldTell(0x100));
    EXPECT_FALSE(notice.ShouldTell(0x200));
}

TEST(RefusedPostNotice, TextNamesTheWindowAndFitsABalloon) {
    EXPECT_NE(std::string::npos,
              CRefusedPostNotice::Text("Player", "PlayerClass").find("\"Player\""));
    EXPECT_NE(std::string::npos, CRefusedPostNotice::Text("", "PlayerClass").find("PlayerClass"));
    // The balloon's text field holds 255 characters.
    const std::string longName(1000, 'x');
    EXPECT_LT(CRefusedPostNotice::Text(longName, longName).size(), 256u);
    EXPECT_LT(CRefusedPostNotice::Text("", longName).size(), 256u);
    // A shortened name ends with a whole character: "é" is two bytes.
    std::string accents;
    for (int i = 0; i < 40; ++i)
        accents += "\xC3\xA9";
    const std::string text = CRefusedPostNotice::Text(accents, "");
    EXPECT_EQ(0u, text.rfind("\"" + accents.substr(0, 56) + "...\"", 0)) << text;
}
