#include "serverpackages/complete_server_packages.h"

#include "engine_fixture.h"
#include "filesystem/fault_injecting_file_system.h"
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
    const std::string before = readIniText(disk, ut.ini().string());
    ServerPackageList utini(before);
    CompleteUTini(ctx, ut.folder(), utini);
    EXPECT_EQ(log.lines(),
              (std::vector<std::string>{
                  "", "  Scanning for extensions without ServerPackage entry in UT.ini",
                  "  all extensions are already in UT.ini"}));
    EXPECT_EQ(utini.text(), before);
    EXPECT_EQ(contentsOf(ut.ini()), before);
}

TEST_F(CompleteTest, AddsVoicesPlayerClassesAndSkinsInListingOrder) {
    Installation ut(tmp.path(), "UT", iniWith({"PackA"}));
    ut.add("system/B.int", skinInt());
    ut.add("system/a.INT", voiceInt());
    ut.add("system/ubrowser.int", playerClassInt());  // not the stock spelling: an extension
    ut.add("system/Mu.int", mutatorInt());
    ServerPackageList utini(readIniText(disk, ut.ini().string()));
    CompleteUTini(ctx, ut.folder(), utini);
    const std::string added = " not installed as ServerPackage in UT.ini...  ...entry added";
    EXPECT_EQ(
        log.lines(),
        (std::vector<std::string>{
            "", "  Scanning for extensions without ServerPackage entry in UT.ini",
            "    Package a" + added, "    Package B" + added, "    Package ubrowser" + added}));
    EXPECT_EQ(utini.text(), iniWith({"ubrowser", "B", "a", "PackA"}));
    EXPECT_EQ(contentsOf(ut.ini()), utini.text());

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
    ServerPackageList utini(readIniText(disk, ut.ini().string()));
    CompleteUTini(ctx, ut.folder(), utini);
    EXPECT_EQ(log.lines().back(), "  all extensions are already in UT.ini");
    EXPECT_EQ(contentsOf(ut.ini()), lfIni);
}

TEST_F(CompleteTest, TheFileIsWrittenBeforeAnyEntryIsReportedAdded) {
    Installation ut(tmp.path(), "UT", iniWith({"PackA"}));
    ut.add("system/A.int", voiceInt());
    ut.add("system/B.int", skinInt());
    ut.add("system/C.int", skinInt());
    const std::string before = contentsOf(ut.ini());
    FaultInjectingFileSystem faulty(disk);
    RunContext refused(faulty, log);
    // The third description file cannot be read: the two entries found before it are
    // written, then reported, then the failure is passed on.
    faulty.failOnlyWhen([](FsOp op, const std::string& path) {
        return op == FsOp::Read && path.ends_with("C.int");
    });
    ServerPackageList utini(readIniText(disk, ut.ini().string()));
    EXPECT_THROW(CompleteUTini(refused, ut.folder(), utini), FsError);
    EXPECT_EQ(contentsOf(ut.ini()), iniWith({"B", "A", "PackA"}));
    EXPECT_EQ(log.lines().back(),
              "    Package B not installed as ServerPackage in UT.ini...  ...entry added");

    // The write refused: the file keeps its bytes and no line claims an entry.
    log.clear();
    FaultInjectingFileSystem noWrite(disk);
    RunContext unwritable(noWrite, log);
    noWrite.failOnlyCall(FsOp::Write, 1, "No space left on device");
    Installation other(tmp.path(), "Other", iniWith({"PackA"}));
    other.add("system/A.int", voiceInt());
    other.add("system/B.int", skinInt());
    disk.forgetCache();  // made behind the layer's back
    ServerPackageList otherIni(readIniText(disk, other.ini().string()));
    EXPECT_THROW(CompleteUTini(unwritable, other.folder(), otherIni), FsError);
    EXPECT_EQ(contentsOf(other.ini()), iniWith({"PackA"}));
    EXPECT_EQ(log.lines().back(), "    Package A not installed as ServerPackage in UT.ini...");
    for (const auto& line : log.lines()) EXPECT_FALSE(line.ends_with("...entry added")) << line;
}

// The search the slow way, line by line through the text: what the index must agree with.
bool listedInText(std::string_view name, const std::string& utini) {
    return anyIniLine(utini, [&](std::string_view line, size_t) {
        const size_t eq = line.find('=');
        return eq != std::string_view::npos && equalsIgnoringAsciiCase(line.substr(eq + 1), name);
    });
}

TEST_F(CompleteTest, TheIndexAgreesWithTheSearchOfTheText) {
    const std::string ini = iniTextFromBytes(
        "[A]\nServerPackages=SoldierPack\nEditPackages=Edit\n;ServerPackages=Old\nK=A=B\nBlank= \n"
        "ServerPackages=\nNoValue\n");
    ServerPackageList list(ini);
    list.add("Added");
    for (const char* name : {"soldierpack", "EDIT", "Old", "A=B", "B", " ", "", "NoValue", "added",
                             "Soldier", "Pack"}) {
        EXPECT_EQ(list.SearchUTiniForServerPackage(name), listedInText(name, list.text())) << name;
    }
}

}  // namespace
}  // namespace zendrik::testing
