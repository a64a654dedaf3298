#include "serverpackages/game_inis.h"

#include "filesystem/names.h"
#include "serverpackages/ini_text.h"

namespace zendrik {
namespace {

GameIni read(FileSystem& fs, const std::string& readPath, std::string path, std::string label) {
    return GameIni{std::move(path), std::move(label), ServerPackageList(readIniText(fs, readPath)),
                   false};
}

}  // namespace

std::vector<GameIni> readGameInis(FileSystem& fs, const std::string& Ordner,
                                  const std::vector<std::string>& extra) {
    std::vector<GameIni> inis;
    const std::string system64 = Ordner + subFolder("System64") + "UnrealTournament.ini";
    const bool has64 = fs.fileExists(system64);
    if (!has64 || fs.fileExists(iniPathToRead(Ordner))) {
        inis.push_back(read(fs, iniPathToRead(Ordner), iniPathToWrite(Ordner), "UT.ini"));
    }
    if (has64) inis.push_back(read(fs, system64, system64, system64.substr(Ordner.size())));
    for (const auto& path : extra) {
        bool known = false;
        for (const auto& ini : inis) known = known || fs.sameFile(ini.path, path);
        if (!known) inis.push_back(read(fs, path, path, path.substr(Ordner.size())));
    }
    return inis;
}

void withUTiniAlone(const std::string& Ordner, ServerPackageList& utini,
                    const std::function<void(std::vector<GameIni>& inis)>& step) {
    std::vector<GameIni> inis;
    inis.push_back(GameIni{iniPathToWrite(Ordner), "UT.ini", std::move(utini), false});
    try {
        step(inis);
    } catch (...) {
        utini = std::move(inis.front().entries);
        throw;
    }
    utini = std::move(inis.front().entries);
}

}  // namespace zendrik
