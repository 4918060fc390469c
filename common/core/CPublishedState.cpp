#include "CPublishedState.h"

#include <cctype>

namespace {

bool SameFileName(const std::string& strA, const std::string& strB) {
    if (strA.size() != strB.size()) {
        return false;
    }
    for (std::size_t i = 0; i < strA.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(strA[i])) !=
            std::tolower(static_cast<unsigned char>(strB[i]))) {
            return false;
        }
    }
    return true;
}

// A text value, or a missing one as empty; false for anything else.
bool ReadText(const CPublishedState::Value& value, std::string& strText) {
    using Type = CPublishedState::Value::Type;
    strText = value.type == Type::Text ? value.strText : std::string();
    return value.type == Type::Text || value.type == Type::Missing;
}

} // namespace

CPublishedState CPublishedState::Interpret(const ValueOf& valueOf, const ProgramOf& programOf) {
    using Type = Value::Type;
    CPublishedState state;
    const Value process = valueOf(VALUE_PROCESS);
    if (process.type == Type::Missing) {
        return state;
    }
    if (process.type != Type::Number) {
        state.m_status = Status::Damaged;
        return state;
    }
    // A KV480 that crashed leaves its entry; its number may since belong to
    // another program.
    if (process.nNumber == 0 || !SameFileName(programOf(process.nNumber), PROGRAM_FILE)) {
        return state;
    }
    state.m_nProcess = process.nNumber;
    const Value elevated = valueOf(VALUE_ELEVATED);
    const bool bTexts = ReadText(valueOf(VALUE_VERSION), state.m_strVersion) &&
                        ReadText(valueOf(VALUE_USER_FILE), state.m_strUserFile) &&
                        ReadText(valueOf(VALUE_INSTALLED_FILE), state.m_strInstalledFile) &&
                        ReadText(valueOf(VALUE_MODE), state.m_strMode);
    if (!bTexts || elevated.type != Type::Number || elevated.nNumber > 1) {
        // Nothing of it is trusted: a half-read state would claim an effect.
        const std::uint32_t nProcess = state.m_nProcess;
        state = CPublishedState();
        state.m_status = Status::Damaged;
        state.m_nProcess = nProcess;
        return state;
    }
    state.m_bElevated = elevated.nNumber == 1;
    state.m_status = Status::Running;
    return state;
}

bool CPublishedState::ReadsUserFile(const std::string& strUserFile) const {
    return m_status == Status::Running && !m_bElevated && !strUserFile.empty() &&
           SameFileName(m_strUserFile, strUserFile);
}

std::string CPublishedState::Banner(const std::string& strUserFile) const {
    const std::string strMode =
        m_strMode.empty() ? std::string() : " The mode \"" + m_strMode + "\" is on.";
    switch (m_status) {
    case Status::NotRunning:
        return "KV480 is not running: your keys work once it starts.";
    case Status::Damaged:
        return "KV480 is running, but cannot tell which key maps it uses: close it from its "
               "tray icon and start it again to be sure your keys work.";
    case Status::Running:
        break;
    }
    if (m_bElevated) {
        return "KV480 is running with administrator rights and uses only the installation's key "
               "map: your changes take effect when KV480 runs normally." +
               strMode;
    }
    if (!ReadsUserFile(strUserFile)) {
        return "KV480 is running for another user account and does not use your key map." + strMode;
    }
    return "KV480 is running and uses your key map: saved changes work from the next key "
           "press." +
           strMode;
}

std::string CPublishedState::SavedEffect(const std::string& strUserFile) const {
    if (ReadsUserFile(strUserFile)) {
        return "KV480 uses it from the next key press.";
    }
    if (OffersRestart()) {
        return "KV480 uses it once it runs normally, not as administrator.";
    }
    return m_status == Status::NotRunning ? "KV480 uses it once it starts."
                                          : "KV480 may not use it until it starts again.";
}

bool CPublishedState::operator==(const CPublishedState& other) const {
    return m_status == other.m_status && m_nProcess == other.m_nProcess &&
           m_bElevated == other.m_bElevated && m_strVersion == other.m_strVersion &&
           m_strUserFile == other.m_strUserFile && m_strInstalledFile == other.m_strInstalledFile &&
           m_strMode == other.m_strMode;
}
