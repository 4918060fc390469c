#include "ClassifyLinkError.h"

#include <gtest/gtest.h>

TEST(ClassifyLinkErrorTest, VanishedAdapterCodesReopenTheRestIsAFault) {
    for (std::uint32_t dwError :
         {1u, 5u, 6u, 20u, 21u, 22u, 31u, 55u, 433u, 995u, 1117u, 1167u, 1617u}) {
        EXPECT_EQ(LinkError::DeviceGone, ClassifyLinkError(dwError)) << dwError;
    }
    // No error code at all, out of memory, a bad parameter, not supported.
    for (std::uint32_t dwError : {0u, 8u, 87u, 50u, 0xFFFFFFFFu}) {
        EXPECT_EQ(LinkError::Fault, ClassifyLinkError(dwError)) << dwError;
    }
}
