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

QTEST_GUILESS_MAIN(TestNodeSim)
#include "tst_nodesim.moc"
