#include "filesystem/file_system.h"

namespace zendrik {
namespace {

std::string message(FsOp op, const std::string& path, const std::string& target,
                    const std::string& reason) {
    std::string text = "could not ";
    text += describe(op);
    text += ' ';
    text += path;
    if (!target.empty()) {
        text += " to ";
        text += target;
    }
    text += ": ";
    text += reason;
    return text;
}

}  // namespace

FsError::FsError(FsOp op, std::string path, std::string reason, std::string target)
    : std::runtime_error(message(op, path, target, reason)),
      op_(op),
      path_(std::move(path)),
      target_(std::move(target)),
      reason_(std::move(reason)) {}

FsError FsError::ambiguousName(FsOp op, std::string path, std::string target) {
    FsError e(op, std::move(path), "another file there differs from it only in letter case",
              std::move(target));
    e.ambiguous_ = true;
    return e;
}

FsError FsError::protectedFile(FsOp op, std::string path) {
    FsError e(op, std::move(path), "it is write-protected");
    e.writeProtected_ = true;
    return e;
}

std::string_view describe(FsOp op) {
    switch (op) {
        case FsOp::List:
            return "list";
        case FsOp::Exists:
            return "look for";
        case FsOp::Read:
            return "read";
        case FsOp::Write:
            return "write";
        case FsOp::Copy:
            return "copy";
        case FsOp::Move:
            return "move";
        case FsOp::Remove:
            return "delete";
        case FsOp::AppendTest:
            return "open for appending";
        case FsOp::Lock:
            return "lock";
    }
    return "use";
}

std::string FileSystem::readFile(const std::string& path) {
    auto reader = openForReading(path);
    std::string contents;
    char buffer[64 * 1024];
    for (size_t n; (n = reader->read(buffer, sizeof buffer)) > 0;) {
        contents.append(buffer, n);
    }
    return contents;
}

}  // namespace zendrik
