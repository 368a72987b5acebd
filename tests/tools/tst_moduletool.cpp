// orvo-module-tool end to end: the built executable, run with QProcess, against the module
// simulator serving on an ephemeral port of 127.0.0.1 in this process.

#include "modulesimulator.h"
#include "t_orvo_settings.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>
#include <functional>
#include <memory>

using Sim = ModuleSimulator;
// A fault put into the simulator before the run.
using Fault = std::function<void(Sim &)>;
Q_DECLARE_METATYPE(Fault)

class TestModuleTool : public QObject
{
    Q_OBJECT

    std::unique_ptr<Sim> sim;
    QTemporaryDir dir;
    int exitCode = -1;
    QString out, err;

    void run(const QStringList &args, quint16 port = 0)
    {
        QProcess p;
        p.start(QStringLiteral(ORVO_MODULE_TOOL),
                QStringList{"--port", QString::number(port ? port : sim->port())} + args);
        const bool finished = p.waitForFinished(30000);
        if (!finished)
            p.kill();
        p.waitForFinished();
        exitCode = finished && p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        out = QString::fromUtf8(p.readAllStandardOutput());
        err = QString::fromUtf8(p.readAllStandardError());
    }

    static QByteArray image(const t_orvo_settings &s)
    {
        return QByteArray(reinterpret_cast<const char *>(&s), sizeof s);
    }

private slots:
    void init()
    {
        sim = std::make_unique<Sim>();
        QVERIFY(sim->start());
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
        QTest::newRow("unreachable module")
            << Fault([](Sim &s) { s.stop(); }) << QStringList{"info"}
            << "Cannot setup connection to module";
        QTest::newRow("unsupported module")
            << Fault([](Sim &s) { s.setTypeName("ABC"); }) << QStringList{"info"}
            << "Unsupported device type: ABC";
        QTest::newRow("waveform header unreadable")
            << Fault([](Sim &s) { s.addReadFailRange(Sim::WaveformHeader, 125); })
            << QStringList{"waveform", "1", "1"} << "no waveform 1 of channel 1 was delivered";
    }

    void failures()
    {
        QFETCH(Fault, fault);
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        const quint16 port = sim->port();
        fault(*sim);
        run(args, port);
        QCOMPARE(exitCode, 1);
        QVERIFY2(err.startsWith("orvo-module-tool: ") && err.contains(message), qPrintable(err));
        QCOMPARE(out, QString());
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

    void wrongSizeConfigRefused_data()
    {
        QTest::addColumn<int>("size");
        QTest::newRow("empty file") << 0;
        QTest::newRow("one byte short") << OrvoSettings::ByteCount - 1;
        QTest::newRow("one byte over") << OrvoSettings::ByteCount + 1;
    }

    void wrongSizeConfigRefused()
    {
        QFETCH(int, size);
        QFile f(dir.filePath(QStringLiteral("wrong.cfg")));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(QByteArray(size, '\x01'));
        f.close();
        run({"write-config", f.fileName()});
        QCOMPARE(exitCode, 1);
        QVERIFY2(err.contains(QString("has %1 bytes").arg(size)) && err.contains("6572"),
                 qPrintable(err));
        QCOMPARE(sim->acceptedCount(), 0); // refused before the module was contacted
    }

    void pointsCsv_data()
    {
        QTest::addColumn<bool>("spectrum");
        QTest::addColumn<int>("points");
        QTest::newRow("waveform of 150 points, three transfers") << false << 150;
        QTest::newRow("empty waveform") << false << 0;
        QTest::newRow("spectrum") << true << 70;
    }

    void pointsCsv()
    {
        QFETCH(bool, spectrum);
        QFETCH(int, points);
        spectrum ? sim->setSpectrumPoints(2, quint32(points))
                 : sim->setWaveformPoints(2, quint32(points));
        run({spectrum ? "spectrum" : "waveform", "2", "1"});
        QCOMPARE(exitCode, 0);
        QString csv = QStringLiteral("index,value,hex\n");
        for (quint32 i = 0; i < quint32(points); ++i) {
            const quint32 v = Sim::pointValue(spectrum, 2, 1, i);
            csv += QString("%1,%2,0x%3\n").arg(i).arg(v).arg(v, 8, 16, QLatin1Char('0'));
        }
        QCOMPARE(out, csv);
    }
};

QTEST_GUILESS_MAIN(TestModuleTool)
#include "tst_moduletool.moc"
