// Message maps: each window class lists, as a table, which member function
// handles which window message (and, for WM_COMMAND, which command). A class
// that has a map overrides CWnd::GetMessageMap:
//
//     const framework::MessageMap* CMyDlg::GetMessageMap() const {
//         using framework::Handler;
//         static const framework::MessageMapEntry entries[] = {
//             {WM_PAINT, 0, Handler<&CMyDlg::OnPaint>},
//             {WM_COMMAND, ID_APP_EXIT, Handler<&CMyDlg::OnExit>},
//         };
//         static const framework::MessageMap map{CDialog::GetMessageMap(), entries,
//                                                std::size(entries)};
//         return &map;
//     }
//
// A message registered at run time (RegisterWindowMessage, the shell's
// "TaskbarCreated") has no constant: its entry names it instead, and its
// first column is 0:
//             {0, 0, Handler<&CMyDlg::OnTaskbarCreated>,
//              framework::RegisteredMessage("TaskbarCreated")},
//
// A control whose every notification goes to one handler (the handler reads
// the code from HIWORD(wParam)) has an entry made by ControlNotifications:
//             framework::ControlNotifications(IDC_NAME, Handler<&CMyDlg::OnName>),
//
// Handlers have one of two forms:
//     LRESULT OnSomething(WPARAM wParam, LPARAM lParam);  // its result is the message's
//     void OnSomething();                                 // the message's result is 0
// A message that no map of the class or its bases lists gets the default
// handling of the window (CWnd::Default).
#pragma once

#include <windows.h>

#include <cstddef>

class CWnd;

namespace framework {

// Calls one handler on the window object that received the message.
using MessageHandler = LRESULT (*)(CWnd& wnd, WPARAM wParam, LPARAM lParam);

struct MessageMapEntry {
    UINT nMessage;
    // For WM_COMMAND: the wParam the entry stands for, i.e. the command or
    // control id in the low word and the notification code in the high word
    // (0 for menu commands and button clicks: MAKEWPARAM(id, 0) is just id).
    // Unused (0) for other messages.
    WPARAM nCommand;
    MessageHandler pfnHandler;
    // For a registered message: where its number is kept (RegisteredMessage);
    // null for the others. A number of 0 (registration failed) matches nothing.
    const UINT* pnRegistered = nullptr;
    // For WM_COMMAND: the entry stands for every notification code of the
    // control in the low word of nCommand.
    bool bAnyNotification = false;
};

struct MessageMap {
    const MessageMap* pBaseMap; // searched when no entry here matches; null at the root
    const MessageMapEntry* pEntries;
    std::size_t nCount;
};

namespace detail {

template <class Member> struct HandlerClass;
template <class T> struct HandlerClass<LRESULT (T::*)(WPARAM, LPARAM)> { using type = T; };
template <class T> struct HandlerClass<void (T::*)()> { using type = T; };

template <class T> LRESULT Call(T& wnd, LRESULT (T::*pfn)(WPARAM, LPARAM), WPARAM w, LPARAM l) {
    return (wnd.*pfn)(w, l);
}

template <class T> LRESULT Call(T& wnd, void (T::*pfn)(), WPARAM, LPARAM) {
    (wnd.*pfn)();
    return 0;
}

} // namespace detail

// The table's handler column: Handler<&CMyDlg::OnPaint>. The window object is
// the one whose map holds the entry, so the downcast is safe.
template <auto pfn> LRESULT Handler(CWnd& wnd, WPARAM wParam, LPARAM lParam) {
    using T = typename detail::HandlerClass<decltype(pfn)>::type;
    return detail::Call(static_cast<T&>(wnd), pfn, wParam, lParam);
}

// The WM_COMMAND entry for every notification of the control nId.
constexpr MessageMapEntry ControlNotifications(int nId, MessageHandler pfnHandler) {
    return MessageMapEntry{WM_COMMAND, static_cast<WPARAM>(static_cast<WORD>(nId)), pfnHandler,
                           nullptr, true};
}

// The number of the message registered under pszName, registered on the first
// call; the pointer stays valid for the program's life.
const UINT* RegisteredMessage(const char* pszName);

// The entry of map (or of its bases) that handles the message; null if none.
const MessageMapEntry* FindMessageEntry(const MessageMap* pMap, UINT nMessage, WPARAM wParam);

} // namespace framework
