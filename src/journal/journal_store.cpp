#include "journal/journal_store.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "filesystem/file_system.h"
#include "filesystem/names.h"
#include "filesystem/utf8_paths.h"
#include "journal/journal_record.h"
#include "journal/state_files.h"

namespace zendrik {
namespace {

namespace stdfs = std::filesystem;

// "-<name>-<hash>": what ends the id of every run of the installation `key`.
std::string suffixOf(const std::string& key) {
    std::string trimmed = key;
    while (trimmed.size() > 1 && (trimmed.back() == '/' || trimmed.back() == '\\'))
        trimmed.pop_back();
    const size_t cut = trimmed.find_last_of("/\\");
    std::string name = cut == std::string::npos ? trimmed : trimmed.substr(cut + 1);
    for (char& c : name) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '.' || c == '_';
        if (!plain) c = '_';
    }
    if (name.size() > 40) name.resize(40);
    char hash[17];
    std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(textHash(key)));
    return "-" + name + "-" + hash;
}

// The time of `now` in UTC as "YYYY-MM-DD HH:MM:SS".
std::string timeText(std::chrono::system_clock::time_point now) {
    using namespace std::chrono;
    const auto day = floor<days>(now);
    const year_month_day date(day);
    const long long seconds = duration_cast<std::chrono::seconds>(now - day).count();
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u %02lld:%02lld:%02lld", int(date.year()),
                  unsigned(date.month()), unsigned(date.day()), seconds / 3600, seconds / 60 % 60,
                  seconds % 60);
    return text;
}

JournalClock& clock() {
    static JournalClock clock = [] { return std::chrono::system_clock::now(); };
    return clock;
}

constexpr size_t kSequenceDigits = 10;

// The sequence number of a run id; 0 for an id of the first format, named by the time.
uint64_t sequenceOf(const std::string& id) {
    if (id.size() <= kSequenceDigits || id[kSequenceDigits] != '-') return 0;
    uint64_t value = 0;
    for (size_t i = 0; i < kSequenceDigits; ++i) {
        if (id[i] < '0' || id[i] > '9') return 0;
        value = value * 10 + static_cast<uint64_t>(id[i] - '0');
    }
    return value;
}

}  // namespace

void setJournalClock(JournalClock clock) {
    zendrik::clock() = std::move(clock);
}

const char* const JournalStore::kNoRoot =
    "no folder for the journals: neither XDG_STATE_HOME nor HOME is set";

JournalStore::JournalStore(std::string root) : root_(std::move(root)) {
    if (!root_.empty() && root_.back() != kSeparator) root_ += kSeparator;
}
std::optional<std::string> JournalStore::userRoot() {
#ifdef _WIN32
    if (const char* local = std::getenv("LOCALAPPDATA"); local && *local) {
        return std::string(local) + kSeparator + "Zendrik";
    }
#else
    if (const char* state = std::getenv("XDG_STATE_HOME"); state && *state == '/') {
        return std::string(state) + "/zendrik";
    }
    if (const char* home = std::getenv("HOME"); home && *home) {
        return std::string(home) + "/.local/state/zendrik";
    }
#endif
    return std::nullopt;
}

std::string JournalStore::installationKey(const std::string& folder) {
#ifdef _WIN32
    std::error_code error;
    // The folder's absolute form, letter case folded, as the file system matches names; no
    // file call, which a long path would need in its "\\?\" form that the library's path
    // functions do not take.
    std::string plain = folder;
    if (plain.starts_with("\\\\?\\UNC\\")) {
        plain = "\\\\" + plain.substr(8);
    } else if (plain.starts_with("\\\\?\\")) {
        plain = plain.substr(4);
    }
    stdfs::path real = pathOf(plain);
    if (!real.is_absolute()) real = stdfs::absolute(real, error);
    if (error) throw FsError(FsOp::Exists, folder, error.message());
    std::string key = foldName(utf8Of(real.lexically_normal()));
    while (key.size() > 3 && key.back() == '\\') key.pop_back();
    return key;
#else
    char* resolved = journalCalls().realpath(folder.c_str(), nullptr);
    if (!resolved) throw FsError(FsOp::Exists, folder, std::generic_category().message(errno));
    std::string key(resolved);
    std::free(resolved);
    return key;
#endif
}

std::string JournalStore::now() {
    return timeText(clock()());
}

void JournalStore::requireTrusted() const {
    if (!named()) throw FsError(FsOp::Read, "the journals", kNoRoot);
    requireTrustedFolder(root_);
}

std::string JournalStore::newRun(const std::string& key) {
    if (!named()) throw FsError(FsOp::Write, "the run's journal", kNoRoot);
    makeTrustedFolder(root_);
    const auto runs = runsOf(key);
    uint64_t next = runs.empty() ? 1 : sequenceOf(runs.back()) + 1;
    std::string id;
    for (;;) {  // another run of the installation took the number: the next one
        char number[kSequenceDigits + 1];
        std::snprintf(number, sizeof number, "%010llu", static_cast<unsigned long long>(next));
        id = number + suffixOf(key);
        if (makeNewStateFolder(root_ + id)) break;
        ++next;
    }
    for (size_t i = 0; i + kRunsKept < runs.size() + 1; ++i) {
        // A run still going is pruned another time, and so is one left by a failure here.
        if (!going(runs[i])) removeStateFolder(root_ + runs[i]);
    }
    return id;
}

std::vector<std::string> JournalStore::runsOf(const std::string& key) const {
    std::vector<std::string> runs;
    if (!named()) return runs;
    const std::string suffix = suffixOf(key);
    for (auto& name : stateSubFolders(root_)) {
        if (name.ends_with(suffix)) runs.push_back(std::move(name));
    }
    std::sort(runs.begin(), runs.end(), [](const std::string& a, const std::string& b) {
        const uint64_t x = sequenceOf(a), y = sequenceOf(b);
        return x != y ? x < y : a < b;
    });
    return runs;
}

bool JournalStore::has(const std::string& id) const {
    return named() && !id.empty() && id.find_first_of("/\\") == std::string::npos && id != "." &&
           id != ".." && stateEntryExists(folderOf(id) + kJournalName);
}

bool JournalStore::namesRunOf(const std::string& id, const std::string& key) {
    return id.ends_with(suffixOf(key));
}

std::string JournalStore::folderOf(const std::string& id) const {
    return root_ + id + kSeparator;
}

bool JournalStore::undone(const std::string& id) const {
    return trustedFileExists(folderOf(id) + kUndoneName);
}

void JournalStore::markUndone(const std::string& id, const std::string& restorations) {
    writeStateFile(folderOf(id) + kRestoredName, restorations);
    writeStateFile(folderOf(id) + kUndoneName, "undone\n");
}

std::unique_ptr<AppendFile> JournalStore::createKept(const std::string& id) const {
    return std::make_unique<AppendFile>(folderOf(id) + kKeptName);
}

std::unique_ptr<AppendFile> JournalStore::createJournal(const std::string& id,
                                                        const std::string& key) const {
    auto journal = std::make_unique<AppendFile>(folderOf(id) + kJournalName);
    journal->holdLock();  // an undo leaves the run alone while it lives
    journal->append(encodeHeader(key, now()));
    return journal;
}

bool JournalStore::going(const std::string& id) const {
    return heldByLiveRun(folderOf(id) + kJournalName);
}

JournalContents JournalStore::readJournal(const std::string& id) const {
    requireTrustedFolder(folderOf(id));
    const std::string path = folderOf(id) + kJournalName;
    return decodeJournal(readTrustedFile(path), path);
}

void JournalStore::requireKeptTrusted(const std::string& id) const {
    trustedFileExists(folderOf(id) + kKeptName);
}

std::string JournalStore::keptBytes(const std::string& id, uint64_t offset, uint64_t size) const {
    return readTrustedRange(folderOf(id) + kKeptName, offset, size);
}

std::string JournalStore::stagingPath(const std::string& id, uint64_t change) const {
    return folderOf(id) + "restoring-" + std::to_string(change);
}

std::optional<std::string> JournalStore::undoPlan(const std::string& id) const {
    const std::string path = folderOf(id) + kUndoPlanName;
    if (!stateEntryExists(path)) return std::nullopt;
    return readTrustedFile(path);
}

void JournalStore::rewriteUndoPlan(const std::string& id, const std::string& text) {
    writeStateFile(folderOf(id) + kUndoPlanName, text);
}

std::unique_ptr<AppendFile> JournalStore::openUndoPlan(const std::string& id,
                                                       const std::string& key, bool begun) const {
    const std::string path = folderOf(id) + kUndoPlanName;
    if (begun) return std::make_unique<AppendFile>(path, openTrustedToAppend(path));
    auto plan = std::make_unique<AppendFile>(path);
    plan->append(encodeHeader(key, now()));
    return plan;
}

std::optional<std::string> JournalStore::restorations(const std::string& id) const {
    const std::string path = folderOf(id) + kRestoredName;
    if (!stateEntryExists(path)) return std::nullopt;
    return readTrustedFile(path);
}

}  // namespace zendrik
