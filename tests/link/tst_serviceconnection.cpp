// The holder's service connection against the module simulator in each of its modes.

#include "modulefixture.h"
#include "serviceconnection.h"

#include <QtTest>

#include <memory>

using Sim = ModuleSimulator;

class TestServiceConnection : public QObject
{
    Q_OBJECT

    std::unique_ptr<ModuleFixture> module;
    Sim *sim = nullptr;

private slots:
    void init()
    {
        module = std::make_unique<ModuleFixture>();
        sim = &module->sim();
        QVERIFY(module->start());
        sim->setRestartTime(200);
    }

    void identifiesAndRestartsInEveryMode_data()
    {
        QTest::addColumn<quint16>("mode");
        QTest::newRow("work mode") << quint16(Sim::WorkMode);
        QTest::newRow("test mode") << quint16(Sim::TestMode);
        QTest::newRow("boot loader") << quint16(Sim::BootMode);
    }

    void identifiesAndRestartsInEveryMode()
    {
        QFETCH(quint16, mode);
        sim->setMode(mode);
        sim->setInfoField(3, "SN-7");
        ServiceConnection service(ModuleFixture::Host, sim->port());
        ServiceConnection::Identification id;
        QVERIFY2(service.identify(id), qPrintable(service.error()));
        QCOMPARE(id.typeName, QStringLiteral("ORVO_ICP"));
        QCOMPARE(id.texts[2], QStringLiteral("SN-7"));
        QCOMPARE(id.mode, mode);

        // Looked for every 20 ms, it is seen down and then back.
        QVERIFY2(service.restart(10000, 20), qPrintable(service.error()));
        QCOMPARE(sim->restartCount(), 1);
        QVERIFY(service.identify(id));
        QCOMPARE(id.mode, quint16(Sim::WorkMode));
        // Nothing but the restart was written: the record was neither read nor committed.
        QCOMPARE(sim->commitCount(), 0);
    }

    void failures_data()
    {
        QTest::addColumn<bool>("restart");
        QTest::addColumn<QString>("message");
        QTest::newRow("module gone") << false << "Cannot setup connection to module: ";
        QTest::newRow("restart of a module gone") << true << "Cannot setup connection to module: ";
    }

    void failures()
    {
        QFETCH(bool, restart);
        QFETCH(QString, message);
        sim->stop();
        ServiceConnection service(ModuleFixture::Host, module->port());
        ServiceConnection::Identification id;
        QVERIFY(!(restart ? service.restart(500) : service.identify(id)));
        // The link's text, then the library's reason.
        QVERIFY2(service.error().startsWith(message) && service.error().size() > message.size(),
                 qPrintable(service.error()));
    }

    void restartThatNeverReturnsToWorkModeFails()
    {
        // The module goes down and stays down past the wait.
        sim->setRestartTime(3000);
        ServiceConnection service(ModuleFixture::Host, sim->port());
        QVERIFY(!service.restart(200, 20));
        QVERIFY2(service.error().startsWith("The module did not come back after the restart"),
                 qPrintable(service.error()));
    }
};

QTEST_GUILESS_MAIN(TestServiceConnection)
#include "tst_serviceconnection.moc"
