// Replacing a file's content so that a failure never leaves it half written.
// Windows only (FileReplaceWin32.cpp).
//
// The new content goes to a temporary file in the target's own folder (same
// drive, so the last step is a rename, not a copy), is flushed, and only then
// takes the target's place: the target holds either all of its old content
// or all of the new, whatever fails and wherever.
#pragma once

#include <string>

// Lets a test step in after the temporary file is complete and before it
// replaces the target: returning false makes the replace fail there, as a
// full disk or a locked target would.
class CFileReplaceObserver {
public:
    virtual ~CFileReplaceObserver() = default;
    virtual bool OnTemporaryWritten(const std::string& strTemporaryPath) = 0;
};

// Writes `strData` (all of its bytes) as the content of `strPath`, creating
// the file when it does not exist. An existing target keeps its attributes,
// and on NT its security, creation time and short name. Returns 0
// (ERROR_SUCCESS) or the system error code of the step that failed; no
// temporary file is left behind either way.
unsigned long WriteFileReplacing(const std::string& strPath, const std::string& strData,
                                 CFileReplaceObserver* pObserver = nullptr);
