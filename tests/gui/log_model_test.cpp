// The log list model: rows follow the engine's log line by line, under Qt's model checks.
#include <QAbstractItemModelTester>
#include <QListView>
#include <QSignalSpy>
#include <QTest>

#include "pages/log_model.h"

namespace zendrik {

class LogModelTest : public QObject {
    Q_OBJECT

  private slots:
    void followsTheLogUnderModelChecks() {
        Log log;
        log.addLine("before the model");
        LogModel model(log);
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(model.rowCount(), 1);

        log.addLine("Processing : /srv/ut/...");
        log.addLine("    found Foo.utx in /srv/ut/System/");
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        log.extendLastLine("  ...moved to /srv/ut/Textures/");
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).value<QModelIndex>().row(), 2);
        QCOMPARE(model.rowCount(), 3);
        QCOMPARE(model.index(2).data().toString(),
                 QStringLiteral("    found Foo.utx in /srv/ut/System/  ...moved to "
                                "/srv/ut/Textures/"));
        QCOMPARE(model.index(0).data().toString(), QStringLiteral("before the model"));

        QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
        log.clear();
        QCOMPARE(reset.count(), 1);
        QCOMPARE(model.rowCount(), 0);
        log.extendLastLine("first after clearing");
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(model.index(0).data().toString(), QStringLiteral("first after clearing"));
    }

    void nonUtf8BytesAndEmptyLinesStayRows() {
        Log log;
        LogModel model(log);
        log.addLine("");
        log.addLine(std::string("Caf\xe9.int", 8));
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(model.index(0).data().toString(), QString());
        QVERIFY(model.index(1).data().toString().startsWith(QStringLiteral("Caf")));
    }

    void aViewKeepsUpWithTensOfThousandsOfLines() {
        Log log;
        LogModel model(log);
        QListView view;
        view.setUniformItemSizes(true);
        view.setModel(&model);
        view.resize(400, 300);
        view.show();
        constexpr int kLines = 40000;
        for (int i = 0; i < kLines; ++i) {
            log.addLine("    line " + std::to_string(i));
            if (i % 5000 == 0) QCoreApplication::processEvents();
        }
        QCOMPARE(model.rowCount(), kLines);
        QCoreApplication::processEvents();
        view.scrollToBottom();
        const QModelIndex last = model.index(kLines - 1);
        QTRY_VERIFY(view.viewport()->rect().contains(view.visualRect(last)));
        QCOMPARE(view.indexAt(view.visualRect(last).center()), last);
        QCOMPARE(model.index(kLines - 1).data().toString(), QStringLiteral("    line 39999"));
    }

    void detachesFromALogThatOutlivesIt() {
        Log log;
        LogModel stays(log);
        {
            LogModel model(log);
            log.addLine("seen");
        }
        // A model that stayed observing would take this line after it was gone; the other
        // model on the log goes on following it.
        log.addLine("after the model is gone");
        QCOMPARE(stays.rowCount(), 2);
        QCOMPARE(stays.index(1).data().toString(), QStringLiteral("after the model is gone"));
    }
};

}  // namespace zendrik

QTEST_MAIN(zendrik::LogModelTest)
#include "log_model_test.moc"
