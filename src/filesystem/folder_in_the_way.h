// Whether a folder stands where a file is to go. A move, copy or write there fails on every
// system, so the steps ask first and leave that one file, and the preview refuses it as the
// disk would.
#pragma once

#include <string>

#include "filesystem/file_system.h"

namespace zendrik {

// True when a folder exists at the file path `path` (links followed, its name in any letter
// case). A name there that leads nowhere (a dangling link, a link loop) is no folder: a move
// or copy replaces it as it replaces any link. Throws any other refusal of the layer.
bool folderInTheWay(FileSystem& fs, const std::string& path);

}  // namespace zendrik
