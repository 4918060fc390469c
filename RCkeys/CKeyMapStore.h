// The two key-map files on disk (keymaplocation names them): the user's,
// which the editor reads and writes, and the installation folder's, which it
// only reads. Paths are
// UTF-8; any file may be missing, a folder, locked, huge or half-written.
#pragma once

#include <string>

class CKeyMapStore {
public:
    enum class ReadResult { Ok, Missing, Folder, Unreadable };

    // At most nMaxBytes + 1 bytes, so that the caller sees a longer file.
    static ReadResult Read(const std::string& strFile, std::size_t nMaxBytes,
                           std::string& strBytes);

    // Replaces the file by the bytes at once: written to a temporary file in
    // the same folder (created if missing), then put in its place keeping its
    // permissions, attributes and links, so that KV480 never reads half a
    // file. A file held open for a moment by another program is tried again
    // for a few seconds. On failure the file is untouched and strError says
    // why (read-only and unreachable files in words of their own).
    static bool Write(const std::string& strFile, const std::string& strBytes,
                      std::string& strError);

    // Whether two paths name the same file, as the file system compares them
    // (full paths, long names, any case).
    static bool IsSameFile(const std::string& strFirst, const std::string& strSecond);
};
