#include "serverpackages/ini_text.h"

#include "filesystem/names.h"

namespace zendrik {

std::string iniTextFromBytes(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size() + bytes.size() / 16 + 2);
    for (size_t start = 0; start < bytes.size();) {
        size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = bytes.size();
        text.append(bytes.substr(start, end - start));
        text += "\r\n";
        if (end + 1 < bytes.size() && bytes[end] == '\r' && bytes[end + 1] == '\n') ++end;
        start = end + 1;
    }
    return text;
}

IniFile readIniText(FileSystem& fs, const std::string& path) {
    return IniFile(fs.readFile(path));
}

std::string iniPathToRead(const std::string& Ordner) {
    return Ordner + subFolder("System") + "UnrealTournament.ini";
}

std::string iniPathToWrite(const std::string& Ordner) {
    return Ordner + subFolder("system") + "UNREALTOURNAMENT.ini";
}

std::optional<size_t> serverPackagesInsertionPoint(std::string_view utini) {
    // The lines as iniTextFromBytes makes them, so that an ini text (whose line ends are all
    // CR LF) and its file's bytes agree on the line.
    for (size_t start = utini.starts_with(kUtf8Mark) ? kUtf8Mark.size() : 0;
         start < utini.size();) {
        size_t end = utini.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = utini.size();
        if (startsWithIgnoringAsciiCase(utini.substr(start, end - start), kServerPackagesKey)) {
            return start;
        }
        if (end + 1 < utini.size() && utini[end] == '\r' && utini[end + 1] == '\n') ++end;
        start = end + 1;
    }
    return std::nullopt;
}

std::string_view lineEndOf(std::string_view bytes) {
    const size_t end = bytes.find_first_of("\r\n");
    if (end == std::string_view::npos) return "\r\n";
    if (bytes[end] == '\n') return "\n";
    return bytes.substr(end + 1, 1) == "\n" ? "\r\n" : "\r";
}

}  // namespace zendrik
