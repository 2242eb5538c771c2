// Where lumbra.exe finds the Lumbra installation it works on: a folder that
// holds "config" (the catalogues) and "ctwa" (the libraries).
//
// In this order:
//   1. the folder given on the command line (a wrong one is an error, not a
//      reason to look elsewhere: the user asked for that folder);
//   2. the program's own folder, when it holds "config" (an installed Lumbra);
//   3. KIVO's setting HKLM\software\Perdix\KIVO\1.5\Path "Lumbra Root
//      Folder" (32-bit registry view), when that folder holds "config": the
//      installation the control reads.
// Windows only (LumbraFolderWin32.cpp).
#pragma once

#include <string>

enum class ELumbraFolderSource { None, CommandLine, ProgramFolder, KivoSetting };

struct CLumbraFolder {
    std::string m_strRoot;  // no trailing "\"; empty when none was found
    ELumbraFolderSource m_source = ELumbraFolderSource::None;

    std::string ConfigFolder() const { return m_strRoot + "\\config"; }
    std::string WAFolder() const { return m_strRoot + "\\ctwa"; }
};

// False, with the reason, only for a command-line folder that is not an
// installation. Finding none at all is no error: `folder` then has no root.
bool FindLumbraFolder(const std::string& strArgument, CLumbraFolder& folder, std::string& strError);

// How the folder was found, for the main window.
const char* DescribeSource(ELumbraFolderSource source);
