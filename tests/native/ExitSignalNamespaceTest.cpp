#include "ExitSignalNamespace.h"

#include <gtest/gtest.h>

namespace {

TEST(ExitSignalNamespaceTest, EachSessionHasABoundaryOfItsOwnAndTheEventLiesInTheNamespace) {
    EXPECT_NE(ExitNamespaceBoundaryName(1), ExitNamespaceBoundaryName(2));
    EXPECT_EQ(std::string(EXIT_NAMESPACE_ALIAS) + "\\Exit", ExitNamespaceEventName());
}

TEST(ExitSignalNamespaceTest, OnlySystemAdministratorsAndTheUserMayOpenTheNamespace) {
    EXPECT_EQ("D:(A;;GA;;;SY)(A;;GA;;;BA)(A;;GA;;;S-1-5-21-1-2-3-1001)",
              ExitNamespaceSddl("S-1-5-21-1-2-3-1001"));
}

} // namespace
