#include "packagefiles/file_primitives.h"

#include "engine_fixture.h"

namespace zendrik::testing {
namespace {

using PrimitivesTest = EngineTest;

TEST_F(PrimitivesTest, GibDateienListsMatchesInFolderOrderAndReplacesTheList) {
    Installation ut(tmp.path(), "UT");
    EXPECT_EQ(GibDateien(ctx, ut.folder() + "system/*.utx"_p), 0u);
    EXPECT_TRUE(ctx.Dateiliste.empty());

    for (const char* name : {"b.UTX", "a.utx", "C.utx", "d.utx", "e.utx"})
        ut.add(std::string("system/") + name);
    ut.add("system/notes.utx.txt");
    disk.forgetCache();  // files were added behind the layer's back
    ASSERT_EQ(GibDateien(ctx, ut.folder() + "system/*.utx"_p), 5u);
    EXPECT_EQ(ctx.Dateiliste,
              (std::vector<std::string>{"a.utx", "b.UTX", "C.utx", "d.utx", "e.utx"}));

    ut.add("system/x.u");
    ut.add("system/Y.U");
    ut.add("system/z.uax");
    disk.forgetCache();
    ASSERT_EQ(GibDateien(ctx, ut.folder() + "SYSTEM/*.u"_p), 2u);
    EXPECT_EQ(ctx.Dateiliste, (std::vector<std::string>{"x.u", "Y.U"}));
}

TEST_F(PrimitivesTest, GibDateienHasNoLimitOfNames) {
    Installation ut(tmp.path(), "UT");
    for (int i = 0; i < 450; ++i) ut.add("maps/Map" + std::to_string(1000 + i) + ".unr");
    ASSERT_EQ(GibDateien(ctx, ut.folder() + "maps/*.unr"_p), 450u);
    EXPECT_EQ(ctx.Dateiliste.front(), "Map1000.unr");
    EXPECT_EQ(ctx.Dateiliste.back(), "Map1449.unr");
}

TEST_F(PrimitivesTest, CopyExtNotesEachCopyOnTheLastLine) {
    Installation a(tmp.path(), "A");
    Installation b(tmp.path(), "B");
    a.add("system/S1.u", "one");
    a.add("textures/S2.utx", "two");
    b.add("textures/s2.UTX", "old");
    log.addLine("L");
    const std::string s1 = a.folder() + "system/S1.u"_p, t1 = b.folder() + "system/S1.u"_p;
    const std::string s2 = a.folder() + "textures/S2.utx"_p, t2 = b.folder() + "textures/S2.utx"_p;
    copyExt(ctx, s1, t1);
    copyExt(ctx, a.folder() + "system/Missing.u"_p, b.folder() + "system/Missing.u"_p);
    copyExt(ctx, s2, t2);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0],
              "L  copied " + s1 + " to " + t1 + "    " + "  copied " + s2 + " to " + t2 + "    ");
    EXPECT_EQ(contentsOf(b.at("system/S1.u")), "one");
    // The existing target keeps its name on disk and takes the new bytes.
    EXPECT_EQ(contentsOf(b.at("textures/s2.UTX")), "two");
    EXPECT_FALSE(isFile(b.at("system/Missing.u")));
    EXPECT_TRUE(isFile(a.at("system/S1.u")));
}

TEST_F(PrimitivesTest, MoveExtRealLogsAndMovesEveryMatch) {
    Installation ut(tmp.path(), "UT");
    ut.add("system/Foo.UTX", "new foo");
    ut.add("system/bar.utx", "bar");
    ut.add("textures/FOO.utx", "old foo");
    ctx.Merker = false;
    const std::string from = ut.folder() + "system/"_p, to = ut.folder() + "textures/"_p;
    moveExtReal(ctx, from, to, "*.utx");
    EXPECT_TRUE(ctx.Merker);
    EXPECT_EQ(log.lines(), (std::vector<std::string>{
                               "    found bar.utx in " + from + "  ...moved to " + to,
                               "    found Foo.UTX in " + from + "  ...moved to " + to,
                           }));
    EXPECT_EQ(entriesOf(ut.at("textures")), (std::vector<std::string>{"FOO.utx", "bar.utx"}));
    EXPECT_EQ(contentsOf(ut.at("textures/FOO.utx")), "new foo");
    EXPECT_FALSE(isFile(ut.at("system/Foo.UTX")));

    log.clear();
    ctx.Merker = false;
    moveExtReal(ctx, ut.folder() + "models/"_p, to, "*.utx");  // no such folder: nothing
    EXPECT_FALSE(ctx.Merker);
    EXPECT_TRUE(log.empty());
}

}  // namespace
}  // namespace zendrik::testing
