// Which file a name or a handle stands for, by the file system's identity
// (volume serial number and file index), not by spelling: "a.txt",
// ".\a.txt", "A.TXT", a hard link and standard output redirected to the
// file are all one file.
#pragma once

#include <windows.h>

#include <string>

struct FileIdentity {
    bool known = false;         // false: no such file, or not a file on a disk
    bool volumeKnown = false;   // see IdentityOfHandle
    DWORD volume = 0;
    unsigned long long index = 0;
};

// Wine answers GetFileInformationByHandle with ERROR_INVALID_HANDLE for the
// standard handles a shell's redirection gave the process; their file index
// is then read alone (GetFileInformationByHandleEx), without the volume.
FileIdentity IdentityOfHandle(HANDLE hFile);
// Unknown when the file does not exist or cannot be opened at all.
FileIdentity IdentityOfPath(const std::string& path);
// One of the process's standard handles (STD_INPUT_HANDLE, STD_OUTPUT_HANDLE).
FileIdentity IdentityOfStandardHandle(DWORD which);

// The same index on the same volume; an unknown volume matches any, so
// that a doubt refuses rather than overwrites.
bool IsSameFile(const FileIdentity& a, const FileIdentity& b);
