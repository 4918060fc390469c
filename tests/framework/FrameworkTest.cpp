// The dialog framework: what the programs rely on in their message maps and
// modal loops, run with real windows.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <iterator>
#include <thread>

#include "CDialog.h"
#include "FrameworkTestResource.h"

namespace {

constexpr UINT WM_DOUBLE = WM_USER + 10; // returns 2 * wParam
constexpr UINT WM_END_FROM_SEND = WM_USER + 11;
constexpr UINT WM_RUN = WM_USER + 12;    // runs CProbeDialog::onRun
constexpr UINT WM_TRIPLE = WM_USER + 13; // returns 3 * wParam, from a member's table
constexpr UINT_PTR PROBE_TIMER = 1;
constexpr int ID_FIELD = 2000; // a control that notifies with several codes

// A dialog whose behaviour each test fills in and whose handlers record what
// reached them.
class CProbeDialog : public CDialog {
public:
    explicit CProbeDialog(CWnd* pParent = nullptr) : CDialog(IDD_PROBE, pParent) {}

    std::function<void(CProbeDialog&)> onInit;
    std::function<void(CProbeDialog&)> onRun;
    std::function<void(CProbeDialog&)> onTimer;
    bool bHidden = false; // run the loop without showing the dialog

    int nCreates = 0;
    int nPings = 0;
    int nFieldCodes = 0; // ID_FIELD's codes as decimal digits, in order

    INT_PTR DoModal() override {
        return bHidden ? RunModal(Visibility::AsTemplate) : CDialog::DoModal();
    }

    LRESULT Send(UINT nMessage, WPARAM wParam = 0, LPARAM lParam = 0) {
        return SendMessageA(m_hWnd, nMessage, wParam, lParam);
    }
    void Post(UINT nMessage, WPARAM wParam = 0, LPARAM lParam = 0) {
        PostMessageA(m_hWnd, nMessage, wParam, lParam);
    }

protected:
    BOOL OnInitDialog() override {
        if (onInit) {
            onInit(*this);
        }
        return TRUE;
    }

    const framework::MessageMap* GetMessageMap() const override {
        using framework::Handler;
        static const framework::MessageMapEntry entries[] = {
            {WM_CREATE, 0, Handler<&CProbeDialog::OnCreate>},
            {WM_COMMAND, ID_PING, Handler<&CProbeDialog::OnPing>},
            framework::ControlNotifications(ID_FIELD, Handler<&CProbeDialog::OnField>),
            {WM_DOUBLE, 0, Handler<&CProbeDialog::OnDouble>},
            {WM_END_FROM_SEND, 0, Handler<&CProbeDialog::OnEndFromSend>},
            {WM_RUN, 0, Handler<&CProbeDialog::OnRun>},
            {WM_TIMER, 0, Handler<&CProbeDialog::OnTimer>},
            {0, 0, Handler<&CProbeDialog::OnRegistered>,
             framework::RegisteredMessage("KV480FrameworkTestMessage")},
        };
        static const framework::MessageMap map{CDialog::GetMessageMap(), entries,
                                               std::size(entries)};
        return &map;
    }

private:
    LRESULT OnCreate(WPARAM, LPARAM) {
        ++nCreates;
        return Default();
    }
    void OnPing() { ++nPings; }
    LRESULT OnField(WPARAM wParam, LPARAM) {
        nFieldCodes = nFieldCodes * 10 + HIWORD(wParam);
        return 0;
    }
    LRESULT OnDouble(WPARAM wParam, LPARAM) { return static_cast<LRESULT>(2 * wParam); }
    LRESULT OnRegistered(WPARAM wParam, LPARAM) { return static_cast<LRESULT>(wParam + 1); }
    LRESULT OnEndFromSend(WPARAM wParam, LPARAM) {
        EndDialog(static_cast<int>(wParam));
        return 1;
    }
    void OnRun() {
        if (onRun) {
            onRun(*this);
        }
    }
    LRESULT OnTimer(WPARAM wParam, LPARAM) {
        KillTimer(m_hWnd, wParam);
        if (onTimer) {
            onTimer(*this);
        }
        return 0;
    }
};

// A derived class replaces one handler of its base and keeps the others.
class CDerivedDialog : public CProbeDialog {
protected:
    const framework::MessageMap* GetMessageMap() const override {
        using framework::Handler;
        static const framework::MessageMapEntry entries[] = {
            {WM_DOUBLE, 0, Handler<&CDerivedDialog::OnDoubleReplaced>},
        };
        static const framework::MessageMap map{CProbeDialog::GetMessageMap(), entries,
                                               std::size(entries)};
        return &map;
    }

private:
    LRESULT OnDoubleReplaced(WPARAM, LPARAM) { return -7; }
};

// A member object, not a window, with a table of its own.
class CMemberPart : public framework::MessageTarget {
public:
    const framework::MessageMap* GetMessageMap() const {
        using framework::Handler;
        static const framework::MessageMapEntry entries[] = {
            {WM_TRIPLE, 0, Handler<&CMemberPart::OnTriple>},
        };
        static const framework::MessageMap map{nullptr, entries, std::size(entries)};
        return &map;
    }
    int nTriples = 0;

private:
    LRESULT OnTriple(WPARAM wParam, LPARAM) {
        ++nTriples;
        return static_cast<LRESULT>(3 * wParam);
    }
};

class CChainingDialog : public CProbeDialog {
public:
    CMemberPart m_part;

protected:
    const framework::MessageMap* GetMessageMap() const override {
        static const framework::MessageMapEntry entries[] = {
            framework::ChainToMember<&CChainingDialog::m_part>(),
        };
        static const framework::MessageMap map{CProbeDialog::GetMessageMap(), entries,
                                               std::size(entries)};
        return &map;
    }
};

TEST(MessageMap, RoutesMessagesCommandsAndTheRest) {
    CProbeDialog dlg;
    LRESULT lDoubled = 0;
    LRESULT lRegistered = 0;
    LRESULT lUnknownCommand = -1;
    char szCaption[32] = {};
    dlg.onInit = [&](CProbeDialog& d) {
        lDoubled = d.Send(WM_DOUBLE, 21);
        lRegistered = d.Send(RegisterWindowMessageA("KV480FrameworkTestMessage"), 9);
        d.Send(WM_COMMAND, ID_PING);
        // A notification code other than 0 is another entry, not ID_PING.
        d.Send(WM_COMMAND, MAKEWPARAM(ID_PING, 1));
        d.Send(WM_COMMAND, MAKEWPARAM(ID_FIELD, 3));
        d.Send(WM_COMMAND, MAKEWPARAM(ID_FIELD, 0));
        d.Send(WM_COMMAND, MAKEWPARAM(ID_FIELD + 1, 3));
        lUnknownCommand = d.Send(WM_COMMAND, 4242);
        // Not in any map: the dialog's own procedure answers.
        d.Send(WM_GETTEXT, sizeof(szCaption), reinterpret_cast<LPARAM>(szCaption));
        d.EndDialog(3);
    };
    EXPECT_EQ(3, dlg.DoModal());
    EXPECT_EQ(42, lDoubled);
    EXPECT_EQ(10, lRegistered);
    EXPECT_EQ(1, dlg.nPings);
    EXPECT_EQ(30, dlg.nFieldCodes) << "every code of ID_FIELD, no other control";
    EXPECT_EQ(0, lUnknownCommand);
    EXPECT_STREQ("Probe", szCaption);
    // The object let go of its window.
    EXPECT_EQ(nullptr, dlg.GetSafeHwnd());
}

TEST(MessageMap, DerivedEntriesComeFirstAndBaseEntriesStay) {
    CDerivedDialog dlg;
    LRESULT lDoubled = 0;
    dlg.onInit = [&](CProbeDialog& d) {
        lDoubled = d.Send(WM_DOUBLE, 21);
        d.Send(WM_COMMAND, ID_PING);
        d.EndDialog(IDOK);
    };
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_EQ(-7, lDoubled);
    EXPECT_EQ(1, dlg.nPings);
}

TEST(MessageMap, AChainedMemberHandlesItsOwnMessagesAndTheRestGoOn) {
    CChainingDialog dlg;
    LRESULT lTripled = 0;
    LRESULT lDoubled = 0;
    char szCaption[32] = {};
    dlg.onInit = [&](CProbeDialog& d) {
        lTripled = d.Send(WM_TRIPLE, 21);
        lDoubled = d.Send(WM_DOUBLE, 21);
        d.Send(WM_COMMAND, ID_PING);
        d.Send(WM_GETTEXT, sizeof(szCaption), reinterpret_cast<LPARAM>(szCaption));
        d.EndDialog(IDOK);
    };
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_EQ(63, lTripled);
    EXPECT_EQ(1, dlg.m_part.nTriples) << "the member's handler ran on the member";
    EXPECT_EQ(42, lDoubled);
    EXPECT_EQ(1, dlg.nPings);
    EXPECT_STREQ("Probe", szCaption);
}

TEST(Dialog, SeesWmCreateOfItsOwnWindowOnly) {
    // The controls of the template are created inside the dialog's creation;
    // their WM_CREATE must not reach the dialog object.
    CProbeDialog dlg;
    dlg.onInit = [](CProbeDialog& d) { d.EndDialog(IDOK); };
    dlg.DoModal();
    EXPECT_EQ(1, dlg.nCreates);
}

TEST(Dialog, EndsWithTheCodeOfOkCancelOrEndDialog) {
    for (const int nCode : {IDOK, IDCANCEL}) {
        CProbeDialog dlg;
        dlg.onInit = [nCode](CProbeDialog& d) { d.Post(WM_COMMAND, static_cast<WPARAM>(nCode)); };
        EXPECT_EQ(nCode, dlg.DoModal());
    }
    // Ended before the loop starts: the loop is never entered.
    CProbeDialog early;
    early.onInit = [](CProbeDialog& d) { d.EndDialog(42); };
    EXPECT_EQ(42, early.DoModal());
}

TEST(Dialog, EndDialogFromAMessageSentByAnotherThreadEndsTheLoop) {
    // Such a message is handled inside GetMessage, which would go on waiting
    // for a posted message unless EndDialog wakes the loop.
    CProbeDialog dlg;
    // Hiding a shown window can take seconds on a display without a window
    // manager; the loop is the same either way.
    dlg.bHidden = true;
    std::thread sender;
    std::atomic<bool> bRescued{false};
    dlg.onInit = [&](CProbeDialog& d) {
        const HWND hWnd = d.m_hWnd;
        sender = std::thread([hWnd, &bRescued] {
            Sleep(100);
            SendMessageA(hWnd, WM_END_FROM_SEND, 5, 0);
            // A loop that missed the end would wait for ever: free it, late,
            // and say so (a busy machine only makes the rescue later).
            for (int i = 0; i < 1000 && IsWindow(hWnd); ++i) {
                Sleep(10);
            }
            if (IsWindow(hWnd)) {
                bRescued = true;
                PostMessageA(hWnd, WM_COMMAND, IDCANCEL, 0);
            }
        });
    };
    const INT_PTR nResult = dlg.DoModal();
    sender.join();
    EXPECT_EQ(5, nResult);
    EXPECT_FALSE(bRescued);
}

TEST(Dialog, HiddenLoopNeverShowsTheWindowAndPlainDoModalDoes) {
    for (const bool bHidden : {true, false}) {
        CProbeDialog dlg;
        dlg.bHidden = bHidden;
        bool bVisible = !bHidden;
        dlg.onInit = [](CProbeDialog& d) { SetTimer(d.m_hWnd, PROBE_TIMER, 200, nullptr); };
        dlg.onTimer = [&](CProbeDialog& d) {
            bVisible = IsWindowVisible(d.m_hWnd) != FALSE;
            d.EndDialog(IDOK);
        };
        EXPECT_EQ(IDOK, dlg.DoModal());
        EXPECT_EQ(!bHidden, bVisible) << (bHidden ? "hidden loop" : "DoModal");
    }
}

TEST(Dialog, NestedDialogDisablesItsOwnerAndBothEndFromTheOuterOne) {
    // As when a program ends while one of its dialogs is open: a message to
    // the outer dialog ends the inner one and then itself.
    CProbeDialog outer;
    outer.bHidden = true;
    CProbeDialog inner(&outer);
    INT_PTR nInner = -2;
    bool bOwnerEnabledInside = true;
    bool bOwnerEnabledAfter = false;
    int nRuns = 0;
    outer.onInit = [](CProbeDialog& o) { o.Post(WM_RUN); };
    outer.onRun = [&](CProbeDialog& o) {
        if (++nRuns == 1) {
            inner.onInit = [&](CProbeDialog&) {
                bOwnerEnabledInside = IsWindowEnabled(o.m_hWnd) != FALSE;
                // Handled by the outer dialog while the inner loop runs.
                o.Post(WM_RUN);
            };
            nInner = inner.DoModal();
            bOwnerEnabledAfter = IsWindowEnabled(o.m_hWnd) != FALSE;
        } else {
            inner.EndDialog(0);
            o.EndDialog(IDCANCEL);
        }
    };
    EXPECT_EQ(IDCANCEL, outer.DoModal());
    EXPECT_EQ(0, nInner);
    EXPECT_EQ(2, nRuns);
    EXPECT_FALSE(bOwnerEnabledInside);
    EXPECT_TRUE(bOwnerEnabledAfter);
}

} // namespace
