// Reading a KeyMap.ini value in tests: the action, or why it was refused.
#pragma once

#include "CKeyAction.h"

#include <gtest/gtest.h>

#include <string>

inline CKeyAction Action(const std::string& value) {
    CKeyAction action;
    std::string reason;
    EXPECT_TRUE(action.Parse(value, reason)) << value << ": " << reason;
    return action;
}

inline std::string ActionError(const std::string& value) {
    CKeyAction action;
    std::string reason;
    EXPECT_FALSE(action.Parse(value, reason)) << value;
    return reason;
}
