// The module simulator seen through a plain libmodbus client: requests the link never sends,
// which the link and poller tests therefore do not reach.

#include "modulesimulator.h"

#include <QtTest>

#include <modbus/modbus.h>

class TestModuleSimulator : public QObject
{
    Q_OBJECT

private slots:
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
        // An unsupported function is answered, not dropped, and the connection still serves.
        QCOMPARE(modbus_read_bits(client, 0, 8, rsp), -1);
        QCOMPARE(errno, EMBXILFUN);
        quint16 mode = 0;
        QCOMPARE(modbus_read_input_registers(client, 96, 1, &mode), 1);
        QCOMPARE(mode, ModuleSimulator::WorkMode);
    }
};

QTEST_GUILESS_MAIN(TestModuleSimulator)
#include "tst_modulesimulator.moc"
