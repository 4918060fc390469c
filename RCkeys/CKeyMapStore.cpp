#include "CKeyMapStore.h"

#include "SystemErrorText.h"
#include "WideText.h"
#include "WindowFacts.h"

#include <windows.h>

#include <vector>

namespace {

// An indexer, a virus scanner or a sync tool may hold the file for a moment.
constexpr DWORD REPLACE_TRIES_MS = 3000;
constexpr DWORD REPLACE_PAUSE_MS = 100;

bool IsPassing(DWORD dwError) {
    return dwError == ERROR_SHARING_VIOLATION || dwError == ERROR_LOCK_VIOLATION ||
           dwError == ERROR_ACCESS_DENIED || dwError == ERROR_UNABLE_TO_REMOVE_REPLACED;
}

bool IsUnreachable(DWORD dwError) {
    return dwError == ERROR_BAD_NETPATH || dwError == ERROR_NETNAME_DELETED ||
           dwError == ERROR_NETWORK_UNREACHABLE || dwError == ERROR_BAD_NET_NAME ||
           dwError == ERROR_UNEXP_NET_ERR || dwError == ERROR_SEM_TIMEOUT ||
           dwError == ERROR_PATH_NOT_FOUND || dwError == ERROR_DEV_NOT_EXIST;
}

// Puts the written temporary file in the place of strFile. ReplaceFileW keeps
// the file's permissions, attributes, and a link as a link; MoveFileExW would
// give it the temporary file's. ERROR_SUCCESS or why not.
DWORD PutInPlace(const wchar_t* pszTemp, const std::wstring& strFile) {
    const ULONGLONG ullStart = GetTickCount64();
    for (;;) {
        DWORD dwError = ERROR_SUCCESS;
        const DWORD dwAttributes = GetFileAttributesW(strFile.c_str());
        if (dwAttributes == INVALID_FILE_ATTRIBUTES) {
            dwError = GetLastError();
            if (dwError == ERROR_FILE_NOT_FOUND) {
                if (MoveFileExW(pszTemp, strFile.c_str(), MOVEFILE_WRITE_THROUGH)) {
                    return ERROR_SUCCESS;
                }
                dwError = GetLastError();
            }
        } else if ((dwAttributes & FILE_ATTRIBUTE_READONLY) != 0) {
            return ERROR_FILE_READ_ONLY;
        } else if (ReplaceFileW(strFile.c_str(), pszTemp, nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                                nullptr, nullptr)) {
            return ERROR_SUCCESS;
        } else {
            dwError = GetLastError();
            // Without a backup name this means the old file is gone and the
            // new one still has the temporary name: only the move is left.
            if (dwError == ERROR_UNABLE_TO_MOVE_REPLACEMENT &&
                MoveFileExW(pszTemp, strFile.c_str(), MOVEFILE_WRITE_THROUGH)) {
                return ERROR_SUCCESS;
            }
        }
        if (!IsPassing(dwError) || GetTickCount64() - ullStart >= REPLACE_TRIES_MS) {
            return dwError;
        }
        Sleep(REPLACE_PAUSE_MS);
    }
}

// In words that fit each of its callers: Save, Export and Import.
std::string SaveFailure(const std::string& strFile, DWORD dwError) {
    if (dwError == ERROR_FILE_READ_ONLY) {
        return strFile +
               " is read-only, so it was not written. Clear its read-only attribute "
               "(Properties in Explorer) and try again; your keys stay here meanwhile.";
    }
    if (IsUnreachable(dwError)) {
        return strFile + " cannot be reached, so it was not written: " +
               SystemErrorText(dwError) +
               ".\nTry again when the folder is back; your keys stay here meanwhile.";
    }
    return strFile + " cannot be written: " + SystemErrorText(dwError) + ".";
}

std::string FolderOf(const std::string& strFile) {
    const std::size_t nSlash = strFile.find_last_of("\\/");
    return nSlash == std::string::npos ? std::string(".") : strFile.substr(0, nSlash);
}

} // namespace

CKeyMapStore::ReadResult CKeyMapStore::Read(const std::string& strFile, std::size_t nMaxBytes,
                                            std::string& strBytes) {
    strBytes.clear();
    const std::wstring strWide = widetext::Widen(strFile);
    const DWORD dwAttributes = GetFileAttributesW(strWide.c_str());
    if (dwAttributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD dwError = GetLastError();
        return dwError == ERROR_FILE_NOT_FOUND || dwError == ERROR_PATH_NOT_FOUND
                   ? ReadResult::Missing
                   : ReadResult::Unreadable;
    }
    if ((dwAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return ReadResult::Folder;
    }
    // Another program may be writing it: share everything.
    const HANDLE hFile = CreateFileW(strWide.c_str(), GENERIC_READ,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE) {
        return GetLastError() == ERROR_FILE_NOT_FOUND ? ReadResult::Missing
                                                      : ReadResult::Unreadable;
    }
    std::vector<char> buffer(nMaxBytes + 1);
    DWORD dwTotal = 0;
    DWORD dwRead = 0;
    bool bOk = true;
    while (dwTotal < buffer.size()) {
        if (!ReadFile(hFile, buffer.data() + dwTotal, static_cast<DWORD>(buffer.size()) - dwTotal,
                      &dwRead, nullptr)) {
            bOk = false;
            break;
        }
        if (dwRead == 0) {
            break;
        }
        dwTotal += dwRead;
    }
    CloseHandle(hFile);
    if (!bOk) {
        // Part of a file is not the file: saving it would lose the rest.
        return ReadResult::Unreadable;
    }
    strBytes.assign(buffer.data(), dwTotal);
    return ReadResult::Ok;
}

bool CKeyMapStore::Write(const std::string& strFile, const std::string& strBytes,
                         std::string& strError) {
    const std::string strFolder = FolderOf(strFile);
    const std::wstring strWideFolder = widetext::Widen(strFolder);
    if (!CreateDirectoryW(strWideFolder.c_str(), nullptr) &&
        GetLastError() != ERROR_ALREADY_EXISTS) {
        strError =
            "The folder " + strFolder + " cannot be made: " + SystemErrorText(GetLastError()) + ".";
        return false;
    }
    wchar_t szTemp[MAX_PATH] = L"";
    if (GetTempFileNameW(strWideFolder.c_str(), L"key", 0, szTemp) == 0) {
        strError =
            "No file can be written in " + strFolder + ": " + SystemErrorText(GetLastError()) + ".";
        return false;
    }
    const HANDLE hFile = CreateFileW(szTemp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
    bool bWritten = false;
    DWORD dwError = ERROR_SUCCESS;
    if (hFile != INVALID_HANDLE_VALUE) {
        DWORD dwDone = 0;
        bWritten = WriteFile(hFile, strBytes.data(), static_cast<DWORD>(strBytes.size()), &dwDone,
                             nullptr) &&
                   dwDone == strBytes.size() && FlushFileBuffers(hFile);
        dwError = GetLastError();
        CloseHandle(hFile);
    } else {
        dwError = GetLastError();
    }
    if (bWritten) {
        dwError = PutInPlace(szTemp, widetext::Widen(strFile));
        if (dwError == ERROR_SUCCESS) {
            return true;
        }
    }
    DeleteFileW(szTemp);
    strError = SaveFailure(strFile, dwError);
    return false;
}

namespace {

// The path as the file system knows it: full, and with long names where the
// file or its folders exist.
std::wstring CanonicalPath(const std::string& strFile) {
    const std::wstring strWide = widetext::Widen(strFile);
    const DWORD nFull = GetFullPathNameW(strWide.c_str(), 0, nullptr, nullptr);
    if (nFull == 0) {
        return strWide;
    }
    std::wstring strFull(nFull, L'\0');
    strFull.resize(GetFullPathNameW(strWide.c_str(), nFull, &strFull[0], nullptr));
    const DWORD nLong = GetLongPathNameW(strFull.c_str(), nullptr, 0);
    if (nLong == 0) {
        return strFull;
    }
    std::wstring strLong(nLong, L'\0');
    strLong.resize(GetLongPathNameW(strFull.c_str(), &strLong[0], nLong));
    return strLong;
}

} // namespace

bool CKeyMapStore::IsSameFile(const std::string& strFirst, const std::string& strSecond) {
    const std::wstring strA = CanonicalPath(strFirst);
    const std::wstring strB = CanonicalPath(strSecond);
    return CompareStringOrdinal(strA.c_str(), static_cast<int>(strA.size()), strB.c_str(),
                                static_cast<int>(strB.size()), TRUE) == CSTR_EQUAL;
}
