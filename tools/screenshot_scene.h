// What the screenshots of both wizards show: two small installations, "UT-Server" and
// "UT-Laptop", in a folder of fixed name below the temporary folder (so that the pictures
// show the same paths on every run), and a file layer over the disk that holds the repair
// pass before it reads the second installation's ini, for the picture of the page during a
// pass.
#pragma once

#include <atomic>
#include <filesystem>
#include <string>

#include "filesystem/fault_injecting_file_system.h"
#include "installation_builder.h"

namespace zendrik::testing {

class ScreenshotScene {
  public:
    // Makes the installations anew; `disk` (the platform's file layer) must outlive this.
    explicit ScreenshotScene(FileSystem& disk);
    // Removes the installations.
    ~ScreenshotScene();
    ScreenshotScene(const ScreenshotScene&) = delete;
    ScreenshotScene& operator=(const ScreenshotScene&) = delete;

    const std::filesystem::path root;
    Installation server;
    Installation laptop;
    // The file layer for the wizard. Its hold gives up after ten seconds.
    FaultInjectingFileSystem fs;
    // Set once the pass waits at the hold; set `released` to let it go on.
    std::atomic<bool> held{false};
    std::atomic<bool> released{false};
};

}  // namespace zendrik::testing
