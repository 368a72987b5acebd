// orvo-module-tool end to end: the built executable, run with QProcess, against the module
// simulator serving on an ephemeral port of 127.0.0.1 in this process.

#include "modulefixture.h"
#include "recordfiles.h"
#include "t_orvo_settings.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>
#include <functional>
#include <memory>

#include <sys/stat.h>
#include <unistd.h>

using Sim = ModuleSimulator;
// A fault put into the simulator before the run.
using Fault = std::function<void(Sim &)>;
Q_DECLARE_METATYPE(Fault)
// The contents of a file that no module can take, made from the module's own record.
using Spoil = std::function<QByteArray(t_orvo_settings &)>;
Q_DECLARE_METATYPE(Spoil)

using RecordFiles::image;

class TestModuleTool : public QObject
{
    Q_OBJECT

    std::unique_ptr<ModuleFixture> module;
    Sim *sim = nullptr;
    QTemporaryDir dir;
    int exitCode = -1;
    QString out, err;

    // The simulator's port is kept when a fault has stopped it.
    void run(const QStringList &args)
    {
        QProcess p;
        p.start(QStringLiteral(ORVO_MODULE_TOOL),
                QStringList{"--port", QString::number(module->port())} + args);
        const bool finished = p.waitForFinished(30000);
        if (!finished)
            p.kill();
        p.waitForFinished();
        exitCode = finished && p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        out = QString::fromUtf8(p.readAllStandardOutput());
        err = QString::fromUtf8(p.readAllStandardError());
    }

    // Starts a watch and ends it with SIGTERM, as a user's interrupt would, once `seen` holds
    // for what it has printed so far: no fixed duration to sit out.
    void watchUntil(const QStringList &args, const std::function<bool()> &seen)
    {
        QProcess p;
        out.clear();
        err.clear();
        connect(&p, &QProcess::readyReadStandardOutput, &p,
                [&] { out += QString::fromUtf8(p.readAllStandardOutput()); });
        connect(&p, &QProcess::readyReadStandardError, &p,
                [&] { err += QString::fromUtf8(p.readAllStandardError()); });
        p.start(QStringLiteral(ORVO_MODULE_TOOL),
                QStringList{"--port", QString::number(module->port()), "watch"} + args);
        QVERIFY(p.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(seen(), 20000);
        p.terminate();
        const bool finished = p.waitForFinished(20000);
        if (!finished)
            p.kill();
        p.waitForFinished();
        out += QString::fromUtf8(p.readAllStandardOutput());
        err += QString::fromUtf8(p.readAllStandardError());
        exitCode = finished && p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }

private slots:
    void init()
    {
        module = std::make_unique<ModuleFixture>();
        sim = &module->sim();
        QVERIFY(module->start());
    }

    void info()
    {
        sim->setInfoField(3, "SN-0042");
        run({"info"});
        QCOMPARE(err, QString());
        QCOMPARE(out, QStringLiteral("type: ORVO_ICP (2)\ntext 2: Sim module\ntext 3: 1.0\n"
                                     "text 4: SN-0042\n"));
        QCOMPARE(exitCode, 0);
    }

    void failures_data()
    {
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        // A module that was identified shows what it is on standard output.
        QTest::addColumn<bool>("identified");
        const Fault none = [](Sim &) {};
        QTest::newRow("unreachable module")
            << Fault([](Sim &s) { s.stop(); }) << QStringList{"info"}
            << "Cannot setup connection to module: connection refused" << false;
        // A label longer than 63 bytes fails in the resolver itself: no query leaves the machine.
        const QString noSuchHost = QString(64, 'x') + ".invalid";
        QTest::newRow("unknown host")
            << none << QStringList{"--host", noSuchHost, "info"}
            << "Cannot setup connection to module: unknown host " + noSuchHost << false;
        QTest::newRow("unsupported module")
            << Fault([](Sim &s) { s.setTypeName("ABC"); }) << QStringList{"info"}
            << "Unsupported device type: ABC" << false;
        QTest::newRow("module in test mode")
            << Fault([](Sim &s) { s.setMode(Sim::TestMode); }) << QStringList{"info"}
            << "Device is not in work mode: the module is in test mode (mode register 3)" << true;
        QTest::newRow("module in boot loader")
            << Fault([](Sim &s) { s.setMode(Sim::BootMode); }) << QStringList{"info"}
            << "Device is not in work mode: the module is in boot loader (mode register 1)" << true;
        QTest::newRow("waveform header unreadable")
            << Fault([](Sim &s) { s.addReadFailRange(Sim::WaveformHeader, 125); })
            << QStringList{"waveform", "2", "1"} << "no waveform 1 of channel 2 was delivered"
            << false;
        QTest::newRow("restart of a module in test mode without --any-mode")
            << Fault([](Sim &s) { s.setMode(Sim::TestMode); }) << QStringList{"restart"}
            << "restart --any-mode brings it back to work mode" << false;
        QTest::newRow("waveform of a relay module")
            << Fault([](Sim &s) { s.resetContents(Sim::Kind::Relay); })
            << QStringList{"waveform", "1", "1"} << "a relay module has no waveforms" << false;
        QTest::newRow("spectrum of a relay module")
            << Fault([](Sim &s) { s.resetContents(Sim::Kind::Relay); })
            << QStringList{"spectrum", "1", "1"} << "a relay module has no spectra" << false;
    }

    void failures()
    {
        QFETCH(Fault, fault);
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        QFETCH(bool, identified);
        fault(*sim);
        run(args);
        QCOMPARE(exitCode, 1);
        QVERIFY2(err.startsWith("orvo-module-tool: ") && err.contains(message), qPrintable(err));
        if (identified)
            QVERIFY2(out.startsWith("type: ORVO_ICP (2)\n"), qPrintable(out));
        else
            QCOMPARE(out, QString());
    }

    void readConfigReplacesOnlyRegularFiles_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("FIFO") << "fifo";
        QTest::newRow("folder") << "folder";
        QTest::newRow("link to a FIFO, as to a device node") << "link";
    }

    void readConfigReplacesOnlyRegularFiles()
    {
        QFETCH(QString, kind);
        const QString fifo = dir.filePath(QStringLiteral("fifo"));
        if (!QFileInfo::exists(fifo))
            QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QString target = fifo;
        if (kind == "folder") {
            target = dir.filePath(QStringLiteral("folder"));
            QVERIFY(QDir().mkpath(target));
        } else if (kind == "link") {
            target = dir.filePath(QStringLiteral("link"));
            QFile::remove(target);
            QVERIFY(QFile::link(fifo, target));
        }
        run({"read-config", target});
        QCOMPARE(exitCode, 1);
        QVERIFY2(err.contains(target + " exists and is not a regular file"), qPrintable(err));
        QCOMPARE(sim->acceptedCount(), 0); // refused before the module was contacted
        struct stat st = {};
        QCOMPARE(::lstat(QFile::encodeName(fifo).constData(), &st), 0);
        QVERIFY(S_ISFIFO(st.st_mode));
        QCOMPARE(QFileInfo(target).isSymLink(), kind == "link");
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::System | QDir::Hidden).size(),
                 kind == "link" ? 2 : 1); // no temporary file left behind
    }

    void unfitConfigRefused_data()
    {
        QTest::addColumn<Spoil>("spoil");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("forcible"); // --force writes it all the same
        // The rules themselves are the configuration file's; here the console's wording.
        const auto record = [](auto change) {
            return Spoil([change](t_orvo_settings &r) {
                change(r);
                return image(r);
            });
        };
        const auto size = [](int n) { return Spoil([n](auto &) { return QByteArray(n, 1); }); };
        QTest::newRow("node id 33")
            << record([](auto &r) { r.node_id = 33; }) << "node_id is 33, expected 1 to 32" << true;
        QTest::newRow("one byte short") << size(OrvoSettings::ByteCount - 1)
                                        << "has 6571 bytes, a record has exactly 6572" << false;
    }

    void unfitConfigRefused()
    {
        QFETCH(Spoil, spoil);
        QFETCH(QString, message);
        QFETCH(bool, forcible);
        t_orvo_settings record;
        sim->settings(record);
        const QByteArray contents = spoil(record);
        const QString file = dir.filePath(QStringLiteral("unfit.cfg"));
        QVERIFY(RecordFiles::writeFile(file, contents));

        run({"write-config", file});
        QCOMPARE(exitCode, 1);
        QVERIFY2(err.contains(message) && err.contains("--force") == forcible, qPrintable(err));
        QCOMPARE(sim->acceptedCount(), 0); // refused before the module was contacted

        // Forced, a plausible size goes in as it is, with the reason repeated.
        run({"write-config", "--force", file});
        QCOMPARE(exitCode, forcible ? 0 : 1);
        QVERIFY2(err.contains("warning") == forcible && err.contains(message), qPrintable(err));
        QCOMPARE(sim->commitCount(), forcible ? 1 : 0);
        t_orvo_settings now;
        sim->settings(now);
        QCOMPARE(image(now), forcible ? contents : image(record));
    }

    void watchReportsAChannelThatNeverArrives()
    {
        // The second channel's state cannot be read; the poller then reaches no later channel
        // either. Channels are named 1 to 4, as in the windows.
        sim->addReadFailRange(Sim::ChannelRegister + Sim::ChannelCount, Sim::ChannelCount);
        watchUntil({"--missing-after", "0.2"},
                   [this] { return err.contains("warning: no state of channel 4 for 0.2 s"); });
        // Interrupted, it still ends in order, with the summary and the status.
        QCOMPARE(exitCode, 1);
        QVERIFY2(err.contains("warning: no state of channel 2 for 0.2 s"), qPrintable(err));
        QVERIFY2(err.contains("configured channel(s) 2,3,4"), qPrintable(err));
        QVERIFY2(out.contains("channel ch=1 ") && !out.contains("channel ch=0 "), qPrintable(out));
        QVERIFY2(out.contains("spectrum_channels=1,2,3,4"), qPrintable(out));
    }

    void watchReconnectsAfterADrop()
    {
        // The connection drops a little after the start; the module stays reachable.
        sim->setDropAfter(40);
        // The poller starts over on the new connection: the record is printed again.
        watchUntil({"--reconnect", "--reconnect-after", "0.1"}, [this] {
            return err.count("connected to 127.0.0.1:") == 2 &&
                   out.count(" settings node_id=") >= 2;
        });
        QVERIFY2(err.contains("module lost") && err.contains("reconnecting in 0.1 s"),
                 qPrintable(err));
        QVERIFY2(err.count("connected to 127.0.0.1:") == 2, qPrintable(err));
        QCOMPARE(exitCode, 1); // something failed on the way, and the status says so
    }

    void watchEndsInOrderWhenInterrupted()
    {
        watchUntil({}, [this] { return out.contains(" channel ch=4 "); });
        QCOMPARE(exitCode, 0);
        QCOMPARE(err, QString());
    }

    void restartAnyMode_data()
    {
        QTest::addColumn<quint16>("mode");
        QTest::addColumn<QString>("named");
        QTest::newRow("from test mode") << quint16(Sim::TestMode) << "in test mode";
        QTest::newRow("from the boot loader") << quint16(Sim::BootMode) << "in boot loader";
        QTest::newRow("from work mode") << quint16(Sim::WorkMode) << "in work mode";
    }

    void restartAnyMode()
    {
        QFETCH(quint16, mode);
        QFETCH(QString, named);
        sim->setMode(mode);
        // Back well before the service connection's first look at it.
        sim->setRestartTime(20);
        run({"restart", "--any-mode"});
        QVERIFY2(err.contains("(ORVO_ICP) is " + named), qPrintable(err));
        QCOMPARE(out, QStringLiteral("module restarted and back in work mode\n"));
        QCOMPARE(exitCode, 0);
        QCOMPARE(sim->restartCount(), 1);
        // Back in work mode: the link opens it again.
        run({"info"});
        QCOMPARE(exitCode, 0);
    }

    void configRoundTrip()
    {
        t_orvo_settings record;
        sim->settings(record);
        record.node_id = 17;
        std::memcpy(record.relays[7].name, "Pump", 5);
        sim->setSettings(record);
        const QString file = dir.filePath(QStringLiteral("module.cfg"));
        run({"read-config", file});
        QCOMPARE(exitCode, 0);
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QCOMPARE(f.readAll(), image(record));

        // Edit the image and write it back: the module takes it over on commit.
        record.channel_mask = 0b0011;
        QVERIFY(f.seek(0) && f.write(image(record)) == qint64(sizeof record));
        f.close();
        run({"write-config", file});
        QCOMPARE(exitCode, 0);
        QCOMPARE(sim->commitCount(), 1);
        t_orvo_settings now;
        sim->settings(now);
        QCOMPARE(image(now), image(record));
    }

    void pointsCsv_data()
    {
        QTest::addColumn<bool>("spectrum");
        QTest::addColumn<int>("points");
        QTest::addColumn<QString>("format"); // empty: the default
        QTest::newRow("waveform of 150 points, three transfers") << false << 150 << QString();
        QTest::newRow("empty waveform") << false << 0 << QString();
        QTest::newRow("spectrum") << true << 70 << QString();
        QTest::newRow("waveform as floats") << false << 70 << "float";
        QTest::newRow("waveform as signed integers") << false << 70 << "int";
        QTest::newRow("waveform as unsigned integers") << false << 70 << "uint";
        QTest::newRow("waveform in hex") << false << 70 << "hex";
    }

    void pointsCsv()
    {
        QFETCH(bool, spectrum);
        QFETCH(int, points);
        QFETCH(QString, format);
        // Channel 3 on the command line is the module's channel index 2.
        spectrum ? sim->setSpectrumPoints(2, quint32(points))
                 : sim->setWaveformPoints(2, quint32(points));
        QStringList args{spectrum ? "spectrum" : "waveform", "3", "1"};
        if (!format.isEmpty())
            args << "--format" << format;
        run(args);
        QCOMPARE(exitCode, 0);
        QString csv = format.isEmpty() ? QStringLiteral("index,value,hex\n")
                                       : QStringLiteral("index,value\n");
        for (quint32 i = 0; i < quint32(points); ++i) {
            const quint32 v = Sim::pointValue(spectrum, 2, 1, i);
            const QString hex = QString("0x%1").arg(v, 8, 16, QLatin1Char('0'));
            float f = 0;
            std::memcpy(&f, &v, sizeof f);
            QString value = QString::number(v) + ',' + hex;
            if (format == "float")
                value = QString::number(double(f), 'g', 9);
            else if (format == "int")
                value = QString::number(qint32(v));
            else if (format == "uint")
                value = QString::number(v);
            else if (format == "hex")
                value = hex;
            csv += QString("%1,%2\n").arg(i).arg(value);
        }
        QCOMPARE(out, csv);
        if (format == "float") // the simulator's waveform points are singles near the signal
            QVERIFY2(!out.contains("nan") && out.contains('.'), qPrintable(out.left(200)));
    }
};

QTEST_GUILESS_MAIN(TestModuleTool)
#include "tst_moduletool.moc"
