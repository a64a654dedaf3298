#include "repair/installation_folder.h"

#include <algorithm>
#include <filesystem>

#include "filesystem/names.h"
#include "filesystem/utf8_paths.h"

namespace zendrik {
namespace {

// The end of the `count`-th separator of `path` from `from` on, past it; npos if it lacks one.
size_t afterSeparators(const std::string& path, size_t from, int count) {
    for (; count > 0; --count) {
        from = path.find(kSeparator, from);
        if (from == std::string::npos) return from;
        ++from;
    }
    return from;
}

// Windows: the length of a root that std::filesystem would take apart (it reads "\\" as "\"):
// "\\?\C:\", "\\.\C:\", "\\?\UNC\server\share\" or "\\server\share\", the closing separator
// included; the whole path when it ends inside one; 0 for any other path.
size_t longOrNetworkRoot(const std::string& path) {
    if constexpr (kSeparator != '\\') {
        return 0;
    } else {
        if (!path.starts_with("\\\\")) return 0;
        size_t end = std::string::npos;
        if (path.starts_with("\\\\?\\UNC\\") || path.starts_with("\\\\.\\UNC\\")) {
            end = afterSeparators(path, 8, 2);  // server and share
        } else if (path.starts_with("\\\\?\\") || path.starts_with("\\\\.\\")) {
            end = afterSeparators(path, 4, 1);  // drive or volume
        } else {
            end = afterSeparators(path, 2, 2);  // server and share
        }
        return std::min(end, path.size());
    }
}

// The folder `levels` levels above the file `rest` below the root `root`, or none when it
// would lie above the root.
std::optional<std::string> folderBelowRoot(const std::string& root, const std::string& rest,
                                           int levels) {
    std::filesystem::path path = pathOf(rest).lexically_normal();
    for (const auto& part : path) {
        if (part == "..") return std::nullopt;
    }
    for (; levels > 0; --levels) {
        if (path.empty()) return std::nullopt;
        path = path.parent_path();
    }
    std::string folder = root + utf8Of(path);
    if (folder.back() != kSeparator) folder += kSeparator;
    return folder;
}

}  // namespace

bool isGameProgram(std::string_view name) {
    return std::any_of(kGamePrograms.begin(), kGamePrograms.end(),
                       [&](std::string_view program) { return sameName(name, program); });
}

std::optional<std::string> installationFolderOfExecutable(const std::string& exe) {
    namespace fs = std::filesystem;
    if (const size_t root = longOrNetworkRoot(exe); root > 0) {
        // The holding folder and the installation above it lie below the root.
        return folderBelowRoot(exe.substr(0, root), exe.substr(root), 2);
    }
    fs::path path = pathOf(exe).lexically_normal();
    const bool climbs =
        std::any_of(path.begin(), path.end(), [](const fs::path& part) { return part == ".."; });
    if (path.parent_path().empty() || climbs) {
        std::error_code error;
        path = fs::absolute(path, error).lexically_normal();
        if (error) return std::nullopt;
    }
    const fs::path holder = path.parent_path();
    if (holder.empty() || holder == holder.root_path()) return std::nullopt;
    const fs::path installation = holder.parent_path();
    std::string folder = installation.empty() ? std::string(".") : utf8Of(installation);
    if (folder.back() != kSeparator) folder += kSeparator;
    return folder;
}

}  // namespace zendrik
