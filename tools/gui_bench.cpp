// zendrik-gui-bench FOLDER...: drives the wizard as a user would (options, "Open" for each
// installation's System/UnrealTournament.exe, "Next ->") and prints the seconds from the
// click on "Next ->" until the repair pass has returned, for the benchmark's comparison with
// zendrik-cli. Runs on Qt's offscreen platform unless another is chosen.
#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <filesystem>
#include <string>

#include "filesystem/names.h"
#include "filesystem/native_file_system.h"
#include "pages/file_dialog.h"
#include "pages/optionen.h"
#include "pages/ordner_auswahl.h"
#include "pages/reparier.h"
#include "pages/wizard.h"

namespace {

// The path of the installation's executable as the file dialog would give it: the real
// spelling of its System folder, whatever the letter case.
std::string executableOf(const std::string& installation) {
    for (const auto& entry : std::filesystem::directory_iterator(installation)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_directory() && zendrik::sameName(name, "System")) {
            return (entry.path() / "UnrealTournament.exe").string();
        }
    }
    return installation + "/System/UnrealTournament.exe";
}

bool click(QWidget& page, const char* name) {
    auto* button = page.findChild<QAbstractButton*>(QString::fromLatin1(name));
    if (button == nullptr) return false;
    button->click();
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "Usage: zendrik-gui-bench FOLDER...\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    zendrik::NativeFileSystem fs;
    zendrik::Wizard wizard(fs);
    wizard.start();
    if (!click(wizard.optionen(), "NextButton")) return 1;
    for (int i = 1; i < argc; ++i) {
        const std::string exe = executableOf(argv[i]);
        zendrik::FileDialog::setNextFileName(QString::fromStdString(exe));
        if (!click(wizard.ordnerAuswahl(), "OpenButton")) return 1;
    }
    QElapsedTimer timer;
    double seconds = -1;
    QObject::connect(&wizard.reparier(), &zendrik::Reparier::passFinished, [&] {
        seconds = timer.nsecsElapsed() / 1e9;
        QCoreApplication::quit();
    });
    timer.start();
    if (!click(wizard.ordnerAuswahl(), "NextButton")) return 1;
    app.exec();
    if (seconds < 0) return 1;
    std::printf("%.3f\n", seconds);
    return 0;
}
