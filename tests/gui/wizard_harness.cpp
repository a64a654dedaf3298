#include "wizard_harness.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include "pages/file_dialog.h"
#include "pages/message_box.h"
#include "pages/program_end.h"

namespace zendrik::testing {

WizardHarness::WizardHarness() {
    MessageBoxes::clearHistory();
    MessageBoxes::setUnattended(true);
    FileDialog::clearHistory();
    FileDialog::setUnattended(true);
    setProgramEndHandler([this] { ++endRequests; });
    wizard = std::make_unique<Wizard>(fs);
}

WizardHarness::~WizardHarness() {
    wizard.reset();
    setProgramEndHandler({});
    MessageBoxes::clearHistory();
    FileDialog::clearHistory();
}

bool WizardHarness::click(QWidget& page, const char* name) {
    auto* button = control<QAbstractButton>(page, name);
    if (!button || !button->isVisible() || !button->isEnabled()) return false;
    QTest::mouseClick(button, Qt::LeftButton);
    return true;
}

bool WizardHarness::shown(QWidget& page, const char* name) {
    auto* widget = control<QWidget>(page, name);
    return widget && widget->isVisible();
}

std::unique_ptr<Installation> WizardHarness::installation(const std::string& name) {
    auto made = std::make_unique<Installation>(tmp.path(), name);
    made->add("system/UnrealTournament.exe", "MZ");
    return made;
}

QString WizardHarness::exeOf(const Installation& installation) {
    return QString::fromStdString(installation.at("system/UnrealTournament.exe").string());
}

bool WizardHarness::locate(const QString& exe) {
    FileDialog::setNextFileName(exe);
    return click(folders(), "OpenButton");
}

bool WizardHarness::toFolderPage() {
    wizard->start();
    return click(optionen(), "NextButton") && folders().isVisible();
}

bool WizardHarness::toRepairPage() {
    if (!click(folders(), "NextButton")) return false;
    QSignalSpy finished(&repair(), &Reparier::passFinished);
    return finished.wait(20000);
}

bool WizardHarness::copy() {
    return click(repair(), "NextButton") && passEnded();
}

bool WizardHarness::passEnded() {
    QElapsedTimer waited;
    waited.start();
    while (repair().passRunning() && waited.elapsed() < 20000) QTest::qWait(5);
    return !repair().passRunning();
}

QStringList WizardHarness::entries(const char* list) {
    QStringList texts;
    auto* widget = control<QListWidget>(folders(), list);
    for (int i = 0; widget && i < widget->count(); ++i) texts << widget->item(i)->text();
    return texts;
}

QStringList WizardHarness::selectedEntries() {
    QStringList texts;
    auto* widget = control<QListWidget>(folders(), "vorlOrdnerListe");
    for (int i = 0; widget && i < widget->count(); ++i) {
        if (widget->item(i)->isSelected()) texts << widget->item(i)->text();
    }
    return texts;
}

QStringList WizardHarness::logLines() {
    QStringList lines;
    for (const std::string& line : repair().log().lines()) lines << QString::fromStdString(line);
    return lines;
}

QStringList cleanBlock(const std::string& folder, bool removal) {
    const QString F = QString::fromStdString(folder);
    QStringList lines = {"Processing : " + F + "...", "  Scanning for misplaced extension files...",
                         "  no misplaced files found"};
    if (removal)
        lines << ""
              << "  scaning for packages with missing components..."
              << "  all packages were complete";
    lines << ""
          << "  Scanning for extensions without ServerPackage entry in UT.ini"
          << "  all extensions are already in UT.ini"
          << ""
          << ""
          << "";
    return lines;
}

}  // namespace zendrik::testing
