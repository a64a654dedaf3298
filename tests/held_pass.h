// Holds a pass's worker inside one file operation, the read of one file, until released, for
// the tests of both wizards' repair pages; gives up after ten seconds, so that a pass on the
// interface's thread fails the test instead of hanging it. No toolkit.
#pragma once

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "filesystem/fault_injecting_file_system.h"

namespace zendrik::testing {

class HeldPass {
  public:
    // From now on a pass stops at each read of `path` through `fs` until it is released. The
    // rule stays with `fs`: no pass may read through it once this is gone.
    HeldPass(FaultInjectingFileSystem& fs, std::string path) : path_(std::move(path)) {
        fs.failOnlyWhen([this](FsOp op, const std::string& at) {
            if (op == FsOp::Read && at == path_) wait();
            return false;
        });
    }

    // Whether the worker has come to the read.
    bool reached() const { return reached_; }
    // The worker goes on.
    void release() { released_ = true; }

  private:
    void wait() {
        reached_ = true;
        for (int i = 0; i < 2000 && !released_; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }

    const std::string path_;
    std::atomic<bool> reached_{false};
    std::atomic<bool> released_{false};
};

}  // namespace zendrik::testing
