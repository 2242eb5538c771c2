// Judges the Lumbra paths the user types in the wizard and the control panel
// window: Lumbra's installation folder, and its program.
#pragma once

#include <string>

enum ELumbraPathKind {
    kLumbraPathFolder = 3,      // an existing folder
    kLumbraPathExecutable = 4,  // an existing file ending in ".exe", in any case
};

// The text is trimmed of blanks first; an empty text stands for the
// configured path of that kind. A folder named "x.exe" is no program, and a
// ".com" program is not taken either. Any other kind is false.
bool CheckLumbraPath(int nKind, const std::string& strText, const std::string& strConfiguredRoot,
                     const std::string& strConfiguredExe);

// The path a Lumbra field stands for: its text trimmed of blanks, the
// configured path of its kind when that leaves nothing, a folder without
// trailing "\". What the commands of a field (open, run, apply) take.
std::string EffectiveLumbraPath(int nKind, const std::string& strText, const std::string& strConfiguredRoot,
                                const std::string& strConfiguredExe);
