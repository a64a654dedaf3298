// The icon files that are installed for the desktop (dist/icons/) show the same picture as
// the window icon that the wizard paints in code.
#include <QImage>
#include <QTest>
#include <cstdlib>

#include "pages/program_icon.h"

namespace zendrik {

namespace {

// Mean difference per channel, 0 to 255, of two pictures of one size, both premultiplied so
// that the colour of fully transparent pixels does not count.
double meanDifference(const QImage& a, const QImage& b) {
    const QImage x = a.convertToFormat(QImage::Format_RGBA8888_Premultiplied);
    const QImage y = b.convertToFormat(QImage::Format_RGBA8888_Premultiplied);
    double sum = 0;
    for (int row = 0; row < x.height(); ++row) {
        const uchar* p = x.constScanLine(row);
        const uchar* q = y.constScanLine(row);
        for (int i = 0; i < 4 * x.width(); ++i) sum += std::abs(p[i] - q[i]);
    }
    return sum / (4.0 * x.width() * x.height());
}

}  // namespace

class ProgramIconFilesTest : public QObject {
    Q_OBJECT

  private slots:
    void eachPngIsThePaintedIcon_data() {
        QTest::addColumn<int>("size");
        for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
            QTest::newRow(qPrintable(QString::number(size))) << size;
    }

    void eachPngIsThePaintedIcon() {
        QFETCH(int, size);
        const QString path =
            QStringLiteral(ZENDRIK_DIST_DIR "/icons/hicolor/%1x%1/apps/zendrik.png").arg(size);
        QImage file;
        QVERIFY2(file.load(path), qPrintable("cannot read " + path));
        QCOMPARE(file.size(), QSize(size, size));
        const QImage painted = programPixmap(size).toImage();
        QCOMPARE(painted.size(), QSize(size, size));
        // The two renderers smooth edges a little differently; the small sizes are mostly edge.
        const double allowed = size < 48 ? 4.0 : 1.0;
        const double difference = meanDifference(file, painted);
        QVERIFY2(
            difference < allowed,
            qPrintable(QStringLiteral("%1 differs by %2 on average").arg(path).arg(difference)));
    }
};

}  // namespace zendrik

QTEST_MAIN(zendrik::ProgramIconFilesTest)
#include "program_icon_files_test.moc"
