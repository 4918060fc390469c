// Whether KV480 may obey the exit event it found or made. The event ends
// every KV480 in every session, so only an object that no ordinary user can
// set is obeyed: owned by SYSTEM, the administrators or the user running this
// KV480 (ThisUser: that user, or the owner its objects get), with exactly the
// entries below. The OWNER RIGHTS entry takes from the
// owner the implicit right to rewrite the entries.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class SidKind { System, Administrators, OwnerRights, Everyone, ThisUser, Other };

struct AceFact {
    bool bAllowed = false; // an access-allowed entry; anything else is false
    SidKind sid = SidKind::Other;
    std::uint32_t dwMask = 0;
};

// The security descriptor string the event is created with.
std::string ExitSignalSddl();

// dacl: the object's entries in order; bDaclPresent false for a missing
// (everyone may do anything) or unreadable one.
bool IsExitSignalTrusted(SidKind owner, bool bDaclPresent, const std::vector<AceFact>& dacl);
