// kivobench: conversion speed of the engine beside a plain byte copy of the
// same buffer, timed in-process with the performance counter.
//   kivobench SAMPLE-GBK-FILE
#include "CharacterMapping.h"
#include "CodeTransfer.h"

#include <windows.h>

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
double Measure(std::size_t bytes, const std::function<void()>& work)
{
    work();  // warm the caches and the lazily built state
    long iterations = 0;
    const double start = Now();
    double elapsed = 0;
    do {
        work();
        ++iterations;
        elapsed = Now() - start;
    } while (elapsed < kSecondsPerFigure);
    return static_cast<double>(bytes) * iterations / elapsed / 1e6;
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

void Row(const char* what, double mbs, double copy)
{
    std::printf("  %-44s %9.1f MB/s   %5.1f%% of the copy\n", what, mbs, 100.0 * mbs / copy);
}

volatile unsigned char g_sink;

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: kivobench SAMPLE-GBK-FILE\n", stderr);
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

    std::printf("KIVO conversion speed, %zu bytes of realistic text (%s repeated)\n", bytes, argv[1]);
    std::printf("  %-44s %9.1f MB/s\n", "byte copy of the same buffer (reference)", copy);
    Row("MapGbToBig5", Measure(bytes, [&] { MapGbToBig5(in, bytes, out.data()); g_sink = out[0]; }), copy);
    Row("MapBig5ToGb (simplified)",
        Measure(bytes, [&] { MapBig5ToGb(inBig5, bytes, Big5Target::Simplified, out.data()); g_sink = out[0]; }),
        copy);

    // One call each, as a host makes it: pack, convert, read back.
    std::vector<short> elements(65536);
    const std::vector<short> gbkElements = Elements(gbk), big5Elements = Elements(big5);
    auto oneCall = [&](const std::vector<short>& source, short from, short to) {
        std::copy(source.begin(), source.end(), elements.begin());
        const short codes[3] = {from, to, static_cast<short>(source.size())};
        g_sink = static_cast<unsigned char>(CodeTransfer(elements.data(), elements.size(), codes, services));
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
    auto without = [](double total, double platform) { return 1.0 / (1.0 / total - 1.0 / platform); };
    Row("0->3 less the platform conversion", without(toUnicode, mbToWide), copy);
    Row("4->1 less the platform conversion", without(fromUnicode, wideToMb), copy);
    return 0;
}
