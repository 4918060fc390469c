// The receiving applications listed in RecvApp.ini: for each one the window
// class and caption by which its main window is found.
#pragma once

#include <windows.h>

#include <string>

// One receiving application. A null field matches any class or caption.
struct RecvAppEntry {
    char* className;  // CRecvApp::TEXT_SIZE bytes, zero-terminated, or null
    char* windowName; // CRecvApp::TEXT_SIZE bytes, zero-terminated, or null
};

class CRecvApp {
public:
    static constexpr int MAX_ENTRIES = 10;
    // Buffer for one value (class, caption) and the longest section name used.
    static constexpr DWORD TEXT_SIZE = 255;
    static constexpr DWORD MAX_SECTION_NAME = 255;
    // Buffer for the list of section names; what does not fit is not seen.
    static constexpr DWORD SECTION_NAMES_SIZE = 512;

    CRecvApp() = default;
    virtual ~CRecvApp();
    CRecvApp(const CRecvApp&) = delete;
    CRecvApp& operator=(const CRecvApp&) = delete;

    // Reads "Path" from the settings key and loads Path + "\RecvApp.ini".
    // True on success, also when the file yields no entry; false after a
    // message box. Whatever an earlier call loaded is dropped first.
    bool Load();
    // The file Load reads for a given Path.
    static std::string FileNameIn(const std::string& strPath);
    // Loads the given ini file; same results and messages as Load.
    bool LoadFile(const std::string& strIniPath);

    int GetCount() const { return m_nCount; }
    // The entry at nIndex, or null outside 0 .. GetCount() - 1.
    const RecvAppEntry* GetEntry(int nIndex) const;

    // Writes, in entry order, the top-level window found for each entry that
    // has one; handles needs GetCount() slots. Always 1.
    int FindWindows(HWND* handles, int* count) const;
    // The top-level window found for the entry at nIndex now, or null.
    HWND FindWindowOf(int nIndex) const;

private:
    void Clear();
    // Reads one section into a new entry; false when a value is missing.
    bool AddSection(const std::string& strIniPath, const char* pszSection);

    int m_nCount = 0;
    RecvAppEntry* m_pItems[MAX_ENTRIES] = {};
};
