#include "packagefiles/extension_classifier.h"

#include "engine_fixture.h"

namespace zendrik::testing {
namespace {

TEST(ClassifierText, LastPatternInTableOrderWins) {
    EXPECT_EQ(classifyExtensionText("MetaClass=Botpack.TournamentPlayer\r\nClass=Texture"), "Skin");
    EXPECT_EQ(
        classifyExtensionText("Class=Texture MetaClass=Engine.Mutator MetaClass=Botpack.Voice"),
        "Mutator");
    EXPECT_EQ(
        classifyExtensionText("MetaClass=Botpack.Voice\nMetaClass=Botpack.TournamentGameInfo"),
        "GameStyle");
    EXPECT_EQ(classifyExtensionText("metaclass=botpack.tournamentplayer"), "PlayerClass");
    EXPECT_EQ(classifyExtensionText("Object=(Class=TextureCanvas)"), "Skin");
    EXPECT_EQ(classifyExtensionText("MetaClass=Botpack.VoiceMaleTwo"), "Voice");
    EXPECT_EQ(classifyExtensionText(""), "");
    EXPECT_EQ(
        classifyExtensionText("[Public]\r\nObject=(Name=X,Class=Class,MetaClass=Botpack.Weapon)"),
        "");
    // A pattern broken by a line end is not one.
    EXPECT_EQ(classifyExtensionText("Class=\r\nTexture"), "");
}

TEST(ClassifierText, PatternsStraddlingPiecesAreFound) {
    const std::string text =
        std::string(70000, 'x') + "MetaClass=Engine.Mutator" + std::string(10, 'y');
    for (size_t piece : {1u, 7u, 4096u, 65536u}) {
        ExtensionKindScanner scanner;
        for (size_t at = 0; at < text.size(); at += piece)
            scanner.feed(std::string_view(text).substr(at, piece));
        EXPECT_EQ(scanner.kind(), "Mutator") << "pieces of " << piece;
    }
}

TEST(ClassifierText, Utf16DescriptionFilesAreDecoded) {
    const std::string ascii = "Object=(Name=V.V,MetaClass=Botpack.Voice)\r\n";
    std::string le = "\xFF\xFE", be = "\xFE\xFF";
    for (char c : ascii) {
        le += c, le += '\0';
        be += '\0', be += c;
    }
    le += "\x3A\x04";  // a Cyrillic letter: not a pattern character, and no harm
    EXPECT_EQ(classifyExtensionText(le), "Voice");
    EXPECT_EQ(classifyExtensionText(be), "Voice");
    ExtensionKindScanner split;
    for (char c : le) split.feed(std::string(1, c));
    EXPECT_EQ(split.kind(), "Voice");
    // Without a mark, UTF-16 text holds no 8-bit pattern.
    EXPECT_EQ(classifyExtensionText(le.substr(2)), "");
}

using ClassifierFile = EngineTest;

TEST_F(ClassifierFile, ReadsTheFileWhateverItsCase) {
    Installation ut(tmp.path(), "UT");
    ut.add("system/MYSKIN.INT", skinInt());
    EXPECT_EQ(whatIsThisExtension(ctx, ut.folder() + "system/MySkin.int"_p), "Skin");
    EXPECT_THROW(whatIsThisExtension(ctx, ut.folder() + "system/Gone.int"_p), FsError);
}

}  // namespace
}  // namespace zendrik::testing
