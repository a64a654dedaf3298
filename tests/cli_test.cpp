#include "cli/cli.h"

#include <sstream>

#include "engine_fixture.h"

namespace zendrik::testing {
namespace {

class CliTest : public EngineTest {
  protected:
    int cli(const std::vector<std::string>& arguments) {
        out.str("");
        err.str("");
        return runCli(arguments, disk, out, err);
    }
    std::ostringstream out, err;
};

TEST_F(CliTest, PrintsEveryFinalLineAndSavesTheLastPassLog) {
    Installation a(tmp.path(), "A"), b(tmp.path(), "B");
    a.add("system/Foo.int", skinInt());
    a.add("system/Foo.utx", "t");
    put(b.at("system/UnrealTournament.exe"));
    const std::string logFile = (tmp.path() / "run.txt").string();
    put(logFile, "an older and much longer log that must be replaced entirely");
    ASSERT_EQ(cli({"--copy", "--log", logFile, (tmp.path() / "A").string(),
                   b.at("system/UnrealTournament.exe").string()}),
              kExitSuccess);
    const std::string text = out.str();
    EXPECT_TRUE(text.starts_with("Processing : " + a.folder() + "...\n  Scanning for misplaced"));
    EXPECT_NE(text.find("    found Foo.utx in " + a.folder() + "system/  ...moved to "_p +
                        a.folder() + "textures/\n"_p),
              std::string::npos);
    EXPECT_NE(text.find("  ...entry added\n"), std::string::npos);
    EXPECT_NE(
        text.find("\n      " + a.folder() + "\n        extension found: Foo.int (Skin)  copied"),
        std::string::npos);
    EXPECT_TRUE(text.ends_with("\n\n\n"));
    EXPECT_EQ(err.str(), "");
    // The saved log is the exchange pass's, with CR LF line ends.
    const std::string saved = contentsOf(logFile);
    EXPECT_TRUE(saved.starts_with("Processing : " + a.folder() + "...\r\n\r\n    Scanning other"));
    EXPECT_EQ(saved.find("Scanning for misplaced"), std::string::npos);
    EXPECT_TRUE(saved.ends_with("    \r\n\r\n\r\n\r\n"));
    EXPECT_TRUE(isFile(b.at("textures/Foo.utx")));
}

TEST_F(CliTest, ALogSavedInsideAnInstallationSurvivesItsOwnRun) {
    Installation a(tmp.path(), "A");
    a.add("system/Foo.utx");
    const std::string logFile = a.at("system/run.txt").string();
    ASSERT_EQ(cli({"--log", logFile, a.folder()}), kExitSuccess);
    std::string expected = out.str();
    for (size_t at = 0; (at = expected.find('\n', at)) != std::string::npos; at += 2) {
        expected.replace(at, 1, "\r\n");
    }
    EXPECT_EQ(contentsOf(logFile), expected);
    EXPECT_NE(expected.find("found Foo.utx"), std::string::npos);
}

TEST_F(CliTest, ALogOfHundredsOfKilobytesIsSavedWhole) {
    Installation a(tmp.path(), "A");
    for (int i = 0; i < 1500; ++i) a.add("system/Texture" + std::to_string(i) + ".utx");
    const std::string logFile = (tmp.path() / "run.txt").string();
    ASSERT_EQ(cli({"--log", logFile, a.folder()}), kExitSuccess);
    std::string expected = out.str();
    for (size_t at = 0; (at = expected.find('\n', at)) != std::string::npos; at += 2) {
        expected.replace(at, 1, "\r\n");
    }
    EXPECT_GT(expected.size(), 200'000u);
    EXPECT_EQ(contentsOf(logFile), expected);
    EXPECT_NE(expected.find("found Texture1499.utx"), std::string::npos);
}

TEST_F(CliTest, OptionsShapeTheRun) {
    Installation a(tmp.path(), "A");
    a.add("system/Gone.int", gameStyleInt());
    ASSERT_EQ(cli({"--keep-incomplete", a.folder().substr(0, a.folder().size() - 1)}),
              kExitSuccess);
    EXPECT_EQ(out.str().find("scaning for packages"), std::string::npos);
    EXPECT_NE(out.str().find("Processing : " + a.folder() + "..."), std::string::npos);
    EXPECT_TRUE(isFile(a.at("system/Gone.int")));
    ASSERT_EQ(cli({"--", a.folder()}), kExitSuccess);
    EXPECT_FALSE(isFile(a.at("system/Gone.int")));
    EXPECT_EQ(cli({"--version"}), kExitSuccess);
    EXPECT_EQ(out.str(), "zendrik-cli 1.0\n");
    EXPECT_EQ(cli({"--help"}), kExitSuccess);
    EXPECT_TRUE(out.str().starts_with("Usage: zendrik-cli"));
}

TEST_F(CliTest, BadUsageTouchesNothing) {
    Installation a(tmp.path(), "A");
    a.add("system/Misplaced.utx");
    put(a.at("system/Other.exe"));
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"--frobnicate", a.folder()},
        {"--log"},
        {a.folder(), (tmp.path() / "nowhere").string()},
        {a.folder(), a.at("system/Other.exe").string()},
        {"--log", (tmp.path() / "no" / "log.txt").string(), a.folder()},
        {"--undo", "--copy", a.folder()},
    };
    for (const auto& arguments : bad) {
        EXPECT_EQ(cli(arguments), kExitUsage);
        EXPECT_TRUE(err.str().starts_with("zendrik-cli: ")) << err.str();
        EXPECT_NE(err.str().find("Usage:"), std::string::npos);
        EXPECT_EQ(out.str(), "");
    }
    EXPECT_TRUE(isFile(a.at("system/Misplaced.utx")));
}

// The game's programs, in System or System64, each name the installation above that folder,
// in any letter case as the game's own names are matched; another file there names none.
TEST_F(CliTest, EachProgramOfTheGameNamesTheInstallationAboveItsFolder) {
    Installation ut(tmp.path(), "UT");
    ut.add("system/Foo.utx", "texture");
    std::vector<std::filesystem::path> programs;
    for (const char* folder : {"System", "System64"}) {
        for (const char* program :
             {"UnrealTournament.exe", "ut-bin", "ucc-bin", "ut-bin-amd64", "ucc-bin-amd64"})
            programs.push_back(ut.root() / folder / program);
    }
    programs.push_back(ut.root() / "System64" / "UT-BIN-AMD64");
    // A program in a folder of another name names that folder's parent, as an
    // UnrealTournament.exe there always has.
    programs.push_back(ut.root() / "Linux" / "ut-bin");
    const std::vector<std::filesystem::path> others = {ut.root() / "System64" / "Default.ini",
                                                       ut.root() / "System64" / "ut-bin.sh"};
    for (const auto& file : programs) put(file);
    for (const auto& file : others) put(file);

    for (const auto& program : programs) {
        ASSERT_EQ(cli({"--dry-run", program.string()}), kExitSuccess) << program << err.str();
        EXPECT_TRUE(out.str().starts_with("Processing : " + ut.folder() + "...\n"))
            << program << out.str();
        EXPECT_NE(out.str().find("found Foo.utx"), std::string::npos) << program;
    }
    for (const auto& other : others) {
        EXPECT_EQ(cli({other.string()}), kExitUsage) << other;
        EXPECT_NE(err.str().find(other.string()), std::string::npos) << err.str();
        EXPECT_EQ(out.str(), "");
    }
    EXPECT_TRUE(isFile(ut.at("system/Foo.utx")));
}

// A native Linux installation often has no UnrealTournament.exe: its ut-bin locates it.
TEST_F(CliTest, ANativeInstallationIsRepairedThroughItsUtBin) {
    Installation native(tmp.path(), "Native");
    native.add("system/Foo.utx", "texture");
    put(native.at("system/ut-bin"), "ELF");
    ASSERT_EQ(cli({native.at("system/ut-bin").string()}), kExitSuccess) << err.str();
    EXPECT_TRUE(out.str().starts_with("Processing : " + native.folder() + "...\n")) << out.str();
    EXPECT_EQ(contentsOf(native.at("textures/Foo.utx")), "texture");
    EXPECT_EQ(contentsOf(native.at("system/ut-bin")), "ELF");
}

// A log saved over a program of the game would destroy it; the program locates the
// installation as an UnrealTournament.exe does, so it is refused alike.
TEST_F(CliTest, ALogNeverReplacesAProgramOfTheGame) {
    Installation ut(tmp.path(), "UT");
    const auto programs = {"System/ut-bin", "System/ucc-bin", "System64/ut-bin-amd64",
                           "System64/ucc-bin-amd64", "System64/UnrealTournament.ini"};
    for (const char* program : programs) put(ut.root() / program, "ELF");
    for (const char* program : programs) {
        const std::filesystem::path path = ut.root() / program;
        EXPECT_EQ(cli({"--log", path.string(), ut.folder()}), kExitUsage) << program;
        EXPECT_NE(err.str().find("--log names a file that the run works on"), std::string::npos)
            << err.str();
        EXPECT_EQ(contentsOf(path), "ELF");
    }
}

TEST_F(CliTest, AFailedFolderGivesStatusOneAndGoesToStandardError) {
    Installation a(tmp.path(), "A"), b(tmp.path(), "B");
    std::filesystem::remove(a.ini());
    EXPECT_EQ(cli({a.folder(), b.folder()}), kExitFolderFailed);
    EXPECT_EQ(err.str(), "zendrik-cli: " + a.folder() + ": could not read " + a.folder() +
                             "System/UnrealTournament.ini: No such file or directory\n"_p);
    EXPECT_NE(out.str().find("Processing : " + b.folder()), std::string::npos);
}

}  // namespace
}  // namespace zendrik::testing
