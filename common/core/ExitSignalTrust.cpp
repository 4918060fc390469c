#include "ExitSignalTrust.h"

#include <cstdio>
#include <iterator>

namespace {

// EVENT_ALL_ACCESS; SYNCHRONIZE | READ_CONTROL (wait, and read whom to trust).
constexpr std::uint32_t ALL_ACCESS = 0x1F0003;
constexpr std::uint32_t WAIT_AND_READ = 0x120000;

struct Entry {
    SidKind sid;
    const char* pszSid;
    std::uint32_t dwMask;
};

// SYSTEM and administrators (the setup) may set it; the owner, an ordinary
// user whose KV480 came first, and everyone else may only wait for it.
constexpr Entry ENTRIES[] = {
    {SidKind::System, "SY", ALL_ACCESS},
    {SidKind::Administrators, "BA", ALL_ACCESS},
    {SidKind::OwnerRights, "S-1-3-4", WAIT_AND_READ},
    {SidKind::Everyone, "WD", WAIT_AND_READ},
};

} // namespace

std::string ExitSignalSddl() {
    std::string strSddl = "D:";
    for (const Entry& entry : ENTRIES) {
        char szAce[64];
        std::snprintf(szAce, sizeof(szAce), "(A;;0x%X;;;%s)", static_cast<unsigned>(entry.dwMask),
                      entry.pszSid);
        strSddl += szAce;
    }
    return strSddl;
}

bool IsExitSignalTrusted(SidKind owner, bool bDaclPresent, const std::vector<AceFact>& dacl) {
    // Any other owner could have set it up to end everybody's KV480, or
    // still hold a handle that sets it.
    if (owner != SidKind::System && owner != SidKind::Administrators &&
        owner != SidKind::ThisUser) {
        return false;
    }
    if (!bDaclPresent || dacl.size() != std::size(ENTRIES)) {
        return false;
    }
    for (const Entry& entry : ENTRIES) {
        bool bFound = false;
        for (const AceFact& ace : dacl) {
            bFound = bFound || (ace.bAllowed && ace.sid == entry.sid && ace.dwMask == entry.dwMask);
        }
        if (!bFound) {
            return false;
        }
    }
    return true;
}
