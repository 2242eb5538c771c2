// Fuzz target of the transfer entry point: CodeTransfer on an array that the
// input sizes and fills, the long-text path that cuts a text into
// CodeTransfer calls, and ConvertText on a whole UTF-16 text, with the
// word-adjustment libraries of the stand-in Lumbra installation loaded in
// both directions. It checks what every host relies on, whatever it passes:
//   - nothing outside the caller's array is read or written (guard zones
//     around it, poisoned under AddressSanitizer, checked afterwards);
//   - the answer is -1, 0 or a count within the array and within 32,767;
//   - a code out of range or a count outside the array answers -1, equal
//     codes answer the count, and neither writes anything; nothing is written
//     past the count answered (so a 0 writes nothing);
//   - a byte result holds sign-extended bytes and no zero byte, a Unicode
//     result byte pairs ending in its one zero unit;
//   - the long-text path gives a text the same result whether or not it was
//     cut at a line feed first, and every call it makes keeps the promises
//     above;
//   - ConvertText refuses bad codes and zero characters and changes nothing
//     then, and a Unicode text converted into its own code comes back as it was.
// A broken promise aborts with the failed condition, so the fuzzer keeps the input.
//
// The ordinary test run replays the seed corpus through ExerciseCodeTransfer
// (control/tests/CodeTransferCorpusTest.cpp).
#include "CodeTransfer.h"
#include "LibraryCipher.h"
#include "LongTextTransfer.h"
#include "TextConversion.h"
#include "WALibraryLists.h"
#include "WALibraryText.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "../../foundation/fuzz/FuzzCorpus.h"
#include "../../foundation/fuzz/FuzzRequire.h"

#if defined(__SANITIZE_ADDRESS__)
#define KIVO_FUZZ_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KIVO_FUZZ_ASAN 1
#endif
#endif
#ifdef KIVO_FUZZ_ASAN
#include <sanitizer/asan_interface.h>
#endif

namespace {

struct CStandInDirection {
    WADirection direction;
    const char* builtIn[6];  // in the order they apply
    const char* userFolders[2];
};

const CStandInDirection kStandInDirections[] = {
    {WADirection::G2B,
     {"basebig.txt", "pdafbig.txt", "pdaf2big.txt", "ffbig.txt", "ff2big.txt", "ff3big.txt"},
     {"custbig", "cfbig"}},
    {WADirection::B2G,
     {"basegb.txt", "pdafgb.txt", "pdaf2gb.txt", "ffgb.txt", "ff2gb.txt", "ff3gb.txt"},
     {"custgb", "cfgb"}},
};

// Both layers of a built-in library taken off in memory: the loader does the
// same through two temporary files, which a fuzzer does not want.
std::string Decipher(std::string text, const std::string& strName)
{
    for (bool bFirstPass : {true, false}) {
        CStreamCipher& cipher = CreateLibraryCipher(strName, bFirstPass);
        std::uint8_t signature[CFileCipher::kSignatureSize];
        cipher.GetSignature(signature);
        KIVO_FUZZ_REQUIRE(text.size() >= sizeof signature && std::memcmp(text.data(), signature, sizeof signature) == 0);
        text.erase(0, sizeof signature);
        cipher.ResetChain();
        if (text.empty())
            continue;
        auto* pBytes = reinterpret_cast<std::uint8_t*>(&text[0]);
        cipher.DecryptBlock(pBytes, pBytes, static_cast<int>(text.size()));
    }
    return text;
}

void AppendLibrary(CWALibraryLists& lists, WADirection direction, const std::string& strContent, bool bUser)
{
    auto library = std::make_unique<WALibrary>();
    ParseWALibraryText(*library, strContent, bUser, true);
    library->m_bG2B = direction == WADirection::G2B;
    library->m_bApply = true;
    lists.Append(direction, std::move(library));
}

// Every library of the installation, applied: the six built-in ones of each
// direction, then the user libraries of the direction's two folders.
std::unique_ptr<CWALibraryLists> LoadStandInLibraries()
{
    const std::filesystem::path ctwa = std::filesystem::path(KIVO_LUMBRA_DATA) / "ctwa";
    auto lists = std::make_unique<CWALibraryLists>(kCodePageGbk);
    for (const CStandInDirection& names : kStandInDirections) {
        for (const char* pszName : names.builtIn)
            AppendLibrary(*lists, names.direction, Decipher(ReadFuzzFileBytes(ctwa / pszName), pszName), false);
        for (const char* pszFolder : names.userFolders) {
            for (const CFuzzCorpusFile& file : ReadFuzzCorpus(ctwa / pszFolder))
                AppendLibrary(*lists, names.direction, file.m_strBytes, true);
        }
        // A wrong folder must not pass as an installation without pairs.
        std::size_t nPairs = 0;
        for (const auto& library : lists->List(names.direction))
            nPairs += library->PairCount();
        KIVO_FUZZ_REQUIRE(nPairs >= 100);
    }
    return lists;
}

CWALibraryLists& StandInLibraries()
{
    static const std::unique_ptr<CWALibraryLists> lists = LoadStandInLibraries();
    return *lists;
}

// What the input's first bytes choose (a missing byte reads as zero):
//   0    source code: below 0xF0 the byte % 6, else a code out of range
//   1    destination code, the same way
//   2    the count in ControlCodes[2] (CountOf)
//   3    the size of the caller's array (CapacityOf)
//   4    how bytes become elements (low two bits), the process code page
//        word adjustment reads the text in (next two bits), and which of
//        the long-text path and ConvertText takes a text longer than one
//        piece (next bit; a shorter text goes through both)
//   5    the text's length: the bytes after the header once to four times,
//        or, from 0xF0 on, repeated to a length past what one call takes
//   6-7  a 16-bit number the choices draw on
//   8..  the text's bytes (UTF-16LE for a Unicode source)
constexpr std::size_t kHeaderBytes = 8;
const short kCodesOutOfRange[] = {-1, 6, 7, -32768, 32767, 255, -6, 100};
// A long-text piece, the 16-bit count, what a transfer reads at most, and past it.
const std::size_t kLongLengths[] = {16000, 16001, 32767, 32768, 32769, 65535, 65536, 70000};
const unsigned kCodePages[] = {936, 950, 1252, 936};

class CFuzzInput {
public:
    CFuzzInput(const std::uint8_t* pData, std::size_t nSize) : m_pData(pData), m_nSize(nSize) {}

    std::uint8_t Byte(std::size_t i) const { return i < m_nSize ? m_pData[i] : 0; }
    unsigned Number() const { return Byte(6) | Byte(7) << 8; }

    short Source() const { return CodeOf(Byte(0)); }
    short Destination() const { return CodeOf(Byte(1)); }
    unsigned CodePage() const { return kCodePages[(Byte(4) >> 2) % 4]; }
    bool LongTextThroughConvertText() const { return (Byte(4) & 0x10) != 0; }

    // The bytes after the header, repeated or not, as byte 5 asks.
    std::string Text() const
    {
        const std::string body = m_nSize > kHeaderBytes
                                     ? std::string(reinterpret_cast<const char*>(m_pData) + kHeaderBytes,
                                                   m_nSize - kHeaderBytes)
                                     : std::string();
        if (body.empty())
            return body;
        const std::uint8_t choice = Byte(5);
        const std::size_t nLength = choice < 0xF0 ? body.size() * (1 + choice % 4)
                                                  : kLongLengths[choice % (sizeof kLongLengths / sizeof kLongLengths[0])];
        std::string text;
        text.reserve(nLength);
        while (text.size() < nLength)
            text.append(body, 0, std::min(body.size(), nLength - text.size()));
        return text;
    }

    // The text as a host fills the array: a byte an element, sign-extended
    // as most do or zero-extended, or two bytes an element, which only a
    // careless host sends.
    std::vector<short> Elements(const std::string& text) const
    {
        std::vector<short> elements;
        const int nForm = Byte(4) % 4;
        if (nForm == 2) {
            for (std::size_t i = 0; i + 1 < text.size(); i += 2)
                elements.push_back(static_cast<short>(static_cast<unsigned char>(text[i]) << 8 |
                                                      static_cast<unsigned char>(text[i + 1])));
            return elements;
        }
        for (char c : text)
            elements.push_back(nForm == 1 ? static_cast<short>(static_cast<unsigned char>(c))
                                          : static_cast<short>(static_cast<signed char>(c)));
        return elements;
    }

    std::size_t CapacityOf(std::size_t nElements) const
    {
        switch (Byte(3) % 8) {
        case 0: return nElements;
        case 1: return nElements + Number() % 256;
        case 2: return kMaxTransferElements;
        case 3: return Number();
        case 4: return nElements / 2;
        case 5: return 0;
        case 6: return 2 * nElements + 2;  // room for any Unicode result
        default: return 70000;
        }
    }

    // Negative, zero, odd, past the array and past 32,767 (which wraps).
    short CountOf(std::size_t nElements, std::size_t nCapacity) const
    {
        switch (Byte(2) % 6) {
        case 0: return static_cast<short>(nElements);
        case 1: return static_cast<short>(Number());
        case 2: return static_cast<short>(nElements - 1);
        case 3: return static_cast<short>(nCapacity + 1);
        case 4: return 0;
        default: return static_cast<short>(Number() % (nElements + 1));
        }
    }

private:
    static short CodeOf(std::uint8_t byte)
    {
        return byte < 0xF0 ? byte % 6 : kCodesOutOfRange[byte % (sizeof kCodesOutOfRange / sizeof kCodesOutOfRange[0])];
    }

    const std::uint8_t* m_pData;
    std::size_t m_nSize;
};

// The caller's array between two guard zones of whole shadow granules.
class CGuardedArray {
public:
    static constexpr std::size_t kGuardElements = 32;
    static constexpr short kGuardValue = 0x5A5A;
    static constexpr short kFillValue = 0x7777;  // the elements past the text

    CGuardedArray(const std::vector<short>& content, std::size_t nCapacity)
        : m_nCapacity(nCapacity), m_all(nCapacity + 2 * kGuardElements, kGuardValue)
    {
        std::fill_n(Data(), nCapacity, kFillValue);
        std::copy_n(content.begin(), std::min(content.size(), nCapacity), Data());
    }

    short* Data() { return m_all.data() + kGuardElements; }
    std::vector<short> Elements() const
    {
        return std::vector<short>(m_all.begin() + kGuardElements, m_all.begin() + kGuardElements + m_nCapacity);
    }

    short Transfer(const short controlCodes[3], const TransferServices& services)
    {
        short nResult;
        {
            const CPoisonedGuards poisoned(*this);
            nResult = CodeTransfer(Data(), m_nCapacity, controlCodes, services);
        }
        const auto intact = [](short element) { return element == kGuardValue; };
        KIVO_FUZZ_REQUIRE(std::all_of(m_all.begin(), m_all.begin() + kGuardElements, intact));
        KIVO_FUZZ_REQUIRE(std::all_of(m_all.end() - kGuardElements, m_all.end(), intact));
        return nResult;
    }

private:
    // Under AddressSanitizer any touch of a guard zone stops the run at once.
    class CPoisonedGuards {
    public:
        explicit CPoisonedGuards(CGuardedArray& array) : m_array(array) { Poison(true); }
        ~CPoisonedGuards() { Poison(false); }
        CPoisonedGuards(const CPoisonedGuards&) = delete;
        CPoisonedGuards& operator=(const CPoisonedGuards&) = delete;

    private:
        void Poison(bool bPoison)
        {
#ifdef KIVO_FUZZ_ASAN
            const std::size_t nBytes = kGuardElements * sizeof(short);
            short* pFront = m_array.m_all.data();
            short* pBack = pFront + kGuardElements + m_array.m_nCapacity;
            if (bPoison) {
                ASAN_POISON_MEMORY_REGION(pFront, nBytes);
                ASAN_POISON_MEMORY_REGION(pBack, nBytes);
            } else {
                ASAN_UNPOISON_MEMORY_REGION(pFront, nBytes);
                ASAN_UNPOISON_MEMORY_REGION(pBack, nBytes);
            }
#else
            (void)bPoison;
#endif
        }
        CGuardedArray& m_array;
    };

    std::size_t m_nCapacity;
    std::vector<short> m_all;
};

// Elements before the first whose low byte is zero, within `nCount`: what a
// byte source reads.
std::size_t ByteTextLength(const std::vector<short>& elements, std::size_t nCount)
{
    std::size_t n = 0;
    while (n < nCount && (elements[n] & 0xFF) != 0)
        ++n;
    return n;
}

void CheckByteResult(const std::vector<short>& after, std::size_t nResult)
{
    for (std::size_t i = 0; i < nResult; ++i)
        KIVO_FUZZ_REQUIRE(after[i] >= -128 && after[i] <= 127 && after[i] != 0);
}

void CheckUnicodeResult(const std::vector<short>& after, std::size_t nResult)
{
    KIVO_FUZZ_REQUIRE(nResult >= 2 && nResult % 2 == 0);
    for (std::size_t i = 0; i < nResult; ++i)
        KIVO_FUZZ_REQUIRE(after[i] >= 0 && after[i] <= 255);
    for (std::size_t i = 0; i < nResult; i += 2) {
        const bool bZero = after[i] == 0 && after[i + 1] == 0;
        KIVO_FUZZ_REQUIRE(bZero == (i + 2 == nResult));
    }
}

// The promises of one call that read `before` and left `after`.
void CheckTransfer(const std::vector<short>& before, const std::vector<short>& after, std::size_t nCapacity,
                   const short controlCodes[3], short nResult)
{
    const int source = controlCodes[0], destination = controlCodes[1], count = controlCodes[2];
    if (!IsValidTransferCode(source) || !IsValidTransferCode(destination) || count < 0 ||
        static_cast<std::size_t>(count) > nCapacity) {
        KIVO_FUZZ_REQUIRE(nResult == kTransferInvalidArguments && after == before);
        return;
    }
    if (source == destination) {
        KIVO_FUZZ_REQUIRE(nResult == count && after == before);
        return;
    }
    KIVO_FUZZ_REQUIRE(nResult >= 0);
    const std::size_t nWritten = static_cast<std::size_t>(nResult);
    KIVO_FUZZ_REQUIRE(nWritten <= nCapacity && nWritten <= kMaxTransferElements);
    KIVO_FUZZ_REQUIRE(std::equal(after.begin() + nResult, after.end(), before.begin() + nResult));
    if (nWritten == 0)
        return;
    if (IsUnicodeCode(destination)) {
        CheckUnicodeResult(after, nWritten);
        return;
    }
    CheckByteResult(after, nWritten);
    // Big5 and GBK Traditional map into each other character for character.
    if (!IsUnicodeCode(source) && !IsSimplifiedFamily(source) && !IsSimplifiedFamily(destination))
        KIVO_FUZZ_REQUIRE(nWritten == ByteTextLength(before, static_cast<std::size_t>(count)));
}

short CheckedTransfer(const std::vector<short>& content, std::size_t nCapacity, const short controlCodes[3],
                      const TransferServices& services, std::vector<short>& after)
{
    CGuardedArray array(content, nCapacity);
    const std::vector<short> before = array.Elements();
    const short nResult = array.Transfer(controlCodes, services);
    after = array.Elements();
    CheckTransfer(before, after, nCapacity, controlCodes, nResult);
    return nResult;
}

// The calls of the long-text path, each made on a guarded copy of the array
// it hands over and checked as a host's call is.
CodeTransferCall CheckedCalls(int source, int destination, const TransferServices& services)
{
    return [source, destination, &services](short* pCharCode, const short controlCodes[3]) -> short {
        // A piece of the text, never empty, in the codes asked for (or, when
        // a byte result came back empty, the same piece into Unicode of the
        // destination's script).
        KIVO_FUZZ_REQUIRE(controlCodes[0] == source);
        KIVO_FUZZ_REQUIRE(controlCodes[1] == destination || IsUnicodeCode(controlCodes[1]));
        KIVO_FUZZ_REQUIRE(controlCodes[2] > 0 && static_cast<std::size_t>(controlCodes[2]) <= kMaxPieceBytes);
        const std::vector<short> content(pCharCode, pCharCode + kMaxTransferElements);
        std::vector<short> after;
        const short nResult = CheckedTransfer(content, kMaxTransferElements, controlCodes, services, after);
        std::copy(after.begin(), after.end(), pCharCode);
        return nResult;
    };
}

bool HoldsZeroUnit(const std::string& bytes)
{
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        if (bytes[i] == 0 && bytes[i + 1] == 0)
            return true;
    return false;
}

// Where the first line feed at or past the middle ends, or 0.
std::size_t CutAfterLineFeed(const std::string& bytes, bool bUnicode)
{
    const std::size_t nStep = bUnicode ? 2 : 1;
    for (std::size_t i = bytes.size() / 2 / nStep * nStep; i + nStep <= bytes.size(); i += nStep)
        if (bytes[i] == '\n' && (!bUnicode || bytes[i + 1] == 0))
            return i + nStep;
    return 0;
}

void CheckLongText(const std::string& bytes, int source, int destination, const TransferServices& services)
{
    const std::string kUnchanged = "unchanged";
    const CodeTransferCall call = CheckedCalls(source, destination, services);
    std::string whole = kUnchanged;
    const LongTransferResult result = TransferLongText(bytes, source, destination, call, whole);
    if (!IsValidTransferCode(source) || !IsValidTransferCode(destination)) {
        KIVO_FUZZ_REQUIRE(result == LongTransferResult::InvalidCodes && whole == kUnchanged);
        return;
    }
    const bool bUnicode = IsUnicodeCode(source);
    if (bUnicode ? HoldsZeroUnit(bytes) : bytes.find('\0') != std::string::npos) {
        KIVO_FUZZ_REQUIRE(result == LongTransferResult::HoldsZero && whole == kUnchanged);
        return;
    }
    KIVO_FUZZ_REQUIRE(result == LongTransferResult::Done);
    if (IsUnicodeCode(destination))
        KIVO_FUZZ_REQUIRE(whole.size() % 2 == 0 && !HoldsZeroUnit(whole));
    else
        KIVO_FUZZ_REQUIRE(whole.find('\0') == std::string::npos);

    // A text of one piece, cut after a line feed: no character, no word
    // and no code-page sequence reaches across a line feed.
    const std::size_t nCut = bytes.size() <= kMaxPieceBytes ? CutAfterLineFeed(bytes, bUnicode) : 0;
    if (nCut == 0 || nCut == bytes.size())
        return;
    std::string first, second;
    KIVO_FUZZ_REQUIRE(TransferLongText(bytes.substr(0, nCut), source, destination, call, first) ==
                      LongTransferResult::Done);
    KIVO_FUZZ_REQUIRE(TransferLongText(bytes.substr(nCut), source, destination, call, second) ==
                      LongTransferResult::Done);
    KIVO_FUZZ_REQUIRE(first + second == whole);
}

std::u16string Utf16Text(const std::string& bytes)
{
    std::u16string text;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        text.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                             static_cast<unsigned char>(bytes[i + 1]) << 8));
    return text;
}

void CheckConvertText(const std::u16string& text, int source, int destination, const TransferServices& services)
{
    const std::u16string kUnchanged = u"unchanged";
    std::u16string out = kUnchanged;
    const TextConversionResult result = ConvertText(text, source, destination, services, out);
    if (!IsValidTransferCode(source) || !IsValidTransferCode(destination)) {
        KIVO_FUZZ_REQUIRE(result == TextConversionResult::InvalidCodes && out == kUnchanged);
        return;
    }
    if (text.find(u'\0') != std::u16string::npos) {
        KIVO_FUZZ_REQUIRE(result == TextConversionResult::HoldsZero && out == kUnchanged);
        return;
    }
    KIVO_FUZZ_REQUIRE(result == TextConversionResult::Done);
    KIVO_FUZZ_REQUIRE(out.find(u'\0') == std::u16string::npos);
    KIVO_FUZZ_REQUIRE(!text.empty() || out.empty());
    if (IsUnicodeCode(source) && source == destination)
        KIVO_FUZZ_REQUIRE(out == text);
}

}  // namespace

// Runs one input through the three entry points; aborts on a broken promise.
// Returns CodeTransfer's answer.
short ExerciseCodeTransfer(const std::uint8_t* pData, std::size_t nSize)
{
    const CFuzzInput input(pData, nSize);
    CWALibraryLists& libraries = StandInLibraries();
    libraries.SetCodePage(input.CodePage());
    TransferServices services;
    services.wordAdjustment = &libraries;

    const std::string text = input.Text();
    const std::vector<short> elements = input.Elements(text);
    const std::size_t nCapacity = input.CapacityOf(elements.size());
    const short controlCodes[3] = {input.Source(), input.Destination(), input.CountOf(elements.size(), nCapacity)};
    std::vector<short> after;
    const short nResult = CheckedTransfer(elements, nCapacity, controlCodes, services, after);

    // A text of many pieces takes one of the two ways, to keep each run short.
    const bool bOnePiece = text.size() <= kMaxPieceBytes;
    if (bOnePiece || !input.LongTextThroughConvertText())
        CheckLongText(text, input.Source(), input.Destination(), services);
    if (bOnePiece || input.LongTextThroughConvertText())
        CheckConvertText(Utf16Text(text), input.Source(), input.Destination(), services);
    return nResult;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize)
{
    ExerciseCodeTransfer(pData, nSize);
    return 0;
}
