// CReg against the real registry: result codes, what reaches the caller's
// destination, what is stored, and which message boxes appear.
#include "CReg.h"
#include "MessageBox.h"
#include "Settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace {

static_assert(CReg::RESULT_OK == 0 && CReg::RESULT_CANNOT_OPEN == 1 &&
                  CReg::RESULT_VALUE_FAILED == 2 && CReg::RESULT_CLOSE_FAILED == 3 &&
                  CReg::RESULT_CANNOT_CREATE == 4 && CReg::RESULT_WRONG_TYPE == 5 &&
                  CReg::DELETE_FAILED == 0 && CReg::DELETE_DONE == 1,
              "callers rely on these numbers");

const HKEY HKLM = HKEY_LOCAL_MACHINE;
const char* const SCRATCH_PARENT = "SOFTWARE\\CRegTest";
const UINT EXCLAMATION = MB_OK | MB_ICONEXCLAMATION;
const UINT STOP = MB_OK | MB_ICONSTOP;

struct Box {
    std::string text;
    UINT type;
};

// Codes of object ReadString, plain ReadString, object ReadDword, plain ReadDword.
using Codes = std::array<UINT, 4>;

// A caller's buffer with a recognisable pattern, to see every byte written.
using Buffer = std::array<char, 300>;
Buffer Sentinel() {
    Buffer buffer;
    for (size_t i = 0; i < buffer.size(); ++i) {
        buffer[i] = static_cast<char>(0xA0 + i % 31);
    }
    return buffer;
}

// The stored type and bytes of a value, bypassing CReg; false when absent.
// (RegGetValue would add a terminating zero the data may not have.)
bool GetRaw(const std::string& strKey, const char* pszName, DWORD* pType, std::vector<BYTE>& data) {
    HKEY hKey = nullptr;
    if (RegOpenKeyExA(HKLM, strKey.c_str(), 0, KEY_READ, &hKey) != ERROR_SUCCESS) {
        return false;
    }
    DWORD dwSize = 0;
    bool bFound = RegQueryValueExA(hKey, pszName, nullptr, pType, nullptr, &dwSize) == 0;
    if (bFound) {
        data.resize(dwSize);
        bFound = RegQueryValueExA(hKey, pszName, nullptr, pType, data.data(), &dwSize) == 0;
        data.resize(dwSize);
    }
    RegCloseKey(hKey);
    return bFound;
}

class CRegTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_strKey = std::string(SCRATCH_PARENT) + "\\" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name();
        RegDeleteTreeA(HKLM, SCRATCH_PARENT);
        framework::SetMessageBoxRecorder(&Record, &m_boxes);
    }

    void TearDown() override {
        framework::SetMessageBoxRecorder(nullptr, nullptr);
        RegDeleteTreeA(HKLM, SCRATCH_PARENT);
        EXPECT_TRUE(m_boxes.empty()) << "unexpected box: " << m_boxes.front().text;
    }

    static int Record(const framework::MessageBoxRecord& box, void* pContext) {
        EXPECT_EQ(box.owner, nullptr);
        EXPECT_EQ(box.caption, "") << "the platform's default title is expected";
        static_cast<std::vector<Box>*>(pContext)->push_back({box.text, box.type});
        return IDOK;
    }

    // Checks the boxes shown since the last check, in order, and forgets them.
    void ExpectBoxes(const std::vector<Box>& expected) {
        ASSERT_EQ(m_boxes.size(), expected.size());
        for (size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(m_boxes[i].text, expected[i].text) << "box " << i;
            EXPECT_EQ(m_boxes[i].type, expected[i].type) << "box " << i;
        }
        m_boxes.clear();
    }

    // Stores exactly these bytes, bypassing CReg. RegSetValueExA adds a zero to
    // a string whose next byte in memory is zero, so a nonzero byte follows.
    void SetRaw(const char* pszName, DWORD dwType, const std::string& strData) {
        const std::string strFollowed = strData + 'X';
        HKEY hKey = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKLM, m_strKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  &hKey, nullptr),
                  ERROR_SUCCESS);
        EXPECT_EQ(RegSetValueExA(hKey, pszName, 0, dwType,
                                 reinterpret_cast<const BYTE*>(strFollowed.data()),
                                 static_cast<DWORD>(strData.size())),
                  ERROR_SUCCESS);
        RegCloseKey(hKey);
        DWORD dwStoredType = REG_NONE;
        std::vector<BYTE> stored;
        ASSERT_TRUE(GetRaw(m_strKey, pszName, &dwStoredType, stored));
        ASSERT_EQ(std::string(stored.begin(), stored.end()), strData) << pszName;
    }

    // All four reads of one value. String destinations must stay as they
    // were unless the read succeeded.
    Codes ReadAll(const std::string& strKey, const char* pszName) {
        std::string strText = "kept";
        Buffer buffer = Sentinel();
        DWORD dwValue = 0;
        const Codes codes = {
            m_reg.ReadString(HKLM, strKey, pszName, strText),
            m_reg.ReadString(HKLM, strKey.c_str(), pszName, buffer.data(), MAX_PATH),
            m_reg.ReadDword(HKLM, strKey, pszName, &dwValue),
            m_reg.ReadDword(HKLM, strKey.c_str(), pszName, &dwValue)};
        if (codes[0] != 0) {
            EXPECT_EQ(strText, "kept");
        }
        if (codes[1] != 0) {
            EXPECT_EQ(buffer, Sentinel());
        }
        return codes;
    }

    CReg m_reg;
    std::string m_strKey;
    std::vector<Box> m_boxes;
};

TEST_F(CRegTest, ReadCodesForMissingKeysValuesAndForeignData) {
    EXPECT_EQ(ReadAll(m_strKey, "Path"), (Codes{1, 1, 1, 1}));
    HKEY hKey = nullptr;
    EXPECT_NE(RegOpenKeyExA(HKLM, m_strKey.c_str(), 0, KEY_READ, &hKey), ERROR_SUCCESS)
        << "a read must not create the key";

    struct Case {
        const char* pszName;
        DWORD dwType;
        std::string strData;
        Codes codes;
    };
    const std::vector<Case> cases = {
        {"Number", REG_DWORD, std::string("\5\0\0\0", 4), {2, 5, 0, 0}},
        {"ShortText", REG_SZ, std::string("7\0", 2), {0, 0, 2, 5}},
        {"Expand", REG_EXPAND_SZ, std::string("C:\\KV\\\0", 7), {2, 5, 2, 2}},
        {"Multi", REG_MULTI_SZ, std::string("a\0b\0\0", 5), {2, 5, 2, 2}},
        // Foreign data that fits a DWORD: only the type is wrong.
        {"Binary4", REG_BINARY, "\1\2\3\4", {2, 5, 2, 5}},
        {"Binary1", REG_BINARY, "\1", {2, 5, 2, 5}},
        {"BigEndian", REG_DWORD_BIG_ENDIAN, std::string("\0\0\0\1", 4), {2, 5, 2, 5}},
        // Longer data cannot be queried into a DWORD at all.
        {"Binary5", REG_BINARY, "\1\2\3\4\5", {2, 5, 2, 2}},
        {"Qword", REG_QWORD, std::string("\1\0\0\0\0\0\0\0", 8), {2, 5, 2, 2}},
        // A REG_DWORD of another length is no usable number either.
        {"DwordShort", REG_DWORD, "\1\2", {2, 5, 2, 2}},
        {"DwordEmpty", REG_DWORD, "", {2, 5, 2, 2}},
        {"DwordLong", REG_DWORD, "\1\2\3\4\5\6", {2, 5, 2, 2}},
    };
    for (const Case& c : cases) {
        SetRaw(c.pszName, c.dwType, c.strData);
    }
    EXPECT_EQ(ReadAll(m_strKey, "Absent"), (Codes{2, 2, 2, 2}));
    for (const Case& c : cases) {
        EXPECT_EQ(ReadAll(m_strKey, c.pszName), c.codes) << c.pszName;
    }
}

TEST_F(CRegTest, NullDestinationsAreNotReportedAsRead) {
    SetRaw("Address", REG_DWORD, std::string("\1\0\0\0", 4));
    SetRaw("Path", REG_SZ, std::string("C:\\\0", 4));
    EXPECT_EQ(m_reg.ReadDword(HKLM, m_strKey, "Address", nullptr), 2u);
    EXPECT_EQ(m_reg.ReadDword(HKLM, m_strKey.c_str(), "Address", nullptr), 2u);
    EXPECT_EQ(m_reg.ReadString(HKLM, m_strKey.c_str(), "Path", nullptr, MAX_PATH), 2u);
}

TEST_F(CRegTest, TextEndsAtFirstZeroOrEndOfDataAndMustFitWithItsZero) {
    struct Case {
        const char* pszName;
        std::string strData; // stored exactly, zeros included
        std::string strText;
    };
    const std::vector<Case> cases = {
        {"SingleZero", std::string(1, '\0'), ""},
        {"NoData", "", ""},
        {"Unterminated", "C:\\KV", "C:\\KV"},
        {"InnerZero", std::string("C:\\\0junk\0", 9), "C:\\"},
        {"TrailingZeros", std::string("C:\\\0\0\0", 6), "C:\\"},
        {"PathLimit", std::string(MAX_PATH - 1, 'p') + '\0', std::string(MAX_PATH - 1, 'p')},
        {"LongUnterminated", std::string(Buffer().size() - 1, 'u'),
         std::string(Buffer().size() - 1, 'u')},
    };
    for (const Case& c : cases) {
        SetRaw(c.pszName, REG_SZ, c.strData);
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszName);
        std::string strText = "kept";
        EXPECT_EQ(m_reg.ReadString(HKLM, m_strKey, c.pszName, strText), 0u);
        EXPECT_EQ(strText, c.strText);

        // The tightest buffer that holds the text: nothing beyond it is touched.
        Buffer buffer = Sentinel();
        const DWORD dwFits = static_cast<DWORD>(c.strText.size() + 1);
        EXPECT_EQ(m_reg.ReadString(HKLM, m_strKey.c_str(), c.pszName, buffer.data(), dwFits), 0u);
        EXPECT_EQ(std::string(buffer.data()), c.strText);
        EXPECT_TRUE(std::equal(buffer.begin() + dwFits, buffer.end(), Sentinel().begin() + dwFits));

        // One byte less: no room for the zero, and the buffer stays as it was.
        buffer = Sentinel();
        EXPECT_EQ(m_reg.ReadString(HKLM, m_strKey.c_str(), c.pszName, buffer.data(), dwFits - 1),
                  2u);
        EXPECT_EQ(buffer, Sentinel());
    }
}

TEST_F(CRegTest, WritesCreateMissingParentsAndRoundTrip) {
    const std::string strDeep = m_strKey + "\\a\\b\\c";
    const std::string strAnsi = "C:\\P\xF8\xEDklad \xE9t\xE9\\"; // code page characters
    for (const std::string& strWritten :
         {std::string(), std::string("C:\\Program Files\\VEKO\\"), strAnsi,
          std::string(MAX_PATH - 1, 'p'), std::string(5000, 'q')}) {
        SCOPED_TRACE(strWritten.substr(0, 40));
        EXPECT_EQ(m_reg.WriteString(HKLM, strDeep, "Path", strWritten), 0u);
        DWORD dwType = REG_NONE;
        std::vector<BYTE> data;
        ASSERT_TRUE(GetRaw(strDeep, "Path", &dwType, data));
        EXPECT_EQ(dwType, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(data.size(), strWritten.size() + 1) << "the text and its terminating zero";

        std::string strText;
        EXPECT_EQ(m_reg.ReadString(HKLM, strDeep, "Path", strText), 0u);
        EXPECT_EQ(strText, strWritten);
        Buffer buffer = Sentinel();
        const bool bFits = strWritten.size() < MAX_PATH;
        EXPECT_EQ(m_reg.ReadString(HKLM, strDeep.c_str(), "Path", buffer.data(), MAX_PATH),
                  bFits ? 0u : 2u);
        if (bFits) {
            EXPECT_EQ(std::string(buffer.data()), strWritten);
        } else {
            EXPECT_EQ(buffer, Sentinel());
        }
    }

    const std::string strOther = m_strKey + "\\d\\e";
    SetRaw("Address", REG_SZ, std::string("text\0", 5)); // replaced, type and all
    for (const DWORD dwWritten : {DWORD{0}, DWORD{0xFFFF}, DWORD{0xFFFFFFFF}}) {
        for (const bool bObject : {true, false}) {
            SCOPED_TRACE(std::to_string(dwWritten) + (bObject ? " object" : " plain"));
            for (const std::string& strKey : {m_strKey, strOther}) {
                EXPECT_EQ(bObject ? m_reg.WriteDword(HKLM, strKey, "Address", &dwWritten)
                                  : m_reg.WriteDword(HKLM, strKey.c_str(), "Address", dwWritten),
                          0u);
                DWORD dwType = REG_NONE;
                std::vector<BYTE> data;
                ASSERT_TRUE(GetRaw(strKey, "Address", &dwType, data));
                EXPECT_EQ(dwType, static_cast<DWORD>(REG_DWORD));
                EXPECT_EQ(data.size(), sizeof(DWORD));
                DWORD dwObject = 1;
                DWORD dwPlain = 1;
                EXPECT_EQ(m_reg.ReadDword(HKLM, strKey, "Address", &dwObject), 0u);
                EXPECT_EQ(m_reg.ReadDword(HKLM, strKey.c_str(), "Address", &dwPlain), 0u);
                EXPECT_EQ(dwObject, dwWritten);
                EXPECT_EQ(dwPlain, dwWritten);
            }
            RegDeleteTreeA(HKLM, (m_strKey + "\\d").c_str());
        }
    }
}

TEST_F(CRegTest, PlainWriteStringStoresExactlyTheGivenBytes) {
    // The byte after the data is not zero, so the platform adds no terminator.
    const BYTE unterminated[] = {'C', ':', '\\', 'X'};
    EXPECT_EQ(m_reg.WriteString(HKLM, m_strKey.c_str(), "Raw", unterminated, 3), 0u);
    EXPECT_EQ(m_reg.WriteString(HKLM, m_strKey.c_str(), "Nothing", nullptr, 0), 0u);
    DWORD dwType = REG_NONE;
    std::vector<BYTE> data;
    ASSERT_TRUE(GetRaw(m_strKey, "Raw", &dwType, data));
    EXPECT_EQ(dwType, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(std::string(data.begin(), data.end()), "C:\\");
    ASSERT_TRUE(GetRaw(m_strKey, "Nothing", &dwType, data));
    EXPECT_TRUE(data.empty());
}

TEST_F(CRegTest, WriteFailuresShowTheirBoxes) {
    // No valid root: the key can neither be opened nor created.
    const HKEY hNoRoot = nullptr;
    const DWORD dwValue = 1;
    const BYTE data[] = "C:\\";
    EXPECT_EQ(m_reg.WriteDword(hNoRoot, m_strKey, "Address", &dwValue), 4u);
    EXPECT_EQ(m_reg.WriteDword(hNoRoot, m_strKey.c_str(), "Address", dwValue), 4u);
    EXPECT_EQ(m_reg.WriteString(hNoRoot, m_strKey, "Path", "C:\\"), 4u);
    EXPECT_EQ(m_reg.WriteString(hNoRoot, m_strKey.c_str(), "Path", data, sizeof(data)), 4u);
    ExpectBoxes({{"Does not create registry key.", EXCLAMATION},
                 {"Does not create registry key.", EXCLAMATION},
                 {"Does not create registry key.", STOP},
                 {"Does not create registry key.", STOP}});

    // A value name longer than the registry allows cannot be set.
    const std::string strLongName(20000, 'n');
    EXPECT_EQ(m_reg.WriteDword(HKLM, m_strKey, strLongName, &dwValue), 2u);
    EXPECT_EQ(m_reg.WriteDword(HKLM, m_strKey.c_str(), strLongName.c_str(), 1), 2u);
    EXPECT_EQ(m_reg.WriteString(HKLM, m_strKey, strLongName, "C:\\"), 2u);
    EXPECT_EQ(m_reg.WriteString(HKLM, m_strKey.c_str(), strLongName.c_str(), data, sizeof(data)),
              2u);
    // Missing data is a value that cannot be set, not a success.
    EXPECT_EQ(m_reg.WriteDword(HKLM, m_strKey, "Address", nullptr), 2u);
    EXPECT_EQ(m_reg.WriteString(HKLM, m_strKey.c_str(), "Path", nullptr, 4), 2u);
    ExpectBoxes({{"Chyba pri cteni z registru.", EXCLAMATION},
                 {"Chyba pri cteni z registru.", EXCLAMATION},
                 {"Chyba pri cteni z registru.", STOP},
                 {"Chyba pri cteni z registru.", STOP},
                 {"Chyba pri cteni z registru.", EXCLAMATION},
                 {"Chyba pri cteni z registru.", STOP}});
    EXPECT_EQ(ReadAll(m_strKey, "Address"), (Codes{2, 2, 2, 2}));
    EXPECT_EQ(ReadAll(m_strKey, "Path"), (Codes{2, 2, 2, 2}));
}

TEST_F(CRegTest, DeleteValueRemovesOnlyThatValue) {
    SetRaw("RunAfterStartSystem", REG_DWORD, std::string("\1\0\0\0", 4));
    SetRaw("Other", REG_DWORD, std::string("\1\0\0\0", 4));
    EXPECT_EQ(m_reg.DeleteValue(HKLM, m_strKey, "RunAfterStartSystem"), 1u);
    EXPECT_EQ(ReadAll(m_strKey, "RunAfterStartSystem"), (Codes{2, 2, 2, 2}));
    EXPECT_EQ(ReadAll(m_strKey, "Other"), (Codes{2, 5, 0, 0}));
    EXPECT_EQ(m_reg.DeleteValue(HKLM, m_strKey, "RunAfterStartSystem"), 0u);
    EXPECT_EQ(m_reg.DeleteValue(HKLM, m_strKey + "\\missing", "Other"), 1u);
}

// The real keys of the machine, left as they were found.
TEST_F(CRegTest, SettingsAndRunKeysOfTheMachine) {
    HKEY hKey = nullptr;
    if (RegOpenKeyExA(HKLM, settings::SETTINGS_KEY, 0, KEY_READ, &hKey) == ERROR_SUCCESS) {
        RegCloseKey(hKey);
        GTEST_SKIP() << "the settings key exists already";
    }
    const bool bVekoExisted =
        RegOpenKeyExA(HKLM, "SOFTWARE\\VEKO", 0, KEY_READ, &hKey) == ERROR_SUCCESS;
    if (bVekoExisted) {
        RegCloseKey(hKey);
    }

    const std::string strKey = settings::SETTINGS_KEY;
    EXPECT_EQ(ReadAll(strKey, settings::VALUE_ADDRESS), (Codes{1, 1, 1, 1}));
    const DWORD dwAddress = 0xBEEF;
    const DWORD dwType = settings::RC_TYPE_ZELMAR_OVI;
    EXPECT_EQ(m_reg.WriteDword(HKLM, strKey, settings::VALUE_ADDRESS, &dwAddress), 0u);
    EXPECT_EQ(m_reg.WriteDword(HKLM, strKey, settings::VALUE_RC_TYPE, &dwType), 0u);
    EXPECT_EQ(m_reg.WriteString(HKLM, strKey, settings::VALUE_PATH, "C:\\KV480\\"), 0u);
    DWORD dwRead = 0;
    EXPECT_EQ(m_reg.ReadDword(HKLM, strKey, settings::VALUE_ADDRESS, &dwRead), 0u);
    EXPECT_EQ(dwRead, dwAddress);
    // Another spelling of the same key.
    EXPECT_EQ(m_reg.ReadDword(HKLM, "Software\\VEKO\\KV480", settings::VALUE_RC_TYPE, &dwRead), 0u);
    EXPECT_EQ(dwRead, dwType);
    Buffer buffer = Sentinel();
    EXPECT_EQ(m_reg.ReadString(HKLM, settings::SETTINGS_KEY, settings::VALUE_PATH, buffer.data(),
                               MAX_PATH),
              0u);
    EXPECT_EQ(std::string(buffer.data()), "C:\\KV480\\");

    // The autostart value, only touched when it was absent to begin with.
    DWORD dwRawType = REG_NONE;
    std::vector<BYTE> stored;
    if (!GetRaw(settings::RUN_KEY, settings::RUN_VALUE, &dwRawType, stored)) {
        EXPECT_EQ(m_reg.DeleteValue(HKLM, settings::RUN_KEY, settings::RUN_VALUE), 0u);
        EXPECT_EQ(
            m_reg.WriteString(HKLM, settings::RUN_KEY, settings::RUN_VALUE, "C:\\KV480\\KV480.exe"),
            0u);
        EXPECT_EQ(m_reg.DeleteValue(HKLM, settings::RUN_KEY, settings::RUN_VALUE), 1u);
        EXPECT_FALSE(GetRaw(settings::RUN_KEY, settings::RUN_VALUE, &dwRawType, stored));
    }

    RegDeleteTreeA(HKLM, bVekoExisted ? settings::SETTINGS_KEY : "SOFTWARE\\VEKO");
}

} // namespace
