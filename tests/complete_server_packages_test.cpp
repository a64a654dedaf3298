#include "serverpackages/complete_server_packages.h"

#include "engine_fixture.h"
#include "serverpackages/ini_text.h"

namespace zendrik::testing {
namespace {

using CompleteTest = EngineTest;

TEST_F(CompleteTest, OnlyStockFilesOrNothingDue) {
    Installation ut(tmp.path(), "UT", iniWith({"PackA"}) + "EditPackages=Mdl\r\n");
    ut.add("system/Core.int", skinInt());  // stock names are skipped before classifying
    ut.add("system/Mu.int", mutatorInt());
    ut.add("system/Gm.int", gameStyleInt());
    ut.add("system/Mdl.int", playerClassInt());  // listed under another key
    std::string utini = readIniText(disk, ut.ini().string());
    const std::string before = utini;
    CompleteUTini(ctx, ut.folder(), utini);
    EXPECT_EQ(log.lines(),
              (std::vector<std::string>{
                  "", "  Scanning for extensions without ServerPackage entry in UT.ini",
                  "  all extensions are already in UT.ini"}));
    EXPECT_EQ(utini, before);
    EXPECT_EQ(contentsOf(ut.ini()), before);
}

TEST_F(CompleteTest, AddsVoicesPlayerClassesAndSkinsInListingOrder) {
    Installation ut(tmp.path(), "UT", iniWith({"PackA"}));
    ut.add("system/B.int", skinInt());
    ut.add("system/a.INT", voiceInt());
    ut.add("system/ubrowser.int", playerClassInt());  // not the stock spelling: an extension
    ut.add("system/Mu.int", mutatorInt());
    std::string utini = readIniText(disk, ut.ini().string());
    CompleteUTini(ctx, ut.folder(), utini);
    const std::string added = " not installed as ServerPackage in UT.ini...  ...entry added";
    EXPECT_EQ(
        log.lines(),
        (std::vector<std::string>{
            "", "  Scanning for extensions without ServerPackage entry in UT.ini",
            "    Package a" + added, "    Package B" + added, "    Package ubrowser" + added}));
    EXPECT_EQ(utini, iniWith({"ubrowser", "B", "a", "PackA"}));
    EXPECT_EQ(contentsOf(ut.ini()), utini);

    // A second run finds everything listed and writes nothing.
    log.clear();
    CompleteUTini(ctx, ut.folder(), utini);
    EXPECT_EQ(log.lines().back(), "  all extensions are already in UT.ini");
    EXPECT_EQ(contentsOf(ut.ini()), iniWith({"ubrowser", "B", "a", "PackA"}));
}

TEST_F(CompleteTest, LfOnlyIniFilesAreNotFilledAgainOnEveryRun) {
    std::string lfIni = iniWith({"PackA", "MyVoice"});
    std::erase(lfIni, '\r');
    Installation ut(tmp.path(), "UT", lfIni);
    ut.add("system/MyVoice.int", voiceInt());
    std::string utini = readIniText(disk, ut.ini().string());
    CompleteUTini(ctx, ut.folder(), utini);
    EXPECT_EQ(log.lines().back(), "  all extensions are already in UT.ini");
    EXPECT_EQ(contentsOf(ut.ini()), lfIni);
}

}  // namespace
}  // namespace zendrik::testing
