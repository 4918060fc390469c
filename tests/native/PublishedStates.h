// Published states of a KV480, as CPublishedState reads them from values
// written by hand.
#pragma once

#include "CPublishedState.h"

#include <map>
#include <string>

using PublishedValues = std::map<std::string, CPublishedState::Value>;

inline CPublishedState::Value Number(std::uint32_t n) {
    return {CPublishedState::Value::Type::Number, n, ""};
}
inline CPublishedState::Value Text(const std::string& s) {
    return {CPublishedState::Value::Type::Text, 0, s};
}

// Process 42 is KV480, 43 another program; every other number is gone.
inline CPublishedState ReadPublished(const PublishedValues& values) {
    return CPublishedState::Interpret(
        [&values](const char* pszName) {
            const auto it = values.find(pszName);
            return it != values.end() ? it->second : CPublishedState::Value();
        },
        [](std::uint32_t n) {
            return n == 42 ? std::string("kv480.EXE") : n == 43 ? "notepad.exe" : "";
        });
}

inline PublishedValues RunningValues(bool bElevated, const std::string& strUserFile,
                                     const std::string& strMode = "") {
    return {{CPublishedState::VALUE_PROCESS, Number(42)},
            {CPublishedState::VALUE_VERSION, Text("6.1.0.0")},
            {CPublishedState::VALUE_USER_FILE, Text(bElevated ? "" : strUserFile)},
            {CPublishedState::VALUE_INSTALLED_FILE, Text("C:\\KV480\\KeyMap.ini")},
            {CPublishedState::VALUE_ELEVATED, Number(bElevated ? 1 : 0)},
            {CPublishedState::VALUE_MODE, Text(strMode)}};
}
