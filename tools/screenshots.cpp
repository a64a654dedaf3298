// zendrik-screenshots OUTPUT_FOLDER: renders the four windows of the wizard, driven as a user
// would drive them over two small installations in a temporary folder, to options.png,
// folders.png, repair-running.png (the repair page while its pass is held before the second
// installation), repair.png and info.png. Run it on Qt's offscreen platform, on a screen
// large enough for the pages.
#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "filesystem/fault_injecting_file_system.h"
#include "filesystem/posix_file_system.h"
#include "installation_builder.h"
#include "pages/file_dialog.h"
#include "pages/info_formular.h"
#include "pages/message_box.h"
#include "pages/optionen.h"
#include "pages/ordner_auswahl.h"
#include "pages/program_icon.h"
#include "pages/reparier.h"
#include "pages/wizard.h"
#include "screenshot_scene.h"

namespace {

using zendrik::testing::Installation;

bool save(QWidget& window, const QString& folder, const char* name) {
    QCoreApplication::processEvents();
    const QString path = QDir(folder).filePath(QString::fromLatin1(name));
    if (!window.grab().save(path)) {
        std::fprintf(stderr, "zendrik-screenshots: could not write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

void click(QWidget& page, const char* name) {
    page.findChild<QPushButton*>(QString::fromLatin1(name))->click();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (QApplication::arguments().size() != 2) {
        std::fprintf(stderr, "usage: zendrik-screenshots OUTPUT_FOLDER\n");
        return 2;
    }
    const QString output = QApplication::arguments().at(1);
    if (!QDir(output).exists()) {
        std::fprintf(stderr, "zendrik-screenshots: no folder %s\n", qPrintable(output));
        return 2;
    }
    QApplication::setWindowIcon(zendrik::programIcon());
    zendrik::MessageBoxes::setUnattended(true);
    zendrik::FileDialog::setUnattended(true);

    zendrik::PosixFileSystem posix;
    zendrik::testing::ScreenshotScene scene(posix);
    Installation& server = scene.server;
    Installation& laptop = scene.laptop;
    std::atomic<bool>& held = scene.held;
    std::atomic<bool>& released = scene.released;
    bool ok = true;
    {
        zendrik::Wizard wizard(scene.fs);
        wizard.start();
        ok &= save(wizard.optionen(), output, "options.png");

        click(wizard.optionen(), "InfoButton");
        ok &= save(wizard.infoFormular(), output, "info.png");
        wizard.infoFormular().cmdOK_Click();

        click(wizard.optionen(), "NextButton");
        for (const Installation* ut : {&server, &laptop}) {
            zendrik::FileDialog::setNextFileName(
                QString::fromStdString(ut->at("system/UnrealTournament.exe").string()));
            click(wizard.ordnerAuswahl(), "OpenButton");
        }
        ok &= save(wizard.ordnerAuswahl(), output, "folders.png");

        QSignalSpy finished(&wizard.reparier(), &zendrik::Reparier::passFinished);
        click(wizard.ordnerAuswahl(), "NextButton");
        if (!QTest::qWaitFor([&] { return held && wizard.reparier().log().size() > 3; }, 10000)) {
            std::fprintf(stderr, "zendrik-screenshots: the repair pass did not reach its hold\n");
            ok = false;
        }
        QTest::qWait(200);
        ok &= save(wizard.reparier(), output, "repair-running.png");
        released = true;
        if (!finished.wait(30000)) {
            std::fprintf(stderr, "zendrik-screenshots: the repair pass did not finish\n");
            ok = false;
        }
        ok &= save(wizard.reparier(), output, "repair.png");
    }
    return ok ? 0 : 1;
}
