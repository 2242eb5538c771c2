// The names and sizes the installer download shows and uses: the size texts
// of its progress lines, the file name taken from the URL, the ".exe" rule of
// its save-as dialog and the free name its file is moved to.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

// "1.50 KB", "15.0 KB", "150 KB", the same in MB from 1 MB on, and below
// 1 KB "n Bytes" (`strBytes` is the interface language's word).
std::string ShortSizeText(std::uint64_t nBytes, const std::string& strBytes);
// "1,536 Bytes": the count grouped by thousands.
std::string LongSizeText(std::uint64_t nBytes, const std::string& strBytes);
// "1.50 KB (1,536 Bytes)", as the progress lines show a size.
std::string SizeText(std::uint64_t nBytes, const std::string& strBytes);

// The part of a URL or path after its last "\" or "/".
std::string LastPathPart(const std::string& strPath);
// The installer's file name from its URL: the last part, or "setup.exe"
// when the URL ends in "/".
std::string InstallerFileName(const std::string& strUrl);

// A path chosen in the save-as dialog gets ".exe" when its last six
// characters hold no ".".
std::string WithProgramExtension(const std::string& strPath);

// Where a downloaded installer goes: in the nearest existing folder of
// `strSaveTo` ("C:" when there is none), under the save-to name without a
// final ".exe", as "name.exe", or "name(1).exe", "name(2).exe" ... when that
// is taken. `nearestFolder` and `exists` ask the file system.
std::string DownloadTarget(const std::string& strSaveTo,
                           const std::function<std::string(const std::string&)>& nearestFolder,
                           const std::function<bool(const std::string&)>& exists);
