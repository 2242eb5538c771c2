// The update information the vendor publishes for the update check, and the
// rules that decide whether it offers a newer build. All plain text work:
// the fetching, the prompts and the download are elsewhere.
#pragma once

#include <string>

// What an update-information text says. Lines are "Key = value"; a line
// starting with ";" is a comment; keys are matched at the start of the line
// in any case ("Version", "Build", "URL", "SHA256"); a later line overrides
// an earlier one with the same key; anything else is ignored.
struct CUpdateInfo {
    std::string strVersion;
    std::string strBuild;
    std::string strUrl;
    // The installer's SHA-256 digest; an installer is offered only with it.
    std::string strSha256;
    bool bHasSha256 = false;
};

CUpdateInfo ParseUpdateInfo(const std::string& strText);

// A calendar date as the update check reads it.
struct CUpdateDate {
    int nYear = 0;
    int nMonth = 0;
    int nDay = 0;
};

// Reads "year-month-day": blanks removed, "--" read as "-", a year of 4
// digits or 2 (20xx), a month and a day of 1 or 2 digits (one leading zero
// allowed), plain decimal digits only, and a real calendar date. False for
// anything else.
bool ReadUpdateDate(const std::string& strText, CUpdateDate& date);

// "%d-%d-%d", as the registry values and the build date are written.
std::string FormatUpdateDate(const CUpdateDate& date);

// The build date shown to the user: the year, then the month and the day
// with two digits each ("2006-01-05").
std::string FormatBuildDate(const CUpdateDate& date);

// Days from `from` to `to` (negative when `to` comes first).
long DaysBetween(const CUpdateDate& from, const CUpdateDate& to);

// True while a decline on `strLastDeny` still silences the check on `today`:
// that day and the five after it. A text that is no date silences nothing.
bool IsInQuietPeriod(const std::string& strLastDeny, const CUpdateDate& today);

// True when `strBuild` names a build later than `own`, up to the year 2020
// (later years are taken for mistakes). An equal date is no update.
bool IsNewerBuild(const std::string& strBuild, const CUpdateDate& own);

// True when the installer's URL names a program: it ends in ".exe", in any case.
bool IsInstallerUrl(const std::string& strUrl);

// True when `strHex` is the 64 hexadecimal digits (any case, blanks around
// allowed) of the 32-byte `pDigest`.
bool IsSameDigest(const unsigned char* pDigest, const std::string& strHex);

// True when `strHex`, blanks around it allowed, is 64 hexadecimal digits.
bool IsDigestText(const std::string& strHex);

// True when `strUrl` lies on the site `strSite` (a base without trailing
// "/"): it begins with the site, in any case, and a "/" follows. So neither
// "http://site.other.example/", "http://site@other.example/" nor
// "http://site:81/" passes for "http://site".
bool IsOnSite(const std::string& strUrl, const std::string& strSite);

enum class EUpdateOffer {
    kNone,       // nothing is said to the user
    kHomePage,   // the newer build is pointed to on the product's home page
    kInstaller,  // the installer at the URL, checked against the digest
};

// What a genuine update-information text offers a program of build `own`
// from the site `strSite`: nothing unless the build is newer; a URL that
// names no program, the home page; a program only on the site and with its
// digest published, else nothing at all (the vendor never publishes one
// without the other, so a text that does is no offer).
EUpdateOffer JudgeUpdateOffer(const CUpdateInfo& info, const CUpdateDate& own, const std::string& strSite);
