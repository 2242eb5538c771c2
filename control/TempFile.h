// Temporary files of the control: the deciphered copies of the built-in
// word-adjustment libraries are written to them and deleted after reading.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

// Where temporary files may go.
struct CTempFolders {
    std::string m_strWorkFolder;  // "<module folder>\temp"
    std::string m_strSystemTemp;  // the system's temporary folder
};

// The work folder is used only while its drive has more than this free.
constexpr std::uint64_t kTempMinimumFreeKilobytes = 100000;

// Free kilobytes of the drive of an existing folder; false when unknown.
using FreeSpaceQuery = std::function<bool(const std::string& strFolder, std::uint64_t& nKilobytes)>;

// Creates an empty new file "temp<n>.<extension>" ("temp<n>" for an empty
// extension) with the lowest n for which no file or folder exists, and
// returns its full path; "" when none could be created. With
// `bUseWorkFolder` the work folder is created when missing and used while
// its drive has room, otherwise (and without the flag) the system folder.
// `freeSpace` is for tests; by default the drive is asked.
std::string MakeTempFile(const CTempFolders& folders, bool bUseWorkFolder, const std::string& strExtension,
                         const FreeSpaceQuery& freeSpace = FreeSpaceQuery());
