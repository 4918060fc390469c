// Everything outside KV480 that the key path reads or changes: the windows
// that may take a key, the facts of the window in front, input, the user's
// key maps and what the user is told. CKeyRouter decides; an implementation
// of this carries it out, on Windows (CWin32KeyDesktop) or in a test.
// Windows are plain numbers here, 0 for none; texts are UTF-8.
#pragma once

#include "CKeyActionEngine.h"
#include "CKeyMapLayers.h"

#include <cstdint>
#include <string>

class IKeyDesktop {
public:
    using Window = std::uintptr_t;

    // The messages of the key path; their numbers are the desktop's.
    enum class Message {
        TestKey, // a key event, to the test dialog
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

    // What became of an action step.
    struct Outcome {
        // False when the desktop did not let it happen (input refused,
        // the foreground not given up).
        bool bCarried = true;
        // What the user must be told (a program that cannot be started);
        // empty when there is nothing to tell.
        std::string strWarning;
    };

    virtual PostResult Post(Window window, Message message, int nKey, int nRepeat) = 0;

    // The windows that may take a key, as they are at the call; 0 when none.
    virtual Window TestDialog() const = 0;
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

    // The user's key maps as they stand, read again where a file changed,
    // asked as while strMode is on (empty: no mode).
    virtual CKeyMapLayers KeyMaps(const std::string& strMode) = 0;
    // Types, starts, brings forward or moves the pointer as the step says.
    virtual Outcome Carry(const CKeyActionEngine::Step& step) = 0;
    // For a moment, near the window in front, what a key just did: when the
    // user wants it, or bAlways (a mode switched, a question to answer).
    virtual void ShowActionNote(const std::string& strText, bool bAlways) = 0;
    // The tray icon's tooltip names the mode that is on (empty: none).
    virtual void ShowMode(const std::string& strTipLine) = 0;
    // Starts one of the PC's own actions; false with Windows' reason when it
    // was refused at once (a later refusal is told by the desktop itself).
    virtual bool StartPcAction(CKeyAction::Pc pc, std::string& strRefusal) = 0;
    // A warning balloon on the tray icon; false when it could not be shown.
    virtual bool ShowBalloon(const std::string& strTitle, const std::string& strText) = 0;

    // Every key event, also for programs that read the remote over LIRC.
    virtual void LircKeyEvent(int nKey, int nRepeat) = 0;
    virtual void LircKeyRelease(int nKey) = 0;

protected:
    ~IKeyDesktop() = default;
};
