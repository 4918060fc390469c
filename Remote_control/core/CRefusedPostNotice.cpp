#include "CRefusedPostNotice.h"

#include <algorithm>

namespace {

std::string Shortened(const std::string& name) {
    if (name.size() <= CRefusedPostNotice::MAX_NAME_LENGTH) {
        return name;
    }
    // At a character's start: half a UTF-8 sequence would show as garbage.
    std::size_t nEnd = CRefusedPostNotice::MAX_NAME_LENGTH - 3;
    while (nEnd > 0 && (static_cast<unsigned char>(name[nEnd]) & 0xC0) == 0x80) {
        --nEnd;
    }
    return name.substr(0, nEnd) + "...";
}

} // namespace

bool CRefusedPostNotice::ShouldTell(std::uintptr_t window) const {
    return std::find(m_told.begin(), m_told.end(), window) == m_told.end();
}

void CRefusedPostNotice::Told(std::uintptr_t window) {
    if (!ShouldTell(window)) {
        return;
    }
    if (m_told.size() >= MAX_WINDOWS) {
        m_told.pop_front();
    }
    m_told.push_back(window);
}

const char* CRefusedPostNotice::Title() {
    return "Remote Control: key refused";
}

std::string CRefusedPostNotice::Text(const std::string& caption, const std::string& className) {
    const std::string name = caption.empty() ? "A window of class \"" + Shortened(className) + "\""
                                             : "\"" + Shortened(caption) + "\"";
    return name + " runs with administrator rights and does not accept the remote control's "
                  "keys. Start it without administrator rights, or ask its maker to let "
                  "WM_REMOTECONTROL through.";
}
