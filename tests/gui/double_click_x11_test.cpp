// Input made for one page never acts on the page shown after it: a real double click on the
// folder page's "Next ->" under a real X server, sent by xdotool.
// Runs under xvfb-run on the xcb platform.
#include <QElapsedTimer>
#include <QProcess>
#include <QTest>

#include "wizard_harness.h"

namespace zendrik::testing {
namespace {

// Runs xdotool with `arguments` while the event loop goes on, so that each click reaches
// the program as it happens.
bool xdotool(const QStringList& arguments) {
    QProcess tool;
    tool.start(QStringLiteral("xdotool"), arguments);
    if (!tool.waitForStarted(5000)) return false;
    QElapsedTimer waited;
    waited.start();
    while (tool.state() != QProcess::NotRunning && waited.elapsed() < 10000) QTest::qWait(10);
    return tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
}

QPoint centreOf(QWidget& page, const char* name) {
    auto* button = WizardHarness::control<QWidget>(page, name);
    return button->mapToGlobal(button->rect().center());
}

bool clickAt(const QPoint& at, int clicks) {
    return xdotool({"mousemove", QString::number(at.x()), QString::number(at.y()), "click",
                    "--repeat", QString::number(clicks), "--delay", "150", "1"});
}

}  // namespace

class DoubleClickTest : public QObject {
    Q_OBJECT

  private slots:
    void aDoubleClickOnNextDoesNotPressCopy() {
        WizardHarness h;
        auto a = h.installation("A");
        auto b = h.installation("B");
        QVERIFY(h.toFolderPageWith({a.get(), b.get()}));
        QVERIFY(QTest::qWaitForWindowExposed(&h.folders()));
        // The repair page opens where the folder page is, "COPY!" under "Next ->".
        h.repair().move(h.folders().pos());
        const QPoint next = centreOf(h.folders(), "NextButton");

        QVERIFY(clickAt(next, 2));
        QTRY_VERIFY_WITH_TIMEOUT(!h.logLines().isEmpty() && !h.repair().passRunning(), 20000);
        QVERIFY(QTest::qWaitForWindowExposed(&h.repair()));
        auto* copy = h.control<QWidget>(h.repair(), "NextButton");
        QVERIFY(copy->rect().contains(copy->mapFromGlobal(next)));
        QTest::qWait(600);
        QCOMPARE(h.repair().windowTitle(), QStringLiteral("Repairing folders..."));
        QVERIFY(h.shown(h.repair(), "NextButton"));

        // A click made now is the user's own.
        QVERIFY(clickAt(next, 1));
        QTRY_COMPARE_WITH_TIMEOUT(h.repair().windowTitle(), QStringLiteral("copying extensions..."),
                                  5000);
    }
};

}  // namespace zendrik::testing

QTEST_MAIN(zendrik::testing::DoubleClickTest)
#include "double_click_x11_test.moc"
