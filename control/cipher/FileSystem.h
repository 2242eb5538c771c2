// The few file-system questions of the cipher's file operations and tools.
// Chiefly whether two names lead to one file: writing a file that is also
// the input destroys the input before it is read, and names that differ as
// text can still lead to one file ("a.txt" and ".\A.TXT" on Windows, links
// elsewhere), so the file system is asked. Paths are byte strings of the
// process ANSI code page on Windows (FileSystemWin32.cpp), of the C library
// elsewhere (FileSystemPosix.cpp).
#pragma once

#include <string>

// True when both names open the same existing file or folder; false when
// either does not exist or cannot be asked about.
bool IsSameExistingFile(const std::string& strFirst, const std::string& strSecond);

// The absolute form of a path, "." and ".." resolved, from the text and the
// current folder alone (the file need not exist). The path itself when it
// has no such form.
std::string FullPathName(const std::string& strPath);

// Renames strFrom to strTo, replacing a file of that name; false on failure.
bool MoveFileOver(const std::string& strFrom, const std::string& strTo);
