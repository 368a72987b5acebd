// The module simulator's parts taken directly: the Modbus TCP framing and the module's
// register behaviour; then the whole server through a plain libmodbus client, for requests the
// link never sends.

#include "modbusframe.h"
#include "modulesimulator.h"
#include "simulatedmodule.h"
#include "t_orvo_settings.h"

#include <QtTest>

#include <modbus/modbus.h>

#include <cstring>

using Frame = ModbusFrame;
using Module = SimulatedModule;
using Words = QVector<quint16>;

namespace {

// An ADU with transaction 0x1234 and unit 0xFF around the given PDU bytes.
QByteArray adu(const QByteArray &pdu)
{
    QByteArray a = QByteArray::fromHex("12340000");
    a.append(char((pdu.size() + 1) >> 8));
    a.append(char((pdu.size() + 1) & 0xFF));
    a.append(char(0xFF));
    return a + pdu;
}

// Registers holding an eight-character signature, first character in the low byte.
Words signature(const char *text)
{
    Words regs;
    for (int i = 0; i < 4; ++i)
        regs << quint16(quint8(text[2 * i]) | (quint8(text[2 * i + 1]) << 8));
    return regs;
}

constexpr auto pa = [](uint number) { return number - 1; };

} // namespace

class TestModuleSimulator : public QObject
{
    Q_OBJECT

private slots:
    // Well-formed requests are served to the link and the tools in every other test; these are
    // the ones no client of ours sends.
    void framingParsesRequests_data()
    {
        QTest::addColumn<QByteArray>("pdu");
        QTest::addColumn<int>("function");
        QTest::addColumn<int>("readAddress");
        QTest::addColumn<int>("readCount");
        QTest::addColumn<int>("writeAddress");
        QTest::addColumn<Words>("values");
        QTest::addColumn<int>("malformed"); // -1: no request at all

        const auto hex = [](const char *h) { return QByteArray::fromHex(h); };
        QTest::newRow("read of 126 registers")
            << hex("04 03FF 007E") << 4 << 0x3FF << 126 << -1 << Words{} << 3;
        QTest::newRow("read past the address space")
            << hex("03 FFFF 0002") << 3 << 0xFFFF << 2 << -1 << Words{} << 3;
        QTest::newRow("read cut short") << hex("04 03") << 4 << -1 << 0 << -1 << Words{} << 3;
        QTest::newRow("write multiple, byte count disagrees")
            << hex("10 EFFF 0002 03 5A54 4B51") << 16 << -1 << 0 << 0xEFFF << Words{} << 3;
        QTest::newRow("write multiple, values missing")
            << hex("10 EFFF 0002 04 5A54") << 16 << -1 << 0 << 0xEFFF << Words{} << 3;
        QTest::newRow("read/write writing nothing")
            << hex("17 8FFF 0004 8FFF 0000 00") << 23 << 0x8FFF << 4 << 0x8FFF << Words{} << 3;
        QTest::newRow("header without function") << hex("") << -1 << -1 << 0 << -1 << Words{} << -1;
    }

    void framingParsesRequests()
    {
        QFETCH(QByteArray, pdu);
        const QByteArray request = adu(pdu);
        Frame::Request r;
        const bool parsed =
            Frame::parse(reinterpret_cast<const quint8 *>(request.constData()), request.size(), r);
        QFETCH(int, malformed);
        QCOMPARE(parsed, malformed >= 0);
        if (!parsed)
            return;
        QCOMPARE(r.transaction, quint16(0x1234));
        QCOMPARE(r.unit, quint8(0xFF));
        QTEST(int(r.function), "function");
        QTEST(r.readAddress, "readAddress");
        QTEST(r.readCount, "readCount");
        QTEST(r.writeAddress, "writeAddress");
        QTEST(r.values, "values");
        QCOMPARE(int(r.malformed), malformed);
    }

    void commitTakesBothWordsInOrder_data()
    {
        QTest::addColumn<QVector<quint32>>("words");
        QTest::addColumn<bool>("committed");
        QTest::newRow("both words in order") << QVector<quint32>{0x4B515A54, 0x52E7139C} << true;
        QTest::newRow("second word alone") << QVector<quint32>{0x52E7139C} << false;
        QTest::newRow("reversed") << QVector<quint32>{0x52E7139C, 0x4B515A54} << false;
        QTest::newRow("another word between")
            << QVector<quint32>{0x4B515A54, 0x1, 0x52E7139C} << false;
    }

    void commitTakesBothWordsInOrder()
    {
        QFETCH(QVector<quint32>, words);
        QFETCH(bool, committed);
        Module module;
        module.setCommitStatus(7);
        module.write(pa(Module::WriteAreaRegister), Words{0x0042});
        const quint16 counter = module.reg(Module::StatusRegister + Module::WordSettingsCounter);
        for (quint32 w : words)
            module.write(pa(Module::CommitRegister), Words{quint16(w & 0xFFFF), quint16(w >> 16)});
        QCOMPARE(module.counts().commits, committed ? 1 : 0);
        QCOMPARE(module.reg(Module::SettingsRegister) == 0x0042, committed);
        QCOMPARE(module.reg(Module::CommitStatusRegister), quint16(committed ? 7 : 0));
        QCOMPARE(module.reg(Module::StatusRegister + Module::WordSettingsCounter),
                 quint16(counter + (committed ? 1 : 0)));
    }

    void serviceSignatures_data()
    {
        QTest::addColumn<uint>("reg");
        QTest::addColumn<Words>("regs");
        QTest::addColumn<int>("split"); // registers in the first of two writes; 0: one write
        QTest::addColumn<bool>("restart");
        QTest::addColumn<quint16>("mode");

        QTest::newRow("restart") << 0xFF00u << signature("KXQZMWPA") << 0 << true << quint16(2);
        QTest::newRow("boot loader")
            << 0xFF00u << signature("KXQZJRVD") << 0 << false << quint16(1);
        QTest::newRow("test mode") << 0xFF04u << signature("PWJQZXMV") << 0 << false << quint16(3);
        QTest::newRow("restart split over two writes")
            << 0xFF00u << signature("KXQZMWPA") << 2 << false << quint16(2);
        QTest::newRow("test mode at the service register")
            << 0xFF00u << signature("PWJQZXMV") << 0 << false << quint16(2);
    }

    void serviceSignatures()
    {
        QFETCH(uint, reg);
        QFETCH(Words, regs);
        QFETCH(int, split);
        Module module;
        bool restarting = false;
        if (split) {
            restarting |= module.write(pa(reg), regs.mid(0, split));
            restarting |= module.write(pa(reg) + uint(split), regs.mid(split));
        } else {
            restarting = module.write(pa(reg), regs);
        }
        QTEST(restarting, "restart");
        QTEST(module.reg(Module::ModeRegister), "mode");
        if (!split) // a whole signature is consumed, whether it meant anything or not
            QCOMPARE(module.read(pa(reg), 4), Words(4, 0));
    }

    void captureAfterTrigger_data()
    {
        QTest::addColumn<quint16>("trigger");
        QTest::addColumn<bool>("autoReady");
        QTest::addColumn<Words>("readyWords"); // words 8-11, 16-19, 24-27 after the delay
        const Words none(12, 0);
        QTest::newRow("waveform") << quint16(0x2F96) << true
                                  << Words{1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0};
        QTest::newRow("spectrum") << quint16(0x5E58) << true
                                  << Words{0, 0, 0, 0, 1, 0, 1, 0, 1, 0, 1, 0};
        QTest::newRow("waveform without auto-ready") << quint16(0x2F96) << false << none;
        QTest::newRow("unknown trigger word") << quint16(0x1234) << true << none;
    }

    void captureAfterTrigger()
    {
        QFETCH(quint16, trigger);
        QFETCH(bool, autoReady);
        QFETCH(Words, readyWords);
        Module module;
        module.setMovingValues(false, 250);
        module.reg(Module::SettingsRegister + 112) = 0b0101; // channel_mask
        // Ready words left over from the last capture of its kind are cleared by the trigger.
        const auto leftOver = trigger == 0x5E58 ? Words{16, 17, 24, 25} : Words{8, 9};
        for (quint16 w : leftOver)
            module.reg(Module::StatusRegister + w) = 1;
        module.setCaptureDelay(20);
        module.setCaptureAutoReady(autoReady);
        module.write(pa(Module::TriggerRegister), Words{trigger});
        const auto status = [&module] {
            Words w;
            for (uint first : {8u, 16u, 24u})
                w += module.read(pa(Module::StatusRegister) + first, 4);
            return w;
        };
        if (trigger == 0x1234) {
            module.advance(Module::Clock::now() + std::chrono::seconds(1));
            QCOMPARE(module.counts().waveformTriggers + module.counts().spectrumTriggers, 0);
            return;
        }
        QCOMPARE(status(), Words(12, 0));
        module.advance(Module::Clock::now() + std::chrono::seconds(1));
        QCOMPARE(status(), readyWords);
        // The waveform id advances with every capture of a channel in the mask.
        QCOMPARE(module.reg(Module::StatusRegister + 4),
                 quint16(trigger == 0x2F96 && autoReady ? 1 : 0));
    }

    void windowServesPointsFromTheRequestedOffset_data()
    {
        QTest::addColumn<bool>("spectrum");
        QTest::addColumn<quint32>("offset");
        QTest::addColumn<quint32>("count"); // points the channel has
        QTest::addColumn<int>("served");    // points of the answer that carry data
        QTest::newRow("waveform, first transfer") << false << 0u << 256u << 60;
        QTest::newRow("waveform, last part") << false << 240u << 256u << 16;
        QTest::newRow("spectrum, past the end") << true << 300u << 128u << 0;
        QTest::newRow("spectrum, offset above 16 bits") << true << 0x10000u << 0x10010u << 16;
    }

    void windowServesPointsFromTheRequestedOffset()
    {
        QFETCH(bool, spectrum);
        QFETCH(quint32, offset);
        QFETCH(quint32, count);
        QFETCH(int, served);
        Module module;
        spectrum ? module.setSpectrumPoints(2, count) : module.setWaveformPoints(2, count);
        const uint window = pa(spectrum ? Module::SpectrumWindow : Module::WaveformWindow);
        const Words request{2, 9, quint16(offset & 0xFFFF), quint16(offset >> 16)};
        module.write(window, request);
        const Words answer = module.read(window, 4 + 2 * 60);
        QCOMPARE(answer.mid(0, 4), request);
        for (int i = 0; i < 60; ++i) {
            const quint32 point = quint32(answer[4 + 2 * i]) | (quint32(answer[5 + 2 * i]) << 16);
            const quint32 expected =
                i < served ? Module::pointValue(spectrum, 2, 9, offset + quint32(i)) : 0;
            QCOMPARE(point, expected);
        }
        const Words header = module.read(window + 0x100, 4, std::nullopt);
        QCOMPARE(header, Words({2, 9, quint16(count & 0xFFFF), quint16(count >> 16)}));
        QCOMPARE(module.read(window + 0x100, 4, 0xFFFFFFFFu).mid(2),
                 Words({0xFFFF, 0xFFFF})); // a fault's count replaces the channel's
    }

    void malformedRequestsGetExceptions()
    {
        ModuleSimulator sim;
        QVERIFY2(sim.start(), qPrintable(sim.errorString()));
        modbus_t *client = modbus_new_tcp("127.0.0.1", sim.port());
        const auto release = qScopeGuard([client] {
            modbus_close(client);
            modbus_free(client);
        });
        QVERIFY(modbus_connect(client) == 0);
        // Function 23 reading 126 registers is beyond the protocol; the library refuses to send
        // it, so the request is made by hand.
        const uint8_t raw[] = {0xFF, 23, 0x8F, 0xFF, 0, 126, 0x8F, 0xFF, 0, 1, 2, 0, 0};
        QVERIFY(modbus_send_raw_request(client, raw, sizeof raw) > 0);
        uint8_t rsp[MODBUS_TCP_MAX_ADU_LENGTH];
        QCOMPARE(modbus_receive_confirmation(client, rsp), 9);
        QCOMPARE(int(rsp[7]), 23 | 0x80);
        QCOMPARE(int(rsp[8]), 3);
        // A single write, which the link never sends, is answered with its own echo.
        const uint8_t single[] = {0xFF, 6, 0x9F, 0xFF, 0x2F, 0x96};
        QVERIFY(modbus_send_raw_request(client, single, sizeof single) > 0);
        QCOMPARE(modbus_receive_confirmation(client, rsp), 12);
        QCOMPARE(QByteArray(reinterpret_cast<char *>(rsp) + 6, 6).toHex(), "ff069fff2f96");
        // An unsupported function is answered, not dropped, and the connection still serves.
        QCOMPARE(modbus_read_bits(client, 0, 8, rsp), -1);
        QCOMPARE(errno, EMBXILFUN);
        quint16 mode = 0;
        QCOMPARE(modbus_read_input_registers(client, 96, 1, &mode), 1);
        QCOMPARE(mode, ModuleSimulator::WorkMode);
        const auto log = sim.transactions();
        QCOMPARE(log.size(), 4);
        QCOMPARE(int(log[0].outcome), int(ModuleSimulator::Transaction::Exception));
        QCOMPARE(int(log[2].outcome), int(ModuleSimulator::Transaction::Exception));
        QCOMPARE(log[3].readRegister(), 97u);
    }
};

QTEST_GUILESS_MAIN(TestModuleSimulator)
#include "tst_modulesimulator.moc"
