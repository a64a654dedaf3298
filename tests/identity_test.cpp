// A run touches only the files the user meant: the folders the user named exactly, no case
// twin replaced, no link taken for its target, no deletion without a complete listing.
// Each case compares every file of the disk before and after.
#include <unistd.h>

#include <algorithm>
#include <sstream>

#include "cli/cli.h"
#include "engine_fixture.h"
#include "exchange/extension_exchange.h"
#include "filesystem/fault_injecting_file_system.h"
#include "repair/repair_run.h"
#include "serverpackages/ini_text.h"

namespace zendrik::testing {
namespace {

namespace fs = std::filesystem;
using Tree = std::map<std::string, std::string>;

class IdentityTest : public EngineTest {
  protected:
    PassResult repair(const std::vector<std::string>& work) { return run.repairPass(work, true); }
    bool logHas(const std::string& line) const {
        return std::find(log.lines().begin(), log.lines().end(), line) != log.lines().end();
    }
    // `before` with the entry `from` renamed to `to`.
    static Tree moved(Tree before, const std::string& from, const std::string& to) {
        before[to] = before.at(from);
        before.erase(from);
        return before;
    }
    RepairRun run{disk, log};
};

#ifndef _WIN32

TEST_F(IdentityTest, APathTheUserGaveIsTakenExactly) {
    // Two installations whose names differ only in case: the one named is the one changed.
    Installation upper(tmp.path() / "games", "UT"), lower(tmp.path() / "games", "ut");
    for (auto* ut : {&upper, &lower}) {
        ut->add("system/Foo.utx", "texture");
        ut->add("system/Gone.int", skinInt());
        put(ut->at("system/UnrealTournament.exe"));
    }
    put(tmp.path() / "RUN.txt", "an older log");
    const Tree untouched = treeOf(upper.root());
    std::ostringstream out, err;
    EXPECT_EQ(
        runCli({"--log", (tmp.path() / "run.txt").string(), lower.root().string()}, disk, out, err),
        kExitSuccess);
    EXPECT_EQ(treeOf(upper.root()), untouched);
    EXPECT_TRUE(isFile(lower.at("textures/Foo.utx")));
    EXPECT_FALSE(fs::exists(lower.at("system/Gone.int")));
    // The saved log went to the name given, not to a file of that name in other case.
    EXPECT_EQ(contentsOf(tmp.path() / "RUN.txt"), "an older log");
    EXPECT_TRUE(isFile(tmp.path() / "run.txt"));

    // A spelling that names no folder exactly is no folder, and nothing is touched.
    const Tree both = treeOf(tmp.path());
    EXPECT_EQ(runCli({(tmp.path() / "games" / "Ut").string()}, disk, out, err), kExitUsage);
    EXPECT_EQ(runCli({upper.at("system/unrealtournament.exe").string()}, disk, out, err),
              kExitUsage);
    EXPECT_EQ(treeOf(tmp.path()), both);
}

TEST_F(IdentityTest, AnExecutableGivenThroughDotDotNamesItsInstallation) {
    Installation ut(tmp.path(), "UT");
    put(ut.at("system/UnrealTournament.exe"));
    put(ut.at("system/sub/readme.txt"));
    ut.add("system/Foo.utx", "texture");
    const fs::path was = fs::current_path();
    fs::current_path(ut.at("system/sub"));
    std::ostringstream out, err;
    const int status = runCli({"../UnrealTournament.exe"}, disk, out, err);
    fs::current_path(was);
    EXPECT_EQ(status, kExitSuccess) << err.str();
    EXPECT_TRUE(out.str().starts_with("Processing : " + ut.folder() + "...")) << out.str();
    EXPECT_EQ(contentsOf(ut.at("textures/Foo.utx")), "texture");
}

TEST_F(IdentityTest, CaseTwinsAreNeverDestroyed) {
    Installation ut(tmp.path(), "UT");
    // Two archives unpacked into System: neither texture replaces the other.
    ut.add("system/Foo.utx", "from one archive");
    ut.add("system/FOO.utx", "from another");
    // A misplaced texture whose home holds twins of its name: which to replace is unknown.
    ut.add("system/bar.utx", "misplaced");
    ut.add("textures/Bar.utx", "home one");
    ut.add("textures/BAR.utx", "home two");
    // A package only in the second spelling of a home folder still counts.
    put(ut.root() / "textures" / "Only.utx", "in the twin folder");
    ut.add("system/Only.int", skinInt());
    // Twin description files of an incomplete extension: neither is deleted.
    ut.add("system/Lost.int", skinInt());
    ut.add("system/LOST.int", skinInt());
    const Tree before = treeOf(ut.root());
    EXPECT_FALSE(repair({ut.folder()}).failed());
    const std::string system = ut.folder() + "system/"_p;
    EXPECT_TRUE(logHas("    found FOO.utx in " + system +
                       "  ...left in place: another file there differs from it only in letter "
                       "case"));
    EXPECT_TRUE(logHas("    found bar.utx in " + system + "  ...left in place: " + ut.folder() +
                       "textures/"_p +
                       " holds files of this name that differ only in letter case"));
    EXPECT_TRUE(logHas("    found " + system +
                       "LOST.int with no equivalent, left in place: another file there differs "
                       "from it only in letter case"));
    // Only the ini changed: it gained the entries of the skins that are there.
    Tree after = treeOf(ut.root());
    EXPECT_NE(after.at("System/UnrealTournament.ini"), before.at("System/UnrealTournament.ini"));
    after["System/UnrealTournament.ini"] = before.at("System/UnrealTournament.ini");
    EXPECT_EQ(after, before);

    // The exchange copies nothing over twins either.
    Installation other(tmp.path(), "Other");
    other.add("system/Bar.int", skinInt());
    other.add("textures/Bar.utx", "from the other installation");
    const Tree beforeExchange = treeOf(ut.root());
    ctx.OrdnerListe = {ut.folder(), other.folder()};
    ServerPackageList utini(readIniText(disk, ut.ini().string()));
    ExchangeExtensions(ctx, 0, utini);
    EXPECT_EQ(contentsOf(ut.at("textures/Bar.utx")), "home one");
    EXPECT_EQ(contentsOf(ut.at("textures/BAR.utx")), "home two");
    EXPECT_NE(log.lines().back().find(" not copied: " + ut.folder() + "textures/Bar.utx"_p +
                                      " names files that differ only in letter case"),
              std::string::npos)
        << log.lines().back();
    after = treeOf(ut.root());
    EXPECT_EQ(after.erase("System/Bar.int"), 1u);
    after["System/UnrealTournament.ini"] = beforeExchange.at("System/UnrealTournament.ini");
    EXPECT_EQ(after, beforeExchange);
}

TEST_F(IdentityTest, ALinkIsNotItsTarget) {
    // A misplaced file that is a link to its own home copy: the move would put the link in
    // place of the bytes.
    Installation ut(tmp.path(), "UT");
    ut.add("textures/Foo.utx", "the only bytes");
    fs::create_symlink("../TEXTURES/Foo.utx", ut.at("system/Foo.utx"));
    ut.add("system/Foo.int", skinInt());
    const Tree before = treeOf(ut.root());
    EXPECT_FALSE(repair({ut.folder()}).failed());
    EXPECT_TRUE(logHas("    found Foo.utx in " + ut.folder() +
                       "system/  ...left in place: it is "_p + ut.folder() + "textures/Foo.utx"_p));
    Tree after = treeOf(ut.root());
    after["System/UnrealTournament.ini"] = before.at("System/UnrealTournament.ini");
    EXPECT_EQ(after, before);

    // A copy between installations that share a folder is a copy onto itself: none is made.
    Installation other(tmp.path(), "Other");
    fs::remove_all(other.at("textures"));
    fs::create_directory_symlink(ut.at("textures"), other.at("textures"));
    const Tree shared = treeOf(ut.root());
    ctx.OrdnerListe = {ut.folder(), other.folder()};
    ServerPackageList utini(readIniText(disk, other.ini().string()));
    ExchangeExtensions(ctx, 1, utini);
    EXPECT_NE(log.lines().back().find("  " + ut.folder() + "textures/Foo.utx is "_p +
                                      other.folder() + "textures/Foo.utx already"_p),
              std::string::npos)
        << log.lines().back();
    EXPECT_EQ(treeOf(ut.root()), shared);
}

TEST_F(IdentityTest, AFolderThatCannotBeListedIsNotEmpty) {
    // Textures a link to a drive that is not there, Sounds a link loop: what they hold is
    // unknown, so the folder's turn ends and no description file is judged incomplete.
    Installation unmounted(tmp.path(), "Unmounted"), looped(tmp.path(), "Looped");
    Installation fine(tmp.path(), "Fine");
    fs::remove_all(unmounted.at("textures"));
    fs::create_directory_symlink(tmp.path() / "mnt" / "Textures", unmounted.at("textures"));
    fs::remove_all(looped.at("sounds"));
    fs::create_directory_symlink(looped.root() / "loop", looped.at("sounds"));
    fs::create_directory_symlink(looped.at("sounds"), looped.root() / "loop");
    for (auto* ut : {&unmounted, &looped, &fine}) ut->add("system/Skin.int", skinInt());
    unmounted.add("system/Voice.int", voiceInt());
    looped.add("system/Voice.int", voiceInt());
    const Tree before = treeOf(tmp.path());
    const auto result = repair({unmounted.folder(), looped.folder(), fine.folder()});
    ASSERT_EQ(result.failures.size(), 2u);
    EXPECT_TRUE(logHas("  error: could not list " + unmounted.folder() +
                       "textures/: No such file or directory (the rest of this folder was "
                       "skipped)"_p));
    EXPECT_TRUE(logHas("  error: could not list " + looped.folder() +
                       "sounds/: Too many levels of symbolic links (the rest of this folder was "
                       "skipped)"_p));
    // Nothing of the two changed; the third installation was repaired.
    Tree after = treeOf(tmp.path());
    after["Fine/System/UnrealTournament.ini"] = before.at("Fine/System/UnrealTournament.ini");
    Tree expected = before;
    expected.erase("Fine/System/Skin.int");
    EXPECT_EQ(after, expected);
}

TEST_F(IdentityTest, ASharedSystemFolderIsNotJudgedFromAnotherInstallation) {
    // UTa's System is UTb's, through a link; UTa's Textures is a folder of shared textures.
    Installation a(tmp.path(), "UTa"), b(tmp.path(), "UTb");
    fs::remove_all(a.at("system"));
    fs::create_directory_symlink(b.at("system"), a.at("system"));
    put(tmp.path() / "shared" / "Textures" / "Shared.utx", "shared");
    fs::remove_all(a.at("textures"));
    fs::create_directory_symlink(tmp.path() / "shared" / "Textures", a.at("textures"));
    b.add("system/Gone.int", skinInt());   // complete in UTb? UTa cannot know
    b.add("system/Misplaced.utx", "b's");  // UTb's file, not UTa's to move
    a.add("sounds/Here.utx", "a's");       // UTa's own misplaced texture
    const Tree bBefore = treeOf(b.root());
    EXPECT_FALSE(repair({a.folder()}).failed());
    EXPECT_TRUE(logHas("    " + a.folder() + "system/ lies outside "_p + a.folder() +
                       " (a link): its files are left where they are"));
    EXPECT_TRUE(logHas("    skipped: " + a.folder() + "system/ lies outside "_p + a.folder() +
                       " (a link), so its description files may belong to another installation"));
    // UTb lost nothing; UTa's own texture went into the shared folder.
    Tree bAfter = treeOf(b.root());
    bAfter["System/UnrealTournament.ini"] = bBefore.at("System/UnrealTournament.ini");
    EXPECT_EQ(bAfter, bBefore);
    EXPECT_EQ(contentsOf(tmp.path() / "shared" / "Textures" / "Here.utx"), "a's");
    EXPECT_EQ(contentsOf(tmp.path() / "shared" / "Textures" / "Shared.utx"), "shared");
}

TEST_F(IdentityTest, APackageFolderThatLeadsOutNeverLeadsToADeletion) {
    // Sounds, Textures or Models reached through a link to a folder outside the installation,
    // which holds no package of the description file: that folder may be another's, or change
    // under the installation, so the .int is kept and the line says why.
    Installation voice(tmp.path(), "Voice"), skin(tmp.path(), "Skin"), model(tmp.path(), "Model");
    put(tmp.path() / "shared" / "Sounds" / "Other.uax", "another's voice");
    fs::remove_all(voice.at("sounds"));
    fs::create_directory_symlink(tmp.path() / "shared" / "Sounds", voice.at("sounds"));
    voice.add("system/Foo.int", voiceInt());
    put(tmp.path() / "shared" / "Textures" / "Other.utx", "another's skin");
    fs::remove_all(skin.at("textures"));
    fs::create_directory_symlink(tmp.path() / "shared" / "Textures", skin.at("textures"));
    skin.add("system/Sk.int", skinInt());
    fs::create_directories(tmp.path() / "shared" / "Models");
    fs::create_directory_symlink(tmp.path() / "shared" / "Models", model.root() / "Models");
    model.add("system/Pc.int", playerClassInt());
    const Tree before = treeOf(tmp.path());
    EXPECT_FALSE(repair({voice.folder(), skin.folder(), model.folder()}).failed());
    EXPECT_TRUE(logHas("    found " + voice.folder() +
                       "system/Foo.int with no equivalent, left as it is: "_p + voice.folder() +
                       "sounds/ lies outside "_p + voice.folder() + " (a link)"));
    EXPECT_TRUE(logHas("    found " + skin.folder() +
                       "system/Sk.int with no equivalent, left as it is: "_p + skin.folder() +
                       "textures/ lies outside "_p + skin.folder() + " (a link)"));
    EXPECT_TRUE(logHas("    found " + model.folder() +
                       "system/Pc.int with no equivalent, left as it is: "_p + model.folder() +
                       "models/ lies outside "_p + model.folder() + " (a link)"));
    // Nothing changed but the ini files, which took the kept extensions' entries.
    Tree after = treeOf(tmp.path());
    for (const char* ut : {"Voice", "Skin", "Model"}) {
        const std::string ini = std::string(ut) + "/System/UnrealTournament.ini";
        after[ini] = before.at(ini);
    }
    EXPECT_EQ(after, before);
}

TEST_F(IdentityTest, HiddenFilesAreNeverListed) {
    // A Mac archive's AppleDouble companions look like packages but are not.
    Installation ut(tmp.path(), "UT"), other(tmp.path(), "Other");
    ut.add("system/._Foo.int", skinInt());
    ut.add("system/._Foo.utx", "resource fork");
    ut.add("sounds/._Bar.int", voiceInt());
    const Tree before = treeOf(ut.root());
    EXPECT_FALSE(repair({ut.folder()}).failed());
    EXPECT_FALSE(run.exchangePass({ut.folder(), other.folder()}).failed());
    EXPECT_EQ(treeOf(ut.root()), before);
    EXPECT_FALSE(fs::exists(other.at("system/._Foo.int")));
    EXPECT_EQ(contentsOf(other.ini()), iniWith({"SoldierSkins", "CommandoSkins"}));
}

#endif

TEST_F(IdentityTest, TheExchangeMarksAnEntryOnlyOnceItIsOnDisk) {
    Installation S(tmp.path(), "S");
    Installation bare(tmp.path(), "Bare", "[Engine.GameEngine]\r\nX=1\r\n");
    Installation full(tmp.path(), "Full");
    S.add("system/Sk.int", skinInt());
    S.add("textures/Sk.utx", "skin");
    // No line begins with ServerPackages=: the copy notes stay on the extension's line.
    ctx.OrdnerListe = {S.folder(), bare.folder()};
    ServerPackageList bareIni(readIniText(disk, bare.ini().string()));
    ExchangeExtensions(ctx, 1, bareIni);
    const std::string ini = bare.folder() + "System/UnrealTournament.ini"_p;
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[log.size() - 2],
              "        extension found: Sk.int (Skin)  copied " + S.folder() +
                  "textures/Sk.utx to "_p + bare.folder() + "textures/Sk.utx    "_p + "  copied " +
                  S.folder() + "system/Sk.int to "_p + bare.folder() + "system/Sk.int    "_p);
    EXPECT_EQ(log[log.size() - 1], "    ServerPackages=Sk not added: no line of " + ini +
                                       " begins with ServerPackages=");

    // A write that fails leaves the line without its mark, and the folder's turn ends there.
    FaultInjectingFileSystem faulty(disk);
    RunContext refused(faulty, log);
    refused.OrdnerListe = {S.folder(), full.folder()};
    faulty.failOnlyWhen([](FsOp op, const std::string&) { return op == FsOp::Write; },
                        "No space left on device");
    ServerPackageList fullIni(readIniText(disk, full.ini().string()));
    EXPECT_THROW(ExchangeExtensions(refused, 1, fullIni), FsError);
    EXPECT_EQ(log.lines().back(), "        extension found: Sk.int (Skin)  copied " + S.folder() +
                                      "textures/Sk.utx to "_p + full.folder() +
                                      "textures/Sk.utx    "_p);
    EXPECT_EQ(contentsOf(full.ini()), iniWith({"SoldierSkins", "CommandoSkins"}));
    EXPECT_FALSE(fs::exists(full.at("system/Sk.int")));
}

}  // namespace
}  // namespace zendrik::testing
