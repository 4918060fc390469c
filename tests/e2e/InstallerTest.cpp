// The setup program end to end: a silent installation into a folder with
// spaces, the installed programs at work from there, an upgrade over a
// running resident program, and the removal.
#include <windows.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "LineState.h"
#include "ProgramUnderTest.h"
#include "RegistryWriter.h"
#include "TestConstants.h"
#include "TrayIcons.h"

using harness::ProgramUnderTest;
using harness::WaitUntil;

namespace {

using harness::kSettingsKey;
const char* const kVendorKey = "SOFTWARE\\VEKO";
const char* const kRunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const char* const kRunValue = "Veko - Remote Control";
const char* const kUninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KV480";
const char* const kMainClass = "CRemoteControlClass";
const char* const kMainCaption = "Remote Control";
const char* const kConfigCaption = "Remote Control configuration";
const char* const kDemoClass = "KV480DemoReceiver";
const char* const kEditorClass = "KV480KeysEditor";
const char* const kEditorCaption = "Remote Control keys";
// The editor's "Add mode" button and its dialog's name field (RCkeys/resource.h).
const int kAddMode = 1046;
const int kModeName = 1111;

// Not the default folder, so that an upgrade that ignored the installed one
// would show.
const std::string kInstallDir = "C:\\Program Files\\Remote Control Test\\";
const std::string kDefaultDir = "C:\\Program Files\\Remote Control\\";

// The receiver on COM1 is played from COM11.
const char* const kPort = "COM1";
const char* const kDevice = "COM11";
using harness::kAddress;

const DWORD kSetupTimeoutMs = 30000;

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteAll(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

// Names of the files and folders in dir, recursively, relative to it.
void ListTree(const std::string& dir, const std::string& prefix, std::set<std::string>& names) {
    WIN32_FIND_DATAA data;
    const HANDLE find = FindFirstFileA((dir + "*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::string name = data.cFileName;
        if (name == "." || name == "..")
            continue;
        names.insert(prefix + name);
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            ListTree(dir + name + "\\", prefix + name + "\\", names);
    } while (FindNextFileA(find, &data));
    FindClose(find);
}

std::set<std::string> Tree(const std::string& dir) {
    std::set<std::string> names;
    ListTree(dir, "", names);
    return names;
}

void RemoveTree(const std::string& dir) {
    std::set<std::string> names = Tree(dir);
    // Longest first: a folder's contents before the folder.
    std::vector<std::string> ordered(names.begin(), names.end());
    std::sort(ordered.begin(), ordered.end(),
              [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
    for (const std::string& name : ordered) {
        const std::string path = dir + name;
        if (!DeleteFileA(path.c_str()))
            RemoveDirectoryA(path.c_str());
    }
    RemoveDirectoryA(dir.c_str());
}

bool KeyExists(const char* key) {
    HKEY handle;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return false;
    RegCloseKey(handle);
    return true;
}

// A REG_SZ value; false when it is missing or of another type.
bool ReadString(const char* key, const char* name, std::string& text) {
    char buffer[1024] = "";
    DWORD size = sizeof(buffer) - 1;
    DWORD type = 0;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, key, name, RRF_RT_ANY, &type, buffer, &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ)
        return false;
    text = buffer;
    return true;
}

// Names of the values in key.
std::vector<std::string> ValueNames(const char* key) {
    std::vector<std::string> names;
    HKEY handle;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return names;
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD length = sizeof(name);
        if (RegEnumValueA(handle, i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        names.push_back(name);
    }
    RegCloseKey(handle);
    return names;
}

void WriteValue(const char* key, const char* name, DWORD type, const void* data, DWORD size) {
    EXPECT_TRUE(harness::WriteRegistryValue(key, name, type, data, size));
}

void WriteDword(const char* name, DWORD value) {
    WriteValue(kSettingsKey, name, REG_DWORD, &value, sizeof(value));
}

std::string Lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Process ids of the running processes that pid started.
std::vector<DWORD> ChildrenOf(DWORD pid) {
    std::vector<DWORD> children;
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return children;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32First(snapshot, &entry); more;
         more = Process32Next(snapshot, &entry)) {
        if (entry.th32ParentProcessID == pid && entry.th32ProcessID != pid)
            children.push_back(entry.th32ProcessID);
    }
    CloseHandle(snapshot);
    return children;
}

bool WaitForProcess(DWORD pid, DWORD timeoutMs) {
    const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    if (process == nullptr)
        return true; // already gone
    const bool ended = WaitForSingleObject(process, timeoutMs) == WAIT_OBJECT_0;
    CloseHandle(process);
    return ended;
}

// The resident program's main window, of any process; its process id in pid.
HWND FindResident(DWORD& pid) {
    const HWND window = FindWindowA(kMainClass, kMainCaption);
    pid = 0;
    if (window != nullptr)
        GetWindowThreadProcessId(window, &pid);
    return window;
}

std::string ImageOf(DWORD pid) {
    const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (process == nullptr)
        return std::string();
    char image[MAX_PATH] = "";
    DWORD length = sizeof(image);
    if (!QueryFullProcessImageNameA(process, 0, image, &length))
        image[0] = '\0';
    CloseHandle(process);
    return image;
}

// Ends whatever resident program runs, the way the configuration utility does.
void EndResident() {
    DWORD pid = 0;
    const HWND window = FindResident(pid);
    if (window == nullptr)
        return;
    const HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid);
    PostMessageA(window, WM_CLOSE, 0, 0);
    if (process != nullptr) {
        if (WaitForSingleObject(process, 5000) != WAIT_OBJECT_0)
            TerminateProcess(process, 1);
        CloseHandle(process);
    }
}

bool WaitForPortOpen(DWORD timeoutMs = 10000) {
    return WaitUntil([] { return harness::DtrRaised(kPort); }, timeoutMs);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line))
        lines.push_back(line);
    return lines;
}

class InstallerTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_setup = harness::WindowsPathFromEnv("RC_SETUP_EXE");
        ASSERT_FALSE(m_setup.empty()) << "RC_SETUP_EXE not set";
        ASSERT_TRUE(Exists(m_setup)) << m_setup << " (build the dist target)";
        // Wine would mirror the Start-menu entries into the Linux desktop's
        // menus, outside the prefix; its menu builder is switched off for the
        // prefix (the environment's overrides do not reach it).
        HKEY overrides;
        ASSERT_EQ(ERROR_SUCCESS,
                  RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\DllOverrides", 0, nullptr, 0,
                                  KEY_SET_VALUE, nullptr, &overrides, nullptr));
        RegSetValueExA(overrides, "winemenubuilder.exe", 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(""), 1);
        RegCloseKey(overrides);
        char temp[MAX_PATH] = "";
        ASSERT_NE(0u, GetTempPathA(sizeof(temp), temp));
        m_log = std::string(temp) + "installer demo keys.log";
        Clean();
        char data[MAX_PATH] = "";
        ASSERT_NE(0u, GetEnvironmentVariableA("ProgramData", data, sizeof(data)));
        m_startMenu =
            std::string(data) + "\\Microsoft\\Windows\\Start Menu\\Programs\\Remote Control\\";
    }

    void TearDown() override {
        if (m_demo.IsRunning()) {
            PostMessageA(m_demo.WaitForWindow(kDemoClass, nullptr, 0), WM_CLOSE, 0, 0);
            if (!m_demo.WaitForExit(5000))
                m_demo.Terminate();
        }
        EndResident();
        Clean();
    }

    void Clean() {
        EndResident();
        RemoveTree(kInstallDir);
        RemoveTree(kDefaultDir);
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kSettingsKey);
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, kVendorKey);
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kUninstallKey);
        HKEY run;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_SET_VALUE, &run) == ERROR_SUCCESS) {
            RegDeleteValueA(run, kRunValue);
            RegCloseKey(run);
        }
        DeleteFileA(m_log.c_str());
    }

    // Runs the setup silently; "/D=" must come last and unquoted.
    DWORD Setup(bool chooseFolder = true) {
        std::string arguments = "/S";
        if (chooseFolder)
            arguments += " /D=" + kInstallDir.substr(0, kInstallDir.size() - 1);
        ProgramUnderTest setup;
        EXPECT_TRUE(setup.Start(m_setup, arguments));
        EXPECT_TRUE(setup.WaitForExit(kSetupTimeoutMs));
        return setup.ExitCode();
    }

    // Runs the uninstaller as Programs and Features does. It copies itself
    // away so that it can delete itself, starts the copy and ends: wait for
    // the copy too.
    void Uninstall() {
        ProgramUnderTest uninstaller;
        ASSERT_TRUE(uninstaller.Start(kInstallDir + "Uninstall.exe", "/S"));
        const DWORD pid = uninstaller.ProcessId();
        std::set<DWORD> children;
        auto collect = [&] {
            for (DWORD child : ChildrenOf(pid))
                children.insert(child);
        };
        ASSERT_TRUE(WaitUntil(
            [&] {
                collect();
                return uninstaller.WaitForExit(0);
            },
            kSetupTimeoutMs));
        collect();
        for (DWORD child : children)
            EXPECT_TRUE(WaitForProcess(child, kSetupTimeoutMs));
    }

    std::string Installed(const std::string& name) const { return kInstallDir + name; }

    // Sends one key as the receiver would, with the installed simulator.
    void Press(const std::string& key) {
        ProgramUnderTest simulator;
        ASSERT_TRUE(
            simulator.Start(Installed("Tools\\ReceiverSimulator.exe"),
                            std::string("--port ") + kDevice + " --quiet press veko 12ED " + key));
        ASSERT_TRUE(simulator.WaitForExit(10000));
        ASSERT_EQ(0u, simulator.ExitCode());
    }

    void ExpectRemoved() {
        EXPECT_FALSE(KeyExists(kSettingsKey));
        EXPECT_FALSE(KeyExists(kVendorKey)) << "nothing else lived there";
        EXPECT_FALSE(KeyExists(kUninstallKey));
        std::string run;
        EXPECT_FALSE(ReadString(kRunKey, kRunValue, run)) << run;
        EXPECT_FALSE(Exists(m_startMenu));
    }

    std::string m_setup;
    std::string m_log;
    std::string m_startMenu;
    ProgramUnderTest m_demo;
};

TEST_F(InstallerTest, InstallsRunsFromTheFolderAndUninstallsWithoutTrace) {
    ASSERT_EQ(0u, Setup());

    EXPECT_EQ((std::set<std::string>{
                  "KV480.exe", "KV480cfg.exe", "KV480keys.exe", "RecvApp.ini", "KeyMap.ini",
                  "Uninstall.exe", "Tools", "Tools\\ReceiverSimulator.exe",
                  "Tools\\DemoReceiver.exe", "Tools\\RecvAppCheck.exe", "Tools\\KeySender.exe",
                  "user-guide.html", "Docs", "Docs\\receiving-applications.html",
                  "Docs\\MinimalReceiver.c", "Include", "Include\\RemoteControl.h"}),
              Tree(kInstallDir));
    // "Path" alone: the rest belongs to the configuration utility.
    std::string path;
    ASSERT_TRUE(ReadString(kSettingsKey, "Path", path));
    EXPECT_EQ(kInstallDir, path);
    EXPECT_EQ(std::vector<std::string>{"Path"}, ValueNames(kSettingsKey));
    std::string uninstall;
    ASSERT_TRUE(ReadString(kUninstallKey, "UninstallString", uninstall));
    EXPECT_EQ("\"" + Installed("Uninstall.exe") + "\"", uninstall);
    EXPECT_TRUE(Exists(m_startMenu + "Remote Control configuration.lnk"));
    EXPECT_TRUE(Exists(m_startMenu + "Remote Control keys.lnk"));
    EXPECT_TRUE(Exists(m_startMenu + "User guide.lnk"));
    EXPECT_TRUE(Exists(m_startMenu + "Guide for receiving applications.lnk"));
    // The about box links to the guide beside the programs; its pictures are
    // inside the page.
    const std::string guide = ReadAll(path + "user-guide.html");
    EXPECT_NE(std::string::npos, guide.find("<img src=\"data:image/png;base64,"));
    EXPECT_NE(std::string::npos, guide.find("href=\"Docs/receiving-applications.html\""));

    // The template explains the format but lists nobody.
    const std::string ini = Installed("RecvApp.ini");
    const std::string iniTemplate = ReadAll(ini);
    EXPECT_NE(std::string::npos, iniTemplate.find("ClassName=KV480DemoReceiver"));
    char sections[512] = "";
    EXPECT_EQ(0u, GetPrivateProfileSectionNamesA(sections, sizeof(sections), ini.c_str()));

    // Set up as the configuration utility would after detecting the remote.
    WriteDword("Address", kAddress);
    WriteDword("CommPort", 1);
    ASSERT_TRUE(m_demo.Start(Installed("Tools\\DemoReceiver.exe"), "--log \"" + m_log + "\""));
    ASSERT_NE(nullptr, m_demo.WaitForWindow(kDemoClass, nullptr, 10000));

    // Started as the autostart entry does: it runs, but the template sends
    // the key to nobody.
    harness::ClearLineState(kPort);
    ProgramUnderTest resident;
    ASSERT_TRUE(resident.Start(Installed("KV480.exe")));
    ASSERT_NE(nullptr, resident.WaitForWindow(kMainClass, kMainCaption, 10000));
    ASSERT_TRUE(WaitForPortOpen());
    Press("top-left");

    // The user lists the demo application; the configuration utility ends
    // the resident program when it opens and starts it again when it closes.
    WriteAll(ini, "[Demo]\r\nClassName=KV480DemoReceiver\r\nWindowName=NULL\r\n");
    harness::ClearLineState(kPort);
    ProgramUnderTest config;
    ASSERT_TRUE(config.Start(Installed("KV480cfg.exe")));
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            dialog = harness::FindProcessWindow(config.ProcessId(), "#32770", kConfigCaption, true);
            return dialog != nullptr;
        },
        10000));
    EXPECT_TRUE(resident.WaitForExit(1000)) << "ended before the dialog shows";
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    ASSERT_TRUE(config.WaitForExit(10000));
    DWORD pid = 0;
    ASSERT_TRUE(WaitUntil([&] { return FindResident(pid) != nullptr; }, 10000));
    EXPECT_EQ(Lower(Installed("KV480.exe")), Lower(ImageOf(pid)));
    ASSERT_TRUE(WaitForPortOpen());

    Press("top-right");
    std::vector<std::string> lines;
    ASSERT_TRUE(WaitUntil([&] { return !(lines = Lines(ReadAll(m_log))).empty(); }, 5000));
    ASSERT_EQ(1u, lines.size()) << "the first key went to nobody";
    EXPECT_NE(std::string::npos, lines[0].find("key=2 repeat=0 name=Top right")) << lines[0];

    // The autostart value as the configuration utility writes it.
    const std::string runValue = path + "KV480.exe";
    WriteValue(kRunKey, kRunValue, REG_SZ, runValue.c_str(),
               static_cast<DWORD>(runValue.size() + 1));
    PostMessageA(m_demo.WaitForWindow(kDemoClass, nullptr, 0), WM_CLOSE, 0, 0);
    ASSERT_TRUE(m_demo.WaitForExit(5000));

    // The running resident program is ended first; the list, back as it was
    // installed, goes with the rest.
    WriteAll(ini, iniTemplate);
    Uninstall();
    EXPECT_TRUE(WaitForProcess(pid, 0)) << "KV480 still runs";
    EXPECT_FALSE(Exists(kInstallDir)) << ::testing::PrintToString(Tree(kInstallDir));
    ExpectRemoved();
}

TEST_F(InstallerTest, UpgradeEndsAKV480NoWindowMessageReaches) {
    ASSERT_EQ(0u, Setup());
    WriteDword("Address", kAddress);
    WriteDword("CommPort", 1);
    harness::ClearLineState(kPort);
    ProgramUnderTest resident;
    ASSERT_TRUE(resident.Start(Installed("KV480.exe"), "-nr"));
    const HWND main = resident.WaitForWindow(kMainClass, kMainCaption, 10000);
    ASSERT_NE(nullptr, main);
    ASSERT_TRUE(WaitForPortOpen());
    // As another session's KV480 would be: the setup cannot find its window.
    DWORD_PTR result = 0;
    SendMessageTimeoutA(main, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Another session"),
                        SMTO_ABORTIFHUNG, 5000, &result);
    ASSERT_EQ(nullptr, FindWindowA(kMainClass, kMainCaption));

    ASSERT_EQ(0u, Setup(false));
    EXPECT_TRUE(resident.WaitForExit(0));
    EXPECT_EQ(0, harness::CountTrayIcons()) << "not ended in order";
    // The request is over once the setup is: the next KV480 runs on.
    ProgramUnderTest next;
    ASSERT_TRUE(next.Start(Installed("KV480.exe"), "-nr"));
    ASSERT_NE(nullptr, next.WaitForWindow(kMainClass, kMainCaption, 10000));
    EXPECT_FALSE(next.WaitForExit(1000));
}

TEST_F(InstallerTest, UpgradeAndUninstallKeepTheUsersRecvAppIniAndKeyMap) {
    ASSERT_EQ(0u, Setup());
    const std::string ini = Installed("RecvApp.ini");
    const std::string mine = "; mine\r\n[Viewer]\r\nClassName=MyViewer\r\nWindowName=NULL\r\n";
    WriteAll(ini, mine);
    const std::string keyMap = Installed("KeyMap.ini");
    const std::string myKeys = "[Default]\r\nClassName=NULL\r\nWindowName=NULL\r\nKey1=A\r\n";
    WriteAll(keyMap, myKeys);
    WriteDword("Address", kAddress);
    WriteDword("CommPort", 1);
    harness::ClearLineState(kPort);
    ProgramUnderTest resident;
    ASSERT_TRUE(resident.Start(Installed("KV480.exe"), "-nr"));
    ASSERT_NE(nullptr, resident.WaitForWindow(kMainClass, kMainCaption, 10000));
    ASSERT_TRUE(WaitForPortOpen());

    // No folder given: the upgrade goes where the programs are. The resident
    // program is ended for it and started again.
    harness::ClearLineState(kPort);
    ASSERT_EQ(0u, Setup(false));
    EXPECT_TRUE(resident.WaitForExit(0));
    EXPECT_FALSE(Exists(kDefaultDir));
    std::string path;
    ASSERT_TRUE(ReadString(kSettingsKey, "Path", path));
    EXPECT_EQ(kInstallDir, path);
    EXPECT_EQ(mine, ReadAll(ini));
    EXPECT_EQ(myKeys, ReadAll(keyMap));
    DWORD pid = 0;
    ASSERT_TRUE(WaitUntil([&] { return FindResident(pid) != nullptr; }, 10000));
    EXPECT_EQ(Lower(Installed("KV480.exe")), Lower(ImageOf(pid)));
    EXPECT_TRUE(WaitForPortOpen());

    Uninstall();
    EXPECT_TRUE(WaitForProcess(pid, 0)) << "KV480 still runs";
    EXPECT_EQ((std::set<std::string>{"RecvApp.ini", "KeyMap.ini"}), Tree(kInstallDir));
    EXPECT_EQ(mine, ReadAll(ini));
    EXPECT_EQ(myKeys, ReadAll(keyMap));
    ExpectRemoved();
}

// Windows cannot replace the file of a running program: the setup closes
// the editor as the user would, so it asks about its unsaved change first,
// and opens it again after the upgrade.
TEST_F(InstallerTest, UpgradeClosesTheOpenEditorWhichSavesItsChangeAndOpensItAgain) {
    ASSERT_EQ(0u, Setup());
    char appData[MAX_PATH] = "";
    ASSERT_TRUE(
        SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData)));
    const std::string userKeyMap = std::string(appData) + "\\Remote Control\\KeyMap.ini";
    DeleteFileA(userKeyMap.c_str());
    ProgramUnderTest editor;
    editor.SetUnelevated(true);
    ASSERT_TRUE(editor.Start(Installed("KV480keys.exe")));
    const HWND window = editor.WaitForWindow(kEditorClass, kEditorCaption, 15000);
    ASSERT_NE(nullptr, window);
    // Shown once it is ready for input.
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(window) != FALSE; }, 5000));
    PostMessageA(GetDlgItem(window, kAddMode), BM_CLICK, 0, 0);
    const HWND add = editor.WaitForWindow("#32770", "Add mode", 10000);
    harness::MessageBoxSeen shown;
    ASSERT_NE(nullptr, add) << (editor.WaitForMessageBox(shown, 0) ? shown.text : "no box");
    SendMessageA(GetDlgItem(add, kModeName), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Upgraded"));
    PostMessageA(GetDlgItem(add, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(add); }, 5000));

    ProgramUnderTest setup;
    ASSERT_TRUE(setup.Start(m_setup, "/S"));
    harness::MessageBoxSeen box;
    ASSERT_TRUE(editor.WaitForMessageBox(box, 20000)) << "the editor was not asked to close";
    EXPECT_NE(std::string::npos, box.text.find("Save the changes")) << box.text;
    EXPECT_FALSE(setup.WaitForExit(0)) << "the setup went on while the editor was open";
    PostMessageA(box.window, WM_COMMAND, IDYES, 0);
    ASSERT_TRUE(editor.WaitForExit(10000));
    ASSERT_TRUE(setup.WaitForExit(kSetupTimeoutMs));
    EXPECT_EQ(0u, setup.ExitCode());
    EXPECT_NE(std::string::npos, ReadAll(userKeyMap).find("[Mode Upgraded]")) << "change lost";

    HWND again = nullptr;
    EXPECT_TRUE(WaitUntil(
        [&] { return (again = FindWindowA(kEditorClass, kEditorCaption)) != nullptr; }, 15000))
        << "the editor was not opened again";
    if (again != nullptr) {
        DWORD pid = 0;
        GetWindowThreadProcessId(again, &pid);
        EXPECT_EQ(Lower(Installed("KV480keys.exe")), Lower(ImageOf(pid)));
        PostMessageA(again, WM_CLOSE, 0, 0);
        EXPECT_TRUE(WaitForProcess(pid, 10000));
    }
    DeleteFileA(userKeyMap.c_str());
}

} // namespace
