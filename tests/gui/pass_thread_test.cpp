// A pass runs off the interface's thread: while it runs, the log grows on the page, can be
// scrolled and read, and only the buttons are inactive; closing the window then ends the
// program once the operation under way has finished, and the rest of the pass is not done.
#include <QAbstractButton>
#include <QLineEdit>
#include <QListView>
#include <QScrollBar>
#include <QTest>

#include "held_pass.h"
#include "wizard_harness.h"

namespace zendrik::testing {

class PassThreadTest : public QObject {
    Q_OBJECT

  private slots:
    void thePageStaysReadableAndClosingEndsTheProgramAfterTheOperationUnderWay() {
        WizardHarness h;
        auto a = h.installation("A");
        auto b = h.installation("B");
        constexpr int kMisplaced = 80;
        for (int i = 0; i < kMisplaced; ++i)
            a->add("system/Skin" + std::to_string(i) + ".utx", "texture");
        b->add("system/Late.utx", "texture");
        const std::string bIni = b->folder() + "System/UnrealTournament.ini";
        HeldPass held(h.fs, bIni);
        QVERIFY(h.toFolderPageWith({a.get(), b.get()}));
        QVERIFY(h.click(h.folders(), "NextButton"));
        QTRY_VERIFY_WITH_TIMEOUT(held.reached(), 20000);

        // The worker is held at the second folder; the first folder's block is on the page.
        const QStringList aBlockEnd = {"  all extensions are already in UT.ini", "", "", ""};
        QTRY_VERIFY_WITH_TIMEOUT(h.logLines().size() > kMisplaced &&
                                     h.logLines().mid(h.logLines().size() - 4) == aBlockEnd,
                                 5000);
        QVERIFY(h.repair().passRunning());
        QCOMPARE(h.control<QLineEdit>(h.repair(), "StatusFeld")->text(),
                 QString::fromStdString("current folder : " + a->folder()));
        for (const char* name : {"NextButton", "CancelButton"})
            QVERIFY2(!h.control<QAbstractButton>(h.repair(), name)->isEnabled(), name);
        auto* view = h.control<QListView>(h.repair(), "LogListbox");
        QVERIFY(h.repair().isEnabled() && view->isEnabled());
        QCOMPARE(view->model()->rowCount(), h.logLines().size());

        // The reader pages up with the mouse and selects the first line.
        QScrollBar* bar = view->verticalScrollBar();
        QVERIFY(bar->maximum() > 0);
        QTRY_COMPARE(bar->value(), bar->maximum());
        QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier,
                          QPoint(bar->width() / 2, bar->height() / 4));
        QVERIFY(bar->value() < bar->maximum());
        view->setFocus();
        QTest::keyClick(view, Qt::Key_Home);
        QVERIFY(view->selectionModel()->isRowSelected(0, QModelIndex()));

        // Closing waits for the operation under way, then ends the program as "Cancel" does.
        QVERIFY(!h.repair().close());
        QTest::qWait(100);
        QCOMPARE(h.endRequests, 0);
        held.release();
        QTRY_COMPARE_WITH_TIMEOUT(h.endRequests, 1, 10000);
        QVERIFY(!h.repair().passRunning());
        QVERIFY(isFile(b->at("system/Late.utx")));
        QVERIFY(!isFile(b->at("textures/Late.utx")));
        QVERIFY(
            !h.logLines().contains(QString::fromStdString("Processing : " + b->folder() + "...")));
        QVERIFY(isFile(a->at("textures/Skin79.utx")));
        // The view stayed where the reader was, away from the newest line.
        QVERIFY(bar->value() < bar->maximum());
        QVERIFY(view->selectionModel()->isRowSelected(0, QModelIndex()));
    }
};

}  // namespace zendrik::testing

QTEST_MAIN(zendrik::testing::PassThreadTest)
#include "pass_thread_test.moc"
