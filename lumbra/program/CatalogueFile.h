// A word-adjustment catalogue on disk: read whole when the dialog opens,
// written back only when it changed, and only over the very text it was read
// from. Windows only (CatalogueFileWin32.cpp).
#pragma once

#include "WACatalogue.h"

#include <string>

class CFileReplaceObserver;

// The catalogue's path in Lumbra's "config" folder.
std::string CataloguePath(const std::string& strConfigFolder, const CWACatalogue& catalogue);

// A missing file reads as an empty catalogue (the control's defaults).
// False, with the reason, for a file that is there but cannot be read as a
// catalogue; `catalogue` is then left alone.
bool LoadCatalogueFile(const std::string& strPath, CWACatalogue& catalogue, std::string& strError);

// Writes a changed catalogue so that the file holds either all of its old
// text or all of the new one, and marks it saved. Refuses, with the reason,
// when the file no longer holds what was read (another program changed it
// meanwhile) rather than overwrite that change. True when nothing needed
// writing. `pObserver` is for tests (FileReplace.h).
bool SaveCatalogueFile(const std::string& strPath, CWACatalogue& catalogue, std::string& strError,
                       CFileReplaceObserver* pObserver = nullptr);
