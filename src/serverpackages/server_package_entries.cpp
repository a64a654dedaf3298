#include "serverpackages/server_package_entries.h"

#include "serverpackages/ini_text.h"

namespace zendrik {

ServerPackageEntries::ServerPackageEntries(RunContext& ctx, std::span<GameIni> inis, Flush flush)
    : ctx_(ctx), inis_(inis), flush_(flush), writtenUpTo_(inis.size(), 0) {}

ServerPackageEntries::Entry ServerPackageEntries::add(const std::string& name) {
    Entry entry{name, added_++, {}};
    for (auto& ini : inis_) {
        if (!ini.entries.hasInsertionPoint()) {
            entry.places.push_back(Place::NoPlace);
            continue;
        }
        ini.entries.add(name);
        entry.places.push_back(Place::Added);
    }
    return entry;
}

void ServerPackageEntries::write() {
    lockedNow_.clear();
    for (size_t k = 0; k < inis_.size(); ++k) {
        GameIni& ini = inis_[k];
        if (!ini.locked && !ini.entries.unwritten().empty() && ctx_.fs.writeProtected(ini.path)) {
            ini.locked = true;
            lockedNow_.push_back(k);
            ctx_.leftAlone.push_back(ctx_.fs.spelledOnDisk(ini.path) + " is write-protected");
        }
    }
    if (flush_ == Flush::CopiesFirst) ctx_.fs.syncDeferredWrites();
    for (size_t k = 0; k < inis_.size(); ++k) {
        if (inis_[k].locked) continue;
        inis_[k].entries.write(ctx_.fs, inis_[k].path);
        writtenUpTo_[k] = added_;
    }
}

std::string ServerPackageEntries::marks(const Entry& entry) const {
    std::string marks;
    for (size_t k = 0; k < entry.places.size(); ++k) {
        if (entry.places[k] != Place::Added || entry.number >= writtenUpTo_[k]) continue;
        // The first ini's mark is the one a 1999 installation has always shown.
        marks += k == 0 ? "  ...entry added" : "  ...entry added to " + inis_[k].label;
    }
    return marks;
}

void ServerPackageEntries::logNotAdded(const Entry& entry) {
    const std::string key(kServerPackagesKey);
    for (size_t k = 0; k < entry.places.size(); ++k) {
        if (entry.places[k] != Place::NoPlace) continue;
        ctx_.log.addLine("    " + key + entry.name + " not added: no line of " +
                         ctx_.fs.spelledOnDisk(inis_[k].path) + " begins with " + key);
    }
}

void ServerPackageEntries::logWriteProtected() {
    for (const size_t k : lockedNow_) {
        ctx_.log.addLine("    " + ctx_.fs.spelledOnDisk(inis_[k].path) +
                         " is write-protected: left as it is, without the entries above");
    }
    lockedNow_.clear();
}

}  // namespace zendrik
