#include "repair/saved_log.h"

namespace zendrik {

std::string savedLogText(const Log& log) {
    size_t size = 0;
    for (const auto& line : log.lines()) size += line.size() + 2;
    std::string text;
    text.reserve(size);
    for (const auto& line : log.lines()) {
        text += line;
        text += "\r\n";
    }
    return text;
}

void saveLog(FileSystem& fs, const Log& log, const std::string& path) {
    fs.writeFile(path, savedLogText(log));
}

}  // namespace zendrik
