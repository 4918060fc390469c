#include "ScriptParser.h"

#include "NumberText.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

bool Parse(const std::string& line, Step& step, std::string& error) {
    return ScriptParser::ParseCommand(ScriptParser::SplitWords(line), step, error);
}

Step ParseOk(const std::string& line) {
    Step step;
    std::string error;
    EXPECT_TRUE(Parse(line, step, error)) << line << ": " << error;
    return step;
}

std::string ParseError(const std::string& line) {
    Step step;
    std::string error;
    EXPECT_FALSE(Parse(line, step, error)) << line;
    return error;
}

TEST(ScriptParser, PressTakesTypeHexAddressAndKeyNumberOrName) {
    Step step = ParseOk("press veko 12ED 1");
    EXPECT_EQ(step.kind, Step::Kind::Press);
    EXPECT_EQ(step.type, RemoteType::Veko);
    EXPECT_EQ(step.address, 0x12EDu);
    EXPECT_EQ(step.key, 1);

    step = ParseOk("PRESS ZELMAR_OVI 0x1f arrow-up");
    EXPECT_EQ(step.type, RemoteType::ZelmarOvi);
    EXPECT_EQ(step.address, 0x1Fu);
    EXPECT_EQ(step.key, 15);

    EXPECT_EQ(ParseOk("press zelmar 0 Right_of_question_mark").key, 22);
    EXPECT_EQ(ParseOk("press veko ffff bottom-right").key, 6);
    // A name as one command-line word may keep its spaces.
    Step spaced;
    std::string error;
    ASSERT_TRUE(ScriptParser::ParseCommand({"press", "zelmar", "1", "Arrow down"}, spaced, error));
    EXPECT_EQ(spaced.key, 16);
}

TEST(ScriptParser, PressRejectsKeysAndAddressesOutsideTheType) {
    EXPECT_NE(ParseError("press veko 12ED 7").find("ZELMAR_OVI key"), std::string::npos);
    EXPECT_NE(ParseError("press zelmar 1 top-left").find("VEKO key"), std::string::npos);
    EXPECT_NE(ParseError("press zelmar 20 F1").find("1F"), std::string::npos);
    EXPECT_NE(ParseError("press veko 10000 1").find("FFFF"), std::string::npos);
    ParseError("press veko 12ED 0");
    ParseError("press veko 12ED 24");
    ParseError("press veko 12ED -1");
    ParseError("press veko 12ED 99999999999999999999");
    ParseError("press veko 12ED nokey");
    ParseError("press veko 0x 1");
    ParseError("press veko 12G 1");
    ParseError("press veko 0x-1 1");
    ParseError("press sony 1 1");
    ParseError("press veko 12ED");
    ParseError("press veko 12ED 1 2");
}

TEST(ScriptParser, HoldHasADefaultIntervalAndBoundedTimes) {
    Step step = ParseOk("hold zelmar 3 F2 1000");
    EXPECT_EQ(step.kind, Step::Kind::Hold);
    EXPECT_EQ(step.key, 8);
    EXPECT_EQ(step.durationMs, 1000u);
    EXPECT_EQ(step.intervalMs, ScriptParser::DEFAULT_INTERVAL_MS);

    EXPECT_EQ(ParseOk("hold veko 12ED 2 500 --interval 50").intervalMs, 50u);
    EXPECT_EQ(ParseOk("hold veko 12ED 2 --interval=200 500").intervalMs, 200u);
    EXPECT_EQ(ParseOk("hold veko 12ED 2 0").durationMs, 0u);
    EXPECT_EQ(ParseOk("hold veko 12ED 2 3600000").durationMs, ScriptParser::MAX_DURATION_MS);

    ParseError("hold veko 12ED 2 3600001");
    ParseError("hold veko 12ED 2 500 --interval 0");
    ParseError("hold veko 12ED 2 500 --interval 60001");
    ParseError("hold veko 12ED 2 500 --interval");
    ParseError("hold veko 12ED 2 500 --interval 5 --interval 6");
    ParseError("hold veko 12ED 2");
}

TEST(ScriptParser, RawTakesWholeHexBytesInAnyGrouping) {
    const Step step = ParseOk("raw 12 ED 0x13 aaAAaa");
    EXPECT_EQ(step.kind, Step::Kind::Raw);
    EXPECT_EQ(step.bytes, (std::vector<std::uint8_t>{0x12, 0xED, 0x13, 0xAA, 0xAA, 0xAA}));

    ParseError("raw");
    ParseError("raw 1");
    ParseError("raw 123");
    ParseError("raw 0x");
    ParseError("raw zz");
    ParseError("raw 12 +3");

    std::vector<std::string> words = {"raw"};
    words.insert(words.end(), ScriptParser::MAX_RAW_BYTES, "00");
    Step big;
    std::string error;
    EXPECT_TRUE(ScriptParser::ParseCommand(words, big, error)) << error;
    words.push_back("00");
    EXPECT_FALSE(ScriptParser::ParseCommand(words, big, error));
}

TEST(ScriptParser, WaitAndToggle) {
    EXPECT_EQ(ParseOk("wait 250").durationMs, 250u);
    EXPECT_EQ(ParseOk("toggle 1").toggle, 1);
    EXPECT_EQ(ParseOk("toggle 0").toggle, 0);
    ParseError("wait");
    ParseError("wait 1.5");
    ParseError("wait 3600001");
    ParseError("toggle 2");
    ParseError("toggle");
    EXPECT_NE(ParseError("jump 5").find("unknown command"), std::string::npos);
}

TEST(ScriptParser, ScriptSkipsCommentsAndBlankLinesAndNumbersSteps) {
    const std::string script = "# a held key\r\n"
                               "\n"
                               "press veko 12ED 1   # top left\r\n"
                               "   \t\n"
                               "wait 100\n"
                               "hold zelmar 1 enter 300 --interval 100";
    std::vector<Step> steps;
    std::string error;
    ASSERT_TRUE(ScriptParser::ParseScript(script, steps, error)) << error;
    ASSERT_EQ(steps.size(), 3u);
    EXPECT_EQ(steps[0].kind, Step::Kind::Press);
    EXPECT_EQ(steps[0].line, 3);
    EXPECT_EQ(steps[1].kind, Step::Kind::Wait);
    EXPECT_EQ(steps[1].line, 5);
    EXPECT_EQ(steps[2].kind, Step::Kind::Hold);
    EXPECT_EQ(steps[2].line, 6);

    ASSERT_TRUE(ScriptParser::ParseScript("", steps, error));
    EXPECT_TRUE(steps.empty());
}

TEST(ScriptParser, ScriptErrorsNameTheLineAndKeepNoSteps) {
    std::vector<Step> steps(1);
    std::string error;
    EXPECT_FALSE(
        ScriptParser::ParseScript("wait 10\n\npress veko 12ED 9\nwait 10\n", steps, error));
    EXPECT_EQ(error.rfind("line 3: ", 0), 0u) << error;
    EXPECT_EQ(steps.size(), 1u);

    EXPECT_FALSE(ScriptParser::ParseScript("wait 1\nscript other.txt\n", steps, error));
    EXPECT_EQ(error.rfind("line 2: ", 0), 0u) << error;

    // Unprintable and long words are shortened in the message.
    const std::string junk = std::string("\x01\x02", 2) + std::string(1000, 'x');
    EXPECT_FALSE(ScriptParser::ParseScript(junk, steps, error));
    EXPECT_LT(error.size(), 200u);
    EXPECT_EQ(error.find('\x01'), std::string::npos);
}

TEST(ScriptParser, ScriptSizeAndStepCountAreBounded) {
    std::vector<Step> steps;
    std::string error;
    EXPECT_FALSE(ScriptParser::ParseScript(std::string(ScriptParser::MAX_SCRIPT_CHARS + 1, '\n'),
                                           steps, error));
    std::string many;
    for (std::size_t i = 0; i <= ScriptParser::MAX_STEPS; ++i) {
        many += "wait 0\n";
    }
    ASSERT_LE(many.size(), ScriptParser::MAX_SCRIPT_CHARS);
    EXPECT_FALSE(ScriptParser::ParseScript(many, steps, error));
    EXPECT_NE(error.find("steps"), std::string::npos);
}

TEST(NumberText, DecimalIsDigitsOnlyWithinRange) {
    std::uint32_t value = 7;
    EXPECT_TRUE(NumberText::ParseDecimal("0", 0, 10, value));
    EXPECT_EQ(value, 0u);
    EXPECT_TRUE(NumberText::ParseDecimal("4294967295", 0, 4294967295u, value));
    EXPECT_EQ(value, 4294967295u);
    EXPECT_FALSE(NumberText::ParseDecimal("4294967296", 0, 4294967295u, value));
    EXPECT_FALSE(NumberText::ParseDecimal("99999999999999999999", 0, 4294967295u, value));
    value = 7;
    for (const char* bad :
         {"", "+1", "-1", " 1", "1 ", "1x", "4294967296", "11", "00000000000011"}) {
        EXPECT_FALSE(NumberText::ParseDecimal(bad, 0, 10, value)) << bad;
    }
    EXPECT_FALSE(NumberText::ParseDecimal("2", 3, 10, value));
    EXPECT_EQ(value, 7u);
    EXPECT_TRUE(NumberText::ParseDecimal("0000000000010", 0, 10, value)); // leading zeros
    EXPECT_EQ(value, 10u);
}

} // namespace
