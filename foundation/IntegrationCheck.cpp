#include "IntegrationCheck.h"

#include "TextFile.h"
#include "TextTrim.h"

namespace {

// The built-in libraries of both directions as the check lists them.
const char* const kLibraryNames[] = {
    "basebig", "pdafbig", "pdaf2big", "ffbig", "ff2big", "ff3big",
    "basegb",  "pdafgb",  "pdaf2gb",  "ffgb",  "ff2gb",  "ff3gb",
};

} // namespace

std::vector<CIntegrationEntry> IntegrationEntries(const std::string& strLumbraRoot)
{
    std::vector<CIntegrationEntry> entries;
    entries.push_back({strLumbraRoot + "\\config\\wag2b.ini", false});
    entries.push_back({strLumbraRoot + "\\config\\wab2g.ini", false});
    const std::string strWAFolder = strLumbraRoot + "\\ctwa";
    entries.push_back({strWAFolder, true});
    for (const char* pszName : kLibraryNames)
        entries.push_back({strWAFolder + "\\" + pszName + ".txt", false});
    return entries;
}

std::vector<std::string> WordAdjustmentFiles(const std::string& strLumbraRoot)
{
    std::vector<std::string> files;
    for (const CIntegrationEntry& entry : IntegrationEntries(strLumbraRoot))
        if (!entry.m_bFolder && entry.m_strPath.find("\\ctwa\\") != std::string::npos)
            files.push_back(entry.m_strPath);
    return files;
}

bool MakeIntegrationTexts(const std::vector<std::string>& arrLines, CIntegrationTexts& texts)
{
    texts = CIntegrationTexts();
    if (arrLines.size() < static_cast<size_t>(kIntegrationMessageLines))
        return false;
    texts.m_strHeader = arrLines[0];
    for (int n = 0; n < kIntegrationEntries; ++n)
        texts.m_arrTemplates.push_back(ReplacePlaceholder(arrLines[1], "#2", arrLines[2 + n]));
    return true;
}

bool RunIntegrationCheck(const std::string& strLumbraRoot, const CIntegrationTexts& texts,
                         const CIntegrationProbe& probe, std::string& strMessage)
{
    strMessage.clear();
    std::string strMissing;
    const std::vector<CIntegrationEntry> entries = IntegrationEntries(strLumbraRoot);
    for (size_t n = 0; n < entries.size(); ++n) {
        const CIntegrationEntry& entry = entries[n];
        const bool bPresent =
            entry.m_bFolder ? probe.m_folderExists(entry.m_strPath) : probe.m_pathExists(entry.m_strPath);
        if (bPresent)
            continue;
        const std::string strTemplate = n < texts.m_arrTemplates.size() ? texts.m_arrTemplates[n] : "\"#1\"";
        strMissing += ReplacePlaceholder(strTemplate, "#1", entry.m_strPath) + "\r\n";
    }
    if (strMissing.empty())
        return true;
    strMessage = texts.m_strHeader + "\r\n\r\n" + strMissing;
    TrimBlank(strMessage);
    return false;
}
