// The keyboard on every page: Enter presses the focused button, or the page's main button
// when the focus is elsewhere; Escape acts as "Cancel" where the page has one; after
// "COPY!" the focus is on "Save Log"; a key held down since the page before does not repeat
// on the next page.
#include <QKeyEvent>
#include <QTest>

#include "pages/file_dialog.h"
#include "pages/message_box.h"
#include "wizard_harness.h"

namespace zendrik::testing {
namespace {

// A key typed as the keyboard delivers it: to the widget that has the focus on `page`.
void type(QWidget& page, Qt::Key key) {
    QWidget* target = page.focusWidget() ? page.focusWidget() : &page;
    QTest::keyClick(target, key);
}

void focus(QWidget& page, const char* name) {
    WizardHarness::control<QWidget>(page, name)->setFocus();
}

}  // namespace

class KeyboardTest : public QObject {
    Q_OBJECT

  private slots:
    void enterAndEscapeOnTheOptionsAndFolderPages() {
        WizardHarness h;
        h.wizard->start();
        focus(h.optionen(), "InfoButton");
        type(h.optionen(), Qt::Key_Return);
        QVERIFY(h.info().isVisible());
        type(h.info(), Qt::Key_Escape);
        QVERIFY(!h.info().isVisible() && h.optionen().isEnabled());

        focus(h.optionen(), "compareextensionsCheck");
        type(h.optionen(), Qt::Key_Escape);
        QCOMPARE(h.endRequests, 1);
        type(h.optionen(), Qt::Key_Enter);
        QVERIFY(h.folders().isVisible());
        QVERIFY(h.optionen().compareExtensions());

        focus(h.folders(), "Command1");
        type(h.folders(), Qt::Key_Return);
        QVERIFY(h.optionen().isVisible() && !h.folders().isVisible());
        auto a = h.installation("A");
        auto b = h.installation("B");
        QVERIFY(h.toFolderPageWith({a.get(), b.get()}));
        type(h.folders(), Qt::Key_Escape);
        QCOMPARE(h.endRequests, 2);
        focus(h.folders(), "vorlOrdnerListe");
        type(h.folders(), Qt::Key_Return);
        QVERIFY(h.repair().isVisible());
        QVERIFY(h.passEnded());
    }

    void enterAndEscapeOnTheRepairPage() {
        WizardHarness h;
        auto a = h.installation("A");
        auto b = h.installation("B");
        QVERIFY(h.toRepairPageWith({a.get(), b.get()}));

        focus(h.repair(), "LogListbox");
        type(h.repair(), Qt::Key_Return);
        QCOMPARE(h.repair().windowTitle(), QStringLiteral("copying extensions..."));
        QVERIFY(h.passEnded());
        QCOMPARE(h.repair().focusWidget(), h.control<QWidget>(h.repair(), "SaveLogButton"));

        // No "Cancel" any more: Escape does nothing.
        type(h.repair(), Qt::Key_Escape);
        QCOMPARE(h.endRequests, 0);
        const size_t dialogs = FileDialog::history().size();
        type(h.repair(), Qt::Key_Return);
        QCOMPARE(FileDialog::history().size(), dialogs + 1);
        QCOMPARE(FileDialog::history().back().kind, FileDialog::Kind::Save);

        focus(h.repair(), "StatusFeld");
        type(h.repair(), Qt::Key_Enter);
        QCOMPARE(MessageBoxes::history().size(), size_t{1});
        QCOMPARE(h.endRequests, 1);
    }

    void escapeCancelsOnTheRepairPageBeforeCopy() {
        WizardHarness h;
        auto a = h.installation("A");
        auto b = h.installation("B");
        QVERIFY(h.toFolderPageWith({a.get(), b.get()}));
        h.control<QAbstractButton>(h.optionen(), "compareextensionsCheck")->setChecked(false);
        QVERIFY(h.toRepairPage());
        focus(h.repair(), "LogListbox");
        type(h.repair(), Qt::Key_Escape);
        QCOMPARE(h.endRequests, 1);
        QVERIFY(MessageBoxes::history().empty());

        // With "compare extensions" off "COPY!" runs no pass, and "Save Log" has the focus.
        focus(h.repair(), "NextButton");
        type(h.repair(), Qt::Key_Return);
        QCOMPARE(h.repair().focusWidget(), h.control<QWidget>(h.repair(), "SaveLogButton"));
    }

    void aKeyHeldDownSinceThePageBeforeDoesNotRepeatOnIt() {
        WizardHarness h;
        auto a = h.installation("A");
        auto b = h.installation("B");
        QVERIFY(h.toFolderPageWith({a.get(), b.get()}));
        focus(h.folders(), "NextButton");
        QTest::keyPress(h.folders().focusWidget(), Qt::Key_Return);
        QVERIFY(h.repair().isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!h.logLines().isEmpty() && h.passEnded(), 20000);

        // The key's auto-repeat reaches the repair page.
        QWidget* target = h.control<QWidget>(h.repair(), "NextButton");
        target->setFocus();
        for (int repeat = 0; repeat < 3; ++repeat) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QString(), true);
            QApplication::sendEvent(target, &press);
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier, QString(), true);
            QApplication::sendEvent(target, &release);
        }
        QCOMPARE(h.repair().windowTitle(), QStringLiteral("Repairing folders..."));
        QTest::keyRelease(target, Qt::Key_Return);

        QTest::keyClick(target, Qt::Key_Return);
        QCOMPARE(h.repair().windowTitle(), QStringLiteral("copying extensions..."));
        QVERIFY(h.passEnded());
    }
};

}  // namespace zendrik::testing

QTEST_MAIN(zendrik::testing::KeyboardTest)
#include "keyboard_test.moc"
