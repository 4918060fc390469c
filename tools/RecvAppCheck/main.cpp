// RecvAppCheck: tells which receiving application gets the remote control's
// keys right now, and why the others do not. See --help.
#include "CRecvApp.h"
#include "ReceivingApps.h"
#include "RecvAppCheckOptions.h"
#include "TargetWindow.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

const int EXIT_TARGET = 0;
const int EXIT_NO_TARGET = 1;
const int EXIT_BAD_ARGUMENTS = 2;
const int EXIT_NOT_LOADED = 3;

const char* CriterionText(const char* value) {
    return value != nullptr ? value : "NULL";
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    RecvAppCheckOptions options;
    std::string error;
    if (!options.Parse(args, error)) {
        std::fprintf(stderr, "RecvAppCheck: %s\nTry RecvAppCheck --help.\n", error.c_str());
        return EXIT_BAD_ARGUMENTS;
    }
    if (options.help) {
        std::fputs(RecvAppCheckOptions::Usage(), stdout);
        return EXIT_TARGET;
    }
    CRecvApp apps;
    std::string source;
    const bool loaded = ReceivingApps::Load(apps, options.iniPath, source, error);
    std::printf("RecvApp.ini: %s\n", source.c_str());
    if (!loaded) {
        std::printf("KV480 would show \"%s\" and end.\n", error.c_str());
        return EXIT_NOT_LOADED;
    }
    if (apps.GetCount() == 0) {
        std::printf("No entries (no file, or no sections): KV480 sends the keys nowhere.\n");
        return EXIT_NO_TARGET;
    }
    // One look at the desktop, through the choice KV480 makes for every key.
    const std::vector<TargetEntryReport> report = ReportTargetWindows(apps);
    HWND target = nullptr;
    for (size_t i = 0; i < report.size(); ++i) {
        const RecvAppEntry* entry = apps.GetEntry(static_cast<int>(i));
        std::printf("entry %u: ClassName=%s WindowName=%s\n", static_cast<unsigned>(i + 1),
                    CriterionText(entry->className), CriterionText(entry->windowName));
        if (report[i].window != nullptr) {
            std::printf("  window %s\n", ReceivingApps::DescribeWindow(report[i].window).c_str());
        }
        std::printf("  %s\n", TargetRule::Describe(report[i].verdict));
        if (report[i].verdict == TargetRule::Verdict::Target) {
            target = report[i].window;
        }
    }
    if (target == nullptr) {
        std::printf("No window gets the keys now.\n");
        return EXIT_NO_TARGET;
    }
    std::printf("Keys go to %s.\n", ReceivingApps::DescribeWindow(target).c_str());
    return EXIT_TARGET;
}
