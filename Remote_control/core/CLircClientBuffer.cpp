#include "CLircClientBuffer.h"

bool CLircClientBuffer::Receive(const char* pBytes, std::size_t nCount,
                                std::vector<std::string>& lines) {
    for (std::size_t i = 0; i < nCount; ++i) {
        const auto b = static_cast<unsigned char>(pBytes[i]);
        if (b == '\r' || b == '\n') {
            if (!m_strLine.empty()) {
                lines.push_back(m_strLine);
                m_strLine.clear();
            }
            continue;
        }
        // A client speaking another protocol, or sending at random.
        if ((b < 0x20 && b != '\t') || b > 0x7E || m_strLine.size() == MAX_LINE) {
            return false;
        }
        m_strLine.push_back(static_cast<char>(b));
    }
    return true;
}

bool CLircClientBuffer::Queue(const std::string& strText) {
    if (strText.size() > MAX_PENDING - m_strOut.size()) {
        return false;
    }
    m_strOut += strText;
    return true;
}

void CLircClientBuffer::Sent(std::size_t nCount) {
    m_strOut.erase(0, nCount < m_strOut.size() ? nCount : m_strOut.size());
}
