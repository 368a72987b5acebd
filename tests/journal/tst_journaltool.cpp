#include "journalformat.h"
#include "journalstore.h"

#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <ctime>

namespace {

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

// configHome: a settings folder of the test's own in place of the user's.
Run runTool(const QStringList &arguments, const QString &locale = QString(),
            const QString &configHome = QString())
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!locale.isEmpty())
        environment.insert(QStringLiteral("LC_ALL"), locale);
    if (!configHome.isEmpty())
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome);
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(ORVO_JOURNAL_TOOL), arguments);
    Run run;
    if (!process.waitForFinished(30000))
        return run;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

JournalEvent makeEvent(Journal::Kind kind, qint64 timeMs, int node, const QString &from,
                       const QString &to)
{
    JournalEvent e;
    e.kind = kind;
    e.timeMs = timeMs;
    e.installation = QStringLiteral("plant:49153");
    e.node = node;
    e.from = from;
    e.to = to;
    return e;
}

} // namespace

class TestJournalTool : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void eventsAsCsv();
    void exitStatus_data();
    void exitStatus();
    void messagesInTheSystemLanguage_data();
    void messagesInTheSystemLanguage();
    void acknowledgeThenAlarms();
    void trendAsCsv();
    void followPrintsNewRows();
    void timesCarryTheirOffset_data();
    void timesCarryTheirOffset();
    void siteSettingsNameTheJournalAndItsRetention();

private:
    QString journal;
    QTemporaryDir dir;
    const qint64 t0 = 1796684180123LL; // 2026-12-07T22:56:20.123Z
};

void TestJournalTool::initTestCase()
{
    qputenv("TZ", "Europe/Berlin");
    QVERIFY(dir.isValid());
    // The tool reads the journal keys of the settings: the test's own, not the user's.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.filePath(QStringLiteral("no-config"))));
    journal = dir.filePath(QStringLiteral("journal.sqlite"));
    JournalLocation location;
    location.type = JournalLocation::Type::SQLite;
    location.path = journal;
    JournalStore store;
    QString error;
    QVERIFY2(store.open(location, JournalStore::Access::ReadWrite, &error), qPrintable(error));
    JournalEvent danger =
        makeEvent(Journal::Kind::Danger, t0, 5, QStringLiteral("false"), QStringLiteral("true"));
    danger.channel = 2;
    danger.slot = 3;
    danger.hasValue = true;
    danger.value = 0.1f;
    danger.unit = QStringLiteral("mm/s");
    danger.detail = QStringLiteral("a, \"quoted\" detail");
    JournalEvent relay = makeEvent(Journal::Kind::RelayPhysical, t0 + 1000, 5, QStringLiteral("0"),
                                   QStringLiteral("1"));
    relay.relay = 4;
    QVERIFY(store.write(
        {makeEvent(Journal::Kind::NodeHeard, t0 - 1, 5, QString(), QString()), danger, relay}, {},
        t0));
    QVector<TrendInterval> intervals;
    for (int s = 0; s < 3; ++s) {
        TrendInterval iv;
        iv.installation = QStringLiteral("plant:49153");
        iv.node = 5;
        iv.channel = 2;
        iv.slot = 3;
        iv.startMs = 1796684160000LL + s * 1000;
        iv.count = 2;
        iv.min = 1.5f;
        iv.max = 2.5f + s;
        iv.sum = 4.0 + s;
        iv.last = 2.5f;
        iv.valid = s != 1;
        intervals << iv;
    }
    QVERIFY(store.write({}, intervals, t0));
}

void TestJournalTool::eventsAsCsv()
{
    const Run run = runTool({QStringLiteral("events"), QStringLiteral("--journal"), journal,
                             QStringLiteral("--format"), QStringLiteral("csv"),
                             QStringLiteral("--kind"), QStringLiteral("danger,relay-physical")});
    QCOMPARE(run.exitCode, 0);
    const QStringList lines = run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines.at(0),
             QStringLiteral("id,time,installation,node,channel,slot,relay,kind,from,to,value,unit,"
                            "detail,acked_by,acked_at,ack_comment"));
    QCOMPARE(lines.at(1),
             QStringLiteral("2,2026-12-07T23:56:20.123+01:00,plant:49153,5,2,3,,danger,false,true,"
                            "0.1,mm/s,\"a, \"\"quoted\"\" detail\",,,"));
    QCOMPARE(lines.at(2),
             QStringLiteral(
                 "3,2026-12-07T23:56:21.123+01:00,plant:49153,5,,,4,relay-physical,0,1,,,,,,"));
}

void TestJournalTool::exitStatus_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");
    QTest::newRow("no command") << QStringList() << 2 << "no command";
    QTest::newRow("unknown command") << QStringList{"fly"} << 2 << "unknown command";
    QTest::newRow("unknown kind") << QStringList{"events", "--kind", "relay"} << 2
                                  << "no such kind";
    QTest::newRow("bad time") << QStringList{"events", "--from", "yesterday"} << 2 << "not a time";
    QTest::newRow("node out of range") << QStringList{"events", "--node", "33"} << 2 << "--node";
    QTest::newRow("ack without comment") << QStringList{"ack", "2"} << 2 << "--comment";
    QTest::newRow("trend without slot")
        << QStringList{"trend", "--node", "1", "--channel", "1"} << 2 << "--slot";
    QTest::newRow("password in address")
        << QStringList{"stats", "--journal", "postgresql://u:pw@h/d"} << 2 << "password";
    QTest::newRow("no journal there")
        << QStringList{"events", "--journal", "@DIR@/none.sqlite"} << 1 << "none.sqlite";
    QTest::newRow("not a journal")
        << QStringList{"check", "--journal", "@DIR@/text.sqlite"} << 1 << "not a journal";
    QTest::newRow("check passes") << QStringList{"check", "--journal", "@JOURNAL@"} << 0 << "";
    QTest::newRow("stats") << QStringList{"stats", "--journal", "@JOURNAL@"} << 0 << "";
}

void TestJournalTool::exitStatus()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    QFile text(dir.filePath(QStringLiteral("text.sqlite")));
    QVERIFY(text.open(QIODevice::WriteOnly));
    text.write("plain text, long enough to be looked at");
    text.close();
    for (QString &a : arguments)
        a.replace(QLatin1String("@DIR@"), dir.path()).replace(QLatin1String("@JOURNAL@"), journal);
    const Run run = runTool(arguments);
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
    QVERIFY(!run.err.contains(QLatin1String("pw@")));
}

void TestJournalTool::messagesInTheSystemLanguage_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");
    QTest::newRow("address") << QStringList{"stats", "--journal", "postgresql://u:pw@h/d"}
                             << "пароль не указывают в адресе журнала";
    QTest::newRow("not a journal") << QStringList{"check", "--journal", "@DIR@/text.sqlite"}
                                   << "это не журнал (не база SQLite)";
}

void TestJournalTool::messagesInTheSystemLanguage()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    QFile text(dir.filePath(QStringLiteral("text.sqlite")));
    QVERIFY(text.open(QIODevice::WriteOnly));
    text.write("plain text, long enough to be looked at");
    text.close();
    arguments.replaceInStrings(QStringLiteral("@DIR@"), dir.path());
    const Run run = runTool(arguments, QStringLiteral("ru_RU.UTF-8"));
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
}

void TestJournalTool::acknowledgeThenAlarms()
{
    Run run = runTool({QStringLiteral("alarms"), QStringLiteral("--journal"), journal,
                       QStringLiteral("--unacked")});
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.out.startsWith(
                 QLatin1String("active unacknowledged since 2026-12-07T23:56:20.123+01:00")),
             qPrintable(run.out));
    run = runTool({QStringLiteral("ack"), QStringLiteral("2"), QStringLiteral("--journal"), journal,
                   QStringLiteral("--comment"), QStringLiteral("checked on site"),
                   QStringLiteral("--user"), QStringLiteral("ingrid")});
    QCOMPARE(run.exitCode, 0);
    run = runTool({QStringLiteral("ack"), QStringLiteral("2"), QStringLiteral("--journal"), journal,
                   QStringLiteral("--comment"), QStringLiteral("again")});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(QLatin1String("ingrid")), qPrintable(run.err));
    run = runTool({QStringLiteral("alarms"), QStringLiteral("--journal"), journal,
                   QStringLiteral("--unacked")});
    QCOMPARE(run.out, QString());
    run = runTool({QStringLiteral("events"), QStringLiteral("--journal"), journal,
                   QStringLiteral("--format"), QStringLiteral("csv"), QStringLiteral("--alarms")});
    QVERIFY2(run.out.contains(QRegularExpression(
                 QStringLiteral(",ingrid,2\\d{3}-[^,]+\\+0[12]:00,checked on site\n"))),
             qPrintable(run.out));
}

void TestJournalTool::trendAsCsv()
{
    const Run run =
        runTool({QStringLiteral("trend"), QStringLiteral("--journal"), journal,
                 QStringLiteral("--node"), QStringLiteral("5"), QStringLiteral("--channel"),
                 QStringLiteral("2"), QStringLiteral("--slot"), QStringLiteral("3"),
                 QStringLiteral("--from"), QStringLiteral("2026-12-07T22:56:00Z"),
                 QStringLiteral("--to"), QStringLiteral("2026-12-07T22:56:03Z")});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, QStringLiteral("time,interval_s,count,min,max,mean,last,valid\n"
                                     "2026-12-07T23:56:00.000+01:00,1,2,1.5,2.5,2,2.5,true\n"
                                     "2026-12-07T23:56:01.000+01:00,1,2,1.5,3.5,2.5,2.5,false\n"
                                     "2026-12-07T23:56:02.000+01:00,1,2,1.5,4.5,3,2.5,true\n"));
}

void TestJournalTool::followPrintsNewRows()
{
    QProcess follower;
    follower.start(QStringLiteral(ORVO_JOURNAL_TOOL),
                   {QStringLiteral("events"), QStringLiteral("--journal"), journal,
                    QStringLiteral("--follow"), QStringLiteral("--node"), QStringLiteral("9"),
                    QStringLiteral("--format"), QStringLiteral("csv")});
    QVERIFY(follower.waitForStarted());
    QVERIFY(follower.waitForReadyRead(10000)); // the header
    JournalLocation location;
    location.type = JournalLocation::Type::SQLite;
    location.path = journal;
    JournalStore store;
    QString error;
    QVERIFY(store.open(location, JournalStore::Access::ReadWrite, &error));
    QVERIFY(store.write({makeEvent(Journal::Kind::NodeSilent, t0 + 5000, 9, QString(), QString())},
                        {}, t0));
    QByteArray seen;
    QTRY_VERIFY_WITH_TIMEOUT(
        (seen += follower.readAllStandardOutput()).contains(",9,,,,node-silent,"), 10000);
    follower.kill();
    follower.waitForFinished();
}

void TestJournalTool::timesCarryTheirOffset_data()
{
    QTest::addColumn<QString>("utc");
    QTest::addColumn<QString>("local");
    // In this order: each row follows the one before, as rows of an export do.
    QTest::newRow("winter") << "2026-12-07T22:56:20.123Z"
                            << "2026-12-07T23:56:20.123+01:00";
    QTest::newRow("before the change") << "2026-03-29T01:06:59.999Z"
                                       << "2026-03-29T02:06:59.999+01:00";
    QTest::newRow("the change, in the same quarter hour") << "2026-03-29T01:07:00.000Z"
                                                          << "2026-03-29T03:07:00.000+02:00";
    QTest::newRow("back before it") << "2026-03-29T01:00:00.000Z"
                                    << "2026-03-29T02:00:00.000+01:00";
    QTest::newRow("the next quarter") << "2026-03-29T01:15:00.000Z"
                                      << "2026-03-29T03:15:00.000+02:00";
    QTest::newRow("before 1970") << "1969-12-31T23:59:59.999Z"
                                 << "1970-01-01T00:59:59.999+01:00";
}

void TestJournalTool::timesCarryTheirOffset()
{
    QFETCH(QString, utc);
    QFETCH(QString, local);
    // A zone whose summer time starts off a quarter hour, at 02:07 local time.
    const QByteArray before = qgetenv("TZ");
    qputenv("TZ", "ABC-1DEF,M3.5.0/2:07,M10.5.0/3");
    tzset();
    const qint64 ms = QDateTime::fromString(utc, Qt::ISODateWithMs).toMSecsSinceEpoch();
    const QString text = JournalFormat::time(ms);
    qputenv("TZ", before);
    tzset();
    QCOMPARE(text, local);
}

void TestJournalTool::siteSettingsNameTheJournalAndItsRetention()
{
    // A journal of its own: one event two hours old, one of now.
    const QString site = dir.filePath(QStringLiteral("site.sqlite"));
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    {
        JournalLocation location;
        location.type = JournalLocation::Type::SQLite;
        location.path = site;
        JournalStore store;
        QString error;
        QVERIFY2(store.open(location, JournalStore::Access::ReadWrite, &error), qPrintable(error));
        QVERIFY(store.write(
            {makeEvent(Journal::Kind::NodeHeard, now - 7200000, 1, QString(), QString()),
             makeEvent(Journal::Kind::NodeHeard, now, 2, QString(), QString())},
            {}, now));
    }
    const QString config = dir.filePath(QStringLiteral("config"));
    const QString iniPath = config + QStringLiteral("/Keldor/Orvo_ICP View.ini");
    auto setKeep = [&](const QString &keep) {
        QSettings ini(iniPath, QSettings::IniFormat);
        ini.setValue(QStringLiteral("journal"), site);
        ini.setValue(QStringLiteral("journalKeep"), keep);
    };
    auto eventRows = [&] {
        const Run run =
            runTool({QStringLiteral("events"), QStringLiteral("--format"), QStringLiteral("csv")},
                    QString(), config);
        return run.exitCode == 0 ? run.out.count(QLatin1Char('\n')) - 1 : -1;
    };
    // Without --journal the tool reads the journal the key names, as the recorders write it.
    setKeep(QStringLiteral("events=forever"));
    QCOMPARE(eventRows(), 2);

    // A key that holds no retention is refused, naming the key; nothing is pruned.
    Run run = runTool({QStringLiteral("prune")}, QString(), config);
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(QLatin1String("journalKeep")), qPrintable(run.err));
    QCOMPARE(eventRows(), 2);

    // --keep before the key; then the key's own retention.
    run = runTool({QStringLiteral("prune"), QStringLiteral("--keep"), QStringLiteral("events=3h")},
                  QString(), config);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(eventRows(), 2);
    setKeep(QStringLiteral("events=1h"));
    run = runTool({QStringLiteral("prune")}, QString(), config);
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.out.contains(site), qPrintable(run.out));
    QCOMPARE(eventRows(), 1);
}

QTEST_GUILESS_MAIN(TestJournalTool)
#include "tst_journaltool.moc"
