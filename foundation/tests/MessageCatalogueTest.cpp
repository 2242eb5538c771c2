#include "FixedLanguage.h"
#include "MessageCatalogue.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#if !defined(_WIN32)
#include <iconv.h>
#endif

namespace {

const char* const kColumnNames[] = {"", "English", "Simplified", "Traditional"};

// Rows of the table proper (the end row left out).
std::vector<const CMessageRow*> AllRows()
{
    std::vector<const CMessageRow*> arrRows;
    for (const CMessageRow* pRow = g_arrMessageTable; pRow->m_nId != 0; ++pRow)
        arrRows.push_back(pRow);
    return arrRows;
}

// "%1".."%3" and "#1".."#3" of a text, each with how often it occurs.
std::map<std::string, int> Placeholders(const std::string& strText)
{
    std::map<std::string, int> counts;
    for (std::size_t i = 0; i + 1 < strText.size(); ++i) {
        if ((strText[i] == '%' || strText[i] == '#') && strText[i + 1] >= '1' && strText[i + 1] <= '3')
            ++counts[strText.substr(i, 2)];
    }
    return counts;
}

// ---------------------------------------------------------------- the table

TEST(MessageTable, EndsWithTheZeroRowAndCountsIt)
{
    const int nCount = CountMessages();
    EXPECT_EQ(kMessageTableRows, nCount);
    EXPECT_EQ(199, nCount);  // the 198 rows of the catalogue and the end row
    const CMessageRow& end = g_arrMessageTable[nCount - 1];
    EXPECT_EQ(0, end.m_nId);
    ASSERT_NE(nullptr, end.m_pszKey);
    ASSERT_NE(nullptr, end.m_pszEnglish);
    ASSERT_NE(nullptr, end.m_pszSimplified);
    ASSERT_NE(nullptr, end.m_pszTraditional);
    EXPECT_STREQ("", end.m_pszEnglish);
}

TEST(MessageTable, IdsAndKeysAreUniqueAndFlagsZero)
{
    std::set<std::int32_t> ids;
    std::set<std::string> keys;
    for (const CMessageRow* pRow : AllRows()) {
        EXPECT_TRUE(ids.insert(pRow->m_nId).second) << pRow->m_nId;
        EXPECT_TRUE(keys.insert(pRow->m_pszKey).second) << pRow->m_pszKey;
        EXPECT_EQ(0, pRow->m_nFlags) << pRow->m_pszKey;
    }
}

TEST(MessageTable, CategoriesMatchIdRangesAndKeyWords)
{
    struct Range {
        const char* pszCategory;
        const char* pszKeyPrefix;
        std::int32_t nFirst, nLast;
    };
    const Range ranges[] = {
        {"Info", "Shell_", 1, 3},
        {"Tip", "IDS_TIP_", 20000, 39999},
        {"Dialog", "IDS_DIALOG_", 40000, 79999},
        {"Message", "IDS_MESSAGE_", 80000, 99999},
        {"Error", "IDS_ERROR_", 100000, 139999},
        {"PXT", "IDS_PXT_", 140000, 0x7FFFFFFF},
    };
    std::map<std::string, int> perCategory;
    for (const CMessageRow* pRow : AllRows()) {
        const Range* pRange = nullptr;
        for (const Range& range : ranges) {
            if (std::strcmp(range.pszCategory, pRow->m_pszCategory) == 0)
                pRange = &range;
        }
        ASSERT_NE(nullptr, pRange) << pRow->m_pszKey << " has category " << pRow->m_pszCategory;
        EXPECT_GE(pRow->m_nId, pRange->nFirst) << pRow->m_pszKey;
        EXPECT_LE(pRow->m_nId, pRange->nLast) << pRow->m_pszKey;
        EXPECT_EQ(0, std::strncmp(pRow->m_pszKey, pRange->pszKeyPrefix, std::strlen(pRange->pszKeyPrefix)))
            << pRow->m_pszKey;
        ++perCategory[pRow->m_pszCategory];
    }
    EXPECT_EQ(3, perCategory["Info"]);
    EXPECT_EQ(28, perCategory["Tip"]);
    EXPECT_EQ(93, perCategory["Dialog"]);
    EXPECT_EQ(16, perCategory["Message"]);
    EXPECT_EQ(38, perCategory["Error"]);
    EXPECT_EQ(20, perCategory["PXT"]);
}

TEST(MessageTable, KeysFindTheIdsOtherModulesUse)
{
    const std::pair<const char*, std::int32_t> rows[] = {
        {"Shell_Language", 1},
        {"Shell_Translator", 3},
        {"IDS_TIP_NEW", 20000},
        {"IDS_TIP_PACK_REARRANGE", 20046},
        {"IDS_DIALOG_OK", 40000},
        {"IDS_DIALOG_MCP_STRINGS", 40005},
        {"IDS_DIALOG_MODIFY_M", 40365},
        {"IDS_MESSAGE_PROMPT_EXIT_ALL", 80000},
        {"IDS_MESSAGE_INTGRATION_CHECK", 80024},
        {"IDS_ERROR_PROMPT_LIMLIT_ACTIONS", 100026},
        {"IDS_ERROR_HYPERLINK_CAN_NOT_OPEN_LINK", 100066},
        {"IDS_PXT_PRODUCT", 140000},
        {"IDS_PXT_ATTRIBUTES", 140023},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.second, FindMessageId(row.first)) << row.first;
    EXPECT_EQ(0, FindMessageId("IDS_NO_SUCH_KEY"));
    EXPECT_EQ(0, FindMessageId("ids_pxt_product"));  // keys are case-sensitive
    EXPECT_EQ(0, FindMessageId(""));                 // not the end row
}

// Every row must show in every language: a column that is not a valid text
// of its code page would show as garbage, a missing line would shift a label
// set, a lost placeholder would drop a value or show a raw marker.
TEST(MessageTable, EveryRowHasAllColumnsWithMatchingLinesAndPlaceholders)
{
    for (const CMessageRow* pRow : AllRows()) {
        std::vector<std::string> arrEnglish, arrOther;
        const int nEnglishLines = SplitLines(arrEnglish, pRow->m_pszEnglish);
        EXPECT_GT(nEnglishLines, 0) << pRow->m_pszKey;
        const std::map<std::string, int> englishMarks = Placeholders(pRow->m_pszEnglish);
        for (int nColumn = MessageLanguageSimplified; nColumn <= MessageLanguageTraditional; ++nColumn) {
            const char* pszText = MessageColumnText(*pRow, nColumn);
            EXPECT_EQ(nEnglishLines, SplitLines(arrOther, pszText))
                << pRow->m_pszKey << " in " << kColumnNames[nColumn];
            EXPECT_EQ(englishMarks, Placeholders(pszText)) << pRow->m_pszKey << " in " << kColumnNames[nColumn];
        }
    }
}

TEST(MessageTable, LabelSetsHaveTheLineCountsTheirUsersIndex)
{
    const std::pair<std::int32_t, int> sets[] = {
        {IDS_DIALOG_MCP_STRINGS, 13},
        {IDS_MESSAGE_INTGRATION_CHECK, 17},
        {IDS_MESSAGE_VALIDATION_CHECK_MESSAGE, 6},
        {IDS_PXT_ATTRIBUTES, 6},
        {IDS_ERROR_PROMPT_LIMLIT_ACTIONS, 3},
        {IDS_DIALOG_MENU_STRINGS, 14},
        {IDS_DIALOG_DCE_LANGUAGE_LIST, 2},
        {IDS_DIALOG_MCP_TIPS, 5},
        {IDS_DIALOG_MCP_WA_NOTE, 2},
        {IDS_DIALOG_MCP_WA_NOTE98, 1},
    };
    std::vector<std::string> arrLines;
    for (const auto& set : sets) {
        const CMessageRow* pRow = FindMessageRow(set.first);
        ASSERT_NE(nullptr, pRow);
        for (int nColumn = MessageLanguageEnglish; nColumn <= MessageLanguageTraditional; ++nColumn) {
            EXPECT_EQ(set.second, SplitLines(arrLines, MessageColumnText(*pRow, nColumn)))
                << pRow->m_pszKey << " in " << kColumnNames[nColumn];
        }
    }
    // The welcome page fills its last three lines with the status lines.
    for (int nColumn = MessageLanguageEnglish; nColumn <= MessageLanguageTraditional; ++nColumn) {
        const int nCount = SplitLines(arrLines, GetMessage(IDS_DIALOG_WIZARD_WELCOME_INFO, "", "", "", nColumn));
        ASSERT_GE(nCount, 3);
        EXPECT_EQ("#1", arrLines[nCount - 3]);
        EXPECT_EQ("#2", arrLines[nCount - 2]);
        EXPECT_EQ("#3", arrLines[nCount - 1]);
    }
}

// The texts other modules quote, compare or build on, exactly.
TEST(MessageTable, QuotedEnglishTextsAreExact)
{
    const std::pair<std::int32_t, const char*> texts[] = {
        {Shell_Language, "English"},
        {Shell_LCID, "0x0409"},
        {IDS_PXT_PRODUCT, "KIVO"},
        {IDS_DIALOG_ABOUT_COMPANY_PRODUCT_VERSION, "KIVO 1.5"},
        {IDS_DIALOG_PX_MESSAGE_BOX_SHOW_DETAILS_D, "&Details >>"},
        {IDS_DIALOG_PX_MESSAGE_BOX_HIDE_DETAILS_D, "<< &Details"},
        {IDS_DIALOG_PX_MESSAGE_BOX_SHOW_NEXT_TIME_S, "&Show this message next time"},
        {IDS_DIALOG_PX_MESSAGE_BOX_PROMPT_DETAILS, "Please press \"Details\" for more information."},
        {IDS_DIALOG_CTP_STRINGS, "Loading code transfer engine"},
        {IDS_DIALOG_BROWSE_FOR_FOLDER, "Browse for a folder"},
        {IDS_DIALOG_MCP_INFO,
         "KIVO (Lumbra Site Edition) depends on Lumbra to configure word adjustment libraries. "
         "Please make you have installed Lumbra properly.\r\n\r\n"
         "%1 Main Path is the installation folder of %1."},
        {IDS_MESSAGE_PROMPT_FILE_EXISTS_PROMPT_OVERWRITE,
         "Following file already exists, will you overwrite it?\r\n\r\n%1"},
        {IDS_MESSAGE_PROMPT_WRITE_INTO_A_READONLY_HIDDEN_SYSTEM_FILE,
         "File \"#1\" is a #2 file, are you really decided to write into it?"},
        {IDS_MESSAGE_PROMPT_OPERATION_CANCELED_BY_USER, "Operation was canceled by user."},
        {IDS_ERROR_FILE_CAN_NOT_WRITE_FILE_CHECK_FP_DISK_FULL,
         "Can't write file \"%1\". Please check if the disk is full, or the directory or disk is "
         "write-protected."},
        {IDS_ERROR_MISC_UNKNOWN_ERROR_WITH_CODE, "Unknown Error (%1) occurred."},
        {IDS_ERROR_T2U_OVERFLOW,
         "The maximum size of the text you can transfer is #1, size of current text is #2. "
         "Please select less text and try again."},
        {IDS_DIALOG_DCE_FILE_TYPE, "Text File(*.txt)|*.txt|All Files(*.*)|*.*||"},
        {IDS_DIALOG_MCP_FILE_TYPE_ACTIVEX_CONTROL, "ActiveX Control (*.ocx)|*.ocx||"},
        {IDS_DIALOG_LVUD_FILE_TYPE_PROGRAM_AND_ALL,
         "Programs (*.exe;*.com;*.bat)|*.exe;*.com;*.bat|All Files (*.*)|*.*||"},
        {IDS_PXT_ATTRIBUTES, "Attributes\r\nNormal\r\nRead-only\r\nHidden\r\nArchive\r\nSystem"},
    };
    for (const auto& text : texts) {
        const CMessageRow* pRow = FindMessageRow(text.first);
        ASSERT_NE(nullptr, pRow) << text.first;
        EXPECT_STREQ(text.second, pRow->m_pszEnglish) << pRow->m_pszKey;
    }
    // The integration check builds its lines from the header, the template
    // and the fifteen descriptions, in the order of the checked files.
    std::vector<std::string> arrLines;
    SplitLines(arrLines, FindMessageRow(IDS_MESSAGE_INTGRATION_CHECK)->m_pszEnglish);
    EXPECT_EQ("Integration Check Failed!", arrLines[0]);
    EXPECT_EQ("\"#1\" (#2) not found!", arrLines[1]);
    EXPECT_EQ("GBK -> Big5 Configuration File", arrLines[2]);
    EXPECT_EQ("Final Fix Lib 2(GBK->Big5)", arrLines[9]);
    EXPECT_EQ("Final Fix Lib 3 (Big5->GBK)", arrLines[16]);
}

#if !defined(_WIN32)
// Converts all of `strIn` or fails; no substitution, no skipping.
bool ConvertStrictly(const char* pszTo, const char* pszFrom, const std::string& strIn, std::string& strOut)
{
    iconv_t cd = iconv_open(pszTo, pszFrom);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    std::vector<char> arrIn(strIn.begin(), strIn.end());
    std::vector<char> arrOut(strIn.size() * 4 + 16);
    char* pIn = arrIn.data();
    std::size_t nInLeft = arrIn.size();
    char* pOut = arrOut.data();
    std::size_t nOutLeft = arrOut.size();
    const std::size_t rc = iconv(cd, &pIn, &nInLeft, &pOut, &nOutLeft);
    iconv_close(cd);
    if (rc == static_cast<std::size_t>(-1) || nInLeft != 0)
        return false;
    strOut.assign(arrOut.data(), pOut);
    return true;
}

// Each column must be a valid text of its code page that reads back to the
// same bytes; under Windows the platform's own conversion checks the same
// (MessageCatalogueWin32Test.cpp).
TEST(MessageTable, EveryColumnRoundTripsThroughItsCodePage)
{
    const char* const codePages[] = {"", "CP1252", "CP936", "CP950"};
    for (const CMessageRow* pRow : AllRows()) {
        for (int nColumn = MessageLanguageEnglish; nColumn <= MessageLanguageTraditional; ++nColumn) {
            const std::string strBytes = MessageColumnText(*pRow, nColumn);
            std::string strUtf8, strBack;
            ASSERT_TRUE(ConvertStrictly("UTF-8", codePages[nColumn], strBytes, strUtf8))
                << pRow->m_pszKey << " in " << kColumnNames[nColumn];
            ASSERT_TRUE(ConvertStrictly(codePages[nColumn], "UTF-8", strUtf8, strBack))
                << pRow->m_pszKey << " in " << kColumnNames[nColumn];
            EXPECT_EQ(strBytes, strBack) << pRow->m_pszKey << " in " << kColumnNames[nColumn];
        }
    }
}
#endif

// ---------------------------------------------------------------- look-up

TEST(GetMessage, ExplicitLanguageSelectsItsColumn)
{
    EXPECT_EQ("English", GetMessage(Shell_Language, "", "", "", MessageLanguageEnglish));
    EXPECT_EQ("\xBC\xF2\xCC\xE5\xD6\xD0\xCE\xC4", GetMessage(Shell_Language, "", "", "", MessageLanguageSimplified));
    EXPECT_EQ("\xC1\x63\xC5\xE9\xA4\xA4\xA4\xE5", GetMessage(Shell_Language, "", "", "", MessageLanguageTraditional));
    EXPECT_EQ("0x0804", GetMessage(Shell_LCID, "", "", "", MessageLanguageSimplified));
    EXPECT_EQ("0x0404", GetMessage(Shell_LCID, "", "", "", MessageLanguageTraditional));
}

TEST(GetMessage, OtherLanguageValuesFollowTheCurrentLCID)
{
    EXPECT_EQ("0x0409", GetMessage(Shell_LCID));  // nothing chosen yet: English
    {
        CFixedLanguage language(2052);
        EXPECT_EQ("0x0804", GetMessage(Shell_LCID));
        EXPECT_EQ("0x0804", GetMessage(Shell_LCID, "", "", "", 4));
        EXPECT_EQ("0x0804", GetMessage(Shell_LCID, "", "", "", -1));
    }
    {
        CFixedLanguage language(1028);
        EXPECT_EQ("0x0404", GetMessage(Shell_LCID));
    }
    {
        // Any LCID but English and Simplified Chinese reads the Traditional column.
        CFixedLanguage language(1041);
        EXPECT_EQ("0x0404", GetMessage(Shell_LCID));
    }
    EXPECT_EQ("0x0409", GetMessage(Shell_LCID));  // the current object is gone
}

TEST(GetMessage, MissingIdGivesEmptyText)
{
    EXPECT_EQ("", GetMessage(0));
    EXPECT_EQ("", GetMessage(20001, "x"));
    EXPECT_EQ("", GetMessage(-1));
    EXPECT_EQ("", GetMessageByKey("IDS_NO_SUCH_KEY", "x"));
    EXPECT_EQ("KIVO", GetMessageByKey("IDS_PXT_PRODUCT"));
}

TEST(GetMessage, FillsPercentPlaceholdersFromItsArguments)
{
    EXPECT_EQ("Input value must be between 1 and 9.",
              GetMessage(IDS_ERROR_VALUE_INPUT_VALUE_MUST_BE_BETWEEN_A_AND_B, "1", "9", "", MessageLanguageEnglish));
    // Every occurrence of a placeholder is filled.
    EXPECT_EQ("KIVO (Lumbra Site Edition) depends on Lumbra to configure word adjustment libraries. "
              "Please make you have installed Lumbra properly.\r\n\r\nKIVO Main Path is the installation folder of KIVO.",
              GetMessage(IDS_DIALOG_MCP_INFO, "KIVO", "", "", MessageLanguageEnglish));
    // In a Chinese column too; "#n" markers are the caller's.
    EXPECT_EQ("\xB9\xD8\xD3\xDA KIVO", GetMessage(IDS_DIALOG_ABOUT_TITLE, "KIVO", "", "", MessageLanguageSimplified));
    EXPECT_EQ("File \"#1\" not found.", GetMessage(IDS_ERROR_FILE_FILE_NOT_EXIST, "x", "", "", MessageLanguageEnglish));
}

TEST(SubstituteMessageParams, SecondAndThirdFollowOnlyAFilledPredecessor)
{
    struct Case {
        const char* pszText;
        const char* pszExpected;
    };
    const Case cases[] = {
        {"a %2 b", "a %2 b"},                  // no %1: untouched
        {"%3 only", "%3 only"},
        {"%1 and %3", "A and %3"},             // no %2: %3 kept
        {"%1 %2 %3", "A B C"},
        {"%3%2%1%1", "CBAA"},
        {"%1%1 %2%2 %3%3", "AA BB CC"},
        {"100%1%", "100A%"},
        {"%4 %0 %1", "%4 %0 A"},
        {"%", "%"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.pszExpected, SubstituteMessageParams(c.pszText, "A", "B", "C")) << c.pszText;
}

// An argument is a value, not a template: a path holding "%2" must survive.
TEST(SubstituteMessageParams, ArgumentsAreNeverSearchedForPlaceholders)
{
    EXPECT_EQ("Moving file C:\\100%2\\%1.exe to D:\\x...",
              SubstituteMessageParams("Moving file %1 to %2...", "C:\\100%2\\%1.exe", "D:\\x", "unused"));
    EXPECT_EQ("[%3] [z]", SubstituteMessageParams("[%1] [%2]", "%3", "z", "never"));
}

// ---------------------------------------------------------------- lines

TEST(SplitLines, PiecesEndAtEachCrLfButTheLast)
{
    struct Case {
        std::string strText;
        std::vector<std::string> arrExpected;
    };
    const Case cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\n", {"a"}},
        {"\r\n", {""}},
        {"a\r\nb", {"a", "b"}},
        {"a\r\n\r\nb", {"a", "", "b"}},
        {"a\r\n\r\n", {"a", ""}},
        {"\r\n\r\n\r\n", {"", "", ""}},
        {"a\nb\rc", {"a\nb\rc"}},          // only the pair separates
        {"a\r\r\nb", {"a\r", "b"}},
        {"a\r", {"a\r"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> arrLines = {"left over"};
        EXPECT_EQ(static_cast<int>(c.arrExpected.size()), SplitLines(arrLines, c.strText));
        EXPECT_EQ(c.arrExpected, arrLines);
    }
}

TEST(SplitLines, NeverCutsADoubleByteCharacter)
{
    std::vector<std::string> arrLines;
    // GBK and Big5 characters stay whole, their trail bytes ("@", "\\", "|") included.
    EXPECT_EQ(2, SplitLines(arrLines, "\xB1\xA3\xB4\xE6\r\n\xA5\x40\xB3\x5C\xA1\x7C"));
    EXPECT_EQ("\xB1\xA3\xB4\xE6", arrLines[0]);
    EXPECT_EQ("\xA5\x40\xB3\x5C\xA1\x7C", arrLines[1]);
    // A lone lead byte before CR LF does not swallow the CR.
    EXPECT_EQ(2, SplitLines(arrLines, "x\x81\r\ny"));
    EXPECT_EQ("x\x81", arrLines[0]);
    EXPECT_EQ("y", arrLines[1]);
    // Latin-1 letters of the English column are no lead bytes either.
    EXPECT_EQ(2, SplitLines(arrLines, "caf\xE9\r\nna\xEFve"));
    EXPECT_EQ("caf\xE9", arrLines[0]);
}

TEST(GetMessageLines, TakesTheCurrentLanguageWhenTheCountMatches)
{
    CFixedLanguage language(1028);
    std::vector<std::string> arrLines;
    EXPECT_TRUE(GetMessageLines(arrLines, IDS_PXT_ATTRIBUTES, 6));
    ASSERT_EQ(6u, arrLines.size());
    EXPECT_EQ("\xB0\xDF\xC5\xAA", arrLines[2]);  // 唯讀
    // Placeholders stay for the caller.
    EXPECT_TRUE(GetMessageLines(arrLines, IDS_MESSAGE_INTGRATION_CHECK, 17));
    EXPECT_NE(std::string::npos, arrLines[1].find("#1"));
    EXPECT_NE(std::string::npos, arrLines[1].find("#2"));
}

TEST(GetMessageLines, FallsBackToEnglishOnAWrongCount)
{
    CFixedLanguage language(2052);
    std::vector<std::string> arrLines;
    EXPECT_FALSE(GetMessageLines(arrLines, IDS_PXT_ATTRIBUTES, 5));
    ASSERT_EQ(6u, arrLines.size());
    EXPECT_EQ("Read-only", arrLines[2]);

    // A translation that lost a line, or gained one, shows the English set.
    const CMessageRow shortRow = {1, 0, "T", "Dialog", "one\r\ntwo\r\nthree", "\xD2\xBB\r\n\xB6\xFE",
                                  "\xA4\x40\r\n\xA4\x47\r\n\xA4\x54\r\n\xA5\x7C"};
    EXPECT_FALSE(GetRowLines(arrLines, shortRow, MessageLanguageSimplified, 3));
    EXPECT_EQ((std::vector<std::string>{"one", "two", "three"}), arrLines);
    EXPECT_FALSE(GetRowLines(arrLines, shortRow, MessageLanguageTraditional, 3));
    EXPECT_EQ((std::vector<std::string>{"one", "two", "three"}), arrLines);
    EXPECT_TRUE(GetRowLines(arrLines, shortRow, MessageLanguageEnglish, 3));

    arrLines = {"stale"};
    EXPECT_FALSE(GetMessageLines(arrLines, 20001, 2));  // no such row
    EXPECT_TRUE(arrLines.empty());
}

}  // namespace
