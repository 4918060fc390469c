// The simulator's frames must be what the resident program's decoder accepts:
// every key is checked by decoding the built frame.
#include "FrameBuilder.h"

#include "CFrameDecoder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

using Frame = FrameBuilder::Frame;

struct Event {
    int key;
    int repeat;
};

class Recorder : public CFrameDecoder::Listener {
public:
    void OnKeyEvent(int nKey, int nRepeat) override { events.push_back({nKey, nRepeat}); }
    void OnKeyRelease(int) override {}
    std::vector<Event> events;
};

// A decoder as the resident program sets it up for a remote of this type:
// a ZELMAR_OVI address is stored in the high byte.
class Receiver {
public:
    Receiver(RemoteType type, unsigned address) {
        decoder.SetAddress(type == RemoteType::Veko ? address : address << 8);
    }
    void Feed(const Frame& frame) { decoder.DecodeBytes(frame.data(), frame.size(), 0); }
    CDeadlineClock clock{[] { return std::uint64_t{0}; }};
    Recorder recorder;
    CFrameDecoder decoder{recorder, clock};
};

TEST(FrameBuilder, EveryKeyOfBothTypesDecodesToItself) {
    for (int key = RemoteKeys::FIRST_KEY; key <= RemoteKeys::LAST_KEY; ++key) {
        const RemoteType type =
            key <= RemoteKeys::LAST_VEKO_KEY ? RemoteType::Veko : RemoteType::ZelmarOvi;
        const unsigned address = type == RemoteType::Veko ? 0x12ED : 0x15;
        FrameBuilder builder;
        Receiver receiver(type, address);
        Frame frame{};
        ASSERT_TRUE(builder.Press(type, address, key, frame)) << "key " << key;
        receiver.Feed(frame);
        ASSERT_EQ(receiver.recorder.events.size(), 1u) << "key " << key;
        EXPECT_EQ(receiver.recorder.events[0].key, key);
        EXPECT_EQ(receiver.recorder.events[0].repeat, 0);
    }
}

TEST(FrameBuilder, KeysOfTheOtherTypeAndWideAddressesHaveNoFrame) {
    FrameBuilder builder(1);
    Frame frame{0x11, 0x22, 0x33};
    EXPECT_FALSE(builder.Press(RemoteType::Veko, 0x12ED, 7, frame));
    EXPECT_FALSE(builder.Press(RemoteType::ZelmarOvi, 1, 6, frame));
    EXPECT_FALSE(builder.Press(RemoteType::ZelmarOvi, 1, 0, frame));
    EXPECT_FALSE(builder.Press(RemoteType::ZelmarOvi, 1, 24, frame));
    EXPECT_FALSE(builder.Repeat(RemoteType::Veko, 0x12ED, 23, frame));
    EXPECT_FALSE(builder.Press(RemoteType::Veko, 0x10000, 1, frame));
    // A sixth address bit would land on the toggle bit.
    EXPECT_FALSE(builder.Press(RemoteType::ZelmarOvi, 0x20, 7, frame));
    EXPECT_EQ(frame, (Frame{0x11, 0x22, 0x33}));
    EXPECT_EQ(builder.GetNextToggle(), 1); // failed presses do not flip it
}

TEST(FrameBuilder, AddressesAreEncodedAsTheReceiverSendsThem) {
    FrameBuilder builder;
    Frame frame{};
    ASSERT_TRUE(builder.Press(RemoteType::Veko, 0x12ED, 1, frame));
    EXPECT_EQ(frame, (Frame{0x12, 0xED, 0x13})); // high byte first
    ASSERT_TRUE(builder.Press(RemoteType::Veko, 0x0000, 5, frame));
    EXPECT_EQ(frame, (Frame{0x00, 0x00, 0x00}));
    ASSERT_TRUE(builder.Press(RemoteType::Veko, 0xFFFF, 2, frame));
    EXPECT_EQ(frame, (Frame{0xFF, 0xFF, 0x1A}));

    ASSERT_TRUE(builder.Press(RemoteType::ZelmarOvi, 0x1F, 7, frame)); // toggle 0
    EXPECT_EQ(frame, (Frame{0x5A, 0x1F, 0x04}));
    ASSERT_TRUE(builder.Press(RemoteType::ZelmarOvi, 0x00, 21, frame)); // toggle 1
    EXPECT_EQ(frame, (Frame{0x5A, 0x20, 0x00}));
}

TEST(FrameBuilder, EachZelmarPressFlipsTheToggleAndRepeatsKeepIt) {
    FrameBuilder builder(1);
    Frame frame{};
    Frame repeat{};
    ASSERT_TRUE(builder.Press(RemoteType::ZelmarOvi, 3, 15, frame));
    EXPECT_EQ(frame[1], 0x23);
    ASSERT_TRUE(builder.Repeat(RemoteType::ZelmarOvi, 3, 15, repeat));
    EXPECT_EQ(repeat, frame);
    ASSERT_TRUE(builder.Press(RemoteType::ZelmarOvi, 3, 15, frame));
    EXPECT_EQ(frame[1], 0x03);
    ASSERT_TRUE(builder.Repeat(RemoteType::ZelmarOvi, 3, 15, repeat));
    EXPECT_EQ(repeat, frame);

    // VEKO presses leave the toggle alone.
    ASSERT_TRUE(builder.Press(RemoteType::Veko, 0x12ED, 1, frame));
    EXPECT_EQ(builder.GetNextToggle(), 1);

    builder.SetNextToggle(0);
    ASSERT_TRUE(builder.Press(RemoteType::ZelmarOvi, 3, 15, frame));
    EXPECT_EQ(frame[1], 0x03);
    builder.SetNextToggle(7); // any nonzero value is 1
    EXPECT_EQ(builder.GetNextToggle(), 1);
}

TEST(FrameBuilder, HeldKeysDecodeAsPressThenRepeats) {
    for (const RemoteType type : {RemoteType::Veko, RemoteType::ZelmarOvi}) {
        const unsigned address = type == RemoteType::Veko ? 0x34CB : 0x09;
        const int key = type == RemoteType::Veko ? 4 : 18;
        FrameBuilder builder;
        Receiver receiver(type, address);
        Frame press{};
        Frame repeat{};
        ASSERT_TRUE(builder.Press(type, address, key, press));
        ASSERT_TRUE(builder.Repeat(type, address, key, repeat));
        receiver.Feed(press);
        receiver.decoder.HoldExpired();
        receiver.Feed(repeat);
        receiver.Feed(repeat);
        // A second press of the same key is a new press, not another repeat.
        ASSERT_TRUE(builder.Press(type, address, key, press));
        receiver.Feed(press);

        const std::vector<Event>& events = receiver.recorder.events;
        ASSERT_EQ(events.size(), 4u) << RemoteKeys::TypeName(type);
        const int expectedRepeat[] = {0, 1, 1, 0};
        for (std::size_t i = 0; i < events.size(); ++i) {
            EXPECT_EQ(events[i].key, key);
            EXPECT_EQ(events[i].repeat, expectedRepeat[i]) << "event " << i;
        }
    }
}

} // namespace
