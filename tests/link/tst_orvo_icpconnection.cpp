// The register link against the module simulator, a real Modbus TCP server on 127.0.0.1.

#include "modulesimulator.h"
#include "orvo_icpconnection.h"

#include <QSignalSpy>
#include <QtTest>

#include <cstring>
#include <memory>

using Link = Orvo_ICPConnection;
using Transaction = ModuleSimulator::Transaction;

namespace {

// Every link signal in one list, so that the order across different signals can be checked.
class Recorder : public QObject
{
public:
    explicit Recorder(Link *link)
    {
        connect(link, &Link::opened, this, [this] { log << QStringLiteral("opened"); });
        connect(link, &Link::closed, this, [this] { log << QStringLiteral("closed"); });
        connect(link, &Link::error, this, [this](const QString &d) { log << "error:" + d; });
        connect(link, &Link::openOpFinished, this,
                [this] { log << QStringLiteral("openOpFinished"); });
        connect(link, &Link::module_type_change, this,
                [this](t_ORVO_Type t) { log << QStringLiteral("type:%1").arg(int(t)); });
        connect(link, &Link::readSettingsDone, this, [this](QSharedPointer<t_orvo_settings> s) {
            settings = s;
            log << QStringLiteral("settings");
        });
        connect(link, &Link::waveformReceived, this, [this](QSharedPointer<Link::Waveform> w) {
            waveform = w;
            log << QStringLiteral("waveform:%1").arg(w->points.size());
        });
        connect(link, &Link::spectrReceived, this, [this](QSharedPointer<Link::Spectr> s) {
            spectr = s;
            log << QStringLiteral("spectr:%1").arg(s->points.size());
        });
        connect(link, &Link::opStart, this, [this](const QString &op, const QString &stage) {
            log << "start:" + op + (stage.isEmpty() ? QString() : ":" + stage);
        });
        connect(link, &Link::opProgress, this, [this](uint done, uint total, const QString &stage) {
            log << QStringLiteral("progress:%1/%2:%3").arg(done).arg(total).arg(stage);
        });
        connect(link, &Link::opFinish, this,
                [this](const QString &op, bool ok, const QString &err) {
                    log << QStringLiteral("finish:%1:%2:%3")
                               .arg(op, ok ? QStringLiteral("ok") : QStringLiteral("fail"), err);
                });
        connect(link, &Link::opWfReadFinish, this, [this](const QString &op, uint ch) {
            log << QStringLiteral("wfFinish:%1:%2").arg(op).arg(ch);
        });
        connect(link, &Link::opSpectrReadFinish, this,
                [this](const QString &op, uint ch, uint type) {
                    log << QStringLiteral("spFinish:%1:%2:%3").arg(op).arg(ch).arg(type);
                });
    }

    QStringList log;
    QSharedPointer<t_orvo_settings> settings;
    QSharedPointer<Link::Waveform> waveform;
    QSharedPointer<Link::Spectr> spectr;
};

bool isProbe(const Transaction &t)
{
    return t.function == 4 && t.readAddress == 0 && t.readCount == 16;
}

} // namespace

class TestOrvoIcpConnection : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void primitivesWhileClosedSendNothing();
    void arrayChunking_data();
    void arrayChunking();
    void protocolAddressIsRegisterMinusOne_data();
    void protocolAddressIsRegisterMinusOne();
    void openRefusedIdentification();
    void openUnreachablePort();
    void openOtherTransport();
    void openOverlongHostName();
    void opensByIpv6AndHostName_data();
    void opensByIpv6AndHostName();
    void openSequenceWithConfiguration();
    void identifiesModuleKinds_data();
    void identifiesModuleKinds();
    void unsupportedTypeName_data();
    void unsupportedTypeName();
    void infoFieldsStopAtTheirOwnEnd_data();
    void infoFieldsStopAtTheirOwnEnd();
    void moduleOutsideWorkModeLeavesLinkClosed_data();
    void moduleOutsideWorkModeLeavesLinkClosed();
    void secondOpenClosesOldContextFirst();
    void missingParametersFailCleanly();
    void watchdogProbesAndDetectsLoss();
    void reconnectFromErrorHandlerStays();
    void closeReportsOnce();
    void slowAnswerFailsAfterResponseTimeout();
    void readInfo();
    void readSettingsWhileClosed();
    void writeSettingsTrafficAndCommit_data();
    void writeSettingsTrafficAndCommit();
    void writeSettingsStopsAtFirstFailedWrite();
    void readWaveformTransfers_data();
    void readWaveformTransfers();
    void readSpectrRequestBlock();
    void windowFailuresAreReported_data();
    void windowFailuresAreReported();
    void windowWhileClosed();
    void testModeKeepsLinkBootClosesIt();
    void bootWriteFailureKeepsLink();
    void rebootSequence();
    void signalTypesAreRegistered();
    void operationNamesFollowTheLanguage();

private:
    QSharedPointer<Link::ConnectionInfo> info() const;
    bool openLink(bool readCfg = false);
    QVector<Transaction> traffic() const;

    std::unique_ptr<ModuleSimulator> sim;
    std::unique_ptr<Link> link;
    std::unique_ptr<Recorder> rec;
};

void TestOrvoIcpConnection::init()
{
    sim = std::make_unique<ModuleSimulator>();
    QVERIFY2(sim->start(), qPrintable(sim->errorString()));
    link = std::make_unique<Link>();
    rec = std::make_unique<Recorder>(link.get());
}

void TestOrvoIcpConnection::cleanup()
{
    rec.reset();
    link.reset();
    sim.reset();
}

QSharedPointer<Link::ConnectionInfo> TestOrvoIcpConnection::info() const
{
    auto i = QSharedPointer<Link::ConnectionInfo>::create();
    i->ipAddr = QStringLiteral("127.0.0.1");
    i->port = sim->port();
    return i;
}

bool TestOrvoIcpConnection::openLink(bool readCfg)
{
    const bool ok = link->open(info(), readCfg);
    rec->log.clear();
    sim->clearTransactions();
    return ok;
}

// The server's log without the watchdog's probes, which may fall between two operations.
QVector<Transaction> TestOrvoIcpConnection::traffic() const
{
    QVector<Transaction> out;
    for (const auto &t : sim->transactions()) {
        if (!isProbe(t))
            out << t;
    }
    return out;
}

void TestOrvoIcpConnection::primitivesWhileClosedSendNothing()
{
    quint16 buf[3286] = {};
    QVERIFY(!link->regsRead(1, 16, buf));
    QVERIFY(!link->regsWrite(0xA000, 1, buf));
    QVERIFY(!link->regsRW(0x9000, 4, buf, 0x9000, 124, buf));
    QVERIFY(!link->regsReadArr(0xB000, 3286, buf));
    QVERIFY(!link->regsWriteArr(0xD000, 3286, buf));
    QVERIFY(!link->checkConnection());
    // Nothing to transfer is a success even while closed.
    QVERIFY(link->regsReadArr(0xB000, 0, buf));
    QVERIFY(link->regsWriteArr(0xD000, 0, buf));
    QTest::qWait(50);
    QCOMPARE(sim->acceptedCount(), 0);
    QCOMPARE(sim->transactionCount(), 0);
}

void TestOrvoIcpConnection::arrayChunking_data()
{
    QTest::addColumn<bool>("write");
    QTest::addColumn<uint>("count");
    QTest::addColumn<QVector<int>>("chunks");

    QVector<int> read3286(26, 125);
    read3286 << 36;
    QVector<int> write3286(26, 123);
    write3286 << 88;
    QTest::newRow("read whole record") << false << 3286u << read3286;
    QTest::newRow("write whole record") << true << 3286u << write3286;
    QTest::newRow("read exactly one chunk") << false << 125u << QVector<int>{125};
    QTest::newRow("read one over a chunk") << false << 126u << QVector<int>{125, 1};
    QTest::newRow("write exactly one chunk") << true << 123u << QVector<int>{123};
    QTest::newRow("write one over a chunk") << true << 124u << QVector<int>{123, 1};
    QTest::newRow("read nothing") << false << 0u << QVector<int>{};
    QTest::newRow("write nothing") << true << 0u << QVector<int>{};
}

void TestOrvoIcpConnection::arrayChunking()
{
    QFETCH(bool, write);
    QFETCH(uint, count);
    QFETCH(QVector<int>, chunks);
    QVERIFY(openLink());

    const uint base = write ? 0xD000 : 0xB000;
    QVector<quint16> data(3286);
    for (int i = 0; i < data.size(); ++i)
        data[i] = quint16(i * 7 + 3);
    QVector<quint16> got(3286);
    const bool ok = write ? link->regsWriteArr(base, count, data.constData())
                          : link->regsReadArr(base, count, got.data());
    QVERIFY(ok);

    const auto log = traffic();
    QCOMPARE(log.size(), chunks.size());
    int offset = 0;
    for (int i = 0; i < log.size(); ++i) {
        QCOMPARE(log[i].function, write ? 16 : 4);
        QCOMPARE(log[i].address, int(base - 1) + offset);
        QCOMPARE(write ? log[i].writeCount : log[i].readCount, chunks[i]);
        offset += chunks[i];
    }
    if (write) {
        t_orvo_settings area;
        sim->writeArea(area);
        QVERIFY(std::memcmp(&area, data.constData(), count * 2) == 0);
    } else {
        t_orvo_settings current;
        sim->settings(current);
        QVERIFY(std::memcmp(&current, got.constData(), count * 2) == 0);
    }
}

void TestOrvoIcpConnection::protocolAddressIsRegisterMinusOne_data()
{
    QTest::addColumn<int>("which"); // 0 read, 1 write, 2 read/write
    QTest::addColumn<uint>("reg");
    QTest::addColumn<uint>("count");

    QTest::newRow("probe at register 1") << 0 << 1u << 16u;
    QTest::newRow("mode register 97") << 0 << 97u << 1u;
    QTest::newRow("status block") << 0 << 0x400u << 125u;
    QTest::newRow("trigger word") << 1 << 0xA000u << 1u;
    QTest::newRow("waveform window") << 2 << 0x9000u << 124u;
}

void TestOrvoIcpConnection::protocolAddressIsRegisterMinusOne()
{
    QFETCH(int, which);
    QFETCH(uint, reg);
    QFETCH(uint, count);
    QVERIFY(openLink());

    quint16 buf[125] = {};
    bool ok = false;
    if (which == 0)
        ok = link->regsRead(reg, count, buf);
    else if (which == 1)
        ok = link->regsWrite(reg, count, buf);
    else
        ok = link->regsRW(reg, 4, buf, reg, count, buf);
    QVERIFY(ok);
    const auto log = sim->transactions();
    QCOMPARE(log.size(), 1);
    QCOMPARE(log[0].function, which == 0 ? 4 : which == 1 ? 16 : 23);
    QCOMPARE(log[0].address, int(reg) - 1);
    if (which == 2)
        QCOMPARE(log[0].readAddress, int(reg) - 1);
}

void TestOrvoIcpConnection::openRefusedIdentification()
{
    sim->setRefuseIdentification(true);
    QVERIFY(!link->open(info(), true));
    QCOMPARE(rec->log, QStringList({"start:Open connection", "closed",
                                    "finish:Open connection:fail:Cannot read device information"}));
    QVERIFY(!link->isConnected());
    QTRY_COMPARE(sim->clientCount(), 0);
}

void TestOrvoIcpConnection::openUnreachablePort()
{
    const quint16 port = sim->port();
    sim->stop();
    auto i = info();
    i->port = port;
    QVERIFY(!link->open(i, false));
    QCOMPARE(rec->log,
             QStringList({"start:Open connection", "closed",
                          "finish:Open connection:fail:Cannot setup connection to module"}));
}

void TestOrvoIcpConnection::openOtherTransport()
{
    auto i = info();
    i->iface = 1;
    QVERIFY(!link->open(i, false));
    QCOMPARE(rec->log, QStringList({"start:Open connection", "finish:Open connection:fail:"}));
    QCOMPARE(sim->acceptedCount(), 0);
}

void TestOrvoIcpConnection::openOverlongHostName()
{
    auto i = info();
    i->ipAddr = QString(2000, QLatin1Char('a'));
    QVERIFY(!link->open(i, false));
    QCOMPARE(rec->log,
             QStringList({"start:Open connection",
                          "finish:Open connection:fail:Cannot setup connection to module"}));
}

void TestOrvoIcpConnection::opensByIpv6AndHostName_data()
{
    QTest::addColumn<QString>("address");
    QTest::newRow("IPv6 loopback") << QStringLiteral("::1");
    QTest::newRow("host name") << QStringLiteral("localhost");
}

void TestOrvoIcpConnection::opensByIpv6AndHostName()
{
    QFETCH(QString, address);
    sim->stop();
    if (!sim->start(address, 0))
        QSKIP(qPrintable("no loopback for " + address + ": " + sim->errorString()));
    auto i = info();
    i->ipAddr = address;
    QVERIFY(link->open(i, true));
    QVERIFY(rec->settings);
}

void TestOrvoIcpConnection::openSequenceWithConfiguration()
{
    QVERIFY(link->open(info(), true));
    QCOMPARE(rec->log,
             QStringList({"start:Open connection", "type:2", "opened",
                          "finish:Open connection:ok:", "start:Read module configuration",
                          "settings", "finish:Read module configuration:ok:", "openOpFinished"}));
    QVERIFY(link->isConnected());
    QCOMPARE(link->deviceType(), ORVO_TYPE_ICP);
    QCOMPARE(link->deviceTypeName(), QStringLiteral("ORVO_ICP"));
    QCOMPARE(link->deviceInfoText(0), QStringLiteral("Sim module"));
    QCOMPARE(link->deviceInfoText(1), QStringLiteral("1.0"));
    QCOMPARE(link->deviceInfoText(2), QStringLiteral("SIM-0001"));
    QVERIFY(!link->configStatusFlag());

    t_orvo_settings expected;
    sim->settings(expected);
    QVERIFY(rec->settings);
    QVERIFY(std::memcmp(rec->settings.data(), &expected, sizeof expected) == 0);

    // Identification, mode, then the record in 27 ascending reads.
    const auto log = traffic();
    QCOMPARE(log.size(), 2 + 27);
    QCOMPARE(log[0].address, 0);
    QCOMPARE(log[0].readCount, 96);
    QCOMPARE(log[1].address, 96);
    QCOMPARE(log[1].readCount, 1);
    for (int k = 0; k < 27; ++k)
        QCOMPARE(log[2 + k].address, 0xAFFF + 125 * k);
}

void TestOrvoIcpConnection::identifiesModuleKinds_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("type");
    QTest::newRow("ICP") << int(ModuleSimulator::Kind::Icp) << int(ORVO_TYPE_ICP);
    QTest::newRow("relay") << int(ModuleSimulator::Kind::Relay) << int(ORVO_TYPE_REL);
    QTest::newRow("PROX") << int(ModuleSimulator::Kind::Prox) << int(ORVO_TYPE_PROX);
}

void TestOrvoIcpConnection::identifiesModuleKinds()
{
    QFETCH(int, kind);
    QFETCH(int, type);
    sim->resetContents(ModuleSimulator::Kind(kind));
    QSignalSpy typeSpy(link.get(), &Link::module_type_change);
    QVERIFY(link->open(info(), false));
    QCOMPARE(typeSpy.count(), 1);
    QCOMPARE(typeSpy[0][0].value<t_ORVO_Type>(), t_ORVO_Type(type));
    QVERIFY(rec->log.indexOf(QStringLiteral("type:%1").arg(type)) <
            rec->log.indexOf(QStringLiteral("opened")));
}

void TestOrvoIcpConnection::unsupportedTypeName_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::newRow("unknown name") << QByteArray("ABC");
    QTest::newRow("trailing blank") << QByteArray("ORVO_ICP ");
    QTest::newRow("lower case") << QByteArray("orvo_icp");
    QTest::newRow("prefix only") << QByteArray("ORVO_");
    QTest::newRow("empty") << QByteArray();
}

void TestOrvoIcpConnection::unsupportedTypeName()
{
    QFETCH(QByteArray, name);
    sim->setTypeName(name);
    QVERIFY(!link->open(info(), true));
    QCOMPARE(rec->log, QStringList({"start:Open connection", "closed",
                                    "finish:Open connection:fail:Unsupported device type: " +
                                        QString::fromLatin1(name)}));
    QCOMPARE(link->deviceType(), ORVO_TYPE_NONE);
    QCOMPARE(link->deviceTypeName(), QString::fromLatin1(name));
}

void TestOrvoIcpConnection::infoFieldsStopAtTheirOwnEnd_data()
{
    QTest::addColumn<int>("field");
    QTest::newRow("second field full") << 1;
    QTest::newRow("third field full") << 2;
    QTest::newRow("fourth field full") << 3;
}

void TestOrvoIcpConnection::infoFieldsStopAtTheirOwnEnd()
{
    QFETCH(int, field);
    // Every field filled to its last byte with its own letter, none ended by a NUL.
    for (int f = 1; f < 4; ++f)
        sim->setInfoField(f, f == field ? QByteArray(32, char('A' + f)) : QByteArray("short"));
    QVERIFY(link->open(info(), false));
    for (int f = 1; f < 4; ++f) {
        const QString expected =
            f == field ? QString(32, QLatin1Char(char('A' + f))) : QStringLiteral("short");
        QCOMPARE(link->deviceInfoText(f - 1), expected);
    }
}

void TestOrvoIcpConnection::moduleOutsideWorkModeLeavesLinkClosed_data()
{
    QTest::addColumn<bool>("unreadable");
    QTest::addColumn<quint16>("mode");
    QTest::addColumn<QString>("text");
    QTest::newRow("boot loader mode") << false << quint16(1) << "Device is not in work mode";
    QTest::newRow("mode zero") << false << quint16(0) << "Device is not in work mode";
    QTest::newRow("mode unreadable") << true << quint16(2) << "Cannot read device mode";
}

void TestOrvoIcpConnection::moduleOutsideWorkModeLeavesLinkClosed()
{
    QFETCH(bool, unreadable);
    QFETCH(quint16, mode);
    QFETCH(QString, text);
    sim->setMode(mode);
    if (unreadable)
        sim->addReadFailRange(97, 1);

    QVERIFY(!link->open(info(), true));
    QCOMPARE(rec->log, QStringList({"start:Open connection", "type:2", "closed",
                                    "finish:Open connection:fail:" + text}));
    QVERIFY(!link->isConnected());
    QTRY_COMPARE(sim->clientCount(), 0);
    // No watchdog was left behind, and the configuration was not read.
    QTest::qWait(1300);
    for (const auto &t : sim->transactions())
        QVERIFY(!isProbe(t) && t.readAddress != 0xAFFF);
    QCOMPARE(rec->log.size(), 4);
}

void TestOrvoIcpConnection::secondOpenClosesOldContextFirst()
{
    QVERIFY(openLink());
    QCOMPARE(sim->acceptedCount(), 1);
    QVERIFY(link->open(info(), false));
    QCOMPARE(rec->log, QStringList({"start:Open connection", "closed", "type:2", "opened",
                                    "finish:Open connection:ok:", "openOpFinished"}));
    QCOMPARE(sim->acceptedCount(), 2);
    QTRY_COMPARE(sim->clientCount(), 1);
}

void TestOrvoIcpConnection::missingParametersFailCleanly()
{
    const QString text = QStringLiteral("No connection parameters given");
    QVERIFY(!link->open({}, true));
    link->reopen();
    QElapsedTimer timer;
    timer.start();
    QVERIFY(!link->reboot());
    QVERIFY(timer.elapsed() < 4000); // no restart wait without a module to restart
    QCOMPARE(rec->log, QStringList({"start:Open connection", "finish:Open connection:fail:" + text,
                                    "start:Open connection", "finish:Open connection:fail:" + text,
                                    "start:Restart module", "finish:Restart module:fail:" + text}));
    QCOMPARE(sim->acceptedCount(), 0);

    // A null parameter record leaves an open link alone.
    QVERIFY(openLink());
    QVERIFY(!link->open({}, false));
    QVERIFY(link->isConnected());
    QVERIFY(!rec->log.contains(QStringLiteral("closed")));
}

void TestOrvoIcpConnection::watchdogProbesAndDetectsLoss()
{
    QVERIFY(openLink());
    QSignalSpy errorSpy(link.get(), &Link::error);
    QSignalSpy closedSpy(link.get(), &Link::closed);
    // A probe of registers 1-16 about every second while the module answers.
    QTRY_VERIFY_WITH_TIMEOUT(sim->transactionCount() >= 2, 3500);
    for (const auto &t : sim->transactions())
        QVERIFY(isProbe(t));
    QVERIFY(link->isConnected());

    sim->dropConnections();
    QVERIFY(errorSpy.wait(3000));
    QCOMPARE(errorSpy[0][0].toString(), QStringLiteral("Module connection lost"));
    QCOMPARE(closedSpy.count(), 1);
    QVERIFY(!link->isConnected());
    // The timer that ran the failed probe is gone without a second report or a late probe.
    const int count = sim->transactionCount();
    QTest::qWait(1500);
    QCOMPARE(closedSpy.count(), 1);
    QCOMPARE(errorSpy.count(), 1);
    QCOMPARE(sim->transactionCount(), count);
    QVERIFY(!link->checkConnection());
}

void TestOrvoIcpConnection::reconnectFromErrorHandlerStays()
{
    QVERIFY(openLink());
    connect(link.get(), &Link::error, this, [this] { link->open(info(), false); });
    sim->dropConnections();
    QTRY_VERIFY_WITH_TIMEOUT(rec->log.contains("error:Module connection lost"), 3000);
    QCOMPARE(rec->log,
             QStringList({"error:Module connection lost", "start:Open connection", "closed",
                          "type:2", "opened", "finish:Open connection:ok:", "openOpFinished"}));
    QVERIFY(link->isConnected());
    QCOMPARE(sim->acceptedCount(), 2);
}

void TestOrvoIcpConnection::closeReportsOnce()
{
    link->close();
    QCOMPARE(rec->log, QStringList({"start:Close connection", "finish:Close connection:ok:"}));
    QVERIFY(openLink());
    link->close();
    QCOMPARE(rec->log,
             QStringList({"start:Close connection", "closed", "finish:Close connection:ok:"}));
    QTRY_COMPARE(sim->clientCount(), 0);
}

void TestOrvoIcpConnection::slowAnswerFailsAfterResponseTimeout()
{
    QVERIFY(openLink());
    sim->setAnswerDelay(6000);
    QElapsedTimer timer;
    timer.start();
    quint16 mode = 0;
    QVERIFY(!link->regsRead(97, 1, &mode));
    // The link waits five seconds for an answer, and not for ever.
    QVERIFY2(timer.elapsed() >= 4900 && timer.elapsed() < 5900,
             qPrintable(QString::number(timer.elapsed())));
}

void TestOrvoIcpConnection::readInfo()
{
    QVERIFY(!link->readInfo());
    QCOMPARE(rec->log, QStringList({"start:Read device info",
                                    "finish:Read device info:ok:Cannot read device information"}));
    QVERIFY(openLink());
    QVERIFY(link->readInfo());
    QCOMPARE(rec->log,
             QStringList({"start:Read device info", "type:2", "finish:Read device info:ok:"}));

    // A connected module that stops answering the block is a reported failure.
    rec->log.clear();
    sim->setRefuseIdentification(true);
    QVERIFY(!link->readInfo());
    QCOMPARE(rec->log,
             QStringList({"start:Read device info",
                          "finish:Read device info:fail:Cannot read device information"}));
    QCOMPARE(link->deviceType(), ORVO_TYPE_ICP);
}

void TestOrvoIcpConnection::readSettingsWhileClosed()
{
    QVERIFY(!link->readSettings());
    QCOMPARE(rec->log, QStringList({"start:Read module configuration",
                                    "finish:Read module configuration:ok:"}));
    QVERIFY(!link->writeSettings(QSharedPointer<t_orvo_settings>::create()));
    QCOMPARE(sim->transactionCount(), 0);
}

void TestOrvoIcpConnection::writeSettingsTrafficAndCommit_data()
{
    QTest::addColumn<quint16>("commitStatus");
    QTest::addColumn<bool>("flag");
    QTest::newRow("module reports the commit") << quint16(1) << true;
    QTest::newRow("module reports zero") << quint16(0) << false;
}

void TestOrvoIcpConnection::writeSettingsTrafficAndCommit()
{
    QFETCH(quint16, commitStatus);
    QFETCH(bool, flag);
    sim->setCommitStatus(commitStatus);
    QVERIFY(openLink());
    const quint16 counterBefore = sim->statusWord(28);

    auto record = QSharedPointer<t_orvo_settings>::create();
    sim->settings(*record);
    record->node_id = 17;
    record->channel_mask = 0x5;
    record->channels[2].sp_disable = 1;
    std::memcpy(record->relays[7].name, "last relay", 10);
    QVERIFY(link->writeSettings(record));
    QCOMPARE(rec->log, QStringList({"start:Write module configuration",
                                    "finish:Write module configuration:ok:"}));
    QCOMPARE(link->configStatusFlag(), flag);

    const auto log = traffic();
    QCOMPARE(log.size(), 27 + 3);
    for (int k = 0; k < 27; ++k) {
        QCOMPARE(log[k].function, 16);
        QCOMPARE(log[k].writeAddress, 0xCFFF + 123 * k);
    }
    QCOMPARE(log[27].writeAddress, 0xEFFF);
    QCOMPARE(log[27].written, QVector<quint16>({0x5A54, 0x4B51}));
    QCOMPARE(log[28].writeAddress, 0xEFFF);
    QCOMPARE(log[28].written, QVector<quint16>({0x139C, 0x52E7}));
    QCOMPARE(log[29].function, 4);
    QCOMPARE(log[29].readAddress, 0xF00E);
    QCOMPARE(log[29].readCount, 1);

    // The module took the record over.
    t_orvo_settings current;
    sim->settings(current);
    QVERIFY(std::memcmp(&current, record.data(), sizeof current) == 0);
    QVERIFY(sim->statusWord(28) != counterBefore);
    QVERIFY(link->readSettings());
    QVERIFY(std::memcmp(rec->settings.data(), record.data(), sizeof current) == 0);
}

void TestOrvoIcpConnection::writeSettingsStopsAtFirstFailedWrite()
{
    QVERIFY(openLink());
    sim->setDropAfter(27); // the record goes through, the first commit word does not
    QVERIFY(!link->writeSettings(QSharedPointer<t_orvo_settings>::create()));
    QCOMPARE(rec->log, QStringList({"start:Write module configuration",
                                    "finish:Write module configuration:fail:"}));
    const auto log = traffic();
    QCOMPARE(log.size(), 28);
    QCOMPARE(log.last().outcome, Transaction::Dropped);
    QCOMPARE(log.last().writeAddress, 0xEFFF);
    QCOMPARE(sim->commitCount(), 0);
}

void TestOrvoIcpConnection::readWaveformTransfers_data()
{
    QTest::addColumn<quint32>("points");
    QTest::addColumn<QVector<int>>("reads");
    QTest::newRow("no points") << 0u << QVector<int>{};
    QTest::newRow("one full transfer") << 60u << QVector<int>{124};
    QTest::newRow("two full and a part") << 150u << QVector<int>{124, 124, 64};
    QTest::newRow("one point") << 1u << QVector<int>{6};
}

void TestOrvoIcpConnection::readWaveformTransfers()
{
    QFETCH(quint32, points);
    QFETCH(QVector<int>, reads);
    const int ch = 1;
    const uint id = 0x1234;
    sim->setWaveformPoints(ch, points);
    QVERIFY(openLink());

    QVERIFY(link->readWaveform(ch, id));
    QCOMPARE(rec->log,
             QStringList({"start:Read waveform", QStringLiteral("waveform:%1").arg(points),
                          "finish:Read waveform:ok:", "wfFinish:Read waveform:1"}));

    const auto log = traffic();
    QCOMPARE(log.size(), 2 + reads.size());
    QCOMPARE(log[0].function, 16);
    QCOMPARE(log[0].writeAddress, 0x8FFF);
    QCOMPARE(log[0].written, QVector<quint16>({1, 0x1234, 0, 0}));
    QCOMPARE(log[1].function, 4);
    QCOMPARE(log[1].readAddress, 0x90FF);
    QCOMPARE(log[1].readCount, 125);
    for (int i = 0; i < reads.size(); ++i) {
        const auto &t = log[2 + i];
        QCOMPARE(t.function, 23);
        QCOMPARE(t.writeAddress, 0x8FFF);
        QCOMPARE(t.readAddress, 0x8FFF);
        QCOMPARE(t.readCount, reads[i]);
        QCOMPARE(t.written, QVector<quint16>({1, 0x1234, quint16(60 * i), 0}));
    }

    const auto wf = rec->waveform;
    QVERIFY(wf);
    QCOMPARE(wf->header[0], quint16(ch));
    QCOMPARE(wf->header[1], quint16(id));
    QCOMPARE(quint32(wf->header[2]) | (quint32(wf->header[3]) << 16), points);
    QCOMPARE(wf->header[124], quint16(0x5A00 + 124));
    QCOMPARE(quint32(wf->points.size()), points);
    for (quint32 i = 0; i < points; ++i)
        QCOMPARE(wf->points[int(i)], ModuleSimulator::pointValue(false, ch, quint16(id), i));
}

void TestOrvoIcpConnection::readSpectrRequestBlock()
{
    sim->setSpectrumPoints(2, 70);
    QVERIFY(openLink());
    QSignalSpy finishSpy(link.get(), &Link::opSpectrReadFinish);
    QVERIFY(link->readSpectr(2, 1));
    QCOMPARE(rec->log, QStringList({"start:Read spectr", "spectr:70",
                                    "finish:Read spectr:ok:", "spFinish:Read spectr:2:1"}));
    QCOMPARE(finishSpy.count(), 1);
    QCOMPARE(finishSpy[0][0].toString(), link->opSpectrRead());
    QCOMPARE(finishSpy[0][1].toUInt(), 2u);
    QCOMPARE(finishSpy[0][2].toUInt(), 1u);

    const auto log = traffic();
    QCOMPARE(log.size(), 4);
    QCOMPARE(log[0].writeAddress, 0x91FF);
    QCOMPARE(log[0].written, QVector<quint16>({2, 1, 0, 0}));
    QCOMPARE(log[1].readAddress, 0x92FF);
    QCOMPARE(log[3].written, QVector<quint16>({2, 1, 60, 0}));
    QCOMPARE(log[3].readCount, 4 + 2 * 10);
    for (int i = 0; i < 70; ++i)
        QCOMPARE(rec->spectr->points[i], ModuleSimulator::pointValue(true, 2, 1, quint32(i)));
}

void TestOrvoIcpConnection::windowFailuresAreReported_data()
{
    QTest::addColumn<int>("fault");
    QTest::addColumn<quint32>("headerCount");
    QTest::addColumn<int>("transfers"); // function-23 transactions expected

    enum { HeaderUnreadable, TransferFails, WrongEcho, HeaderCount };
    QTest::newRow("header unreadable") << int(HeaderUnreadable) << 0u << 0;
    QTest::newRow("first transfer fails") << int(TransferFails) << 0u << 1;
    QTest::newRow("wrong echo in second transfer") << int(WrongEcho) << 0u << 2;
    QTest::newRow("count negative as signed") << int(HeaderCount) << 0xFFFFFFFFu << 0;
    QTest::newRow("count at sign bit") << int(HeaderCount) << 0x80000000u << 0;
    QTest::newRow("count above the bound") << int(HeaderCount) << Link::MaxPoints + 1 << 0;
}

void TestOrvoIcpConnection::windowFailuresAreReported()
{
    QFETCH(int, fault);
    QFETCH(quint32, headerCount);
    QFETCH(int, transfers);
    sim->setWaveformPoints(0, 150);
    sim->setSpectrumPoints(0, 150);
    switch (fault) {
    case 0:
        sim->addReadFailRange(0x9100, 125);
        sim->addReadFailRange(0x9300, 125);
        break;
    case 1:
        sim->addReadFailRange(0x9000, 1);
        sim->addReadFailRange(0x9200, 1);
        break;
    case 2:
        sim->setWrongEcho(1);
        break;
    default:
        sim->setHeaderPointCountOverride(true, headerCount);
        break;
    }
    QVERIFY(openLink());

    QVERIFY(!link->readWaveform(0, 5));
    QCOMPARE(rec->log, QStringList({"start:Read waveform",
                                    "finish:Read waveform:fail:", "wfFinish:Read waveform:0"}));
    int rw = 0;
    for (const auto &t : traffic())
        rw += t.function == 23;
    QCOMPARE(rw, transfers);

    rec->log.clear();
    sim->clearTransactions();
    sim->setWrongEcho(fault == 2 ? 1 : -1);
    QVERIFY(!link->readSpectr(0, 1));
    QCOMPARE(rec->log, QStringList({"start:Read spectr",
                                    "finish:Read spectr:fail:", "spFinish:Read spectr:0:1"}));
    QVERIFY(link->isConnected());
}

void TestOrvoIcpConnection::windowWhileClosed()
{
    QVERIFY(!link->readWaveform(3, 1));
    QVERIFY(!link->readSpectr(3, 0));
    QCOMPARE(rec->log, QStringList({"start:Read waveform", "finish:Read waveform:ok:",
                                    "wfFinish:Read waveform:3", "start:Read spectr",
                                    "finish:Read spectr:ok:", "spFinish:Read spectr:3:0"}));
}

void TestOrvoIcpConnection::testModeKeepsLinkBootClosesIt()
{
    QVERIFY(!link->enterTestMode());
    QVERIFY(!link->enterBoot());
    QVERIFY(rec->log.isEmpty());

    QVERIFY(openLink());
    QVERIFY(link->enterTestMode());
    QVERIFY(link->isConnected());
    QCOMPARE(sim->testModeCount(), 1);
    QVERIFY(rec->log.isEmpty());
    const auto log = traffic();
    QCOMPARE(log.size(), 1);
    QCOMPARE(log[0].writeAddress, 0xFF03);
    // "PWJQZXMV", first character of each pair in the low byte.
    QCOMPARE(log[0].written, QVector<quint16>({0x5750, 0x514A, 0x585A, 0x564D}));

    sim->clearTransactions();
    QVERIFY(link->enterBoot());
    QCOMPARE(rec->log, QStringList({"closed"}));
    QVERIFY(!link->isConnected());
    QCOMPARE(sim->bootCount(), 1);
    QCOMPARE(traffic()[0].written, QVector<quint16>({0x584B, 0x5A51, 0x524A, 0x4456}));
}

void TestOrvoIcpConnection::bootWriteFailureKeepsLink()
{
    QVERIFY(openLink());
    sim->setDropAfter(0);
    QVERIFY(!link->enterBoot());
    QVERIFY(rec->log.isEmpty());
    QCOMPARE(sim->bootCount(), 0);
}

void TestOrvoIcpConnection::rebootSequence()
{
    sim->setRestartTime(300);
    QVERIFY(openLink(true));
    QElapsedTimer timer;
    timer.start();
    QVERIFY(link->reboot());
    QVERIFY(timer.elapsed() >= 8000);
    // The stored flag asks for a configuration read, but the restart does not run it.
    QCOMPARE(rec->log,
             QStringList({"start:Restart module", "progress:10/500:Close connection", "closed",
                          "progress:15/500:Wait...", "progress:50/500:Open connection", "type:2",
                          "opened", "finish:Restart module:ok:"}));
    QCOMPARE(sim->restartCount(), 1);
    QCOMPARE(sim->acceptedCount(), 2);
    QVERIFY(link->isConnected());
    QCOMPARE(traffic()[0].written, QVector<quint16>({0x584B, 0x5A51, 0x574D, 0x4150}));
}

void TestOrvoIcpConnection::signalTypesAreRegistered()
{
    for (const char *name : {"t_ORVO_Type", "QSharedPointer<t_orvo_settings>",
                             "QSharedPointer<Orvo_ICPConnection::Waveform>",
                             "QSharedPointer<Orvo_ICPConnection::Spectr>",
                             "QSharedPointer<Orvo_ICPConnection::ConnectionInfo>"})
        QVERIFY2(QMetaType::type(name) != QMetaType::UnknownType, name);

    // A holder on another thread gets the record through a queued connection.
    QThread thread;
    QObject receiver;
    receiver.moveToThread(&thread);
    std::atomic<int> received{0};
    connect(
        link.get(), &Link::readSettingsDone, &receiver,
        [&received](QSharedPointer<t_orvo_settings> s) { received += s ? 1 : 0; },
        Qt::QueuedConnection);
    thread.start();
    QVERIFY(openLink());
    QVERIFY(link->readSettings());
    QTRY_COMPARE(received.load(), 1);
    thread.quit();
    thread.wait();
}

void TestOrvoIcpConnection::operationNamesFollowTheLanguage()
{
    QTranslator russian;
    QVERIFY(russian.load(QStringLiteral(ORVO_TEST_LINK_QM)));
    QCoreApplication::installTranslator(&russian);
    QVERIFY(openLink());
    sim->setWaveformPoints(0, 0);
    QVERIFY(link->readWaveform(0, 1));
    QCoreApplication::removeTranslator(&russian);

    const QString name = QString::fromUtf8("Чтение осциллограммы");
    QCOMPARE(rec->log, QStringList({"start:" + name, "waveform:0",
                                    "finish:" + name + ":ok:", "wfFinish:" + name + ":0"}));
    QCOMPARE(link->opWaveformRead(), QStringLiteral("Read waveform"));
}

QTEST_GUILESS_MAIN(TestOrvoIcpConnection)
#include "tst_orvo_icpconnection.moc"
