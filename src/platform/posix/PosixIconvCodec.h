// GBK (code page 936) through the C library's iconv. glibc's "CP936" is its
// GBK table, which maps the euro sign to 0x80 as Windows does; GB18030 would
// not (it writes the euro as A2 E3 and rejects a lone 0x80).
#pragma once

#include <iconv.h>

#include "platform/FileSystem.h"

namespace platform {

class IconvCodec final : public TextCodec {
public:
    IconvCodec();
    ~IconvCodec() override;
    IconvCodec(const IconvCodec&) = delete;
    IconvCodec& operator=(const IconvCodec&) = delete;

    std::optional<std::string> GbkToUtf8(const std::string& bytes) const override;
    std::optional<std::string> Utf8ToGbk(const std::string& text) const override;

private:
    iconv_t fromGbk_;
    iconv_t toGbk_;
};

}  // namespace platform
