#include "StepRunner.h"

#include "RemoteKeys.h"
#include "Timestamp.h"

#include <algorithm>
#include <cstdio>

namespace {

std::string Hex(const std::uint8_t* bytes, std::size_t count) {
    static const char DIGITS[] = "0123456789ABCDEF";
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0) {
            text += ' ';
        }
        text += DIGITS[bytes[i] >> 4];
        text += DIGITS[bytes[i] & 0x0F];
    }
    return text;
}

std::string KeyText(const Step& step) {
    char address[8] = {};
    std::snprintf(address, sizeof(address), step.type == RemoteType::Veko ? "%04X" : "%02X",
                  static_cast<unsigned>(step.address));
    return std::string(RemoteKeys::TypeName(step.type)) + " address " + address + " key " +
           std::to_string(step.key) + " (" + RemoteKeys::Name(step.key) + ")";
}

} // namespace

StepRunner::StepRunner(SerialPort& port, Pacer& pacer, SimulatorOptions::Verbosity verbosity,
                       int firstToggle)
    : m_port(port), m_pacer(pacer), m_verbosity(verbosity), m_builder(firstToggle) {}

bool StepRunner::Run(const std::vector<Step>& steps, std::string& error) {
    m_cursor = m_pacer.Now();
    m_lineFree = m_cursor;
    for (const Step& step : steps) {
        if (!RunStep(step, error)) {
            if (step.line > 0) {
                error = "line " + std::to_string(step.line) + ": " + error;
            }
            return false;
        }
    }
    // A trailing wait is part of the script, and the last byte must be out
    // before the port closes.
    m_pacer.WaitUntil(std::max(m_cursor, m_lineFree));
    return true;
}

bool StepRunner::RunStep(const Step& step, std::string& error) {
    FrameBuilder::Frame frame{};
    switch (step.kind) {
    case Step::Kind::Press:
        if (!m_builder.Press(step.type, step.address, step.key, frame)) {
            error = "no frame for " + KeyText(step);
            return false;
        }
        if (!Send(frame, m_cursor, error)) {
            return false;
        }
        m_cursor = m_lineFree;
        Report("press " + KeyText(step) + ": " + Hex(frame.data(), frame.size()));
        return true;
    case Step::Kind::Hold:
        return Hold(step, error);
    case Step::Kind::Raw:
        if (!Send(step.bytes.data(), step.bytes.size(), m_cursor, error)) {
            return false;
        }
        m_cursor = m_lineFree;
        Report("raw " + std::to_string(step.bytes.size()) + " bytes");
        return true;
    case Step::Kind::Wait:
        // Timed from the end of what came before, so "press; wait 100" leaves
        // 100 ms of silence on the line.
        m_cursor = std::max(m_cursor, m_lineFree) + m_pacer.FromMilliseconds(step.durationMs);
        Report("wait " + std::to_string(step.durationMs) + " ms");
        return true;
    case Step::Kind::Toggle:
        m_builder.SetNextToggle(step.toggle);
        Report("toggle " + std::to_string(step.toggle));
        return true;
    }
    return true;
}

bool StepRunner::Hold(const Step& step, std::string& error) {
    FrameBuilder::Frame press{};
    FrameBuilder::Frame repeat{};
    if (!m_builder.Press(step.type, step.address, step.key, press) ||
        !m_builder.Repeat(step.type, step.address, step.key, repeat)) {
        error = "no frame for " + KeyText(step);
        return false;
    }
    const std::int64_t start = std::max({m_cursor, m_lineFree, m_pacer.Now()});
    if (!Send(press, start, error)) {
        return false;
    }
    // Repeats keep to the interval measured from the press, so a late one
    // does not shift those after it.
    std::uint32_t repeats = 0;
    for (std::uint64_t at = step.intervalMs; at <= step.durationMs; at += step.intervalMs) {
        const std::int64_t due = start + m_pacer.FromMilliseconds(static_cast<std::uint32_t>(at));
        if (!Send(repeat, due, error)) {
            return false;
        }
        ++repeats;
    }
    m_cursor = std::max(start + m_pacer.FromMilliseconds(step.durationMs), m_lineFree);
    Report("hold " + KeyText(step) + " for " + std::to_string(step.durationMs) + " ms: " +
           std::to_string(repeats) + " repeats every " + std::to_string(step.intervalMs) + " ms");
    return true;
}

bool StepRunner::Send(const std::uint8_t* bytes, std::size_t count, std::int64_t earliest,
                      std::string& error) {
    const std::int64_t start = std::max({earliest, m_lineFree, m_pacer.Now()});
    for (std::size_t i = 0; i < count; ++i) {
        m_pacer.WaitUntil(start + m_pacer.ByteTime(i));
        if (!m_port.WriteByte(bytes[i], error)) {
            return false;
        }
    }
    const std::int64_t written = m_pacer.Now();
    m_lineFree = std::max(start + m_pacer.ByteTime(count), written);
    if (m_verbosity == SimulatorOptions::Verbosity::Verbose) {
        std::printf("sent %s at %s\n", Hex(bytes, count).c_str(),
                    Timestamp::FormatMs(m_pacer.Microseconds(written)).c_str());
        std::fflush(stdout);
    }
    return true;
}

bool StepRunner::Send(const FrameBuilder::Frame& frame, std::int64_t earliest, std::string& error) {
    return Send(frame.data(), frame.size(), earliest, error);
}

void StepRunner::Report(const std::string& text) const {
    if (m_verbosity != SimulatorOptions::Verbosity::Quiet) {
        std::printf("%s\n", text.c_str());
        std::fflush(stdout);
    }
}
