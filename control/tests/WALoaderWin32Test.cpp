// Loading the libraries of the stand-in Lumbra installation, as shipped and
// with parts of it broken or missing.
#include "WALoader.h"

#include "BuiltInLibrary.h"
#include "LibraryCipher.h"
#include "LumbraTestSupport.h"
#include "PathUtil.h"
#include "ShortcutMaker.h"
#include "TextTransfer.h"

#include <gtest/gtest.h>

#include <functional>

using namespace lumbratest;

namespace {

struct CLoaded {
    std::string m_strTitle;
    bool m_bBuiltIn, m_bApply;
    size_t m_nPairs;
    bool operator==(const CLoaded& o) const
    {
        return m_strTitle == o.m_strTitle && m_bBuiltIn == o.m_bBuiltIn && m_bApply == o.m_bApply &&
               m_nPairs == o.m_nPairs;
    }
};

std::ostream& operator<<(std::ostream& out, const CLoaded& l)
{
    return out << "{" << l.m_strTitle << (l.m_bBuiltIn ? " built-in" : " user") << (l.m_bApply ? " applied " : " off ")
               << l.m_nPairs << "}";
}

std::vector<CLoaded> Summary(const WALibraryList& list)
{
    std::vector<CLoaded> out;
    for (const auto& library : list)
        out.push_back({library->m_strTitle, library->m_bBuiltIn, library->m_bApply, library->PairCount()});
    return out;
}

class CLoaderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(CopyTree(LumbraData(), m_strRoot));
        m_places = {m_strRoot + "\\ctwa", m_strRoot + "\\config", {m_scratch / "work", m_scratch / "systemp"}, ""};
        ::CreateDirectoryA(m_places.m_tempFolders.m_strSystemTemp.c_str(), nullptr);
    }

    void Load(bool bLoadAll = false) { LoadWordAdjustment(nullptr, bLoadAll, m_places, m_lists); }

    CScratchFolder m_scratch;
    std::string m_strRoot = m_scratch / "lumbra";
    CWALoadPlaces m_places;
    CWALibraryLists m_lists{1252};
};

} // namespace

TEST_F(CLoaderTest, ShippedDataLoadsEveryKindInOrder)
{
    Load();
    const std::vector<CLoaded> g2b = {
        {"Base", true, true, 6747},
        {"PDAF", true, true, 731},
        {"PDAF2", true, true, 1398},
        {"Place names (Taiwan usage)", false, true, 4},
        {"Computing terms (switched off)", false, false, 0},  // switched off: its pairs are not even read
        {"FinalFix", true, true, 6966},
        {"FinalFix2", true, true, 4},
        {"FinalFix3", true, true, 2355},
        {"Last fixes of the user", false, true, 1},
    };
    EXPECT_EQ(Summary(m_lists.WALibrariesG2B()), g2b);
    const std::vector<CLoaded> b2g = Summary(m_lists.WALibrariesB2G());
    ASSERT_EQ(b2g.size(), 9u);
    EXPECT_EQ(b2g[0], (CLoaded{"Base", true, true, 391}));
    EXPECT_EQ(b2g[8].m_nPairs, 1u);
    // Every deciphered copy is gone again.
    EXPECT_EQ(EntryCount(m_places.m_tempFolders.m_strWorkFolder), 0);
    EXPECT_EQ(EntryCount(m_places.m_tempFolders.m_strSystemTemp), 0);
    // The description of a user library is its comment lines.
    EXPECT_EQ(m_lists.WALibrariesG2B()[3]->m_strDescription,
              "Names of countries and cities as they are written in Taiwan.\r\n"
              "Maintained by the user; applied after the built-in vocabulary.");

    // Loading everything reads the pairs of the switched-off library too.
    Load(true);
    EXPECT_EQ(m_lists.WALibrariesG2B()[4]->PairCount(), 2u);
    EXPECT_EQ(CountWordAdjustmentWork(m_places), 120 + 3 + 3);
}

TEST_F(CLoaderTest, PhrasesComeOutRightInBothDirections)
{
    Load();
    TransferServices services;
    services.wordAdjustment = &m_lists;
    // 头发 皇后 软件 “新西兰” → 頭髮 皇后 軟體 「紐西蘭」
    const std::string gbk = "\xCD\xB7\xB7\xA2 \xBB\xCA\xBA\xF3 \xC8\xED\xBC\xFE \xA1\xB0\xD0\xC2\xCE\xF7\xC0\xBC\xA1\xB1";
    const std::string big5 = TransferGbToBig5(gbk, TransferWithAdjustment, services);
    EXPECT_EQ(big5, "\xC0\x59\xBE\x76 \xAC\xD3\xA6\x5A \xB3\x6E\xC5\xE9 \xA1\x75\xAF\xC3\xA6\xE8\xC4\xF5\xA1\x76");
    TransferServices plain;
    EXPECT_NE(TransferGbToBig5(gbk, TransferWithAdjustment, plain), big5);  // the mapping alone gets it wrong

    // 軟體 計程車 → 软件 出租车
    const std::string tw = "\xB3\x6E\xC5\xE9 \xAD\x70\xB5\x7B\xA8\xAE";
    EXPECT_EQ(TransferBig5ToGb(tw, TransferWithAdjustment, services), "\xC8\xED\xBC\xFE \xB3\xF6\xD7\xE2\xB3\xB5");
}

TEST_F(CLoaderTest, WithoutCatalogueTheUserFoldersLoadButApplyNothing)
{
    ASSERT_TRUE(::DeleteFileA((m_strRoot + "\\config\\wag2b.ini").c_str()));
    Load();
    const std::vector<CLoaded> g2b = Summary(m_lists.WALibrariesG2B());
    ASSERT_EQ(g2b.size(), 9u);
    for (int i : {3, 4, 8}) {
        EXPECT_FALSE(g2b[static_cast<size_t>(i)].m_bBuiltIn) << i;
        EXPECT_FALSE(g2b[static_cast<size_t>(i)].m_bApply) << i;
        EXPECT_EQ(g2b[static_cast<size_t>(i)].m_nPairs, 0u) << i;
    }
    // Work counted from the folders: two user files, one final-fix file.
    EXPECT_EQ(CountWordAdjustmentWork(m_places), 120 + 3 + 3);
}

TEST_F(CLoaderTest, CatalogueRulesGapsFlagsAndBadPaths)
{
    WriteFile(m_strRoot + "\\config\\wag2b.ini",
              "[PDAF_G2B]\r\nApply = false\r\n\r\n"
              "[FinalFix2_G2B]\r\nApply = false\r\n\r\n"
              "[CUSLIB_G2B1]\r\nPath = %%CTWA_FOLDER%%\\custbig\\places.txt\r\nApply = true\r\n\r\n"
              "[CUSLIB_G2B3]\r\nPath = %%CTWA_FOLDER%%\\custbig\\computing.txt\r\nApply = true\r\n\r\n"
              "[CUS_FF_LIB_G2B1]\r\nPath = %%CTWA_FOLDER%%\\custbig\r\nApply = true\r\n\r\n"
              "[CUS_FF_LIB_G2B2]\r\nPath = %%CTWA_FOLDER%%\\missing.txt\r\nApply = true\r\n");
    Load();
    const std::vector<CLoaded> g2b = Summary(m_lists.WALibrariesG2B());
    // A gap ends the user libraries; a folder or missing file is dropped.
    ASSERT_EQ(g2b.size(), 7u);
    EXPECT_FALSE(g2b[1].m_bApply);
    EXPECT_EQ(g2b[1].m_nPairs, 0u);
    EXPECT_EQ(g2b[3].m_strTitle, "Place names (Taiwan usage)");
    EXPECT_EQ(g2b[4].m_strTitle, "FinalFix");
    EXPECT_FALSE(g2b[5].m_bApply);
    EXPECT_EQ(g2b[6].m_strTitle, "FinalFix3");
}

TEST_F(CLoaderTest, BrokenBuiltInLibrariesStayWithoutPairs)
{
    // Another library's file under this name fails the signature check.
    ASSERT_TRUE(::CopyFileA((m_strRoot + "\\ctwa\\ffbig.txt").c_str(), (m_strRoot + "\\ctwa\\basebig.txt").c_str(),
                            FALSE));
    WriteFile(m_strRoot + "\\ctwa\\pdafbig.txt", "short");
    ASSERT_TRUE(::DeleteFileA((m_strRoot + "\\ctwa\\pdaf2big.txt").c_str()));
    Load();
    const std::vector<CLoaded> g2b = Summary(m_lists.WALibrariesG2B());
    ASSERT_EQ(g2b.size(), 9u);
    for (size_t i : {0u, 1u, 2u}) {
        EXPECT_TRUE(g2b[i].m_bBuiltIn && g2b[i].m_bApply) << i;
        EXPECT_EQ(g2b[i].m_nPairs, 0u) << i;
    }
    EXPECT_EQ(g2b[5].m_nPairs, 6966u);
    EXPECT_EQ(EntryCount(m_places.m_tempFolders.m_strWorkFolder), 0);
}

// Built-in libraries are deciphered in memory: without any temporary folder
// they load all the same.
TEST_F(CLoaderTest, BuiltInsNeedNoTemporaryFiles)
{
    m_places.m_tempFolders = {"", m_scratch / "does-not-exist"};
    Load();
    const std::vector<CLoaded> g2b = Summary(m_lists.WALibrariesG2B());
    ASSERT_EQ(g2b.size(), 9u);
    EXPECT_EQ(g2b[0].m_nPairs, 6747u);
    EXPECT_EQ(g2b[3].m_nPairs, 4u);
    EXPECT_FALSE(FolderExists(m_places.m_tempFolders.m_strSystemTemp));
}

// The cache of deciphered libraries gives the lists exactly as deciphering
// does, and an entry serves only the library file it was made from.
TEST_F(CLoaderTest, TheCacheServesOnlyTheFileItWasMadeFrom)
{
    Load();
    const std::vector<CLoaded> g2b = Summary(m_lists.WALibrariesG2B()), b2g = Summary(m_lists.WALibrariesB2G());
    m_places.m_strCacheFolder = m_scratch / "local\\Perdix\\KIVO\\Cache";  // made by the first load
    for (const char* pszRound : {"filling the cache", "from the cache"}) {
        Load();
        EXPECT_EQ(Summary(m_lists.WALibrariesG2B()), g2b) << pszRound;
        EXPECT_EQ(Summary(m_lists.WALibrariesB2G()), b2g) << pszRound;
    }
    EXPECT_EQ(EntryCount(m_places.m_strCacheFolder), 12);

    // An entry sealed for ffbig.txt as the file is now is taken as it
    // stands: here one with the first half of the library's lines.
    const std::string strLibrary = m_strRoot + "\\ctwa\\ffbig.txt";
    const std::string strEntry = LibraryCacheEntryPath(m_places.m_strCacheFolder, strLibrary);
    const size_t nAll = g2b[5].m_nPairs;
    auto sealHalf = [&] {
        std::string strBytes;
        LibraryFileStamp stamp;
        ASSERT_TRUE(ReadLibraryFile(strLibrary, strBytes, stamp));
        std::string strHalf = DecipherLibraryText(strBytes, "ffbig.txt");
        strHalf.resize(strHalf.find('\n', strHalf.size() / 2) + 1);
        WriteFile(strEntry, SealLibraryCacheEntry(strHalf, "ffbig.txt", stamp));
    };
    sealHalf();
    Load();
    const size_t nHalf = m_lists.WALibrariesG2B()[5]->PairCount();
    EXPECT_GT(nHalf, nAll / 4);
    EXPECT_LT(nHalf, nAll);

    // Anything else is passed over, the library deciphered and the entry made anew.
    const struct {
        const char* pszWhat;
        std::function<void()> change;
    } misses[] = {
        {"the library written again",
         [&] {
             const HANDLE h = ::CreateFileA(strLibrary.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0,
                                            nullptr);
             FILETIME later = {0x10000000, 0x01E00000};
             ::SetFileTime(h, nullptr, nullptr, &later);
             ::CloseHandle(h);
         }},
        {"the entry cut", [&] {
             std::string strBytes;
             LibraryFileStamp stamp;
             ASSERT_TRUE(ReadLibraryFile(strEntry, strBytes, stamp));
             WriteFile(strEntry, strBytes.substr(0, strBytes.size() - 1));
         }},
        {"the entry overwritten", [&] { WriteFile(strEntry, "KIVOWAC1 and nothing else"); }},
    };
    for (const auto& miss : misses) {
        sealHalf();
        miss.change();
        for (const char* pszRound : {"after the change", "next time"}) {
            Load();
            EXPECT_EQ(m_lists.WALibrariesG2B()[5]->PairCount(), nAll) << miss.pszWhat << ", " << pszRound;
        }
    }

    // A cache that cannot be made is no cache.
    WriteFile(m_scratch / "a-file", "x");
    m_places.m_strCacheFolder = m_scratch / "a-file\\Cache";
    Load();
    EXPECT_EQ(Summary(m_lists.WALibrariesG2B()), g2b);
}

TEST_F(CLoaderTest, AtMostSixtyFourUserLibrariesAndShortcutsToThem)
{
    // 65 sections, each naming a shortcut to the places library.
    ASSERT_TRUE(MakeShortcut(m_strRoot + "\\ctwa\\places.lnk", m_strRoot + "\\ctwa\\custbig\\places.txt", ""));
    std::string strCatalogue;
    for (int n = 1; n <= 65; ++n)
        strCatalogue += "[CUSLIB_G2B" + std::to_string(n) + "]\r\nPath = %%CTWA_FOLDER%%\\PLACES.LNK \r\nApply = true\r\n\r\n";
    WriteFile(m_strRoot + "\\config\\wag2b.ini", strCatalogue);
    EXPECT_EQ(CountWordAdjustmentWork(m_places), 120 + 64 + 3);
    Load();
    const std::vector<CLoaded> g2b = Summary(m_lists.WALibrariesG2B());
    ASSERT_EQ(g2b.size(), 3u + 64u + 3u);
    for (size_t i = 3; i < 3 + 64; ++i)
        ASSERT_EQ(g2b[i], (CLoaded{"Place names (Taiwan usage)", false, true, 4})) << i;
}
