// The reason of a failed system call as the time-keeper reads it.
#pragma once

#include <string>

namespace platform {

// A short Chinese reason for `error` (an errno value), with the system's own
// words after it for whoever helps the time-keeper.
std::string DescribeErrno(int error);

}  // namespace platform
