#pragma once

#include <windows.h>

#include <string>

// Registry access for the settings: every call opens the key, does one read,
// write or delete, and closes the key again, so nothing stays open between
// calls. Callers only tell zero from nonzero; write failures and failed closes
// are also shown to the user here.
class CReg {
public:
    // Results of the reads and writes.
    enum : UINT {
        RESULT_OK = 0,
        RESULT_CANNOT_OPEN = 1,   // reads: the key cannot be opened
        RESULT_VALUE_FAILED = 2,  // value cannot be queried or set; object reads: wrong type
        RESULT_CLOSE_FAILED = 3,  // the operation succeeded, closing the key did not
        RESULT_CANNOT_CREATE = 4, // writes: the key can neither be opened nor created
        RESULT_WRONG_TYPE = 5     // plain reads: the value has another type
    };

    // Results of DeleteValue, which callers ignore: a key that cannot be
    // opened counts as nothing left to delete.
    enum : UINT { DELETE_FAILED = 0, DELETE_DONE = 1 };

    virtual ~CReg() = default;

    // REG_SZ up to its first zero byte. Results 1 and 2 leave strText as it was.
    UINT ReadString(HKEY hRoot, const std::string& strKey, const std::string& strName,
                    std::string& strText) const;
    // REG_SZ into pBuffer, which must hold the text and its terminating zero;
    // a text that does not fit returns 2. Only result 0 writes to pBuffer.
    UINT ReadString(HKEY hRoot, const char* pszKey, const char* pszName, char* pBuffer,
                    DWORD dwSize) const;

    // REG_DWORD. On a wrong type *pValue may already hold the value's bytes.
    UINT ReadDword(HKEY hRoot, const std::string& strKey, const std::string& strName,
                   DWORD* pValue) const;
    UINT ReadDword(HKEY hRoot, const char* pszKey, const char* pszName, DWORD* pValue) const;

    // The writes create the key and any missing parent when it cannot be opened.
    UINT WriteDword(HKEY hRoot, const std::string& strKey, const std::string& strName,
                    const DWORD* pValue) const;
    UINT WriteDword(HKEY hRoot, const char* pszKey, const char* pszName, DWORD dwValue) const;

    // Stores the text with its terminating zero as REG_SZ.
    UINT WriteString(HKEY hRoot, const std::string& strKey, const std::string& strName,
                     const std::string& strText) const;
    // Stores exactly dwLength bytes of pData as REG_SZ.
    UINT WriteString(HKEY hRoot, const char* pszKey, const char* pszName, const BYTE* pData,
                     DWORD dwLength) const;

    // DELETE_DONE when the value was deleted or the key cannot be opened,
    // DELETE_FAILED when deleting failed (the value is absent, for one).
    UINT DeleteValue(HKEY hRoot, const std::string& strKey, const std::string& strName) const;
};
