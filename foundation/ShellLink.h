// Shell shortcuts (.lnk files). Windows only (ShellLinkWin32.cpp).
#pragma once

#include <string>

// The target of the shortcut, followed by a blank and its arguments when it
// has any; ".lnk" is appended to a path that does not end in it. Empty when
// the file is no readable shortcut or has no file-system target.
std::string ResolveShortcut(const std::string& strPath);
