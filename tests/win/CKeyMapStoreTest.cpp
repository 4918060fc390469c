// The editor's save of a key map: what another program's brief hold, a
// read-only file and the file's own attributes do to it.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "CKeyMapStore.h"

namespace {

class CKeyMapStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH] = "";
        GetTempPathA(MAX_PATH, temp);
        m_folder = std::string(temp) + "keymap store test";
        CreateDirectoryA(m_folder.c_str(), nullptr);
        m_file = m_folder + "\\KeyMap.ini";
        std::string error;
        ASSERT_TRUE(CKeyMapStore::Write(m_file, "old", error)) << error;
    }
    void TearDown() override {
        SetFileAttributesA(m_file.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(m_file.c_str());
        // Ours start with "key"; Wine's ReplaceFileW leaves "rfd*.tmp" of its
        // own behind each failed try.
        WIN32_FIND_DATAA found;
        const HANDLE search = FindFirstFileA((m_folder + "\\*.tmp").c_str(), &found);
        for (BOOL more = search != INVALID_HANDLE_VALUE; more;
             more = FindNextFileA(search, &found)) {
            EXPECT_NE(0, _strnicmp(found.cFileName, "key", 3)) << "left: " << found.cFileName;
            DeleteFileA((m_folder + "\\" + found.cFileName).c_str());
        }
        FindClose(search);
        RemoveDirectoryA(m_folder.c_str());
    }
    std::string OnDisk() const {
        std::string bytes;
        CKeyMapStore::Read(m_file, 100, bytes);
        return bytes;
    }

    std::string m_folder;
    std::string m_file;
};

// Wine's ReplaceFileW does not keep the file's attributes as Windows' does.
TEST_F(CKeyMapStoreTest, AFileHeldForAMomentIsReplaced) {
    // As an indexer holds it: no sharing of delete, so it cannot be replaced.
    const HANDLE held = CreateFileA(m_file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    std::thread release([held] {
        Sleep(500);
        CloseHandle(held);
    });
    std::string error;
    const bool saved = CKeyMapStore::Write(m_file, "new", error);
    release.join();
    EXPECT_TRUE(saved) << error;
    EXPECT_EQ("new", OnDisk());
}

TEST_F(CKeyMapStoreTest, AReadOnlyFileIsToldAndLeftAsItWas) {
    ASSERT_TRUE(SetFileAttributesA(m_file.c_str(), FILE_ATTRIBUTE_READONLY));
    std::string error;
    EXPECT_FALSE(CKeyMapStore::Write(m_file, "new", error));
    EXPECT_NE(std::string::npos, error.find("is read-only")) << error;
    EXPECT_EQ("old", OnDisk());
}

} // namespace
