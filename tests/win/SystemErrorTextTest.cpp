#include <gtest/gtest.h>

#include "SystemErrorText.h"

namespace {

TEST(SystemErrorTextTest, OneLineToPutInsideASentence) {
    for (const DWORD error :
         {static_cast<DWORD>(ERROR_ACCESS_DENIED), static_cast<DWORD>(ERROR_FILE_NOT_FOUND),
          static_cast<DWORD>(E_ACCESSDENIED)}) {
        const std::string text = SystemErrorText(error);
        ASSERT_FALSE(text.empty()) << error;
        EXPECT_EQ(std::string::npos, text.find_first_of("\r\n")) << text;
        EXPECT_NE('.', text.back()) << text;
        EXPECT_NE(' ', text.back()) << text;
    }
    EXPECT_EQ("Windows error 3735928559", SystemErrorText(0xDEADBEEF)) << "no text of its own";
}

} // namespace
