// The receiver's bytes through the pipeline: every consumer gets each press,
// repeat and release in the same order, and the release is the decoder's.
#include "CKeyPipeline.h"
#include "FakeKeyDesktop.h"
#include "FakeKeySink.h"
#include "HandDrivenClock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace {

using Log = std::vector<std::string>;
using Bytes = std::vector<std::uint8_t>;

class KeyPipelineTest : public ::testing::Test, protected HandDrivenClock {
protected:
    static constexpr IDesktopWindows::Window RECEIVER = 20;

    KeyPipelineTest() {
        desktop.windows[RECEIVER] = {"ReceiverClass", "Receiver", "receiver.exe"};
        desktop.receiving = RECEIVER;
        pipeline.SetAddress(0x12ED);
    }

    void Read(const Bytes& bytes, std::uint64_t afterMs) {
        Advance(afterMs);
        pipeline.Bytes(bytes.data(), bytes.size(), now);
    }
    Log Taken() { return std::exchange(desktop.log, {}); }

    FakeKeyDesktop desktop;
    FakeKeySink testDialog{desktop.log, "test"};
    FakeKeySink lirc{desktop.log, "lirc"};
    CKeyPipeline pipeline{clock, desktop, desktop, desktop, testDialog, lirc};
};

TEST_F(KeyPipelineTest, EachEventReachesTheTestDialogTheRouterAndLircInOrder) {
    EXPECT_EQ(0x12EDu, pipeline.GetAddress());
    Read({0x12, 0xED, 0x13}, 0); // VEKO key 1
    for (int i = 0; i < 6; ++i) {
        Read({0xAA, 0xAA, 0xAA}, 110);
    }
    Taken();
    // The hold time is over: the next repeat goes through, to everyone.
    Read({0xAA, 0xAA, 0xAA}, 110);
    EXPECT_EQ((Log{"test 1 1", "key 1 1 to 20", "lirc 1 1"}), Taken());
    // The decoder's release, when the frames stop: at RELEASE_TIME_MS after
    // the last one and no sooner, to the test dialog as to everyone.
    Advance(CFrameDecoder::RELEASE_TIME_MS - 1);
    EXPECT_TRUE(Taken().empty());
    Advance(1);
    EXPECT_EQ((Log{"test release 1", "release 1 0 to 20", "lirc release 1"}), Taken());
}

TEST_F(KeyPipelineTest, ANewPressEndsTheHoldBeforeItAndShutdownReleasesAtOnce) {
    Read({0x12, 0xED, 0x13}, 0);
    Read({0x12, 0xED, 0x1A}, 100);
    pipeline.ReleaseNow();
    EXPECT_EQ((Log{"test 1 0", "key 1 0 to 20", "lirc 1 0", "test release 1", "release 1 0 to 20",
                   "lirc release 1", "test 2 0", "key 2 0 to 20", "lirc 2 0", "test release 2",
                   "release 2 0 to 20", "lirc release 2"}),
              Taken());
    Advance(1000);
    EXPECT_TRUE(Taken().empty()) << "nothing is released twice";
}

} // namespace
