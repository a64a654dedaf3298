// A FileSystem that passes every call on to another one, except the calls a test chose to
// refuse: those throw FsError before anything reaches the disk, as a refusal of the
// platform would. Counts the calls of each kind of operation (those that reach
// FileSystemWrapper::entering), so a test can aim at the first, a middle or the last call
// of a run.
#pragma once

#include <array>
#include <functional>
#include <string>

#include "filesystem/file_system_wrapper.h"

namespace zendrik {

class FaultInjectingFileSystem final : public FileSystemWrapper {
  public:
    explicit FaultInjectingFileSystem(FileSystem& target) : FileSystemWrapper(target) {}

    // From now on refuses only the `nth` call (counted from 1) of kind `op`, with `reason`;
    // the rule set before is dropped.
    void failOnlyCall(FsOp op, int nth, std::string reason = "injected fault");
    // From now on refuses only the calls whose kind and first path satisfy `rule`; the rule
    // set before is dropped.
    void failOnlyWhen(std::function<bool(FsOp op, const std::string& path)> rule,
                      std::string reason = "injected fault");
    // The number of calls of kind `op` so far, refused ones included.
    int calls(FsOp op) const { return counts_[static_cast<size_t>(op)]; }

  private:
    // Counts the call and throws when it is one to refuse.
    void entering(FsOp op, const std::string& path, const std::string& target) override;

    std::array<int, kFsOpCount> counts_{};
    std::function<bool(FsOp, const std::string&, int)> rule_;
    std::string reason_;
};

}  // namespace zendrik
