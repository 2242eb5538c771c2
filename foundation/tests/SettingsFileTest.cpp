#include "SettingsFile.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

const std::string kDataFolder = std::string(KIVO_FOUNDATION_TEST_DATA) + "/settings/";

// A file in the temporary folder with the given bytes, removed again at the end.
class CScratchFile {
public:
    explicit CScratchFile(const std::string& strBytes)
    {
        std::random_device device;
        const auto nTicks = std::chrono::steady_clock::now().time_since_epoch().count();
        m_path = std::filesystem::temp_directory_path()
            / ("kivo-settings-" + std::to_string(device()) + "-" + std::to_string(nTicks) + ".ini");
        std::ofstream file(m_path, std::ios::binary);
        file.write(strBytes.data(), static_cast<std::streamsize>(strBytes.size()));
    }
    ~CScratchFile()
    {
        std::error_code error;
        std::filesystem::remove(m_path, error);
    }
    std::string Path() const { return m_path.string(); }

private:
    std::filesystem::path m_path;
};

Lines LoadText(const std::string& strText, bool bCompact = false)
{
    CSettingsFile settings(bCompact);
    EXPECT_TRUE(settings.LoadFromMemory(strText.data(), strText.size()));
    return settings.GetLines();
}

std::string ValueOf(const std::string& strText, const std::string& strSection, const std::string& strKey,
                    bool bCompact = false)
{
    CSettingsFile settings(bCompact);
    settings.LoadFromMemory(strText.data(), strText.size());
    std::string strValue;
    settings.GetString(strSection, strKey, "<default>", strValue);
    return strValue;
}

// --- Reading the file -------------------------------------------------------

TEST(SettingsFileLoad, MissingFileLoadsEmptyAndAnswersDefaults)
{
    CSettingsFile settings;
    settings.Load(kDataFolder + "wag2b.ini");
    ASSERT_FALSE(settings.GetLines().empty());
    EXPECT_TRUE(settings.Load(kDataFolder + "no-such-file.ini"));
    EXPECT_TRUE(settings.GetLines().empty());
    std::string strValue = "stale";
    EXPECT_FALSE(settings.GetString("PDAF_G2B", "Apply", "fallback", strValue));
    EXPECT_EQ("fallback", strValue);
    bool bValue = false;
    EXPECT_FALSE(settings.GetBool("PDAF_G2B", "Apply", true, bValue));
    EXPECT_TRUE(bValue);
}

TEST(SettingsFileLoad, FolderAndEmptyPathLoadEmpty)
{
    CSettingsFile settings;
    EXPECT_TRUE(settings.Load(kDataFolder));
    EXPECT_TRUE(settings.GetLines().empty());
    EXPECT_TRUE(settings.Load(""));
    EXPECT_TRUE(settings.GetLines().empty());
}

TEST(SettingsFileLoad, CatalogueFromDisk)
{
    CSettingsFile settings;
    settings.Load(kDataFolder + "wag2b.ini");
    const Lines expected = {
        "; Word-adjustment catalogue, G2B direction",
        "",
        "[PDAF_G2B]",
        "Apply = false",
        "",
        "[CUSLIB_G2B1]",
        "Path = %%CTWA_FOLDER%%\\custbig\\names.txt",
        "Apply = true",
        "Note = Place names of Taiwan\r\n  and Hong Kong\r\n<B End>",
        "",
        "[CUSLIB_G2B2]",
        "Path = %%CTWA_FOLDER%%\\custbig\\terms.txt",
        "Apply = True",
        "",
        "; written by Lumbra",
        "; do not edit by hand",
    };
    EXPECT_EQ(expected, settings.GetLines());

    bool bApply = false;
    EXPECT_TRUE(settings.GetBool("CUSLIB_G2B1", "Apply", false, bApply));
    EXPECT_TRUE(bApply);
    // "True" is not "true": the comparison is byte-exact.
    EXPECT_TRUE(settings.GetBool("CUSLIB_G2B2", "Apply", true, bApply));
    EXPECT_FALSE(bApply);
    int nCount = -1;
    EXPECT_EQ(10, settings.FindSection("CUSLIB_G2B2", nCount));
    EXPECT_EQ(2, nCount);  // the trailing comments are not the section's
    EXPECT_EQ(-1, settings.FindSection("CUSLIB_G2B3", nCount));
    EXPECT_EQ(0, nCount);
}

TEST(SettingsFileLoad, LineEndsAndLastLineWithoutBreak)
{
    const Lines expected = {"[s]", "a = 1", "b = 2"};
    EXPECT_EQ(expected, LoadText("[s]\r\na = 1\r\nb = 2\r\n"));
    EXPECT_EQ(expected, LoadText("[s]\na = 1\nb = 2"));
    EXPECT_EQ(expected, LoadText("[s]\r\na = 1\r\nb = 2"));
    // The end marker is recognised whatever ends its line, also at the end of the file.
    EXPECT_EQ(Lines({"[s]", "k = v", "z = 1"}), LoadText("[s]\nk = {{Block}}\r\nv\r\n<B End>\r\nz = 1"));
    EXPECT_EQ(Lines({"k = v\r\nw"}), LoadText("k = {{Block}}\r\nv\nw\r\n<B End>\r"));
}

TEST(SettingsFileLoad, ControlZIsAnOrdinaryByte)
{
    // Text-mode reading on Windows would stop the file here; the lines after it count.
    EXPECT_EQ(Lines({"[s]", "a = x\x1Ay", "b = 2"}), LoadText("[s]\r\na = x\x1Ay\r\nb = 2\r\n"));
}

TEST(SettingsFileLoad, ZeroByteEndsItsLineOnly)
{
    const char szRaw[] = "[s]\r\na = one\0two\r\nb = 2\r\n[t\0]\r\nc = 3\r\n";
    const std::string strText(szRaw, sizeof szRaw - 1);
    EXPECT_EQ(Lines({"[s]", "a = one", "b = 2", "[t", "c = 3"}), LoadText(strText));
    EXPECT_EQ("one", ValueOf(strText, "s", "a"));
    CScratchFile file(strText);
    CSettingsFile settings;
    settings.Load(file.Path());
    EXPECT_EQ(LoadText(strText), settings.GetLines());

    // Inside a block a zero byte shortens that value line, not the block, and
    // a marker with a zero byte in it is no marker.
    const char szBlock[] = "[s]\nk = {{Block}}\nab\0cd\n<B End\0>\nef\n<B End>\nz = 1\n";
    const std::string strBlock(szBlock, sizeof szBlock - 1);
    EXPECT_EQ("ab\r\n<B End\r\nef", ValueOf(strBlock, "s", "k"));
    EXPECT_EQ("1", ValueOf(strBlock, "s", "z"));
}

TEST(SettingsFileLoad, LongLinesAreKeptWholeAndReadingGoesOn)
{
    // Lines at and beyond the 1,022 characters the system's files stay below.
    for (std::size_t nLength : {1021u, 1022u, 1023u, 1024u, 100000u}) {
        SCOPED_TRACE(nLength);
        const std::string strValue(nLength, 'v');
        const std::string strText = "[s]\r\nk = " + strValue + "\r\nafter = 1\r\n[" + std::string(nLength, 'n')
            + "]\r\nm = 2\r\n";
        CScratchFile file(strText);
        CSettingsFile settings;
        settings.Load(file.Path());
        std::string strFound;
        EXPECT_TRUE(settings.GetString("s", "k", "", strFound));
        EXPECT_EQ(strValue, strFound);
        EXPECT_TRUE(settings.GetString("s", "after", "", strFound));
        EXPECT_TRUE(settings.GetString(std::string(nLength, 'n'), "m", "", strFound));
        EXPECT_EQ("2", strFound);
    }
    // A long line's far end is not read as a line of its own.
    const std::string strTail = std::string(1022, 'x') + "[fake]";
    EXPECT_EQ(Lines({"[s]", strTail}), LoadText("[s]\n" + strTail + "\n"));
    const std::string strBlockTail = std::string(1030, 'x') + "<B End>";
    EXPECT_EQ(Lines({"k = " + strBlockTail + "\r\nz"}), LoadText("k = {{Block}}\n" + strBlockTail + "\nz\n"));
}

TEST(SettingsFileLoad, OversizedFileLoadsEmpty)
{
    const std::string strLine = "[s]\r\nk = v\r\n";
    std::string strText;
    while (strText.size() <= CSettingsFile::kMaxFileBytes)
        strText += strLine;
    CScratchFile file(strText);
    CSettingsFile settings;
    EXPECT_TRUE(settings.Load(file.Path()));
    EXPECT_TRUE(settings.GetLines().empty());
    EXPECT_TRUE(settings.LoadFromMemory(strText.data(), strText.size()));
    EXPECT_TRUE(settings.GetLines().empty());

    strText.resize(CSettingsFile::kMaxFileBytes);
    settings.LoadFromMemory(strText.data(), strText.size());
    EXPECT_FALSE(settings.GetLines().empty());
    EXPECT_TRUE(settings.LoadFromMemory(nullptr, 5));
    EXPECT_TRUE(settings.GetLines().empty());
}

// --- Blocks -----------------------------------------------------------------

TEST(SettingsFileBlock, StartMarkerIsOptional)
{
    const std::string strWith = "[s]\r\nk = {{Block}}\r\n<B Start>\r\none\r\ntwo\r\n<B End>\r\nz = 1\r\n";
    const std::string strWithout = "[s]\r\nk = {{Block}}\r\none\r\ntwo\r\n<B End>\r\nz = 1\r\n";
    EXPECT_EQ("one\r\ntwo", ValueOf(strWith, "s", "k"));
    EXPECT_EQ(LoadText(strWith), LoadText(strWithout));
    // A start marker later in the block is skipped as well, without adding a line.
    EXPECT_EQ("one\r\ntwo", ValueOf("[s]\nk = {{Block}}\none\n<B Start>\ntwo\n<B End>\n", "s", "k"));
}

TEST(SettingsFileBlock, UnterminatedBlockKeepsAllItsLines)
{
    EXPECT_EQ(Lines({"[s]", "k = one\r\n[t]\r\nx = 1\r\n; c"}),
              LoadText("[s]\r\nk = {{Block}}\r\n<B Start>\r\none\r\n[t]\r\nx = 1\r\n; c\r\n"));
    EXPECT_EQ(Lines({"[s]", "k = one"}), LoadText("[s]\nk = {{Block}}\none"));
}

TEST(SettingsFileBlock, DoubledBracketsAndMarkersInsideBlocks)
{
    const std::string strText = "[s]\nk = {{Block}}\n<B Start>\n<<B End>>\n<<<<x>>>>\n<<<\na = {{Block}}\n<B End>\n";
    // Doubled brackets read as single ones and do not end the block; a block
    // key line inside a block is plain text.
    EXPECT_EQ("<B End>\r\n<<x>>\r\n<<\r\na = {{Block}}", ValueOf(strText, "s", "k"));
    // The key line itself is decoded too.
    EXPECT_EQ(Lines({"k<< = v>"}), LoadText("k<<<< = {{Block}}\nv>>\n<B End>"));
}

TEST(SettingsFileBlock, DegenerateBlockKeyLines)
{
    // A line that is only " = {{Block}}" is dropped and opens no block.
    EXPECT_EQ(Lines({"[s]", "<B End>", "a = 1"}), LoadText("[s]\n = {{Block}}\n<B End>\na = 1\n"));
    // A block without value lines is an empty value, which does not match.
    EXPECT_EQ(Lines({"[s]", "k =", "a = 1"}), LoadText("[s]\nk = {{Block}}\n<B Start>\n<B End>\na = 1\n"));
    EXPECT_EQ("<default>", ValueOf("[s]\nk = {{Block}}\n<B End>\n", "s", "k"));
    // Not the exact tail: an ordinary line.
    EXPECT_EQ(Lines({"k ={{Block}}", "k = {{Block}}"}), LoadText("k ={{Block}}\nk = {{Block}} \n"));
    // Blank and empty value lines stay inside the value; only the ends of the
    // whole logical line are trimmed.
    EXPECT_EQ("\r\n\ta\r\n  b", ValueOf("[s]\n  k = {{Block}}\n\n\ta\n  b\n\n<B End>\n", "s", "k"));
}

// --- Tidying ----------------------------------------------------------------

TEST(SettingsFileTidy, TrimsDropsEmptyLinesAndSeparatesSections)
{
    EXPECT_EQ(Lines({"[a]", "x = 1", "", "[b]", "y = 2", "", "[c]"}),
              LoadText("\r\n  \t\r\n  [a]  \r\n\tx = 1 \r\n\r\n\r\n[b]\r\ny = 2\r\n[c]\r\n\r\n"));
    EXPECT_EQ(Lines({"x = 1", "", "[a]"}), LoadText("x = 1\n[a]\n"));
    EXPECT_TRUE(LoadText("").empty());
    EXPECT_TRUE(LoadText("\r\n \t \r\n\n").empty());
}

TEST(SettingsFileTidy, TrailingCommentsBelongToNoSection)
{
    EXPECT_EQ(Lines({"[a]", "x = 1", "", ";one", ";two"}), LoadText("[a]\nx = 1\n;one\n;two\n"));
    // Comments inside the file stay where they are.
    EXPECT_EQ(Lines({"[a]", ";in", "x = 1"}), LoadText("[a]\n;in\nx = 1\n"));
    // The line at index 0 is never taken as the end of the sections.
    EXPECT_EQ(Lines({"[a]", ";one", ";two"}), LoadText("[a]\n;one\n;two\n"));
    EXPECT_EQ(Lines({";one", ";two"}), LoadText(";one\n;two\n"));
    // A header directly before the comments gets its separating line too.
    EXPECT_EQ(Lines({"[a]", "x = 1", "", "[b]", "", ";c"}), LoadText("[a]\nx = 1\n[b]\n;c\n"));

    CSettingsFile settings;
    const std::string strText = "[a]\nx = 1\ny = 2\n; trailing\n";
    settings.LoadFromMemory(strText.data(), strText.size());
    int nCount = -1;
    EXPECT_EQ(0, settings.FindSection("a", nCount));
    EXPECT_EQ(2, nCount);
}

// --- Sections ---------------------------------------------------------------

TEST(SettingsFileSection, HeaderRule)
{
    EXPECT_TRUE(CSettingsFile::IsSectionHeader("[]"));
    EXPECT_TRUE(CSettingsFile::IsSectionHeader(" \t[a b]\r\n"));
    EXPECT_FALSE(CSettingsFile::IsSectionHeader(" ] "));
    EXPECT_FALSE(CSettingsFile::IsSectionHeader("[a=b]"));
    EXPECT_FALSE(CSettingsFile::IsSectionHeader("   "));
    EXPECT_FALSE(CSettingsFile::IsComment(" ;x"));
    EXPECT_FALSE(CSettingsFile::IsComment(""));
}

TEST(SettingsFileSection, FindSectionMatchesExactlyAndCounts)
{
    const std::string strText = "top = 0\n[intl]\na = 1\n;note\nb = 2\n[x=y]\nc = 3\n[intl]\nd = 4\n[last]";
    CSettingsFile settings;
    settings.LoadFromMemory(strText.data(), strText.size());
    int nCount = -1;
    EXPECT_EQ(2, settings.FindSection("intl", nCount));
    // The "[x=y]" line is not a header, so it and its key count with "intl".
    EXPECT_EQ(5, nCount);
    EXPECT_EQ(-1, settings.FindSection("INTL", nCount));
    EXPECT_EQ(-1, settings.FindSection("Intl", nCount));
    EXPECT_EQ(-1, settings.FindSection("x=y", nCount));
    EXPECT_EQ(-1, settings.FindSection("", nCount));
    EXPECT_EQ(0, nCount);
    // The name is trimmed; the last line as header counts nothing.
    nCount = -1;
    EXPECT_EQ(static_cast<int>(settings.GetLines().size()) - 1, settings.FindSection(" last\r\n", nCount));
    EXPECT_EQ(0, nCount);

    // Only the first of two sections of one name is ever seen.
    std::string strValue;
    EXPECT_FALSE(settings.GetString("intl", "d", "", strValue));
    EXPECT_TRUE(settings.GetString("intl", "c", "", strValue));
    EXPECT_EQ("3", strValue);
}

TEST(SettingsFileSection, LineBreakInNameReadsAsFourBlanks)
{
    const std::string strText = "[a    b]\nk = 1\n";
    EXPECT_EQ("1", ValueOf(strText, "a\r\nb", "k"));
    EXPECT_EQ("<default>", ValueOf(strText, "a\nb", "k"));
    EXPECT_EQ("2", ValueOf("[s]\nk    x = 2\n", "s", "k\r\nx"));
}

// --- Keys and values --------------------------------------------------------

TEST(SettingsFileKey, SeparatorDependsOnMode)
{
    const std::string strText = "[intl]\nsLanguage=chs\nsCountry = China\n";
    EXPECT_EQ("<default>", ValueOf(strText, "intl", "sLanguage"));
    EXPECT_EQ("China", ValueOf(strText, "intl", "sCountry"));
    EXPECT_EQ("chs", ValueOf(strText, "intl", "sLanguage", true));
    EXPECT_EQ("<default>", ValueOf(strText, "intl", "sCountry", true));
    // A prefix of a longer key is not that key.
    EXPECT_EQ("<default>", ValueOf(strText, "intl", "sLang", true));

    CSettingsFile settings;
    settings.SetCompact(true);
    settings.Load(kDataFolder + "win.ini");
    std::string strValue;
    EXPECT_FALSE(settings.GetString("intl", "sLanguage", "", strValue));
    EXPECT_TRUE(settings.GetString("Intl", "sLanguage", "", strValue));
    EXPECT_EQ("cht", strValue);
}

TEST(SettingsFileKey, ValueBlanksAndEmptyValues)
{
    EXPECT_EQ("  v", ValueOf("[s]\nk =   v   \n", "s", "k"));
    EXPECT_EQ("a = b", ValueOf("[s]\nk = a = b\n", "s", "k"));
    // "k = " loses its blank at tidying and no longer matches.
    EXPECT_EQ("<default>", ValueOf("[s]\nk = \n", "s", "k"));
    EXPECT_EQ("", ValueOf("[s]\nk=\n", "s", "k", true));
    EXPECT_EQ("<default>", ValueOf("[s]\nk  =  v\n", "s", "k"));
    // Keys are not trimmed, and the first matching line of the section wins.
    EXPECT_EQ("<default>", ValueOf("[s]\nk = v\n", "s", " k"));
    EXPECT_EQ("1", ValueOf("[s]\nk = 1\nk = 2\n", "s", "k"));
}

TEST(SettingsFileKey, FindKeyStaysInsideItsSection)
{
    const std::string strText = "top = 0\n[a]\nx = 1\n[b]\ny = 2\n; c\n";
    CSettingsFile settings;
    settings.LoadFromMemory(strText.data(), strText.size());
    std::string strValue = "stale";
    EXPECT_EQ(0, settings.FindKey(0, "top", strValue));
    EXPECT_EQ("0", strValue);
    EXPECT_EQ(-1, settings.FindKey(0, "x", strValue));  // stops at "[a]"
    EXPECT_EQ("", strValue);
    EXPECT_EQ(3, settings.FindKey(3, "x", strValue));
    EXPECT_EQ(-1, settings.FindKey(3, "y", strValue));
    EXPECT_EQ(-1, settings.FindKey(2, "x", strValue));  // a header at the start ends at once
    EXPECT_EQ(-1, settings.FindKey(-1, "top", strValue));
    EXPECT_EQ(-1, settings.FindKey(1000, "top", strValue));
    std::string strKey = "y";
    EXPECT_EQ(6, settings.FindKey(6, strKey, strKey));
    EXPECT_EQ("2", strKey);
}

TEST(SettingsFileKey, GetStringAndGetBool)
{
    const std::string strText = "[s]\nApply = true\nOdd = untrue\nCase = TRUE\nEmpty=\n";
    CSettingsFile settings;
    settings.LoadFromMemory(strText.data(), strText.size());
    bool bValue = false;
    EXPECT_TRUE(settings.GetBool("s", "Apply", false, bValue));
    EXPECT_TRUE(bValue);
    EXPECT_TRUE(settings.GetBool("s", "Odd", false, bValue));
    EXPECT_TRUE(bValue);
    EXPECT_TRUE(settings.GetBool("s", "Case", true, bValue));
    EXPECT_FALSE(bValue);
    EXPECT_FALSE(settings.GetBool("t", "Apply", false, bValue));
    EXPECT_FALSE(bValue);

    // The default and the result may be one string.
    std::string strValue = "kept";
    EXPECT_FALSE(settings.GetString("s", "Missing", strValue, strValue));
    EXPECT_EQ("kept", strValue);
    EXPECT_TRUE(settings.GetString("s", "Apply", strValue, strValue));
    EXPECT_EQ("true", strValue);
}

}  // namespace
