// Every page fits the screen it is shown on: on a screen too small for the tables' layout
// (1280 x 1024 at QT_SCALE_FACTOR=2) the folder and repair pages shrink, their lists take the
// loss and every button stays on the screen; on a large one the layout is the tables'.
// Runs under xvfb-run on the xcb platform, once on each kind of screen.
#include <QListView>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include "wizard_harness.h"

namespace zendrik::testing {
namespace {

// Checks `page` against the available area of its screen; `tableSize` and `tableList` are
// the page's and its list's size in the tables.
void checkFit(QWidget& page, const char* list, QSize tableSize, QRect tableList) {
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    const QRect area = page.screen()->availableGeometry();
    const QRect frame = page.frameGeometry();
    const bool tablesFit = tableSize.width() <= area.width() && tableSize.height() <= area.height();
    if (tablesFit) {
        QCOMPARE(page.size(), tableSize);
        QCOMPARE(WizardHarness::control<QWidget>(page, list)->geometry(), tableList);
        return;
    }
    QVERIFY2(area.contains(frame), qPrintable(QStringLiteral("page %1,%2 %3x%4 on %5x%6")
                                                  .arg(frame.x())
                                                  .arg(frame.y())
                                                  .arg(frame.width())
                                                  .arg(frame.height())
                                                  .arg(area.width())
                                                  .arg(area.height())));
    auto* shrunk = WizardHarness::control<QWidget>(page, list);
    QVERIFY(shrunk->height() < tableList.height());
    for (QPushButton* button : page.findChildren<QPushButton*>()) {
        if (!button->isVisible()) continue;
        const QRect onScreen(button->mapToGlobal(QPoint(0, 0)), button->size());
        QVERIFY2(area.contains(onScreen), qPrintable(button->objectName()));
        QVERIFY2(!shrunk->geometry().intersects(button->geometry()),
                 qPrintable(button->objectName()));
        // "Undo last run" is wider, for its caption.
        QCOMPARE(button->size(),
                 button->text() == "Undo last run" ? QSize(105, 25) : QSize(67, 25));
    }
}

}  // namespace

class ScreenFitTest : public QObject {
    Q_OBJECT

  private slots:
    void theFolderAndRepairPagesFitTheScreen() {
        WizardHarness h;
        auto a = h.installation("A");
        auto b = h.installation("B");
        QVERIFY(h.toFolderPage());
        checkFit(h.folders(), "vorlOrdnerListe", QSize(968, 605), QRect(8, 104, 953, 454));
        if (QTest::currentTestFailed()) return;
        QVERIFY(h.locate(h.exeOf(*a)));
        QVERIFY(h.locate(h.exeOf(*b)));
        QVERIFY(h.toRepairPage());
        checkFit(h.repair(), "LogListbox", QSize(966, 603), QRect(7, 56, 953, 498));
        if (QTest::currentTestFailed()) return;
        // The buttons answer where they now stand.
        QVERIFY(h.copy());
        QCOMPARE(h.repair().windowTitle(), QStringLiteral("copying extensions..."));
    }
};

}  // namespace zendrik::testing

QTEST_MAIN(zendrik::testing::ScreenFitTest)
#include "screen_fit_x11_test.moc"
