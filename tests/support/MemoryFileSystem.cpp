// The fakes live in their headers; the support library needs one source file.
#include "support/MemoryFileSystem.h"
