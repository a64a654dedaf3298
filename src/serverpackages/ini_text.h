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

// The key of a server package entry.
inline constexpr std::string_view kServerPackagesKey = "ServerPackages=";

// The ini of the installation `Ordner`: spelled as the game's own folder when it is read,
// and as the steps spell package paths when it is written (and named in their log lines).
// Both reach the same file, letter case being ignored below an installation folder.
std::string iniPathToRead(const std::string& Ordner);
std::string iniPathToWrite(const std::string& Ordner);

// Calls `visit` with each line of the ini text `utini` (without its CR LF) and its start;
// stops when `visit` returns true, and returns whether it did.
template <typename Visit>
bool anyIniLine(std::string_view utini, Visit visit) {
    for (size_t start = 0; start < utini.size();) {
        size_t end = utini.find("\r\n", start);
        if (end == std::string_view::npos) end = utini.size();
        if (visit(utini.substr(start, end - start), start)) return true;
        start = end + 2;
    }
    return false;
}

// Where a new entry goes: the start of the first line that begins with "ServerPackages=",
// case ignored; none when no line does.
std::optional<size_t> serverPackagesInsertionPoint(std::string_view utini);

}  // namespace zendrik
