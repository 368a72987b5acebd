#include <chstate.h>
#include <garbagegenerator.h>
#include <nodesimulator.h>
#include <nodestatusdecoder.h>
#include <nodestatusencoder.h>
#include <siminstallation.h>
#include <statusconversion.h>
#include <statusgenerator.h>
#include <t_orvo_settings.h>

#include <QHostAddress>
#include <QNetworkDatagram>
#include <QSignalSpy>
#include <QUdpSocket>
#include <QtTest>

#include <cstring>
#include <memory>

Q_DECLARE_METATYPE(SimNode)

namespace {
bool sameFloat(float a, float b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Field-by-field equality; the records have padding, so no memcmp of the whole.
QString differences(const NodeStatus &a, const NodeStatus &b)
{
    if (a.word1 != b.word1 || a.word2 != b.word2 || a.node_id != b.node_id)
        return QStringLiteral("words or node_id");
    if (a.has_relay != b.has_relay || (a.has_relay && a.relay.relay_status != b.relay.relay_status))
        return QStringLiteral("relay");
    for (int c = 0; c < 4; ++c) {
        const ChannelStatus *ca = channelAt(a, c);
        const ChannelStatus *cb = channelAt(b, c);
        if (!ca || !cb) {
            if (ca || cb)
                return QStringLiteral("presence of channel %1").arg(c + 1);
            continue;
        }
        if (channelStateOf(*ca) != channelStateOf(*cb) ||
            std::memcmp(&ca->aux, &cb->aux, sizeof ca->aux) != 0)
            return QStringLiteral("state or aux of channel %1").arg(c + 1);
        for (int m = 0; m < 8; ++m) {
            const MeasStatus *ma = measAt(*ca, m);
            const MeasStatus *mb = measAt(*cb, m);
            if (!ma || !mb) {
                if (ma || mb)
                    return QStringLiteral("presence of meas %1.%2").arg(c + 1).arg(m + 1);
                continue;
            }
            if (!sameFloat(ma->value, mb->value) || ma->flags != mb->flags ||
                ma->type != mb->type || !sameFloat(ma->fs_fraction, mb->fs_fraction) ||
                !sameFloat(ma->baseline_fraction, mb->baseline_fraction))
                return QStringLiteral("meas %1.%2").arg(c + 1).arg(m + 1);
        }
    }
    return QString();
}

int measCount(const NodeStatus &msg)
{
    int count = 0;
    for (int c = 0; c < 4; ++c)
        for (int m = 0; m < 8; ++m)
            count += channelAt(msg, c) && measAt(*channelAt(msg, c), m) ? 1 : 0;
    return count;
}
} // namespace

class TestNodeSim : public QObject
{
    Q_OBJECT

private slots:
    void parseNode_data();
    void parseNode();
    void rejectsBadNodes_data();
    void rejectsBadNodes();
    void encodingRoundTrip_data();
    void encodingRoundTrip();
    void fullNodeIsTheLargestMessage();
    void conditionLamps_data();
    void conditionLamps();
    void inputFaultsAlternate();
    void silenceSchedule_data();
    void silenceSchedule();
    void configurationChangeChangesTheRecord();
    void garbageNeverDecodes();
    void sendsThroughARealSocket();
};

void TestNodeSim::parseNode_data()
{
    QTest::addColumn<QString>("spec");
    QTest::addColumn<quint32>("id");
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("measPerChannel");
    QTest::addColumn<bool>("hasRelay");
    QTest::addColumn<int>("relays");
    QTest::addColumn<double>("silent");
    QTest::addColumn<double>("back");

    QTest::newRow("id only") << "12" << 12u << 0 << 0 << false << 0 << 0.0 << 0.0;
    QTest::newRow("channels with default types")
        << "3:ch=1,4" << 3u << 2 << 2 << false << 0 << 0.0 << 0.0;
    QTest::newRow("types") << "3:ch=2:types=1,2,5,16,0" << 3u << 1 << 5 << false << 0 << 0.0 << 0.0;
    QTest::newRow("relay count") << "9:relays=3" << 9u << 0 << 0 << true << 0x07 << 0.0 << 0.0;
    QTest::newRow("relay mask") << "9:relays=0x81" << 9u << 0 << 0 << true << 0x81 << 0.0 << 0.0;
    QTest::newRow("relay word without relays")
        << "9:relays=0" << 9u << 0 << 0 << true << 0 << 0.0 << 0.0;
    QTest::newRow("silence") << "4:ch=1:silent=10:back=2.5" << 4u << 1 << 2 << false << 0 << 10.0
                             << 2.5;
    QTest::newRow("id out of range")
        << "4294967295:ch=1" << 0xFFFFFFFFu << 1 << 2 << false << 0 << 0.0 << 0.0;
    QTest::newRow("hexadecimal id") << "0x21" << 33u << 0 << 0 << false << 0 << 0.0 << 0.0;
    QTest::newRow("leading zero is decimal") << "010" << 10u << 0 << 0 << false << 0 << 0.0 << 0.0;
}

void TestNodeSim::parseNode()
{
    QFETCH(QString, spec);
    SimNode node;
    QString error;
    QVERIFY2(SimInstallation::parseNode(spec, node, &error), qPrintable(error));
    QTEST(node.id, "id");
    QTEST(int(node.channels.size()), "channels");
    for (const SimChannel &channel : node.channels)
        QTEST(int(channel.meas.size()), "measPerChannel");
    QTEST(node.hasRelay, "hasRelay");
    QTEST(int(node.relaysInUse), "relays");
    QTEST(node.silentAfter, "silent");
    QTEST(node.backAfter, "back");
}

void TestNodeSim::rejectsBadNodes_data()
{
    QTest::addColumn<QString>("spec");
    QTest::newRow("empty") << "";
    QTest::newRow("id not a number") << "node1";
    QTest::newRow("id beyond 32 bits") << "4294967296";
    QTest::newRow("channel 0") << "1:ch=0";
    QTest::newRow("channel 5") << "1:ch=5";
    QTest::newRow("channel twice") << "1:ch=2,2";
    QTest::newRow("nine types") << "1:ch=1:types=1,2,3,4,5,6,7,8,9";
    QTest::newRow("nine relays") << "1:relays=9";
    QTest::newRow("relay mask too wide") << "1:relays=0x100";
    QTest::newRow("negative silence") << "1:silent=-1";
    QTest::newRow("fault too often") << "1:ch=1:fault=1";
    QTest::newRow("unknown key") << "1:speed=3";
    QTest::newRow("no value") << "1:ch";
}

void TestNodeSim::rejectsBadNodes()
{
    QFETCH(QString, spec);
    SimNode node;
    QString error;
    QVERIFY(!SimInstallation::parseNode(spec, node, &error));
    QVERIFY(error.contains(spec));
}

void TestNodeSim::encodingRoundTrip_data()
{
    QTest::addColumn<SimNode>("node");
    QTest::addColumn<double>("t");
    const SimInstallation demo = SimInstallation::demo();
    for (const SimNode &node : demo.nodes)
        for (double t : {0.0, 27.5, 58.0, 90.0})
            QTest::addRow("demo node %u at %.1f s", node.id, t) << node << t;
    QTest::newRow("full node 32") << SimInstallation::full().nodes.last() << 41.0;
    QTest::newRow("node id 4294967295") << SimInstallation::outOfRangeIds().nodes.last() << 3.0;
}

void TestNodeSim::encodingRoundTrip()
{
    QFETCH(SimNode, node);
    QFETCH(double, t);
    StatusGenerator generator(7);
    const NodeStatus sent = generator.build(node, t);
    const QByteArray datagram = NodeStatusEncoder::encode(sent);
    QVERIFY(!datagram.isEmpty());
    NodeStatus received;
    QVERIFY(decodeNodeStatus(datagram, received));
    QCOMPARE(differences(sent, received), QString());
}

void TestNodeSim::fullNodeIsTheLargestMessage()
{
    StatusGenerator generator(1);
    for (const SimNode &node : SimInstallation::full().nodes) {
        const NodeStatus msg = generator.build(node, 12.0);
        QCOMPARE(measCount(msg), 32);
        QCOMPARE(msg.relay.relay_status >> 24, 0xFFu);
        auto rec = std::make_unique<t_orvo_settings>();
        convertStatus(msg, *rec);
        QCOMPARE(rec->channel_mask, quint16(15));
        const int size = NodeStatusEncoder::encode(msg).size();
        QVERIFY2(size > 700 && size <= NodeStatus_size, qPrintable(QString::number(size)));
    }
}

void TestNodeSim::conditionLamps_data()
{
    QTest::addColumn<double>("fraction");
    QTest::addColumn<bool>("faulty");
    QTest::addColumn<int>("failure");
    QTest::addColumn<int>("alert");
    QTest::addColumn<int>("danger");
    QTest::addColumn<bool>("baselineValid");
    QTest::newRow("quiet") << 0.2 << false << 0 << 0 << 0 << true;
    QTest::newRow("at the alert threshold") << 0.6 << false << 0 << 1 << 0 << true;
    QTest::newRow("above danger") << 0.85 << false << 0 << 1 << 1 << true;
    QTest::newRow("over range") << 1.2 << false << 0 << 1 << 1 << true;
    QTest::newRow("input fault") << 0.0 << true << 1 << -1 << -1 << false;
}

void TestNodeSim::conditionLamps()
{
    QFETCH(double, fraction);
    QFETCH(bool, faulty);
    quint16 image[ChState::ImageRegisters] = {};
    image[8] = 1;
    image[9] = quint16(StatusGenerator::conditionFlags(fraction, 0.6, 0.8, faulty));
    const ChState state(0, image);
    QTEST(state.meas.front()->failure, "failure");
    QTEST(state.meas.front()->alert, "alert");
    QTEST(state.meas.front()->danger, "danger");
    QTEST(state.meas.front()->baseline_valid, "baselineValid");
}

void TestNodeSim::inputFaultsAlternate()
{
    SimNode node;
    QString error;
    QVERIFY2(SimInstallation::parseNode(QStringLiteral("2:ch=3:fault=30"), node, &error),
             qPrintable(error));
    StatusGenerator generator(1);
    QCOMPARE(channelStateOf(generator.build(node, 10.0).channel3), int32_t(CH_STATE_VALID));
    const NodeStatus first = generator.build(node, 28.0);
    const NodeStatus second = generator.build(node, 58.0);
    QCOMPARE(channelStateOf(first.channel3), int32_t(CH_STATE_SHORT_CIRCUIT));
    QCOMPARE(channelStateOf(second.channel3), int32_t(CH_STATE_OPEN_CIRCUIT));
    quint16 image[ChState::ImageRegisters];
    buildImage(first.channel3, image);
    QCOMPARE(ChState(2, image).status, 1);
    QCOMPARE(ChState(2, image).meas.front()->failure, 1);
}

void TestNodeSim::silenceSchedule_data()
{
    QTest::addColumn<double>("silent");
    QTest::addColumn<double>("back");
    QTest::addColumn<double>("t");
    QTest::addColumn<bool>("talking");
    QTest::newRow("never silent") << 0.0 << 0.0 << 1e6 << true;
    QTest::newRow("before falling silent") << 10.0 << 0.0 << 9.9 << true;
    QTest::newRow("silent for good") << 10.0 << 0.0 << 1e6 << false;
    QTest::newRow("first silence") << 10.0 << 5.0 << 10.1 << false;
    QTest::newRow("back") << 10.0 << 5.0 << 15.1 << true;
    QTest::newRow("second silence") << 10.0 << 5.0 << 25.1 << false;
}

void TestNodeSim::silenceSchedule()
{
    SimNode node;
    QFETCH(double, silent);
    QFETCH(double, back);
    QFETCH(double, t);
    node.silentAfter = silent;
    node.backAfter = back;
    QTEST(node.talkingAt(t), "talking");
}

void TestNodeSim::configurationChangeChangesTheRecord()
{
    const QStringList specs = {QStringLiteral("1:ch=1,2:types=1,2:change=20"),
                               QStringLiteral("1:ch=1:types=1,2,3,4,5,6,7,8:change=20"),
                               QStringLiteral("1:relays=2:change=20")};
    for (const QString &spec : specs) {
        SimNode node;
        QString error;
        QVERIFY2(SimInstallation::parseNode(spec, node, &error), qPrintable(error));
        StatusGenerator generator(1);
        auto before = std::make_unique<t_orvo_settings>();
        auto stillBefore = std::make_unique<t_orvo_settings>();
        auto after = std::make_unique<t_orvo_settings>();
        convertStatus(generator.build(node, 1.0), *before);
        convertStatus(generator.build(node, 19.0), *stillBefore);
        convertStatus(generator.build(node, 21.0), *after);
        QVERIFY2(std::memcmp(before.get(), stillBefore.get(), sizeof *before) == 0,
                 qPrintable(spec));
        QVERIFY2(std::memcmp(before.get(), after.get(), sizeof *before) != 0, qPrintable(spec));
    }
}

void TestNodeSim::garbageNeverDecodes()
{
    QRandomGenerator rng(5);
    StatusGenerator generator(5);
    const QByteArray valid =
        NodeStatusEncoder::encode(generator.build(SimInstallation::full().nodes.first(), 3.0));
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

    qint64 decoded = 0;
    qint64 dropped = 0;
    QSet<quint32> ids;
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            while (receiver.hasPendingDatagrams()) {
                const QNetworkDatagram datagram = receiver.receiveDatagram();
                NodeStatus msg;
                if (decodeNodeStatus(datagram.data(), msg)) {
                    ++decoded;
                    ids.insert(msg.node_id);
                } else {
                    ++dropped;
                }
            }
            return decoded + dropped == 60;
        }(),
        5000);
    QCOMPARE(decoded, simulator.validSent());
    QCOMPARE(ids, (QSet<quint32>{1, 2, 5, 7, 0, 33, 0xFFFFFFFFu}));
}

QTEST_GUILESS_MAIN(TestNodeSim)
#include "tst_nodesim.moc"
