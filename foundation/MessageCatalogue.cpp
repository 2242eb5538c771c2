#include "MessageCatalogue.h"

#include "InterfaceLanguage.h"

namespace {

// GBK and Big5 share the lead-byte range 0x81..0xFE and never use a byte
// below 0x40 as a trail byte, so one rule serves both Chinese columns and an
// English text is never misread: CR and LF cannot be swallowed as the second
// half of a character, even after a stray high byte.
bool IsLeadByte(unsigned char chByte)
{
    return chByte >= 0x81 && chByte <= 0xFE;
}

bool IsTrailByte(unsigned char chByte)
{
    return chByte >= 0x40 && chByte <= 0xFE && chByte != 0x7F;
}

// Index of the next CR LF at or after `nFrom` that stands as characters of
// its own, or npos.
std::size_t FindCrLf(const std::string& strText, std::size_t nFrom)
{
    const std::size_t nSize = strText.size();
    std::size_t i = nFrom;
    while (i + 1 < nSize) {
        const unsigned char ch = static_cast<unsigned char>(strText[i]);
        if (IsLeadByte(ch) && IsTrailByte(static_cast<unsigned char>(strText[i + 1]))) {
            i += 2;
            continue;
        }
        if (ch == '\r' && strText[i + 1] == '\n')
            return i;
        ++i;
    }
    return std::string::npos;
}

// The substitutions GetMessage makes, decided on the row's own text: "%2" is
// filled only when "%1" is, "%3" only when "%2" is.
struct CPlaceholderPlan {
    bool m_bFill[3] = {false, false, false};
};

CPlaceholderPlan PlanPlaceholders(const std::string& strText)
{
    CPlaceholderPlan plan;
    plan.m_bFill[0] = strText.find("%1") != std::string::npos;
    plan.m_bFill[1] = plan.m_bFill[0] && strText.find("%2") != std::string::npos;
    plan.m_bFill[2] = plan.m_bFill[1] && strText.find("%3") != std::string::npos;
    return plan;
}

// One pass over the text, so that an argument is inserted as it stands and
// never searched for placeholders itself. "%" (0x25) is never the trail byte
// of a GBK or Big5 character, so the byte search cannot match inside one.
std::string FillPlaceholders(const std::string& strText, const CPlaceholderPlan& plan,
                             const std::string* arrParams[3])
{
    std::string strResult;
    strResult.reserve(strText.size());
    const std::size_t nSize = strText.size();
    for (std::size_t i = 0; i < nSize; ++i) {
        if (strText[i] == '%' && i + 1 < nSize && strText[i + 1] >= '1' && strText[i + 1] <= '3') {
            const int n = strText[i + 1] - '1';
            if (plan.m_bFill[n]) {
                strResult += *arrParams[n];
                ++i;
                continue;
            }
        }
        strResult += strText[i];
    }
    return strResult;
}

}  // namespace

int CountMessages()
{
    int nCount = 0;
    while (g_arrMessageTable[nCount].m_nId != 0)
        ++nCount;
    return nCount + 1;
}

const CMessageRow* FindMessageRow(std::int32_t nId)
{
    if (nId == 0)
        return nullptr;
    for (const CMessageRow* pRow = g_arrMessageTable; pRow->m_nId != 0; ++pRow) {
        if (pRow->m_nId == nId)
            return pRow;
    }
    return nullptr;
}

std::int32_t FindMessageId(const std::string& strKey)
{
    for (const CMessageRow* pRow = g_arrMessageTable; pRow->m_nId != 0; ++pRow) {
        if (strKey == pRow->m_pszKey)
            return pRow->m_nId;
    }
    return 0;
}

int MessageColumnFor(int nLanguage, std::uint32_t nCurrentLCID)
{
    if (nLanguage >= MessageLanguageEnglish && nLanguage <= MessageLanguageTraditional)
        return nLanguage;
    if (nCurrentLCID == kLcidEnglish)
        return MessageLanguageEnglish;
    if (nCurrentLCID == kLcidSimplifiedChinese)
        return MessageLanguageSimplified;
    return MessageLanguageTraditional;
}

const char* MessageColumnText(const CMessageRow& row, int nColumn)
{
    switch (nColumn) {
    case MessageLanguageEnglish: return row.m_pszEnglish;
    case MessageLanguageSimplified: return row.m_pszSimplified;
    default: return row.m_pszTraditional;
    }
}

std::string SubstituteMessageParams(const std::string& strText, const std::string& strParam1,
                                    const std::string& strParam2, const std::string& strParam3)
{
    const CPlaceholderPlan plan = PlanPlaceholders(strText);
    if (!plan.m_bFill[0])
        return strText;
    const std::string* arrParams[3] = {&strParam1, &strParam2, &strParam3};
    return FillPlaceholders(strText, plan, arrParams);
}

std::string GetMessage(std::int32_t nId, const std::string& strParam1, const std::string& strParam2,
                       const std::string& strParam3, int nLanguage)
{
    const CMessageRow* pRow = FindMessageRow(nId);
    if (pRow == nullptr)
        return std::string();
    const int nColumn = MessageColumnFor(nLanguage, CurrentInterfaceLCID());
    return SubstituteMessageParams(MessageColumnText(*pRow, nColumn), strParam1, strParam2, strParam3);
}

#if defined(_WIN32)
std::string GetMessageA(std::int32_t nId, const std::string& strParam1, const std::string& strParam2,
                        const std::string& strParam3, int nLanguage)
{
    return GetMessage(nId, strParam1, strParam2, strParam3, nLanguage);
}
#endif

std::string GetMessageByKey(const std::string& strKey, const std::string& strParam1,
                            const std::string& strParam2, const std::string& strParam3, int nLanguage)
{
    const std::int32_t nId = FindMessageId(strKey);
    if (nId == 0)
        return std::string();
    return GetMessage(nId, strParam1, strParam2, strParam3, nLanguage);
}

int SplitLines(std::vector<std::string>& arrLines, const std::string& strText)
{
    arrLines.clear();
    std::size_t nStart = 0;
    while (nStart < strText.size()) {
        const std::size_t nEnd = FindCrLf(strText, nStart);
        if (nEnd == std::string::npos) {
            arrLines.push_back(strText.substr(nStart));
            break;
        }
        arrLines.push_back(strText.substr(nStart, nEnd - nStart));
        nStart = nEnd + 2;
    }
    return static_cast<int>(arrLines.size());
}

bool GetRowLines(std::vector<std::string>& arrLines, const CMessageRow& row, int nColumn, int nExpectedCount)
{
    if (SplitLines(arrLines, MessageColumnText(row, nColumn)) == nExpectedCount)
        return true;
    SplitLines(arrLines, row.m_pszEnglish);
    return false;
}

bool GetMessageLines(std::vector<std::string>& arrLines, std::int32_t nId, int nExpectedCount)
{
    // The row's own text: its "%1" markers belong to whoever fills the lines.
    const CMessageRow* pRow = FindMessageRow(nId);
    if (pRow == nullptr) {
        arrLines.clear();
        return nExpectedCount == 0;
    }
    return GetRowLines(arrLines, *pRow, MessageColumnFor(MessageLanguageCurrent, CurrentInterfaceLCID()),
                       nExpectedCount);
}
