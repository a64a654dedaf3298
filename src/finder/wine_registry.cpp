#include "finder/wine_registry.h"

#include <algorithm>

#include "filesystem/names.h"

namespace zendrik {
namespace {

// A quoted string at `at` of `line`, escapes undone; `at` goes past its closing quote.
std::optional<std::string> quoted(std::string_view line, size_t& at) {
    if (at >= line.size() || line[at] != '"') return std::nullopt;
    std::string text;
    for (++at; at < line.size() && line[at] != '"'; ++at) {
        if (line[at] == '\\' && at + 1 < line.size()) ++at;
        text += line[at];
    }
    if (at >= line.size()) return std::nullopt;
    ++at;
    return text;
}

// The key of a line "[a\\b\\c] time": "a\b\c", folded; none for another line.
std::optional<std::string> keyOf(std::string_view line) {
    if (line.empty() || line[0] != '[') return std::nullopt;
    const size_t end = line.find(']');
    if (end == std::string_view::npos) return std::nullopt;
    std::string key;
    for (size_t i = 1; i < end; ++i) {
        if (line[i] == '\\' && i + 1 < end && line[i + 1] == '\\') ++i;
        key += line[i];
    }
    return foldName(key);
}

void read(std::string_view text, std::map<std::string, std::map<std::string, std::string>>& keys) {
    std::map<std::string, std::string>* current = nullptr;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (const auto key = keyOf(line)) {
            current = &keys[*key];
            continue;
        }
        if (!current || line.empty()) continue;
        size_t at = 0;
        std::string name;
        if (line[0] == '@') {
            at = 1;
        } else if (const auto named = quoted(line, at)) {
            name = *named;
        } else {
            continue;
        }
        if (at >= line.size() || line[at] != '=') continue;
        ++at;
        if (line.substr(at).starts_with("str(2):")) at += 7;  // an expandable string
        if (const auto value = quoted(line, at)) (*current)[foldName(name)] = *value;
    }
}

}  // namespace

WineRegistry::WineRegistry(std::string_view systemReg, std::string_view userReg) {
    read(systemReg, machine_);
    read(userReg, user_);
}

std::optional<std::string> WineRegistry::value(Hive hive, const std::string& key,
                                               const std::string& name) {
    const Keys& keys = hive == Hive::LocalMachine ? machine_ : user_;
    std::string folded = foldName(key);
    for (int view = 0; view < 2; ++view) {
        if (const auto it = keys.find(folded); it != keys.end()) {
            if (const auto value = it->second.find(foldName(name)); value != it->second.end()) {
                return value->second;
            }
        }
        // The 32-bit view: SOFTWARE\X lies at SOFTWARE\Wow6432Node\X.
        if (!folded.starts_with("SOFTWARE\\")) break;
        folded = "SOFTWARE\\WOW6432NODE\\" + folded.substr(9);
    }
    return std::nullopt;
}

std::vector<std::string> WineRegistry::subkeys(Hive hive, const std::string& key) {
    const Keys& keys = hive == Hive::LocalMachine ? machine_ : user_;
    std::vector<std::string> names;
    std::string folded = foldName(key) + "\\";
    for (int view = 0; view < 2; ++view) {
        for (auto it = keys.lower_bound(folded); it != keys.end() && it->first.starts_with(folded);
             ++it) {
            const std::string rest = it->first.substr(folded.size());
            if (rest.empty() || rest.find('\\') != std::string::npos) continue;
            if (std::find(names.begin(), names.end(), rest) == names.end()) names.push_back(rest);
        }
        if (!folded.starts_with("SOFTWARE\\")) break;
        folded = "SOFTWARE\\WOW6432NODE\\" + folded.substr(9);
    }
    return names;
}

std::optional<std::string> pathInPrefix(const std::string& prefix, const std::string& windowsPath) {
    if (windowsPath.size() < 2 || windowsPath[1] != ':') return std::nullopt;
    const char drive = static_cast<char>(windowsPath[0] | 0x20);
    if (drive < 'a' || drive > 'z') return std::nullopt;
    std::string path = drive == 'c' ? prefix + "drive_c" : prefix + "dosdevices/" + drive + ":";
    for (size_t i = 2; i < windowsPath.size(); ++i) {
        path += windowsPath[i] == '\\' ? '/' : windowsPath[i];
    }
    return path;
}

}  // namespace zendrik
