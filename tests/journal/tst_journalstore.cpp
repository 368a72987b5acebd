#include "journalquery.h"
#include "journalrecorder.h"
#include "journalstore.h"
#include "journalworker.h"
#include "journalwriter.h"
#include "postgresserver.h"
#include "trendaccumulator.h"
#include "trendblock.h"

#include <QCryptographicHash>
#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray fileHash(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

int modeOf(const QString &path)
{
    struct stat st;
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

JournalEvent makeEvent(Journal::Kind kind, qint64 timeMs, int node, const QString &from,
                       const QString &to, int channel = 0, int slot = 0, int relay = 0)
{
    JournalEvent e;
    e.kind = kind;
    e.timeMs = timeMs;
    e.installation = QStringLiteral("plant:49153");
    e.node = node;
    e.channel = channel;
    e.slot = slot;
    e.relay = relay;
    e.from = from;
    e.to = to;
    return e;
}

QStringList kindsOf(const QVector<JournalEvent> &events)
{
    QStringList kinds;
    for (const JournalEvent &e : events)
        kinds << Journal::kindName(e.kind) +
                     (e.detail.isEmpty() ? QString() : QLatin1Char(':') + e.detail);
    return kinds;
}

// A process id that certainly runs no more.
qint64 deadPid()
{
    QProcess child;
    child.start(QStringLiteral("true"), QStringList());
    child.waitForFinished();
    return child.processId() ? child.processId() : 999999;
}

} // namespace

class TestJournalStore : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void refusesWhatIsNoJournal_data();
    void refusesWhatIsNoJournal();
    void createsPrivateWalFile();
    void checkFindsWhatIsMissingOrInconsistent_data();
    void checkFindsWhatIsMissingOrInconsistent();
    void unwritableFolderIsReported();
    void leaseRules_data();
    void leaseRules();
    void writerRecordsStartEventsStop_data();
    void writerRecordsStartEventsStop();
    void writerAfterCrashWritesUncleanStop();
    void backlogIsBoundedAndGapCounted();
    void trendsAreWrittenSoonAfterTheDatagramsStop();
    void serverLostAndBackNothingLost();
    void twoInstallationsShareADatabase();
    void trendsMatchBruteForce_data();
    void trendsMatchBruteForce();
    void alarmsAndAcknowledgements_data();
    void alarmsAndAcknowledgements();
    void olderSchemaIsReadAndMigratedWhole_data();
    void olderSchemaIsReadAndMigratedWhole();
    void killedWriterLosesAtMostASecond();
    void trendBlockCodec_data();
    void trendBlockCodec();

private:
    JournalLocation freshJournal(const QString &backend);
    void addBackends();

    QTemporaryDir dir;
    PostgresServer server;
    int databases = 0;
    QHash<QString, JournalLocation> checkedJournals; // per backend
};

void TestJournalStore::initTestCase()
{
    QVERIFY(dir.isValid());
    QString error;
    QVERIFY2(server.init(&error), qPrintable(error));
}

JournalLocation TestJournalStore::freshJournal(const QString &backend)
{
    JournalLocation location;
    const QString name = QStringLiteral("journal%1").arg(++databases);
    if (backend == QLatin1String("sqlite")) {
        location.type = JournalLocation::Type::SQLite;
        location.path = dir.filePath(name + QStringLiteral(".sqlite"));
        return location;
    }
    QString error;
    if (!server.createDatabase(name, &error))
        qWarning("%s", qPrintable(error));
    JournalLocation::parse(server.url(name), &location, &error);
    return location;
}

void TestJournalStore::addBackends()
{
    QTest::addColumn<QString>("backend");
}

void TestJournalStore::refusesWhatIsNoJournal_data()
{
    QTest::addColumn<QByteArray>("setup");
    QTest::addColumn<QString>("reason");
    QTest::newRow("text file") << QByteArray("text") << "not a journal";
    QTest::newRow("other SQLite database") << QByteArray("other") << "something else";
    QTest::newRow("newer schema") << QByteArray("newer") << "newer version";
    QTest::newRow("damaged") << QByteArray("damaged") << "damaged";
    QTest::newRow("older than any journal") << QByteArray("schema0") << "not a journal";
}

void TestJournalStore::refusesWhatIsNoJournal()
{
    QFETCH(QByteArray, setup);
    QFETCH(QString, reason);
    const QString path =
        dir.filePath(QStringLiteral("refuse-") + QString::fromLatin1(setup) + ".sqlite");
    JournalLocation location;
    location.type = JournalLocation::Type::SQLite;
    location.path = path;
    if (setup == "text") {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(4096, 'x'));
    } else if (setup == "other") {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery(db).exec(QStringLiteral("CREATE TABLE invoices (id INTEGER)"));
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("other"));
    } else {
        JournalStore store;
        QString error;
        QVERIFY2(store.open(location, JournalStore::Access::ReadWrite, &error), qPrintable(error));
        QSqlQuery q(store.database());
        if (setup == "newer")
            QVERIFY(q.exec(
                QStringLiteral("UPDATE journal_meta SET value = '99' WHERE key = 'schema'")));
        if (setup == "schema0")
            QVERIFY(
                q.exec(QStringLiteral("UPDATE journal_meta SET value = '0' WHERE key = 'schema'")));
        QVERIFY(q.exec(QStringLiteral("PRAGMA journal_mode=DELETE")));
        q.finish();
        store.close();
        if (setup == "damaged") {
            // The page that holds the schema, overwritten.
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadWrite));
            file.seek(100);
            file.write(QByteArray(3000, '\xa5'));
        }
    }
    const QByteArray before = fileHash(path);
    JournalStore store;
    QString error;
    QVERIFY(!store.open(location, JournalStore::Access::ReadWrite, &error));
    QVERIFY2(error.contains(path), qPrintable(error));
    QVERIFY2(error.contains(reason), qPrintable(error));
    QVERIFY(!store.isOpen());
    QCOMPARE(fileHash(path), before);
}

void TestJournalStore::checkFindsWhatIsMissingOrInconsistent_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QString>("damage"); // SQL; empty: none
    QTest::addColumn<QString>("report");
    for (const char *backend : {"sqlite", "postgresql"}) {
        const QString b = QString::fromLatin1(backend);
        QTest::newRow(qPrintable(b + ": whole")) << b << ""
                                                 << "ok";
        QTest::newRow(qPrintable(b + ": a table missing")) << b << "DROP TABLE journal_series"
                                                           << "table journal_series is missing";
        QTest::newRow(qPrintable(b + ": a column missing"))
            << b << "ALTER TABLE journal_events DROP COLUMN unit"
            << "column journal_events.unit is missing";
        QTest::newRow(qPrintable(b + ": an index missing"))
            << b << "DROP INDEX journal_events_ack"
            << "index journal_events_ack is missing";
        QTest::newRow(qPrintable(b + ": a trend block of no measurement"))
            << b << "UPDATE journal_trend SET series = series + 1000"
            << QStringLiteral("%1 trend blocks of no measurement") // one per tier
                   .arg(JournalStore::tiers().size());
        QTest::newRow(qPrintable(b + ": an acknowledgement of no alarm"))
            << b << "UPDATE journal_events SET ref_id = id WHERE ref_id IS NOT NULL"
            << "1 acknowledgements of no alarm";
    }
}

void TestJournalStore::checkFindsWhatIsMissingOrInconsistent()
{
    QFETCH(QString, backend);
    QFETCH(QString, damage);
    QFETCH(QString, report);
    const qint64 t0 = 1796684180123LL;
    QString error;
    // One journal per backend, each damage undone by a rollback: a database per row would cost
    // more than everything checked here.
    if (!checkedJournals.contains(backend)) {
        const JournalLocation location = freshJournal(backend);
        JournalStore store;
        QVERIFY2(store.open(location, JournalStore::Access::ReadWrite, &error), qPrintable(error));
        TrendInterval interval;
        interval.installation = QStringLiteral("plant:49153");
        interval.node = 2;
        interval.channel = 1;
        interval.slot = 1;
        interval.measType = 1;
        interval.startMs = t0 - t0 % 1000;
        interval.count = 1;
        QVERIFY(store.write({makeEvent(Journal::Kind::Danger, t0, 2, QStringLiteral("false"),
                                       QStringLiteral("true"), 1, 1)},
                            {interval}, t0));
        QVERIFY2(JournalQuery(&store).acknowledge({1}, QStringLiteral("ingrid"),
                                                  QStringLiteral("seen"), t0 + 10, &error),
                 qPrintable(error));
        checkedJournals.insert(backend, location);
    }
    JournalStore store;
    QVERIFY2(store.open(checkedJournals.value(backend), JournalStore::Access::ReadWrite, &error),
             qPrintable(error));
    // The check sees the damage through the connection that made it, before the rollback.
    QSqlDatabase db = store.database();
    QVERIFY(db.transaction());
    auto undo = qScopeGuard([&] { db.rollback(); });
    if (!damage.isEmpty()) {
        QSqlQuery q(db);
        QVERIFY2(q.exec(damage), qPrintable(damage));
    }
    QString found;
    QCOMPARE(store.check(&found), damage.isEmpty());
    QCOMPARE(found, report);
}

void TestJournalStore::createsPrivateWalFile()
{
    const QString folder = dir.filePath(QStringLiteral("private/journal"));
    JournalLocation location;
    location.type = JournalLocation::Type::SQLite;
    location.path = folder + QStringLiteral("/journal.sqlite");
    JournalStore store;
    QString error;
    QVERIFY2(store.open(location, JournalStore::Access::ReadWrite, &error), qPrintable(error));
    QCOMPARE(modeOf(location.path), 0600);
    QCOMPARE(modeOf(folder), 0700);
    QCOMPARE(modeOf(dir.filePath(QStringLiteral("private"))), 0700);
    QSqlQuery q(store.database());
    QVERIFY(q.exec(QStringLiteral("PRAGMA journal_mode")) && q.next());
    QCOMPARE(q.value(0).toString(), QStringLiteral("wal"));
    QCOMPARE(store.schemaVersion(), int(JournalStore::SchemaVersion));
    q.finish();
    store.close();

    // Opened again, and read-only, it is the same journal.
    JournalStore reader;
    QVERIFY2(reader.open(location, JournalStore::Access::ReadOnly, &error), qPrintable(error));
    QString report;
    QVERIFY2(reader.check(&report), qPrintable(report));
}

void TestJournalStore::unwritableFolderIsReported()
{
    // A file where the folder should be stops even root from creating it.
    const QString blocker = dir.filePath(QStringLiteral("blocker"));
    QFile(blocker).open(QIODevice::WriteOnly);
    JournalLocation location;
    location.type = JournalLocation::Type::SQLite;
    location.path = blocker + QStringLiteral("/sub/journal.sqlite");
    JournalStore store;
    QString error;
    QVERIFY(!store.open(location, JournalStore::Access::ReadWrite, &error));
    QVERIFY2(error.startsWith(location.path), qPrintable(error));

    JournalLocation missing;
    missing.type = JournalLocation::Type::SQLite;
    missing.path = dir.filePath(QStringLiteral("never-written.sqlite"));
    QVERIFY(!store.open(missing, JournalStore::Access::ReadOnly, &error));
    QVERIFY(!QFile::exists(missing.path));
}

void TestJournalStore::leaseRules_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QString>("holderHost"); // empty: this host
    QTest::addColumn<bool>("holderRuns");
    QTest::addColumn<int>("silentMs");
    QTest::addColumn<bool>("granted");
    for (const char *backend : {"sqlite", "postgresql"}) {
        const QString b = QString::fromLatin1(backend);
        QTest::newRow(qPrintable(b + ": this host, running")) << b << "" << true << 0 << false;
        QTest::newRow(qPrintable(b + ": this host, process gone")) << b << "" << false << 0 << true;
        QTest::newRow(qPrintable(b + ": this host, running but silent"))
            << b << "" << true << 20000 << true;
        QTest::newRow(qPrintable(b + ": other host, writing"))
            << b << "cabinet-7" << true << 5000 << false;
        QTest::newRow(qPrintable(b + ": other host, silent 15 s"))
            << b << "cabinet-7" << true << 15000 << true;
    }
}

void TestJournalStore::leaseRules()
{
    QFETCH(QString, backend);
    QFETCH(QString, holderHost);
    QFETCH(bool, holderRuns);
    QFETCH(int, silentMs);
    QFETCH(bool, granted);
    const JournalLocation location = freshJournal(backend);
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    const QString installation = QStringLiteral("plant:49153");
    QString error;
    JournalStore first;
    QVERIFY2(first.open(location, JournalStore::Access::ReadWrite, &error), qPrintable(error));
    qint64 unclean = -1;
    QVERIFY2(first.claim(installation, now - 60000, &unclean, &error), qPrintable(error));
    QCOMPARE(unclean, qint64(0));
    const qint64 lastWrite = now - silentMs;
    {
        QSqlQuery q(first.database());
        q.prepare(
            QStringLiteral("UPDATE journal_writers SET host = ?, pid = ?, last_write_ms = ?"));
        q.addBindValue(holderHost.isEmpty() ? QSysInfo::machineHostName() : holderHost);
        q.addBindValue(holderRuns ? QCoreApplication::applicationPid() : deadPid());
        q.addBindValue(lastWrite);
        QVERIFY(q.exec());
    }
    first.close();

    JournalStore second;
    QVERIFY2(second.open(location, JournalStore::Access::ReadWrite, &error), qPrintable(error));
    QCOMPARE(second.claim(installation, now, &unclean, &error), granted);
    JournalQuery query(&second);
    QVector<JournalEvent> events;
    QVERIFY(query.events(EventFilter(), &events, &error));
    if (granted) {
        QCOMPARE(unclean, lastWrite);
        QCOMPARE(kindsOf(events), QStringList{QStringLiteral("recording-stopped:unclean")});
        QCOMPARE(events.first().timeMs, lastWrite);
    } else {
        QVERIFY2(error.contains(holderHost.isEmpty() ? QSysInfo::machineHostName() : holderHost),
                 qPrintable(error));
        QVERIFY2(error.contains(
                     QString::number(QDateTime::fromMSecsSinceEpoch(now - 60000).date().year())),
                 qPrintable(error));
        QVERIFY(events.isEmpty());
    }
    // Another installation in the same journal is never in the way.
    QVERIFY2(second.claim(QStringLiteral("other:49153"), now, &unclean, &error), qPrintable(error));
}

void TestJournalStore::writerRecordsStartEventsStop_data()
{
    addBackends();
    QTest::newRow("sqlite") << "sqlite";
    QTest::newRow("postgresql") << "postgresql";
}

void TestJournalStore::writerRecordsStartEventsStop()
{
    QFETCH(QString, backend);
    const JournalLocation location = freshJournal(backend);
    JournalWriter writer;
    QSignalSpy state(&writer, &JournalWriter::stateChanged);
    writer.start(location, QStringLiteral("plant:49153"), QStringLiteral("port 49153"));
    QVERIFY(state.wait(10000));
    QCOMPARE(state.first().at(0).toBool(), true);
    QVERIFY(writer.isRecording());
    QVERIFY(writer.problem().isEmpty());
    const qint64 t = QDateTime::currentMSecsSinceEpoch();
    JournalEvent danger = makeEvent(Journal::Kind::Danger, t, 3, QStringLiteral("false"),
                                    QStringLiteral("true"), 2, 5);
    danger.installation.clear(); // filled in by the writer
    danger.hasValue = true;
    danger.value = 12.3456f;
    danger.unit = QStringLiteral("mm/s");
    danger.detail = QStringLiteral("ünïcode 'quoted'; DROP TABLE journal_events");
    writer.record(danger);
    writer.record(
        makeEvent(Journal::Kind::RelayFault, t + 1, 3, QString(), QStringLiteral("1"), 0, 0, 8));
    writer.stop(QStringLiteral("signal 15"));
    QCOMPARE(writer.backlog(), 0);

    JournalStore store;
    QString error;
    QVERIFY2(store.open(location, JournalStore::Access::ReadOnly, &error), qPrintable(error));
    QVector<JournalEvent> events;
    QVERIFY2(JournalQuery(&store).events(EventFilter(), &events, &error), qPrintable(error));
    QCOMPARE(kindsOf(events),
             (QStringList{QStringLiteral("recording-started:port 49153"),
                          QStringLiteral("danger:") + danger.detail, QStringLiteral("relay-fault"),
                          QStringLiteral("recording-stopped:signal 15")}));
    const JournalEvent &read = events.at(1);
    QCOMPARE(read.installation, QStringLiteral("plant:49153"));
    QCOMPARE(read.timeMs, t);
    QCOMPARE(read.node, 3);
    QCOMPARE(read.channel, 2);
    QCOMPARE(read.slot, 5);
    QCOMPARE(read.from, QStringLiteral("false"));
    QCOMPARE(read.to, QStringLiteral("true"));
    QVERIFY(read.hasValue);
    QCOMPARE(read.value, 12.3456f);
    QCOMPARE(read.unit, QStringLiteral("mm/s"));
    QCOMPARE(events.at(2).relay, 8);
    QVERIFY(events.at(2).from.isEmpty());
    QVERIFY(!events.at(2).hasValue);
    QVERIFY(events.first().id < events.last().id);
}

void TestJournalStore::writerAfterCrashWritesUncleanStop()
{
    const JournalLocation location = freshJournal(QStringLiteral("sqlite"));
    const QString installation = QStringLiteral("plant:49153");
    qint64 lastWrite = 0;
    {
        // What a killed writer leaves: a lease held by a process that no longer runs.
        JournalStore crashed;
        QString error;
        qint64 unclean = 0;
        QVERIFY(crashed.open(location, JournalStore::Access::ReadWrite, &error));
        QVERIFY(crashed.claim(installation, QDateTime::currentMSecsSinceEpoch() - 5000, &unclean,
                              &error));
        lastWrite = QDateTime::currentMSecsSinceEpoch() - 2000;
        QVERIFY(
            crashed.write(QVector<JournalEvent>{makeEvent(Journal::Kind::NodeHeard, lastWrite - 100,
                                                          1, QString(), QString())},
                          {}, lastWrite));
        QSqlQuery q(crashed.database());
        q.prepare(QStringLiteral("UPDATE journal_writers SET pid = ?"));
        q.addBindValue(deadPid());
        QVERIFY(q.exec());
    }
    JournalWriter writer;
    QSignalSpy state(&writer, &JournalWriter::stateChanged);
    writer.start(location, installation, QStringLiteral("port 49153"));
    QVERIFY(state.wait(10000));
    QVERIFY2(writer.isRecording(), qPrintable(writer.problem()));
    writer.stop(QStringLiteral("quit"));

    JournalStore store;
    QString error;
    QVERIFY(store.open(location, JournalStore::Access::ReadOnly, &error));
    QVector<JournalEvent> events;
    QVERIFY(JournalQuery(&store).events(EventFilter(), &events, &error));
    QCOMPARE(kindsOf(events),
             (QStringList{QStringLiteral("node-heard"), QStringLiteral("recording-stopped:unclean"),
                          QStringLiteral("recording-started:port 49153"),
                          QStringLiteral("recording-stopped:quit")}));
    QCOMPARE(events.at(1).timeMs, lastWrite);
}

void TestJournalStore::backlogIsBoundedAndGapCounted()
{
    // A file where the journal's folder should be: nothing can be written until it goes.
    const QString blocker = dir.filePath(QStringLiteral("later"));
    QFile(blocker).open(QIODevice::WriteOnly);
    JournalLocation location;
    location.type = JournalLocation::Type::SQLite;
    location.path = blocker + QStringLiteral("/journal.sqlite");

    const int eventLimit = 2000;
    const int intervalLimit = 500;
    JournalWriter writer;
    writer.setRetryInterval(300);
    writer.setBacklogLimitsForTest(eventLimit, intervalLimit);
    QSignalSpy state(&writer, &JournalWriter::stateChanged);
    writer.start(location, QStringLiteral("plant:49153"), QStringLiteral("port 49153"));
    QVERIFY(state.wait(10000));
    QCOMPARE(state.last().at(0).toBool(), false);
    QVERIFY2(state.last().at(1).toString().contains(location.path),
             qPrintable(state.last().at(1).toString()));
    QVERIFY(!writer.isRecording());
    QVERIFY(!writer.problem().isEmpty());

    const qint64 t0 = QDateTime::currentMSecsSinceEpoch();
    const int extra = 7;
    // recording-started is queued too.
    for (int i = 0; i < eventLimit - 1 + extra; ++i)
        writer.record(makeEvent(Journal::Kind::RelayLogical, t0 + i, 1 + i % 32,
                                QStringLiteral("0"), QStringLiteral("1"), 0, 0, 1 + i % 8));
    // Trend intervals have a bound of their own.
    QVector<TrendInterval> intervals(intervalLimit + 3);
    for (int i = 0; i < intervals.size(); ++i) {
        intervals[i].node = 1 + i % 32;
        intervals[i].startMs = t0 - t0 % 1000 + 1000 * (i / 32);
        intervals[i].count = 1;
    }
    writer.recordIntervals(intervals);
    QCOMPARE(writer.backlog(), eventLimit + intervalLimit);

    QVERIFY(QFile::remove(blocker));
    QTRY_VERIFY_WITH_TIMEOUT(writer.isRecording(), 10000);
    QTRY_COMPARE_WITH_TIMEOUT(writer.backlog(), 0, 20000);
    writer.stop(QStringLiteral("quit"));

    JournalStore store;
    QString error;
    QVERIFY(store.open(location, JournalStore::Access::ReadOnly, &error));
    EventFilter gaps;
    gaps.kinds = {Journal::Kind::Gap};
    QVector<JournalEvent> events;
    QVERIFY(JournalQuery(&store).events(gaps, &events, &error));
    QCOMPARE(events.size(), 1);
    QCOMPARE(events.first().to, QString::number(extra));
    QVERIFY2(events.first().detail.startsWith(
                 QStringLiteral("%1 events and 3 trend intervals").arg(extra)),
             qPrintable(events.first().detail));
    QCOMPARE(events.first().timeMs, t0 + eventLimit - 1);
    QVERIFY(JournalQuery(&store).events(EventFilter(), &events, &error));
    QCOMPARE(events.size(), eventLimit + 2); // and the gap, and the stop
    QCOMPARE(Journal::kindName(events.first().kind), QStringLiteral("recording-started"));
}

void TestJournalStore::trendsAreWrittenSoonAfterTheDatagramsStop()
{
    const JournalLocation location = freshJournal(QStringLiteral("sqlite"));
    JournalRecorder recorder;
    recorder.start(location, QStringLiteral("plant:49153"), QString());
    QTRY_VERIFY_WITH_TIMEOUT(recorder.isRecording(), 10000);
    NodeStatus msg{};
    msg.node_id = 2;
    msg.has_channel1 = true;
    msg.channel1.state = CH_STATE_VALID;
    msg.channel1.has_meas1 = true;
    msg.channel1.meas1.type = 1;
    msg.channel1.meas1.value = 2.5f;
    // A second that ended a while ago, and no datagram since: the load has stopped, and its
    // interval need not wait for the writer's next batch.
    QElapsedTimer clock;
    clock.start();
    const qint64 before = QDateTime::currentMSecsSinceEpoch() - 2 * TrendAccumulator::IntervalMs;
    for (int i = 0; i < 3; ++i)
        recorder.datagramAccepted(msg, before + 100 * i);
    JournalStore store;
    QString error;
    QVERIFY(store.open(location, JournalStore::Access::ReadOnly, &error));
    auto trendBlocks = [&] {
        QSqlQuery q(store.database());
        return q.exec(QStringLiteral("SELECT count(*) FROM journal_trend")) && q.next()
                   ? q.value(0).toInt()
                   : -1;
    };
    QTRY_VERIFY_WITH_TIMEOUT(trendBlocks() == JournalStore::tiers().size(), 10000); // one per tier
    QVERIFY2(clock.elapsed() < JournalWorker::IntervalFlushMs / 2,
             qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(recorder.journalWriter()->backlog(), 0);
    recorder.stop(QStringLiteral("quit"));
}

void TestJournalStore::serverLostAndBackNothingLost()
{
    const JournalLocation location = freshJournal(QStringLiteral("postgresql"));
    JournalWriter writer;
    writer.setRetryInterval(300);
    writer.start(location, QStringLiteral("plant:49153"), QStringLiteral("port 49153"));
    QTRY_VERIFY_WITH_TIMEOUT(writer.isRecording(), 10000);
    const qint64 t0 = QDateTime::currentMSecsSinceEpoch();
    int sent = 0;
    auto send = [&](int n) {
        for (int i = 0; i < n; ++i, ++sent)
            writer.record(makeEvent(Journal::Kind::Alert, t0 + sent, 2, QStringLiteral("false"),
                                    QStringLiteral("true"), 1, 1 + sent % 8));
    };
    send(500);
    QTRY_COMPARE_WITH_TIMEOUT(writer.backlog(), 0, 10000);
    QVERIFY(server.stop());
    send(300);
    QTRY_VERIFY_WITH_TIMEOUT(!writer.isRecording(), 10000);
    QVERIFY(!writer.problem().isEmpty());
    send(200);
    QString error;
    QVERIFY2(server.start(&error), qPrintable(error));
    QTRY_VERIFY_WITH_TIMEOUT(writer.isRecording(), 15000);
    send(100);
    writer.stop(QStringLiteral("quit"));

    JournalStore store;
    QVERIFY2(store.open(location, JournalStore::Access::ReadOnly, &error), qPrintable(error));
    EventFilter alerts;
    alerts.kinds = {Journal::Kind::Alert};
    QVector<JournalEvent> events;
    QVERIFY(JournalQuery(&store).events(alerts, &events, &error));
    QCOMPARE(events.size(), sent);
    for (int i = 0; i < sent; ++i)
        QCOMPARE(events.at(i).timeMs, t0 + i);
    alerts.kinds = {Journal::Kind::Gap};
    QVERIFY(JournalQuery(&store).events(alerts, &events, &error));
    QVERIFY(events.isEmpty());
}

void TestJournalStore::twoInstallationsShareADatabase()
{
    const JournalLocation location = freshJournal(QStringLiteral("postgresql"));
    JournalWriter north;
    JournalWriter south;
    north.start(location, QStringLiteral("north:49153"), QStringLiteral("port 49153"));
    south.start(location, QStringLiteral("south:49153"), QStringLiteral("port 49153"));
    QTRY_VERIFY_WITH_TIMEOUT(north.isRecording() && south.isRecording(), 20000);
    const qint64 t0 = QDateTime::currentMSecsSinceEpoch();
    for (int i = 0; i < 50; ++i) {
        JournalEvent e =
            makeEvent(Journal::Kind::NodeHeard, t0 + i, 1 + i % 4, QString(), QString());
        e.installation.clear();
        north.record(e);
        south.record(e);
    }
    // A second writer of one installation is refused while the first records.
    JournalWriter intruder;
    QSignalSpy refused(&intruder, &JournalWriter::stateChanged);
    intruder.start(location, QStringLiteral("north:49153"), QString());
    QVERIFY(refused.wait(10000));
    QCOMPARE(refused.first().at(0).toBool(), false);
    QVERIFY2(refused.first().at(1).toString().contains(QSysInfo::machineHostName()),
             qPrintable(refused.first().at(1).toString()));
    intruder.stop(QString());
    north.stop(QStringLiteral("quit"));
    south.stop(QStringLiteral("quit"));

    JournalStore store;
    QString error;
    QVERIFY(store.open(location, JournalStore::Access::ReadOnly, &error));
    for (const QString &name : {QStringLiteral("north:49153"), QStringLiteral("south:49153")}) {
        EventFilter f;
        f.installation = name;
        QVector<JournalEvent> events;
        QVERIFY(JournalQuery(&store).events(f, &events, &error));
        QCOMPARE(events.size(), 52);
    }
}

void TestJournalStore::trendsMatchBruteForce_data()
{
    addBackends();
    QTest::newRow("sqlite") << "sqlite";
    QTest::newRow("postgresql") << "postgresql";
}

void TestJournalStore::trendsMatchBruteForce()
{
    QFETCH(QString, backend);
    const JournalLocation location = freshJournal(backend);
    JournalStore store;
    QString error;
    QVERIFY2(store.open(location, JournalStore::Access::ReadWrite, &error), qPrintable(error));

    // Two hours of one measurement, starting off any block boundary, with a silent stretch and
    // a few seconds without valid data.
    const qint64 start = 1796680000000LL + 37000;
    const int seconds = 7200;
    QVector<TrendInterval> intervals;
    QRandomGenerator random(16);
    for (int s = 0; s < seconds; ++s) {
        if (s >= 1000 && s < 1130)
            continue;
        TrendInterval iv;
        iv.installation = QStringLiteral("plant:49153");
        iv.node = 4;
        iv.channel = 3;
        iv.slot = 2;
        iv.measType = 7;
        iv.startMs = start + s * 1000LL;
        iv.count = 1 + random.bounded(10);
        iv.min = float(random.bounded(100.0));
        iv.max = iv.min + float(random.bounded(5.0));
        iv.sum = (double(iv.min) + iv.max) / 2 * iv.count;
        iv.last = iv.max;
        iv.valid = !(s >= 4000 && s < 4003);
        intervals << iv;
    }
    // Written in the pieces a writer would send, one of them twice.
    for (int i = 0; i < intervals.size(); i += 997)
        QVERIFY(store.write({}, intervals.mid(i, 997), 0));
    QVERIFY(store.write({}, intervals.mid(2000, 50), 0));

    // Every second whose interval of the tier used overlaps the range.
    auto bruteForce = [&](qint64 from, qint64 to, qint64 tierMs, qint64 bucketMs) {
        QMap<qint64, TrendRecord> buckets;
        for (const TrendInterval &iv : qAsConst(intervals)) {
            const qint64 tierStart = iv.startMs - iv.startMs % tierMs;
            if (tierStart + tierMs <= from || tierStart >= to)
                continue;
            TrendRecord r;
            r.count = iv.count;
            r.min = iv.min;
            r.max = iv.max;
            r.sum = iv.sum;
            r.last = iv.last;
            r.valid = iv.valid;
            buckets[iv.startMs - iv.startMs % bucketMs].merge(r);
        }
        return buckets;
    };
    struct Case
    {
        qint64 from, to;
        int points;
        int expectedInterval;
        int tierS; // the stored intervals the points are made of
    };
    const qint64 end = start + seconds * 1000LL;
    const qint64 day = 24 * 3600 * 1000LL;
    const QVector<Case> cases{
        {start, end, 100000, 1, 1},                  // every second fits
        {start, start + 3600000, 2000, 2, 1},        // one hour in two-second steps
        {start, end, 1000, 8, 1},                    // seconds merged
        {start, end, 130, 60, 60},                   // whole minutes
        {start, end, 120, 120, 60},                  // minutes merged
        {start, end, 12, 660, 60},                   // minutes merged into more than 10 min
        {start, end, 3, 3600, 600},                  // 10 min tier, merged
        {start - 30 * day, end, 50, 54000, 3600},    // hours, merged
        {start - 729 * day, end, 2000, 32400, 3600}, // two years
        {start + 1500, start + 9500, 50, 1, 1},      // partial seconds at the edges
        // Beginning before the recording did: still seconds, not the coarser tiers whose
        // blocks and intervals merely start earlier.
        {start - 1200000, start + 600000, 2000, 1, 1},
    };
    JournalQuery query(&store);
    for (const Case &c : cases) {
        QVector<TrendPoint> points;
        QVERIFY2(query.trend(QString(), 4, 3, 2, c.from, c.to, c.points, end, &points, &error),
                 qPrintable(error));
        QVERIFY(points.size() <= c.points);
        QVERIFY(!points.isEmpty());
        const int intervalS = points.first().intervalS;
        QCOMPARE(intervalS, c.expectedInterval);
        const auto expected = bruteForce(c.from, c.to, c.tierS * 1000LL, intervalS * 1000LL);
        QCOMPARE(points.size(), expected.size());
        int i = 0;
        for (auto it = expected.constBegin(); it != expected.constEnd(); ++it, ++i) {
            const TrendPoint &p = points.at(i);
            QCOMPARE(p.startMs, it.key());
            QCOMPARE(p.count, it->count);
            QCOMPARE(p.min, it->min);
            QCOMPARE(p.max, it->max);
            QCOMPARE(p.last, it->last);
            QCOMPARE(p.valid, it->valid);
            QVERIFY(qAbs(p.sum - it->sum) <= 1e-9 * qAbs(it->sum));
        }
    }

    // Once the seconds are pruned, a fine request falls back to the minutes.
    JournalRetention retention;
    retention.secondsMs = 1800000;
    QVERIFY(store.prune(retention, end));
    QVector<TrendPoint> points;
    QVERIFY(query.trend(QString(), 4, 3, 2, start, end, 100000, end, &points, &error));
    QCOMPARE(points.first().intervalS, 60);
    QCOMPARE(points.first().startMs, start - start % 60000);
}

void TestJournalStore::alarmsAndAcknowledgements_data()
{
    addBackends();
    QTest::newRow("sqlite") << "sqlite";
    QTest::newRow("postgresql") << "postgresql";
}

void TestJournalStore::alarmsAndAcknowledgements()
{
    QFETCH(QString, backend);
    const JournalLocation location = freshJournal(backend);
    JournalStore store;
    QString error;
    QVERIFY2(store.open(location, JournalStore::Access::ReadWrite, &error), qPrintable(error));
    using K = Journal::Kind;
    const qint64 t = 1796680000000LL;
    const QVector<JournalEvent> rows{
        makeEvent(K::RecordingStarted, t, 0, QString(), QString()), // 1
        makeEvent(K::NodeHeard, t + 1, 1, QString(), QString()),    // 2
        makeEvent(K::Danger, t + 2, 1, QStringLiteral("false"), QStringLiteral("true"), 1,
                  1), // 3 cleared by 4
        makeEvent(K::Danger, t + 3, 1, QStringLiteral("true"), QStringLiteral("false"), 1, 1), // 4
        makeEvent(K::Danger, t + 4, 1, QStringLiteral("false"), QStringLiteral("true"), 1,
                  1), // 5 active
        makeEvent(K::RelayFault, t + 5, 3, QString(), QStringLiteral("1"), 0, 0,
                  3), // 6 cleared by 8
        makeEvent(K::ChannelStatus, t + 6, 2, QString(), QStringLiteral("Open circuit"),
                  4),                                            // 7 cleared by 9
        makeEvent(K::NodeHeard, t + 7, 3, QString(), QString()), // 8
        makeEvent(K::ChannelStatus, t + 8, 2, QStringLiteral("Open circuit"),
                  QStringLiteral("Valid data"), 4), // 9
        makeEvent(K::Alert, t + 9, 2, QStringLiteral("false"), QStringLiteral("undetermined"), 1,
                  2), // 10 no alarm
        makeEvent(K::RelayPhysical, t + 10, 2, QStringLiteral("0"), QStringLiteral("1"), 0, 0,
                  1), // 11 no alarm
    };
    QVERIFY(store.write(rows, {}, t + 20));
    JournalQuery query(&store);
    QVector<AlarmEntry> alarms;
    QVERIFY2(query.alarms(EventFilter(), false, &alarms, &error), qPrintable(error));
    QStringList summary;
    for (const AlarmEntry &a : qAsConst(alarms))
        summary << QStringLiteral("%1 %2 %3 x%4")
                       .arg(a.event.id)
                       .arg(a.active ? "active" : "cleared")
                       .arg(a.clearedMs ? a.clearedMs - t : -1)
                       .arg(a.raisedCount);
    QCOMPARE(summary,
             (QStringList{"3 cleared 3 x2", "5 active -1 x2", "6 cleared 7 x1", "7 cleared 8 x1"}));
    QVERIFY(query.alarms(EventFilter(), true, &alarms, &error));
    QCOMPARE(alarms.size(), 1);

    QVERIFY2(query.acknowledge({3, 6}, QStringLiteral("ingrid"),
                               QStringLiteral("seen, bearing checked"), t + 30, &error),
             qPrintable(error));
    QVERIFY(!query.acknowledge({5, 3}, QStringLiteral("olaf"), QString(), t + 40, &error));
    QVERIFY2(error.contains(QLatin1String("ingrid")), qPrintable(error));
    QVERIFY(!query.acknowledge({10}, QStringLiteral("olaf"), QString(), t + 40, &error));
    QVERIFY(!query.acknowledge({999}, QStringLiteral("olaf"), QString(), t + 40, &error));

    EventFilter unacked;
    unacked.unackedOnly = true;
    QVector<JournalEvent> events;
    QVERIFY(query.events(unacked, &events, &error));
    QVector<qint64> ids;
    for (const JournalEvent &e : qAsConst(events))
        ids << e.id;
    QCOMPARE(ids, (QVector<qint64>{5, 7})); // 5 was refused along with 3
    QVERIFY(query.events(EventFilter(), &events, &error));
    QCOMPARE(events.size(), rows.size() + 2);
    QCOMPARE(events.at(2).ackedBy, QStringLiteral("ingrid"));
    QCOMPARE(events.at(2).ackedAtMs, t + 30);
    QCOMPARE(events.at(2).ackComment, QStringLiteral("seen, bearing checked"));
    QCOMPARE(Journal::kindName(events.last().kind), QStringLiteral("acknowledged"));
    EventFilter latest;
    latest.node = 1;
    latest.limit = 2;
    QVERIFY(query.events(latest, &events, &error));
    QCOMPARE(events.size(), 2);
    QVERIFY(events.first().timeMs < events.last().timeMs);
}

void TestJournalStore::olderSchemaIsReadAndMigratedWhole_data()
{
    addBackends();
    QTest::newRow("sqlite") << "sqlite";
    QTest::newRow("postgresql") << "postgresql";
}

void TestJournalStore::olderSchemaIsReadAndMigratedWhole()
{
    QFETCH(QString, backend);
    const JournalLocation location = freshJournal(backend);
    const bool pg = backend == QLatin1String("postgresql");
    // Statements on a connection of its own, past the store, which would migrate on opening.
    auto raw = [&](const QString &sql, QStringList *rows = nullptr) {
        bool ok = false;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(
                pg ? QStringLiteral("QPSQL") : QStringLiteral("QSQLITE"), QStringLiteral("raw"));
            if (pg) {
                db.setHostName(location.host);
                db.setPort(location.port);
                db.setUserName(location.user);
                db.setDatabaseName(location.database);
            } else {
                db.setDatabaseName(location.path);
            }
            if (db.open()) {
                QSqlQuery q(db);
                ok = q.exec(sql);
                while (rows && q.next())
                    *rows << q.value(0).toString();
            }
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("raw"));
        return ok;
    };
    auto indexNames = [&] {
        QStringList names;
        raw(pg ? QStringLiteral(
                     "SELECT indexname FROM pg_indexes WHERE tablename = 'journal_events'")
               : QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'index' AND "
                                "tbl_name = 'journal_events'"),
            &names);
        return names;
    };
    using K = Journal::Kind;
    const qint64 t = 1796680000000LL;
    const qint64 day = 24 * 3600 * 1000LL;
    // Ten days of ten-minute intervals across a week's boundary, one day missing; read over a
    // year, which only the hour tier answers in the points asked for.
    QVector<TrendInterval> intervals;
    for (qint64 at = t - t % 600000 - 10 * day; at < t; at += 600000) {
        if (at > t - 6 * day && at < t - 5 * day)
            continue;
        TrendInterval iv;
        iv.installation = QStringLiteral("plant:49153");
        iv.node = 1;
        iv.channel = 2;
        iv.slot = 3;
        iv.measType = 2;
        iv.startMs = at;
        iv.intervalS = 600;
        iv.count = 6000;
        iv.min = float(at % 7919) / 100;
        iv.max = iv.min + 2;
        iv.sum = (iv.min + 1.0) * iv.count;
        iv.last = iv.max;
        iv.valid = at % 11 != 0;
        intervals << iv;
    }
    auto yearTrend = [&](JournalStore &store) {
        QVector<TrendPoint> points;
        QString error;
        if (!JournalQuery(&store).trend(QString(), 1, 2, 3, t - 365 * day, t, 500, t, &points,
                                        &error))
            qWarning() << error;
        return points;
    };
    // Everything the points hold, merged: the same whichever intervals they were read from.
    auto same = [](const QVector<TrendPoint> &a, const QVector<TrendPoint> &b) {
        TrendRecord all[2];
        for (int i = 0; i < 2; ++i) {
            for (const TrendPoint &p : i ? b : a) {
                TrendRecord r;
                r.count = p.count;
                r.min = p.min;
                r.max = p.max;
                r.sum = p.sum;
                r.last = p.last;
                r.valid = p.valid;
                all[i].merge(r);
            }
        }
        return all[0].count == all[1].count && all[0].min == all[1].min &&
               all[0].max == all[1].max && all[0].last == all[1].last &&
               all[0].valid == all[1].valid &&
               qAbs(all[0].sum - all[1].sum) <= 1e-9 * qAbs(all[1].sum);
    };
    QVector<TrendPoint> written;
    {
        JournalStore store;
        QString error;
        QVERIFY2(store.open(location, JournalStore::Access::ReadWrite, &error), qPrintable(error));
        QVERIFY(store.write(
            {makeEvent(K::Danger, t, 1, QStringLiteral("false"), QStringLiteral("true"), 1, 1),
             makeEvent(K::Danger, t + 5, 1, QStringLiteral("true"), QStringLiteral("false"), 1, 1)},
            intervals, t + 10));
        written = yearTrend(store);
        QVERIFY(!written.isEmpty());
        QCOMPARE(written.first().intervalS % 3600, 0);
    }
    // The journal as the first schema made it, with an alarm raised and cleared.
    QVERIFY(raw(QStringLiteral("DELETE FROM journal_trend WHERE tier = 3")));
    QVERIFY(raw(QStringLiteral("DROP INDEX journal_events_quiet")));
    QVERIFY(raw(QStringLiteral("CREATE INDEX journal_events_item ON journal_events "
                               "(node, kind, channel, slot, relay, id) WHERE alarm IS NOT NULL")));
    QVERIFY(raw(QStringLiteral("ALTER TABLE journal_writers DROP COLUMN program")));
    QVERIFY(raw(QStringLiteral("UPDATE journal_meta SET value = '1' WHERE key = 'schema'")));
    auto clearedAfter = [&](JournalStore &store) {
        QVector<AlarmEntry> alarms;
        QString error;
        if (!JournalQuery(&store).alarms(EventFilter(), false, &alarms, &error) ||
            alarms.size() != 1)
            return qint64(-1);
        return alarms.first().clearedMs - t;
    };
    {
        // A reader reads it as it is.
        JournalStore reader;
        QString error;
        QVERIFY2(reader.open(location, JournalStore::Access::ReadOnly, &error), qPrintable(error));
        QCOMPARE(reader.schemaVersion(), 1);
        QCOMPARE(clearedAfter(reader), qint64(5));
        // From the ten minutes, which hold the same.
        QVERIFY(same(yearTrend(reader), written));
    }
    // A migration that fails halfway leaves the first schema whole: the index it dropped first
    // is still there.
    QVERIFY(raw(QStringLiteral("CREATE TABLE journal_events_quiet (x INTEGER)")));
    const QByteArray before = pg ? QByteArray() : fileHash(location.path);
    for (int attempt = 0; attempt < 2; ++attempt) {
        // Still schema 1 after a failure, so a second attempt fails the same way.
        JournalStore writer;
        QString error;
        QVERIFY(!writer.open(location, JournalStore::Access::ReadWrite, &error));
        QVERIFY2(error.contains(QLatin1String("cannot update schema 1")), qPrintable(error));
    }
    if (!pg)
        QCOMPARE(fileHash(location.path), before);
    QVERIFY(indexNames().contains(QStringLiteral("journal_events_item")));
    QStringList schema;
    QVERIFY(raw(QStringLiteral("SELECT value FROM journal_meta WHERE key = 'schema'"), &schema));
    QCOMPARE(schema, QStringList{QStringLiteral("1")});

    QVERIFY(raw(QStringLiteral("DROP TABLE journal_events_quiet")));
    JournalStore writer;
    QString error;
    QVERIFY2(writer.open(location, JournalStore::Access::ReadWrite, &error), qPrintable(error));
    QCOMPARE(writer.schemaVersion(), int(JournalStore::SchemaVersion));
    QCOMPARE(clearedAfter(writer), qint64(5));
    // The hours the migration made are those the writer makes.
    const QVector<TrendPoint> migrated = yearTrend(writer);
    QCOMPARE(migrated.size(), written.size());
    for (int i = 0; i < migrated.size(); ++i) {
        QCOMPARE(migrated[i].startMs, written[i].startMs);
        QCOMPARE(migrated[i].intervalS, written[i].intervalS);
        QVERIFY(same({migrated[i]}, {written[i]}));
    }
    // The lease of a migrated journal names its program.
    qint64 unclean = 0;
    QVERIFY2(writer.claim(QStringLiteral("plant:49153"), t + 1000, &unclean, &error),
             qPrintable(error));
    {
        QSqlQuery q(writer.database());
        QVERIFY(q.exec(QStringLiteral("SELECT program FROM journal_writers")) && q.next());
        QCOMPARE(q.value(0).toString(),
                 QFileInfo(QCoreApplication::applicationFilePath()).fileName());
    }
    writer.close();
    const QStringList names = indexNames();
    QVERIFY2(names.contains(QStringLiteral("journal_events_quiet")), qPrintable(names.join(' ')));
    QVERIFY(!names.contains(QStringLiteral("journal_events_item")));
}

void TestJournalStore::killedWriterLosesAtMostASecond()
{
    const JournalLocation location = freshJournal(QStringLiteral("sqlite"));
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("ORVO_JOURNAL_CHILD"), location.path);
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), QStringList());
    QVERIFY(child.waitForStarted());
    QByteArray output;
    QTRY_VERIFY_WITH_TIMEOUT((output += child.readAllStandardOutput()).count('\n') >= 300, 20000);
    const qint64 killedAt = QDateTime::currentMSecsSinceEpoch();
    ::kill(pid_t(child.processId()), SIGKILL);
    QVERIFY(child.waitForFinished());
    output += child.readAllStandardOutput();

    JournalStore store;
    QString error;
    QVERIFY2(store.open(location, JournalStore::Access::ReadOnly, &error), qPrintable(error));
    QString report;
    QVERIFY2(store.check(&report), qPrintable(report));
    EventFilter filter;
    filter.kinds = {Journal::Kind::Alert};
    QVector<JournalEvent> events;
    QVERIFY(JournalQuery(&store).events(filter, &events, &error));
    QSet<qint64> stored;
    for (const JournalEvent &e : qAsConst(events))
        stored.insert(e.timeMs);
    int older = 0;
    for (const QByteArray &line : output.split('\n')) {
        const qint64 sent = line.toLongLong();
        if (sent && sent < killedAt - 1000) {
            ++older;
            QVERIFY2(
                stored.contains(sent),
                qPrintable(
                    QStringLiteral("lost event of %1 ms before the kill").arg(killedAt - sent)));
        }
    }
    QVERIFY(older > 100);
    store.close();

    JournalWriter writer;
    writer.start(location, QStringLiteral("plant:49153"), QStringLiteral("port 49153"));
    QTRY_VERIFY_WITH_TIMEOUT(writer.isRecording(), 10000);
    writer.stop(QStringLiteral("quit"));
    QVERIFY(store.open(location, JournalStore::Access::ReadOnly, &error));
    filter.kinds = {Journal::Kind::RecordingStopped};
    QVERIFY(JournalQuery(&store).events(filter, &events, &error));
    QCOMPARE(kindsOf(events), (QStringList{QStringLiteral("recording-stopped:unclean"),
                                           QStringLiteral("recording-stopped:quit")}));
    QVERIFY(events.first().timeMs <= killedAt);
    QVERIFY(events.first().timeMs >= killedAt - 1500);
}

void TestJournalStore::trendBlockCodec_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<bool>("accepted");
    TrendBlock block(60, 60);
    TrendRecord r;
    r.count = 600;
    r.min = -1.5f;
    r.max = 3.25f;
    r.sum = 1234.0625;
    r.last = 2.0f;
    r.valid = false;
    block.set(17, r);
    QTest::newRow("encoded block") << block.encode() << true;
    QTest::newRow("empty") << QByteArray() << false;
    QTest::newRow("not compressed") << QByteArray(1440, 'x') << false;
    QTest::newRow("block of another size") << TrendBlock(60, 61).encode() << false;
    QTest::newRow("truncated") << block.encode().left(20) << false;
}

void TestJournalStore::trendBlockCodec()
{
    QFETCH(QByteArray, data);
    QFETCH(bool, accepted);
    TrendBlock block(60, 60);
    QCOMPARE(block.decode(data), accepted);
    const TrendRecord r = block.at(17);
    QCOMPARE(r.count, accepted ? 600u : 0u);
    if (accepted) {
        QCOMPARE(r.min, -1.5f);
        QCOMPARE(r.max, 3.25f);
        QCOMPARE(r.sum, 1234.0625);
        QCOMPARE(r.last, 2.0f);
        QCOMPARE(r.valid, false);
        QCOMPARE(block.at(16).count, 0u);
        QVERIFY(block.at(16).valid);
    }
}

namespace {

// The writer that killedWriterLosesAtMostASecond kills: records an event every 5 ms and says
// when, once it is queued.
int runChildWriter(const QString &path)
{
    JournalLocation location;
    location.type = JournalLocation::Type::SQLite;
    location.path = path;
    JournalWriter writer;
    writer.start(location, QStringLiteral("plant:49153"), QStringLiteral("port 49153"));
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, &writer, [&writer] {
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        writer.record(makeEvent(Journal::Kind::Alert, now, 1, QStringLiteral("false"),
                                QStringLiteral("true"), 1, 1));
        std::printf("%lld\n", static_cast<long long>(now));
        std::fflush(stdout);
    });
    timer.start(5);
    return QCoreApplication::exec();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString child = qEnvironmentVariable("ORVO_JOURNAL_CHILD");
    if (!child.isEmpty())
        return runChildWriter(child);
    TestJournalStore test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_journalstore.moc"
