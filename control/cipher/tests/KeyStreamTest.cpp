#include "KeyStream.h"

#include "CipherTestSupport.h"

#include <gtest/gtest.h>

namespace {

// Key streams from RFC 6229: 16 bytes at an offset into the stream.
const struct {
    const char* pszKey;
    int nOffset;
    const char* pszStream;
} kRfc6229[] = {
    {"0102030405", 0, "b2396305f03dc027ccc3524a0a1118a8"},
    {"0102030405", 16, "6982944f18fc82d589c403a47a0d0919"},
    {"01020304050607", 0, "293f02d47f37c9b633f2af5285feb46b"},
    {"01020304050607", 16, "e620f1390d19bd84e2e0fd752031afc1"},
    {"0102030405060708", 0, "97ab8a1bf0afb96132f2f67258da15a8"},
    {"0102030405060708090a0b0c0d0e0f10", 0, "9ac7cc9a609d1ef7b2932899cde41b97"},
    {"0102030405060708090a0b0c0d0e0f10", 16, "5248c4959014126a6e8a84f11d1a9e1c"},
    {"0102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f20", 0, "eaa6bd25880bf93d3f5d1e4ca2611d91"},
    {"0102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f20", 4080, "a13a7c79c7e119b5ab0296ab28c300b9"},
    {"0102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f20", 4096, "f3e4c0a2e02d1d01f7f0a74618af2b48"},
    {"833222772a", 0, "80ad97bdc973df8a2e879e92a497efda"},
    {"833222772a", 4096, "bf42c3018c2f7c66bfde524975768115"},
    {"641910833222772a", 1520, "bd3820f732ffb53ec193e79d33e27c73"},
    {"ebb46227c6cc8b37641910833222772a", 240, "b3394a40aabf75cba42282ef25a0059f"},
    {"1ada31d5cf688221c109163908ebe51debb46227c6cc8b37641910833222772a", 0, "dd5bcb0018e922d494759d7c395d02d3"},
    {"1ada31d5cf688221c109163908ebe51debb46227c6cc8b37641910833222772a", 4096, "370b1c1fe655916d97fd0d47ca1d72b8"},
};

std::string StreamAt(CKeyStream& stream, int nOffset)
{
    for (int n = 0; n < nOffset; ++n)
        stream.NextByte();
    Bytes bytes;
    for (int n = 0; n < 16; ++n)
        bytes.push_back(stream.NextByte());
    return ToHex(bytes);
}

TEST(KeyStreamTest, MatchesThePublishedStreamsAndResetReplaysThem)
{
    for (const auto& vector : kRfc6229) {
        SCOPED_TRACE(std::string(vector.pszKey) + " at " + std::to_string(vector.nOffset));
        const Bytes key = FromHex(vector.pszKey);
        CKeyStream stream;
        stream.SetKey(key.data(), static_cast<int>(key.size()));
        EXPECT_EQ(StreamAt(stream, vector.nOffset), vector.pszStream);
        stream.Reset();
        EXPECT_EQ(StreamAt(stream, vector.nOffset), vector.pszStream);
    }
}

TEST(KeyStreamTest, RefusesAnEmptyKeyAndUseBeforeAKey)
{
    CKeyStream stream;
    EXPECT_FALSE(stream.IsKeySet());
    EXPECT_EQ(ErrorOf([&] { stream.NextByte(); }), "PRNG Not Initialized");
    EXPECT_EQ(ErrorOf([&] { stream.Reset(); }), "PRNG Not Initialized");
    const std::uint8_t key = 1;
    EXPECT_EQ(ErrorOf([&] { stream.SetKey(&key, 0); }), "Key Length should be at least 1");
    EXPECT_EQ(ErrorOf([&] { stream.SetKey(&key, -5); }), "Key Length should be at least 1");
    EXPECT_EQ(ErrorOf([&] { stream.SetKey(nullptr, 4); }), "Key Length should be at least 1");
    EXPECT_FALSE(stream.IsKeySet());
}

} // namespace
