// The serial line both programs use, on the harness's virtual ports: which
// step failed, a port given back after a failed set-up, and reads that the
// stop event or the bound ends.
#include <windows.h>

#include <gtest/gtest.h>

#include "CSerialLine.h"
#include "CSerialReader.h"
#include "DevicePort.h"
#include "LineState.h"

namespace {

// Reads wait until the bytes asked for came.
CSerialLine::Settings WaitingLine() {
    CSerialLine::Settings settings;
    settings.queueSizes = {1024, 0};
    settings.bPreparationRequired = true;
    return settings;
}

TEST(CSerialLine, TellsWhichStepFailedAndGivesAFaultyPortBack) {
    HANDLE port = nullptr;
    CSerialLine::Result result = CSerialLine::Open(9, WaitingLine(), &port);
    EXPECT_EQ(CSerialLine::STEP_OPEN, result.step);
    EXPECT_NE(static_cast<DWORD>(ERROR_SUCCESS), result.dwError);
    EXPECT_EQ(INVALID_HANDLE_VALUE, port);

    harness::BlockConfiguration("COM3", true);
    result = CSerialLine::Open(3, WaitingLine(), &port);
    harness::BlockConfiguration("COM3", false);
    EXPECT_EQ(CSerialLine::STEP_SET_STATE, result.step);
    EXPECT_NE(static_cast<DWORD>(ERROR_SUCCESS), result.dwError);
    EXPECT_EQ(INVALID_HANDLE_VALUE, port);
    // Closed again: it opens at once.
    ASSERT_TRUE(CSerialLine::Open(3, WaitingLine(), &port).IsOk());
    CloseHandle(port);
}

TEST(CSerialLine, ReadsEndWithTheBytesTheStopOrTheBound) {
    harness::DevicePort device("COM11");
    ASSERT_TRUE(device.SetLine(CBR_9600));
    HANDLE port = INVALID_HANDLE_VALUE;
    ASSERT_TRUE(CSerialLine::Open(1, WaitingLine(), &port).IsOk());
    const HANDLE stop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    CSerialReader reader(stop);
    BYTE buffer[3] = {};
    DWORD read = 0;
    DWORD error = 0;

    ASSERT_TRUE(device.Write(std::string("\x12\xED\x13", 3)));
    EXPECT_EQ(CSerialReader::READ_DONE, reader.Read(port, buffer, 3, 5000, &read, &error));
    EXPECT_EQ(3u, read);
    EXPECT_EQ(0x13, buffer[2]);

    EXPECT_EQ(CSerialReader::READ_TIMED_OUT, reader.Read(port, buffer, 3, 200, &read, &error));
    SetEvent(stop);
    EXPECT_EQ(CSerialReader::READ_STOPPED, reader.Read(port, buffer, 3, INFINITE, &read, &error));

    CloseHandle(stop);
    CloseHandle(port);
}

} // namespace
