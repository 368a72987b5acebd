#include "alarmmodel.h"
#include "eventmodel.h"
#include "journalcontroller.h"
#include "journalstore.h"
#include "journalwindow.h"
#include "ledindicator.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDateTime>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

JournalEvent makeEvent(Journal::Kind kind, int node, const QString &from, const QString &to)
{
    JournalEvent e;
    e.kind = kind;
    e.timeMs = QDateTime::currentMSecsSinceEpoch();
    e.installation = QStringLiteral("plant:49153");
    e.node = node;
    e.from = from;
    e.to = to;
    if (kind == Journal::Kind::Alert || kind == Journal::Kind::Danger) {
        e.channel = 2;
        e.slot = 1;
        e.hasValue = true;
        e.value = 7.25f;
        e.unit = QStringLiteral("mm/s");
    }
    return e;
}

// The CSV of orvo-journal-tool events, as a user gets it in a terminal.
QByteArray toolEvents(const QString &journal, const QStringList &more = {})
{
    QProcess process;
    process.start(QStringLiteral(ORVO_JOURNAL_TOOL),
                  QStringList{QStringLiteral("--journal"), journal, QStringLiteral("events"),
                              QStringLiteral("--format"), QStringLiteral("csv")} +
                      more);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return "orvo-journal-tool failed: " + process.readAllStandardError();
    return process.readAllStandardOutput();
}

QString labelText(QWidget *window, const char *name)
{
    auto *label = window->findChild<QLabel *>(QLatin1String(name));
    return label ? label->text() : QString();
}

} // namespace

class TestJournalWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void alarmThroughRaiseAcknowledgeClear();
    void newEventsAppearLive();
    void exportAndCopyMatchTheTool();
    void pdfReport();
    void unopenableJournal_data();
    void unopenableJournal();

private:
    bool write(const QVector<JournalEvent> &events);
    std::unique_ptr<JournalWindow> openWindow(const JournalLocation &location);

    QTemporaryDir dir;
    JournalLocation location;
    std::unique_ptr<JournalWindow> window;
};

void TestJournalWindow::initTestCase()
{
    QVERIFY(dir.isValid());
    // The user's own settings stay untouched.
    qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toLocal8Bit());
    QStandardPaths::setTestModeEnabled(true);
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QCoreApplication::setOrganizationName(QStringLiteral("Keldor"));
    QCoreApplication::setApplicationName(QStringLiteral("Orvo_ICP View"));
}

void TestJournalWindow::init()
{
    static int n = 0;
    location.type = JournalLocation::Type::SQLite;
    location.path = dir.filePath(QStringLiteral("journal%1.sqlite").arg(++n));
    QVERIFY(write({makeEvent(Journal::Kind::NodeHeard, 3, QString(), QString())}));
    window = openWindow(location);
    QTRY_VERIFY_WITH_TIMEOUT(labelText(window.get(), "liveLabel").startsWith("Live"), 10000);
}

void TestJournalWindow::cleanup()
{
    window.reset();
}

std::unique_ptr<JournalWindow> TestJournalWindow::openWindow(const JournalLocation &journal)
{
    auto w = std::make_unique<JournalWindow>(journal);
    w->show();
    return w;
}

bool TestJournalWindow::write(const QVector<JournalEvent> &events)
{
    JournalStore store;
    QString error;
    if (!store.open(location, JournalStore::Access::ReadWrite, &error)) {
        qWarning() << error;
        return false;
    }
    return store.write(events, {}, QDateTime::currentMSecsSinceEpoch());
}

void TestJournalWindow::alarmThroughRaiseAcknowledgeClear()
{
    auto *table = window->findChild<QTableView *>(QStringLiteral("alarmTable"));
    QVERIFY(table);
    QCOMPARE(table->model()->rowCount(), 0);
    QVERIFY(write(
        {makeEvent(Journal::Kind::Danger, 3, QStringLiteral("false"), QStringLiteral("true")),
         makeEvent(Journal::Kind::Alert, 4, QStringLiteral("false"), QStringLiteral("true"))}));
    QTRY_COMPARE_WITH_TIMEOUT(table->model()->rowCount(), 2, 3000);
    // Newest first: the alert was written after the danger.
    auto state = [&](int row) {
        return table->model()->index(row, AlarmModel::StateColumn).data().toString();
    };
    QCOMPARE(state(0), QStringLiteral("Alert, active, unacknowledged"));
    QCOMPARE(state(1), QStringLiteral("Danger, active, unacknowledged"));
    QCOMPARE(table->model()->index(1, AlarmModel::ValueColumn).data().toString(),
             QStringLiteral("7.25"));
    QCOMPARE(labelText(window.get(), "counterLabel"),
             QStringLiteral("Alarms: 2 active, 2 unacknowledged"));

    // An active alarm nobody has acknowledged blinks: its lamp goes on and off by itself.
    auto lampOf = [&](int row) {
        QWidget *cell = table->indexWidget(table->model()->index(row, AlarmModel::LampColumn));
        return cell ? cell->findChild<LedIndicator *>() : nullptr;
    };
    QVERIFY(lampOf(1));
    QTRY_VERIFY_WITH_TIMEOUT(lampOf(1)->isChecked(), 3000);
    QTRY_VERIFY_WITH_TIMEOUT(!lampOf(1)->isChecked(), 3000);
    QCOMPARE(lampOf(1)->property("onColor1").value<QColor>(), QColor(255, 0, 0));
    QCOMPARE(lampOf(0)->property("onColor1").value<QColor>(), QColor(255, 191, 0));

    // Acknowledge the danger with a comment; the user cancelling first changes nothing.
    QString asked;
    window->setCommentPrompt([&](QWidget *, QString *comment) {
        asked = QStringLiteral("cancelled");
        Q_UNUSED(comment)
        return false;
    });
    table->selectRow(1);
    window->findChild<QPushButton *>(QStringLiteral("ackButton"))->click();
    QCOMPARE(asked, QStringLiteral("cancelled"));
    window->setCommentPrompt([&](QWidget *, QString *comment) {
        *comment = QStringLiteral("bearing checked");
        return true;
    });
    window->findChild<QPushButton *>(QStringLiteral("ackButton"))->click();
    QTRY_COMPARE_WITH_TIMEOUT(state(1), QStringLiteral("Danger, active, acknowledged"), 5000);
    QVERIFY(table->model()
                ->index(1, AlarmModel::AcknowledgedColumn)
                .data()
                .toString()
                .startsWith(JournalController::loginName() + QStringLiteral(" at ")));
    QCOMPARE(labelText(window.get(), "counterLabel"),
             QStringLiteral("Alarms: 2 active, 1 unacknowledged"));
    // Acknowledged, it stays lit instead of blinking.
    QTRY_VERIFY_WITH_TIMEOUT(lampOf(1)->isChecked(), 3000);
    QTest::qWait(2 * JournalWindow::BlinkMs + 100);
    QVERIFY(lampOf(1)->isChecked());

    // Cleared and acknowledged, it leaves the summary and stays in the history.
    QVERIFY(write(
        {makeEvent(Journal::Kind::Danger, 3, QStringLiteral("true"), QStringLiteral("false"))}));
    QTRY_COMPARE_WITH_TIMEOUT(table->model()->rowCount(), 1, 3000);
    QCOMPARE(state(0), QStringLiteral("Alert, active, unacknowledged"));
    EventModel *history = window->eventModel();
    QTRY_VERIFY_WITH_TIMEOUT(history->rowCount() >= 5, 3000);
    bool found = false;
    for (int row = 0; row < history->rowCount(); ++row) {
        const JournalEvent &e = history->eventAt(row);
        if (e.kind == Journal::Kind::Danger && e.to == QLatin1String("true")) {
            found = true;
            QCOMPARE(e.ackComment, QStringLiteral("bearing checked"));
        }
    }
    QVERIFY(found);
}

void TestJournalWindow::newEventsAppearLive()
{
    EventModel *history = window->eventModel();
    QTRY_COMPARE_WITH_TIMEOUT(history->rowCount(), 1, 3000);
    QElapsedTimer clock;
    QVERIFY(write({makeEvent(Journal::Kind::NodeSilent, 3, QString(), QString())}));
    clock.start();
    QTRY_COMPARE_WITH_TIMEOUT(history->rowCount(), 2, 3000);
#ifndef ORVO_SANITIZED
    QVERIFY2(clock.elapsed() < 1500, qPrintable(QString::number(clock.elapsed())));
#endif
    QCOMPARE(history->index(0, EventModel::KindColumn).data().toString(),
             QStringLiteral("node-silent"));
    // A filter that excludes the new kind keeps it out.
    window->findChild<QComboBox *>(QStringLiteral("kindCombo"))
        ->setCurrentIndex(window->findChild<QComboBox *>(QStringLiteral("kindCombo"))
                              ->findText(QStringLiteral("node-heard")));
    QTRY_COMPARE_WITH_TIMEOUT(history->rowCount(), 1, 3000);
    QVERIFY(write({makeEvent(Journal::Kind::NodeSilent, 4, QString(), QString()),
                   makeEvent(Journal::Kind::NodeHeard, 4, QString(), QString())}));
    QTRY_COMPARE_WITH_TIMEOUT(history->rowCount(), 2, 3000);
    QTest::qWait(700);
    QCOMPARE(history->rowCount(), 2);
    QCOMPARE(history->eventAt(0).node, 4);
}

void TestJournalWindow::exportAndCopyMatchTheTool()
{
    JournalEvent quoted = makeEvent(Journal::Kind::ConfigChanged, 5, QString(), QString());
    quoted.detail = QStringLiteral("gain, \"high\"\tand more");
    QVERIFY(write({quoted, makeEvent(Journal::Kind::Alert, 5, QStringLiteral("false"),
                                     QStringLiteral("true"))}));
    window->findChild<QCheckBox *>(QStringLiteral("alarmsOnlyCheck"))->setChecked(false);
    window->findChild<QComboBox *>(QStringLiteral("rangeCombo"))->setCurrentIndex(0);
    QTRY_COMPARE_WITH_TIMEOUT(window->eventModel()->rowCount(), 3, 3000);

    const QString path = dir.filePath(QStringLiteral("history.csv"));
    QSignalSpy written(window.get(), &JournalWindow::reportWritten);
    window->exportCsv(path);
    QVERIFY(written.wait(5000));
    QCOMPARE(written.first().at(0).toBool(), true);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray exported = file.readAll();
    QCOMPARE(exported, toolEvents(location.path));

    // Only the alarms, by the filter bar.
    window->findChild<QCheckBox *>(QStringLiteral("alarmsOnlyCheck"))->setChecked(true);
    QTRY_COMPARE_WITH_TIMEOUT(window->eventModel()->rowCount(), 1, 3000);
    written.clear();
    window->exportCsv(path);
    QVERIFY(written.wait(5000));
    QFile again(path);
    QVERIFY(again.open(QIODevice::ReadOnly));
    QCOMPARE(again.readAll(), toolEvents(location.path, {QStringLiteral("--alarms")}));

    // Copy: the header line, then the selected row with its tab turned into a space.
    window->findChild<QCheckBox *>(QStringLiteral("alarmsOnlyCheck"))->setChecked(false);
    QTRY_COMPARE_WITH_TIMEOUT(window->eventModel()->rowCount(), 3, 3000);
    window->findChild<QTabWidget *>(QStringLiteral("tabs"))->setCurrentIndex(1);
    auto *table = window->findChild<QTableView *>(QStringLiteral("eventTable"));
    table->selectRow(1);
    window->copySelection();
    const QStringList lines =
        QApplication::clipboard()->text().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines.at(0).split(QLatin1Char('\t')).value(EventModel::KindColumn),
             QStringLiteral("Kind"));
    QCOMPARE(lines.at(1).split(QLatin1Char('\t')).value(EventModel::DetailColumn),
             QStringLiteral("gain, \"high\" and more"));
}

void TestJournalWindow::pdfReport()
{
    const QString path = dir.filePath(QStringLiteral("history.pdf"));
    QSignalSpy written(window.get(), &JournalWindow::reportWritten);
    window->exportPdf(path);
    QVERIFY(written.wait(10000));
    QCOMPARE(written.first().at(0).toBool(), true);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.read(5) == "%PDF-");
}

void TestJournalWindow::unopenableJournal_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("not a journal") << QByteArray("this is a shopping list\n");
    QTest::newRow("damaged database") << QByteArray("SQLite format 3\0garbage", 24);
}

void TestJournalWindow::unopenableJournal()
{
    QFETCH(QByteArray, content);
    window.reset();
    const QString path = dir.filePath(
        QStringLiteral("broken-%1.sqlite").arg(QTest::currentDataTag()).replace(' ', '-'));
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    JournalLocation broken;
    broken.type = JournalLocation::Type::SQLite;
    broken.path = path;
    window = openWindow(broken);
    QTRY_VERIFY_WITH_TIMEOUT(labelText(window.get(), "liveLabel").startsWith("Not live"), 5000);
    QMessageBox *box = nullptr;
    QTRY_VERIFY_WITH_TIMEOUT((box = window->findChild<QMessageBox *>()) != nullptr, 3000);
    QVERIFY(box->isVisible());
    QVERIFY2(box->text().contains(path), qPrintable(box->text()));
    // Left alone: nothing was written into the file that is not a journal.
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), content);
    // Reconnecting does not pile up messages.
    QTest::qWait(5500);
    QCOMPARE(window->findChildren<QMessageBox *>().size(), 1);
}

QTEST_MAIN(TestJournalWindow)
#include "tst_journalwindow.moc"
