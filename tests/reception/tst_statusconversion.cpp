#include <chstate.h>
#include <nodestatusdecoder.h>
#include <statusconversion.h>
#include <statusdatagram.h>
#include <t_orvo_settings.h>

#include <QtTest>

#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

Q_DECLARE_METATYPE(MeasSpec)

namespace {
NodeStatus decoded(const NodeSpec &spec)
{
    NodeStatus msg;
    if (!decodeNodeStatus(StatusDatagram::node(spec), msg))
        qFatal("test datagram does not decode");
    return msg;
}

std::unique_ptr<t_orvo_settings> zeroRecord()
{
    return std::make_unique<t_orvo_settings>(); // value-initialised: all zero
}

bool sameBytes(const t_orvo_settings &a, const t_orvo_settings &b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

using Image = std::array<quint16, ChState::ImageRegisters>;

ChannelStatus channelOf(const ChannelSpec &spec)
{
    NodeSpec node;
    node.channels = {spec};
    return decoded(node).channel1;
}
} // namespace

class TestStatusConversion : public QObject
{
    Q_OBJECT

private slots:
    void fractionToFullScale_data();
    void fractionToFullScale();
    void channelStatusCode_data();
    void channelStatusCode();
    void validMeasType_data();
    void validMeasType();

    void emptyMessageWritesOnlyNodeIdAndFullScale();
    void channelMask_data();
    void channelMask();
    void typeRegisters();
    void relayModes_data();
    void relayModes();
    void relayModesCarriedOverWithoutRelay();
    void writesOnlyItsFields();
    void liveValuesDoNotChangeTheRecord();

    void imageThroughChState_data();
    void imageThroughChState();
    void absentMeasurementIsAZeroEntry();
};

void TestStatusConversion::fractionToFullScale_data()
{
    QTest::addColumn<float>("fraction");
    QTest::addColumn<quint16>("units");

    QTest::newRow("0") << 0.0f << quint16(0);
    QTest::newRow("-0") << -0.0f << quint16(0);
    QTest::newRow("0.25") << 0.25f << quint16(16383);
    QTest::newRow("0.5") << 0.5f << quint16(32767);
    QTest::newRow("0.75") << 0.75f << quint16(49151);
    QTest::newRow("1.0") << 1.0f << quint16(65535);
    QTest::newRow("just below 1") << std::nextafter(1.0f, 0.0f) << quint16(65534);
    QTest::newRow("tiny positive") << 1e-10f << quint16(0);
    // These wrapped before: 150 % read as 50 %, -10 % as 90 %.
    QTest::newRow("1.5 saturates") << 1.5f << quint16(65535);
    QTest::newRow("just above 1 saturates") << std::nextafter(1.0f, 2.0f) << quint16(65535);
    QTest::newRow("-0.1 saturates") << -0.1f << quint16(0);
    QTest::newRow("1e30 saturates") << 1e30f << quint16(65535);
    QTest::newRow("-1e30 saturates") << -1e30f << quint16(0);
    QTest::newRow("+inf") << std::numeric_limits<float>::infinity() << quint16(65535);
    QTest::newRow("-inf") << -std::numeric_limits<float>::infinity() << quint16(0);
    QTest::newRow("NaN") << std::numeric_limits<float>::quiet_NaN() << quint16(0);
    QTest::newRow("negative NaN") << -std::numeric_limits<float>::quiet_NaN() << quint16(0);
}

void TestStatusConversion::fractionToFullScale()
{
    QFETCH(float, fraction);
    QTEST(::fractionToFullScale(fraction), "units");
}

void TestStatusConversion::channelStatusCode_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<quint16>("code");
    QTest::newRow("undefined") << -1 << quint16(0xFFFF);
    QTest::newRow("valid") << 0 << quint16(0);
    QTest::newRow("no valid data") << 1 << quint16(0xFFFF);
    QTest::newRow("short circuit") << 2 << quint16(1);
    QTest::newRow("open circuit") << 3 << quint16(2);
    QTest::newRow("4") << 4 << quint16(0xFFFF);
    QTest::newRow("-2") << -2 << quint16(0xFFFF);
    QTest::newRow("INT32_MIN") << std::numeric_limits<int>::min() << quint16(0xFFFF);
    QTest::newRow("INT32_MAX") << std::numeric_limits<int>::max() << quint16(0xFFFF);
}

void TestStatusConversion::channelStatusCode()
{
    QFETCH(int, state);
    QTEST(::channelStatusCode(state), "code");
}

void TestStatusConversion::validMeasType_data()
{
    QTest::addColumn<quint32>("type");
    QTest::addColumn<quint32>("valid");
    QTest::newRow("0") << 0u << 0u;
    QTest::newRow("1") << 1u << 1u;
    QTest::newRow("16") << 16u << 16u;
    QTest::newRow("17") << 17u << 0u;
    QTest::newRow("65536 + 1 must not alias 1") << 65537u << 0u;
    QTest::newRow("max") << 0xFFFFFFFFu << 0u;
}

void TestStatusConversion::validMeasType()
{
    QFETCH(quint32, type);
    QTEST(::validMeasType(type), "valid");
}

void TestStatusConversion::emptyMessageWritesOnlyNodeIdAndFullScale()
{
    NodeSpec spec;
    spec.node_id = 0x10005; // the register keeps the low 16 bits
    auto rec = zeroRecord();
    convertStatus(decoded(spec), *rec);
    QCOMPARE(rec->node_id, quint16(5));
    QCOMPARE(rec->full_scale, quint16(0xFFFF));
    rec->node_id = 0;
    rec->full_scale = 0;
    QVERIFY(sameBytes(*rec, *zeroRecord()));
}

void TestStatusConversion::channelMask_data()
{
    QTest::addColumn<QVector<int>>("channels");
    QTest::addColumn<quint16>("mask");
    QTest::newRow("none") << QVector<int>{} << quint16(0);
    QTest::newRow("channel 3 only") << QVector<int>{3} << quint16(4);
    QTest::newRow("channels 1 and 4") << QVector<int>{4, 1} << quint16(9);
    QTest::newRow("all") << QVector<int>{1, 2, 3, 4} << quint16(15);
}

void TestStatusConversion::channelMask()
{
    QFETCH(QVector<int>, channels);
    NodeSpec spec;
    for (int c : channels)
        spec.channels.append(ChannelSpec{c, 0, {}});
    auto rec = zeroRecord();
    rec->channel_mask = 0xFFF0; // the whole register is written
    convertStatus(decoded(spec), *rec);
    QTEST(rec->channel_mask, "mask");
}

void TestStatusConversion::typeRegisters()
{
    NodeSpec spec;
    spec.channels = {ChannelSpec{2, 0, {MeasSpec{3, 0, 0, 5}, MeasSpec{8, 0, 0, 17}}},
                     ChannelSpec{4, 0, {MeasSpec{1, 0, 0, 16}}}};
    auto rec = zeroRecord();
    for (auto &channel : rec->channels)
        for (auto &meas : channel.meas)
            meas.type = 0x7777; // every one of the 32 registers is written
    convertStatus(decoded(spec), *rec);

    for (int c = 0; c < 4; ++c) {
        for (int m = 0; m < 8; ++m) {
            quint16 expected = 0;
            if (c == 1 && m == 2)
                expected = 5;
            if (c == 3 && m == 0)
                expected = 16;
            QCOMPARE(rec->channels[c].meas[m].type, expected); // type 17 counts as absent
        }
    }
}

void TestStatusConversion::relayModes_data()
{
    QTest::addColumn<quint32>("relayStatus");
    QTest::addColumn<quint8>("inUse");
    QTest::newRow("relays 1 and 8") << 0x81000000u << quint8(0x81);
    QTest::newRow("relays 1 to 4") << 0x0F000000u << quint8(0x0F);
    QTest::newRow("other groups do not count") << 0x00FFFFFFu << quint8(0);
    QTest::newRow("all") << 0xFFFFFFFFu << quint8(0xFF);
}

void TestStatusConversion::relayModes()
{
    QFETCH(quint32, relayStatus);
    QFETCH(quint8, inUse);
    NodeSpec spec;
    spec.relay_status = relayStatus;
    auto rec = zeroRecord();
    for (auto &relay : rec->relays)
        relay.mode = 0x00F3;
    convertStatus(decoded(spec), *rec);
    for (int r = 0; r < 8; ++r)
        QCOMPARE(rec->relays[r].mode, quint16((inUse >> r) & 1 ? 3 : 0));
}

void TestStatusConversion::relayModesCarriedOverWithoutRelay()
{
    NodeSpec withRelay;
    withRelay.relay_status = 0x81000000;
    NodeSpec without;

    auto rec = zeroRecord();
    convertStatus(decoded(withRelay), *rec);
    convertStatus(decoded(without), *rec);
    QCOMPARE(rec->relays[0].mode, quint16(3));
    QCOMPARE(rec->relays[7].mode, quint16(3));

    auto fresh = zeroRecord();
    convertStatus(decoded(without), *fresh);
    for (const auto &relay : fresh->relays)
        QCOMPARE(relay.mode, quint16(0));
}

void TestStatusConversion::writesOnlyItsFields()
{
    auto rec = zeroRecord();
    std::memset(rec.get(), 0xC3, sizeof *rec);
    const auto before = std::make_unique<t_orvo_settings>(*rec);

    convertStatus(decoded(StatusDatagram::fullNode(9)), *rec);

    // Undo exactly the fields the conversion owns; everything else must be untouched.
    rec->channel_mask = before->channel_mask;
    rec->node_id = before->node_id;
    rec->full_scale = before->full_scale;
    for (int c = 0; c < 4; ++c)
        for (int m = 0; m < 8; ++m)
            rec->channels[c].meas[m].type = before->channels[c].meas[m].type;
    for (int r = 0; r < 8; ++r)
        rec->relays[r].mode = before->relays[r].mode;
    QVERIFY(sameBytes(*rec, *before));
}

void TestStatusConversion::liveValuesDoNotChangeTheRecord()
{
    NodeSpec a = StatusDatagram::fullNode(4);
    NodeSpec b = a;
    for (ChannelSpec &channel : b.channels) {
        channel.state = 3;
        channel.aux[0] = 99;
        for (MeasSpec &meas : channel.meas) {
            meas.value = -meas.value;
            meas.flags ^= 0x3FF;
            meas.fs_fraction = 0.9f;
            meas.baseline_fraction = 0.1f;
        }
    }
    b.relay_status = *a.relay_status ^ 0x00FFFFFF;
    b.word1 = 1234;

    auto ra = zeroRecord();
    auto rb = zeroRecord();
    convertStatus(decoded(a), *ra);
    convertStatus(decoded(b), *rb);
    QVERIFY(sameBytes(*ra, *rb));

    b.channels[1].meas[4].type = 15;
    auto rc = zeroRecord();
    convertStatus(decoded(b), *rc);
    QVERIFY(!sameBytes(*ra, *rc));
}

void TestStatusConversion::imageThroughChState_data()
{
    QTest::addColumn<qint32>("state");
    QTest::addColumn<MeasSpec>("meas");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("items");
    QTest::addColumn<quint16>("fsValue");
    QTest::addColumn<quint16>("baseline");

    const MeasSpec plain{2, 1.25f, 0x0125, 4, 0.25f, 0.5f};
    QTest::newRow("state 0 valid") << 0 << plain << 0 << 1 << quint16(16383) << quint16(32767);
    QTest::newRow("state 1 no valid data")
        << 1 << plain << 0xFFFF << 1 << quint16(16383) << quint16(32767);
    QTest::newRow("state 2 short circuit")
        << 2 << plain << 1 << 1 << quint16(16383) << quint16(32767);
    QTest::newRow("state 3 open circuit")
        << 3 << plain << 2 << 1 << quint16(16383) << quint16(32767);
    QTest::newRow("state -1 undefined")
        << -1 << plain << 0xFFFF << 1 << quint16(16383) << quint16(32767);
    QTest::newRow("state 9 unlisted")
        << 9 << plain << 0xFFFF << 1 << quint16(16383) << quint16(32767);
    QTest::newRow("over range saturates")
        << 0 << MeasSpec{1, 9.0f, 0, 1, 1.5f, -0.1f} << 0 << 1 << quint16(65535) << quint16(0);
    QTest::newRow("NaN fractions")
        << 0 << MeasSpec{1, 0, 0, 1, std::nanf(""), std::numeric_limits<float>::infinity()} << 0
        << 1 << quint16(0) << quint16(65535);
    QTest::newRow("type 17 gives no item")
        << 0 << MeasSpec{5, 1, 0, 17, 0.5f, 0.5f} << 0 << 0 << quint16(0) << quint16(0);
}

void TestStatusConversion::imageThroughChState()
{
    QFETCH(qint32, state);
    QFETCH(MeasSpec, meas);
    QFETCH(int, items);
    const ChannelStatus channel = channelOf(ChannelSpec{1, state, {meas}});

    Image image;
    buildImage(channel, image.data());
    const ChState chState(0, image.data());
    QTEST(chState.status, "status");
    QCOMPARE(int(chState.meas.size()), items);
    if (!items)
        return;
    const ChMeas &item = *chState.meas.front();
    QCOMPARE(item.num, meas.slot - 1);
    QCOMPARE(item.type, meas.type);
    QCOMPARE(item.value, double(meas.value));
    QTEST(item.fs_value, "fsValue");
    QTEST(item.baseline, "baseline");
}

void TestStatusConversion::absentMeasurementIsAZeroEntry()
{
    const ChannelStatus channel =
        channelOf(ChannelSpec{1, 0, {MeasSpec{4, 2.0f, 0xABCD1234, 3, 0.5f, 0.5f}}});
    Image image;
    image.fill(0xAAAA);
    buildImage(channel, image.data());
    for (int m = 0; m < 8; ++m) {
        const quint16 *entry = image.data() + 8 + 10 * m;
        if (m == 3) {
            QCOMPARE(entry[0], quint16(3));
            QCOMPARE(entry[1], quint16(0x1234)); // flags keep their low 16 bits
            QCOMPARE(entry[2], quint16(0x0000)); // 2.0f is 0x40000000, low half first
            QCOMPARE(entry[3], quint16(0x4000));
            continue;
        }
        for (int r = 0; r < 6; ++r)
            QCOMPARE(entry[r], quint16(0));
    }
}

QTEST_GUILESS_MAIN(TestStatusConversion)
#include "tst_statusconversion.moc"
