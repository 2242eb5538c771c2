// Files and folders as the file system sees them. Windows only
// (PathUtilWin32.cpp); the text rules these rest on are in PathText.h.
//
// Paths are byte strings of the process ANSI code page. Folder paths come
// back without a trailing "\", a drive root as "C:".
#pragma once

#include <string>

enum ModulePathKind {
    ModulePathFile = 1,    // full path of the program or control file
    ModulePathFolder = 2,  // its folder
};

// The path of the module this library is linked into (the .ocx for the
// control, the .exe for the programs); empty for any other kind.
std::string GetModulePath(int nKind);

// True when a file or folder of that name exists. A drive root ("C:" or
// "C:\") exists when its drive can be listed, even when it is empty. A name
// with wildcards names nothing.
bool PathExists(const std::string& strPath);

// True for an existing folder (one trailing "\" allowed); for a drive root,
// when the drive exists.
bool FolderExists(const std::string& strPath);

// True when the path opens as an existing file with the given access and
// sharing (GENERIC_READ, FILE_SHARE_READ ...). A folder is not a file.
bool FileExists(const std::string& strPath, unsigned long dwAccess, unsigned long dwShareMode);

// The path without any trailing "\" (ANSI code page): how folder paths are
// stored. "C:\" gives "C:".
std::string RemoveTrailingBackslashes(std::string strPath);

// The system's temporary folder without trailing "\"; empty when the system
// gives none that fits MAX_PATH.
std::string SystemTempFolder();

// ParentFolder of PathText.h in the ANSI code page.
std::string ParentFolder(const std::string& strPath);

// The path itself when it is a folder, else its nearest existing ancestor;
// empty when none exists. The path is trimmed and "/" read as "\" first.
std::string NearestExistingFolder(const std::string& strPath);

// True when the path exists or could be created: every missing folder on the
// way is created and removed again, leaving no trace. False when an ancestor
// is a file, the path has no existing ancestor (a relative name, a missing
// drive), or a folder cannot be created.
bool IsValidPath(const std::string& strPath);

// Creates the folder and its missing ancestors, top down. 0 on success or
// when the folder exists; 1 when a creation fails or the path is empty or
// runs into a file.
int CreateFolderPath(const std::string& strPath);
