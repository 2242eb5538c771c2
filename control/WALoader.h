// Loading the word-adjustment libraries from Lumbra's installation into the
// two ordered lists: the built-in libraries (enciphered) and the user
// libraries the catalogues name, or, without a catalogue, those found in the
// user folders (loaded, not applied).
#pragma once

#include "LoadingReport.h"
#include "TempFile.h"
#include "WALibraryLists.h"

#include <windows.h>

#include <string>

struct CWALoadPlaces {
    std::string m_strWAFolder;      // W: Lumbra's "ctwa" folder
    std::string m_strConfigFolder;  // Lumbra's "config" folder, where the catalogues are
    CTempFolders m_tempFolders;     // the engine's temporary folders; the loader itself writes none
    std::string m_strCacheFolder;   // the cache of deciphered built-in libraries; none when empty
};

// Work of the whole load, in the loading window's steps: ten for each
// built-in library and one for each user library to be read.
int CountWordAdjustmentWork(const CWALoadPlaces& places);

// Clears and builds one list in the order the libraries apply. `nProgress`
// is the shared step counter; each library read is reported to `pReport`
// (the loading window's, or null) and waiting messages are dispatched.
void BuildWALibraryList(CLoadingReport* pReport, CWALibraryLists& lists, WADirection direction,
                        bool bLoadAllEntries, const CWALoadPlaces& places, int& nProgress);

// Both lists, G2B first, with the progress of the loading window; ends by
// asking the window to close.
void LoadWordAdjustment(CLoadingReport* pReport, bool bLoadAllEntries, const CWALoadPlaces& places,
                        CWALibraryLists& lists);

// Reads one library file into `library` (its m_strPath, m_bBuiltIn, m_bApply
// set by the caller). Built-in libraries are deciphered in memory, or taken
// from their entry in `strCacheFolder` (BuiltInLibrary.h). False when
// nothing was read.
bool ReadWALibrary(WALibrary& library, WADirection direction, bool bLoadAllEntries,
                   const std::string& strCacheFolder = std::string());
