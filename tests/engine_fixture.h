// A fixture with a throw-away folder, the real file layer and a log, for tests of the steps.
#pragma once

#include <gtest/gtest.h>

#include "filesystem/native_file_system.h"
#include "installation_builder.h"
#include "log/log.h"
#include "packagefiles/run_context.h"

namespace zendrik::testing {

class EngineTest : public ::testing::Test {
  protected:
    TempFolder tmp;
    NativeFileSystem disk;
    Log log;
    RunContext ctx{disk, log};
};

}  // namespace zendrik::testing
