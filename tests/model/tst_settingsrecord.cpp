#include <relayname.h>
#include <t_orvo_settings.h>

#include <QtTest>

#include <cstring>
#include <memory>

class TestSettingsRecord : public QObject
{
    Q_OBJECT

private slots:
    void registerNumbers_data();
    void registerNumbers();
    void relayName_data();
    void relayName();
    void relayInUse_data();
    void relayInUse();
};

namespace {
int registerOf(const t_orvo_settings &rec, const void *field)
{
    return int(static_cast<const char *>(field) - reinterpret_cast<const char *>(&rec)) / 2;
}
} // namespace

void TestSettingsRecord::registerNumbers_data()
{
    QTest::addColumn<int>("actual");
    QTest::addColumn<int>("expected");

    // The register numbers the module uses; a shifted field would read another register.
    static const auto rec = std::make_unique<t_orvo_settings>();
    const t_orvo_settings &r = *rec;
    QTest::newRow("full_scale") << registerOf(r, &r.full_scale) << 96;
    QTest::newRow("channel_mask") << registerOf(r, &r.channel_mask) << 112;
    QTest::newRow("channel 1") << registerOf(r, &r.channels[0]) << 142;
    QTest::newRow("channel 1 sp_disable") << registerOf(r, &r.channels[0].sp_disable) << 162;
    QTest::newRow("channel 1 meas 1 type") << registerOf(r, &r.channels[0].meas[0].type) << 208;
    QTest::newRow("channel 2") << registerOf(r, &r.channels[1]) << 142 + 386;
    QTest::newRow("channel 4 meas 8 type")
        << registerOf(r, &r.channels[3].meas[7].type) << 142 + 3 * 386 + 66 + 7 * 40;
    QTest::newRow("node_id") << registerOf(r, &r.node_id) << 1686;
    QTest::newRow("relay 1 name") << registerOf(r, &r.relays[0].name) << 1750;
    QTest::newRow("relay 1 mode") << registerOf(r, &r.relays[0].mode) << 1790;
    QTest::newRow("relay 8 mode") << registerOf(r, &r.relays[7].mode) << 1750 + 7 * 192 + 40;
    QTest::newRow("record end") << registerOf(r, &r + 1) << 3286;
}

void TestSettingsRecord::registerNumbers()
{
    QFETCH(int, actual);
    QFETCH(int, expected);
    QCOMPARE(actual, expected);
}

void TestSettingsRecord::relayName_data()
{
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<QString>("name");

    QTest::newRow("ended by a zero byte")
        << QByteArray("Pump 1\0garbage", 14) << QStringLiteral("Pump 1");
    QTest::newRow("empty") << QByteArray(1, '\0') << QString();
    QTest::newRow("UTF-8") << QByteArray("\xD0\x9D\xD0\xB0\xD1\x81\xD0\xBE\xD1\x81")
                           << QStringLiteral("\u041D\u0430\u0441\u043E\u0441");
    QTest::newRow("no zero byte: all 80 bytes, nothing beyond")
        << QByteArray(80, 'R') << QString(80, QLatin1Char('R'));
    QTest::newRow("zero in the last byte")
        << QByteArray(79, 'x') + QByteArray(1, '\0') << QString(79, QLatin1Char('x'));
}

void TestSettingsRecord::relayName()
{
    QFETCH(QByteArray, field);
    // The following mode register is non-zero, so reading past the field would show.
    auto rec = std::make_unique<t_orvo_settings>();
    t_orvo_relay_settings &relay = rec->relays[2];
    std::memcpy(relay.name, field.constData(), size_t(field.size()));
    relay.mode = 0x4141;
    QTEST(::relayName(relay), "name");
}

void TestSettingsRecord::relayInUse_data()
{
    QTest::addColumn<quint16>("mode");
    QTest::addColumn<bool>("inUse");
    QTest::newRow("0") << quint16(0) << false;
    QTest::newRow("1") << quint16(1) << false;
    QTest::newRow("2") << quint16(2) << false;
    QTest::newRow("3") << quint16(3) << true;
    QTest::newRow("0xFFFF") << quint16(0xFFFF) << true;
    QTest::newRow("0xFFFC") << quint16(0xFFFC) << false;
}

void TestSettingsRecord::relayInUse()
{
    QFETCH(quint16, mode);
    auto rec = std::make_unique<t_orvo_settings>();
    rec->relays[7].mode = mode;
    QTEST(::relayInUse(rec->relays[7]), "inUse");
}

QTEST_GUILESS_MAIN(TestSettingsRecord)
#include "tst_settingsrecord.moc"
