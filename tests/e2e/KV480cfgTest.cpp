// The configuration utility end to end: KV480cfg.exe runs as its own process
// and the test drives its dialog as a user would, through the dialog's
// controls, with ports registered as devices, the receiver played on the
// other end of a null-modem pair, and the resident program (or a stand-in
// for it) running beside it.
#include <windows.h>
#include <tlhelp32.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "Accessibility.h"
#include "DevicePort.h"
#include "KV480cfgTestSupport.h"
#include "LineState.h"
#include "ProgramUnderTest.h"
#include "ReceivingWindow.h"
#include "SystemDpiOverride.h"
#include "VirtualPortDevice.h"

using harness::DevicePort;
using harness::MessageBoxSeen;
using harness::ProgramUnderTest;
using harness::WaitUntil;
using namespace kv480cfg_test;

namespace {

// The utility's boxes carry the product's name, as its dialog does.
const char* const kBoxTitle = kDialogCaption;
// Files of a test: an installation folder with a space in its name, and room
// for decoys beside it.
const std::string kRoot = "C:\\kv480cfg-e2e\\";
const std::string kInstallDir = kRoot + "Remote Control\\";
// Where "C:\kv480cfg-e2e\Remote Control\KV480.exe -nr", split at its space,
// would find a program.
const std::string kSplitDecoy = kRoot + "Remote.exe";

std::string Bytes(std::initializer_list<int> values) {
    std::string bytes;
    for (int value : values)
        bytes.push_back(static_cast<char>(value));
    return bytes;
}

std::string Narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end()); // the texts here are ASCII
}

// The process that started pid, 0 when unknown.
DWORD ParentOf(DWORD pid) {
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return 0;
    DWORD parent = 0;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        if (entry.th32ProcessID == pid)
            parent = entry.th32ParentProcessID;
    CloseHandle(snapshot);
    return parent;
}

class KV480cfgTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_exe = harness::WindowsPathFromEnv("RC_KV480CFG_EXE");
        ASSERT_FALSE(m_exe.empty()) << "RC_KV480CFG_EXE not set";
        m_residentExe = harness::WindowsPathFromEnv("RC_KV480_EXE");
        ASSERT_FALSE(m_residentExe.empty()) << "RC_KV480_EXE not set";
        EndResidents();
        DeleteSettings();
        ASSERT_TRUE(VirtualPortDevice::RemoveAll()) << GetLastError();
        for (const char* port : {"COM1", "COM2", "COM3", "COM4"}) {
            harness::BlockConfiguration(port, false);
            harness::ClearLineState(port);
        }
        DeleteTree(kRoot);
        ASSERT_TRUE(CreateDirectoryA(kRoot.c_str(), nullptr)) << GetLastError();
        ASSERT_TRUE(CreateDirectoryA(kInstallDir.c_str(), nullptr)) << GetLastError();
        // An installation folder without the resident program: closing the
        // dialog starts nothing and shows nothing.
        ASSERT_TRUE(WriteString(kSettingsKey, "Path", kInstallDir));
    }

    void TearDown() override {
        m_program.Terminate();
        EndResidents();
        VirtualPortDevice::RemoveAll();
        harness::BlockConfiguration("COM1", false);
        DeleteSettings();
        DeleteTree(kRoot);
    }

    static void AddPorts(std::initializer_list<const char*> names) {
        for (const char* name : names)
            ASSERT_FALSE(VirtualPortDevice::Add(name, "Communications Port").empty())
                << name << ": " << GetLastError();
    }

    // A copy of the stand-in for the resident program; it leaves path + ".ran"
    // when it runs.
    static void PlantFakeResident(const std::string& path) {
        ASSERT_TRUE(CopyFileA((OwnFolder() + "rc_fake_resident.exe").c_str(), path.c_str(), FALSE))
            << path << ": " << GetLastError();
    }

    void InstallResident() {
        ASSERT_TRUE(CopyFileA(m_residentExe.c_str(), (kInstallDir + "KV480.exe").c_str(), FALSE))
            << GetLastError();
    }

    // Starts the utility and waits until its dialog is shown, which is after
    // it closed the resident program and loaded the settings.
    void StartDialog(DWORD timeoutMs = 10000) {
        ASSERT_TRUE(m_program.Start(m_exe));
        WaitForDialog(timeoutMs);
    }
    void WaitForDialog(DWORD timeoutMs = 10000) {
        ASSERT_TRUE(WaitUntil(
            [&] {
                m_dialog = FindTopLevel(true);
                return m_dialog != nullptr;
            },
            timeoutMs))
            << "running: " << m_program.IsRunning() << ", visible window: \""
            << harness::WindowText(
                   harness::FindProcessWindow(m_program.ProcessId(), nullptr, nullptr, true))
            << "\"";
    }

    // A visible window of the utility titled like its dialog: the dialog
    // itself (it has the port list) or else one of its boxes.
    HWND FindTopLevel(bool dialog) const {
        for (HWND window = FindWindowExA(nullptr, nullptr, "#32770", kDialogCaption);
             window != nullptr; window = FindWindowExA(nullptr, window, "#32770", kDialogCaption)) {
            DWORD pid = 0;
            GetWindowThreadProcessId(window, &pid);
            if (pid == m_program.ProcessId() && IsWindowVisible(window) &&
                (GetDlgItem(window, IDC_COMM_PORT) != nullptr) == dialog)
                return window;
        }
        return nullptr;
    }

    HWND Item(int id) const { return GetDlgItem(m_dialog, id); }
    std::string Text(int id) const { return harness::WindowText(Item(id)); }
    void Click(int id) const { PostMessageA(Item(id), BM_CLICK, 0, 0); }
    bool IsEnabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
    bool IsVisible(int id) const { return IsWindowVisible(Item(id)) != FALSE; }
    bool IsChecked(int id) const {
        return SendMessageA(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
    }
    HANDLE Picture() const {
        return reinterpret_cast<HANDLE>(
            SendMessageA(Item(IDC_RC_PICTURE), STM_GETIMAGE, IMAGE_BITMAP, 0));
    }
    int ProgressPos() const {
        return static_cast<int>(SendMessageA(Item(IDC_PROGRESS), PBM_GETPOS, 0, 0));
    }

    // Combo box texts: the wide message, since the ANSI one loses all but
    // the first character across processes.
    std::vector<std::string> ComboItems(int id) const {
        std::vector<std::string> items;
        const LRESULT count = SendMessageW(Item(id), CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i)
            items.push_back(ComboText(id, i));
        return items;
    }
    std::string ComboText(int id, LRESULT index) const {
        wchar_t text[256] = L"";
        if (SendMessageW(Item(id), CB_GETLBTEXT, static_cast<WPARAM>(index),
                         reinterpret_cast<LPARAM>(text)) == CB_ERR)
            return std::string();
        return Narrow(text);
    }
    // The selected entry's text; empty without a selection.
    std::string ComboSelection(int id) const {
        const LRESULT index = SendMessageW(Item(id), CB_GETCURSEL, 0, 0);
        return index == CB_ERR ? std::string() : ComboText(id, index);
    }
    // Selects as the user does: the selection, then the notification.
    void SelectCombo(int id, const std::string& text) const {
        const std::vector<std::string> items = ComboItems(id);
        const auto found = std::find(items.begin(), items.end(), text);
        ASSERT_NE(found, items.end()) << text;
        SendMessageA(Item(id), CB_SETCURSEL, static_cast<WPARAM>(found - items.begin()), 0);
        DWORD_PTR result = 0;
        SendMessageTimeoutA(m_dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                            reinterpret_cast<LPARAM>(Item(id)), SMTO_ABORTIFHUNG, 5000, &result);
    }

    // A message box of the utility: a top-level dialog with the program's
    // title (the configuration dialog has a Static with text too).
    bool FindBox(MessageBoxSeen& box) const {
        box.window = FindTopLevel(false);
        if (box.window == nullptr)
            return false;
        box.title = kBoxTitle;
        box.text.clear();
        for (HWND child = FindWindowExA(box.window, nullptr, "Static", nullptr); child != nullptr;
             child = FindWindowExA(box.window, child, "Static", nullptr)) {
            box.text = harness::WindowText(child);
            if (!box.text.empty())
                break;
        }
        return true;
    }
    bool WaitForBox(MessageBoxSeen& box, DWORD timeoutMs) const {
        return WaitUntil([&] { return FindBox(box) && !box.text.empty(); }, timeoutMs);
    }
    // Waits for the box with that text, answers it and waits until it is gone.
    void AnswerBox(const std::string& text, int answer = IDOK, DWORD timeoutMs = 5000) const {
        MessageBoxSeen box;
        ASSERT_TRUE(WaitForBox(box, timeoutMs)) << "no box: " << text;
        ASSERT_EQ(text, box.text);
        PostMessageA(box.window, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box.window); }, 5000));
    }
    bool NoBoxFor(DWORD ms) const {
        MessageBoxSeen box;
        return !WaitUntil([&] { return FindBox(box); }, ms);
    }

    // The control with the keyboard focus, and the push button that shows
    // the default frame (the one Enter presses).
    HWND Focus() const {
        GUITHREADINFO info{};
        info.cbSize = sizeof(info);
        return GetGUIThreadInfo(GetWindowThreadProcessId(m_dialog, nullptr), &info) ? info.hwndFocus
                                                                                    : nullptr;
    }
    HWND FramedButton() const {
        for (HWND child = GetWindow(m_dialog, GW_CHILD); child != nullptr;
             child = GetWindow(child, GW_HWNDNEXT)) {
            char className[16] = "";
            GetClassNameA(child, className, sizeof(className));
            if (lstrcmpiA(className, "Button") == 0 &&
                (GetWindowLongA(child, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
                return child;
        }
        return nullptr;
    }

    // A key pressed and let go, for the window in front.
    static bool PressKey(WORD key) {
        INPUT input[2]{};
        input[0].type = input[1].type = INPUT_KEYBOARD;
        input[0].ki.wVk = input[1].ki.wVk = key;
        input[1].ki.dwFlags = KEYEVENTF_KEYUP;
        return SendInput(2, input, sizeof(INPUT)) == 2;
    }

    // Ends the dialog with OK and waits until the program has ended.
    void PressOkAndWaitForExit() {
        Click(IDOK);
        ASSERT_TRUE(m_program.WaitForExit(10000));
    }

    static bool WaitForPortOpen(const char* port, DWORD timeoutMs = 10000) {
        return WaitUntil([&] { return harness::DtrRaised(port); }, timeoutMs);
    }

    // Starts an address detection and waits until the worker has the port open.
    void StartAddressDetection(const char* port) {
        harness::ClearLineState(port);
        Click(IDC_AUTO_DETECT_ADDRESS);
        AnswerBox(kTextAddressDetection);
        ASSERT_TRUE(WaitForPortOpen(port));
    }

    ProgramUnderTest m_program;
    std::string m_exe;
    std::string m_residentExe;
    HWND m_dialog = nullptr;
};

TEST_F(KV480cfgTest, TheDialogAndItsResources) {
    StartDialog();
    // Controls in tab order, as created from the template.
    std::vector<int> ids;
    for (HWND child = GetWindow(m_dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT))
        ids.push_back(static_cast<short>(GetDlgCtrlID(child)));
    EXPECT_EQ((std::vector<int>{-1, -1, 1004, 1001, -1, 1003, 1002, -1, 1005, 1008, 1006, 1007,
                                IDCANCEL, IDOK}),
              ids);
    EXPECT_EQ("OK", Text(IDOK));
    EXPECT_EQ("Cancel", Text(IDCANCEL));
    EXPECT_EQ("Auto Detect CommPort", Text(IDC_AUTO_DETECT_PORT));
    EXPECT_EQ("Auto Detect Address", Text(IDC_AUTO_DETECT_ADDRESS));
    EXPECT_EQ("Launch after Windows start", Text(IDC_RUN_AFTER_START));

    auto style = [&](int id) { return GetWindowLongA(Item(id), GWL_STYLE); };
    EXPECT_EQ(BS_DEFPUSHBUTTON, style(IDOK) & BS_TYPEMASK);
    EXPECT_EQ(ES_READONLY, style(IDC_ADDRESS) & ES_READONLY);
    for (int combo : {IDC_COMM_PORT, IDC_RC_TYPE}) {
        EXPECT_EQ(CBS_DROPDOWNLIST, style(combo) & 3) << combo;
        EXPECT_EQ(CBS_SORT, style(combo) & CBS_SORT) << combo;
    }
    EXPECT_EQ(BS_AUTOCHECKBOX, style(IDC_RUN_AFTER_START) & BS_TYPEMASK);
    EXPECT_EQ(SS_BITMAP, style(IDC_RC_PICTURE) & SS_TYPEMASK);
    EXPECT_EQ(SS_CENTERIMAGE, style(IDC_RC_PICTURE) & SS_CENTERIMAGE);
    EXPECT_FALSE(IsVisible(IDC_PROGRESS));
    const LONG dialogStyle = GetWindowLongA(m_dialog, GWL_STYLE);
    EXPECT_EQ(WS_SYSMENU | WS_CAPTION, dialogStyle & (WS_SYSMENU | WS_CAPTION));
    EXPECT_EQ(WS_EX_APPWINDOW, GetWindowLongA(m_dialog, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    // (The icons are checked in-process: Wine answers WM_GETICON from another
    // process with nothing.)

    // Icon 128 and the two pictures: 24 x 52 (type 1) and 12 x 54 (type 0).
    const HMODULE module = LoadLibraryExA(m_exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, module);
    EXPECT_NE(nullptr, FindResourceA(module, MAKEINTRESOURCEA(128), RT_GROUP_ICON));
    auto bitmapHeader = [&](int id) {
        BITMAPINFOHEADER header{};
        const HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(id), RT_BITMAP);
        if (resource != nullptr && SizeofResource(module, resource) >= sizeof(header))
            header =
                *static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(module, resource)));
        return header;
    };
    const BITMAPINFOHEADER type1 = bitmapHeader(129);
    const BITMAPINFOHEADER type0 = bitmapHeader(130);
    EXPECT_EQ(24, type1.biWidth);
    EXPECT_EQ(52, type1.biHeight);
    EXPECT_EQ(24, type1.biBitCount);
    EXPECT_EQ(12, type0.biWidth);
    EXPECT_EQ(54, type0.biHeight);
    EXPECT_EQ(24, type0.biBitCount);
    FreeLibrary(module);

    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(m_exe.c_str(), &ignored);
    ASSERT_NE(0u, size);
    std::vector<char> version(size);
    ASSERT_TRUE(GetFileVersionInfoA(m_exe.c_str(), 0, size, version.data()));
    auto field = [&](const char* name) {
        char* value = nullptr;
        UINT length = 0;
        const std::string path = std::string("\\StringFileInfo\\040904b0\\") + name;
        return VerQueryValueA(version.data(), path.c_str(), reinterpret_cast<void**>(&value),
                              &length) &&
                       value != nullptr
                   ? std::string(value)
                   : std::string();
    };
    EXPECT_EQ("Remote Control configuration", field("FileDescription"));
    EXPECT_EQ("Remote Control configuration", field("ProductName"));
    EXPECT_EQ("KV480cfg.exe", field("InternalName"));
    EXPECT_EQ("KV480cfg.exe", field("OriginalFilename"));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedLength = 0;
    ASSERT_TRUE(
        VerQueryValueA(version.data(), "\\", reinterpret_cast<void**>(&fixed), &fixedLength));
    EXPECT_EQ(MAKELONG(1, 6), fixed->dwFileVersionMS);
    EXPECT_EQ(0u, fixed->dwFileVersionLS);
    EXPECT_EQ(MAKELONG(1, 6), fixed->dwProductVersionMS);
}

TEST_F(KV480cfgTest, AScreenReaderNamesEachFieldByItsLabelAndTabFollowsTheRows) {
    AddPorts({"COM1"});
    StartDialog();
    // A field is named by the static label right before it in the z-order.
    // Wine's oleacc applies that rule to the edit but names a combo box by
    // its selected entry, so the combo boxes are checked by the rule itself.
    EXPECT_EQ("RC address", harness::AccessibleName(Item(IDC_ADDRESS)));
    for (const auto& field :
         {std::make_pair(IDC_COMM_PORT, "Comm port"), std::make_pair(IDC_ADDRESS, "RC address"),
          std::make_pair(IDC_RC_TYPE, "RC type")}) {
        const HWND label = GetWindow(Item(field.first), GW_HWNDPREV);
        char className[16] = "";
        GetClassNameA(label, className, sizeof(className));
        EXPECT_STRCASEEQ("Static", className) << field.second;
        EXPECT_EQ(field.second, harness::WindowText(label));
    }

    std::vector<int> ids;
    const std::vector<HWND> order = harness::TabOrder(m_dialog);
    for (HWND control : order)
        ids.push_back(GetDlgCtrlID(control));
    EXPECT_EQ(
        (std::vector<int>{IDC_COMM_PORT, IDC_AUTO_DETECT_PORT, IDC_ADDRESS, IDC_AUTO_DETECT_ADDRESS,
                          IDC_RC_TYPE, IDC_RUN_AFTER_START, IDCANCEL, IDOK}),
        ids);
    // As the eye reads: each next control lower down, or on the same row
    // further right.
    for (size_t i = 1; i < order.size(); ++i) {
        RECT before;
        RECT after;
        GetWindowRect(order[i - 1], &before);
        GetWindowRect(order[i], &after);
        const bool sameRow = after.top < before.bottom && before.top < after.bottom;
        EXPECT_TRUE(sameRow ? after.left >= before.right : after.top >= before.bottom)
            << ids[i - 1] << " then " << ids[i];
    }
    EXPECT_TRUE(WaitUntil([&] { return Focus() == Item(IDC_COMM_PORT); }, 3000))
        << "the focus starts on the first field";
    EXPECT_EQ(Item(IDOK), FramedButton());
}

TEST_F(KV480cfgTest, EnterAfterAPortSearchPressesTheButtonWithTheDefaultFrame) {
    StartDialog();
    // From the port list, Tab to the search's button and press it with Enter.
    ASSERT_TRUE(WaitUntil([&] { return Focus() == Item(IDC_COMM_PORT); }, 3000));
    ASSERT_TRUE(harness::KeepInFront(m_dialog));
    ASSERT_TRUE(PressKey(VK_TAB));
    ASSERT_TRUE(WaitUntil([&] { return Focus() == Item(IDC_AUTO_DETECT_PORT); }, 3000));
    ASSERT_TRUE(PressKey(VK_RETURN));
    AnswerBox(kTextPortSearch);
    AnswerBox(kTextPortNotFound);
    ASSERT_TRUE(WaitUntil([&] { return Focus() != nullptr && Focus() == FramedButton(); }, 3000))
        << "focus on " << GetDlgCtrlID(Focus()) << ", frame on " << GetDlgCtrlID(FramedButton());
    const int framed = GetDlgCtrlID(FramedButton());
    EXPECT_NE(IDOK, framed) << "the search's own button or the next step's";

    ASSERT_TRUE(harness::KeepInFront(m_dialog));
    ASSERT_TRUE(PressKey(VK_RETURN));
    AnswerBox(framed == IDC_AUTO_DETECT_PORT ? kTextPortSearch : kTextAddressDetection);
    EXPECT_TRUE(m_program.IsRunning()) << "Enter stored and closed";
}

TEST_F(KV480cfgTest, TypePictureAt192DpiIsTheOneDrawnAtTwiceTheSize) {
    harness::SystemDpiOverride dpi(192);
    ASSERT_TRUE(dpi.Ok());
    ASSERT_TRUE(WriteDword("RC_type", 1));
    StartDialog();
    // What the picture control shows on the screen, apart from its background.
    RECT rect;
    ASSERT_TRUE(GetWindowRect(Item(IDC_RC_PICTURE), &rect));
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    int left = 0, top = 0, right = 0, bottom = 0;
    auto measure = [&] {
        HDC screen = GetDC(nullptr);
        HDC memory = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
        const COLORREF face = GetPixel(memory, 0, 0);
        left = width, top = height, right = 0, bottom = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (GetPixel(memory, x, y) != face) {
                    left = std::min(left, x);
                    top = std::min(top, y);
                    right = std::max(right, x + 1);
                    bottom = std::max(bottom, y + 1);
                }
        SelectObject(memory, old);
        DeleteObject(bitmap);
        DeleteDC(memory);
        ReleaseDC(nullptr, screen);
        return right > left;
    };
    // Read until two readings agree: one taken while the picture is being
    // drawn sees only its first rows.
    RECT last{};
    ASSERT_TRUE(WaitUntil(
        [&] {
            const RECT before = last;
            last = measure() ? RECT{left, top, right, bottom} : RECT{};
            return last.right > last.left && EqualRect(&before, &last);
        },
        5000))
        << width << " x " << height << " control, no picture";
    // Type 1 at 2x is 48 x 104; a shorter control cuts rows off.
    EXPECT_EQ(48, right - left);
    EXPECT_EQ(std::min(104, height), bottom - top);
}

TEST_F(KV480cfgTest, FirstStartOnAnEmptySettingsKey) {
    DeleteSettings();
    AddPorts({"COM2", "COM1"});
    StartDialog();
    EXPECT_EQ("0x0000", Text(IDC_ADDRESS));
    EXPECT_EQ((std::vector<std::string>{"COM1", "COM2"}), ComboItems(IDC_COMM_PORT));
    EXPECT_EQ("", ComboSelection(IDC_COMM_PORT));
    EXPECT_EQ((std::vector<std::string>{"VEKO", "ZELMAR_OVI"}), ComboItems(IDC_RC_TYPE));
    EXPECT_EQ("", ComboSelection(IDC_RC_TYPE));
    EXPECT_EQ(nullptr, Picture());
    EXPECT_TRUE(IsChecked(IDC_RUN_AFTER_START));

    // Without "Path" neither the autostart entry nor the restart can be made.
    Click(IDOK);
    AnswerBox(kTextCannotWrite);
    AnswerBox(kTextCannotRead);
    ASSERT_TRUE(m_program.WaitForExit(5000));
    DWORD value = 99;
    EXPECT_TRUE(ReadDword("Address", value));
    EXPECT_EQ(0u, value);
    EXPECT_TRUE(ReadDword("RC_type", value));
    EXPECT_EQ(0u, value);
    EXPECT_TRUE(ReadDword("CommPort", value));
    EXPECT_EQ(0u, value);
    EXPECT_TRUE(ReadDword("RunAfterStartSystem", value));
    EXPECT_EQ(1u, value);
    std::string run;
    EXPECT_FALSE(ReadString(kRunKey, kRunValue, run));
}

TEST_F(KV480cfgTest, StoredValuesAreShownAndOkStoresTheChanges) {
    ASSERT_TRUE(WriteDword("Address", 0x12ED));
    ASSERT_TRUE(WriteDword("CommPort", 2));
    ASSERT_TRUE(WriteDword("RC_type", 1));
    ASSERT_TRUE(WriteDword("RunAfterStartSystem", 0));
    AddPorts({"COM2", "COM10", "COM1"});
    StartDialog();
    EXPECT_EQ("0x12ed", Text(IDC_ADDRESS));
    // Sorted by the control: COM10 before COM2.
    EXPECT_EQ((std::vector<std::string>{"COM1", "COM10", "COM2"}), ComboItems(IDC_COMM_PORT));
    EXPECT_EQ("COM2", ComboSelection(IDC_COMM_PORT));
    EXPECT_EQ("ZELMAR_OVI", ComboSelection(IDC_RC_TYPE));
    const HANDLE zelmarPicture = Picture();
    EXPECT_NE(nullptr, zelmarPicture);
    EXPECT_FALSE(IsChecked(IDC_RUN_AFTER_START));

    SelectCombo(IDC_COMM_PORT, "COM10");
    SelectCombo(IDC_RC_TYPE, "VEKO");
    EXPECT_NE(nullptr, Picture());
    EXPECT_NE(zelmarPicture, Picture()) << "the other type's picture";
    Click(IDC_RUN_AFTER_START);
    ASSERT_TRUE(WaitUntil([&] { return IsChecked(IDC_RUN_AFTER_START); }, 2000));
    PressOkAndWaitForExit();

    DWORD value = 0;
    EXPECT_TRUE(ReadDword("Address", value));
    EXPECT_EQ(0x12EDu, value);
    EXPECT_TRUE(ReadDword("CommPort", value));
    EXPECT_EQ(10u, value);
    EXPECT_TRUE(ReadDword("RC_type", value));
    EXPECT_EQ(0u, value);
    EXPECT_TRUE(ReadDword("RunAfterStartSystem", value));
    EXPECT_EQ(1u, value);
    EXPECT_EQ(
        (std::vector<std::string>{"Address", "CommPort", "Path", "RC_type", "RunAfterStartSystem"}),
        SettingNames());
    // Quoted: the folder's name has a space.
    std::string run;
    EXPECT_TRUE(ReadString(kRunKey, kRunValue, run));
    EXPECT_EQ("\"" + kInstallDir + "KV480.exe\"", run);
}

TEST_F(KV480cfgTest, UnusualStoredValuesSurviveOk) {
    ASSERT_TRUE(WriteDword("Address", 0x1ABCD)); // above 16 bits
    ASSERT_TRUE(WriteDword("CommPort", 7));      // not present
    ASSERT_TRUE(WriteDword("RC_type", 2));       // neither type
    AddPorts({"COM1"});
    StartDialog();
    EXPECT_EQ("0xabcd", Text(IDC_ADDRESS));
    EXPECT_EQ("", ComboSelection(IDC_COMM_PORT));
    EXPECT_EQ("", ComboSelection(IDC_RC_TYPE));
    EXPECT_EQ(nullptr, Picture());
    PressOkAndWaitForExit();
    DWORD value = 0;
    EXPECT_TRUE(ReadDword("Address", value));
    EXPECT_EQ(0xABCDu, value);
    EXPECT_TRUE(ReadDword("CommPort", value));
    EXPECT_EQ(7u, value);
    EXPECT_TRUE(ReadDword("RC_type", value));
    EXPECT_EQ(2u, value);
}

// The three other ways out of the dialog besides Cancel store nothing either.
enum class Leave { CancelButton, CloseBox, Escape };

void PrintTo(Leave leave, std::ostream* out) {
    *out << static_cast<int>(leave);
}

class KV480cfgLeaveTest : public KV480cfgTest, public ::testing::WithParamInterface<Leave> {};

TEST_P(KV480cfgLeaveTest, WritesNothing) {
    ASSERT_TRUE(WriteDword("Address", 0x12ED));
    ASSERT_TRUE(WriteDword("CommPort", 1));
    ASSERT_TRUE(WriteDword("RC_type", 0));
    AddPorts({"COM1", "COM2"});
    const std::vector<std::string> before = SettingNames();
    StartDialog();
    SelectCombo(IDC_COMM_PORT, "COM2");
    SelectCombo(IDC_RC_TYPE, "ZELMAR_OVI");
    Click(IDC_RUN_AFTER_START);
    ASSERT_TRUE(WaitUntil([&] { return !IsChecked(IDC_RUN_AFTER_START); }, 2000));
    switch (GetParam()) {
    case Leave::CancelButton:
        Click(IDCANCEL);
        break;
    case Leave::CloseBox:
        PostMessageA(m_dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    case Leave::Escape:
        PostMessageA(Item(IDOK), WM_KEYDOWN, VK_ESCAPE, 0);
        break;
    }
    ASSERT_TRUE(m_program.WaitForExit(5000));
    EXPECT_EQ(before, SettingNames());
    DWORD value = 0;
    EXPECT_TRUE(ReadDword("CommPort", value));
    EXPECT_EQ(1u, value);
    EXPECT_TRUE(ReadDword("RC_type", value));
    EXPECT_EQ(0u, value);
    std::string run;
    EXPECT_FALSE(ReadString(kRunKey, kRunValue, run));
}

INSTANTIATE_TEST_SUITE_P(Ways, KV480cfgLeaveTest,
                         ::testing::Values(Leave::CancelButton, Leave::CloseBox, Leave::Escape),
                         [](const ::testing::TestParamInfo<Leave>& info) {
                             switch (info.param) {
                             case Leave::CancelButton:
                                 return std::string("CancelButton");
                             case Leave::CloseBox:
                                 return std::string("CloseBox");
                             case Leave::Escape:
                                 break;
                             }
                             return std::string("Escape");
                         });

TEST_F(KV480cfgTest, AutostartOffDeletesTheRunValueAndAnAbsentOneIsNoError) {
    ASSERT_TRUE(WriteString(kRunKey, kRunValue, "\"" + kInstallDir + "KV480.exe\""));
    ASSERT_TRUE(WriteDword("RunAfterStartSystem", 0));
    for (int run = 0; run < 2; ++run) {
        StartDialog();
        EXPECT_FALSE(IsChecked(IDC_RUN_AFTER_START));
        PressOkAndWaitForExit();
        std::string value;
        EXPECT_FALSE(ReadString(kRunKey, kRunValue, value)) << "run " << run;
    }
}

TEST_F(KV480cfgTest, RunningResidentIsClosedOnOpenAndStartedAgainFromItsFolder) {
    InstallResident();
    PlantFakeResident(kSplitDecoy);
    ASSERT_TRUE(WriteDword("Address", 0x12ED));
    ASSERT_TRUE(WriteDword("CommPort", 4));
    ProgramUnderTest resident;
    ASSERT_TRUE(resident.Start(kInstallDir + "KV480.exe", "-nr", kInstallDir));
    ASSERT_NE(nullptr, resident.WaitForWindow(kResidentClass, kResidentCaption, 10000));

    const DWORD start = GetTickCount();
    StartDialog();
    EXPECT_TRUE(resident.WaitForExit(0)) << "closed before the dialog shows";
    EXPECT_LT(GetTickCount() - start, 3000u) << "it ended on WM_CLOSE, no termination needed";

    Click(IDCANCEL);
    ASSERT_TRUE(m_program.WaitForExit(10000));
    HWND restarted = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] { return (restarted = FindWindowA(kResidentClass, kResidentCaption)) != nullptr; },
        10000));
    DWORD pid = 0;
    GetWindowThreadProcessId(restarted, &pid);
    const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    ASSERT_NE(nullptr, process);
    char image[MAX_PATH] = "";
    DWORD length = sizeof(image);
    EXPECT_TRUE(QueryFullProcessImageNameA(process, 0, image, &length));
    CloseHandle(process);
    EXPECT_EQ(0, lstrcmpiA((kInstallDir + "KV480.exe").c_str(), image)) << image;
    EXPECT_FALSE(FileExists(kSplitDecoy + ".ran")) << "the folder's name was split at its space";
    // Wine runs every program elevated and has a desktop shell: the utility
    // hands the start to the shell rather than passing its rights on.
    EXPECT_NE(m_program.ProcessId(), ParentOf(pid)) << "started as the utility's child";
}

TEST_F(KV480cfgTest, PathTooLongForTheCommandLineStartsNothing) {
    // 248 characters: "Path" + "KV480.exe" is a valid file name, but the
    // quoted command line with its option does not fit 260 characters.
    std::string folder = kRoot;
    folder += std::string(248 - folder.size() - 1, 'x') + "\\";
    ASSERT_EQ(248u, folder.size());
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << GetLastError();
    PlantFakeResident(folder + "KV480.exe");
    ASSERT_TRUE(WriteString(kSettingsKey, "Path", folder));
    StartDialog();
    Click(IDCANCEL);
    ASSERT_TRUE(m_program.WaitForExit(5000)) << "no box either";
    // The stand-in's trace would not fit its path here: look for its window.
    EXPECT_FALSE(
        WaitUntil([&] { return FindWindowA(kResidentClass, kResidentCaption) != nullptr; }, 1500));
}

TEST_F(KV480cfgTest, ResidentIgnoringWmCloseIsTerminatedAfter3000Ms) {
    ASSERT_TRUE(WriteDword("Address", 0x12ED));
    const std::string fake = kRoot + "Stubborn.exe";
    PlantFakeResident(fake);
    ProgramUnderTest resident;
    ASSERT_TRUE(resident.Start(fake));
    ASSERT_NE(nullptr, resident.WaitForWindow(kResidentClass, kResidentCaption, 10000));

    const DWORD start = GetTickCount();
    ASSERT_TRUE(m_program.Start(m_exe));
    ASSERT_TRUE(resident.WaitForExit(10000));
    const DWORD elapsed = GetTickCount() - start;
    EXPECT_GE(elapsed, 2900u);
    EXPECT_LT(elapsed, 6000u);
    EXPECT_EQ(0u, resident.ExitCode()) << "terminated with exit code 0";
    WaitForDialog();
    EXPECT_EQ("0x12ed", Text(IDC_ADDRESS)) << "the settings were loaded";
}

// The receiver on the second of three ports, with a key held down on the
// remote control (by the receiver simulator); the first port cannot be set
// up and the third is never reached.
struct HeldKey {
    const char* name;
    const char* simulatorCommand;
    const char* typeName;
    DWORD type;
};

void PrintTo(const HeldKey& key, std::ostream* out) {
    *out << key.name;
}

class KV480cfgPortSearchTest : public KV480cfgTest,
                               public ::testing::WithParamInterface<HeldKey> {};

TEST_P(KV480cfgPortSearchTest, FindsTheReceiverAndItsType) {
    AddPorts({"COM1", "COM2", "COM3"});
    harness::BlockConfiguration("COM1", true);
    StartDialog();
    ProgramUnderTest simulator;
    const std::string simulatorExe =
        OwnFolder() + "..\\..\\tools\\ReceiverSimulator\\ReceiverSimulator.exe";
    ASSERT_TRUE(simulator.Start(simulatorExe, std::string("--port COM12 --quiet ") +
                                                  GetParam().simulatorCommand));
    {
        // The user holds the key before the search begins: wait until the
        // receiver repeats (a key frame, then three repeats), as the search
        // decides on the first bytes it hears.
        DevicePort listener("COM2");
        ASSERT_TRUE(listener.SetLine(CBR_9600));
        ASSERT_EQ(12u, listener.Read(12, 5000).size());
    }

    Click(IDC_AUTO_DETECT_PORT);
    AnswerBox(kTextPortSearch);
    MessageBoxSeen box;
    ASSERT_TRUE(WaitForBox(box, 10000));
    EXPECT_EQ(kTextPortFound, box.text);
    // Still searching until the box is answered.
    EXPECT_FALSE(IsEnabled(IDC_AUTO_DETECT_PORT));
    EXPECT_FALSE(IsEnabled(IDC_AUTO_DETECT_ADDRESS));
    EXPECT_TRUE(IsVisible(IDC_PROGRESS));
    EXPECT_EQ(GetParam().typeName, ComboSelection(IDC_RC_TYPE));
    EXPECT_NE(nullptr, Picture());
    AnswerBox(kTextPortFound);

    EXPECT_EQ("COM2", ComboSelection(IDC_COMM_PORT));
    EXPECT_TRUE(WaitUntil([&] { return Focus() == Item(IDC_AUTO_DETECT_ADDRESS); }, 3000))
        << "on to the next step";
    EXPECT_EQ(Item(IDC_AUTO_DETECT_ADDRESS), FramedButton());
    EXPECT_EQ("Auto Detect CommPort", Text(IDC_AUTO_DETECT_PORT));
    EXPECT_TRUE(IsEnabled(IDC_AUTO_DETECT_PORT));
    EXPECT_TRUE(IsEnabled(IDC_AUTO_DETECT_ADDRESS));
    EXPECT_FALSE(IsVisible(IDC_PROGRESS));
    harness::LineState state;
    EXPECT_FALSE(harness::ReadLineState("COM3", state)) << "the search stops at the receiver";

    PressOkAndWaitForExit();
    DWORD value = 0;
    EXPECT_TRUE(ReadDword("CommPort", value));
    EXPECT_EQ(2u, value);
    EXPECT_TRUE(ReadDword("RC_type", value));
    EXPECT_EQ(GetParam().type, value);
}

INSTANTIATE_TEST_SUITE_P(
    Types, KV480cfgPortSearchTest,
    ::testing::Values(HeldKey{"Veko", "hold veko 12ED 3 15000", "VEKO", 0},
                      HeldKey{"Zelmar", "hold zelmar 0B f1 15000", "ZELMAR_OVI", 1}),
    [](const ::testing::TestParamInfo<HeldKey>& info) { return std::string(info.param.name); });

// Value changes of the progress bars of other processes, as a screen reader
// hears of them.
std::atomic<int> g_progressChanges{0};
void CALLBACK CountProgressChange(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG, DWORD,
                                  DWORD) {
    char className[32] = "";
    GetClassNameA(window, className, sizeof(className));
    if (object == OBJID_CLIENT && lstrcmpiA(className, PROGRESS_CLASSA) == 0)
        ++g_progressChanges;
}

TEST_F(KV480cfgTest, PortSearchGivesASilentPortThreeReadsWhileTheCaptionBlinks) {
    AddPorts({"COM3"});
    StartDialog();
    g_progressChanges = 0;
    const HWINEVENTHOOK hook =
        SetWinEventHook(EVENT_OBJECT_VALUECHANGE, EVENT_OBJECT_VALUECHANGE, nullptr,
                        CountProgressChange, m_program.ProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    ASSERT_NE(nullptr, hook);
    Click(IDC_AUTO_DETECT_PORT);
    AnswerBox(kTextPortSearch);
    const DWORD start = GetTickCount();
    EXPECT_TRUE(WaitUntil([&] { return Text(IDC_AUTO_DETECT_PORT) == " "; }, 2000));
    EXPECT_TRUE(WaitUntil([&] { return Text(IDC_AUTO_DETECT_PORT) == "... in progress"; }, 2000));
    MessageBoxSeen box;
    ASSERT_TRUE(WaitForBox(box, 10000));
    const DWORD elapsed = GetTickCount() - start;
    EXPECT_EQ(kTextPortNotFound, box.text);
    EXPECT_GE(elapsed, 5500u) << "three reads of 2000 ms";
    EXPECT_LT(elapsed, 8000u);
    AnswerBox(kTextPortNotFound);
    EXPECT_EQ("Auto Detect CommPort", Text(IDC_AUTO_DETECT_PORT));
    EXPECT_TRUE(WaitUntil([] { return g_progressChanges > 0; }, 2000))
        << "the probed port's step is announced";
    UnhookWinEvent(hook);
}

TEST_F(KV480cfgTest, OkDuringAPortSearchStopsItAtOnceAndStores) {
    ASSERT_TRUE(WriteDword("CommPort", 3));
    AddPorts({"COM3"});
    StartDialog();
    SelectCombo(IDC_RC_TYPE, "ZELMAR_OVI");
    Click(IDC_AUTO_DETECT_PORT);
    AnswerBox(kTextPortSearch);
    ASSERT_TRUE(WaitForPortOpen("COM3"));
    const DWORD start = GetTickCount();
    PressOkAndWaitForExit();
    // A read runs for up to 2000 ms; the stop does not wait for it.
    EXPECT_LT(GetTickCount() - start, 1500u);
    DWORD value = 0;
    EXPECT_TRUE(ReadDword("RC_type", value));
    EXPECT_EQ(1u, value);
    EXPECT_TRUE(ReadDword("CommPort", value));
    EXPECT_EQ(3u, value);
}

TEST_F(KV480cfgTest, PortSearchLeavesOutABluetoothPortThatStaysListed) {
    ASSERT_FALSE(VirtualPortDevice::Add("COM3", "Standard Serial over Bluetooth link",
                                        "BTHENUM\\{00001101-0000-1000-8000-00805F9B34FB}_"
                                        "LOCALMFG&0000\\7&2B1D3C&0&000000000000_00000000")
                     .empty())
        << GetLastError();
    StartDialog();
    const std::vector<std::string> ports = ComboItems(IDC_COMM_PORT);
    EXPECT_NE(ports.end(), std::find(ports.begin(), ports.end(), "COM3"));
    Click(IDC_AUTO_DETECT_PORT);
    AnswerBox(kTextPortSearch);
    MessageBoxSeen box;
    ASSERT_TRUE(WaitForBox(box, 1500)) << "the port was probed";
    EXPECT_EQ(kTextPortNotFound, box.text);
    harness::LineState state;
    EXPECT_FALSE(harness::ReadLineState("COM3", state)) << "the port was opened";
    AnswerBox(kTextPortNotFound);
}

TEST_F(KV480cfgTest, PortSearchWithoutPortsReportsAtOnce) {
    ASSERT_TRUE(WriteDword("CommPort", 3));
    StartDialog();
    Click(IDC_AUTO_DETECT_PORT);
    AnswerBox(kTextPortSearch);
    MessageBoxSeen box;
    ASSERT_TRUE(WaitForBox(box, 1500));
    EXPECT_EQ(kTextPortNotFound, box.text);
    EXPECT_EQ(0, SendMessageA(Item(IDC_PROGRESS), PBM_GETRANGE, FALSE, 0)) << "range 0 to 0";
    AnswerBox(kTextPortNotFound);
    EXPECT_EQ("Auto Detect CommPort", Text(IDC_AUTO_DETECT_PORT));
    EXPECT_TRUE(IsEnabled(IDC_AUTO_DETECT_PORT));
    EXPECT_TRUE(IsEnabled(IDC_AUTO_DETECT_ADDRESS));
    EXPECT_FALSE(IsVisible(IDC_PROGRESS));
    PressOkAndWaitForExit();
    DWORD value = 0;
    EXPECT_TRUE(ReadDword("CommPort", value));
    EXPECT_EQ(3u, value);
}

TEST_F(KV480cfgTest, AddressDetectionOfAVekoRemote) {
    ASSERT_TRUE(WriteDword("CommPort", 1));
    StartDialog();
    // A change made before the detection must survive it.
    Click(IDC_RUN_AFTER_START);
    ASSERT_TRUE(WaitUntil([&] { return !IsChecked(IDC_RUN_AFTER_START); }, 2000));
    StartAddressDetection("COM1");
    EXPECT_EQ("Stop Detect Address", Text(IDC_AUTO_DETECT_ADDRESS));
    EXPECT_FALSE(IsEnabled(IDC_AUTO_DETECT_PORT));
    EXPECT_TRUE(IsVisible(IDC_PROGRESS));

    DevicePort device("COM11");
    ASSERT_TRUE(device.SetLine(CBR_9600));
    // A held key's repeats carry no address: not counted.
    ASSERT_TRUE(device.Write(Bytes({0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA})));
    for (int click = 1; click <= 5; ++click) {
        ASSERT_TRUE(device.Write(Bytes({0x12, 0xED, 0x13, 0x12, 0xED, 0x13})));
        if (click < 5) {
            ASSERT_TRUE(WaitUntil([&] { return ProgressPos() == click; }, 5000)) << click;
        }
    }
    AnswerBox(kTextAddressFound);
    EXPECT_EQ("0x12ed", Text(IDC_ADDRESS));
    EXPECT_EQ("Start Detect Address", Text(IDC_AUTO_DETECT_ADDRESS));
    EXPECT_TRUE(IsEnabled(IDC_AUTO_DETECT_PORT));
    EXPECT_FALSE(IsVisible(IDC_PROGRESS));
    EXPECT_FALSE(IsChecked(IDC_RUN_AFTER_START));

    PressOkAndWaitForExit();
    DWORD value = 0;
    EXPECT_TRUE(ReadDword("Address", value));
    EXPECT_EQ(0x12EDu, value);
    EXPECT_TRUE(ReadDword("RunAfterStartSystem", value));
    EXPECT_EQ(0u, value);
}

TEST_F(KV480cfgTest, StoppingAnAddressDetectionNoGoesOnYesReturnsToIdleAtOnce) {
    ASSERT_TRUE(WriteDword("CommPort", 1));
    StartDialog();
    StartAddressDetection("COM1");

    Click(IDC_AUTO_DETECT_ADDRESS);
    AnswerBox(kTextStopQuestion, IDNO);
    EXPECT_EQ("Stop Detect Address", Text(IDC_AUTO_DETECT_ADDRESS));
    EXPECT_FALSE(IsEnabled(IDC_AUTO_DETECT_PORT));
    EXPECT_TRUE(IsVisible(IDC_PROGRESS));
    {
        // Still listening: a click counts.
        DevicePort device("COM11");
        ASSERT_TRUE(device.SetLine(CBR_9600));
        ASSERT_TRUE(device.Write(Bytes({0x12, 0xED, 0x13, 0x12, 0xED, 0x13})));
        EXPECT_TRUE(WaitUntil([&] { return ProgressPos() == 1; }, 5000));
    }

    Click(IDC_AUTO_DETECT_ADDRESS);
    AnswerBox(kTextStopQuestion, IDYES);
    const DWORD answered = GetTickCount();
    ASSERT_TRUE(WaitUntil([&] { return IsEnabled(IDC_AUTO_DETECT_PORT); }, 5000));
    // A read runs for up to 2000 ms; the stop does not wait for it.
    EXPECT_LT(GetTickCount() - answered, 1000u);
    EXPECT_EQ("Start Detect Address", Text(IDC_AUTO_DETECT_ADDRESS));
    EXPECT_FALSE(IsVisible(IDC_PROGRESS));
    EXPECT_TRUE(NoBoxFor(500)) << "a stopped detection reports nothing";
}

TEST_F(KV480cfgTest, ZelmarRemoteDetectedByTheUtilityWorksWithTheResidentProgram) {
    InstallResident();
    {
        std::string ini = "[Receiver]\r\nClassName=KV480cfgTestReceiver\r\nWindowName=NULL\r\n";
        const HANDLE file = CreateFileA((kInstallDir + "RecvApp.ini").c_str(), GENERIC_WRITE, 0,
                                        nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        DWORD written = 0;
        WriteFile(file, ini.data(), static_cast<DWORD>(ini.size()), &written, nullptr);
        CloseHandle(file);
    }
    harness::ReceivingWindow receiver("KV480cfgTestReceiver", "Receiver");
    ASSERT_TRUE(receiver.BringToTop());
    ASSERT_TRUE(WriteDword("CommPort", 1));
    AddPorts({"COM1"});
    StartDialog();
    SelectCombo(IDC_RC_TYPE, "ZELMAR_OVI");
    StartAddressDetection("COM1");
    {
        DevicePort device("COM11");
        ASSERT_TRUE(device.SetLine(CBR_9600));
        for (int click = 1; click <= 5; ++click) {
            // Toggle bit and the unused top bits are set: only 5 bits are the address.
            const int second = 0x0B | (click % 2 ? 0x20 : 0) | 0x80;
            ASSERT_TRUE(device.Write(Bytes({0x5A, second, 0x04, 0x5A, second, 0x04})));
            if (click < 5) {
                ASSERT_TRUE(WaitUntil([&] { return ProgressPos() == click; }, 5000)) << click;
            }
        }
        AnswerBox(kTextAddressFound);
    }
    EXPECT_EQ("0x0b00", Text(IDC_ADDRESS));

    harness::ClearLineState("COM1");
    PressOkAndWaitForExit();
    DWORD value = 0;
    EXPECT_TRUE(ReadDword("Address", value));
    EXPECT_EQ(0x0B00u, value);
    ASSERT_TRUE(WaitForPortOpen("COM1")) << "the restarted resident program listens";

    DevicePort device("COM11");
    ASSERT_TRUE(device.SetLine(CBR_9600));
    ASSERT_TRUE(device.Write(Bytes({0x5A, 0x0B, 0x04}))); // key 7
    ASSERT_TRUE(receiver.WaitForKeys(1, 5000));
    // Another remote's press, then ours again with the toggle bit flipped: had
    // the other been taken, ours would be a repeat.
    ASSERT_TRUE(device.Write(Bytes({0x5A, 0x2C, 0x0C})));
    ASSERT_TRUE(device.Write(Bytes({0x5A, 0x2B, 0x0C}))); // key 8
    ASSERT_TRUE(receiver.WaitForKeys(2, 5000));
    EXPECT_FALSE(receiver.WaitForKeys(3, 700));
    const auto& keys = receiver.Keys();
    ASSERT_EQ(2u, keys.size());
    EXPECT_EQ(7u, keys[0].key);
    EXPECT_EQ(8u, keys[1].key);
    EXPECT_EQ(0, keys[1].repeat);
}

} // namespace
