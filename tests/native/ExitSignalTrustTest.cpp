#include "ExitSignalTrust.h"

#include <gtest/gtest.h>

namespace {

std::vector<AceFact> ExpectedDacl() {
    return {{true, SidKind::System, 0x1F0003},
            {true, SidKind::Administrators, 0x1F0003},
            {true, SidKind::OwnerRights, 0x120000},
            {true, SidKind::Everyone, 0x120000}};
}

TEST(ExitSignalTrustTest, SddlHoldsEachEntryTheCheckExpects) {
    EXPECT_EQ("D:(A;;0x1F0003;;;SY)(A;;0x1F0003;;;BA)(A;;0x120000;;;S-1-3-4)(A;;0x120000;;;WD)",
              ExitSignalSddl());
}

TEST(ExitSignalTrustTest, OnlyTheExpectedEntriesUnderAKnownOwnerAreTrusted) {
    for (SidKind owner : {SidKind::System, SidKind::Administrators, SidKind::ThisUser}) {
        EXPECT_TRUE(IsExitSignalTrusted(owner, true, ExpectedDacl()));
    }
    // Another ordinary user may have made it, set, or keep a handle that sets it.
    EXPECT_FALSE(IsExitSignalTrusted(SidKind::Other, true, ExpectedDacl()));
    EXPECT_FALSE(IsExitSignalTrusted(SidKind::Everyone, true, ExpectedDacl()));

    EXPECT_FALSE(IsExitSignalTrusted(SidKind::ThisUser, false, {}));
    std::vector<AceFact> dacl = ExpectedDacl();
    dacl[3].dwMask = 0x1F0003; // everyone may set it
    EXPECT_FALSE(IsExitSignalTrusted(SidKind::ThisUser, true, dacl));
    dacl = ExpectedDacl();
    dacl.erase(dacl.begin() + 2); // the owner may rewrite the entries
    EXPECT_FALSE(IsExitSignalTrusted(SidKind::ThisUser, true, dacl));
    dacl = ExpectedDacl();
    dacl.push_back({true, SidKind::Other, 0x0002}); // one more who may set it
    EXPECT_FALSE(IsExitSignalTrusted(SidKind::ThisUser, true, dacl));
    dacl = ExpectedDacl();
    dacl[0].bAllowed = false;
    EXPECT_FALSE(IsExitSignalTrusted(SidKind::ThisUser, true, dacl));
}

} // namespace
