// One KeyMap.ini (the user's or the installation folder's), read again
// whenever it changes, so that an edit takes effect at the next key without
// a restart.
#pragma once

#include <windows.h>

#include <string>

#include "CKeyMap.h"

class CKeyMapFile {
public:
    static constexpr const char* FILE_NAME = "KeyMap.ini";

    // The file in the folder Path, which may end in a backslash or not.
    static std::string FileNameIn(const std::string& strPath);

    // Sets the file (UTF-8 path) and reads it; strShownName names it in the
    // notice on skipped lines.
    void Open(const std::string& strFile, const std::string& strShownName);
    // Reads the file again when its last-write time or size changed, or it
    // came or went since the last look. No file: an empty map.
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
    static Stamp StampOf(const std::string& strFile);
    void Load(const Stamp& stamp);

    std::string m_strFile;
    std::string m_strShownName;
    Stamp m_stamp;
    CKeyMap m_map;
    bool m_bWarningDue = false;
};
