// Kills zendrik-cli with SIGKILL at random moments of a repair and exchange over three
// generated installations, and checks after each kill that nothing was lost or torn: every
// package file is still in its installation, whole; every copy is whole; every ini file holds
// its old lines in order with only whole ServerPackages= lines added. A last, uninterrupted
// run then removes the temporary files the killed runs left, naming each in its log. After
// each trial, --undo (once for each run made) must leave every installation byte for byte as
// it was generated.
//
// Usage: zendrik-crash-trials ZENDRIK_CLI [TRIALS [SEED]]
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "filesystem/installation_lock.h"
#include "filesystem/names.h"
#include "filesystem/temporary_files.h"
#include "installation_generator.h"

namespace fs = std::filesystem;
using zendrik::foldName;

namespace {

std::string slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start) + "<no line end>");
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// Every file below `root` by its relative path, with a hash of its bytes.
std::map<std::string, size_t> filesBelow(const fs::path& root) {
    std::map<std::string, size_t> files;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
        if (e.is_regular_file()) {
            files[fs::relative(e.path(), root).string()] =
                std::hash<std::string>{}(slurp(e.path()));
        }
    }
    return files;
}

// Runs the CLI over the three installations, its output into `output`; returns its pid.
pid_t start(const std::string& cli, const std::vector<fs::path>& uts, const fs::path& output,
            const char* option = "--copy") {
    const pid_t pid = fork();
    if (pid == 0) {
        std::vector<std::string> args = {cli, option};
        for (const auto& ut : uts) args.push_back(ut.string());
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        if (!freopen(output.c_str(), "w", stdout) || !freopen("/dev/null", "w", stderr)) _exit(126);
        execv(cli.c_str(), argv.data());
        _exit(127);
    }
    return pid;
}

int waitFor(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    return status;
}

struct Pristine {
    std::map<std::string, size_t> contents;            // folded file name -> hash of its bytes
    std::vector<std::map<std::string, size_t>> files;  // per installation: folded name -> hash
    std::vector<std::string> inis;
};

// Checks the invariants in `uts` against the pristine state; returns the problems found and
// counts the temporary files and installation locks present.
std::vector<std::string> check(const std::vector<fs::path>& uts, const Pristine& pristine,
                               const std::set<std::string>& mayBeDeleted, int& temporaries,
                               int& locks) {
    std::vector<std::string> problems;
    const std::hash<std::string> hash;
    for (size_t i = 0; i < uts.size(); ++i) {
        std::map<std::string, size_t> present;
        fs::path ini;
        for (const auto& e : fs::recursive_directory_iterator(uts[i])) {
            if (!e.is_regular_file()) continue;
            const std::string name = e.path().filename().string();
            if (zendrik::isTemporaryName(name)) {
                ++temporaries;
                continue;
            }
            if (name == zendrik::kLockFileName && e.path().parent_path() == uts[i]) {
                ++locks;  // a killed run's: the next run takes it over
                continue;
            }
            if (foldName(name) == foldName("UnrealTournament.ini")) {
                ini = e.path();
                continue;
            }
            const auto known = pristine.contents.find(foldName(name));
            const size_t h = hash(slurp(e.path()));
            if (known == pristine.contents.end()) {
                problems.push_back("unknown file " + e.path().string());
            } else if (known->second != h) {
                problems.push_back("torn or wrong contents: " + e.path().string());
            }
            present[foldName(name)] = h;
        }
        for (const auto& [name, h] : pristine.files[i]) {
            if (present.count(name) == 0 && mayBeDeleted.count(name) == 0) {
                problems.push_back("lost " + name + " from " + uts[i].string());
            }
        }
        // The old lines, in order, with only whole entries for known packages added.
        const auto now = linesOf(slurp(ini));
        const auto old = linesOf(pristine.inis[i]);
        size_t k = 0;
        for (const auto& line : now) {
            if (k < old.size() && line == old[k]) {
                ++k;
            } else if (!line.starts_with("ServerPackages=") ||
                       pristine.contents.count(foldName(line.substr(15) + ".int")) == 0) {
                problems.push_back("ini of " + uts[i].string() + " has a strange line: " + line);
            }
        }
        if (k != old.size()) problems.push_back("ini of " + uts[i].string() + " lost lines");
    }
    return problems;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "Usage: zendrik-crash-trials ZENDRIK_CLI [TRIALS [SEED]]\n";
        return 2;
    }
    const std::string cli = fs::absolute(argv[1]).string();
    const int trials = argc > 2 ? std::atoi(argv[2]) : 40;
    const uint64_t seed = argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 7;
    // In memory where the machine offers it: a kill tests the program, not the disk, and the
    // runs' flushes to the disk would cost most of the time.
    const fs::path base =
        fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    const fs::path root = base / ("zendrik-crash-" + std::to_string(getpid()));
    fs::remove_all(root);
    fs::create_directories(root);
    // The runs' journals go with the trials' folders.
    ::setenv("XDG_STATE_HOME", (root / "state").c_str(), 1);

    zendrik::bench::GeneratorOptions options;
    options.seed = seed;
    options.extensions = 600;
    options.sizeScale = 0.05;
    const auto set = zendrik::bench::generateInstallations(root / "pristine", options);

    Pristine pristine;
    const std::hash<std::string> hash;
    for (const auto& ut : set.installations) {
        pristine.files.emplace_back();
        for (const auto& e : fs::recursive_directory_iterator(ut)) {
            if (!e.is_regular_file()) continue;
            const std::string name = e.path().filename().string();
            if (foldName(name) == foldName("UnrealTournament.ini")) {
                pristine.inis.push_back(slurp(e.path()));
                continue;
            }
            const size_t h = hash(slurp(e.path()));
            pristine.contents[foldName(name)] = h;
            pristine.files.back()[foldName(name)] = h;
        }
    }

    const auto workOf = [&](const fs::path& folder) {
        std::vector<fs::path> uts;
        for (const auto& ut : set.installations) uts.push_back(folder / ut.filename());
        return uts;
    };
    const auto fresh = [&](const fs::path& folder) {
        fs::remove_all(folder);
        fs::copy(root / "pristine", folder, fs::copy_options::recursive);
        return workOf(folder);
    };

    // An uninterrupted run: how long a run takes, and which description files it deletes.
    const auto fullUts = fresh(root / "full");
    const auto began = std::chrono::steady_clock::now();
    if (waitFor(start(cli, fullUts, root / "full.log")) != 0) {
        std::cerr << "the uninterrupted run failed\n";
        return 1;
    }
    const auto span = std::chrono::steady_clock::now() - began;
    std::set<std::string> mayBeDeleted;
    int ignored = 0;
    for (const auto& [name, h] : pristine.contents) {
        bool somewhere = false;
        for (const auto& ut : fullUts) {
            for (const auto& e : fs::recursive_directory_iterator(ut)) {
                somewhere |= foldName(e.path().filename().string()) == name;
            }
        }
        if (!somewhere) mayBeDeleted.insert(name);
    }
    for (const auto& name : mayBeDeleted) {
        if (!name.ends_with(".INT")) {
            std::cerr << "the uninterrupted run lost " << name << "\n";
            return 1;
        }
    }
    int locksLeft = 0;
    if (auto problems = check(fullUts, pristine, mayBeDeleted, ignored, locksLeft);
        !problems.empty() || locksLeft != 0) {
        std::cerr << "after the uninterrupted run: "
                  << (problems.empty() ? "a lock was left" : problems.front()) << "\n";
        return 1;
    }

    std::mt19937_64 random(seed);
    std::uniform_int_distribution<long> moment(
        0, std::chrono::duration_cast<std::chrono::microseconds>(span).count());
    const auto generated = filesBelow(root / "pristine");
    int failed = 0, killed = 0, temporaries = 0;
    std::vector<fs::path> uts;
    for (int t = 0; t < trials; ++t) {
        uts = fresh(root / "trial");
        const pid_t pid = start(cli, uts, root / "trial.log");
        std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
        kill(pid, SIGKILL);
        const int status = waitFor(pid);
        if (WIFSIGNALED(status)) ++killed;
        int found = 0, locks = 0;
        const auto problems = check(uts, pristine, mayBeDeleted, found, locks);
        temporaries += found;
        if (!problems.empty()) {
            ++failed;
            std::cerr << "trial " << t << ": " << problems.front() << " (" << problems.size()
                      << " problems)\n";
        }
        const bool again = t + 1 == trials || found > 0 || locks > 0;
        if (again) {
            // Finish the killed run's work: its leftovers go, each named in the log.
            const int status2 = waitFor(start(cli, uts, root / "again.log"));
            const std::string log = slurp(root / "again.log");
            size_t named = 0;
            for (size_t at = 0;
                 (at = log.find("left behind by an interrupted run", at)) != std::string::npos;
                 ++at) {
                ++named;
            }
            int left = 0, locksAfter = 0;
            const auto after = check(uts, pristine, mayBeDeleted, left, locksAfter);
            if (status2 != 0 || static_cast<int>(named) != found || left != 0 || !after.empty() ||
                locksAfter != 0) {
                ++failed;
                std::cerr << "trial " << t << ": the next run named " << named << " of " << found
                          << " leftovers and left " << left << "\n";
            }
        }
        // Take back the runs made, the last first: as generated. A run killed before it made
        // its journal of an installation changed nothing there, and leaves no run to undo.
        bool undone = true;
        for (int k = again ? 2 : 1; k > 0; --k) {
            const int undoStatus = waitFor(start(cli, uts, root / "undo.log", "--undo"));
            const std::string undoLog = slurp(root / "undo.log");
            undone &= undoStatus == 0 || (undoLog.find("  no run to undo") != std::string::npos &&
                                          undoLog.find("    left ") == std::string::npos &&
                                          undoLog.find("  error: ") == std::string::npos);
        }
        if (!undone || filesBelow(root / "trial") != generated) {
            ++failed;
            std::cerr << "trial " << t << ": the undo " << (undone ? "left other files" : "failed")
                      << "\n";
        }
    }
    fs::remove_all(root);
    std::cout << "crash trials: " << trials - failed << " passed, " << failed << " failed ("
              << killed << " runs killed mid-way, " << temporaries
              << " temporary files found and removed by the next run)\n";
    return failed == 0 ? 0 : 1;
}
