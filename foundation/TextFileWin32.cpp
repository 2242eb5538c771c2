#include "TextFile.h"

#include "FileReplace.h"
#include "DbcsText.h"
#include "PathText.h"
#include "PathUtil.h"
#include "ScopedKernelHandles.h"
#include "ShellLink.h"
#include "SystemInfo.h"
#include "TextTrim.h"

#include <windows.h>

#include <cstring>
#include <exception>
#include <vector>

namespace {

constexpr DWORD kBinaryProbeBytes = 32768;
constexpr DWORD kProtectingAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

// Other programs may hold the file open for writing (an editor with the file
// loaded); reading it is still fine.
CScopedHandle OpenForReading(const std::string& strPath)
{
    return CScopedHandle(CreateFileA(strPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

// Up to `dwCount` bytes from the current position; fewer when the file ends first.
bool ReadBytes(HANDLE hFile, DWORD dwCount, std::string& strBytes)
{
    strBytes.assign(dwCount, '\0');
    DWORD dwTotal = 0;
    while (dwTotal < dwCount) {
        DWORD dwRead = 0;
        if (!ReadFile(hFile, &strBytes[dwTotal], dwCount - dwTotal, &dwRead, nullptr))
            return false;
        if (dwRead == 0)
            break;
        dwTotal += dwRead;
    }
    strBytes.resize(dwTotal);
    return true;
}

bool EndsWithSeparator(const std::string& strPath)
{
    return !strPath.empty() && (strPath.back() == '/' || EndsWithSingleByte(strPath, '\\', GetACP()));
}

}  // namespace

bool IsBinaryFile(const std::string& strPath, bool& bExists)
{
    const DWORD dwAttributes = strPath.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(strPath.c_str());
    bExists = dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    if (!bExists)
        return false;
    CScopedHandle file = OpenForReading(strPath);
    std::string strHead;
    if (!file || !ReadBytes(file.Get(), kBinaryProbeBytes, strHead))
        return false;
    return strHead.find('\0') != std::string::npos;
}

int ReadTextFile(const std::string& strPath, std::string& strText, bool bWhole)
{
    return ReadTextFileOn(strPath, strText, bWhole, IsWindowsNT());
}

int ReadTextFileOn(const std::string& strPath, std::string& strText, bool bWhole, bool bWindowsNT)
{
    strText.clear();
    std::string strFile = strPath;
    TrimBlank(strFile);
    if (HasLnkExtension(strFile)) {
        const std::string strTarget = ResolveShortcut(strFile);
        if (!strTarget.empty())
            strFile = strTarget;
    }

    bool bExists = false;
    if (IsBinaryFile(strFile, bExists) || !bExists)
        return kReadNotATextFile;
    CScopedHandle file = OpenForReading(strFile);
    if (!file)
        return kReadCannotOpen;

    DWORD dwSizeHigh = 0;
    const DWORD dwSize = GetFileSize(file.Get(), &dwSizeHigh);
    if ((dwSize == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) || dwSizeHigh != 0)
        return kReadCannotOpen;

    const bool bHeadOnly = !bWhole && !bWindowsNT && dwSize > kReadHeadBytes;
    try {
        if (!ReadBytes(file.Get(), bHeadOnly ? kReadHeadBytes : dwSize, strText)) {
            strText.clear();
            return kReadCannotOpen;
        }
    } catch (const std::exception&) {
        // A file larger than the process can hold (bad_alloc, length_error)
        // is as unreadable as a locked one, and says so instead of ending
        // the program.
        strText.clear();
        return kReadCannotOpen;
    }
    return bHeadOnly ? kReadHeadOnly : kReadWhole;
}

int WriteTextFile(const std::string& strPath, const std::string& strText, std::string& strMessage,
                  CTextFileMessages& messages, CFileReplaceObserver* pObserver)
{
    strMessage.clear();
    const std::string strFile = CleanWritePath(strPath, GetACP());

    if (!IsValidPath(strFile)) {
        strMessage = ReplacePlaceholder(messages.GetText(kMsgNotAValidWindowsPath, strFile), "#1", strFile);
        return kWriteInvalidPath;
    }
    if (EndsWithSeparator(strFile) || FolderExists(strFile)) {
        strMessage = ReplacePlaceholder(messages.GetText(kMsgPathIsADirectory, strFile), "#1", strFile);
        return kWriteIsAFolder;
    }

    auto cannotWrite = [&]() {
        strMessage = ReplacePlaceholder(messages.GetText(kMsgCannotWriteFile, strFile), "#1", strFile);
        return kWriteFailed;
    };

    const DWORD dwAttributes = GetFileAttributesA(strFile.c_str());
    const bool bProtected = dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & kProtectingAttributes) != 0;
    if (bProtected) {
        const std::string strNames = FormatAttributeNames(
            messages.GetText(kMsgAttributeNames, std::string()), (dwAttributes & FILE_ATTRIBUTE_READONLY) != 0,
            (dwAttributes & FILE_ATTRIBUTE_HIDDEN) != 0, (dwAttributes & FILE_ATTRIBUTE_SYSTEM) != 0);
        std::string strPrompt = messages.GetText(kMsgPromptWriteProtected, strFile);
        strPrompt = ReplacePlaceholder(ReplacePlaceholder(strPrompt, "#1", strFile), "#2", strNames);
        if (!messages.AskYesNo(strPrompt)) {
            strMessage = messages.GetText(kMsgCanceledByUser, std::string());
            return kWriteCanceled;
        }
        // Replacing a protected file is refused by the system; the file gets
        // its attributes back below, whether the write succeeds or not.
        if (!SetFileAttributesA(strFile.c_str(), dwAttributes & ~kProtectingAttributes))
            return cannotWrite();
    }

    const DWORD dwError = WriteFileReplacing(strFile, strText, pObserver);
    if (bProtected)
        SetFileAttributesA(strFile.c_str(), dwAttributes);
    if (dwError != ERROR_SUCCESS)
        return cannotWrite();
    return kWriteSucceeded;
}

bool DeleteFileChecked(const std::string& strPath, std::string& strMessage, CTextFileMessages& messages)
{
    if (WriteTextFile(strPath, std::string(), strMessage, messages) != kWriteSucceeded)
        return false;
    // The user has already agreed to write a protected file; a read-only
    // attribute left in place would refuse the deletion and leave the file
    // empty instead of gone.
    const std::string strFile = CleanWritePath(strPath, GetACP());
    const DWORD dwAttributes = GetFileAttributesA(strFile.c_str());
    if (dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_READONLY) != 0)
        SetFileAttributesA(strFile.c_str(), dwAttributes & ~FILE_ATTRIBUTE_READONLY);
    if (DeleteFileA(strFile.c_str()))
        return true;
    if (dwAttributes != INVALID_FILE_ATTRIBUTES)
        SetFileAttributesA(strFile.c_str(), dwAttributes);
    return false;
}
