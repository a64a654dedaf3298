#include "repair/repair_run.h"

#include "engine_fixture.h"

namespace zendrik::testing {
namespace {

std::vector<std::string> cleanBlock(const std::string& F, bool removal) {
    std::vector<std::string> lines = {"Processing : " + F + "...",
                                      "  Scanning for misplaced extension files...",
                                      "  no misplaced files found"};
    if (removal) {
        lines.insert(lines.end(), {"", "  scaning for packages with missing components...",
                                   "  all packages were complete"});
    }
    lines.insert(lines.end(),
                 {"", "  Scanning for extensions without ServerPackage entry in UT.ini",
                  "  all extensions are already in UT.ini", "", "", ""});
    return lines;
}

class RepairRunTest : public EngineTest {
  protected:
    RepairRun run{disk, log};
};

TEST_F(RepairRunTest, CleanInstallationsGiveOneBlockEachInWorkListOrder) {
    Installation a(tmp.path(), "A"), b(tmp.path(), "B"), c(tmp.path(), "C");
    std::vector<std::string> statuses;
    run.setStatusListener([&](const std::string& s) { statuses.push_back(s); });
    EXPECT_FALSE(run.repairPass({b.folder(), a.folder(), c.folder()}, true).failed());
    std::vector<std::string> expected = cleanBlock(b.folder(), true);
    for (const auto* ut : {&a, &c}) {
        const auto block = cleanBlock(ut->folder(), true);
        expected.insert(expected.end(), block.begin(), block.end());
    }
    EXPECT_EQ(log.lines(), expected);
    EXPECT_EQ(statuses.size(), 3u);
    EXPECT_EQ(run.status(), "current folder : " + c.folder());

    log.clear();
    run.repairPass({a.folder()}, false);
    EXPECT_EQ(log.lines(), cleanBlock(a.folder(), false));

    log.clear();
    run.repairPass({}, true);
    EXPECT_TRUE(log.empty());
}

TEST_F(RepairRunTest, TheSkinExampleFromSweepToExchange) {
    Installation first(tmp.path(), "First"), second(tmp.path(), "Second");
    first.add("system/Foo.int", skinInt());
    first.add("system/Foo.utx", "texture");
    run.repairPass({first.folder(), second.folder()}, true);
    const std::string F = first.folder();
    EXPECT_EQ(
        std::vector<std::string>(log.lines().begin(), log.lines().begin() + 10),
        (std::vector<std::string>{
            "Processing : " + F + "...", "  Scanning for misplaced extension files...",
            "    found Foo.utx in " + F + "system/  ...moved to "_p + F + "textures/"_p, "",
            "  scaning for packages with missing components...", "  all packages were complete", "",
            "  Scanning for extensions without ServerPackage entry in UT.ini",
            "    Package Foo not installed as ServerPackage in UT.ini...  ...entry added", ""}));
    EXPECT_EQ(contentsOf(first.ini()), iniWith({"Foo", "SoldierSkins", "CommandoSkins"}));

    EXPECT_FALSE(run.exchangePass({first.folder(), second.folder()}).failed());
    EXPECT_EQ(log[0], "Processing : " + F + "...");
    EXPECT_EQ(log[3], "      " + second.folder());
    EXPECT_EQ(contentsOf(second.at("textures/Foo.utx")), "texture");
    EXPECT_EQ(contentsOf(second.at("system/Foo.int")), skinInt());
    EXPECT_EQ(contentsOf(second.ini()), iniWith({"Foo", "SoldierSkins", "CommandoSkins"}));
    EXPECT_EQ(run.status(), "current folder : " + second.folder());
}

TEST_F(RepairRunTest, ExchangeOfEqualInstallationsLogsOnlyTheScans) {
    Installation a(tmp.path(), "A"), b(tmp.path(), "B");
    log.addLine("left over from the repair pass");
    run.exchangePass({a.folder(), b.folder()});
    EXPECT_EQ(log.lines(),
              (std::vector<std::string>{
                  "Processing : " + a.folder() + "...", "",
                  "    Scanning other folders for extensions not in " + a.folder(),
                  "      " + b.folder(), "", "", "", "Processing : " + b.folder() + "...", "",
                  "    Scanning other folders for extensions not in " + b.folder(),
                  "      " + a.folder(), "", "", ""}));
}

}  // namespace
}  // namespace zendrik::testing
