// The public header as a C program sees it, against the names the tools use.
// Built as a UNICODE program, so the _T names here are the wide ones.
#define UNICODE
#include "RemoteControl.h"
#include "RemoteControlHeaderCheck.h"
#include "RemoteKeys.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

TEST(RemoteControlHeader, MessageNamesInEveryCharacterWidth) {
    EXPECT_STREQ(RcCheckMessageName(), "WM_REMOTECONTROL");
    EXPECT_STREQ(RcCheckMessageName(), RemoteKeys::MESSAGE_NAME);
    EXPECT_STREQ(RcCheckReleaseMessageName(), "WM_REMOTECONTROL_RELEASE");
    EXPECT_STREQ(RcCheckMessageNameT(), RcCheckMessageName());
    EXPECT_STREQ(RcCheckReleaseMessageNameT(), RcCheckReleaseMessageName());
    EXPECT_STREQ(RcCheckMessageNameW(), L"WM_REMOTECONTROL");
    EXPECT_STREQ(RcCheckReleaseMessageNameW(), L"WM_REMOTECONTROL_RELEASE");
    EXPECT_STREQ(RC_MESSAGE_NAME_T, L"WM_REMOTECONTROL");
    EXPECT_STREQ(RC_RELEASE_MESSAGE_NAME_T, L"WM_REMOTECONTROL_RELEASE");
}

// The names the demo receiving application shows, from C and from C++.
TEST(RemoteControlHeader, KeyNamesForEveryKeyAndNullOutside) {
    const char* const names[] = {
        "Top left",
        "Top right",
        "Middle left",
        "Middle right",
        "Bottom left",
        "Bottom right",
        "F1",
        "F2",
        "F3",
        "F4",
        "F5",
        "F6",
        "ESC",
        "Enter",
        "Arrow up",
        "Arrow down",
        "Arrow left",
        "Arrow right",
        "Vehicle",
        "STOP",
        "Question mark",
        "Right of question mark",
        "Green round",
    };
    for (int key = 1; key <= 23; ++key) {
        EXPECT_STREQ(RcCheckKeyName(key), names[key - 1]) << key;
        EXPECT_STREQ(RcCheckKeyNameOfWParam(static_cast<unsigned long>(key)), names[key - 1]);
        EXPECT_STREQ(RC_KEY_NAME(key), names[key - 1]) << key;
    }
    for (const long key : {0L, 24L, -1L, LONG_MIN, LONG_MAX}) {
        EXPECT_EQ(RcCheckKeyName(key), nullptr) << key;
        EXPECT_EQ(RC_KEY_NAME(key), nullptr) << key;
    }
    EXPECT_EQ(RcCheckKeyNameOfWParam(ULONG_MAX), nullptr);
}

// RC_KEY_ZELMAR_ARROW_UP must be the number of the key the tools call
// "Arrow up", and of a ZELMAR_OVI key.
TEST(RemoteControlHeader, EachKeyNumberHasOneConstantNamedAfterThatKey) {
    const std::string veko = "RC_KEY_VEKO_";
    const std::string zelmar = "RC_KEY_ZELMAR_";
    for (int key = 1; key <= 23; ++key) {
        const char* constant = RcCheckKeyConstant(key);
        ASSERT_NE(constant, nullptr) << "no constant for key " << key;
        std::string name = constant;
        RemoteType type = RemoteType::Veko;
        if (name.rfind(veko, 0) == 0) {
            name.erase(0, veko.size());
        } else if (name.rfind(zelmar, 0) == 0) {
            name.erase(0, zelmar.size());
            type = RemoteType::ZelmarOvi;
        } else {
            ADD_FAILURE() << constant << " names no remote type";
            continue;
        }
        EXPECT_TRUE(RemoteKeys::BelongsTo(type, key)) << constant;
        EXPECT_EQ(RemoteKeys::FromName(name), key) << constant;
    }
    EXPECT_EQ(RcCheckKeyConstant(0), nullptr);
    EXPECT_EQ(RcCheckKeyConstant(24), nullptr);
}

TEST(RemoteControlHeader, RangeChecksSplitTheKeysBetweenTheTwoTypes) {
    for (long key = -3; key <= 27; ++key) {
        const bool isKey = key >= 1 && key <= 23;
        EXPECT_EQ(RcCheckIsKey(key) != 0, isKey) << key;
        EXPECT_EQ(RcCheckIsVekoKey(key) != 0, isKey && key <= 6) << key;
        EXPECT_EQ(RcCheckIsZelmarKey(key) != 0, isKey && key >= 7) << key;
    }
    EXPECT_FALSE(RcCheckIsKey(LONG_MIN));
    EXPECT_FALSE(RcCheckIsKey(LONG_MAX));
}

TEST(RemoteControlHeader, KeyMessageCheckAgreesWithTheTools) {
    for (unsigned long wParam = 0; wParam <= 25; ++wParam) {
        for (long lParam = -2; lParam <= 3; ++lParam) {
            EXPECT_EQ(RcCheckIsKeyMessage(wParam, lParam) != 0,
                      RemoteKeys::IsKeyMessage(wParam, lParam))
                << wParam << ", " << lParam;
        }
    }
    EXPECT_TRUE(RcCheckIsKeyMessage(23, 1));
    EXPECT_FALSE(RcCheckIsKeyMessage(1, 2));
    // -1 passed as an unsigned wParam is no key.
    EXPECT_FALSE(RcCheckIsKeyMessage(ULONG_MAX, 0));
}

} // namespace
