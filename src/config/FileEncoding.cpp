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

// A GBK file is decoded in runs of whole lines of about this size, so the
// decoded text is never held whole. A line longer than this is one run.
constexpr std::size_t kRunBytes = std::size_t{1} << 20;

// The end of the run of whole lines that starts at `start`. A CR LF is never
// cut, and neither byte is ever part of a GBK character, so each run decodes
// as it would within the whole.
std::size_t RunEnd(std::string_view bytes, std::size_t start) {
    if (bytes.size() - start <= kRunBytes) return bytes.size();
    const std::size_t end = bytes.find_first_of("\r\n", start + kRunBytes - 1);
    if (end == std::string_view::npos) return bytes.size();
    const bool crLf = bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n';
    return end + (crLf ? 2 : 1);
}

// A run of GBK decoded, or nothing when it is not GBK. A run of one long
// line goes to the codec in parts cut between characters, so the codec's
// working room stays small beside the line it decodes.
std::optional<std::string> GbkRun(std::string_view run, const platform::TextCodec& codec) {
    if (run.size() <= kRunBytes) return codec.GbkToUtf8(std::string(run));
    std::string text;
    text.reserve(run.size() + run.size() / 2);
    for (std::size_t start = 0; start < run.size();) {
        std::size_t end = start;
        while (end < run.size() && end - start < kRunBytes) {
            end += IsGbkLead(static_cast<unsigned char>(run[end])) && end + 1 < run.size() ? 2 : 1;
        }
        const std::optional<std::string> part = codec.GbkToUtf8(std::string(run.substr(start, end - start)));
        if (!part) return std::nullopt;
        text += *part;
        start = end;
    }
    return text;
}

// Whether the whole is GBK, asked a run at a time.
bool IsGbk(std::string_view bytes, const platform::TextCodec& codec) {
    for (std::size_t start = 0, end = 0; start < bytes.size(); start = end) {
        end = RunEnd(bytes, start);
        if (!GbkRun(bytes.substr(start, end - start), codec)) return false;
    }
    return true;
}

// A file that is neither UTF-8 nor GBK as a whole, or GBK. A run of GBK lines
// without a UTF-8 one is decoded whole; the lines of any other run one by one,
// going one character at a time only through the damaged ones.
struct LineByLine {
    bool utf8 = false;   // A line with other than ASCII was UTF-8.
    bool lossy = false;  // Some byte was neither.
};

void DecodeEachLine(std::string_view bytes, const platform::TextCodec& codec, std::optional<GbkUnitDecoder>& units,
                    LineByLine& result, std::string& text) {
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::string_view line = LineAt(bytes, start);
        start += line.size();
        std::optional<std::string> gbk;
        const bool utf8 = IsAscii(line) || IsUtf8Line(line) ||
                          (IsValidUtf8(line) && !(gbk = codec.GbkToUtf8(std::string(line))));
        if (utf8) {
            result.utf8 = result.utf8 || !IsAscii(line);
            text += line;
        } else if (gbk || (gbk = codec.GbkToUtf8(std::string(line)))) {
            text += *gbk;
        } else {
            if (!units) units.emplace(codec);
            units->Append(line, text);
            result.lossy = true;
        }
    }
}

LineByLine DecodeLines(std::string_view bytes, const platform::TextCodec& codec, const DecodedPiece& piece) {
    LineByLine result;
    std::optional<GbkUnitDecoder> units;
    for (std::size_t start = 0, end = 0; start < bytes.size(); start = end) {
        end = RunEnd(bytes, start);
        const std::string_view run = bytes.substr(start, end - start);
        std::optional<std::string> text;
        if (!AnyUtf8Line(run)) text = GbkRun(run, codec);
        if (!text) {
            text.emplace();
            text->reserve(run.size() + run.size() / 2);
            DecodeEachLine(run, codec, units, result, *text);
        }
        if (!piece(*text)) break;
    }
    return result;
}

}  // namespace

DecodedAs DecodeFile(std::string_view bytes, const platform::TextCodec& codec, const DecodedPiece& piece) {
    if (bytes.starts_with(kUtf8Bom)) {
        const std::string_view body = bytes.substr(kUtf8Bom.size());
        if (IsValidUtf8(body)) {
            piece(body);
            return {FileEncoding::Utf8WithBom, Fidelity::Exact};
        }
        const LineByLine lines = DecodeLines(body, codec, piece);
        return {FileEncoding::Utf8WithBom, lines.lossy ? Fidelity::Lossy : Fidelity::Mixed};
    }
    if (IsAscii(bytes)) {
        piece(bytes);
        return {FileEncoding::Gbk, Fidelity::Exact};
    }
    if (IsValidUtf8(bytes) && (HoldsWideUtf8(bytes) || !IsGbk(bytes, codec))) {
        piece(bytes);
        return {FileEncoding::Utf8, Fidelity::Exact};
    }
    // A UTF-8 line pasted into a GBK file is UTF-8 even when its bytes also
    // make GBK characters (UTF-8 "决赛" does), so the file is GBK only when
    // no line is UTF-8 and every line is GBK.
    const LineByLine lines = DecodeLines(bytes, codec, piece);
    if (!lines.utf8 && !lines.lossy) return {FileEncoding::Gbk, Fidelity::Exact};
    return {lines.utf8 ? FileEncoding::Utf8 : FileEncoding::Gbk, lines.lossy ? Fidelity::Lossy : Fidelity::Mixed};
}

DecodedFile DecodeFile(const std::string& bytes, const platform::TextCodec& codec) {
    DecodedFile decoded;
    decoded.text.reserve(bytes.size());
    const DecodedAs as = DecodeFile(std::string_view(bytes), codec, [&decoded](std::string_view piece) {
        decoded.text += piece;
        return true;
    });
    decoded.encoding = as.encoding;
    decoded.fidelity = as.fidelity;
    return decoded;
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
