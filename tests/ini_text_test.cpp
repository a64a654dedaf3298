#include "serverpackages/ini_text.h"
#include "serverpackages/server_package_list.h"

#include <gtest/gtest.h>

namespace zendrik::testing {
namespace {

TEST(IniText, EveryLineEndsInCrLfWhateverTheFileUsed) {
    EXPECT_EQ(iniTextFromBytes(""), "");
    EXPECT_EQ(iniTextFromBytes("a\r\nb"), "a\r\nb\r\n");
    EXPECT_EQ(iniTextFromBytes("a\r\nb\r\n"), "a\r\nb\r\n");
    EXPECT_EQ(iniTextFromBytes("a\nb\n"), "a\r\nb\r\n");
    EXPECT_EQ(iniTextFromBytes("a\rb\r\n\nc"), "a\r\nb\r\n\r\nc\r\n");
    EXPECT_EQ(iniTextFromBytes("\r\n"), "\r\n");
    EXPECT_EQ(iniTextFromBytes("x\xE9y"), "x\xE9y\r\n");  // 8-bit text stays as it is
}

TEST(IniText, APackageIsListedWhenALineHasItAsItsValue) {
    const std::string ini = iniTextFromBytes(
        "[Engine.GameEngine]\nServerPackages=SoldierPack\nServerPackages=MyVoicePack\n"
        "EditPackages=EditOnly\n;ServerPackages=Commented\nServerPackages=Blank \nKey=A=B\n"
        "ServerPackages=LastLine");
    for (const char* listed : {"soldierpack", "SOLDIERPACK", "SoldierPack", "MyVoicePack",
                               "EditOnly", "Commented", "LastLine", "A=B"}) {
        EXPECT_TRUE(ServerPackageList(ini).SearchUTiniForServerPackage(listed)) << listed;
    }
    for (const char* unlisted : {"VoicePack", "MyVoice", "Blank", "B", "Soldier", "GameEngine]"}) {
        EXPECT_FALSE(ServerPackageList(ini).SearchUTiniForServerPackage(unlisted)) << unlisted;
    }
}

TEST(IniText, NewEntriesGoAboveTheFirstLineThatBeginsWithTheKey) {
    const std::string ini = iniTextFromBytes(
        "[A]\n;ServerPackages=Old\nMyServerPackages=X\nserverpackages=PackA\nServerPackages="
        "PackB\n");
    const auto at = serverPackagesInsertionPoint(ini);
    ASSERT_TRUE(at.has_value());
    ServerPackageList list(ini);
    list.add("MySkin");
    const std::string added = list.text();
    EXPECT_EQ(added, iniTextFromBytes(
                         "[A]\n;ServerPackages=Old\nMyServerPackages=X\nServerPackages=MySkin\n"
                         "serverpackages=PackA\nServerPackages=PackB\n"));
    EXPECT_EQ(added.size(), ini.size() + 17 + 6);
    EXPECT_FALSE(serverPackagesInsertionPoint(iniTextFromBytes("[A]\n;ServerPackages=Old\nX=1\n")));
    EXPECT_FALSE(serverPackagesInsertionPoint(""));
}

}  // namespace
}  // namespace zendrik::testing
