#include "CharacterMapping.h"
#include "CodeTransfer.h"
#include "LongTextTransfer.h"
#include "TestText.h"
#include "WALibraryLists.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

std::string Utf16(const std::u16string& units)
{
    std::string bytes;
    for (char16_t u : units) {
        bytes.push_back(static_cast<char>(u & 0xFF));
        bytes.push_back(static_cast<char>(u >> 8));
    }
    return bytes;
}

TEST(LongTextTransfer, LongTextsEqualTheirPiecesConvertedInOneCallEach)
{
    std::mt19937 rng(5);
    const TransferServices services;
    for (int round = 0; round < 4; ++round) {
        // Plain GB2312 hanzi and ASCII, with lines now and then (none in round 0).
        std::string gbk;
        while (gbk.size() < 60000) {
            if (round > 0 && rng() % 40 == 0)
                gbk += "\r\n";
            gbk.push_back(static_cast<char>(0xB0 + rng() % 0x28));
            gbk.push_back(static_cast<char>(0xA1 + rng() % 0x5D));
        }
        std::string big5, back;
        ASSERT_EQ(TransferLongText(gbk, GbkSimplified, Big5Traditional, services, big5), LongTransferResult::Done);
        ASSERT_EQ(big5.size(), gbk.size());
        std::string unicode;
        ASSERT_EQ(TransferLongText(big5, Big5Traditional, UnicodeTraditional, services, unicode),
                  LongTransferResult::Done);
        ASSERT_EQ(TransferLongText(unicode, UnicodeTraditional, Big5Traditional, services, back),
                  LongTransferResult::Done);
        EXPECT_EQ(back, big5);
    }
}

TEST(LongTextTransfer, RefusesWhatOneCallWouldRefuseOrCutShort)
{
    const TransferServices services;
    std::string out = "kept";
    EXPECT_EQ(TransferLongText("abc", 0, 9, services, out), LongTransferResult::InvalidCodes);
    EXPECT_EQ(TransferLongText(std::string("a\0b", 3), 0, 1, services, out), LongTransferResult::HoldsZero);
    EXPECT_EQ(TransferLongText(Utf16(std::u16string(u"a\0b", 3)), 3, 0, services, out), LongTransferResult::HoldsZero);
    EXPECT_EQ(out, "kept");
    EXPECT_EQ(TransferLongText("", 0, 3, services, out), LongTransferResult::Done);
    EXPECT_EQ(out, "");
    EXPECT_EQ(TransferLongText("same", 1, 1, services, out), LongTransferResult::Done);
    EXPECT_EQ(out, "same");
}

// A host's call in place of the engine's: the cutting is the same whoever
// makes the call, and what the call answers steers it.
class PieceCalls {
public:
    explicit PieceCalls(std::size_t refuseAbove) : m_refuseAbove(refuseAbove) {}

    CodeTransferCall Call()
    {
        return [this](short* charCode, const short codes[3]) -> short {
            m_sizes.push_back(static_cast<std::size_t>(codes[2]));
            if (static_cast<std::size_t>(codes[2]) > m_refuseAbove)
                return kTransferFailed;
            return CodeTransfer(charCode, kMaxTransferElements, codes, TransferServices());
        };
    }
    const std::vector<std::size_t>& Sizes() const { return m_sizes; }

private:
    std::size_t m_refuseAbove;
    std::vector<std::size_t> m_sizes;
};

TEST(LongTextTransfer, ACallThatRefusesLargePiecesGetsThemHalvedWithTheSameResult)
{
    std::mt19937 rng(11);
    const struct {
        int source, destination;
        std::size_t refuseAbove;
    } cases[] = {{GbkSimplified, Big5Traditional, 3000}, {GbkSimplified, UnicodeSimplified, 777},
                 {Big5Traditional, GbkSimplified, 101}};
    for (const auto& c : cases) {
        std::string text;
        while (text.size() < 40000) {
            if (rng() % 90 == 0)
                text += "\r\n";
            text.push_back(static_cast<char>(0xB0 + rng() % 0x28));
            text.push_back(static_cast<char>(0xA1 + rng() % 0x5D));
        }
        std::string expected, out;
        ASSERT_EQ(TransferLongText(text, c.source, c.destination, TransferServices(), expected),
                  LongTransferResult::Done);
        PieceCalls calls(c.refuseAbove);
        ASSERT_EQ(TransferLongText(text, c.source, c.destination, calls.Call(), out), LongTransferResult::Done)
            << c.refuseAbove;
        EXPECT_TRUE(out == expected) << c.refuseAbove;
        EXPECT_GT(calls.Sizes().size(), text.size() / kMaxPieceBytes);  // at least one refusal halved
        for (std::size_t size : calls.Sizes())
            EXPECT_LE(size, kMaxPieceBytes);
    }
}

TEST(LongTextTransfer, ACallThatFailsStopsTheText)
{
    const std::string text(50000, 'a');
    const struct {
        short answer;
        LongTransferResult expected;
        bool once;  // a negative answer ends the text at its first piece
    } cases[] = {{kTransferInvalidArguments, LongTransferResult::InvalidCodes, true},
                 {-32768, LongTransferResult::InvalidCodes, true},
                 {kTransferFailed, LongTransferResult::Failed, false}};
    for (const auto& c : cases) {
        std::size_t count = 0;
        const CodeTransferCall call = [&](short*, const short*) -> short {
            ++count;
            return c.answer;
        };
        std::string out = "kept";
        EXPECT_EQ(TransferLongText(text, GbkSimplified, Big5Traditional, call, out), c.expected) << c.answer;
        EXPECT_EQ(out, "kept");
        if (c.once)
            EXPECT_EQ(count, 1u);
        else
            EXPECT_LT(count, 64u);  // halving ends at one character, it does not go on for ever
    }
}

// GB words of the tests below, and a G2B library that rewrites one of them:
// its source is what the tables make of the word, as in a real library.
const std::string kHead = "\xCD\xB7", kHair = "\xCD\xB7\xB7\xA2", kLe = "\xC1\xCB", kZhongwen = "\xD6\xD0\xCE\xC4";

std::string Repeated(const std::string& word, std::size_t times)
{
    std::string text;
    for (std::size_t i = 0; i < times; ++i)
        text += word;
    return text;
}

CWALibraryLists G2BLists(const std::string& gbWord, const std::string& big5Target)
{
    CWALibraryLists lists(kCodePageBig5);
    auto library = std::make_unique<WALibrary>();
    library->m_bApply = true;
    library->m_arrSources.push_back(MapGbToBig5(gbWord));
    library->m_arrTargets.push_back(big5Target);
    lists.Append(WADirection::G2B, std::move(library));
    return lists;
}

// The engine's call that also records what it was handed.
class CheckedCalls {
public:
    explicit CheckedCalls(const TransferServices& services) : m_services(services) {}

    CodeTransferCall Call()
    {
        return [this](short* charCode, const short codes[3]) -> short {
            m_sizes.push_back(static_cast<std::size_t>(codes[2]));
            return CodeTransfer(charCode, kMaxTransferElements, codes, m_services);
        };
    }
    // The tests' texts are double-byte characters only: an odd piece split one.
    bool SplitACharacter() const
    {
        return std::any_of(m_sizes.begin(), m_sizes.end(), [](std::size_t size) { return size % 2 != 0; });
    }

private:
    const TransferServices& m_services;
    std::vector<std::size_t> m_sizes;
};

// The text in the source's form: GB bytes, or UTF-16LE for a Unicode source.
std::string InSource(const std::string& gb, int source)
{
    if (!IsUnicodeCode(source))
        return gb;
    std::u16string units;
    EXPECT_TRUE(PlatformCodePageConverter().MultiByteToUnicode(gb, kCodePageGbk, units));
    units.pop_back();
    return Utf16(units);
}

// A library may delete a word (an empty target): a piece made of it converts
// to nothing, which a byte destination answers with 0 just as it answers a
// result too large for the call. Such a piece is done, not cut further.
TEST(LongTextTransfer, PiecesThatWordAdjustmentEmptiesOrShortensAreConvertedWhole)
{
    const std::string hairs = Repeated(kHair, 4000), words = Repeated(kZhongwen, 100);
    const struct {
        const char* what;
        std::string deleted, text, sameAs;  // the text converts as `sameAs` does in one call
        int source, destination;
    } cases[] = {
        {"a whole piece deleted, to Big5", kHair, hairs + words, words, GbkSimplified, Big5Traditional},
        {"a whole piece deleted, to GBK Traditional", kHair, hairs + words, words, GbkSimplified, GbkTraditional},
        {"a whole piece deleted, to Unicode", kHair, hairs + words, words, GbkSimplified, UnicodeTraditional},
        {"a one-character word, everything deleted", kLe, Repeated(kLe, 12000), "", GbkSimplified,
         Big5Traditional},
        {"pieces shortened, never emptied", kLe, Repeated(kLe + kZhongwen, 3000), Repeated(kZhongwen, 3000),
         GbkSimplified, Big5Traditional},
        {"from Unicode", kHair, Repeated(kHair, 5000) + kZhongwen, kZhongwen, UnicodeSimplified, Big5Traditional},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const CWALibraryLists lists = G2BLists(c.deleted, "");
        TransferServices services;
        services.wordAdjustment = &lists;
        std::string expected;
        if (!c.sameAs.empty()) {
            ASSERT_EQ(TransferLongText(InSource(c.sameAs, c.source), c.source, c.destination, services, expected),
                      LongTransferResult::Done);
        }
        CheckedCalls calls(services);
        std::string out;
        ASSERT_EQ(TransferLongText(InSource(c.text, c.source), c.source, c.destination, calls.Call(), out),
                  LongTransferResult::Done);
        EXPECT_EQ(Hex(out), Hex(expected));
        EXPECT_FALSE(calls.SplitACharacter());
    }
}

// A result that outgrows one call is cut between characters until it fits;
// one that cannot fit even for one character, or a call that refuses
// everything, fails the text rather than hand back its source bytes.
TEST(LongTextTransfer, AResultTooLargeForOneCallIsCutBetweenCharactersOrFails)
{
    const std::string head = MapGbToBig5(kHead);
    const struct {
        const char* what;
        std::string target, text;
        bool refuseAll;
        LongTransferResult expected;
        std::string result;
    } cases[] = {
        {"five times longer", Repeated(head, 5), Repeated(kHead, 8000), false, LongTransferResult::Done,
         Repeated(head, 40000)},
        {"one character too large", Repeated(head, 20000), kZhongwen + kHead + kZhongwen, false,
         LongTransferResult::Failed, "kept"},
        {"a call that refuses everything", "", Repeated(kZhongwen, 5000), true, LongTransferResult::Failed, "kept"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const CWALibraryLists lists = G2BLists(kHead, c.target);
        TransferServices services;
        services.wordAdjustment = &lists;
        CheckedCalls calls(services);
        const CodeTransferCall engine = calls.Call();
        const CodeTransferCall call = [&](short* charCode, const short codes[3]) -> short {
            const short answer = engine(charCode, codes);
            return c.refuseAll ? kTransferFailed : answer;
        };
        std::string out = "kept";
        EXPECT_EQ(TransferLongText(c.text, GbkSimplified, Big5Traditional, call, out), c.expected);
        EXPECT_TRUE(out == c.result) << out.size();
        EXPECT_FALSE(calls.SplitACharacter());
    }
}

} // namespace
