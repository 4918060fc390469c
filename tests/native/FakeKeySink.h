// A consumer of key events for native tests: writes each event, named by the
// consumer, to a shared log ("lirc 5 0", "lirc release 5").
#pragma once

#include "IKeyEventSink.h"

#include <string>
#include <utility>
#include <vector>

class FakeKeySink : public IKeyEventSink {
public:
    FakeKeySink(std::vector<std::string>& log, std::string strName)
        : m_log(log), m_strName(std::move(strName)) {}

    void KeyEvent(int nKey, int nRepeat) override {
        m_log.push_back(m_strName + " " + std::to_string(nKey) + " " + std::to_string(nRepeat));
    }
    void KeyRelease(int nKey) override {
        m_log.push_back(m_strName + " release " + std::to_string(nKey));
    }

private:
    std::vector<std::string>& m_log;
    std::string m_strName;
};
