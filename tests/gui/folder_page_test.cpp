// The folder page: locating executables through the open dialog, the write test, the list's
// selection, and the work list that "Next ->" builds.
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QSignalSpy>
#include <QTest>
#include <filesystem>

#include "pages/file_dialog.h"
#include "pages/message_box.h"
#include "wizard_harness.h"

namespace zendrik::testing {

class FolderPageTest : public QObject {
    Q_OBJECT

  private slots:
    void eachLocatedExecutableIsListedOnceAndSelected() {
        WizardHarness h;
        auto a = h.installation("A");
        auto b = h.installation("B");
        QVERIFY(h.toFolderPageWith({a.get(), b.get()}));
        QVERIFY(h.locate(h.exeOf(*a)));
        QCOMPARE(h.entries("vorlOrdnerListe"), QStringList({h.exeOf(*a), h.exeOf(*b)}));
        QCOMPARE(h.selectedEntries(), QStringList({h.exeOf(*a), h.exeOf(*b)}));
        QCOMPARE(h.fs.calls(FsOp::AppendTest), 2);
        QVERIFY(MessageBoxes::history().empty());

        // The same file named with other letter cases is another entry, as the list compares
        // paths exactly.
        const QString otherCase = h.exeOf(*a).replace("System/", "SYSTEM/");
        QVERIFY(h.locate(otherCase));
        QCOMPARE(h.entries("vorlOrdnerListe").size(), 3);

        const auto& asked = FileDialog::history();
        QCOMPARE(asked.size(), size_t{4});
        QCOMPARE(asked.front().kind, FileDialog::Kind::Open);
        // UnrealTournament.exe alone first, as always; then every program of the game.
        QCOMPARE(asked.front().nameFilters,
                 QStringList({"Search for UnrealTournament.exe (UnrealTournament.exe)",
                              "Search for any program of the game (UnrealTournament.exe ut-bin "
                              "ucc-bin ut-bin-amd64 ucc-bin-amd64)"}));
    }

    // The dialog starts in the System folder of the installation the finder found (in a
    // Steam library of the user's home), and offers it in its side bar.
    void theOpenDialogStartsWhereTheFinderFoundTheGame() {
        TempFolder home;
        const std::filesystem::path game =
            home.path() / ".steam" / "steam" / "steamapps" / "common" / "Unreal Tournament";
        put(game / "System" / "UnrealTournament.exe", "exe");
        const QByteArray oldHome = qgetenv("HOME");
        qputenv("HOME", QByteArray::fromStdString(home.path().string()));
        WizardHarness h;
        QVERIFY(h.toFolderPage());
        QVERIFY(h.locate(QString()));  // cancelled
        qputenv("HOME", oldHome);
        const std::string found = std::filesystem::canonical(game).string() + "/";
        QCOMPARE(FileDialog::history().back().directory, QString::fromStdString(found + "System/"));
        QVERIFY(FileDialog::history().back().places.contains(QString::fromStdString(found)));
    }

    void aCancelledDialogChangesNothing() {
        WizardHarness h;
        QVERIFY(h.toFolderPage());
        QVERIFY(h.locate(QString()));
        QVERIFY(h.entries("vorlOrdnerListe").isEmpty());
        QVERIFY(MessageBoxes::history().empty());
        QCOMPARE(h.fs.calls(FsOp::AppendTest), 0);
    }

    void aRefusedWriteTestNamesTheFolderAndLeavesTheEntryUnselected() {
        WizardHarness h;
        QVERIFY(h.toFolderPage());
        auto locked = h.installation("Locked");
        auto open = h.installation("Open");
        const std::string lockedExe = h.exeOf(*locked).toStdString();
        h.fs.failOnlyWhen(
            [&](FsOp op, const std::string& path) {
                return op == FsOp::AppendTest && path == lockedExe;
            },
            "Read-only file system");
        QVERIFY(h.locate(h.exeOf(*locked)));
        QVERIFY(h.locate(h.exeOf(*open)));
        QCOMPARE(h.entries("vorlOrdnerListe"), QStringList({h.exeOf(*locked), h.exeOf(*open)}));
        QCOMPARE(h.selectedEntries(), QStringList({h.exeOf(*open)}));
        QCOMPARE(MessageBoxes::history().size(), size_t{1});
        QCOMPARE(MessageBoxes::history().front().text,
                 "disable write protection on " + QString::fromStdString(locked->folder()));
        QCOMPARE(MessageBoxes::history().front().title, QString());
        // The executable was only opened, never written.
        QCOMPARE(QByteArray::fromStdString(contentsOf(locked->at("system/UnrealTournament.exe"))),
                 QByteArray("MZ"));

        // Listed again, the entry is not tested again.
        QVERIFY(h.locate(h.exeOf(*locked)));
        QCOMPARE(MessageBoxes::history().size(), size_t{1});
    }

    void aFileOutsideAnyInstallationFolderIsRefused() {
        WizardHarness h;
        QVERIFY(h.toFolderPage());
        QVERIFY(h.locate("/UnrealTournament.exe"));
        QVERIFY(h.entries("vorlOrdnerListe").isEmpty());
        QCOMPARE(h.fs.calls(FsOp::AppendTest), 0);
        QCOMPARE(MessageBoxes::history().size(), size_t{1});
        QVERIFY(MessageBoxes::history().front().text.contains("/UnrealTournament.exe"));
    }

    void nextWithAnEmptyListStays() {
        WizardHarness h;
        QVERIFY(h.toFolderPage());
        QVERIFY(h.click(h.folders(), "NextButton"));
        QVERIFY(h.folders().isVisible());
        QVERIFY(h.entries("OrdnerListe").isEmpty());
        QVERIFY(!h.repair().isVisible());
    }

    void theWorkListHoldsTheSelectedInstallationsInListOrder() {
        WizardHarness h;
        auto a = h.installation("A");
        auto b = h.installation("B");
        auto c = h.installation("C");
        QVERIFY(h.toFolderPageWith({c.get(), a.get(), b.get()}));

        // Entries toggle one by one under the mouse.
        auto* list = h.control<QListWidget>(h.folders(), "vorlOrdnerListe");
        const QPoint onA = list->visualItemRect(list->item(1)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, onA);
        QCOMPARE(h.selectedEntries(), QStringList({h.exeOf(*c), h.exeOf(*b)}));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, onA);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                          list->visualItemRect(list->item(2)).center());
        QCOMPARE(h.selectedEntries(), QStringList({h.exeOf(*c), h.exeOf(*a)}));

        QVERIFY(h.toRepairPage());
        QVERIFY(!h.folders().isVisible());
        QCOMPARE(h.entries("OrdnerListe"), QStringList({QString::fromStdString(c->folder()),
                                                        QString::fromStdString(a->folder())}));
        QCOMPARE(h.folders().workList(), (std::vector<std::string>{c->folder(), a->folder()}));
        QVERIFY(!h.control<QWidget>(h.folders(), "OrdnerListe")->isVisibleTo(&h.folders()));
    }

    // "Undo last run" on the folder page of a wizard opened again after a repair: a question
    // that names the installation, the run's date and what it changed, with Yes and No; No
    // changes nothing, Yes gives back every byte and shows the undo's log.
    void undoLastRunAsksAndTakesTheRunBack() {
        WizardHarness h;
        const QByteArray oldState = qgetenv("XDG_STATE_HOME");
        qputenv("XDG_STATE_HOME", QByteArray::fromStdString((h.tmp.path() / "state").string()));
        auto a = h.installation("A");
        auto clean = h.installation("Clean");
        a->add("sounds/Map1.unr", "a map, misplaced");
        a->add("system/Song1.uax", "a song, misplaced");
        const auto before = treeOf(h.tmp.path() / "A");
        QVERIFY(h.toRepairPageWith({a.get()}));
        const auto repaired = treeOf(h.tmp.path() / "A");
        QVERIFY(repaired != before);

        // The player comes back later.
        h.wizard.reset();
        h.wizard = std::make_unique<Wizard>(h.fs);
        QVERIFY(h.toFolderPageWith({a.get(), clean.get()}));
        MessageBoxes::clearHistory();
        MessageBoxes::setNextAnswer(false);
        QVERIFY(h.click(h.folders(), "UndoButton"));
        QCOMPARE(MessageBoxes::history().size(), size_t{2});
        const MessageBoxes::Shown asked = MessageBoxes::history()[0];
        QVERIFY(asked.question);
        QCOMPARE(asked.title, QString());
        QVERIFY2(asked.text.startsWith("Undo the last run on " +
                                       QString::fromStdString(a->folder()) + "?"),
                 qPrintable(asked.text));
        QVERIFY2(asked.text.contains(" moved 2 files."), qPrintable(asked.text));
        QVERIFY2(asked.text.contains(" (UTC) "), qPrintable(asked.text));
        QVERIFY(!MessageBoxes::history()[1].question);
        QCOMPARE(MessageBoxes::history()[1].text,
                 "No run of " + QString::fromStdString(clean->folder()) + " to undo.");
        QVERIFY(treeOf(h.tmp.path() / "A") == repaired);

        MessageBoxes::clearHistory();
        MessageBoxes::setNextAnswer(true);
        QVERIFY(h.click(h.folders(), "UndoButton"));
        QCOMPARE(MessageBoxes::history().size(), size_t{3});
        QCOMPARE(MessageBoxes::history()[0].text, asked.text);
        const QString log = MessageBoxes::history()[1].text;
        QVERIFY2(log.startsWith("Processing : " + QString::fromStdString(a->folder()) + "...\n"),
                 qPrintable(log));
        QVERIFY2(log.contains(" back to "), qPrintable(log));
        QVERIFY(treeOf(h.tmp.path() / "A") == before);

        // Nothing selected: said so.
        MessageBoxes::clearHistory();
        h.control<QListWidget>(h.folders(), "vorlOrdnerListe")->clearSelection();
        QVERIFY(h.click(h.folders(), "UndoButton"));
        QCOMPARE(MessageBoxes::history().size(), size_t{1});
        QVERIFY(!MessageBoxes::history()[0].question);
        qputenv("XDG_STATE_HOME", oldState);
    }

    void backKeepsTheListAndItsSelection() {
        WizardHarness h;
        auto a = h.installation("A");
        auto b = h.installation("B");
        QVERIFY(h.toFolderPageWith({a.get(), b.get()}));
        h.control<QListWidget>(h.folders(), "vorlOrdnerListe")->item(0)->setSelected(false);
        QVERIFY(h.click(h.folders(), "Command1"));
        QVERIFY(h.click(h.optionen(), "NextButton"));
        QCOMPARE(h.entries("vorlOrdnerListe"), QStringList({h.exeOf(*a), h.exeOf(*b)}));
        QCOMPARE(h.selectedEntries(), QStringList({h.exeOf(*b)}));
    }

    // Each file type shows the names of its patterns in any letter case, and only those: Qt
    // reads a type's patterns separated by blanks.
    void theOpenDialogOffersTheExecutableInAnyLetterCase() {
        TempFolder tmp;
        for (const char* name :
             {"unrealtournament.EXE", "Other.exe", "UT-BIN", "ucc-bin-amd64", "ut-bin.sh"})
            put(tmp.path() / name);
        QFileDialog dialog;
        const QString second = "Search for any program of the game (ut-bin ucc-bin-amd64)";
        FileDialog::prepareOpenDialog(
            dialog, {{"Search for UnrealTournament.exe", {"UnrealTournament.exe"}},
                     {"Search for any program of the game", {"ut-bin", "ucc-bin-amd64"}}});
        QCOMPARE(dialog.nameFilters(),
                 QStringList({"Search for UnrealTournament.exe (UnrealTournament.exe)", second}));
        auto* model = dialog.findChild<QFileSystemModel*>();
        QVERIFY(model);
        QSignalSpy loaded(model, &QFileSystemModel::directoryLoaded);
        dialog.setDirectory(QString::fromStdString(tmp.path().string()));
        dialog.show();
        QTRY_VERIFY_WITH_TIMEOUT(!loaded.isEmpty(), 10000);
        const QModelIndex folder = model->index(QString::fromStdString(tmp.path().string()));
        QTRY_COMPARE_WITH_TIMEOUT(model->rowCount(folder), 1, 10000);
        QCOMPARE(model->index(0, 0, folder).data().toString(),
                 QStringLiteral("unrealtournament.EXE"));
        QCOMPARE(dialog.fileMode(), QFileDialog::ExistingFile);

        dialog.selectNameFilter(second);
        QTRY_COMPARE_WITH_TIMEOUT(model->rowCount(folder), 2, 10000);
        QStringList shown;
        for (int row = 0; row < 2; ++row) shown << model->index(row, 0, folder).data().toString();
        shown.sort();
        QCOMPARE(shown, QStringList({"UT-BIN", "ucc-bin-amd64"}));
    }
};

}  // namespace zendrik::testing

QTEST_MAIN(zendrik::testing::FolderPageTest)
#include "folder_page_test.moc"
