// Every program's command line, run as a user would and without a display (over ssh, in a
// script, from a service): version, help and the usage errors, which end with status 2 in all of
// them and name what was wrong.

#include "orvoversion.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class TestCommandLines : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    void answers_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        // Expected on standard output for status 0, on standard error otherwise.
        QTest::addColumn<QString>("text");

        const QString version = QStringLiteral(ORVO_VERSION);
        // One shape of version line for every program: its file name and the version.
        for (const char *program : {"orvo-icp-view", "orvo-module-view", "orvo-module-tool",
                                    "orvo-module-sim", "orvo-node-sim", "orvo-make-icons",
                                    "orvo-recorder", "orvo-journal-tool", "orvo-journal-view"}) {
            QTest::addRow("%s --version", program) << program << QStringList{"--version"} << 0
                                                   << QString(program) + ' ' + version + '\n';
            QTest::addRow("%s --help", program)
                << program << QStringList{"--help"} << 0 << "Usage: ";
        }
        QTest::newRow("viewer --help names the port")
            << "orvo-icp-view" << QStringList{"--help"} << 0 << "--port <PORT>";

        QTest::newRow("viewer unknown option")
            << "orvo-icp-view" << QStringList{"--bogus"} << 2 << "Unknown option 'bogus'";
        QTest::newRow("viewer port out of range")
            << "orvo-icp-view" << QStringList{"--port", "65536"} << 2
            << "invalid port '65536': give 1 to 65535";
        QTest::newRow("viewer port missing")
            << "orvo-icp-view" << QStringList{"--port"} << 2 << "Missing value after '--port'";
        QTest::newRow("viewer extra argument")
            << "orvo-icp-view" << QStringList{"extra"} << 2 << "unexpected argument 'extra'";
        QTest::newRow("viewer journal and no journal")
            << "orvo-icp-view" << QStringList{"--no-journal", "--journal", "j.sqlite"} << 2
            << "--journal and --no-journal exclude each other";
        QTest::newRow("viewer journal empty")
            << "orvo-icp-view" << QStringList{"--journal", ""} << 2 << "--journal: ";
        QTest::newRow("viewer retention without a length")
            << "orvo-icp-view" << QStringList{"--keep", "events=30"} << 2
            << "--keep: events=30: a length of up to 100 years";
        QTest::newRow("recorder retention of an unknown part")
            << "orvo-recorder" << QStringList{"--keep", "hours=1y"} << 2
            << "--keep: hours=1y: not seconds=";
        QTest::newRow("tool prune retention zero")
            << "orvo-journal-tool" << QStringList{"prune", "--keep", "events=0d"} << 2
            << "--keep: events=0d: a length";

        QTest::newRow("inspector --help names the host")
            << "orvo-module-view" << QStringList{"--help"} << 0 << "--host <host>";
        QTest::newRow("inspector unknown option")
            << "orvo-module-view" << QStringList{"--bogus"} << 2
            << "orvo-module-view: Unknown option 'bogus'";
        QTest::newRow("inspector port out of range")
            << "orvo-module-view" << QStringList{"--port", "0"} << 2
            << "invalid port '0': give 1 to 65535";
        QTest::newRow("inspector extra argument")
            << "orvo-module-view" << QStringList{"extra"} << 2 << "unexpected argument extra";
        QTest::newRow("journal window --help")
            << "orvo-journal-view" << QStringList{"--help"} << 0 << "--journal <JOURNAL>";
        QTest::newRow("journal window bad journal")
            << "orvo-journal-view" << QStringList{"--journal", ""} << 2
            << "orvo-journal-view: the journal is empty";
        QTest::newRow("journal window extra argument")
            << "orvo-journal-view" << QStringList{"extra"} << 2 << "unexpected argument extra";
        QTest::newRow("console unknown option")
            << "orvo-module-tool" << QStringList{"--bogus", "info"} << 2
            << "Unknown option 'bogus'";
        QTest::newRow("console port missing") << "orvo-module-tool" << QStringList{"info", "--port"}
                                              << 2 << "Missing value after '--port'";
        QTest::newRow("console port not a number")
            << "orvo-module-tool" << QStringList{"--port", "5o2", "info"} << 2
            << "invalid port '5o2': give 1 to 65535";
        QTest::newRow("console extra argument")
            << "orvo-module-tool" << QStringList{"info", "now"} << 2 << "info takes no arguments";
        QTest::newRow("console spectrum type 2")
            << "orvo-module-tool" << QStringList{"spectrum", "1", "2"} << 2
            << "spectrum type must be 0 or 1, not '2'";
        QTest::newRow("console octal-looking channel is decimal")
            << "orvo-module-tool" << QStringList{"waveform", "010", "1"} << 2
            << "channel must be 1 to 4, not '010'";
        // Channels count from 1 as in the windows: 0 is no channel, 4 is the last.
        QTest::newRow("console channel 0")
            << "orvo-module-tool" << QStringList{"spectrum", "0", "1"} << 2
            << "channel must be 1 to 4, not '0'";
        QTest::newRow("console channel 5")
            << "orvo-module-tool" << QStringList{"waveform", "5", "1"} << 2
            << "channel must be 1 to 4, not '5'";
        QTest::newRow("console point format unknown")
            << "orvo-module-tool" << QStringList{"waveform", "1", "1", "--format", "double"} << 2
            << "format must be float, int, uint or hex, not 'double'";
        QTest::newRow("console point format on a spectrum")
            << "orvo-module-tool" << QStringList{"spectrum", "1", "1", "--format", "hex"} << 2
            << "--format applies to waveform only";
        QTest::newRow("console duration not positive")
            << "orvo-module-tool" << QStringList{"watch", "--duration", "0"} << 2
            << "invalid duration '0'";
        QTest::newRow("console reconnect pause not a number")
            << "orvo-module-tool" << QStringList{"watch", "--reconnect", "--reconnect-after", "x"}
            << 2 << "invalid --reconnect-after 'x'";

        QTest::newRow("node sim unknown option")
            << "orvo-node-sim" << QStringList{"--demo", "--bogus"} << 2 << "Unknown option 'bogus'";
        QTest::newRow("node sim port out of range")
            << "orvo-node-sim" << QStringList{"--demo", "--port", "0x10000"} << 2
            << "invalid port '0x10000': give 1 to 65535";
        QTest::newRow("module sim port negative")
            << "orvo-module-sim" << QStringList{"--port", "-1"} << 2
            << "invalid port '-1': give 0 to 65535";
        QTest::newRow("module sim port out of range")
            << "orvo-module-sim" << QStringList{"--port", "70000"} << 2
            << "invalid port '70000': give 0 to 65535";
        QTest::newRow("module sim unknown option")
            << "orvo-module-sim" << QStringList{"--bogus"} << 2 << "Unknown option 'bogus'";
        QTest::newRow("module sim mode above 16 bits")
            << "orvo-module-sim" << QStringList{"--mode", "0x10000"} << 2 << "bad mode";
        QTest::newRow("module sim unknown kind")
            << "orvo-module-sim" << QStringList{"--type", "abc"} << 2 << "unknown module kind";
        QTest::newRow("module sim read fault at register 0")
            << "orvo-module-sim" << QStringList{"--fail-reads", "0:5"} << 2 << "bad --fail-reads";
        QTest::newRow("module sim header count below -2^31")
            << "orvo-module-sim" << QStringList{"--header-points", "-0x80000001"} << 2
            << "bad --header-points";
        QTest::newRow("module sim extra argument")
            << "orvo-module-sim" << QStringList{"extra"} << 2 << "unexpected argument";
        QTest::newRow("node sim extra argument") << "orvo-node-sim" << QStringList{"--demo", "more"}
                                                 << 2 << "unexpected argument 'more'";

        QTest::newRow("icons no folders")
            << "orvo-make-icons" << QStringList{} << 2 << "give RESOURCES-DIR and LANG-DIR";
        QTest::newRow("icons unknown application")
            << "orvo-make-icons" << QStringList{"--theme", "t", "orvo-nothing"} << 2
            << "no application icon 'orvo-nothing'";
        QTest::newRow("icons size zero")
            << "orvo-make-icons" << QStringList{"--theme", "t", "--size", "0", "orvo-icp-view"} << 2
            << "--size takes 1 to 4096 pixels, not '0'";
    }

    void answers()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, text);
        QProcess p;
        // No display and no platform chosen: nothing here may need one.
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QString::fromLatin1(name));
        // Nor the user's settings, whose journal keys the programs read.
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
        p.setProcessEnvironment(env);
        // Nothing here may leave files behind in the build tree.
        p.setWorkingDirectory(dir.path());
        p.start(QStringLiteral(ORVO_BIN_DIR "/") + program, args);
        QVERIFY(p.waitForFinished(30000));
        const QString out = QString::fromUtf8(p.readAllStandardOutput());
        const QString err = QString::fromUtf8(p.readAllStandardError());
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QVERIFY2(p.exitCode() == exitCode, qPrintable(out + err));
        if (exitCode == 0) {
            QVERIFY2(out.contains(text), qPrintable(out));
        } else {
            QCOMPARE(out, QString());
            // One line saying what is wrong, then where to find help.
            QVERIFY2(err.contains(text) && err.contains("--help"), qPrintable(err));
        }
    }
};

QTEST_GUILESS_MAIN(TestCommandLines)
#include "tst_commandlines.moc"
