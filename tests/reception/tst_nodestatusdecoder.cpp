#include <nodestatusdecoder.h>
#include <protocencoder.h>
#include <statusdatagram.h>
#include <wireformat.h>

#include <QtTest>

#include <cstring>

Q_DECLARE_METATYPE(NodeSpec)

using namespace Wire;

namespace {
QByteArray hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

// word1, word2 and node_id 5: the smallest valid message.
const QByteArray head = hex("08 00 10 00 18 05");

QByteArray validMeas()
{
    return StatusDatagram::measBody(MeasSpec{1, 1.5f, 0x0125, 3, 0.25f, 0.125f});
}

QByteArray validAux()
{
    const quint32 aux[4] = {1, 2, 3, 4};
    return StatusDatagram::auxBody(aux);
}

// A channel 1 carrying meas1 with the given body, state 0 and aux.
QByteArray withMeas(const QByteArray &measBody)
{
    return head + lengthDelimited(4, lengthDelimited(1, measBody) + uint32Field(10, 0) +
                                         lengthDelimited(11, validAux()));
}

QByteArray withChannel(const QByteArray &channelBody)
{
    return head + lengthDelimited(4, channelBody);
}

QByteArray withAux(const QByteArray &auxBody)
{
    return withChannel(uint32Field(10, 0) + lengthDelimited(11, auxBody));
}

QByteArray withRelay(const QByteArray &relayBody)
{
    return head + lengthDelimited(10, relayBody);
}

int channelMask(const NodeStatus &msg)
{
    int mask = 0;
    for (int c = 0; c < 4; ++c)
        mask |= channelAt(msg, c) ? 1 << c : 0;
    return mask;
}

QString fmt(float value)
{
    return QString::number(double(value), 'g', 9);
}

// The same message as StatusDatagram::node(spec), in protoc's text format.
QByteArray textFormat(const NodeSpec &spec)
{
    QString text = QStringLiteral("word1: %1 word2: %2 node_id: %3\n")
                       .arg(spec.word1)
                       .arg(spec.word2)
                       .arg(spec.node_id);
    for (const ChannelSpec &channel : spec.channels) {
        text += QStringLiteral("channel%1 {\n").arg(channel.channel);
        for (const MeasSpec &meas : channel.meas)
            text += QStringLiteral("  meas%1 { value: %2 flags: %3 type: %4 fs_fraction: %5 "
                                   "baseline_fraction: %6 }\n")
                        .arg(meas.slot)
                        .arg(fmt(meas.value))
                        .arg(meas.flags)
                        .arg(meas.type)
                        .arg(fmt(meas.fs_fraction), fmt(meas.baseline_fraction));
        text += QStringLiteral("  state: %1\n  aux { aux1: %2 aux2: %3 aux3: %4 aux4: %5 }\n}\n")
                    .arg(channel.state)
                    .arg(channel.aux[0])
                    .arg(channel.aux[1])
                    .arg(channel.aux[2])
                    .arg(channel.aux[3]);
    }
    if (spec.relay_status)
        text += QStringLiteral("relay { relay_status: %1 }\n").arg(*spec.relay_status);
    return text.toUtf8();
}

QByteArray protocOrFail(const QByteArray &text)
{
    QByteArray bytes;
    QString error;
    if (!protocEncode(text, bytes, &error))
        qFatal("%s", qPrintable(error)); // a missing encoder must not pass as a skipped test
    return bytes;
}
} // namespace

class TestNodeStatusDecoder : public QObject
{
    Q_OBJECT

private slots:
    void accepts_data();
    void accepts();
    void rejects_data();
    void rejects();
    void rejectsEveryTruncation_data();
    void rejectsEveryTruncation();
    void resetsEveryFieldFirst();
    void matchesProtoc_data();
    void matchesProtoc();
    void protocMessageDecodes();
};

void TestNodeStatusDecoder::accepts_data()
{
    QTest::addColumn<QByteArray>("datagram");
    QTest::addColumn<quint32>("nodeId");
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("state1");
    QTest::addColumn<bool>("hasRelay");
    QTest::addColumn<quint32>("relayStatus");

    const QByteArray channel26 =
        hex("08 00 10 00 18 05 22 12 50 00 5a 0e 0d 00 00 00 00 15 00 00 00 00 18 00 20 00");
    QTest::newRow("example: only the required words") << head << 5u << 0 << -1 << false << 0u;
    QTest::newRow("example: channel1 with state 0, no measurement")
        << channel26 << 5u << 1 << 0 << false << 0u;
    QTest::newRow("example: relay 0x0F000000")
        << hex("08 00 10 00 18 05 52 05 0d 00 00 00 0f") << 5u << 0 << -1 << true << 0x0F000000u;

    const QByteArray aux = lengthDelimited(11, validAux());
    QTest::newRow("state -1 in ten bytes")
        << withChannel(key(10, Varint) + hex("ff ff ff ff ff ff ff ff ff 01") + aux) << 5u << 1
        << -1 << false << 0u;
    QTest::newRow("state -1 in five bytes")
        << withChannel(key(10, Varint) + hex("ff ff ff ff 0f") + aux) << 5u << 1 << -1 << false
        << 0u;
    QTest::newRow("state keeps the low 32 bits (2^32 + 2)")
        << withChannel(uint32Field(10, (quint64(1) << 32) + 2) + aux) << 5u << 1 << 2 << false
        << 0u;
    QTest::newRow("state beyond the enumeration")
        << withChannel(uint32Field(10, 77) + aux) << 5u << 1 << 77 << false << 0u;
    QTest::newRow("node_id 0xFFFFFFFF fits")
        << hex("08 00 10 00 18 ff ff ff ff 0f") << 0xFFFFFFFFu << 0 << -1 << false << 0u;
    QTest::newRow("node_id as a ten-byte varint")
        << hex("08 00 10 00 18") + paddedVarint(7, 10) << 7u << 0 << -1 << false << 0u;

    QTest::newRow("undefined tags 8 and 9 at the top")
        << head + uint32Field(8, 1) + lengthDelimited(9, "xyz") << 5u << 0 << -1 << false << 0u;
    QTest::newRow("undefined tag 9 in a channel")
        << withChannel(uint32Field(9, 3) + uint32Field(10, 3) + aux) << 5u << 1 << 3 << false << 0u;
    const QByteArray skippable = uint32Field(100, 1) + fixed64Field(101, 2) + fixed32Field(102, 3) +
                                 lengthDelimited(103, QByteArray(300, '\0'));
    QTest::newRow("undefined tags of each skippable wire type, every level")
        << head + skippable +
               lengthDelimited(4, skippable + lengthDelimited(1, validMeas() + skippable) +
                                      uint32Field(10, 2) +
                                      lengthDelimited(11, validAux() + skippable)) +
               lengthDelimited(10, skippable + StatusDatagram::relayBody(0x81000000))
        << 5u << 1 << 2 << true << 0x81000000u;
    QTest::newRow("undefined tags 3 to 6 in a measurement")
        << withMeas(validMeas() + uint32Field(3, 1) + uint32Field(4, 1) + fixed32Field(5, 1) +
                    lengthDelimited(6, "a"))
        << 5u << 1 << 0 << false << 0u;
    QTest::newRow("highest field number")
        << head + key(0x1FFFFFFF, Varint) + varint(1) << 5u << 0 << -1 << false << 0u;

    QTest::newRow("fields in reverse order")
        << lengthDelimited(10, StatusDatagram::relayBody(1)) +
               lengthDelimited(7, lengthDelimited(11, validAux()) + uint32Field(10, 1)) +
               uint32Field(3, 9) + uint32Field(2, 0) + uint32Field(1, 0)
        << 9u << 8 << -1 << true << 1u;
    QTest::newRow("a repeated scalar keeps its last value")
        << head + uint32Field(3, 6) + uint32Field(3, 7) << 7u << 0 << -1 << false << 0u;
    QTest::newRow("a repeated channel is merged")
        << withChannel(uint32Field(10, 0) + aux) + lengthDelimited(4, uint32Field(10, 3) + aux)
        << 5u << 1 << 3 << false << 0u;
    QTest::newRow("measurement type 17 decodes")
        << withMeas(StatusDatagram::measBody(MeasSpec{1, 0, 0, 17, 0, 0})) << 5u << 1 << 0 << false
        << 0u;
    QTest::newRow("all four channels and relay")
        << StatusDatagram::node(StatusDatagram::fullNode(32)) << 32u << 15 << -1 << true
        << 0xFF0F33C5u;
}

void TestNodeStatusDecoder::accepts()
{
    QFETCH(QByteArray, datagram);
    NodeStatus msg;
    QVERIFY(decodeNodeStatus(datagram, msg));
    QTEST(msg.node_id, "nodeId");
    QTEST(channelMask(msg), "channels");
    QTEST(channelStateOf(msg.channel1), "state1");
    QTEST(msg.has_relay, "hasRelay");
    QTEST(msg.relay.relay_status, "relayStatus");
}

void TestNodeStatusDecoder::rejects_data()
{
    QTest::addColumn<QByteArray>("datagram");

    const QByteArray aux = lengthDelimited(11, validAux());
    const QByteArray state = uint32Field(10, 0);

    QTest::newRow("empty datagram") << QByteArray();
    QTest::newRow("example without state (length 0x10)")
        << hex("08 00 10 00 18 05 22 10 5a 0e 0d 00 00 00 00 15 00 00 00 00 18 00 20 00");

    // Required fields, at each nesting level.
    QTest::newRow("missing word1") << hex("10 00 18 05");
    QTest::newRow("missing word2") << hex("08 00 18 05");
    QTest::newRow("missing node_id") << hex("08 00 10 00");
    QTest::newRow("channel without aux") << withChannel(state);
    QTest::newRow("channel without state") << withChannel(aux);
    QTest::newRow("empty channel") << withChannel(QByteArray());
    QTest::newRow("repeated channel, second one partial")
        << withChannel(state + aux) + lengthDelimited(4, uint32Field(10, 3));
    const QByteArray measFields[] = {floatField(1, 1.0f), uint32Field(2, 1), uint32Field(7, 3),
                                     floatField(8, 0.5f), floatField(9, 0.5f)};
    const char *measNames[] = {"value", "flags", "type", "fs_fraction", "baseline_fraction"};
    for (int skip = 0; skip < 5; ++skip) {
        QByteArray body;
        for (int f = 0; f < 5; ++f)
            body += f == skip ? QByteArray() : measFields[f];
        QTest::addRow("measurement without %s", measNames[skip]) << withMeas(body);
    }
    const QByteArray auxFields[] = {fixed32Field(1, 1), fixed32Field(2, 2), uint32Field(3, 3),
                                    uint32Field(4, 4)};
    for (int skip = 0; skip < 4; ++skip) {
        QByteArray body;
        for (int f = 0; f < 4; ++f)
            body += f == skip ? QByteArray() : auxFields[f];
        QTest::addRow("aux without aux%d", skip + 1) << withAux(body);
    }
    QTest::newRow("empty relay") << withRelay(QByteArray());

    // Wrong wire types for defined fields.
    QTest::newRow("node_id as fixed32") << hex("08 00 10 00") + fixed32Field(3, 5);
    QTest::newRow("node_id as length-delimited") << hex("08 00 10 00 1a 01 05");
    QTest::newRow("word1 as fixed64") << fixed64Field(1, 0) + hex("10 00 18 05");
    QTest::newRow("channel as varint") << head + uint32Field(4, 0);
    QTest::newRow("relay as fixed32") << head + fixed32Field(10, 0x0F000000);
    QTest::newRow("relay_status as varint") << withRelay(uint32Field(1, 5));
    QTest::newRow("relay_status as fixed64") << withRelay(fixed64Field(1, 5));
    QTest::newRow("state as fixed32") << withChannel(fixed32Field(10, 0) + aux);
    QTest::newRow("aux as varint") << withChannel(state + uint32Field(11, 0));
    QTest::newRow("value as varint") << withMeas(uint32Field(1, 1) + validMeas().mid(5));
    QTest::newRow("flags as fixed32") << withMeas(validMeas() + fixed32Field(2, 1));
    QTest::newRow("aux1 as varint") << withAux(validAux() + uint32Field(1, 1));

    // Groups and the reserved wire types, defined field or not.
    QTest::newRow("group at the top, undefined tag")
        << head + key(8, StartGroup) + key(8, EndGroup);
    QTest::newRow("lone end-group at the top") << head + key(8, EndGroup);
    QTest::newRow("wire type 6 at the top") << head + key(8, Reserved6) + varint(0);
    QTest::newRow("wire type 7 at the top") << head + key(9, Reserved7) + varint(0);
    QTest::newRow("group in a channel")
        << withChannel(state + aux + key(9, StartGroup) + key(9, EndGroup));
    QTest::newRow("group in a measurement")
        << withMeas(validMeas() + key(3, StartGroup) + key(3, EndGroup));
    QTest::newRow("group in aux") << withAux(validAux() + key(5, StartGroup) + key(5, EndGroup));
    QTest::newRow("group in relay")
        << withRelay(StatusDatagram::relayBody(0) + key(2, StartGroup) + key(2, EndGroup));
    QTest::newRow("defined channel as a group")
        << head + key(4, StartGroup) + state + aux + key(4, EndGroup);

    // Tag 0 fails at every level and with every wire type.
    QTest::newRow("tag 0 at the end") << head + hex("00");
    QTest::newRow("tag 0 before the required fields") << hex("00 08 00 10 00 18 05");
    QTest::newRow("tag 0 between fields") << hex("08 00 10 00 00 18 05");
    QTest::newRow("tag 0 with a value") << head + uint32Field(0, 5);
    QTest::newRow("tag 0, length-delimited") << head + lengthDelimited(0, "ab");
    QTest::newRow("tag 0, fixed32") << head + fixed32Field(0, 1);
    QTest::newRow("tag 0, fixed64") << head + fixed64Field(0, 1);
    QTest::newRow("tag 0 as a two-byte key") << head + hex("80 00");
    QTest::newRow("tag 0 at the end of a channel") << withChannel(state + aux + hex("00"));
    QTest::newRow("tag 0 at the start of a channel") << withChannel(hex("00") + state + aux);
    QTest::newRow("tag 0 in a measurement") << withMeas(validMeas() + hex("00"));
    QTest::newRow("tag 0 in aux") << withAux(validAux() + hex("00"));
    QTest::newRow("tag 0 in relay") << withRelay(StatusDatagram::relayBody(1) + hex("00"));
    QTest::newRow("tag 0 at the start of relay")
        << withRelay(hex("00") + StatusDatagram::relayBody(1));

    // Values that do not fit.
    QTest::newRow("node_id 2^32") << hex("08 00 10 00") + uint32Field(3, quint64(1) << 32);
    QTest::newRow("node_id 2^32 + 5")
        << hex("08 00 10 00") + uint32Field(3, (quint64(1) << 32) + 5);
    QTest::newRow("word1 2^64 - 1") << uint32Field(1, ~quint64(0)) + hex("10 00 18 05");
    QTest::newRow("flags 2^32") << withMeas(validMeas() + uint32Field(2, quint64(1) << 32));
    QTest::newRow("type 2^33") << withMeas(validMeas() + uint32Field(7, quint64(1) << 33));
    QTest::newRow("aux3 2^40") << withAux(validAux() + uint32Field(3, quint64(1) << 40));

    // Varints and lengths.
    QTest::newRow("node_id in eleven bytes") << hex("08 00 10 00 18") + paddedVarint(5, 11);
    QTest::newRow("state in eleven bytes")
        << withChannel(key(10, Varint) + hex("ff ff ff ff ff ff ff ff ff ff 01") + aux);
    QTest::newRow("ten-byte varint beyond 64 bits")
        << withChannel(key(10, Varint) + hex("ff ff ff ff ff ff ff ff ff 7f") + aux);
    QTest::newRow("key in eleven bytes") << head + paddedVarint(8 << 3, 11) + varint(0);
    QTest::newRow("length in eleven bytes") << head + key(9, LengthDelimited) + paddedVarint(0, 11);
    QTest::newRow("varint cut by the end") << hex("08 00 10 00 18 85");
    QTest::newRow("key cut by the end") << head + hex("80");
    QTest::newRow("channel length past the end")
        << head + key(4, LengthDelimited) + varint(40) + state;
    QTest::newRow("length 2^32 past the end")
        << head + key(9, LengthDelimited) + varint(quint64(1) << 32);
    QTest::newRow("length 2^63 past the end")
        << head + key(9, LengthDelimited) + varint(quint64(1) << 63);
    QTest::newRow("undefined fixed64 cut") << head + fixed64Field(9, 1).left(6);
    QTest::newRow("measurement longer than its channel")
        << head + key(4, LengthDelimited) + varint(4) + key(1, LengthDelimited) + varint(30) +
               validMeas() + state + aux;
}

void TestNodeStatusDecoder::rejects()
{
    QFETCH(QByteArray, datagram);
    NodeStatus msg;
    QVERIFY(!decodeNodeStatus(datagram, msg));
    QVERIFY(!decodeNodeStatus(datagram.constData(), datagram.size(), msg));
}

void TestNodeStatusDecoder::rejectsEveryTruncation_data()
{
    QTest::addColumn<QByteArray>("datagram");
    const NodeSpec full = StatusDatagram::fullNode(17);
    QTest::newRow("built by hand") << StatusDatagram::node(full);
    QTest::newRow("encoded by protoc") << protocOrFail(textFormat(full));
}

void TestNodeStatusDecoder::rejectsEveryTruncation()
{
    QFETCH(QByteArray, datagram);
    // A prefix ending between two top-level fields after the required words is a smaller valid
    // message (the first k channels); every other prefix cuts a field and must fail.
    const NodeSpec full = StatusDatagram::fullNode(17);
    QMap<int, int> validPrefixes; // size -> channel mask
    NodeSpec part = full;
    part.relay_status.reset();
    for (int k = 4; k >= 0; --k) {
        part.channels.resize(k);
        validPrefixes.insert(StatusDatagram::node(part).size(), (1 << k) - 1);
    }
    NodeStatus msg;
    QVERIFY(decodeNodeStatus(datagram, msg));
    for (int size = 0; size < datagram.size(); ++size) {
        const bool decodes = decodeNodeStatus(datagram.constData(), size, msg);
        if (decodes != validPrefixes.contains(size))
            QFAIL(qPrintable(QStringLiteral("a prefix of %1 of %2 bytes %3")
                                 .arg(size)
                                 .arg(datagram.size())
                                 .arg(decodes ? "decoded" : "failed")));
        if (decodes) {
            QCOMPARE(channelMask(msg), validPrefixes.value(size));
            QVERIFY(!msg.has_relay);
        }
    }
}

void TestNodeStatusDecoder::resetsEveryFieldFirst()
{
    NodeStatus msg;
    std::memset(&msg, 0x5A, sizeof msg);
    QVERIFY(decodeNodeStatus(StatusDatagram::node(StatusDatagram::fullNode(3)), msg));
    QVERIFY(decodeNodeStatus(head, msg));

    QCOMPARE(msg.word1, 0u);
    QCOMPARE(msg.word2, 0u);
    QCOMPARE(msg.node_id, 5u);
    QVERIFY(!msg.has_relay);
    QCOMPARE(msg.relay.relay_status, 0u);
    const ChannelStatus *channels[] = {&msg.channel1, &msg.channel2, &msg.channel3, &msg.channel4};
    for (const ChannelStatus *channel : channels) {
        QCOMPARE(channelStateOf(*channel), -1);
        QCOMPARE(channel->aux.aux1 | channel->aux.aux2 | channel->aux.aux3 | channel->aux.aux4, 0u);
        for (int m = 0; m < 8; ++m)
            QVERIFY(!measAt(*channel, m));
        const MeasStatus &meas = channel->meas8;
        QCOMPARE(meas.value, 0.0f);
        QCOMPARE(meas.flags | meas.type, 0u);
        QCOMPARE(meas.fs_fraction, 0.0f);
        QCOMPARE(meas.baseline_fraction, 0.0f);
    }
    QVERIFY(!msg.has_channel1 && !msg.has_channel2 && !msg.has_channel3 && !msg.has_channel4);
}

void TestNodeStatusDecoder::matchesProtoc_data()
{
    QTest::addColumn<NodeSpec>("spec");

    NodeSpec minimal;
    minimal.node_id = 5;
    QTest::newRow("only the required words") << minimal;

    NodeSpec sparse;
    sparse.node_id = 12;
    sparse.word1 = 300;
    sparse.channels = {ChannelSpec{3,
                                   -1,
                                   {MeasSpec{3, -0.5f, 0x12345, 17, 1.5f, -0.1f},
                                    MeasSpec{6, 1e30f, 0x0125, 16, 1.0f, 0.0f}}}};
    QTest::newRow("channel 3, slots 3 and 6, state -1") << sparse;

    NodeSpec relay;
    relay.node_id = 31;
    relay.relay_status = 0x81000000;
    QTest::newRow("relay only") << relay;

    QTest::newRow("full node") << StatusDatagram::fullNode(1);
}

void TestNodeStatusDecoder::matchesProtoc()
{
    // Two independent encoders must agree byte for byte, or one of them is wrong.
    QFETCH(NodeSpec, spec);
    QCOMPARE(StatusDatagram::node(spec).toHex(' '), protocOrFail(textFormat(spec)).toHex(' '));
}

void TestNodeStatusDecoder::protocMessageDecodes()
{
    const QByteArray text = "word1: 1 word2: 2 node_id: 32\n"
                            "channel2 {\n"
                            "  meas2 { value: -3.25 flags: 0x225 type: 9 fs_fraction: 0.25\n"
                            "          baseline_fraction: 0.5 }\n"
                            "  meas8 { value: 7 flags: 0 type: 16 fs_fraction: 1\n"
                            "          baseline_fraction: 0 }\n"
                            "  state: CH_STATE_OPEN_CIRCUIT\n"
                            "  aux { aux1: 1 aux2: 2 aux3: 3 aux4: 4 }\n"
                            "}\n"
                            "channel4 { state: CH_STATE_UNDEFINED aux { aux1: 0 aux2: 0 "
                            "aux3: 0 aux4: 0 } }\n"
                            "relay { relay_status: 0x0F0000FF }\n";
    NodeStatus msg;
    QVERIFY(decodeNodeStatus(protocOrFail(text), msg));
    QCOMPARE(msg.word1, 1u);
    QCOMPARE(msg.word2, 2u);
    QCOMPARE(msg.node_id, 32u);
    QCOMPARE(channelMask(msg), 0b1010);
    QCOMPARE(channelStateOf(msg.channel2), int32_t(CH_STATE_OPEN_CIRCUIT));
    QCOMPARE(channelStateOf(msg.channel4), -1);
    QVERIFY(!measAt(msg.channel2, 0));
    const MeasStatus *meas = measAt(msg.channel2, 1);
    QVERIFY(meas);
    QCOMPARE(meas->value, -3.25f);
    QCOMPARE(meas->flags, 0x225u);
    QCOMPARE(meas->type, 9u);
    QCOMPARE(meas->fs_fraction, 0.25f);
    QCOMPARE(meas->baseline_fraction, 0.5f);
    QVERIFY(measAt(msg.channel2, 7));
    QCOMPARE(msg.channel2.aux.aux3, 3u);
    QVERIFY(msg.has_relay);
    QCOMPARE(msg.relay.relay_status, 0x0F0000FFu);
}

QTEST_GUILESS_MAIN(TestNodeStatusDecoder)
#include "tst_nodestatusdecoder.moc"
