#include <gtest/gtest.h>

#include "CWhichRuleAnswers.h"

#include <string>

namespace {

const std::string kUser = "[All applications]\r\nClassName=NULL\r\nWindowName=NULL\r\n"
                          "Key1=b\r\nKey6=Mode \"Mouse\"\r\n"
                          "[Mouse keys]\r\nMode=Mouse\r\nClassName=NULL\r\nWindowName=NULL\r\n"
                          "Key1=MouseUp\r\n"
                          "[Steering]\r\nMode=Menu\r\nClassName=NULL\r\nWindowName=NULL\r\n"
                          "Key2=Menu Down repeat\r\n";
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
    std::string Answers(bool bUserRead, const std::string& strMode, int last = 3) const {
        const CWhichRuleAnswers answers(
            user, installed, [](const std::string& s) { return s; }, bUserRead);
        return answers.Text(window, strMode, 1, last);
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

TEST_F(WhichRuleAnswersTest, WhileAMenuIsOpenOnlyItsModeAndTheMenuKeysAct) {
    user.SetAction(0, 3, CKeyMapDocument::FORM_LONG, "Menu \"Tools\"");
    const std::string menu = Answers(true, "menu", 8);
    EXPECT_NE(std::string::npos, menu.find("keys the mode Menu leaves out do nothing")) << menu;
    EXPECT_NE(std::string::npos, menu.find("Key 1: nothing while a menu is open\r\n"))
        << "no fall-through to the window in front: " << menu;
    EXPECT_NE(std::string::npos,
              menu.find("Key 2: Menu Down (repeats)  - yours, [Steering] of mode \"Menu\""))
        << menu;
    EXPECT_NE(std::string::npos, menu.find("Key 3 long: Menu \"Tools\"  - yours"))
        << "the key that opened a menu closes it: " << menu;
    EXPECT_NE(std::string::npos, menu.find("Key 8: picks the menu's entry 2;")) << menu;
    EXPECT_NE(std::string::npos, Answers(true, "", 8).find("Key 8: nothing\r\n"));
}

} // namespace
