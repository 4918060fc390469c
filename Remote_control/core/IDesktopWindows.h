// The windows that may take a key and their facts, as the key path sees
// them: CKeyRouter asks, an implementation answers on Windows
// (CWin32DesktopWindows) or in a test. Windows are plain numbers here, 0 for
// none; texts are UTF-8.
#pragma once

#include <cstdint>
#include <string>

class IDesktopWindows {
public:
    using Window = std::uintptr_t;

    // The messages of the key path; their numbers are the desktop's.
    enum class Message {
        Key,     // "WM_REMOTECONTROL": a press or a repeat
        Release, // the end of a hold, to the window that got its press
    };
    enum class PostResult {
        Posted,
        // The window runs with more rights than KV480 and does not let the
        // message through.
        Refused,
        Failed,
    };

    struct WindowFacts {
        std::uint32_t nProcess = 0;
        bool bOwnProcess = false; // one of KV480's own windows
        std::string strClass;
        std::string strCaption;
        // Runs at a higher integrity level than KV480, so Windows refuses
        // KV480's input and posted messages to it.
        bool bHigherIntegrity = false;
        bool bHung = false;       // has not taken its messages for a while
        bool bCloaked = false;    // on another virtual desktop, or hidden by the shell
        bool bToolWindow = false; // a palette or overlay, not an application's window
    };

    virtual PostResult Post(Window window, Message message, int nKey, int nRepeat) = 0;

    // The windows that may take a key, as they are at the call; 0 when none.
    virtual Window KeysEditorInFront() const = 0;
    // The receiving application's window that gets a key now.
    virtual Window ReceivingWindow() const = 0;
    // The window in front: the application's own window of a dialog it owns.
    virtual Window Foreground() const = 0;
    // The top-level window under the pointer, which takes a click or the
    // wheel; 0 when none.
    virtual Window UnderPointer() const = 0;

    virtual WindowFacts FactsOf(Window window) const = 0;
    // The file name of the window's program; dearer than the other facts,
    // so asked for only where a key map needs it.
    virtual std::string ProgramOf(Window window) const = 0;
    // Locked, or the secure desktop in front: no input reaches the user's
    // windows.
    virtual bool IsSessionLocked() const = 0;
    // KV480 runs with administrator rights.
    virtual bool IsElevated() const = 0;

protected:
    ~IDesktopWindows() = default;
};
