// The shipped stand-in Lumbra data: every built-in library deciphers, with the
// keys of its file name, to pair lines in the code page of its direction.
#include "LibraryCipher.h"
#include "IntegrationCheck.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// True when `text` is whole double-byte characters of Big5 (bBig5) or GBK.
bool IsDoubleByteText(const std::string& text, bool bBig5)
{
    if (text.size() % 2 != 0)
        return false;
    for (size_t i = 0; i < text.size(); i += 2) {
        const unsigned char lead = text[i], trail = text[i + 1];
        if (lead < 0x81 || lead > 0xFE)
            return false;
        const bool bTrail = bBig5 ? (trail >= 0x40 && trail <= 0x7E) || (trail >= 0xA1 && trail <= 0xFE)
                                  : trail >= 0x40 && trail <= 0xFE && trail != 0x7F;
        if (!bTrail)
            return false;
    }
    return true;
}

class CScratch {
public:
    CScratch() : m_path(fs::temp_directory_path() / ("kivo-lumbra-" + std::to_string(std::rand()))) { fs::create_directories(m_path); }
    ~CScratch()
    {
        std::error_code error;
        fs::remove_all(m_path, error);
    }
    fs::path operator/(const char* name) const { return m_path / name; }

private:
    fs::path m_path;
};

} // namespace

TEST(LumbraData, EveryBuiltInLibraryDeciphersToPairLines)
{
    const fs::path ctwa = fs::path(KIVO_LUMBRA_DATA) / "ctwa";
    const std::vector<std::string> files = WordAdjustmentFiles("L");
    ASSERT_EQ(files.size(), 12u);
    CScratch scratch;
    size_t nLibraries = 0;
    for (const std::string& strEntry : files) {
        const std::string strName = LibraryNameOf(strEntry);
        const bool bBig5 = strName.find("big") != std::string::npos;
        const fs::path plain = scratch / "plain.txt";
        ASSERT_NO_THROW(DecipherLibrary((ctwa / strName).string(), plain.string(), strName,
                                        (scratch / "pass.tmp").string()))
            << strName;
        EXPECT_FALSE(fs::exists(scratch / "pass.tmp"));
        const std::string text = ReadAll(plain);
        ASSERT_FALSE(text.empty()) << strName;
        ASSERT_EQ(text.substr(text.size() - 2), "\r\n") << strName;
        size_t nStart = 0, nPairs = 0;
        std::string strLast;
        while (nStart < text.size()) {
            const size_t nEnd = text.find("\r\n", nStart);
            ASSERT_NE(nEnd, std::string::npos);
            const std::string line = text.substr(nStart, nEnd - nStart);
            nStart = nEnd + 2;
            const size_t nComma = line.find(',');
            ASSERT_NE(nComma, std::string::npos) << strName << ": " << line;
            const std::string source = line.substr(0, nComma), target = line.substr(nComma + 1);
            EXPECT_TRUE(IsDoubleByteText(source, bBig5) && !source.empty()) << strName << ": " << line;
            EXPECT_TRUE(IsDoubleByteText(target, bBig5) && !target.empty()) << strName << ": " << line;
            EXPECT_NE(source, target) << strName;
            EXPECT_LT(strLast, source) << strName << ": written in ascending order, no source twice";
            strLast = source;
            ++nPairs;
        }
        EXPECT_GT(nPairs, 0u) << strName;
        ++nLibraries;
    }
    EXPECT_EQ(nLibraries, 12u);
}

TEST(LumbraData, TheInstallationPassesTheIntegrationCheck)
{
    const std::string strRoot = KIVO_LUMBRA_DATA;
    CIntegrationTexts texts;
    std::vector<std::string> lines(kIntegrationMessageLines, "#1");
    ASSERT_TRUE(MakeIntegrationTexts(lines, texts));
    // The entries use "\" as Windows does; the test maps them to this system's separator.
    auto local = [](std::string p) {
        for (char& c : p)
            if (c == '\\')
                c = '/';
        return p;
    };
    const CIntegrationProbe probe{[&](const std::string& p) { return fs::is_directory(local(p)); },
                                  [&](const std::string& p) { return fs::exists(local(p)); }};
    std::string strMessage;
    EXPECT_TRUE(RunIntegrationCheck(strRoot, texts, probe, strMessage)) << strMessage;
}
