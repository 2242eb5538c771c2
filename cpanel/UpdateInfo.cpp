#include "UpdateInfo.h"

#include "TextTrim.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

namespace {

bool StartsWithKey(const std::string& strLine, const char* pszKey, std::size_t nLength)
{
    if (strLine.size() < nLength)
        return false;
    for (std::size_t i = 0; i < nLength; ++i)
        if (std::tolower(static_cast<unsigned char>(strLine[i])) != std::tolower(static_cast<unsigned char>(pszKey[i])))
            return false;
    return true;
}

// The value after a key: what follows the key and one more character, less
// leading blanks and "=".
std::string ValueAfter(const std::string& strLine, std::size_t nKeyLength)
{
    if (strLine.size() <= nKeyLength + 1)
        return std::string();
    const std::string strRest = strLine.substr(nKeyLength + 1);
    const std::size_t nStart = strRest.find_first_not_of(" =");
    return nStart == std::string::npos ? std::string() : strRest.substr(nStart);
}

struct CKey {
    const char* pszKey;
    std::size_t nLength;
    std::string CUpdateInfo::*pValue;
};

const CKey kKeys[] = {
    {"Version", 7, &CUpdateInfo::strVersion},
    {"Build", 5, &CUpdateInfo::strBuild},
    {"URL", 3, &CUpdateInfo::strUrl},
    {"SHA256", 6, &CUpdateInfo::strSha256},
};

// A number part of a date: `nMin` to `nMax` characters that read back as
// themselves through "%d" (a month or a day once one leading "0" is dropped).
bool ReadDatePart(std::string strPart, std::size_t nMin, std::size_t nMax, bool bLeadingZero, int& nValue)
{
    if (strPart.size() < nMin || strPart.size() > nMax)
        return false;
    if (bLeadingZero && strPart.size() > 1 && strPart[0] == '0')
        strPart.erase(0, 1);
    for (char c : strPart)
        if (c < '0' || c > '9')
            return false;
    nValue = std::atoi(strPart.c_str());
    return std::to_string(nValue) == strPart;
}

bool IsLeapYear(int nYear)
{
    return (nYear % 4 == 0 && nYear % 100 != 0) || nYear % 400 == 0;
}

int DaysInMonth(int nYear, int nMonth)
{
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return nMonth == 2 && IsLeapYear(nYear) ? 29 : kDays[nMonth - 1];
}

// Days since a fixed day, for differences (the civil-calendar day count).
long DayNumber(const CUpdateDate& date)
{
    const long y = date.nMonth <= 2 ? date.nYear - 1 : date.nYear;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yoe = y - era * 400;
    const long m = date.nMonth;
    const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + date.nDay - 1;
    const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe;
}

bool IsEarlier(const CUpdateDate& a, const CUpdateDate& b)
{
    if (a.nYear != b.nYear)
        return a.nYear < b.nYear;
    if (a.nMonth != b.nMonth)
        return a.nMonth < b.nMonth;
    return a.nDay < b.nDay;
}

} // namespace

CUpdateInfo ParseUpdateInfo(const std::string& strText)
{
    CUpdateInfo info;
    std::size_t nStart = 0;
    while (nStart <= strText.size()) {
        std::size_t nEnd = strText.find('\n', nStart);
        if (nEnd == std::string::npos)
            nEnd = strText.size();
        std::string strLine = strText.substr(nStart, nEnd - nStart);
        nStart = nEnd + 1;
        TrimBlank(strLine);
        if (strLine.empty() || strLine[0] == ';')
            continue;
        for (const CKey& key : kKeys) {
            if (!StartsWithKey(strLine, key.pszKey, key.nLength))
                continue;
            info.*key.pValue = ValueAfter(strLine, key.nLength);
            if (key.pValue == &CUpdateInfo::strSha256)
                info.bHasSha256 = true;
            break;
        }
    }
    return info;
}

bool ReadUpdateDate(const std::string& strText, CUpdateDate& date)
{
    std::string strDate;
    for (char c : strText)
        if (c != ' ')
            strDate += c;
    for (std::size_t n; (n = strDate.find("--")) != std::string::npos;)
        strDate.replace(n, 2, "-");
    const std::size_t nFirst = strDate.find('-');
    if (nFirst == std::string::npos)
        return false;
    const std::size_t nSecond = strDate.find('-', nFirst + 1);
    if (nSecond == std::string::npos)
        return false;
    std::string strYear = strDate.substr(0, nFirst);
    if (strYear.size() == 2)
        strYear = "20" + strYear;
    CUpdateDate result;
    if (!ReadDatePart(strYear, 4, 4, false, result.nYear) ||
        !ReadDatePart(strDate.substr(nFirst + 1, nSecond - nFirst - 1), 1, 2, true, result.nMonth) ||
        !ReadDatePart(strDate.substr(nSecond + 1), 1, 2, true, result.nDay))
        return false;
    if (result.nYear < 1 || result.nMonth < 1 || result.nMonth > 12 || result.nDay < 1 ||
        result.nDay > DaysInMonth(result.nYear, result.nMonth))
        return false;
    date = result;
    return true;
}

std::string FormatUpdateDate(const CUpdateDate& date)
{
    char szDate[40] = {};
    std::snprintf(szDate, sizeof szDate, "%d-%d-%d", date.nYear, date.nMonth, date.nDay);
    return szDate;
}

std::string FormatBuildDate(const CUpdateDate& date)
{
    char szDate[40] = {};
    std::snprintf(szDate, sizeof szDate, "%d-%02d-%02d", date.nYear, date.nMonth % 100, date.nDay % 100);
    return szDate;
}

long DaysBetween(const CUpdateDate& from, const CUpdateDate& to)
{
    return DayNumber(to) - DayNumber(from);
}

bool IsInQuietPeriod(const std::string& strLastDeny, const CUpdateDate& today)
{
    CUpdateDate deny;
    if (!ReadUpdateDate(strLastDeny, deny))
        return false;
    const long nDays = DaysBetween(deny, today);
    return nDays >= 0 && nDays <= 5;
}

bool IsNewerBuild(const std::string& strBuild, const CUpdateDate& own)
{
    CUpdateDate build;
    return ReadUpdateDate(strBuild, build) && build.nYear <= 2020 && IsEarlier(own, build);
}

bool IsInstallerUrl(const std::string& strUrl)
{
    return strUrl.size() >= 4 && StartsWithKey(strUrl.substr(strUrl.size() - 4), ".exe", 4);
}

bool IsSameDigest(const unsigned char* pDigest, const std::string& strHex)
{
    std::string strDigits = strHex;
    TrimBlank(strDigits);
    if (strDigits.size() != 64)
        return false;
    static const char kHex[] = "0123456789abcdef";
    for (std::size_t i = 0; i < 32; ++i) {
        const char chHigh = static_cast<char>(std::tolower(static_cast<unsigned char>(strDigits[2 * i])));
        const char chLow = static_cast<char>(std::tolower(static_cast<unsigned char>(strDigits[2 * i + 1])));
        if (chHigh != kHex[pDigest[i] >> 4] || chLow != kHex[pDigest[i] & 0x0F])
            return false;
    }
    return true;
}

bool IsDigestText(const std::string& strHex)
{
    std::string strDigits = strHex;
    TrimBlank(strDigits);
    if (strDigits.size() != 64)
        return false;
    for (const char c : strDigits)
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return false;
    return true;
}

bool IsOnSite(const std::string& strUrl, const std::string& strSite)
{
    return !strSite.empty() && strUrl.size() > strSite.size() && StartsWithKey(strUrl, strSite.c_str(), strSite.size()) &&
           strUrl[strSite.size()] == '/';
}

EUpdateOffer JudgeUpdateOffer(const CUpdateInfo& info, const CUpdateDate& own, const std::string& strSite)
{
    if (!IsNewerBuild(info.strBuild, own))
        return EUpdateOffer::kNone;
    if (!IsInstallerUrl(info.strUrl))
        return EUpdateOffer::kHomePage;
    if (!IsOnSite(info.strUrl, strSite) || !info.bHasSha256 || !IsDigestText(info.strSha256))
        return EUpdateOffer::kNone;
    return EUpdateOffer::kInstaller;
}
