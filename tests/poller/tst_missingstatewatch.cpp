// Which configured channels are reported for want of a state, and when not.

#include "missingstatewatch.h"

#include <QtTest>

class TestMissingStateWatch : public QObject
{
    Q_OBJECT

    // Until every running wait is over; a wait is a timer, so the loop wakes for each.
    static bool settle(const MissingStateWatch &watch)
    {
        const QDeadlineTimer deadline(10000);
        while (watch.isWaiting() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
        return !watch.isWaiting();
    }

private slots:
    void reported_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QList<int>>("reported");
        QTest::addColumn<int>("missingAtEnd");
        // Steps: "icp|prox|rel MASK" a settings record, "arrive CH", "clear", "wait" (until
        // every running wait is over).
        QTest::newRow("none arrives") << QStringList{"icp 0x5"} << QList<int>{0, 2} << 0x5;
        QTest::newRow("one arrives in time")
            << QStringList{"icp 0x5", "arrive 0"} << QList<int>{2} << 0x4;
        QTest::newRow("relay module expects no channel")
            << QStringList{"rel 0xf"} << QList<int>{} << 0;
        QTest::newRow("mask bits above the channels ignored")
            << QStringList{"prox 0xfff1"} << QList<int>{0} << 0x1;
        QTest::newRow("the same record again keeps an arrival")
            << QStringList{"icp 0x1", "arrive 0", "icp 0x1"} << QList<int>{} << 0;
        QTest::newRow("a newly configured channel waits on its own")
            << QStringList{"icp 0x1", "arrive 0", "icp 0x3"} << QList<int>{1} << 0x2;
        QTest::newRow("a channel taken out is not reported")
            << QStringList{"icp 0x3", "icp 0x1"} << QList<int>{0} << 0x1;
        QTest::newRow("reported once while it stays configured")
            << QStringList{"icp 0x1", "wait", "icp 0x1", "wait"} << QList<int>{0} << 0x1;
        QTest::newRow("configured anew, waited for anew")
            << QStringList{"icp 0x1", "wait", "icp 0x0", "icp 0x1"} << QList<int>{0, 0} << 0x1;
        QTest::newRow("nothing left after clear")
            << QStringList{"icp 0x3", "clear"} << QList<int>{} << 0;
        QTest::newRow("expected again after clear")
            << QStringList{"icp 0x1", "arrive 0", "clear", "icp 0x1"} << QList<int>{0} << 0x1;
        QTest::newRow("a state from a channel outside the record changes nothing")
            << QStringList{"icp 0x1", "arrive 3", "arrive 9"} << QList<int>{0} << 0x1;
    }

    void reported()
    {
        QFETCH(QStringList, steps);
        QFETCH(QList<int>, reported);
        QFETCH(int, missingAtEnd);
        MissingStateWatch watch;
        watch.setTimeout(20);
        QList<int> seen;
        connect(&watch, &MissingStateWatch::channelMissing, this, [&seen](int ch) { seen << ch; });
        const QMap<QString, t_ORVO_Type> types{
            {"icp", ORVO_TYPE_ICP}, {"prox", ORVO_TYPE_PROX}, {"rel", ORVO_TYPE_REL}};
        for (const QString &step : steps) {
            const QStringList word = step.split(' ');
            if (types.contains(word[0]))
                watch.expect(types[word[0]], quint16(word[1].toUInt(nullptr, 16)));
            else if (word[0] == "arrive")
                watch.arrived(word[1].toInt());
            else if (word[0] == "clear")
                watch.clear();
            else
                QVERIFY(settle(watch));
        }
        QVERIFY(settle(watch));
        QCOMPARE(seen, reported);
        QCOMPARE(int(watch.missing()), missingAtEnd);
    }
};

QTEST_MAIN(TestMissingStateWatch)
#include "tst_missingstatewatch.moc"
