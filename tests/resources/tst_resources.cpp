#include "orvoresources.h"

#include <QGuiApplication>
#include <QImage>
#include <QtTest>

// The program's images come from a static library whose bundles the linker drops unless they
// are registered; a lost bundle shows as a null image, not as a build error.
class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initOrvoResources(); }

    void embeddedImages_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("side");
        QTest::newRow("connect") << ":/icons/connect.png" << 128;
        QTest::newRow("disconnect") << ":/icons/disconnect.png" << 128;
        QTest::newRow("serial") << ":/icons/rs.png" << 272;
        QTest::newRow("flag en") << ":/icons/en.png" << 256;
        QTest::newRow("flag ru") << ":/icons/ru.png" << 256;
        QTest::newRow("application") << ":/app/orvo-icp-view.png" << 256;
    }
    void embeddedImages()
    {
        QFETCH(QString, path);
        QFETCH(int, side);
        QCOMPARE(QImage(path).size(), QSize(side, side));
    }
};

QTEST_GUILESS_MAIN(TestResources)

#include "tst_resources.moc"
