// Command-line access to virtual port devices for scripts:
//   vportctl add COM3 [description [instance id]]
//                                     prints the new device's instance id; a
//                                     given id such as "BTHENUM\..." makes it
//                                     look like a Bluetooth port
//   vportctl remove COM3              removes every device named COM3
//   vportctl clear                    removes every Ports-class device
//   vportctl list                     prints "PortName<TAB>instance id" lines
#include "VirtualPortDevice.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

int Fail(const std::string& what) {
    const DWORD error = GetLastError();
    char text[512] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                   text, sizeof(text), nullptr);
    std::fprintf(stderr, "vportctl: %s failed: error %lu %s\n", what.c_str(),
                 static_cast<unsigned long>(error), text);
    return 1;
}

int Usage() {
    std::fprintf(
        stderr,
        "usage: vportctl add PORT [description [instance-id]] | remove PORT | clear | list\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        return Usage();
    }
    const std::string command = argv[1];
    if (command == "add" && argc >= 3 && argc <= 5) {
        const std::string description = argc >= 4 ? argv[3] : "Communications Port";
        const std::string wantedId = argc == 5 ? argv[4] : std::string();
        const std::string instanceId = VirtualPortDevice::Add(argv[2], description, wantedId);
        if (instanceId.empty()) {
            return Fail(std::string("add ") + argv[2]);
        }
        std::printf("%s\n", instanceId.c_str());
        return 0;
    }
    if (command == "remove" && argc == 3) {
        return VirtualPortDevice::RemoveByPortName(argv[2])
                   ? 0
                   : Fail(std::string("remove ") + argv[2]);
    }
    if (command == "clear" && argc == 2) {
        return VirtualPortDevice::RemoveAll() ? 0 : Fail("clear");
    }
    if (command == "list" && argc == 2) {
        std::vector<VirtualPortDevice::Entry> entries;
        if (!VirtualPortDevice::List(entries)) {
            return Fail("list");
        }
        for (const VirtualPortDevice::Entry& entry : entries) {
            std::printf("%s\t%s\n", entry.portName.c_str(), entry.instanceId.c_str());
        }
        return 0;
    }
    return Usage();
}
