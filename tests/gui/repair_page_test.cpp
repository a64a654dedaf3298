// The repair page and the whole road of a run: the button rule, the repair pass on showing,
// "COPY!", "Save Log", "Finish" and "Cancel", on installations in a temporary folder.
#include <QCheckBox>
#include <QLineEdit>
#include <QListView>
#include <QTest>

#include <sstream>

#include "cli/undo_command.h"
#include "filesystem/posix_file_system.h"
#include "pages/file_dialog.h"
#include "pages/message_box.h"
#include "wizard_harness.h"

namespace zendrik::testing {
namespace {

QString q(const std::string& text) {
    return QString::fromStdString(text);
}

QString status(WizardHarness& h) {
    return h.control<QLineEdit>(h.repair(), "StatusFeld")->text();
}

// Which buttons of the repair page are shown, in the order COPY!, Finish, Cancel, Save Log.
QString buttons(WizardHarness& h) {
    QStringList names;
    for (const char* name : {"NextButton", "FinishButton", "CancelButton", "SaveLogButton"}) {
        if (h.shown(h.repair(), name)) names << name;
    }
    return names.join(' ');
}

const QString kCopyAndCancel = "NextButton CancelButton";
const QString kFinishAndSave = "FinishButton SaveLogButton";

QByteArray savedForm(const QStringList& lines) {
    QByteArray bytes;
    for (const QString& line : lines) bytes += line.toUtf8() + "\r\n";
    return bytes;
}

// The journals go to a folder of the test's own while this lives.
class JournalsIn {
  public:
    explicit JournalsIn(const std::filesystem::path& folder) : old_(qgetenv("XDG_STATE_HOME")) {
        qputenv("XDG_STATE_HOME", QByteArray::fromStdString(folder.string()));
    }
    ~JournalsIn() { qputenv("XDG_STATE_HOME", old_); }

  private:
    QByteArray old_;
};

QByteArray fileBytes(const std::filesystem::path& path) {
    return QByteArray::fromStdString(contentsOf(path));
}

// Does what a user's click would do at the first log line of a pass, and notes whether a
// button took input at that moment.
class ClickDuringPass : public LogObserver {
  public:
    explicit ClickDuringPass(WizardHarness& h) : h_(h) {}
    bool sawActiveButton = true;
    int lines = 0;

  private:
    void lineAdded(const std::string&) override {
        if (lines++ > 0) return;
        sawActiveButton = false;
        for (const char* name : {"NextButton", "FinishButton", "CancelButton", "SaveLogButton"})
            sawActiveButton |=
                WizardHarness::control<QAbstractButton>(h_.repair(), name)->isEnabled();
        auto* cancel = WizardHarness::control<QAbstractButton>(h_.repair(), "CancelButton");
        QTest::mouseClick(cancel, Qt::LeftButton);
        QTest::keyClick(cancel, Qt::Key_Space);
    }
    void lastLineChanged(const std::string&) override {}
    void cleared() override {}
    WizardHarness& h_;
};

}  // namespace

class RepairPageTest : public QObject {
    Q_OBJECT

  private slots:
    void theWholeRoadOfARun() {
        WizardHarness h;
        auto first = h.installation("First");
        auto second = h.installation("Second");
        first->add("system/Foo.int", skinInt());
        first->add("system/Foo.utx", "texture");
        const std::string F = first->folder();
        const std::string S = second->folder();

        QVERIFY(h.toRepairPageWith({first.get(), second.get()}));
        QVERIFY(h.repair().isVisible());
        QVERIFY(!h.folders().isVisible() && !h.optionen().isVisible());
        QCOMPARE(h.repair().windowTitle(), QStringLiteral("Repairing folders..."));
        QCOMPARE(buttons(h), kCopyAndCancel);
        QCOMPARE(status(h), q("current folder : " + S));

        const QStringList repairLog = h.logLines();
        QCOMPARE(repairLog.mid(0, 3),
                 QStringList(
                     {q("Processing : " + F + "..."), "  Scanning for misplaced extension files...",
                      q("    found Foo.utx in " + F + "system/  ...moved to " + F + "textures/")}));
        QVERIFY(repairLog.contains(
            "    Package Foo not installed as ServerPackage in UT.ini...  ...entry added"));
        QCOMPARE(repairLog.mid(repairLog.size() - cleanBlock(S, true).size()), cleanBlock(S, true));
        QVERIFY(isFile(first->at("textures/Foo.utx")));
        auto* view = h.control<QListView>(h.repair(), "LogListbox");
        QCOMPARE(view->model()->rowCount(), repairLog.size());
        QCOMPARE(view->model()->index(2, 0).data().toString(), repairLog[2]);

        QVERIFY(h.copy());
        QCOMPARE(buttons(h), kFinishAndSave);
        QCOMPARE(h.repair().windowTitle(), QStringLiteral("copying extensions..."));
        const QStringList exchangeLog = h.logLines();
        QCOMPARE(exchangeLog.first(), q("Processing : " + F + "..."));
        QVERIFY(!exchangeLog.contains("  Scanning for misplaced extension files..."));
        QCOMPARE(status(h), q("current folder : " + S));
        QCOMPARE(contentsOf(second->at("textures/Foo.utx")), "texture");
        QCOMPARE(contentsOf(second->at("system/Foo.int")), skinInt());
        QCOMPARE(contentsOf(second->ini()), iniWith({"Foo", "SoldierSkins", "CommandoSkins"}));

        const auto saved = h.tmp.path() / "run.txt";
        FileDialog::setNextFileName(q(saved.string()));
        QVERIFY(h.click(h.repair(), "SaveLogButton"));
        QCOMPARE(fileBytes(saved), savedForm(exchangeLog));
        QCOMPARE(FileDialog::history().back().kind, FileDialog::Kind::Save);
        QCOMPARE(FileDialog::history().back().nameFilters, QStringList({"Textfile (*.txt)"}));

        QCOMPARE(h.endRequests, 0);
        QVERIFY(h.click(h.repair(), "FinishButton"));
        QCOMPARE(MessageBoxes::history().size(), size_t{1});
        QCOMPARE(MessageBoxes::history().back().text,
                 QString::fromUtf8("don\u00B4t forget to re-enable write protection on network "
                                   "drives!"));
        QCOMPARE(MessageBoxes::history().back().title, QString());
        QCOMPARE(h.endRequests, 1);
    }

    void oneLocatedExecutableOffersSaveAndFinishFromTheStart() {
        WizardHarness h;
        auto only = h.installation("Only");
        QVERIFY(h.toRepairPageWith({only.get()}));
        QCOMPARE(buttons(h), kFinishAndSave);
        QCOMPARE(h.logLines(), cleanBlock(only->folder(), true));
        QCOMPARE(status(h), q("current folder : " + only->folder()));

        const auto saved = h.tmp.path() / "Repair Log";
        FileDialog::setNextFileName(q(saved.string()));
        QVERIFY(h.click(h.repair(), "SaveLogButton"));
        QCOMPARE(fileBytes(saved), savedForm(cleanBlock(only->folder(), true)));
    }

    // The wizard's passes are journaled as the command line's are: its repair can be undone.
    void aRepairInTheWizardCanBeUndone() {
        WizardHarness h;
        auto ut = h.installation("Undoable");
        ut->add("system/Foo.utx", "misplaced");
        ut->add("system/Gone.int", skinInt());
        const auto before = treeOf(ut->root());
        QVERIFY(h.toRepairPageWith({ut.get()}));
        QVERIFY(treeOf(ut->root()) != before);
        std::ostringstream out, err;
        PosixFileSystem disk;
        QCOMPARE(runUndoCommand(UndoRequest{UndoRequest::Kind::Last, {}}, disk, {ut->folder()}, out,
                                err),
                 0);
        QCOMPARE(treeOf(ut->root()), before);
    }

    void twoLocatedOneSelectedRepairsOneAndOffersCopy() {
        WizardHarness h;
        auto a = h.installation("A");
        auto b = h.installation("B");
        QVERIFY(h.toFolderPageWith({a.get(), b.get()}));
        h.control<QListWidget>(h.folders(), "vorlOrdnerListe")->item(0)->setSelected(false);
        QVERIFY(h.toRepairPage());
        QCOMPARE(buttons(h), kCopyAndCancel);
        QCOMPARE(h.logLines(), cleanBlock(b->folder(), true));

        // With one folder in the work list the exchange has nothing to take from.
        QVERIFY(h.copy());
        QCOMPARE(h.logLines(),
                 QStringList({q("Processing : " + b->folder() + "..."), "",
                              q("    Scanning other folders for extensions not in " + b->folder()),
                              "", "", ""}));
    }

    void noneSelectedLeavesLogAndStatusEmpty() {
        WizardHarness h;
        auto a = h.installation("A");
        auto b = h.installation("B");
        QVERIFY(h.toFolderPageWith({a.get(), b.get()}));
        h.control<QListWidget>(h.folders(), "vorlOrdnerListe")->clearSelection();
        QVERIFY(h.toRepairPage());
        QCOMPARE(buttons(h), kCopyAndCancel);
        QVERIFY(h.logLines().isEmpty());
        QCOMPARE(status(h), QString());

        // "COPY!" with an empty work list clears nothing it could show, but changes the caption.
        QVERIFY(h.copy());
        QVERIFY(h.logLines().isEmpty());
        QCOMPARE(h.repair().windowTitle(), QStringLiteral("copying extensions..."));
    }

    void theCheckBoxesCountAtTheMomentTheyAreNeeded() {
        WizardHarness h;
        auto a = h.installation("A");
        auto b = h.installation("B");
        a->add("system/Broken.int", mutatorInt());
        b->add("system/Bar.int", mutatorInt());
        b->add("system/Bar.u", "code");
        QVERIFY(h.toFolderPageWith({a.get(), b.get()}));
        // Turned off after the folder page was reached: the pass must see it off.
        QVERIFY(h.click(h.folders(), "Command1"));
        QTest::mouseClick(h.control<QAbstractButton>(h.optionen(), "removeExtensionsCheck"),
                          Qt::LeftButton);
        QVERIFY(h.click(h.optionen(), "NextButton"));
        QVERIFY(h.toRepairPage());
        QCOMPARE(h.logLines().mid(0, cleanBlock(a->folder(), false).size()),
                 cleanBlock(a->folder(), false));
        QVERIFY(isFile(a->at("system/Broken.int")));

        // "compare extensions" turned off before "COPY!": only the buttons change.
        const QStringList repairLog = h.logLines();
        h.control<QAbstractButton>(h.optionen(), "compareextensionsCheck")->setChecked(false);
        QVERIFY(h.copy());
        QCOMPARE(buttons(h), kFinishAndSave);
        QCOMPARE(h.logLines(), repairLog);
        QCOMPARE(h.repair().windowTitle(), QStringLiteral("Repairing folders..."));
        QVERIFY(!isFile(a->at("system/Bar.int")));
        QVERIFY(!isFile(a->at("system/Bar.u")));
    }

    void savingReplacesAndAFailedSaveKeepsTheProgramRunning() {
        WizardHarness h;
        auto a = h.installation("A");
        auto b = h.installation("B");
        QVERIFY(h.toRepairPageWith({a.get(), b.get()}));
        const auto saved = h.tmp.path() / "log.txt";
        put(saved, std::string(5000, 'x'));
        QVERIFY(h.copy());
        const QStringList exchangeLog = h.logLines();
        QVERIFY(!exchangeLog.isEmpty());

        FileDialog::setNextFileName(QString());
        QVERIFY(h.click(h.repair(), "SaveLogButton"));
        QCOMPARE(fileBytes(saved), QByteArray(5000, 'x'));

        for (int time = 0; time < 2; ++time) {
            FileDialog::setNextFileName(q(saved.string()));
            QVERIFY(h.click(h.repair(), "SaveLogButton"));
            QCOMPARE(fileBytes(saved), savedForm(exchangeLog));
        }

        const std::string refused = (h.tmp.path() / "refused.txt").string();
        h.fs.failOnlyWhen(
            [&](FsOp op, const std::string& path) { return op == FsOp::Write && path == refused; },
            "No space left on device");
        FileDialog::setNextFileName(q(refused));
        QVERIFY(h.click(h.repair(), "SaveLogButton"));
        QCOMPARE(MessageBoxes::history().size(), size_t{1});
        QVERIFY(MessageBoxes::history().back().text.contains(q(refused)));
        QVERIFY(MessageBoxes::history().back().text.contains("No space left on device"));
        QVERIFY(!isFile(refused));
        QCOMPARE(h.endRequests, 0);
        QVERIFY(h.repair().isVisible() && h.repair().isEnabled());
        QCOMPARE(h.logLines(), exchangeLog);

        const auto missingFolder = h.tmp.path() / "no such folder" / "log.txt";
        FileDialog::setNextFileName(q(missingFolder.string()));
        QVERIFY(h.click(h.repair(), "SaveLogButton"));
        QCOMPARE(MessageBoxes::history().size(), size_t{2});
        QCOMPARE(h.endRequests, 0);
    }

    void aFailedFolderIsLoggedAndTheRunGoesOn() {
        WizardHarness h;
        auto a = h.installation("A");
        auto b = h.installation("B");
        h.fs.failOnlyWhen(
            [&](FsOp op, const std::string& path) {
                return op == FsOp::Read && path == a->folder() + "System/UnrealTournament.ini";
            },
            "Input/output error");
        QVERIFY(h.toRepairPageWith({a.get(), b.get()}));
        const QStringList log = h.logLines();
        QVERIFY(!log.isEmpty());
        QVERIFY2(log.first().contains("Input/output error"), qPrintable(log.first()));
        QCOMPARE(log.mid(log.size() - cleanBlock(b->folder(), true).size()),
                 cleanBlock(b->folder(), true));
        QVERIFY(MessageBoxes::history().empty());
        QCOMPARE(buttons(h), kCopyAndCancel);
    }

    void theButtonsTakeNoInputWhileAPassRuns() {
        WizardHarness h;
        auto a = h.installation("A");
        auto b = h.installation("B");
        QVERIFY(h.toFolderPageWith({a.get(), b.get()}));
        ClickDuringPass user(h);
        h.repair().log().addObserver(&user);
        QVERIFY(h.toRepairPage());
        h.repair().log().removeObserver(&user);
        QVERIFY(user.lines > 0);
        QVERIFY(!user.sawActiveButton);
        QCOMPARE(h.endRequests, 0);
        QVERIFY(h.repair().isVisible() && h.repair().isEnabled());
        QCOMPARE(buttons(h), kCopyAndCancel);

        // Once the pass has returned, "Cancel" ends the program at once, without a message.
        QVERIFY(h.click(h.repair(), "CancelButton"));
        QCOMPARE(h.endRequests, 1);
        QVERIFY(h.repair().close());
        QCOMPARE(h.endRequests, 2);
        QVERIFY(MessageBoxes::history().empty());
    }

    // The third switch, off at the start, below the other two and next to them by Tab; with
    // it on the page says that it shows a preview and changes nothing, and offers "<- Back",
    // which leads to the options; the real run then offers "Undo", whose log the page shows
    // and "Save Log" saves.
    void aPreviewThenTheRealRunAndItsUndo() {
        TempFolder state;
        JournalsIn journals(state.path());
        WizardHarness h;
        auto a = h.installation("A");
        auto b = h.installation("B");
        a->add("system/Foo.utx", "misplaced");
        const auto before = treeOf(h.tmp.path());
        h.wizard->start();
        auto* preview = h.control<QCheckBox>(h.optionen(), "previewCheck");
        auto* compare = h.control<QCheckBox>(h.optionen(), "compareextensionsCheck");
        QVERIFY(preview && preview->isVisible());
        QCOMPARE(preview->text(), QStringLiteral("only show what would be done"));
        QVERIFY(!preview->isChecked());
        QVERIFY(preview->geometry().top() > compare->geometry().bottom());
        QVERIFY(preview->geometry().bottom() <
                h.control<QWidget>(h.optionen(), "NextButton")->geometry().top());
        compare->setFocus();
        QTest::keyClick(compare, Qt::Key_Tab);
        QCOMPARE(h.optionen().focusWidget(), preview);
        QTest::keyClick(preview, Qt::Key_Space);
        QVERIFY(h.wizard->core().options().previewOnly);

        QVERIFY(h.click(h.optionen(), "NextButton"));
        QVERIFY(h.locate(h.exeOf(*a)));
        QVERIFY(h.locate(h.exeOf(*b)));
        QVERIFY(h.toRepairPage());
        QCOMPARE(h.repair().windowTitle(),
                 QStringLiteral("Repairing folders... (preview: nothing is changed)"));
        const QStringList previewLog = h.logLines();
        QVERIFY(h.shown(h.repair(), "BackButton"));
        QVERIFY(!h.shown(h.repair(), "UndoButton"));
        QVERIFY(h.copy());
        QCOMPARE(h.repair().windowTitle(),
                 QStringLiteral("copying extensions... (preview: nothing is changed)"));
        QCOMPARE(treeOf(h.tmp.path()), before);
        QVERIFY(!h.shown(h.repair(), "UndoButton"));

        QVERIFY(h.click(h.repair(), "BackButton"));
        QVERIFY(h.optionen().isVisible());
        QVERIFY(!h.repair().isVisible());
        QVERIFY(h.logLines().isEmpty());
        QVERIFY(h.click(h.optionen(), "previewCheck"));
        QVERIFY(!h.wizard->core().options().previewOnly);
        QVERIFY(h.click(h.optionen(), "NextButton"));
        QVERIFY(h.toRepairPage());
        QCOMPARE(h.repair().windowTitle(), QStringLiteral("Repairing folders..."));
        QCOMPARE(h.logLines(), previewLog);
        QVERIFY(!h.shown(h.repair(), "BackButton"));
        QVERIFY(h.shown(h.repair(), "UndoButton"));
        QVERIFY(treeOf(h.tmp.path()) != before);

        QVERIFY(h.click(h.repair(), "UndoButton"));
        QVERIFY(h.passEnded());
        QCOMPARE(treeOf(h.tmp.path()), before);
        QVERIFY(!h.shown(h.repair(), "UndoButton"));
        QCOMPARE(buttons(h), kFinishAndSave);
        const QStringList undoLog = h.logLines();
        QCOMPARE(undoLog.first(), "Processing : " + q(a->folder()) + "...");
        QVERIFY(undoLog.at(1).startsWith("  undoing the run "));
        QCOMPARE(undoLog.last(),
                 QStringLiteral("Undo finished: everything the passes changed was taken back"));
        const auto saved = h.tmp.path() / "undo.txt";
        FileDialog::setNextFileName(QString::fromStdString(saved.string()));
        QVERIFY(h.click(h.repair(), "SaveLogButton"));
        QCOMPARE(fileBytes(saved), savedForm(undoLog));
    }

    void theRepairPassRunsOnceAfterTheFirstShowing() {
        WizardHarness h;
        auto a = h.installation("A");
        QVERIFY(h.toFolderPageWith({a.get()}));
        QVERIFY(h.click(h.folders(), "NextButton"));
        // Nothing runs before the page had its chance to paint.
        QVERIFY(h.logLines().isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(!h.logLines().isEmpty() && !h.repair().passRunning(), 20000);
        const int lines = h.logLines().size();
        h.repair().hide();
        h.repair().show();
        QCoreApplication::processEvents();
        QTest::qWait(50);
        QCOMPARE(h.logLines().size(), lines);
    }
};

}  // namespace zendrik::testing

QTEST_MAIN(zendrik::testing::RepairPageTest)
#include "repair_page_test.moc"
