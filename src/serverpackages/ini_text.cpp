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

std::string readIniText(FileSystem& fs, const std::string& path) {
    return iniTextFromBytes(fs.readFile(path));
}

std::string iniPathToRead(const std::string& Ordner) {
    return Ordner + subFolder("System") + "UnrealTournament.ini";
}

std::string iniPathToWrite(const std::string& Ordner) {
    return Ordner + subFolder("system") + "UNREALTOURNAMENT.ini";
}

std::optional<size_t> serverPackagesInsertionPoint(std::string_view utini) {
    std::optional<size_t> point;
    anyIniLine(utini, [&](std::string_view line, size_t start) {
        if (!startsWithIgnoringAsciiCase(line, kServerPackagesKey)) return false;
        point = start;
        return true;
    });
    return point;
}

}  // namespace zendrik
