// The sample text editor's recent-file lists, one per area, kept in the
// registry as values "1" ... "60" of the area's subkey, most recent first,
// with an empty value after the last entry.
#pragma once

#include <string>
#include <vector>

constexpr char kRecentSourceKey[] = "File\\MRU Source";
constexpr char kRecentDestinationKey[] = "File\\MRU Destination";
constexpr std::size_t kRecentFileLimit = 60;

// The stored list: values read in order up to the first empty one, each
// trimmed, keeping the valid paths not already listed (compared without
// regard to case).
std::vector<std::string> LoadRecentFiles(const std::string& strSubKey);

// Puts an existing file or folder at the front of the list, unless it is
// there already; false when nothing was stored.
bool AddRecentFile(const std::string& strPath, const std::string& strSubKey);

// Stores the list without later duplicates and cut to kRecentFileLimit
// entries, with the empty value after the last one.
bool SaveRecentFiles(const std::vector<std::string>& arrList, const std::string& strSubKey);

// The paths without later duplicates (compared without regard to case, as
// the file system does), at most kRecentFileLimit of them.
std::vector<std::string> UniqueRecentFiles(const std::vector<std::string>& arrList);
