#include <garbagegenerator.h>
#include <nodesimulator.h>
#include <nodestatusdecoder.h>
#include <nodestatusencoder.h>
#include <siminstallation.h>
#include <statusgenerator.h>

#include <QNetworkDatagram>
#include <QSignalSpy>
#include <QUdpSocket>
#include <QtTest>

Q_DECLARE_METATYPE(SimNode)

class TestNodeSim : public QObject
{
    Q_OBJECT

private slots:
    void roundTripThroughTheDecoder_data();
    void roundTripThroughTheDecoder();
    void garbageNeverDecodes();
    void sendsThroughARealSocket();
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
    for (const char *description : {"9:ch=1,4:types=1,2,5,16,0:relays=0x81", "0x21:relays=0"}) {
        SimNode node;
        QString error;
        QVERIFY2(SimInstallation::parseNode(QString::fromLatin1(description), node, &error),
                 qPrintable(error));
        QTest::newRow(description) << node << 5.0;
    }
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

void TestNodeSim::sendsThroughARealSocket()
{
    QUdpSocket receiver;
    QVERIFY(receiver.bind(QHostAddress(QHostAddress::LocalHost), 0));
    SimRunSettings settings;
    settings.port = receiver.localPort();
    settings.rate = 200.0;
    settings.count = 60;
    settings.garbage = 0.5;
    settings.seed = 3;
    SimInstallation installation = SimInstallation::demo();
    installation.nodes += SimInstallation::outOfRangeIds().nodes;
    NodeSimulator simulator(installation, settings);
    QSignalSpy finished(&simulator, &NodeSimulator::finished);
    simulator.start();
    QVERIFY(finished.wait(10000));
    QCOMPARE(simulator.validSent() + simulator.garbageSent(), qint64(60));
    QCOMPARE(simulator.sendFailures(), qint64(0));
    QVERIFY(simulator.garbageSent() > 0);

    qint64 decoded = 0, dropped = 0;
    QSet<quint32> ids;
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            while (receiver.hasPendingDatagrams()) {
                NodeStatus msg;
                const bool ok = decodeNodeStatus(receiver.receiveDatagram().data(), msg);
                (ok ? decoded : dropped) += 1;
                if (ok)
                    ids.insert(msg.node_id);
            }
            return decoded + dropped == 60;
        }(),
        5000);
    QCOMPARE(decoded, simulator.validSent());
    QCOMPARE(ids, (QSet<quint32>{1, 2, 5, 7, 0, 33, 0xFFFFFFFFu}));
}

QTEST_GUILESS_MAIN(TestNodeSim)
#include "tst_nodesim.moc"
