#include "support/Codec.h"

#include "platform/posix/IconvCodec.h"

namespace testsupport {

const platform::TextCodec& GbkCodec() {
    static const platform::IconvCodec codec;
    return codec;
}

}  // namespace testsupport
