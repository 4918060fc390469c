#include "SimulatorOptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Args = std::vector<std::string>;

SimulatorOptions ParseOk(const Args& args) {
    SimulatorOptions options;
    std::string error;
    EXPECT_TRUE(options.Parse(args, error)) << error;
    return options;
}

std::string ParseError(const Args& args) {
    SimulatorOptions options;
    std::string error;
    EXPECT_FALSE(options.Parse(args, error));
    EXPECT_FALSE(error.empty());
    return error;
}

TEST(SimulatorOptions, OptionsMayStandAnywhere) {
    const SimulatorOptions front =
        ParseOk({"--port", "COM11", "--verbose", "press", "veko", "12ED", "1"});
    const SimulatorOptions back =
        ParseOk({"press", "veko", "12ED", "1", "--port=COM11", "--verbose"});
    for (const SimulatorOptions* options : {&front, &back}) {
        EXPECT_EQ(options->port, "COM11");
        EXPECT_EQ(options->DevicePath(), "\\\\.\\COM11");
        EXPECT_EQ(options->verbosity, SimulatorOptions::Verbosity::Verbose);
        ASSERT_EQ(options->steps.size(), 1u);
        EXPECT_EQ(options->steps[0].kind, Step::Kind::Press);
        EXPECT_EQ(options->steps[0].line, 0);
        EXPECT_TRUE(options->scriptPath.empty());
    }
    // --interval belongs to hold, not to the options.
    const SimulatorOptions hold =
        ParseOk({"--port", "COM1", "hold", "zelmar", "1", "f1", "500", "--interval", "20"});
    ASSERT_EQ(hold.steps.size(), 1u);
    EXPECT_EQ(hold.steps[0].intervalMs, 20u);
}

TEST(SimulatorOptions, PortIsRequiredAndOnlyADeviceName) {
    EXPECT_EQ(ParseOk({"--port", "\\\\.\\COM7", "wait", "1"}).port, "COM7");
    EXPECT_EQ(ParseOk({"--port", "CNCA0", "wait", "1"}).port, "CNCA0");
    EXPECT_NE(ParseError({"wait", "1"}).find("--port"), std::string::npos);
    ParseError({"--port"});
    ParseError({"--port", "", "wait", "1"});
    ParseError({"--port", "..\\COM1", "wait", "1"});
    ParseError({"--port", "\\\\.\\", "wait", "1"});
    ParseError({"--port", "COM1:", "wait", "1"});
    ParseError({"--port", std::string(SimulatorOptions::MAX_PORT_NAME + 1, 'A'), "wait", "1"});
}

TEST(SimulatorOptions, ScriptTakesOnePathOrStandardInput) {
    SimulatorOptions options = ParseOk({"--port", "COM11", "script", "C:\\my scripts\\a.txt"});
    EXPECT_EQ(options.scriptPath, "C:\\my scripts\\a.txt");
    EXPECT_TRUE(options.steps.empty());
    EXPECT_EQ(ParseOk({"script", "-", "--port", "COM11"}).scriptPath, "-");
    ParseError({"--port", "COM11", "script"});
    ParseError({"--port", "COM11", "script", "a", "b"});
}

TEST(SimulatorOptions, TogglesAndWaits) {
    SimulatorOptions options =
        ParseOk({"--port", "COM11", "--toggle", "1", "--wait-dtr", "wait", "0"});
    EXPECT_EQ(options.firstToggle, 1);
    EXPECT_TRUE(options.waitDtr);
    EXPECT_EQ(options.dtrWaitMs, SimulatorOptions::DEFAULT_DTR_WAIT_MS);
    EXPECT_EQ(options.verbosity, SimulatorOptions::Verbosity::Normal);

    options = ParseOk({"--port", "COM11", "--wait-dtr=250", "--quiet", "wait", "0"});
    EXPECT_EQ(options.dtrWaitMs, 250u);
    EXPECT_EQ(options.verbosity, SimulatorOptions::Verbosity::Quiet);

    ParseError({"--port", "COM11", "--toggle", "2", "wait", "0"});
    ParseError({"--port", "COM11", "--toggle"});
    ParseError({"--port", "COM11", "--wait-dtr=", "wait", "0"});
    ParseError({"--port", "COM11", "--wait-dtr=600001", "wait", "0"});
    ParseError({"--port", "COM11", "--quiet", "--verbose", "wait", "0"});
}

TEST(SimulatorOptions, BadCommandLinesSayWhat) {
    EXPECT_NE(ParseError({"--port", "COM11"}).find("no command"), std::string::npos);
    EXPECT_NE(ParseError({"--port", "COM11", "--fast", "wait", "1"}).find("unknown option"),
              std::string::npos);
    EXPECT_NE(ParseError({"--port", "COM11", "press", "veko", "12ED", "7"}).find("ZELMAR_OVI"),
              std::string::npos);
    ParseError({"--port", "COM11", "press", "veko", "12ED", "-1"});
}

TEST(SimulatorOptions, HelpNeedsNothingElse) {
    EXPECT_TRUE(ParseOk({"--help"}).help);
    EXPECT_TRUE(ParseOk({"press", "-h"}).help);
    EXPECT_NE(std::string(SimulatorOptions::Usage()).find("--port"), std::string::npos);
}

} // namespace
