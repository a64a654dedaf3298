// The preview (zendrik-cli --dry-run): the same log as the run it shows, line for line and in
// the same order, and not one change to the disk but the saved log. Each case runs the
// preview first, compares every file below the folder before and after, then runs the real
// run on the same tree and compares the two logs.
#include "filesystem/preview_file_system.h"

#include <sys/stat.h>

#include <cstdlib>
#include <iostream>
#include <optional>
#include <sstream>

#include "cli/cli.h"
#include "engine_fixture.h"
#include "filesystem/installation_lock.h"
#include "installation_generator.h"

namespace zendrik::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Tree = std::map<std::string, std::string>;

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// What one run of zendrik-cli printed and returned.
struct Outcome {
    int status = -1;
    std::vector<std::string> lines;
    std::string errors;
};

class PreviewTest : public EngineTest {
  protected:
    Outcome cli(const std::vector<std::string>& arguments) {
        std::ostringstream out, err;
        Outcome outcome;
        outcome.status = runCli(arguments, disk, out, err);
        outcome.lines = linesOf(out.str());
        outcome.errors = err.str();
        return outcome;
    }
    // Runs the preview of `arguments` on `root`, requiring that it changed nothing, then the
    // real run; returns both.
    std::pair<Outcome, Outcome> previewThenRun(const fs::path& root,
                                               std::vector<std::string> arguments) {
        const Tree before = treeOf(root);
        arguments.insert(arguments.begin(), "--dry-run");
        Outcome preview = cli(arguments);
        EXPECT_EQ(treeOf(root), before);
        arguments.erase(arguments.begin());
        Outcome real = cli(arguments);
        EXPECT_NE(treeOf(root), before);  // the run had something to do
        return {std::move(preview), std::move(real)};
    }
    static void expectSameLog(const Outcome& preview, const Outcome& real) {
        EXPECT_EQ(preview.status, real.status);
        EXPECT_EQ(preview.errors, real.errors);
        ASSERT_EQ(preview.lines.size(), real.lines.size());
        for (size_t i = 0; i < real.lines.size(); ++i) {
            ASSERT_EQ(preview.lines[i], real.lines[i]) << "line " << i + 1;
        }
        std::cout << "[ preview  ] " << real.lines.size()
                  << " log lines compared, all equal; tree unchanged by the preview\n";
    }
    static bool holds(const Outcome& outcome, const std::string& text) {
        for (const auto& line : outcome.lines) {
            if (line.find(text) != std::string::npos) return true;
        }
        return false;
    }
};

// Three generated installations: every kind of extension, a tenth misplaced, some
// incomplete, the second holding half of the first one's extensions, the third none.
bench::GeneratedSet generated(const fs::path& root) {
    bench::GeneratorOptions options;
    options.extensions = 240;
    options.seed = 11;
    options.sizeScale = 0.002;
    return bench::generateInstallations(root, options);
}

TEST_F(PreviewTest, ThePreviewPrintsTheRunsLogAndChangesNothing) {
    // The repair alone, in the generated order.
    const auto set = generated(tmp.path() / "repair");
    std::vector<std::string> folders;
    for (const auto& ut : set.installations) folders.push_back(ut.string());
    auto [preview, real] = previewThenRun(tmp.path() / "repair", folders);
    expectSameLog(preview, real);
    EXPECT_TRUE(holds(real, "...moved to "));
    EXPECT_TRUE(holds(real, " with no equivalent... deleted"));
    EXPECT_TRUE(holds(real, "  ...entry added"));
}

TEST_F(PreviewTest, TheExchangeSeesTheCopiesThePreviewOfEarlierFoldersMade) {
    // UT2 first: it takes the other half of UT1's extensions, and UT3 then finds all of them
    // in UT2, the copies of this very run among them.
    const auto set = generated(tmp.path() / "copy");
    const std::string ut1 = set.installations[0].string();
    const std::string ut2 = set.installations[1].string();
    const std::string ut3 = set.installations[2].string();
    const fs::path saved = tmp.path() / "copy" / "preview.txt";
    const fs::path realSaved = tmp.path() / "real.txt";
    const Tree before = treeOf(tmp.path() / "copy");
    const Outcome preview = cli({"--dry-run", "--copy", "--log", saved.string(), ut2, ut1, ut3});
    // Only the saved log appeared.
    Tree after = treeOf(tmp.path() / "copy");
    EXPECT_EQ(after.erase("preview.txt"), 1u);
    EXPECT_EQ(after, before);
    const Outcome real = cli({"--copy", "--log", realSaved.string(), ut2, ut1, ut3});
    expectSameLog(preview, real);
    EXPECT_EQ(contentsOf(saved), contentsOf(realSaved));
    // Ext100001 was UT1's alone: UT3 took it from UT2's copy.
    const std::string copy = "copied " + ut2 + kSeparator + "system"_p + kSeparator;
    EXPECT_TRUE(holds(real, copy + "Ext100001.int to "));
}

TEST_F(PreviewTest, APreviewTakesNoLockAndLeavesNoFile) {
    Installation ut(tmp.path(), "UT");
    ut.add("system/Foo.utx", "texture");
    ut.add("system/Gone.int", skinInt());
    ut.add("system/Voice.int", voiceInt());
    ut.add("system/Voice.u", "code");
    const Tree before = treeOf(tmp.path());
    Outcome preview;
    {
        // Another run holds the installation: a preview neither waits for it nor fails.
        NativeFileSystem otherRun;
        const auto held = otherRun.lockInstallation(ut.folder(), 0ms);
        preview = cli({"--dry-run", "--copy", ut.folder()});
    }
    EXPECT_EQ(preview.status, kExitSuccess) << preview.errors;
    EXPECT_EQ(treeOf(tmp.path()), before);
    EXPECT_TRUE(holds(preview, "found Foo.utx in "));
    EXPECT_TRUE(holds(preview, "Gone.int with no equivalent... deleted"));
}

#ifndef _WIN32

TEST_F(PreviewTest, ThePreviewRefusesWhatTheRunRefuses) {
    Installation a(tmp.path(), "A"), b(tmp.path(), "B");
    // Case twins: neither is moved, and a home holding twins takes no file.
    a.add("system/Foo.utx", "one");
    a.add("system/FOO.utx", "two");
    a.add("system/bar.utx", "misplaced");
    a.add("textures/Bar.utx", "home one");
    a.add("textures/BAR.utx", "home two");
    // Write-protected: a move target, a description file to delete, and B's ini.
    a.add("system/Locked.utx", "misplaced onto a protected file");
    a.add("textures/Locked.utx", "protected");
    ASSERT_EQ(::chmod(a.at("textures/Locked.utx").c_str(), 0444), 0);
    a.add("system/Gone.int", skinInt());
    ASSERT_EQ(::chmod(a.at("system/Gone.int").c_str(), 0444), 0);
    a.add("system/Voice.int", voiceInt());
    a.add("system/Voice.u", "code");
    ASSERT_EQ(::chmod(b.ini().c_str(), 0444), 0);
    // Moved into System, then copied to B: the exchange sees the moved file.
    a.add("textures/Skin.int", skinInt());
    a.add("textures/Skin.utx", "skin");
    auto [preview, real] = previewThenRun(tmp.path(), {"--copy", a.folder(), b.folder()});
    expectSameLog(preview, real);
    EXPECT_EQ(real.status, kExitFolderFailed);
    EXPECT_TRUE(holds(real, "differ only in letter case"));
    EXPECT_TRUE(holds(real, "is write-protected"));
    EXPECT_TRUE(holds(real, "copied " + a.folder() + "system/Skin.int"_p));
}

TEST_F(PreviewTest, AFolderInTheWayFailsItsFileAndTheRunGoesOn) {
    Installation a(tmp.path(), "A"), b(tmp.path(), "B");
    // A folder at a move's target; the files after it and the later steps still have work.
    a.add("system/Foo.utx", "misplaced");
    fs::create_directories(a.at("textures/Foo.utx"));
    put(a.at("textures/Foo.utx") / "inside.txt", "a player's file");
    a.add("system/Zed.utx", "misplaced after it");
    // A link that leads nowhere is no folder: the move replaces it, as any link.
    a.add("system/Link.utx", "misplaced onto a dangling link");
    fs::create_symlink(tmp.path() / "unmounted" / "Link.utx", a.at("textures/Link.utx"));
    a.add("sounds/Late.u", "misplaced in a later step");
    a.add("system/Gone.int", skinInt());
    // Folders at copy targets in B: a package of one extension, the .int of another.
    a.add("system/Sk.int", skinInt());
    a.add("textures/Sk.utx", "skin");
    fs::create_directories(b.at("textures/Sk.utx"));
    a.add("system/Vo.int", voiceInt());
    a.add("system/Vo.u", "voice code");
    fs::create_directories(b.at("system/Vo.int"));
    a.add("system/Zz.int", mutatorInt());
    a.add("system/Zz.u", "mutator code");
    auto [preview, real] = previewThenRun(tmp.path(), {"--copy", a.folder(), b.folder()});
    expectSameLog(preview, real);
    // As for a write-protected file: each such file fails with its line, the rest is done.
    EXPECT_EQ(real.status, kExitFolderFailed);
    const std::string A = a.folder(), B = b.folder();
    EXPECT_TRUE(holds(real, "    found Foo.utx in " + A + "system/  ...left in place: "_p + A +
                                "textures/Foo.utx is a folder"_p));
    EXPECT_TRUE(
        holds(real, "    found Zed.utx in " + A + "system/  ...moved to "_p + A + "textures/"_p));
    EXPECT_TRUE(
        holds(real, "    found Link.utx in " + A + "system/  ...moved to "_p + A + "textures/"_p));
    EXPECT_TRUE(
        holds(real, "    found Late.u in " + A + "sounds/  ...moved to "_p + A + "system/"_p));
    EXPECT_TRUE(holds(real, "Gone.int with no equivalent... deleted"));
    EXPECT_TRUE(holds(real, "        extension found: Sk.int (Skin)  " + A +
                                "textures/Sk.utx not copied: "_p + B +
                                "textures/Sk.utx is a folder    "_p));
    EXPECT_TRUE(holds(
        real, "  " + A + "system/Vo.int not copied: "_p + B + "system/Vo.int is a folder    "_p));
    EXPECT_TRUE(holds(real, "copied " + A + "system/Zz.int to "_p + B + "system/Zz.int"_p));
    EXPECT_FALSE(holds(real, "error:"));
    EXPECT_NE(real.errors.find("zendrik-cli: " + A + ": " + A + "textures/Foo.utx is a folder"_p),
              std::string::npos)
        << real.errors;
    EXPECT_NE(real.errors.find("zendrik-cli: " + B + ": " + B + "textures/Sk.utx is a folder"_p),
              std::string::npos)
        << real.errors;
    EXPECT_NE(real.errors.find("zendrik-cli: " + B + ": " + B + "system/Vo.int is a folder"_p),
              std::string::npos)
        << real.errors;
    // The folders and what they hold are as they were; the files meant for them stayed home.
    EXPECT_EQ(contentsOf(a.at("textures/Foo.utx") / "inside.txt"), "a player's file");
    EXPECT_EQ(contentsOf(a.at("system/Foo.utx")), "misplaced");
    EXPECT_TRUE(fs::is_directory(b.at("textures/Sk.utx")));
    EXPECT_TRUE(fs::is_empty(b.at("system/Vo.int")));
    EXPECT_EQ(contentsOf(a.at("textures/Zed.utx")), "misplaced after it");
    EXPECT_EQ(contentsOf(a.at("textures/Link.utx")), "misplaced onto a dangling link");
    EXPECT_EQ(contentsOf(b.at("system/Vo.u")), "voice code");
    EXPECT_EQ(contentsOf(b.at("system/Zz.u")), "mutator code");
}

// Points XDG_STATE_HOME at `folder` while it lives, so that runs journal there.
class StateHome {
  public:
    explicit StateHome(const fs::path& folder) {
        if (const char* old = std::getenv("XDG_STATE_HOME")) old_ = old;
        ::setenv("XDG_STATE_HOME", folder.c_str(), 1);
    }
    ~StateHome() {
        if (old_) {
            ::setenv("XDG_STATE_HOME", old_->c_str(), 1);
        } else {
            ::unsetenv("XDG_STATE_HOME");
        }
    }
    StateHome(const StateHome&) = delete;
    StateHome& operator=(const StateHome&) = delete;

  private:
    std::optional<std::string> old_;
};

TEST_F(PreviewTest, ThePreviewOfAnUndoMeetsTheFoldersTheUndoMeets) {
    const StateHome state(tmp.path() / "state");
    Installation ut(tmp.path() / "games", "UT");
    ut.add("system/Foo.utx", "misplaced");
    ut.add("system/Gone.int", skinInt());
    ASSERT_EQ(cli({ut.folder()}).status, kExitSuccess);
    ASSERT_TRUE(isFile(ut.at("textures/Foo.utx")));
    ASSERT_FALSE(fs::exists(ut.at("system/Gone.int")));
    // Since the run, folders took the places the undo would put the files back in.
    fs::create_directories(ut.at("system/Foo.utx"));
    fs::create_directories(ut.at("system/Gone.int"));
    const Tree before = treeOf(tmp.path() / "games");
    const Outcome preview = cli({"--dry-run", "--undo", ut.folder()});
    EXPECT_EQ(treeOf(tmp.path() / "games"), before);
    const Outcome real = cli({"--undo", ut.folder()});
    expectSameLog(preview, real);
    EXPECT_EQ(real.status, kExitFolderFailed);
    EXPECT_TRUE(holds(real, "    left " + ut.folder() + "System/Gone.int"_p +
                                " as it is: a folder is in its place"));
    EXPECT_TRUE(holds(real, "    left " + ut.folder() + "TEXTURES/Foo.utx"_p + " as it is: " +
                                ut.folder() + "System/Foo.utx"_p + " is taken since the run"));
    EXPECT_FALSE(holds(real, "restored"));
    EXPECT_FALSE(holds(real, " back to "));
    EXPECT_EQ(treeOf(tmp.path() / "games"), before);
}

// The same operations on the preview and on the disk, and every answer afterwards: the
// preview must answer as the disk does once the run has really written.
std::vector<std::string> transcript(FileSystem& disk, const std::string& ut) {
    std::vector<std::string> lines;
    const auto attempt = [&](const std::string& what, const std::function<Transfer()>& op) {
        try {
            lines.push_back(what + (op() == Transfer::Done ? ": done" : ": same file"));
        } catch (const FsError& e) {
            lines.push_back(what + ": " + e.what() + (e.ambiguous() ? " [twins]" : "") +
                            (e.writeProtected() ? " [protected]" : ""));
        }
    };
    const std::string system = ut + "system/"_p, textures = ut + "textures/"_p;
    const std::string maps = ut + "maps/"_p;
    attempt("write ini", [&] {
        disk.writeFile(ut + "SYSTEM/UNREALTOURNAMENT.INI"_p, "[new]\r\n");
        return Transfer::Done;
    });
    attempt("move", [&] { return disk.moveFile(system + "foo.UTX", textures + "foo.UTX"); });
    attempt("copy", [&] { return disk.copyFile(textures + "Foo.utx", textures + "Copy.utx"); });
    attempt("move copy", [&] { return disk.moveFile(textures + "copy.utx", system + "Copy.utx"); });
    attempt("copy onto itself",
            [&] { return disk.copyFile(system + "COPY.utx", ut + "System/copy.utx"_p); });
    attempt("delete", [&] {
        disk.removeFile(textures + "OLD.utx");
        return Transfer::Done;
    });
    attempt("copy protected",
            [&] { return disk.copyFile(system + "Locked.u", maps + "Locked.u"); });
    attempt("replace", [&] { return disk.copyFile(textures + "Foo.utx", maps + "keep.utx"); });
    attempt("move twin", [&] { return disk.moveFile(system + "twin.int", maps + "Twin.int"); });
    attempt("onto twin", [&] { return disk.copyFile(maps + "Keep.utx", system + "TWIN.int"); });
    attempt("delete protected", [&] {
        disk.removeFile(maps + "locked.u");
        return Transfer::Done;
    });
    attempt("write protected", [&] {
        disk.writeFile(system + "Locked.u", "x");
        return Transfer::Done;
    });
    attempt("move gone", [&] { return disk.moveFile(textures + "Old.utx", maps + "Old.utx"); });
    attempt("move onto protected",
            [&] { return disk.moveFile(textures + "Foo.utx", maps + "LOCKED.U"); });
    for (const auto& folder : {system, textures, maps}) {
        for (const char* type : {"utx", "ini", "int", "u"}) {
            std::string names;
            for (const auto& name : disk.listFiles(folder, type)) names += " " + name;
            lines.push_back("list " + folder + "*." + type + ":" + names);
        }
    }
    for (const auto& path :
         {system + "UnrealTournament.ini", textures + "FOO.utx", system + "foo.utx",
          system + "copy.utx", textures + "Copy.utx", textures + "old.utx", maps + "LOCKED.u",
          system + "Twin.int", maps + "Keep.utx"}) {
        lines.push_back(path + ": exists " + std::to_string(disk.fileExists(path)) + ", twins " +
                        std::to_string(disk.ambiguous(path)) + ", protected " +
                        std::to_string(disk.writeProtected(path)));
        if (disk.fileExists(path)) lines.push_back(path + ": " + disk.readFile(path));
    }
    lines.push_back("moved is its target: " +
                    std::to_string(disk.sameFile(textures + "foo.utx", system + "Copy.utx")));
    lines.push_back("copy is its source: " +
                    std::to_string(disk.sameFile(maps + "keep.utx", textures + "Foo.utx")));
    lines.push_back("file is itself: " +
                    std::to_string(disk.sameFile(system + "COPY.UTX", system + "copy.utx")));
    return lines;
}

TEST_F(PreviewTest, TheLayerAnswersAsTheDiskDoesAfterTheSameWrites) {
    Installation ut(tmp.path(), "UT");
    ut.add("system/Foo.utx", "foo");
    ut.add("textures/Old.utx", "old");
    ut.add("system/Twin.int", "one");
    ut.add("system/TWIN.int", "two");
    ut.add("system/Locked.u", "locked");
    ASSERT_EQ(::chmod(ut.at("system/Locked.u").c_str(), 0444), 0);
    ut.add("maps/Keep.utx", "kept name");
    const Tree before = treeOf(tmp.path());
    PreviewFileSystem preview(disk);
    const auto shown = transcript(preview, ut.folder());
    EXPECT_EQ(treeOf(tmp.path()), before);
    NativeFileSystem real;
    const auto done = transcript(real, ut.folder());
    ASSERT_EQ(shown.size(), done.size());
    for (size_t i = 0; i < done.size(); ++i) EXPECT_EQ(shown[i], done[i]);
    std::cout << "[ preview  ] " << done.size() << " answers of the layer compared\n";
}

// Writes, copies and moves onto a folder, and onto a link that leads nowhere, on the preview
// and on the disk: the same refusals with the same messages, the same files afterwards.
std::vector<std::string> inTheWay(FileSystem& disk, const std::string& ut) {
    std::vector<std::string> lines;
    const auto attempt = [&](const std::string& what, const std::function<void()>& op) {
        try {
            op();
            lines.push_back(what + ": done");
        } catch (const FsError& e) {
            lines.push_back(what + ": " + e.what() + (e.writeProtected() ? " [protected]" : ""));
        }
    };
    const std::string system = ut + "system/"_p, textures = ut + "textures/"_p;
    attempt("write", [&] { disk.writeFile(system + "Dir.ini", "text"); });
    attempt("replace", [&] {
        auto writer = disk.openForReplacing(system + "Dir.ini");
        writer->append("text");
        writer->commit();
    });
    attempt("copy", [&] { disk.copyFile(system + "Foo.utx", textures + "Dir.utx"); });
    attempt("move", [&] { disk.moveFile(system + "Foo.utx", textures + "Dir.utx"); });
    attempt("move onto a dangling link",
            [&] { disk.moveFile(system + "Foo.utx", textures + "Gone.utx"); });
    for (const auto& folder : {system, textures}) {
        for (const char* type : {"utx", "ini"}) {
            std::string names;
            for (const auto& name : disk.listFiles(folder, type)) names += " " + name;
            lines.push_back("list " + folder + "*." + type + ":" + names);
        }
    }
    return lines;
}

TEST_F(PreviewTest, TheLayerRefusesAFolderInTheWayAsTheDiskDoes) {
    Installation ut(tmp.path(), "UT");
    ut.add("system/Foo.utx", "foo");
    fs::create_directories(ut.at("system/Dir.ini"));
    fs::create_directories(ut.at("textures/Dir.utx"));
    fs::create_symlink(tmp.path() / "unmounted" / "Gone.utx", ut.at("textures/Gone.utx"));
    const Tree before = treeOf(tmp.path());
    PreviewFileSystem preview(disk);
    const auto shown = inTheWay(preview, ut.folder());
    EXPECT_EQ(treeOf(tmp.path()), before);
    NativeFileSystem real;
    const auto done = inTheWay(real, ut.folder());
    ASSERT_EQ(shown.size(), done.size());
    for (size_t i = 0; i < done.size(); ++i) EXPECT_EQ(shown[i], done[i]);
    // The disk refused the folders and replaced the link.
    EXPECT_NE(done[0].find("Is a directory"), std::string::npos) << done[0];
    EXPECT_EQ(done[4], "move onto a dangling link: done");
}

#endif

}  // namespace
}  // namespace zendrik::testing
