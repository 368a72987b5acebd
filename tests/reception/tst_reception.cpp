#include "chstate.h"
#include "nodestatusdecoder.h"
#include "protocencoder.h"
#include "statusconversion.h"
#include "statusdatagram.h"
#include "t_orvo_settings.h"

#include <QtTest>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

Q_DECLARE_METATYPE(NodeSample)

using namespace Wire;

namespace {
const auto bytes = [](const char *text) { return QByteArray::fromHex(text); }; // skips spaces

const QByteArray head = bytes("08 00 10 00 18 05"); // the smallest valid message
const QByteArray meas = StatusDatagram::measBody(MeasSample{1, 1.5f, 0x0125, 3, 0.25f, 0.125f});
const QByteArray aux = lengthDelimited(11, StatusDatagram::auxBody());
const QByteArray state = uint32Field(10, 0);
const QByteArray relay = fixedField(1, 1);

const auto withChannel = [](QByteArray b) { return head + lengthDelimited(4, b); };
const auto withMeas = [](QByteArray b) { return withChannel(lengthDelimited(1, b) + state + aux); };
const auto withAux = [](QByteArray b) { return withChannel(state + lengthDelimited(11, b)); };
const auto withRelay = [](QByteArray b) { return head + lengthDelimited(10, b); };

// Every nesting level, each with a valid body and a defined field in a wrong wire type.
const struct
{
    const char *name;
    QByteArray (*wrap)(QByteArray);
    QByteArray body, wrongType;
} levels[] = {
    {"message", [](QByteArray b) { return b; }, head, fixedField(3, 5)},
    {"channel", withChannel, state + aux, fixedField(10, 0)},
    {"measurement", withMeas, meas, uint32Field(1, 1)},
    {"aux", withAux, StatusDatagram::auxBody(), uint32Field(1, 1)},
    {"relay", withRelay, relay, uint32Field(1, 5)},
};

const auto channelMask = [](const NodeStatus &m) {
    return m.has_channel1 | m.has_channel2 << 1 | m.has_channel3 << 2 | m.has_channel4 << 3;
};

// A decoded message in one line, enough to tell the malformed-datagram rows apart: node id,
// channels present, channel1's state, relay word.
QString outline(const NodeStatus &m)
{
    return QString::asprintf(
        "id %u mask %d state1 %d relay %s", m.node_id, channelMask(m), channelStateOf(m.channel1),
        m.has_relay ? qPrintable(QString::number(m.relay.relay_status, 16)) : "none");
}

// The same message as StatusDatagram::node(), in protoc's text format.
QByteArray textFormat(const NodeSample &node)
{
    QString text = QString::asprintf("word1: %u word2: %u node_id: %u relay { relay_status: %u }\n",
                                     node.word1, node.word2, node.node_id, *node.relay_status);
    for (const ChannelSample &channel : node.channels) {
        text += QString::asprintf("channel%d {\n", channel.channel);
        for (const MeasSample &m : channel.meas)
            text += QString::asprintf("meas%d { value: %.9g flags: %u type: %u fs_fraction: %.9g "
                                      "baseline_fraction: %.9g }\n",
                                      m.slot, double(m.value), m.flags, m.type,
                                      double(m.fs_fraction), double(m.baseline_fraction));
        text += QString::asprintf("state: %d aux { aux1: 1 aux2: 2 aux3: 3 aux4: 4 } }\n",
                                  channel.state);
    }
    return text.toUtf8();
}

NodeStatus decoded(const NodeSample &node)
{
    NodeStatus msg;
    if (!decodeNodeStatus(StatusDatagram::node(node), msg))
        qFatal("test datagram does not decode");
    return msg;
}

constexpr float inf = std::numeric_limits<float>::infinity();
using Types = QMap<int, int>; // 8 * channel + slot, from 0 -> type register; others 0
} // namespace

class TestReception : public QObject
{
    Q_OBJECT

private slots:
    void accepts_data()
    {
        QTest::addColumn<QByteArray>("datagram");
        QTest::addColumn<QString>("outline");
        QTest::newRow("example: 6 bytes") << head << "id 5 mask 0 state1 -1 relay none";
        QTest::newRow("example: 26 bytes")
            << bytes(
                   "08 00 10 00 18 05 22 12 50 00 5a 0e 0d 00 00 00 00 15 00 00 00 00 18 00 20 00")
            << "id 5 mask 1 state1 0 relay none";
        QTest::newRow("example: 13 bytes") << bytes("08 00 10 00 18 05 52 05 0d 00 00 00 0f")
                                           << "id 5 mask 0 state1 -1 relay f000000";
        QTest::newRow("state -1 in ten bytes")
            << withChannel(key(10, Varint) + bytes("ff ff ff ff ff ff ff ff ff 01") + aux)
            << "id 5 mask 1 state1 -1 relay none";
        QTest::newRow("state -1 in five bytes")
            << withChannel(key(10, Varint) + bytes("ff ff ff ff 0f") + aux)
            << "id 5 mask 1 state1 -1 relay none";
        QTest::newRow("node_id 0xFFFFFFFF fits") << bytes("08 00 10 00 18 ff ff ff ff 0f")
                                                 << "id 4294967295 mask 0 state1 -1 relay none";
        QTest::newRow("node_id as a ten-byte varint")
            << head.left(5) + varint(7, 10) << "id 7 mask 0 state1 -1 relay none";
        const QByteArray skipped = uint32Field(100, 1) + fixedField(101, 2, 8) +
                                   fixedField(102, 3) + lengthDelimited(103, QByteArray(300, '\0'));
        QTest::newRow("undefined fields of each skippable wire type, every level")
            << head + skipped +
                   lengthDelimited(
                       4, skipped + lengthDelimited(1, meas + skipped) + uint32Field(10, 2) +
                              lengthDelimited(11, StatusDatagram::auxBody() + skipped)) +
                   lengthDelimited(10, skipped + fixedField(1, 0x81000000))
            << "id 5 mask 1 state1 2 relay 81000000";
        QTest::newRow("fields in reverse order")
            << lengthDelimited(10, relay) + lengthDelimited(7, aux + uint32Field(10, 1)) +
                   uint32Field(3, 9) + uint32Field(2, 0) + uint32Field(1, 0)
            << "id 9 mask 8 state1 -1 relay 1";
    }

    void accepts()
    {
        QFETCH(QByteArray, datagram);
        NodeStatus msg;
        QVERIFY(decodeNodeStatus(datagram, msg));
        QTEST(outline(msg), "outline");
    }

    void rejects_data()
    {
        QTest::addColumn<QByteArray>("datagram");

        QTest::newRow("empty datagram") << QByteArray();
        QTest::newRow("example: 26 bytes less the state")
            << bytes("08 00 10 00 18 05 22 10 5a 0e 0d 00 00 00 00 15 00 00 00 00 18 00 "
                     "20 00");

        QTest::newRow("missing word1") << bytes("10 00 18 05");
        QTest::newRow("missing word2") << bytes("08 00 18 05");
        QTest::newRow("missing node_id") << bytes("08 00 10 00");
        QTest::newRow("channel without aux") << withChannel(state);
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

        const QByteArray tag0(1, '\0');
        for (const auto &level : levels) {
            QTest::addRow("%s: tag 0 first", level.name) << level.wrap(tag0 + level.body);
            QTest::addRow("%s: tag 0 last", level.name) << level.wrap(level.body + tag0);
            QTest::addRow("%s: group", level.name)
                << level.wrap(level.body + key(9, StartGroup) + key(9, EndGroup));
            QTest::addRow("%s: wrong wire type", level.name)
                << level.wrap(level.body + level.wrongType);
        }
        QTest::newRow("channel as varint") << head + uint32Field(4, 0);
        QTest::newRow("channel as a group")
            << head + key(4, StartGroup) + state + aux + key(4, EndGroup);
        QTest::newRow("wire type 6") << head + key(8, Bad6) + varint(0);
        QTest::newRow("tag 0 as a two-byte key") << head + bytes("80 00");

        QTest::newRow("node_id 2^32") << bytes("08 00 10 00") + uint32Field(3, quint64(1) << 32);
        QTest::newRow("flags 2^32") << withMeas(meas + uint32Field(2, quint64(1) << 32));
        QTest::newRow("aux3 2^40")
            << withAux(StatusDatagram::auxBody() + uint32Field(3, quint64(1) << 40));

        QTest::newRow("node_id in eleven bytes") << head.left(5) + varint(5, 11);
        QTest::newRow("ten-byte varint beyond 64 bits")
            << withChannel(key(10, Varint) + bytes("ff ff ff ff ff ff ff ff ff 7f") + aux);
        QTest::newRow("channel length past the end")
            << head + key(4, LengthDelimited) + varint(40) + state + aux;
        QTest::newRow("length 2^63 past the end")
            << head + key(9, LengthDelimited) + varint(quint64(1) << 63);
        QTest::newRow("undefined fixed64 cut") << head + fixedField(9, 1, 8).left(6);
        QTest::newRow("measurement longer than its channel")
            << head + key(4, LengthDelimited) + varint(4) + key(1, LengthDelimited) + varint(30) +
                   meas + state + aux;
    }

    void rejects()
    {
        QFETCH(QByteArray, datagram);
        NodeStatus msg;
        QVERIFY(!decodeNodeStatus(datagram, msg));
        QVERIFY(!decodeNodeStatus(datagram.constData(), datagram.size(), msg));
    }

    void overlongVarints_data()
    {
        QTest::addColumn<QByteArray>("datagram");
        QTest::addColumn<bool>("decodes");

        // As reported: node 5 with undefined field 8 carrying an eleven-byte varint, and the same
        // inside the relay status.
        QTest::newRow("report: top level")
            << bytes("080010001805408080808080808080808000") << false;
        QTest::newRow("report: in the relay")
            << bytes("08001000180552110d0000000f108080808080808080808000") << false;
        for (const auto &level : levels) {
            QTest::addRow("%s: undefined varint of ten bytes", level.name)
                << level.wrap(level.body + key(12, Varint) + varint(0, 10)) << true;
            QTest::addRow("%s: undefined varint of eleven bytes", level.name)
                << level.wrap(level.body + key(12, Varint) + varint(0, 11)) << false;
            QTest::addRow("%s: undefined varint of eleven bytes first", level.name)
                << level.wrap(key(12, Varint) + varint(1, 11) + level.body) << false;
            QTest::addRow("%s: undefined length of eleven bytes", level.name)
                << level.wrap(level.body + key(12, LengthDelimited) + varint(1, 11) + "x") << false;
            QTest::addRow("%s: key of eleven bytes", level.name)
                << level.wrap(level.body + varint(quint64(12) << 3, 11) + varint(0)) << false;
        }
        // The content of a field the schema does not define is opaque bytes, not a message.
        QTest::newRow("eleven-byte varint inside an undefined string")
            << head + lengthDelimited(9, key(1, Varint) + varint(0, 11)) << true;
    }

    void overlongVarints()
    {
        QFETCH(QByteArray, datagram);
        QFETCH(bool, decodes);
        NodeStatus msg;
        QCOMPARE(decodeNodeStatus(datagram, msg), decodes);
        if (decodes)
            QCOMPARE(msg.node_id, 5u);
    }

    void agreesWithProtoc()
    {
        // Two independent encoders must agree byte for byte, or one of them is wrong; and the
        // decoder must hand back every value in its place.
        const NodeSample node = StatusDatagram::fullNode(17);
        QByteArray datagram;
        QString error; // a missing protoc must fail the test, not skip it
        QVERIFY2(protocEncode(textFormat(node), datagram, &error), qPrintable(error));
        QCOMPARE(datagram.toHex(' '), StatusDatagram::node(node).toHex(' '));
        NodeStatus msg;
        QVERIFY(decodeNodeStatus(datagram, msg));
        QCOMPARE(msg.word1, node.word1);
        QCOMPARE(msg.word2, node.word2);
        QCOMPARE(msg.relay.relay_status, *node.relay_status);
        QCOMPARE(channelMask(msg), 15);
        for (const ChannelSample &c : node.channels) {
            const ChannelStatus &channel = *channelAt(msg, c.channel - 1);
            QCOMPARE(channelStateOf(channel), c.state);
            QCOMPARE(channel.aux.aux4, 4u);
            for (const MeasSample &m : c.meas) {
                const MeasStatus *got = measAt(channel, m.slot - 1);
                QVERIFY(got);
                QCOMPARE(got->value, m.value); // distinct in every slot of a channel
                QCOMPARE(got->flags, m.flags);
                QCOMPARE(got->type, m.type);
                QCOMPARE(got->fs_fraction, m.fs_fraction);
                QCOMPARE(got->baseline_fraction, m.baseline_fraction);
            }
        }
    }

    void rejectsEveryTruncation()
    {
        // A prefix that ends after the required words and between two channels is a smaller valid
        // message; every other prefix cuts a field and must fail.
        NodeSample part = StatusDatagram::fullNode(17);
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

    void fractionToFullScale_data()
    {
        QTest::addColumn<float>("fraction");
        QTest::addColumn<quint16>("units");
        QTest::newRow("1") << 1.0f << quint16(65535);
        QTest::newRow("just below 1") << std::nextafter(1.0f, 0.0f) << quint16(65534);
        // Out of range saturates: a plain cast to 16 bits would show 150 % as 50 % and -10 % as 90
        // %.
        QTest::newRow("just above 1") << std::nextafter(1.0f, 2.0f) << quint16(65535);
        QTest::newRow("1e30") << 1e30f << quint16(65535);
        QTest::newRow("-0.1") << -0.1f << quint16(0);
        QTest::newRow("+inf") << inf << quint16(65535);
        QTest::newRow("-inf") << -inf << quint16(0);
        QTest::newRow("NaN") << std::numeric_limits<float>::quiet_NaN() << quint16(0);
    }

    void fractionToFullScale()
    {
        QFETCH(float, fraction);
        QTEST(::fractionToFullScale(fraction), "units");
    }

    void convert_data()
    {
        QTest::addColumn<NodeSample>("node");
        QTest::addColumn<int>("mask");
        QTest::addColumn<Types>("types");
        QTest::addColumn<int>("relayModes"); // bit r: relay r + 1 in use; -1: left as it was

        NodeSample node;
        node.node_id = 0x10005; // the register keeps the low 16 bits
        QTest::newRow("no channel, no relay") << node << 0 << Types{} << -1;
        node.channels = {ChannelSample{3, 0, {}}};
        QTest::newRow("channel 3 only") << node << 4 << Types{} << -1;
        node.channels = {ChannelSample{2, 0, {MeasSample{3, 0, 0, 5}, MeasSample{8, 0, 0, 17}}},
                         ChannelSample{4, 0, {MeasSample{1, 0, 0, 16}}}};
        QTest::newRow("type 17 counts as absent")
            << node << 0b1010 << Types{{10, 5}, {24, 16}} << -1;
        node.channels.clear();
        node.relay_status = 0x81000000;
        QTest::newRow("relay 0x81000000") << node << 0 << Types{} << 0x81;
    }

    void convert()
    {
        QFETCH(NodeSample, node);
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

    void image_data()
    {
        QTest::addColumn<qint32>("state");
        QTest::addColumn<quint32>("type");
        QTest::addColumn<int>("status");
        QTest::newRow("state 0 valid") << 0 << 4u << 0;
        QTest::newRow("state 1 no valid data") << 1 << 4u << 0xFFFF;
        QTest::newRow("state 2 short circuit") << 2 << 4u << 1;
        QTest::newRow("state 3 open circuit") << 3 << 4u << 2;
        QTest::newRow("state -1 undefined") << -1 << 4u << 0xFFFF;
        QTest::newRow("type 17 gives no item") << 0 << 17u << 0;
        QTest::newRow("type 65537 must not pass as 1") << 0 << 65537u << 0;
    }

    void image()
    {
        QFETCH(qint32, state);
        QFETCH(quint32, type);
        NodeSample node;
        node.channels = {
            ChannelSample{1, state, {MeasSample{2, -1.25f, 0xABCD0125, type, 0.25f, 0.5f}}}};
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
};

QTEST_GUILESS_MAIN(TestReception)
#include "tst_reception.moc"
