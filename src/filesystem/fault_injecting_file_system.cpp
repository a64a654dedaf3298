#include "filesystem/fault_injecting_file_system.h"

namespace zendrik {

void FaultInjectingFileSystem::failOnlyCall(FsOp op, int nth, std::string reason) {
    rule_ = [op, nth](FsOp called, const std::string&, int count) {
        return called == op && count == nth;
    };
    reason_ = std::move(reason);
}

void FaultInjectingFileSystem::failOnlyWhen(std::function<bool(FsOp, const std::string&)> rule,
                                            std::string reason) {
    rule_ = [rule = std::move(rule)](FsOp op, const std::string& path, int) {
        return rule(op, path);
    };
    reason_ = std::move(reason);
}

void FaultInjectingFileSystem::entering(FsOp op, const std::string& path,
                                        const std::string& target) {
    const int count = ++counts_[static_cast<size_t>(op)];
    if (rule_ && rule_(op, path, count)) throw FsError(op, path, reason_, target);
}

}  // namespace zendrik
