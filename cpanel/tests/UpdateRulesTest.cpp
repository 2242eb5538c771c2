// The update check's text rules: the information text, dates, the quiet
// period after a decline, the offer, and the download's names and sizes.
#include "../fuzz/UpdateInfoFuzz.cpp"

#include "../../foundation/fuzz/FuzzCorpus.h"
#include "UpdateSignature.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

const CUpdateDate kOwnBuild{2005, 8, 6};

TEST(UpdateInfo, KeysInAnyCaseLaterLinesWinCommentsAndOthersIgnored)
{
    const CUpdateInfo info = ParseUpdateInfo(
        "; KIVO update information\r\n"
        "  version = 1.5 beta\r\n"
        "BUILD=2005-8-5\r\n"
        "Build = 2006-1-15\r\n"
        "; URL = http://example.invalid/old.exe\r\n"
        "Url\t=   http://127.0.0.1/kivo/download/kivo15.exe  \r\n"
        "Notes = whatever\r\n"
        "sha256 = 9F86D081884C7D659A2FEAA0C55AD015A3BF4F1B2B0B822CD15D6C15B0F00A08");
    EXPECT_EQ(info.strVersion, "1.5 beta");
    EXPECT_EQ(info.strBuild, "2006-1-15");
    EXPECT_EQ(info.strUrl, "http://127.0.0.1/kivo/download/kivo15.exe");
    EXPECT_TRUE(info.bHasSha256);
    EXPECT_EQ(info.strSha256, "9F86D081884C7D659A2FEAA0C55AD015A3BF4F1B2B0B822CD15D6C15B0F00A08");

    const CUpdateInfo bare = ParseUpdateInfo("Build = 2006-1-15\nURL\n");
    EXPECT_EQ(bare.strUrl, "");
    EXPECT_FALSE(bare.bHasSha256);
    EXPECT_EQ(ParseUpdateInfo("").strBuild, "");
}

TEST(UpdateDate, ReadsOnlyPlainRealDates)
{
    const struct {
        const char* pszText;
        bool bDate;
        CUpdateDate date;
    } cases[] = {
        {"2005-8-6", true, {2005, 8, 6}},
        {" 2005 - 08 - 06 ", true, {2005, 8, 6}},
        {"05-8-6", true, {2005, 8, 6}},
        {"2006--1--15", true, {2006, 1, 15}},
        {"2004-2-29", true, {2004, 2, 29}},
        {"2000-2-29", true, {2000, 2, 29}},
        {"1900-2-29", false, {}},
        {"2005-2-29", false, {}},
        {"2005-02-30", false, {}},
        {"2005-13-1", false, {}},
        {"2005-0-10", false, {}},
        {"2005-00-10", false, {}},
        {"2005-8-006", false, {}},
        {"205-8-6", false, {}},
        {"0005-8-6", false, {}},
        {"0500-8-6", false, {}},
        {"2005-+8-6", false, {}},
        {"2005-8-6x", false, {}},
        {"2005-8-6-1", false, {}},
        {"2005/8/6", false, {}},
        {"2005-8", false, {}},
        {"", false, {}},
    };
    for (const auto& c : cases) {
        CUpdateDate date;
        EXPECT_EQ(ReadUpdateDate(c.pszText, date), c.bDate) << c.pszText;
        if (c.bDate) {
            EXPECT_EQ(FormatUpdateDate(date), FormatUpdateDate(c.date)) << c.pszText;
        }
    }
    EXPECT_EQ(FormatBuildDate({2006, 1, 5}), "2006-01-05");
    EXPECT_EQ(FormatUpdateDate({2006, 1, 5}), "2006-1-5");
}

TEST(UpdateDate, ADeclineSilencesThatDayAndTheFiveAfter)
{
    const struct {
        const char* pszLastDeny;
        CUpdateDate today;
        bool bQuiet;
    } cases[] = {
        {"2006-2-25", {2006, 2, 25}, true},
        {"2006-2-25", {2006, 3, 2}, true},     // day 5, across the month's end
        {"2006-2-25", {2006, 3, 3}, false},    // day 6
        {"2004-2-25", {2004, 3, 2}, false},    // a leap year's day 6
        {"2006-2-26", {2006, 2, 25}, false},   // a decline in the future
        {"2005-12-31", {2006, 1, 1}, true},
        {"yesterday", {2006, 2, 25}, false},
        {"", {2006, 2, 25}, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsInQuietPeriod(c.pszLastDeny, c.today), c.bQuiet)
            << c.pszLastDeny << " / " << FormatUpdateDate(c.today);
}

TEST(UpdateOffer, ALaterBuildUpTo2020AndAProgramUrl)
{
    const struct {
        const char* pszBuild;
        bool bNewer;
    } builds[] = {
        {"2005-8-6", false}, {"2005-8-7", true}, {"05-08-07", true}, {"2005-7-30", false},
        {"2020-12-31", true}, {"2021-1-1", false}, {"not a date", false}, {"", false},
    };
    for (const auto& b : builds)
        EXPECT_EQ(IsNewerBuild(b.pszBuild, kOwnBuild), b.bNewer) << b.pszBuild;

    unsigned char digest[32];
    for (int i = 0; i < 32; ++i)
        digest[i] = static_cast<unsigned char>(i * 8 + 7);
    const std::string strHex = "070f171f272f373f474f575f676f777f878f979fa7afb7bfc7cfd7dfe7eff7ff";
    EXPECT_TRUE(IsSameDigest(digest, strHex));
    EXPECT_TRUE(IsSameDigest(digest, " 070F171F272F373F474F575F676F777F878F979FA7AFB7BFC7CFD7DFE7EFF7FF "));
    EXPECT_FALSE(IsSameDigest(digest, strHex.substr(0, 62)));
    EXPECT_FALSE(IsSameDigest(digest, "170f" + strHex.substr(4)));
    EXPECT_FALSE(IsSameDigest(digest, ""));

    EXPECT_TRUE(IsInstallerUrl("http://127.0.0.1/kivo15.EXE"));
    EXPECT_FALSE(IsInstallerUrl("http://127.0.0.1/kivo15.zip"));
    EXPECT_FALSE(IsInstallerUrl("exe"));
}

TEST(UpdateOffer, AnInstallerOnlyOnTheSiteAndWithItsDigest)
{
    const std::string strSite = "http://www.perdix.com.cn";
    const std::string strDigest(64, 'a');
    const struct {
        const char* pszUrl;
        bool bDigest;
        EUpdateOffer eOffer;
    } cases[] = {
        {"http://www.perdix.com.cn/kivo/download/kivo16.exe", true, EUpdateOffer::kInstaller},
        {"HTTP://WWW.PERDIX.COM.CN/kivo/kivo16.EXE", true, EUpdateOffer::kInstaller},
        {"http://www.perdix.com.cn/kivo/download/kivo16.exe", false, EUpdateOffer::kNone},
        {"http://www.perdix.com.cn.example.org/kivo16.exe", true, EUpdateOffer::kNone},
        {"http://www.perdix.com.cn@example.org/kivo16.exe", true, EUpdateOffer::kNone},
        {"http://www.perdix.com.cn:8080/kivo16.exe", true, EUpdateOffer::kNone},
        {"https://www.perdix.com.cn/kivo16.exe", true, EUpdateOffer::kNone},
        {"http://example.org/www.perdix.com.cn/kivo16.exe", true, EUpdateOffer::kNone},
        {"http://www.perdix.com.cn/kivo/", false, EUpdateOffer::kHomePage},
        {"", false, EUpdateOffer::kHomePage},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszUrl);
        CUpdateInfo info;
        info.strBuild = "2006-1-15";
        info.strUrl = c.pszUrl;
        info.bHasSha256 = c.bDigest;
        info.strSha256 = c.bDigest ? strDigest : "";
        EXPECT_EQ(JudgeUpdateOffer(info, kOwnBuild, strSite), c.eOffer);
    }
    CUpdateInfo info;
    info.strBuild = "2006-1-15";
    info.strUrl = strSite + "/kivo16.exe";
    info.bHasSha256 = true;
    info.strSha256 = strDigest.substr(1) + "g";
    EXPECT_EQ(JudgeUpdateOffer(info, kOwnBuild, strSite), EUpdateOffer::kNone) << "a digest that is no digest";
    info.strSha256 = strDigest;
    info.strBuild = "2005-8-6";
    EXPECT_EQ(JudgeUpdateOffer(info, kOwnBuild, strSite), EUpdateOffer::kNone) << "no newer build";
}

TEST(UpdateSignature, OnlyAWholeLastLineOfTheRightLengthIsASignature)
{
    const std::string strBody = "Build = 2006-1-15\r\nURL = http://h/k.exe\r\n";
    const std::string strHex = "00FF7A";
    const struct {
        std::string strText;
        bool bSigned;
    } cases[] = {
        {strBody + "; Signature = " + strHex + "\r\n", true},
        {strBody + "; Signature = " + strHex, true},
        {strBody + "; Signature = " + strHex + "\n", true},
        {"; Signature = " + strHex + "\r\n", true},
        {strBody, false},
        {strBody + "; Signature = " + strHex + "\r\n\r\n", false},
        {strBody + "; Signature = " + strHex + "\r\nURL = http://other/k.exe\r\n", false},
        {strBody + "; Signature = 00ff7a\r\n", false},
        {strBody + "; Signature = 00FF\r\n", false},
        {strBody + "; Signature = 00FF7A00\r\n", false},
        {strBody + "; Signature = " + strHex + " \r\n", false},
        {strBody + ";Signature = " + strHex + "\r\n", false},
        {"", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.strText);
        CSignedUpdateText signedText;
        ASSERT_EQ(SplitSignedUpdateText(c.strText, 3, signedText), c.bSigned);
        if (!c.bSigned)
            continue;
        EXPECT_EQ(signedText.strSigned, c.strText.substr(0, c.strText.find("; Signature")));
        EXPECT_EQ(signedText.arrSignature, (std::vector<unsigned char>{0x00, 0xFF, 0x7A}));
    }
}

TEST(DownloadNames, SizesAtEachStep)
{
    const struct {
        std::uint64_t nBytes;
        const char* pszShort;
    } cases[] = {
        {0, "0 Bytes"},           {1023, "1023 Bytes"},     {1024, "1.00 KB"},       {1536, "1.50 KB"},
        {10239, "9.99 KB"},       {10240, "10.0 KB"},       {102399, "99.9 KB"},     {102400, "100 KB"},
        {1048575, "1023 KB"},     {1048576, "1.00 MB"},     {10485759, "9.99 MB"},   {10485760, "10.0 MB"},
        {104857599, "99.9 MB"},   {104857600, "100 MB"},    {5368709120ULL, "5120 MB"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ShortSizeText(c.nBytes, "Bytes"), c.pszShort) << c.nBytes;
    EXPECT_EQ(SizeText(1536, "Bytes"), "1.50 KB (1,536 Bytes)");
    EXPECT_EQ(LongSizeText(1234567, "Bytes"), "1,234,567 Bytes");
    EXPECT_EQ(LongSizeText(999, "Bytes"), "999 Bytes");
}

TEST(DownloadNames, TheTargetTakesTheFirstFreeNumber)
{
    std::set<std::string> taken = {"D:\\download\\kivo15.exe", "D:\\download\\kivo15(1).exe"};
    const auto exists = [&](const std::string& strPath) { return taken.count(strPath) != 0; };
    const auto folderOf = [](const std::string& strPath) {
        return strPath.rfind("D:\\download\\", 0) == 0 ? std::string("D:\\download") : std::string();
    };
    EXPECT_EQ(DownloadTarget("D:\\download\\kivo15.EXE", folderOf, exists), "D:\\download\\kivo15(2).exe");
    EXPECT_EQ(DownloadTarget("D:\\download\\setup", folderOf, exists), "D:\\download\\setup.exe");
    EXPECT_EQ(DownloadTarget("D:\\download\\", folderOf, exists), "D:\\download\\setup.exe");
    EXPECT_EQ(InstallerFileName("http://127.0.0.1/kivo/"), "setup.exe");
    EXPECT_EQ(DownloadTarget("Q:\\nowhere\\kivo15.exe", folderOf, exists), "C:\\kivo15.exe");
    EXPECT_EQ(DownloadTarget("Q:\\nowhere\\kivo15.exe", [](const std::string&) { return std::string("E:\\"); },
                             exists),
              "E:\\kivo15.exe");

    EXPECT_EQ(LastPathPart("http://127.0.0.1/kivo/download/kivo15.exe"), "kivo15.exe");
    EXPECT_EQ(LastPathPart("C:\\a/b\\setup.exe"), "setup.exe");
    EXPECT_EQ(WithProgramExtension("C:\\download\\setup"), "C:\\download\\setup.exe");
    EXPECT_EQ(WithProgramExtension("C:\\download\\kivo.1\\setup"), "C:\\download\\kivo.1\\setup.exe");
    EXPECT_EQ(WithProgramExtension("C:\\download\\setup.msi"), "C:\\download\\setup.msi");
}

// The fuzz target's seeds (and every crash input added there later), through
// the target's own checks.
TEST(UpdateInfoCorpus, EverySeedKeepsThePromises)
{
    const std::vector<CFuzzCorpusFile> files = ReadFuzzCorpus(KIVO_UPDATE_INFO_CORPUS);
    for (const CFuzzCorpusFile& file : files) {
        SCOPED_TRACE(file.m_path.filename().string());
        ExerciseUpdateInfo(file.Data(), file.Size());
    }
    // A wrong folder must not pass as an empty corpus.
    EXPECT_GE(files.size(), 5u);
}

} // namespace
