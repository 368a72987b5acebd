// The register link against the module simulator, a real Modbus TCP server on 127.0.0.1.

#include "modulefixture.h"

#include <QtTest>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>

using Link = Orvo_ICPConnection;
using Sim = ModuleSimulator;
using Words = QVector<quint16>;
constexpr int TestWatchdogMs = ModuleFixture::WatchdogMs;
constexpr int TestRestartWaitMs = ModuleFixture::RestartWaitMs;
// A fault put into the simulator or the connection parameters before the operation.
using Setup = std::function<void(Sim &, Link::ConnectionInfo &)>;
Q_DECLARE_METATYPE(Setup)

class TestOrvoIcpConnection : public QObject
{
    Q_OBJECT

    std::unique_ptr<ModuleFixture> module;
    Sim *sim = nullptr;
    Link *link = nullptr;
    // Every link signal in one list, so that the order across different signals is checked.
    QStringList log;
    QSharedPointer<t_orvo_settings> settings;
    Words header;
    QVector<quint32> points;

    void keep(const char *what, const quint16 *h, const QVector<quint32> &p)
    {
        header = Words(h, h + 125);
        points = p;
        log << QString("%1:%2").arg(what).arg(p.size());
    }

    QSharedPointer<Link::ConnectionInfo> info() const { return module->info(); }

    bool openLink(bool readCfg = false)
    {
        const bool ok = link->open(info(), readCfg);
        log.clear();
        sim->clearTransactions();
        return ok;
    }

    static bool isProbe(const Sim::Transaction &t)
    {
        return t.function == 4 && t.readAddress == 0 && t.readCount == 16;
    }

    // The server's log without the watchdog's probes, which may fall between two operations.
    QVector<Sim::Transaction> traffic() const
    {
        auto out = sim->transactions();
        out.erase(std::remove_if(out.begin(), out.end(), isProbe), out.end());
        return out;
    }

private slots:
    void init()
    {
        module = std::make_unique<ModuleFixture>();
        QVERIFY2(module->start(), qPrintable(module->errorString()));
        sim = &module->sim();
        link = &module->link();
        log.clear();
        Link *l = link;
        connect(l, &Link::opened, this, [this] { log << "opened"; });
        connect(l, &Link::closed, this, [this] { log << "closed"; });
        connect(l, &Link::error, this, [this](const QString &d) { log << "error:" + d; });
        connect(l, &Link::openOpFinished, this, [this] { log << "openOpFinished"; });
        connect(l, &Link::module_type_change, this,
                [this](int t) { log << QString("type:%1").arg(t); });
        connect(l, &Link::readSettingsDone, this, [this](QSharedPointer<t_orvo_settings> s) {
            settings = s;
            log << "settings";
        });
        connect(l, &Link::waveformReceived, this, [this](QSharedPointer<Link::Waveform> w) {
            keep("waveform", w->header, w->points);
        });
        connect(l, &Link::spectrReceived, this,
                [this](QSharedPointer<Link::Spectr> s) { keep("spectr", s->header, s->points); });
        connect(l, &Link::opStart, this, [this](QString o, QString s) {
            log << "start:" + o + (s.isEmpty() ? s : ":" + s);
        });
        connect(l, &Link::opProgress, this, [this](uint d, uint t, QString s) {
            log << QString("progress:%1/%2:%3").arg(d).arg(t).arg(s);
        });
        connect(l, &Link::opFinish, this, [this](QString o, bool ok, QString e) {
            log << QString("finish:%1:%2:%3").arg(o, ok ? "ok" : "fail", e);
        });
        connect(l, &Link::opWfReadFinish, this,
                [this](QString o, uint ch) { log << QString("wfFinish:%1:%2").arg(o).arg(ch); });
        connect(l, &Link::opSpectrReadFinish, this, [this](QString o, uint ch, uint type) {
            log << QString("spFinish:%1:%2:%3").arg(o).arg(ch).arg(type);
        });
    }

    void cleanup() { module.reset(); }

    void productPacing()
    {
        Link product;
        QCOMPARE(product.restartWait(), 8000);
        auto i = info();
        QVERIFY(product.open(i, false));
        const auto timers = product.findChildren<QTimer *>();
        QCOMPARE(timers.size(), 1);
        QCOMPARE(timers[0]->interval(), 1000);
        QVERIFY(timers[0]->isSingleShot());
    }

    void primitivesWhileClosedSendNothing()
    {
        quint16 buf[3286] = {};
        QVERIFY(!link->regsRead(1, 16, buf));
        QVERIFY(!link->regsWrite(0xA000, 1, buf));
        QVERIFY(!link->regsRW(0x9000, 4, buf, 0x9000, 124, buf));
        QVERIFY(!link->regsReadArr(0xB000, 3286, buf));
        QVERIFY(!link->regsWriteArr(0xD000, 3286, buf));
        QVERIFY(!link->checkConnection());
        QTest::qWait(50);
        QCOMPARE(sim->acceptedCount(), 0);
        QCOMPARE(sim->transactionCount(), 0);
    }

    void openFailures_data()
    {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<QStringList>("expected");
        const QString start = "start:Open connection", fail = "finish:Open connection:fail:";
        QTest::newRow("identification refused")
            << Setup([](Sim &s, auto &) { s.setRefuseIdentification(true); })
            << QStringList{start, "closed", fail + "Cannot read device information"};
        QTest::newRow("nothing listens")
            << Setup([](Sim &s, auto &) { s.stop(); })
            << QStringList{start, "closed",
                           fail + "Cannot setup connection to module: connection refused"};
        // A label longer than 63 bytes fails in the resolver itself: no query leaves the machine.
        const QString noSuchHost = QString(64, 'x') + ".invalid";
        QTest::newRow("unknown host")
            << Setup([noSuchHost](Sim &, auto &i) { i.ipAddr = noSuchHost; })
            << QStringList{start, "closed",
                           fail + "Cannot setup connection to module: unknown host " + noSuchHost};
        QTest::newRow("overlong host name")
            << Setup([](Sim &, auto &i) { i.ipAddr = QString(2000, 'a'); })
            << QStringList{start, fail + "Cannot setup connection to module"};
        QTest::newRow("boot loader mode")
            << Setup([](Sim &s, auto &) { s.setMode(Sim::BootMode); })
            << QStringList{start, "type:2", "closed", fail + "Device is not in work mode"};
        QTest::newRow("mode unreadable")
            << Setup([](Sim &s, auto &) { s.addReadFailRange(Sim::ModeRegister, 1); })
            << QStringList{start, "type:2", "closed", fail + "Cannot read device mode"};
    }

    void openFailures()
    {
        QFETCH(Setup, setup);
        QFETCH(QStringList, expected);
        auto i = info();
        setup(*sim, *i);
        QVERIFY(!link->open(i, true));
        QCOMPARE(log, expected);
        QTRY_COMPARE(sim->clientCount(), 0);
        // A module dropped after identification leaves no watchdog behind and is not read.
        if (expected.contains("type:2"))
            QTest::qWait(3 * TestWatchdogMs);
        for (const auto &t : sim->transactions())
            QVERIFY(!isProbe(t) && t.readAddress != 0xAFFF);
        QCOMPARE(log, expected);
    }

    void openSequenceWithConfiguration()
    {
        // Full text fields carry no NUL; each ends at its own 32 bytes, not in the next field.
        sim->setInfoField(1, QByteArray(32, 'B'));
        sim->setInfoField(2, QByteArray(32, 'C'));
        sim->setInfoField(3, "short");
        QVERIFY(link->open(info(), true));
        QCOMPARE(log, QStringList({"start:Open connection", "type:2", "opened",
                                   "finish:Open connection:ok:", "start:Read module configuration",
                                   "settings",
                                   "finish:Read module configuration:ok:", "openOpFinished"}));
        QCOMPARE(link->deviceInfoText(0), QString(32, 'B'));
        QCOMPARE(link->deviceInfoText(1), QString(32, 'C'));
        QCOMPARE(link->deviceInfoText(2), QStringLiteral("short"));
        t_orvo_settings expected;
        sim->settings(expected);
        QVERIFY(std::memcmp(settings.data(), &expected, sizeof expected) == 0);

        // Identification, mode, then the record in 27 ascending reads, 26 x 125 + 36; protocol
        // addresses are one below the register numbers.
        const auto tx = traffic();
        QCOMPARE(tx.size(), 2 + 27);
        QCOMPARE(tx[0].address, 0);
        QCOMPARE(tx[0].readCount, 96);
        QCOMPARE(tx[1].address, 96);
        for (int k = 0; k < 27; ++k)
            QCOMPARE(tx[2 + k].address, 0xAFFF + 125 * k);
        QCOMPARE(tx.last().readCount, 36);

        // A null record leaves the open link alone; a second open closes the old context first.
        log.clear();
        QVERIFY(!link->open({}, false));
        QVERIFY(link->open(info(), false));
        QCOMPARE(log, QStringList({"start:Open connection",
                                   "finish:Open connection:fail:No connection parameters given",
                                   "start:Open connection", "closed", "type:2", "opened",
                                   "finish:Open connection:ok:", "openOpFinished"}));
        QCOMPARE(sim->acceptedCount(), 2);
        QTRY_COMPARE(sim->clientCount(), 1);
    }

    void missingParametersBeforeOpenFailCleanly()
    {
        const QString text = QStringLiteral("No connection parameters given");
        // With the product's wait, so that a restart wait taken by mistake shows.
        link->setPacingForTest(Link::WatchdogIntervalMs, Link::RestartWaitMs);
        QVERIFY(!link->open({}, true));
        link->reopen();
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!link->reboot());
        QVERIFY(timer.elapsed() < 4000); // no restart wait without a module to restart
        QCOMPARE(log, QStringList({"start:Open connection", "finish:Open connection:fail:" + text,
                                   "start:Open connection", "finish:Open connection:fail:" + text,
                                   "start:Restart module", "finish:Restart module:fail:" + text}));
        QCOMPARE(sim->acceptedCount(), 0);
    }

    void watchdogDetectsLoss_data()
    {
        QTest::addColumn<bool>("reconnect");
        QTest::addColumn<QStringList>("expected");
        const QString lost = "error:Module connection lost";
        QTest::newRow("link closes") << false << QStringList{lost, "closed"};
        // The new connection opened from the handler stays.
        QTest::newRow("holder reconnects from error()")
            << true
            << QStringList{lost,     "start:Open connection",      "closed",        "type:2",
                           "opened", "finish:Open connection:ok:", "openOpFinished"};
    }

    void watchdogDetectsLoss()
    {
        QFETCH(bool, reconnect);
        QFETCH(QStringList, expected);
        QVERIFY(openLink());
        if (reconnect)
            connect(link, &Link::error, this, [this] { link->open(info(), false); });
        // A probe of registers 1-16 at every watchdog interval while the module answers.
        QTRY_VERIFY(sim->transactionCount() >= 2);
        QVERIFY(traffic().isEmpty());
        sim->dropConnections();
        QTRY_VERIFY(!log.isEmpty());
        QCOMPARE(log, expected);
        QCOMPARE(link->isConnected(), reconnect);
        QCOMPARE(sim->acceptedCount(), reconnect ? 2 : 1);
        if (reconnect)
            return;
        // The timer that ran the failed probe is gone without a second report or a late probe.
        const int count = sim->transactionCount();
        QTest::qWait(3 * TestWatchdogMs);
        QCOMPARE(log.size(), 2);
        QCOMPARE(sim->transactionCount(), count);
    }

    void writeSettingsTrafficAndCommit_data()
    {
        QTest::addColumn<quint16>("commitStatus");
        QTest::newRow("module reports the commit") << quint16(1);
        QTest::newRow("module reports zero") << quint16(0);
    }

    void writeSettingsTrafficAndCommit()
    {
        QFETCH(quint16, commitStatus);
        sim->setCommitStatus(commitStatus);
        QVERIFY(openLink());
        auto record = QSharedPointer<t_orvo_settings>::create();
        sim->settings(*record);
        record->node_id = 17;
        std::memcpy(record->relays[7].name, "last relay", 10);
        QVERIFY(link->writeSettings(record));
        QCOMPARE(log, QStringList({"start:Write module configuration",
                                   "finish:Write module configuration:ok:"}));
        QCOMPARE(link->configStatusFlag(), commitStatus != 0);

        // The record as 26 x 123 + 88, the two commit words in order, then the status read.
        const auto tx = traffic();
        QCOMPARE(tx.size(), 27 + 3);
        for (int k = 0; k < 27; ++k)
            QCOMPARE(tx[k].writeAddress, 0xCFFF + 123 * k);
        QCOMPARE(tx[26].writeCount, 88);
        QCOMPARE(tx[27].writeAddress, 0xEFFF);
        QCOMPARE(tx[27].written, Words({0x5A54, 0x4B51}));
        QCOMPARE(tx[28].writeAddress, 0xEFFF);
        QCOMPARE(tx[28].written, Words({0x139C, 0x52E7}));
        QCOMPARE(tx[29].readAddress, 0xF00E);
        t_orvo_settings current;
        sim->settings(current);
        QVERIFY(std::memcmp(&current, record.data(), sizeof current) == 0);

        // A write that fails is reported, and nothing more is committed.
        sim->setDropAfter(27);
        QVERIFY(!link->writeSettings(record));
        QCOMPARE(log.last(), QStringLiteral("finish:Write module configuration:fail:"));
        QCOMPARE(sim->commitCount(), 1);
    }

    void readThroughWindow_data()
    {
        QTest::addColumn<bool>("spectrum");
        QTest::addColumn<quint32>("count");
        QTest::addColumn<QVector<int>>("reads");
        QTest::newRow("waveform of no points") << false << 0u << QVector<int>{};
        QTest::newRow("waveform of one full transfer") << false << 60u << QVector<int>{124};
        QTest::newRow("waveform of two transfers and a part")
            << false << 150u << QVector<int>{124, 124, 64};
        QTest::newRow("spectrum of 70 points") << true << 70u << QVector<int>{124, 24};
    }

    void readThroughWindow()
    {
        QFETCH(bool, spectrum);
        QFETCH(quint32, count);
        QFETCH(QVector<int>, reads);
        const quint16 sel = spectrum ? 1 : 0x1234;
        spectrum ? sim->setSpectrumPoints(1, count) : sim->setWaveformPoints(1, count);
        QVERIFY(openLink());
        QVERIFY(spectrum ? link->readSpectr(1, sel) : link->readWaveform(1, sel));
        const QString op = spectrum ? "Read spectr" : "Read waveform";
        QCOMPARE(
            log,
            QStringList({"start:" + op, QString(spectrum ? "spectr:%1" : "waveform:%1").arg(count),
                         "finish:" + op + ":ok:",
                         spectrum ? "spFinish:" + op + ":1:1" : "wfFinish:" + op + ":1"}));

        // Request, header, then the transfers, each echoing the request with its offset.
        const int window = spectrum ? 0x91FF : 0x8FFF;
        const auto tx = traffic();
        QCOMPARE(tx.size(), 2 + reads.size());
        QCOMPARE(tx[0].writeAddress, window);
        QCOMPARE(tx[0].written, Words({1, sel, 0, 0}));
        QCOMPARE(tx[1].readAddress, window + 0x100);
        QCOMPARE(tx[1].readCount, 125);
        for (int i = 0; i < reads.size(); ++i) {
            QCOMPARE(tx[2 + i].function, 23);
            QCOMPARE(tx[2 + i].readCount, reads[i]);
            QCOMPARE(tx[2 + i].written, Words({1, sel, quint16(60 * i), 0}));
        }
        QCOMPARE(header.mid(0, 4), Words({1, sel, quint16(count), quint16(count >> 16)}));
        QCOMPARE(quint32(points.size()), count);
        for (quint32 i = 0; i < count; ++i)
            QCOMPARE(points[int(i)], Sim::pointValue(spectrum, 1, sel, i));
    }

    void windowFailuresAreReported_data()
    {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<int>("transfers"); // function-23 transactions expected
        auto count = [](quint32 n) {
            return Setup([n](Sim &s, auto &) { s.setHeaderPointCountOverride(true, n); });
        };
        auto failing = [](uint reg, uint n) {
            return Setup([=](Sim &s, auto &) {
                s.addReadFailRange(reg, n);
                s.addReadFailRange(reg + 0x200, n); // the same part of the spectrum window
            });
        };
        QTest::newRow("header unreadable") << failing(Sim::WaveformHeader, 125) << 0;
        QTest::newRow("first transfer fails") << failing(Sim::WaveformWindow, 1) << 1;
        QTest::newRow("wrong echo in second transfer")
            << Setup([](Sim &s, auto &) { s.setWrongEcho(1); }) << 2;
        QTest::newRow("count negative as signed") << count(0xFFFFFFFFu) << 0;
        QTest::newRow("count above the bound") << count(Link::MaxPoints + 1) << 0;
    }

    void windowFailuresAreReported()
    {
        QFETCH(Setup, setup);
        sim->setWaveformPoints(0, 150);
        sim->setSpectrumPoints(0, 150);
        setup(*sim, *info());
        QVERIFY(openLink());

        QVERIFY(!link->readWaveform(0, 5));
        QCOMPARE(log, QStringList({"start:Read waveform",
                                   "finish:Read waveform:fail:", "wfFinish:Read waveform:0"}));
        const auto tx = traffic();
        QTEST(int(std::count_if(tx.begin(), tx.end(), [](auto &t) { return t.function == 23; })),
              "transfers");

        log.clear();
        setup(*sim, *info()); // restarts the count of good echoes
        QVERIFY(!link->readSpectr(0, 1));
        QCOMPARE(log, QStringList({"start:Read spectr",
                                   "finish:Read spectr:fail:", "spFinish:Read spectr:0:1"}));
        QVERIFY(link->isConnected());
    }

    void serviceRequests_data()
    {
        QTest::addColumn<bool>("boot");
        QTest::addColumn<bool>("writeFails");
        QTest::addColumn<Words>("signature");
        QTest::addColumn<bool>("stillOpen");

        const Words testMode{0x5750, 0x514A, 0x585A, 0x564D};   // "PWJQZXMV" at 0xFF04
        const Words bootLoader{0x584B, 0x5A51, 0x524A, 0x4456}; // "KXQZJRVD" at 0xFF00
        QTest::newRow("test mode keeps the link") << false << false << testMode << true;
        QTest::newRow("boot loader closes the link") << true << false << bootLoader << false;
        QTest::newRow("failed boot request keeps the link") << true << true << bootLoader << true;
    }

    void serviceRequests()
    {
        QFETCH(bool, boot);
        QFETCH(bool, writeFails);
        QFETCH(Words, signature);
        QFETCH(bool, stillOpen);

        QVERIFY(openLink());
        if (writeFails)
            sim->setDropAfter(0);
        QCOMPARE(boot ? link->enterBoot() : link->enterTestMode(), !writeFails);
        QCOMPARE(link->isConnected(), stillOpen);
        QCOMPARE(log, stillOpen ? QStringList() : QStringList{"closed"});
        const Sim::Transaction request = traffic().value(0);
        QCOMPARE(request.writeAddress, boot ? 0xFF00 - 1 : 0xFF04 - 1);
        if (!writeFails)
            QCOMPARE(request.written, signature);
    }

    void rebootSequence()
    {
        sim->setRestartTime(TestRestartWaitMs / 3);
        QVERIFY(openLink(true));
        QElapsedTimer timer;
        timer.start();
        QVERIFY(link->reboot());
        QVERIFY(timer.elapsed() >= TestRestartWaitMs);
        // The stored flag asks for a configuration read, but the restart does not run it.
        QCOMPARE(log,
                 QStringList({"start:Restart module", "progress:10/500:Close connection", "closed",
                              "progress:15/500:Wait...", "progress:50/500:Open connection",
                              "type:2", "opened", "finish:Restart module:ok:"}));
        QCOMPARE(sim->acceptedCount(), 2);
        QCOMPARE(traffic().value(0).written, Words({0x584B, 0x5A51, 0x574D, 0x4150}));
    }

    void operationNamesFollowTheLanguage()
    {
        QTranslator russian;
        QVERIFY(russian.load(QStringLiteral(ORVO_TEST_LINK_QM)));
        QCoreApplication::installTranslator(&russian);
        link->readWaveform(0, 1); // closed: only the operation's signals
        QCoreApplication::removeTranslator(&russian);
        const QString name = QString::fromUtf8("Чтение осциллограммы");
        QCOMPARE(log, QStringList(
                          {"start:" + name, "finish:" + name + ":ok:", "wfFinish:" + name + ":0"}));
    }
};

QTEST_GUILESS_MAIN(TestOrvoIcpConnection)
#include "tst_orvo_icpconnection.moc"
