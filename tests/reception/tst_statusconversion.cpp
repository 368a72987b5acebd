#include <chstate.h>
#include <nodestatusdecoder.h>
#include <statusconversion.h>
#include <statusdatagram.h>
#include <t_orvo_settings.h>

#include <QtTest>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

Q_DECLARE_METATYPE(NodeSpec)

namespace {
NodeStatus decoded(const NodeSpec &node)
{
    NodeStatus msg;
    if (!decodeNodeStatus(StatusDatagram::node(node), msg))
        qFatal("test datagram does not decode");
    return msg;
}

constexpr float inf = std::numeric_limits<float>::infinity();
using Types = QMap<int, int>; // 8 * channel + slot, from 0 -> type register; others 0
} // namespace

class TestStatusConversion : public QObject
{
    Q_OBJECT

private slots:
    void fractionToFullScale_data();
    void fractionToFullScale();
    void convert_data();
    void convert();
    void image_data();
    void image();
};

void TestStatusConversion::fractionToFullScale_data()
{
    QTest::addColumn<float>("fraction");
    QTest::addColumn<quint16>("units");
    QTest::newRow("0") << 0.0f << quint16(0);
    QTest::newRow("0.5") << 0.5f << quint16(32767);
    QTest::newRow("1") << 1.0f << quint16(65535);
    QTest::newRow("just below 1") << std::nextafter(1.0f, 0.0f) << quint16(65534);
    // These wrapped before: 150 % read as 50 %, -10 % as 90 %.
    QTest::newRow("just above 1") << std::nextafter(1.0f, 2.0f) << quint16(65535);
    QTest::newRow("1.5") << 1.5f << quint16(65535);
    QTest::newRow("1e30") << 1e30f << quint16(65535);
    QTest::newRow("-0.1") << -0.1f << quint16(0);
    QTest::newRow("+inf") << inf << quint16(65535);
    QTest::newRow("-inf") << -inf << quint16(0);
    QTest::newRow("NaN") << std::numeric_limits<float>::quiet_NaN() << quint16(0);
    QTest::newRow("negative NaN") << -std::numeric_limits<float>::quiet_NaN() << quint16(0);
}

void TestStatusConversion::fractionToFullScale()
{
    QFETCH(float, fraction);
    QTEST(::fractionToFullScale(fraction), "units");
}

void TestStatusConversion::convert_data()
{
    QTest::addColumn<NodeSpec>("node");
    QTest::addColumn<int>("mask");
    QTest::addColumn<Types>("types");
    QTest::addColumn<int>("relayModes"); // bit r: relay r + 1 in use; -1: left as it was

    NodeSpec node;
    node.node_id = 0x10005; // the register keeps the low 16 bits
    QTest::newRow("no channel, no relay") << node << 0 << Types{} << -1;
    node.channels = {ChannelSpec{3, 0, {}}};
    QTest::newRow("channel 3 only") << node << 4 << Types{} << -1;
    node.channels = {ChannelSpec{2, 0, {MeasSpec{3, 0, 0, 5}, MeasSpec{8, 0, 0, 17}}},
                     ChannelSpec{4, 0, {MeasSpec{1, 0, 0, 16}}}};
    QTest::newRow("type 17 counts as absent") << node << 0b1010 << Types{{10, 5}, {24, 16}} << -1;
    node.channels.clear();
    node.relay_status = 0x81000000;
    QTest::newRow("relay 0x81000000") << node << 0 << Types{} << 0x81;
    node.relay_status = 0x00FFFFFF;
    QTest::newRow("relay: only the enabled byte counts") << node << 0 << Types{} << 0;
}

void TestStatusConversion::convert()
{
    QFETCH(NodeSpec, node);
    QFETCH(Types, types);
    QFETCH(int, relayModes);
    auto rec = std::make_unique<t_orvo_settings>();
    std::memset(rec.get(), 0xC3, sizeof *rec);
    const auto before = std::make_unique<t_orvo_settings>(*rec);

    convertStatus(decoded(node), *rec);
    QTEST(int(rec->channel_mask), "mask");
    QCOMPARE(rec->node_id, quint16(node.node_id));
    QCOMPARE(rec->full_scale, quint16(0xFFFF));
    for (int i = 0; i < 32; ++i)
        QCOMPARE(int(rec->channels[i / 8].meas[i % 8].type), types.value(i));
    // Without relay in the message the modes stay as the module has them.
    for (int r = 0; r < 8; ++r)
        QCOMPARE(rec->relays[r].mode, relayModes < 0 ? 0xC3C3 : (relayModes >> r) & 1 ? 3 : 0);

    // Every byte the conversion does not own is left as it was.
    rec->channel_mask = rec->node_id = rec->full_scale = 0xC3C3;
    for (auto &channel : rec->channels)
        for (auto &meas : channel.meas)
            meas.type = 0xC3C3;
    for (auto &relay : rec->relays)
        relay.mode = 0xC3C3;
    QVERIFY(std::memcmp(rec.get(), before.get(), sizeof *rec) == 0);
}

void TestStatusConversion::image_data()
{
    QTest::addColumn<qint32>("state");
    QTest::addColumn<quint32>("type");
    QTest::addColumn<int>("status");
    QTest::newRow("state 0 valid") << 0 << 4u << 0;
    QTest::newRow("state 1 no valid data") << 1 << 4u << 0xFFFF;
    QTest::newRow("state 2 short circuit") << 2 << 4u << 1;
    QTest::newRow("state 3 open circuit") << 3 << 4u << 2;
    QTest::newRow("state -1 undefined") << -1 << 4u << 0xFFFF;
    QTest::newRow("state 9 unlisted") << 9 << 4u << 0xFFFF;
    QTest::newRow("type 17 gives no item") << 0 << 17u << 0;
    QTest::newRow("type 65537 must not pass as 1") << 0 << 65537u << 0;
}

void TestStatusConversion::image()
{
    QFETCH(qint32, state);
    QFETCH(quint32, type);
    NodeSpec node;
    node.channels = {ChannelSpec{1, state, {MeasSpec{2, -1.25f, 0xABCD0125, type, 0.25f, 0.5f}}}};
    quint16 image[ChState::ImageRegisters];
    std::fill(std::begin(image), std::end(image), quint16(0xAAAA));
    buildImage(decoded(node).channel1, image);

    // Read back through ChState, so that register order and the zeroed slots are checked too.
    const ChState chState(0, image);
    QTEST(chState.status, "status");
    QCOMPARE(int(chState.meas.size()), type <= 16 ? 1 : 0);
    if (chState.meas.empty())
        return;
    const ChMeas &got = *chState.meas.front();
    QCOMPARE(got.num, 1);
    QCOMPARE(got.type, type);
    QCOMPARE(got.value, -1.25);
    QCOMPARE(got.fs_value, quint16(16383));
    QCOMPARE(got.baseline, quint16(32767));
    QCOMPARE(QVector<int>({got.failure, got.alert, got.danger, got.baseline_valid}),
             QVector<int>({1, 1, -1, 1})); // flags 0x0125 in the low half
}

QTEST_GUILESS_MAIN(TestStatusConversion)
#include "tst_statusconversion.moc"
