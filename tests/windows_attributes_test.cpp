// Windows: hidden and system files exist for every existence test, but never match a mask.
#ifdef _WIN32
#include <windows.h>

#include "engine_fixture.h"
#include "packagefiles/incomplete_removal.h"
#include "repair/repair_run.h"

namespace zendrik::testing {
namespace {

using WindowsAttributesTest = EngineTest;

TEST_F(WindowsAttributesTest, HiddenAndSystemPackagesArePresentButNeverListed) {
    Installation ut(tmp.path(), "UT");
    ut.add("system/Hidden.int", skinInt());
    ut.add("textures/Hidden.utx", "hidden texture");
    ut.add("system/Sys.int", voiceInt());
    ut.add("sounds/Sys.uax", "system sound");
    ut.add("system/Stray.utx", "a hidden misplaced texture");
    ASSERT_TRUE(::SetFileAttributesW(ut.at("textures/Hidden.utx").c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(::SetFileAttributesW(ut.at("sounds/Sys.uax").c_str(), FILE_ATTRIBUTE_SYSTEM));
    ASSERT_TRUE(::SetFileAttributesW(ut.at("system/Stray.utx").c_str(), FILE_ATTRIBUTE_HIDDEN));

    EXPECT_TRUE(disk.fileExists(ut.folder() + "textures\\Hidden.utx"));
    EXPECT_TRUE(disk.listFiles(ut.folder() + "system\\", "utx").empty());
    RemoveIncompleteExtensions(ctx, ut.folder());
    // Both extensions are complete: their packages are there, hidden or not.
    EXPECT_TRUE(isFile(ut.at("system/Hidden.int")));
    EXPECT_TRUE(isFile(ut.at("system/Sys.int")));
    EXPECT_EQ(log.lines().back(), "  all packages were complete");
}

TEST_F(WindowsAttributesTest, ReadOnlyFilesAreLeftAloneAndTheTurnGoesOn) {
    Installation ut(tmp.path(), "UT"), other(tmp.path(), "Other");
    ut.add("system/Gone.int", skinInt());  // incomplete, but read-only
    ut.add("system/Vo.int", voiceInt());   // still gets its entry
    ut.add("sounds/Vo.uax");
    ASSERT_TRUE(::SetFileAttributesW(ut.at("system/Gone.int").c_str(), FILE_ATTRIBUTE_READONLY));
    other.add("system/Sk.int", skinInt());
    other.add("textures/Sk.utx", "skin");
    ASSERT_TRUE(::SetFileAttributesW(other.at("textures/Sk.utx").c_str(), FILE_ATTRIBUTE_READONLY));
    RepairRun run(disk, log);
    EXPECT_EQ(run.repairPass({ut.folder()}, true).failures.size(), 1u);
    EXPECT_TRUE(isFile(ut.at("system/Gone.int")));
    EXPECT_NE(contentsOf(ut.ini()).find("ServerPackages=Vo\r\n"), std::string::npos);
    // A copy of a read-only file leaves no read-only temporary file behind.
    EXPECT_FALSE(run.exchangePass({ut.folder(), other.folder()}).failed());
    EXPECT_EQ(contentsOf(ut.at("textures/Sk.utx")), "skin");
    for (const auto& name : entriesOf(ut.at("textures"))) {
        EXPECT_FALSE(name.ends_with(".zendrik-tmp")) << name;
    }
}

}  // namespace
}  // namespace zendrik::testing
#endif
