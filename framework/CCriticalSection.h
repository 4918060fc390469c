// A lock between the threads of one process, over a Win32 critical section.
#pragma once

#include <windows.h>

class CCriticalSection {
public:
    CCriticalSection();
    ~CCriticalSection();
    CCriticalSection(const CCriticalSection&) = delete;
    CCriticalSection& operator=(const CCriticalSection&) = delete;

    // Blocks until the calling thread owns the lock; a thread that already
    // owns it enters again (and must unlock as often). Always TRUE.
    BOOL Lock();
    // Always TRUE.
    BOOL Unlock();

private:
    CRITICAL_SECTION m_section;
};
