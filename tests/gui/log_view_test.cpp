// The repair page's log shows long lines whole, scrolling sideways, and copies the selected
// lines as text: Ctrl+A selects all, Ctrl+C copies.
#include <QApplication>
#include <QClipboard>
#include <QListView>
#include <QScrollBar>
#include <QTest>

#include "wizard_harness.h"

namespace zendrik::testing {

class LogViewTest : public QObject {
    Q_OBJECT

  private slots:
    void longLinesAreShownWholeAndLinesAreCopiedAsText() {
        WizardHarness h;
        auto deep = h.installation(std::string(180, 'L'));
        QVERIFY(h.toRepairPageWith({deep.get()}));
        auto* view = h.control<QListView>(h.repair(), "LogListbox");
        const QStringList lines = h.logLines();
        QVERIFY(lines.first().startsWith("Processing : "));

        // The heading is wider than the list, and shown whole: its row is as wide as its text
        // and the list scrolls sideways to its end.
        const int textWidth = view->fontMetrics().horizontalAdvance(lines.first());
        QVERIFY(textWidth > view->viewport()->width());
        QTRY_VERIFY(view->visualRect(view->model()->index(0, 0)).width() >= textWidth);
        QScrollBar* sideways = view->horizontalScrollBar();
        QVERIFY(sideways->maximum() > 0);
        sideways->setValue(sideways->maximum());
        QVERIFY(view->visualRect(view->model()->index(0, 0)).right() <= view->viewport()->width());

        view->setFocus();
        QTest::keyClick(view, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), lines.join('\n') + '\n');

        // Two lines picked with the mouse, the later one first, are copied in log order.
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier,
                          view->visualRect(view->model()->index(2, 0)).center());
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ControlModifier,
                          view->visualRect(view->model()->index(1, 0)).center());
        QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), lines[1] + '\n' + lines[2] + '\n');
    }
};

}  // namespace zendrik::testing

QTEST_MAIN(zendrik::testing::LogViewTest)
#include "log_view_test.moc"
