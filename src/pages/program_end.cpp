#include "pages/program_end.h"

#include <QCoreApplication>

namespace zendrik {
namespace {

std::function<void()>& handler() {
    static std::function<void()> replaced;
    return replaced;
}

}  // namespace

void endProgram() {
    if (handler()) {
        handler()();
        return;
    }
    // Leaves every running event loop, so main returns and the windows are destroyed.
    QCoreApplication::exit(0);
}

void setProgramEndHandler(std::function<void()> replacement) {
    handler() = std::move(replacement);
}

}  // namespace zendrik
