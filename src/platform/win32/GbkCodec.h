// GBK through Windows' own code page 936, held to exactly the characters the
// Linux edition's GBK table (glibc) reads and writes: a file decodes, or is
// set aside as undecodable, in the same way on both editions.
//
// Code page 936 also maps about 2,150 byte pairs that glibc refuses (the
// user-defined areas AAA1-AFFE, F8A1-FEFE and A140-A7A0, and pairs such as
// A6D9, A8BF, FE50, and the lone byte FF), every one of them to a
// private-use character (U+E000-U+F8FF), and nothing else differs. So a
// private-use character is refused in both directions here.
#pragma once

#include "platform/FileSystem.h"

namespace platform {

class GbkCodec final : public TextCodec {
public:
    std::optional<std::string> GbkToUtf8(const std::string& bytes) const override;
    std::optional<std::string> Utf8ToGbk(const std::string& text) const override;
};

}  // namespace platform
