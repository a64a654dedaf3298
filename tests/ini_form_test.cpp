// An ini comes back from a run in its own form: its line ends, its byte-order mark and every
// byte of it, with only the new ServerPackages= lines put in, ending as its first line does.
#include <algorithm>

#include "engine_fixture.h"
#include "repair/repair_run.h"

namespace zendrik::testing {
namespace {

const std::string kMark = "\xEF\xBB\xBF";

// An UnrealTournament.ini as the game leaves it, in three parts: the lines above its
// ServerPackages= block, the block, and the lines below it.
struct StockIni {
    std::vector<std::string> above, serverPackages, below;
};

StockIni stockIni() {
    StockIni ini;
    ini.above = {
        "[URL]",
        "Protocol=unreal",
        "ProtocolDescription=Unreal Protocol",
        "Name=Player",
        "Map=Index.unr",
        "LocalMap=CityIntro.unr",
        "Host=",
        "Portal=",
        "MapExt=unr",
        "SaveExt=usa",
        "Port=7777",
        "Class=Botpack.TMale1",
        "",
        "[FirstRun]",
        "FirstRun=436",
        "",
        "[PackageRemap]",
        "UnrealShare=UnrealI",
        "",
        "[Engine.Engine]",
        "GameRenderDevice=OpenGLDrv.OpenGLRenderDevice",
        "AudioDevice=Galaxy.GalaxyAudioSubsystem",
        "NetworkDevice=IpDrv.TcpNetDriver",
        "DemoRecordingDevice=Engine.DemoRecDriver",
        "Console=UTMenu.UTConsole",
        "Language=int",
        "GameEngine=Engine.GameEngine",
        "EditorEngine=Editor.EditorEngine",
        "WindowedRenderDevice=SoftDrv.SoftwareRenderDevice",
        "RenderDevice=GlideDrv.GlideRenderDevice",
        "DefaultGame=Botpack.DeathMatchPlus",
        "DefaultServerGame=Botpack.DeathMatchPlus",
        "ViewportManager=WinDrv.WindowsClient",
        "Render=Render.Render",
        "Input=Engine.Input",
        "Canvas=Engine.Canvas",
        "CdPath=D:\\",
        "",
        "[Core.System]",
        "PurgeCacheDays=30",
        "SavePath=..\\Save",
        "CachePath=..\\Cache",
        "CacheExt=.uxx",
        "Paths=..\\System\\*.u",
        "Paths=..\\Maps\\*.unr",
        "Paths=..\\Textures\\*.utx",
        "Paths=..\\Sounds\\*.uax",
        "Paths=..\\Music\\*.umx",
        "Suppress=DevLoad",
        "Suppress=DevSave",
        "Suppress=DevNetTraffic",
        "Suppress=DevGarbage",
        "Suppress=DevKill",
        "Suppress=DevReplace",
        "Suppress=DevSound",
        "Suppress=DevCompile",
        "Suppress=DevBind",
        "Suppress=DevBsp",
        "",
        "[Engine.GameEngine]",
        "CacheSizeMegs=4",
        "UseSound=True",
        "ServerActors=IpDrv.UdpBeacon",
        "ServerActors=IpServer.UdpServerQuery",
        "ServerActors=IpServer.UdpServerUplink MasterServerAddress=unreal.epicgames.com "
        "MasterServerPort=27900",
        "ServerActors=UWeb.WebServer",
    };
    ini.serverPackages = {
        "ServerPackages=SoldierSkins",   "ServerPackages=CommandoSkins",
        "ServerPackages=FCommandoSkins", "ServerPackages=SGirlSkins",
        "ServerPackages=BossSkins",      "ServerPackages=Botpack",
        "ServerPackages=MultiMesh",      "ServerPackages=Epic",
        "ServerPackages=UWeb",           "ServerPackages=UBrowser",
    };
    ini.below = {
        "",
        "[Engine.Player]",
        "ConfiguredInternetSpeed=2600",
        "ConfiguredLanSpeed=20000",
        "",
        "[IpDrv.TcpNetDriver]",
        "AllowDownloads=True",
        "ConnectionTimeout=15.0",
        "InitialConnectTimeout=500.0",
        "AckTimeout=1.0",
        "KeepAliveTime=0.2",
        "MaxClientRate=20000",
        "SimLatency=0",
        "RelevantTimeout=5.0",
        "SpawnPrioritySeconds=1.0",
        "ServerTravelPause=4.0",
        "NetServerMaxTickRate=20",
        "LanServerMaxTickRate=35",
        "DownloadManagers=IpDrv.HTTPDownload",
        "DownloadManagers=Engine.ChannelDownload",
        "",
        "[IpServer.UdpServerUplink]",
        "DoUplink=True",
        "UpdateMinutes=1",
        "MasterServerPort=27900",
        "",
        "[UWeb.WebServer]",
        "Applications[0]=UTServerAdmin.UTServerAdmin",
        "ApplicationPaths[0]=/ServerAdmin",
        "Applications[1]=UTServerAdmin.UTImageServer",
        "ApplicationPaths[1]=/images",
        "DefaultApplication=0",
        "bEnabled=False",
        "",
        "[Engine.GameReplicationInfo]",
        "ServerName=Another UT Server   ",  // trailing blanks are the owner's
        "ShortName=UT Server",
        "",
        "[Botpack.ChallengeBotInfo]",
        "Difficulty=1",
    };
    const char* names[] = {"Dante",     "Ash",   "Rhiannon", "Kurgan",   "Sonya",   "Avatar",
                           "Dominator", "Cryss", "Malcolm",  "Drimacus", "Ichthys", "Tamika",
                           "Othello",   "Xan",   "Loque",    "Archon",   "Memnon",  "Pharaoh"};
    const char* keys[] = {"BotNames",    "BotTeams",  "BotSkills", "BotAccuracy",
                          "CombatStyle", "Alertness", "Camping",   "StrafingAbility",
                          "BotClasses",  "BotSkins",  "BotFaces",  "FavoriteWeapon",
                          "VoiceType",   "BotJumpy"};
    for (size_t i = 0; i < std::size(names); ++i) {
        for (const char* key : keys) {
            const std::string value = std::string(key) == "BotNames"     ? names[i]
                                      : std::string(key) == "BotClasses" ? "Botpack.TMale1Bot"
                                      : std::string(key) == "BotSkins"   ? "CommandoSkins.cmdo"
                                      : std::string(key) == "VoiceType"  ? "Botpack.VoiceMaleOne"
                                                                         : "0.000000";
            ini.below.push_back(std::string(key) + "[" + std::to_string(i) + "]=" + value);
        }
    }
    ini.below.insert(ini.below.end(),
                     {"", "[UTMenu.UTConsole]", "SpeechKey=86", "", "[UMenu.UMenuMenuBar]",
                      "ShowHelp=True", "GameUMenuDefault=UTMenu.UTGameMenu"});
    return ini;
}

std::string joined(const std::vector<std::vector<std::string>>& parts, const std::string& end) {
    std::string text;
    for (const auto& part : parts)
        for (const auto& line : part) text += line + end;
    return text;
}

// Empty when `actual` is `expected`; else where they part, with the bytes around, escaped: a
// file of hundreds of lines is not printed whole.
std::string firstDifference(const std::string& actual, const std::string& expected) {
    if (actual == expected) return "";
    size_t at = 0;
    while (at < actual.size() && at < expected.size() && actual[at] == expected[at]) ++at;
    const auto around = [&](const std::string& text) {
        std::string shown;
        for (char c : text.substr(at < 40 ? 0 : at - 40, 80)) {
            if (c == '\r') {
                shown += "\\r";
            } else if (c == '\n') {
                shown += "\\n";
            } else {
                shown += c;
            }
        }
        return shown;
    };
    return "at byte " + std::to_string(at) + " of " + std::to_string(actual.size()) + " (" +
           std::to_string(expected.size()) + " expected): \"" + around(actual) + "\" against \"" +
           around(expected) + "\"";
}

// A model with its player classes, voice, bot, skins and menu item in one description file.
const std::string kMarineInt =
    "[Public]\r\n"
    "Object=(Name=Marine.MarinePlayer,Class=Class,MetaClass=Botpack.TournamentPlayer,"
    "Description=\"Space Marine\")\r\n"
    "Object=(Name=Marine.MarineBot,Class=Class,MetaClass=Botpack.Bot)\r\n"
    "Object=(Name=Marine.VoiceMarine,Class=Class,MetaClass=Botpack.ChallengeVoicePack,"
    "Description=\"Marine\")\r\n"
    "Object=(Name=MarineSkins.mrne1,Class=Texture,Description=\"Fleet Marine\")\r\n"
    "Object=(Name=Marine.MarineMenu,Class=Class,MetaClass=UMenu.UMenuModMenuItem,"
    "Description=\"Marine Options\")\r\n"
    "\r\n[MarineMenu]\r\nMenuCaption=\"&Marine\"\r\nMenuHelp=\"Settings of the Space Marine\"\r\n";
const std::string kSargeInt =
    "[Public]\r\n"
    "Object=(Name=Sarge.Sarge,Class=Class,MetaClass=Botpack.VoiceMaleTwo,Description=\"Sarge\")"
    "\r\n";
// The game's own multi-mesh package, listed in the ini as "MultiMesh".
const std::string kMultiMeshInt =
    "[Public]\r\n"
    "Object=(Name=MultiMesh.TMale2,Class=Class,MetaClass=Botpack.TournamentPlayer,"
    "Description=\"Male Soldier\")\r\n"
    "Object=(Name=MultiMesh.TFemale1,Class=Class,MetaClass=Botpack.TournamentPlayer,"
    "Description=\"Female Commando\")\r\n";

class IniFormTest : public EngineTest {
  protected:
    PassResult repair(const std::vector<std::string>& work) { return run.repairPass(work, true); }
    bool logHas(const std::string& line) const {
        return std::find(log.lines().begin(), log.lines().end(), line) != log.lines().end();
    }
    // An installation with the ini `bytes`, a model and a voice.
    std::unique_ptr<Installation> withExtensions(const std::string& name,
                                                 const std::string& bytes) {
        auto ut = std::make_unique<Installation>(tmp.path(), name, bytes);
        ut->add("system/Marine.int", kMarineInt);
        ut->add("system/Marine.u");
        ut->add("system/Sarge.int", kSargeInt);
        ut->add("sounds/Sarge.uax");
        return ut;
    }
    RepairRun run{disk, log};
};

TEST_F(IniFormTest, AnIniOfHundredsOfLinesComesBackInItsLineEndsWithOnlyTheTwoEntriesAdded) {
    const StockIni stock = stockIni();
    ASSERT_GT(stock.above.size() + stock.serverPackages.size() + stock.below.size(), 300u);
    const std::vector<std::string> added = {"ServerPackages=Sarge", "ServerPackages=Marine"};
    for (const std::string end : {"\n", "\r\n"}) {
        SCOPED_TRACE(end == "\n" ? "LF" : "CR LF");
        log.clear();
        const std::string name = end == "\n" ? "Lf" : "CrLf";
        const auto ut =
            withExtensions(name, joined({stock.above, stock.serverPackages, stock.below}, end));
        ut->add("system/multimesh.int", kMultiMeshInt);  // listed as MultiMesh
        ut->add("system/multimesh.u");
        EXPECT_FALSE(repair({ut->folder()}).failed());
        EXPECT_EQ(
            firstDifference(contentsOf(ut->ini()),
                            joined({stock.above, added, stock.serverPackages, stock.below}, end)),
            "");
        for (const char* base : {"Marine", "Sarge"}) {
            EXPECT_TRUE(logHas(std::string("    Package ") + base +
                               " not installed as ServerPackage in UT.ini...  ...entry added"))
                << base;
        }
    }
}

TEST_F(IniFormTest, NewLinesEndAsTheFirstLineDoesAndEveryOtherByteStays) {
    // First LF, then CR LF, a lone CR, trailing blanks and 8-bit letters.
    const auto lfFirst = withExtensions(
        "LfFirst",
        "[Engine.GameEngine]\nCacheSizeMegs=4  \r\nServerPackages=SoldierSkins\rServerPackages="
        "Botpack\r\n\r\n[Engine.GameReplicationInfo]\nServerName=J\xFCrgens Server \t\r\n");
    // First CR LF, then LF, and no line end after the last line.
    const auto crLfFirst = withExtensions(
        "CrLfFirst",
        "[Engine.GameEngine]\r\nUseSound=True\nServerPackages=Botpack\nServerPackages=Epic");
    // A single line, no line end at all: new lines end in CR LF, the game's own form.
    const auto noEnd = withExtensions("NoEnd", "ServerPackages=Botpack");
    EXPECT_FALSE(repair({lfFirst->folder(), crLfFirst->folder(), noEnd->folder()}).failed());
    EXPECT_EQ(contentsOf(lfFirst->ini()),
              "[Engine.GameEngine]\nCacheSizeMegs=4  \r\nServerPackages=Sarge\nServerPackages="
              "Marine\nServerPackages=SoldierSkins\rServerPackages=Botpack\r\n\r\n"
              "[Engine.GameReplicationInfo]\nServerName=J\xFCrgens Server \t\r\n");
    EXPECT_EQ(contentsOf(crLfFirst->ini()),
              "[Engine.GameEngine]\r\nUseSound=True\nServerPackages=Sarge\r\nServerPackages="
              "Marine\r\nServerPackages=Botpack\nServerPackages=Epic");
    EXPECT_EQ(contentsOf(noEnd->ini()),
              "ServerPackages=Sarge\r\nServerPackages=Marine\r\nServerPackages=Botpack");
}

TEST_F(IniFormTest, AByteOrderMarkStaysAndDoesNotHideTheFirstLine) {
    const StockIni stock = stockIni();
    const auto marked = withExtensions(
        "Marked", kMark + joined({stock.above, stock.serverPackages, stock.below}, "\n"));
    // The first line is the first entry: the new ones go above it, below the mark.
    const auto first =
        withExtensions("First", kMark + "ServerPackages=Botpack\nServerPackages=Epic\n");
    const auto only = withExtensions("Only", kMark + "serverpackages=Botpack");
    EXPECT_FALSE(repair({marked->folder(), first->folder(), only->folder()}).failed());
    EXPECT_EQ(firstDifference(contentsOf(marked->ini()),
                              kMark + joined({stock.above,
                                              {"ServerPackages=Sarge", "ServerPackages=Marine"},
                                              stock.serverPackages,
                                              stock.below},
                                             "\n")),
              "");
    EXPECT_EQ(contentsOf(first->ini()), kMark +
                                            "ServerPackages=Sarge\nServerPackages=Marine\n"
                                            "ServerPackages=Botpack\nServerPackages=Epic\n");
    EXPECT_EQ(contentsOf(only->ini()),
              kMark + "ServerPackages=Sarge\r\nServerPackages=Marine\r\nserverpackages=Botpack");
    for (const auto& line : log.lines())
        EXPECT_EQ(line.find("not added"), std::string::npos) << line;
}

}  // namespace
}  // namespace zendrik::testing
