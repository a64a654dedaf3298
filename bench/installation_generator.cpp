#include "installation_generator.h"

#include <array>
#include <cmath>
#include <fstream>
#include <random>
#include <stdexcept>

namespace zendrik::bench {
namespace {

namespace fs = std::filesystem;

enum class Kind { Skin, Voice, PlayerClass, Mutator, GameType, None };

// A quarter skins, a sixth voices, a tenth each player classes, mutators and game types,
// the rest without a kind: 15, 10, 6, 6, 6 and 17 of every 60.
Kind kindOf(int index) {
    const int slot = index % 60;
    if (slot < 15) return Kind::Skin;
    if (slot < 25) return Kind::Voice;
    if (slot < 31) return Kind::PlayerClass;
    if (slot < 37) return Kind::Mutator;
    if (slot < 43) return Kind::GameType;
    return Kind::None;
}

std::string intText(Kind kind, const std::string& name) {
    std::string text = "[Public]\r\n";
    switch (kind) {
        case Kind::Skin:
            for (int i = 1; i <= 4; ++i) {
                text += "Object=(Name=" + name + ".Skin" + std::to_string(i) +
                        ",Class=Texture,Description=\"" + name + " " + std::to_string(i) +
                        "\")\r\n";
            }
            break;
        case Kind::Voice:
            text += "Object=(Name=" + name + "." + name +
                    ",Class=Class,MetaClass=Botpack.VoiceMale" + ",Description=\"" + name +
                    "\")\r\n";
            break;
        case Kind::PlayerClass:
            text += "Object=(Name=" + name + "." + name +
                    ",Class=Class,MetaClass=Botpack.TournamentPlayer,Description=\"" + name +
                    "\")\r\n";
            break;
        case Kind::Mutator:
            text += "Object=(Name=" + name + "." + name +
                    ",Class=Class,MetaClass=Engine.Mutator,Description=\"" + name + "\")\r\n";
            break;
        case Kind::GameType:
            text += "Object=(Name=" + name + "." + name +
                    ",Class=Class,MetaClass=Botpack.TournamentGameInfo)\r\n";
            break;
        case Kind::None:
            text += "Preferences=(Caption=\"" + name + "\",Parent=\"Advanced Options\")\r\n";
            break;
    }
    text += "\r\n[" + name + "]\r\nHelpText=\"Added by the generator for testing.\"\r\n";
    return text;
}

class Writer {
  public:
    explicit Writer(std::mt19937_64& random) : random_(random) {}

    void write(const fs::path& path, const std::string& contents) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
        if (!out) throw std::runtime_error("cannot write " + path.string());
        bytes += contents.size();
        ++files;
    }

    // A package file of `size` bytes whose contents identify it.
    void package(const fs::path& path, uint64_t size) {
        std::string contents = "UPKG:" + path.filename().string() + ":";
        contents.reserve(size);
        uint64_t x = std::hash<std::string>{}(contents);
        while (contents.size() < size) {
            x = x * 6364136223846793005ULL + 1442695040888963407ULL;
            contents += static_cast<char>(x >> 56);
        }
        contents.resize(std::max<uint64_t>(size, 1));
        write(path, contents);
    }

    // A size spread evenly on a log scale between `low` and `high` bytes.
    uint64_t size(double low, double high, double scale) {
        std::uniform_real_distribution<double> u(std::log(low), std::log(high));
        return static_cast<uint64_t>(std::max(1.0, std::exp(u(random_)) * scale));
    }

    std::mt19937_64& random_;
    uint64_t bytes = 0;
    uint64_t files = 0;
};

// The sub-folders of one installation, spelled in mixed letter case.
struct Layout {
    fs::path system, textures, sounds, maps, models;
};

Layout makeLayout(const fs::path& root, int variant) {
    static const std::array<std::array<const char*, 5>, 3> spellings = {{
        {"System", "TEXTURES", "sounds", "Maps", "models"},
        {"system", "Textures", "SOUNDS", "maps", "Models"},
        {"System", "textures", "Sounds", "MAPS", "models"},
    }};
    const auto& s = spellings[variant];
    Layout layout{root / s[0], root / s[1], root / s[2], root / s[3], root / s[4]};
    for (const auto& p :
         {layout.system, layout.textures, layout.sounds, layout.maps, layout.models}) {
        fs::create_directories(p);
    }
    return layout;
}

constexpr std::array<const char*, 24> kStockInts = {"Core",
                                                    "D3DDrv",
                                                    "Editor",
                                                    "Engine",
                                                    "Galaxy",
                                                    "GlideDrv",
                                                    "IpDrv",
                                                    "IpServer",
                                                    "MeTaLDrv",
                                                    "OpenGlDrv",
                                                    "Setup",
                                                    "SGLDrv",
                                                    "SoftDrv",
                                                    "Startup",
                                                    "UBrowser",
                                                    "UMenu",
                                                    "UnrealI",
                                                    "UnrealShare",
                                                    "UnrealTournament",
                                                    "UTMenu",
                                                    "UTServerAdmin",
                                                    "UWeb",
                                                    "Window",
                                                    "WinDrv"};

std::string iniText(const std::vector<std::string>& listed, std::mt19937_64& random) {
    std::string text =
        "[URL]\r\nProtocol=unreal\r\nProtocolDescription=Unreal Protocol\r\nName=Player\r\n"
        "Map=Index.unr\r\nLocalMap=CityIntro.unr\r\nHost=\r\nPortal=\r\nMapExt=unr\r\n"
        "SaveExt=usa\r\nPort=7777\r\nClass=Botpack.TMale1\r\n\r\n[Engine.GameEngine]\r\n"
        "CacheSizeMegs=4\r\nUseSound=True\r\n";
    for (const char* p :
         {"Core", "Engine", "Editor", "UWindow", "Fire", "IpDrv", "UWeb", "UBrowser", "UnrealShare",
          "UnrealI", "UMenu", "IpServer", "Botpack", "UTServerAdmin", "UTMenu", "UTBrowser"}) {
        text += std::string("EditPackages=") + p + "\r\n";
    }
    for (const char* p : {"SoldierSkins", "CommandoSkins", "FCommandoSkins", "SGirlSkins",
                          "BossSkins", "Botpack"}) {
        text += std::string("ServerPackages=") + p + "\r\n";
    }
    for (const auto& name : listed) text += "ServerPackages=" + name + "\r\n";
    text += "ServerActors=IpDrv.UdpBeacon\r\nServerActors=IpServer.UdpServerQuery\r\n\r\n";
    // Filler sections, as a well-used ini has: a few hundred lines in all.
    std::uniform_int_distribution<int> value(0, 9999);
    for (int section = 0; section < 20; ++section) {
        text += "[Section" + std::to_string(section) + "]\r\n";
        for (int key = 0; key < 12; ++key) {
            text += "Key" + std::to_string(key) + "=" + std::to_string(value(random)) + "\r\n";
        }
        text += "\r\n";
    }
    return text;
}

}  // namespace

GeneratedSet generateInstallations(const fs::path& root, const GeneratorOptions& options) {
    std::mt19937_64 random(options.seed);
    Writer writer(random);
    GeneratedSet set;
    std::vector<Layout> layouts;
    for (int i = 0; i < 3; ++i) {
        set.installations.push_back(root / ("UT" + std::to_string(i + 1)));
        layouts.push_back(makeLayout(set.installations.back(), i));
        writer.write(layouts.back().system / "UnrealTournament.exe", "MZ");
        for (const char* stock : kStockInts) {
            writer.write(layouts.back().system / (std::string(stock) + ".int"),
                         "[Public]\r\nPreferences=(Caption=\"" + std::string(stock) + "\")\r\n");
        }
    }
    const double scale = options.sizeScale;
    std::vector<std::string> listed;
    std::bernoulli_distribution misplace(0.1), incomplete(0.02), listedHalf(0.5);
    for (int i = 0; i < options.extensions; ++i) {
        const Kind kind = kindOf(i);
        const std::string name = "Ext" + std::to_string(100000 + i);
        set.extensionNames.push_back(name);
        const bool complete = !incomplete(random);
        if ((kind == Kind::Skin || kind == Kind::Voice || kind == Kind::PlayerClass) &&
            listedHalf(random)) {
            listed.push_back(name);
        }
        // The same sizes, so the same bytes, wherever the extension is installed.
        const uint64_t texture = writer.size(16e3, 1e6, scale);
        const uint64_t modelTexture = writer.size(100e3, 1e6, scale);
        const uint64_t code = writer.size(10e3, 80e3, scale);
        const uint64_t model = writer.size(30e3, 120e3, scale);
        const uint64_t sound = writer.size(20e3, 200e3, scale);
        // UT1 gets every extension, UT2 every other one, properly placed.
        for (int target = 0; target < (i % 2 == 0 ? 2 : 1); ++target) {
            const Layout& l = layouts[target];
            const bool wrong = target == 0 && misplace(random);
            writer.write((wrong ? l.textures : l.system) / (name + ".int"), intText(kind, name));
            if (!complete) continue;
            switch (kind) {
                case Kind::Skin:
                    writer.package((wrong ? l.system : l.textures) / (name + ".utx"), texture);
                    break;
                case Kind::Voice:
                    writer.package(l.system / (name + ".u"), code);
                    writer.package((wrong ? l.maps : l.sounds) / (name + ".uax"), sound);
                    break;
                case Kind::PlayerClass:
                    writer.package(l.models / (name + ".u"), model);
                    writer.package(l.sounds / (name + "Sounds.uax"), sound);
                    writer.package((wrong ? l.models : l.textures) / (name + ".utx"), modelTexture);
                    break;
                case Kind::Mutator:
                case Kind::GameType:
                case Kind::None:
                    writer.package((wrong ? l.sounds : l.system) / (name + ".u"), code);
                    break;
            }
        }
    }
    // Five maps per extension in UT1's Maps; their size does not matter to a run.
    for (int i = 0; i < 5 * options.extensions; ++i) {
        writer.package(layouts[0].maps / ("DM-Gen" + std::to_string(100000 + i) + ".unr"),
                       writer.size(4e3, 16e3, 1.0));
    }
    for (int i = 0; i < 3; ++i) {
        writer.write(layouts[i].system / "UnrealTournament.ini",
                     iniText(i == 2 ? std::vector<std::string>{} : listed, random));
    }
    set.bytes = writer.bytes;
    set.files = writer.files;
    return set;
}

}  // namespace zendrik::bench
