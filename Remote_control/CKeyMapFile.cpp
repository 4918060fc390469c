#include "CKeyMapFile.h"

#include "WideText.h"

#include <vector>

bool CKeyMapFile::Stamp::operator==(const Stamp& other) const {
    return bExists == other.bExists && nSize == other.nSize &&
           CompareFileTime(&ftLastWrite, &other.ftLastWrite) == 0;
}

std::string CKeyMapFile::FileNameIn(const std::string& strPath) {
    if (!strPath.empty() && strPath.back() != '\\' && strPath.back() != '/') {
        return strPath + "\\" + FILE_NAME;
    }
    return strPath + FILE_NAME;
}

void CKeyMapFile::Open(const std::string& strFile, const std::string& strShownName) {
    m_strFile = strFile;
    m_strShownName = strShownName;
    Load(StampOf(m_strFile));
}

void CKeyMapFile::Refresh() {
    const Stamp stamp = StampOf(m_strFile);
    if (!(stamp == m_stamp)) {
        Load(stamp);
    }
}

std::string CKeyMapFile::PendingWarning() const {
    return m_bWarningDue ? m_map.SkippedText(m_strShownName) : std::string();
}

CKeyMapFile::Stamp CKeyMapFile::StampOf(const std::string& strFile) {
    Stamp stamp;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!strFile.empty() &&
        GetFileAttributesExW(widetext::Widen(strFile).c_str(), GetFileExInfoStandard, &data) &&
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        stamp.bExists = true;
        stamp.ftLastWrite = data.ftLastWriteTime;
        stamp.nSize = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    }
    return stamp;
}

void CKeyMapFile::Load(const Stamp& stamp) {
    if (!stamp.bExists) {
        m_stamp = stamp;
        m_map.Clear();
        m_bWarningDue = false;
        return;
    }
    // An editor may hold the file open while saving: share everything.
    const HANDLE hFile = CreateFileW(widetext::Widen(m_strFile).c_str(), GENERIC_READ,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE) {
        // Locked by a program that shares nothing: the map in hand stays, and
        // the next key tries again (a stamp of no file differs from any file).
        m_stamp = Stamp();
        return;
    }
    // One byte more than the map reads, so that it knows the file is longer.
    std::vector<char> text(CKeyMap::MAX_FILE_BYTES + 1);
    DWORD dwTotal = 0;
    DWORD dwRead = 0;
    BOOL bRead = TRUE;
    while (dwTotal < text.size() &&
           (bRead = ReadFile(hFile, text.data() + dwTotal,
                             static_cast<DWORD>(text.size()) - dwTotal, &dwRead, nullptr)) &&
           dwRead > 0) {
        dwTotal += dwRead;
    }
    CloseHandle(hFile);
    if (!bRead) {
        // A region locked part way: the same as a locked file.
        m_stamp = Stamp();
        return;
    }
    // The stamp is taken before the read: a write in between is seen at the
    // next look and read then.
    m_stamp = stamp;
    m_map.Parse(text.data(), dwTotal, widetext::AnsiToUtf8);
    m_bWarningDue = m_map.GetSkippedCount() > 0;
}
