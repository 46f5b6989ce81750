#include "config/FileEncoding.h"

#include <algorithm>
#include <optional>
#include <unordered_map>

#include "config/Utf8.h"

namespace config {
namespace {

bool IsAscii(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool IsGbkLead(unsigned char b) { return b >= 0x81 && b <= 0xFE; }

// Decodes one GBK character (one or two bytes) at a time for the damaged
// lines of a file. Each distinct unit is asked of the codec once, so even a
// file of random bytes costs at most 65,536 conversions.
class GbkUnitDecoder final {
public:
    explicit GbkUnitDecoder(const platform::TextCodec& codec) : codec_(codec) {}

    // Replaces each byte that starts no valid character by "?". The following
    // byte is decoded afresh, so a broken double byte never swallows a line
    // end or an ASCII character after it.
    void Append(std::string_view bytes, std::string& out) {
        for (std::size_t i = 0; i < bytes.size();) {
            const auto b = static_cast<unsigned char>(bytes[i]);
            if (b < 0x80) {
                out += static_cast<char>(b);
                ++i;
                continue;
            }
            const bool pair = IsGbkLead(b) && i + 1 < bytes.size();
            const std::string& decoded = Unit(bytes.substr(i, pair ? 2 : 1));
            if (!decoded.empty()) {
                out += decoded;
                i += pair ? 2 : 1;
            } else {
                out += '?';
                ++i;
            }
        }
    }

private:
    // Empty when the unit is not valid GBK.
    const std::string& Unit(std::string_view unit) {
        unsigned slot = static_cast<unsigned char>(unit[0]);
        if (unit.size() == 2) slot = (slot << 8) | static_cast<unsigned char>(unit[1]);
        const auto [known, isNew] = known_.try_emplace(slot);
        if (isNew) known->second = codec_.GbkToUtf8(std::string(unit)).value_or(std::string());
        return known->second;
    }

    const platform::TextCodec& codec_;
    // One-byte units have slots below 0x100, where no two-byte unit (lead 0x81
    // and up) can fall. Empty text for a unit that is not valid GBK.
    std::unordered_map<unsigned, std::string> known_;
};

// The next line of `bytes` from `start`, its line end included. Lines end at
// CR or LF; neither byte is ever part of a UTF-8 sequence or the second byte
// of a GBK character.
std::string_view LineAt(std::string_view bytes, std::size_t start) {
    const std::size_t end = bytes.find_first_of("\r\n", start);
    return bytes.substr(start, end == std::string_view::npos ? std::string_view::npos : end + 1 - start);
}

// Whether well-formed UTF-8 holds a character of three bytes or more: Chinese
// characters and punctuation, full-width forms. GBK text comes out as UTF-8
// by chance mostly as two-byte characters (GBK "一" reads as Cyrillic "һ"),
// seldom as three-byte ones.
bool HoldsWideUtf8(std::string_view line) {
    for (std::size_t at = 0; at < line.size();) {
        char32_t c = 0;
        const std::size_t length = DecodeUtf8At(line, at, c);
        if (length == 0) return false;
        if (length >= 3) return true;
        at += length;
    }
    return false;
}

// A line read as UTF-8 although its bytes may also be GBK: well-formed, with
// a Chinese character or the like in it. "决赛" pasted in UTF-8 is read so,
// while a GBK line that only happens to be well-formed is not.
bool IsUtf8Line(std::string_view line) { return !IsAscii(line) && IsValidUtf8(line) && HoldsWideUtf8(line); }

bool AnyUtf8Line(std::string_view bytes) {
    for (std::size_t start = 0; start < bytes.size();) {
        const std::string_view line = LineAt(bytes, start);
        if (IsUtf8Line(line)) return true;
        start += line.size();
    }
    return false;
}

// A file that is neither UTF-8 nor GBK as a whole. Most of its lines are
// sound; decode those whole and go one character at a time only through the
// damaged ones.
struct LineByLine {
    std::string text;
    bool utf8 = false;   // A line with other than ASCII was UTF-8.
    bool lossy = false;  // Some byte was neither.
};

LineByLine DecodeLines(std::string_view bytes, const platform::TextCodec& codec) {
    LineByLine result;
    result.text.reserve(bytes.size());
    std::optional<GbkUnitDecoder> units;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::string_view line = LineAt(bytes, start);
        start += line.size();
        std::optional<std::string> gbk;
        const bool utf8 = IsAscii(line) || IsUtf8Line(line) ||
                          (IsValidUtf8(line) && !(gbk = codec.GbkToUtf8(std::string(line))));
        if (utf8) {
            result.utf8 = result.utf8 || !IsAscii(line);
            result.text += line;
        } else if (gbk || (gbk = codec.GbkToUtf8(std::string(line)))) {
            result.text += *gbk;
        } else {
            if (!units) units.emplace(codec);
            units->Append(line, result.text);
            result.lossy = true;
        }
    }
    return result;
}

}  // namespace

DecodedFile DecodeFile(const std::string& bytes, const platform::TextCodec& codec) {
    if (bytes.starts_with(kUtf8Bom)) {
        const std::string_view body = std::string_view(bytes).substr(kUtf8Bom.size());
        if (IsValidUtf8(body)) return {std::string(body), FileEncoding::Utf8WithBom, Fidelity::Exact};
        LineByLine lines = DecodeLines(body, codec);
        return {std::move(lines.text), FileEncoding::Utf8WithBom, lines.lossy ? Fidelity::Lossy : Fidelity::Mixed};
    }
    if (IsAscii(bytes)) return {bytes, FileEncoding::Gbk, Fidelity::Exact};
    if (IsValidUtf8(bytes) && (HoldsWideUtf8(bytes) || !codec.GbkToUtf8(bytes))) {
        return {bytes, FileEncoding::Utf8, Fidelity::Exact};
    }
    // A UTF-8 line pasted into a GBK file is UTF-8 even when its bytes also
    // make GBK characters (UTF-8 "决赛" does), so the file is read whole as
    // GBK only when no line is UTF-8.
    if (!AnyUtf8Line(bytes)) {
        if (auto text = codec.GbkToUtf8(bytes)) return {std::move(*text), FileEncoding::Gbk, Fidelity::Exact};
    }
    LineByLine lines = DecodeLines(bytes, codec);
    return {std::move(lines.text), lines.utf8 ? FileEncoding::Utf8 : FileEncoding::Gbk,
            lines.lossy ? Fidelity::Lossy : Fidelity::Mixed};
}

std::optional<std::string> EncodeFile(const std::string& text, FileEncoding encoding,
                                      const platform::TextCodec& codec) {
    switch (encoding) {
        case FileEncoding::Gbk: {
            if (IsAscii(text)) return text;
            std::optional<std::string> bytes = codec.Utf8ToGbk(text);
            // A line of GBK bytes that also happen to be well-formed UTF-8
            // would be read back as UTF-8, as other characters.
            if (bytes && AnyUtf8Line(*bytes)) return std::nullopt;
            return bytes;
        }
        case FileEncoding::Utf8:
            return text;
        case FileEncoding::Utf8WithBom:
            return std::string(kUtf8Bom) + text;
    }
    return std::nullopt;
}

}  // namespace config
