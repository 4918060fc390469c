#include <gtest/gtest.h>

#include "CWhichRuleAnswers.h"

#include <string>

namespace {

const std::string kUser = "[All applications]\r\nClassName=NULL\r\nWindowName=NULL\r\n"
                          "Key1=b\r\nKey6=Mode \"Mouse\"\r\n"
                          "[Mouse keys]\r\nMode=Mouse\r\nClassName=NULL\r\nWindowName=NULL\r\n"
                          "Key1=MouseUp\r\n";
const std::string kInstalled = "[Everyone]\r\nClassName=NULL\r\nWindowName=NULL\r\n"
                               "Key1=a\r\nKey2=Spotlight\r\n";

class WhichRuleAnswersTest : public ::testing::Test {
protected:
    CKeyMapDocument user;
    CKeyMapDocument installed;
    const CKeyMap::Window window{"Notepad", "Untitled - Notepad", "notepad.exe"};

    void SetUp() override {
        user.Load(kUser.data(), kUser.size());
        installed.Load(kInstalled.data(), kInstalled.size());
    }
    std::string Answers(bool bUserRead, const std::string& strMode) const {
        const CWhichRuleAnswers answers(
            user, installed, [](const std::string& s) { return s; }, bUserRead);
        return answers.Text(window, strMode, 1, 3);
    }
};

TEST_F(WhichRuleAnswersTest, AnswersInTheModeChosenWithTheMapsKV480Reads) {
    const std::string plain = Answers(true, "");
    EXPECT_EQ(0u, plain.find("Program: notepad.exe\r\nWindow class: Notepad\r\n"
                             "Window title: Untitled - Notepad\r\n\r\n"));
    EXPECT_NE(std::string::npos, plain.find("Key 1: b  - yours, [All applications] line 4\r\n"))
        << plain;
    EXPECT_NE(std::string::npos, plain.find("Key 3: nothing\r\n"));

    const std::string mode = Answers(true, "mouse");
    EXPECT_NE(std::string::npos,
              mode.find("Key 1: MouseUp (repeats)  - yours, [Mouse keys] of mode \"Mouse\" line"))
        << mode;
    EXPECT_NE(std::string::npos, mode.find("Key 2: Spotlight  - administrator's, [Everyone]"))
        << "a key the mode leaves out keeps its usual meaning: " << mode;

    const std::string elevated = Answers(false, "Mouse");
    EXPECT_NE(std::string::npos,
              elevated.find("KV480 runs with administrator rights: only the installation's key "
                            "map answers.\r\n"));
    EXPECT_NE(std::string::npos, elevated.find("Key 1: a  - administrator's, [Everyone] line 4"))
        << "the user's file, mode and all, is not read: " << elevated;
}

} // namespace
