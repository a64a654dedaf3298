#include "journal/journal_store.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "filesystem/file_system.h"
#include "filesystem/names.h"
#include "journal/journal_record.h"

namespace zendrik {
namespace {

namespace stdfs = std::filesystem;

stdfs::path pathOf(const std::string& utf8) {
    return stdfs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string utf8Of(const stdfs::path& path) {
    const auto text = path.u8string();
    return std::string(text.begin(), text.end());
}

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

// The time of `now` in UTC as "YYYYMMDD-HHMMSS-microseconds": ids sort as their runs began.
std::string timeName(std::chrono::system_clock::time_point now) {
    using namespace std::chrono;
    const auto day = floor<days>(now);
    const year_month_day date(day);
    const long long micros = duration_cast<microseconds>(now - day).count();
    const long long seconds = micros / 1000000;
    char text[40];
    std::snprintf(text, sizeof text, "%04d%02u%02u-%02lld%02lld%02lld-%06lld", int(date.year()),
                  unsigned(date.month()), unsigned(date.day()), seconds / 3600, seconds / 60 % 60,
                  seconds % 60, micros % 1000000);
    return text;
}

[[noreturn]] void fail(const std::string& path, const std::error_code& error) {
    throw FsError(FsOp::Write, path, error.message());
}

}  // namespace

JournalStore::JournalStore(std::string root) : root_(std::move(root)) {
    if (root_.empty() || root_.back() != kSeparator) root_ += kSeparator;
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
    std::error_code error;
#ifdef _WIN32
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
    const stdfs::path real = stdfs::canonical(pathOf(folder), error);
    if (error) throw FsError(FsOp::Exists, folder, error.message());
    return utf8Of(real);
#endif
}

std::string JournalStore::newRun(const std::string& key) {
    if (root_.size() == 1) {
        throw FsError(FsOp::Write, "the run's journal",
                      "no folder for it: neither XDG_STATE_HOME nor HOME is set");
    }
    std::error_code error;
    stdfs::create_directories(pathOf(root_), error);
    if (error) fail(root_, error);
    const std::string suffix = suffixOf(key);
    std::string id;
    for (;;) {  // two runs in one microsecond: the second takes the next
        id = timeName(std::chrono::system_clock::now()) + suffix;
        if (stdfs::create_directory(pathOf(root_ + id), error)) break;
        if (error) fail(root_ + id, error);
    }
    auto runs = runsOf(key);
    for (size_t i = 0; i + kRunsKept < runs.size(); ++i) {
        stdfs::remove_all(pathOf(root_ + runs[i]), error);  // a run left is pruned next time
    }
    return id;
}

std::vector<std::string> JournalStore::runsOf(const std::string& key) const {
    const std::string suffix = suffixOf(key);
    std::vector<std::string> runs;
    std::error_code error;
    for (stdfs::directory_iterator it(pathOf(root_), error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = utf8Of(it->path().filename());
        if (name.ends_with(suffix) && it->is_directory(error)) runs.push_back(name);
    }
    std::sort(runs.begin(), runs.end());
    return runs;
}

bool JournalStore::has(const std::string& id) const {
    std::error_code error;
    return !id.empty() && id.find_first_of("/\\") == std::string::npos && id != "." && id != ".." &&
           stdfs::is_regular_file(pathOf(folderOf(id) + kJournalName), error);
}

std::string JournalStore::folderOf(const std::string& id) const {
    return root_ + id + kSeparator;
}

bool JournalStore::undone(const std::string& id) const {
    std::error_code error;
    return stdfs::exists(pathOf(folderOf(id) + "undone"), error);
}

void JournalStore::markUndone(const std::string& id) {
    std::ofstream out(pathOf(folderOf(id) + "undone"), std::ios::binary);
    out << "undone\n";
    out.close();
    if (!out) throw FsError(FsOp::Write, folderOf(id) + "undone", "could not write");
}

}  // namespace zendrik
