#include "packagefiles/incomplete_removal.h"

#include "engine_fixture.h"

namespace zendrik::testing {
namespace {

using RemovalTest = EngineTest;

TEST_F(RemovalTest, KeepsExtensionsWithAnyComponentOrOfOtherKinds) {
    Installation ut(tmp.path(), "UT");
    ut.add("system/Vo.int", voiceInt());
    ut.add("sounds/vo.UAX");
    ut.add("system/Sk.int", skinInt());
    ut.add("system/SK.u");  // not the type a skin suggests, but a component all the same
    ut.add("system/Pc.int", playerClassInt());
    ut.add("models/Pc.u");
    ut.add("system/Mu.int", mutatorInt());
    ut.add("system/Plain.int", "[Public]\r\nPreferences=(Caption=\"x\")\r\n");
    ut.add("system/Core.int", "nothing of a kind");
    RemoveIncompleteExtensions(ctx, ut.folder());
    EXPECT_EQ(log.lines(),
              (std::vector<std::string>{"", "  scaning for packages with missing components...",
                                        "  all packages were complete"}));
    EXPECT_EQ(entriesOf(ut.at("system")).size(), 8u);
}

TEST_F(RemovalTest, DeletesIncompleteDescriptionFilesInListingOrder) {
    Installation ut(tmp.path(), "UT");
    ut.add("system/Gm.int", gameStyleInt());
    ut.add("system/Ab.INT", skinInt());
    ut.add("textures/Gm.unr");  // not a candidate
    ut.add("system/Keep.int", voiceInt());
    ut.add("textures/keep.utx");
    ctx.Merker = true;
    RemoveIncompleteExtensions(ctx, ut.folder());
    const std::string S = ut.folder() + "system/"_p;
    EXPECT_EQ(log.lines(), (std::vector<std::string>{
                               "", "  scaning for packages with missing components...",
                               "    found " + S + "Ab.INT with no equivalent... deleted",
                               "    found " + S + "Gm.int with no equivalent... deleted"}));
    EXPECT_TRUE(ctx.Merker);
    EXPECT_EQ(entriesOf(ut.at("system")),
              (std::vector<std::string>{"Keep.int", "UnrealTournament.ini"}));
}

}  // namespace
}  // namespace zendrik::testing
