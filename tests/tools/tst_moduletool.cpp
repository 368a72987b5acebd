// orvo-module-tool end to end: the built executable, run with QProcess, against the module
// simulator serving on an ephemeral port of 127.0.0.1 in this process.

#include "modulesimulator.h"
#include "t_orvo_settings.h"

#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>

Q_DECLARE_METATYPE(ModuleSimulator::Kind)

namespace {

using Sim = ModuleSimulator;

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

Run runTool(quint16 port, const QStringList &args, int timeoutMs = 30000)
{
    QProcess p;
    p.start(QStringLiteral(ORVO_MODULE_TOOL),
            QStringList{QStringLiteral("--port"), QString::number(port)} + args);
    Run r;
    if (!p.waitForStarted() || !p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        r.err = QStringLiteral("tool did not finish");
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

// A port on which nothing listens.
quint16 closedPort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost);
    return server.serverPort();
}

QByteArray imageOf(const t_orvo_settings &s)
{
    return QByteArray(reinterpret_cast<const char *>(&s), sizeof s);
}

QString expectedCsv(bool spectrum, int ch, quint16 selector, quint32 count)
{
    QString csv = QStringLiteral("index,value,hex\n");
    for (quint32 i = 0; i < count; ++i) {
        const quint32 v = Sim::pointValue(spectrum, ch, selector, i);
        csv += QStringLiteral("%1,%2,0x%3\n").arg(i).arg(v).arg(v, 8, 16, QLatin1Char('0'));
    }
    return csv;
}

} // namespace

class TestModuleTool : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void info_data();
    void info();
    void failures_data();
    void failures();
    void usageErrors_data();
    void usageErrors();
    void configRoundTrip();
    void wrongSizeConfigRefused_data();
    void wrongSizeConfigRefused();
    void pointsCsv_data();
    void pointsCsv();
    void serviceRequests();
    void restart();
    void watch();
    void watchEndsWhenModuleIsLost();

private:
    std::unique_ptr<Sim> sim;
    QTemporaryDir dir;
};

void TestModuleTool::init()
{
    sim = std::make_unique<Sim>(Sim::Kind::Icp);
    QVERIFY(sim->start());
}

void TestModuleTool::cleanup()
{
    sim.reset();
}

void TestModuleTool::info_data()
{
    QTest::addColumn<Sim::Kind>("kind");
    QTest::addColumn<QByteArray>("serial");
    QTest::addColumn<QString>("expected");

    QTest::newRow("ICP module")
        << Sim::Kind::Icp << QByteArray("SN-0042")
        << "type: ORVO_ICP (2)\ntext 2: Sim module\ntext 3: 1.0\ntext 4: SN-0042\n";
    QTest::newRow("relay module")
        << Sim::Kind::Relay << QByteArray()
        << "type: ORVO_REL (3)\ntext 2: Sim module\ntext 3: 1.0\ntext 4: \n";
    QTest::newRow("PROX module")
        << Sim::Kind::Prox << QByteArray("X")
        << "type: ORVO_PROX (4)\ntext 2: Sim module\ntext 3: 1.0\ntext 4: X\n";
}

void TestModuleTool::info()
{
    QFETCH(Sim::Kind, kind);
    QFETCH(QByteArray, serial);
    QFETCH(QString, expected);

    sim->resetContents(kind);
    sim->setInfoField(3, serial);
    const Run r = runTool(sim->port(), {QStringLiteral("info")});
    QCOMPARE(r.err, QString());
    QCOMPARE(r.out, expected);
    QCOMPARE(r.exitCode, 0);
}

void TestModuleTool::failures_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");

    QTest::newRow("unreachable module")
        << "closed port" << QStringList{"info"} << "Cannot setup connection to module";
    QTest::newRow("unsupported module")
        << "type ABC" << QStringList{"info"} << "Unsupported device type: ABC";
    QTest::newRow("identification refused")
        << "refuse identification" << QStringList{"info"} << "Cannot read device information";
    QTest::newRow("not in work mode, info")
        << "test mode" << QStringList{"info"} << "Device is not in work mode";
    QTest::newRow("not in work mode, waveform")
        << "test mode" << QStringList{"waveform", "0", "1"} << "Device is not in work mode";
    QTest::newRow("waveform header unreadable")
        << "header unreadable" << QStringList{"waveform", "1", "1"}
        << "no waveform 1 of channel 1 was delivered";
    QTest::newRow("spectrum with a wrong echo")
        << "wrong echo" << QStringList{"spectrum", "0", "0"}
        << "no spectrum of type 0 of channel 0 was delivered";
    QTest::newRow("configuration unreadable")
        << "settings unreadable" << QStringList{"read-config", "out.bin"}
        << "Read module configuration failed";
}

void TestModuleTool::failures()
{
    QFETCH(QString, fault);
    QFETCH(QStringList, args);
    QFETCH(QString, message);

    quint16 port = sim->port();
    if (fault == QLatin1String("closed port"))
        port = closedPort();
    else if (fault == QLatin1String("type ABC"))
        sim->setTypeName("ABC");
    else if (fault == QLatin1String("refuse identification"))
        sim->setRefuseIdentification(true);
    else if (fault == QLatin1String("test mode"))
        sim->setMode(Sim::TestMode);
    else if (fault == QLatin1String("header unreadable"))
        sim->addReadFailRange(Sim::WaveformHeader, 125);
    else if (fault == QLatin1String("wrong echo"))
        sim->setWrongEcho(1);
    else if (fault == QLatin1String("settings unreadable"))
        sim->addReadFailRange(Sim::SettingsRegister + 1000, 1);
    if (!args.isEmpty() && args.first() == QLatin1String("read-config"))
        args[1] = dir.filePath(args[1]);

    const Run r = runTool(port, args);
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
    QVERIFY2(r.err.startsWith(QLatin1String("orvo-module-tool: ")), qPrintable(r.err));
    if (args.first() != QLatin1String("info"))
        QCOMPARE(r.out, QString());
    if (args.first() == QLatin1String("read-config"))
        QVERIFY(!QFile::exists(args[1]));
}

void TestModuleTool::usageErrors_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");

    QTest::newRow("no command") << QStringList{} << "no command given";
    QTest::newRow("unknown command") << QStringList{"status"} << "unknown command 'status'";
    QTest::newRow("channel 4") << QStringList{"waveform", "4", "1"} << "channel must be 0 to 3";
    QTest::newRow("id beyond 16 bits")
        << QStringList{"waveform", "0", "65536"} << "waveform id must be 0 to 65535";
    QTest::newRow("missing file") << QStringList{"read-config"} << "read-config takes one argument";
    QTest::newRow("stray argument") << QStringList{"info", "x"} << "info takes no arguments";
    QTest::newRow("bad duration") << QStringList{"watch", "--duration", "-1"} << "invalid duration";
}

void TestModuleTool::usageErrors()
{
    QFETCH(QStringList, args);
    QFETCH(QString, message);

    const Run r = runTool(sim->port(), args);
    QCOMPARE(r.exitCode, 2);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
    QCOMPARE(sim->acceptedCount(), 0);
}

void TestModuleTool::configRoundTrip()
{
    t_orvo_settings original;
    sim->settings(original);
    original.node_id = 17;
    original.channels[2].sp_disable = 1;
    std::memcpy(original.relays[7].name, "Pump", 5);
    sim->setSettings(original);

    const QString file = dir.filePath(QStringLiteral("module.cfg"));
    Run r = runTool(sim->port(), {QStringLiteral("read-config"), file});
    QCOMPARE(r.err, QString());
    QCOMPARE(r.exitCode, 0);
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), imageOf(original));
    f.close();

    // Edit the image and write it back: the module takes it over on commit.
    t_orvo_settings edited = original;
    edited.node_id = 5;
    edited.channel_mask = 0b0011;
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(imageOf(edited));
    f.close();
    r = runTool(sim->port(), {QStringLiteral("write-config"), file});
    QCOMPARE(r.err, QString());
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(sim->commitCount(), 1);
    t_orvo_settings now;
    sim->settings(now);
    QCOMPARE(imageOf(now), imageOf(edited));
    QVERIFY(r.out.contains(QLatin1String("written and committed")));
}

void TestModuleTool::wrongSizeConfigRefused_data()
{
    QTest::addColumn<int>("size");
    QTest::newRow("empty file") << 0;
    QTest::newRow("one byte short") << OrvoSettings::ByteCount - 1;
    QTest::newRow("one byte over") << OrvoSettings::ByteCount + 1;
    QTest::newRow("two records") << 2 * OrvoSettings::ByteCount;
}

void TestModuleTool::wrongSizeConfigRefused()
{
    QFETCH(int, size);
    const QString file = dir.filePath(QStringLiteral("wrong.cfg"));
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(QByteArray(size, '\x01'));
    f.close();

    const Run r = runTool(sim->port(), {QStringLiteral("write-config"), file});
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.err.contains(QStringLiteral("has %1 bytes").arg(size)), qPrintable(r.err));
    QVERIFY(r.err.contains(QLatin1String("6572")));
    // Refused before the module was even contacted.
    QCOMPARE(sim->acceptedCount(), 0);
    QCOMPARE(sim->commitCount(), 0);

    const Run missing = runTool(sim->port(), {QStringLiteral("write-config"), file + "x"});
    QCOMPARE(missing.exitCode, 1);
    QVERIFY(missing.err.contains(QLatin1String("cannot read")));
}

void TestModuleTool::pointsCsv_data()
{
    QTest::addColumn<bool>("spectrum");
    QTest::addColumn<int>("ch");
    QTest::addColumn<int>("selector");
    QTest::addColumn<int>("points");

    QTest::newRow("waveform of 150 points, three transfers") << false << 2 << 5 << 150;
    QTest::newRow("waveform of 60 points") << false << 0 << 65535 << 60;
    QTest::newRow("empty waveform") << false << 3 << 1 << 0;
    QTest::newRow("spectrum type 1") << true << 1 << 1 << 128;
}

void TestModuleTool::pointsCsv()
{
    QFETCH(bool, spectrum);
    QFETCH(int, ch);
    QFETCH(int, selector);
    QFETCH(int, points);

    if (spectrum)
        sim->setSpectrumPoints(ch, quint32(points));
    else
        sim->setWaveformPoints(ch, quint32(points));
    const Run r =
        runTool(sim->port(), {spectrum ? QStringLiteral("spectrum") : QStringLiteral("waveform"),
                              QString::number(ch), QString::number(selector)});
    QCOMPARE(r.err, QString());
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out, expectedCsv(spectrum, ch, quint16(selector), quint32(points)));
}

void TestModuleTool::serviceRequests()
{
    Run r = runTool(sim->port(), {QStringLiteral("test-mode")});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(sim->testModeCount(), 1);
    QCOMPARE(sim->mode(), Sim::TestMode);

    sim->setMode(Sim::WorkMode);
    r = runTool(sim->port(), {QStringLiteral("boot")});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(sim->bootCount(), 1);

    // The module now runs its boot loader: the console refuses to work with it.
    QCOMPARE(sim->mode(), Sim::BootMode);
    r = runTool(sim->port(), {QStringLiteral("boot")});
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.err.contains(QLatin1String("Device is not in work mode")), qPrintable(r.err));
    QCOMPARE(sim->bootCount(), 1);
}

void TestModuleTool::restart()
{
    sim->setRestartTime(300);
    const Run r = runTool(sim->port(), {QStringLiteral("restart")}, 40000);
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(sim->restartCount(), 1);
    QVERIFY(r.out.contains(QLatin1String("restarted")));
    QVERIFY(r.err.contains(QLatin1String("Wait...")));
    QCOMPARE(sim->acceptedCount(), 2);
}

void TestModuleTool::watch()
{
    sim->setRelayStatus(0x81000001);
    const Run r = runTool(
        sim->port(), {QStringLiteral("watch"), QStringLiteral("--duration"), QStringLiteral("3")});
    QCOMPARE(r.err, QString());
    QCOMPARE(r.exitCode, 0);
    const QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    auto count = [&lines](const QString &event) {
        int n = 0;
        const QRegularExpression re(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d ") +
                                    QRegularExpression::escape(event));
        for (const QString &l : lines)
            n += re.match(l).hasMatch() ? 1 : 0;
        return n;
    };
    QCOMPARE(count(QStringLiteral("settings node_id=1 channel_mask=0x000f")), 2);
    QCOMPARE(count(QStringLiteral("relay status=0x81000001 enabled=1,8 fault=- phys=- logic=1")),
             1);
    QVERIFY(count(QStringLiteral("channel ch=")) >= 4);
    QVERIFY(count(QStringLiteral("waveform-ready ch=")) >= 4);
    QVERIFY(count(QStringLiteral("waveform ch=3 id=")) >= 1);
    QVERIFY(count(QStringLiteral("spectrum-ready ch=0 type=1")) >= 1);
    QVERIFY(count(QStringLiteral("spectrum ch=2 type=0 points=128")) >= 1);
    QVERIFY(r.out.contains(QLatin1String(" points=256")));
}

void TestModuleTool::watchEndsWhenModuleIsLost()
{
    QProcess p;
    p.start(QStringLiteral(ORVO_MODULE_TOOL),
            {QStringLiteral("--port"), QString::number(sim->port()), QStringLiteral("watch"),
             QStringLiteral("--duration"), QStringLiteral("60")});
    QVERIFY(p.waitForStarted());
    QVERIFY(p.waitForReadyRead(10000));
    sim->stop();
    QVERIFY(p.waitForFinished(15000));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 1);
    const QString err = QString::fromUtf8(p.readAllStandardError());
    QVERIFY2(err.contains(QLatin1String("module lost: Module connection lost")), qPrintable(err));
}

QTEST_GUILESS_MAIN(TestModuleTool)
#include "tst_moduletool.moc"
