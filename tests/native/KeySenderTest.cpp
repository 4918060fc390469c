// The key sender's timing and the command lines of the two window tools.
#include "KeyPostPlan.h"
#include "KeySenderOptions.h"
#include "RecvAppCheckOptions.h"

#include <gtest/gtest.h>

namespace {

using Kind = KeyPostPlan::Kind;

std::string Text(const std::vector<KeyPostPlan::Post>& posts) {
    std::string text;
    for (const KeyPostPlan::Post& post : posts) {
        text += (post.kind == Kind::Press    ? "P"
                 : post.kind == Kind::Repeat ? "r"
                                             : "R") +
                std::to_string(post.atMs) + " ";
    }
    return text;
}

TEST(KeyPostPlan, RepeatsAfterTheHoldTimeAndReleaseAfterTheLastFrame) {
    EXPECT_EQ(Text(KeyPostPlan::Plan(0, 110)), "P0 R400 ");
    // Frames at 110..440 are dropped, yet the release counts from the last one.
    EXPECT_EQ(Text(KeyPostPlan::Plan(450, 110)), "P0 R840 ");
    EXPECT_EQ(Text(KeyPostPlan::Plan(800, 110)), "P0 r550 r660 r770 R1170 ");
    EXPECT_EQ(Text(KeyPostPlan::Plan(1000, 250)), "P0 r500 r750 r1000 R1400 ");
}

KeySenderOptions Sender(const std::vector<std::string>& args, std::string* error = nullptr) {
    KeySenderOptions options;
    std::string message;
    const bool ok = options.Parse(args, message);
    if (error != nullptr) {
        *error = ok ? "" : message;
    } else {
        EXPECT_TRUE(ok) << message;
    }
    return options;
}

TEST(KeySenderOptions, TargetsKeysAndHolds) {
    KeySenderOptions options = Sender({"press", "arrow-up"});
    EXPECT_EQ(options.target, KeySenderOptions::Target::Settings);
    EXPECT_EQ(options.key, 15);
    EXPECT_EQ(options.holdMs, 0u);
    EXPECT_EQ(options.intervalMs, 110u);

    options = Sender({"--ini", "C:\\x\\RecvApp.ini", "hold", "7", "1200", "--interval=100"});
    EXPECT_EQ(options.target, KeySenderOptions::Target::Ini);
    EXPECT_EQ(options.iniPath, "C:\\x\\RecvApp.ini");
    EXPECT_EQ(options.key, 7);
    EXPECT_EQ(options.holdMs, 1200u);
    EXPECT_EQ(options.intervalMs, 100u);

    options = Sender({"--caption", "Remote Control Demo", "--quiet", "press", "F1"});
    EXPECT_EQ(options.target, KeySenderOptions::Target::Window);
    EXPECT_EQ(options.className, "");
    EXPECT_EQ(options.caption, "Remote Control Demo");
    EXPECT_TRUE(options.quiet);
    EXPECT_TRUE(Sender({"--help", "bogus"}).help);
}

TEST(KeySenderOptions, RejectsWhatCannotBeSent) {
    std::string error;
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {},
             {"press"},
             {"press", "24"},
             {"press", "0"},
             {"press", "arrow"},
             {"press", "1", "2"},
             {"hold", "1"},
             {"hold", "1", "-5"},
             {"hold", "1", "3600001"},
             {"hold", "1", "100", "--interval", "0"},
             {"--interval"},
             {"--ini", "a.ini", "--class", "X", "press", "1"},
             {"--class", "", "press", "1"},
             {"--class", std::string(256, 'c'), "press", "1"},
             {"--ini"},
             {"--bogus", "press", "1"},
             {"tap", "1"},
         }) {
        Sender(args, &error);
        EXPECT_FALSE(error.empty()) << ::testing::PrintToString(args);
    }
}

TEST(RecvAppCheckOptions, IniOrNothing) {
    RecvAppCheckOptions options;
    std::string error;
    EXPECT_TRUE(options.Parse({}, error));
    EXPECT_TRUE(options.iniPath.empty());
    EXPECT_TRUE(options.Parse({"--ini=Z:\\a b\\RecvApp.ini"}, error));
    EXPECT_EQ(options.iniPath, "Z:\\a b\\RecvApp.ini");
    EXPECT_FALSE(RecvAppCheckOptions().Parse({"--ini"}, error));
    EXPECT_FALSE(RecvAppCheckOptions().Parse({"extra"}, error));
}

} // namespace
