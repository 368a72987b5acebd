#include "ledindicator.h"
#include "meascondledindicator.h"
#include "viewtestsupport.h"

#include <QSignalSpy>

using ViewTest::lampShows;

namespace {
// A 60 x 22 lamp, its on colours red.
QImage lampImage(bool on)
{
    LedIndicator led(nullptr, 22);
    led.resize(60, 22);
    led.setOnColor1(QColor(255, 0, 0));
    led.setOnColor2(QColor(192, 0, 0));
    led.setChecked(on);
    return led.grab().toImage();
}
} // namespace

// The plain lamp and the condition lamp of the status tables built on it.
class TestLedIndicator : public QObject
{
    Q_OBJECT

private slots:
    void geometry_data()
    {
        QTest::addColumn<QPoint>("pixel");
        QTest::addColumn<QString>("shows");

        // A circle of diameter 22 around (30, 11): a grey rim around the dark green face.
        QTest::newRow("left of the circle") << QPoint(18, 11) << "background";
        QTest::newRow("right of the circle") << QPoint(41, 11) << "background";
        QTest::newRow("upper left corner of the square") << QPoint(19, 0) << "background";
        QTest::newRow("lower right corner of the square") << QPoint(40, 21) << "background";
        QTest::newRow("leftmost column of the circle") << QPoint(19, 11) << "rim";
        QTest::newRow("rightmost column of the circle") << QPoint(40, 11) << "rim";
        QTest::newRow("top row of the circle") << QPoint(30, 0) << "rim";
        QTest::newRow("bottom row of the circle") << QPoint(29, 21) << "rim";
        QTest::newRow("centre") << QPoint(30, 11) << "face";
        QTest::newRow("upper left of the face") << QPoint(25, 6) << "face";
        QTest::newRow("lower right of the face") << QPoint(35, 16) << "face";
    }

    void geometry()
    {
        QFETCH(QPoint, pixel);
        QFETCH(QString, shows);
        const QImage image = lampImage(false);
        QCOMPARE(image.size(), QSize(60, 22));
        const QColor c = image.pixelColor(pixel), background = image.pixelColor(0, 0);
        // Antialiasing tints the pixels just outside the edge by a few levels.
        const int distance = qAbs(c.red() - background.red()) +
                             qAbs(c.green() - background.green()) +
                             qAbs(c.blue() - background.blue());
        const bool grey = qAbs(c.red() - c.green()) <= 2 && qAbs(c.green() - c.blue()) <= 2;
        const bool face = c.red() + c.blue() == 0 && c.green() >= 28 && c.green() <= 128;
        QCOMPARE(distance <= 24 ? "background" : grey ? "rim" : face ? "face" : c.name(), shows);
    }

    void gradients()
    {
        // Off: darker toward the lower right; on: the set colours, lighter toward the upper left.
        const QImage off = lampImage(false), on = lampImage(true);
        QVERIFY(off.pixelColor(35, 16).green() < off.pixelColor(30, 11).green());
        QVERIFY(off.pixelColor(30, 11).green() < off.pixelColor(25, 6).green());
        QVERIFY(on.pixelColor(25, 6).red() > on.pixelColor(35, 16).red());
        QVERIFY(on.pixelColor(35, 16).red() >= 192);
        QCOMPARE(on.pixelColor(25, 6).green() + on.pixelColor(25, 6).blue(), 0);
    }

    void blink_data()
    {
        QTest::addColumn<QVector<int>>("callsAtToggles");
        QTest::addColumn<int>("expectedToggles");

        // Each call is made once the lamp has toggled the given number of times
        // (1: on phase of the first cycle, 2: its off phase).
        QTest::newRow("one call gives one cycle") << QVector<int>{0} << 2;
        QTest::newRow("three calls in the first interval give two cycles")
            << QVector<int>{0, 1, 1} << 4;
        QTest::newRow("a call in the off phase adds one cycle") << QVector<int>{0, 2} << 4;
        QTest::newRow("calls in both phases still add only one cycle")
            << QVector<int>{0, 1, 2, 2} << 4;
        QTest::newRow("a call during the pending cycle adds a third") << QVector<int>{0, 1, 3} << 6;
    }

    void blink()
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

    void conditionLamp_data()
    {
        QTest::addColumn<QString>("calls"); // "s<n>": setState(n), "c<n>": setCondition(n), "r"
        QTest::addColumn<int>("stored");
        QTest::addColumn<QString>("shows");

        QTest::newRow("new lamp") << "" << 2 << "off";
        QTest::newRow("state 0 is green") << "s0" << 0 << "green";
        QTest::newRow("state 1 is red") << "s1" << 1 << "red";
        QTest::newRow("state 7 is off and kept") << "s1 s7" << 7 << "off";
        QTest::newRow("state -1 is off and kept") << "s0 s-1" << -1 << "off";
        QTest::newRow("red, off, green") << "s1 s2 s0" << 0 << "green";
        QTest::newRow("reset") << "s1 r" << 2 << "off";
        QTest::newRow("condition -1 is off") << "c1 c-1" << 2 << "off";
        QTest::newRow("condition 0 is green") << "c1 c0" << 0 << "green";
        QTest::newRow("condition 1 is red") << "c0 c1" << 1 << "red";
        QTest::newRow("condition 5 changes nothing") << "c1 c5" << 1 << "red";
        QTest::newRow("condition 2 changes nothing") << "c2" << 2 << "off";
    }

    void conditionLamp()
    {
        QFETCH(QString, calls);
        QFETCH(int, stored);
        QFETCH(QString, shows);

        MeasCondLedIndicator indicator;
        for (const QString &call : calls.split(' ', Qt::SkipEmptyParts)) {
            if (call.startsWith('s'))
                indicator.setState(call.mid(1).toInt());
            else if (call.startsWith('c'))
                indicator.setCondition(call.mid(1).toInt());
            else
                indicator.reset();
        }
        QCOMPARE(indicator.state(), stored);
        QCOMPARE(lampShows(&indicator), shows);
        // The off colours are never touched.
        QCOMPARE(indicator.lamp()->property("offColor1").value<QColor>(), QColor(0, 28, 0));
        QCOMPARE(indicator.lamp()->property("offColor2").value<QColor>(), QColor(0, 128, 0));
    }

    void colourChangeRepaintsAtOnce()
    {
        // Red to green leaves the lamp checked, so only an explicit repaint shows the change.
        struct PaintCounter : QObject
        {
            int paints = 0;
            bool eventFilter(QObject *, QEvent *event) override
            {
                paints += event->type() == QEvent::Paint;
                return false;
            }
        } counter;
        MeasCondLedIndicator indicator;
        indicator.setState(1);
        indicator.show();
        QVERIFY(QTest::qWaitForWindowExposed(&indicator));
        indicator.lamp()->installEventFilter(&counter);
        QCoreApplication::processEvents();
        counter.paints = 0;
        indicator.setState(0);
        QTRY_VERIFY_WITH_TIMEOUT(counter.paints > 0, 2000);
    }

    void rightPressIsForwarded_data()
    {
        QTest::addColumn<bool>("onLamp");
        QTest::addColumn<int>("button");

        QTest::newRow("right on the lamp") << true << int(Qt::RightButton);
        QTest::newRow("right beside the lamp") << false << int(Qt::RightButton);
        QTest::newRow("left on the lamp") << true << int(Qt::LeftButton);
        QTest::newRow("left beside the lamp") << false << int(Qt::LeftButton);
        QTest::newRow("middle on the lamp") << true << int(Qt::MiddleButton);
    }

    void rightPressIsForwarded()
    {
        QFETCH(bool, onLamp);
        QFETCH(int, button);

        MeasCondLedIndicator indicator;
        indicator.resize(120, 40);
        indicator.show();
        QVERIFY(QTest::qWaitForWindowExposed(&indicator));
        LedIndicator *lamp = indicator.lamp();
        // The lamp sits in the middle, so its coordinates differ from the indicator's.
        QVERIFY(lamp->pos().x() > 0);

        QSignalSpy spy(&indicator, &QWidget::customContextMenuRequested);
        const QPoint pos(5, 7);
        QTest::mouseClick(onLamp ? static_cast<QWidget *>(lamp) : &indicator,
                          Qt::MouseButton(button), {}, pos);
        QCOMPARE(spy.count(), button == Qt::RightButton ? 1 : 0);
        if (!spy.isEmpty())
            QCOMPARE(spy.at(0).at(0).toPoint(), onLamp ? lamp->mapTo(&indicator, pos) : pos);
        QCOMPARE(lampShows(&indicator), QStringLiteral("off"));
        QCOMPARE(indicator.state(), 2);
    }
};

QTEST_MAIN(TestLedIndicator)
#include "tst_ledindicator.moc"
