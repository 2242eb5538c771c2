#include "IntegrationCheck.h"

#include "FixedLanguage.h"
#include "MessageCatalogue.h"

#include <gtest/gtest.h>

#include <set>

namespace {

// A file system of a few folders and files.
struct CFakeDisk {
    std::set<std::string> m_folders, m_files;
    CIntegrationProbe Probe() const
    {
        return {[this](const std::string& p) { return m_folders.count(p) != 0; },
                [this](const std::string& p) { return m_folders.count(p) != 0 || m_files.count(p) != 0; }};
    }
};

CIntegrationTexts CatalogueTexts()
{
    std::vector<std::string> lines;
    GetMessageLines(lines, IDS_MESSAGE_INTGRATION_CHECK, kIntegrationMessageLines);
    CIntegrationTexts texts;
    EXPECT_TRUE(MakeIntegrationTexts(lines, texts));
    return texts;
}

CFakeDisk CompleteInstallation(const std::string& strRoot)
{
    CFakeDisk disk;
    disk.m_folders = {strRoot, strRoot + "\\config", strRoot + "\\ctwa"};
    for (const CIntegrationEntry& entry : IntegrationEntries(strRoot))
        (entry.m_bFolder ? disk.m_folders : disk.m_files).insert(entry.m_strPath);
    return disk;
}

} // namespace

TEST(IntegrationCheck, FifteenEntriesInTableOrder)
{
    const std::vector<CIntegrationEntry> entries = IntegrationEntries("C:\\Lumbra");
    ASSERT_EQ(entries.size(), 15u);
    EXPECT_EQ(entries[0].m_strPath, "C:\\Lumbra\\config\\wag2b.ini");
    EXPECT_EQ(entries[1].m_strPath, "C:\\Lumbra\\config\\wab2g.ini");
    EXPECT_EQ(entries[2].m_strPath, "C:\\Lumbra\\ctwa");
    EXPECT_TRUE(entries[2].m_bFolder);
    EXPECT_EQ(entries[3].m_strPath, "C:\\Lumbra\\ctwa\\basebig.txt");
    EXPECT_EQ(entries[8].m_strPath, "C:\\Lumbra\\ctwa\\ff3big.txt");
    EXPECT_EQ(entries[9].m_strPath, "C:\\Lumbra\\ctwa\\basegb.txt");
    EXPECT_EQ(entries[14].m_strPath, "C:\\Lumbra\\ctwa\\ff3gb.txt");
    const std::vector<std::string> files = WordAdjustmentFiles("C:\\Lumbra");
    ASSERT_EQ(files.size(), 12u);
    EXPECT_EQ(files.front(), entries[3].m_strPath);
    EXPECT_EQ(files.back(), entries[14].m_strPath);
}

TEST(IntegrationCheck, ListsEveryMissingEntryUnderOneHeader)
{
    CFixedLanguage english(1033);
    const CIntegrationTexts texts = CatalogueTexts();
    const std::string strRoot = "D:\\Lumbra";
    CFakeDisk disk = CompleteInstallation(strRoot);
    std::string strMessage = "stale";
    EXPECT_TRUE(RunIntegrationCheck(strRoot, texts, disk.Probe(), strMessage));
    EXPECT_EQ(strMessage, "");

    // A file replaced by a folder of the same name is still there.
    disk.m_files.erase(strRoot + "\\ctwa\\pdafgb.txt");
    disk.m_folders.insert(strRoot + "\\ctwa\\pdafgb.txt");
    EXPECT_TRUE(RunIntegrationCheck(strRoot, texts, disk.Probe(), strMessage));

    // Missing in reverse order of the table; listed in its order.
    disk.m_files.erase(strRoot + "\\ctwa\\ff3gb.txt");
    disk.m_files.erase(strRoot + "\\ctwa\\ff2big.txt");
    disk.m_files.erase(strRoot + "\\config\\wab2g.ini");
    EXPECT_FALSE(RunIntegrationCheck(strRoot, texts, disk.Probe(), strMessage));
    EXPECT_EQ(strMessage,
              "Integration Check Failed!\r\n\r\n"
              "\"D:\\Lumbra\\config\\wab2g.ini\" (Big5 -> GBK Configuration File) not found!\r\n"
              "\"D:\\Lumbra\\ctwa\\ff2big.txt\" (Final Fix Lib 2(GBK->Big5)) not found!\r\n"
              "\"D:\\Lumbra\\ctwa\\ff3gb.txt\" (Final Fix Lib 3 (Big5->GBK)) not found!");

    // The library folder must be a folder: a file of that name is missing.
    disk.m_folders.erase(strRoot + "\\ctwa");
    disk.m_files.insert(strRoot + "\\ctwa");
    EXPECT_FALSE(RunIntegrationCheck(strRoot, texts, disk.Probe(), strMessage));
    EXPECT_NE(strMessage.find("\"D:\\Lumbra\\ctwa\" (Word Adjustment Base Folder) not found!"), std::string::npos);
}

TEST(IntegrationCheck, TextsFollowTheLanguageAndNeedAllLines)
{
    CFixedLanguage simplified(2052);
    const CIntegrationTexts texts = CatalogueTexts();
    std::string strMessage;
    EXPECT_FALSE(RunIntegrationCheck("E:\\L", texts, CFakeDisk().Probe(), strMessage));
    std::vector<std::string> lines;
    ASSERT_EQ(SplitLines(lines, strMessage), 2 + 15);
    EXPECT_EQ(lines[0], GetMessageByKey("IDS_MESSAGE_INTGRATION_CHECK").substr(0, lines[0].size()));
    EXPECT_EQ(lines[1], "");

    CIntegrationTexts none;
    EXPECT_FALSE(MakeIntegrationTexts({"Header", "\"#1\" (#2) not found!"}, none));
    EXPECT_TRUE(none.m_arrTemplates.empty());
}
