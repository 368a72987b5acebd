#include "garbagegenerator.h"
#include "nodestatusdecoder.h"
#include "nodestatusencoder.h"
#include "siminstallation.h"
#include "statusgenerator.h"

#include <QtTest>

Q_DECLARE_METATYPE(SimNode)

class TestNodeSim : public QObject
{
    Q_OBJECT

private slots:
    void roundTripThroughTheDecoder_data();
    void roundTripThroughTheDecoder();
    void garbageNeverDecodes();
    void blipsAndTripsFollowTheirSchedule_data();
    void blipsAndTripsFollowTheirSchedule();
    void badSchedulesAreRefused_data();
    void badSchedulesAreRefused();
};

void TestNodeSim::roundTripThroughTheDecoder_data()
{
    QTest::addColumn<SimNode>("node");
    QTest::addColumn<double>("t");
    for (const SimNode &node : SimInstallation::demo().nodes)
        for (double t : {0.0, 27.5, 58.0})
            QTest::addRow("demo node %u at %.1f s", node.id, t) << node << t;
    QTest::newRow("full node 32") << SimInstallation::full().nodes.last() << 41.0;
    QTest::newRow("node id 4294967295") << SimInstallation::outOfRangeIds().nodes.last() << 3.0;
}

void TestNodeSim::roundTripThroughTheDecoder()
{
    // Decoded and encoded again, the datagram must come out the same: nothing lost or moved.
    QFETCH(SimNode, node);
    QFETCH(double, t);
    const QByteArray datagram = NodeStatusEncoder::encode(StatusGenerator(7).build(node, t));
    QVERIFY(!datagram.isEmpty());
    NodeStatus received;
    QVERIFY(decodeNodeStatus(datagram, received));
    QCOMPARE(received.node_id, node.id);
    QCOMPARE(received.has_relay, node.hasRelay);
    QCOMPARE(NodeStatusEncoder::encode(received).toHex(' '), datagram.toHex(' '));
}

void TestNodeSim::garbageNeverDecodes()
{
    QRandomGenerator rng(5);
    const QByteArray valid = NodeStatusEncoder::encode(
        StatusGenerator(5).build(SimInstallation::full().nodes.first(), 3.0));
    NodeStatus msg;
    for (int i = 0; i < 2000; ++i) {
        const QByteArray garbage = GarbageGenerator::make(rng, valid);
        QVERIFY(!garbage.isEmpty());
        QVERIFY(!decodeNodeStatus(garbage, msg));
    }
}

void TestNodeSim::blipsAndTripsFollowTheirSchedule_data()
{
    QTest::addColumn<QString>("description");
    QTest::addColumn<double>("rate");
    // Datagrams in which the watched state holds, counted in runs of consecutive datagrams.
    QTest::addColumn<QVector<int>>("runs");
    QTest::newRow("blip every 5 s at 10 Hz: one datagram each")
        << "3:ch=1:types=1:blip=5" << 10.0 << QVector<int>{1, 1, 1, 1};
    QTest::newRow("blip at 3 Hz, off the grid of its moments")
        << "3:ch=2:types=1:blip=5" << 3.0 << QVector<int>{1, 1, 1, 1};
    QTest::newRow("trip every 6 s for 2 s at 10 Hz")
        << "9:relays=2:trip=6,2" << 10.0 << QVector<int>{20, 20, 20, 20};
}

void TestNodeSim::blipsAndTripsFollowTheirSchedule()
{
    QFETCH(QString, description);
    QFETCH(double, rate);
    QFETCH(QVector<int>, runs);
    SimNode node;
    QString error;
    QVERIFY2(SimInstallation::parseNode(description, node, &error), qPrintable(error));

    StatusGenerator generator(3);
    QVector<int> seen;
    bool before = false;
    for (int i = 0; i < int(rate * 24.0); ++i) {
        const NodeStatus msg = generator.build(node, i / rate);
        bool on = false;
        if (node.hasRelay) {
            on = msg.relay.relay_status & 0x0101u; // relay 1: logical and physical
            QCOMPARE(bool(msg.relay.relay_status & 0x0001u),
                     bool(msg.relay.relay_status & 0x0100u));
        } else {
            const ChannelStatus *channel = channelAt(msg, node.channels.first().number - 1);
            QVERIFY(channel);
            // Slot 1 of a typical channel stays below danger; only a blip reaches it.
            on = (measAt(*channel, 0)->flags & 0x30u) == 0x10u;
        }
        if (on && !before)
            seen.append(0);
        if (on)
            ++seen.last();
        before = on;
    }
    QCOMPARE(seen.size(), runs.size());
    QCOMPARE(seen, runs);
}

void TestNodeSim::badSchedulesAreRefused_data()
{
    QTest::addColumn<QString>("description");
    QTest::newRow("blip without seconds") << "1:ch=1:blip=often";
    QTest::newRow("trip as long as its period") << "1:relays=1:trip=2,2";
    QTest::newRow("trip with three numbers") << "1:relays=1:trip=5,1,1";
    QTest::newRow("negative trip") << "1:relays=1:trip=-5";
}

void TestNodeSim::badSchedulesAreRefused()
{
    QFETCH(QString, description);
    SimNode node;
    QString error;
    QVERIFY(!SimInstallation::parseNode(description, node, &error));
    QVERIFY(error.contains(description));
}

QTEST_GUILESS_MAIN(TestNodeSim)
#include "tst_nodesim.moc"
