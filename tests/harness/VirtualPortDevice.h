// Test support: root-enumerated devices of the Ports setup class with a
// "PortName" value, as a serial driver would create them. They live in the
// prefix's registry, so every process of the prefix enumerates them.
#pragma once

#include <string>
#include <vector>

class VirtualPortDevice {
public:
    struct Entry {
        std::string portName; // empty when the device has no "PortName"
        std::string instanceId;
    };

    // Registers a device; returns its instance id, or an empty text on failure
    // (GetLastError tells why). instanceId: the whole id the device gets (as
    // "BTHENUM\..." for a Bluetooth port); empty for a generated one.
    static std::string Add(const std::string& portName, const std::string& description,
                           const std::string& instanceId = std::string());

    // The rest return false with GetLastError set on failure.

    // Replaces the device's "PortName" by exactly these bytes, no terminating
    // zero added, to imitate drivers that store odd data. Stored as REG_BINARY:
    // Wine terminates REG_SZ data when it is read (Windows does not), which
    // would hide what a reader does with unterminated bytes.
    static bool WriteRawPortName(const std::string& instanceId, const std::string& bytes);

    static bool RemoveByInstanceId(const std::string& instanceId);
    // Removes every device with that name; ERROR_NOT_FOUND when there is none.
    static bool RemoveByPortName(const std::string& portName);
    // Removes every device of the class; true also when there was none.
    static bool RemoveAll();

    // Devices of the Ports class, present or not, in the platform's order.
    static bool List(std::vector<Entry>& entries);
};
