// The control leaves its transfer files (".tps") in the program's work
// folder; the control panel clears them when it ends.
#pragma once

#include <string>

// True for a name ending in ".tps" in any case.
bool IsTransferTempFileName(const std::string& strName);

// Deletes every ".tps" file directly in `strFolder`; other files, folders
// and what cannot be deleted stay.
void DeleteTransferTempFilesIn(const std::string& strFolder);
