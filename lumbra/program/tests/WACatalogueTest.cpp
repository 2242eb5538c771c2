// The catalogue edits of the word-adjustment dialog, on a copy of the
// stand-in installation's G2B catalogue: each edit changes exactly the lines
// it must, the control's reading of the result (CSettingsFile) says what the
// edit asked for, and an edit that cannot be made safely changes nothing.
#include "SettingsFile.h"
#include "WACatalogue.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <string>

namespace {

std::string StandInG2B()
{
    std::ifstream in(std::string(KIVO_LUMBRA_DATA) + "/config/wag2b.ini", std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string Replaced(std::string strText, const std::string& strFrom, const std::string& strTo)
{
    const std::size_t nAt = strText.find(strFrom);
    EXPECT_NE(nAt, std::string::npos) << strFrom;
    if (nAt != std::string::npos)
        strText.replace(nAt, strFrom.size(), strTo);
    return strText;
}

bool ReadBool(const std::string& strText, const std::string& strSection, bool bDefault)
{
    CSettingsFile file;
    file.LoadFromMemory(strText.data(), strText.size());
    bool bValue = !bDefault;
    file.GetBool(strSection, "Apply", bDefault, bValue);
    return bValue;
}

std::string ReadPath(const std::string& strText, const std::string& strSection)
{
    CSettingsFile file;
    file.LoadFromMemory(strText.data(), strText.size());
    std::string strValue;
    file.GetString(strSection, "Path", "<none>", strValue);
    return strValue;
}

const std::string kComputing = "[CUSLIB_G2B2]\r\nPath = %%CTWA_FOLDER%%\\custbig\\computing.txt\r\n";
const std::string kNewLibrary = "%%CTWA_FOLDER%%\\custbig\\new.txt";

}  // namespace

TEST(WACatalogue, EachEditChangesItsOwnLinesAndReadsBackAsAsked)
{
    const std::string original = StandInG2B();
    ASSERT_NE(original.find(kComputing + "Apply = false\r\n"), std::string::npos);
    using CEdit = std::function<bool(CWACatalogue&, std::string&)>;
    struct CCase {
        const char* pszName;
        CEdit edit;
        std::string expected;
    };
    const CCase cases[] = {
        {"user library on", [](CWACatalogue& c, std::string& e) { return c.SetUserApply(EUserLibraryKind::Library, 1, true, e); },
         Replaced(original, kComputing + "Apply = false", kComputing + "Apply = true")},
        {"built-in off", [](CWACatalogue& c, std::string& e) { return c.SetBuiltInApply(1, false, e); },
         Replaced(original, "[PDAF2_G2B]\r\nApply = true", "[PDAF2_G2B]\r\nApply = false")},
        {"add behind the last of its list",
         [](CWACatalogue& c, std::string& e) { return c.AddUserLibrary(EUserLibraryKind::Library, kNewLibrary, true, e); },
         Replaced(original, kComputing + "Apply = false\r\n",
                  kComputing + "Apply = false\r\n\r\n[CUSLIB_G2B3]\r\nPath = " + kNewLibrary + "\r\nApply = true\r\n")},
        {"remove the first: the second moves up",
         [](CWACatalogue& c, std::string& e) { return c.RemoveUserLibrary(EUserLibraryKind::Library, 0, e); },
         Replaced(Replaced(original,
                           "\r\n[CUSLIB_G2B1]\r\nPath = %%CTWA_FOLDER%%\\custbig\\places.txt\r\nApply = true\r\n", ""),
                  "[CUSLIB_G2B2]", "[CUSLIB_G2B1]")},
    };
    for (const CCase& c : cases) {
        CWACatalogue catalogue(EWADirection::G2B);
        std::string strError;
        ASSERT_TRUE(catalogue.Parse(original, strError));
        ASSERT_TRUE(c.edit(catalogue, strError)) << c.pszName << ": " << strError;
        EXPECT_EQ(catalogue.GetText(), c.expected) << c.pszName;
        EXPECT_TRUE(catalogue.IsChanged()) << c.pszName;
        EXPECT_EQ(catalogue.GetOriginalText(), original) << c.pszName;
    }
    // How the control reads two of them.
    CWACatalogue removed(EWADirection::G2B);
    std::string strError;
    ASSERT_TRUE(removed.Parse(original, strError));
    ASSERT_TRUE(removed.RemoveUserLibrary(EUserLibraryKind::Library, 0, strError));
    EXPECT_EQ(ReadPath(removed.GetText(), "CUSLIB_G2B1"), "%%CTWA_FOLDER%%\\custbig\\computing.txt");
    EXPECT_EQ(ReadPath(removed.GetText(), "CUSLIB_G2B2"), "<none>");
    EXPECT_FALSE(ReadBool(removed.GetText(), "CUSLIB_G2B1", true));
}

TEST(WACatalogue, UndoingEditsGivesTheFileBackByteForByte)
{
    const std::string original = StandInG2B();
    CWACatalogue catalogue(EWADirection::G2B);
    std::string strError;
    ASSERT_TRUE(catalogue.Parse(original, strError));
    ASSERT_TRUE(catalogue.SetBuiltInApply(4, false, strError));
    ASSERT_TRUE(catalogue.AddUserLibrary(EUserLibraryKind::FinalFix, kNewLibrary, false, strError));
    ASSERT_TRUE(catalogue.AddUserLibrary(EUserLibraryKind::Library, kNewLibrary, true, strError));
    ASSERT_EQ(catalogue.GetUserLibraries(EUserLibraryKind::Library).size(), 3u);
    EXPECT_FALSE(ReadBool(catalogue.GetText(), "FinalFix3_G2B", true));
    EXPECT_EQ(ReadPath(catalogue.GetText(), "CUS_FF_LIB_G2B2"), kNewLibrary);
    ASSERT_TRUE(catalogue.RemoveUserLibrary(EUserLibraryKind::Library, 2, strError));
    ASSERT_TRUE(catalogue.RemoveUserLibrary(EUserLibraryKind::FinalFix, 1, strError));
    ASSERT_TRUE(catalogue.SetBuiltInApply(4, true, strError));
    EXPECT_EQ(catalogue.GetText(), original);
    EXPECT_FALSE(catalogue.IsChanged());
}

TEST(WACatalogue, OtherLayoutsKeepTheirLineEndsAndMissingSectionsAreAdded)
{
    struct CCase {
        const char* pszName;
        std::string text, expected;
    };
    const CCase cases[] = {
        {"no catalogue yet", "", "[PDAF_G2B]\r\nApply = false\r\n"},
        {"LF lines, no final line end", "; c\n[PDAF_G2B]\n  Apply = true", "; c\n[PDAF_G2B]\n  Apply = false"},
        {"section without the key", "[PDAF_G2B]\r\nOther = 1\r\n", "[PDAF_G2B]\r\nApply = false\r\nOther = 1\r\n"},
        {"an empty value does not read as a key line", "[PDAF_G2B]\r\nApply =\r\n",
         "[PDAF_G2B]\r\nApply = false\r\nApply =\r\n"},
    };
    for (const CCase& c : cases) {
        CWACatalogue catalogue(EWADirection::G2B);
        std::string strError;
        ASSERT_TRUE(catalogue.Parse(c.text, strError)) << c.pszName;
        ASSERT_TRUE(catalogue.SetBuiltInApply(0, false, strError)) << c.pszName << ": " << strError;
        EXPECT_EQ(catalogue.GetText(), c.expected) << c.pszName;
        EXPECT_FALSE(ReadBool(catalogue.GetText(), "PDAF_G2B", true)) << c.pszName;
    }
}

TEST(WACatalogue, EditsThatCannotBeMadeSafelyChangeNothing)
{
    const std::string gap = "[CUSLIB_B2G1]\r\nPath = a.txt\r\n\r\n[CUSLIB_B2G3]\r\nPath = c.txt\r\n";
    const std::string repeated = "[CUSLIB_B2G1]\r\nPath = a.txt\r\n\r\n[CUSLIB_B2G2]\r\nPath = b.txt\r\n\r\n"
                                 "[CUSLIB_B2G2]\r\nPath = hidden.txt\r\n";
    const std::string full = "[CUS_FF_LIB_B2G1]\r\nPath = 1\r\n[CUS_FF_LIB_B2G2]\r\nPath = 2\r\n"
                             "[CUS_FF_LIB_B2G3]\r\nPath = 3\r\n";
    using CEdit = std::function<bool(CWACatalogue&, std::string&)>;
    struct CCase {
        const char* pszName;
        std::string text;
        CEdit edit;
    };
    const CCase cases[] = {
        {"adding next to a section past a gap", gap,
         [](CWACatalogue& c, std::string& e) { return c.AddUserLibrary(EUserLibraryKind::Library, "b.txt", true, e); }},
        {"removing uncovers a repeated section", repeated,
         [](CWACatalogue& c, std::string& e) { return c.RemoveUserLibrary(EUserLibraryKind::Library, 0, e); }},
        {"a fourth final-fix library", full,
         [](CWACatalogue& c, std::string& e) { return c.AddUserLibrary(EUserLibraryKind::FinalFix, "4", true, e); }},
        {"a path of two lines", gap,
         [](CWACatalogue& c, std::string& e) { return c.AddUserLibrary(EUserLibraryKind::Library, "x\r\n[PDAF_B2G]", true, e); }},
        {"a library listed twice", gap,
         [](CWACatalogue& c, std::string& e) { return c.AddUserLibrary(EUserLibraryKind::Library, "a.txt", true, e); }},
        {"a path too long for a line", gap,
         [](CWACatalogue& c, std::string& e) {
             return c.AddUserLibrary(EUserLibraryKind::Library, std::string(CWACatalogue::kMaxPathBytes + 1, 'x'), true, e);
         }},
        {"no such library", full,
         [](CWACatalogue& c, std::string& e) { return c.SetUserApply(EUserLibraryKind::FinalFix, 3, true, e); }},
    };
    for (const CCase& c : cases) {
        CWACatalogue catalogue(EWADirection::B2G);
        std::string strError;
        ASSERT_TRUE(catalogue.Parse(c.text, strError)) << c.pszName;
        const auto before = catalogue.GetUserLibraries(EUserLibraryKind::Library);
        EXPECT_FALSE(c.edit(catalogue, strError)) << c.pszName;
        EXPECT_FALSE(strError.empty()) << c.pszName;
        EXPECT_EQ(catalogue.GetText(), c.text) << c.pszName;
        EXPECT_TRUE(catalogue.GetUserLibraries(EUserLibraryKind::Library) == before) << c.pszName;
    }
    CWACatalogue binary(EWADirection::B2G);
    std::string strError;
    EXPECT_FALSE(binary.Parse(std::string("[PDAF_B2G]\0", 11), strError));
    EXPECT_FALSE(strError.empty());
}

TEST(WACatalogue, PathsInsideTheLibraryFolderAreStoredWithTheToken)
{
    EXPECT_EQ(CWACatalogue::StoredPath("C:\\L\\ctwa\\custgb\\a.txt", "C:\\L\\ctwa"), "%%CTWA_FOLDER%%\\custgb\\a.txt");
    EXPECT_EQ(CWACatalogue::StoredPath("C:\\L\\ctwa2\\a.txt", "C:\\L\\ctwa"), "C:\\L\\ctwa2\\a.txt");
    EXPECT_EQ(CWACatalogue::ExpandedPath("%%CTWA_FOLDER%%\\custgb\\a.txt", "D:\\W"), "D:\\W\\custgb\\a.txt");
}
