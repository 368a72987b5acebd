#include "ledindicator.h"

#include <QImage>
#include <QMetaProperty>
#include <QSignalSpy>
#include <QtTest>

namespace {
// Counts the paint events a widget receives.
class PaintCounter : public QObject
{
public:
    int paints = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

// Antialiasing tints the pixels just outside the edge by a few levels.
bool differs(const QColor &a, const QColor &b)
{
    return qAbs(a.red() - b.red()) + qAbs(a.green() - b.green()) + qAbs(a.blue() - b.blue()) > 24;
}

bool isGrey(const QColor &c)
{
    return qAbs(c.red() - c.green()) <= 2 && qAbs(c.green() - c.blue()) <= 2;
}
} // namespace

class TestLedIndicator : public QObject
{
    Q_OBJECT

private slots:
    void construction();
    void properties();
    void geometry_data();
    void geometry();
    void offGradientDarkensTowardLowerRight();
    void onGradientLightensTowardUpperLeft();
    void colourSettersDoNotRepaint();
    void blink_data();
    void blink();
};

void TestLedIndicator::construction()
{
    LedIndicator led(nullptr, 22);
    QVERIFY(led.isCheckable());
    QVERIFY(!led.isChecked());
    QCOMPARE(led.minimumSize(), QSize(22, 22));
    QCOMPARE(led.maximumHeight(), 22);
    QCOMPARE(led.maximumWidth(), QWIDGETSIZE_MAX);
}

void TestLedIndicator::properties()
{
    LedIndicator led;
    const QMetaObject *meta = led.metaObject();
    const QStringList expected{"onColor1", "onColor2", "offColor1", "offColor2"};
    for (int i = 0; i < expected.size(); ++i) {
        const QMetaProperty p = meta->property(meta->propertyOffset() + i);
        QCOMPARE(QString::fromLatin1(p.name()), expected.at(i));
        QVERIFY(p.isReadable() && p.isWritable() && p.isDesignable() && p.isStored());
    }
    QCOMPARE(led.property("onColor1").value<QColor>(), QColor(0, 255, 0));
    QCOMPARE(led.property("onColor2").value<QColor>(), QColor(0, 192, 0));
    QCOMPARE(led.property("offColor1").value<QColor>(), QColor(0, 28, 0));
    QCOMPARE(led.property("offColor2").value<QColor>(), QColor(0, 128, 0));

    QVERIFY(led.setProperty("offColor2", QColor(Qt::blue)));
    QCOMPARE(led.property("offColor2").value<QColor>(), QColor(Qt::blue));
}

void TestLedIndicator::geometry_data()
{
    QTest::addColumn<QPoint>("pixel");
    QTest::addColumn<bool>("covered");

    // A 60 x 22 lamp: a circle of diameter 22 around (30, 11), the lamp face within.
    QTest::newRow("left of the circle") << QPoint(18, 11) << false;
    QTest::newRow("right of the circle") << QPoint(41, 11) << false;
    QTest::newRow("upper left corner of the square") << QPoint(19, 0) << false;
    QTest::newRow("lower right corner of the square") << QPoint(40, 21) << false;
    QTest::newRow("far left") << QPoint(2, 11) << false;
    QTest::newRow("leftmost column of the circle") << QPoint(19, 11) << true;
    QTest::newRow("rightmost column of the circle") << QPoint(40, 11) << true;
    QTest::newRow("top row of the circle") << QPoint(30, 0) << true;
    QTest::newRow("bottom row of the circle") << QPoint(29, 21) << true;
    QTest::newRow("centre") << QPoint(30, 11) << true;
}

void TestLedIndicator::geometry()
{
    QFETCH(QPoint, pixel);
    QFETCH(bool, covered);

    LedIndicator led(nullptr, 22);
    led.resize(60, 22);
    const QImage image = led.grab().toImage();
    QCOMPARE(image.size(), QSize(60, 22));
    const QColor background = image.pixelColor(0, 0);
    QCOMPARE(differs(image.pixelColor(pixel), background), covered);
}

void TestLedIndicator::offGradientDarkensTowardLowerRight()
{
    LedIndicator led(nullptr, 22);
    led.resize(60, 22);
    const QImage image = led.grab().toImage();

    const QColor upperLeft = image.pixelColor(25, 6);
    const QColor centre = image.pixelColor(30, 11);
    const QColor lowerRight = image.pixelColor(35, 16);
    for (const QColor &c : {upperLeft, centre, lowerRight}) {
        QCOMPARE(c.red(), 0);
        QCOMPARE(c.blue(), 0);
        QVERIFY2(c.green() >= 28 && c.green() <= 128, qPrintable(c.name()));
    }
    QVERIFY(lowerRight.green() < centre.green());
    QVERIFY(centre.green() < upperLeft.green());

    // Between lamp face and outer edge lies the grey rim.
    QVERIFY(isGrey(image.pixelColor(19, 11)));
    QVERIFY(isGrey(image.pixelColor(40, 11)));
}

void TestLedIndicator::onGradientLightensTowardUpperLeft()
{
    LedIndicator led(nullptr, 22);
    led.resize(60, 22);
    led.setOnColor1(QColor(255, 0, 0));
    led.setOnColor2(QColor(192, 0, 0));
    led.setChecked(true);
    const QImage image = led.grab().toImage();

    const QColor upperLeft = image.pixelColor(25, 6);
    const QColor lowerRight = image.pixelColor(35, 16);
    QVERIFY(upperLeft.red() > lowerRight.red());
    QVERIFY(lowerRight.red() >= 192);
    QCOMPARE(upperLeft.green(), 0);
}

void TestLedIndicator::colourSettersDoNotRepaint()
{
    LedIndicator led(nullptr, 22);
    led.resize(60, 22);
    led.show();
    QVERIFY(QTest::qWaitForWindowExposed(&led));
    PaintCounter counter;
    led.installEventFilter(&counter);
    QCoreApplication::processEvents();
    counter.paints = 0;

    led.setOnColor1(Qt::red);
    led.setOnColor2(Qt::red);
    led.setOffColor1(Qt::blue);
    led.setOffColor2(Qt::blue);
    led.setBlinkInterval(10);
    QVERIFY(!QTest::qWaitFor([&counter] { return counter.paints > 0; }, 200));

    // The next change of the checked state repaints, and the new colour shows.
    led.setChecked(true);
    QTRY_VERIFY_WITH_TIMEOUT(counter.paints > 0, 2000);
    QCOMPARE(led.grab().toImage().pixelColor(30, 11), QColor(Qt::red));
}

void TestLedIndicator::blink_data()
{
    QTest::addColumn<QVector<int>>("callsAtToggles");
    QTest::addColumn<int>("expectedToggles");

    // Each call is made once the lamp has toggled the given number of times
    // (1: on phase of the first cycle, 2: its off phase).
    QTest::newRow("one call gives one cycle") << QVector<int>{0} << 2;
    QTest::newRow("three calls in the first interval give two cycles")
        << QVector<int>{0, 1, 1} << 4;
    QTest::newRow("a call in the off phase adds one cycle") << QVector<int>{0, 2} << 4;
    QTest::newRow("calls in both phases still add only one cycle") << QVector<int>{0, 1, 2, 2} << 4;
    QTest::newRow("a call during the pending cycle adds a third") << QVector<int>{0, 1, 3} << 6;
}

void TestLedIndicator::blink()
{
    QFETCH(QVector<int>, callsAtToggles);
    QFETCH(int, expectedToggles);
    constexpr int interval = 100;

    LedIndicator led;
    led.setBlinkInterval(interval);
    QSignalSpy toggles(&led, &QAbstractButton::toggled);
    for (int at : callsAtToggles) {
        while (toggles.count() < at)
            QVERIFY(toggles.wait(10 * interval));
        led.blink();
    }
    while (toggles.count() < expectedToggles)
        QVERIFY(toggles.wait(10 * interval));
    QVERIFY(!toggles.wait(3 * interval));
    QCOMPARE(toggles.count(), expectedToggles);
    for (int i = 0; i < toggles.count(); ++i)
        QCOMPARE(toggles.at(i).at(0).toBool(), i % 2 == 0);
    QVERIFY(!led.isChecked());
}

QTEST_MAIN(TestLedIndicator)
#include "tst_ledindicator.moc"
