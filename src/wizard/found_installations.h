// The installations that the finder found on this machine, for the folder page's "Open"
// dialog: it starts in the first one's System folder and offers every one in its side bar.
// The search runs once, on a thread of its own, from the moment the wizard starts, so that
// the dialog waits for it only as long as a search lasts, a second at the most.
#pragma once

#include <functional>
#include <future>
#include <optional>
#include <string>
#include <vector>

namespace zendrik {

class FoundInstallations {
  public:
    // `find` returns the installation folders found, each ending in kSeparator; by default
    // the finder's search of this machine.
    explicit FoundInstallations(std::function<std::vector<std::string>()> find = {});

    // The folders found; a search not done within a second counts as finding nothing.
    const std::vector<std::string>& folders();
    // The folder the dialog starts in: the first installation's System folder (or System64,
    // where it has only that), as the disk spells it; "" when none was found.
    std::string startFolder();

  private:
    std::future<std::vector<std::string>> search_;
    std::optional<std::vector<std::string>> folders_;
};

}  // namespace zendrik
