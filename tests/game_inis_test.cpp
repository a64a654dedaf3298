// Every ini file the game reads gets the entries: System's, System64's where the 64-bit build
// of the 469 patch is installed, and a server's own ini files named with --ini; each is
// journaled and taken back by an undo like the rest.
#include "undo_fixture.h"

namespace zendrik::testing {
namespace {

class GameInisTest : public UndoFixture {
  protected:
    static void addSkinAndVoice(Installation& ut) {
        ut.add("system/Skin1.int", skinInt());
        ut.add("system/Skin1.utx", "skin one, misplaced");
        ut.add("system/Voice1.int", voiceInt());
        ut.add("sounds/Voice1.uax", "voice one");
    }
    static std::string entriesOf(const fs::path& ini) {
        std::string entries;
        std::istringstream lines(contentsOf(ini));
        for (std::string line; std::getline(lines, line);) {
            if (line.starts_with("ServerPackages="))
                entries += line.substr(15, line.find('\r') - 15) + " ";
        }
        return entries;
    }
};

TEST_F(GameInisTest, AnInstallationWhoseOnlyIniIsSystem64sIsServedWholeAndNoIniIsMade) {
    Installation ut(tmp.path(), "UT64");
    addSkinAndVoice(ut);
    fs::remove(ut.ini());
    const fs::path ini64 = ut.root() / "System64" / "UnrealTournament.ini";
    put(ini64, iniWith({"SoldierSkins", "CommandoSkins"}));
    // The patch's localized description files are no extensions and no package folder's.
    put(ut.root() / "SystemLocalized" / "de" / "Skin1.int", skinInt());

    ASSERT_EQ(cli({ut.folder()}), kExitSuccess) << err.str() << out.str();
    EXPECT_EQ(entriesOf(ini64), "Voice1 Skin1 SoldierSkins CommandoSkins ");
    EXPECT_FALSE(fs::exists(ut.ini()));
    EXPECT_TRUE(isFile(ut.root() / "SystemLocalized" / "de" / "Skin1.int"));
    EXPECT_TRUE(isFile(ut.at("textures/Skin1.utx")));
    const std::string label = "System64/UnrealTournament.ini"_p;
    EXPECT_NE(out.str().find("  Scanning for extensions without ServerPackage entry in " + label +
                             "\n    Package Skin1 not installed as ServerPackage in " + label +
                             "...  ...entry added\n"),
              std::string::npos)
        << out.str();
}

TEST_F(GameInisTest, BothInisGetTheEntriesEachWithItsOwnLinesInTheRepairAndTheExchange) {
    Installation a(tmp.path(), "UT1"), b(tmp.path(), "UT2");
    addSkinAndVoice(a);
    for (const Installation* ut : {&a, &b}) {
        put(ut->root() / "System64" / "UnrealTournament.ini", iniWith({"Botpack"}));
    }
    ASSERT_EQ(cli({a.folder()}), kExitSuccess) << err.str() << out.str();
    EXPECT_EQ(entriesOf(a.ini()), "Voice1 Skin1 SoldierSkins CommandoSkins ");
    EXPECT_EQ(entriesOf(a.root() / "System64" / "UnrealTournament.ini"), "Voice1 Skin1 Botpack ");
    // The System ini's lines as they always were, then System64's of its own.
    const std::string log = out.str();
    const size_t system = log.find("    Package Skin1 not installed as ServerPackage in UT.ini...");
    const size_t system64 = log.find("    Package Skin1 not installed as ServerPackage in " +
                                     "System64/UnrealTournament.ini"_p + "...  ...entry added");
    EXPECT_NE(system, std::string::npos) << log;
    EXPECT_NE(system64, std::string::npos) << log;
    EXPECT_LT(system, system64);

    ASSERT_EQ(cli({"--copy", a.folder(), b.folder()}), kExitSuccess) << err.str() << out.str();
    EXPECT_EQ(entriesOf(b.ini()), "Voice1 Skin1 SoldierSkins CommandoSkins ");
    EXPECT_EQ(entriesOf(b.root() / "System64" / "UnrealTournament.ini"), "Voice1 Skin1 Botpack ");
    EXPECT_NE(out.str().find("  ...entry added  ...entry added to " +
                             "System64/UnrealTournament.ini"_p + "  copied"),
              std::string::npos)
        << out.str();
}

TEST_F(GameInisTest, AServersOwnIniFilesGetTheEntriesAndTheUndoTakesThemBack) {
    Installation ut(tmp.path(), "Server");
    addSkinAndVoice(ut);
    const fs::path one = ut.root() / "System" / "Server1.ini";
    const fs::path two = ut.root() / "System" / "Server2.ini";
    put(one, iniWith({"Botpack"}));
    put(two, iniWith({"Botpack", "MultiMesh"}));
    put(tmp.path() / "elsewhere.ini", iniWith({"Botpack"}));
    const auto before = stateOf(ut.root());

    // A file outside every installation, or none: bad usage, nothing touched.
    EXPECT_EQ(cli({"--ini", (tmp.path() / "elsewhere.ini").string(), ut.folder()}), kExitUsage);
    EXPECT_NE(err.str().find("--ini names a file outside every FOLDER"), std::string::npos);
    EXPECT_EQ(cli({"--ini", (ut.root() / "System" / "Server3.ini").string(), ut.folder()}),
              kExitUsage);
    EXPECT_NE(err.str().find("--ini names no file"), std::string::npos);
    EXPECT_EQ(stateOf(ut.root()), before);

    // Named by another spelling of its path, and System's own ini named again: once each.
    const std::string twoElsewhere =
        (ut.root() / "Maps" / ".." / "System" / "Server2.ini").string();
    ASSERT_EQ(cli({"--ini", one.string(), "--ini=" + twoElsewhere, "--ini", ut.ini().string(),
                   ut.folder()}),
              kExitSuccess)
        << err.str() << out.str();
    EXPECT_EQ(entriesOf(ut.ini()), "Voice1 Skin1 SoldierSkins CommandoSkins ");
    EXPECT_EQ(entriesOf(one), "Voice1 Skin1 Botpack ");
    EXPECT_EQ(entriesOf(two), "Voice1 Skin1 Botpack MultiMesh ");
    EXPECT_NE(out.str().find("in " + "System/Server2.ini"_p + "...  ...entry added"),
              std::string::npos)
        << out.str();

    ASSERT_EQ(cli({"--undo", ut.folder()}), kExitSuccess) << err.str() << out.str();
    EXPECT_EQ(stateOf(ut.root()), before);
}

}  // namespace
}  // namespace zendrik::testing
