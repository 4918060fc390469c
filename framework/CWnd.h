// A window object: the C++ side of one Win32 window. The object subclasses
// its window, so every message goes through WindowProc, which looks it up in
// the class's message map (MessageMap.h) and otherwise hands it to the
// window's own procedure (Default).
#pragma once

#include <windows.h>

#include "MessageMap.h"

class CWnd : public framework::MessageTarget {
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND GetSafeHwnd() const { return m_hWnd; }

    // The object behind a window that one of these objects has subclassed;
    // null for any other window.
    static CWnd* FromHandlePermanent(HWND hWnd);

    // Makes this object the handler of an existing window (a dialog's control,
    // for one). False if the object already has a window or hWnd is none.
    bool SubclassWindow(HWND hWnd);

    HWND m_hWnd = nullptr;

protected:
    // Every message of the window passes here first. The base looks the
    // message up in the message map and falls back to DefWindowProc.
    virtual LRESULT WindowProc(UINT nMessage, WPARAM wParam, LPARAM lParam);
    // The handlers of this class; null for a class without a map.
    virtual const framework::MessageMap* GetMessageMap() const;

    // The window procedure the object replaced, called with the given message.
    LRESULT DefWindowProc(UINT nMessage, WPARAM wParam, LPARAM lParam);
    // The same for the message being handled now.
    LRESULT Default();

    // Called after the last message (WM_NCDESTROY), when the object no longer
    // has a window.
    virtual void PostNcDestroy() {}

    // Between BeginCreateHook and EndCreateHook, the next window created on
    // this thread is subclassed by this object as soon as it exists, so that
    // it sees WM_CREATE and everything after. Windows created from within that
    // creation (a dialog's controls) are left alone.
    class CreateHook {
    public:
        explicit CreateHook(CWnd& wnd);
        ~CreateHook();
        CreateHook(const CreateHook&) = delete;
        CreateHook& operator=(const CreateHook&) = delete;

    private:
        CWnd* m_pPrevious;
        HHOOK m_hHook;
    };

private:
    static LRESULT CALLBACK StdWndProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK CbtHookProc(int nCode, WPARAM wParam, LPARAM lParam);
    void Detach();

    struct CurrentMessage {
        UINT nMessage;
        WPARAM wParam;
        LPARAM lParam;
    };

    WNDPROC m_pfnSuper = nullptr;
    CurrentMessage m_current{};
};
