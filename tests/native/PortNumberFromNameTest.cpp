#include "PortNumberFromName.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

int Parse(const std::string& text) {
    return PortNumberFromName(text.c_str(), 100);
}

TEST(PortNumberFromName, ReadsTheDigitsAfterCom) {
    EXPECT_EQ(1, Parse("COM1"));
    EXPECT_EQ(12, Parse("COM12"));
    EXPECT_EQ(123, Parse("COM123"));
    EXPECT_EQ(7, Parse("COM007"));
    EXPECT_EQ(4, Parse("COM4 (USB)")); // digit run ends at the first non-digit
}

TEST(PortNumberFromName, NamesWithoutNumberGiveZero) {
    EXPECT_EQ(0, Parse("com5")); // "COM" is matched case-sensitively
    EXPECT_EQ(0, Parse("Com5"));
    EXPECT_EQ(0, Parse("COM"));
    EXPECT_EQ(0, Parse("COMx3"));
    EXPECT_EQ(0, Parse("LPT1"));
    EXPECT_EQ(0, Parse(""));
    EXPECT_EQ(0, PortNumberFromName(nullptr, 100));
}

TEST(PortNumberFromName, FindsComLaterInTheText) {
    EXPECT_EQ(7, Parse("\\\\.\\COM7"));
    EXPECT_EQ(9, Parse("CO COM9"));
    EXPECT_EQ(11, Parse("CCOM11"));
}

TEST(PortNumberFromName, OnlyTheFirstOccurrenceCounts) {
    EXPECT_EQ(0, Parse("COM COM3"));
    EXPECT_EQ(2, Parse("COM2 COM3"));
}

TEST(PortNumberFromName, ExaminesAtMostCountCharacters) {
    EXPECT_EQ(1, PortNumberFromName("COM12", 4));
    EXPECT_EQ(12, PortNumberFromName("COM12", 5));
    EXPECT_EQ(0, PortNumberFromName("COM12", 3));
    EXPECT_EQ(0, PortNumberFromName("COM12", 2));
    EXPECT_EQ(0, PortNumberFromName("xCOM5", 3));
}

TEST(PortNumberFromName, CountZeroOrNegativeGivesZero) {
    EXPECT_EQ(0, PortNumberFromName("COM3", 0));
    EXPECT_EQ(0, PortNumberFromName("COM3", -1));
    EXPECT_EQ(0, PortNumberFromName("COM3", INT_MIN));
}

TEST(PortNumberFromName, StopsAtTheTerminatingZero) {
    // A count larger than the text must not read past its end (ASan watches).
    const char exact[] = {'C', 'O', 'M', '3', '\0'};
    EXPECT_EQ(3, PortNumberFromName(exact, INT_MAX));

    const char hidden[] = {'x', '\0', 'C', 'O', 'M', '4', '\0'};
    EXPECT_EQ(0, PortNumberFromName(hidden, static_cast<int>(sizeof(hidden))));

    const char digitsAfterZero[] = {'C', 'O', 'M', '5', '\0', '6', '\0'};
    EXPECT_EQ(5, PortNumberFromName(digitsAfterZero, static_cast<int>(sizeof(digitsAfterZero))));
}

TEST(PortNumberFromName, NumbersTooLargeForAnIntGiveZero) {
    EXPECT_EQ(INT_MAX, Parse("COM" + std::to_string(INT_MAX)));
    EXPECT_EQ(INT_MAX, Parse("COM000" + std::to_string(INT_MAX)));
    EXPECT_EQ(0, Parse("COM" + std::to_string(static_cast<long long>(INT_MAX) + 1)));
    EXPECT_EQ(0, Parse("COM99999999999999999999"));
    // Cut by count to a size that fits, the same digits are fine.
    EXPECT_EQ(999, PortNumberFromName("COM99999999999999999999", 6));
}

} // namespace
