#include "wizard/folder_undo.h"

#include <exception>
#include <map>
#include <set>

#include "filesystem/file_system.h"
#include "journal/journal_store.h"
#include "journal/undo_installation.h"
#include "log/log.h"
#include "wizard/folder_list.h"
#include "wizard/page_flow.h"

namespace zendrik {
namespace {

// "1 file" or "3 files" for the first count named, the bare number for those after it.
std::string counted(size_t count, bool first, const char* one, const char* many) {
    std::string text = std::to_string(count);
    if (first) text += std::string(" ") + (count == 1 ? one : many);
    return text;
}

}  // namespace

std::string changesOf(const std::vector<JournalRecord>& records) {
    std::set<uint64_t> voided;
    for (const JournalRecord& record : records) {
        if (record.kind == RecordKind::Void) voided.insert(record.change);
    }
    std::map<RecordKind, size_t> made;
    for (const JournalRecord& record : records) {
        if (!voided.contains(record.change)) ++made[record.kind];
    }
    std::vector<std::string> parts;
    const auto file = [&](const char* verb, size_t count) {
        if (count > 0) parts.push_back(verb + counted(count, parts.empty(), "file", "files"));
    };
    file("moved ", made[RecordKind::Move]);
    file("copied ", made[RecordKind::Copy]);
    file("deleted ", made[RecordKind::Remove]);
    if (const size_t rewritten = made[RecordKind::Write]; rewritten > 0)
        parts.push_back("rewrote " + std::to_string(rewritten) +
                        (rewritten == 1 ? " ini" : " inis"));
    if (parts.empty()) return "changed nothing";
    std::string text = parts.front();
    for (size_t i = 1; i < parts.size(); ++i)
        text += (i + 1 == parts.size() ? " and " : ", ") + parts[i];
    return text;
}

std::vector<UndoOffer> FolderUndo::offers() {
    std::vector<UndoOffer> offers;
    if (flow_.page() != Page::Folders) return offers;
    const JournalStore store(JournalStore::userRoot().value_or(""));
    for (const std::string& folder : folders_.selectedInstallations()) {
        UndoOffer offer{folder, std::nullopt, {}};
        if (!store.named()) {
            offer.text = folder + ": " + JournalStore::kNoRoot + "; nothing to undo.";
            offers.push_back(offer);
            continue;
        }
        try {
            fs_.nameExactly(folder);
            const auto runs = store.runsOf(JournalStore::installationKey(folder));
            for (auto run = runs.rbegin(); run != runs.rend() && !offer.run; ++run) {
                if (store.has(*run) && !store.undone(*run)) offer.run = *run;
            }
            if (!offer.run) {
                offer.text = "No run of " + folder + " to undo.";
            } else {
                const JournalContents journal = readJournal(store, *offer.run);
                const std::string when = journal.started.empty()
                                             ? "at a time its journal does not name"
                                             : "of " + journal.started + " (UTC)";
                offer.text = "Undo the last run on " + folder + "?\n\nThe run " + *offer.run + " " +
                             when + " " + changesOf(journal.records) +
                             ". Its changes are taken back; what " +
                             "changed since is left as it is.";
            }
        } catch (const std::exception& e) {
            // A journal that does not read back, or may not be trusted: nothing to offer.
            offer.run.reset();
            offer.text = folder + ": " + e.what() + "; nothing was undone.";
        }
        offers.push_back(offer);
    }
    return offers;
}

std::string FolderUndo::undo(const UndoOffer& offer) {
    if (!offer.run || flow_.page() != Page::Folders) return {};
    JournalStore store(JournalStore::userRoot().value_or(""));
    Log log;
    fs_.nameExactly(offer.folder);
    // The run the player confirmed, not whatever run is the last by now.
    undoInstallation(fs_, log, store, offer.folder, offer.run, false);
    std::vector<std::string> lines = log.lines();
    while (!lines.empty() && lines.back().empty()) lines.pop_back();
    std::string text;
    for (const std::string& line : lines) text += (text.empty() ? "" : "\n") + line;
    return text;
}

}  // namespace zendrik
