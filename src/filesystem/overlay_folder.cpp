#include "filesystem/overlay_folder.h"

#include <algorithm>
#include <utility>

#include "filesystem/names.h"

namespace zendrik {

const NameChange* OverlayFolder::find(const std::string& folded) const {
    const auto it = changes_.find(folded);
    return it == changes_.end() ? nullptr : &it->second;
}

void OverlayFolder::remove(const std::string& folded, bool real) {
    auto [it, added] = changes_.try_emplace(folded);
    if (added) it->second.hidesReal = real;
    it->second.added.reset();
}

void OverlayFolder::add(const std::string& folded, AddedFile file, bool realExisted) {
    auto [it, added] = changes_.try_emplace(folded);
    if (added) it->second.hidesReal = realExisted;
    it->second.added = std::move(file);
}

std::vector<std::string> OverlayFolder::merge(std::vector<std::string> real,
                                              std::string_view extension) const {
    // The changes that this mask sees; a folded key matches the mask as its name does.
    const std::string foldedExtension = foldName(extension);
    std::vector<std::pair<std::string_view, std::string_view>> adds;  // folded, name
    bool hides = false;
    for (const auto& [folded, change] : changes_) {
        if (!matchesExtension(folded, foldedExtension)) continue;
        hides = hides || change.hidesReal;
        // Hidden files never match a mask.
        if (change.added && !change.added->name.starts_with('.')) {
            adds.emplace_back(folded, change.added->name);
        }
    }
    if (adds.empty() && !hides) return real;
    std::sort(adds.begin(), adds.end());
    std::vector<std::string> merged;
    merged.reserve(real.size() + adds.size());
    size_t next = 0;
    for (auto& name : real) {
        const std::string folded = foldName(name);
        if (const NameChange* change = find(folded); change && change->hidesReal) continue;
        // NTFS order: folded name first, then the real name.
        while (next < adds.size() &&
               std::pair(adds[next].first, adds[next].second) <
                   std::pair(std::string_view(folded), std::string_view(name))) {
            merged.emplace_back(adds[next++].second);
        }
        merged.push_back(std::move(name));
    }
    for (; next < adds.size(); ++next) merged.emplace_back(adds[next].second);
    return merged;
}

}  // namespace zendrik
