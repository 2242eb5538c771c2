// Fuzz target of the update-information text: the bytes as the vendor's
// server might send them (any length, any bytes, any line ends), through the
// reader, the date rules and the download names. What each promises is
// checked; a broken promise aborts, so the fuzzer keeps the input.
//
// The ordinary test run replays the seed corpus through ExerciseUpdateInfo
// (cpanel/tests/UpdateRulesTest.cpp).
#include "DownloadNames.h"
#include "UpdateInfo.h"
#include "UpdateSignature.h"

#include <cstddef>
#include <cstdint>
#include <string>

#include "../../foundation/fuzz/FuzzRequire.h"

namespace {

bool IsBlankChar(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// A value starts after the key's blanks and "=", and a line is trimmed.
void CheckValue(const std::string& strValue)
{
    KIVO_FUZZ_REQUIRE(strValue.empty() || (strValue.front() != ' ' && strValue.front() != '='));
    KIVO_FUZZ_REQUIRE(strValue.empty() || !IsBlankChar(strValue.back()));
    KIVO_FUZZ_REQUIRE(strValue.find('\n') == std::string::npos);
}

void CheckDate(const std::string& strText)
{
    CUpdateDate date;
    if (!ReadUpdateDate(strText, date))
        return;
    KIVO_FUZZ_REQUIRE(date.nYear >= 1000 && date.nYear <= 9999);
    KIVO_FUZZ_REQUIRE(date.nMonth >= 1 && date.nMonth <= 12);
    KIVO_FUZZ_REQUIRE(date.nDay >= 1 && date.nDay <= 31);
    // What is read is written back the way the registry keeps it, and reads the same.
    CUpdateDate again;
    KIVO_FUZZ_REQUIRE(ReadUpdateDate(FormatUpdateDate(date), again));
    KIVO_FUZZ_REQUIRE(again.nYear == date.nYear && again.nMonth == date.nMonth && again.nDay == date.nDay);
    KIVO_FUZZ_REQUIRE(ReadUpdateDate(FormatBuildDate(date), again));
    KIVO_FUZZ_REQUIRE(DaysBetween(date, date) == 0);
}

} // namespace

void ExerciseUpdateInfo(const std::uint8_t* pData, std::size_t nSize)
{
    const std::string strText(reinterpret_cast<const char*>(pData), nSize);
    // The signature line: what it covers is the text before it, whole lines.
    CSignedUpdateText signedText;
    if (SplitSignedUpdateText(strText, 4, signedText)) {
        KIVO_FUZZ_REQUIRE(signedText.arrSignature.size() == 4);
        KIVO_FUZZ_REQUIRE(strText.compare(0, signedText.strSigned.size(), signedText.strSigned) == 0);
        KIVO_FUZZ_REQUIRE(signedText.strSigned.empty() || signedText.strSigned.back() == '\n');
        KIVO_FUZZ_REQUIRE(strText.find(kUpdateSignaturePrefix, signedText.strSigned.size()) == signedText.strSigned.size());
    }
    const CUpdateInfo info = ParseUpdateInfo(strText);
    for (const std::string* pValue : {&info.strVersion, &info.strBuild, &info.strUrl, &info.strSha256})
        CheckValue(*pValue);
    KIVO_FUZZ_REQUIRE(info.bHasSha256 || info.strSha256.empty());
    CheckDate(info.strBuild);
    CheckDate(strText.substr(0, 64));
    const CUpdateDate own{2005, 8, 6};
    if (IsNewerBuild(info.strBuild, own)) {
        CUpdateDate build;
        KIVO_FUZZ_REQUIRE(ReadUpdateDate(info.strBuild, build) && build.nYear <= 2020 && DaysBetween(own, build) > 0);
    }
    const std::string strSite = "http://www.perdix.com.cn";
    if (JudgeUpdateOffer(info, own, strSite) == EUpdateOffer::kInstaller)
        KIVO_FUZZ_REQUIRE(IsOnSite(info.strUrl, strSite) && IsDigestText(info.strSha256) &&
                          info.strUrl.compare(0, strSite.size() + 1, strSite + "/") == 0);
    const unsigned char zeros[32] = {};
    if (IsSameDigest(zeros, info.strSha256))
        KIVO_FUZZ_REQUIRE(info.strSha256.find_first_not_of("0 \t\r\n") == std::string::npos);

    // The installer's names: always a program in a folder.
    const std::string strTarget = DownloadTarget(
        info.strUrl, [](const std::string&) { return std::string("D:\\download"); },
        [](const std::string&) { return false; });
    KIVO_FUZZ_REQUIRE(strTarget.rfind("D:\\download\\", 0) == 0);
    KIVO_FUZZ_REQUIRE(IsInstallerUrl(strTarget));
    KIVO_FUZZ_REQUIRE(!InstallerFileName(info.strUrl).empty());
    std::uint64_t nBytes = 0;
    for (std::size_t i = 0; i < nSize && i < 8; ++i)
        nBytes = (nBytes << 8) | pData[i];
    KIVO_FUZZ_REQUIRE(!SizeText(nBytes, "Bytes").empty());
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize)
{
    ExerciseUpdateInfo(pData, nSize);
    return 0;
}
