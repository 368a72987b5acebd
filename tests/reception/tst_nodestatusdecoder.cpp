#include <nodestatusdecoder.h>
#include <protocencoder.h>
#include <statusdatagram.h>

#include <QtTest>

#include <cstring>

using namespace Wire;

namespace {
QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text); // skips the spaces
}

const QByteArray head = hex("08 00 10 00 18 05"); // the smallest valid message
const QByteArray meas = StatusDatagram::measBody(MeasSpec{1, 1.5f, 0x0125, 3, 0.25f, 0.125f});
const QByteArray aux = lengthDelimited(11, StatusDatagram::auxBody());
const QByteArray state = uint32Field(10, 0);
const QByteArray relay = fixedField(1, 1);
const qint64 noRelay = -1;

const auto withChannel = [](const QByteArray &body) { return head + lengthDelimited(4, body); };
const auto withMeas = [](const QByteArray &b) {
    return withChannel(lengthDelimited(1, b) + state + aux);
};
const auto withAux = [](const QByteArray &b) {
    return withChannel(state + lengthDelimited(11, b));
};
const auto withRelay = [](const QByteArray &body) { return head + lengthDelimited(10, body); };

int channelMask(const NodeStatus &msg)
{
    int mask = 0;
    for (int c = 0; c < 4; ++c)
        mask |= channelAt(msg, c) ? 1 << c : 0;
    return mask;
}

// The same message as StatusDatagram::node(), in protoc's text format.
QByteArray textFormat(const NodeSpec &node)
{
    auto num = [](float v) { return QString::number(double(v), 'g', 9); };
    QString text = QStringLiteral("word1: %1 word2: %2 node_id: %3\n")
                       .arg(node.word1)
                       .arg(node.word2)
                       .arg(node.node_id);
    for (const ChannelSpec &channel : node.channels) {
        text += QStringLiteral("channel%1 {\n").arg(channel.channel);
        for (const MeasSpec &m : channel.meas)
            text += QStringLiteral("meas%1 { value: %2 flags: %3 type: %4 fs_fraction: %5 "
                                   "baseline_fraction: %6 }\n")
                        .arg(m.slot)
                        .arg(num(m.value))
                        .arg(m.flags)
                        .arg(m.type)
                        .arg(num(m.fs_fraction), num(m.baseline_fraction));
        text += QStringLiteral("state: %1 aux { aux1: 1 aux2: 2 aux3: 3 aux4: 4 } }\n")
                    .arg(channel.state);
    }
    if (node.relay_status)
        text += QStringLiteral("relay { relay_status: %1 }\n").arg(*node.relay_status);
    return text.toUtf8();
}

QByteArray protocOrFail(const NodeSpec &node)
{
    QByteArray bytes;
    QString error;
    if (!protocEncode(textFormat(node), bytes, &error))
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
    void agreesWithProtoc();
    void rejectsEveryTruncation();
};

void TestNodeStatusDecoder::accepts_data()
{
    QTest::addColumn<QByteArray>("datagram");
    QTest::addColumn<quint32>("nodeId");
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("state1");
    QTest::addColumn<qint64>("relayStatus"); // -1: no relay

    QTest::newRow("example: 6 bytes") << head << 5u << 0 << -1 << noRelay;
    QTest::newRow("example: 26 bytes, channel1 in state 0")
        << hex("08 00 10 00 18 05 22 12 50 00 5a 0e 0d 00 00 00 00 15 00 00 00 00 "
               "18 00 20 00")
        << 5u << 1 << 0 << noRelay;
    QTest::newRow("example: 13 bytes, relay")
        << hex("08 00 10 00 18 05 52 05 0d 00 00 00 0f") << 5u << 0 << -1 << qint64(0x0F000000);
    QTest::newRow("state -1 in ten bytes")
        << withChannel(key(10, Varint) + hex("ff ff ff ff ff ff ff ff ff 01") + aux) << 5u << 1
        << -1 << noRelay;
    QTest::newRow("state -1 in five bytes")
        << withChannel(key(10, Varint) + hex("ff ff ff ff 0f") + aux) << 5u << 1 << -1 << noRelay;
    QTest::newRow("state beyond the enumeration")
        << withChannel(uint32Field(10, 77) + aux) << 5u << 1 << 77 << noRelay;
    QTest::newRow("node_id 0xFFFFFFFF fits")
        << hex("08 00 10 00 18 ff ff ff ff 0f") << 0xFFFFFFFFu << 0 << -1 << noRelay;
    QTest::newRow("node_id as a ten-byte varint")
        << hex("08 00 10 00 18") + varint(7, 10) << 7u << 0 << -1 << noRelay;
    const QByteArray skipped = uint32Field(100, 1) + fixedField(101, 2, 8) + fixedField(102, 3) +
                               lengthDelimited(103, QByteArray(300, '\0'));
    QTest::newRow("undefined fields of each skippable wire type, every level")
        << head + skipped +
               lengthDelimited(4, skipped + lengthDelimited(1, meas + skipped) +
                                      uint32Field(10, 2) +
                                      lengthDelimited(11, StatusDatagram::auxBody() + skipped)) +
               lengthDelimited(10, skipped + fixedField(1, 0x81000000))
        << 5u << 1 << 2 << qint64(0x81000000);
    QTest::newRow("fields in reverse order")
        << lengthDelimited(10, relay) + lengthDelimited(7, aux + uint32Field(10, 1)) +
               uint32Field(3, 9) + uint32Field(2, 0) + uint32Field(1, 0)
        << 9u << 8 << -1 << qint64(1);
    QTest::newRow("measurement type 17 decodes")
        << withMeas(StatusDatagram::measBody(MeasSpec{1, 0, 0, 17, 0, 0})) << 5u << 1 << 0
        << noRelay;
    QTest::newRow("all four channels and relay")
        << StatusDatagram::node(StatusDatagram::fullNode(32)) << 32u << 15 << -1
        << qint64(0xFF0F33C5);
}

void TestNodeStatusDecoder::accepts()
{
    QFETCH(QByteArray, datagram);
    QFETCH(qint64, relayStatus);
    NodeStatus msg;
    QVERIFY(decodeNodeStatus(datagram, msg));
    QTEST(msg.node_id, "nodeId");
    QTEST(channelMask(msg), "channels");
    QTEST(channelStateOf(msg.channel1), "state1");
    QCOMPARE(msg.has_relay, relayStatus >= 0);
    QCOMPARE(qint64(msg.relay.relay_status), qMax(relayStatus, qint64(0)));
}

void TestNodeStatusDecoder::rejects_data()
{
    QTest::addColumn<QByteArray>("datagram");

    QTest::newRow("empty datagram") << QByteArray();
    QTest::newRow("example: 26 bytes less the state")
        << hex("08 00 10 00 18 05 22 10 5a 0e 0d 00 00 00 00 15 00 00 00 00 18 00 "
               "20 00");

    QTest::newRow("missing word1") << hex("10 00 18 05");
    QTest::newRow("missing word2") << hex("08 00 18 05");
    QTest::newRow("missing node_id") << hex("08 00 10 00");
    QTest::newRow("channel without aux") << withChannel(state);
    QTest::newRow("repeated channel, second one partial")
        << withChannel(state + aux) + lengthDelimited(4, uint32Field(10, 3));
    const QByteArray measFields[] = {floatField(1, 1), uint32Field(2, 1), uint32Field(7, 3),
                                     floatField(8, 0.5f), floatField(9, 0.5f)};
    const QByteArray auxFields[] = {fixedField(1, 1), fixedField(2, 2), uint32Field(3, 3),
                                    uint32Field(4, 4)};
    const char *measNames[] = {"value", "flags", "type", "fs_fraction", "baseline_fraction"};
    for (int skip = 0; skip < 5; ++skip) {
        QByteArray measBody, auxBody;
        for (int f = 0; f < 5; ++f) {
            measBody += f == skip ? QByteArray() : measFields[f];
            auxBody += f == skip || f == 4 ? QByteArray() : auxFields[f];
        }
        QTest::addRow("measurement without %s", measNames[skip]) << withMeas(measBody);
        if (skip < 4)
            QTest::addRow("aux without aux%d", skip + 1) << withAux(auxBody);
    }
    QTest::newRow("empty relay") << withRelay(QByteArray());

    QTest::newRow("node_id as fixed32") << hex("08 00 10 00") + fixedField(3, 5);
    QTest::newRow("channel as varint") << head + uint32Field(4, 0);
    QTest::newRow("relay as fixed32") << head + fixedField(10, 0x0F000000);
    QTest::newRow("relay_status as varint") << withRelay(uint32Field(1, 5));
    QTest::newRow("state as fixed32") << withChannel(fixedField(10, 0) + aux);
    QTest::newRow("aux as varint") << withChannel(state + uint32Field(11, 0));
    QTest::newRow("value as varint") << withMeas(uint32Field(1, 1) + meas.mid(5));
    QTest::newRow("aux1 as varint") << withAux(StatusDatagram::auxBody() + uint32Field(1, 1));

    const QByteArray group = key(9, StartGroup) + key(9, EndGroup);
    QTest::newRow("group at the top") << head + group;
    QTest::newRow("wire type 6") << head + key(8, Bad6) + varint(0);
    QTest::newRow("group in a channel") << withChannel(state + aux + group);
    QTest::newRow("group in a measurement") << withMeas(meas + group);
    QTest::newRow("group in aux") << withAux(StatusDatagram::auxBody() + group);
    QTest::newRow("group in relay") << withRelay(relay + group);
    QTest::newRow("channel as a group")
        << head + key(4, StartGroup) + state + aux + key(4, EndGroup);

    const QByteArray tag0 = QByteArray(1, '\0');
    QTest::newRow("tag 0 at the end") << head + tag0;
    QTest::newRow("tag 0 first") << tag0 + head;
    QTest::newRow("tag 0, length-delimited") << head + lengthDelimited(0, "ab");
    QTest::newRow("tag 0 as a two-byte key") << head + hex("80 00");
    QTest::newRow("tag 0 in a channel") << withChannel(state + aux + tag0);
    QTest::newRow("tag 0 in a measurement") << withMeas(meas + tag0);
    QTest::newRow("tag 0 in aux") << withAux(StatusDatagram::auxBody() + tag0);
    QTest::newRow("tag 0 in relay") << withRelay(tag0 + relay);

    QTest::newRow("node_id 2^32") << hex("08 00 10 00") + uint32Field(3, quint64(1) << 32);
    QTest::newRow("flags 2^32") << withMeas(meas + uint32Field(2, quint64(1) << 32));
    QTest::newRow("aux3 2^40") << withAux(StatusDatagram::auxBody() +
                                          uint32Field(3, quint64(1) << 40));

    QTest::newRow("node_id in eleven bytes") << head.left(5) + varint(5, 11);
    QTest::newRow("ten-byte varint beyond 64 bits")
        << withChannel(key(10, Varint) + hex("ff ff ff ff ff ff ff ff ff 7f") + aux);
    QTest::newRow("key in eleven bytes") << head + varint(8 << 3, 11) + varint(0);
    QTest::newRow("channel length past the end")
        << head + key(4, LengthDelimited) + varint(40) + state + aux;
    QTest::newRow("length 2^63 past the end")
        << head + key(9, LengthDelimited) + varint(quint64(1) << 63);
    QTest::newRow("undefined fixed64 cut") << head + fixedField(9, 1, 8).left(6);
    QTest::newRow("measurement longer than its channel")
        << head + key(4, LengthDelimited) + varint(4) + key(1, LengthDelimited) + varint(30) +
               meas + state + aux;
}

void TestNodeStatusDecoder::rejects()
{
    QFETCH(QByteArray, datagram);
    NodeStatus msg;
    QVERIFY(!decodeNodeStatus(datagram, msg));
    QVERIFY(!decodeNodeStatus(datagram.constData(), datagram.size(), msg));
}

void TestNodeStatusDecoder::agreesWithProtoc()
{
    // Two independent encoders must agree byte for byte, or one of them is wrong; and the
    // decoder must hand back every value in its place.
    const NodeSpec node = StatusDatagram::fullNode(17);
    const QByteArray datagram = protocOrFail(node);
    QCOMPARE(datagram.toHex(' '), StatusDatagram::node(node).toHex(' '));
    NodeStatus msg;
    QVERIFY(decodeNodeStatus(datagram, msg));
    QCOMPARE(msg.word1, node.word1);
    QCOMPARE(msg.word2, node.word2);
    QCOMPARE(msg.relay.relay_status, *node.relay_status);
    QCOMPARE(channelMask(msg), 15);
    for (const ChannelSpec &c : node.channels) {
        const ChannelStatus &channel = *channelAt(msg, c.channel - 1);
        QCOMPARE(channelStateOf(channel), c.state);
        QCOMPARE(channel.aux.aux4, 4u);
        for (const MeasSpec &m : c.meas) {
            const MeasStatus *got = measAt(channel, m.slot - 1);
            QVERIFY(got);
            QCOMPARE(got->value, m.value);
            QCOMPARE(got->flags, m.flags);
            QCOMPARE(got->type, m.type);
            QCOMPARE(got->fs_fraction, m.fs_fraction);
            QCOMPARE(got->baseline_fraction, m.baseline_fraction);
        }
    }
}

void TestNodeStatusDecoder::rejectsEveryTruncation()
{
    // A prefix that ends after the required words and between two channels is a smaller valid
    // message; every other prefix cuts a field and must fail.
    NodeSpec part = StatusDatagram::fullNode(17);
    const QByteArray datagram = StatusDatagram::node(part); // the same bytes as protoc's
    QMap<int, int> validPrefixes;                           // size -> channel mask
    part.relay_status.reset();
    for (int k = 4; k >= 0; --k) {
        part.channels.resize(k);
        validPrefixes.insert(StatusDatagram::node(part).size(), (1 << k) - 1);
    }
    NodeStatus msg; // reused: each decoding must start from a clean record
    QVERIFY(decodeNodeStatus(datagram, msg));
    for (int size = 0; size < datagram.size(); ++size) {
        const bool decodes = decodeNodeStatus(datagram.constData(), size, msg);
        QVERIFY2(decodes == validPrefixes.contains(size), qPrintable(QString::number(size)));
        if (decodes) {
            QCOMPARE(channelMask(msg), validPrefixes.value(size));
            QVERIFY(!msg.has_relay);
        }
    }
}

QTEST_GUILESS_MAIN(TestNodeStatusDecoder)
#include "tst_nodestatusdecoder.moc"
