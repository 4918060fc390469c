// What the configuration utility's tests share: the settings it reads and
// writes, its dialog's controls and texts, and a folder of files for a test.
#pragma once

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "RegistryWriter.h"
#include "TestConstants.h"

namespace kv480cfg_test {

using harness::kSettingsKey;
const char* const kRunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const char* const kRunValue = "Veko - Remote Control";
const char* const kDialogCaption = "Remote Control configuration";
const char* const kResidentClass = "CRemoteControlClass";
const char* const kResidentCaption = "Remote Control";

// Controls of dialog 102.
constexpr int IDC_AUTO_DETECT_PORT = 1001;
constexpr int IDC_AUTO_DETECT_ADDRESS = 1002;
constexpr int IDC_ADDRESS = 1003;
constexpr int IDC_COMM_PORT = 1004;
constexpr int IDC_RC_TYPE = 1005;
constexpr int IDC_RUN_AFTER_START = 1006;
constexpr int IDC_PROGRESS = 1007;
constexpr int IDC_RC_PICTURE = 1008;

const char* const kTextStillRunning = "Remote Control utility is running! Please close it!";
const char* const kTextNotAdmin =
    "All your changes will not be accepted! You aren't an administrator.\n"
    "Log as administrator and then you make any changes.";
const char* const kTextCannotWrite = "Cannot write to registry key.";
const char* const kTextCannotRead = "Cannot read from registry key.";
const char* const kTextPortSearch = "Now will be detected remote control automatically.\n\n"
                                    "Please press and hold any button of remote control\n"
                                    "until detecting is in progress.";
const char* const kTextPortFound = "Autodetect successfull.";
const char* const kTextPortNotFound = "Remote control wasn't automatically detected.\n\n"
                                      "You can select port of remote control manually.";
const char* const kTextAddressDetection =
    "Now several times click on any button of Remote Control.\n"
    "If address is detected, detecting is automatically stopped.";
const char* const kTextStopQuestion =
    "Address of RC wasn't detected!\nAre you sure to stop detecting?";
const char* const kTextAddressFound = "Address of RC was successfully detected";

inline bool WriteDword(const char* name, DWORD value) {
    return harness::WriteRegistryDword(kSettingsKey, name, value);
}

inline bool WriteString(const char* keyName, const char* name, const std::string& text) {
    return harness::WriteRegistryString(keyName, name, text);
}

// False when the value is absent or not a REG_DWORD.
inline bool ReadDword(const char* name, DWORD& value) {
    DWORD size = sizeof(value);
    DWORD type = 0;
    return RegGetValueA(HKEY_LOCAL_MACHINE, kSettingsKey, name, RRF_RT_ANY, &type, &value, &size) ==
               ERROR_SUCCESS &&
           type == REG_DWORD;
}

inline bool ReadString(const char* keyName, const char* name, std::string& text) {
    char buffer[1024] = "";
    DWORD size = sizeof(buffer);
    if (RegGetValueA(HKEY_LOCAL_MACHINE, keyName, name, RRF_RT_REG_SZ, nullptr, buffer, &size) !=
        ERROR_SUCCESS)
        return false;
    text = buffer;
    return true;
}

// The names of the settings key's values, sorted.
inline std::vector<std::string> SettingNames() {
    std::vector<std::string> names;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return names;
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD length = sizeof(name);
        if (RegEnumValueA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        names.emplace_back(name, length);
    }
    RegCloseKey(key);
    std::sort(names.begin(), names.end());
    return names;
}

inline void DeleteSettings() {
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kSettingsKey);
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, kRunValue);
        RegCloseKey(key);
    }
}

inline bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Removes a folder with everything in it; path ends with a backslash.
inline void DeleteTree(const std::string& path) {
    WIN32_FIND_DATAA entry;
    const HANDLE find = FindFirstFileA((path + "*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = entry.cFileName;
            if (name == "." || name == "..")
                continue;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                DeleteTree(path + name + "\\");
            else
                DeleteFileA((path + name).c_str());
        } while (FindNextFileA(find, &entry));
        FindClose(find);
    }
    RemoveDirectoryA(path.c_str());
}

// The folder of the running test program, with a trailing backslash.
inline std::string OwnFolder() {
    char path[MAX_PATH] = "";
    const DWORD length = GetModuleFileNameA(nullptr, path, static_cast<DWORD>(sizeof(path)));
    std::string folder(path, length < sizeof(path) ? length : 0);
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

// Ends every window of the resident program's class and caption, politely,
// so that a real one takes its tray icon along; the tests' stand-in ignores
// WM_CLOSE but ends on a message of its own.
inline void EndResidents() {
    const UINT fakeQuit = RegisterWindowMessageA("KV480cfgTest.FakeResident.Quit");
    for (int attempt = 0; attempt < 5; ++attempt) {
        const HWND window = FindWindowA(kResidentClass, kResidentCaption);
        if (window == nullptr)
            return;
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        const HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid);
        PostMessageA(window, fakeQuit, 0, 0);
        PostMessageA(window, WM_CLOSE, 0, 0);
        if (process != nullptr) {
            if (WaitForSingleObject(process, 5000) != WAIT_OBJECT_0) {
                TerminateProcess(process, 1);
                WaitForSingleObject(process, 5000);
            }
            CloseHandle(process);
        }
    }
}

} // namespace kv480cfg_test
