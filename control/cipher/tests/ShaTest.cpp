#include "SHA.h"

#include "CipherTestSupport.h"

#include <gtest/gtest.h>

namespace {

std::string DigestOf(const std::string& strMessage, std::size_t nChunk)
{
    CSHA sha;
    for (std::size_t n = 0; n < strMessage.size(); n += nChunk) {
        const std::string strPart = strMessage.substr(n, nChunk);
        sha.AddData(reinterpret_cast<const std::uint8_t*>(strPart.data()), static_cast<int>(strPart.size()));
    }
    std::uint8_t digest[CSHA::kDigestSize];
    sha.FinalDigest(digest);
    return ToHex(digest, sizeof digest);
}

// The FIPS 180-2 examples, and lengths on either side of the padding limits
// (55 bytes leave room for the length in one block, 56 do not).
TEST(ShaTest, KnownDigestsWhateverTheChunks)
{
    const struct {
        std::string strMessage;
        const char* pszDigest;
    } cases[] = {
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
        {std::string(55, 'a'), "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318"},
        {std::string(56, 'a'), "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a"},
        {std::string(63, 'a'), "7d3e74a05d7db15bce4ad9ec0658ea98e3f06eeecf16b4c6fff2da457ddc2f34"},
        {std::string(64, 'a'), "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
        {std::string(119, 'a'), "31eba51c313a5c08226adf18d4a359cfdfd8d2e816b13f4af952f7ea6584dcfb"},
        {std::string(120, 'a'), "2f3d335432c70b580af0e8e1b3674a7c020d683aa5f73aaaedfdc55af904c21c"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.strMessage.size());
        for (std::size_t nChunk : {std::size_t(1), std::size_t(7), std::size_t(64), std::size_t(1000), c.strMessage.size()})
            EXPECT_EQ(DigestOf(c.strMessage, nChunk), c.pszDigest) << "chunks of " << nChunk;
    }
}

TEST(ShaTest, StartsOverAfterEachDigest)
{
    CSHA sha;
    const std::uint8_t abc[] = {'a', 'b', 'c'};
    std::uint8_t first[32], second[32];
    sha.AddData(abc, 3);
    sha.FinalDigest(first);
    sha.AddData(abc, 3);
    sha.FinalDigest(second);
    EXPECT_EQ(ToHex(first, 32), ToHex(second, 32));
    EXPECT_EQ(ErrorOf([&] { sha.FinalDigest(second); }),
              "FileCrypt ERROR: in CSHA::FinalDigest(), No data Added before call!");
}

TEST(ShaTest, RefusesEmptyDataAndADigestOfNothing)
{
    CSHA sha;
    const std::uint8_t byte = 0;
    std::uint8_t digest[32];
    for (int nLength : {0, -1})
        EXPECT_EQ(ErrorOf([&] { sha.AddData(&byte, nLength); }),
                  "FileCrypt ERROR: in CSHA::AddData(), Data Length should be > 0!");
    EXPECT_EQ(ErrorOf([&] { sha.FinalDigest(digest); }),
              "FileCrypt ERROR: in CSHA::FinalDigest(), No data Added before call!");
}

} // namespace
