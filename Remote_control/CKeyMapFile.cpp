#include "CKeyMapFile.h"

#include "WideText.h"

#include <mutex>
#include <utility>
#include <vector>

namespace {

// How often the watcher looks even without a change notification: a folder
// that does not exist yet, a server that sends none, a file that was locked.
const DWORD LOOK_MS = 1000;
const DWORD LOCKED_LOOK_MS = 200;
// How long the owner waits for the watcher to end, which may be inside a
// read from a server; a later one ends by itself, holding what it shares.
const DWORD STOP_BOUND_MS = 2000;

} // namespace

struct CKeyMapFile::Shared {
    std::string strFile;
    HANDLE hStop = nullptr;
    // The file as Open read it; no stamp when it was locked.
    Stamp known;
    std::mutex mutex;
    // A map read since the main thread last took one.
    bool bPending = false;
    CKeyMap pending;

    ~Shared() {
        if (hStop != nullptr) {
            CloseHandle(hStop);
        }
    }
};

bool CKeyMapFile::Stamp::operator==(const Stamp& other) const {
    return bExists == other.bExists && nSize == other.nSize &&
           CompareFileTime(&ftLastWrite, &other.ftLastWrite) == 0;
}

CKeyMapFile::~CKeyMapFile() {
    if (m_pShared != nullptr) {
        m_watcher.Stop(m_pShared->hStop, STOP_BOUND_MS);
    }
}

void CKeyMapFile::Open(const std::string& strFile, const std::string& strShownName) {
    m_strShownName = strShownName;
    m_pShared = std::make_shared<Shared>();
    m_pShared->strFile = strFile;
    m_pShared->hStop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    // Read here once, before any key; afterwards only by the watcher.
    m_map.Clear();
    const Stamp stamp = StampOf(strFile);
    if (Read(strFile, stamp, m_map)) {
        m_pShared->known = stamp;
    }
    m_bWarningDue = m_map.GetSkippedCount() > 0;
    if (m_pShared->hStop != nullptr) {
        // The watcher holds its own reference to what it shares.
        auto* pWatcherShare = new std::shared_ptr<Shared>(m_pShared);
        if (!m_watcher.Start(Watch, pWatcherShare)) {
            delete pWatcherShare;
        }
    }
}

void CKeyMapFile::Refresh() {
    if (m_pShared == nullptr) {
        return;
    }
    const std::lock_guard<std::mutex> lock(m_pShared->mutex);
    if (m_pShared->bPending) {
        m_map = std::move(m_pShared->pending);
        m_pShared->bPending = false;
        m_bWarningDue = m_map.GetSkippedCount() > 0;
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

bool CKeyMapFile::Read(const std::string& strFile, const Stamp& stamp, CKeyMap& map) {
    if (!stamp.bExists) {
        map.Clear();
        return true;
    }
    // An editor may hold the file open while saving: share everything.
    const HANDLE hFile = CreateFileW(widetext::Widen(strFile).c_str(), GENERIC_READ,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE) {
        return false;
    }
    // One byte more than the map reads, so that it knows the file is longer.
    std::vector<char> text(CKeyMap::MAX_FILE_BYTES + 1);
    DWORD dwTotal = 0;
    DWORD dwRead = 0;
    bool bRead = true;
    while (
        dwTotal < text.size() &&
        (bRead = ReadFile(hFile, text.data() + dwTotal, static_cast<DWORD>(text.size()) - dwTotal,
                          &dwRead, nullptr) != FALSE) &&
        dwRead > 0) {
        dwTotal += dwRead;
    }
    CloseHandle(hFile);
    if (!bRead) {
        // A region locked part way: the same as a locked file.
        return false;
    }
    map.Parse(text.data(), dwTotal, widetext::AnsiToUtf8);
    return true;
}

unsigned WINAPI CKeyMapFile::Watch(void* pParam) {
    const std::unique_ptr<std::shared_ptr<Shared>> pHeld(
        static_cast<std::shared_ptr<Shared>*>(pParam));
    Shared& shared = **pHeld;
    const std::size_t nSlash = shared.strFile.find_last_of("\\/");
    const std::wstring strFolder = widetext::Widen(
        nSlash == std::string::npos ? std::string(".") : shared.strFile.substr(0, nSlash));
    HANDLE hChange = INVALID_HANDLE_VALUE;
    // The map in hand was read from this.
    Stamp known = shared.known;
    bool bLocked = false;
    for (;;) {
        if (hChange == INVALID_HANDLE_VALUE) {
            // Fails while the folder does not exist; looked at again later.
            hChange = FindFirstChangeNotificationW(strFolder.c_str(), FALSE,
                                                   FILE_NOTIFY_CHANGE_FILE_NAME |
                                                       FILE_NOTIFY_CHANGE_LAST_WRITE |
                                                       FILE_NOTIFY_CHANGE_SIZE);
        }
        const HANDLE handles[] = {shared.hStop, hChange};
        const DWORD dwCount = hChange == INVALID_HANDLE_VALUE ? 1 : 2;
        const DWORD dwWait =
            WaitForMultipleObjects(dwCount, handles, FALSE, bLocked ? LOCKED_LOOK_MS : LOOK_MS);
        if (dwWait == WAIT_OBJECT_0 || dwWait == WAIT_FAILED) {
            break;
        }
        if (dwWait == WAIT_OBJECT_0 + 1 && !FindNextChangeNotification(hChange)) {
            FindCloseChangeNotification(hChange);
            hChange = INVALID_HANDLE_VALUE;
        }
        const Stamp stamp = StampOf(shared.strFile);
        if (!bLocked && stamp == known) {
            continue;
        }
        CKeyMap map;
        bLocked = !Read(shared.strFile, stamp, map);
        if (bLocked) {
            // The map in hand stays until the file can be read.
            continue;
        }
        // The stamp is taken before the read: a write in between is seen at
        // the next look and read then.
        known = stamp;
        const std::lock_guard<std::mutex> lock(shared.mutex);
        shared.pending = std::move(map);
        shared.bPending = true;
    }
    if (hChange != INVALID_HANDLE_VALUE) {
        FindCloseChangeNotification(hChange);
    }
    return 0;
}
