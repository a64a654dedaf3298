#include "packagefiles/misplaced_file_sweep.h"

#include "engine_fixture.h"

namespace zendrik::testing {
namespace {

using SweepTest = EngineTest;

TEST_F(SweepTest, NothingMisplaced) {
    Installation ut(tmp.path(), "UT");
    ut.add("system/Foo.u");
    ut.add("textures/Foo.utx");
    ut.add("models/Mdl.u");  // a code package in models stays there
    moveExtensionFiles(ctx, ut.folder());
    EXPECT_EQ(log.lines(), (std::vector<std::string>{"  Scanning for misplaced extension files...",
                                                     "  no misplaced files found"}));
    EXPECT_TRUE(isFile(ut.at("models/Mdl.u")));
}

TEST_F(SweepTest, MovesEachTypeHomeAndLogsInRowOrder) {
    Installation ut(tmp.path(), "UT");
    ut.add("system/Skin.utx");
    ut.add("Maps/Voice.uax");
    ut.add("sounds/Code.U");
    ut.add("textures/Desc.int");
    ut.add("models/Desc2.INT");
    ut.add("sounds/DM-Deck.unr");
    ut.add("maps/readme.txt");
    moveExtensionFiles(ctx, ut.folder());
    const std::string F = ut.folder();
    EXPECT_EQ(log.lines(),
              (std::vector<std::string>{
                  "  Scanning for misplaced extension files...",
                  "    found Skin.utx in " + F + "system/  ...moved to "_p + F + "textures/"_p,
                  "    found Desc.int in " + F + "textures/  ...moved to "_p + F + "system/"_p,
                  "    found Code.U in " + F + "sounds/  ...moved to "_p + F + "system/"_p,
                  "    found DM-Deck.unr in " + F + "sounds/  ...moved to "_p + F + "maps/"_p,
                  "    found Voice.uax in " + F + "maps/  ...moved to "_p + F + "sounds/"_p,
                  "    found Desc2.INT in " + F + "models/  ...moved to "_p + F + "system/"_p,
              }));
    for (const char* home :
         {"textures/Skin.utx", "sounds/Voice.uax", "system/Code.U", "system/Desc.int",
          "system/Desc2.INT", "maps/DM-Deck.unr", "maps/readme.txt"}) {
        EXPECT_TRUE(isFile(ut.at(home))) << home;
    }
    EXPECT_EQ(entriesOf(ut.at("models")), std::vector<std::string>{});
}

TEST_F(SweepTest, LaterRowsWinForTheSameName) {
    Installation ut(tmp.path(), "UT");
    ut.add("system/Dup.utx", "system");
    ut.add("sounds/Dup.utx", "sounds");
    ut.add("maps/Dup.utx", "maps");
    ut.add("models/Dup.utx", "models");
    ut.add("textures/Dup.int", "textures");
    ut.add("maps/Dup.int", "maps");
    ut.add("textures/Dup.utx", "already home");
    moveExtensionFiles(ctx, ut.folder());
    EXPECT_EQ(contentsOf(ut.at("textures/Dup.utx")), "models");
    EXPECT_EQ(contentsOf(ut.at("system/Dup.int")), "maps");
    EXPECT_EQ(entriesOf(ut.at("sounds")), std::vector<std::string>{});
}

}  // namespace
}  // namespace zendrik::testing
