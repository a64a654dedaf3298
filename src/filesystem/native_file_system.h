// The FileSystem of the platform the program is built for.
#pragma once

#ifdef _WIN32
#include "filesystem/windows_file_system.h"
namespace zendrik {
using NativeFileSystem = WindowsFileSystem;
}
#else
#include "filesystem/posix_file_system.h"
namespace zendrik {
using NativeFileSystem = PosixFileSystem;
}
#endif
