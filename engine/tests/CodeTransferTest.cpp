// CodeTransfer through the build's own code-page converter: iconv natively,
// the platform's conversion under Wine.
#include "CodeTransfer.h"
#include "TestText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

constexpr short kSentinel = 0x7777;

struct Call {
    std::vector<short> elements;
    short result;
};

// Runs CodeTransfer on `input` in an array of `capacity` sentinel-filled elements.
Call Transfer(int source, int destination, const std::vector<short>& input, std::size_t capacity = 65536,
              int count = -2)
{
    std::vector<short> elements(capacity, kSentinel);
    std::copy(input.begin(), input.end(), elements.begin());
    const short codes[3] = {static_cast<short>(source), static_cast<short>(destination),
                            static_cast<short>(count == -2 ? static_cast<int>(input.size()) : count)};
    const short result = CodeTransfer(elements.data(), capacity, codes, TransferServices());
    return {elements, result};
}

// Bytes as hosts pass them: one per element, sign-extended.
std::vector<short> Elements(const std::string& bytes)
{
    std::vector<short> elements;
    for (char c : bytes)
        elements.push_back(static_cast<signed char>(c));
    return elements;
}

// UTF-16 units as little-endian element pairs.
std::vector<short> Elements(const std::u16string& units)
{
    std::vector<short> elements;
    for (char16_t u : units) {
        elements.push_back(static_cast<short>(u & 0xFF));
        elements.push_back(static_cast<short>(u >> 8));
    }
    return elements;
}

std::vector<short> Head(const Call& call)
{
    return std::vector<short>(call.elements.begin(), call.elements.begin() + (call.result > 0 ? call.result : 0));
}

TEST(CodeTransfer, EqualCodesLeaveTheTextUntouched)
{
    const std::vector<short> input = Elements(std::string("abcdefg"));
    const Call call = Transfer(GbkSimplified, GbkSimplified, input);
    EXPECT_EQ(call.result, 7);
    EXPECT_EQ(Head(call), input);
    EXPECT_EQ(call.elements[7], kSentinel);
}

TEST(CodeTransfer, InvalidArgumentsAnswerMinusOneAndWriteNothing)
{
    const std::vector<short> input = Elements(Bytes({0xB7, 0xA2}));
    const struct {
        int source, destination, count;
        std::size_t capacity;
    } cases[] = {
        {6, 1, 2, 16}, {0, -1, 2, 16}, {-1, 0, 2, 16}, {0, 6, 2, 16},
        {0, 1, -1, 16},   // a negative count
        {0, 1, -32768, 16},
        {0, 1, 17, 16},   // a count past the caller's array
    };
    for (const auto& c : cases) {
        const Call call = Transfer(c.source, c.destination, input, c.capacity, c.count);
        EXPECT_EQ(call.result, -1) << c.source << "->" << c.destination << " count " << c.count;
        EXPECT_EQ(Head({call.elements, 2}), input);
        EXPECT_EQ(call.elements[2], kSentinel);
    }
    EXPECT_EQ(CodeTransfer(nullptr, 0, nullptr, TransferServices()), -1);
}

TEST(CodeTransfer, ContractExamples)
{
    // 发 to Big5: bytes B5 6F, sign-extended.
    EXPECT_EQ(Head(Transfer(GbkSimplified, Big5Traditional, Elements(Bytes({0xB7, 0xA2})))),
              (std::vector<short>{-75, 111}));
    // 體 from Big5 to GBK Traditional: F3 77.
    EXPECT_EQ(Head(Transfer(Big5Traditional, GbkTraditional, Elements(Bytes({0xC5, 0xE9})))),
              (std::vector<short>{-13, 119}));
    // 中 to Unicode: U+4E2D and the terminating zero unit.
    EXPECT_EQ(Head(Transfer(GbkSimplified, UnicodeSimplified, Elements(Bytes({0xD6, 0xD0})))),
              (std::vector<short>{0x2D, 0x4E, 0, 0}));
    // An empty multibyte text still gives the terminator; an empty Unicode text fails.
    EXPECT_EQ(Head(Transfer(GbkSimplified, UnicodeSimplified, {})), (std::vector<short>{0, 0}));
    EXPECT_EQ(Transfer(UnicodeSimplified, GbkSimplified, {}).result, 0);
    // 们 has no place in code page 950.
    EXPECT_EQ(Head(Transfer(UnicodeTraditional, UnicodeTraditional2, Elements(std::u16string(u"\u4EEC")))),
              (std::vector<short>{'?', 0, 0, 0}));
}

TEST(CodeTransfer, SourceConventions)
{
    // An odd last element of a Unicode source is ignored.
    std::vector<short> odd = Elements(std::u16string(u"AB"));
    odd.push_back(0x43);
    EXPECT_EQ(Head(Transfer(UnicodeSimplified, GbkSimplified, odd)), Elements(std::string("AB")));
    // A zero byte ends a multibyte source, a zero unit a Unicode one.
    EXPECT_EQ(Head(Transfer(GbkSimplified, Big5Traditional, {'a', 0, 'b'})), (std::vector<short>{'a'}));
    EXPECT_EQ(Head(Transfer(UnicodeSimplified, GbkSimplified, Elements(std::u16string(u"a\0b", 3)))),
              (std::vector<short>{'a'}));
    // Only the low byte of a multibyte element counts.
    EXPECT_EQ(Head(Transfer(GbkSimplified, Big5Traditional, {0x1B7, 0x7FA2})), (std::vector<short>{-75, 111}));
    // Sign-extended bytes in a Unicode source still read as the bytes they hold.
    EXPECT_EQ(Head(Transfer(UnicodeSimplified, GbkSimplified, {0x2D, 0x4E, static_cast<short>(0xFFD1), 0x53})),
              Elements(Bytes({0xD6, 0xD0, 0xB7, 0xA2})));
}

TEST(CodeTransfer, ResultsTooLongForTheArrayOrTheCountAreNotWritten)
{
    // Two elements of room for a four-element Unicode result.
    const Call small = Transfer(GbkSimplified, UnicodeSimplified, Elements(Bytes({0xD6, 0xD0})), 3);
    EXPECT_EQ(small.result, 0);
    EXPECT_EQ(small.elements[2], kSentinel);
    EXPECT_EQ(small.elements[0], static_cast<signed char>(0xD6));

    // 20,000 characters make 40,002 elements of UTF-16: more than the result can count.
    const Call big = Transfer(GbkSimplified, UnicodeSimplified, Elements(std::string(20000, 'a')));
    EXPECT_EQ(big.result, 0);
    EXPECT_EQ(big.elements[20000], kSentinel);
    EXPECT_EQ(big.elements[0], 'a');
    EXPECT_EQ(big.elements[1], 'a');

    // The largest text that fits: 16,382 characters, 32,766 elements.
    const Call largest = Transfer(GbkSimplified, UnicodeSimplified, Elements(std::string(16382, 'a')));
    EXPECT_EQ(largest.result, 32766);
}

// One text in every form: 中文发国体 with ASCII around it. Every character
// comes back to itself through the other script, so each of the 36 pairs
// must turn the source form into exactly the destination form.
TEST(CodeTransfer, ConversionMatrixOnAMixedText)
{
    const std::string gbk = Bytes({'A', 0xD6, 0xD0, 0xCE, 0xC4, 0xB7, 0xA2, ' ', 0xB9, 0xFA, 0xCC, 0xE5, '\r', '\n'});
    const std::string big5 = Bytes({'A', 0xA4, 0xA4, 0xA4, 0xE5, 0xB5, 0x6F, ' ', 0xB0, 0xEA, 0xC5, 0xE9, '\r', '\n'});
    const std::string gbkTraditional =
        Bytes({'A', 0xD6, 0xD0, 0xCE, 0xC4, 0xB0, 0x6C, ' ', 0x87, 0xF8, 0xF3, 0x77, '\r', '\n'});
    const std::u16string simplified = u"A\u4E2D\u6587\u53D1 \u56FD\u4F53\r\n";
    const std::u16string traditional = u"A\u4E2D\u6587\u767C \u570B\u9AD4\r\n";

    // Unicode results carry the terminating zero unit; Unicode sources are given without it.
    auto form = [&](int code, bool asResult) {
        switch (code) {
        case GbkSimplified: return Elements(gbk);
        case Big5Traditional: return Elements(big5);
        case GbkTraditional: return Elements(gbkTraditional);
        case UnicodeSimplified: return Elements(asResult ? simplified + u'\0' : simplified);
        default: return Elements(asResult ? traditional + u'\0' : traditional);
        }
    };
    for (int source = 0; source <= 5; ++source) {
        for (int destination = 0; destination <= 5; ++destination) {
            const std::vector<short> input = form(source, false);
            const Call call = Transfer(source, destination, input);
            const std::vector<short> expected = source == destination ? input : form(destination, true);
            EXPECT_EQ(call.result, static_cast<short>(expected.size())) << source << " -> " << destination;
            EXPECT_EQ(Head(call), expected) << source << " -> " << destination;
            EXPECT_EQ(call.elements[std::max(input.size(), expected.size())], kSentinel);
        }
    }
}

// Any random input, any codes: a result within the array or a defined failure.
TEST(CodeTransfer, RandomInputStaysWithinTheArray)
{
    std::mt19937 rng(2024);
    for (int round = 0; round < 300; ++round) {
        std::vector<short> input(rng() % 600);
        for (short& e : input)
            e = static_cast<short>(rng());
        const std::size_t capacity = input.size() + rng() % 64;
        const Call call = Transfer(static_cast<int>(rng() % 8) - 1, static_cast<int>(rng() % 8) - 1, input, capacity);
        ASSERT_GE(call.result, -1);
        ASSERT_LE(static_cast<std::size_t>(call.result > 0 ? call.result : 0), capacity);
    }
}

} // namespace
