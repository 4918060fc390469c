// One KeyMap.ini (the user's or the installation folder's), read again
// whenever it changes, so that an edit takes effect without a restart. A
// worker thread watches the file's folder and reads the file: the folder may
// be on a slow or unreachable server, and a key must never wait for it.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "CKeyMap.h"
#include "CWorkerThread.h"

class CKeyMapFile {
public:
    CKeyMapFile() = default;
    CKeyMapFile(const CKeyMapFile&) = delete;
    CKeyMapFile& operator=(const CKeyMapFile&) = delete;
    ~CKeyMapFile();

    // Sets the file (UTF-8 path), reads it and starts watching it;
    // strShownName names it in the notice on skipped lines.
    void Open(const std::string& strFile, const std::string& strShownName);
    // Takes the map the watcher read since the last call, if any; touches no
    // file. No file: an empty map.
    void Refresh();

    const CKeyMap& GetMap() const { return m_map; }
    // The notice on the skipped lines of the map in hand, once per load:
    // empty when it was given (MarkWarned) or nothing was skipped.
    std::string PendingWarning() const;
    void MarkWarned() { m_bWarningDue = false; }

private:
    struct Stamp {
        bool bExists = false;
        FILETIME ftLastWrite = {};
        ULONGLONG nSize = 0;
        bool operator==(const Stamp& other) const;
    };
    // What the watcher shares with the main thread; kept alive by the
    // watcher too, should it outlast its owner.
    struct Shared;

    static Stamp StampOf(const std::string& strFile);
    // The file's map as it is now; false when it could not be read (locked).
    static bool Read(const std::string& strFile, const Stamp& stamp, CKeyMap& map);
    static unsigned WINAPI Watch(void* pParam);

    std::string m_strShownName;
    CKeyMap m_map;
    bool m_bWarningDue = false;
    std::shared_ptr<Shared> m_pShared;
    CWorkerThread m_watcher;
};
