#include "KeyMapLocation.h"

#include "CReg.h"
#include "Settings.h"
#include "WideText.h"

#include <windows.h>

#include <shlobj.h>

namespace keymaplocation {

const char* const FILE_NAME = "KeyMap.ini";
const char* const USER_SHOWN = "%APPDATA%\\Remote Control\\KeyMap.ini";

namespace {

const char* const USER_FOLDER = "Remote Control";

// The file in a folder that may end in a backslash or not.
std::string FileIn(std::string strFolder) {
    if (strFolder.back() != '\\' && strFolder.back() != '/') {
        strFolder += '\\';
    }
    return strFolder + FILE_NAME;
}

} // namespace

std::string UserFile() {
    wchar_t szFolder[MAX_PATH] = L"";
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, szFolder)) ||
        szFolder[0] == L'\0') {
        return std::string();
    }
    return FileIn(widetext::Narrow(szFolder) + "\\" + USER_FOLDER);
}

std::string InstalledFile() {
    std::string strPath;
    // An empty Path would name a file in whatever folder is current.
    if (CReg().ReadString(HKEY_LOCAL_MACHINE, settings::SETTINGS_KEY, settings::VALUE_PATH,
                          strPath) != CReg::RESULT_OK ||
        strPath.empty()) {
        return std::string();
    }
    // The registry value is in the ANSI code page.
    return FileIn(widetext::AnsiToUtf8(strPath));
}

} // namespace keymaplocation
