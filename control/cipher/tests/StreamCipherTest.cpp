#include "StreamCipher.h"

#include "CipherTestSupport.h"
#include "SHA.h"

#include <gtest/gtest.h>

namespace {

const char kNotInitialized[] = "FileCrypt ERROR: Encryption/Decryption Object not Initialized!";

void Initialize(CStreamCipher& cipher, const Bytes& key, int nRounds)
{
    cipher.Initialize(key.data(), static_cast<int>(key.size()), nRounds);
}

Bytes Encrypt(CStreamCipher& cipher, const Bytes& plain)
{
    Bytes out(plain.size());
    cipher.ResetChain();
    if (!plain.empty())
        cipher.EncryptBlock(plain.data(), out.data(), static_cast<int>(plain.size()));
    return out;
}

Bytes Decrypt(CStreamCipher& cipher, const Bytes& enciphered)
{
    Bytes out(enciphered.size());
    cipher.ResetChain();
    if (!enciphered.empty())
        cipher.DecryptBlock(enciphered.data(), out.data(), static_cast<int>(enciphered.size()));
    return out;
}

Bytes Signature(CStreamCipher& cipher)
{
    Bytes signature(32);
    cipher.GetSignature(signature.data());
    return signature;
}

std::string Sha256(const std::string& strText)
{
    CSHA sha;
    sha.AddData(reinterpret_cast<const std::uint8_t*>(strText.data()), static_cast<int>(strText.size()));
    std::uint8_t digest[32];
    sha.FinalDigest(digest);
    return ToHex(digest, 32);
}

// Computed apart from this code, from the description of the rounds and the
// signature: a change here makes every enciphered library unreadable.
TEST(StreamCipherTest, KnownAnswers)
{
    CStreamCipher cipher;
    Initialize(cipher, FromText("Lumbra"), 3);
    EXPECT_EQ(ToHex(Encrypt(cipher, FromText("KIVO word adjustment"))), "a37f54ce4cdbb9e9a121953b5c734099ede549e5");
    EXPECT_EQ(ToHex(Signature(cipher)), "32cedefd3511e000e6a9c0ed7beedf5bed0afc11418016c9946542228d2a036c");
    Initialize(cipher, FromHex("0102030405"), 1);
    EXPECT_EQ(ToHex(Encrypt(cipher, Bytes(8, 0))), "eea74f61c302bb83");
}

TEST(StreamCipherTest, BlocksRoundTripAndChainAcrossCalls)
{
    std::mt19937 random(6229);
    for (int nRounds : {1, 2, 3, 17, 50, 100}) {
        for (std::size_t nLength : {1, 2, 383, 384, 385, 4000}) {
            SCOPED_TRACE(std::to_string(nRounds) + " rounds, " + std::to_string(nLength) + " bytes");
            CStreamCipher cipher;
            Initialize(cipher, RandomBytes(random, 1 + random() % 40), nRounds);
            const Bytes plain = RandomBytes(random, nLength);
            const Bytes whole = Encrypt(cipher, plain);
            if (nLength > 16) {
                EXPECT_NE(whole, plain);
            }
            EXPECT_EQ(Decrypt(cipher, whole), plain);

            // The same bytes in uneven pieces: the chain carries across calls.
            Bytes pieces(nLength);
            cipher.ResetChain();
            for (std::size_t n = 0; n < nLength;) {
                const int nPiece = static_cast<int>(std::min<std::size_t>(1 + random() % 500, nLength - n));
                cipher.EncryptBlock(plain.data() + n, pieces.data() + n, nPiece);
                n += static_cast<std::size_t>(nPiece);
            }
            EXPECT_EQ(pieces, whole);
        }
    }
}

TEST(StreamCipherTest, TheSignatureCoversKeyAndRoundsUpToAZeroByte)
{
    CStreamCipher cipher;
    Initialize(cipher, FromText("abc"), 7);
    std::string strBlock;
    for (int n = 0; n < 256; ++n)
        strBlock += "abc"[n % 3];
    EXPECT_EQ(ToHex(Signature(cipher)), Sha256("XOR256STREAM" + strBlock + "7"));

    // A zero byte in the key block ends the signature string there.
    Initialize(cipher, FromHex("00414243"), 5);
    const Bytes zeroFirst = Signature(cipher);
    EXPECT_EQ(ToHex(zeroFirst), Sha256("XOR256STREAM"));
    Initialize(cipher, FromHex("00414243"), 9);
    EXPECT_EQ(Signature(cipher), zeroFirst);
    Initialize(cipher, FromHex("41420043"), 9);
    EXPECT_EQ(ToHex(Signature(cipher)), Sha256("XOR256STREAMAB"));
}

TEST(StreamCipherTest, ReinitialisingWithTheSameKeyActsAsAFreshStart)
{
    const Bytes key = FromText("same key");
    const Bytes plain = FromText("the chaining byte must start over");
    CStreamCipher fresh;
    Initialize(fresh, key, 4);
    Bytes expected(plain.size());
    fresh.EncryptBlock(plain.data(), expected.data(), static_cast<int>(plain.size()));

    CStreamCipher reused;
    Initialize(reused, key, 4);
    Bytes scratch(plain.size());
    reused.EncryptBlock(plain.data(), scratch.data(), static_cast<int>(plain.size()));
    Initialize(reused, key, 4);
    Bytes again(plain.size());
    reused.EncryptBlock(plain.data(), again.data(), static_cast<int>(plain.size()));
    EXPECT_EQ(again, expected);

    // Only the rounds changed: the same key block, the new rounds.
    Initialize(reused, key, 9);
    CStreamCipher nine;
    Initialize(nine, key, 9);
    EXPECT_EQ(Encrypt(reused, plain), Encrypt(nine, plain));
    EXPECT_EQ(Signature(reused), Signature(nine));
}

TEST(StreamCipherTest, ARefusedInitializeChangesNothing)
{
    CStreamCipher cipher;
    const Bytes key = FromText("key");
    const std::uint8_t byKey = 1;
    const struct {
        const std::uint8_t* pKey;
        int nLength, nRounds;
        const char* pszError;
    } refused[] = {
        {nullptr, 3, 3, "FileCrypt ERROR: No Key DataSpecified!"},
        {&byKey, 0, 3, "FileCrypt ERROR: Key Data Length should be > 0!"},
        {&byKey, -1, 3, "FileCrypt ERROR: Key Data Length should be > 0!"},
        {&byKey, 1, 0, "Illegal Internal Rounds!"},
        {&byKey, 1, -3, "Illegal Internal Rounds!"},
    };
    for (const auto& r : refused)
        EXPECT_EQ(ErrorOf([&] { cipher.Initialize(r.pKey, r.nLength, r.nRounds); }), r.pszError);
    EXPECT_FALSE(cipher.IsInitialized());
    EXPECT_EQ(cipher.GetRounds(), -1);

    Initialize(cipher, key, 5);
    const Bytes plain = FromText("unchanged");
    const Bytes expected = Encrypt(cipher, plain);
    const Bytes signature = Signature(cipher);
    for (const auto& r : refused)
        EXPECT_EQ(ErrorOf([&] { cipher.Initialize(r.pKey, r.nLength, r.nRounds); }), r.pszError);
    EXPECT_EQ(cipher.GetRounds(), 5);
    EXPECT_EQ(Encrypt(cipher, plain), expected);
    EXPECT_EQ(Signature(cipher), signature);
}

TEST(StreamCipherTest, RefusesUseBeforeInitializeAndEmptyBlocks)
{
    CStreamCipher cipher;
    std::uint8_t bytes[4] = {};
    EXPECT_EQ(ErrorOf([&] { cipher.GetSignature(bytes); }), kNotInitialized);
    EXPECT_EQ(ErrorOf([&] { cipher.EncryptBlock(bytes, bytes, 4); }), kNotInitialized);
    EXPECT_EQ(ErrorOf([&] { cipher.DecryptBlock(bytes, bytes, 4); }), kNotInitialized);
    EXPECT_EQ(ErrorOf([&] { cipher.ResetChain(); }), kNotInitialized);
    EXPECT_EQ(ErrorOf([&] { cipher.EncryptFile("in", "out"); }), kNotInitialized);
    EXPECT_EQ(ErrorOf([&] { cipher.DecryptFile("in", "out"); }), kNotInitialized);

    Initialize(cipher, FromText("k"), 3);
    for (int nLength : {0, -1}) {
        EXPECT_EQ(ErrorOf([&] { cipher.EncryptBlock(bytes, bytes, nLength); }), "Illegal Block Size!");
        EXPECT_EQ(ErrorOf([&] { cipher.DecryptBlock(bytes, bytes, nLength); }), "Illegal Block Size!");
    }
    EXPECT_EQ(ErrorOf([&] { cipher.EncryptBlock(nullptr, bytes, 4); }), "Illegal Block Size!");
}

class StreamCipherFileTest : public ::testing::Test {
protected:
    void SetUp() override { Initialize(m_cipher, FromText("library key"), 3); }

    CScratchFolder m_folder;
    CStreamCipher m_cipher;
};

TEST_F(StreamCipherFileTest, FilesRoundTripWithTheSignatureInFront)
{
    std::mt19937 random(180);
    const std::string strPlain = m_folder / "plain.txt";
    const std::string strEnciphered = m_folder / "enciphered.dat";
    const std::string strBack = m_folder / "back.txt";
    for (std::size_t nLength : {0, 1, 383, 384, 385, 768, 1000000}) {
        SCOPED_TRACE(nLength);
        const Bytes plain = RandomBytes(random, nLength);
        WriteBytes(strPlain, plain);
        m_cipher.EncryptFile(strPlain, strEnciphered);
        const Bytes enciphered = ReadBytes(strEnciphered);
        ASSERT_EQ(enciphered.size(), 32 + nLength);
        EXPECT_EQ(Bytes(enciphered.begin(), enciphered.begin() + 32), Signature(m_cipher));
        // The body is the bytes enciphered in one piece: blocks do not show.
        EXPECT_EQ(Bytes(enciphered.begin() + 32, enciphered.end()), Encrypt(m_cipher, plain));

        m_cipher.DecryptFile(strEnciphered, strBack);
        EXPECT_EQ(ReadBytes(strBack), plain);
    }
}

TEST_F(StreamCipherFileTest, AZeroFirstKeyPassesTheCheckWithOtherRoundsButDeciphersWrong)
{
    const Bytes key = FromHex("00c0ffee");
    const Bytes plain = FromText("a library enciphered with three rounds");
    WriteBytes(m_folder / "plain.txt", plain);
    Initialize(m_cipher, key, 3);
    m_cipher.EncryptFile(m_folder / "plain.txt", m_folder / "enciphered.dat");

    Initialize(m_cipher, key, 4);
    m_cipher.DecryptFile(m_folder / "enciphered.dat", m_folder / "back.txt");
    const Bytes back = ReadBytes(m_folder / "back.txt");
    EXPECT_EQ(back.size(), plain.size());
    EXPECT_NE(back, plain);

    // Without the zero byte the rounds are part of the signature.
    Initialize(m_cipher, FromHex("c0ffee"), 3);
    m_cipher.EncryptFile(m_folder / "plain.txt", m_folder / "enciphered.dat");
    Initialize(m_cipher, FromHex("c0ffee"), 4);
    EXPECT_NE(ErrorOf([&] { m_cipher.DecryptFile(m_folder / "enciphered.dat", m_folder / "back.txt"); }), "<none>");
}

TEST_F(StreamCipherFileTest, RefusesOneFileForInputAndOutputBeforeOpeningAnything)
{
    const std::string strMissing = m_folder / "missing.txt";
    EXPECT_EQ(ErrorOf([&] { m_cipher.EncryptFile(strMissing, strMissing); }),
              "FileCrypt ERROR: The same File for Input and Output " + strMissing + "!");
    EXPECT_EQ(ErrorOf([&] { m_cipher.DecryptFile(strMissing, strMissing); }),
              "FileCrypt ERROR: The same File for Input and Output " + strMissing + "!");
    EXPECT_FALSE(FileExists(strMissing));

    // Another name of an existing file is refused too, and the file kept.
    const std::string strPlain = m_folder / "plain.txt";
    const Bytes plain = FromText("keep me");
    WriteBytes(strPlain, plain);
    const std::string strOtherName = m_folder.Path() + "/./plain.txt";
    EXPECT_EQ(ErrorOf([&] { m_cipher.EncryptFile(strPlain, strOtherName); }),
              "FileCrypt ERROR: The same File for Input and Output " + strPlain + "!");
    EXPECT_EQ(ReadBytes(strPlain), plain);
}

TEST_F(StreamCipherFileTest, CannotOpenNamesTheFile)
{
    const std::string strMissing = m_folder / "missing.txt";
    const std::string strOut = m_folder / "out.dat";
    EXPECT_EQ(ErrorOf([&] { m_cipher.EncryptFile(strMissing, strOut); }),
              "FileCrypt ERROR: Cannot open File " + strMissing + "!");
    EXPECT_EQ(ErrorOf([&] { m_cipher.DecryptFile(strMissing, strOut); }),
              "FileCrypt ERROR: Cannot open File " + strMissing + "!");
    EXPECT_FALSE(FileExists(strOut));

    WriteBytes(m_folder / "plain.txt", FromText("x"));
    const std::string strNoFolder = m_folder / "no-such-folder/out.dat";
    EXPECT_EQ(ErrorOf([&] { m_cipher.EncryptFile(m_folder / "plain.txt", strNoFolder); }),
              "FileCrypt ERROR: Cannot open File " + strNoFolder + "!");
}

TEST_F(StreamCipherFileTest, ShortForeignAndTruncatedFiles)
{
    const std::string strIn = m_folder / "in.dat";
    const std::string strOut = m_folder / "out.txt";
    const std::string strRefused = "FileCrypt ERROR: File " + strIn + " cannot be Correctly Decrypted!";
    const Bytes signature = Signature(m_cipher);

    // Shorter than the signature, even when it is the signature's start.
    for (std::size_t nLength : {0, 1, 31}) {
        WriteBytes(strIn, Bytes(signature.begin(), signature.begin() + static_cast<long>(nLength)));
        WriteBytes(strOut, FromText("old"));
        EXPECT_EQ(ErrorOf([&] { m_cipher.DecryptFile(strIn, strOut); }), strRefused) << nLength;
        EXPECT_TRUE(ReadBytes(strOut).empty());
    }

    // Made with another key.
    const Bytes plain = FromText("some plain text, long enough to cut");
    WriteBytes(m_folder / "plain.txt", plain);
    CStreamCipher other;
    Initialize(other, FromText("another key"), 3);
    other.EncryptFile(m_folder / "plain.txt", strIn);
    EXPECT_EQ(ErrorOf([&] { m_cipher.DecryptFile(strIn, strOut); }), strRefused);

    // Cut inside the body: there is no length to check, so the plain text
    // comes back cut at the same place.
    m_cipher.EncryptFile(m_folder / "plain.txt", strIn);
    Bytes enciphered = ReadBytes(strIn);
    enciphered.resize(32 + 10);
    WriteBytes(strIn, enciphered);
    m_cipher.DecryptFile(strIn, strOut);
    EXPECT_EQ(ReadBytes(strOut), Bytes(plain.begin(), plain.begin() + 10));
    enciphered.resize(32);
    WriteBytes(strIn, enciphered);
    m_cipher.DecryptFile(strIn, strOut);
    EXPECT_TRUE(ReadBytes(strOut).empty());
}

} // namespace
