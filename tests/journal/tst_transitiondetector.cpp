#include "nodestatusdecoder.h"
#include "statusdatagram.h"
#include "transitiondetector.h"
#include "trendaccumulator.h"

#include <QtTest>

#include <cmath>
#include <limits>

namespace {
// Condition flags: bits 0-1 failure, 2-3 alert, 4-5 danger; 2 or 3 in a field is undetermined.
constexpr quint32 FailureTrue = 1u << 0;
constexpr quint32 FailureOdd = 3u << 0;
constexpr quint32 AlertTrue = 1u << 2;
constexpr quint32 AlertUndetermined = 2u << 2;
constexpr quint32 DangerTrue = 1u << 4;
constexpr quint32 Baseline = 1u << 8; // not a condition: never recorded

struct Step
{
    qint64 timeMs = 0;
    NodeSample node;
};

MeasSample meas(int slot, quint32 flags, quint32 type = 1, float value = 1.5f)
{
    MeasSample m;
    m.slot = slot;
    m.flags = flags;
    m.type = type;
    m.value = value;
    return m;
}

ChannelSample channel(int number, qint32 state, const QVector<MeasSample> &meas)
{
    return ChannelSample{number, state, meas};
}

Step step(qint64 timeMs, quint32 id, const QVector<ChannelSample> &channels,
          std::optional<quint32> relay = std::nullopt)
{
    Step s;
    s.timeMs = timeMs;
    s.node.node_id = id;
    s.node.channels = channels;
    s.node.relay_status = relay;
    return s;
}

NodeStatus decoded(const NodeSample &sample)
{
    NodeStatus msg;
    const bool ok = decodeNodeStatus(StatusDatagram::node(sample), msg);
    if (!ok)
        qFatal("test datagram does not decode");
    return msg;
}

// One row as the table spells it: time, kind, where, from>to; details only for the rows whose
// detail is part of what they say.
QString line(const JournalEvent &e)
{
    QString text =
        QStringLiteral("%1 %2 n%3").arg(e.timeMs).arg(Journal::kindName(e.kind)).arg(e.node);
    if (e.channel)
        text += QStringLiteral(" c%1").arg(e.channel);
    if (e.slot)
        text += QStringLiteral(" s%1").arg(e.slot);
    if (e.relay)
        text += QStringLiteral(" r%1").arg(e.relay);
    if (!e.from.isEmpty() || !e.to.isEmpty())
        text += QStringLiteral(" %1>%2").arg(e.from, e.to);
    if (e.kind == Journal::Kind::ConfigChanged)
        text += QStringLiteral(" [%1]").arg(e.detail);
    return text;
}
} // namespace

Q_DECLARE_METATYPE(QVector<Step>)

class TestTransitionDetector : public QObject
{
    Q_OBJECT

private slots:
    void transitions_data();
    void transitions();
    void silenceIsStampedWhenItBegan();
    void measurementRowsCarryValueAndStoredUnit();
    void trendIntervals_data();
    void trendIntervals();
    void trendIntervalsWaitForTheirSecondToEnd();
};

void TestTransitionDetector::transitions_data()
{
    QTest::addColumn<QVector<Step>>("steps");
    QTest::addColumn<QStringList>("expected");

    const auto quiet = channel(1, 0, {meas(1, Baseline)});
    QTest::newRow("first contact, quiet: only the node and its relays in use")
        << QVector<Step>{step(0, 5, {quiet}, 0x03000000u), step(100, 5, {quiet}, 0x03000000u)}
        << QStringList{"0 node-heard n5", "0 relay-enabled n5 r1 >1", "0 relay-enabled n5 r2 >1"};

    QTest::newRow("first contact with abnormal states: each with an empty from")
        << QVector<Step>{step(
               0, 2,
               {channel(1, CH_STATE_SHORT_CIRCUIT,
                        {meas(1, AlertUndetermined | DangerTrue), meas(3, FailureOdd)})},
               0x01010101u)}
        << QStringList{"0 node-heard n2",
                       "0 channel-status n2 c1 >Short circuit",
                       "0 alert n2 c1 s1 >undetermined",
                       "0 danger n2 c1 s1 >true",
                       "0 failure n2 c1 s3 >undetermined",
                       "0 relay-enabled n2 r1 >1",
                       "0 relay-fault n2 r1 >1",
                       "0 relay-physical n2 r1 >1",
                       "0 relay-logical n2 r1 >1"};

    QTest::newRow("a danger for one datagram gives two rows")
        << QVector<Step>{step(0, 1, {quiet}), step(100, 1, {channel(1, 0, {meas(1, DangerTrue)})}),
                         step(200, 1, {quiet}), step(300, 1, {quiet})}
        << QStringList{"0 node-heard n1", "100 danger n1 c1 s1 false>true",
                       "200 danger n1 c1 s1 true>false"};

    QTest::newRow("every condition and its three states")
        << QVector<Step>{step(0, 1, {quiet}),
                         step(100, 1, {channel(1, 0, {meas(1, FailureTrue | AlertTrue)})}),
                         step(200, 1, {channel(1, 0, {meas(1, FailureOdd | AlertUndetermined)})}),
                         step(300, 1, {quiet})}
        << QStringList{"0 node-heard n1",
                       "100 failure n1 c1 s1 false>true",
                       "100 alert n1 c1 s1 false>true",
                       "200 failure n1 c1 s1 true>undetermined",
                       "200 alert n1 c1 s1 true>undetermined",
                       "300 failure n1 c1 s1 undetermined>false",
                       "300 alert n1 c1 s1 undetermined>false"};

    QTest::newRow("channel status through every caption")
        << QVector<Step>{step(0, 1, {quiet}),
                         step(100, 1, {channel(1, CH_STATE_OPEN_CIRCUIT, {meas(1, Baseline)})}),
                         step(200, 1, {channel(1, CH_STATE_NO_VALID_DATA, {meas(1, Baseline)})}),
                         step(300, 1, {channel(1, CH_STATE_UNDEFINED, {meas(1, Baseline)})}),
                         step(400, 1, {channel(1, CH_STATE_SHORT_CIRCUIT, {meas(1, Baseline)})}),
                         step(500, 1, {quiet})}
        << QStringList{"0 node-heard n1", "100 channel-status n1 c1 Valid data>Open circuit",
                       "200 channel-status n1 c1 Open circuit>No valid data",
                       "400 channel-status n1 c1 No valid data>Short circuit",
                       "500 channel-status n1 c1 Short circuit>Valid data"};

    QTest::newRow("a configuration change during an alarm keeps the alarm and adds the new")
        << QVector<Step>{step(0, 3, {channel(1, 0, {meas(1, DangerTrue)})}),
                         step(100, 3,
                              {channel(1, 0, {meas(1, DangerTrue), meas(2, AlertTrue, 2)})}),
                         step(200, 3, {channel(1, 0, {meas(1, 0), meas(2, AlertTrue, 2)})})}
        << QStringList{"0 node-heard n3", "0 danger n3 c1 s1 >true",
                       "100 config-changed n3 [channel 1 types 1:1 -> 1:1 2:2]",
                       "100 alert n3 c1 s2 >true", "200 danger n3 c1 s1 true>false"};

    QTest::newRow("a new channel and a relay out of use")
        << QVector<Step>{step(0, 4, {quiet}, 0x03000000u),
                         step(100, 4, {quiet, channel(3, CH_STATE_OPEN_CIRCUIT, {meas(8, 0, 5)})},
                              0x01000000u)}
        << QStringList{"0 node-heard n4",
                       "0 relay-enabled n4 r1 >1",
                       "0 relay-enabled n4 r2 >1",
                       "100 config-changed n4 [channels 1 -> 1,3; channel 3 types none -> 8:5; "
                       "relays 1,2 -> 1]",
                       "100 channel-status n4 c3 >Open circuit",
                       "100 relay-enabled n4 r2 1>0"};

    QTest::newRow("a measurement removed during an alarm returns to quiet")
        << QVector<Step>{step(0, 3,
                              {channel(1, 0,
                                       {meas(1, DangerTrue), meas(2, AlertTrue | FailureOdd)})}),
                         step(100, 3, {channel(1, 0, {meas(1, DangerTrue)})})}
        << QStringList{"0 node-heard n3",
                       "0 danger n3 c1 s1 >true",
                       "0 failure n3 c1 s2 >undetermined",
                       "0 alert n3 c1 s2 >true",
                       "100 config-changed n3 [channel 1 types 1:1 2:1 -> 1:1]",
                       "100 failure n3 c1 s2 undetermined>false",
                       "100 alert n3 c1 s2 true>false"};

    QTest::newRow("a channel removed while not quiet, then added again")
        << QVector<Step>{step(0, 3,
                              {quiet, channel(2, CH_STATE_OPEN_CIRCUIT, {meas(1, DangerTrue)})}),
                         step(100, 3, {quiet}),
                         step(200, 3, {quiet, channel(2, 0, {meas(1, DangerTrue)})})}
        << QStringList{"0 node-heard n3",
                       "0 channel-status n3 c2 >Open circuit",
                       "0 danger n3 c2 s1 >true",
                       "100 config-changed n3 [channels 1,2 -> 1]",
                       "100 channel-status n3 c2 Open circuit>Valid data",
                       "100 danger n3 c2 s1 true>false",
                       "200 config-changed n3 [channels 1 -> 1,2; channel 2 types none -> 1:1]",
                       "200 danger n3 c2 s1 >true"};

    QTest::newRow("a relay taken out of use while tripped")
        << QVector<Step>{step(0, 6, {}, 0x01010001u), step(100, 6, {}, 0x00010001u)}
        << QStringList{"0 node-heard n6",
                       "0 relay-enabled n6 r1 >1",
                       "0 relay-fault n6 r1 >1",
                       "0 relay-logical n6 r1 >1",
                       "100 config-changed n6 [relays 1 -> none]",
                       "100 relay-enabled n6 r1 1>0",
                       "100 relay-fault n6 r1 1>0",
                       "100 relay-logical n6 r1 1>0"};

    QTest::newRow("relay bits each on their own")
        << QVector<Step>{step(0, 6, {}, 0x80000000u), step(100, 6, {}, 0x80000080u),
                         step(200, 6, {}, 0x80008080u), step(300, 6, {}, 0x80808000u),
                         step(400, 6, {}, 0x80000000u)}
        << QStringList{"0 node-heard n6",
                       "0 relay-enabled n6 r8 >1",
                       "100 relay-logical n6 r8 0>1",
                       "200 relay-physical n6 r8 0>1",
                       "300 relay-fault n6 r8 0>1",
                       "300 relay-logical n6 r8 1>0",
                       "400 relay-fault n6 r8 1>0",
                       "400 relay-physical n6 r8 1>0"};

    QTest::newRow("bits of relays not in use are not recorded")
        << QVector<Step>{step(0, 6, {}, 0x00000F0Fu), step(100, 6, {}, 0x00FF0000u)}
        << QStringList{"0 node-heard n6"};

    QTest::newRow("silence and return: a first contact again")
        << QVector<Step>{step(0, 7, {channel(1, 0, {meas(1, DangerTrue)})}),
                         step(999, 7, {channel(1, 0, {meas(1, DangerTrue)})}),
                         step(2500, 7, {channel(1, 0, {meas(1, DangerTrue)})})}
        << QStringList{"0 node-heard n7", "0 danger n7 c1 s1 >true", "1999 node-silent n7",
                       "2500 node-heard n7", "2500 danger n7 c1 s1 >true"};

    QTest::newRow("node ids outside 1..32 change nothing")
        << QVector<Step>{step(0, 0, {quiet}), step(100, 33, {quiet}), step(200, 32, {})}
        << QStringList{"200 node-heard n32"};

    QTest::newRow("a measurement type outside the table is no measurement")
        << QVector<Step>{step(0, 8, {channel(1, 0, {meas(1, DangerTrue, 17)})}),
                         step(100, 8, {channel(1, 0, {meas(1, DangerTrue, 1)})})}
        << QStringList{"0 node-heard n8", "100 config-changed n8 [channel 1 types none -> 1:1]",
                       "100 danger n8 c1 s1 >true"};
}

void TestTransitionDetector::transitions()
{
    QFETCH(QVector<Step>, steps);
    QFETCH(QStringList, expected);

    TransitionDetector detector;
    QVector<JournalEvent> events;
    for (const Step &s : steps)
        detector.datagram(decoded(s.node), s.timeMs, &events);
    QStringList lines;
    for (const JournalEvent &e : events)
        lines << line(e);
    QCOMPARE(lines, expected);
}

void TestTransitionDetector::silenceIsStampedWhenItBegan()
{
    TransitionDetector detector;
    QVector<JournalEvent> events;
    detector.datagram(decoded(step(10'000, 9, {}).node), 10'000, &events);
    detector.datagram(decoded(step(10'400, 10, {}).node), 10'400, &events);
    QCOMPARE(detector.nextSilenceAt(), qint64(11'000));

    events.clear();
    detector.checkSilence(10'999, &events);
    QVERIFY(events.isEmpty());
    // A late check still dates each silence to the second after the node's last datagram.
    detector.checkSilence(13'000, &events);
    QCOMPARE(events.size(), 2);
    QCOMPARE(events[0].node, 9);
    QCOMPARE(events[0].timeMs, qint64(11'000));
    QCOMPARE(events[1].timeMs, qint64(11'400));
    const QString heard = events[0].detail.section(QLatin1Char(' '), 2);
    QCOMPARE(QDateTime::fromString(heard, Qt::ISODateWithMs).toMSecsSinceEpoch(), qint64(10'000));
    QVERIFY(!detector.isHeard(9));
    QCOMPARE(detector.nextSilenceAt(), qint64(0));
}

void TestTransitionDetector::measurementRowsCarryValueAndStoredUnit()
{
    TransitionDetector detector;
    QVector<JournalEvent> events;
    detector.datagram(decoded(step(0, 1, {channel(2, 0, {meas(4, DangerTrue, 3, 212.25f)})}).node),
                      0, &events);
    QCOMPARE(events.size(), 2);
    const JournalEvent &danger = events[1];
    QVERIFY(danger.hasValue);
    QCOMPARE(danger.value, 212.25f);
    // Composed at run time in the catalogue; stored untranslated.
    QCOMPARE(danger.unit, QString::fromUtf8("µm"));
    QVERIFY(!events[0].hasValue);
}

struct Sample
{
    qint64 timeMs;
    float value;
    qint32 state = 0;
    quint32 type = 1;
};
Q_DECLARE_METATYPE(QVector<Sample>)

void TestTransitionDetector::trendIntervals_data()
{
    QTest::addColumn<QVector<Sample>>("samples");
    // start, count, min, max, sum, last, valid, type: one line per interval
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("one second") << QVector<Sample>{{5000, 2.0f}, {5300, -1.0f}, {5999, 4.0f}}
                                << QStringList{"5000 3 -1 4 5 4 valid 1"};
    QTest::newRow("split at the second")
        << QVector<Sample>{{5999, 2.0f}, {6000, 3.0f}}
        << QStringList{"5000 1 2 2 2 2 valid 1", "6000 1 3 3 3 3 valid 1"};
    QTest::newRow("one datagram without valid data spoils its second only")
        << QVector<Sample>{{1000, 1.0f}, {1500, 1.0f, CH_STATE_OPEN_CIRCUIT}, {2000, 1.0f}}
        << QStringList{"1000 2 1 1 2 1 invalid 1", "2000 1 1 1 1 1 valid 1"};
    QTest::newRow("NaN and infinity are no readings")
        << QVector<Sample>{{0, std::numeric_limits<float>::quiet_NaN()},
                           {100, 7.0f},
                           {200, std::numeric_limits<float>::infinity()}}
        << QStringList{"0 1 7 7 7 7 valid 1"};
    QTest::newRow("another type in the slot ends the interval")
        << QVector<Sample>{{0, 1.0f}, {100, 9.0f, 0, 2}}
        << QStringList{"0 1 1 1 1 1 valid 1", "0 1 9 9 9 9 valid 2"};
    QTest::newRow("before 1970 the second still starts below the time")
        << QVector<Sample>{{-1, 1.0f}} << QStringList{"-1000 1 1 1 1 1 valid 1"};
}

void TestTransitionDetector::trendIntervals()
{
    QFETCH(QVector<Sample>, samples);
    QFETCH(QStringList, expected);

    TrendAccumulator trends;
    for (const Sample &s : samples) {
        MeasSample m = meas(3, 0, s.type, s.value);
        trends.add(decoded(step(s.timeMs, 2, {channel(4, s.state, {m})}).node), s.timeMs);
    }
    QVector<TrendInterval> intervals;
    trends.takeAll(&intervals);
    QStringList lines;
    for (const TrendInterval &i : intervals) {
        QCOMPARE(i.node, 2);
        QCOMPARE(i.channel, 4);
        QCOMPARE(i.slot, 3);
        QCOMPARE(i.intervalS, 1);
        lines << QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8")
                     .arg(i.startMs)
                     .arg(i.count)
                     .arg(double(i.min))
                     .arg(double(i.max))
                     .arg(i.sum)
                     .arg(double(i.last))
                     .arg(i.valid ? "valid" : "invalid")
                     .arg(i.measType);
    }
    QCOMPARE(lines, expected);
}

void TestTransitionDetector::trendIntervalsWaitForTheirSecondToEnd()
{
    TrendAccumulator trends;
    const NodeSample full = StatusDatagram::fullNode(1);
    trends.add(decoded(full), 42'100);
    QVector<TrendInterval> intervals;
    trends.takeFinished(42'999, &intervals);
    QVERIFY(intervals.isEmpty());
    trends.takeFinished(43'000, &intervals);
    QCOMPARE(intervals.size(), 32);
    QCOMPARE(intervals.first().startMs, qint64(42'000));
    intervals.clear();
    trends.takeAll(&intervals);
    QVERIFY(intervals.isEmpty());
}

QTEST_GUILESS_MAIN(TestTransitionDetector)
#include "tst_transitiondetector.moc"
