// What the configuration utility hears in the receiver's bytes: the port
// search's type patterns, the counted receptions of the address detection,
// and how an address is shown.
#include "AddressText.h"
#include "BluetoothPort.h"
#include "CAddressDetector.h"
#include "CPortProbe.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

int Classify(const Bytes& bytes) {
    return CPortProbe::Classify(bytes.data(), bytes.size());
}

// Twelve bytes with 'Z' at the given offsets and filler elsewhere.
Bytes WithZAt(std::initializer_list<std::size_t> offsets) {
    Bytes bytes(CPortProbe::READ_BYTES, 0x01);
    for (std::size_t offset : offsets) {
        bytes[offset] = 0x5A;
    }
    return bytes;
}

TEST(PortProbePattern, HeldVekoKeyRepeatsAreVeko) {
    EXPECT_EQ(CPortProbe::TYPE_VEKO, Classify(Bytes(12, 0xAA)));
    // Only the first three bytes matter, even when 'Z' frames follow.
    EXPECT_EQ(CPortProbe::TYPE_VEKO,
              Classify({0xAA, 0xAA, 0xAA, 0x5A, 0x01, 0x04, 0x5A, 0x01, 0x04, 0x5A, 0x01, 0x04}));
    EXPECT_EQ(CPortProbe::TYPE_NONE,
              Classify({0xAA, 0xAA, 0x12, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA}));
    // A key frame in front of the repeats hides them.
    EXPECT_EQ(CPortProbe::TYPE_NONE,
              Classify({0x12, 0xED, 0x11, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA}));
}

TEST(PortProbePattern, ZelmarFramesAtEachAlignment) {
    EXPECT_EQ(CPortProbe::TYPE_ZELMAR_OVI, Classify(WithZAt({0, 3, 6})));
    EXPECT_EQ(CPortProbe::TYPE_ZELMAR_OVI, Classify(WithZAt({1, 4, 7})));
    EXPECT_EQ(CPortProbe::TYPE_ZELMAR_OVI, Classify(WithZAt({2, 5, 8})));
    // The read may start at most two bytes into a frame.
    EXPECT_EQ(CPortProbe::TYPE_NONE, Classify(WithZAt({3, 6, 9})));
    EXPECT_EQ(CPortProbe::TYPE_NONE, Classify(WithZAt({0, 3, 7})));
    EXPECT_EQ(CPortProbe::TYPE_NONE, Classify(WithZAt({0, 3})));
    // A stream of ZELMAR_OVI frames cut anywhere.
    const Bytes stream = {0x5A, 0x0B, 0x04, 0x5A, 0x0B, 0x04, 0x5A,
                          0x0B, 0x04, 0x5A, 0x0B, 0x04, 0x5A, 0x0B};
    for (std::size_t start = 0; start + 12 <= stream.size(); ++start) {
        EXPECT_EQ(CPortProbe::TYPE_ZELMAR_OVI,
                  Classify(Bytes(stream.begin() + static_cast<std::ptrdiff_t>(start),
                                 stream.begin() + static_cast<std::ptrdiff_t>(start + 12))))
            << "start " << start;
    }
}

TEST(PortProbePattern, ShortOrMissingReadsShowNothing) {
    EXPECT_EQ(CPortProbe::TYPE_NONE, Classify(Bytes(11, 0xAA)));
    EXPECT_EQ(CPortProbe::TYPE_NONE, Classify(Bytes()));
    EXPECT_EQ(CPortProbe::TYPE_NONE, CPortProbe::Classify(nullptr, 12));
}

TEST(PortProbe, FirstFullReadDecidesEvenWithoutPattern) {
    CPortProbe probe;
    const Bytes noise(12, 0x33);
    EXPECT_TRUE(probe.AddRead(true, noise.data(), noise.size()));
    EXPECT_TRUE(probe.IsDecided());
    EXPECT_EQ(CPortProbe::TYPE_NONE, probe.GetType());
    // Nothing changes it afterwards.
    const Bytes veko(12, 0xAA);
    EXPECT_TRUE(probe.AddRead(true, veko.data(), veko.size()));
    EXPECT_EQ(CPortProbe::TYPE_NONE, probe.GetType());
}

TEST(PortProbe, ShortAndFailedReadsAreRetriedUpToThreeReads) {
    const Bytes veko(12, 0xAA);
    {
        CPortProbe probe;
        EXPECT_FALSE(probe.AddRead(true, veko.data(), 5));
        EXPECT_FALSE(probe.AddRead(false, nullptr, 0));
        EXPECT_TRUE(probe.AddRead(true, veko.data(), veko.size()));
        EXPECT_EQ(CPortProbe::TYPE_VEKO, probe.GetType());
    }
    {
        CPortProbe probe;
        EXPECT_FALSE(probe.AddRead(true, veko.data(), 0));
        EXPECT_FALSE(probe.AddRead(true, veko.data(), 11));
        EXPECT_TRUE(probe.AddRead(false, veko.data(), 12)) << "a failed read counts as a read";
        EXPECT_EQ(CPortProbe::TYPE_NONE, probe.GetType());
    }
}

// Feeds reads to a detector; returns how many counted.
int Feed(CAddressDetector& detector, const std::vector<Bytes>& reads) {
    int counted = 0;
    for (const Bytes& read : reads) {
        counted += detector.AddRead(true, read.data(), read.size()) ? 1 : 0;
    }
    return counted;
}

TEST(AddressDetector, FiveVekoReceptionsGiveTheAddress) {
    CAddressDetector detector;
    const Bytes press = {0x12, 0xED, 0x13};
    EXPECT_EQ(4, Feed(detector, {press, press, press, press}));
    EXPECT_FALSE(detector.IsFound());
    EXPECT_EQ(0, detector.GetAddress());
    EXPECT_TRUE(detector.WantsMoreReads());
    EXPECT_EQ(1, Feed(detector, {press}));
    EXPECT_TRUE(detector.IsFound());
    EXPECT_EQ(0x12ED, detector.GetAddress());
    EXPECT_FALSE(detector.WantsMoreReads());
    EXPECT_FALSE(detector.AddRead(true, press.data(), press.size())) << "nothing after found";
}

TEST(AddressDetector, ZelmarAddressBitsGoToTheHighByte) {
    CAddressDetector detector;
    // Toggle bit and the two top bits are not part of the address.
    const Bytes press = {0x5A, 0xEB, 0x04, 0x5A, 0xEB, 0x04};
    EXPECT_EQ(5, Feed(detector, {press, press, press, press, press}));
    EXPECT_TRUE(detector.IsFound());
    EXPECT_EQ(0x0B00, detector.GetAddress());
}

TEST(AddressDetector, WhatCountsAndWhatDoesNot) {
    CAddressDetector detector;
    EXPECT_EQ(0, Feed(detector, {
                                    {0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA}, // held VEKO key
                                    {0x12, 0xED},                         // too short
                                    {0x5A},                               // too short
                                    {0x12, 0xEE, 0x13},                   // not a complement
                                    {0x13, 0x12, 0xED},                   // frame not at the start
                                }));
    EXPECT_FALSE(detector.AddRead(false, Bytes{0x12, 0xED, 0x13}.data(), 3)) << "failed read";
    // Exactly three bytes can count; six bytes holding two frames count once.
    EXPECT_EQ(2, Feed(detector, {{0x12, 0xED, 0x13}, {0x12, 0xED, 0x13, 0x12, 0xED, 0x13}}));
    EXPECT_EQ(2, detector.GetCount());
}

TEST(AddressDetector, TheFifthReceptionAloneGivesTheAddressOfEitherKind) {
    CAddressDetector detector;
    EXPECT_EQ(5, Feed(detector, {{0x12, 0xED, 0x13},
                                 {0x5A, 0x03, 0x04},
                                 {0x00, 0xFF, 0x13},
                                 {0x12, 0xED, 0x13},
                                 {0xF0, 0x0F, 0x02}}));
    EXPECT_EQ(0xF00F, detector.GetAddress());
}

TEST(AddressDetector, GivesUpAfterThirtyReads) {
    CAddressDetector detector;
    const Bytes silence;
    for (int i = 0; i < CAddressDetector::MAX_READS - 1; ++i) {
        detector.AddRead(false, silence.data(), 0);
    }
    EXPECT_TRUE(detector.WantsMoreReads());
    const Bytes press = {0x12, 0xED, 0x13};
    EXPECT_TRUE(detector.AddRead(true, press.data(), press.size()));
    EXPECT_FALSE(detector.WantsMoreReads());
    EXPECT_FALSE(detector.AddRead(true, press.data(), press.size()));
    EXPECT_FALSE(detector.IsFound());
    EXPECT_EQ(0, detector.GetAddress());
}

TEST(AddressText, FourLowerCaseDigitsAfter0x) {
    EXPECT_EQ("0x0000", AddressText(0));
    EXPECT_EQ("0x12ed", AddressText(0x12ED));
    EXPECT_EQ("0x0b00", AddressText(0x0B00));
    EXPECT_EQ("0x0001", AddressText(1));
    EXPECT_EQ("0xffff", AddressText(0xFFFF));
}

TEST(PortSearch, LeavesOutBluetoothPortsOnly) {
    EXPECT_TRUE(
        IsBluetoothPort("BTHENUM\\{00001101-0000-1000-8000-00805F9B34FB}_LOCALMFG&0000\\7&1"));
    EXPECT_TRUE(IsBluetoothPort("bthenum\\x"));
    EXPECT_FALSE(IsBluetoothPort("ROOT\\PORTS\\0000"));
    EXPECT_FALSE(IsBluetoothPort("BTHENUM"));
    EXPECT_FALSE(IsBluetoothPort("USB\\BTHENUM\\1"));
    EXPECT_FALSE(IsBluetoothPort(""));
    EXPECT_FALSE(IsBluetoothPort(nullptr));
}

} // namespace
