#include "CReg.h"

#include "MessageBox.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

namespace {

const char* const TEXT_CANNOT_CREATE = "Does not create registry key.";
const char* const TEXT_SET_FAILED = "Chyba pri cteni z registru.";
const char* const TEXT_CLOSE_FAILED = "Chyba pri praci s registry.";

// Icons of the boxes; NO_BOX keeps a failure silent.
const UINT NO_BOX = 0;
const UINT BOX_EXCLAMATION = MB_OK | MB_ICONEXCLAMATION;
const UINT BOX_STOP = MB_OK | MB_ICONSTOP;

void Show(const char* pszText, UINT nType) {
    framework::ShowMessageBox(nullptr, pszText, nullptr, nType);
}

// A failed close only matters when everything before it succeeded.
UINT AfterClose(UINT nResult, bool bClosed, UINT nCloseBox) {
    if (nResult != CReg::RESULT_OK || bClosed) {
        return nResult;
    }
    if (nCloseBox != NO_BOX) {
        Show(TEXT_CLOSE_FAILED, nCloseBox);
    }
    return CReg::RESULT_CLOSE_FAILED;
}

// Queries a REG_SZ value of an open key: its size first, then its data. The
// text ends at the first zero byte or, for data stored without one, at the
// end of the data.
UINT QueryText(HKEY hKey, const char* pszName, UINT nWrongType, std::string& strText) {
    DWORD dwType = REG_NONE;
    DWORD dwSize = 0;
    if (RegQueryValueExA(hKey, pszName, nullptr, &dwType, nullptr, &dwSize) != ERROR_SUCCESS) {
        return CReg::RESULT_VALUE_FAILED;
    }
    if (dwType != REG_SZ) {
        return nWrongType;
    }
    std::vector<char> data(dwSize);
    // The second query reports the size actually written, which may be less
    // than the first one announced.
    if (RegQueryValueExA(hKey, pszName, nullptr, &dwType, reinterpret_cast<BYTE*>(data.data()),
                         &dwSize) != ERROR_SUCCESS ||
        dwSize > data.size()) {
        return CReg::RESULT_VALUE_FAILED;
    }
    if (dwType != REG_SZ) {
        return nWrongType;
    }
    const auto itEnd = data.begin() + dwSize;
    strText.assign(data.begin(), std::find(data.begin(), itEnd, '\0'));
    return CReg::RESULT_OK;
}

// Reads a REG_SZ value into strText, which is set on results 0 and 3 only.
UINT ReadText(HKEY hRoot, const char* pszKey, const char* pszName, UINT nWrongType, UINT nCloseBox,
              std::string& strText) {
    HKEY hKey = nullptr;
    if (RegOpenKeyExA(hRoot, pszKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS) {
        return CReg::RESULT_CANNOT_OPEN;
    }
    std::string strValue;
    const UINT nResult = QueryText(hKey, pszName, nWrongType, strValue);
    const bool bClosed = RegCloseKey(hKey) == ERROR_SUCCESS;
    const UINT nFinal = AfterClose(nResult, bClosed, nCloseBox);
    if (nResult == CReg::RESULT_OK) {
        strText = strValue;
    }
    return nFinal;
}

UINT ReadDwordValue(HKEY hRoot, const char* pszKey, const char* pszName, UINT nWrongType,
                    UINT nCloseBox, DWORD* pValue) {
    if (pValue == nullptr) {
        // Without a destination the query would only report the size.
        return CReg::RESULT_VALUE_FAILED;
    }
    HKEY hKey = nullptr;
    if (RegOpenKeyExA(hRoot, pszKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS) {
        return CReg::RESULT_CANNOT_OPEN;
    }
    DWORD dwType = REG_NONE;
    DWORD dwSize = sizeof(DWORD);
    UINT nResult = CReg::RESULT_OK;
    if (RegQueryValueExA(hKey, pszName, nullptr, &dwType, reinterpret_cast<BYTE*>(pValue),
                         &dwSize) != ERROR_SUCCESS) {
        nResult = CReg::RESULT_VALUE_FAILED;
    } else if (dwType != REG_DWORD) {
        nResult = nWrongType;
    } else if (dwSize != sizeof(DWORD)) {
        // A truncated REG_DWORD would leave stale upper bytes in *pValue.
        nResult = CReg::RESULT_VALUE_FAILED;
    }
    const bool bClosed = RegCloseKey(hKey) == ERROR_SUCCESS;
    return AfterClose(nResult, bClosed, nCloseBox);
}

// Opens the key with full access, creating it and its parents when needed,
// and sets one value. Every failure is shown with nBox.
UINT WriteValue(HKEY hRoot, const char* pszKey, const char* pszName, DWORD dwType,
                const BYTE* pData, DWORD dwLength, UINT nBox) {
    HKEY hKey = nullptr;
    if (RegOpenKeyExA(hRoot, pszKey, 0, KEY_ALL_ACCESS, &hKey) != ERROR_SUCCESS &&
        RegCreateKeyExA(hRoot, pszKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        &hKey, nullptr) != ERROR_SUCCESS) {
        Show(TEXT_CANNOT_CREATE, nBox);
        return CReg::RESULT_CANNOT_CREATE;
    }
    UINT nResult = CReg::RESULT_OK;
    if (RegSetValueExA(hKey, pszName, 0, dwType, pData, dwLength) != ERROR_SUCCESS) {
        Show(TEXT_SET_FAILED, nBox);
        nResult = CReg::RESULT_VALUE_FAILED;
    }
    const bool bClosed = RegCloseKey(hKey) == ERROR_SUCCESS;
    return AfterClose(nResult, bClosed, nBox);
}

} // namespace

UINT CReg::ReadString(HKEY hRoot, const std::string& strKey, const std::string& strName,
                      std::string& strText) const {
    return ReadText(hRoot, strKey.c_str(), strName.c_str(), RESULT_VALUE_FAILED, BOX_EXCLAMATION,
                    strText);
}

UINT CReg::ReadString(HKEY hRoot, const char* pszKey, const char* pszName, char* pBuffer,
                      DWORD dwSize) const {
    if (pBuffer == nullptr || dwSize == 0) {
        // Not even the empty text fits.
        return RESULT_VALUE_FAILED;
    }
    std::string strText;
    const UINT nResult = ReadText(hRoot, pszKey, pszName, RESULT_WRONG_TYPE, NO_BOX, strText);
    if (nResult != RESULT_OK && nResult != RESULT_CLOSE_FAILED) {
        return nResult;
    }
    if (strText.size() >= dwSize) {
        // Leave the buffer alone rather than cut the text or overrun it.
        return RESULT_VALUE_FAILED;
    }
    std::memcpy(pBuffer, strText.c_str(), strText.size() + 1);
    return nResult;
}

UINT CReg::ReadDword(HKEY hRoot, const std::string& strKey, const std::string& strName,
                     DWORD* pValue) const {
    return ReadDwordValue(hRoot, strKey.c_str(), strName.c_str(), RESULT_VALUE_FAILED,
                          BOX_EXCLAMATION, pValue);
}

UINT CReg::ReadDword(HKEY hRoot, const char* pszKey, const char* pszName, DWORD* pValue) const {
    return ReadDwordValue(hRoot, pszKey, pszName, RESULT_WRONG_TYPE, NO_BOX, pValue);
}

UINT CReg::WriteDword(HKEY hRoot, const std::string& strKey, const std::string& strName,
                      const DWORD* pValue) const {
    if (pValue == nullptr) {
        Show(TEXT_SET_FAILED, BOX_EXCLAMATION);
        return RESULT_VALUE_FAILED;
    }
    return WriteDword(hRoot, strKey.c_str(), strName.c_str(), *pValue);
}

UINT CReg::WriteDword(HKEY hRoot, const char* pszKey, const char* pszName, DWORD dwValue) const {
    return WriteValue(hRoot, pszKey, pszName, REG_DWORD, reinterpret_cast<const BYTE*>(&dwValue),
                      sizeof(dwValue), BOX_EXCLAMATION);
}

UINT CReg::WriteString(HKEY hRoot, const std::string& strKey, const std::string& strName,
                       const std::string& strText) const {
    if (strText.size() >= std::numeric_limits<DWORD>::max()) {
        // Its length with the terminating zero cannot be passed on uncut.
        Show(TEXT_SET_FAILED, BOX_STOP);
        return RESULT_VALUE_FAILED;
    }
    return WriteString(hRoot, strKey.c_str(), strName.c_str(),
                       reinterpret_cast<const BYTE*>(strText.c_str()),
                       static_cast<DWORD>(strText.size() + 1));
}

UINT CReg::WriteString(HKEY hRoot, const char* pszKey, const char* pszName, const BYTE* pData,
                       DWORD dwLength) const {
    if (pData == nullptr && dwLength != 0) {
        Show(TEXT_SET_FAILED, BOX_STOP);
        return RESULT_VALUE_FAILED;
    }
    return WriteValue(hRoot, pszKey, pszName, REG_SZ, pData, dwLength, BOX_STOP);
}

UINT CReg::DeleteValue(HKEY hRoot, const std::string& strKey, const std::string& strName) const {
    HKEY hKey = nullptr;
    if (RegOpenKeyExA(hRoot, strKey.c_str(), 0, KEY_SET_VALUE, &hKey) != ERROR_SUCCESS) {
        return DELETE_DONE;
    }
    const UINT nResult =
        RegDeleteValueA(hKey, strName.c_str()) == ERROR_SUCCESS ? DELETE_DONE : DELETE_FAILED;
    RegCloseKey(hKey);
    return nResult;
}
