#include "support/Codec.h"

#include "platform/posix/PosixIconvCodec.h"

namespace testsupport {

const platform::TextCodec& GbkCodec() {
    static const platform::IconvCodec codec;
    return codec;
}

}  // namespace testsupport
