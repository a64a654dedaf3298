// Windows: hidden and system files exist for every existence test, but never match a mask.
#ifdef _WIN32
#include <windows.h>

#include "engine_fixture.h"
#include "packagefiles/incomplete_removal.h"

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

}  // namespace
}  // namespace zendrik::testing
#endif
