// CWorkerThread: a worker that is late to stop is left to end by itself.
#include "CWorkerThread.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// What the worker shares with the test; the worker holds it too, since it
// may outlast the test's wait.
struct Shared {
    HANDLE hStop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE hRelease = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE hFinished = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ~Shared() {
        CloseHandle(hStop);
        CloseHandle(hRelease);
        CloseHandle(hFinished);
    }
};

// Ignores the stop until released, as one inside a slow request would.
unsigned WINAPI SlowWorker(void* pParam) {
    const std::unique_ptr<std::shared_ptr<Shared>> pHeld(
        static_cast<std::shared_ptr<Shared>*>(pParam));
    WaitForSingleObject((*pHeld)->hRelease, INFINITE);
    SetEvent((*pHeld)->hFinished);
    return 0;
}

unsigned WINAPI PromptWorker(void* pParam) {
    WaitForSingleObject(static_cast<Shared*>(pParam)->hStop, INFINITE);
    return 0;
}

TEST(CWorkerThreadTest, APromptWorkerIsGoneAndALateOneEndsByItselfNeverKilled) {
    Shared prompt;
    CWorkerThread quick;
    ASSERT_TRUE(quick.Start(PromptWorker, &prompt));
    EXPECT_TRUE(quick.Stop(prompt.hStop, 5000));
    EXPECT_FALSE(quick.IsRunning());

    const auto pShared = std::make_shared<Shared>();
    CWorkerThread late;
    ASSERT_TRUE(late.Start(SlowWorker, new std::shared_ptr<Shared>(pShared)));
    EXPECT_FALSE(late.Stop(pShared->hStop, 100));
    EXPECT_FALSE(late.IsRunning());
    // A terminated thread would never get here.
    SetEvent(pShared->hRelease);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(pShared->hFinished, 10000));
}

} // namespace
