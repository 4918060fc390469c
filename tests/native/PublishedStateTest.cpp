#include <gtest/gtest.h>

#include "PublishedStates.h"

namespace {

using Status = CPublishedState::Status;
using Type = CPublishedState::Value::Type;
const std::string kUserFile = "C:\\Users\\ann\\AppData\\Roaming\\Remote Control\\KeyMap.ini";

TEST(PublishedStateTest, AnEntryOfARunningKV480TellsWhatItReadsAndTheMode) {
    const CPublishedState normal = ReadPublished(RunningValues(false, kUserFile, "Mouse"));
    EXPECT_EQ(Status::Running, normal.GetStatus());
    EXPECT_EQ("6.1.0.0", normal.GetVersion());
    EXPECT_TRUE(normal.ReadsUserFile(kUserFile));
    EXPECT_FALSE(normal.ReadsUserFile("C:\\Users\\bob\\KeyMap.ini"));
    EXPECT_FALSE(normal.OffersRestart());
    EXPECT_EQ("KV480 is running and uses your key map: saved changes work from the next key "
              "press. The mode \"Mouse\" is on.",
              normal.Banner(kUserFile));
    EXPECT_EQ("KV480 uses it from the next key press.", normal.SavedEffect(kUserFile));

    const CPublishedState elevated = ReadPublished(RunningValues(true, kUserFile));
    EXPECT_TRUE(elevated.IsElevated());
    EXPECT_FALSE(elevated.ReadsUserFile(kUserFile));
    EXPECT_TRUE(elevated.OffersRestart());
    EXPECT_EQ("KV480 is running with administrator rights and uses only the installation's key "
              "map: your changes take effect when KV480 runs normally.",
              elevated.Banner(kUserFile));
    EXPECT_EQ("KV480 uses it once it runs normally, not as administrator.",
              elevated.SavedEffect(kUserFile));
    EXPECT_NE(normal, elevated);
    EXPECT_EQ(elevated, ReadPublished(RunningValues(true, kUserFile)));
}

TEST(PublishedStateTest, NoEntryOrOneLeftByAnEndedKV480MeansNotRunning) {
    PublishedValues values = RunningValues(false, kUserFile);
    for (std::uint32_t nProcess : {0u, 43u, 44u}) {
        values[CPublishedState::VALUE_PROCESS] = Number(nProcess);
        const CPublishedState state = ReadPublished(values);
        EXPECT_EQ(Status::NotRunning, state.GetStatus()) << nProcess;
        EXPECT_FALSE(state.ReadsUserFile(kUserFile));
    }
    const CPublishedState none = ReadPublished({});
    EXPECT_EQ(Status::NotRunning, none.GetStatus());
    EXPECT_EQ(0u, none.Banner(kUserFile).find("KV480 is not running: "));
    EXPECT_EQ("KV480 uses it once it starts.", none.SavedEffect(kUserFile));
}

TEST(PublishedStateTest, BadDataIsDamagedAndClaimsNoEffect) {
    const CPublishedState::Value other{Type::Other, 0, ""};
    const std::pair<const char*, CPublishedState::Value> bad[] = {
        {CPublishedState::VALUE_PROCESS, other},
        {CPublishedState::VALUE_PROCESS, Text("42")},
        {CPublishedState::VALUE_ELEVATED, Text("1")},
        {CPublishedState::VALUE_ELEVATED, Number(7)},
        {CPublishedState::VALUE_ELEVATED, CPublishedState::Value()},
        {CPublishedState::VALUE_USER_FILE, Number(1)},
        {CPublishedState::VALUE_USER_FILE, other}, // too long, or a wrong type
        {CPublishedState::VALUE_MODE, other},
    };
    for (const auto& value : bad) {
        PublishedValues values = RunningValues(false, kUserFile, "Mouse");
        values[value.first] = value.second;
        const CPublishedState state = ReadPublished(values);
        EXPECT_EQ(Status::Damaged, state.GetStatus()) << value.first;
        EXPECT_FALSE(state.ReadsUserFile(kUserFile)) << value.first;
        EXPECT_FALSE(state.OffersRestart()) << value.first;
        EXPECT_EQ("", state.GetMode()) << value.first;
        EXPECT_EQ(0u, state.Banner(kUserFile).find("KV480 is running, but cannot tell"));
        EXPECT_EQ("KV480 may not use it until it starts again.", state.SavedEffect(kUserFile));
    }
    PublishedValues values = RunningValues(false, kUserFile);
    values.erase(CPublishedState::VALUE_MODE);
    EXPECT_EQ(Status::Running, ReadPublished(values).GetStatus()) << "no mode written: none on";
}

} // namespace
