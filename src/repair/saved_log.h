// The log saved as a text file: what "Save Log" writes.
#pragma once

#include <string>

#include "filesystem/file_system.h"
#include "log/log.h"

namespace zendrik {

// The saved form of the log: every line followed by CR LF; an empty log gives no bytes.
std::string savedLogText(const Log& log);

// Writes savedLogText to `path`, replacing any earlier contents.
void saveLog(FileSystem& fs, const Log& log, const std::string& path);

}  // namespace zendrik
