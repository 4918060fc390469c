// The system DPI for programs started while the object lives: Wine reads
// HKCU\Control Panel\Desktop "LogPixels" when a process starts. The value is
// put back when the object goes. Meanwhile the calling thread is per-monitor
// aware, so it sees those programs' windows in real pixels.
#pragma once

#include <windows.h>

namespace harness {

class SystemDpiOverride {
public:
    explicit SystemDpiOverride(DWORD dpi);
    ~SystemDpiOverride();
    SystemDpiOverride(const SystemDpiOverride&) = delete;
    SystemDpiOverride& operator=(const SystemDpiOverride&) = delete;

    bool Ok() const { return m_set && m_oldContext != nullptr; }

private:
    bool m_set = false;
    bool m_hadValue = false;
    DWORD m_oldValue = 0;
    DPI_AWARENESS_CONTEXT m_oldContext = nullptr;
};

} // namespace harness
