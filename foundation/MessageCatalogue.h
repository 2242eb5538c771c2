// Look-up of the message catalogue: every text either program shows, in
// English, Simplified Chinese (GBK) or Traditional Chinese (Big5).
//
// Texts may hold "%1", "%2" and "%3", which GetMessage fills from its
// arguments, and "#1", "#2" and "#3", which the caller fills afterwards with
// ReplacePlaceholder (TextFile.h). A text of several lines is a set of labels
// taken apart by line number with GetMessageLines.
#pragma once

#include "MessageIds.h"
#include "MessageTable.h"

#include <cstdint>
#include <string>
#include <vector>

// Column selectors of GetMessage. Any other value means the current
// interface language (InterfaceLanguage.h).
enum MessageLanguage : int {
    MessageLanguageCurrent = 0,
    MessageLanguageEnglish = 1,
    MessageLanguageSimplified = 2,
    MessageLanguageTraditional = 3,
};

// Rows of the table, the end row included.
int CountMessages();

// The row of `nId`, or null when the table has none (0 finds nothing either).
const CMessageRow* FindMessageRow(std::int32_t nId);

// The id of the row named `strKey` (case-sensitive), or 0.
std::int32_t FindMessageId(const std::string& strKey);

// The column `nLanguage` selects; for the current language English when the
// LCID is 1033, Simplified when it is 2052 and Traditional for every other.
int MessageColumnFor(int nLanguage, std::uint32_t nCurrentLCID);

// The text of a row's column (1 English, 2 Simplified, 3 Traditional).
const char* MessageColumnText(const CMessageRow& row, int nColumn);

// <windows.h> defines GetMessage as GetMessageA. Whichever of the two headers
// a file includes first, the catalogue look-up below is then reached under
// that name too (the message-loop GetMessageA keeps its own parameters, so
// overloading picks the right one).
#if defined(_WIN32) && !defined(GetMessage)
std::string GetMessageA(std::int32_t nId, const std::string& strParam1 = std::string(),
                        const std::string& strParam2 = std::string(),
                        const std::string& strParam3 = std::string(),
                        int nLanguage = MessageLanguageCurrent);
#endif

// The text of row `nId` in `nLanguage` with its placeholders filled: if the
// text holds "%1", every "%1" becomes `strParam1`; only then, and only if
// "%2" occurs, every "%2" becomes `strParam2`; only then, and only if "%3"
// occurs, every "%3" becomes `strParam3`. So a text without "%1" comes back
// untouched, and one with "%1" and "%3" but no "%2" keeps its "%3". The
// arguments are inserted as they are: a "%2" inside `strParam1` (a path, say)
// stays. A missing id gives an empty text.
std::string GetMessage(std::int32_t nId, const std::string& strParam1 = std::string(),
                       const std::string& strParam2 = std::string(),
                       const std::string& strParam3 = std::string(),
                       int nLanguage = MessageLanguageCurrent);

// The placeholder step of GetMessage on any text.
std::string SubstituteMessageParams(const std::string& strText, const std::string& strParam1,
                                    const std::string& strParam2, const std::string& strParam3);

// GetMessage of the row named `strKey`; empty when there is none.
std::string GetMessageByKey(const std::string& strKey, const std::string& strParam1 = std::string(),
                            const std::string& strParam2 = std::string(),
                            const std::string& strParam3 = std::string(),
                            int nLanguage = MessageLanguageCurrent);

// Splits `strText` at CR LF into `arrLines` (emptied first) and returns the
// number of pieces. An empty text gives none; empty pieces are kept; a CR LF
// at the very end opens no further piece. A double-byte character is never
// cut: the search steps over a GBK or Big5 lead byte and its trail byte.
int SplitLines(std::vector<std::string>& arrLines, const std::string& strText);

// The lines of row `nId` in the current language, as the row holds them
// (placeholders are the caller's to fill). When their number is not
// `nExpectedCount` the English lines are taken instead and the answer is
// false, so a translation with a line missing or added shows the English
// set, never a set shifted by one.
bool GetMessageLines(std::vector<std::string>& arrLines, std::int32_t nId, int nExpectedCount);

// GetMessageLines on a given row in column `nColumn` (1 English,
// 2 Simplified, 3 Traditional).
bool GetRowLines(std::vector<std::string>& arrLines, const CMessageRow& row, int nColumn, int nExpectedCount);
