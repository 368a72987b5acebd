#include "journaloptions.h"
#include "journalrecorder.h"
#include "journalstore.h"
#include "journaltool.h"
#include "journalwriter.h"
#include "mainwindow.h"
#include "qttranslationswitch.h"
#include "statusdatagram.h"
#include "udpsender.h"

#include <QLabel>
#include <QProcess>
#include <QSettings>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

using JournalTool::Row;

namespace {
int countRows(const QVector<Row> &rows, const QString &kind, const QString &from, const QString &to)
{
    int n = 0;
    for (const Row &row : rows)
        n += row.value(QStringLiteral("kind")) == kind &&
             row.value(QStringLiteral("from")) == from && row.value(QStringLiteral("to")) == to;
    return n;
}

// Root writes into a folder of mode 0500 all the same; an immutable folder stops it too.
bool makeReadOnly(const QString &dir, bool readOnly)
{
    if (!QFile::setPermissions(dir, readOnly
                                        ? QFile::ReadOwner | QFile::ExeOwner
                                        : QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
        return false;
    if (::geteuid() != 0)
        return true;
    return QProcess::execute(QStringLiteral("chattr"),
                             {readOnly ? QStringLiteral("+i") : QStringLiteral("-i"), dir}) == 0;
}
} // namespace

class TestViewerJournal : public QObject
{
    Q_OBJECT

    QTemporaryDir settingsDir;
    QTemporaryDir dir;
    const quint16 port = UdpSender::freePort();

private slots:
    void initTestCase()
    {
        QVERIFY(port != 0);
        QVERIFY(settingsDir.isValid() && dir.isValid());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
    }

    void recordsEveryDatagramNotOnlyWhatThePanelsShow()
    {
        MainWindow window(nullptr, port);
        JournalRecorder recorder;
        window.setJournalRecorder(&recorder);
        JournalLocation location;
        QString error;
        const QString path = dir.filePath(QStringLiteral("viewer.sqlite"));
        QVERIFY(JournalLocation::parse(path, &location, &error));
        recorder.start(location, QStringLiteral("viewer-test"),
                       JournalOptions::startDetail(port, window.isListening(), QString()));

        // At 20 Hz the panels show one datagram in seven: most one-datagram dangers never
        // reach them.
        QProcess sim;
        sim.start(QStringLiteral(ORVO_NODE_SIM),
                  {QStringLiteral("--node"), QStringLiteral("4:ch=1:types=1:blip=0.3"),
                   QStringLiteral("--rate"), QStringLiteral("20"), QStringLiteral("--duration"),
                   QStringLiteral("2"), QStringLiteral("--port"), QString::number(port)});
        QTRY_VERIFY_WITH_TIMEOUT(sim.state() == QProcess::NotRunning, 30000);
        QCOMPARE(sim.exitCode(), 0);
        QVERIFY(window.isPresent(3));
        QVERIFY(recorder.isRecording());
        QVERIFY(window.journalError().isEmpty());
        recorder.stop(QStringLiteral("viewer closed"));

        const QVector<Row> rows =
            JournalTool::events(QStringLiteral(ORVO_JOURNAL_TOOL), path, &error);
        QVERIFY2(!rows.isEmpty(), qPrintable(error));
        QCOMPARE(rows.first().value(QStringLiteral("detail")),
                 QStringLiteral("listening on UDP port %1").arg(port));
        const int rises = countRows(rows, QStringLiteral("danger"), QStringLiteral("false"),
                                    QStringLiteral("true"));
        QVERIFY2(rises >= 5, qPrintable(QString::number(rises)));
        QCOMPARE(countRows(rows, QStringLiteral("danger"), QStringLiteral("true"),
                           QStringLiteral("false")),
                 rises);
        QCOMPARE(rows.last().value(QStringLiteral("kind")), QStringLiteral("recording-stopped"));
    }

    void aReadOnlyFolderKeepsTheDisplayAndSaysSo()
    {
        const QString folder = dir.filePath(QStringLiteral("locked"));
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(makeReadOnly(folder, true));
        auto unlock = qScopeGuard([&] { makeReadOnly(folder, false); });

        MainWindow window(nullptr, port);
        JournalRecorder recorder;
        window.setJournalRecorder(&recorder);
        JournalLocation location;
        QString error;
        QVERIFY(
            JournalLocation::parse(folder + QStringLiteral("/journal.sqlite"), &location, &error));
        recorder.start(location, QStringLiteral("viewer-test"), QString());

        QTRY_VERIFY_WITH_TIMEOUT(!window.journalError().isEmpty(), 10000);
        QVERIFY2(window.journalError().contains(QStringLiteral("not recording")),
                 qPrintable(window.journalError()));
        const auto *label = window.findChild<QLabel *>(QStringLiteral("journalErrorLabel"));
        QVERIFY(label && !label->isHidden());

        NodeSample node;
        node.node_id = 12;
        node.channels = {ChannelSample{1, 0, {MeasSample{1, 2.0f, 0x0100, 1, 0.1f, 0.1f}}}};
        UdpSender sender(port);
        QVERIFY(sender.send(StatusDatagram::node(node)));
        QTRY_VERIFY(window.isPresent(11));
        QVERIFY(!QFile::exists(folder + QStringLiteral("/journal.sqlite")));
        recorder.stop(QStringLiteral("test over"));
    }

    void anInstallationAnotherWriterHoldsIsNotRecordedAndSaysSo()
    {
        const QString path = dir.filePath(QStringLiteral("held.sqlite"));
        JournalLocation location;
        QString error;
        QVERIFY(JournalLocation::parse(path, &location, &error));
        JournalStore holder;
        QVERIFY2(holder.open(location, JournalStore::Access::ReadWrite, &error), qPrintable(error));
        qint64 unclean = 0;
        QVERIFY2(holder.claim(QStringLiteral("viewer-test"), QDateTime::currentMSecsSinceEpoch(),
                              &unclean, &error),
                 qPrintable(error));

        MainWindow window(nullptr, port);
        JournalRecorder recorder;
        // Retried often, to see that it is not retried at all.
        recorder.journalWriter()->setRetryInterval(50);
        window.setJournalRecorder(&recorder);
        QSignalSpy refused(&recorder, &JournalRecorder::refused);
        recorder.start(location, QStringLiteral("viewer-test"), QString());
        QVERIFY(refused.wait(10000));
        QVERIFY2(window.journalError().contains(
                     QStringLiteral("is being recorded by %1").arg(QSysInfo::machineHostName())),
                 qPrintable(window.journalError()));

        NodeSample node;
        node.node_id = 3;
        UdpSender sender(port);
        QVERIFY(sender.send(StatusDatagram::node(node)));
        QTRY_VERIFY(window.isPresent(2));
        QTest::qWait(300);
        QVERIFY(!recorder.isRecording());
        QVERIFY(!window.journalError().isEmpty());
        QCOMPARE(refused.count(), 1);
        QCOMPARE(recorder.journalWriter()->backlog(), 0);
        recorder.stop(QStringLiteral("viewer closed"));

        // Nothing of the refused writer reached the journal, not even its stop.
        QVERIFY(holder.write({}, {}, QDateTime::currentMSecsSinceEpoch()));
        QVERIFY(holder.database().isOpen());
        QSqlQuery q(holder.database());
        QVERIFY(q.exec(QStringLiteral("SELECT count(*) FROM journal_events")));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), 0);
    }

    void theReasonIsInTheLanguageChosen()
    {
        const QString path = dir.filePath(QStringLiteral("foreign.sqlite"));
        QFile foreign(path);
        QVERIFY(foreign.open(QIODevice::WriteOnly));
        foreign.write("a file of something else, long enough to be looked at");
        foreign.close();

        MainWindow window(nullptr, port);
        QtTranslationSwitch::instance()->setLanguage(QStringLiteral("ru"));
        auto english = qScopeGuard([] { QtTranslationSwitch::instance()->setLanguage(QString()); });
        JournalRecorder recorder;
        window.setJournalRecorder(&recorder);
        JournalLocation location;
        QString error;
        QVERIFY(JournalLocation::parse(path, &location, &error));
        recorder.start(location, QStringLiteral("viewer-test"), QString());

        // The reason comes from the journal's worker thread, not from the window's catalogue.
        QTRY_VERIFY_WITH_TIMEOUT(!window.journalError().isEmpty(), 10000);
        QVERIFY2(window.journalError().contains(
                     QStringLiteral("это не журнал (не база SQLite); оставлен как есть")),
                 qPrintable(window.journalError()));
        recorder.stop(QStringLiteral("test over"));
    }
};

QTEST_MAIN(TestViewerJournal)
#include "tst_viewerjournal.moc"
