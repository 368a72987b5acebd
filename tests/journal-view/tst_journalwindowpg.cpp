#include "alarmmodel.h"
#include "journalcontroller.h"
#include "journalstore.h"
#include "journalwindow.h"
#include "postgresserver.h"

#include <QDateTime>
#include <QLabel>
#include <QMessageBox>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

namespace {

JournalEvent danger(int node)
{
    JournalEvent e;
    e.kind = Journal::Kind::Danger;
    e.timeMs = QDateTime::currentMSecsSinceEpoch();
    e.installation = QStringLiteral("plant:49153");
    e.node = node;
    e.channel = 1;
    e.slot = 2;
    e.from = QStringLiteral("false");
    e.to = QStringLiteral("true");
    return e;
}

} // namespace

// The window on a PostgreSQL journal whose server goes away and comes back.
class TestJournalWindowPg : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void lostServerIsSaidAndReconnected();

private:
    QTemporaryDir dir;
    PostgresServer server;
    JournalLocation location;
};

void TestJournalWindowPg::initTestCase()
{
    QVERIFY(dir.isValid());
    qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toLocal8Bit());
    QStandardPaths::setTestModeEnabled(true);
    QString error;
    QVERIFY2(server.init(&error), qPrintable(error));
    QVERIFY2(server.createDatabase(QStringLiteral("plant"), &error), qPrintable(error));
    QVERIFY(JournalLocation::parse(server.url(QStringLiteral("plant")), &location, &error));
    JournalStore store;
    QVERIFY2(store.open(location, JournalStore::Access::ReadWrite, &error), qPrintable(error));
    QVERIFY(store.write({danger(6)}, {}, QDateTime::currentMSecsSinceEpoch()));
}

void TestJournalWindowPg::lostServerIsSaidAndReconnected()
{
    JournalWindow window(location, nullptr, JournalTiming{100, 300});
    window.show();
    auto *live = window.findChild<QLabel *>(QStringLiteral("liveLabel"));
    auto *table = window.findChild<QTableView *>(QStringLiteral("alarmTable"));
    QTRY_VERIFY_WITH_TIMEOUT(live->text().startsWith(QStringLiteral("Live")), 10000);
    QTRY_COMPARE_WITH_TIMEOUT(table->model()->rowCount(), 1, 10000);
    QCOMPARE(table->model()->index(0, AlarmModel::StateColumn).data().toString(),
             QStringLiteral("Danger, active, unacknowledged"));

    QVERIFY(server.stop());
    QTRY_VERIFY_WITH_TIMEOUT(live->text().startsWith(QStringLiteral("Not live")), 10000);
    QMessageBox *box = nullptr;
    QTRY_VERIFY_WITH_TIMEOUT((box = window.findChild<QMessageBox *>()) != nullptr, 3000);
    QVERIFY2(box->text().contains(location.display()), qPrintable(box->text()));
    // What was shown stays.
    QCOMPARE(table->model()->rowCount(), 1);

    QString error;
    QSignalSpy liveChanges(window.controller(), &JournalController::liveChanged);
    QVERIFY2(server.start(&error), qPrintable(error));
    QTRY_VERIFY2_WITH_TIMEOUT(live->text().startsWith(QStringLiteral("Live")),
                              qPrintable(live->text()), 15000);
    QCOMPARE(table->model()->rowCount(), 1);

    // Back for good: an alarm raised now reaches the summary, and the summary's own
    // connection from before the outage does not declare the journal lost once more.
    {
        JournalStore store;
        QVERIFY2(store.open(location, JournalStore::Access::ReadWrite, &error), qPrintable(error));
        QVERIFY(store.write({danger(7)}, {}, QDateTime::currentMSecsSinceEpoch()));
    }
    QTRY_COMPARE_WITH_TIMEOUT(table->model()->rowCount(), 2, 5000);
    QVERIFY(live->text().startsWith(QStringLiteral("Live")));
    bool wasLive = false;
    for (const QList<QVariant> &change : qAsConst(liveChanges)) {
        QVERIFY2(!wasLive || change.at(0).toBool(), qPrintable(change.at(1).toString()));
        wasLive = wasLive || change.at(0).toBool();
    }
}

QTEST_MAIN(TestJournalWindowPg)
#include "tst_journalwindowpg.moc"
