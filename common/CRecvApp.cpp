#include "CRecvApp.h"

#include "CReg.h"
#include "MessageBox.h"
#include "Settings.h"

#include <cstring>
#include <memory>
#include <vector>

namespace {

const char* const INI_FILE_NAME = "\\RecvApp.ini";
const char* const KEY_CLASS_NAME = "ClassName";
const char* const KEY_WINDOW_NAME = "WindowName";
// The value that switches a criterion off; compared case-sensitively.
const char* const VALUE_ANY = "NULL";

const char* const TEXT_NO_PATH = "Cannot read from registry key.";
const char* const TEXT_BAD_FILE = "Cannot read from RecvApp.ini file.";
const UINT BOX_STOP = MB_OK | MB_ICONSTOP;

// Longest file name handed to the profile functions.
const size_t MAX_FILE_NAME = 255;

// What an entry stores for a value: null for "NULL", otherwise a copy in a
// buffer of its own. The value came from a TEXT_SIZE buffer, so it fits.
std::unique_ptr<char[]> StoredText(const char* pszValue) {
    if (std::strcmp(pszValue, VALUE_ANY) == 0) {
        return nullptr;
    }
    std::unique_ptr<char[]> text(new char[CRecvApp::TEXT_SIZE]());
    std::memcpy(text.get(), pszValue, std::strlen(pszValue) + 1);
    return text;
}

// The whole section names in a list of dwLength characters read into a buffer
// of dwSize bytes. A list cut at the buffer's end comes back as dwSize - 2
// characters and may end in a partial name, which would address the wrong
// section (or none); that last name is dropped. A list that fills the buffer
// exactly looks the same and loses its last name as well.
std::vector<const char*> WholeNames(const char* pszNames, DWORD dwLength, DWORD dwSize) {
    std::vector<const char*> names;
    size_t nPos = 0;
    while (nPos < dwLength && nPos < dwSize && pszNames[nPos] != '\0') {
        const void* pEnd = std::memchr(pszNames + nPos, '\0', dwSize - nPos);
        if (pEnd == nullptr) {
            break; // not terminated inside the buffer
        }
        names.push_back(pszNames + nPos);
        nPos = static_cast<size_t>(static_cast<const char*>(pEnd) - pszNames) + 1;
    }
    if (dwLength + 2 >= dwSize && !names.empty()) {
        names.pop_back();
    }
    return names;
}

} // namespace

CRecvApp::~CRecvApp() {
    Clear();
}

void CRecvApp::Clear() {
    for (int i = 0; i < m_nCount; ++i) {
        delete[] m_pItems[i]->className;
        delete[] m_pItems[i]->windowName;
        delete m_pItems[i];
        m_pItems[i] = nullptr;
    }
    m_nCount = 0;
}

bool CRecvApp::Load() {
    Clear();
    const CReg reg;
    const std::string strKey = settings::SETTINGS_KEY;
    const std::string strName = settings::VALUE_PATH;
    std::string strPath;
    if (reg.ReadString(HKEY_LOCAL_MACHINE, strKey, strName, strPath) != CReg::RESULT_OK) {
        framework::AfxMessageBox(TEXT_NO_PATH, BOX_STOP);
        return false;
    }
    return LoadFile(FileNameIn(strPath));
}

std::string CRecvApp::FileNameIn(const std::string& strPath) {
    // A Path with a trailing backslash gives a doubled one, which the file
    // system accepts.
    std::string strFile = strPath + INI_FILE_NAME;
    if (strFile.size() > MAX_FILE_NAME) {
        strFile.resize(MAX_FILE_NAME);
    }
    return strFile;
}

bool CRecvApp::LoadFile(const std::string& strIniPath) {
    Clear();
    char szNames[SECTION_NAMES_SIZE] = {};
    const DWORD dwLength =
        GetPrivateProfileSectionNamesA(szNames, sizeof(szNames), strIniPath.c_str());
    if (dwLength < 1) {
        return true; // no file, or no sections: nobody receives keys
    }
    for (const char* pszSection : WholeNames(szNames, dwLength, sizeof(szNames))) {
        if (m_nCount == MAX_ENTRIES) {
            break; // further sections are ignored
        }
        if (std::strlen(pszSection) > MAX_SECTION_NAME) {
            continue; // too long to be a section of ours: skipped
        }
        if (!AddSection(strIniPath, pszSection)) {
            framework::AfxMessageBox(TEXT_BAD_FILE, BOX_STOP);
            return false;
        }
    }
    return true;
}

bool CRecvApp::AddSection(const std::string& strIniPath, const char* pszSection) {
    char szClass[TEXT_SIZE];
    char szWindow[TEXT_SIZE];
    // Longer values come back cut to TEXT_SIZE - 1 characters.
    if (GetPrivateProfileStringA(pszSection, KEY_CLASS_NAME, "", szClass, sizeof(szClass),
                                 strIniPath.c_str()) < 1 ||
        GetPrivateProfileStringA(pszSection, KEY_WINDOW_NAME, "", szWindow, sizeof(szWindow),
                                 strIniPath.c_str()) < 1) {
        return false;
    }
    std::unique_ptr<char[]> className = StoredText(szClass);
    std::unique_ptr<char[]> windowName = StoredText(szWindow);
    std::unique_ptr<RecvAppEntry> entry(new RecvAppEntry());
    entry->className = className.release();
    entry->windowName = windowName.release();
    m_pItems[m_nCount] = entry.release();
    ++m_nCount;
    return true;
}

const RecvAppEntry* CRecvApp::GetEntry(int nIndex) const {
    if (nIndex < 0 || nIndex >= m_nCount) {
        return nullptr;
    }
    return m_pItems[nIndex];
}

HWND CRecvApp::FindWindowOf(int nIndex) const {
    const RecvAppEntry* pEntry = GetEntry(nIndex);
    return pEntry != nullptr ? FindWindowA(pEntry->className, pEntry->windowName) : nullptr;
}

int CRecvApp::FindWindows(HWND* handles, int* count) const {
    int nFound = 0;
    if (handles != nullptr) {
        for (int i = 0; i < m_nCount; ++i) {
            const HWND hWnd = FindWindowOf(i);
            if (hWnd != nullptr) {
                handles[nFound] = hWnd;
                ++nFound;
            }
        }
    }
    if (count != nullptr) {
        *count = nFound;
    }
    return 1;
}
