// LIRC's line protocol as KV480 serves it: event lines, replies, client buffers.
#include "CLircClientBuffer.h"
#include "CLircProtocol.h"
#include "ClassifyLircBind.h"
#include "RemoteControl.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

namespace {

// The header's macro names are what the button names must be.
#define KEY_MACRO(prefix, name)                                                                    \
    { prefix##name, #name }
struct KeyMacro {
    int key;
    const char* name;
};
const KeyMacro kKeyMacros[] = {
    KEY_MACRO(RC_KEY_VEKO_, TOP_LEFT),
    KEY_MACRO(RC_KEY_VEKO_, TOP_RIGHT),
    KEY_MACRO(RC_KEY_VEKO_, MIDDLE_LEFT),
    KEY_MACRO(RC_KEY_VEKO_, MIDDLE_RIGHT),
    KEY_MACRO(RC_KEY_VEKO_, BOTTOM_LEFT),
    KEY_MACRO(RC_KEY_VEKO_, BOTTOM_RIGHT),
    KEY_MACRO(RC_KEY_ZELMAR_, F1),
    KEY_MACRO(RC_KEY_ZELMAR_, F2),
    KEY_MACRO(RC_KEY_ZELMAR_, F3),
    KEY_MACRO(RC_KEY_ZELMAR_, F4),
    KEY_MACRO(RC_KEY_ZELMAR_, F5),
    KEY_MACRO(RC_KEY_ZELMAR_, F6),
    KEY_MACRO(RC_KEY_ZELMAR_, ESC),
    KEY_MACRO(RC_KEY_ZELMAR_, ENTER),
    KEY_MACRO(RC_KEY_ZELMAR_, ARROW_UP),
    KEY_MACRO(RC_KEY_ZELMAR_, ARROW_DOWN),
    KEY_MACRO(RC_KEY_ZELMAR_, ARROW_LEFT),
    KEY_MACRO(RC_KEY_ZELMAR_, ARROW_RIGHT),
    KEY_MACRO(RC_KEY_ZELMAR_, VEHICLE),
    KEY_MACRO(RC_KEY_ZELMAR_, STOP),
    KEY_MACRO(RC_KEY_ZELMAR_, QUESTION_MARK),
    KEY_MACRO(RC_KEY_ZELMAR_, RIGHT_OF_QUESTION_MARK),
    KEY_MACRO(RC_KEY_ZELMAR_, GREEN_ROUND),
};

TEST(LircProtocol, ButtonsAreTheHeadersKeyNamesOfEveryKey) {
    ASSERT_EQ(static_cast<size_t>(RC_KEY_LAST), std::size(kKeyMacros));
    for (const KeyMacro& macro : kKeyMacros) {
        EXPECT_EQ(macro.name, CLircProtocol::ButtonName(macro.key)) << macro.key;
        EXPECT_STREQ(macro.key <= RC_KEY_VEKO_LAST ? "VEKO" : "ZELMAR_OVI",
                     CLircProtocol::RemoteName(macro.key));
    }
    EXPECT_EQ("", CLircProtocol::ButtonName(0));
    EXPECT_EQ(nullptr, CLircProtocol::RemoteName(24));
}

TEST(LircProtocol, EventLinesCountRepeatsOfThePressUpToFf) {
    CLircProtocol protocol("6.1");
    protocol.SetAddress(0xABCD12ED); // only the low 16 bits are the address
    EXPECT_EQ("000000000012ed01 00 TOP_LEFT VEKO\n", protocol.KeyEvent(1, 0));
    EXPECT_EQ("000000000012ed01 01 TOP_LEFT VEKO\n", protocol.KeyEvent(1, 1));
    EXPECT_EQ("000000000012ed01 02 TOP_LEFT VEKO\n", protocol.KeyEvent(1, 1));
    EXPECT_EQ("000000000012ed01 00 TOP_LEFT_UP VEKO\n", protocol.KeyRelease(1));
    EXPECT_EQ("000000000012ed17 00 GREEN_ROUND ZELMAR_OVI\n", protocol.KeyEvent(23, 0));
    std::string last;
    for (int i = 0; i < 300; ++i)
        last = protocol.KeyEvent(23, 1);
    EXPECT_EQ("000000000012ed17 ff GREEN_ROUND ZELMAR_OVI\n", last);
    EXPECT_EQ("000000000012ed0f 00 ARROW_UP ZELMAR_OVI\n", protocol.KeyEvent(15, 0));
    EXPECT_EQ("", protocol.KeyEvent(0, 0));
    EXPECT_EQ("", protocol.KeyRelease(24));
}

TEST(LircProtocol, CommandsGetReplyBlocks) {
    CLircProtocol protocol("KV480 6.1");
    protocol.SetAddress(0x12ED);
    EXPECT_EQ("BEGIN\nVERSION\nSUCCESS\nDATA\n1\nKV480 6.1\nEND\n", protocol.Reply("VERSION"));
    EXPECT_EQ("BEGIN\nlist\nSUCCESS\nDATA\n2\nVEKO\nZELMAR_OVI\nEND\n", protocol.Reply("list"));
    const std::string zelmar = protocol.Reply("LIST ZELMAR_OVI");
    EXPECT_EQ(0u, zelmar.find("BEGIN\nLIST ZELMAR_OVI\nSUCCESS\nDATA\n17\n"
                              "000000000012ed07 F1\n000000000012ed08 F2\n"));
    EXPECT_NE(std::string::npos, zelmar.find("\n000000000012ed17 GREEN_ROUND\nEND\n"));
    EXPECT_EQ("BEGIN\nLIST veko\nSUCCESS\nDATA\n6\n000000000012ed01 TOP_LEFT\n"
              "000000000012ed02 TOP_RIGHT\n000000000012ed03 MIDDLE_LEFT\n"
              "000000000012ed04 MIDDLE_RIGHT\n000000000012ed05 BOTTOM_LEFT\n"
              "000000000012ed06 BOTTOM_RIGHT\nEND\n",
              protocol.Reply("LIST veko"));

    EXPECT_EQ("BEGIN\nLIST TV\nERROR\nDATA\n1\nunknown remote: \"TV\"\nEND\n",
              protocol.Reply("LIST TV"));
    EXPECT_EQ("BEGIN\nSEND_ONCE VEKO TOP_LEFT\nERROR\nDATA\n1\ntransmitting is not "
              "supported\nEND\n",
              protocol.Reply("SEND_ONCE VEKO TOP_LEFT"));
    EXPECT_EQ("BEGIN\nHELLO there\nERROR\nDATA\n1\nunknown directive: \"HELLO\"\nEND\n",
              protocol.Reply("HELLO there"));
    EXPECT_EQ("BEGIN\nVERSION 2\nERROR\nDATA\n1\nbad send packet\nEND\n",
              protocol.Reply("VERSION 2"));
    EXPECT_EQ("BEGIN\nLIST VEKO X\nERROR\nDATA\n1\nbad send packet\nEND\n",
              protocol.Reply("LIST VEKO X"));
    EXPECT_EQ("", protocol.Reply(" \t "));
    // Echoed text never carries a line end into the block.
    EXPECT_EQ("BEGIN\nA?B\nERROR\nDATA\n1\nunknown directive: \"A?B\"\nEND\n",
              protocol.Reply(std::string("A\nB")));
}

TEST(LircProtocol, PortSettingDefaultsAndZeroMeansNone) {
    EXPECT_EQ(8765, CLircProtocol::PortFromSetting(false, 0));
    EXPECT_EQ(0, CLircProtocol::PortFromSetting(true, 0));
    EXPECT_EQ(9000, CLircProtocol::PortFromSetting(true, 9000));
    EXPECT_EQ(8765, CLircProtocol::PortFromSetting(true, 70000));
}

TEST(LircClientBuffer, AssemblesLinesAcrossChunksWithAnyLineEnd) {
    CLircClientBuffer buffer;
    std::vector<std::string> lines;
    ASSERT_TRUE(buffer.Receive("VERS", 4, lines));
    EXPECT_TRUE(lines.empty());
    ASSERT_TRUE(buffer.Receive("ION\r\nLIST\n\nLIST\tVEKO\r", 21, lines));
    EXPECT_EQ((std::vector<std::string>{"VERSION", "LIST", "LIST\tVEKO"}), lines);
}

TEST(LircClientBuffer, LongLineOrBinaryEndsTheClient) {
    std::vector<std::string> lines;
    const std::string longest(CLircClientBuffer::MAX_LINE, 'A');
    CLircClientBuffer fits;
    EXPECT_TRUE(fits.Receive((longest + "\n").data(), longest.size() + 1, lines));
    CLircClientBuffer tooLong;
    EXPECT_FALSE(tooLong.Receive((longest + "A").data(), longest.size() + 1, lines));
    for (const char* bytes : {"LIST\0", "\x80", "\x1b[A", "\x7f"}) {
        CLircClientBuffer binary;
        EXPECT_FALSE(binary.Receive(bytes, std::char_traits<char>::length(bytes) + 1, lines))
            << bytes;
    }
    EXPECT_EQ(1u, lines.size());
}

TEST(LircClientBuffer, OutputIsBoundedAndDrainsAsSent) {
    CLircClientBuffer buffer;
    const std::string line(34, 'x');
    size_t queued = 0;
    while (buffer.Queue(line))
        queued += line.size();
    EXPECT_EQ(queued, buffer.PendingSize());
    EXPECT_GT(queued + line.size(), CLircClientBuffer::MAX_PENDING);
    EXPECT_LE(queued, CLircClientBuffer::MAX_PENDING);
    buffer.Sent(queued - 3);
    EXPECT_EQ(std::string("xxx"), std::string(buffer.Pending(), buffer.PendingSize()));
    buffer.Sent(100);
    EXPECT_EQ(0u, buffer.PendingSize());
    EXPECT_TRUE(buffer.Queue(line));
}

TEST(ClassifyLircBindTest, AccessDeniedWithNoListenerIsAPortWindowsReserved) {
    EXPECT_EQ(LircBind::Taken, ClassifyLircBind(10048, false));
    EXPECT_EQ(LircBind::Taken, ClassifyLircBind(10013, true));
    EXPECT_EQ(LircBind::Reserved, ClassifyLircBind(10013, false));
    EXPECT_EQ(LircBind::Failed, ClassifyLircBind(10049, false));
}

} // namespace
