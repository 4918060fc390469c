// Plays steps on the line at the receiver's pace and reports what it sent.
#pragma once

#include "FrameBuilder.h"
#include "Pacer.h"
#include "ScriptParser.h"
#include "SerialPort.h"
#include "SimulatorOptions.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class StepRunner {
public:
    StepRunner(SerialPort& port, Pacer& pacer, SimulatorOptions::Verbosity verbosity,
               int firstToggle);

    // Runs all steps; stops at the first failure, with error naming its step.
    bool Run(const std::vector<Step>& steps, std::string& error);

private:
    bool RunStep(const Step& step, std::string& error);
    bool Hold(const Step& step, std::string& error);

    // Writes bytes back to back, the first not before earliest nor before the
    // line is free; then the line is busy until the last byte's time is over.
    bool Send(const std::uint8_t* bytes, std::size_t count, std::int64_t earliest,
              std::string& error);
    bool Send(const FrameBuilder::Frame& frame, std::int64_t earliest, std::string& error);

    void Report(const std::string& text) const;

    SerialPort& m_port;
    Pacer& m_pacer;
    SimulatorOptions::Verbosity m_verbosity;
    FrameBuilder m_builder;
    std::int64_t m_cursor = 0;   // where the next step begins
    std::int64_t m_lineFree = 0; // when the last byte written has left the line
};
