// The window icon comes from the icon's SVG, rendered at build time into the program.
#include "window/window_icon.h"

#include <QtTest>

class TestWindowIcon : public QObject {
    Q_OBJECT

private slots:
    void everySizeFromTheSvg()
    {
        const QIcon icon = odomira::windowIcon();
        const QList<QSize> sizes = icon.availableSizes();
        for (const int size : { 16, 32, 48, 256 })
            QVERIFY2(sizes.contains(QSize(size, size)), qPrintable(QString::number(size)));
        // The navy ground and the red needle of the drawing.
        const QImage image = icon.pixmap(QSize(32, 32)).toImage();
        QCOMPARE(image.size(), QSize(32, 32));
        QCOMPARE(image.pixelColor(1, 1), QColor(0, 0, 128));
        QCOMPARE(image.pixelColor(19, 14), QColor(255, 0, 0));
    }
};

QTEST_MAIN(TestWindowIcon)
#include "test_window_icon.moc"
