#include "serverpackages/ini_text.h"

#include "filesystem/names.h"

namespace zendrik {
namespace {

constexpr std::string_view kEntryKey = "ServerPackages=";

// Calls `visit` with each line of `utini` (without its CR LF) and its start; stops when
// `visit` returns true, and returns whether it did.
template <typename Visit>
bool anyLine(std::string_view utini, Visit visit) {
    for (size_t start = 0; start < utini.size();) {
        size_t end = utini.find("\r\n", start);
        if (end == std::string_view::npos) end = utini.size();
        if (visit(utini.substr(start, end - start), start)) return true;
        start = end + 2;
    }
    return false;
}

}  // namespace

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

bool SearchUTiniForServerPackage(const std::string& ExtensionName, const std::string& utini) {
    return anyLine(utini, [&](std::string_view line, size_t) {
        const size_t eq = line.find('=');
        return eq != std::string_view::npos &&
               equalsIgnoringAsciiCase(line.substr(eq + 1), ExtensionName);
    });
}

std::optional<size_t> serverPackagesInsertionPoint(std::string_view utini) {
    std::optional<size_t> point;
    anyLine(utini, [&](std::string_view line, size_t start) {
        if (!startsWithIgnoringAsciiCase(line, kEntryKey)) return false;
        point = start;
        return true;
    });
    return point;
}

}  // namespace zendrik
