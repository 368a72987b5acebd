#include "orvoresources.h"
#include "qttranslationswitch.h"

#include <QApplication>
#include <QImage>
#include <QResource>
#include <QtTest>

namespace {

enum class Hue { White, Blue, Red, Other };

Hue hueOf(QRgb c)
{
    const int r = qRed(c), g = qGreen(c), b = qBlue(c);
    if (qAlpha(c) < 250)
        return Hue::Other;
    if (r > 230 && g > 230 && b > 230)
        return Hue::White;
    if (b > 100 && r < 60 && g < 90)
        return Hue::Blue;
    if (r > 180 && g < 70 && b < 70)
        return Hue::Red;
    return Hue::Other;
}

} // namespace

Q_DECLARE_METATYPE(Hue)

class TstEmbeddedImages : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void image_data();
    void image();
    void flag_data();
    void flag();
};

void TstEmbeddedImages::initTestCase()
{
    initOrvoResources();
    // The switch registers its own flag bundle when it is created.
    QtTranslationSwitch::instance();
}

void TstEmbeddedImages::image_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("side");

    QTest::newRow("connect") << ":/icons/connect.png" << 128;
    QTest::newRow("disconnect") << ":/icons/disconnect.png" << 128;
    QTest::newRow("serial") << ":/icons/rs.png" << 272;
    QTest::newRow("icons en") << ":/icons/en.png" << 256;
    QTest::newRow("icons ru") << ":/icons/ru.png" << 256;
    QTest::newRow("switch en") << ":/qttrans/lang/en.png" << 256;
    QTest::newRow("switch ru") << ":/qttrans/lang/ru.png" << 256;
    QTest::newRow("application") << ":/app/orvo-icp-view.png" << 256;
}

void TstEmbeddedImages::image()
{
    QFETCH(QString, path);
    QFETCH(int, side);

    const QResource res(path);
    QVERIFY(res.isValid());
    QCOMPARE(res.compressionAlgorithm(), QResource::NoCompression);
    const QImage img(path);
    QVERIFY(!img.isNull());
    QCOMPARE(img.size(), QSize(side, side));
}

void TstEmbeddedImages::flag_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<Hue>("hue");

    // Flags lie centred at 3:2, 240 x 160 from (8, 48).
    for (const char *path : {":/icons/ru.png", ":/qttrans/lang/ru.png"}) {
        const QByteArray p(path);
        QTest::newRow(p + " top stripe") << QString::fromLatin1(p) << QPoint(128, 70) << Hue::White;
        QTest::newRow(p + " middle stripe")
            << QString::fromLatin1(p) << QPoint(128, 128) << Hue::Blue;
        QTest::newRow(p + " bottom stripe")
            << QString::fromLatin1(p) << QPoint(128, 186) << Hue::Red;
    }
    for (const char *path : {":/icons/en.png", ":/qttrans/lang/en.png"}) {
        const QByteArray p(path);
        QTest::newRow(p + " centre of the cross")
            << QString::fromLatin1(p) << QPoint(128, 128) << Hue::Red;
        QTest::newRow(p + " field at the hoist")
            << QString::fromLatin1(p) << QPoint(80, 55) << Hue::Blue;
        QTest::newRow(p + " cross border")
            << QString::fromLatin1(p) << QPoint(20, 106) << Hue::White;
        // St Patrick's saltire is counterchanged: at the hoist its red lies below the
        // diagonal, at the fly above it.
        QTest::newRow(p + " saltire below diagonal at hoist")
            << QString::fromLatin1(p) << QPoint(50, 82) << Hue::Red;
        QTest::newRow(p + " saltire above diagonal at fly")
            << QString::fromLatin1(p) << QPoint(206, 70) << Hue::Red;
    }
}

void TstEmbeddedImages::flag()
{
    QFETCH(QString, path);
    QFETCH(QPoint, at);
    QFETCH(Hue, hue);

    const QImage img = QImage(path).convertToFormat(QImage::Format_ARGB32);
    QVERIFY(!img.isNull());
    QCOMPARE(hueOf(img.pixel(at)), hue);
}

QTEST_MAIN(TstEmbeddedImages)
#include "tst_embeddedimages.moc"
