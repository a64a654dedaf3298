// Installations and a state folder of their own for tests of runs and their undo through
// zendrik-cli's entry point.
#pragma once

#include <cstdlib>
#include <optional>
#include <sstream>

#include "cli/cli.h"
#include "engine_fixture.h"
#include "journal/journal_store.h"

namespace zendrik::testing {

namespace fs = std::filesystem;

// Every entry below `root` as treeOf gives it, with its permission bits.
inline std::map<std::string, std::string> stateOf(const fs::path& root) {
    auto tree = treeOf(root);
    for (auto& [path, what] : tree) {
        what += " mode " + std::to_string(static_cast<int>(fs::status(root / path).permissions()));
    }
    return tree;
}

// Three installations with every kind of extension, misplaced ones (one whose home folder
// holds an older file of its name), incomplete ones, files of unusual modes, and extensions
// that one has and the others lack.
inline std::vector<std::string> buildThree(const fs::path& root) {
    Installation a(root, "UT1"), b(root, "UT2"), c(root, "UT3");
    a.add("system/Skin1.int", skinInt());
    a.add("system/Skin1.utx", "skin one, misplaced");
    a.add("textures/Skin1.utx", "an older skin one");
    a.add("textures/Voice1.int", voiceInt());
    a.add("system/Voice1.uax", "voice one, misplaced");
    a.add("system/Model1.int", playerClassInt());
    a.add("system/Model1.u", "model code");
    a.add("maps/Model1.utx", "model skin, misplaced");
    a.add("system/Game1.int", gameStyleInt());
    a.add("system/Game1.u", "game code");
    a.add("system/Mut1.int", mutatorInt());
    a.add("maps/Mut1.u", "mutator code, misplaced");
    a.add("sounds/Map1.unr", "a map, misplaced");
    a.add("system/Gone1.int", gameStyleInt());    // incomplete: deleted
    a.add("textures/Lost1.int", gameStyleInt());  // misplaced and incomplete: moved, deleted
    fs::permissions(a.at("system/Gone1.int"), fs::perms::owner_read | fs::perms::owner_write);
    b.add("system/Skin2.int", skinInt());
    b.add("textures/Skin2.utx", "skin two");
    b.add("system/Gone2.int", voiceInt());  // incomplete: deleted
    fs::permissions(b.ini(),
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    c.add("maps/Map3.unr", "a map");
    c.add("system/Gone3.int", gameStyleInt());  // incomplete: deleted
    return {a.folder(), b.folder(), c.folder()};
}

inline std::vector<std::string> with(std::vector<std::string> options,
                                     const std::vector<std::string>& folders) {
    options.insert(options.end(), folders.begin(), folders.end());
    return options;
}

class UndoFixture : public EngineTest {
  protected:
    void SetUp() override {
        if (const char* old = std::getenv("XDG_STATE_HOME")) oldState_ = old;
        ::setenv("XDG_STATE_HOME", state().c_str(), 1);
    }
    void TearDown() override {
        if (oldState_) {
            ::setenv("XDG_STATE_HOME", oldState_->c_str(), 1);
        } else {
            ::unsetenv("XDG_STATE_HOME");
        }
    }
    fs::path state() const { return tmp.path() / "state"; }
    int cli(const std::vector<std::string>& arguments, FileSystem& fs) {
        out.str("");
        err.str("");
        return runCli(arguments, fs, out, err);
    }
    int cli(const std::vector<std::string>& arguments) { return cli(arguments, disk); }
    // The former bytes that the journals kept, one run's after the other's.
    std::string keptBytes() const {
        std::string kept;
        for (const auto& e : fs::recursive_directory_iterator(state())) {
            if (e.is_regular_file() && e.path().filename() == kKeptName) {
                kept += contentsOf(e.path());
            }
        }
        return kept;
    }

    std::ostringstream out, err;

  private:
    std::optional<std::string> oldState_;
};

}  // namespace zendrik::testing
