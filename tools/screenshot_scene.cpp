#include "screenshot_scene.h"

#include <chrono>
#include <thread>

#include "filesystem/names.h"

namespace zendrik::testing {

ScreenshotScene::ScreenshotScene(FileSystem& disk)
    : root((std::filesystem::remove_all(std::filesystem::temp_directory_path() /
                                        "zendrik-screenshots"),
            std::filesystem::temp_directory_path() / "zendrik-screenshots")),
      server(root, "UT-Server"),
      laptop(root, "UT-Laptop"),
      fs(disk) {
    for (Installation* ut : {&server, &laptop}) ut->add("system/UnrealTournament.exe", "MZ");
    server.add("system/RedArmor.int", skinInt());
    server.add("system/RedArmor.utx", "texture");
    server.add("system/Announcer.int", voiceInt());
    server.add("sounds/Announcer.uax", "sound");
    server.add("textures/Announcer.u", "code");
    server.add("system/OldSkin.int", skinInt());
    laptop.add("maps/DM-Ramp.unr", "map");
    laptop.add("system/DM-Ramp.utx", "texture");

    const std::string laptopIni =
        laptop.folder() + "System" + std::string(1, kSeparator) + "UnrealTournament.ini";
    fs.failOnlyWhen([this, laptopIni](FsOp op, const std::string& path) {
        if (op != FsOp::Read || path != laptopIni || released) return false;
        held = true;
        for (int i = 0; i < 1000 && !released; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return false;
    });
}

ScreenshotScene::~ScreenshotScene() {
    std::error_code error;
    std::filesystem::remove_all(root, error);
}

}  // namespace zendrik::testing
