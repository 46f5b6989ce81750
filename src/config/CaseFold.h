// Letter case as the settings store ignores it: two keys are the same key when
// their lower-case forms are equal. Every letter a GBK file can hold has a
// lower-case form here (Latin, full-width Latin, Greek, Cyrillic, Roman
// numerals), as have the Latin letters with diacritics a UTF-8 file may bring.
#pragma once

#include <string>
#include <string_view>

namespace config {

// The lower-case form of one code point; other code points are returned as given.
char32_t LowerCodePoint(char32_t c);

// The lower-case form of UTF-8 text. Bytes that are not well-formed UTF-8 are
// kept as they are, so no two different byte strings fold together by accident
// of a decoding error.
std::string FoldCase(std::string_view text);
// The same into `out`, replacing what it held: no allocation once it has room.
void FoldCaseInto(std::string_view text, std::string& out);

}  // namespace config
