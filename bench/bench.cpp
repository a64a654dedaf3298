// zendrik-bench: times zendrik-cli on generated installations against bounds that do only
// the unavoidable work with plain system calls, and prints the rows of one table.
//
// Usage: zendrik-bench ZENDRIK_CLI DATA_FOLDER [RUNS] [N...]
//
// The environment chooses the place measured: BENCH_WORK the folder the runs work in (on the
// file system measured; DATA_FOLDER's by default), BENCH_PLACE its name in the table,
// BENCH_ROWS=exchange only the exchange's rows, BENCH_TABLE_CONTINUES=1 no table header.
// With ZENDRIK_GUI_BENCH set to zendrik-gui-bench, the wizard's repair of the largest N is
// timed as well, against zendrik-cli's.
//
// For each N: the repair of fresh installations (zendrik-cli UT1 UT2 UT3), the exchange
// on repaired ones (zendrik-cli --copy UT1 UT2 UT3, whose repair pass then has nothing to
// move), and the preview of both on fresh ones (zendrik-cli --dry-run --copy UT1 UT2 UT3),
// timed without a bound, its peak memory checked against 64 MB. The bounds of a run do what
// that run's log says was done, once each and nothing else: they list each folder once and
// stat no path, read the ini and each .int file once (leaving access times alone, as the
// tool does), rename each moved file, delete each deleted file, copy each copied file's bytes
// once (the last copy of a target only) and write each ini once. The first bound flushes
// each copy and each ini to the disk one after another, as the tool once did; the floor
// flushes nothing. Each run of zendrik-cli is followed by one of each bound on the same
// fresh copy; the table gives the median and the spread (least to most) of RUNS runs, and the
// ratios of zendrik-cli to each: the median of the runs' ratios, and the worst. The repair is
// held to the first bound. With ZENDRIK_NO_FLUSH naming bench/no_flush.cpp's library, each
// run of the exchange is also followed by zendrik-cli itself with every flush a no-op: the
// same work without flushing, to which the durable exchange is held.
#include <dirent.h>
#include <fcntl.h>
#include <malloc.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "filesystem/folder_listing.h"
#include "filesystem/names.h"
#include "installation_generator.h"

namespace fs = std::filesystem;

namespace {

struct Measured {
    double seconds = 0;
    double megabytes = 0;
};

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

void shell(const std::string& command) {
    if (std::system(command.c_str()) != 0) {
        std::cerr << "failed: " << command << "\n";
        std::exit(1);
    }
}

// Replaces `to` by a copy of `from`, then flushes everything, so each run starts alike.
void freshCopy(const fs::path& from, const fs::path& to) {
    shell("rm -rf '" + to.string() + "' && cp -a '" + from.string() + "' '" + to.string() +
          "' && sync");
}

// Runs zendrik-cli; with `preload`, that library is preloaded into it.
Measured runCli(const std::string& cli, const std::vector<std::string>& args, const fs::path& log,
                const char* preload = nullptr) {
    // A child's peak memory counts the parent's at the fork: give back what the lower bound
    // freed, so that the figure is zendrik-cli's own.
    malloc_trim(0);
    const auto began = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        std::vector<std::string> all = {cli, "--log", log.string()};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (auto& a : all) argv.push_back(a.data());
        argv.push_back(nullptr);
        if (!freopen("/dev/null", "w", stdout)) _exit(126);
        if (preload != nullptr) ::setenv("LD_PRELOAD", preload, 1);
        execv(cli.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::cerr << "zendrik-cli failed\n";
        std::exit(1);
    }
    return {seconds, usage.ru_maxrss / 1024.0};
}

std::vector<std::string> logLines(const fs::path& log) {
    std::ifstream in(log, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// The real path of a path the engine spelled, matching each component below an
// installation folder without regard to case by one listing of its folder, kept in the
// tool's own compact index. No path is stat'ed.
class Resolver {
  public:
    explicit Resolver(const std::vector<fs::path>& installations) {
        for (const auto& ut : installations) cache_[ut.string()] = ut.string();
    }
    std::string real(const std::string& logical) {
        if (auto it = cache_.find(logical); it != cache_.end()) return it->second;
        const fs::path p(logical);
        if (p.parent_path() == p || p.parent_path().empty()) return logical;  // the top
        const std::string parent = real(p.parent_path().string());
        const std::string name = p.filename().string();
        const auto& names = entries(parent);
        const std::string folded = zendrik::foldName(name);
        auto found = names.find(folded, Kind::File);
        if (!found) found = names.find(folded, Kind::Folder);
        return cache_[logical] = parent + "/" + found.value_or(name);
    }
    // The entries of `folder`; none when it is no folder.
    const zendrik::FolderListing& entries(const std::string& folder) {
        auto it = listings_.find(folder);
        if (it != listings_.end()) return it->second;
        auto& names = listings_[folder];
        if (DIR* dir = ::opendir(folder.c_str())) {
            while (const dirent* e = ::readdir(dir)) {
                names.insert(e->d_name, e->d_type == DT_DIR ? Kind::Folder : Kind::File);
            }
            ::closedir(dir);
        }
        return names;
    }

  private:
    using Kind = zendrik::FolderListing::Kind;
    std::unordered_map<std::string, std::string> cache_;
    std::unordered_map<std::string, zendrik::FolderListing> listings_;
};

std::string readAll(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_NOATIME);
    if (fd < 0 && errno == EPERM) fd = ::open(path.c_str(), O_RDONLY);  // not the owner
    std::string data;
    char buffer[1 << 16];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;) data.append(buffer, n);
    ::close(fd);
    return data;
}

// Whether a bound flushes what it writes to the disk.
enum class Flush { OneByOne, None };

void copyBytes(const std::string& from, const std::string& to, Flush flush) {
    const int in = ::open(from.c_str(), O_RDONLY);
    const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    while (::copy_file_range(in, nullptr, out, nullptr, 1 << 30, 0) > 0) {
    }
    // A copy is on the disk before the description file that marks its extension present.
    if (flush == Flush::OneByOne) ::fsync(out);
    ::close(in);
    ::close(out);
}

// The unavoidable work of the run whose log is `lines`, over `installations`.
double lowerBound(const std::vector<fs::path>& installations, const std::vector<std::string>& lines,
                  Flush flush) {
    const auto began = std::chrono::steady_clock::now();
    Resolver resolve(installations);
    std::map<std::string, std::string> inis;
    std::unordered_set<std::string>
        descriptions;  // the real paths of the .int files in System folders
    for (const auto& ut : installations) {
        for (const char* sub : {"system", "textures", "sounds", "maps", "models"}) {
            const std::string folder = resolve.real((ut / sub).string());
            const auto& entries = resolve.entries(folder);
            if (sub == std::string("system")) {
                for (const auto& name : entries.files("INT"))
                    descriptions.insert(folder + "/" + name);
            }
        }
        const std::string ini = resolve.real((ut / "system" / "UnrealTournament.ini").string());
        inis[ini] = readAll(ini);
    }
    std::map<std::string, std::string> copies;  // target -> source, the last copy of a target
    for (const auto& line : lines) {
        const size_t found = line.find("    found ");
        const size_t moved = line.find("  ...moved to ");
        if (found == 0 && moved != std::string::npos) {
            const size_t in = line.find(" in ");
            const std::string name = line.substr(10, in - 10);
            const std::string from = resolve.real(line.substr(in + 4, moved - in - 4) + name);
            const std::string toFolder = line.substr(moved + 14);
            const std::string to =
                resolve.real(toFolder.substr(0, toFolder.size() - 1)) + "/" + name;
            ::rename(from.c_str(), to.c_str());
            if (zendrik::matchesExtension(name, "int")) descriptions.insert(to);
        } else if (found == 0 && line.ends_with(" with no equivalent... deleted")) {
            const std::string path = resolve.real(line.substr(10, line.size() - 10 - 30));
            ::unlink(path.c_str());
            descriptions.erase(path);
        }
        for (size_t at = 0; (at = line.find("  copied ", at)) != std::string::npos;) {
            const size_t to = line.find(" to ", at);
            const size_t end = line.find("    ", to);
            copies[line.substr(to + 4, end - to - 4)] = line.substr(at + 9, to - at - 9);
            at = end;
        }
    }
    for (const auto& path : descriptions) readAll(path);
    for (const auto& [to, from] : copies) {
        const fs::path target(to);
        copyBytes(resolve.real(from),
                  resolve.real(target.parent_path().string()) + "/" + target.filename().string(),
                  flush);
    }
    // Each ini is written once, and flushed to the disk: a tool that edits the only copy of a
    // player's configuration cannot leave that to chance.
    for (const auto& [path, text] : inis) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC);
        if (::write(fd, text.data(), text.size()) < 0) std::cerr << "write failed\n";
        if (flush == Flush::OneByOne) ::fsync(fd);
        ::close(fd);
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
}

// The runs of one figure: their median and spread.
struct Series {
    std::vector<double> values;
    double median() const { return ::median(values); }
    double least() const {
        return values.empty() ? 0 : *std::min_element(values.begin(), values.end());
    }
    double most() const {
        return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
    }
};

struct Row {
    // The ratios: each run's zendrik-cli over its bound flushed one by one, and over its floor.
    // `unflushed`: zendrik-cli again with every flush a no-op, where the exchange is measured.
    Series cli, oneByOne, floor, toOneByOne, toFloor, unflushed, toUnflushed;
    double memory = 0;
};

// "1.234 s (1.200-1.300)"
std::string spread(const Series& s) {
    char text[96];
    std::snprintf(text, sizeof text, "%.3f s (%.3f-%.3f)", s.median(), s.least(), s.most());
    return text;
}

// The most memory a preview may take: it holds paths of the run's copies, never their bytes.
constexpr double kPreviewMemoryLimit = 64.0;

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "Usage: zendrik-bench ZENDRIK_CLI DATA_FOLDER [RUNS] [N...]\n";
        return 2;
    }
    const std::string cli = fs::absolute(argv[1]).string();
    const fs::path data = fs::absolute(argv[2]);
    const int runs = argc > 3 ? std::atoi(argv[3]) : 3;
    std::vector<int> sizes;
    for (int i = 4; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
    if (sizes.empty()) sizes = {2000, 20000};
    const char* workEnv = std::getenv("BENCH_WORK");
    const fs::path work = workEnv != nullptr ? fs::absolute(workEnv) : data / "work";
    const char* placeEnv = std::getenv("BENCH_PLACE");
    const std::string place = placeEnv != nullptr ? placeEnv : "disk";
    const char* rowsEnv = std::getenv("BENCH_ROWS");
    const bool exchangeOnly = rowsEnv != nullptr && std::string_view(rowsEnv) == "exchange";
    // zendrik-cli journals its runs: beside the work, not into the user's state folder.
    ::setenv("XDG_STATE_HOME", (work.parent_path() / "state").c_str(), 1);

    std::map<int, Row> repair, exchange, preview;
    double wizard = 0;
    const char* guiBench = exchangeOnly ? nullptr : std::getenv("ZENDRIK_GUI_BENCH");
    // The library that makes every flush a no-op (bench/no_flush.cpp), for the exchange.
    const char* noFlush = std::getenv("ZENDRIK_NO_FLUSH");
    for (const int n : sizes) {
        const fs::path pristine = data / ("pristine-" + std::to_string(n));
        const fs::path repaired = data / ("repaired-" + std::to_string(n));
        if (!fs::exists(pristine / "UT3")) {
            fs::remove_all(pristine);
            zendrik::bench::GeneratorOptions options;
            options.extensions = n;
            options.seed = 2026;
            const auto set = zendrik::bench::generateInstallations(pristine, options);
            std::cerr << "N = " << n << ": generated " << set.files << " files, "
                      << set.bytes / 1000000 << " MB\n";
        }
        std::vector<std::string> folders;
        std::vector<fs::path> installations;
        for (const char* ut : {"UT1", "UT2", "UT3"}) {
            folders.push_back((work / ut).string());
            installations.push_back(work / ut);
        }
        if (!fs::exists(repaired / "UT3")) {
            freshCopy(pristine, work);
            runCli(cli, folders, work.parent_path() / "log.txt");
            freshCopy(work, repaired);
        }
        // zendrik-cli with `args` on copies of `start`, each run followed by both bounds of
        // what it logged, each on a fresh copy too.
        const auto measure = [&](const fs::path& start, const std::vector<std::string>& args,
                                 const fs::path& log, const char* noFlush) {
            Row row;
            std::vector<double> memory;
            for (int r = 0; r < runs; ++r) {
                freshCopy(start, work);
                const Measured m = runCli(cli, args, log);
                row.cli.values.push_back(m.seconds);
                memory.push_back(m.megabytes);
                const auto lines = logLines(log);
                freshCopy(start, work);
                row.oneByOne.values.push_back(lowerBound(installations, lines, Flush::OneByOne));
                freshCopy(start, work);
                row.floor.values.push_back(lowerBound(installations, lines, Flush::None));
                row.toOneByOne.values.push_back(m.seconds / row.oneByOne.values.back());
                row.toFloor.values.push_back(m.seconds / row.floor.values.back());
                if (noFlush != nullptr) {
                    freshCopy(start, work);
                    const fs::path unflushedLog = log.string() + ".unflushed";
                    row.unflushed.values.push_back(
                        runCli(cli, args, unflushedLog, noFlush).seconds);
                    row.toUnflushed.values.push_back(m.seconds / row.unflushed.values.back());
                }
                std::cerr << "N = " << n << ", " << args.front() << ", run " << r + 1 << ": "
                          << m.seconds << " s, bounds " << row.oneByOne.values.back() << " s and "
                          << row.floor.values.back() << " s\n";
            }
            row.memory = ::median(memory);
            return row;
        };
        const fs::path logs = work.parent_path();
        if (!exchangeOnly) {
            repair[n] = measure(pristine, folders, logs / "repair-log.txt", nullptr);
        }
        std::vector<std::string> copyArgs = {"--copy"};
        copyArgs.insert(copyArgs.end(), folders.begin(), folders.end());
        exchange[n] = measure(repaired, copyArgs, logs / "exchange-log.txt", noFlush);
        if (!exchangeOnly) {
            std::vector<std::string> previewArgs = {"--dry-run", "--copy"};
            previewArgs.insert(previewArgs.end(), folders.begin(), folders.end());
            std::vector<double> memory;
            for (int r = 0; r < runs; ++r) {
                freshCopy(pristine, work);
                const Measured m = runCli(cli, previewArgs, logs / "preview-log.txt");
                preview[n].cli.values.push_back(m.seconds);
                memory.push_back(m.megabytes);
            }
            preview[n].memory = ::median(memory);
        }
        if (guiBench != nullptr && n == sizes.back()) {
            std::vector<double> times;
            for (int r = 0; r < runs; ++r) {
                freshCopy(pristine, work);
                std::string command = std::string(guiBench);
                for (const auto& f : folders) command += " '" + f + "'";
                FILE* out = popen(command.c_str(), "r");
                double seconds = 0;
                if (out == nullptr || std::fscanf(out, "%lf", &seconds) != 1 || pclose(out) != 0) {
                    std::cerr << "zendrik-gui-bench failed\n";
                    return 1;
                }
                times.push_back(seconds);
            }
            wizard = ::median(times);
        }
        fs::remove_all(work);
    }

    if (std::getenv("BENCH_TABLE_CONTINUES") == nullptr) {
        std::printf(
            "| N | place | run | zendrik-cli | bound, flushed one by one | floor, no flush "
            "| ratio to the bound (worst) | ratio to the floor (worst) | zendrik-cli, no flush "
            "| ratio to it (worst) | peak memory |\n");
        std::printf("|---|---|---|---|---|---|---|---|---|---|---|\n");
    }
    for (const int n : sizes) {
        for (const auto& [name, rows] :
             {std::pair{"repair", &repair}, std::pair{"exchange", &exchange}}) {
            if (!rows->contains(n)) continue;
            const Row& row = (*rows)[n];
            std::string unflushed = "- | -";
            if (!row.unflushed.values.empty()) {
                char ratio[48];
                std::snprintf(ratio, sizeof ratio, " | %.2f (%.2f)", row.toUnflushed.median(),
                              row.toUnflushed.most());
                unflushed = spread(row.unflushed) + ratio;
            }
            std::printf(
                "| %d | %s | %s | %s | %s | %s | %.2f (%.2f) | %.2f (%.2f) | %s | %.1f MB |\n", n,
                place.c_str(), name, spread(row.cli).c_str(), spread(row.oneByOne).c_str(),
                spread(row.floor).c_str(), row.toOneByOne.median(), row.toOneByOne.most(),
                row.toFloor.median(), row.toFloor.most(), unflushed.c_str(), row.memory);
        }
        if (preview.contains(n)) {
            std::printf("| %d | %s | preview | %s | - | - | - | - | - | - | %.1f MB |\n", n,
                        place.c_str(), spread(preview[n].cli).c_str(), preview[n].memory);
        }
    }
    if (sizes.size() >= 2 && !exchangeOnly) {
        const int a = sizes.front(), b = sizes.back();
        std::printf("\nGrowth from N = %d to N = %d: repair %.1f times, exchange %.1f times.\n", a,
                    b, repair[b].cli.median() / repair[a].cli.median(),
                    exchange[b].cli.median() / exchange[a].cli.median());
    }
    if (wizard > 0) {
        std::printf("The wizard's repair at N = %d: %.2f s, %.2f times zendrik-cli's.\n",
                    sizes.back(), wizard, wizard / repair[sizes.back()].cli.median());
    }
    bool withinLimit = true;
    for (const int n : sizes) {
        if (!preview.contains(n)) continue;
        const bool within = preview[n].memory < kPreviewMemoryLimit;
        std::printf("The preview's peak memory at N = %d: %.1f MB, %s %.0f MB.\n", n,
                    preview[n].memory, within ? "under" : "OVER", kPreviewMemoryLimit);
        withinLimit = withinLimit && within;
    }
    return withinLimit ? 0 : 1;
}
