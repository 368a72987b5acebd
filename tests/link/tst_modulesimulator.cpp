// The module simulator seen through a plain libmodbus client: what the link and poller tests
// rely on it to do.

#include "modulesimulator.h"
#include "t_orvo_settings.h"

#include <QtTest>

#include <modbus/modbus.h>

#include <cstring>
#include <memory>

namespace {

struct ModbusDeleter
{
    void operator()(modbus_t *ctx) const
    {
        modbus_close(ctx);
        modbus_free(ctx);
    }
};
using Client = std::unique_ptr<modbus_t, ModbusDeleter>;

Client connectTo(quint16 port)
{
    Client c(modbus_new_tcp("127.0.0.1", port));
    if (c && modbus_connect(c.get()) != 0)
        c.reset();
    if (c)
        modbus_set_response_timeout(c.get(), 2, 0);
    return c;
}

// Register numbers as the link names them; the client takes protocol addresses.
bool readRegs(modbus_t *c, uint reg, int count, quint16 *out)
{
    return modbus_read_input_registers(c, int(reg - 1), count, out) == count;
}

bool writeRegs(modbus_t *c, uint reg, const QVector<quint16> &vals)
{
    return modbus_write_registers(c, int(reg - 1), vals.size(), vals.constData()) == vals.size();
}

} // namespace

class TestModuleSimulator : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void captureTriggersFollowChannelMask_data();
    void captureTriggersFollowChannelMask();
    void commitNeedsBothWordsInOrder();
    void restartRefusesThenServesAgain();
    void relayModuleDefaults();
    void movingValuesAdvanceCounters();
    void malformedRequestsGetExceptions();

private:
    std::unique_ptr<ModuleSimulator> sim;
    Client client;
};

void TestModuleSimulator::init()
{
    sim = std::make_unique<ModuleSimulator>();
    sim->setMovingValues(false);
    QVERIFY2(sim->start(), qPrintable(sim->errorString()));
    client = connectTo(sim->port());
    QVERIFY(client);
}

void TestModuleSimulator::cleanup()
{
    client.reset();
    sim.reset();
}

void TestModuleSimulator::captureTriggersFollowChannelMask_data()
{
    QTest::addColumn<quint16>("mask");
    QTest::newRow("all four channels") << quint16(0xF);
    QTest::newRow("channels 1 and 3") << quint16(0x5);
    QTest::newRow("channel 4 only") << quint16(0x8);
}

void TestModuleSimulator::captureTriggersFollowChannelMask()
{
    QFETCH(quint16, mask);
    t_orvo_settings s;
    sim->settings(s);
    s.channel_mask = mask;
    sim->setSettings(s);
    sim->setCaptureDelay(50);
    quint16 status[125];
    QVERIFY(readRegs(client.get(), ModuleSimulator::StatusRegister, 125, status));
    const quint16 idsBefore[4] = {status[4], status[5], status[6], status[7]};

    QVERIFY(writeRegs(client.get(), ModuleSimulator::TriggerRegister, {0x2F96}));
    QVERIFY(writeRegs(client.get(), ModuleSimulator::TriggerRegister, {0x5E58}));
    QCOMPARE(sim->waveformTriggerCount(), 1);
    QCOMPARE(sim->spectrumTriggerCount(), 1);
    QVERIFY(readRegs(client.get(), ModuleSimulator::StatusRegister, 125, status));
    for (int c = 0; c < 4; ++c)
        QVERIFY(!status[8 + c] && !status[16 + c] && !status[24 + c]);

    // Every channel turns ready at the same moment, so once the active ones are, the others
    // have had their chance.
    QTRY_VERIFY(readRegs(client.get(), ModuleSimulator::StatusRegister, 125, status) &&
                status[8 + qCountTrailingZeroBits(mask)] != 0);
    for (int c = 0; c < 4; ++c) {
        const bool active = mask & (1 << c);
        QCOMPARE(status[8 + c] != 0, active);
        QCOMPARE(status[16 + c] != 0, active);
        QCOMPARE(status[24 + c] != 0, active);
        QCOMPARE(status[4 + c] != idsBefore[c], active);
    }
}

void TestModuleSimulator::commitNeedsBothWordsInOrder()
{
    const quint16 counter = sim->statusWord(28);
    QVector<quint16> record(OrvoSettings::RegisterCount, 0x1111);
    for (int k = 0; k < record.size(); k += 123)
        QVERIFY(writeRegs(client.get(), ModuleSimulator::WriteAreaRegister + uint(k),
                          record.mid(k, 123)));
    // The second word alone, or the words reversed, take nothing over.
    QVERIFY(writeRegs(client.get(), ModuleSimulator::CommitRegister, {0x139C, 0x52E7}));
    QVERIFY(writeRegs(client.get(), ModuleSimulator::CommitRegister, {0x5A54, 0x4B51}));
    QVERIFY(writeRegs(client.get(), ModuleSimulator::WriteAreaRegister, {0x2222}));
    QVERIFY(writeRegs(client.get(), ModuleSimulator::CommitRegister, {0x139C, 0x52E8}));
    QCOMPARE(sim->commitCount(), 0);
    quint16 flag = 7;
    QVERIFY(readRegs(client.get(), ModuleSimulator::CommitStatusRegister, 1, &flag));
    QCOMPARE(flag, quint16(0));

    QVERIFY(writeRegs(client.get(), ModuleSimulator::CommitRegister, {0x5A54, 0x4B51}));
    QVERIFY(writeRegs(client.get(), ModuleSimulator::CommitRegister, {0x139C, 0x52E7}));
    QCOMPARE(sim->commitCount(), 1);
    QVERIFY(sim->statusWord(28) != counter);
    QVERIFY(readRegs(client.get(), ModuleSimulator::CommitStatusRegister, 1, &flag));
    QVERIFY(flag != 0);
    record[0] = 0x2222;
    t_orvo_settings current;
    sim->settings(current);
    QVERIFY(std::memcmp(&current, record.constData(), sizeof current) == 0);
}

void TestModuleSimulator::restartRefusesThenServesAgain()
{
    sim->setRestartTime(400);
    // "KXQZMWPA"
    QVERIFY(writeRegs(client.get(), ModuleSimulator::ServiceRegister,
                      {0x584B, 0x5A51, 0x574D, 0x4150}));
    QCOMPARE(sim->restartCount(), 1);
    quint16 reg;
    QVERIFY(!readRegs(client.get(), 1, 1, &reg));
    QTRY_VERIFY_WITH_TIMEOUT(!connectTo(sim->port()), 300);
    QTRY_VERIFY_WITH_TIMEOUT(connectTo(sim->port()) != nullptr, 3000);
    client = connectTo(sim->port());
    QVERIFY(readRegs(client.get(), ModuleSimulator::ModeRegister, 1, &reg));
    QCOMPARE(reg, ModuleSimulator::WorkMode);
}

void TestModuleSimulator::relayModuleDefaults()
{
    sim->resetContents(ModuleSimulator::Kind::Relay);
    quint16 info[16];
    QVERIFY(readRegs(client.get(), 1, 16, info));
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(info)), QByteArray("ORVO_REL"));
    quint16 relay[20];
    QVERIFY(readRegs(client.get(), ModuleSimulator::RelayRegister, 20, relay));
    QCOMPARE(quint32(relay[0]) | (quint32(relay[1]) << 16), sim->relayStatus());
    t_orvo_settings s;
    sim->settings(s);
    QCOMPARE(s.channel_mask, quint16(0));
    int inUse = 0;
    for (const auto &r : s.relays)
        inUse += (r.mode & 3) == 3;
    QCOMPARE(inUse, 6);

    const quint16 counter = sim->statusWord(29);
    sim->setRelayStatus(sim->relayStatus() ^ 0x100);
    QVERIFY(sim->statusWord(29) != counter);
}

void TestModuleSimulator::movingValuesAdvanceCounters()
{
    const QVector<quint16> before = sim->channelImage(2);
    const quint16 counter = sim->statusWord(2);
    sim->setMovingValues(true, 20);
    QTRY_VERIFY(sim->statusWord(2) != counter);
    QVERIFY(sim->channelImage(2) != before);
    // Only the values move; the layout the poller decodes stays.
    const QVector<quint16> after = sim->channelImage(2);
    for (int m = 0; m < 8; ++m)
        QCOMPARE(after[8 + 10 * m], before[8 + 10 * m]);
}

void TestModuleSimulator::malformedRequestsGetExceptions()
{
    // Function 23 with a read of 126 registers is beyond the protocol; the library refuses to
    // send it, so craft the request by hand.
    const uint8_t raw[] = {0xFF, 23, 0x8F, 0xFF, 0, 126, 0x8F, 0xFF, 0, 1, 2, 0, 0};
    QVERIFY(modbus_send_raw_request(client.get(), raw, sizeof raw) > 0);
    uint8_t rsp[MODBUS_TCP_MAX_ADU_LENGTH];
    QCOMPARE(modbus_receive_confirmation(client.get(), rsp), 9);
    QCOMPARE(int(rsp[7]), 23 | 0x80);
    QCOMPARE(int(rsp[8]), 3);
    // An unsupported function is answered, not dropped.
    QCOMPARE(modbus_read_bits(client.get(), 0, 8, rsp), -1);
    QCOMPARE(errno, EMBXILFUN);
    quint16 reg;
    QVERIFY(readRegs(client.get(), ModuleSimulator::ModeRegister, 1, &reg));
}

QTEST_GUILESS_MAIN(TestModuleSimulator)
#include "tst_modulesimulator.moc"
