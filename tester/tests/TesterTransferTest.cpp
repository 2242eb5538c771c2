#include "TesterTransfer.h"
#include "TransferCodeList.h"

#include "CodeTransfer.h"
#include "LongTextTransfer.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

// A stand-in control: records each call's codes and input elements and
// answers through `answer`, which may write into the elements.
class CRecordingCall : public CCodeTransferCall {
public:
    struct CCall {
        short codes[3];
        std::vector<short> input;
    };
    using Answer = std::function<short(short* pCharCode, const short* pCodes)>;

    explicit CRecordingCall(Answer answer) : m_answer(std::move(answer)) {}
    short CodeTransfer(short* pCharCode, short* pControlCodes) override
    {
        CCall call = {{pControlCodes[0], pControlCodes[1], pControlCodes[2]}, {}};
        call.input.assign(pCharCode, pCharCode + std::max<short>(pControlCodes[2], 0));
        m_arrCalls.push_back(call);
        return m_answer(pCharCode, pControlCodes);
    }
    std::vector<CCall> m_arrCalls;

private:
    Answer m_answer;
};

// The engine's CodeTransfer behind the same seam, with the capacity the
// control gives it: what the tester meets through COM, less the COM.
class CEngineCall : public CCodeTransferCall {
public:
    short CodeTransfer(short* pCharCode, short* pControlCodes) override
    {
        ++m_nCalls;
        m_nLargestCount = std::max<int>(m_nLargestCount, pControlCodes[2]);
        return ::CodeTransfer(pCharCode, kMaxTransferElements, pControlCodes, m_services);
    }
    int m_nCalls = 0;
    int m_nLargestCount = 0;

private:
    TransferServices m_services;
};


std::u16string Units(const std::string& bytes)
{
    std::u16string units;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        units.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                              static_cast<unsigned char>(bytes[i + 1]) << 8));
    return units;
}

// GB2312 hanzi and ASCII with CR LF line ends now and then.
std::string GbkText(std::mt19937& rng, std::size_t size, bool lines)
{
    std::string text;
    while (text.size() < size) {
        if (lines && rng() % 30 == 0)
            text += "\r\n";
        else if (rng() % 5 == 0)
            text.push_back(static_cast<char>('a' + rng() % 26));
        else {
            text.push_back(static_cast<char>(0xB0 + rng() % 0x28));
            text.push_back(static_cast<char>(0xA1 + rng() % 0x5D));
        }
    }
    return text;
}

TEST(TesterTransfer, ByteTextsEnterSignExtendedAndOnlyLowBytesComeBack)
{
    CRecordingCall call([](short* pCharCode, const short*) {
        pCharCode[0] = 0x1B5;           // the low byte B5 counts
        pCharCode[1] = static_cast<short>(0xFF6F);
        return short(2);
    });
    std::string output = "stale";
    ASSERT_EQ(TransferBytesToBytes("\xB0\x41\xFF\x80", 0, 1, call, output), ETransferOutcome::Done);
    EXPECT_EQ(output, "\xB5\x6F");
    ASSERT_EQ(call.m_arrCalls.size(), 1u);
    const CRecordingCall::CCall& made = call.m_arrCalls[0];
    EXPECT_EQ(made.codes[0], 0);
    EXPECT_EQ(made.codes[1], 1);
    EXPECT_EQ(made.codes[2], 4);
    EXPECT_EQ(made.input, (std::vector<short>{-80, 0x41, -1, -128}));
}

TEST(TesterTransfer, UnicodeTextsTravelAsLowThenHighByteWithTheirTerminator)
{
    // The control's answer for GB 中 read as code page 936: U+4E2D and the terminator.
    CRecordingCall call([](short* pCharCode, const short*) {
        const short answer[] = {0x2D, 0x4E, 0, 0};
        std::copy(std::begin(answer), std::end(answer), pCharCode);
        return short(4);
    });
    std::u16string output;
    ASSERT_EQ(TransferUnicodeToUnicode(std::u16string(u"\u4E2D\u00B0", 3), 3, 4, call, output),
              ETransferOutcome::Done);
    EXPECT_EQ(output, std::u16string(u"\u4E2D", 2));  // the converted terminator ends the text
    ASSERT_EQ(call.m_arrCalls.size(), 1u);
    EXPECT_EQ(call.m_arrCalls[0].codes[2], 6);  // two units and the terminator
    // UTF-16 halves are 0 to 255, never sign-extended.
    EXPECT_EQ(call.m_arrCalls[0].input, (std::vector<short>{0x2D, 0x4E, 0xB0, 0x00, 0, 0}));

    std::string bytes;
    CRecordingCall toBytes([](short* pCharCode, const short*) {
        pCharCode[0] = -42;
        pCharCode[1] = -48;
        return short(2);
    });
    ASSERT_EQ(TransferUnicodeToBytes(std::u16string(u"\u4E2D", 2), 3, 0, toBytes, bytes), ETransferOutcome::Done);
    EXPECT_EQ(bytes, "\xD6\xD0");
}

TEST(TesterTransfer, TheSizeCheckRefusesWithoutCallingTheControl)
{
    struct SizeCase {
        std::size_t size;
        bool unicode;
        ETransferOutcome outcome;
    };
    const SizeCase cases[] = {
        {65536, false, ETransferOutcome::Done},
        {65537, false, ETransferOutcome::TooLong},
        {32768, true, ETransferOutcome::Done},
        {32769, true, ETransferOutcome::TooLong},
    };
    for (const SizeCase& c : cases) {
        CRecordingCall call([](short*, const short* pCodes) { return pCodes[2]; });
        CTesterText input, output;
        input.bUnicode = c.unicode;
        if (c.unicode)
            input.strUnits.assign(c.size, u'a');
        else
            input.strBytes.assign(c.size, 'a');
        const short destination = c.unicode ? 4 : 1;
        EXPECT_EQ(TransferText(input, c.unicode ? 3 : 0, destination, call, output), c.outcome) << c.size;
        EXPECT_EQ(call.m_arrCalls.empty(), c.outcome == ETransferOutcome::TooLong) << c.size;
    }
    EXPECT_NE(TooLongMessage().find("no more than 65536 byte at a time."), std::string::npos);
}

TEST(TesterTransfer, AResultBelowOneLeavesNoOutputInAnyRoutine)
{
    for (short answer : {short(0), short(-1)}) {
        for (short source : {short(0), short(3)}) {
            for (short destination : {short(1), short(4)}) {
                CRecordingCall call([answer](short*, const short*) { return answer; });
                CTesterText input, output;
                input.bUnicode = IsUnicodeTransferCode(source);
                input.strBytes = "ab";
                input.strUnits = u"ab";
                output.strBytes = "stale";
                output.strUnits = u"stale";
                EXPECT_EQ(TransferText(input, source, destination, call, output), ETransferOutcome::Failed);
                EXPECT_EQ(output.bUnicode, IsUnicodeTransferCode(destination));
                EXPECT_TRUE(output.strBytes.empty() && output.strUnits.empty());
            }
        }
    }
}

TEST(TesterTransfer, ShortTextsGoOverInOneCallAsTheyAre)
{
    CRecordingCall call([](short*, const short* pCodes) { return pCodes[2]; });
    std::string output;
    const std::string text(kTesterPieceBytes, 'x');
    ASSERT_EQ(TransferBytesToBytes(text, 0, 2, call, output), ETransferOutcome::Done);
    ASSERT_EQ(call.m_arrCalls.size(), 1u);
    EXPECT_EQ(call.m_arrCalls[0].codes[2], static_cast<short>(kTesterPieceBytes));
    EXPECT_EQ(output, text);
}

TEST(TesterTransfer, LongTextsAreCutAtLineFeedsAndConvertLikeTheEngineDoes)
{
    std::mt19937 rng(11);
    const TransferServices services;
    for (std::size_t size : {std::size_t(20000), std::size_t(40000), std::size_t(65534)}) {
        const std::string gbk = GbkText(rng, size, true);  // at most two bytes over
        CEngineCall engine;
        std::string big5, reference;
        ASSERT_EQ(TransferBytesToBytes(gbk, 0, 1, engine, big5), ETransferOutcome::Done) << size;
        ASSERT_EQ(TransferLongText(gbk, 0, 1, services, reference), LongTransferResult::Done);
        EXPECT_TRUE(big5 == reference) << size;  // texts too long to print
        EXPECT_GT(engine.m_nCalls, 1);
        EXPECT_LE(engine.m_nLargestCount, static_cast<int>(kTesterPieceBytes));

        // To UTF-16: one terminator, at the end, although every piece brought one.
        std::u16string unicode;
        ASSERT_EQ(TransferBytesToUnicode(big5, 1, 4, engine, unicode), ETransferOutcome::Done);
        ASSERT_EQ(TransferLongText(big5, 1, 4, services, reference), LongTransferResult::Done);
        EXPECT_TRUE(unicode == Units(reference) + std::u16string(1, u'\0'));

        // And back, from a Unicode text carrying its terminator, where the size check lets it.
        if (unicode.size() > kSizeCheckUnits)
            continue;
        std::string back;
        ASSERT_EQ(TransferUnicodeToBytes(unicode, 4, 1, engine, back), ETransferOutcome::Done);
        EXPECT_TRUE(back == big5);
    }
}

TEST(TesterTransfer, LongTextsWithoutLinesAreCutBetweenCharacters)
{
    std::mt19937 rng(3);
    const std::string gbk = GbkText(rng, 50001, false);
    CEngineCall engine;
    const TransferServices services;
    std::string tradGbk, reference;
    ASSERT_EQ(TransferBytesToBytes(gbk, 0, 2, engine, tradGbk), ETransferOutcome::Done);
    ASSERT_EQ(TransferLongText(gbk, 0, 2, services, reference), LongTransferResult::Done);
    EXPECT_TRUE(tradGbk == reference);
}

TEST(TesterTransfer, TheTerminatorNeverTravelsAlone)
{
    // A text that fills one piece exactly: its terminator would be a piece of its own.
    std::u16string units(kTesterPieceBytes / 2, u'a');
    units.push_back(u'\0');
    CRecordingCall call([](short*, const short* pCodes) { return pCodes[2]; });
    std::u16string output;
    ASSERT_EQ(TransferUnicodeToUnicode(units, 3, 3, call, output), ETransferOutcome::Done);
    ASSERT_EQ(call.m_arrCalls.size(), 1u);
    EXPECT_EQ(call.m_arrCalls[0].codes[2], static_cast<short>(units.size() * 2));
    EXPECT_EQ(output, units);
}

TEST(TesterTransfer, NothingAfterTheFirstZeroIsHandedOver)
{
    CRecordingCall call([](short*, const short* pCodes) { return pCodes[2]; });
    std::u16string unicode;
    ASSERT_EQ(TransferUnicodeToUnicode(std::u16string(u"ab\0garbage", 10), 3, 3, call, unicode),
              ETransferOutcome::Done);
    EXPECT_EQ(call.m_arrCalls.back().codes[2], 6);
    std::string bytes;
    ASSERT_EQ(TransferBytesToBytes(std::string("ab\0cd", 5), 0, 0, call, bytes), ETransferOutcome::Done);
    EXPECT_EQ(call.m_arrCalls.back().codes[2], 2);
}

TEST(TesterTransfer, APieceThatFailsFailsTheWholeTransfer)
{
    int nCalls = 0;
    CRecordingCall call([&nCalls](short*, const short* pCodes) { return ++nCalls == 2 ? short(0) : pCodes[2]; });
    std::string text;
    for (int i = 0; i < 5000; ++i)
        text += "line line\n";
    std::string output = "stale";
    EXPECT_EQ(TransferBytesToBytes(text, 0, 1, call, output), ETransferOutcome::Failed);
    EXPECT_TRUE(output.empty());
    EXPECT_EQ(nCalls, 2);  // no call after the failure
}

TEST(TesterTransfer, EmptyTextsStillAskTheControl)
{
    // An empty byte text turned into UTF-16 is an empty Unicode text; an
    // empty Unicode text (the terminator only) is one the control refuses.
    CEngineCall engine;
    std::u16string unicode;
    ASSERT_EQ(TransferBytesToUnicode("", 0, 3, engine, unicode), ETransferOutcome::Done);
    EXPECT_EQ(unicode, std::u16string(1, u'\0'));
    std::string bytes = "stale";
    EXPECT_EQ(TransferUnicodeToBytes(std::u16string(1, u'\0'), 3, 0, engine, bytes), ETransferOutcome::Failed);
    EXPECT_TRUE(bytes.empty());
}

TEST(TransferCodeList, PositionsAreCodesAndOnlyTheLastTwoAreUnicode)
{
    for (int i = 0; i < kClipboardCodeCount; ++i) {
        EXPECT_EQ(kTransferCodeEntries[i].nCode, i);
        EXPECT_EQ(kTransferCodeEntries[i].pszText[0], '1' + i);
        EXPECT_EQ(IsUnicodeTransferCode(i), i >= kEditAreaCodeCount);
    }
    EXPECT_EQ(EditCodePageOf(1), 950u);
    EXPECT_EQ(EditCodePageOf(0), 936u);
    EXPECT_EQ(EditCodePageOf(2), 936u);
}

} // namespace
