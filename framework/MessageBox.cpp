#include "MessageBox.h"

namespace framework {
namespace {

MessageBoxRecorder g_recorder = nullptr;
void* g_recorderContext = nullptr;

} // namespace

int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type) {
    if (g_recorder != nullptr) {
        MessageBoxRecord box{owner, text != nullptr ? text : "",
                             caption != nullptr ? caption : "", type};
        return g_recorder(box, g_recorderContext);
    }
    return MessageBoxA(owner, text, caption, type);
}

void SetMessageBoxRecorder(MessageBoxRecorder recorder, void* context) {
    g_recorder = recorder;
    g_recorderContext = context;
}

} // namespace framework
