#include "log/log.h"
#include "repair/saved_log.h"

#include <gtest/gtest.h>

namespace zendrik::testing {
namespace {

// Records what observers are told, in order.
struct Recorder final : LogObserver {
    void lineAdded(const std::string& line) override { events.push_back("+" + line); }
    void lastLineChanged(const std::string& line) override { events.push_back("~" + line); }
    void cleared() override { events.push_back("clear"); }
    std::vector<std::string> events;
};

TEST(Log, ObserversSeeEveryChangeInOrder) {
    Log log;
    Recorder recorder;
    log.addObserver(&recorder);
    log.extendLastLine("first");  // on an empty log the text becomes a line of its own
    log.addLine("found X");
    log.extendLastLine("  ...moved");
    log.clear();
    log.addLine("");
    log.removeObserver(&recorder);
    log.addLine("unseen");
    EXPECT_EQ(recorder.events,
              (std::vector<std::string>{"+first", "+found X", "~found X  ...moved", "clear", "+"}));
    EXPECT_EQ(log.lines(), (std::vector<std::string>{"", "unseen"}));
}

TEST(Log, KeepingOnlyTheLastLineStillTellsObserversEverything) {
    Log log;
    Recorder recorder;
    log.addObserver(&recorder);
    log.keepAllLines(false);
    log.addLine("one");
    log.addLine("found X");
    log.extendLastLine("  ...moved");
    EXPECT_EQ(log.lines(), std::vector<std::string>{"found X  ...moved"});
    EXPECT_EQ(recorder.events,
              (std::vector<std::string>{"+one", "+found X", "~found X  ...moved"}));
    log.keepAllLines(true);
    log.addLine("two");
    EXPECT_EQ(log.lines(), (std::vector<std::string>{"found X  ...moved", "two"}));
}

TEST(Log, SavedTextEndsEveryLineWithCrLf) {
    Log log;
    EXPECT_EQ(savedLogText(log), "");
    log.addLine("Processing : /ut/...");
    log.addLine("");
    log.addLine("x");
    log.extendLastLine("  copied a to b    ");
    EXPECT_EQ(savedLogText(log), "Processing : /ut/...\r\n\r\nx  copied a to b    \r\n");
}

}  // namespace
}  // namespace zendrik::testing
