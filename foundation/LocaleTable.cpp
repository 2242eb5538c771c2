#include "LocaleTable.h"

#include <algorithm>
#include <iterator>

namespace {

// Character sets of the ANSI code pages (the GDI *_CHARSET values).
constexpr std::uint8_t kAnsi = 0, kShiftJis = 128, kHangul = 129, kJohab = 130, kGb2312 = 134,
                       kBig5 = 136, kGreek = 161, kTurkish = 162, kVietnamese = 163, kHebrew = 177,
                       kArabic = 178, kBaltic = 186, kRussian = 204, kThai = 222, kEastEurope = 238;

// The published locale data of Windows (ANSI, Macintosh and OEM code pages by
// locale) for the locales that have an ANSI code page; locales served by
// Unicode alone are left out. 2066 (Korean Johab), 2074 and 3098 (Serbian
// Latin and Cyrillic) are the identifiers of their day, since retired.
constexpr LocaleCodePageRow kRows[] = {
    {1025, 1256, 10004, 720, 0, kArabic},   // Arabic (Saudi Arabia)
    {1026, 1251, 10007, 866, 0, kRussian},  // Bulgarian
    {1027, 1252, 10000, 850, 0, kAnsi},     // Catalan
    {1028, 950, 0, 950, 0, kBig5},          // Chinese (Taiwan)
    {1029, 1250, 10029, 852, 0, kEastEurope},  // Czech
    {1030, 1252, 10000, 850, 0, kAnsi},     // Danish
    {1031, 1252, 10000, 850, 0, kAnsi},     // German (Germany)
    {1032, 1253, 10006, 737, 0, kGreek},    // Greek
    {1033, 1252, 10000, 437, 850, kAnsi},   // English (United States)
    {1034, 1252, 10000, 850, 0, kAnsi},     // Spanish (traditional sort)
    {1035, 1252, 10000, 850, 0, kAnsi},     // Finnish
    {1036, 1252, 10000, 850, 0, kAnsi},     // French (France)
    {1037, 1255, 10005, 862, 0, kHebrew},   // Hebrew
    {1038, 1250, 10029, 852, 0, kEastEurope},  // Hungarian
    {1039, 1252, 10079, 850, 0, kAnsi},     // Icelandic
    {1040, 1252, 10000, 850, 0, kAnsi},     // Italian (Italy)
    {1041, 932, 0, 932, 0, kShiftJis},      // Japanese
    {1042, 949, 0, 949, 0, kHangul},        // Korean
    {1043, 1252, 10000, 850, 0, kAnsi},     // Dutch (Netherlands)
    {1044, 1252, 10000, 850, 0, kAnsi},     // Norwegian (Bokmal)
    {1045, 1250, 10029, 852, 0, kEastEurope},  // Polish
    {1046, 1252, 10000, 850, 0, kAnsi},     // Portuguese (Brazil)
    {1048, 1250, 10029, 852, 0, kEastEurope},  // Romanian
    {1049, 1251, 10007, 866, 0, kRussian},  // Russian
    {1050, 1250, 10082, 852, 0, kEastEurope},  // Croatian
    {1051, 1250, 10029, 852, 0, kEastEurope},  // Slovak
    {1052, 1250, 10029, 852, 0, kEastEurope},  // Albanian
    {1053, 1252, 10000, 850, 0, kAnsi},     // Swedish (Sweden)
    {1054, 874, 10021, 874, 0, kThai},      // Thai
    {1055, 1254, 10081, 857, 0, kTurkish},  // Turkish
    {1056, 1256, 10004, 720, 0, kArabic},   // Urdu
    {1057, 1252, 10000, 850, 0, kAnsi},     // Indonesian
    {1058, 1251, 10017, 866, 0, kRussian},  // Ukrainian
    {1059, 1251, 10007, 866, 0, kRussian},  // Belarusian
    {1060, 1250, 10029, 852, 0, kEastEurope},  // Slovenian
    {1061, 1257, 10029, 775, 0, kBaltic},   // Estonian
    {1062, 1257, 10029, 775, 0, kBaltic},   // Latvian
    {1063, 1257, 10029, 775, 0, kBaltic},   // Lithuanian
    {1065, 1256, 10004, 720, 0, kArabic},   // Farsi
    {1066, 1258, 10000, 1258, 0, kVietnamese},  // Vietnamese
    {1068, 1254, 10081, 857, 0, kTurkish},  // Azeri (Latin)
    {1069, 1252, 10000, 850, 0, kAnsi},     // Basque
    {1071, 1251, 10007, 866, 0, kRussian},  // Macedonian
    {1078, 1252, 10000, 850, 0, kAnsi},     // Afrikaans
    {1080, 1252, 10079, 850, 0, kAnsi},     // Faroese
    {1086, 1252, 10000, 850, 0, kAnsi},     // Malay (Malaysia)
    {1087, 1251, 10007, 866, 0, kRussian},  // Kazakh
    {1088, 1251, 10007, 866, 0, kRussian},  // Kyrgyz
    {1089, 1252, 10000, 437, 850, kAnsi},   // Swahili
    {1091, 1254, 10029, 857, 0, kTurkish},  // Uzbek (Latin)
    {1092, 1251, 10007, 866, 0, kRussian},  // Tatar
    {1104, 1251, 10007, 866, 0, kRussian},  // Mongolian (Cyrillic)
    {1110, 1252, 10000, 850, 0, kAnsi},     // Galician
    {2049, 1256, 10004, 720, 0, kArabic},   // Arabic (Iraq)
    {2052, 936, 0, 936, 0, kGb2312},        // Chinese (PRC)
    {2055, 1252, 10000, 850, 0, kAnsi},     // German (Switzerland)
    {2057, 1252, 10000, 850, 0, kAnsi},     // English (United Kingdom)
    {2058, 1252, 10000, 850, 0, kAnsi},     // Spanish (Mexico)
    {2060, 1252, 10000, 850, 0, kAnsi},     // French (Belgium)
    {2064, 1252, 10000, 850, 0, kAnsi},     // Italian (Switzerland)
    {2066, 1361, 0, 1361, 0, kJohab},       // Korean (Johab)
    {2067, 1252, 10000, 850, 0, kAnsi},     // Dutch (Belgium)
    {2068, 1252, 10000, 850, 0, kAnsi},     // Norwegian (Nynorsk)
    {2070, 1252, 10000, 850, 0, kAnsi},     // Portuguese (Portugal)
    {2074, 1250, 10082, 852, 0, kEastEurope},  // Serbian (Latin)
    {2077, 1252, 10000, 850, 0, kAnsi},     // Swedish (Finland)
    {2092, 1251, 10007, 866, 0, kRussian},  // Azeri (Cyrillic)
    {2110, 1252, 10000, 850, 0, kAnsi},     // Malay (Brunei)
    {2115, 1251, 10007, 866, 0, kRussian},  // Uzbek (Cyrillic)
    {3073, 1256, 10004, 720, 0, kArabic},   // Arabic (Egypt)
    {3076, 950, 0, 950, 0, kBig5},          // Chinese (Hong Kong)
    {3079, 1252, 10000, 850, 0, kAnsi},     // German (Austria)
    {3081, 1252, 10000, 850, 0, kAnsi},     // English (Australia)
    {3082, 1252, 10000, 850, 0, kAnsi},     // Spanish (modern sort)
    {3084, 1252, 10000, 850, 0, kAnsi},     // French (Canada)
    {3098, 1251, 10007, 855, 0, kRussian},  // Serbian (Cyrillic)
    {4097, 1256, 10004, 720, 0, kArabic},   // Arabic (Libya)
    {4100, 936, 0, 936, 0, kGb2312},        // Chinese (Singapore)
    {4103, 1252, 10000, 850, 0, kAnsi},     // German (Luxembourg)
    {4105, 1252, 10000, 850, 0, kAnsi},     // English (Canada)
    {4106, 1252, 10000, 850, 0, kAnsi},     // Spanish (Guatemala)
    {4108, 1252, 10000, 850, 0, kAnsi},     // French (Switzerland)
    {5121, 1256, 10004, 720, 0, kArabic},   // Arabic (Algeria)
    {5124, 950, 0, 950, 0, kBig5},          // Chinese (Macao)
    {5127, 1252, 10000, 850, 0, kAnsi},     // German (Liechtenstein)
    {5129, 1252, 10000, 850, 0, kAnsi},     // English (New Zealand)
    {5130, 1252, 10000, 850, 0, kAnsi},     // Spanish (Costa Rica)
    {5132, 1252, 10000, 850, 0, kAnsi},     // French (Luxembourg)
    {6145, 1256, 10004, 720, 0, kArabic},   // Arabic (Morocco)
    {6153, 1252, 10000, 850, 0, kAnsi},     // English (Ireland)
    {6154, 1252, 10000, 850, 0, kAnsi},     // Spanish (Panama)
    {6156, 1252, 10000, 850, 0, kAnsi},     // French (Monaco)
    {7169, 1256, 10004, 720, 0, kArabic},   // Arabic (Tunisia)
    {7177, 1252, 10000, 437, 850, kAnsi},   // English (South Africa)
    {7178, 1252, 10000, 850, 0, kAnsi},     // Spanish (Dominican Republic)
    {8193, 1256, 10004, 720, 0, kArabic},   // Arabic (Oman)
    {8201, 1252, 10000, 850, 0, kAnsi},     // English (Jamaica)
    {8202, 1252, 10000, 850, 0, kAnsi},     // Spanish (Venezuela)
    {9217, 1256, 10004, 720, 0, kArabic},   // Arabic (Yemen)
    {9225, 1252, 10000, 850, 0, kAnsi},     // English (Caribbean)
    {9226, 1252, 10000, 850, 0, kAnsi},     // Spanish (Colombia)
    {10241, 1256, 10004, 720, 0, kArabic},  // Arabic (Syria)
    {10249, 1252, 10000, 850, 0, kAnsi},    // English (Belize)
    {10250, 1252, 10000, 850, 0, kAnsi},    // Spanish (Peru)
    {11265, 1256, 10004, 720, 0, kArabic},  // Arabic (Jordan)
    {11273, 1252, 10000, 850, 0, kAnsi},    // English (Trinidad)
    {11274, 1252, 10000, 850, 0, kAnsi},    // Spanish (Argentina)
    {12289, 1256, 10004, 720, 0, kArabic},  // Arabic (Lebanon)
    {12297, 1252, 10000, 437, 850, kAnsi},  // English (Zimbabwe)
    {12298, 1252, 10000, 850, 0, kAnsi},    // Spanish (Ecuador)
    {13313, 1256, 10004, 720, 0, kArabic},  // Arabic (Kuwait)
    {13321, 1252, 10000, 437, 850, kAnsi},  // English (Philippines)
    {13322, 1252, 10000, 850, 0, kAnsi},    // Spanish (Chile)
    {14337, 1256, 10004, 720, 0, kArabic},  // Arabic (U.A.E.)
    {14346, 1252, 10000, 850, 0, kAnsi},    // Spanish (Uruguay)
    {15361, 1256, 10004, 720, 0, kArabic},  // Arabic (Bahrain)
    {15370, 1252, 10000, 850, 0, kAnsi},    // Spanish (Paraguay)
    {16385, 1256, 10004, 720, 0, kArabic},  // Arabic (Qatar)
    {16394, 1252, 10000, 850, 0, kAnsi},    // Spanish (Bolivia)
    {17418, 1252, 10000, 850, 0, kAnsi},    // Spanish (El Salvador)
    {18442, 1252, 10000, 850, 0, kAnsi},    // Spanish (Honduras)
    {19466, 1252, 10000, 850, 0, kAnsi},    // Spanish (Nicaragua)
    {20490, 1252, 10000, 850, 0, kAnsi},    // Spanish (Puerto Rico)
};

}  // namespace

const LocaleCodePageRow* LocaleCodePageTable(std::size_t& nCount)
{
    nCount = std::size(kRows);
    return kRows;
}

unsigned GetLocaleCodePage(unsigned nLocale, int nColumn)
{
    const LocaleCodePageRow* pEnd = std::end(kRows);
    const LocaleCodePageRow* pRow =
        std::lower_bound(std::begin(kRows), pEnd, nLocale,
                         [](const LocaleCodePageRow& row, unsigned n) { return row.nLocale < n; });
    if (pRow == pEnd || pRow->nLocale != nLocale)
        return 0;
    switch (nColumn) {
    case LocaleColumnLocale: return pRow->nLocale;
    case LocaleColumnAnsi: return pRow->nAnsiCodePage;
    case LocaleColumnMac: return pRow->nMacCodePage;
    case LocaleColumnOem: return pRow->nOemCodePage;
    case LocaleColumnOem2: return pRow->nOemCodePage2;
    case LocaleColumnCharSet: return pRow->nCharSet;
    default: return 0;
    }
}
