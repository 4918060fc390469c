// What a running KV480 tells the user's other programs about itself: which
// key maps it reads, whether it runs with administrator rights, its version
// and the mode that is on. KV480 writes it, per user and session, under
// HKEY_CURRENT_USER (CRunningState); the editor reads it back and says in
// plain words what a change of the user's key map will do. An entry left by
// a KV480 that ended without removing it (a crash) names a process that is
// gone or is another program: that is "not running". Uses no
// operating-system service: the values and the process come from outside.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

class CPublishedState {
public:
    // Below HKEY_CURRENT_USER; one subkey per session, named by its number.
    static constexpr const char* KEY = "Software\\VEKO\\KV480\\Running";
    static constexpr const char* VALUE_PROCESS = "ProcessId";    // REG_DWORD
    static constexpr const char* VALUE_VERSION = "Version";      // REG_SZ
    static constexpr const char* VALUE_USER_FILE = "UserKeyMap"; // REG_SZ; empty: not read
    static constexpr const char* VALUE_INSTALLED_FILE = "InstalledKeyMap"; // REG_SZ
    static constexpr const char* VALUE_ELEVATED = "Elevated";              // REG_DWORD, 1 or 0
    static constexpr const char* VALUE_MODE = "Mode";                      // REG_SZ; empty: none
    // A path, a version or a mode name is never longer (UTF-16 units): a
    // longer text was not written by KV480 and is not read whole.
    static constexpr std::size_t MAX_TEXT = 2048;
    static constexpr const char* PROGRAM_FILE = "KV480.exe";

    // One value as the registry holds it.
    struct Value {
        // Other: a wrong type, a number of another size, a text too long.
        enum class Type { Missing, Number, Text, Other };
        Type type = Type::Missing;
        std::uint32_t nNumber = 0;
        std::string strText; // UTF-8
    };
    using ValueOf = std::function<Value(const char* pszName)>;
    // The program file's name of a running process; empty when none runs.
    using ProgramOf = std::function<std::string(std::uint32_t nProcess)>;

    enum class Status {
        NotRunning,
        Running,
        Damaged, // a KV480 runs, but what it wrote cannot be read
    };

    static CPublishedState Interpret(const ValueOf& valueOf, const ProgramOf& programOf);

    Status GetStatus() const { return m_status; }
    std::uint32_t GetProcessId() const { return m_nProcess; }
    bool IsElevated() const { return m_bElevated; }
    const std::string& GetVersion() const { return m_strVersion; }
    const std::string& GetUserFile() const { return m_strUserFile; }
    const std::string& GetMode() const { return m_strMode; }

    // Whether a running KV480 reads that file as the user's key map.
    bool ReadsUserFile(const std::string& strUserFile) const;
    // Whether KV480 could read the user's map if it ran at the user's level.
    bool OffersRestart() const { return m_status == Status::Running && m_bElevated; }
    // The editor's line at its top, for a user whose key map is strUserFile.
    std::string Banner(const std::string& strUserFile) const;
    // When the user's saved file counts, after "Saved in <file>; ".
    std::string SavedEffect(const std::string& strUserFile) const;

    bool operator==(const CPublishedState& other) const;
    bool operator!=(const CPublishedState& other) const { return !(*this == other); }

private:
    Status m_status = Status::NotRunning;
    std::uint32_t m_nProcess = 0;
    bool m_bElevated = false;
    std::string m_strVersion;
    std::string m_strUserFile;
    std::string m_strInstalledFile;
    std::string m_strMode;
};
