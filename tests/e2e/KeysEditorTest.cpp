// The key-map editor end to end: a user sets a remote key for one
// application with the editor alone, and KV480 types it there. The
// application is a window of this process; the remote is the simulated
// receiver.
#include <windows.h>
#include <commctrl.h>
#include <dlgs.h>
#include <sddl.h>

#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "Accessibility.h"
#include "KeysEditorWindow.h"
#include "KeyboardWindow.h"
#include "Pointer.h"
#include "ResidentFixture.h"
#include "SystemDpiOverride.h"

using harness::KeyboardWindow;
using harness::WaitUntil;
using harness::WindowText;
using namespace e2e;

namespace {

const char* const kEditorClass = keys_editor::WINDOW_CLASS;
const char* const kEditorCaption = "Remote Control keys";
const char* const kAppClass = "KV480EditedApp";
const char* const kAppCaption = "plan.txt - Edited app";
// Controls of the editor (RCkeys/resource.h).
const int kAddApp = 1004;
const int kKey = 1008;
const int kPressKind = 1010;
const int kPressValue = 1011;
const int kSave = 1042;
const int kWhich = 1041;
const int kAnswers = 1110;
const int kFinder = 1101;
const int kAppProgram = 1105;
const int kAppClassField = 1106;
const int kPressLabel = 1014;
const int kLongKind = 1020;
const int kLongValue = 1021;
const int kStatus = 1040;
const int kShowActions = 1043;
const int kWindows = 1102;
const int kKindKeystroke = 1;
const int kKindMouse = 5;
const int kKindNothing = 6;
const int kKindPresenterTool = 7;
const int kDoubleKind = 1030;
const int kDoubleLabel = 1034;
const int kDoubleValue = 1031;
const int kApps = 1001;
const int kAddMode = 1046;
const int kModeName = 1111;
const int kKindMode = 9;
const int kLongInherited = 1028;
const int kImport = 1044;
const int kResident = 1048;
const int kExport = 1045;
const int kRestartResident = 1049;
const int kWhichMode = 1112;
const int kReadyMade = 1103;
const int kAddMenu = 1050;
const int kMenuItems = 1054;
const int kAddMenuItem = 1055;
const int kMenuItemUp = 1058;
const int kScan = 1061;
const int kEntryLabel = 1120;
const int kEntryKind = 1121;
const int kEntryValue = 1122;
const int kKindProgram = 4;
const int kKindPc = 10;

std::string UserKeyMapFile() {
    char folder[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder);
    return std::string(folder) + "\\Remote Control\\KeyMap.ini";
}

std::string ReadFile(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void Keys(std::initializer_list<WORD> keys) {
    std::vector<INPUT> inputs;
    for (WORD key : keys) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        inputs.push_back(input);
    }
    for (auto it = keys.end(); it != keys.begin();) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = *--it;
        input.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

POINT Centre(HWND window) {
    RECT rc;
    GetWindowRect(window, &rc);
    return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}

class KeysEditorTest : public ResidentFixture {
protected:
    KeysEditorTest() : ResidentFixture("kv480 keys editor\\") {}

    void SetUp() override {
        ResidentFixture::SetUp();
        if (HasFatalFailure())
            return;
        m_editorExe = harness::WindowsPathFromEnv("RC_KV480KEYS_EXE");
        ASSERT_FALSE(m_editorExe.empty()) << "RC_KV480KEYS_EXE not set";
        m_userFile = UserKeyMapFile();
        DeleteFileA(m_userFile.c_str());
        Configure();
    }

    void TearDown() override {
        CloseEditor();
        ResidentFixture::TearDown();
        DeleteFileA(m_userFile.c_str());
    }

    HWND StartEditor() {
        if (!m_editor.Start(m_editorExe)) {
            ADD_FAILURE() << "editor not started, error " << GetLastError();
            return nullptr;
        }
        const HWND editor = m_editor.WaitForWindow(kEditorClass, kEditorCaption, 15000);
        if (editor == nullptr) {
            harness::MessageBoxSeen box;
            if (m_editor.WaitForMessageBox(box, 100))
                ADD_FAILURE() << box.title << ": " << box.text;
            ADD_FAILURE() << "no editor window; running " << m_editor.IsRunning() << ", exit "
                          << m_editor.ExitCode();
        }
        // Shown once it is ready for input.
        if (editor == nullptr || !WaitUntil([&] { return IsWindowVisible(editor) != FALSE; }, 5000))
            return nullptr;
        return editor;
    }

    void CloseEditor() {
        if (!m_editor.IsRunning())
            return;
        const HWND editor =
            harness::FindProcessWindow(m_editor.ProcessId(), kEditorClass, kEditorCaption, false);
        if (editor != nullptr)
            PostMessageA(editor, WM_CLOSE, 0, 0);
        harness::MessageBoxSeen box;
        if (m_editor.WaitForMessageBox(box, 2000))
            PostMessageA(box.window, WM_COMMAND, IDNO, 0);
        if (!m_editor.WaitForExit(5000))
            m_editor.Terminate();
    }

    // Waits until the editor has handled all input so far.
    void WaitForEditorIdle() {
        const HANDLE process =
            OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, m_editor.ProcessId());
        if (process != nullptr) {
            WaitForInputIdle(process, 5000);
            CloseHandle(process);
        }
        harness::PumpMessages();
    }

    // Where KV480 publishes its state for this session, under HKCU.
    static std::string RunningStateKey() {
        DWORD session = 0;
        ProcessIdToSessionId(GetCurrentProcessId(), &session);
        return "Software\\VEKO\\KV480\\Running\\" + std::to_string(session);
    }

    // Clicks a button of window and waits for the dialog it opens to show:
    // what is typed before its controls are filled is lost.
    HWND OpenDialog(HWND window, int button, const char* caption) {
        PostMessageA(GetDlgItem(window, button), BM_CLICK, 0, 0);
        const HWND dialog = m_editor.WaitForWindow("#32770", caption, 10000);
        return dialog != nullptr &&
                       WaitUntil([&] { return IsWindowVisible(dialog) != FALSE; }, 5000)
                   ? dialog
                   : nullptr;
    }

    // A mode or a menu added through its button, named in the window that
    // asks for the name.
    bool AddNamed(HWND editor, int button, const char* caption, const char* name) {
        const HWND dialog = OpenDialog(editor, button, caption);
        if (dialog == nullptr)
            return false;
        SendMessageA(GetDlgItem(dialog, kModeName), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name));
        PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
        return WaitUntil([&] { return !IsWindow(dialog); }, 5000);
    }

    // Away from the editor and its dialogs: the editor opens at the top left,
    // its dialogs in the screen's middle.
    static void PlaceAway(HWND window) {
        SetWindowPos(window, HWND_TOP, GetSystemMetrics(SM_CXSCREEN) - 260,
                     GetSystemMetrics(SM_CYSCREEN) - 160, 240, 140, 0);
    }

    // Drags the finder of a dialog of the editor onto the target window.
    void DragFinder(HWND dialog, HWND targetWindow) {
        const POINT finder = Centre(GetDlgItem(dialog, kFinder));
        ASSERT_EQ(GetDlgItem(dialog, kFinder), WindowFromPoint(finder)) << "the finder is covered";
        const POINT target = Centre(targetWindow);
        harness::MouseAt(MOUSEEVENTF_LEFTDOWN, finder);
        // The button must go up over the target once the finder holds the mouse.
        const HWND finderTool = GetDlgItem(dialog, kFinder);
        const bool held = WaitUntil(
            [&] {
                GUITHREADINFO info{};
                info.cbSize = sizeof(info);
                return GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info) &&
                       info.hwndCapture == finderTool;
            },
            5000);
        // Let go in any case: a button left down would spoil the tests after this one.
        harness::MouseAt(0, held ? target : finder);
        harness::MouseAt(MOUSEEVENTF_LEFTUP, held ? target : finder);
        ASSERT_TRUE(held) << "the finder did not take the mouse";
    }

    bool Press(int key) { return m_device->Write(harness::VekoFrame(key)); }

    // Presses key, again each second, until done(): where what the key acts
    // on may still be changing. Each press comes after the last one's release.
    template <typename Done, typename Before> bool PressUntil(int key, Done done, Before before) {
        return WaitUntil(
            [&] {
                before();
                return Press(key) && WaitUntil(done, 1000);
            },
            8000);
    }
    template <typename Done> bool PressUntil(int key, Done done) {
        return PressUntil(key, done, [] {});
    }

    void WriteUserFile(const std::string& text) {
        CreateDirectoryA(m_userFile.substr(0, m_userFile.rfind('\\')).c_str(), nullptr);
        std::ofstream(m_userFile, std::ios::binary) << text;
    }

    // Picks a kind from a form's list as the user would.
    static void ChooseKind(HWND editor, int kindId, int kind) {
        const HWND combo = GetDlgItem(editor, kindId);
        SendMessageA(combo, CB_SETCURSEL, kind, 0);
        SendMessageA(editor, WM_COMMAND, MAKEWPARAM(kindId, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(combo));
    }

    harness::ProgramUnderTest m_editor;
    std::string m_editorExe;
    std::string m_userFile;
};

TEST_F(KeysEditorTest, AKeySetForOneApplicationIsTypedThereByKV480) {
    KeyboardWindow app(kAppClass, kAppCaption);
    PlaceAway(app.Handle());
    // An elevated KV480 leaves the user's file aside.
    m_program.SetUnelevated(true);
    StartConnected();
    if (HasFatalFailure())
        return;

    const HWND editor = StartEditor();
    ASSERT_NE(nullptr, editor);

    // Add application: the finder dragged onto the application's window.
    const HWND add = OpenDialog(editor, kAddApp, "Add application");
    ASSERT_NE(nullptr, add);
    WaitForEditorIdle();
    DragFinder(add, app.Handle());
    if (HasFatalFailure())
        return;
    ASSERT_TRUE(
        WaitUntil([&] { return WindowText(GetDlgItem(add, kAppClassField)) == kAppClass; }, 5000));
    EXPECT_EQ("rc_e2e_tests.exe", WindowText(GetDlgItem(add, kAppProgram)));
    PostMessageA(GetDlgItem(add, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(add); }, 5000));

    // The remote's key, pressed while the editor is in front, selects it.
    ASSERT_TRUE(harness::KeepInFront(editor));
    ASSERT_TRUE(
        PressUntil(2, [&] { return WindowText(GetDlgItem(editor, kKey)) == "Key 2: Top right"; }))
        << WindowText(GetDlgItem(editor, kKey))
        << ", in front: " << (GetForegroundWindow() == editor);

    // A keystroke, pressed on the keyboard in the Press field.
    const HWND kind = GetDlgItem(editor, kPressKind);
    SendMessageA(kind, CB_SETCURSEL, kKindKeystroke, 0);
    SendMessageA(editor, WM_COMMAND, MAKEWPARAM(kPressKind, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(kind));
    const HWND value = GetDlgItem(editor, kPressValue);
    SendMessageA(editor, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(value), TRUE);
    WaitForEditorIdle();
    Keys({VK_CONTROL, VK_SHIFT, 'S'});
    ASSERT_TRUE(WaitUntil([&] { return WindowText(value) == "Ctrl+Shift+S"; }, 5000))
        << WindowText(value);

    PostMessageA(GetDlgItem(editor, kSave), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil(
        [&] { return ReadFile(m_userFile).find("Key2=Ctrl+Shift+S") != std::string::npos; }, 5000));
    EXPECT_EQ("[rc_e2e_tests]\r\nProgram=rc_e2e_tests.exe\r\nKey2=Ctrl+Shift+S\r\n\r\n",
              ReadFile(m_userFile));
    PostMessageA(editor, WM_CLOSE, 0, 0);
    ASSERT_TRUE(m_editor.WaitForExit(5000)) << "asked about unsaved changes after saving";

    // The closed editor's activation may still pass to another window.
    ASSERT_TRUE(harness::KeepInFront(app.Handle()));
    // KV480 reads the saved file off the key path, soon after the save: a
    // press that came first acts on the map before it, which types nothing.
    ASSERT_TRUE(PressUntil(
        2, [&] { return app.KeyDowns().size() >= 3; }, [&] { app.Clear(); }))
        << "in front: " << (GetForegroundWindow() == app.Handle()) << ", key-downs "
        << app.KeyDowns().size();
    const harness::KeyboardEvent typed = app.KeyDowns()[2];
    EXPECT_EQ(WPARAM('S'), typed.vk);
    EXPECT_TRUE(typed.ctrlDown && typed.shiftDown);
}

// A Store app shows in a frame of another program: the editor names the app
// inside it, which KV480 matches, in the list and in the fields.
TEST_F(KeysEditorTest, AStoreAppIsNamedByTheProgramInsideItsFrame) {
    harness::ProgramUnderTest frameHost;
    const HWND frame = StartStoreFrame(frameHost);
    ASSERT_NE(nullptr, frame);
    SetWindowTextW(frame, L"Store media player");
    // The app's window, this process's, inside the frame.
    const HWND app = CreateWindowExA(0, "Static", "Store app", WS_CHILD | WS_VISIBLE, 0, 0, 50, 50,
                                     frame, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, app);

    const HWND editor = StartEditor();
    ASSERT_NE(nullptr, editor);
    PostMessageA(GetDlgItem(editor, kAddApp), BM_CLICK, 0, 0);
    const HWND add = m_editor.WaitForWindow("#32770", "Add application", 10000);
    ASSERT_NE(nullptr, add);
    // Made and filled as the dialog starts, which may be after it is found.
    HWND list = nullptr;
    std::vector<std::wstring> lines;
    const auto frameLine = [&] {
        return std::find_if(lines.begin(), lines.end(), [](const std::wstring& line) {
            return line.rfind(L"Store media player", 0) == 0;
        });
    };
    ASSERT_TRUE(WaitUntil(
        [&] {
            list = GetDlgItem(add, kWindows);
            lines.clear();
            for (LRESULT i = 0, count = SendMessageW(list, LB_GETCOUNT, 0, 0); i < count; ++i) {
                std::wstring line(static_cast<size_t>(SendMessageW(list, LB_GETTEXTLEN, i, 0)) + 1,
                                  L'\0');
                line.resize(static_cast<size_t>(
                    SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&line[0]))));
                lines.push_back(line);
            }
            return frameLine() != lines.end();
        },
        5000))
        << lines.size() << " lines";
    const auto found = frameLine();
    EXPECT_EQ(L"Store media player  (rc_e2e_tests.exe)", *found);

    const int line = static_cast<int>(found - lines.begin());
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(line), 0);
    SendMessageW(add, WM_COMMAND, MAKEWPARAM(kWindows, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
    EXPECT_TRUE(WaitUntil(
        [&] { return WindowText(GetDlgItem(add, kAppProgram)) == "rc_e2e_tests.exe"; }, 5000))
        << WindowText(GetDlgItem(add, kAppProgram));
    PostMessageA(GetDlgItem(add, IDCANCEL), BM_CLICK, 0, 0);
    DestroyWindow(app);
    PostMessageA(frame, WM_CLOSE, 0, 0);
    EXPECT_TRUE(frameHost.WaitForExit(5000));
}

// A mode for the mouse, made as a user would: the mode added, its key
// chosen from the field's list (the choice, not the text the field showed
// before it, is what is saved), and a key of every application switching it.
TEST_F(KeysEditorTest, AModeForTheMouseIsMadeAndAChoiceFromAFieldsListIsWhatIsSaved) {
    const HWND editor = StartEditor();
    ASSERT_NE(nullptr, editor);
    ASSERT_TRUE(AddNamed(editor, kAddMode, "Add mode", "Mouse"));
    const HWND apps = GetDlgItem(editor, kApps);
    ASSERT_EQ(0, SendMessageA(apps, LB_GETCURSEL, 0, 0)) << "the new mode is selected";

    ChooseKind(editor, kPressKind, kKindMouse);
    const HWND value = GetDlgItem(editor, kPressValue);
    ASSERT_TRUE(harness::KeepInFront(editor));
    SendMessageA(editor, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(value), TRUE);
    WaitForEditorIdle();
    Keys({VK_DOWN});
    ASSERT_TRUE(WaitUntil([&] { return !WindowText(value).empty(); }, 5000));
    const std::string line = "Key1=" + WindowText(value) + "\r\n";

    SendMessageA(apps, LB_SETCURSEL, 1, 0); // All applications
    SendMessageA(editor, WM_COMMAND, MAKEWPARAM(kApps, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(apps));
    const HWND key = GetDlgItem(editor, kKey);
    SendMessageA(key, CB_SETCURSEL, 4, 0); // Key 5
    SendMessageA(editor, WM_COMMAND, MAKEWPARAM(kKey, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(key));
    ChooseKind(editor, kPressKind, kKindMode);
    SendMessageA(value, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Mouse"));
    SendMessageA(editor, WM_COMMAND, MAKEWPARAM(kPressValue, CBN_EDITCHANGE),
                 reinterpret_cast<LPARAM>(value));
    EXPECT_EQ("Mode:", WindowText(GetDlgItem(editor, kPressLabel)));

    PostMessageA(GetDlgItem(editor, kSave), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil(
        [&] {
            const std::string text = ReadFile(m_userFile);
            return text.find("[Mode Mouse]\r\nMode=Mouse\r\n" + line) != std::string::npos &&
                   text.find("Key5=Mode \"Mouse\"\r\n") != std::string::npos;
        },
        5000))
        << ReadFile(m_userFile);
}

// A new user's menu: made, given two entries and a scanning step with the
// dialog's controls alone, and opened by a long press from a ready-made entry.
TEST_F(KeysEditorTest, AMenuIsMadeWithItsEntriesAndPutOnAKey) {
    const HWND editor = StartEditor();
    ASSERT_NE(nullptr, editor);
    ASSERT_TRUE(AddNamed(editor, kAddMenu, "Add menu", "Main"));
    const HWND items = GetDlgItem(editor, kMenuItems);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(items) != FALSE; }, 5000));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(editor, kKey))) << "the menu in the key's place";
    const HWND apps = GetDlgItem(editor, kApps);
    const auto selected = SendMessageW(apps, LB_GETCURSEL, 0, 0);
    wchar_t line[64] = L"";
    if (SendMessageW(apps, LB_GETTEXTLEN, static_cast<WPARAM>(selected), 0) < 64)
        SendMessageW(apps, LB_GETTEXT, static_cast<WPARAM>(selected),
                     reinterpret_cast<LPARAM>(line));
    EXPECT_EQ(std::wstring(L"Menu: Main"), line) << "the new menu is selected";

    const auto addEntry = [&](const char* label, int kind, const char* value) {
        const HWND entry = OpenDialog(editor, kAddMenuItem, "Menu entry");
        ASSERT_NE(nullptr, entry);
        SendMessageA(GetDlgItem(entry, kEntryLabel), WM_SETTEXT, 0,
                     reinterpret_cast<LPARAM>(label));
        ChooseKind(entry, kEntryKind, kind);
        SendMessageA(GetDlgItem(entry, kEntryValue), WM_SETTEXT, 0,
                     reinterpret_cast<LPARAM>(value));
        PostMessageA(GetDlgItem(entry, IDOK), BM_CLICK, 0, 0);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(entry); }, 5000));
    };
    addEntry("Calculator", kKindProgram, "\"calc.exe\"");
    if (HasFatalFailure())
        return;
    addEntry("Lock", kKindPc, "Lock");
    if (HasFatalFailure())
        return;
    ASSERT_TRUE(WaitUntil([&] { return SendMessageA(items, LB_GETCOUNT, 0, 0) == 2; }, 5000));
    EXPECT_EQ(1, SendMessageA(items, LB_GETCURSEL, 0, 0)) << "the new entry is selected";
    PostMessageA(GetDlgItem(editor, kMenuItemUp), BM_CLICK, 0, 0);
    SendMessageA(GetDlgItem(editor, kScan), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("1500"));

    const HWND add = OpenDialog(editor, kAddApp, "Add application");
    ASSERT_NE(nullptr, add);
    const HWND ready = GetDlgItem(add, kReadyMade);
    const LRESULT readyMade =
        SendMessageW(ready, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(L"On-screen menu on a long press of key 6 (VEKO)"));
    ASSERT_GT(readyMade, 0);
    SendMessageA(ready, CB_SETCURSEL, static_cast<WPARAM>(readyMade), 0);
    SendMessageA(add, WM_COMMAND, MAKEWPARAM(kReadyMade, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(ready));
    PostMessageA(GetDlgItem(add, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(add); }, 5000));

    PostMessageA(GetDlgItem(editor, kSave), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil(
        [&] {
            const std::string text = ReadFile(m_userFile);
            return text.find("[Menu Main]\r\nMenu=Main\r\nItem1=\"Lock\" Lock\r\n"
                             "Item2=\"Calculator\" Run \"calc.exe\"\r\nScan=1500\r\n") !=
                       std::string::npos &&
                   text.find("Program=*\r\nKey6 long=Menu\r\n") != std::string::npos;
        },
        5000))
        << ReadFile(m_userFile);
}

// What another entry decides and what KV480 would skip are shown as such,
// and Nothing overrides the other entry's long press. A presenter's tool
// and a timer are kinds of their own, read as KV480 reads them.
TEST_F(KeysEditorTest, TheFormsShowWhatKV480WillReallyDo) {
    WriteUserFile("[All applications]\r\nClassName=NULL\r\nWindowName=NULL\r\nKey1=Bar\r\n"
                  "Key1 double=Timer \"20:0\"\r\n"
                  "[Fallback]\r\nClassName=NULL\r\nWindowName=NULL\r\nKey1 long=MouseUp\r\n");
    const HWND editor = StartEditor();
    ASSERT_NE(nullptr, editor);
    EXPECT_EQ("Invalid:", WindowText(GetDlgItem(editor, kPressLabel)));
    EXPECT_EQ("Talk timer", WindowText(GetDlgItem(editor, kDoubleKind)));
    EXPECT_EQ("Invalid:", WindowText(GetDlgItem(editor, kDoubleLabel))) << "seconds in two digits";
    const HWND longValue = GetDlgItem(editor, kLongValue);
    EXPECT_FALSE(IsWindowVisible(longValue));
    // What the other entry decides: read-only, yet reached by Tab and named.
    const HWND longInherited = GetDlgItem(editor, kLongInherited);
    EXPECT_EQ("MouseUp  (from \"Fallback\")", WindowText(longInherited));
    EXPECT_TRUE(IsWindowEnabled(longInherited));
    EXPECT_NE(0, GetWindowLongA(longInherited, GWL_STYLE) & ES_READONLY);
    const std::vector<HWND> tabOrder = harness::TabOrder(editor);
    EXPECT_NE(tabOrder.end(), std::find(tabOrder.begin(), tabOrder.end(), longInherited));
    EXPECT_EQ("Inherited:", harness::AccessibleName(longInherited));
    // The Key list says in words what the rings on the picture show (Wine's
    // oleacc names a list after its chosen line).
    EXPECT_EQ("Key 1: Top left \xE2\x80\x94 set: press, double press",
              harness::AccessibleName(GetDlgItem(editor, kKey)));
    const std::string status = WindowText(GetDlgItem(editor, kStatus));
    EXPECT_NE(std::string::npos, status.find("The press does nothing: ")) << status;
    ChooseKind(editor, kPressKind, kKindPresenterTool);
    const HWND pressValue = GetDlgItem(editor, kPressValue);
    SendMessageA(pressValue, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("blankscreen white"));
    SendMessageA(editor, WM_COMMAND, MAKEWPARAM(kPressValue, CBN_EDITCHANGE),
                 reinterpret_cast<LPARAM>(pressValue));
    EXPECT_EQ("Tool:", WindowText(GetDlgItem(editor, kPressLabel)));
    // Another kind starts from its empty form: the timer's time is no tool.
    ChooseKind(editor, kDoubleKind, kKindPresenterTool);
    EXPECT_EQ("", WindowText(GetDlgItem(editor, kDoubleValue)));
    EXPECT_EQ("Tool:", WindowText(GetDlgItem(editor, kDoubleLabel)));
    EXPECT_NE(std::string::npos,
              WindowText(GetDlgItem(editor, kStatus)).find("Nothing is set for this key yet"));
    ChooseKind(editor, kLongKind, kKindNothing);
    EXPECT_FALSE(IsWindowVisible(longValue));
    EXPECT_FALSE(IsWindowVisible(longInherited));
    EXPECT_EQ("Key 1: Top left \xE2\x80\x94 set: press, long press",
              harness::AccessibleName(GetDlgItem(editor, kKey)))
        << "the double press has no tool yet";
    PostMessageA(GetDlgItem(editor, kSave), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil(
        [&] {
            const std::string text = ReadFile(m_userFile);
            return text.find("Key1 long=None") < text.find("[Fallback]") &&
                   text.find("Key1=blankscreen white\r\n") != std::string::npos;
        },
        5000))
        << ReadFile(m_userFile);
}

// Tab walks the editor as it is read: down each column (applications, the
// remote, the key's forms or the menu's entries), then the buttons along the
// bottom, left to right. So no step goes both up and to the left (or as far
// left as it was), every control Tab can reach is reached once, and no
// mnemonic of the controls shown is given twice.
TEST_F(KeysEditorTest, TabWalksTheWindowInReadingOrder) {
    WriteUserFile("[Fallback]\r\nClassName=NULL\r\nWindowName=NULL\r\nKey1 long=MouseUp\r\n"
                  "[Mine]\r\nProgram=x.exe\r\nKey1=A\r\n"
                  "[Menu Main]\r\nMenu=Main\r\nItem1=\"Lock\" Lock\r\nItem2=\"Sleep\" Sleep\r\n");
    const HWND editor = StartEditor();
    ASSERT_NE(nullptr, editor);
    const auto checkWalk = [&](const char* shown) {
        const std::vector<HWND> order = harness::TabOrder(editor);
        ASSERT_GE(order.size(), 10u) << shown;
        EXPECT_EQ(GetDlgItem(editor, kApps), order.front()) << shown;
        EXPECT_EQ(GetDlgItem(editor, IDCANCEL), order.back()) << shown;
        for (std::size_t i = 1; i < order.size(); ++i) {
            RECT before;
            RECT after;
            GetWindowRect(order[i - 1], &before);
            GetWindowRect(order[i], &after);
            EXPECT_FALSE(after.top < before.top && after.left <= before.left)
                << shown << ": from control " << GetDlgCtrlID(order[i - 1]) << " back to "
                << GetDlgCtrlID(order[i]);
        }
        std::string mnemonics;
        for (HWND control = GetWindow(editor, GW_CHILD); control != nullptr;
             control = GetWindow(control, GW_HWNDNEXT)) {
            if (!IsWindowVisible(control))
                continue;
            if (IsWindowEnabled(control) &&
                (GetWindowLongA(control, GWL_STYLE) & WS_TABSTOP) != 0) {
                EXPECT_EQ(1, std::count(order.begin(), order.end(), control))
                    << shown << ": control " << GetDlgCtrlID(control);
            }
            char className[32] = "";
            GetClassNameA(control, className, sizeof(className));
            const std::string text = WindowText(control);
            const std::size_t amp = text.find('&');
            if ((std::string(className) == "Button" || std::string(className) == "Static") &&
                amp != std::string::npos && amp + 1 < text.size()) {
                const char mnemonic = static_cast<char>(tolower(text[amp + 1]));
                EXPECT_EQ(std::string::npos, mnemonics.find(mnemonic))
                    << shown << ": &" << mnemonic << " again in \"" << text << "\"";
                mnemonics += mnemonic;
            }
        }
    };
    checkWalk("the key's forms");
    const HWND apps = GetDlgItem(editor, kApps);
    const LRESULT menu = SendMessageW(apps, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                      reinterpret_cast<LPARAM>(L"Menu: Main"));
    ASSERT_GE(menu, 0);
    SendMessageA(apps, LB_SETCURSEL, static_cast<WPARAM>(menu), 0);
    SendMessageA(editor, WM_COMMAND, MAKEWPARAM(kApps, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(apps));
    ASSERT_TRUE(IsWindowVisible(GetDlgItem(editor, kMenuItems)));
    checkWalk("the menu's entries");
}

// Enter on a focused button after its file dialog is closed works again,
// with the focus given back by activation, as when the user comes back.
TEST_F(KeysEditorTest, EnterOnImportAfterACancelledFileDialogOpensItAgain) {
    const HWND editor = StartEditor();
    ASSERT_NE(nullptr, editor);
    const HWND import = GetDlgItem(editor, kImport);
    ASSERT_TRUE(harness::KeepInFront(editor));
    SendMessageA(editor, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(import), TRUE);
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        GUITHREADINFO info{};
        info.cbSize = sizeof(info);
        ASSERT_TRUE(WaitUntil(
            [&] {
                return GetGUIThreadInfo(GetWindowThreadProcessId(editor, nullptr), &info) &&
                       info.hwndFocus == import;
            },
            5000));
        WaitForEditorIdle();
        Keys({VK_RETURN});
        const HWND open = m_editor.WaitForWindow("#32770", "Open", 10000);
        ASSERT_NE(nullptr, open);
        ASSERT_TRUE(harness::KeepInFront(open));
        Keys({VK_ESCAPE});
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(open); }, 5000));
    }
}

// The note is switched where KV480 reads it at every key, and Alt+Down
// opens a Keys field's list while the field takes keystrokes.
TEST_F(KeysEditorTest, TheNoteIsSwitchedForTheUserAndAltDownOpensTheKeysList) {
    const HWND editor = StartEditor();
    ASSERT_NE(nullptr, editor);
    const auto showActions = [] {
        DWORD value = 2;
        DWORD size = sizeof(value);
        return RegGetValueA(HKEY_CURRENT_USER, "Software\\VEKO\\KV480", "ShowActions",
                            RRF_RT_REG_DWORD, nullptr, &value, &size) == ERROR_SUCCESS
                   ? value
                   : DWORD(2);
    };
    const bool wasOn = showActions() == 1;
    PostMessageA(GetDlgItem(editor, kShowActions), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return showActions() == (wasOn ? 0u : 1u); }, 5000));
    PostMessageA(GetDlgItem(editor, kShowActions), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return showActions() == (wasOn ? 1u : 0u); }, 5000));

    ChooseKind(editor, kPressKind, kKindKeystroke);
    const HWND value = GetDlgItem(editor, kPressValue);
    ASSERT_TRUE(harness::KeepInFront(editor));
    SendMessageA(editor, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(value), TRUE);
    WaitForEditorIdle();
    Keys({VK_MENU, VK_DOWN});
    EXPECT_TRUE(WaitUntil([&] { return SendMessageA(value, CB_GETDROPPEDSTATE, 0, 0) != 0; }, 5000))
        << "captured as " << WindowText(value);
    Keys({VK_ESCAPE});
}

// An export proposes a name of the user's own, and never replaces a key map
// that KV480 reads: the editor starts in the installation folder, whose
// KeyMap.ini holds everyone's defaults.
TEST_F(KeysEditorTest, AnExportNeverReplacesAKeyMapThatKV480Reads) {
    const std::string installed = m_dir + "KeyMap.ini";
    const std::string defaults = "[Default]\r\nClassName=NULL\r\nWindowName=NULL\r\nKey1=A\r\n";
    { std::ofstream(installed, std::ios::binary) << defaults; }
    const HWND editor = StartEditor();
    ASSERT_NE(nullptr, editor);
    const HWND save = OpenDialog(editor, kExport, "Save As");
    ASSERT_NE(nullptr, save);
    // The file name field: the edit of an extended combo box.
    const HWND name =
        reinterpret_cast<HWND>(SendMessageA(GetDlgItem(save, cmb13), CBEM_GETEDITCONTROL, 0, 0));
    ASSERT_NE(nullptr, name);
    EXPECT_EQ("Documents", WindowText(GetDlgItem(save, cmb2)));
    EXPECT_EQ("My remote keys.ini", WindowText(name));
    SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(installed.c_str()));
    PostMessageA(save, WM_COMMAND, IDOK, 0);
    harness::MessageBoxSeen box;
    const auto boxBeside = [&](HWND other) {
        return WaitUntil([&] { return m_editor.WaitForMessageBox(box, 50) && box.window != other; },
                         10000);
    };
    ASSERT_TRUE(boxBeside(save));
    if (box.text.find("replace") != std::string::npos) {
        // The dialog's own question first: the user says yes.
        const HWND question = box.window;
        PostMessageA(question, WM_COMMAND, IDYES, 0);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(question) && !IsWindow(save); }, 5000));
        ASSERT_TRUE(boxBeside(nullptr));
    }
    EXPECT_NE(std::string::npos, box.text.find("nothing was exported")) << box.text;
    PostMessageA(box.window, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(defaults, ReadFile(installed));
    DeleteFileA(installed.c_str());
}

TEST_F(KeysEditorTest, AUserKeyMapThatCannotBeReadIsNeverOverwritten) {
    const std::string folder = m_userFile.substr(0, m_userFile.rfind('\\'));
    CreateDirectoryA(folder.c_str(), nullptr);
    { std::ofstream(m_userFile, std::ios::binary) << "[Mine]\r\nProgram=x.exe\r\nKey1=A\r\n"; }
    // Held open by another program that shares nothing.
    const HANDLE locked =
        CreateFileA(m_userFile.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, locked);
    HWND editor = StartEditor();
    ASSERT_NE(nullptr, editor);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(editor, kSave)));
    EXPECT_NE(std::string::npos, WindowText(GetDlgItem(editor, 1040)).find("cannot be read"));
    CloseEditor();
    CloseHandle(locked);
    EXPECT_EQ("[Mine]\r\nProgram=x.exe\r\nKey1=A\r\n", ReadFile(m_userFile));

    DeleteFileA(m_userFile.c_str());
    ASSERT_TRUE(CreateDirectoryA(m_userFile.c_str(), nullptr));
    editor = StartEditor();
    ASSERT_NE(nullptr, editor);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(editor, kSave)));
    EXPECT_NE(std::string::npos, WindowText(GetDlgItem(editor, 1040)).find("is a folder"));
    CloseEditor();
    RemoveDirectoryA(m_userFile.c_str());
}

TEST_F(KeysEditorTest, AFileChangedByAnotherProgramIsReplacedOnlyWhenTheUserSaysSo) {
    CreateDirectoryA(m_userFile.substr(0, m_userFile.rfind('\\')).c_str(), nullptr);
    std::ofstream(m_userFile, std::ios::binary) << "[Mine]\r\nProgram=x.exe\r\nKey1=A\r\n";
    const HWND editor = StartEditor();
    ASSERT_NE(nullptr, editor);
    std::ofstream(m_userFile, std::ios::binary) << "; from Notepad\r\n";
    PostMessageA(GetDlgItem(editor, kSave), BM_CLICK, 0, 0);
    harness::MessageBoxSeen box;
    ASSERT_TRUE(m_editor.WaitForMessageBox(box, 5000));
    EXPECT_NE(std::string::npos, box.text.find("changed by another program")) << box.text;
    PostMessageA(box.window, WM_COMMAND, IDNO, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box.window); }, 5000));
    EXPECT_EQ("; from Notepad\r\n", ReadFile(m_userFile));
}

TEST_F(KeysEditorTest, WhichRuleAnswersTellsTheFileSectionAndAction) {
    KeyboardWindow app(kAppClass, kAppCaption);
    PlaceAway(app.Handle());
    CreateDirectoryA(m_userFile.substr(0, m_userFile.rfind('\\')).c_str(), nullptr);
    std::ofstream(m_userFile, std::ios::binary)
        << "[Tests]\r\nProgram=RC_E2E_TESTS.EXE\r\nKey3 long=F5 repeat\r\n";
    std::ofstream(m_dir + "KeyMap.ini", std::ios::binary)
        << "[Default]\r\nClassName=NULL\r\nWindowName=NULL\r\nKey3=PageUp\r\n";
    const HWND editor = StartEditor();
    ASSERT_NE(nullptr, editor);
    const HWND which = OpenDialog(editor, kWhich, "Which rule answers here");
    ASSERT_NE(nullptr, which);
    const HWND answers = GetDlgItem(which, kAnswers);
    // By keyboard: the open windows' list, its entry found by typing.
    ASSERT_TRUE(harness::KeepInFront(which));
    SendMessageA(which, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(which, kWindows)), TRUE);
    WaitForEditorIdle();
    Keys({'P'});
    EXPECT_TRUE(WaitUntil(
        [&] { return WindowText(answers).find("Key 3 long: F5") != std::string::npos; }, 5000))
        << WindowText(answers);
    SetWindowTextA(answers, "");
    DragFinder(which, app.Handle());
    if (HasFatalFailure())
        return;
    ASSERT_TRUE(WaitUntil([&] { return !WindowText(answers).empty(); }, 5000));
    const std::string text = WindowText(answers);
    EXPECT_NE(std::string::npos, text.find("Key 3: PageUp  - administrator's, [Default] line 4"))
        << text;
    EXPECT_NE(std::string::npos, text.find("Key 3 long: F5 (repeats)  - yours, [Tests] line 3"))
        << text;
    EXPECT_NE(std::string::npos, text.find("Key 4: nothing")) << text;
    DeleteFileA((m_dir + "KeyMap.ini").c_str());
}

// An elevated KV480 reads only the installation's key map: the editor, at
// the user's level, says so and restarts it at that level, and the user's
// own key then acts.
TEST_F(KeysEditorTest, AnElevatedKV480IsToldAndRestartedAtTheUsersLevel) {
    KeyboardWindow app(kAppClass, kAppCaption);
    PlaceAway(app.Handle());
    WriteUserFile("[All applications]\r\nClassName=NULL\r\nWindowName=NULL\r\nKey1=b\r\n");
    std::ofstream(m_dir + "KeyMap.ini", std::ios::binary)
        << "[Default]\r\nClassName=NULL\r\nWindowName=NULL\r\nKey1=a\r\n";
    // The restart starts the installed program, from the settings' Path.
    ASSERT_TRUE(CopyFileA(m_exe.c_str(), (m_dir + "KV480.exe").c_str(), FALSE));
    StartConnected(); // elevated, as every Wine program
    if (HasFatalFailure())
        return;
    m_editor.SetUnelevated(true);
    const HWND editor = StartEditor();
    ASSERT_NE(nullptr, editor);
    const HWND banner = GetDlgItem(editor, kResident);
    EXPECT_EQ("KV480 is running with administrator rights and uses only the installation's key "
              "map: your changes take effect when KV480 runs normally.",
              WindowText(banner));
    const HWND restart = GetDlgItem(editor, kRestartResident);
    ASSERT_TRUE(IsWindowVisible(restart));

    PostMessageA(restart, BM_CLICK, 0, 0);
    ASSERT_TRUE(m_program.WaitForExit(10000)) << "the elevated KV480 did not end";
    HWND restarted = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] { return (restarted = FindWindowA(kMainClass, kMainCaption)) != nullptr; }, 10000));
    DWORD restartedId = 0;
    GetWindowThreadProcessId(restarted, &restartedId);
    const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, restartedId);
    EXPECT_TRUE(WaitUntil(
        [&] { return WindowText(banner).find("KV480 is running and uses your key map") == 0; },
        10000))
        << WindowText(banner);
    EXPECT_FALSE(IsWindowVisible(restart));
    // Its icon may lie under the editor: the port's line tells it has the
    // port, the key typed that it reads it.
    EXPECT_TRUE(WaitUntil([] { return harness::DtrRaised(kPort); }, 30000));
    ASSERT_TRUE(harness::KeepInFront(app.Handle()));
    EXPECT_TRUE(PressUntil(
        1, [&] { return !app.KeyDowns().empty(); }, [&] { app.Clear(); }));
    if (!app.KeyDowns().empty()) {
        EXPECT_EQ(WPARAM('B'), app.KeyDowns()[0].vk) << "the user's map answers";
    }

    PostMessageA(restarted, WM_CLOSE, 0, 0);
    if (process != nullptr) {
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process, 10000));
        CloseHandle(process);
    }
    EXPECT_TRUE(
        WaitUntil([&] { return WindowText(banner).find("KV480 is not running: ") == 0; }, 10000))
        << WindowText(banner);
    DeleteFileA((m_dir + "KV480.exe").c_str());
    DeleteFileA((m_dir + "KeyMap.ini").c_str());
}

// What KV480 publishes, overwritten by another program with a huge text or
// a number of another size, is told as unknown, never taken in part.
TEST_F(KeysEditorTest, ABadEntryOfTheRunningKV480IsToldAsUnknown) {
    m_program.SetUnelevated(true);
    StartProgram();
    if (HasFatalFailure())
        return;
    const HWND editor = StartEditor();
    ASSERT_NE(nullptr, editor);
    const HWND banner = GetDlgItem(editor, kResident);
    EXPECT_EQ(0u, WindowText(banner).find("KV480 is running and uses your key map"))
        << WindowText(banner);
    const std::string key = RunningStateKey();
    const auto damaged = [&] {
        return WaitUntil(
            [&] { return WindowText(banner).find("KV480 is running, but cannot tell") == 0; },
            6000);
    };
    const std::string huge(100000, 'M');
    ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueA(HKEY_CURRENT_USER, key.c_str(), "Mode", REG_SZ,
                                             huge.c_str(), static_cast<DWORD>(huge.size() + 1)));
    EXPECT_TRUE(damaged()) << WindowText(banner);
    ASSERT_EQ(ERROR_SUCCESS,
              RegSetKeyValueA(HKEY_CURRENT_USER, key.c_str(), "Mode", REG_SZ, "", 1));
    EXPECT_TRUE(WaitUntil(
        [&] { return WindowText(banner).find("KV480 is running and uses your key map") == 0; },
        6000));
    const unsigned long long wide = 1;
    ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueA(HKEY_CURRENT_USER, key.c_str(), "Elevated", REG_QWORD,
                                             &wide, sizeof(wide)));
    EXPECT_TRUE(damaged()) << WindowText(banner);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(editor, kRestartResident)));
}

// "Which rule answers here" answers in the mode that is on, and in any other
// mode chosen.
TEST_F(KeysEditorTest, WhichRuleAnswersInTheModeThatIsOn) {
    KeyboardWindow app(kAppClass, kAppCaption);
    PlaceAway(app.Handle());
    WriteUserFile("[All applications]\r\nClassName=NULL\r\nWindowName=NULL\r\nKey1=b\r\n"
                  "Key6=Mode \"Mouse\"\r\n"
                  "[Mouse keys]\r\nMode=Mouse\r\nClassName=NULL\r\nWindowName=NULL\r\n"
                  "Key1=MouseUp\r\n");
    m_program.SetUnelevated(true);
    StartConnected();
    if (HasFatalFailure())
        return;
    const HWND editor = StartEditor();
    ASSERT_NE(nullptr, editor);
    const HWND banner = GetDlgItem(editor, kResident);
    // Switched on in the application (in front, the editor takes the keys),
    // as KV480 publishes it at once; a second press would switch it off.
    const std::string key = RunningStateKey();
    ASSERT_TRUE(PressUntil(
        6,
        [&] {
            char mode[16] = "";
            DWORD size = sizeof(mode);
            return RegGetValueA(HKEY_CURRENT_USER, key.c_str(), "Mode", RRF_RT_REG_SZ, nullptr,
                                mode, &size) == ERROR_SUCCESS &&
                   std::string(mode) == "Mouse";
        },
        [&] { harness::KeepInFront(app.Handle()); }));
    // The editor asks KV480 every two seconds.
    EXPECT_TRUE(WaitUntil(
        [&] { return WindowText(banner).find("The mode \"Mouse\" is on.") != std::string::npos; },
        6000))
        << WindowText(banner);

    const HWND which = OpenDialog(editor, kWhich, "Which rule answers here");
    ASSERT_NE(nullptr, which);
    const HWND modes = GetDlgItem(which, kWhichMode);
    EXPECT_EQ(1, SendMessageA(modes, CB_GETCURSEL, 0, 0)) << "the mode that is on";
    ASSERT_TRUE(harness::KeepInFront(which));
    SendMessageA(which, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(which, kWindows)), TRUE);
    WaitForEditorIdle();
    Keys({'P'});
    const HWND answers = GetDlgItem(which, kAnswers);
    EXPECT_TRUE(WaitUntil(
        [&] {
            return WindowText(answers).find(
                       "Key 1: MouseUp (repeats)  - yours, [Mouse keys] of mode \"Mouse\"") !=
                   std::string::npos;
        },
        5000))
        << WindowText(answers);
    SendMessageA(modes, CB_SETCURSEL, 0, 0);
    SendMessageA(which, WM_COMMAND, MAKEWPARAM(kWhichMode, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(modes));
    EXPECT_NE(std::string::npos,
              WindowText(answers).find("Key 1: b  - yours, [All applications] line 4"))
        << WindowText(answers);
    PostMessageA(which, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(which); }, 5000));
}

// A line the applications list cuts off shows in full under the pointer.
TEST_F(KeysEditorTest, ALineTooLongForTheListShowsInFullUnderThePointer) {
    std::ofstream(m_dir + "KeyMap.ini", std::ios::binary)
        << "[Default]\r\nClassName=NULL\r\nWindowName=NULL\r\nKey3=PageUp\r\n";
    const HWND editor = StartEditor();
    ASSERT_NE(nullptr, editor);
    ASSERT_TRUE(harness::KeepInFront(editor));
    const HWND list = GetDlgItem(editor, kApps);
    const LRESULT last = SendMessageA(list, LB_GETCOUNT, 0, 0) - 1;
    RECT item{};
    SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(last), reinterpret_cast<LPARAM>(&item));
    POINT at{item.left + 10, (item.top + item.bottom) / 2};
    ClientToScreen(list, &at);
    std::string tip;
    DWORD movedAt = GetTickCount() - 2000;
    const bool shown = WaitUntil(
        [&] {
            // A move over the line wakes the tooltip, which shows once the
            // pointer rests.
            if (GetTickCount() - movedAt > 1500) {
                harness::MouseAt(0, at);
                at.x ^= 1;
                movedAt = GetTickCount();
            }
            for (HWND window = FindWindowExA(nullptr, nullptr, "tooltips_class32", nullptr);
                 window != nullptr;
                 window = FindWindowExA(nullptr, window, "tooltips_class32", nullptr)) {
                DWORD owner = 0;
                GetWindowThreadProcessId(window, &owner);
                if (owner == m_editor.ProcessId() && IsWindowVisible(window)) {
                    tip = WindowText(window);
                    return tip == "Default (administrator, for everyone)";
                }
            }
            return false;
        },
        8000);
    EXPECT_TRUE(shown) << "tooltip: \"" << tip << "\"";
    DeleteFileA((m_dir + "KeyMap.ini").c_str());
}

TEST_F(KeysEditorTest, TheWindowScalesWithTheDisplay) {
    HWND editor = StartEditor();
    ASSERT_NE(nullptr, editor);
    RECT at96;
    GetWindowRect(editor, &at96);
    CloseEditor();
    {
        harness::SystemDpiOverride dpi(192);
        ASSERT_TRUE(dpi.Ok());
        editor = StartEditor();
        ASSERT_NE(nullptr, editor);
        RECT at192;
        GetWindowRect(editor, &at192);
        const double ratio = double(at192.right - at192.left) / (at96.right - at96.left);
        EXPECT_GT(ratio, 1.8);
        EXPECT_LT(ratio, 2.2);
        RECT work;
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        EXPECT_TRUE(at192.left >= work.left && at192.top >= work.top && at192.right <= work.right &&
                    at192.bottom <= work.bottom)
            << "on a " << work.right - work.left << "x" << work.bottom - work.top
            << " work area: " << at192.left << "," << at192.top << " to " << at192.right << ","
            << at192.bottom;
        CloseEditor();
    }
}

} // namespace

namespace {

TEST_F(KeysEditorTest, ASecondStartLeavesOneEditor) {
    const HWND editor = StartEditor();
    ASSERT_NE(nullptr, editor);
    harness::ProgramUnderTest second;
    ASSERT_TRUE(second.Start(m_editorExe));
    EXPECT_TRUE(second.WaitForExit(10000));
    EXPECT_EQ(editor, FindWindowA(kEditorClass, kEditorCaption));
    EXPECT_EQ(nullptr, FindWindowExA(nullptr, editor, kEditorClass, kEditorCaption));
}

TEST_F(KeysEditorTest, ANameTakenFirstBySomeoneElseIsToldNotObeyed) {
    HANDLE token = nullptr;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token));
    char buffer[256];
    DWORD size = 0;
    ASSERT_TRUE(GetTokenInformation(token, TokenUser, buffer, sizeof(buffer), &size));
    CloseHandle(token);
    char* sid = nullptr;
    ASSERT_TRUE(ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, &sid));
    const std::string name = std::string(keys_editor::INSTANCE_PREFIX) + sid;
    LocalFree(sid);
    // Owned by Everyone: as another user's program would leave it.
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(
        "O:WDD:(A;;GA;;;WD)", SDDL_REVISION_1, &descriptor, nullptr));
    SECURITY_ATTRIBUTES attributes{sizeof(attributes), descriptor, FALSE};
    const HANDLE squatter = CreateMutexA(&attributes, FALSE, name.c_str());
    LocalFree(descriptor);
    ASSERT_NE(nullptr, squatter);
    harness::ProgramUnderTest editor;
    ASSERT_TRUE(editor.Start(m_editorExe));
    HWND box = nullptr;
    EXPECT_TRUE(WaitUntil(
        [&] { return (box = FindWindowA("#32770", "Remote Control keys")) != nullptr; }, 10000));
    EXPECT_EQ(nullptr, FindWindowA(kEditorClass, kEditorCaption));
    if (box != nullptr)
        PostMessageA(box, WM_CLOSE, 0, 0);
    EXPECT_TRUE(editor.WaitForExit(10000));
    CloseHandle(squatter);
}

} // namespace
