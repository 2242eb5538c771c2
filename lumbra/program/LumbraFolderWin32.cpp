#include "LumbraFolder.h"

#include "PathText.h"
#include "PathUtil.h"
#include "Registry.h"

#include <windows.h>

namespace {

// KIVO's own names for its Lumbra setting.
constexpr char kKivoPathKey[] = "Path";
constexpr char kKivoLumbraRoot[] = "Lumbra Root Folder";

std::string CleanFolder(const std::string& strPath)
{
    return RemoveTrailingBackslash(NormalizePathInput(strPath), GetACP());
}

bool IsInstallation(const std::string& strRoot)
{
    return !strRoot.empty() && FolderExists(strRoot + "\\config");
}

}  // namespace

bool FindLumbraFolder(const std::string& strArgument, CLumbraFolder& folder, std::string& strError)
{
    folder = CLumbraFolder();
    const std::string strGiven = CleanFolder(strArgument);
    if (!strGiven.empty()) {
        if (!IsInstallation(strGiven)) {
            strError = "\"" + strGiven + "\" is not a Lumbra installation: it has no \"config\" folder.";
            return false;
        }
        folder = {strGiven, ELumbraFolderSource::CommandLine};
        return true;
    }
    const std::string strOwn = CleanFolder(GetModulePath(ModulePathFolder));
    if (IsInstallation(strOwn)) {
        folder = {strOwn, ELumbraFolderSource::ProgramFolder};
        return true;
    }
    const std::string strSetting = CleanFolder(GetRegString(kKivoPathKey, kKivoLumbraRoot, std::string()));
    if (IsInstallation(strSetting))
        folder = {strSetting, ELumbraFolderSource::KivoSetting};
    return true;
}

const char* DescribeSource(ELumbraFolderSource source)
{
    switch (source) {
    case ELumbraFolderSource::CommandLine:
        return "given on the command line";
    case ELumbraFolderSource::ProgramFolder:
        return "the program's own folder";
    case ELumbraFolderSource::KivoSetting:
        return "KIVO's \"Lumbra Root Folder\" setting";
    case ELumbraFolderSource::None:
        break;
    }
    return "none found";
}
