// The reason of a failed Windows call as the time-keeper reads it.
#pragma once

#include <string>

namespace platform {

// A short Chinese reason for `error` (a GetLastError() value), with the
// system's own words after it for whoever helps the time-keeper.
std::string DescribeWindowsError(unsigned long error);

}  // namespace platform
