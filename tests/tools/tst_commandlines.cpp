// Every program's command line, run as a user would: version, help and the usage errors, which
// end with status 2 in all of them and name what was wrong.

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
        QTest::newRow("viewer --version")
            << "orvo-icp-view" << QStringList{"--version"} << 0 << "Orvo_ICP View " + version;
        for (const char *tool : {"orvo-module-tool", "orvo-module-sim", "orvo-node-sim",
                                 "orvo-make-icons", "orvo-recorder"}) {
            QTest::addRow("%s --version", tool)
                << tool << QStringList{"--version"} << 0 << QString(tool) + ' ' + version;
            QTest::addRow("%s --help", tool) << tool << QStringList{"--help"} << 0 << "Usage: ";
        }
        QTest::newRow("viewer --help")
            << "orvo-icp-view" << QStringList{"--help"} << 0 << "--port <PORT>";

        QTest::newRow("viewer unknown option")
            << "orvo-icp-view" << QStringList{"--bogus"} << 2 << "Unknown option 'bogus'";
        QTest::newRow("viewer port out of range")
            << "orvo-icp-view" << QStringList{"--port", "65536"} << 2 << "invalid port '65536'";
        QTest::newRow("viewer port missing")
            << "orvo-icp-view" << QStringList{"--port"} << 2 << "Missing value after '--port'";
        QTest::newRow("viewer extra argument")
            << "orvo-icp-view" << QStringList{"extra"} << 2 << "unexpected argument 'extra'";
        QTest::newRow("viewer journal and no journal")
            << "orvo-icp-view" << QStringList{"--no-journal", "--journal", "j.sqlite"} << 2
            << "--journal and --no-journal exclude each other";
        QTest::newRow("viewer journal empty")
            << "orvo-icp-view" << QStringList{"--journal", ""} << 2 << "--journal: ";

        QTest::newRow("inspector --version")
            << "orvo-module-view" << QStringList{"--version"} << 0 << "orvo-module-view " + version;
        QTest::newRow("inspector --help")
            << "orvo-module-view" << QStringList{"--help"} << 0 << "--host <host>";
        QTest::newRow("inspector unknown option")
            << "orvo-module-view" << QStringList{"--bogus"} << 2
            << "orvo-module-view: Unknown option 'bogus'";
        QTest::newRow("inspector port out of range")
            << "orvo-module-view" << QStringList{"--port", "0"} << 2 << "bad port 0";
        QTest::newRow("inspector extra argument")
            << "orvo-module-view" << QStringList{"extra"} << 2 << "unexpected argument extra";
        QTest::newRow("journal window --version") << "orvo-journal-view" << QStringList{"--version"}
                                                  << 0 << "orvo-journal-view " + version;
        QTest::newRow("journal window --help")
            << "orvo-journal-view" << QStringList{"--help"} << 0 << "--journal <SPEC>";
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
            << "invalid port '5o2'";
        QTest::newRow("console extra argument")
            << "orvo-module-tool" << QStringList{"info", "now"} << 2 << "info takes no arguments";
        QTest::newRow("console spectrum type 2")
            << "orvo-module-tool" << QStringList{"spectrum", "0", "2"} << 2
            << "spectrum type must be 0 or 1, not '2'";
        QTest::newRow("console octal-looking channel is decimal")
            << "orvo-module-tool" << QStringList{"waveform", "010", "1"} << 2
            << "channel must be 0 to 3, not '010'";
        QTest::newRow("console duration not positive")
            << "orvo-module-tool" << QStringList{"watch", "--duration", "0"} << 2
            << "invalid duration '0'";

        QTest::newRow("node sim unknown option")
            << "orvo-node-sim" << QStringList{"--demo", "--bogus"} << 2 << "Unknown option 'bogus'";
        QTest::newRow("node sim port out of range")
            << "orvo-node-sim" << QStringList{"--demo", "--port", "0x10000"} << 2
            << "--port takes 1 to 65535";
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
