#include "CatalogueFile.h"

#include "FileReplace.h"
#include "PathUtil.h"
#include "TextFile.h"

#include <windows.h>

namespace {

// The file's whole text; an empty text for a file that is not there.
bool ReadCatalogueText(const std::string& strPath, std::string& strText, std::string& strError)
{
    strText.clear();
    if (!PathExists(strPath))
        return true;
    switch (ReadTextFileOn(strPath, strText, true, true)) {
    case kReadWhole:
        return true;
    case kReadNotATextFile:
        strError = "\"" + strPath + "\" is not a text file.";
        return false;
    default:
        strError = "\"" + strPath + "\" cannot be read.";
        return false;
    }
}

}  // namespace

std::string CataloguePath(const std::string& strConfigFolder, const CWACatalogue& catalogue)
{
    return strConfigFolder + "\\" + catalogue.GetFileName();
}

bool LoadCatalogueFile(const std::string& strPath, CWACatalogue& catalogue, std::string& strError)
{
    std::string strText;
    if (!ReadCatalogueText(strPath, strText, strError))
        return false;
    std::string strReason;
    if (!catalogue.Parse(strText, strReason)) {
        strError = "\"" + strPath + "\": " + strReason;
        return false;
    }
    return true;
}

bool SaveCatalogueFile(const std::string& strPath, CWACatalogue& catalogue, std::string& strError,
                       CFileReplaceObserver* pObserver)
{
    if (!catalogue.IsChanged())
        return true;
    std::string strOnDisk;
    if (!ReadCatalogueText(strPath, strOnDisk, strError))
        return false;
    if (strOnDisk != catalogue.GetOriginalText()) {
        strError = "\"" + strPath + "\" was changed by another program since this dialog read it. It was not "
                   "written; cancel and open the dialog again to see the other program's change.";
        return false;
    }
    if (const unsigned long dwError = WriteFileReplacing(strPath, catalogue.GetText(), pObserver)) {
        strError = "\"" + strPath + "\" could not be written (system error " + std::to_string(dwError) +
                   "). It keeps its previous content.";
        return false;
    }
    catalogue.MarkSaved();
    return true;
}
