#include "LibraryCipher.h"

#include "CipherTestSupport.h"

#include <gtest/gtest.h>

#include <set>

namespace {

std::string Describe(const LibraryCipherParameters& parameters)
{
    return std::to_string(parameters.nRounds) + ":" + ToHex(parameters.key);
}

// Pinned: libraries enciphered by earlier builds must stay readable.
TEST(LibraryCipherTest, DerivesFixedParametersFromTheName)
{
    const struct {
        const char* pszName;
        bool bFirstPass;
        const char* pszParameters;
    } cases[] = {
        {"basebig.txt", false, "22:a1547796374ae04dc9b5fa693671b91ba480e98f6951761b87bbcaf495df1797"},
        {"basebig.txt", true, "17:d8883d82fff1ae47381ea74f2b70c517296c4e4c1aeeb47352fd42a1a0098497"},
        {"BASEGB.TXT", false, "26:82e4db5c9ab1fb318f88f718d64ce75e7dff3efa69eff7"},
        {"BASEGB.TXT", true, "96:41038d1aaefdf424a8d8b69b9aeb59d8ccaf03d7"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Describe(DeriveLibraryCipherParameters(c.pszName, c.bFirstPass)), c.pszParameters) << c.pszName;
}

TEST(LibraryCipherTest, OnlyTheLastComponentCountsInAnyCase)
{
    const std::string strExpected = Describe(DeriveLibraryCipherParameters("basebig.txt", false));
    for (const char* pszName : {"BASEBIG.TXT", "BaseBig.Txt", "C:\\Lumbra\\Dict\\BASEBIG.TXT", "/opt/lumbra/basebig.txt",
                                "dict/sub\\basebig.txt"})
        EXPECT_EQ(Describe(DeriveLibraryCipherParameters(pszName, false)), strExpected) << pszName;
    // Only ASCII letters fold: bytes of other characters are kept as they are.
    EXPECT_NE(Describe(DeriveLibraryCipherParameters("\xC4\xB2.txt", false)),
              Describe(DeriveLibraryCipherParameters("\xE4\xD2.txt", false)));
    EXPECT_EQ(LibraryNameOf("C:\\a\\b.txt"), "b.txt");
    EXPECT_EQ(LibraryNameOf("b.txt"), "b.txt");
    EXPECT_EQ(LibraryNameOf("dir/"), "");
}

TEST(LibraryCipherTest, ParametersStayInRangeAndSpreadOverManyNames)
{
    std::set<int> rounds;
    std::set<std::size_t> lengths;
    int nSamePasses = 0;
    for (int n = 0; n < 3000; ++n) {
        const std::string strName = "lib" + std::to_string(n) + ".txt";
        for (bool bFirstPass : {false, true}) {
            const LibraryCipherParameters parameters = DeriveLibraryCipherParameters(strName, bFirstPass);
            ASSERT_GE(parameters.nRounds, 3) << strName;
            ASSERT_LE(parameters.nRounds, 100) << strName;
            ASSERT_GE(parameters.key.size(), 16u) << strName;
            ASSERT_LE(parameters.key.size(), 32u) << strName;
            for (std::uint8_t byKey : parameters.key)
                ASSERT_NE(byKey, 0) << strName;
            rounds.insert(parameters.nRounds);
            lengths.insert(parameters.key.size());
        }
        nSamePasses += DeriveLibraryCipherParameters(strName, false).key ==
                       DeriveLibraryCipherParameters(strName, true).key;
    }
    EXPECT_EQ(rounds.size(), 98u);
    EXPECT_EQ(lengths.size(), 17u);
    EXPECT_EQ(nSamePasses, 0);
}

TEST(LibraryCipherTest, OneCipherForTheProcessReinitialisedPerPass)
{
    CStreamCipher& first = CreateLibraryCipher("basebig.txt", true);
    EXPECT_TRUE(first.IsInitialized());
    EXPECT_EQ(first.GetRounds(), 17);
    CStreamCipher& second = CreateLibraryCipher("BASEBIG.TXT", false);
    EXPECT_EQ(&first, &second);
    EXPECT_EQ(second.GetRounds(), 22);

    const LibraryCipherParameters parameters = DeriveLibraryCipherParameters("basebig.txt", false);
    CStreamCipher expected;
    expected.Initialize(parameters.key.data(), static_cast<int>(parameters.key.size()), parameters.nRounds);
    std::uint8_t signature[32], expectedSignature[32];
    second.GetSignature(signature);
    expected.GetSignature(expectedSignature);
    EXPECT_EQ(ToHex(signature, 32), ToHex(expectedSignature, 32));
}

class LibraryFilesTest : public ::testing::Test {
protected:
    std::string Listing() const
    {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(m_folder.Path()))
            names.insert(entry.path().filename().string());
        std::string strNames;
        for (const std::string& strName : names)
            strNames += (strNames.empty() ? "" : "|") + strName;
        return strNames;
    }

    CScratchFolder m_folder;
};

TEST_F(LibraryFilesTest, TwoLayersRoundTripLeavingNoScratchFile)
{
    std::mt19937 random(2);
    const Bytes plain = RandomBytes(random, 5000);
    WriteBytes(m_folder / "plain.txt", plain);
    EncipherLibrary(m_folder / "plain.txt", m_folder / "BASEBIG.TXT", "BASEBIG.TXT");
    EXPECT_EQ(Listing(), "BASEBIG.TXT|plain.txt");
    EXPECT_EQ(ReadBytes(m_folder / "BASEBIG.TXT").size(), plain.size() + 64);

    DecipherLibrary(m_folder / "BASEBIG.TXT", m_folder / "back.txt", "basebig.txt", m_folder / "scratch.tmp");
    EXPECT_EQ(ReadBytes(m_folder / "back.txt"), plain);
    EXPECT_EQ(Listing(), "BASEBIG.TXT|back.txt|plain.txt");

    // The outer layer is the first pass's, the inner one the plain name's.
    CreateLibraryCipher("basebig.txt", true).DecryptFile(m_folder / "BASEBIG.TXT", m_folder / "inner.dat");
    CreateLibraryCipher("basebig.txt", false).DecryptFile(m_folder / "inner.dat", m_folder / "inner.txt");
    EXPECT_EQ(ReadBytes(m_folder / "inner.txt"), plain);
}

TEST_F(LibraryFilesTest, AWrongNameFailsAndTheScratchFileGoesAnyway)
{
    WriteBytes(m_folder / "plain.txt", FromText("phrase library"));
    EncipherLibrary(m_folder / "plain.txt", m_folder / "lib.dat", "basebig.txt");
    const std::string strLibrary = m_folder / "lib.dat";
    EXPECT_EQ(ErrorOf([&] {
                  DecipherLibrary(strLibrary, m_folder / "back.txt", "basegb.txt", m_folder / "scratch.tmp");
              }),
              "FileCrypt ERROR: File " + strLibrary + " cannot be Correctly Decrypted!");
    EXPECT_FALSE(FileExists(m_folder / "scratch.tmp"));

    // A missing plain file: the intermediate file does not stay behind.
    EXPECT_NE(ErrorOf([&] { EncipherLibrary(m_folder / "missing.txt", m_folder / "out.dat", "x.txt"); }), "<none>");
    EXPECT_FALSE(FileExists(m_folder / "out.dat.pass"));
}

TEST_F(LibraryFilesTest, RefusesAScratchFileThatIsOneOfTheOthers)
{
    const std::string strPlain = m_folder / "plain.txt";
    const std::string strLibrary = m_folder / "lib.dat";
    WriteBytes(strPlain, FromText("phrase library"));
    EncipherLibrary(strPlain, strLibrary, "lib.dat");
    const Bytes library = ReadBytes(strLibrary);
    const std::string strSame = "FileCrypt ERROR: The same File for Input and Output ";
    // The scratch file is removed at the end: it must be neither of the others.
    for (const std::string& strScratch : {strLibrary, strPlain})
        EXPECT_EQ(ErrorOf([&] { DecipherLibrary(strLibrary, strPlain, "lib.dat", strScratch); }),
                  strSame + strScratch + "!");
    EXPECT_EQ(ErrorOf([&] { EncipherLibrary(strPlain, strPlain, "lib.dat"); }), strSame + strPlain + "!");
    EXPECT_EQ(ReadBytes(strLibrary), library);
    EXPECT_EQ(ReadBytes(strPlain), FromText("phrase library"));
}

} // namespace

// In memory, with both passes' key streams drawn side by side: the same
// bytes as the two file passes, for every length up to a few blocks (a
// pass's signature alone too), and the same refusals.
TEST_F(LibraryFilesTest, InMemoryDecipheringAgreesWithTheFilePasses)
{
    std::mt19937 random(7);
    for (std::size_t nSize : {0u, 1u, 2u, 383u, 384u, 385u, 1025u, 5000u}) {
        const Bytes plain = RandomBytes(random, nSize);
        WriteBytes(m_folder / "plain.txt", plain);
        EncipherLibrary(m_folder / "plain.txt", m_folder / "ff3gb.txt", "ff3gb.txt");
        const std::string strPlain(plain.begin(), plain.end());
        EXPECT_EQ(DecipherLibraryFile(m_folder / "ff3gb.txt", "FF3GB.TXT"), strPlain) << nSize;
        const Bytes file = ReadBytes(m_folder / "ff3gb.txt");
        EXPECT_EQ(DecipherLibraryText(std::string(file.begin(), file.end()), "ff3gb.txt"), strPlain) << nSize;
        EXPECT_EQ(ErrorOf([&] { DecipherLibraryFile(m_folder / "ff3gb.txt", "ffgb.txt"); }),
                  "FileCrypt ERROR: File ffgb.txt cannot be Correctly Decrypted!");
        // The outer layer alone, or less: the inner signature is missing.
        EXPECT_NE(ErrorOf([&] { DecipherLibraryText(std::string(file.begin(), file.begin() + 40), "ff3gb.txt"); }),
                  "<none>");
    }
    EXPECT_NE(ErrorOf([&] { DecipherLibraryFile(m_folder / "missing.txt", "missing.txt"); }), "<none>");
}
