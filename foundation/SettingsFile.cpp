#include "SettingsFile.h"

#include "TextTrim.h"

#include <cstring>
#include <fstream>
#include <new>

namespace {

const char kBlockKeyTail[] = " = {{Block}}";          // ends a block key line
const std::size_t kBlockKeyTailLength = sizeof kBlockKeyTail - 1;  // 12
const std::size_t kBlockWordLength = 9;                // "{{Block}}", cut from the key line
const char kBlockStart[] = "<B Start>";
const char kBlockEnd[] = "<B End>";
const char kLineBreak[] = "\r\n";
const char kLineBreakInName[] = "    ";                 // a CR LF in a name or key reads as this

// Every occurrence of `strFrom` (not empty), left to right and without
// overlap, replaced by `strTo`.
std::string ReplaceAll(const std::string& strText, const std::string& strFrom, const std::string& strTo)
{
    std::string strResult;
    strResult.reserve(strText.size());
    std::string::size_type nPos = 0;
    for (;;) {
        const std::string::size_type nHit = strText.find(strFrom, nPos);
        if (nHit == std::string::npos)
            break;
        strResult.append(strText, nPos, nHit - nPos);
        strResult += strTo;
        nPos = nHit + strFrom.size();
    }
    strResult.append(strText, nPos, std::string::npos);
    return strResult;
}

bool EndsWith(const std::string& strText, const char* pszTail, std::size_t nTailLength)
{
    return strText.size() >= nTailLength
        && strText.compare(strText.size() - nTailLength, nTailLength, pszTail) == 0;
}

bool IsBlankOnly(const std::string& strText)
{
    return strText.find_first_not_of(kTrimBlankChars) == std::string::npos;
}

// Reads the whole file as bytes. Text mode is not used: on Windows it would
// end the file at the first Ctrl-Z byte, and it would behave differently in
// the native tree. The CR of a CR LF is removed when the lines are cut.
bool ReadWholeFile(const std::string& strPath, std::string& strData)
{
    std::ifstream file(strPath, std::ios::in | std::ios::binary);
    if (!file.is_open())
        return false;
    char buffer[16 * 1024];
    for (;;) {
        file.read(buffer, sizeof buffer);
        const std::streamsize nRead = file.gcount();
        if (nRead > 0) {
            // Read in chunks and check as we go rather than trusting a size
            // asked of the file system: the file may grow, or not be a
            // regular file at all.
            if (strData.size() + static_cast<std::size_t>(nRead) > CSettingsFile::kMaxFileBytes)
                return false;
            strData.append(buffer, static_cast<std::size_t>(nRead));
        }
        if (!file)
            break;
    }
    return !file.bad();
}

// Turns the physical lines of one file into tidied logical lines.
//
// Tidying (trim every line, drop the empty ones, a blank line before every
// header but the first line) depends on nothing but the line itself and what
// came before it, so each logical line is tidied as it is made instead of in a
// second pass: the result is the same, and a file of many short or empty
// lines never sits in memory twice.
class CLineLoader {
public:
    explicit CLineLoader(std::vector<std::string>& arrLines) : m_arrLines(arrLines) {}

    void HandlePhysicalLine(std::string strLine)
    {
        if (!m_bInBlock) {
            if (EndsWith(strLine, kBlockKeyTail, kBlockKeyTailLength)) {
                // A line that is nothing but " = {{Block}}" names no key and
                // is dropped; otherwise the pending value starts as "key = ".
                if (strLine.size() > kBlockKeyTailLength) {
                    strLine.resize(strLine.size() - kBlockWordLength);
                    m_strPending = std::move(strLine);
                    m_bFirstBlockLine = true;
                    m_bInBlock = true;
                }
                return;
            }
            AppendTidied(std::move(strLine));
            return;
        }
        if (strLine == kBlockStart)
            return;
        if (strLine == kBlockEnd) {
            FinishBlock();
            return;
        }
        if (!m_bFirstBlockLine)
            m_strPending += kLineBreak;
        m_strPending += strLine;
        m_bFirstBlockLine = false;
    }

    void Finish()
    {
        // A block still open at the end of the file keeps every line it got.
        if (m_bInBlock)
            FinishBlock();
        SeparateTrailingComments();
    }

private:
    void FinishBlock()
    {
        std::string strValue = ReplaceAll(m_strPending, "<<", "<");
        strValue = ReplaceAll(strValue, ">>", ">");
        m_strPending.clear();
        m_bInBlock = false;
        AppendTidied(std::move(strValue));
    }

    void AppendTidied(std::string strLine)
    {
        TrimBlank(strLine);
        if (strLine.empty())
            return;
        // The blank line ends the previous section for FindSection's count.
        if (CSettingsFile::IsSectionHeader(strLine) && !m_arrLines.empty())
            m_arrLines.emplace_back();
        m_arrLines.push_back(std::move(strLine));
    }

    // A run of comments at the end of the file gets a blank line before it,
    // so that it belongs to no section. The first line is never looked at:
    // a file of one line followed only by comments is left as it is.
    void SeparateTrailingComments()
    {
        const std::size_t nCount = m_arrLines.size();
        for (std::size_t i = nCount; i-- > 1;) {
            if (!CSettingsFile::IsComment(m_arrLines[i])) {
                if (i + 1 != nCount)
                    m_arrLines.emplace(m_arrLines.begin() + static_cast<std::ptrdiff_t>(i + 1));
                return;
            }
        }
    }

    std::vector<std::string>& m_arrLines;
    bool m_bInBlock = false;
    bool m_bFirstBlockLine = false;
    std::string m_strPending;
};

// Cuts the file image into physical lines at LF and hands them to the loader.
//
// A physical line is taken whole, however long. The lines of the system's
// files stay below 1,022 characters, but a longer line is kept intact rather
// than cut into pieces, because a piece would be read as a line of its own
// and could pass for a header, a key or a block marker; and reading does not
// stop at it, so the lines after it are not lost. Memory stays bounded by
// kMaxFileBytes.
//
// A CR before the LF (and a CR ending the last line) belongs to the line end.
// A line's text ends at its first zero byte: the rest of the system hands
// these strings to interfaces that stop there, so a value must never hold a
// zero byte that would silently shorten it later.
void LoadLines(const char* pData, std::size_t nSize, std::vector<std::string>& arrLines)
{
    CLineLoader loader(arrLines);
    std::size_t nPos = 0;
    for (;;) {
        const void* pBreak = std::memchr(pData + nPos, '\n', nSize - nPos);
        const std::size_t nEnd = pBreak ? static_cast<std::size_t>(static_cast<const char*>(pBreak) - pData)
                                        : nSize;
        std::size_t nLength = nEnd - nPos;
        if (const void* pZero = std::memchr(pData + nPos, '\0', nLength))
            nLength = static_cast<std::size_t>(static_cast<const char*>(pZero) - (pData + nPos));
        if (nLength > 0 && pData[nPos + nLength - 1] == '\r')
            --nLength;
        loader.HandlePhysicalLine(std::string(pData + nPos, nLength));
        if (!pBreak)
            break;
        nPos = nEnd + 1;
    }
    loader.Finish();
}

}  // namespace

CSettingsFile::CSettingsFile(bool bCompact) : m_bCompact(bCompact) {}

CSettingsFile::~CSettingsFile()
{
    RemoveAll();
}

bool CSettingsFile::Load(const std::string& strPath)
{
    RemoveAll();
    try {
        std::string strData;
        if (ReadWholeFile(strPath, strData))
            LoadLines(strData.data(), strData.size(), m_arrLines);
    } catch (const std::bad_alloc&) {
        // Out of memory loads as an unreadable file does; no half-loaded state.
        RemoveAll();
    }
    return true;
}

bool CSettingsFile::LoadFromMemory(const char* pData, std::size_t nSize)
{
    RemoveAll();
    if (pData == nullptr || nSize > kMaxFileBytes)
        return true;
    try {
        LoadLines(pData, nSize, m_arrLines);
    } catch (const std::bad_alloc&) {
        RemoveAll();
    }
    return true;
}

void CSettingsFile::RemoveAll()
{
    m_arrLines.clear();
}

int CSettingsFile::FindSection(const std::string& strSection, int& nLineCount) const
{
    nLineCount = 0;
    std::string strName = ReplaceAll(strSection, kLineBreak, kLineBreakInName);
    TrimBlank(strName);
    const std::string strHeader = "[" + strName + "]";

    const std::size_t nCount = m_arrLines.size();
    for (std::size_t i = 0; i < nCount; ++i) {
        // A bracketed line holding "=" is no header, so a name with "=" in it
        // never finds one.
        if (m_arrLines[i] != strHeader || !IsSectionHeader(m_arrLines[i]))
            continue;
        std::size_t nNext = i + 1;
        while (nNext < nCount && !IsBlankOnly(m_arrLines[nNext]) && !IsSectionHeader(m_arrLines[nNext]))
            ++nNext;
        // Both fit in an int: the file size bound keeps the line count far below it.
        nLineCount = static_cast<int>(nNext - i - 1);
        return static_cast<int>(i);
    }
    return -1;
}

int CSettingsFile::FindKey(int nStart, const std::string& strKey, std::string& strValue) const
{
    // Built before strValue is touched, in case the caller passed one string as both.
    const std::string strMatch = ReplaceAll(strKey, kLineBreak, kLineBreakInName) + (m_bCompact ? "=" : " = ");
    strValue.clear();
    if (nStart < 0)
        return -1;

    const std::size_t nCount = m_arrLines.size();
    for (std::size_t i = static_cast<std::size_t>(nStart); i < nCount; ++i) {
        const std::string& strLine = m_arrLines[i];
        if (IsSectionHeader(strLine))
            return -1;
        if (strLine.size() < strMatch.size())
            continue;
        if (strLine.compare(0, strMatch.size(), strMatch) == 0) {
            strValue.assign(strLine, strMatch.size(), std::string::npos);
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool CSettingsFile::GetString(const std::string& strSection, const std::string& strKey,
                              const std::string& strDefault, std::string& strValue) const
{
    int nLineCount = 0;
    const int nHeader = FindSection(strSection, nLineCount);
    std::string strFound;
    if (nHeader >= 0 && FindKey(nHeader + 1, strKey, strFound) >= 0) {
        strValue = std::move(strFound);
        return true;
    }
    strValue = strDefault;
    return false;
}

bool CSettingsFile::GetBool(const std::string& strSection, const std::string& strKey,
                            bool bDefault, bool& bValue) const
{
    std::string strValue;
    if (!GetString(strSection, strKey, std::string(), strValue)) {
        bValue = bDefault;
        return false;
    }
    bValue = strValue.find("true") != std::string::npos;
    return true;
}

bool CSettingsFile::IsSectionHeader(const std::string& strLine)
{
    const std::string::size_type nFirst = strLine.find_first_not_of(kTrimBlankChars);
    if (nFirst == std::string::npos)
        return false;
    const std::string::size_type nLast = strLine.find_last_not_of(kTrimBlankChars);
    if (nLast - nFirst + 1 <= 1)
        return false;
    if (strLine[nFirst] != '[' || strLine[nLast] != ']')
        return false;
    return strLine.find('=', nFirst) > nLast;
}

bool CSettingsFile::IsComment(const std::string& strLine)
{
    return !strLine.empty() && strLine[0] == ';';
}
