// The checked-in seed corpus of a fuzz target, as the ordinary test run
// replays it through the target's own checks.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

struct CFuzzCorpusFile {
    std::filesystem::path m_path;
    std::string m_strBytes;

    const std::uint8_t* Data() const { return reinterpret_cast<const std::uint8_t*>(m_strBytes.data()); }
    std::size_t Size() const { return m_strBytes.size(); }
};

// The whole content of a file; empty when it cannot be read.
inline std::string ReadFuzzFileBytes(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

// Every regular file of the folder, in the order of their names.
inline std::vector<CFuzzCorpusFile> ReadFuzzCorpus(const std::filesystem::path& folder)
{
    std::vector<CFuzzCorpusFile> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.is_regular_file())
            files.push_back({entry.path(), ReadFuzzFileBytes(entry.path())});
    }
    std::sort(files.begin(), files.end(),
              [](const CFuzzCorpusFile& a, const CFuzzCorpusFile& b) { return a.m_path < b.m_path; });
    return files;
}
