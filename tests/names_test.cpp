#include "filesystem/names.h"

#include <gtest/gtest.h>

#include "filesystem/temporary_files.h"

namespace zendrik {
namespace {

TEST(FoldName, CapitalizesLettersOfEveryScriptUsedInNames) {
    EXPECT_EQ(foldName("Botpack.u"), "BOTPACK.U");
    EXPECT_EQ(foldName("äöüàéÿ"), "ÄÖÜÀÉŸ");
    EXPECT_EQ(foldName("āłňžő"), "ĀŁŇŽŐ");
    EXPECT_EQ(foldName("αβως"), "ΑΒΩΣ");
    EXPECT_EQ(foldName("привет ёђ"), "ПРИВЕТ ЁЂ");
    // Already capital, no case at all, or not capitalized by the home platform: unchanged.
    EXPECT_EQ(foldName("ÄŁΩЖ"), "ÄŁΩЖ");
    EXPECT_EQ(foldName("_-.1 ÷ß~"), "_-.1 ÷ß~");
    EXPECT_EQ(foldName(""), "");
}

TEST(FoldName, InvalidUtf8BytesStandForThemselves) {
    EXPECT_EQ(foldName("a\xE4z"), "A\xE4Z");  // a Latin-1 "ä" is no letter here
    EXPECT_EQ(foldName("\xC3z"), "\xC3Z");    // cut-off sequence must not swallow the next byte
    EXPECT_EQ(foldName("x\xC3"), "X\xC3");
    EXPECT_EQ(foldName("\xC1\xA1q"), "\xC1\xA1Q");                // overlong "a"
    EXPECT_EQ(foldName("\xED\xA0\x80s"), "\xED\xA0\x80S");        // surrogate
    EXPECT_EQ(foldName("\xF4\x90\x80\x80"), "\xF4\x90\x80\x80");  // beyond U+10FFFF
    EXPECT_FALSE(sameName("\xE4", "\xC4"));
}

TEST(SameName, IgnoresLetterCaseOnly) {
    EXPECT_TRUE(sameName("UnrealTournament.ini", "unrealtournament.INI"));
    EXPECT_TRUE(sameName("Ä.u", "ä.U"));
    EXPECT_TRUE(sameName("Жук.utx", "жУК.UTX"));
    EXPECT_TRUE(sameName("ΣΟΦΙΑ", "σοφια"));
    EXPECT_FALSE(sameName("a.u", "b.u"));
    EXPECT_FALSE(sameName("ä.u", "a.u"));
    EXPECT_FALSE(sameName("a", "a.u"));
    EXPECT_FALSE(sameName("Ж", "Ш"));
}

TEST(MatchesExtension, NeedsDotExtensionAtTheEnd) {
    EXPECT_TRUE(matchesExtension("Foo.UTX", "utx"));
    EXPECT_TRUE(matchesExtension("foo.utx", "UTX"));
    EXPECT_TRUE(matchesExtension("Foo.tar.u", "u"));
    EXPECT_TRUE(matchesExtension("Ä.Ü", "ü"));
    EXPECT_FALSE(matchesExtension("Foo.uax", "u"));
    EXPECT_FALSE(matchesExtension("Foo.u", "uax"));
    EXPECT_FALSE(matchesExtension("Foou", "u"));
    EXPECT_FALSE(matchesExtension("u", "u"));
    EXPECT_FALSE(matchesExtension("Foo.u.bak", "u"));
    EXPECT_FALSE(matchesExtension("Foo.u" + std::string(kTemporarySuffix), "u"));
    // A name needs at least one character before the dot, as listFiles requires.
    EXPECT_FALSE(matchesExtension(".u", "u"));
}

TEST(AsciiHelpers, IgnoreCaseOfAsciiLettersOnly) {
    EXPECT_EQ(asciiLower('Q'), 'q');
    EXPECT_EQ(asciiLower('\xC4'), '\xC4');
    EXPECT_TRUE(equalsIgnoringAsciiCase("ServerPackages", "SERVERpackages"));
    EXPECT_FALSE(equalsIgnoringAsciiCase("Ä", "ä"));

    EXPECT_TRUE(startsWithIgnoringAsciiCase("ServerPackages=Foo", "serverpackages="));
    EXPECT_FALSE(startsWithIgnoringAsciiCase("Server", "ServerPackages"));
    EXPECT_FALSE(startsWithIgnoringAsciiCase("ServerActors=", "ServerPackages"));
}

}  // namespace
}  // namespace zendrik
