// zendrik-cli: the repair and exchange passes without a screen.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "filesystem/file_system.h"

namespace zendrik {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFolderFailed = 1;
inline constexpr int kExitUsage = 2;

// Runs zendrik-cli with `arguments` (without the program name) on `fs`. Each log line goes
// to `out` as soon as it is final; failures and usage errors go to `err`. Returns the exit
// status: 0 when every folder was processed, 1 when any failed, 2 for bad usage (in which
// case nothing was touched).
int runCli(const std::vector<std::string>& arguments, FileSystem& fs, std::ostream& out,
           std::ostream& err);

}  // namespace zendrik
