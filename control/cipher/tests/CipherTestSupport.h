// Shared by the cipher tests: a scratch folder, whole-file reads and writes,
// hex and random bytes, and the text of the error an action throws.
#pragma once

#include "CipherError.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// A fresh folder under the system's temporary folder, removed with its
// contents when the test ends.
class CScratchFolder {
public:
    CScratchFolder()
    {
        std::random_device random;
        const std::filesystem::path base = std::filesystem::temp_directory_path();
        for (int n = 0; n < 100 && m_path.empty(); ++n) {
            std::filesystem::path candidate = base / ("kivo-cipher-" + std::to_string(random()));
            if (std::filesystem::create_directory(candidate))
                m_path = candidate;
        }
    }
    ~CScratchFolder()
    {
        std::error_code error;
        if (!m_path.empty())
            std::filesystem::remove_all(m_path, error);
    }
    CScratchFolder(const CScratchFolder&) = delete;
    CScratchFolder& operator=(const CScratchFolder&) = delete;

    std::string operator/(const std::string& strName) const { return (m_path / strName).string(); }
    std::string Path() const { return m_path.string(); }

private:
    std::filesystem::path m_path;
};

inline void WriteBytes(const std::string& strPath, const Bytes& bytes)
{
    std::ofstream file(strPath, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline Bytes ReadBytes(const std::string& strPath)
{
    std::ifstream file(strPath, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

inline bool FileExists(const std::string& strPath)
{
    return std::filesystem::exists(strPath);
}

inline Bytes FromHex(const std::string& strHex)
{
    Bytes bytes;
    for (std::size_t n = 0; n + 1 < strHex.size(); n += 2)
        bytes.push_back(static_cast<std::uint8_t>(std::stoul(strHex.substr(n, 2), nullptr, 16)));
    return bytes;
}

inline std::string ToHex(const std::uint8_t* pBytes, std::size_t nLength)
{
    static const char kDigits[] = "0123456789abcdef";
    std::string strHex;
    for (std::size_t n = 0; n < nLength; ++n) {
        strHex += kDigits[pBytes[n] >> 4];
        strHex += kDigits[pBytes[n] & 15];
    }
    return strHex;
}

inline std::string ToHex(const Bytes& bytes)
{
    return ToHex(bytes.data(), bytes.size());
}

inline Bytes FromText(const std::string& strText)
{
    return Bytes(strText.begin(), strText.end());
}

inline Bytes RandomBytes(std::mt19937& random, std::size_t nLength)
{
    Bytes bytes(nLength);
    for (std::uint8_t& b : bytes)
        b = static_cast<std::uint8_t>(random());
    return bytes;
}

// The message of the CCipherError the action throws, or "<none>".
template <typename Action>
std::string ErrorOf(Action action)
{
    try {
        action();
    } catch (const CCipherError& error) {
        return error.what();
    }
    return "<none>";
}
