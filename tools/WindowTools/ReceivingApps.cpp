#include "ReceivingApps.h"

#include "CReg.h"
#include "CRecvApp.h"
#include "MessageBox.h"
#include "Settings.h"

#include <cstdio>

namespace {

// KV480 shows its failures in message boxes; a console tool reports them.
int CollectBox(const framework::MessageBoxRecord& box, void* context) {
    std::string& text = *static_cast<std::string*>(context);
    text += (text.empty() ? "" : "\n") + box.text;
    return IDOK;
}

} // namespace

bool ReceivingApps::Load(CRecvApp& apps, const std::string& iniPath, std::string& source,
                         std::string& error) {
    std::string boxes;
    framework::SetMessageBoxRecorder(CollectBox, &boxes);
    int loaded = 0;
    if (!iniPath.empty()) {
        source = iniPath;
        loaded = apps.LoadFile(iniPath);
    } else {
        CReg reg;
        std::string path;
        source =
            reg.ReadString(HKEY_LOCAL_MACHINE, settings::SETTINGS_KEY, settings::VALUE_PATH,
                           path) == CReg::RESULT_OK
                ? CRecvApp::FileNameIn(path)
                : std::string("(no Path in HKEY_LOCAL_MACHINE\\") + settings::SETTINGS_KEY + ")";
        loaded = apps.Load();
    }
    framework::SetMessageBoxRecorder(nullptr, nullptr);
    error = boxes;
    return loaded != 0;
}

std::string ReceivingApps::DescribeWindow(HWND hWnd) {
    char className[256] = {};
    char caption[256] = {};
    GetClassNameA(hWnd, className, static_cast<int>(sizeof(className)));
    GetWindowTextA(hWnd, caption, static_cast<int>(sizeof(caption)));
    DWORD pid = 0;
    GetWindowThreadProcessId(hWnd, &pid);
    char text[640] = {};
    std::snprintf(text, sizeof(text), "%s \"%s\" (class %s, process %lu)",
                  WindowHandle(hWnd).c_str(), caption, className, static_cast<unsigned long>(pid));
    return text;
}

std::string ReceivingApps::WindowHandle(HWND hWnd) {
    char text[32] = {};
    std::snprintf(text, sizeof(text), "0x%08llX",
                  static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(hWnd)));
    return text;
}
