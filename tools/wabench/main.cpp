// wabench: speed of word adjustment on a realistic library set, the engine
// next to the plain pass of every pair at every character (the reference the
// tests hold the engine against), on the same text in the same run.
//   wabench [PAIRS [TEXT-BYTES]]
#include "WALibraryLists.h"
#include "WALibraryText.h"
#include "WAReference.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr unsigned kCodePage = 950;
constexpr std::size_t kDefaultPairs = 20000;
constexpr std::size_t kDefaultTextBytes = 32768;
constexpr std::size_t kCommonCharacters = 4000;
constexpr int kPhrasePercent = 10;  // pairs whose source is taken from the text
constexpr double kSecondsPerFigure = 0.5;

// The share of each library in the set, in the order they are applied.
struct LibraryShare {
    const char* name;
    int percent;
};
constexpr LibraryShare kLibraries[] = {
    {"Base", 60}, {"PDAF", 15}, {"PDAF2", 10}, {"FinalFix", 8}, {"FinalFix2", 5}, {"FinalFix3", 2},
};

double Seconds()
{
    using Clock = std::chrono::steady_clock;
    return std::chrono::duration<double>(Clock::now().time_since_epoch()).count();
}

// MB/s of `work` over `bytes` bytes: at least one run, then until the figure is steady enough.
double Measure(std::size_t bytes, const std::function<void()>& work)
{
    long runs = 0;
    const double start = Seconds();
    double elapsed = 0;
    do {
        work();
        ++runs;
        elapsed = Seconds() - start;
    } while (elapsed < kSecondsPerFigure);
    return static_cast<double>(bytes) * runs / elapsed / 1e6;
}

// Big5 characters of the common range, drawn with the skewed frequencies of
// real text: a few hundred characters make up most of it.
class CCharacterSource {
public:
    explicit CCharacterSource(std::mt19937& rng) : m_rng(rng)
    {
        for (int lead = 0xA4; lead <= 0xC6 && m_arrCodes.size() < kCommonCharacters; ++lead) {
            for (int trail = 0x40; trail <= 0xFE && m_arrCodes.size() < kCommonCharacters; ++trail) {
                if (trail > 0x7E && trail < 0xA1)
                    continue;
                m_arrCodes.push_back({static_cast<char>(lead), static_cast<char>(trail)});
            }
        }
        std::shuffle(m_arrCodes.begin(), m_arrCodes.end(), m_rng);
        std::vector<double> weights;
        for (std::size_t rank = 0; rank < m_arrCodes.size(); ++rank)
            weights.push_back(1.0 / static_cast<double>(rank + 10));
        m_rank = std::discrete_distribution<std::size_t>(weights.begin(), weights.end());
    }

    const std::string& Next() { return m_arrCodes[m_rank(m_rng)]; }

    std::string Word(int characters)
    {
        std::string word;
        for (int i = 0; i < characters; ++i)
            word += Next();
        return word;
    }

private:
    std::mt19937& m_rng;
    std::vector<std::string> m_arrCodes;
    std::discrete_distribution<std::size_t> m_rank;
};

// Big5 prose: characters, the full-width comma and stop, a line feed every
// few dozen characters, now and then a word in ASCII.
std::string RealisticText(CCharacterSource& characters, std::mt19937& rng, std::size_t size)
{
    std::string text;
    std::uniform_int_distribution<int> percent(0, 99);
    while (text.size() + 2 <= size) {
        const int p = percent(rng);
        if (p < 2)
            text += "\n";
        else if (p < 6)
            text += p < 4 ? "\xA1\x41" : "\xA1\x43";
        else if (p < 7)
            text += " KIVO ";
        else
            text += characters.Next();
    }
    return text;
}

// A source from the text: two to four characters from a character start.
std::string PhraseOf(const std::string& text, std::mt19937& rng)
{
    std::size_t at = rng() % (text.size() - 8);
    std::size_t start = 0;
    for (std::size_t i = 0; i < at;)
        i += static_cast<unsigned char>(text[start = i]) >= 0x81 ? 2 : 1;
    std::string phrase;
    const int characters = 2 + static_cast<int>(rng() % 3);
    for (std::size_t i = start; i < text.size() && phrase.size() < static_cast<std::size_t>(2 * characters);) {
        const std::size_t step = static_cast<unsigned char>(text[i]) >= 0x81 ? 2 : 1;
        phrase.append(text, i, step);
        i += step;
    }
    return phrase;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::size_t nPairs = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : kDefaultPairs;
    const std::size_t nTextBytes = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : kDefaultTextBytes;
    if (nPairs == 0 || nTextBytes < 64) {
        std::fputs("usage: wabench [PAIRS [TEXT-BYTES (64 or more)]]\n", stderr);
        return 2;
    }
    std::mt19937 rng(2024);
    CCharacterSource characters(rng);
    const std::string text = RealisticText(characters, rng, nTextBytes);

    // The libraries as files, read by the engine's own reader: sorted as the
    // engine keeps them.
    CWALibraryLists lists(kCodePage);
    std::size_t nFileBytes = 0;
    double parseSeconds = 0;
    for (const LibraryShare& share : kLibraries) {
        std::string file;
        for (std::size_t i = 0; i < nPairs * static_cast<std::size_t>(share.percent) / 100; ++i) {
            const bool phrase = static_cast<int>(rng() % 100) < kPhrasePercent;
            const std::string source = phrase ? PhraseOf(text, rng) : characters.Word(2 + static_cast<int>(rng() % 3));
            file += source + "," + characters.Word(2 + static_cast<int>(rng() % 3)) + "\r\n";
        }
        auto lib = std::make_unique<WALibrary>();
        lib->m_strTitle = share.name;
        lib->m_bApply = true;
        const double start = Seconds();
        ParseWALibraryText(*lib, file, false, true);
        parseSeconds += Seconds() - start;
        nFileBytes += file.size();
        lists.Append(WADirection::G2B, std::move(lib));
    }
    std::size_t nStored = 0;
    for (const auto& lib : lists.WALibrariesG2B())
        nStored += lib->PairCount();

    std::string fast = text, plain = text;
    lists.Apply(WADirection::G2B, fast);
    wa_reference::Apply(lists.WALibrariesG2B(), plain, kCodePage, CWALibraryLists::kDefaultMaxTextBytes);

    std::string work;
    const double engine = Measure(text.size(), [&] { work = text; lists.Apply(WADirection::G2B, work); });
    const double reference = Measure(text.size(), [&] {
        work = text;
        wa_reference::Apply(lists.WALibrariesG2B(), work, kCodePage, CWALibraryLists::kDefaultMaxTextBytes);
    });

    std::printf("KIVO word adjustment, %zu pairs in %zu libraries, %zu bytes of Big5 text (code page %u)\n", nStored,
                lists.WALibrariesG2B().size(), text.size(), kCodePage);
    std::printf("  %-52s %10.1f MB/s\n", "reading the library files", nFileBytes / parseSeconds / 1e6);
    std::printf("  %-52s %10.3f MB/s\n", "Apply, reference (every pair at every character)", reference);
    std::printf("  %-52s %10.3f MB/s   %.0fx the reference\n", "Apply, engine", engine, engine / reference);
    std::printf("  results identical: %s; the libraries took the text from %zu to %zu bytes\n",
                fast == plain ? "yes" : "NO", text.size(), fast.size());
    return fast == plain ? 0 : 1;
}
