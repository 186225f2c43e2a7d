// The file probe of the platform the tests run on.
#pragma once

#ifdef _WIN32
#include "platform/win32/win32_file_probe.h"
#else
#include "platform/posix/posix_file_probe.h"
#endif

namespace lumetra::testing {

#ifdef _WIN32
using NativeFileProbe = Win32FileProbe;
#else
using NativeFileProbe = PosixFileProbe;
#endif

} // namespace lumetra::testing
