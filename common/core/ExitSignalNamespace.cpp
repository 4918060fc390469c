#include "ExitSignalNamespace.h"

std::string ExitNamespaceBoundaryName(unsigned long dwSession) {
    return std::string(EXIT_NAMESPACE_ALIAS) + "_Exit_" + std::to_string(dwSession);
}

std::string ExitNamespaceEventName() {
    return std::string(EXIT_NAMESPACE_ALIAS) + "\\Exit";
}

std::string ExitNamespaceSddl(const std::string& strUserSid) {
    return "D:(A;;GA;;;SY)(A;;GA;;;BA)(A;;GA;;;" + strUserSid + ")";
}
