// The system's GBK codec for tests of the store and the window: glibc's on
// Linux, code page 936 on Windows. The two read and write the same characters.
#pragma once

#include "platform/FileSystem.h"

namespace testsupport {

const platform::TextCodec& GbkCodec();

}  // namespace testsupport
