#include "CRunningState.h"

#include "ProcessImage.h"
#include "WideText.h"

#include <cstring>
#include <vector>

namespace {

// The file version of this program's own resources, "6.1.0.0"; empty when it
// has none.
std::string OwnVersion() {
    // Resource 1 is VS_VERSION_INFO, a number in one SDK's header and a name
    // in another's; the T forms keep it and RT_VERSION of one kind.
    const HRSRC hInfo = FindResource(nullptr, MAKEINTRESOURCE(1), RT_VERSION);
    const HGLOBAL hData = hInfo != nullptr ? LoadResource(nullptr, hInfo) : nullptr;
    const auto* pBytes = static_cast<const BYTE*>(hData != nullptr ? LockResource(hData) : nullptr);
    const DWORD dwSize = hInfo != nullptr ? SizeofResource(nullptr, hInfo) : 0;
    // The fixed part starts with its signature, after the block's header.
    for (DWORD i = 0; pBytes != nullptr && i + sizeof(VS_FIXEDFILEINFO) <= dwSize; i += 4) {
        VS_FIXEDFILEINFO info;
        std::memcpy(&info, pBytes + i, sizeof(info));
        if (info.dwSignature == 0xFEEF04BD) {
            return std::to_string(HIWORD(info.dwFileVersionMS)) + "." +
                   std::to_string(LOWORD(info.dwFileVersionMS)) + "." +
                   std::to_string(HIWORD(info.dwFileVersionLS)) + "." +
                   std::to_string(LOWORD(info.dwFileVersionLS));
        }
    }
    return std::string();
}

void SetText(HKEY hKey, const char* pszName, const std::string& strText) {
    const std::wstring strValue = widetext::Widen(strText);
    RegSetValueExW(hKey, widetext::Widen(pszName).c_str(), 0, REG_SZ,
                   reinterpret_cast<const BYTE*>(strValue.c_str()),
                   static_cast<DWORD>((strValue.size() + 1) * sizeof(wchar_t)));
}

void SetNumber(HKEY hKey, const char* pszName, DWORD dwValue) {
    RegSetValueExW(hKey, widetext::Widen(pszName).c_str(), 0, REG_DWORD,
                   reinterpret_cast<const BYTE*>(&dwValue), sizeof(dwValue));
}

// One value, read no further than the longest text KV480 writes.
CPublishedState::Value ReadValue(HKEY hKey, const char* pszName) {
    using Type = CPublishedState::Value::Type;
    CPublishedState::Value value;
    std::vector<wchar_t> buffer(CPublishedState::MAX_TEXT + 1, L'\0');
    DWORD dwType = REG_NONE;
    DWORD dwBytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    const LONG nResult = RegQueryValueExW(hKey, widetext::Widen(pszName).c_str(), nullptr, &dwType,
                                          reinterpret_cast<BYTE*>(buffer.data()), &dwBytes);
    if (nResult == ERROR_FILE_NOT_FOUND) {
        return value;
    }
    value.type = Type::Other;
    if (nResult != ERROR_SUCCESS) {
        // ERROR_MORE_DATA: longer than anything KV480 writes.
        return value;
    }
    if (dwType == REG_DWORD && dwBytes == sizeof(DWORD)) {
        DWORD dwNumber = 0;
        std::memcpy(&dwNumber, buffer.data(), sizeof(dwNumber));
        value.type = Type::Number;
        value.nNumber = dwNumber;
    } else if (dwType == REG_SZ && dwBytes % sizeof(wchar_t) == 0) {
        // Stored without its terminating null, or with several.
        std::size_t nLength = dwBytes / sizeof(wchar_t);
        while (nLength > 0 && buffer[nLength - 1] == L'\0') {
            --nLength;
        }
        value.type = Type::Text;
        value.strText = widetext::Narrow(buffer.data(), static_cast<int>(nLength));
    }
    return value;
}

std::string ProgramFileName(std::uint32_t nProcess) {
    const std::wstring strImage = ProcessImage(nProcess);
    const std::size_t nSlash = strImage.find_last_of(L"\\/");
    return widetext::Narrow(
        (nSlash == std::wstring::npos ? strImage : strImage.substr(nSlash + 1)).c_str());
}

} // namespace

CRunningState::~CRunningState() {
    if (m_hKey != nullptr) {
        RegCloseKey(m_hKey);
    }
}

std::wstring CRunningState::SessionName() {
    DWORD dwSession = 0;
    ProcessIdToSessionId(GetCurrentProcessId(), &dwSession);
    return std::to_wstring(dwSession);
}

std::wstring CRunningState::SessionKey() {
    return widetext::Widen(CPublishedState::KEY) + L"\\" + SessionName();
}

void CRunningState::Publish(const std::string& strUserFile, const std::string& strInstalledFile,
                            bool bElevated) {
    // The keys above it are made lasting first: made with it, they would be
    // volatile too, and the user's own settings kept there would go at logoff.
    HKEY hParent = nullptr;
    if (m_hKey == nullptr &&
        RegCreateKeyExW(HKEY_CURRENT_USER, widetext::Widen(CPublishedState::KEY).c_str(), 0,
                        nullptr, REG_OPTION_NON_VOLATILE, KEY_CREATE_SUB_KEY, nullptr, &hParent,
                        nullptr) == ERROR_SUCCESS) {
        // Volatile: a KV480 that never removed it leaves nothing after logoff.
        if (RegCreateKeyExW(hParent, SessionName().c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                            KEY_SET_VALUE, nullptr, &m_hKey, nullptr) != ERROR_SUCCESS) {
            m_hKey = nullptr;
        }
        RegCloseKey(hParent);
    }
    if (m_hKey == nullptr) {
        // Without it the editor says KV480 is not running; the keys still work.
        return;
    }
    // The process last: a reader that sees it finds the rest written.
    RegDeleteValueW(m_hKey, widetext::Widen(CPublishedState::VALUE_PROCESS).c_str());
    SetText(m_hKey, CPublishedState::VALUE_VERSION, OwnVersion());
    SetText(m_hKey, CPublishedState::VALUE_USER_FILE, strUserFile);
    SetText(m_hKey, CPublishedState::VALUE_INSTALLED_FILE, strInstalledFile);
    SetNumber(m_hKey, CPublishedState::VALUE_ELEVATED, bElevated ? 1 : 0);
    SetText(m_hKey, CPublishedState::VALUE_MODE, std::string());
    SetNumber(m_hKey, CPublishedState::VALUE_PROCESS, GetCurrentProcessId());
}

void CRunningState::PublishMode(const std::string& strMode) {
    if (m_hKey != nullptr) {
        SetText(m_hKey, CPublishedState::VALUE_MODE, strMode);
    }
}

void CRunningState::Withdraw() {
    if (m_hKey == nullptr) {
        return;
    }
    RegCloseKey(m_hKey);
    m_hKey = nullptr;
    RegDeleteKeyW(HKEY_CURRENT_USER, SessionKey().c_str());
}

CPublishedState CRunningState::Read() {
    HKEY hKey = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, SessionKey().c_str(), 0, KEY_QUERY_VALUE, &hKey) !=
        ERROR_SUCCESS) {
        return CPublishedState();
    }
    const CPublishedState state = CPublishedState::Interpret(
        [hKey](const char* pszName) { return ReadValue(hKey, pszName); }, ProgramFileName);
    RegCloseKey(hKey);
    return state;
}
