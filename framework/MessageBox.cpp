#include "MessageBox.h"

namespace framework {
namespace {

MessageBoxRecorder g_recorder = nullptr;
void* g_recorderContext = nullptr;

// Set while the application object is constructed, which may be before this
// file's own globals are.
std::string& GivenTitle() {
    static std::string title;
    return title;
}

} // namespace

int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type) {
    if (g_recorder != nullptr) {
        MessageBoxRecord box{owner, text != nullptr ? text : "", caption != nullptr ? caption : "",
                             type};
        return g_recorder(box, g_recorderContext);
    }
    return MessageBoxA(owner, text, caption, type);
}

std::string ProgramTitle() {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof(path));
    if (length == 0 || length >= sizeof(path))
        return std::string();
    std::string title(path, length);
    size_t slash = title.find_last_of("\\/");
    if (slash != std::string::npos)
        title.erase(0, slash + 1);
    size_t dot = title.find_last_of('.');
    if (dot != std::string::npos && dot > 0)
        title.erase(dot);
    return title;
}

void SetAppTitle(const std::string& title) {
    GivenTitle() = title;
}

std::string AppTitle() {
    return GivenTitle().empty() ? ProgramTitle() : GivenTitle();
}

int AfxMessageBox(const char* text, UINT type) {
    return ShowMessageBox(nullptr, text, AppTitle().c_str(), type);
}

void SetMessageBoxRecorder(MessageBoxRecorder recorder, void* context) {
    g_recorder = recorder;
    g_recorderContext = context;
}

} // namespace framework
