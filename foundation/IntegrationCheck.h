// The integration check: before the control uses Lumbra's word-adjustment
// data it makes sure that every catalogue, the library folder and every
// built-in library is there, and lists what is missing. The control panel
// runs the same check before it stores a Lumbra folder, so it lives here,
// shared by both.
#pragma once

#include <functional>
#include <string>
#include <vector>

constexpr int kIntegrationEntries = 15;
// The check message's lines: header, item template, one description each.
constexpr int kIntegrationMessageLines = 2 + kIntegrationEntries;

struct CIntegrationEntry {
    std::string m_strPath;
    bool m_bFolder;
};

// The 15 paths below Lumbra's folder `strLumbraRoot`, in the order of the check.
std::vector<CIntegrationEntry> IntegrationEntries(const std::string& strLumbraRoot);

// The 12 built-in library files among them (entries 4 to 9 and 10 to 15),
// G2B ones first.
std::vector<std::string> WordAdjustmentFiles(const std::string& strLumbraRoot);

// The texts of the check in the interface language.
struct CIntegrationTexts {
    std::string m_strHeader;                  // "Integration Check Failed!"
    std::vector<std::string> m_arrTemplates;  // one a entry: "\"#1\" (<description>) not found!"
};

// The texts from the lines of the check message (header, the template with
// "#1" and "#2", then the 15 descriptions); false when there are too few lines.
bool MakeIntegrationTexts(const std::vector<std::string>& arrLines, CIntegrationTexts& texts);

// How the check sees the file system.
struct CIntegrationProbe {
    std::function<bool(const std::string&)> m_folderExists;
    std::function<bool(const std::string&)> m_pathExists;  // a file or a folder
};

// True when nothing is missing; otherwise `strMessage` is the header, an
// empty line and one line for each missing entry in table order. A file
// replaced by a folder of the same name counts as present.
bool RunIntegrationCheck(const std::string& strLumbraRoot, const CIntegrationTexts& texts,
                         const CIntegrationProbe& probe, std::string& strMessage);
