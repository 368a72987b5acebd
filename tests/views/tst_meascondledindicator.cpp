#include "ledindicator.h"
#include "meascondledindicator.h"
#include "viewtestsupport.h"

#include <QLayout>
#include <QSignalSpy>
#include <QtTest>

using ViewTest::lampShows;

namespace {
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
} // namespace

class TestMeasCondLedIndicator : public QObject
{
    Q_OBJECT

private slots:
    void construction();
    void setState_data();
    void setState();
    void setCondition_data();
    void setCondition();
    void reset();
    void colourChangeRepaintsAtOnce();
    void rightPressIsForwarded_data();
    void rightPressIsForwarded();
    void otherButtonsAreIgnored();
};

void TestMeasCondLedIndicator::construction()
{
    MeasCondLedIndicator indicator;
    QCOMPARE(indicator.state(), 2);
    QCOMPARE(lampShows(&indicator), QStringLiteral("off"));
    LedIndicator *lamp = indicator.lamp();
    QCOMPARE(lamp->parentWidget(), &indicator);
    QVERIFY(!lamp->isEnabled());
    QCOMPARE(lamp->minimumSize(), QSize(22, 22));
    QCOMPARE(indicator.layout()->alignment(), Qt::AlignCenter);
    QCOMPARE(indicator.layout()->contentsMargins(), QMargins());
}

void TestMeasCondLedIndicator::setState_data()
{
    QTest::addColumn<QVector<int>>("states");
    QTest::addColumn<int>("stored");
    QTest::addColumn<QString>("shows");

    QTest::newRow("0 is green") << QVector<int>{0} << 0 << "green";
    QTest::newRow("1 is red") << QVector<int>{1} << 1 << "red";
    QTest::newRow("2 is off") << QVector<int>{0, 2} << 2 << "off";
    QTest::newRow("7 is off and kept") << QVector<int>{1, 7} << 7 << "off";
    QTest::newRow("-1 is off and kept") << QVector<int>{0, -1} << -1 << "off";
    QTest::newRow("red then green rewrites both colours") << QVector<int>{1, 0} << 0 << "green";
    QTest::newRow("off keeps the last colours unlit") << QVector<int>{1, 2, 0} << 0 << "green";
}

void TestMeasCondLedIndicator::setState()
{
    QFETCH(QVector<int>, states);
    QFETCH(int, stored);
    QFETCH(QString, shows);

    MeasCondLedIndicator indicator;
    for (int s : states)
        indicator.setState(s);
    QCOMPARE(indicator.state(), stored);
    QCOMPARE(lampShows(&indicator), shows);
    // The off colours are never touched.
    QCOMPARE(indicator.lamp()->property("offColor1").value<QColor>(), QColor(0, 28, 0));
    QCOMPARE(indicator.lamp()->property("offColor2").value<QColor>(), QColor(0, 128, 0));
}

void TestMeasCondLedIndicator::setCondition_data()
{
    QTest::addColumn<QVector<int>>("conditions");
    QTest::addColumn<int>("stored");
    QTest::addColumn<QString>("shows");

    QTest::newRow("-1 undetermined is off") << QVector<int>{1, -1} << 2 << "off";
    QTest::newRow("0 false is green") << QVector<int>{0} << 0 << "green";
    QTest::newRow("1 true is red") << QVector<int>{1} << 1 << "red";
    QTest::newRow("5 after 1 changes nothing") << QVector<int>{1, 5} << 1 << "red";
    QTest::newRow("2 on a new lamp changes nothing") << QVector<int>{2} << 2 << "off";
}

void TestMeasCondLedIndicator::setCondition()
{
    QFETCH(QVector<int>, conditions);
    QFETCH(int, stored);
    QFETCH(QString, shows);

    MeasCondLedIndicator indicator;
    for (int c : conditions)
        indicator.setCondition(c);
    QCOMPARE(indicator.state(), stored);
    QCOMPARE(lampShows(&indicator), shows);
}

void TestMeasCondLedIndicator::reset()
{
    MeasCondLedIndicator indicator;
    indicator.setState(1);
    indicator.reset();
    QCOMPARE(indicator.state(), 2);
    QCOMPARE(lampShows(&indicator), QStringLiteral("off"));
}

void TestMeasCondLedIndicator::colourChangeRepaintsAtOnce()
{
    // Red to green leaves the lamp checked, so only an explicit repaint shows the change.
    MeasCondLedIndicator indicator;
    indicator.setState(1);
    indicator.show();
    QVERIFY(QTest::qWaitForWindowExposed(&indicator));
    PaintCounter counter;
    indicator.lamp()->installEventFilter(&counter);
    QCoreApplication::processEvents();
    counter.paints = 0;

    indicator.setState(0);
    QTRY_VERIFY_WITH_TIMEOUT(counter.paints > 0, 2000);
}

void TestMeasCondLedIndicator::rightPressIsForwarded_data()
{
    QTest::addColumn<bool>("onLamp");
    QTest::addColumn<QPoint>("pos");

    QTest::newRow("on the lamp") << true << QPoint(5, 7);
    QTest::newRow("beside the lamp") << false << QPoint(3, 4);
}

void TestMeasCondLedIndicator::rightPressIsForwarded()
{
    QFETCH(bool, onLamp);
    QFETCH(QPoint, pos);

    MeasCondLedIndicator indicator;
    indicator.resize(120, 40);
    indicator.show();
    QVERIFY(QTest::qWaitForWindowExposed(&indicator));
    LedIndicator *lamp = indicator.lamp();
    // The lamp sits in the middle, so its coordinates differ from the indicator's.
    QVERIFY(lamp->pos().x() > 0);

    QSignalSpy spy(&indicator, &QWidget::customContextMenuRequested);
    QWidget *target = onLamp ? static_cast<QWidget *>(lamp) : &indicator;
    QTest::mousePress(target, Qt::RightButton, Qt::NoModifier, pos);
    QCOMPARE(spy.count(), 1);
    const QPoint expected = onLamp ? lamp->mapTo(&indicator, pos) : pos;
    QCOMPARE(spy.at(0).at(0).toPoint(), expected);
    QCOMPARE(lampShows(&indicator), QStringLiteral("off"));
}

void TestMeasCondLedIndicator::otherButtonsAreIgnored()
{
    MeasCondLedIndicator indicator;
    indicator.resize(120, 40);
    indicator.show();
    QVERIFY(QTest::qWaitForWindowExposed(&indicator));
    QSignalSpy spy(&indicator, &QWidget::customContextMenuRequested);

    QTest::mouseClick(indicator.lamp(), Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QTest::mouseClick(&indicator, Qt::LeftButton, Qt::NoModifier, QPoint(2, 2));
    QTest::mouseClick(indicator.lamp(), Qt::MiddleButton, Qt::NoModifier, QPoint(10, 10));
    QCOMPARE(spy.count(), 0);
    QVERIFY(!indicator.lamp()->isChecked());
    QCOMPARE(indicator.state(), 2);
}

QTEST_MAIN(TestMeasCondLedIndicator)
#include "tst_meascondledindicator.moc"
