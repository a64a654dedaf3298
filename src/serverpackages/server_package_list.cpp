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
    : ServerPackageList(IniFile(std::move(utini))) {}

ServerPackageList::ServerPackageList(IniFile ini)
    : original_(std::move(ini).text()),
      insertionPoint_(serverPackagesInsertionPoint(original_).value_or(std::string::npos)),
      bytes_(std::move(ini).bytes()),
      byteInsertionPoint_(serverPackagesInsertionPoint(bytes_).value_or(std::string::npos)),
      lineEnd_(lineEndOf(bytes_)) {
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

std::string ServerPackageList::withEntries(const std::string& base, size_t at,
                                           std::string_view lineEnd) const {
    if (added_.empty()) return base;
    size_t size = base.size();
    for (const auto& name : added_)
        size += kServerPackagesKey.size() + name.size() + lineEnd.size();
    std::string text;
    text.reserve(size);
    text.append(base, 0, at);
    for (auto it = added_.rbegin(); it != added_.rend(); ++it) {
        text.append(kServerPackagesKey);
        text.append(*it);
        text.append(lineEnd);
    }
    text.append(base, at);
    return text;
}

std::string ServerPackageList::text() const {
    return withEntries(original_, insertionPoint_, "\r\n");
}

std::string ServerPackageList::bytes() const {
    return withEntries(bytes_, byteInsertionPoint_, lineEnd_);
}

void ServerPackageList::write(FileSystem& fs, const std::string& path) {
    if (unwritten_.empty()) return;
    fs.writeFile(path, bytes(), FileSystem::Sync::Deferred);
    unwritten_.clear();
}

}  // namespace zendrik
