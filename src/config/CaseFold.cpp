#include "config/CaseFold.h"

#include "config/Utf8.h"

namespace config {
namespace {

struct Range {
    char32_t first;
    char32_t last;
    int shift;  // Lower-case = upper-case + shift, for every code point of the range.
};

// Blocks where the capitals form one run and the small letters another.
constexpr Range kShiftedRanges[] = {
    {0x0041, 0x005A, 0x20},    // A-Z
    {0x00C0, 0x00D6, 0x20},    // À-Ö
    {0x00D8, 0x00DE, 0x20},    // Ø-Þ
    {0x0388, 0x038A, 0x25},    // Έ-Ί
    {0x038E, 0x038F, 0x3F},    // Ύ-Ώ
    {0x0391, 0x03A1, 0x20},    // Α-Ρ
    {0x03A3, 0x03AB, 0x20},    // Σ-Ϋ
    {0x0400, 0x040F, 0x50},    // Ѐ-Џ, Ё among them
    {0x0410, 0x042F, 0x20},    // А-Я
    {0x0531, 0x0556, 0x30},    // Armenian
    {0x10A0, 0x10C5, 0x1C60},  // Georgian
    {0x2160, 0x216F, 0x10},    // Ⅰ-Ⅿ
    {0x24B6, 0x24CF, 0x1A},    // Ⓐ-Ⓩ
    {0xFF21, 0xFF3A, 0x20},    // Ａ-Ｚ
};

// Blocks where each capital is directly followed by its small letter.
constexpr Range kPairedRanges[] = {
    {0x0100, 0x012F, 1}, {0x0132, 0x0137, 1}, {0x0139, 0x0148, 1}, {0x014A, 0x0177, 1},
    {0x0179, 0x017E, 1}, {0x01CD, 0x01DC, 1}, {0x01DE, 0x01EF, 1}, {0x01F8, 0x021F, 1},
    {0x03D8, 0x03EF, 1}, {0x0460, 0x0481, 1}, {0x048A, 0x04BF, 1}, {0x04C1, 0x04CE, 1},
    {0x04D0, 0x052F, 1}, {0x1E00, 0x1E95, 1}, {0x1EA0, 0x1EFF, 1},
};

struct Single {
    char32_t upper;
    char32_t lower;
};

constexpr Single kSingles[] = {
    {0x0178, 0x00FF}, {0x0386, 0x03AC}, {0x038C, 0x03CC}, {0x04C0, 0x04CF},
    {0x1E9E, 0x00DF},
};

}  // namespace

char32_t LowerCodePoint(char32_t c) {
    if (c < 0x80) return (c >= 'A' && c <= 'Z') ? c + 0x20 : c;
    for (const Range& r : kShiftedRanges) {
        if (c >= r.first && c <= r.last) return c + r.shift;
    }
    for (const Range& r : kPairedRanges) {
        // Odd offsets are already the small letters of their pair.
        if (c >= r.first && c <= r.last) return ((c - r.first) % 2 == 0) ? c + 1 : c;
    }
    for (const Single& s : kSingles) {
        if (c == s.upper) return s.lower;
    }
    return c;
}

std::string FoldCase(std::string_view text) {
    std::string out;
    FoldCaseInto(text, out);
    return out;
}

void FoldCaseInto(std::string_view text, std::string& out) {
    out.clear();
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char b = static_cast<unsigned char>(text[i]);
        if (b < 0x80) {
            out += (b >= 'A' && b <= 'Z') ? static_cast<char>(b + 0x20) : static_cast<char>(b);
            ++i;
            continue;
        }
        char32_t c = 0;
        const std::size_t length = DecodeUtf8At(text, i, c);
        if (length == 0) {
            out += static_cast<char>(b);
            ++i;
            continue;
        }
        AppendUtf8(out, LowerCodePoint(c));
        i += length;
    }
}

}  // namespace config
