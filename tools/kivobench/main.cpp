// kivobench: conversion speed of the engine beside a plain byte copy of the
// same buffer, timed in-process with the performance counter.
//   kivobench SAMPLE-GBK-FILE [LUMBRA-FOLDER]
// With Lumbra's folder it also loads that installation's word adjustment
// (with and without the cache of deciphered libraries, beside the former way
// of deciphering, one key-stream byte at a time) and
// times the transfers with every library applied, on 32 KB and on a
// 20-character sentence, beside the plain sequential replacement (the
// reference) on the same text.
#include "BuiltInLibrary.h"
#include "CharacterMapping.h"
#include "CodeTransfer.h"
#include "KeyStream.h"
#include "LibraryCipher.h"
#include "WALibraryText.h"
#include "WALoader.h"
#include "WAMatcher.h"
#include "WAReference.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kTextBytes = 32767;         // 32 KB: the most one call may take
constexpr std::size_t kUnicodeTextBytes = 16382;  // its UTF-16 result, terminator included, still fits
constexpr double kSecondsPerFigure = 0.3;

double Now()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// MB/s of `work` over `bytes` bytes, run until the figure is steady enough.
double ProcessorSeconds();

// The same figure by the processor time the process used meanwhile, which
// the machine's other work does not lower: set by every Measure.
double g_processorMbs = 0;

// `work` run again and again, at least once, until `seconds` have passed:
// how many runs, in how many seconds.
struct Runs {
    long count;
    double seconds;
};

Runs RunFor(double seconds, const std::function<void()>& work)
{
    Runs runs{0, 0};
    const double start = Now();
    do {
        work();
        ++runs.count;
        runs.seconds = Now() - start;
    } while (runs.seconds < seconds);
    return runs;
}

double Measure(std::size_t bytes, const std::function<void()>& work)
{
    work();  // warm the caches and the lazily built state
    const double processorStart = ProcessorSeconds();
    const Runs runs = RunFor(kSecondsPerFigure, work);
    const double processor = ProcessorSeconds() - processorStart;
    g_processorMbs = processor > 0 ? static_cast<double>(bytes) * runs.count / processor / 1e6 : 0;
    return static_cast<double>(bytes) * runs.count / runs.seconds / 1e6;
}

// The share of the byte copy's speed that `work` reaches, with the two
// timed in turn, a short round each, so that both see the machine as it is
// at that moment: the median of the rounds' shares, and the lowest and the
// highest. A figure measured minutes apart from the copy's moves with
// whatever else the machine does meanwhile.
struct Share {
    double median, lowest, highest;
};

Share ShareOfCopy(const std::function<void()>& work, const std::function<void()>& copy)
{
    constexpr int kRounds = 15;
    constexpr double kRoundSeconds = 0.02;
    auto rate = [&](const std::function<void()>& what) {
        const Runs runs = RunFor(kRoundSeconds, what);
        return static_cast<double>(runs.count) / runs.seconds;
    };
    work();
    copy();
    std::vector<double> shares;
    for (int i = 0; i < kRounds; ++i) {
        const double copies = rate(copy);
        shares.push_back(rate(work) / copies);
    }
    std::sort(shares.begin(), shares.end());
    return {shares[kRounds / 2], shares.front(), shares.back()};
}

// The sample repeated to `size` bytes, cut at a character boundary.
std::string RealisticText(const std::string& sample, std::size_t size)
{
    std::string text;
    while (text.size() < size)
        text += sample;
    std::size_t end = 0;
    while (end < size) {
        const std::size_t step = static_cast<unsigned char>(text[end]) >= 0x81 ? 2 : 1;
        if (end + step > size)
            break;
        end += step;
    }
    text.resize(end);
    return text;
}

std::vector<short> Elements(const std::string& bytes)
{
    std::vector<short> elements;
    for (char c : bytes)
        elements.push_back(static_cast<signed char>(c));
    return elements;
}

// Microseconds a call of `work`, run until the figure is steady enough.
double MicrosecondsPerCall(const std::function<void()>& work)
{
    work();
    // A hundred calls between two readings of the clock.
    const Runs runs = RunFor(kSecondsPerFigure, [&] {
        for (int i = 0; i < 100; ++i)
            work();
    });
    return runs.seconds * 1e6 / (100.0 * static_cast<double>(runs.count));
}

// Seconds of processor time the process has used.
double ProcessorSeconds()
{
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user))
        return 0;
    auto seconds = [](const FILETIME& t) {
        return static_cast<double>(static_cast<unsigned long long>(t.dwHighDateTime) << 32 | t.dwLowDateTime) / 1e7;
    };
    return seconds(kernel) + seconds(user);
}

// One-off work (loading) timed over `runs`: the best wall-clock run, the one
// the machine's other work disturbed least, and the processor time of a run
// on average, which a busy machine does not stretch.
struct OneOff {
    double bestMs;
    double processorMs;
};

OneOff TimeOneOff(int runs, const std::function<void()>& work)
{
    double best = 1e300;
    const double processorStart = ProcessorSeconds();
    for (int i = 0; i < runs; ++i) {
        const double start = Now();
        work();
        best = std::min(best, (Now() - start) * 1000.0);
    }
    return {best, (ProcessorSeconds() - processorStart) * 1000.0 / runs};
}

// The first `chars` double-byte characters in a row of `text`.
std::string Sentence(const std::string& text, std::size_t chars)
{
    std::size_t run = 0;
    for (std::size_t i = 0; i + 1 < text.size();) {
        if (static_cast<unsigned char>(text[i]) < 0x81) {
            run = 0;
            ++i;
            continue;
        }
        if (++run == chars)
            return text.substr(i + 2 - 2 * chars, 2 * chars);
        i += 2;
    }
    return text.substr(0, 2 * chars);
}

// The built-in libraries deciphered as the loader once did it: every
// key-stream byte drawn on its own, through the generator's checked call.
std::size_t DecipherOneByteAtATime(const std::string& strLibrary, const std::string& strName)
{
    FILE* file = std::fopen(strLibrary.c_str(), "rb");
    if (!file)
        return 0;
    std::string bytes;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
        bytes.append(buffer, n);
    std::fclose(file);
    for (bool firstPass : {true, false}) {
        const LibraryCipherParameters parameters = DeriveLibraryCipherParameters(strName, firstPass);
        std::uint8_t keyBlock[256];
        for (int i = 0; i < 256; ++i)
            keyBlock[i] = parameters.key[static_cast<std::size_t>(i) % parameters.key.size()];
        CKeyStream stream;
        stream.SetKey(keyBlock, 256);
        const std::uint8_t initialChain = stream.NextByte();
        stream.Reset();
        stream.NextByte();
        std::uint8_t chain = initialChain;
        const int rounds = parameters.nRounds;
        std::vector<std::uint8_t> a(static_cast<std::size_t>(rounds)), b(static_cast<std::size_t>(rounds));
        if (bytes.size() < 32)
            return 0;
        bytes.erase(0, 32);
        for (char& c : bytes) {
            for (int k = 0; k < rounds; ++k) {
                a[k] = stream.NextByte();
                b[k] = stream.NextByte();
            }
            std::uint8_t d = static_cast<std::uint8_t>(c);
            for (int k = rounds - 1; k >= 1; --k)
                d = static_cast<std::uint8_t>((d - b[k]) ^ a[k]);
            const std::uint8_t x = static_cast<std::uint8_t>(a[0] ^ chain ^ static_cast<std::uint8_t>(d - b[0]));
            chain ^= x;
            c = static_cast<char>(x);
        }
    }
    return bytes.size();
}

void Row(const char* what, double mbs, double copy)
{
    std::printf("  %-44s %9.1f MB/s   %5.1f%% of the copy\n", what, mbs, 100.0 * mbs / copy);
}

volatile unsigned char g_sink;
double g_copyProcessorMbs = 1;  // the byte copy's figure by processor time

} // namespace

// Loading both lists from `pszLumbra`, and transfers with all of them applied.
template <typename OneCall>
void BenchWordAdjustment(const char* pszLumbra, const std::string& gbk, const std::string& big5, OneCall& oneCall)
{
    const std::string strRoot = pszLumbra;
    char szTemp[MAX_PATH + 1] = {};
    GetTempPathA(MAX_PATH, szTemp);
    std::string strTemp = szTemp;
    while (!strTemp.empty() && strTemp.back() == '\\')
        strTemp.pop_back();
    const CWALoadPlaces places{strRoot + "\\ctwa", strRoot + "\\config", {"", strTemp}, ""};
    CWALibraryLists lists(GetACP());
    constexpr int kLoads = 5;
    const OneOff load = TimeOneOff(kLoads, [&] { LoadWordAdjustment(nullptr, false, places, lists); });
    const OneOff g2b = TimeOneOff(kLoads, [&] {
        int progress = 0;
        BuildWALibraryList(nullptr, lists, WADirection::G2B, false, places, progress);
    });
    const OneOff b2g = TimeOneOff(kLoads, [&] {
        int progress = 0;
        BuildWALibraryList(nullptr, lists, WADirection::B2G, false, places, progress);
    });
    static const char* const kBuiltIn[] = {"basebig", "pdafbig", "pdaf2big", "ffbig", "ff2big", "ff3big",
                                           "basegb",  "pdafgb",  "pdaf2gb",  "ffgb",  "ff2gb",  "ff3gb"};
    // The same through the cache of deciphered libraries, which a first load fills.
    CWALoadPlaces cached = places;
    cached.m_strCacheFolder = strTemp + "\\kivobench-cache";
    LoadWordAdjustment(nullptr, false, cached, lists);
    const OneOff loadCached = TimeOneOff(kLoads, [&] { LoadWordAdjustment(nullptr, false, cached, lists); });
    const OneOff g2bCached = TimeOneOff(kLoads, [&] {
        int progress = 0;
        BuildWALibraryList(nullptr, lists, WADirection::G2B, false, cached, progress);
    });
    for (const char* name : kBuiltIn)
        DeleteFileA(LibraryCacheEntryPath(cached.m_strCacheFolder, std::string(name) + ".txt").c_str());
    RemoveDirectoryA(cached.m_strCacheFolder.c_str());
    LoadWordAdjustment(nullptr, false, places, lists);
    std::size_t plainBytes = 0;
    const OneOff former = TimeOneOff(3, [&] {
        for (const char* name : kBuiltIn)
            plainBytes += DecipherOneByteAtATime(places.m_strWAFolder + "\\" + name + ".txt", std::string(name) + ".txt");
    });
    std::size_t nPairs = 0;
    for (WADirection direction : {WADirection::G2B, WADirection::B2G})
        for (const auto& library : lists.List(direction))
            nPairs += library->m_bApply ? library->PairCount() : 0;
    std::printf("\nWord adjustment of %s: %zu pairs applied in both directions\n", pszLumbra, nPairs);
    plainBytes /= 3;
    // Where the loading goes: the new deciphering, the parsing, the tries.
    std::vector<std::string> plain;
    const OneOff decipher = TimeOneOff(kLoads, [&] {
        plain.clear();
        for (const char* name : kBuiltIn)
            plain.push_back(DecipherLibraryFile(places.m_strWAFolder + "\\" + name + ".txt", std::string(name) + ".txt"));
    });
    WALibraryList parsed;
    const OneOff parse = TimeOneOff(kLoads, [&] {
        parsed.clear();
        for (const std::string& text : plain) {
            parsed.push_back(std::make_unique<WALibrary>());
            parsed.back()->m_bApply = true;
            ParseWALibraryText(*parsed.back(), text, false, true);
        }
    });
    const OneOff automata = TimeOneOff(kLoads, [&] {
        const CWAMatcher matcher(parsed, CLeadByteTable(950));
        g_sink = static_cast<unsigned char>(matcher.PairCount());
    });
    std::printf("  (best wall-clock run of %d, and processor time a run)\n", kLoads);
    const struct {
        const char* what;
        OneOff figure;
    } loads[] = {
        {"loading both lists (deciphering included)", load},
        {"loading the G2B list alone", g2b},
        {"loading the B2G list alone", b2g},
        {"loading both lists from the cache", loadCached},
        {"loading the G2B list alone from the cache", g2bCached},
        {"  of which deciphering the built-in libraries", decipher},
        {"  of which parsing them", parse},
        {"  of which the tries over their pairs", automata},
        {"former way: deciphering alone, byte by byte", former},
    };
    for (const auto& row : loads)
        std::printf("  %-44s %9.1f ms   processor %7.1f ms\n", row.what, row.figure.bestMs, row.figure.processorMs);
    std::printf("  (the former way: every key-stream byte drawn on its own, %zu plain bytes, no parsing)\n",
                plainBytes);
    if (nPairs == 0)
        return;

    TransferServices services;
    services.wordAdjustment = &lists;
    const std::size_t bytes = gbk.size();
    const double g2bSpeed = Measure(bytes, [&] { oneCall(services, 0, 1); });
    const double g2bProcessor = g_processorMbs;
    const double b2gSpeed = Measure(bytes, [&] { oneCall(services, 1, 0); });
    const double b2gProcessor = g_processorMbs;

    // The reference: the mapping, then each pair as one full pass.
    auto reference = [&](const std::string& mapped, WADirection direction, unsigned nCodePage) {
        const double t0 = Now();
        std::string text = mapped;
        wa_reference::Apply(lists.List(direction), text, nCodePage, std::size_t(1) << 20);
        return static_cast<double>(bytes) / (1024.0 * 1024.0) / (Now() - t0);
    };
    const double refG2B = reference(MapGbToBig5(gbk), WADirection::G2B, 950);
    const double refB2G = reference(MapBig5ToGb(big5, Big5Target::Simplified), WADirection::B2G, 936);
    std::printf("  %-44s %9.2f MB/s   reference %7.3f MB/s   %6.0fx\n", "CodeTransfer 0->1 with every library",
                g2bSpeed, refG2B, g2bSpeed / refG2B);
    std::printf("  %-44s %9.2f MB/s   reference %7.3f MB/s   %6.0fx\n", "CodeTransfer 1->0 with every library",
                b2gSpeed, refB2G, b2gSpeed / refB2G);
    std::printf("  by processor time: byte copy %.1f MB/s; 0->1 %.1f MB/s (%.1f%% of it), 1->0 %.1f MB/s (%.1f%%)\n",
                g_copyProcessorMbs, g2bProcessor, 100.0 * g2bProcessor / g_copyProcessorMbs, b2gProcessor,
                100.0 * b2gProcessor / g_copyProcessorMbs);
    std::vector<unsigned char> copyOut(bytes);
    const auto* copyIn = reinterpret_cast<const unsigned char*>(gbk.data());
    auto copy = [&] {
        for (std::size_t i = 0; i < bytes; ++i)
            copyOut[i] = copyIn[i];
        g_sink = copyOut[bytes / 2];
    };
    const Share g2bShare = ShareOfCopy([&] { oneCall(services, 0, 1); }, copy);
    const Share b2gShare = ShareOfCopy([&] { oneCall(services, 1, 0); }, copy);
    std::printf("  beside the byte copy, timed in turn (15 rounds): 0->1 %.1f%% of it (rounds %.1f to %.1f%%), "
                "1->0 %.1f%% (%.1f to %.1f%%)\n",
                100 * g2bShare.median, 100 * g2bShare.lowest, 100 * g2bShare.highest, 100 * b2gShare.median,
                100 * b2gShare.lowest, 100 * b2gShare.highest);

    // A sentence, as scripts and web pages send them: the cost of one call.
    const std::string sentence = Sentence(gbk, 20);
    const std::string sentenceBig5 = MapGbToBig5(sentence);
    const std::vector<short> sentenceElements = Elements(sentence), sentenceBig5Elements = Elements(sentenceBig5);
    std::vector<short> callElements(4096);
    auto sentenceCall = [&](const TransferServices& with, const std::vector<short>& source, short from, short to) {
        std::copy(source.begin(), source.end(), callElements.begin());
        const short codes[3] = {from, to, static_cast<short>(source.size())};
        g_sink = static_cast<unsigned char>(CodeTransfer(callElements.data(), callElements.size(), codes, with));
    };
    const TransferServices mappingOnly;
    std::vector<unsigned char> copied(sentence.size());
    const double copyUs = MicrosecondsPerCall([&] {
        for (std::size_t i = 0; i < sentence.size(); ++i)
            copied[i] = static_cast<unsigned char>(sentence[i]);
        g_sink = copied[sentence.size() / 2];
    });
    auto referenceUs = [&](const std::string& mapped, WADirection direction, unsigned nCodePage) {
        return MicrosecondsPerCall([&] {
            std::string text = mapped;
            wa_reference::Apply(lists.List(direction), text, nCodePage, std::size_t(1) << 20);
            g_sink = static_cast<unsigned char>(text.size());
        });
    };
    std::printf("  a sentence of %zu characters, one call each:\n", sentence.size() / 2);
    std::printf("  %-44s %9.2f us\n", "byte copy of the sentence", copyUs);
    const struct {
        const char* what;
        const std::vector<short>& source;
        short from, to;
        std::string mapped;
        WADirection direction;
        unsigned codePage;
    } calls[] = {
        {"CodeTransfer 0->1", sentenceElements, 0, 1, MapGbToBig5(sentence), WADirection::G2B, 950},
        {"CodeTransfer 1->0", sentenceBig5Elements, 1, 0, MapBig5ToGb(sentenceBig5, Big5Target::Simplified),
         WADirection::B2G, 936},
    };
    for (const auto& call : calls) {
        const double mapUs = MicrosecondsPerCall([&] { sentenceCall(mappingOnly, call.source, call.from, call.to); });
        const double allUs = MicrosecondsPerCall([&] { sentenceCall(services, call.source, call.from, call.to); });
        const double refUs = referenceUs(call.mapped, call.direction, call.codePage);
        std::printf("  %-26s mapping alone %7.2f us   every library %7.2f us   reference %9.1f us\n", call.what,
                    mapUs, allUs, refUs);
    }
}

int main(int argc, char** argv)
{
    if (argc != 2 && argc != 3) {
        std::fputs("usage: kivobench SAMPLE-GBK-FILE [LUMBRA-FOLDER]\n", stderr);
        return 2;
    }
    FILE* file = std::fopen(argv[1], "rb");
    if (!file) {
        std::fprintf(stderr, "kivobench: cannot read %s\n", argv[1]);
        return 1;
    }
    std::string sample;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
        sample.append(buffer, n);
    std::fclose(file);
    if (sample.empty()) {
        std::fprintf(stderr, "kivobench: %s is empty\n", argv[1]);
        return 1;
    }

    const std::string gbk = RealisticText(sample, kTextBytes);
    const std::string big5 = MapGbToBig5(gbk);
    const TransferServices services;
    const std::size_t bytes = gbk.size();

    std::vector<unsigned char> out(bytes);
    const auto* in = reinterpret_cast<const unsigned char*>(gbk.data());
    const auto* inBig5 = reinterpret_cast<const unsigned char*>(big5.data());

    // The reference: the same buffer copied byte by byte.
    const double copy = Measure(bytes, [&] {
        for (std::size_t i = 0; i < bytes; ++i)
            out[i] = in[i];
        g_sink = out[bytes / 2];
    });
    g_copyProcessorMbs = g_processorMbs;

    std::printf("KIVO conversion speed, %zu bytes of realistic text (%s repeated)\n", bytes, argv[1]);
    std::printf("  %-44s %9.1f MB/s\n", "byte copy of the same buffer (reference)", copy);
    Row("MapGbToBig5", Measure(bytes, [&] { MapGbToBig5(in, bytes, out.data()); g_sink = out[0]; }), copy);
    Row("MapBig5ToGb (simplified)",
        Measure(bytes, [&] { MapBig5ToGb(inBig5, bytes, Big5Target::Simplified, out.data()); g_sink = out[0]; }),
        copy);

    // One call each, as a host makes it: pack, convert, read back.
    std::vector<short> elements(65536);
    const std::vector<short> gbkElements = Elements(gbk), big5Elements = Elements(big5);
    auto oneCallWith = [&](const TransferServices& with, const std::vector<short>& source, short from, short to) {
        std::copy(source.begin(), source.end(), elements.begin());
        const short codes[3] = {from, to, static_cast<short>(source.size())};
        g_sink = static_cast<unsigned char>(CodeTransfer(elements.data(), elements.size(), codes, with));
    };
    auto oneCall = [&](const std::vector<short>& source, short from, short to) {
        oneCallWith(services, source, from, to);
    };
    auto transferWith = [&](const TransferServices& with, short from, short to) {
        oneCallWith(with, from == 0 ? gbkElements : big5Elements, from, to);
    };
    Row("CodeTransfer 0->1 (GBK to Big5)", Measure(bytes, [&] { oneCall(gbkElements, 0, 1); }), copy);
    Row("CodeTransfer 1->0 (Big5 to GBK)", Measure(bytes, [&] { oneCall(big5Elements, 1, 0); }), copy);

    // One call holds at most 32,767 elements, so a Unicode side takes 16 KB of
    // the text at a time: the Unicode paths and the platform's own conversion
    // are timed on the same 16 KB, one call each.
    const std::string gbkHalf = RealisticText(sample, kUnicodeTextBytes);
    const std::string big5Half = MapGbToBig5(gbkHalf);
    std::u16string units;
    services.codePages->MultiByteToUnicode(big5Half, 950, units);
    units.pop_back();
    std::vector<short> unicodeElements;
    for (char16_t u : units) {
        unicodeElements.push_back(static_cast<short>(u & 0xFF));
        unicodeElements.push_back(static_cast<short>(u >> 8));
    }
    const std::size_t half = gbkHalf.size();
    const std::vector<short> gbkHalfElements = Elements(gbkHalf);
    const double toUnicode = Measure(half, [&] { oneCall(gbkHalfElements, 0, 3); });
    const double fromUnicode = Measure(half, [&] { oneCall(unicodeElements, 4, 1); });
    std::u16string converted;
    std::string multi;
    const double mbToWide = Measure(half, [&] { services.codePages->MultiByteToUnicode(gbkHalf, 936, converted); });
    const double wideToMb =
        Measure(half, [&] { services.codePages->UnicodeToMultiByte(units.data(), units.size(), 950, multi); });
    std::printf("  %zu bytes of the same text, one call each:\n", half);
    Row("CodeTransfer 0->3 (GBK to Unicode)", toUnicode, copy);
    Row("CodeTransfer 4->1 (Unicode to Big5)", fromUnicode, copy);
    Row("platform code page 936 to UTF-16", mbToWide, copy);
    Row("platform UTF-16 to code page 950", wideToMb, copy);

    // The Unicode paths with the platform's share taken out: 1/t = 1/total - 1/platform.
    // Timing noise can make the platform's share look larger than the whole;
    // no figure is printed then.
    auto without = [&](const char* what, double total, double platform) {
        const double rest = 1.0 / total - 1.0 / platform;
        if (rest <= 0)
            std::printf("  %-44s       (within the noise of the platform's share)\n", what);
        else
            Row(what, 1.0 / rest, copy);
    };
    without("0->3 less the platform conversion", toUnicode, mbToWide);
    without("4->1 less the platform conversion", fromUnicode, wideToMb);
    if (argc == 3)
        BenchWordAdjustment(argv[2], gbk, big5, transferWith);
    return 0;
}
