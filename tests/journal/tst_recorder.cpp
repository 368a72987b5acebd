#include "journalstore.h"
#include "journaltool.h"
#include "udpsender.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <QtTest>

using JournalTool::Row;

namespace {
// Waits until the process has written a line containing text to standard error, keeping what
// it read in *log.
bool waitForLog(QProcess &process, const QString &text, QString *log, int timeoutMs = 10000)
{
    QElapsedTimer clock;
    clock.start();
    while (!log->contains(text)) {
        if (clock.elapsed() > timeoutMs || process.state() == QProcess::NotRunning)
            return false;
        process.waitForReadyRead(100);
        *log += QString::fromUtf8(process.readAllStandardError());
    }
    return true;
}

qint64 timeOf(const Row &row)
{
    return QDateTime::fromString(row.value(QStringLiteral("time")), Qt::ISODateWithMs)
        .toMSecsSinceEpoch();
}

QVector<Row> select(const QVector<Row> &rows, const QString &kind, const QString &node = {},
                    const QString &from = {}, const QString &to = {})
{
    QVector<Row> out;
    for (const Row &row : rows) {
        if (row.value(QStringLiteral("kind")) == kind &&
            (node.isEmpty() || row.value(QStringLiteral("node")) == node) &&
            (from.isEmpty() || row.value(QStringLiteral("from")) == from) &&
            (to.isEmpty() || row.value(QStringLiteral("to")) == to))
            out << row;
    }
    return out;
}
} // namespace

class TestRecorder : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void recordsWhatThePanelsMissAndEndsCleanly();
    void killedDuringABurstLosesAtMostTheLastSecond();
    void refusesAPortAnotherReceiverHolds();
    void aSecondWriterOfTheInstallationRefusesToStart();
    void appliesTheRetentionItIsGiven();
    void usageErrors_data();
    void usageErrors();

private:
    void startRecorder(QProcess &recorder, QString *log, const QStringList &more = {});
    void runSimulator(const QStringList &arguments);

    std::unique_ptr<QTemporaryDir> dir;
    QString journal;
    quint16 port = 0;
};

void TestRecorder::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    journal = dir->filePath(QStringLiteral("journal.sqlite"));
    // The recorder reads the journal keys of the settings: the test's own, not the user's.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir->filePath(QStringLiteral("config"))));
    port = UdpSender::freePort();
    QVERIFY(port != 0);
}

void TestRecorder::startRecorder(QProcess &recorder, QString *log, const QStringList &more)
{
    recorder.start(QStringLiteral(ORVO_RECORDER),
                   QStringList{QStringLiteral("--port"), QString::number(port),
                               QStringLiteral("--journal"), journal,
                               QStringLiteral("--installation"), QStringLiteral("bench-hall")} +
                       more);
    QVERIFY2(waitForLog(recorder, QStringLiteral("started"), log), qPrintable(*log));
}

void TestRecorder::runSimulator(const QStringList &arguments)
{
    QProcess sim;
    sim.start(QStringLiteral(ORVO_NODE_SIM),
              arguments + QStringList{QStringLiteral("--port"), QString::number(port)});
    QVERIFY(sim.waitForFinished(60000));
    QCOMPARE(sim.exitCode(), 0);
}

void TestRecorder::recordsWhatThePanelsMissAndEndsCleanly()
{
    QProcess recorder;
    QString log;
    startRecorder(recorder, &log);
    runSimulator({QStringLiteral("--node"), QStringLiteral("3:ch=1:types=1:blip=0.25"),
                  QStringLiteral("--node"), QStringLiteral("9:relays=2:trip=0.5,0.2"),
                  QStringLiteral("--rate"), QStringLiteral("20"), QStringLiteral("--duration"),
                  QStringLiteral("1.5")});
    // Long enough for both nodes to count as silent.
    QTest::qWait(1400);
    recorder.terminate();
    QVERIFY(recorder.waitForFinished(10000));
    log += QString::fromUtf8(recorder.readAllStandardError());
    QCOMPARE(recorder.exitStatus(), QProcess::NormalExit);
    QCOMPARE(recorder.exitCode(), 0);
    QVERIFY2(log.contains(QStringLiteral("SIGTERM received")), qPrintable(log));
    QVERIFY2(log.contains(QStringLiteral("stopped after")), qPrintable(log));

    QString error;
    const QVector<Row> rows =
        JournalTool::events(QStringLiteral(ORVO_JOURNAL_TOOL), journal, &error);
    QVERIFY2(!rows.isEmpty(), qPrintable(error));
    QCOMPARE(rows.first().value(QStringLiteral("kind")), QStringLiteral("recording-started"));
    QVERIFY(rows.first().value(QStringLiteral("detail")).contains(QString::number(port)));
    QCOMPARE(rows.last().value(QStringLiteral("kind")), QStringLiteral("recording-stopped"));
    QCOMPARE(rows.last().value(QStringLiteral("detail")), QStringLiteral("SIGTERM"));
    for (const Row &row : rows)
        QCOMPARE(row.value(QStringLiteral("installation")), QStringLiteral("bench-hall"));

    // Every blip of one datagram (50 ms at 20 Hz) gives a rise and, one datagram later, a fall.
    // (Far apart enough that the panels' every-7th sample would miss most of them.)
    const QVector<Row> rises = select(rows, QStringLiteral("danger"), QStringLiteral("3"),
                                      QStringLiteral("false"), QStringLiteral("true"));
    const QVector<Row> falls = select(rows, QStringLiteral("danger"), QStringLiteral("3"),
                                      QStringLiteral("true"), QStringLiteral("false"));
    QVERIFY2(rises.size() >= 4, qPrintable(QString::number(rises.size())));
    QCOMPARE(falls.size(), rises.size());
    for (int i = 0; i < rises.size(); ++i) {
        const qint64 lasted = timeOf(falls[i]) - timeOf(rises[i]);
        QVERIFY2(lasted > 0 && lasted < 250, qPrintable(QString::number(lasted)));
        QCOMPARE(rises[i].value(QStringLiteral("unit")), QString::fromUtf8("m/s²"));
        QVERIFY(!rises[i].value(QStringLiteral("value")).isEmpty());
    }
    QVERIFY(select(rows, QStringLiteral("relay-logical"), QStringLiteral("9"), QStringLiteral("0"),
                   QStringLiteral("1"))
                .size() >= 2);
    QCOMPARE(select(rows, QStringLiteral("node-heard")).size(), 2);
    QCOMPARE(select(rows, QStringLiteral("node-silent")).size(), 2);
}

void TestRecorder::killedDuringABurstLosesAtMostTheLastSecond()
{
    QProcess recorder;
#ifdef ORVO_SANITIZED
    // The instrumented writer can fall seconds behind a burst on a busy machine; the bound the
    // program keeps is checked in the plain build.
    constexpr qint64 LossBoundMs = 4000;
#else
    constexpr qint64 LossBoundMs = 1000;
#endif
    QString log;
    startRecorder(recorder, &log);
    QProcess sim;
    QStringList nodes;
    // Eight full nodes at 100 Hz, each with a one-datagram danger every 100 ms to count.
    for (int id = 1; id <= 8; ++id)
        nodes << QStringLiteral("--node")
              << QStringLiteral("%1:ch=1,2,3,4:types=1,2,3,4,5,6,7,8:relays=8:blip=0.1").arg(id);
    // Killed half a second before the burst ends, once 1.5 s have aged beyond the loss bound.
    constexpr qint64 KillAtMs = 1500 + LossBoundMs;
    sim.start(QStringLiteral(ORVO_NODE_SIM),
              nodes + QStringList{QStringLiteral("--rate"), QStringLiteral("100"),
                                  QStringLiteral("--duration"),
                                  QString::number(double(KillAtMs + 500) / 1000.0),
                                  QStringLiteral("--port"), QString::number(port)});
    QVERIFY(sim.waitForStarted());
    QTest::qWait(int(KillAtMs));
    recorder.kill();
    const qint64 killedAt = QDateTime::currentMSecsSinceEpoch();
    QVERIFY(recorder.waitForFinished(5000));
    QCOMPARE(recorder.exitStatus(), QProcess::CrashExit);
    QVERIFY(sim.waitForFinished(30000));

    QProcess second;
    QString secondLog;
    // Once it says it started, its lease is taken and the unclean end written.
    startRecorder(second, &secondLog);
    second.terminate();
    QVERIFY(second.waitForFinished(10000));
    QCOMPARE(second.exitCode(), 0);

    const JournalTool::Result check =
        JournalTool::run(QStringLiteral(ORVO_JOURNAL_TOOL),
                         {QStringLiteral("--journal"), journal, QStringLiteral("check")});
    QVERIFY2(check.exitCode == 0, check.out + check.err);

    QString error;
    const QVector<Row> rows =
        JournalTool::events(QStringLiteral(ORVO_JOURNAL_TOOL), journal, &error);
    QVERIFY2(!rows.isEmpty(), qPrintable(error));
    QVector<Row> unclean;
    for (const Row &row : select(rows, QStringLiteral("recording-stopped")))
        if (row.value(QStringLiteral("detail")) == QLatin1String("unclean"))
            unclean << row;
    QCOMPARE(unclean.size(), 1);
    QVERIFY(timeOf(unclean.first()) <= killedAt);
    QVERIFY2(timeOf(unclean.first()) > killedAt - LossBoundMs - 500,
             qPrintable(QString::number(killedAt - timeOf(unclean.first()))));

    // Nothing older than a second before the kill is missing: the blips up to then follow each
    // other at their 100 ms, with no hole the size of a lost batch.
    const QVector<Row> rises = select(rows, QStringLiteral("danger"), QStringLiteral("1"),
                                      QStringLiteral("false"), QStringLiteral("true"));
    QVERIFY(!rises.isEmpty());
    qint64 previous = timeOf(rises.first());
    int counted = 0;
    for (const Row &rise : rises) {
        const qint64 t = timeOf(rise);
        if (t > killedAt - LossBoundMs)
            break;
        QVERIFY2(t - previous <= 300,
                 qPrintable(QStringLiteral("hole of %1 ms").arg(t - previous)));
        previous = t;
        ++counted;
    }
    QVERIFY2(counted >= 10, qPrintable(QString::number(counted)));
}

void TestRecorder::refusesAPortAnotherReceiverHolds()
{
    // As the viewer binds: sharing allowed on its side, which must not let the recorder in.
    QUdpSocket viewer;
    QVERIFY(viewer.bind(QHostAddress::Any, port, QUdpSocket::ShareAddress));
    QProcess recorder;
    recorder.start(QStringLiteral(ORVO_RECORDER), {QStringLiteral("--port"), QString::number(port),
                                                   QStringLiteral("--journal"), journal});
    QVERIFY(recorder.waitForFinished(10000));
    QCOMPARE(recorder.exitCode(), 1);
    const QString log = QString::fromUtf8(recorder.readAllStandardError());
    QVERIFY2(log.contains(QStringLiteral("cannot listen on UDP port %1").arg(port)),
             qPrintable(log));
    // Refused before the journal was touched.
    QVERIFY(!QFile::exists(journal));
}

void TestRecorder::aSecondWriterOfTheInstallationRefusesToStart()
{
    QProcess first;
    QString firstLog;
    startRecorder(first, &firstLog);
    QVERIFY2(waitForLog(first, QStringLiteral("recording"), &firstLog), qPrintable(firstLog));

    // Another port, so only the journal stands in its way.
    const quint16 otherPort = UdpSender::freePort();
    QVERIFY(otherPort != 0 && otherPort != port);
    QProcess second;
    second.start(QStringLiteral(ORVO_RECORDER),
                 {QStringLiteral("--port"), QString::number(otherPort), QStringLiteral("--journal"),
                  journal, QStringLiteral("--installation"), QStringLiteral("bench-hall")});
    QVERIFY(second.waitForFinished(10000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 1);
    const QString log = QString::fromUtf8(second.readAllStandardError());
    QVERIFY2(
        log.contains(QStringLiteral("is being recorded by %1 (process %2, orvo-recorder) since ")
                         .arg(QSysInfo::machineHostName())
                         .arg(first.processId())),
        qPrintable(log));
    QVERIFY2(!log.contains(QStringLiteral("started: listening")), qPrintable(log));

    // The first one records on, and the journal holds one recording of the installation.
    QCOMPARE(first.state(), QProcess::Running);
    first.terminate();
    QVERIFY(first.waitForFinished(10000));
    QCOMPARE(first.exitCode(), 0);
    QString error;
    const QVector<Row> rows =
        JournalTool::events(QStringLiteral(ORVO_JOURNAL_TOOL), journal, &error);
    QVERIFY2(!rows.isEmpty(), qPrintable(error));
    QCOMPARE(select(rows, QStringLiteral("recording-started")).size(), 1);
    QCOMPARE(select(rows, QStringLiteral("recording-stopped")).size(), 1);
    QCOMPARE(rows.last().value(QStringLiteral("detail")), QStringLiteral("SIGTERM"));
}

void TestRecorder::appliesTheRetentionItIsGiven()
{
    // An event two hours old, and a recorder told to keep events for one hour.
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    {
        JournalLocation location;
        location.type = JournalLocation::Type::SQLite;
        location.path = journal;
        JournalStore store;
        QString error;
        QVERIFY2(store.open(location, JournalStore::Access::ReadWrite, &error), qPrintable(error));
        JournalEvent old;
        old.kind = Journal::Kind::NodeHeard;
        old.timeMs = now - 7200000;
        old.installation = QStringLiteral("bench-hall");
        old.node = 7;
        QVERIFY(store.write({old}, {}, now - 7200000));
    }
    QProcess recorder;
    QString log;
    startRecorder(recorder, &log, {QStringLiteral("--keep"), QStringLiteral("events=1h")});
    QVERIFY2(waitForLog(recorder, QStringLiteral("recording"), &log), qPrintable(log));
    QString error;
    auto oldEventKept = [&] {
        return !select(JournalTool::events(QStringLiteral(ORVO_JOURNAL_TOOL), journal, &error),
                       QStringLiteral("node-heard"), QStringLiteral("7"))
                    .isEmpty();
    };
    // It prunes once it records, and every hour after.
    QTRY_VERIFY_WITH_TIMEOUT(!oldEventKept(), 5000);
    recorder.terminate();
    QVERIFY(recorder.waitForFinished(10000));
    const QVector<Row> rows =
        JournalTool::events(QStringLiteral(ORVO_JOURNAL_TOOL), journal, &error);
    QCOMPARE(select(rows, QStringLiteral("recording-started")).size(), 1);
    QCOMPARE(select(rows, QStringLiteral("recording-stopped")).size(), 1);
}

void TestRecorder::usageErrors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("journal and no journal") << QStringList{"--journal", "x.sqlite", "--no-journal"};
    QTest::newRow("an empty installation name") << QStringList{"--installation", " "};
    QTest::newRow("port 0") << QStringList{"--port", "0"};
    QTest::newRow("an argument") << QStringList{"extra"};
    QTest::newRow("an unknown option") << QStringList{"--journa", "x"};
}

void TestRecorder::usageErrors()
{
    QFETCH(QStringList, arguments);
    QProcess recorder;
    recorder.start(QStringLiteral(ORVO_RECORDER), arguments);
    QVERIFY(recorder.waitForFinished(10000));
    QCOMPARE(recorder.exitCode(), 2);
    QVERIFY(!recorder.readAllStandardError().isEmpty());
}

QTEST_GUILESS_MAIN(TestRecorder)
#include "tst_recorder.moc"
