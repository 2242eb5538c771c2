// Reading and writing the user's text files (the sample text editor's Open
// and Save) and deleting a file the user may have protected.
//
// The text is the file's bytes as they stand (GBK, Big5 or any ANSI text,
// CR LF kept). Messages are catalogue texts; this module does not know the
// catalogue, it asks the caller's CTextFileMessages for them.
#pragma once

#include <string>

class CFileReplaceObserver;

// The catalogue rows the text-file functions report with.
constexpr char kMsgNotAValidWindowsPath[] = "IDS_ERROR_FILE_NOT_A_VALID_WINDOWS_PATH";        // #1 path
constexpr char kMsgPathIsADirectory[] = "IDS_ERROR_FILE_PATH_IS_A_DIRECTORY_NOT_A_FILE";      // #1 path
constexpr char kMsgPromptWriteProtected[] = "IDS_MESSAGE_PROMPT_WRITE_INTO_A_READONLY_HIDDEN_SYSTEM_FILE";  // #1 path, #2 attributes
constexpr char kMsgCanceledByUser[] = "IDS_MESSAGE_PROMPT_OPERATION_CANCELED_BY_USER";
constexpr char kMsgCannotWriteFile[] = "IDS_ERROR_FILE_CAN_NOT_WRITE_FILE_CHECK_FP_DISK_FULL";  // %1 path
constexpr char kMsgAttributeNames[] = "IDS_PXT_ATTRIBUTES";  // lines: Attributes, Normal, Read-only, Hidden, Archive, System

// What the writer needs from the user interface.
class CTextFileMessages {
public:
    virtual ~CTextFileMessages() = default;
    // The catalogue text of `pszKey` in the current interface language, with
    // "%1" replaced by `strParam1` ("#1", "#2" are left for the writer).
    virtual std::string GetText(const char* pszKey, const std::string& strParam1) const = 0;
    // Shows `strText` in a Yes/No message box; true only for Yes.
    virtual bool AskYesNo(const std::string& strText) = 0;
};

// Every "#n" of `strText` (n = `pszPlaceholder`) replaced by `strValue`.
std::string ReplacePlaceholder(const std::string& strText, const char* pszPlaceholder, const std::string& strValue);

// The names of the protecting attributes for the prompt, from the lines of
// IDS_PXT_ATTRIBUTES: each written "%s" in quotes and joined by " + ", as in
// "Read-only" + "Hidden". A missing line gives an empty name.
std::string FormatAttributeNames(const std::string& strAttributeLines, bool bReadOnly, bool bHidden, bool bSystem);

// Windows only (TextFileWin32.cpp).

// Results of ReadTextFile.
constexpr int kReadNotATextFile = -1;  // no such file, a folder, or a binary file
constexpr int kReadCannotOpen = 0;
constexpr int kReadWhole = 1;
constexpr int kReadHeadOnly = 2;       // Windows 95 family: only the first kReadHeadBytes
constexpr unsigned kReadHeadBytes = 60000;

// Results of WriteTextFile.
constexpr int kWriteInvalidPath = 0;
constexpr int kWriteSucceeded = 1;
constexpr int kWriteIsAFolder = -1;
constexpr int kWriteCanceled = -2;
constexpr int kWriteFailed = -3;

// True for an existing file (not a folder; `bExists` tells) whose first
// 32768 bytes hold a zero byte. A file that cannot be read is not binary.
bool IsBinaryFile(const std::string& strPath, bool& bExists);

// Reads the file into `strText`. A path ending in ".lnk" reads the target of
// the shortcut. Without `bWhole`, a Windows 95-family system reads only the
// head of a file longer than kReadHeadBytes (its edit controls hold no more).
int ReadTextFile(const std::string& strPath, std::string& strText, bool bWhole);

// ReadTextFile with the system family given, for callers and tests that
// must decide it themselves.
int ReadTextFileOn(const std::string& strPath, std::string& strText, bool bWhole, bool bWindowsNT);

// Writes the text as the whole content of the file. The old content
// survives any failure: the text goes to a temporary file that replaces the
// target only when complete (FileReplace.h). A read-only, hidden or system
// file is written only after the user says Yes, and keeps its attributes.
// Returns a kWrite... result; `strMessage` is empty on success and otherwise
// the text to show. `pObserver` is for tests (FileReplace.h).
int WriteTextFile(const std::string& strPath, const std::string& strText, std::string& strMessage,
                  CTextFileMessages& messages, CFileReplaceObserver* pObserver = nullptr);

// Empties the file through WriteTextFile (so a protected file is prompted
// for) and, only when that succeeded, deletes it, read-only or not.
// `strMessage` as for WriteTextFile, or empty when only the deletion failed
// (the file then keeps its attributes, and is empty).
bool DeleteFileChecked(const std::string& strPath, std::string& strMessage, CTextFileMessages& messages);
