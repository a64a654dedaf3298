// zendrik-screenshots OUTPUT_FOLDER: renders the four windows of the wizard, driven as a user
// would drive them over two small installations in a temporary folder, to options.png,
// folders.png, repair.png and info.png. Run it on Qt's offscreen platform.
#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <cstdio>
#include <filesystem>

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

namespace {

namespace fs = std::filesystem;
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
    zendrik::MessageBox::setUnattended(true);
    zendrik::FileDialog::setUnattended(true);

    // Fixed names, so that the pictures show the same paths on every run.
    const fs::path root = fs::temp_directory_path() / "zendrik-screenshots";
    fs::remove_all(root);
    Installation server(root, "UT-Server");
    Installation laptop(root, "UT-Laptop");
    for (Installation* ut : {&server, &laptop}) ut->add("system/UnrealTournament.exe", "MZ");
    server.add("system/RedArmor.int", zendrik::testing::skinInt());
    server.add("system/RedArmor.utx", "texture");
    server.add("system/Announcer.int", zendrik::testing::voiceInt());
    server.add("sounds/Announcer.uax", "sound");
    server.add("textures/Announcer.u", "code");
    server.add("system/OldSkin.int", zendrik::testing::skinInt());
    laptop.add("maps/DM-Ramp.unr", "map");
    laptop.add("system/DM-Ramp.utx", "texture");

    zendrik::PosixFileSystem disk;
    bool ok = true;
    {
        zendrik::Wizard wizard(disk);
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
        if (!finished.wait(30000)) {
            std::fprintf(stderr, "zendrik-screenshots: the repair pass did not finish\n");
            ok = false;
        }
        ok &= save(wizard.reparier(), output, "repair.png");
    }
    fs::remove_all(root);
    return ok ? 0 : 1;
}
