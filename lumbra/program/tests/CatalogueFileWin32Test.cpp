// Writing a catalogue back: a write that fails at the last step, and a file
// another program changed after it was read, both leave the file as it was.
#include "CatalogueFile.h"
#include "FileReplace.h"
#include "LumbraTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Fails the replace once the new text is complete, as a full disk would.
class CFailingReplace : public CFileReplaceObserver {
public:
    bool OnTemporaryWritten(const std::string&) override { return false; }
};

}  // namespace

TEST(CatalogueFile, AFailedOrOutdatedWriteLeavesTheFileAsItWas)
{
    CScratchFolder scratch;
    const std::string strPath = scratch / "wab2g.ini";
    const std::string strOriginal =
        CScratchFolder::ReadBytes(lumbratest::LumbraData() + "\\config\\wab2g.ini");
    ASSERT_TRUE(CScratchFolder::WriteBytes(strPath, strOriginal));

    CWACatalogue catalogue(EWADirection::B2G);
    std::string strError;
    ASSERT_TRUE(LoadCatalogueFile(strPath, catalogue, strError)) << strError;
    ASSERT_TRUE(catalogue.SetBuiltInApply(0, false, strError));

    CFailingReplace failing;
    EXPECT_FALSE(SaveCatalogueFile(strPath, catalogue, strError, &failing));
    EXPECT_NE(strError.find(strPath), std::string::npos) << strError;
    EXPECT_EQ(CScratchFolder::ReadBytes(strPath), strOriginal);
    EXPECT_EQ(scratch.Listing(), "wab2g.ini");
    EXPECT_TRUE(catalogue.IsChanged());

    const std::string strOther = strOriginal + "; added by another program\r\n";
    ASSERT_TRUE(CScratchFolder::WriteBytes(strPath, strOther));
    strError.clear();
    EXPECT_FALSE(SaveCatalogueFile(strPath, catalogue, strError));
    EXPECT_FALSE(strError.empty());
    EXPECT_EQ(CScratchFolder::ReadBytes(strPath), strOther);

    // Read again, the same edit goes through.
    ASSERT_TRUE(LoadCatalogueFile(strPath, catalogue, strError)) << strError;
    ASSERT_TRUE(catalogue.SetBuiltInApply(0, false, strError));
    ASSERT_TRUE(SaveCatalogueFile(strPath, catalogue, strError)) << strError;
    EXPECT_EQ(CScratchFolder::ReadBytes(strPath), catalogue.GetText());
    EXPECT_FALSE(catalogue.IsChanged());
}

TEST(CatalogueFile, AMissingCatalogueReadsEmptyAndABinaryOneIsRefused)
{
    CScratchFolder scratch;
    CWACatalogue catalogue(EWADirection::G2B);
    std::string strError;
    EXPECT_TRUE(LoadCatalogueFile(scratch / "wag2b.ini", catalogue, strError));
    EXPECT_EQ(catalogue.GetText(), "");
    ASSERT_TRUE(CScratchFolder::WriteBytes(scratch / "wag2b.ini", std::string("[PDAF_G2B]\0\r\n", 13)));
    EXPECT_FALSE(LoadCatalogueFile(scratch / "wag2b.ini", catalogue, strError));
    EXPECT_NE(strError.find("wag2b.ini"), std::string::npos) << strError;
}
