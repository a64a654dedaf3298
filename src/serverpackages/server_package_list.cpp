#include "serverpackages/server_package_list.h"

#include "filesystem/names.h"
#include "serverpackages/ini_text.h"

namespace zendrik {
namespace {

std::string lowered(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = asciiLower(c);
    return out;
}

}  // namespace

ServerPackageList::ServerPackageList(std::string utini)
    : original_(std::move(utini)),
      insertionPoint_(serverPackagesInsertionPoint(original_).value_or(std::string::npos)) {
    anyIniLine(original_, [&](std::string_view line, size_t) {
        if (const size_t eq = line.find('='); eq != std::string_view::npos) {
            values_.insert(lowered(line.substr(eq + 1)));
        }
        return false;
    });
}

bool ServerPackageList::SearchUTiniForServerPackage(std::string_view ExtensionName) const {
    return values_.count(lowered(ExtensionName)) > 0;
}

void ServerPackageList::add(std::string_view ExtensionName) {
    added_.emplace_back(ExtensionName);
    unwritten_.emplace_back(ExtensionName);
    values_.insert(lowered(ExtensionName));
}

std::string ServerPackageList::text() const {
    if (added_.empty()) return original_;
    size_t size = original_.size();
    for (const auto& name : added_) size += kServerPackagesKey.size() + name.size() + 2;
    std::string text;
    text.reserve(size);
    text.append(original_, 0, insertionPoint_);
    for (auto it = added_.rbegin(); it != added_.rend(); ++it) {
        text.append(kServerPackagesKey);
        text.append(*it);
        text.append("\r\n");
    }
    text.append(original_, insertionPoint_);
    return text;
}

void ServerPackageList::write(FileSystem& fs, const std::string& path) {
    if (unwritten_.empty()) return;
    fs.writeFile(path, text(), FileSystem::Sync::Deferred);
    unwritten_.clear();
}

}  // namespace zendrik
