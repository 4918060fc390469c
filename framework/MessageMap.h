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
// An object that is not a window but handles some of its window's messages
// (a member that owns a part of the program's state) derives from
// MessageTarget and lists them in a table of its own, as a window does:
//
//     class CLink : public framework::MessageTarget {
//     public:
//         const framework::MessageMap* GetMessageMap() const;  // its table
//     private:
//         LRESULT OnData(WPARAM wParam, LPARAM lParam);
//     };
//
// The window's table chains that member's table in with one entry, searched
// in its place; a message the member's table does not list goes on to the
// window's next entries:
//             framework::ChainToMember<&CMyDlg::m_link>(),
//
// Handlers have one of two forms:
//     LRESULT OnSomething(WPARAM wParam, LPARAM lParam);  // its result is the message's
//     void OnSomething();                                 // the message's result is 0
// A message that no map of the class or its bases lists gets the default
// handling of the window (CWnd::Default).
#pragma once

#include <windows.h>

#include <cstddef>

namespace framework {

// What a message map's handlers run on: a window object (CWnd), or a member
// object of one whose table the window chains in.
class MessageTarget {
protected:
    MessageTarget() = default;
    ~MessageTarget() = default;
};

struct MessageMap;

// Calls one handler on the object whose map holds the entry.
using MessageHandler = LRESULT (*)(MessageTarget& target, WPARAM wParam, LPARAM lParam);
// For a chain entry: the member object of the window object owner, and its
// table in pMap.
using MemberOf = MessageTarget& (*)(MessageTarget& owner, const MessageMap*& pMap);

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
    // For a chain entry (ChainToMember): the member whose table is searched
    // in this entry's place; null for the others.
    MemberOf pfnMember = nullptr;
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

template <class Member> struct MemberClass;
template <class T, class M> struct MemberClass<M T::*> { using type = T; };

template <auto pMember> MessageTarget& Member(MessageTarget& owner, const MessageMap*& pMap) {
    using T = typename MemberClass<decltype(pMember)>::type;
    auto& member = static_cast<T&>(owner).*pMember;
    pMap = member.GetMessageMap();
    return member;
}

} // namespace detail

// The table's handler column: Handler<&CMyDlg::OnPaint>. The target is the
// object whose map holds the entry, so the downcast is safe.
template <auto pfn> LRESULT Handler(MessageTarget& target, WPARAM wParam, LPARAM lParam) {
    using T = typename detail::HandlerClass<decltype(pfn)>::type;
    return detail::Call(static_cast<T&>(target), pfn, wParam, lParam);
}

// The entry that chains in the table of the member object pMember
// (&CMyDlg::m_link), whose class derives from MessageTarget and has
// const MessageMap* GetMessageMap() const.
template <auto pMember> constexpr MessageMapEntry ChainToMember() {
    return MessageMapEntry{0, 0, nullptr, nullptr, false, &detail::Member<pMember>};
}

// The WM_COMMAND entry for every notification of the control nId.
constexpr MessageMapEntry ControlNotifications(int nId, MessageHandler pfnHandler) {
    return MessageMapEntry{WM_COMMAND, static_cast<WPARAM>(static_cast<WORD>(nId)), pfnHandler,
                           nullptr, true};
}

// The number of the message registered under pszName, registered on the first
// call; the pointer stays valid for the program's life.
const UINT* RegisteredMessage(const char* pszName);

// The entry of map (or of its bases, or of a member's table chained in)
// that handles the message; null if none. pTarget comes in as the object
// whose map it is, and goes out as the one the entry's handler runs on.
const MessageMapEntry* FindMessageEntry(const MessageMap* pMap, MessageTarget*& pTarget,
                                        UINT nMessage, WPARAM wParam);

} // namespace framework
