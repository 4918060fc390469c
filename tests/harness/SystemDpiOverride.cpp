#include "SystemDpiOverride.h"

namespace harness {
namespace {

const char* const kDesktopKey = "Control Panel\\Desktop";

using SetContextFn = DPI_AWARENESS_CONTEXT(WINAPI*)(DPI_AWARENESS_CONTEXT);

SetContextFn SetThreadContext() {
    return reinterpret_cast<SetContextFn>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleA("user32.dll"), "SetThreadDpiAwarenessContext")));
}

} // namespace

SystemDpiOverride::SystemDpiOverride(DWORD dpi) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kDesktopKey, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key) ==
        ERROR_SUCCESS) {
        DWORD size = sizeof(m_oldValue);
        m_hadValue = RegQueryValueExA(key, "LogPixels", nullptr, nullptr,
                                      reinterpret_cast<BYTE*>(&m_oldValue), &size) == ERROR_SUCCESS;
        m_set = RegSetValueExA(key, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi),
                               sizeof(dpi)) == ERROR_SUCCESS;
        RegCloseKey(key);
    }
    if (SetContextFn set = SetThreadContext())
        m_oldContext = set(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE);
}

SystemDpiOverride::~SystemDpiOverride() {
    HKEY key;
    if (m_set &&
        RegOpenKeyExA(HKEY_CURRENT_USER, kDesktopKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        if (m_hadValue)
            RegSetValueExA(key, "LogPixels", 0, REG_DWORD,
                           reinterpret_cast<const BYTE*>(&m_oldValue), sizeof(m_oldValue));
        else
            RegDeleteValueA(key, "LogPixels");
        RegCloseKey(key);
    }
    if (m_oldContext != nullptr)
        SetThreadContext()(m_oldContext);
}

} // namespace harness
