// How the configuration file's bytes become the UTF-8 text held in memory and
// back. GBK (code page 936) is the file's own encoding; a file that a modern
// editor saved as UTF-8 is read as UTF-8 and written back as it came, so it is
// never turned into mojibake.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/FileSystem.h"

namespace config {

enum class FileEncoding {
    Gbk,          // Code page 936, the file's own encoding.
    Utf8,         // UTF-8 without a byte-order mark.
    Utf8WithBom,  // UTF-8 behind EF BB BF.
};

enum class Fidelity {
    Exact,  // The text holds every byte of the file.
    Mixed,  // Every line was read, some as UTF-8 and some as GBK: no one
            // encoding writes the file back as it was.
    Lossy,  // Some bytes could not be decoded and were read as "?".
};

struct DecodedFile {
    std::string text;
    FileEncoding encoding = FileEncoding::Gbk;
    Fidelity fidelity = Fidelity::Exact;
};

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

struct DecodedAs {
    FileEncoding encoding = FileEncoding::Gbk;
    Fidelity fidelity = Fidelity::Exact;
};

// Takes the decoded text a piece at a time; false stops the decoding. A piece
// ends at a line end, except the file's last; it is valid only during the call.
using DecodedPiece = std::function<bool(std::string_view)>;

// Pure ASCII read as GBK; well-formed UTF-8 with other characters, or
// anything behind a UTF-8 byte-order mark, as UTF-8. Any other file is read
// line by line: a well-formed UTF-8 line with other than ASCII as UTF-8 (even
// when its bytes also happen to be GBK), any other as GBK, with "?" in place
// of each byte that is not GBK either, as the system's own conversion does.
// A file whose lines are all GBK is GBK; one with a UTF-8 line is UTF-8 from
// then on.
// The text goes to `piece` as it is decoded, so a large file is never held
// decoded whole beside its bytes: a file already in UTF-8 in one piece of its
// own bytes, a GBK file in runs of lines. Stopped early, the encoding and
// fidelity tell of what was decoded so far.
DecodedAs DecodeFile(std::string_view bytes, const platform::TextCodec& codec, const DecodedPiece& piece);
// The same, the text gathered whole: for a small file.
DecodedFile DecodeFile(const std::string& bytes, const platform::TextCodec& codec);

// The file's bytes for `text`, or nothing when the encoding cannot hold it, or
// when a line of GBK bytes would read back as UTF-8 (DecodeFile tries UTF-8
// first, line by line).
std::optional<std::string> EncodeFile(const std::string& text, FileEncoding encoding,
                                      const platform::TextCodec& codec);

}  // namespace config
