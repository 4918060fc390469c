// Key names and the demo receiving application's texts and command line.
#include "DemoOptions.h"
#include "KeyEventText.h"
#include "RemoteKeys.h"
#include "Timestamp.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>

namespace {

TEST(RemoteKeys, EveryKeyHasAUniqueNameThatFindsItAgain) {
    std::set<std::string> names;
    for (int key = RemoteKeys::FIRST_KEY; key <= RemoteKeys::LAST_KEY; ++key) {
        const char* name = RemoteKeys::Name(key);
        ASSERT_NE(name, nullptr) << key;
        EXPECT_TRUE(names.insert(name).second) << name;
        EXPECT_EQ(RemoteKeys::FromName(name), key) << name;
    }
    EXPECT_EQ(RemoteKeys::Name(0), nullptr);
    EXPECT_EQ(RemoteKeys::Name(24), nullptr);
    EXPECT_EQ(RemoteKeys::Name(-1), nullptr);
}

TEST(RemoteKeys, NameLookupFoldsCaseAndSeparatorsOnly) {
    EXPECT_EQ(RemoteKeys::FromName("ARROW_UP"), 15);
    EXPECT_EQ(RemoteKeys::FromName("arrow-up"), 15);
    EXPECT_EQ(RemoteKeys::FromName("esc"), 13);
    EXPECT_EQ(RemoteKeys::FromName("arrow"), 0);
    EXPECT_EQ(RemoteKeys::FromName("arrow upx"), 0);
    EXPECT_EQ(RemoteKeys::FromName("arrowup"), 0);
    EXPECT_EQ(RemoteKeys::FromName(""), 0);
    EXPECT_EQ(RemoteKeys::FromName(std::string("F1\0", 3)), 0);
}

TEST(RemoteKeys, OnlyKeyNumbersAndRepeatFlagsAreKeyMessages) {
    EXPECT_TRUE(RemoteKeys::IsKeyMessage(1, 0));
    EXPECT_TRUE(RemoteKeys::IsKeyMessage(23, 1));
    EXPECT_FALSE(RemoteKeys::IsKeyMessage(0, 0));
    EXPECT_FALSE(RemoteKeys::IsKeyMessage(24, 0));
    EXPECT_FALSE(RemoteKeys::IsKeyMessage(static_cast<std::uintptr_t>(-1), 0));
    // A wParam whose low 32 bits alone are a key number is not one.
    const std::uint64_t wide = UINT64_C(0x100000001);
    if (wide <= UINTPTR_MAX) {
        EXPECT_FALSE(RemoteKeys::IsKeyMessage(static_cast<std::uintptr_t>(wide), 0));
    }
    EXPECT_FALSE(RemoteKeys::IsKeyMessage(1, 2));
    EXPECT_FALSE(RemoteKeys::IsKeyMessage(1, -1));
}

TEST(KeyEventText, ListAndLogLines) {
    EXPECT_EQ(KeyEventText::ListEntry(15, 1), "15  Arrow up  repeat");
    EXPECT_EQ(KeyEventText::ListEntry(1, 0), "1  Top left  press");
    EXPECT_EQ(KeyEventText::LogLine(22, 0, 1234567),
              "time=1234.567 key=22 repeat=0 name=Right of question mark\n");
    EXPECT_EQ(KeyEventText::LogLine(99, 1, 5), "time=0.005 key=99 repeat=1 name=?\n");
    EXPECT_EQ(KeyEventText::ReleaseListEntry(15), "15  Arrow up  release");
    EXPECT_EQ(KeyEventText::ReleaseLogLine(7, 5), "time=0.005 key=7 release=1 name=F1\n");
}

TEST(Timestamp, CounterValuesBecomeMicrosecondsWithoutOverflow) {
    EXPECT_EQ(Timestamp::Microseconds(10000000, 10000000), 1000000u);
    EXPECT_EQ(Timestamp::Microseconds(15, 10), 1500000u);
    EXPECT_EQ(Timestamp::Microseconds(5, 0), 0u);
    // A 10 MHz counter after about 58000 years: naive count * 1e6 would wrap.
    const std::uint64_t count = UINT64_C(18446744073709551615);
    EXPECT_EQ(Timestamp::Microseconds(count, 10000000), count / 10);
    const std::uint64_t thz = UINT64_C(1000000000000);
    EXPECT_EQ(Timestamp::Microseconds(thz + thz / 2, thz), 1500000u);
    EXPECT_EQ(Timestamp::FormatMs(0), "0.000");
    EXPECT_EQ(Timestamp::FormatMs(1000001), "1000.001");
}

TEST(DemoOptions, DefaultsAndOverrides) {
    DemoOptions options;
    std::string error;
    ASSERT_TRUE(options.Parse({}, error)) << error;
    EXPECT_EQ(options.className, "KV480DemoReceiver");
    EXPECT_EQ(options.caption, "Remote Control Demo");
    EXPECT_TRUE(options.logPath.empty());
    EXPECT_EQ(options.start, DemoOptions::Start::Normal);

    ASSERT_TRUE(options.Parse(
        {"--log", "Z:\\tmp\\k.log", "--class", "Second", "--caption", "Second demo", "--hidden"},
        error))
        << error;
    EXPECT_EQ(options.logPath, "Z:\\tmp\\k.log");
    EXPECT_EQ(options.className, "Second");
    EXPECT_EQ(options.caption, "Second demo");
    EXPECT_EQ(options.start, DemoOptions::Start::Hidden);

    DemoOptions minimized;
    ASSERT_TRUE(minimized.Parse({"--minimized"}, error));
    EXPECT_EQ(minimized.start, DemoOptions::Start::Minimized);
}

TEST(DemoOptions, BadArgumentsAreRejected) {
    const std::string tooLong(DemoOptions::MAX_NAME + 1, 'c');
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"--log"},
                                               {"--log", ""},
                                               {"--class"},
                                               {"--class", ""},
                                               {"--class", tooLong},
                                               {"--caption", tooLong},
                                               {"--minimized", "--hidden"},
                                               {"--loud"},
                                               {"extra"}}) {
        DemoOptions options;
        std::string error;
        EXPECT_FALSE(options.Parse(args, error)) << args[0];
        EXPECT_FALSE(error.empty());
        EXPECT_LT(error.size(), 200u);
    }
    DemoOptions options;
    std::string error;
    EXPECT_TRUE(options.Parse({"--class", std::string(DemoOptions::MAX_NAME, 'c')}, error));
}

} // namespace
