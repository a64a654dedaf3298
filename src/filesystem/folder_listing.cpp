#include "filesystem/folder_listing.h"

#include <algorithm>
#include <functional>

#include "filesystem/names.h"

namespace zendrik {
namespace {

// 32 bits of hash: they choose a name's slot and are kept in it, so that growing the index
// needs no name hashed again, and most slots of other names are passed without a look at
// their names.
uint32_t hashOf(std::string_view folded) {
    const uint64_t h = std::hash<std::string_view>{}(folded);
    return static_cast<uint32_t>(h ^ (h >> 32));
}

uint32_t hashIn(uint64_t slot) {
    return static_cast<uint32_t>(slot >> 32);
}

uint32_t entryIn(uint64_t slot) {
    return static_cast<uint32_t>((slot & 0xFFFFFFFFu) - 1);
}

}  // namespace

uint32_t FolderListing::head(std::string_view foldedName, uint32_t hash) const {
    if (index_.empty()) return kNone;
    const size_t mask = index_.size() - 1;
    for (size_t i = hash & mask; index_[i] != 0; i = (i + 1) & mask) {
        if (hashIn(index_[i]) == hash && folded(entries_[entryIn(index_[i])]) == foldedName) {
            return entryIn(index_[i]);
        }
    }
    return kNone;
}

uint32_t FolderListing::named(uint32_t first, std::string_view realName) const {
    for (uint32_t i = first; i != kNone; i = entries_[i].nextTwin) {
        if (name(entries_[i]) == realName) return i;
    }
    return kNone;
}

void FolderListing::addToIndex(uint32_t entry, uint32_t hash) {
    const auto place = [this](uint64_t slot) {
        const size_t mask = index_.size() - 1;
        size_t i = hashIn(slot) & mask;
        while (index_[i] != 0) i = (i + 1) & mask;
        index_[i] = slot;
    };
    if ((indexed_ + 1) * 2 > index_.size()) {  // at most half full, so probes stay short
        std::vector<uint64_t> old = std::move(index_);
        index_.assign(std::max<size_t>(64, old.size() * 2), 0);
        for (const uint64_t slot : old) {
            if (slot != 0) place(slot);
        }
    }
    place((uint64_t{hash} << 32) | (uint64_t{entry} + 1));
    ++indexed_;
}

void FolderListing::insert(std::string_view realName, Kind kind) {
    // The folded name goes into the buffer first, and is taken back when the entry is known.
    const auto at = static_cast<uint32_t>(names_.size());
    appendFoldedName(names_, realName);
    const auto foldedSize = static_cast<uint32_t>(names_.size() - at);
    const std::string_view foldedName(names_.data() + at, foldedSize);  // until names_ grows
    const uint32_t hash = hashOf(foldedName);
    const uint32_t first = head(foldedName, hash);
    if (const uint32_t i = named(first, realName); i != kNone) {
        names_.resize(at);
        entries_[i].kind = kind;
        entries_[i].removed = false;
        return;
    }
    const auto entry = static_cast<uint32_t>(entries_.size());
    entries_.push_back(
        Entry{at, foldedSize, static_cast<uint32_t>(realName.size()), kNone, kind, false});
    names_ += realName;
    if (first == kNone) {
        addToIndex(entry, hash);
    } else {  // a case twin: chained behind the entries of its folded name
        uint32_t last = first;
        while (entries_[last].nextTwin != kNone) last = entries_[last].nextTwin;
        entries_[last].nextTwin = entry;
        if (last == first) twinHeads_.push_back(first);
    }
    const std::string_view stored = folded(entries_[entry]);
    if (const size_t dot = stored.rfind('.'); dot != std::string_view::npos) {
        const std::string_view extension = stored.substr(dot + 1);
        auto bucket = byExtension_.find(extension);
        if (bucket == byExtension_.end()) {
            bucket = byExtension_.emplace(std::string(extension), std::vector<uint32_t>()).first;
        }
        bucket->second.push_back(entry);
    }
}

void FolderListing::erase(std::string_view realName) {
    const std::string foldedName = foldName(realName);
    if (const uint32_t i = named(head(foldedName, hashOf(foldedName)), realName); i != kNone) {
        entries_[i].removed = true;
    }
}

std::optional<std::string> FolderListing::find(std::string_view foldedName, Kind kind) const {
    const Entry* found = nullptr;
    for (uint32_t i = head(foldedName, hashOf(foldedName)); i != kNone; i = entries_[i].nextTwin) {
        const Entry& e = entries_[i];
        if (!e.removed && e.kind == kind && (found == nullptr || name(e) < name(*found))) {
            found = &e;
        }
    }
    if (found == nullptr) return std::nullopt;
    return std::string(name(*found));
}

std::vector<std::string> FolderListing::findAll(std::string_view foldedName, Kind kind) const {
    std::vector<std::string> found;
    for (uint32_t i = head(foldedName, hashOf(foldedName)); i != kNone; i = entries_[i].nextTwin) {
        const Entry& e = entries_[i];
        if (!e.removed && e.kind == kind) found.emplace_back(name(e));
    }
    std::sort(found.begin(), found.end());
    return found;
}

bool FolderListing::contains(std::string_view realName, Kind kind) const {
    const std::string foldedName = foldName(realName);
    const uint32_t i = named(head(foldedName, hashOf(foldedName)), realName);
    return i != kNone && !entries_[i].removed && entries_[i].kind == kind;
}

void FolderListing::sortByListingOrder(std::vector<uint32_t>& numbers) const {
    std::sort(numbers.begin(), numbers.end(), [this](uint32_t a, uint32_t b) {
        const Entry& x = entries_[a];
        const Entry& y = entries_[b];
        const int byFolded = folded(x).compare(folded(y));
        return byFolded != 0 ? byFolded < 0 : name(x) < name(y);
    });
}

std::vector<std::string> FolderListing::files(std::string_view foldedExtension) const {
    std::vector<uint32_t> matches;
    const auto matching = [&](uint32_t i) {
        const Entry& e = entries_[i];
        // "*.<extension>" wants one character of base name at least.
        return !e.removed && e.kind == Kind::File && names_[e.at + e.foldedSize] != '.' &&
               e.foldedSize > foldedExtension.size() + 1 && folded(e).ends_with(foldedExtension) &&
               folded(e)[e.foldedSize - foldedExtension.size() - 1] == '.';
    };
    if (foldedExtension.find('.') == std::string_view::npos) {
        // Such an extension is the text after the last dot: one bucket holds every match.
        const auto bucket = byExtension_.find(foldedExtension);
        if (bucket != byExtension_.end()) {
            std::copy_if(bucket->second.begin(), bucket->second.end(), std::back_inserter(matches),
                         matching);
        }
    } else {
        for (uint32_t i = 0; i < entries_.size(); ++i) {
            if (matching(i)) matches.push_back(i);
        }
    }
    sortByListingOrder(matches);
    std::vector<std::string> result;
    result.reserve(matches.size());
    for (const uint32_t i : matches) result.emplace_back(name(entries_[i]));
    return result;
}

std::vector<std::vector<std::string>> FolderListing::caseTwins() const {
    std::vector<uint32_t> heads = twinHeads_;
    sortByListingOrder(heads);
    std::vector<std::vector<std::string>> groups;
    for (const uint32_t first : heads) {
        std::vector<uint32_t> twins;
        for (uint32_t i = first; i != kNone; i = entries_[i].nextTwin) {
            if (!entries_[i].removed) twins.push_back(i);
        }
        if (twins.size() < 2) continue;
        sortByListingOrder(twins);
        std::vector<std::string> names;
        for (const uint32_t i : twins) names.emplace_back(name(entries_[i]));
        groups.push_back(std::move(names));
    }
    return groups;
}

}  // namespace zendrik
