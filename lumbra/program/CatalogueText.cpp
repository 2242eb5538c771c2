#include "CatalogueText.h"

#include "SettingsFile.h"
#include "TextTrim.h"

#include <algorithm>

namespace {

std::string Trimmed(std::string strText)
{
    TrimBlank(strText);
    return strText;
}

bool IsBlank(const std::string& strText)
{
    return strText.find_first_not_of(kTrimBlankChars) == std::string::npos;
}

// The white space a line starts with, kept when the line is rewritten.
std::string Indent(const std::string& strText)
{
    return strText.substr(0, std::min(strText.find_first_not_of(kTrimBlankChars), strText.size()));
}

}  // namespace

CCatalogueText::CCatalogueText(const std::string& strText)
{
    std::size_t nStart = 0;
    while (nStart < strText.size()) {
        const std::size_t nNewline = strText.find('\n', nStart);
        CLine line;
        if (nNewline == std::string::npos) {
            line.m_strText = strText.substr(nStart);
            nStart = strText.size();
        } else {
            const bool bCrLf = nNewline > nStart && strText[nNewline - 1] == '\r';
            line.m_strText = strText.substr(nStart, nNewline - nStart - (bCrLf ? 1 : 0));
            line.m_strEnd = bCrLf ? "\r\n" : "\n";
            nStart = nNewline + 1;
        }
        m_arrLines.push_back(line);
    }
    m_strEol = !m_arrLines.empty() && !m_arrLines.front().m_strEnd.empty() ? m_arrLines.front().m_strEnd : "\r\n";
}

std::string CCatalogueText::GetText() const
{
    std::string strText;
    for (const CLine& line : m_arrLines)
        strText += line.m_strText + line.m_strEnd;
    return strText;
}

int CCatalogueText::FindSection(const std::string& strName) const
{
    const std::string strHeader = "[" + strName + "]";
    for (std::size_t i = 0; i < m_arrLines.size(); ++i)
        if (Trimmed(m_arrLines[i].m_strText) == strHeader)
            return static_cast<int>(i);
    return -1;
}

std::size_t CCatalogueText::SectionEnd(std::size_t nHeader) const
{
    std::size_t nEnd = nHeader + 1;
    while (nEnd < m_arrLines.size() && !CSettingsFile::IsSectionHeader(Trimmed(m_arrLines[nEnd].m_strText)))
        ++nEnd;
    return nEnd;
}

std::size_t CCatalogueText::LastContentEnd(std::size_t nHeader) const
{
    std::size_t nEnd = SectionEnd(nHeader);
    while (nEnd > nHeader + 1) {
        const std::string strLine = Trimmed(m_arrLines[nEnd - 1].m_strText);
        if (!strLine.empty() && !CSettingsFile::IsComment(strLine))
            break;
        --nEnd;
    }
    return nEnd;
}

void CCatalogueText::InsertLines(std::size_t nAt, const std::vector<std::string>& arrTexts)
{
    // A last line without a line end would run into the first new line.
    if (nAt > 0 && m_arrLines[nAt - 1].m_strEnd.empty())
        m_arrLines[nAt - 1].m_strEnd = m_strEol;
    std::vector<CLine> arrNew;
    for (const std::string& strText : arrTexts)
        arrNew.push_back(CLine{strText, m_strEol});
    m_arrLines.insert(m_arrLines.begin() + static_cast<std::ptrdiff_t>(nAt), arrNew.begin(), arrNew.end());
}

void CCatalogueText::SetValue(const std::string& strSection, const std::string& strKey, const std::string& strValue)
{
    const int nHeader = FindSection(strSection);
    if (nHeader < 0) {
        InsertSection(strSection, {{strKey, strValue}}, std::string());
        return;
    }
    const std::string strPrefix = strKey + " = ";
    const std::size_t nEnd = SectionEnd(static_cast<std::size_t>(nHeader));
    for (std::size_t i = static_cast<std::size_t>(nHeader) + 1; i < nEnd; ++i) {
        std::string& strLine = m_arrLines[i].m_strText;
        if (Trimmed(strLine).compare(0, strPrefix.size(), strPrefix) == 0) {
            strLine = Indent(strLine) + strPrefix + strValue;
            return;
        }
    }
    InsertLines(static_cast<std::size_t>(nHeader) + 1, {strPrefix + strValue});
}

void CCatalogueText::InsertSection(const std::string& strName, const CKeyValues& keys, const std::string& strAfter)
{
    std::vector<std::string> arrTexts;
    const int nAfter = strAfter.empty() ? -1 : FindSection(strAfter);
    std::size_t nAt = m_arrLines.size();
    if (nAfter >= 0)
        nAt = LastContentEnd(static_cast<std::size_t>(nAfter));
    // A blank line parts the new section from what stands before it.
    if (nAt > 0 && !IsBlank(m_arrLines[nAt - 1].m_strText))
        arrTexts.push_back(std::string());
    arrTexts.push_back("[" + strName + "]");
    for (const auto& key : keys)
        arrTexts.push_back(key.first + " = " + key.second);
    InsertLines(nAt, arrTexts);
}

bool CCatalogueText::RemoveSection(const std::string& strName)
{
    const int nHeader = FindSection(strName);
    if (nHeader < 0)
        return false;
    std::size_t nFirst = static_cast<std::size_t>(nHeader);
    while (nFirst > 0 && IsBlank(m_arrLines[nFirst - 1].m_strText))
        --nFirst;
    const std::size_t nEnd = LastContentEnd(static_cast<std::size_t>(nHeader));
    m_arrLines.erase(m_arrLines.begin() + static_cast<std::ptrdiff_t>(nFirst),
                     m_arrLines.begin() + static_cast<std::ptrdiff_t>(nEnd));
    return true;
}

bool CCatalogueText::RenameSection(const std::string& strOld, const std::string& strNew)
{
    const int nHeader = FindSection(strOld);
    if (nHeader < 0)
        return false;
    std::string& strLine = m_arrLines[static_cast<std::size_t>(nHeader)].m_strText;
    strLine = Indent(strLine) + "[" + strNew + "]";
    return true;
}
