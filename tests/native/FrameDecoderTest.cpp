#include "CFrameDecoder.h"
#include "ExpectedKeys.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// One outward call of the decoder; nRepeat RELEASED marks a release.
constexpr int RELEASED = 2;
struct Call {
    int nKey;
    int nRepeat;
    bool operator==(const Call& other) const {
        return nKey == other.nKey && nRepeat == other.nRepeat;
    }
};

std::ostream& operator<<(std::ostream& os, const Call& call) {
    if (call.nRepeat == RELEASED) {
        return os << "Release(" << call.nKey << ")";
    }
    return os << "Key(" << call.nKey << "," << call.nRepeat << ")";
}

Call Press(int nKey) {
    return {nKey, 0};
}
Call Rep(int nKey) {
    return {nKey, 1};
}
Call Rel(int nKey) {
    return {nKey, RELEASED};
}

class RecordingListener : public CFrameDecoder::Listener {
public:
    void OnKeyEvent(int nKey, int nRepeat) override { calls.push_back({nKey, nRepeat}); }
    void OnKeyRelease(int nKey) override { calls.push_back(Rel(nKey)); }
    std::vector<Call> calls;
};

// Remote address used by most cases: VEKO 0x12/0xED; its high byte also serves
// as a ZELMAR_OVI address, so frames 5A 12 xx (toggle 0) and 5A 32 xx (toggle 1)
// are ours.
constexpr std::uint32_t ADDRESS = 0x12ED;

class FrameDecoderTest : public ::testing::Test {
protected:
    FrameDecoderTest() { decoder.SetAddress(ADDRESS); }
    // Feeds a chunk read nAfterMs after the previous one: by default too late
    // to go on with its frame, soon enough to go on with a hold.
    void Feed(const Bytes& bytes, std::uint64_t nAfterMs = STEP_MS) {
        nNowMs += nAfterMs;
        decoder.DecodeBytes(bytes.data(), bytes.size(), nNowMs);
    }
    // Feeds a chunk, lets the hold time pass and forgets the calls it made.
    void Prime(const Bytes& bytes) {
        Feed(bytes);
        decoder.HoldExpired();
        listener.calls.clear();
    }
    // The clock reaches nAfterMs later, running every deadline on the way.
    void Advance(std::uint64_t nAfterMs) {
        const std::uint64_t nUntilMs = nNowMs + nAfterMs;
        std::uint64_t nDueMs = 0;
        while (clock.NextDeadline(nDueMs) && nDueMs <= nUntilMs) {
            nNowMs = std::max(nNowMs, nDueMs);
            clock.RunDue();
        }
        nNowMs = nUntilMs;
    }
    void ExpectState(int nLastKey, int nLastToggle, int bHold) const {
        EXPECT_EQ(decoder.GetLastKey(), nLastKey);
        EXPECT_EQ(decoder.GetLastToggle(), nLastToggle);
        EXPECT_EQ(decoder.IsHold(), bHold != 0);
    }

    static constexpr std::uint64_t STEP_MS = 100;
    std::uint64_t nNowMs = 1000;
    CDeadlineClock clock{[this] { return nNowMs; }};
    RecordingListener listener;
    CFrameDecoder decoder{listener, clock};
};

TEST_F(FrameDecoderTest, StartsEmptyAndSplitsTheAddress) {
    RecordingListener other;
    CFrameDecoder fresh(other, clock);
    EXPECT_EQ(fresh.GetAddrHigh(), 0);
    EXPECT_EQ(fresh.GetAddrLow(), 0);
    EXPECT_EQ(fresh.GetLastKey(), -1);
    EXPECT_EQ(fresh.GetLastToggle(), -1);
    EXPECT_FALSE(fresh.IsHold());

    fresh.SetAddress(0xABCD12EDu);
    EXPECT_EQ(fresh.GetAddrHigh(), 0x12);
    EXPECT_EQ(fresh.GetAddrLow(), 0xED);
}

// One case per row of the decoding table, plus the precedence and used-up byte
// cases. Each runs a priming chunk (after which the hold time has passed),
// then the chunk under test, possibly with the hold still set by a press.
struct RowCase {
    const char* name;
    std::uint32_t dwAddress;
    Bytes prime;
    Bytes chunk;
    std::vector<Call> expected;
    int nLastKey, nLastToggle, bHold;
};

// Keeps the listed test names stable and readable (the default prints bytes).
void PrintTo(const RowCase& row, std::ostream* os) {
    *os << row.name;
}

class FrameDecoderRowTest : public FrameDecoderTest,
                            public ::testing::WithParamInterface<RowCase> {};

TEST_P(FrameDecoderRowTest, Row) {
    const RowCase& row = GetParam();
    decoder.SetAddress(row.dwAddress);
    Prime(row.prime);
    Feed(row.chunk);
    EXPECT_EQ(listener.calls, row.expected);
    ExpectState(row.nLastKey, row.nLastToggle, row.bHold);
}

// clang-format off
const RowCase ROWS[] = {
    // name, address, priming chunk, chunk, expected calls; then last key, toggle, hold
    {"S0_OtherByteDropped", ADDRESS, {}, {0x01, 0x12, 0xED, 0x13}, {Press(1)}, 1, -1, 1},
    {"S0_RepeatBeforeAnyVekoKey", ADDRESS, {}, {0xAA, 0xAA, 0xAA}, {}, -1, -1, 0},
    {"S0_ZelmarPressArmsNoRepeat", ADDRESS, {0x5A, 0x12, 0x04}, {0xAA, 0xAA, 0xAA}, {}, -1, 0, 0},
    {"S0_LeadByteBeatsHighByte5A", 0x5AA5, {}, {0x5A, 0xA5, 0x13}, {}, -1, -1, 0},
    {"S0_HighByteAABeatsRepeat", 0xAA55, {0xAA, 0x55, 0x13}, {0xAA, 0xAA, 0xAA}, {}, 1, -1, 0},
    {"S1_LowByteMismatchUsesUpLead", ADDRESS, {}, {0x12, 0x5A, 0x12, 0x02}, {}, -1, -1, 0},
    {"S1_ExampleChunk", ADDRESS, {}, {0x12, 0x5A, 0x01, 0x02}, {}, -1, -1, 0},
    {"S1_OtherVekoAddress", ADDRESS, {}, {0x12, 0xEE, 0x13}, {}, -1, -1, 0},
    {"S2_KnownCodePresses", ADDRESS, {}, {0x12, 0xED, 0x13}, {Press(1)}, 1, -1, 1},
    {"S2_TwoFramesTwoPresses", ADDRESS, {}, {0x12, 0xED, 0x13, 0x12, 0xED, 0x13},
        {Press(1), Rel(1), Press(1)}, 1, -1, 1},
    {"S2_UnknownCodeKeepsState", ADDRESS, {0x12, 0xED, 0x1A}, {0x12, 0xED, 0x01}, {}, 2, -1, 0},
    {"S2_UnknownCodeUsesUpLead", ADDRESS, {}, {0x12, 0xED, 0x5A, 0x12, 0x04}, {}, -1, -1, 0},
    {"S3_OtherByteUsedUp", ADDRESS, {0x12, 0xED, 0x13}, {0xAA, 0x12, 0xED, 0x13}, {}, 1, -1, 0},
    {"S4_RepeatsLastVekoKey", ADDRESS, {0x12, 0xED, 0x11}, {0xAA, 0xAA, 0xAA}, {Rep(3)}, 3, -1, 0},
    {"S4_OtherByteUsedUp", ADDRESS, {0x12, 0xED, 0x11}, {0xAA, 0xAA, 0x12, 0xED, 0x13}, {},
        3, -1, 0},
    {"S4_HeldDropsRepeat", ADDRESS, {0x12, 0xED, 0x11}, {0x12, 0xED, 0x10, 0xAA, 0xAA, 0xAA},
        {Rel(3), Press(4)}, 4, -1, 1},
    {"S5_OtherAddressKeepsToggle", ADDRESS, {0x5A, 0x32, 0x04}, {0x5A, 0x13, 0x04}, {}, -1, 1, 0},
    {"S5_Bits6And7Ignored", ADDRESS, {}, {0x5A, 0xD2, 0x04}, {Press(7)}, -1, 0, 1},
    {"S5_FirstFrameToggle1Presses", ADDRESS, {}, {0x5A, 0x32, 0x04}, {Press(7)}, -1, 1, 1},
    {"S6_SameKeyRepeats", ADDRESS, {0x5A, 0x12, 0x04}, {0x5A, 0x52, 0x04}, {Rep(7)}, -1, 0, 0},
    {"S6_OtherKeyIsNewPress", ADDRESS, {0x5A, 0x12, 0x04}, {0x5A, 0x52, 0x05},
        {Rel(7), Press(19)}, -1, 0, 1},
    {"S6_UnknownCodeNothing", ADDRESS, {0x5A, 0x12, 0x04}, {0x5A, 0x12, 0x06}, {}, -1, 0, 0},
    {"S6_HeldDropsRepeat", ADDRESS, {}, {0x5A, 0x12, 0x04, 0x5A, 0x12, 0x04},
        {Press(7)}, -1, 0, 1},
    {"S7_ChangedTogglePressesSameKey", ADDRESS, {0x12, 0xED, 0x00, 0x5A, 0x12, 0x04},
        {0x5A, 0x32, 0x04}, {Rel(7), Press(7)}, 5, 1, 1},
    {"S7_UnknownCodeStoresToggle", ADDRESS, {0x5A, 0x12, 0x04},
        {0x5A, 0x32, 0x06, 0x5A, 0x32, 0x08}, {Rel(7), Press(23)}, -1, 1, 1},
    {"S7_PressWhileHeld", ADDRESS, {}, {0x5A, 0x12, 0x04, 0x5A, 0x32, 0x14},
        {Press(7), Rel(7), Press(9)}, -1, 1, 1},
    // ZELMAR_OVI address stored as its five bits in the high byte
    {"Zelmar_StoredAddressAccepted", 0x0B00, {}, {0x5A, 0x2B, 0x13}, {Press(12)}, -1, 1, 1},
    {"Zelmar_LowByteIgnored", 0x0BFF, {}, {0x5A, 0x0B, 0x13}, {Press(12)}, -1, 0, 1},
    {"Zelmar_OtherAddressDropped", 0x0B00, {}, {0x5A, 0x0C, 0x13, 0x5A, 0x2A, 0x13}, {}, -1, -1, 0},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(States, FrameDecoderRowTest, ::testing::ValuesIn(ROWS),
                         [](const ::testing::TestParamInfo<RowCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(FrameDecoderTableTest, VekoComplete) {
    for (int nCode = 0; nCode <= 0xFF; ++nCode) {
        CDeadlineClock clock{[] { return std::uint64_t{0}; }};
        RecordingListener rec;
        CFrameDecoder fresh(rec, clock);
        fresh.SetAddress(ADDRESS);
        const std::uint8_t frame[] = {0x12, 0xED, static_cast<std::uint8_t>(nCode)};
        fresh.DecodeBytes(frame, sizeof(frame), 0);
        const int nKey = ExpectedVekoKey(static_cast<std::uint8_t>(nCode));
        const std::vector<Call> expected =
            nKey == 0 ? std::vector<Call>{} : std::vector<Call>{Press(nKey)};
        EXPECT_EQ(rec.calls, expected) << "code " << nCode;
        EXPECT_EQ(fresh.GetLastKey(), nKey == 0 ? -1 : nKey) << "code " << nCode;
        EXPECT_EQ(fresh.IsHold(), nKey != 0) << "code " << nCode;
    }
}

TEST(FrameDecoderTableTest, ZelmarComplete) {
    for (int nCode = 0; nCode <= 0xFF; ++nCode) {
        CDeadlineClock clock{[] { return std::uint64_t{0}; }};
        RecordingListener rec;
        CFrameDecoder fresh(rec, clock);
        fresh.SetAddress(ADDRESS);
        const std::uint8_t frame[] = {0x5A, 0x12, static_cast<std::uint8_t>(nCode)};
        fresh.DecodeBytes(frame, sizeof(frame), 0);
        const int nKey = ExpectedZelmarKey(static_cast<std::uint8_t>(nCode));
        const std::vector<Call> expected =
            nKey == 0 ? std::vector<Call>{} : std::vector<Call>{Press(nKey)};
        EXPECT_EQ(rec.calls, expected) << "code " << nCode;
        EXPECT_EQ(fresh.GetLastKey(), -1);
        EXPECT_EQ(fresh.GetLastToggle(), 0);
    }
}

// USB adapters cut frames into packets about 16 ms apart.
TEST_F(FrameDecoderTest, FrameGoesOnInAChunkReadWithin60Ms) {
    Feed({0x12});
    Feed({0xED, 0x13}, 28);
    Feed({0x5A, 0x32});
    Feed({0x04}, CFrameDecoder::CHUNK_JOIN_MS);
    EXPECT_EQ(listener.calls, (std::vector<Call>{Press(1), Rel(1), Press(7)}));
    listener.calls.clear();

    // After a longer pause the next chunk starts between frames; the toggle of
    // a frame cut after its address byte stays stored.
    Feed({0x12, 0xED}, 500);
    Feed({0x13}, 150);
    Feed({0x5A, 0x12});
    Feed({0x04}, CFrameDecoder::CHUNK_JOIN_MS + 1);
    EXPECT_EQ(listener.calls, std::vector<Call>{Rel(7)});
    ExpectState(1, 0, 1);
}

TEST_F(FrameDecoderTest, EmptyChunkDoesNothing) {
    Prime({0x12, 0xED, 0x13, 0x5A, 0x32, 0x04});
    const std::uint8_t byte = 0xAA;
    decoder.DecodeBytes(&byte, 0, nNowMs);
    decoder.DecodeBytes(nullptr, 0, nNowMs);
    EXPECT_TRUE(listener.calls.empty());
    ExpectState(1, 1, 0);
}

TEST_F(FrameDecoderTest, HoldTimeDropsRepeatsYetTheyKeepTheHold) {
    // Repeats every 110 ms: those inside the hold time are dropped, but carry
    // the hold over to the repeats after it.
    Feed({0x12, 0xED, 0x13});
    for (int i = 0; i < 4; ++i) {
        Feed({0xAA, 0xAA, 0xAA}, 110);
    }
    EXPECT_EQ(listener.calls, (std::vector<Call>{Press(1)}));
    decoder.HoldExpired();
    Feed({0xAA, 0xAA, 0xAA}, 110);
    Feed({0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA}, 110);
    EXPECT_EQ(listener.calls, (std::vector<Call>{Press(1), Rep(1), Rep(1), Rep(1)}));
    listener.calls.clear();

    // The same for ZELMAR_OVI, and a repeat never restarts the timer.
    Feed({0x5A, 0x12, 0x04});
    Feed({0x5A, 0x12, 0x04}, 110);
    decoder.HoldExpired();
    Feed({0x5A, 0x12, 0x04}, 400);
    EXPECT_EQ(listener.calls, (std::vector<Call>{Rel(1), Press(7), Rep(7)}));
    ExpectState(1, 0, 0);
}

TEST_F(FrameDecoderTest, RepeatsContinueOnlyTheHoldGoingOn) {
    // ZELMAR_OVI, same toggle: a frame 401 ms after the last one of the hold
    // is a new press (its own press was missed).
    Prime({0x5A, 0x12, 0x04});
    Feed({0x5A, 0x12, 0x04}, CFrameDecoder::RELEASE_TIME_MS + 1);
    EXPECT_EQ(listener.calls, (std::vector<Call>{Rel(7), Press(7)}));
    listener.calls.clear();
    decoder.HoldExpired();
    // A VEKO repeat frame belongs to no hold of a VEKO key: nothing, also for
    // the ones after it.
    Prime({0x12, 0xED, 0x11});
    Feed({0xAA, 0xAA, 0xAA}, 5000);
    Feed({0xAA, 0xAA, 0xAA}, 110);
    EXPECT_EQ(listener.calls, std::vector<Call>{Rel(3)});
    // ... nor after a ZELMAR_OVI press ended the VEKO hold.
    Prime({0x12, 0xED, 0x11, 0x5A, 0x32, 0x04});
    Feed({0xAA, 0xAA, 0xAA});
    EXPECT_TRUE(listener.calls.empty());
    ExpectState(3, 1, 0);
}

TEST_F(FrameDecoderTest, ReleaseComes400MsAfterTheLastFrameOfTheHold) {
    Feed({0x5A, 0x12, 0x04});
    Feed({0x5A, 0x12, 0x04}, 300); // dropped in the hold time, still part of the hold
    Advance(CFrameDecoder::RELEASE_TIME_MS - 1);
    EXPECT_EQ(decoder.GetHeldKey(), 7);
    Advance(1);
    EXPECT_EQ(listener.calls, (std::vector<Call>{Press(7), Rel(7)}));
    EXPECT_EQ(decoder.GetHeldKey(), 0);
    Advance(1000);
    EXPECT_EQ(listener.calls.size(), 2u);

    // A timer that fires late still puts the release before the next press.
    listener.calls.clear();
    Feed({0x12, 0xED, 0x13});
    Feed({0x12, 0xED, 0x1A}, 1000);
    // An owner that shuts down ends the hold at once, and only once.
    decoder.ReleaseNow();
    decoder.ReleaseNow();
    EXPECT_EQ(listener.calls, (std::vector<Call>{Press(1), Rel(1), Press(2), Rel(2)}));
}

// The owner's handlers may look at the decoder: a press is passed on with the
// VEKO key already stored and the hold not yet set; the hold starts after it.
TEST(FrameDecoderOrderTest, StateSeenByTheListener) {
    struct Observer : CFrameDecoder::Listener {
        void OnKeyEvent(int, int) override {
            nKeySeen = pDecoder->GetLastKey();
            bHoldAtEvent = pDecoder->IsHold();
        }
        void OnKeyRelease(int) override {}
        const CFrameDecoder* pDecoder = nullptr;
        int nKeySeen = 0, bHoldAtEvent = -1;
    } observer;
    CDeadlineClock clock{[] { return std::uint64_t{0}; }};
    CFrameDecoder decoder(observer, clock);
    observer.pDecoder = &decoder;
    decoder.SetAddress(ADDRESS);
    const std::uint8_t frame[] = {0x12, 0xED, 0x02};
    decoder.DecodeBytes(frame, sizeof(frame), 0);
    EXPECT_EQ(observer.nKeySeen, 6);
    EXPECT_EQ(observer.bHoldAtEvent, 0);
    EXPECT_TRUE(decoder.IsHold());
}

// Randomized chunks of frames, broken frames and noise, checking properties that
// hold whatever the input.
class InvariantListener : public CFrameDecoder::Listener {
public:
    void OnKeyEvent(int nKey, int nRepeat) override {
        EXPECT_GE(nKey, CFrameDecoder::FIRST_KEY);
        EXPECT_LE(nKey, CFrameDecoder::LAST_KEY);
        EXPECT_TRUE(nRepeat == 0 || nRepeat == 1);
        if (nRepeat == 1) {
            EXPECT_FALSE(bHold) << "repeat during hold time";
            EXPECT_EQ(nKey, nHeld) << "repeat of a key not held";
        } else {
            EXPECT_EQ(nHeld, 0) << "press before the release of the last one";
            nHeld = nKey;
            bHold = true;
        }
        events.push_back({nKey, nRepeat});
    }
    void OnKeyRelease(int nKey) override {
        EXPECT_EQ(nKey, nHeld) << "release of a key not held";
        nHeld = 0;
    }
    std::vector<Call> events;
    bool bHold = false;
    int nHeld = 0;
};

bool Contains(const Bytes& chunk, std::uint8_t a, std::uint8_t b, std::uint8_t c,
              std::uint8_t mask) {
    for (std::size_t i = 0; i + 2 < chunk.size(); ++i) {
        if (chunk[i] == a && (chunk[i + 1] & mask) == b && chunk[i + 2] == c) {
            return true;
        }
    }
    return false;
}

// Code of a key in the given table (keys given here are always in it).
std::uint8_t CodeOf(int (*table)(std::uint8_t), int nKey) {
    int nCode = 0;
    while (nCode < 0xFF && table(static_cast<std::uint8_t>(nCode)) != nKey) {
        ++nCode;
    }
    return static_cast<std::uint8_t>(nCode);
}

TEST(FrameDecoderRandomTest, InvariantsHold) {
    std::mt19937 rng(20240601u);
    auto pick = [&rng](std::uint32_t n) { return static_cast<std::uint32_t>(rng() % n); };
    // Addresses of interest: ordinary VEKO, ZELMAR_OVI style, and the two that
    // clash with the lead and repeat bytes.
    const std::uint32_t addresses[] = {ADDRESS, 0x0B00, 0x5AA5, 0xAA55, 0x0000};
    for (std::uint32_t dwAddress : addresses) {
        std::uint64_t nNowMs = 0;
        CDeadlineClock clock{[&nNowMs] { return nNowMs; }};
        InvariantListener listener;
        CFrameDecoder decoder(listener, clock);
        decoder.SetAddress(dwAddress);
        const std::uint8_t byHigh = static_cast<std::uint8_t>(dwAddress >> 8);
        const std::uint8_t byLow = static_cast<std::uint8_t>(dwAddress);
        int nLastVekoPress = -1;
        int counts[4] = {}; // VEKO press, repeat; ZELMAR_OVI press, repeat
        Bytes seen;         // the chunk, after what a joined chunk goes on from
        for (int nChunk = 0; nChunk < 1000; ++nChunk) {
            // Chunks that go on with a frame, and pauses within and beyond a hold.
            static const std::uint64_t steps[] = {5, 100, 300, 600};
            const std::uint64_t nStepMs = steps[pick(4)];
            nNowMs += nStepMs;
            if (nStepMs > CFrameDecoder::CHUNK_JOIN_MS) {
                seen.clear();
            } else if (seen.size() > 2) {
                seen.erase(seen.begin(), seen.end() - 2);
            }
            Bytes chunk;
            const std::uint32_t nParts = pick(90);
            for (std::uint32_t p = 0; p < nParts && chunk.size() < 250; ++p) {
                switch (pick(6)) {
                case 0:
                    chunk.insert(chunk.end(), {byHigh, byLow, static_cast<std::uint8_t>(pick(32))});
                    break;
                case 1:
                    chunk.insert(chunk.end(), {0xAA, 0xAA, 0xAA});
                    break;
                case 2:
                    chunk.insert(chunk.end(),
                                 {0x5A,
                                  static_cast<std::uint8_t>((pick(4) << 6) | (pick(2) << 5) |
                                                            (byHigh & 0x1F)),
                                  // often the same key, so that holds go on
                                  static_cast<std::uint8_t>(pick(2) == 0 ? 0x04 : pick(24))});
                    break;
                case 3:
                    chunk.push_back(static_cast<std::uint8_t>(pick(256)));
                    break;
                case 4:
                    chunk.insert(chunk.end(), {0x5A, static_cast<std::uint8_t>(pick(256)),
                                               static_cast<std::uint8_t>(pick(24))});
                    break;
                default:
                    chunk.insert(chunk.end(), {static_cast<std::uint8_t>(pick(256)),
                                               static_cast<std::uint8_t>(pick(256))});
                    break;
                }
            }
            listener.events.clear();
            decoder.DecodeBytes(chunk.data(), chunk.size(), nNowMs);
            seen.insert(seen.end(), chunk.begin(), chunk.end());
            EXPECT_LE(listener.events.size(), seen.size() / 3);
            EXPECT_EQ(decoder.GetHeldKey(), listener.nHeld);

            for (const Call& e : listener.events) {
                const bool bVeko = e.nKey <= CFrameDecoder::LAST_VEKO_KEY;
                ++counts[(bVeko ? 0 : 2) + e.nRepeat];
                if (bVeko && e.nRepeat == 0) {
                    EXPECT_NE(byHigh, 0x5A);
                    EXPECT_TRUE(
                        Contains(seen, byHigh, byLow, CodeOf(ExpectedVekoKey, e.nKey), 0xFF));
                    nLastVekoPress = e.nKey;
                } else if (bVeko) {
                    EXPECT_NE(byHigh, 0xAA);
                    EXPECT_EQ(e.nKey, nLastVekoPress);
                    EXPECT_TRUE(Contains(seen, 0xAA, 0xAA, 0xAA, 0xFF));
                } else {
                    EXPECT_TRUE(
                        Contains(seen, 0x5A, byHigh, CodeOf(ExpectedZelmarKey, e.nKey), 0x1F));
                }
            }
            EXPECT_EQ(decoder.GetLastKey(), nLastVekoPress);
            EXPECT_GE(decoder.GetLastToggle(), -1);
            EXPECT_LE(decoder.GetLastToggle(), 1);
            EXPECT_EQ(decoder.IsHold(), listener.bHold);
            if (pick(3) == 0) {
                decoder.HoldExpired();
                listener.bHold = false;
            }
            if (pick(3) == 0) {
                nNowMs += pick(500);
                decoder.ReleaseExpired(nNowMs);
            }
            if (HasFailure()) {
                return;
            }
        }
        if (dwAddress == ADDRESS) {
            // Otherwise the checks above would prove little.
            for (int nCount : counts) {
                EXPECT_GT(nCount, 10);
            }
        }
    }
}

} // namespace
