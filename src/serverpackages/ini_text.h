// The ini text: the whole of an installation's UnrealTournament.ini as one string, each
// line followed by CR LF, and the reading of server package entries in it. The file keeps
// its own form: what is written back is its bytes as read, with only the new lines put in.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "filesystem/file_system.h"

namespace zendrik {

// A UTF-8 byte-order mark, as the community's patch and Windows editors write it: it stands
// before the first line, and is no part of it.
inline constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// The ini text of a file's bytes: a line ends at CR LF, at a lone CR or at a lone LF, and
// every line, the last one too, gets CR LF. An empty file gives the empty text. Every other
// byte, a byte-order mark too, stays as it is.
std::string iniTextFromBytes(std::string_view bytes);

// An ini file as read: its bytes, which a rewrite keeps, and their ini text. It converts to
// the ini text, as the answer of readIniText did when it was a plain string.
class IniFile {
  public:
    explicit IniFile(std::string bytes)
        : bytes_(std::move(bytes)), text_(iniTextFromBytes(bytes_)) {}

    const std::string& bytes() const& { return bytes_; }
    std::string bytes() && { return std::move(bytes_); }
    const std::string& text() const& { return text_; }
    std::string text() && { return std::move(text_); }

    operator std::string() const& { return text_; }
    operator std::string() && { return std::move(text_); }

  private:
    std::string bytes_;
    std::string text_;  // iniTextFromBytes(bytes_)
};

// Reads the file at `path`: its bytes and its ini text.
IniFile readIniText(FileSystem& fs, const std::string& path);

// The key of a server package entry.
inline constexpr std::string_view kServerPackagesKey = "ServerPackages=";

// The ini of the installation `Ordner`: spelled as the game's own folder when it is read,
// and as the steps spell package paths when it is written (and named in their log lines).
// Both reach the same file, letter case being ignored below an installation folder.
std::string iniPathToRead(const std::string& Ordner);
std::string iniPathToWrite(const std::string& Ordner);

// Calls `visit` with each line of the ini text `utini` (without its CR LF) and its start;
// stops when `visit` returns true, and returns whether it did. A UTF-8 byte-order mark at
// the start is skipped: the first line starts after it.
template <typename Visit>
bool anyIniLine(std::string_view utini, Visit visit) {
    for (size_t start = utini.starts_with(kUtf8Mark) ? kUtf8Mark.size() : 0;
         start < utini.size();) {
        size_t end = utini.find("\r\n", start);
        if (end == std::string_view::npos) end = utini.size();
        if (visit(utini.substr(start, end - start), start)) return true;
        start = end + 2;
    }
    return false;
}

// Where a new entry goes: the start of the first line that begins with "ServerPackages=",
// case ignored (after a byte-order mark for the first line); none when no line does.
// `utini` is an ini text or the bytes it was made of, whose lines end as iniTextFromBytes
// reads them: both give the start of the same line.
std::optional<size_t> serverPackagesInsertionPoint(std::string_view utini);

// The line end that new lines of the file `bytes` take: the file's first one (CR LF, LF or a
// lone CR), or CR LF when it has none.
std::string_view lineEndOf(std::string_view bytes);

}  // namespace zendrik
