// The wizard sees the disk as it is at the moment of each write test and each "Save Log",
// not as an earlier listing left it; and a message box whose title is empty shows none on
// the window system. Runs under xvfb-run on the xcb platform, for the window titles.
#include <QApplication>
#include <QMessageBox>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "pages/file_dialog.h"
#include "pages/message_box.h"
#include "wizard_harness.h"

namespace zendrik::testing {

class DiskNowTest : public QObject {
    Q_OBJECT

  private slots:
    void anInstallationUnpackedAfterTheFirstWasLocatedPassesTheWriteTest() {
        WizardHarness h;
        auto first = h.installation("UT");
        QVERIFY(h.toFolderPageWith({first.get()}));
        // Unpacked only now, after the first was located.
        auto second = h.installation("UT2");
        QVERIFY(h.locate(h.exeOf(*second)));
        QVERIFY(MessageBoxes::history().empty());
        QCOMPARE(h.selectedEntries(), QStringList({h.exeOf(*first), h.exeOf(*second)}));
    }

    void theLogIsSavedIntoAFolderMadeAfterAnEarlierSave() {
        WizardHarness h;
        auto only = h.installation("Only");
        QVERIFY(h.toRepairPageWith({only.get()}));
        const auto first = h.tmp.path() / "first.txt";
        FileDialog::setNextFileName(QString::fromStdString(first.string()));
        QVERIFY(h.click(h.repair(), "SaveLogButton"));
        QVERIFY(isFile(first));

        // What the save dialog's "New folder" does.
        std::filesystem::create_directory(h.tmp.path() / "New Folder");
        const auto second = h.tmp.path() / "New Folder" / "log.txt";
        FileDialog::setNextFileName(QString::fromStdString(second.string()));
        QVERIFY(h.click(h.repair(), "SaveLogButton"));
        QVERIFY2(MessageBoxes::history().empty(),
                 qPrintable(MessageBoxes::history().empty() ? QString()
                                                            : MessageBoxes::history().back().text));
        QCOMPARE(contentsOf(second), contentsOf(first));
    }

    void aBoxWithAnEmptyTitleShowsNoTitle() {
        WizardHarness h;
        QVERIFY(h.toFolderPage());
        auto locked = h.installation("Locked");
        h.fs.failOnlyWhen([](FsOp op, const std::string&) { return op == FsOp::AppendTest; },
                          "Read-only file system");
        MessageBoxes::setUnattended(false);
        QString shownTitle = QStringLiteral("(no box)");
        QTimer::singleShot(200, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            QProcess tool;
            tool.start(QStringLiteral("xdotool"), QStringList({QStringLiteral("getwindowname"),
                                                               QString::number(box->winId())}));
            tool.waitForFinished(5000);
            shownTitle = QString::fromUtf8(tool.readAllStandardOutput()).chopped(1);
            box->accept();
        });
        QVERIFY(h.locate(h.exeOf(*locked)));
        MessageBoxes::setUnattended(true);
        QCOMPARE(MessageBoxes::history().size(), size_t{1});
        QVERIFY2(shownTitle.trimmed().isEmpty(), qPrintable(shownTitle));
    }
};

}  // namespace zendrik::testing

QTEST_MAIN(zendrik::testing::DiskNowTest)
#include "disk_now_x11_test.moc"
