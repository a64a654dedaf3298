// The options page and the information window: start-up, the way to the folder page and
// back, the info window's hold on the options page, ending the program, and the layout.
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "pages/message_box.h"
#include "wizard_harness.h"

namespace zendrik::testing {
namespace {

QRect fromUnits(int left, int top, int width, int height) {
    return QRect(qRound(left / 15.0), qRound(top / 15.0), qRound(width / 15.0),
                 qRound(height / 15.0));
}

// The object names of the widgets that take focus by Tab on `page`, in Tab order, starting
// at `first`.
QStringList tabOrder(QWidget& page, const char* first) {
    QStringList names;
    QWidget* start = page.findChild<QWidget*>(QString::fromLatin1(first));
    QWidget* w = start;
    do {
        if ((w->focusPolicy() & Qt::TabFocus) && w != &page) names << w->objectName();
        w = w->nextInFocusChain();
    } while (w && w != start);
    return names;
}

}  // namespace

class OptionsInfoTest : public QObject {
    Q_OBJECT

  private slots:
    void startShowsTheOptionsPageAlone() {
        WizardHarness h;
        h.wizard->start();
        QVERIFY(h.optionen().isVisible());
        const auto windows = QApplication::topLevelWidgets();
        for (QWidget* w : windows)
            QVERIFY2(!w->isVisible() || w == &h.optionen(), qPrintable(w->objectName()));
        auto* remove = h.control<QCheckBox>(h.optionen(), "removeExtensionsCheck");
        auto* compare = h.control<QCheckBox>(h.optionen(), "compareextensionsCheck");
        QVERIFY(remove && compare);
        QVERIFY(remove->isChecked() && compare->isChecked());
        QVERIFY(h.optionen().removeIncompleteExtensions() && h.optionen().compareExtensions());
    }

    void backReturnsToTheCheckBoxesAsLeft() {
        WizardHarness h;
        h.wizard->start();
        QTest::mouseClick(h.control<QCheckBox>(h.optionen(), "compareextensionsCheck"),
                          Qt::LeftButton);
        QVERIFY(!h.optionen().compareExtensions());
        QVERIFY(h.click(h.optionen(), "NextButton"));
        QVERIFY(!h.optionen().isVisible());
        QVERIFY(h.folders().isVisible());

        QVERIFY(h.click(h.folders(), "Command1"));
        QVERIFY(!h.folders().isVisible());
        QVERIFY(h.optionen().isVisible());
        QVERIFY(h.optionen().removeIncompleteExtensions());
        QVERIFY(!h.optionen().compareExtensions());
        QCOMPARE(h.endRequests, 0);
    }

    void infoHoldsTheOptionsPageUntilOk() {
        WizardHarness h;
        h.wizard->start();
        QVERIFY(h.click(h.optionen(), "InfoButton"));
        QVERIFY(h.info().isVisible());
        QVERIFY(h.optionen().isVisible());
        QVERIFY(!h.optionen().isEnabled());
        QVERIFY(!h.click(h.optionen(), "NextButton"));
        QVERIFY(!h.folders().isVisible());

        QVERIFY(h.click(h.info(), "cmdOK"));
        QVERIFY(!h.info().isVisible());
        QVERIFY(h.optionen().isVisible());
        QVERIFY(h.optionen().isEnabled());

        // Closing by the frame or pressing Escape acts as "&OK".
        for (int way = 0; way < 2; ++way) {
            QVERIFY(h.click(h.optionen(), "InfoButton"));
            QVERIFY(!h.optionen().isEnabled());
            if (way == 0)
                QVERIFY(h.info().close());
            else
                QTest::keyClick(&h.info(), Qt::Key_Escape);
            QVERIFY(!h.info().isVisible());
            QVERIFY(h.optionen().isEnabled());
        }
        QCOMPARE(h.endRequests, 0);
    }

    void cancelAndTheFrameEndTheProgramWithoutAMessage() {
        WizardHarness h;
        h.wizard->start();
        QVERIFY(h.click(h.optionen(), "CancelButton"));
        QCOMPARE(h.endRequests, 1);
        h.optionen().close();
        QCOMPARE(h.endRequests, 2);

        QVERIFY(h.toFolderPage());
        QVERIFY(h.click(h.folders(), "CancelButton"));
        QCOMPARE(h.endRequests, 3);
        h.folders().close();
        QCOMPARE(h.endRequests, 4);
        QVERIFY(MessageBoxes::history().empty());
    }

    void layoutAndTabOrderFollowTheTables() {
        WizardHarness h;
        QCOMPARE(h.optionen().size(), QSize(329, 214));
        QCOMPARE(h.control<QWidget>(h.optionen(), "removeExtensionsCheck")->geometry(),
                 fromUnits(510, 1200, 3840, 270));
        QCOMPARE(h.folders().size(), QSize(968, 605));
        QCOMPARE(h.control<QWidget>(h.folders(), "vorlOrdnerListe")->geometry(),
                 fromUnits(113, 1560, 14295, 6810));
        QCOMPARE(h.repair().size(), QSize(966, 603));
        QCOMPARE(h.control<QWidget>(h.repair(), "LogListbox")->geometry(),
                 fromUnits(105, 840, 14295, 7470));
        for (QWidget* page :
             {static_cast<QWidget*>(&h.optionen()), static_cast<QWidget*>(&h.folders())})
            QCOMPARE(h.control<QLabel>(*page, "Label1")->font().pointSize(), 12);
        auto* icon = h.control<QLabel>(h.info(), "picIcon");
        QCOMPARE(icon->pixmap().size(), QSize(32, 32));
        QVERIFY(icon->width() >= 32 && icon->height() >= 32);

        QCOMPARE(tabOrder(h.optionen(), "removeExtensionsCheck"),
                 QStringList({"removeExtensionsCheck", "compareextensionsCheck", "previewCheck",
                              "InfoButton", "NextButton", "CancelButton"}));
        QCOMPARE(tabOrder(h.folders(), "vorlOrdnerListe"),
                 QStringList({"vorlOrdnerListe", "CancelButton", "OpenButton", "NextButton",
                              "Command1", "UndoButton", "OrdnerListe"}));
        QCOMPARE(tabOrder(h.repair(), "StatusFeld"),
                 QStringList({"StatusFeld", "LogListbox", "CancelButton", "FinishButton",
                              "NextButton", "SaveLogButton", "BackButton", "UndoButton"}));
    }
};

}  // namespace zendrik::testing

QTEST_MAIN(zendrik::testing::OptionsInfoTest)
#include "options_info_test.moc"
