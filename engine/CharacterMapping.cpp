#include "CharacterMapping.h"

#include "CodeTables.h"

#include <cstring>
#include <vector>

namespace {

// The scan writes one byte ("copy") or two ("map" and "mark") per step and
// consumes as many, so input and output indices stay equal throughout.
inline void Put(unsigned char* out, std::size_t i, const unsigned char cell[2])
{
    out[i] = cell[0];
    out[i + 1] = cell[1];
}

const unsigned char kBig5Mark[2] = {kBig5PlaceholderLead, kBig5PlaceholderTrail};

// Length of the text before its first zero byte.
std::size_t TextLength(const std::string& text)
{
    return std::strlen(text.c_str());
}

} // namespace

namespace {

// One step of the GB-to-Big5 scan at `i`; returns where the next step starts.
inline std::size_t GbToBig5Step(const unsigned char* in, std::size_t size, std::size_t i, unsigned char* out)
{
    const unsigned b1 = in[i];
    if (b1 < 0x81) {
        out[i] = static_cast<unsigned char>(b1);
        return i + 1;
    }
    const unsigned b2 = i + 1 < size ? in[i + 1] : 0;
    if (b2 < 0x40 || b2 == 0xFF) {
        out[i] = static_cast<unsigned char>(b1);
        return i + 1;
    }
    bool mark;
    if (b1 >= 0xA1 && b2 >= 0xA1) {
        // The GB2312 square: symbol rows and first-level hanzi have table rows,
        // second-level hanzi have none, user-defined rows pass through.
        const int row = GbToBig5RowIndex(b1);
        if (row >= 0) {
            Put(out, i, GbToBig5Table[row].cells[b2 - 0xA1]);
            return i + 2;
        }
        mark = b1 >= 0xD8 && b1 <= 0xF7;
    } else {
        // GBK extension codes: none has a Big5 counterpart in the table.
        mark = (b1 >= 0x81 && b1 <= 0xA0) || (b1 >= 0xA8 && b1 <= 0xFE);
    }
    if (!mark) {
        out[i] = static_cast<unsigned char>(b1);
        return i + 1;
    }
    Put(out, i, kBig5Mark);
    return i + 2;
}

// GBK code to the Big5 code of the same character (0: Big5 has none), the
// reverse of Big5ToGbkTraditionalTable. Built once, on first use.
constexpr int kGbkTrails = 0xFF - 0x40;  // trail bytes 0x40..0xFE

const unsigned short* GbkToBig5SameCharacter()
{
    static const std::vector<unsigned short> reverse = [] {
        std::vector<unsigned short> table(kBig5ToGbRows * kGbkTrails, 0);
        for (int row = 0; row < kBig5ToGbRows; ++row) {
            for (int column = 0; column < kBig5ToGbColumns; ++column) {
                const unsigned char* cell = Big5ToGbkTraditionalTable[row].cells[column];
                if (cell[0] < 0x81 || cell[0] == 0xFF || cell[1] < 0x40 || cell[1] == 0xFF)
                    continue;  // not a double-byte GBK code
                if (cell[0] == kGbkPlaceholderLead && cell[1] == kGbkPlaceholderTrail)
                    continue;  // stands for "no counterpart", not for the white square itself
                const unsigned trail = column < 63 ? 0x40 + column : 0xA1 + (column - 63);
                unsigned short& slot = table[(cell[0] - 0x81) * kGbkTrails + (cell[1] - 0x40)];
                if (slot == 0)
                    slot = static_cast<unsigned short>((0x81 + row) << 8 | trail);
            }
        }
        return table;
    }();
    return reverse.data();
}

} // namespace

namespace {

// Every two bytes from a byte of 0x80 up, as GbToBig5Step maps them: the
// two bytes written, or 0 where it copies the first byte alone. One read a
// character instead of the step's comparisons; built once, on first use,
// from the step itself. Null if a character ever mapped to two zero bytes.
const unsigned short* GbToBig5Pairs()
{
    static const std::vector<unsigned short> pairs = [] {
        std::vector<unsigned short> table(0x80 * 0x100, 0);
        for (unsigned n = 0; n < table.size(); ++n) {
            const unsigned char in[2] = {static_cast<unsigned char>(0x80 + (n >> 8)), static_cast<unsigned char>(n)};
            unsigned char out[2] = {};
            if (GbToBig5Step(in, 2, 0, out) == 1)
                continue;
            table[n] = static_cast<unsigned short>(out[0] << 8 | out[1]);
            if (table[n] == 0)
                return std::vector<unsigned short>();
        }
        return table;
    }();
    return pairs.empty() ? nullptr : pairs.data();
}

} // namespace

void MapGbToBig5(const unsigned char* in, std::size_t size, unsigned char* out)
{
    const unsigned short* pairs = GbToBig5Pairs();
    if (!pairs) {
        for (std::size_t i = 0; i < size;)
            i = GbToBig5Step(in, size, i, out);
        return;
    }
    std::size_t i = 0;
    while (i + 1 < size) {
        const unsigned b1 = in[i];
        const unsigned pair = b1 < 0x81 ? 0 : pairs[(b1 - 0x80) << 8 | in[i + 1]];
        if (pair == 0) {
            out[i++] = static_cast<unsigned char>(b1);
            continue;
        }
        out[i] = static_cast<unsigned char>(pair >> 8);
        out[i + 1] = static_cast<unsigned char>(pair);
        i += 2;
    }
    if (i < size)
        out[i] = in[i];  // a last byte alone is copied, lead byte or not
}

void MapGbkTraditionalToBig5(const unsigned char* in, std::size_t size, unsigned char* out)
{
    const unsigned short* sameCharacter = GbkToBig5SameCharacter();
    for (std::size_t i = 0; i < size;) {
        const unsigned b1 = in[i];
        const unsigned b2 = i + 1 < size ? in[i + 1] : 0;
        if (b1 >= 0x81 && b1 <= 0xFE && b2 >= 0x40 && b2 <= 0xFE) {
            const unsigned big5 = sameCharacter[(b1 - 0x81) * kGbkTrails + (b2 - 0x40)];
            if (big5 != 0) {
                out[i] = static_cast<unsigned char>(big5 >> 8);
                out[i + 1] = static_cast<unsigned char>(big5 & 0xFF);
                i += 2;
                continue;
            }
        }
        i = GbToBig5Step(in, size, i, out);
    }
}

void MapBig5ToGb(const unsigned char* in, std::size_t size, Big5Target target, unsigned char* out)
{
    const Big5ToGbRow* table =
        target == Big5Target::Simplified ? Big5ToGbSimplifiedTable : Big5ToGbkTraditionalTable;
    std::size_t i = 0;
    while (i < size) {
        const unsigned b1 = in[i];
        const unsigned b2 = i + 1 < size ? in[i + 1] : 0;
        // Single bytes, a lead of 0xFF and trail bytes in the gaps are copied alone.
        const int column = (b1 < 0x81 || b1 == 0xFF) ? -1 : Big5ToGbColumnIndex(b2);
        if (column < 0) {
            out[i++] = static_cast<unsigned char>(b1);
            continue;
        }
        Put(out, i, table[b1 - 0x81].cells[column]);
        i += 2;
    }
}

std::string MapGbToBig5(const std::string& text)
{
    const std::size_t size = TextLength(text);
    std::string result(size, '\0');
    MapGbToBig5(reinterpret_cast<const unsigned char*>(text.data()), size,
                reinterpret_cast<unsigned char*>(&result[0]));
    return result;
}

std::string MapGbkTraditionalToBig5(const std::string& text)
{
    const std::size_t size = TextLength(text);
    std::string result(size, '\0');
    MapGbkTraditionalToBig5(reinterpret_cast<const unsigned char*>(text.data()), size,
                            reinterpret_cast<unsigned char*>(&result[0]));
    return result;
}

std::string MapBig5ToGb(const std::string& text, Big5Target target)
{
    const std::size_t size = TextLength(text);
    std::string result(size, '\0');
    MapBig5ToGb(reinterpret_cast<const unsigned char*>(text.data()), size, target,
                reinterpret_cast<unsigned char*>(&result[0]));
    return result;
}
