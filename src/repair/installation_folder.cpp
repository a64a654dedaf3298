#include "repair/installation_folder.h"

#include <algorithm>
#include <filesystem>

#include "filesystem/names.h"

namespace zendrik {

std::optional<std::string> installationFolderOfExecutable(const std::string& exe) {
    namespace fs = std::filesystem;
    fs::path path = fs::path(exe).lexically_normal();
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
    std::string folder = installation.empty() ? std::string(".") : installation.string();
    if (folder.back() != kSeparator) folder += kSeparator;
    return folder;
}

}  // namespace zendrik
