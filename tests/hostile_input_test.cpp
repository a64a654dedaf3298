// Odd and hostile installations: each run ends with a clear outcome and loses nothing.
#include <algorithm>

#include "engine_fixture.h"
#include "repair/repair_run.h"

namespace zendrik::testing {
namespace {

namespace fs = std::filesystem;

class HostileInputTest : public EngineTest {
  protected:
    PassResult repair(const std::vector<std::string>& work) { return run.repairPass(work, true); }
    bool logHas(const std::string& line) const {
        return std::find(log.lines().begin(), log.lines().end(), line) != log.lines().end();
    }
    RepairRun run{disk, log};
};

TEST_F(HostileInputTest, HugeAndBinaryDescriptionFilesAreClassifiedAndKept) {
    Installation ut(tmp.path(), "UT");
    std::string binary(50 * 1000 * 1000, '\0');
    for (size_t i = 0; i < binary.size(); ++i)
        binary[i] = static_cast<char>((i * 2654435761u) >> 13);
    ut.add("system/Huge.int", binary);
    ut.add("system/HugeSkin.int", "Class=Texture" + binary);
    ut.add("textures/HugeSkin.utx");
    // A pattern past the first megabytes is not read: the file is of no kind, and kept.
    ut.add("system/LateSkin.int", binary + "Class=Texture");
    EXPECT_FALSE(repair({ut.folder()}).failed());
    EXPECT_TRUE(
        logHas("    Package HugeSkin not installed as ServerPackage in UT.ini...  ...entry added"));
    EXPECT_FALSE(
        logHas("    Package LateSkin not installed as ServerPackage in UT.ini...  ...entry added"));
    EXPECT_EQ(fs::file_size(ut.at("system/Huge.int")), binary.size());
    EXPECT_EQ(fs::file_size(ut.at("system/LateSkin.int")), binary.size() + 13);
}

TEST_F(HostileInputTest, EmptyAndOddlyEndedIniFiles) {
    Installation empty(tmp.path(), "Empty", "");
    Installation crOnly(tmp.path(), "CrOnly", "[Engine.GameEngine]\rServerPackages=Old\rX=1");
    Installation mixed(tmp.path(), "Mixed", "[A]\r\nServerPackages=Old\nX=1\rY=2");
    for (auto* ut : {&empty, &crOnly, &mixed}) {
        ut->add("system/Vo.int", voiceInt());
        ut->add("sounds/Vo.uax");
    }
    EXPECT_FALSE(repair({empty.folder(), crOnly.folder(), mixed.folder()}).failed());
    // No line to insert at: the file stays as it was and the log says so, naming the file as
    // the disk spells it.
    EXPECT_EQ(contentsOf(empty.ini()), "");
    EXPECT_TRUE(logHas("    ServerPackages=Vo not added: no line of " + empty.folder() +
                       "System/UnrealTournament.ini"_p + " begins with ServerPackages="));
    // The entry ends as the file's first line does; every other byte stays.
    EXPECT_EQ(contentsOf(crOnly.ini()),
              "[Engine.GameEngine]\rServerPackages=Vo\rServerPackages=Old\rX=1");
    EXPECT_EQ(contentsOf(mixed.ini()), "[A]\r\nServerPackages=Vo\r\nServerPackages=Old\nX=1\rY=2");
}

TEST_F(HostileInputTest, NamesWithBlanksAndOtherLetters) {
    Installation ut(tmp.path(), "UT");
    ut.add("system/My Skin.int", skinInt());
    ut.add("system/Ünïcödé Vоice.int", voiceInt());  // with a Cyrillic o
    ut.add("system/ÜNÏCÖDÉ VОICE.u");
    ut.add("system/My Skin.utx");
    EXPECT_FALSE(repair({ut.folder()}).failed());
    EXPECT_TRUE(isFile(ut.at("textures/My Skin.utx")));
    EXPECT_TRUE(
        logHas("    Package My Skin not installed as ServerPackage in UT.ini...  ...entry added"));
    EXPECT_TRUE(contentsOf(ut.ini()).find("ServerPackages=Ünïcödé Vоice\r\n") != std::string::npos);
}

TEST_F(HostileInputTest, AFolderGivenTwiceIsServedTwiceAndChangesNothingMore) {
    Installation ut(tmp.path(), "UT");
    ut.add("system/Foo.int", skinInt());
    ut.add("system/Foo.utx");
    EXPECT_FALSE(repair({ut.folder(), ut.folder()}).failed());
    EXPECT_EQ(contentsOf(ut.ini()), iniWith({"Foo", "SoldierSkins", "CommandoSkins"}));
    EXPECT_EQ(log[log.size() - 4], "  all extensions are already in UT.ini");
    EXPECT_FALSE(run.exchangePass({ut.folder(), ut.folder()}).failed());
    EXPECT_EQ(log.size(), 2u * 7u);  // heading, empty, scanning, the other, three empty
}

TEST_F(HostileInputTest, TenThousandDescriptionFilesInOneFolder) {
    Installation ut(tmp.path(), "UT");
    for (int i = 0; i < 10000; ++i) {
        ut.add("system/V" + std::to_string(10000 + i) + ".int", i % 2 ? voiceInt() : mutatorInt());
        if (i % 2) ut.add("sounds/V" + std::to_string(10000 + i) + ".uax");
    }
    EXPECT_FALSE(repair({ut.folder()}).failed());
    const auto added =
        std::count_if(log.lines().begin(), log.lines().end(),
                      [](const std::string& l) { return l.ends_with("  ...entry added"); });
    EXPECT_EQ(added, 5000);
    EXPECT_TRUE(contentsOf(ut.ini()).find("ServerPackages=V19999\r\nServerPackages=V19997\r\n") !=
                std::string::npos);
}

#ifndef _WIN32
TEST_F(HostileInputTest, ASubFolderThatIsAFileFailsTheFolderAndKeepsTheFile) {
    Installation ut(tmp.path(), "UT");
    fs::remove_all(ut.at("textures"));
    put(ut.root() / "Textures", "not a folder");
    ut.add("system/Foo.utx", "texture");
    Installation next(tmp.path(), "Next");
    const auto result = repair({ut.folder(), next.folder()});
    ASSERT_EQ(result.failures.size(), 1u);
    EXPECT_TRUE(logHas(
        "  error: could not move " + ut.folder() + "system/Foo.utx to "_p + ut.folder() +
        "textures/Foo.utx: No such file or directory (the rest of this folder was skipped)"_p));
    EXPECT_EQ(contentsOf(ut.at("system/Foo.utx")), "texture");
    EXPECT_EQ(contentsOf(ut.root() / "Textures"), "not a folder");
    EXPECT_TRUE(logHas("Processing : " + next.folder() + "..."));
}

TEST_F(HostileInputTest, LinksAmongTheFoldersAreNeverWrittenThrough) {
    Installation ut(tmp.path(), "UT");
    put(tmp.path() / "outside.utx", "outside");
    fs::create_symlink(tmp.path() / "outside.utx", ut.at("textures/Foo.utx"));
    ut.add("system/Foo.utx", "inside");
    ut.add("system/Foo.int", skinInt());
    EXPECT_FALSE(repair({ut.folder()}).failed());
    // The link at the move's target was replaced by the file, the file outside untouched.
    EXPECT_EQ(contentsOf(tmp.path() / "outside.utx"), "outside");
    EXPECT_FALSE(fs::is_symlink(ut.at("textures/Foo.utx")));
    EXPECT_EQ(contentsOf(ut.at("textures/Foo.utx")), "inside");
    EXPECT_TRUE(logHas("  all packages were complete"));
}

TEST_F(HostileInputTest, NamesThatAreNotUtf8) {
    Installation ut(tmp.path(), "UT");
    const std::string name = "Sk\xE9n\xFF";  // Latin-1 bytes, as an old archive may unpack them
    ut.add("system/" + name + ".int", skinInt());
    ut.add("system/" + name + ".utx", "t");
    EXPECT_FALSE(repair({ut.folder()}).failed());
    EXPECT_TRUE(isFile(ut.at("textures/" + name + ".utx")));
    EXPECT_TRUE(logHas("    Package " + name +
                       " not installed as ServerPackage in UT.ini...  ...entry added"));
}
#endif

}  // namespace
}  // namespace zendrik::testing
