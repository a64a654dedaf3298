// The ini text: the whole of an installation's UnrealTournament.ini as one string, each
// line followed by CR LF, and the reading of server package entries in it.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "filesystem/file_system.h"

namespace zendrik {

// The ini text of a file's bytes: a line ends at CR LF, at a lone CR or at a lone LF, and
// every line, the last one too, gets CR LF. An empty file gives the empty text.
std::string iniTextFromBytes(std::string_view bytes);

// Reads the file at `path` and returns its ini text.
std::string readIniText(FileSystem& fs, const std::string& path);

// True when a line of `utini` has, after its first "=", exactly `ExtensionName`, case
// ignored: a ServerPackages= entry, but also a commented-out one or another key's value.
bool SearchUTiniForServerPackage(const std::string& ExtensionName, const std::string& utini);

// Where a new entry goes: the start of the first line that begins with "ServerPackages=",
// case ignored; none when no line does.
std::optional<size_t> serverPackagesInsertionPoint(std::string_view utini);

}  // namespace zendrik
