// CRecvApp with real ini files and the registry, and the choice of the window
// that receives a key among real top-level windows.
#include "CRecvApp.h"
#include "CReg.h"
#include "KeyMapLocation.h"
#include "MessageBox.h"
#include "Settings.h"
#include "TargetWindow.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

const UINT STOP = MB_OK | MB_ICONSTOP;
const char* const TEXT_BAD_FILE = "Cannot read from RecvApp.ini file.";
const char* const TEXT_NO_PATH = "Cannot read from registry key.";

struct Box {
    std::string text;
    std::string caption;
    UINT type;
};

int Record(const framework::MessageBoxRecord& box, void* pContext) {
    EXPECT_EQ(box.owner, nullptr);
    static_cast<std::vector<Box>*>(pContext)->push_back({box.text, box.caption, box.type});
    return IDOK;
}

std::string Section(const std::string& strName, const std::string& strClass,
                    const std::string& strWindow) {
    return "[" + strName + "]\r\nClassName=" + strClass + "\r\nWindowName=" + strWindow + "\r\n";
}

// A field of an entry as text; "<none>" for a switched-off criterion.
std::string Field(const char* pszText) {
    return pszText != nullptr ? std::string(pszText) : std::string("<none>");
}

// A scratch folder per test for the ini files, and a recorder for the boxes.
class CRecvAppTest : public ::testing::Test {
protected:
    void SetUp() override {
        char szTemp[MAX_PATH];
        const DWORD dwLength = GetTempPathA(sizeof(szTemp), szTemp);
        ASSERT_GT(dwLength, 0u);
        ASSERT_LT(dwLength, sizeof(szTemp));
        m_strDir = std::string(szTemp) + "CRecvAppTest_" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name() + "_" +
                   std::to_string(GetCurrentProcessId());
        ASSERT_TRUE(CreateDirectoryA(m_strDir.c_str(), nullptr)) << m_strDir;
        framework::SetMessageBoxRecorder(&Record, &m_boxes);
    }

    void TearDown() override {
        framework::SetMessageBoxRecorder(nullptr, nullptr);
        std::error_code error;
        std::filesystem::remove_all(m_strDir, error);
        EXPECT_TRUE(m_boxes.empty()) << "unexpected box: " << m_boxes.front().text;
    }

    // Writes a file below the scratch folder and returns its full name.
    std::string WriteFile(const std::string& strName, const std::string& strContent) {
        const std::string strPath = m_strDir + "\\" + strName;
        std::ofstream file(strPath, std::ios::binary | std::ios::trunc);
        file << strContent;
        file.close();
        EXPECT_TRUE(file) << strPath;
        return strPath;
    }

    // The boxes shown since the last check must be exactly this one stop box.
    void ExpectStopBox(const char* pszText) {
        ASSERT_EQ(m_boxes.size(), 1u);
        EXPECT_EQ(m_boxes[0].text, pszText);
        EXPECT_EQ(m_boxes[0].caption, framework::AppTitle());
        EXPECT_EQ(m_boxes[0].type, STOP);
        m_boxes.clear();
    }

    static void ExpectEntry(const CRecvApp& apps, int nIndex, const std::string& strClass,
                            const std::string& strWindow) {
        const RecvAppEntry* pEntry = apps.GetEntry(nIndex);
        ASSERT_NE(pEntry, nullptr) << "entry " << nIndex;
        EXPECT_EQ(Field(pEntry->className), strClass) << "entry " << nIndex;
        EXPECT_EQ(Field(pEntry->windowName), strWindow) << "entry " << nIndex;
    }

    std::string m_strDir;
    std::vector<Box> m_boxes;
};

TEST_F(CRecvAppTest, EntriesFollowSectionOrderAndOnlyExactNullSwitchesOff) {
    const std::string strIni = WriteFile(
        "RecvApp.ini", "; receiving applications\r\n" + Section("First", "FirstClass", "NULL") +
                           Section("Second", "null", "Second caption") +
                           Section("Third", "NULL", "Null") + Section("Fourth", "NULLX", "NULL"));
    CRecvApp apps;
    EXPECT_TRUE(apps.LoadFile(strIni));
    ASSERT_EQ(apps.GetCount(), 4);
    ExpectEntry(apps, 0, "FirstClass", "<none>");
    ExpectEntry(apps, 1, "null", "Second caption");
    ExpectEntry(apps, 2, "<none>", "Null");
    ExpectEntry(apps, 3, "NULLX", "<none>");
    EXPECT_EQ(apps.GetEntry(4), nullptr);
    EXPECT_EQ(apps.GetEntry(-1), nullptr);
}

TEST_F(CRecvAppTest, MissingOrEmptyValueFailsAndKeepsTheEntriesBefore) {
    const struct {
        const char* name;
        std::string second;
    } cases[] = {
        {"no ClassName", "[Second]\r\nWindowName=Caption\r\n"},
        {"empty ClassName", "[Second]\r\nClassName=\r\nWindowName=Caption\r\n"},
        {"no WindowName", "[Second]\r\nClassName=Class\r\n"},
        {"empty WindowName", "[Second]\r\nClassName=Class\r\nWindowName=\r\n"},
    };
    int nFile = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string strIni =
            WriteFile("case" + std::to_string(nFile++) + ".ini",
                      Section("First", "FirstClass", "First caption") + c.second +
                          Section("Third", "ThirdClass", "Third caption"));
        CRecvApp apps;
        EXPECT_FALSE(apps.LoadFile(strIni));
        ExpectStopBox(TEXT_BAD_FILE);
        ASSERT_EQ(apps.GetCount(), 1);
        ExpectEntry(apps, 0, "FirstClass", "First caption");
    }
}

TEST_F(CRecvAppTest, NoFileOrNoSectionsGivesAnEmptyListSilently) {
    CRecvApp apps;
    EXPECT_TRUE(apps.LoadFile(m_strDir + "\\missing.ini"));
    EXPECT_EQ(apps.GetCount(), 0);
    EXPECT_TRUE(apps.LoadFile(WriteFile("empty.ini", "")));
    EXPECT_EQ(apps.GetCount(), 0);
    EXPECT_TRUE(apps.LoadFile(WriteFile("comments.ini", "; nothing here\r\nClassName=X\r\n")));
    EXPECT_EQ(apps.GetCount(), 0);
}

TEST_F(CRecvAppTest, LongValuesAreCutTo254Characters) {
    const std::string strLong(300, 'c');
    const std::string strFits(CRecvApp::TEXT_SIZE - 1, 'w');
    CRecvApp apps;
    EXPECT_TRUE(apps.LoadFile(WriteFile("long.ini", Section("Long", strLong, strFits))));
    ASSERT_EQ(apps.GetCount(), 1);
    ExpectEntry(apps, 0, strLong.substr(0, CRecvApp::TEXT_SIZE - 1), strFits);
}

TEST_F(CRecvAppTest, SectionsAfterTheTenthAreIgnored) {
    std::string strContent;
    for (int i = 0; i < 12; ++i) {
        // The eleventh would fail if it were read.
        strContent += i == 10 ? "[S10]\r\nClassName=C10\r\n"
                              : Section("S" + std::to_string(i), "C" + std::to_string(i), "W");
    }
    CRecvApp apps;
    EXPECT_TRUE(apps.LoadFile(WriteFile("twelve.ini", strContent)));
    ASSERT_EQ(apps.GetCount(), CRecvApp::MAX_ENTRIES);
    for (int i = 0; i < CRecvApp::MAX_ENTRIES; ++i) {
        ExpectEntry(apps, i, "C" + std::to_string(i), "W");
    }
}

TEST_F(CRecvAppTest, SectionNamesLongerThan255AreSkipped) {
    const std::string strLongest(CRecvApp::MAX_SECTION_NAME, 'n');
    const std::string strTooLong(CRecvApp::MAX_SECTION_NAME + 1, 'n');
    CRecvApp apps;
    EXPECT_TRUE(apps.LoadFile(WriteFile("longest.ini", Section("A", "CA", "W") +
                                                           Section(strLongest, "CL", "W") +
                                                           Section("B", "CB", "W"))));
    ASSERT_EQ(apps.GetCount(), 3);
    ExpectEntry(apps, 1, "CL", "W");

    EXPECT_TRUE(apps.LoadFile(WriteFile("toolong.ini", Section("A", "CA", "W") +
                                                           Section(strTooLong, "CL", "W") +
                                                           Section("B", "CB", "W"))));
    ASSERT_EQ(apps.GetCount(), 2);
    ExpectEntry(apps, 0, "CA", "W");
    ExpectEntry(apps, 1, "CB", "W");
}

// Nine names of 49 characters take 450 of the 512 bytes; the tenth name
// decides where the list ends.
std::string NamesFile(size_t nLastLength, std::string& strLast) {
    std::string strContent;
    for (int i = 0; i < 9; ++i) {
        strContent +=
            Section(std::to_string(i) + std::string(48, 'x'), "C" + std::to_string(i), "W");
    }
    strLast = std::string(nLastLength, 'L');
    return strContent + Section(strLast, "CL", "W") + Section("After", "CA", "W");
}

TEST_F(CRecvAppTest, NameCutByTheListBufferIsNeverUsed) {
    // The tenth name does not fit into the 62 bytes left; what arrives of it
    // names no section and would show a box if it were used.
    std::string strLast;
    CRecvApp apps;
    EXPECT_TRUE(apps.LoadFile(WriteFile("cut.ini", NamesFile(100, strLast))));
    EXPECT_EQ(apps.GetCount(), 9);

    // Here the parts that may arrive are sections with values of their own:
    // still not to be used.
    const std::string strPartial = NamesFile(100, strLast) +
                                   Section(strLast.substr(0, 59), "CP", "W") +
                                   Section(strLast.substr(0, 60), "CP", "W");
    EXPECT_TRUE(apps.LoadFile(WriteFile("partial.ini", strPartial)));
    ASSERT_EQ(apps.GetCount(), 9);
    for (int i = 0; i < 9; ++i) {
        ExpectEntry(apps, i, "C" + std::to_string(i), "W");
    }
}

TEST_F(CRecvAppTest, ListThatFitsIsUsedWhole) {
    // 450 + 59 bytes and the final zero: 510 of 512 bytes, nothing cut.
    std::string strLast;
    CRecvApp apps;
    const std::string strContent = NamesFile(58, strLast);
    // Without "After" the list fits; with it, it is cut after the tenth name.
    EXPECT_TRUE(
        apps.LoadFile(WriteFile("fits.ini", strContent.substr(0, strContent.find("[After]")))));
    ASSERT_EQ(apps.GetCount(), CRecvApp::MAX_ENTRIES);
    ExpectEntry(apps, 9, "CL", "W");
}

TEST_F(CRecvAppTest, LoadingAgainReplacesTheList) {
    CRecvApp apps;
    EXPECT_TRUE(apps.LoadFile(WriteFile(
        "three.ini", Section("A", "CA", "W") + Section("B", "CB", "W") + Section("C", "CC", "W"))));
    EXPECT_EQ(apps.GetCount(), 3);
    EXPECT_TRUE(apps.LoadFile(WriteFile("one.ini", Section("D", "CD", "NULL"))));
    ASSERT_EQ(apps.GetCount(), 1);
    ExpectEntry(apps, 0, "CD", "<none>");
    EXPECT_TRUE(apps.LoadFile(m_strDir + "\\missing.ini"));
    EXPECT_EQ(apps.GetCount(), 0);
}

// Load end to end: "Path" in the settings key, saved and put back afterwards.
class CRecvAppLoadTest : public CRecvAppTest {
protected:
    void SetUp() override {
        CRecvAppTest::SetUp();
        HKEY hKey = nullptr;
        m_bKeyExisted = RegOpenKeyExA(HKEY_LOCAL_MACHINE, m_strKey.c_str(), 0, KEY_READ, &hKey) ==
                        ERROR_SUCCESS;
        if (m_bKeyExisted) {
            RegCloseKey(hKey);
        }
        m_bPathExisted = m_reg.ReadString(HKEY_LOCAL_MACHINE, m_strKey, m_strName,
                                          m_strSavedPath) == CReg::RESULT_OK;
    }

    void TearDown() override {
        if (m_bPathExisted) {
            SetPath(m_strSavedPath);
        } else if (m_bKeyExisted) {
            DeletePath();
        } else {
            RegDeleteTreeA(HKEY_LOCAL_MACHINE, m_strKey.c_str());
        }
        CRecvAppTest::TearDown();
    }

    void SetPath(const std::string& strPath) {
        ASSERT_EQ(m_reg.WriteString(HKEY_LOCAL_MACHINE, m_strKey, m_strName, strPath),
                  CReg::RESULT_OK);
    }

    void DeletePath() { m_reg.DeleteValue(HKEY_LOCAL_MACHINE, m_strKey, m_strName); }

    const CReg m_reg;
    const std::string m_strKey = settings::SETTINGS_KEY;
    const std::string m_strName = settings::VALUE_PATH;
    bool m_bKeyExisted = false;
    bool m_bPathExisted = false;
    std::string m_strSavedPath;
};

TEST_F(CRecvAppLoadTest, ReadsRecvAppIniInPathWithOrWithoutTrailingBackslash) {
    WriteFile("RecvApp.ini", Section("App", "AppClass", "NULL"));
    for (const std::string& strPath : {m_strDir, m_strDir + "\\"}) {
        SCOPED_TRACE(strPath);
        SetPath(strPath);
        CRecvApp apps;
        EXPECT_TRUE(apps.Load());
        ASSERT_EQ(apps.GetCount(), 1);
        ExpectEntry(apps, 0, "AppClass", "<none>");
    }
}

// The installation's key map lies beside RecvApp.ini; with Path empty there
// is none, rather than one in whatever folder is current.
TEST_F(CRecvAppLoadTest, TheKeyMapsLieInPathAndInTheUsersApplicationData) {
    for (const std::string& strPath : {m_strDir, m_strDir + "\\"}) {
        SetPath(strPath);
        EXPECT_EQ(m_strDir + "\\KeyMap.ini", keymaplocation::InstalledFile()) << strPath;
    }
    SetPath("");
    EXPECT_EQ("", keymaplocation::InstalledFile());
    const std::string strUser = keymaplocation::UserFile();
    const std::string strEnd = "\\Remote Control\\KeyMap.ini";
    ASSERT_GT(strUser.size(), strEnd.size());
    EXPECT_EQ(strEnd, strUser.substr(strUser.size() - strEnd.size()));
}

TEST_F(CRecvAppLoadTest, NoRecvAppIniInPathGivesAnEmptyListSilently) {
    SetPath(m_strDir + "\\");
    CRecvApp apps;
    EXPECT_TRUE(apps.Load());
    EXPECT_EQ(apps.GetCount(), 0);
}

TEST_F(CRecvAppLoadTest, FileNameIsCutTo255Characters) {
    // Path + "\RecvApp.ini" is 257 characters; the cut name ends in "RecvApp.i".
    const std::string strPrefix = m_strDir + "\\";
    ASSERT_LT(strPrefix.size(), 200u);
    const std::string strSub = strPrefix + std::string(257 - 12 - strPrefix.size(), 'd');
    ASSERT_TRUE(CreateDirectoryA(strSub.c_str(), nullptr));
    ASSERT_EQ(strSub.size() + 12, 257u);
    WriteFile(strSub.substr(strPrefix.size()) + "\\RecvApp.i", Section("Cut", "CutClass", "W"));
    SetPath(strSub);
    CRecvApp apps;
    EXPECT_TRUE(apps.Load());
    ASSERT_EQ(apps.GetCount(), 1);
    ExpectEntry(apps, 0, "CutClass", "W");
}

TEST_F(CRecvAppLoadTest, UnreadablePathFailsWithAMessage) {
    WriteFile("RecvApp.ini", Section("App", "AppClass", "NULL"));
    SetPath(m_strDir);
    CRecvApp apps;
    ASSERT_TRUE(apps.Load());
    ASSERT_EQ(apps.GetCount(), 1);
    // A failed load leaves nothing of the earlier one behind.
    DeletePath();
    EXPECT_FALSE(apps.Load());
    ExpectStopBox(TEXT_NO_PATH);
    EXPECT_EQ(apps.GetCount(), 0);

    const DWORD dwNotText = 1;
    ASSERT_EQ(m_reg.WriteDword(HKEY_LOCAL_MACHINE, m_strKey, m_strName, &dwNotText),
              CReg::RESULT_OK);
    EXPECT_FALSE(apps.Load());
    ExpectStopBox(TEXT_NO_PATH);
}

// Real top-level windows of one class, each with a caption of its own.
class TargetWindowTest : public CRecvAppTest {
protected:
    static constexpr const char* CLASS_NAME = "TargetWindowTestClass";

    void SetUp() override {
        CRecvAppTest::SetUp();
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = CLASS_NAME;
        // A second test finds the class still registered.
        ASSERT_TRUE(RegisterClassA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS);
    }

    void TearDown() override {
        for (const HWND hWnd : m_windows) {
            DestroyWindow(hWnd);
        }
        Pump();
        CRecvAppTest::TearDown();
    }

    std::string Caption(const char* pszName) const {
        return std::string("TargetWindowTest ") + pszName + " " +
               std::to_string(GetCurrentProcessId());
    }

    // A shown, not activated window. Popups, because Wine without a window
    // manager waits two seconds for each framed window that is hidden or
    // destroyed.
    HWND Create(const char* pszName) {
        const HWND hWnd =
            CreateWindowExA(0, CLASS_NAME, Caption(pszName).c_str(), WS_POPUP, 10, 10, 200, 100,
                            nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        EXPECT_NE(hWnd, nullptr) << "no display?";
        if (hWnd != nullptr) {
            m_windows.push_back(hWnd);
            ShowWindow(hWnd, SW_SHOWNOACTIVATE);
            EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(hWnd) != FALSE; }));
        }
        return hWnd;
    }

    static void Pump() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }

    // Polls, handling messages meanwhile, for at most five seconds.
    template <typename Condition> static bool WaitUntil(Condition condition) {
        const ULONGLONG ullEnd = GetTickCount64() + 5000;
        for (;;) {
            Pump();
            if (condition()) {
                return true;
            }
            if (GetTickCount64() >= ullEnd) {
                return false;
            }
            Sleep(10);
        }
    }

    static bool IsAbove(HWND hUpper, HWND hLower) {
        for (HWND hWnd = GetWindow(hUpper, GW_HWNDNEXT); hWnd != nullptr;
             hWnd = GetWindow(hWnd, GW_HWNDNEXT)) {
            if (hWnd == hLower) {
                return true;
            }
        }
        return false;
    }

    // Asked again while waiting: under Wine, a restack of windows shown a
    // moment ago does not always hold.
    static void PutAbove(HWND hUpper, HWND hLower) {
        ASSERT_TRUE(WaitUntil([&] {
            if (IsAbove(hUpper, hLower)) {
                return true;
            }
            SetWindowPos(hUpper, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            return false;
        }));
    }

    // Loads entries for the given window names; nullptr stands for "NULL".
    void LoadEntries(CRecvApp& apps, const std::vector<std::pair<const char*, const char*>>& e) {
        std::string strContent;
        for (size_t i = 0; i < e.size(); ++i) {
            strContent += Section("App" + std::to_string(i), e[i].first ? e[i].first : "NULL",
                                  e[i].second ? Caption(e[i].second) : "NULL");
        }
        ASSERT_TRUE(
            apps.LoadFile(WriteFile("apps" + std::to_string(m_nFiles++) + ".ini", strContent)));
        ASSERT_EQ(apps.GetCount(), static_cast<int>(e.size()));
    }

    std::vector<HWND> m_windows;
    int m_nFiles = 0;
};

TEST_F(TargetWindowTest, FindWindowsGivesTheWindowsThatExistInEntryOrder) {
    const HWND hA = Create("A");
    const HWND hB = Create("B");
    CRecvApp apps;
    LoadEntries(apps, {{CLASS_NAME, "missing"},
                       {CLASS_NAME, "B"},
                       {"OtherClass", "A"},
                       {nullptr, "A"},
                       {CLASS_NAME, "B"}});
    std::vector<HWND> handles(static_cast<size_t>(apps.GetCount()), nullptr);
    int nCount = -1;
    EXPECT_EQ(apps.FindWindows(handles.data(), &nCount), 1);
    ASSERT_EQ(nCount, 3);
    EXPECT_EQ(handles[0], hB);
    EXPECT_EQ(handles[1], hA);
    EXPECT_EQ(handles[2], hB);
    EXPECT_EQ(handles[3], nullptr) << "written beyond the count";
}

TEST_F(TargetWindowTest, HigherInZOrderWinsWhateverTheSectionOrder) {
    const HWND hA = Create("A");
    const HWND hB = Create("B");
    for (const bool bAFirst : {true, false}) {
        SCOPED_TRACE(bAFirst ? "A's section first" : "B's section first");
        CRecvApp apps;
        if (bAFirst) {
            LoadEntries(apps, {{CLASS_NAME, "A"}, {CLASS_NAME, "B"}});
        } else {
            LoadEntries(apps, {{CLASS_NAME, "B"}, {CLASS_NAME, "A"}});
        }
        PutAbove(hB, hA);
        EXPECT_EQ(ChooseTargetWindow(apps), hB);
        PutAbove(hA, hB);
        EXPECT_EQ(ChooseTargetWindow(apps), hA);
    }
}

TEST_F(TargetWindowTest, MinimisedOrHiddenWindowsArePassedOver) {
    const HWND hA = Create("A");
    const HWND hB = Create("B");
    const HWND hC = Create("C");
    CRecvApp apps;
    LoadEntries(apps, {{CLASS_NAME, "C"}, {CLASS_NAME, "B"}, {CLASS_NAME, "A"}});
    PutAbove(hB, hC);
    PutAbove(hA, hB);
    ASSERT_EQ(ChooseTargetWindow(apps), hA);

    ShowWindow(hA, SW_MINIMIZE);
    ASSERT_TRUE(WaitUntil([&] { return IsIconic(hA) != FALSE; }));
    EXPECT_EQ(ChooseTargetWindow(apps), hB);

    ShowWindow(hB, SW_HIDE);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(hB); }));
    EXPECT_EQ(ChooseTargetWindow(apps), hC);

    // The only window left that is not minimised is hidden: nobody gets the key.
    ShowWindow(hC, SW_HIDE);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(hC); }));
    EXPECT_EQ(ChooseTargetWindow(apps), nullptr);
}

TEST_F(TargetWindowTest, TwoEntriesResolvingToOneWindow) {
    const HWND hA = Create("A");
    const HWND hB = Create("B");
    CRecvApp apps;
    LoadEntries(apps, {{CLASS_NAME, "A"}, {nullptr, "A"}, {CLASS_NAME, "B"}});
    PutAbove(hA, hB);
    EXPECT_EQ(ChooseTargetWindow(apps), hA);
    ShowWindow(hA, SW_MINIMIZE);
    ASSERT_TRUE(WaitUntil([&] { return IsIconic(hA) != FALSE; }));
    EXPECT_EQ(ChooseTargetWindow(apps), hB);
}

TEST_F(TargetWindowTest, NoCandidateGivesNoWindow) {
    Create("A");
    CRecvApp empty;
    EXPECT_EQ(ChooseTargetWindow(empty), nullptr);
    CRecvApp apps;
    LoadEntries(apps, {{CLASS_NAME, "missing"}, {"OtherClass", "A"}});
    EXPECT_EQ(ChooseTargetWindow(apps), nullptr);
}

} // namespace
