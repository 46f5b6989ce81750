#include "support/Codec.h"

#include "platform/win32/GbkCodec.h"

namespace testsupport {

const platform::TextCodec& GbkCodec() {
    static const platform::GbkCodec codec;
    return codec;
}

}  // namespace testsupport
